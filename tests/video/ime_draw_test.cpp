// Input-method drawing: the mode indicator, the composition by attribute, the
// candidate page, fonts, and the redraw request, on a 640x480 back buffer.
#include <cstring>
#include <string>
#include <vector>

#include "input/ime_fixture.h"
#include "video/draw2d_fixture.h"

using namespace std::string_literals;

namespace {

const COLORREF kTripleText[4] = {0x008080FF, 0x00FF80FF, 0x00FF8080, 0x0080FF80};
const COLORREF kTripleBackground = 0x00800000;

class ImeDrawTest : public Draw2DTest {
 protected:
  void SetUp() override {
    Draw2DTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartWithMode());
    ASSERT_NO_FATAL_FAILURE(StartInputFor(window_));
    SetOpen(true);
  }

  void SetOpen(bool open) {
    sim::SetImeOpenStatus(window_, open);
    KRInputOnImeNotify(IMN_SETOPENSTATUS, 0);
  }
  void Compose(const std::string& text, const std::string& attributes) {
    sim::SetImeComposition(window_, text, attributes);
    KRInputOnImeComposition(0, attributes.empty() ? GCS_COMPSTR : GCS_COMPSTR | GCS_COMPATTR);
  }
  void OpenCandidates(const std::string& list) {
    sim::SetImeCandidateList(window_, list);
    KRInputOnImeNotify(IMN_OPENCANDIDATE, 0);
  }
  // What one KR2DDrawIme on the back buffer drew.
  static std::vector<sim::TextRun> Draw() {
    sim::ClearTextRuns();
    EXPECT_EQ(KR2DDrawIme(KR2D_BUFFER_BACK), 1);
    EXPECT_EQ(KR2DDrawImeReq(), 0);
    return sim::TextRuns();
  }
  static void ExpectTriple(const sim::TextRun& run, int triple) {
    EXPECT_EQ(run.textColor, kTripleText[triple]) << run.text;
    EXPECT_EQ(run.backgroundColor, kTripleBackground) << run.text;
    EXPECT_EQ(run.backgroundMode, OPAQUE) << run.text;
  }
  static std::vector<std::string> Texts(const std::vector<sim::TextRun>& runs, size_t from) {
    std::vector<std::string> texts;
    for (size_t i = from; i < runs.size(); ++i) texts.push_back(runs[i].text);
    return texts;
  }
  static std::vector<std::string> Numbered(const std::vector<std::string>& lines) {
    std::vector<std::string> texts;
    for (const std::string& line : lines) {
      texts.push_back(line);
      texts.push_back("  ");
    }
    return texts;
  }
};

TEST_F(ImeDrawTest, ClosedInputMethodDrawsNothingAndClearsTheRequest) {
  Compose("abc", "");
  SetOpen(false);
  ASSERT_EQ(KR2DDrawImeReq(), 1);
  sim::ClearCalls();
  EXPECT_TRUE(Draw().empty());
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::GetDC"), 0);
}

TEST_F(ImeDrawTest, IndicatorShowsTheModesInTheBottomRightCorner) {
  const struct {
    DWORD mode;
    const char* indicator;
  } cases[] = {{0x19, "全あﾛｰﾏ"}, {0x0B, "全アｶﾅ"}, {0x00, "半あｶﾅ"}, {0x12, "半アﾛｰﾏ"}};
  for (const auto& c : cases) {
    sim::SetImeModes(window_, c.mode, 0);
    KRInputOnImeNotify(IMN_SETOPENSTATUS, 0);
    std::vector<sim::TextRun> runs = Draw();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, c.indicator);
    EXPECT_EQ(runs[0].textAlign, static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
    EXPECT_EQ(runs[0].left + runs[0].width, 640);
    EXPECT_EQ(runs[0].top + runs[0].height, 480);
    EXPECT_TRUE(runs[0].systemFont);
  }
  // An open candidate window without a composition draws no page.
  OpenCandidates(sim::CandidateListBytes({"a"}, 0));
  EXPECT_EQ(Draw().size(), 1u);
}

