// Text drawing and measuring: runs in the font of their kind placed one after
// another, fonts made once per change, colours only with a font set, centring
// (TA_RIGHT centres too, measured on the back buffer), screen-relative
// positions and sizes, and the text state across clean-up and start-up.
#include <climits>
#include <cmath>
#include <limits>

#include "draw2d_fixture.h"

namespace {

const std::string kA = "\x82\xA0";  // "あ" in code page 932

class TextTest : public Draw2DTest {
 protected:
  void SetUp() override {
    Draw2DTest::SetUp();
    sim::SetAnsiCodePage(932);
    StartWithMode();
    sim::ClearTextRuns();
  }

  // Latin text in a 16-pixel font, Japanese in a 24-pixel one.
  static void SetTwoFonts() {
    LOGFONTA latin = Font("Arial", 16);
    LOGFONTA japanese = Font("MS Gothic", 24, SHIFTJIS_CHARSET);
    KR2DSetFont(&latin, &japanese);
  }

  static SIZE Measure(const std::string& text, int buffer = KR2D_BUFFER_BACK) {
    SIZE size = {-1, -1};
    EXPECT_EQ(KR2DGetTextExtentPoint32(text.c_str(), &size, buffer), 1);
    return size;
  }

  static std::pair<int, int> Pen() {
    int x = -1, y = -1;
    KR2DGetCurrentTextPosition(&x, &y);
    return {x, y};
  }
};

TEST_F(TextTest, RunsAreDrawnInTheirFontsEachWhereThePreviousEnded) {
  SetTwoFonts();
  KR2DSetTextColor(0x0000FF, 0x00FF00, TRANSPARENT);
  ASSERT_EQ(KR2DTextOut(10, 20, ("ab" + kA + "c").c_str(), KR2D_BUFFER_BACK), 1);

  std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, "ab");
  EXPECT_EQ(runs[1].text, kA);
  EXPECT_EQ(runs[2].text, "c");
  EXPECT_STREQ(runs[0].font.lfFaceName, "Arial");
  EXPECT_STREQ(runs[1].font.lfFaceName, "MS Gothic");
  EXPECT_STREQ(runs[2].font.lfFaceName, "Arial");
  EXPECT_EQ(runs[0].left, 10);
  EXPECT_EQ(runs[0].top, 20);
  for (size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(runs[i].systemFont);
    EXPECT_EQ(runs[i].textColor, 0x0000FFu);
    EXPECT_EQ(runs[i].backgroundColor, 0x00FF00u);
    EXPECT_EQ(runs[i].backgroundMode, TRANSPARENT);
    EXPECT_EQ(runs[i].textAlign, static_cast<UINT>(TA_UPDATECP));
    if (i > 0) {
      EXPECT_EQ(runs[i].left, runs[i - 1].left + runs[i - 1].width);
    }
  }
  EXPECT_EQ(Pen(), std::make_pair(runs[2].left + runs[2].width, 20));

  // Measuring splits the same way: widths add up, the tallest run gives the height.
  SIZE size = Measure("ab" + kA + "c");
  EXPECT_EQ(size.cx, runs[0].width + runs[1].width + runs[2].width);
  EXPECT_EQ(size.cy, std::max(runs[0].height, std::max(runs[1].height, runs[2].height)));
  EXPECT_GT(runs[1].height, runs[0].height);
}

TEST_F(TextTest, SingleByteCodePageDrawsEverythingInTheSingleByteFont) {
  sim::SetAnsiCodePage(1252);
  SetTwoFonts();
  ASSERT_EQ(KR2DTextOut(0, 0, ("ab" + kA + "c").c_str(), KR2D_BUFFER_BACK), 1);
  std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].text, "ab" + kA + "c");
  EXPECT_STREQ(runs[0].font.lfFaceName, "Arial");
}

TEST_F(TextTest, WithoutAFontSetTextUsesTheContextsOwnFontAndColours) {
  KR2DSetTextColor(0x0000FF, 0x00FF00, TRANSPARENT);
  ASSERT_EQ(KR2DTextOut(10, 20, ("ab" + kA).c_str(), KR2D_BUFFER_BACK), 1);
  std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].text, "ab" + kA);
  EXPECT_TRUE(runs[0].systemFont);
  EXPECT_NE(runs[0].textColor, 0x0000FFu);
  EXPECT_NE(runs[0].backgroundMode, TRANSPARENT);
  EXPECT_EQ(runs[0].textAlign, static_cast<UINT>(TA_UPDATECP));
  EXPECT_EQ(Pen(), std::make_pair(10 + runs[0].width, 20));
  EXPECT_EQ(Measure("ab" + kA).cx, runs[0].width);
  EXPECT_EQ(sim::CountCalls("CreateFontIndirectA"), 0);
}

