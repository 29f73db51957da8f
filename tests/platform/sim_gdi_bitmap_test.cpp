// Bitmaps: .bmp files and bitmap resources loaded with LoadImageA into
// pixels, and what GetObjectA reports of them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "support/leak_check.h"

namespace {

constexpr UINT kDibFromFile = LR_CREATEDIBSECTION | LR_LOADFROMFILE;

// Three by two pixels whose every pixel differs, so that a flipped or shifted
// row shows: top row red, green, blue; bottom row white, grey, a dark teal.
const std::vector<uint32_t> kPicture = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0x004050};

sim::BmpImage Picture(int bitCount, bool topDown) {
  sim::BmpImage image;
  image.width = 3;
  image.height = 2;
  image.bitCount = bitCount;
  image.topDown = topDown;
  if (bitCount == 8) {
    image.palette = kPicture;
    image.pixels = {0, 1, 2, 3, 4, 5};
  } else {
    image.pixels = kPicture;
  }
  return image;
}

sim::BmpImage OneColour(uint32_t rgb) {
  sim::BmpImage image;
  image.width = 1;
  image.height = 1;
  image.pixels = {rgb};
  return image;
}

class SimGdiBitmap : public StrictSimTest {
 protected:
  void TearDown() override {
    if (dc_ != nullptr) {
      SelectObject(dc_, previous_);
      DeleteDC(dc_);
    }
    for (HANDLE bitmap : kept_) DeleteObject(bitmap);
    StrictSimTest::TearDown();
  }

  // A loaded bitmap, deleted at the end of the test.
  HANDLE Kept(HANDLE bitmap) {
    if (bitmap != nullptr) kept_.push_back(bitmap);
    return bitmap;
  }

  // The bitmap's pixels as colour references, row by row, read through a memory DC.
  std::vector<uint32_t> Pixels(HANDLE bitmap, int width, int height) {
    if (dc_ == nullptr) {
      dc_ = CreateCompatibleDC(nullptr);
      previous_ = SelectObject(dc_, bitmap);
    } else {
      SelectObject(dc_, bitmap);
    }
    std::vector<uint32_t> rgb;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const COLORREF color = GetPixel(dc_, x, y);
        rgb.push_back((GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
      }
    }
    return rgb;
  }

  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::vector<HANDLE> kept_;
};

TEST_F(SimGdiBitmap, FilesOfEveryDepthAndRowOrderGiveTheSamePicture) {
  for (int bitCount : {8, 24, 32}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << bitCount << " bits, " << (topDown ? "top-down" : "bottom-up"));
      sim::WriteWholeFile("C:\\work\\pic.bmp", sim::EncodeBmp(Picture(bitCount, topDown)));
      HANDLE bitmap = Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile));
      ASSERT_NE(bitmap, nullptr);
      BITMAP info;
      ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof(BITMAP)));
      EXPECT_EQ(info.bmWidth, 3);
      EXPECT_EQ(info.bmHeight, 2);
      EXPECT_EQ(info.bmBitsPixel, bitCount);
      EXPECT_EQ(Pixels(bitmap, 3, 2), kPicture);
    }
  }
}

// Indexes packed into bits, leftmost pixel highest: a 4-bit file with a short table, a 1-bit one
// whose rows cross a byte.
TEST_F(SimGdiBitmap, OneAndFourBitFilesKeepTheirDepthAndColourTable) {
  sim::BmpImage four = Picture(8, false);
  four.bitCount = 4;
  sim::BmpImage one;
  one.width = 9;
  one.height = 2;
  one.bitCount = 1;
  one.palette = {0x112233, 0xAABBCC};
  std::vector<uint32_t> onePicture;
  for (int i = 0; i < 18; ++i) {
    one.pixels.push_back(i % 3 == 0 ? 1 : 0);
    onePicture.push_back(one.palette[one.pixels.back()]);
  }
  struct Case {
    const sim::BmpImage& image;
    const std::vector<uint32_t>& picture;
    UINT colours;
  };
  for (const Case& c : {Case{four, kPicture, 6}, Case{one, onePicture, 2}}) {
    SCOPED_TRACE(testing::Message() << c.image.bitCount << " bits");
    sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(c.image));
    HANDLE bitmap = Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section;
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof(DIBSECTION)));
    EXPECT_EQ(section.dsBm.bmBitsPixel, c.image.bitCount);
    EXPECT_EQ(section.dsBmih.biBitCount, c.image.bitCount);
    EXPECT_EQ(section.dsBmih.biClrUsed, c.colours);
    EXPECT_EQ(Pixels(bitmap, c.image.width, c.image.height), c.picture);
    RGBQUAD table[256];
    ASSERT_EQ(GetDIBColorTable(dc_, 0, 256, table), c.colours);
    EXPECT_EQ(table[1].rgbRed, (c.image.palette[1] >> 16) & 0xFF);
    SelectObject(dc_, previous_);
  }
}

TEST_F(SimGdiBitmap, SixteenBitFilesKeepFiveBitsPerChannel) {
  sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(Picture(16, false)));
  HANDLE bitmap = Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile));
  ASSERT_NE(bitmap, nullptr);
  // 0x80 keeps its top five bits and widens back as 0x84; 0x40 and 0x50 likewise.
  EXPECT_EQ(Pixels(bitmap, 3, 2),
            (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x848484, 0x004252}));
}

