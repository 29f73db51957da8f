// Device contexts and their pixels: BitBlt with format conversion, window and
// screen DCs, device capabilities, and the default palette.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/display.h"
#include "platform/sim/gdi_control.h"
#include "platform/sim/pixel_surface.h"
#include "support/leak_check.h"

namespace {

using sim::detail::PixelLayout;
using sim::detail::PixelSurface;

// The raw values of row 0, from x 0, to compare as one list.
std::vector<uint32_t> FirstRow(const PixelSurface& pixels, int count) {
  std::vector<uint32_t> row;
  for (int x = 0; x < count; ++x) row.push_back(pixels.Raw(x, 0));
  return row;
}

class SimGdiPixels : public StrictSimTest {
 protected:
  void TearDown() override {
    for (HDC dc : surfaceDCs_) sim::detail::DeletePixelDC(dc);
    for (const MemoryDC& made : memoryDCs_) {
      DeleteObject(SelectObject(made.dc, made.original));
      DeleteDC(made.dc);
    }
    StrictSimTest::TearDown();
  }

  // A DC on a surface's pixels, as DirectDraw's GetDC gives one.
  HDC SurfaceDC(const std::shared_ptr<PixelSurface>& pixels) {
    surfaceDCs_.push_back(sim::detail::CreatePixelDC(pixels));
    return surfaceDCs_.back();
  }

  // A memory DC with a 24-bit DIB section of one row of `colours` selected.
  HDC BitmapDC(const std::vector<uint32_t>& colours) {
    sim::BmpImage image;
    image.width = static_cast<int>(colours.size());
    image.height = 1;
    image.pixels = colours;
    sim::WriteWholeFile("row.bmp", sim::EncodeBmp(image));
    HDC dc = CreateCompatibleDC(nullptr);
    HANDLE bitmap = LoadImageA(nullptr, "row.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    memoryDCs_.push_back(MemoryDC{dc, SelectObject(dc, bitmap)});
    return dc;
  }

  // Given back at the end: the bitmap selected out and deleted, then the DC.
  struct MemoryDC {
    HDC dc;
    HGDIOBJ original;
  };
  std::vector<HDC> surfaceDCs_;
  std::vector<MemoryDC> memoryDCs_;
};

TEST_F(SimGdiPixels, BitBltConvertsIntoSixteenBitPixels) {
  HDC source = BitmapDC({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
  auto pixels = std::make_shared<PixelSurface>(5, 1, PixelLayout::Rgb565());
  ASSERT_TRUE(BitBlt(SurfaceDC(pixels), 1, 0, 4, 1, source, 0, 0, SRCCOPY));
  EXPECT_EQ(FirstRow(*pixels, 5), (std::vector<uint32_t>{0, 0xF800, 0x07E0, 0x001F, 0x8410}));
}

TEST_F(SimGdiPixels, BitBltIntoAPalettisedSurfaceTakesTheNearestEntries) {
  HDC source = BitmapDC({0xF01010, 0x700000, 0x000000, 0xEEEEEE});
  auto pixels = std::make_shared<PixelSurface>(4, 1, PixelLayout::Palettized8());
  pixels->Palette()[0] = 0x000000;
  pixels->Palette()[10] = 0x800000;
  pixels->Palette()[11] = 0xFF0000;
  for (int i = 12; i < 256; ++i) pixels->Palette()[i] = 0xFFFFFF;
  ASSERT_TRUE(BitBlt(SurfaceDC(pixels), 0, 0, 4, 1, source, 0, 0, SRCCOPY));
  EXPECT_EQ(FirstRow(*pixels, 4), (std::vector<uint32_t>{11, 10, 0, 12}));
}

TEST_F(SimGdiPixels, BitBltCopiesOnlyWhatLiesInsideBothSurfaces) {
  auto from = std::make_shared<PixelSurface>(3, 3, PixelLayout::Xrgb8888());
  auto to = std::make_shared<PixelSurface>(4, 4, PixelLayout::Xrgb8888());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) from->SetRgb(x, y, 0x010000 * (x + 1) + 0x000100 * (y + 1));
  }
  to->Fill(RECT{0, 0, 4, 4}, 0xABCDEF);
  ASSERT_TRUE(BitBlt(SurfaceDC(to), 2, -1, 3, 3, SurfaceDC(from), 1, 1, SRCCOPY));
  // Destination (2, 0) and (3, 0) take source (1, 2) and (2, 2); (2, 1) and
  // (3, 1) would take row 3 of the source, which it does not have.
  EXPECT_EQ(to->Rgb(2, 0), 0x020300u);
  EXPECT_EQ(to->Rgb(3, 0), 0x030300u);
  EXPECT_EQ(to->Rgb(2, 1), 0xABCDEFu);
  EXPECT_EQ(to->Rgb(1, 0), 0xABCDEFu);
}

TEST_F(SimGdiPixels, ACopyWithinOneSurfaceReadsThePixelsAsTheyWere) {
  auto pixels = std::make_shared<PixelSurface>(4, 1, PixelLayout::Rgb565());
  for (int x = 0; x < 4; ++x) pixels->SetRaw(x, 0, static_cast<uint32_t>(x + 1));
  HDC dc = SurfaceDC(pixels);
  ASSERT_TRUE(BitBlt(dc, 1, 0, 3, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(FirstRow(*pixels, 4), (std::vector<uint32_t>{1, 1, 2, 3}));
}

TEST_F(SimGdiPixels, AWindowsDCDrawsIntoItsClientAreaOnTheScreen) {
  HWND window = sim::CreateTestWindow();  // client area from 104, 123
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
  const PixelSurface& screen = *sim::detail::Display().screen;
  EXPECT_EQ(screen.Rgb(104, 123), 0xFF0000u);
  EXPECT_EQ(SetPixel(dc, -1, 0, RGB(255, 0, 0)), CLR_INVALID);
  EXPECT_EQ(screen.Rgb(103, 123), 0u);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), sim::detail::Display().bitsPerPixel);
  EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1024);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  EXPECT_EQ(ReleaseDC(window, dc), 0);

  ShowWindow(window, SW_HIDE);
  dc = GetDC(window);
  EXPECT_EQ(SetPixel(dc, 1, 0, RGB(255, 0, 0)), CLR_INVALID) << "a hidden window shows nothing";
  ReleaseDC(window, dc);
  EXPECT_EQ(sim::LiveDeviceContexts(), 0);
  DestroyWindow(window);
}

TEST_F(SimGdiPixels, ASurfacesDCReportsTheSurfaceAndIsNotDeletedByDeleteDC) {
  auto pixels = std::make_shared<PixelSurface>(320, 240, PixelLayout::Xrgb8888());
  HDC dc = SurfaceDC(pixels);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 320);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 240);
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
  EXPECT_TRUE(sim::detail::DeletePixelDC(dc));
  EXPECT_FALSE(sim::detail::DeletePixelDC(dc));
  surfaceDCs_.clear();
  EXPECT_EQ(sim::LiveDeviceContexts(), 0);
}

// Its pixel and its deletion are tested on both in gdi_objects_dual_test.cpp.
TEST_F(SimGdiPixels, AMemoryDCIsCompatibleWithTheScreen) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1024);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