TEST_F(TextTest, FontsAreMadeOncePerChangeAndTheOldOnesDeleted) {
  int objects = sim::LiveGdiObjects();
  int contexts = sim::LiveDeviceContexts();
  SetTwoFonts();
  EXPECT_EQ(sim::CountCalls("CreateFontIndirectA"), 0) << "made at the first use, not when set";
  KR2DTextOut(0, 0, "one", KR2D_BUFFER_BACK);
  KR2DTextOut(0, 0, "two", KR2D_BUFFER_BACK);
  Measure("three");
  EXPECT_EQ(sim::CountCalls("CreateFontIndirectA"), 2);
  EXPECT_EQ(sim::LiveGdiObjects(), objects + 2);

  KR2DSetFontSize(0.05f, 0.05f);
  Measure("four");
  KR2DTextOut(0, 0, "five", KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::CountCalls("CreateFontIndirectA"), 4);
  EXPECT_EQ(sim::LiveGdiObjects(), objects + 2);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts) << "every context was given back";
}

TEST_F(TextTest, FontSizeIsAFractionOfTheScreenInBothFonts) {
  KR2DSetFontSize(0.05f, 0.05f);
  ASSERT_EQ(KR2DTextOut(0, 0, ("a" + kA).c_str(), KR2D_BUFFER_BACK), 1);
  std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 2u);
  for (const sim::TextRun& run : runs) {
    EXPECT_EQ(run.font.lfWidth, 32);
    EXPECT_EQ(run.font.lfHeight, 24);
    // Without KR2DSetFont every other field of the descriptions is zero.
    EXPECT_STREQ(run.font.lfFaceName, "");
    EXPECT_EQ(run.font.lfWeight, 0);
  }

  // After KR2DSetFont the size call keeps the faces.
  SetTwoFonts();
  KR2DSetFontSize(0.1f, 0.025f);
  sim::ClearTextRuns();
  KR2DTextOut(0, 0, ("a" + kA).c_str(), KR2D_BUFFER_BACK);
  runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_STREQ(runs[1].font.lfFaceName, "MS Gothic");
  EXPECT_EQ(runs[1].font.lfWidth, 64);
  EXPECT_EQ(runs[1].font.lfHeight, 12);
}

TEST_F(TextTest, CentreAndRightBothCentreOnXAndKeepTheVerticalFlags) {
  SetTwoFonts();
  const std::string text = "Centred" + kA;
  SIZE size = Measure(text);
  ASSERT_GT(size.cx, 2);
  for (UINT align : {static_cast<UINT>(TA_CENTER), static_cast<UINT>(TA_RIGHT)}) {
    SCOPED_TRACE(align);
    sim::ClearTextRuns();
    KR2DSetTextAlign(align | TA_BOTTOM);
    ASSERT_EQ(KR2DTextOut(320, 100, text.c_str(), KR2D_BUFFER_BACK), 1);
    std::vector<sim::TextRun> runs = sim::TextRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].left, 320 - size.cx / 2);
    EXPECT_EQ(runs[0].textAlign, static_cast<UINT>(TA_BOTTOM | TA_UPDATECP));
    EXPECT_EQ(Pen().first, 320 - size.cx / 2 + size.cx);
  }
}

TEST_F(TextTest, CentringMeasuresOnTheBackBufferWhateverTheTarget) {
  SetTwoFonts();
  WriteBmpFile("panel.bmp", Plain(200, 50, 0x000000));
  ASSERT_EQ(KR2DCreateBuffer("panel.bmp"), 3);
  KR2DSetTextAlign(TA_CENTER);
  SIZE size = Measure("Hi", 3);

  ASSERT_EQ(KR2DTextOut(100, 10, "Hi", 3), 1);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].left, 100 - size.cx / 2);

  // No back buffer to measure on: the text starts at x itself.
  KRVideoRestoreVideoMode();
  sim::ClearTextRuns();
  ASSERT_EQ(KR2DTextOut(100, 10, "Hi", 3), 1);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].left, 100);
}

