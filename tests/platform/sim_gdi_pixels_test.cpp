// Device contexts and their pixels: BitBlt with format conversion, window and
// screen DCs, device capabilities, and the default palette.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "platform/sim/control.h"
#include "platform/sim/display.h"
#include "platform/sim/gdi_control.h"
#include "platform/sim/pixel_surface.h"

namespace {

using sim::detail::PixelLayout;
using sim::detail::PixelSurface;

class SimGdiPixels : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override {
    for (HDC dc : surfaceDCs_) sim::detail::DeletePixelDC(dc);
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
    SelectObject(dc, LoadImageA(nullptr, "row.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    return dc;
  }

  std::vector<HDC> surfaceDCs_;
};

TEST_F(SimGdiPixels, TheDefaultPaletteHoldsTheTwentyStaticColours) {
  HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 20u);
  PALETTEENTRY entries[24];
  ASSERT_EQ(GetPaletteEntries(palette, 0, 24, entries), 20u);
  const uint32_t expected[20] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                                 0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
                                 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (int i = 0; i < 20; ++i) {
    const uint32_t rgb = (entries[i].peRed << 16) | (entries[i].peGreen << 8) | entries[i].peBlue;
    EXPECT_EQ(rgb, expected[i]) << "entry " << i;
    EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
  }
  EXPECT_EQ(GetPaletteEntries(palette, 18, 5, entries), 2u);
  EXPECT_EQ(entries[1].peBlue, 0xFF);
  EXPECT_TRUE(DeleteObject(palette)) << "deleting a stock object is allowed and does nothing";
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 20u);
}

TEST_F(SimGdiPixels, BitBltConvertsIntoSixteenBitPixels) {
  HDC source = BitmapDC({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
  auto pixels = std::make_shared<PixelSurface>(5, 1, PixelLayout::Rgb565());
  ASSERT_TRUE(BitBlt(SurfaceDC(pixels), 1, 0, 4, 1, source, 0, 0, SRCCOPY));
  EXPECT_EQ(pixels->Raw(0, 0), 0u);
  EXPECT_EQ(pixels->Raw(1, 0), 0xF800u);
  EXPECT_EQ(pixels->Raw(2, 0), 0x07E0u);
  EXPECT_EQ(pixels->Raw(3, 0), 0x001Fu);
  EXPECT_EQ(pixels->Raw(4, 0), 0x8410u);
}

TEST_F(SimGdiPixels, BitBltIntoAPalettisedSurfaceTakesTheNearestEntries) {
  HDC source = BitmapDC({0xF01010, 0x700000, 0x000000, 0xEEEEEE});
  auto pixels = std::make_shared<PixelSurface>(4, 1, PixelLayout::Palettized8());
  pixels->Palette()[0] = 0x000000;
  pixels->Palette()[10] = 0x800000;
  pixels->Palette()[11] = 0xFF0000;
  for (int i = 12; i < 256; ++i) pixels->Palette()[i] = 0xFFFFFF;
  ASSERT_TRUE(BitBlt(SurfaceDC(pixels), 0, 0, 4, 1, source, 0, 0, SRCCOPY));
  EXPECT_EQ(pixels->Raw(0, 0), 11u);
  EXPECT_EQ(pixels->Raw(1, 0), 10u);
  EXPECT_EQ(pixels->Raw(2, 0), 0u);
  EXPECT_EQ(pixels->Raw(3, 0), 12u);
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
  EXPECT_EQ(pixels->Raw(1, 0), 1u);
  EXPECT_EQ(pixels->Raw(2, 0), 2u);
  EXPECT_EQ(pixels->Raw(3, 0), 3u);
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

TEST_F(SimGdiPixels, AMemoryDCIsCompatibleWithTheScreenAndStartsWithOnePixel) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(1, 2, 3)), RGB(0, 0, 0)) << "monochrome: black or white";
  EXPECT_EQ(SetPixel(dc, 1, 0, RGB(1, 2, 3)), CLR_INVALID);
  BITMAP info;
  HGDIOBJ stock = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(stock, GetStockObject(SYSTEM_FONT));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(GetObjectA(dc, sizeof info, &info), 0);
  EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