TEST_F(ImeDrawTest, CompositionWithoutAttributesEndsAtThePosition) {
  KR2DSetImeTextPosition(300, 200);
  Compose("かな", "");
  std::vector<sim::TextRun> runs = Draw();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].text, "かな");
  EXPECT_EQ(runs[1].textAlign, static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
  EXPECT_EQ(runs[1].left + runs[1].width, 300);
  EXPECT_EQ(runs[1].top + runs[1].height, 200);
  ExpectTriple(runs[1], 0);

  // The position outlives a restart of the 2D component.
  KR2DCleanup();
  ASSERT_EQ(KR2DStartup(), 1);
  KRInputOnImeEndComposition(0, 0);
  Compose("x", "");
  runs = Draw();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].left + runs[1].width, 300);
}

TEST_F(ImeDrawTest, EachCharacterTakesTheTripleOfItsFirstAttributeByte) {
  KR2DSetImeTextPosition(10, 20);
  Compose("漢字", "\x01\x01\x02\x02");
  std::vector<sim::TextRun> runs = Draw();
  ASSERT_EQ(Texts(runs, 1), (std::vector<std::string>{"漢", "字"}));
  ExpectTriple(runs[1], 1);
  ExpectTriple(runs[2], 2);
  EXPECT_EQ(runs[1].left, 10);
  EXPECT_EQ(runs[1].top, 20);
  EXPECT_EQ(runs[2].left, runs[1].left + runs[1].width);
  EXPECT_EQ(runs[1].textAlign, static_cast<UINT>(TA_UPDATECP));

  // Above 3 is triple 3, a negative byte triple 0, and so is every byte past the attributes.
  Compose("abcd", "\x04\x80\x03");
  runs = Draw();
  ASSERT_EQ(Texts(runs, 1), (std::vector<std::string>{"a", "b", "c", "d"}));
  for (int i = 0; i < 4; ++i) ExpectTriple(runs[1 + i], i % 2 == 0 ? 3 : 0);

  // A lead byte at the end is a character of its own.
  Compose("a\x82", "\x01\x02");
  runs = Draw();
  ASSERT_EQ(Texts(runs, 1), (std::vector<std::string>{"a", "\x82"}));
  ExpectTriple(runs[2], 2);
}

TEST_F(ImeDrawTest, CandidatePageHoldsTheSelection) {
  std::vector<std::string> candidates;
  for (int i = 0; i < 10; ++i) candidates.push_back("c" + std::to_string(i));
  Compose("かんじ", "\x01\x01\x01\x01\x01\x01"s);
  const struct {
    DWORD selection;
    std::vector<std::string> lines;
    size_t selected;
  } cases[] = {
      {0, {"1.c0", "2.c1", "3.c2", "4.c3"}, 0},
      {5, {"1.c4", "2.c5", "3.c6", "4.c7"}, 1},
      {9, {"1.c8", "2.c9"}, 1},
  };
  for (const auto& c : cases) {
    // The page start the input method reports plays no part.
    OpenCandidates(sim::CandidateListBytes(candidates, c.selection, 2, 9));
    std::vector<sim::TextRun> runs = Draw();
    ASSERT_EQ(Texts(runs, 4), Numbered(c.lines)) << c.selection;
    EXPECT_EQ(runs[4].left, 0);
    EXPECT_EQ(runs[4].top + runs[4].height, 480);
    for (size_t line = 0; line < c.lines.size(); ++line) {
      const sim::TextRun& text = runs[4 + 2 * line];
      const sim::TextRun& blanks = runs[5 + 2 * line];
      ExpectTriple(text, line == c.selected ? 1 : 2);
      EXPECT_EQ(text.textAlign, static_cast<UINT>(TA_UPDATECP | TA_BOTTOM));
      EXPECT_EQ(blanks.backgroundMode, TRANSPARENT);
      EXPECT_EQ(blanks.left, text.left + text.width);
    }
  }
  KRInputOnImeNotify(IMN_CLOSECANDIDATE, 0);
  EXPECT_EQ(Draw().size(), 4u);
}

