// The helpers every Wine test and example relies on: the main window's client
// area, the BMP and PNG files as a reader sees them, and colour channels of
// formats narrower than 8 bits.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"
#include "support/surface_pixels.h"

namespace {

using namespace winsupport;

uint32_t BigEndianAt(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

// A picture whose neighbouring pixels all differ.
RgbImage Gradient(int width, int height) {
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.At(x, y) = static_cast<uint32_t>((x * 7 & 0xFF) << 16 | (y * 3 & 0xFF) << 8 | ((x ^ y) & 0xFF));
  return image;
}

TEST(SupportOnWindows, MainWindowsHaveTheAskedClientAreaAwayFromTheOrigin) {
  HWND first = CreateMainWindow(300, 200, "first");
  HWND second = CreateMainWindow(240, 180, "second");  // the class is registered once per process
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  RECT client;
  GetClientRect(first, &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  GetClientRect(second, &client);
  EXPECT_EQ(client.right, 240);
  EXPECT_EQ(client.bottom, 180);
  EXPECT_TRUE(IsWindowVisible(first));
  RECT frame;
  GetWindowRect(first, &frame);
  EXPECT_GT(frame.left, 0);
  EXPECT_GT(frame.top, 0);
  DestroyMainWindow(first);
  DestroyMainWindow(second);
  EXPECT_FALSE(IsWindow(first));
  DestroyMainWindow(NULL);
}

TEST(SupportOnWindows, BmpLoadsThroughTheSystemWithRowsAndChannelsInPlace) {
  const RgbImage image = Gradient(5, 3);  // 15 bytes a row: padded to 16
  ASSERT_TRUE(WriteBmp("support_gradient.bmp", image));
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(NULL, "support_gradient.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(NULL);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      EXPECT_EQ(RgbOfColorRef(GetPixel(dc, x, y)), image.At(x, y)) << x << "," << y;
    }
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
  remove("support_gradient.bmp");

  EXPECT_FALSE(WriteBmp("support_empty.bmp", RgbImage()));
}

// Reads the PNG back: chunk CRCs, the zlib stream's stored blocks and its
// checksum, then every pixel. 200x120 needs two stored blocks.
TEST(SupportOnWindows, PngHoldsEveryPixelInCheckedStoredBlocks) {
  const RgbImage image = Gradient(200, 120);
  ASSERT_TRUE(WritePng("support_gradient.png", image));
  const std::string png = ReadFileBytes("support_gradient.png");
  remove("support_gradient.png");
  ASSERT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);

  std::string zlib;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    uint32_t length = BigEndianAt(png, at);
    std::string type = png.substr(at + 4, 4);
    ASSERT_LE(at + 12 + length, png.size());
    // CRC over type and data, as PNG readers check it.
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = at + 4; i < at + 8 + length; ++i) {
      crc ^= static_cast<uint8_t>(png[i]);
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    EXPECT_EQ(~crc, BigEndianAt(png, at + 8 + length)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(BigEndianAt(png, at + 8), 200u);
      EXPECT_EQ(BigEndianAt(png, at + 12), 120u);
    }
    if (type == "IDAT") zlib += png.substr(at + 8, length);
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size()) << "the file ends with the last chunk";

  std::string raw;
  size_t in = 2;
  int blocks = 0;
  for (bool last = false; !last; ++blocks) {
    ASSERT_LE(in + 5, zlib.size());
    last = (zlib[in] & 1) != 0;
    size_t length = static_cast<uint8_t>(zlib[in + 1]) | static_cast<uint8_t>(zlib[in + 2]) << 8;
    size_t complement = static_cast<uint8_t>(zlib[in + 3]) | static_cast<uint8_t>(zlib[in + 4]) << 8;
    ASSERT_EQ(length ^ 0xFFFFu, complement);
    raw += zlib.substr(in + 5, length);
    in += 5 + length;
  }
  EXPECT_EQ(blocks, 2);
  uint32_t a = 1, b = 0;
  for (char byte : raw) {
    a = (a + static_cast<uint8_t>(byte)) % 65521;
    b = (b + a) % 65521;
  }
  ASSERT_EQ(in + 4, zlib.size());
  EXPECT_EQ(BigEndianAt(zlib, in), (b << 16) | a);

  ASSERT_EQ(raw.size(), static_cast<size_t>(120 * (1 + 200 * 3)));
  for (int y = 0; y < image.height; ++y) {
    const size_t row = static_cast<size_t>(y) * (1 + 200 * 3);
    ASSERT_EQ(raw[row], 0) << "no filter";
    for (int x = 0; x < image.width; ++x) {
      const size_t p = row + 1 + static_cast<size_t>(x) * 3;
      uint32_t rgb = static_cast<uint32_t>(static_cast<uint8_t>(raw[p]) << 16 | static_cast<uint8_t>(raw[p + 1]) << 8 |
                                           static_cast<uint8_t>(raw[p + 2]));
      ASSERT_EQ(rgb, image.At(x, y)) << x << "," << y;
    }
  }
}

TEST(SupportOnWindows, NarrowChannelsReadBackScaledToEightBits) {
  DDPIXELFORMAT rgb565;
  memset(&rgb565, 0, sizeof(rgb565));
  rgb565.dwSize = sizeof(rgb565);
  rgb565.dwFlags = DDPF_RGB;
  rgb565.dwRGBBitCount = 16;
  rgb565.dwRBitMask = 0xF800;
  rgb565.dwGBitMask = 0x07E0;
  rgb565.dwBBitMask = 0x001F;
  EXPECT_EQ(RgbAsStored(rgb565, 0x996633), 0x946531u);  // 18/31, 25/63, 6/31
  EXPECT_EQ(RgbAsStored(rgb565, 0xFFFFFF), 0xFFFFFFu);
  EXPECT_EQ(RgbAsStored(rgb565, 0x000000), 0x000000u);

  DDPIXELFORMAT bgr888 = rgb565;
  bgr888.dwRGBBitCount = 32;
  bgr888.dwRBitMask = 0x000000FF;
  bgr888.dwGBitMask = 0x0000FF00;
  bgr888.dwBBitMask = 0x00FF0000;
  EXPECT_EQ(RgbAsStored(bgr888, 0x996633), 0x996633u);

  EXPECT_EQ(RgbOfColorRef(RGB(0x99, 0x66, 0x33)), 0x996633u);
}

}  // namespace