TEST_F(TextTest, FailedMeasureForCentringLeavesX) {
  SetTwoFonts();
  KR2DSetTextAlign(TA_CENTER);
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_SURFACEBUSY);  // the measure's
  ASSERT_EQ(KR2DTextOut(320, 10, "Hi", KR2D_BUFFER_BACK), 1);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].left, 320);
}

TEST_F(TextTest, EmptyTextDrawsNothingAndLeavesThePenAtTheStart) {
  SetTwoFonts();
  EXPECT_EQ(KR2DTextOut(33, 44, "", KR2D_BUFFER_BACK), 1);
  EXPECT_TRUE(sim::TextRuns().empty());
  EXPECT_EQ(Pen(), std::make_pair(33, 44));
  SIZE size = Measure("");
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
}

TEST_F(TextTest, BufferWithoutContextDrawsAndMeasuresNothing) {
  SetTwoFonts();
  KR2DTextOut(5, 6, "start", KR2D_BUFFER_BACK);
  std::pair<int, int> pen = Pen();
  sim::ClearTextRuns();
  for (int buffer : {0, 7, 33}) {
    EXPECT_EQ(KR2DTextOut(50, 60, "x", buffer), 0);
    SIZE size = {-7, -7};
    EXPECT_EQ(KR2DGetTextExtentPoint32("x", &size, buffer), 0);
    EXPECT_EQ(size.cx, -7);
    EXPECT_EQ(size.cy, -7);
  }
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_SURFACELOST);
  EXPECT_EQ(KR2DTextOut(50, 60, "x", KR2D_BUFFER_BACK), 0);
  EXPECT_TRUE(sim::TextRuns().empty());
  EXPECT_EQ(Pen(), pen);
}

TEST_F(TextTest, ScreenRelativePositionsAndTheShortForm) {
  SetTwoFonts();
  ASSERT_EQ(KR2DTextOut(0.0f, 0.0f, "c", KR2D_BUFFER_BACK), 1);
  ASSERT_EQ(KR2DTextOut(-1.0f, -0.9f, "t", KR2D_BUFFER_BACK), 1);
  ASSERT_EQ(KR2DTextOut(0.999f, 1.0f, "e", KR2D_BUFFER_BACK), 1);
  KR2DTextOut("o", KR2D_BUFFER_BACK);
  std::vector<sim::TextRun> runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(std::make_pair(runs[0].left, runs[0].top), std::make_pair(320, 240));
  EXPECT_EQ(std::make_pair(runs[1].left, runs[1].top), std::make_pair(0, 24));
  EXPECT_EQ(std::make_pair(runs[2].left, runs[2].top), std::make_pair(639, 480));
  EXPECT_EQ(std::make_pair(runs[3].left, runs[3].top), std::make_pair(0, 0));
}

TEST_F(TextTest, PositionsBeyondTheIntRangeStopAtItsEndsAndNaNIsZero) {
  SetTwoFonts();
  const float kLargest = std::numeric_limits<float>::max();
  const struct {
    float x, y;
    int pixelX, pixelY;
  } kPositions[] = {
      {NAN, -NAN, 0, 0},
      {INFINITY, -INFINITY, INT_MAX, INT_MIN},
      {kLargest, -kLargest, INT_MAX, INT_MIN},
      {1e7f, -1e7f, INT_MAX, INT_MIN},  // 640 x 5000000.5 and 480 x -4999999.5 pass the ends
  };
  for (const auto& position : kPositions) {
    SCOPED_TRACE(testing::Message() << position.x << ", " << position.y);
    // An empty text leaves the pen where the position landed.
    ASSERT_EQ(KR2DTextOut(position.x, position.y, "", KR2D_BUFFER_BACK), 1);
    EXPECT_EQ(Pen(), std::make_pair(position.pixelX, position.pixelY));
  }
  EXPECT_TRUE(sim::TextRuns().empty());

  // Centring near the left end stops there too.
  KR2DSetTextAlign(TA_CENTER);
  ASSERT_EQ(KR2DTextOut(INT_MIN + 1, 0, "Hi", KR2D_BUFFER_BACK), 1);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].left, INT_MIN);
}