TEST_F(ImeDrawTest, MalformedCandidatesAreSkippedAndNumberingStaysByPosition) {
  Compose("a", "");
  std::string list = sim::CandidateListBytes({"c0", "c1", "c2", "c3"}, 0);
  const DWORD outside = 5000, inside = 23;
  memcpy(&list[24 + 4], &outside, 4);  // c1 points past the list
  memcpy(&list[24], &inside, 4);       // c0 into the header
  // c3's terminator lies past dwSize.
  DWORD size = static_cast<DWORD>(list.size() - 1);
  memcpy(&list[0], &size, 4);
  OpenCandidates(list);
  EXPECT_EQ(Texts(Draw(), 2), Numbered({"3.c2"}));

  // More candidates claimed than offsets present, and a selection far past them.
  list = sim::CandidateListBytes({"c0"}, 0);
  DWORD count = 1000000, selection = 0xFFFFFFFF;
  memcpy(&list[8], &count, 4);
  OpenCandidates(list);
  EXPECT_EQ(Texts(Draw(), 2), Numbered({"1.c0"}));
  memcpy(&list[12], &selection, 4);
  OpenCandidates(list);
  EXPECT_TRUE(Texts(Draw(), 2).empty());
}

TEST_F(ImeDrawTest, LongCandidateLinesEndOnWholeCharacters) {
  std::string longest;
  for (int i = 0; i < 100; ++i) longest += "あ";
  Compose("a", "");
  OpenCandidates(sim::CandidateListBytes({longest, std::string(300, 'z')}, 0));
  std::vector<std::string> texts = Texts(Draw(), 2);
  ASSERT_EQ(texts.size(), 4u);
  // "1." and 62 characters: a 63rd would need 128 bytes.
  EXPECT_EQ(texts[0], "1." + longest.substr(0, 124));
  EXPECT_EQ(texts[2], "2." + std::string(125, 'z'));
}

TEST_F(ImeDrawTest, TheInputMethodFontSetDrawsCompositionAndCandidates) {
  LOGFONTA latin = Font("Arial", 16);
  LOGFONTA japanese = Font("MS Gothic", 24);
  KR2DSetImeTextFont(&latin, &japanese);
  Compose("a漢", "\x00\x01\x01"s);
  OpenCandidates(sim::CandidateListBytes({"x"}, 0));
  std::vector<sim::TextRun> runs = Draw();
  ASSERT_EQ(Texts(runs, 1), (std::vector<std::string>{"a", "漢", "1.x", "  "}));
  const std::string restored = ArgumentsOf("SelectObject").back();
  EXPECT_EQ(restored.substr(restored.rfind(' ') + 1), HandleArg(GetStockObject(SYSTEM_FONT))) << "the font put back";
  EXPECT_TRUE(runs[0].systemFont);  // the indicator keeps the context's font
  for (int i = 1; i <= 3; ++i) EXPECT_STREQ(runs[i].font.lfFaceName, i == 1 ? "Arial" : "MS Gothic") << i;

  Compose("ab", "");
  runs = Draw();
  EXPECT_STREQ(runs[1].font.lfFaceName, "MS Gothic");

  // The size call sizes the single-byte font only: 0.05 of 640 by 480.
  KR2DSetImeTextFontSize(0.05f, 0.05f);
  Compose("a漢", "\x00\x00\x00"s);
  runs = Draw();
  EXPECT_EQ((std::vector<LONG>{runs[1].font.lfWidth, runs[1].font.lfHeight, runs[2].font.lfWidth, runs[2].font.lfHeight}),
            (std::vector<LONG>{32, 24, 0, 24}));
  EXPECT_EQ(sim::LiveGdiObjects() > 0, true);
}

TEST_F(ImeDrawTest, WithoutAFontSetNoFontIsSelectedOrRestored) {
  Compose("a漢", "\x00\x01\x01"s);
  OpenCandidates(sim::CandidateListBytes({"x"}, 0));
  sim::ClearCalls();
  std::vector<sim::TextRun> runs = Draw();
  ASSERT_EQ(runs.size(), 5u);
  for (const sim::TextRun& run : runs) EXPECT_TRUE(run.systemFont) << run.text;
  EXPECT_EQ(sim::CountCalls("SelectObject"), 0);
}

TEST_F(ImeDrawTest, AFailedDeviceContextKeepsTheRequest) {
  Compose("a", "");
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_SURFACEBUSY);
  EXPECT_EQ(KR2DDrawIme(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KR2DDrawImeReq(), 1);
}

TEST_F(ImeDrawTest, AStaleOpenFlagWithoutInputCountsAsClosed) {
  Compose("a", "");
  KRInputCleanup();
  ASSERT_EQ(g_krIme.bImeOpen, 1);
  sim::ClearCalls();
  EXPECT_TRUE(Draw().empty());
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::GetDC"), 0);
}

}  // namespace
