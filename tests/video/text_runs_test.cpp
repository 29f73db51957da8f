// Splitting text into single-byte and double-byte runs after the process's
// multibyte table: code page 932 splits at lead bytes and single-byte katakana,
// a single-byte code page never splits, and no run reaches past the text's end.
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/gdi_control.h"
#include "support/kr_test.h"
#include "video/text_runs.h"

namespace {

// "あ" and "い" in code page 932, and the single-byte katakana "ｱ" and "ｲ".
const std::string kA = "\x82\xA0";
const std::string kI = "\x82\xA2";
const std::string kKanaA = "\xB1";
const std::string kKanaI = "\xB2";

using Runs = std::vector<std::pair<std::string, bool>>;  // bytes, double-byte

Runs Split(const std::string& text, int length = -1) {
  Runs runs;
  KR2DTEXTRUNS split;
  KR2DTEXTRUN run;
  KR2DBeginTextRuns(&split, text.c_str(), length);
  while (KR2DNextTextRun(&split, &run) && runs.size() < 64) {
    runs.emplace_back(std::string(run.lpText, static_cast<size_t>(run.nLength)), run.bDoubleByte != 0);
  }
  return runs;
}

const bool S = false;  // a single-byte run
const bool D = true;   // a double-byte run

class TextRunsTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    sim::SetAnsiCodePage(932);
  }
};

TEST_F(TextRunsTest, PlainTextIsOneSingleByteRunAndDoubleByteTextOneDoubleByteRun) {
  EXPECT_EQ(Split("Score 100"), (Runs{{"Score 100", S}}));
  EXPECT_EQ(Split(kA + kI), (Runs{{kA + kI, D}}));
  EXPECT_EQ(Split(""), Runs{});
}

TEST_F(TextRunsTest, KindsAlternateAtEveryChange) {
  EXPECT_EQ(Split("ab" + kA + "c"), (Runs{{"ab", S}, {kA, D}, {"c", S}}));
  EXPECT_EQ(Split(kA + "x" + kI + kI + "yz"), (Runs{{kA, D}, {"x", S}, {kI + kI, D}, {"yz", S}}));
}

TEST_F(TextRunsTest, SingleByteKatakanaJoinsDoubleByteRunsUnlessItOpensTheText) {
  EXPECT_EQ(Split("a" + kKanaA + kA + kKanaI + "b"), (Runs{{"a", S}, {kKanaA + kA + kKanaI, D}, {"b", S}}));
  // At the start it opens a single-byte run of just itself.
  EXPECT_EQ(Split(kKanaA + kKanaI + "z"), (Runs{{kKanaA, S}, {kKanaI, D}, {"z", S}}));
  EXPECT_EQ(Split(kKanaA + "z"), (Runs{{kKanaA + "z", S}}));
}

TEST_F(TextRunsTest, TrailByteThatLooksLikeALeadOrKanaStaysInItsCharacter) {
  // A trail byte goes with its lead byte, whatever value it has on its own.
  const std::string kanaTrail = "\x83\xB1";  // a lead byte whose trail byte is a katakana value
  EXPECT_EQ(Split("a" + kanaTrail + "b"), (Runs{{"a", S}, {kanaTrail, D}, {"b", S}}));
  const std::string leadTrail = "\x88\x9F";  // "亜": the trail byte is itself a lead-byte value
  EXPECT_EQ(Split(leadTrail + "x"), (Runs{{leadTrail, D}, {"x", S}}));
}

TEST_F(TextRunsTest, LeadByteAtTheEndIsTakenAsASingleByte) {
  EXPECT_EQ(Split("ab\x82"), (Runs{{"ab\x82", S}}));
  EXPECT_EQ(Split("\x82"), (Runs{{"\x82", S}}));
  EXPECT_EQ(Split(kA + "\x82"), (Runs{{kA, D}, {"\x82", S}}));
  // The same holds at the end of a given length: the byte after it is not read.
  EXPECT_EQ(Split("ab" + kA, 3), (Runs{{"ab\x82", S}}));
  EXPECT_EQ(Split(kA + kI, 3), (Runs{{kA, D}, {"\x82", S}}));
}

TEST_F(TextRunsTest, GivenLengthStopsAtAnEarlierTerminator) {
  std::string text = "ab";
  text += '\0';
  text += "cd";
  KR2DTEXTRUNS split;
  KR2DBeginTextRuns(&split, text.c_str(), 5);
  EXPECT_EQ(split.nRemaining, 2);
  EXPECT_EQ(Split(text, 5), (Runs{{"ab", S}}));
  EXPECT_EQ(Split("abcdef", 4), (Runs{{"abcd", S}}));
  EXPECT_EQ(Split("abc", 0), Runs{});
}

TEST_F(TextRunsTest, SingleByteCodePageNeverSplits) {
  sim::SetAnsiCodePage(1252);
  EXPECT_EQ(Split("ab" + kA + kKanaA + "c"), (Runs{{"ab" + kA + kKanaA + "c", S}}));
  EXPECT_EQ(Split(kA), (Runs{{kA, S}}));
}

}  // namespace
