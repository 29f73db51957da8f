// GDI objects: the default palette, fonts and memory device contexts.
#include <cstring>

#include "tests/platform/dual_fixture.h"

namespace {

using DualGdiObjects = DualTest;

TEST_F(DualGdiObjects, TheDefaultPaletteHoldsTheTwentyStaticColours) {
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

TEST_F(DualGdiObjects, AFontIsDescribedAsItWasAskedFor) {
  LOGFONTA asked{};
  asked.lfHeight = -24;
  asked.lfWidth = 12;
  asked.lfCharSet = SHIFTJIS_CHARSET;
  std::strcpy(asked.lfFaceName, "MS Mincho");
  HFONT font = CreateFontIndirectA(&asked);
  ASSERT_NE(font, nullptr);
  LOGFONTA described;
  ASSERT_EQ(GetObjectA(font, sizeof described, &described), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_EQ(described.lfHeight, -24);
  EXPECT_EQ(described.lfWidth, 12);
  EXPECT_EQ(described.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_STREQ(described.lfFaceName, "MS Mincho");
  EXPECT_TRUE(DeleteObject(font));
}

// Windows NT accepts the deletion of a selected object and carries it out
// when the object is deselected (Windows 95 refused it).
TEST_F(DualGdiObjects, ASelectedFontIsDeletedOnceDeselected) {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTA asked{};
  asked.lfHeight = -16;
  HFONT font = CreateFontIndirectA(&asked);
  HGDIOBJ system = SelectObject(dc, font);
  EXPECT_EQ(system, GetStockObject(SYSTEM_FONT));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(SelectObject(dc, system), font);
  EXPECT_FALSE(DeleteObject(font)) << "gone with the deselection";
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DualGdiObjects, AFontDeletedWhileSelectedGoesWithItsDC) {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTA asked{};
  asked.lfHeight = -16;
  HFONT font = CreateFontIndirectA(&asked);
  SelectObject(dc, font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteObject(font));
}

TEST_F(DualGdiObjects, AMemoryDCStartsWithOneMonochromePixel) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(1, 2, 3)), RGB(0, 0, 0)) << "black or white only";
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(250, 250, 250)), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DualGdiObjects, APixelOutsideTheBitmapIsRefused) {
  if (OnWine()) GTEST_SKIP() << "Wine answers the colour even where nothing is drawn";
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetPixel(dc, 1, 0, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, 1), CLR_INVALID);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DualGdiObjects, ADeletedDCIsNoLongerADC) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(stock, GetStockObject(SYSTEM_FONT));
  ASSERT_TRUE(DeleteDC(dc));
  BITMAP info;
  EXPECT_EQ(GetObjectA(dc, sizeof info, &info), 0);
  EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
  EXPECT_FALSE(DeleteDC(dc));
}

}  // namespace
