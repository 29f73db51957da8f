// Text: the cell font's measure, the pixels text changes, alignment and the
// current position, and the record of every TextOutA.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "platform/sim/pixel_surface.h"
#include "support/leak_check.h"

namespace {

using sim::detail::PixelLayout;
using sim::detail::PixelSurface;

constexpr uint32_t kPaper = 0x123456;
using Extent = std::pair<LONG, LONG>;

class SimGdiText : public StrictSimTest {
 protected:
  void SetUp() override {
    StrictSimTest::SetUp();
    pixels_ = std::make_shared<PixelSurface>(200, 60, PixelLayout::Xrgb8888());
    pixels_->Fill(RECT{0, 0, 200, 60}, kPaper);
    dc_ = sim::detail::CreatePixelDC(pixels_);
  }
  void TearDown() override {
    sim::detail::DeletePixelDC(dc_);
    StrictSimTest::TearDown();
  }

  // Width and height, to compare as one pair.
  Extent Cell(const char* text) {
    const SIZE size = Measure(text);
    return {size.cx, size.cy};
  }

  SIZE Measure(const char* text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc_, text, static_cast<int>(std::strlen(text)), &size));
    return size;
  }

  bool Draw(int x, int y, const char* text) { return TextOutA(dc_, x, y, text, static_cast<int>(std::strlen(text))); }

  HFONT Font(LONG height, LONG width, const char* face = "MS Gothic") {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::strcpy(font.lfFaceName, face);
    return CreateFontIndirectA(&font);
  }

  // Pixels no longer the paper: their bounding box and their colours.
  RECT Inked(uint32_t* colour = nullptr) {
    RECT box{1000, 1000, -1, -1};
    for (int y = 0; y < pixels_->Height(); ++y) {
      for (int x = 0; x < pixels_->Width(); ++x) {
        if (pixels_->Rgb(x, y) == kPaper) continue;
        if (colour != nullptr) *colour = pixels_->Rgb(x, y);
        box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                   std::max<LONG>(box.bottom, y + 1)};
      }
    }
    return box;
  }

  std::shared_ptr<PixelSurface> pixels_;
  HDC dc_ = nullptr;
};

TEST_F(SimGdiText, TheCellIsTheFontsWidthAndHeightOrTheSystemFonts) {
  EXPECT_EQ(Cell("abc"), Extent(24, 16));
  EXPECT_EQ(Cell(""), Extent(0, 16)) << "an empty text is still a line high";

  HGDIOBJ system = SelectObject(dc_, Font(-20, 0));
  EXPECT_EQ(system, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(Cell("abc"), Extent(30, 20));
  DeleteObject(SelectObject(dc_, Font(20, -12)));
  EXPECT_EQ(Measure("abc").cx, 36);
  DeleteObject(SelectObject(dc_, Font(0, 5)));
  EXPECT_EQ(Cell("abc"), Extent(15, 16));
  DeleteObject(SelectObject(dc_, system));
  EXPECT_EQ(sim::LiveGdiObjects(), 0);
}

TEST_F(SimGdiText, TransparentTextInksInsideItsBoxInTheTextColour) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(255, 255, 0));
  ASSERT_TRUE(Draw(4, 2, "AB"));
  uint32_t colour = 0;
  const RECT box = Inked(&colour);
  EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), std::vector<LONG>({4, 2, 20, 18}));
  EXPECT_EQ(colour, 0xFFFF00u);
  for (int y = 2; y < 18; ++y) {
    for (int x = 4; x < 20; ++x) {
      const uint32_t rgb = pixels_->Rgb(x, y);
      ASSERT_TRUE(rgb == kPaper || rgb == 0xFFFF00u) << x << ", " << y;
    }
  }
}

TEST_F(SimGdiText, OpaqueTextFillsItsBoxAndBlanksOnlyFill) {
  SetBkColor(dc_, RGB(0, 0, 255));
  ASSERT_TRUE(Draw(10, 10, " "));
  const RECT box = Inked();
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 18);
  EXPECT_EQ(pixels_->Rgb(10, 10), 0x0000FFu);
  EXPECT_EQ(pixels_->Rgb(14, 18), 0x0000FFu);

  pixels_->Fill(RECT{0, 0, 200, 60}, kPaper);
  SetBkMode(dc_, TRANSPARENT);
  ASSERT_TRUE(Draw(10, 10, " "));
  EXPECT_EQ(Inked().right, -1) << "a blank has no ink";
}

TEST_F(SimGdiText, DifferentCharactersLeaveDifferentPixels) {
  ASSERT_TRUE(Draw(0, 0, "A"));
  ASSERT_TRUE(Draw(8, 0, "B"));
  int differing = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) differing += pixels_->Rgb(x, y) != pixels_->Rgb(8 + x, y);
  }
  EXPECT_GT(differing, 0);
}

// In code page 932 a lead byte and its trail byte are one character two cells
// wide: one frame around both cells. In 1252 they are two characters.
TEST_F(SimGdiText, ADoubleByteCharacterIsOneGlyphOfTwoCellsUnderCodePage932) {
  const char* hiragana = "\x82\xA0";
  EXPECT_EQ(Measure(hiragana).cx, 16);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(255, 255, 255));
  ASSERT_TRUE(Draw(0, 0, hiragana));
  auto frameBetweenCells = [&] {
    for (int y = 1; y < 15; ++y) {
      if (pixels_->Rgb(7, y) != 0xFFFFFFu || pixels_->Rgb(8, y) != 0xFFFFFFu) return false;
    }
    return true;
  };
  EXPECT_FALSE(frameBetweenCells());

  sim::SetAnsiCodePage(1252);
  pixels_->Fill(RECT{0, 0, 200, 60}, kPaper);
  EXPECT_EQ(Measure(hiragana).cx, 16);
  ASSERT_TRUE(Draw(0, 0, hiragana));
  EXPECT_TRUE(frameBetweenCells());
}