TEST_F(SimGdiBitmap, ADibSectionDescribesItsMemoryAndColourTable) {
  sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(Picture(8, false)));
  HANDLE bitmap = Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile));
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof(DIBSECTION)));
  EXPECT_EQ(section.dsBm.bmWidthBytes, 4);
  EXPECT_EQ(section.dsBmih.biBitCount, 8);
  EXPECT_EQ(section.dsBmih.biClrUsed, 6u);
  // The memory holds the top row first: the first byte is the top-left pixel's index.
  EXPECT_EQ(section.dsBmih.biHeight, -2);
  ASSERT_NE(section.dsBm.bmBits, nullptr);
  EXPECT_EQ(static_cast<const uint8_t*>(section.dsBm.bmBits)[0], 0);
  EXPECT_EQ(static_cast<const uint8_t*>(section.dsBm.bmBits)[4], 3);

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RGBQUAD colours[8];
  ASSERT_EQ(GetDIBColorTable(dc, 1, 8, colours), 5u);
  EXPECT_EQ(colours[0].rgbGreen, 0xFF);
  EXPECT_EQ(colours[0].rgbRed, 0);
  EXPECT_EQ(colours[4].rgbBlue, 0x50);
  SelectObject(dc, previous);
  DeleteDC(dc);
}

TEST_F(SimGdiBitmap, WithoutDibSectionTheBitmapTakesTheScreensFormat) {
  sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(Picture(24, false)));
  HANDLE bitmap = Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 16);
  EXPECT_EQ(section.dsBm.bmBits, nullptr);
  EXPECT_EQ(Pixels(bitmap, 1, 1)[0], 0xFF0000u);
}

TEST_F(SimGdiBitmap, TheApplicationsResourceComesBeforeAFileOfTheSameName) {
  sim::AddBitmapResource(sim::ExecutableModule(), "SPRITE.BMP", sim::EncodeBmp(OneColour(0xFF0000)));
  sim::WriteWholeFile("sprite.bmp", sim::EncodeBmp(OneColour(0x0000FF)));

  HANDLE fromResource =
      Kept(LoadImageA(GetModuleHandleA(nullptr), "sprite.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(fromResource, nullptr) << "resource names ignore case";
  EXPECT_EQ(Pixels(fromResource, 1, 1)[0], 0xFF0000u);
  HANDLE fromFile = Kept(LoadImageA(nullptr, "sprite.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile));
  ASSERT_NE(fromFile, nullptr);
  EXPECT_EQ(Pixels(fromFile, 1, 1)[0], 0x0000FFu);
}

TEST_F(SimGdiBitmap, IntegerResourcesAndPackedResourceData) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  const std::string file = sim::EncodeBmp(Picture(24, true));
  sim::AddBitmapResource(library, MAKEINTRESOURCEA(101), file.substr(sizeof(BITMAPFILEHEADER)));

  HANDLE byId = Kept(LoadImageA(library, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(byId, nullptr);
  EXPECT_EQ(Pixels(byId, 3, 2), kPicture);
  EXPECT_NE(Kept(LoadImageA(library, "#101", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)), nullptr);
  EXPECT_EQ(sim::Calls().back().arguments, "0x10000000, \"#101\", 0, 0, 0, 0x2000");

  // The executable has no bitmaps at all; the library has none of that name.
  EXPECT_EQ(LoadImageA(sim::ExecutableModule(), MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION),
            nullptr);
  EXPECT_EQ(GetLastError(), 1813u);
  EXPECT_EQ(LoadImageA(library, MAKEINTRESOURCEA(102), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
  EXPECT_EQ(GetLastError(), 1814u);
}

TEST_F(SimGdiBitmap, MissingAndDamagedFilesGiveNoBitmap) {
  EXPECT_EQ(LoadImageA(nullptr, "none.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  std::string truncated = sim::EncodeBmp(Picture(24, false));
  truncated.resize(truncated.size() - 1);
  sim::WriteWholeFile("short.bmp", truncated);
  EXPECT_EQ(LoadImageA(nullptr, "short.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile), nullptr);
  EXPECT_EQ(GetLastError(), 13u);

  std::string twoBits = sim::EncodeBmp(Picture(8, false));
  twoBits[28] = 2;  // biBitCount: no depth a .bmp file has
  sim::WriteWholeFile("two.bmp", twoBits);
  EXPECT_EQ(LoadImageA(nullptr, "two.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile), nullptr);
  EXPECT_EQ(sim::LiveGdiObjects(), 0);
}

// A bitmap deleted while selected lives on until deselected (Windows NT).
TEST_F(SimGdiBitmap, ABitmapIsNotSharedAndIsDeletedOnceDeselected) {
  sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(Picture(24, false)));
  HANDLE bitmap = LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile);
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(sim::LiveGdiObjects(), 1) << "the DC still draws into it";

  EXPECT_EQ(SelectObject(first, original), bitmap);
  EXPECT_EQ(sim::LiveGdiObjects(), 0);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_TRUE(DeleteDC(second));
}

TEST_F(SimGdiBitmap, AnArmedFailureLoadsNothing) {
  sim::WriteWholeFile("pic.bmp", sim::EncodeBmp(Picture(24, false)));
  sim::FailNext("LoadImageA", ERROR_NOT_ENOUGH_MEMORY, "\"pic.bmp\"");
  EXPECT_EQ(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_NE(Kept(LoadImageA(nullptr, "pic.bmp", IMAGE_BITMAP, 0, 0, kDibFromFile)), nullptr);
}

}  // namespace