TEST_F(TextTest, FontSizesBeyondTheIntRangeStopAtItsEndsAndNaNIsZero) {
  KR2DSetFontSize(NAN, 1e30f);
  sim::ClearCalls();
  KR2DTextOut(0, 0, "", KR2D_BUFFER_BACK);  // makes the fonts, draws nothing
  EXPECT_EQ(ArgumentsOf("CreateFontIndirectA"),
            std::vector<std::string>(2, "{2147483647, 0, 0, 0, \"\"}"));

  KR2DSetFontSize(-INFINITY, -std::numeric_limits<float>::max());
  sim::ClearCalls();
  KR2DTextOut(0, 0, "", KR2D_BUFFER_BACK);
  EXPECT_EQ(ArgumentsOf("CreateFontIndirectA"),
            std::vector<std::string>(2, "{-2147483648, -2147483648, 0, 0, \"\"}"));
}

TEST_F(TextTest, ScreenRelativeMeasureIsInHalfScreens) {
  SetTwoFonts();
  SIZE size = Measure("Frame 60");
  float width = -1.0f, height = -1.0f;
  ASSERT_EQ(KR2DGetTextExtentPoint32("Frame 60", &width, &height, KR2D_BUFFER_BACK), 1);
  EXPECT_FLOAT_EQ(width, static_cast<float>(size.cx) / 320.0f);
  EXPECT_FLOAT_EQ(height, static_cast<float>(size.cy) / 240.0f);

  width = height = -1.0f;
  EXPECT_EQ(KR2DGetTextExtentPoint32("Frame 60", &width, &height, 9), 0);
  EXPECT_EQ(width, -1.0f);
  EXPECT_EQ(height, -1.0f);
}

TEST_F(TextTest, ScreenRelativeCallsWithoutAScreenDoNothing) {
  SetTwoFonts();
  KRVideoRestoreVideoMode();  // width and height 0
  WriteBmpFile("panel.bmp", Plain(64, 64, 0x000000));
  ASSERT_EQ(KR2DCreateBuffer("panel.bmp"), 3);
  EXPECT_EQ(KR2DTextOut(0.0f, 0.0f, "x", 3), 0);
  EXPECT_TRUE(sim::TextRuns().empty());
  float width = -1.0f, height = -1.0f;
  EXPECT_EQ(KR2DGetTextExtentPoint32("x", &width, &height, 3), 0);
  EXPECT_EQ(width, -1.0f);
  EXPECT_EQ(height, -1.0f);
  // The pixel forms still work on a bitmap buffer.
  EXPECT_EQ(KR2DTextOut(1, 1, "x", 3), 1);
}

TEST_F(TextTest, CleanupDeletesTheFontsAndRestartForgetsThemButKeepsColoursAndDescriptions) {
  int objects = sim::LiveGdiObjects();
  SetTwoFonts();
  KR2DSetTextColor(0x123456, 0, TRANSPARENT);
  KR2DSetTextAlign(TA_CENTER);
  KR2DTextOut(100, 100, "x", KR2D_BUFFER_BACK);
  ASSERT_EQ(sim::LiveGdiObjects(), objects + 2);

  KR2DCleanup();
  EXPECT_EQ(sim::LiveGdiObjects(), objects);
  int deletes = sim::CountCalls("DeleteObject");
  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(Pen(), std::make_pair(0, 0));

  // Nothing changed since the fonts were made: the context's own font, not centred.
  sim::ClearTextRuns();
  KR2DTextOut(100, 100, "x", KR2D_BUFFER_BACK);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_TRUE(sim::TextRuns()[0].systemFont);
  EXPECT_EQ(sim::TextRuns()[0].left, 100);

  // A second clean-up has no fonts to delete.
  KR2DCleanup();
  EXPECT_EQ(sim::CountCalls("DeleteObject"), deletes);

  // A new description is made into fonts again; the colour was kept.
  ASSERT_EQ(KR2DStartup(), 1);
  KR2DSetFontSize(0.05f, 0.05f);
  sim::ClearTextRuns();
  KR2DTextOut(1, 1, "x", KR2D_BUFFER_BACK);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_STREQ(sim::TextRuns()[0].font.lfFaceName, "Arial");
  EXPECT_EQ(sim::TextRuns()[0].textColor, 0x123456u);
}

}  // namespace