TEST_F(SimGdiText, ALeadByteAtTheEndIsACharacterOfItsOwn) {
  EXPECT_EQ(Measure("ab\x82").cx, 24);
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32A(dc_, "\x82\xA0z", 1, &size));
  EXPECT_EQ(size.cx, 8) << "the count cuts the character: the lead byte stands alone";
}

TEST_F(SimGdiText, UpdateCpDrawsAtTheCurrentPositionAndMovesPastTheText) {
  MoveToEx(dc_, 10, 5, nullptr);
  SetTextAlign(dc_, TA_UPDATECP);
  ASSERT_TRUE(Draw(999, 999, "abc"));
  ASSERT_TRUE(Draw(999, 999, "\x82\xA0"));
  POINT position;
  ASSERT_TRUE(GetCurrentPositionEx(dc_, &position));
  EXPECT_EQ(position.x, 50);
  EXPECT_EQ(position.y, 5);
  const std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].left, 10);
  EXPECT_EQ(runs[0].top, 5);
  EXPECT_EQ(runs[1].left, 34);

  // Aligned right, the text ends at the current position, which moves back
  // over it; centred, the position stays.
  SetTextAlign(dc_, TA_UPDATECP | TA_RIGHT);
  ASSERT_TRUE(Draw(0, 0, "ab"));
  GetCurrentPositionEx(dc_, &position);
  EXPECT_EQ(position.x, 34);
  EXPECT_EQ(sim::TextRuns().back().left, 34);
  SetTextAlign(dc_, TA_UPDATECP | TA_CENTER);
  ASSERT_TRUE(Draw(0, 0, "ab"));
  GetCurrentPositionEx(dc_, &position);
  EXPECT_EQ(position.x, 34);
  EXPECT_EQ(sim::TextRuns().back().left, 26);

  ASSERT_TRUE(Draw(0, 0, ""));
  GetCurrentPositionEx(dc_, &position);
  EXPECT_EQ(position.x, 34);
}

TEST_F(SimGdiText, WithoutUpdateCpTheReferencePointIsWhereTheAlignmentSays) {
  SetTextAlign(dc_, TA_RIGHT | TA_BOTTOM);
  ASSERT_TRUE(Draw(100, 50, "ab"));
  EXPECT_EQ(sim::TextRuns().back().left, 84);
  EXPECT_EQ(sim::TextRuns().back().top, 34);
  SetTextAlign(dc_, TA_BASELINE);
  ASSERT_TRUE(Draw(100, 50, "ab"));
  EXPECT_EQ(sim::TextRuns().back().top, 38) << "the baseline is three quarters down the cell";
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_BASELINE));
  POINT position;
  GetCurrentPositionEx(dc_, &position);
  EXPECT_EQ(position.x, 0);
}

TEST_F(SimGdiText, EveryTextOutIsRecordedWithTheStateItWasDrawnIn) {
  ASSERT_TRUE(Draw(1, 2, "plain"));
  HGDIOBJ previous = SelectObject(dc_, Font(-24, 12, "MS Mincho"));
  EXPECT_EQ(SetTextColor(dc_, RGB(255, 128, 128)), RGB(0, 0, 0));
  EXPECT_EQ(SetBkColor(dc_, RGB(0, 0, 128)), RGB(255, 255, 255));
  EXPECT_EQ(SetBkMode(dc_, TRANSPARENT), OPAQUE);
  ASSERT_TRUE(Draw(3, 4, "\x91\x53\x82\xA0"));

  const std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_TRUE(runs[0].systemFont);
  EXPECT_EQ(runs[0].text, "plain");
  EXPECT_EQ(runs[0].width, 40);
  EXPECT_EQ(runs[0].backgroundMode, OPAQUE);
  EXPECT_EQ(runs[1].dc, dc_);
  EXPECT_FALSE(runs[1].systemFont);
  EXPECT_STREQ(runs[1].font.lfFaceName, "MS Mincho");
  EXPECT_EQ(runs[1].font.lfHeight, -24);
  EXPECT_EQ(runs[1].textColor, RGB(255, 128, 128));
  EXPECT_EQ(runs[1].backgroundColor, RGB(0, 0, 128));
  EXPECT_EQ(runs[1].backgroundMode, TRANSPARENT);
  EXPECT_EQ(runs[1].text, "\x91\x53\x82\xA0");
  EXPECT_EQ(runs[1].width, 48);
  EXPECT_EQ(runs[1].height, 24);
  EXPECT_EQ(sim::Calls().back().arguments, "0x100000C, 3, 4, \"\x91S\x82\xA0\", 4");

  LOGFONTA described;
  HGDIOBJ font = SelectObject(dc_, previous);
  ASSERT_EQ(GetObjectA(font, sizeof described, &described), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_EQ(described.lfWidth, 12);
  EXPECT_TRUE(DeleteObject(font));
  sim::ClearTextRuns();
  EXPECT_TRUE(sim::TextRuns().empty());
}

TEST_F(SimGdiText, BadArgumentsAndArmedFailuresDrawNothing) {
  EXPECT_EQ(SetBkMode(dc_, 3), 0);
  EXPECT_FALSE(TextOutA(dc_, 0, 0, "x", -1));
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "x", 1));
  sim::FailNext("TextOutA", ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(Draw(0, 0, "x"));
  EXPECT_TRUE(sim::TextRuns().empty());
  EXPECT_EQ(Inked().right, -1);
}

}  // namespace
