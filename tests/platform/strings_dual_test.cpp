// The string helpers of the Windows API: comparison and wsprintfA.
#include <string>

#include "tests/platform/dual_fixture.h"

namespace {

using DualStrings = DualTest;

TEST_F(DualStrings, LstrcmpIsExactAndLstrcmpiIgnoresCase) {
  EXPECT_EQ(lstrcmpA("KRMODEL0000", "KRMODEL0000"), 0);
  EXPECT_NE(lstrcmpA("KRMODEL0000", "krmodel0000"), 0);
  EXPECT_LT(lstrcmpA("abc", "abd"), 0);
  EXPECT_GT(lstrcmpA("abcd", "abc"), 0);
  EXPECT_LT(lstrcmpA(nullptr, ""), 0);
  EXPECT_EQ(lstrcmpiA("KRMODEL0000", "krmodel0000"), 0);
  EXPECT_NE(lstrcmpiA("KRMODEL0000", "KRMODEL000"), 0);
}

TEST_F(DualStrings, WsprintfFormatsAsUser32Does) {
  char line[128];
  EXPECT_EQ(wsprintfA(line, "%d.%s", 3, "\x8C\xF3\x95\xE2"), 6);
  EXPECT_STREQ(line, "3.\x8C\xF3\x95\xE2");
  const DWORD triangles = 4000000000u;
  wsprintfA(line, "Triangles per frame = %d, %lu, %04X, %-3c|, %%", 12, triangles, 0xAB, 'x');
  EXPECT_STREQ(line, "Triangles per frame = 12, 4000000000, 00AB, x  |, %");
  wsprintfA(line, "%s", static_cast<const char*>(nullptr));
  EXPECT_STREQ(line, "(null)");
}

// A cut text answers the buffer's size, not the characters kept.
TEST_F(DualStrings, WsprintfWritesAtMostAThousandAndTwentyFourBytes) {
  std::string out(2000, '\x7F');
  EXPECT_EQ(wsprintfA(out.data(), "%s%s", std::string(1000, 'a').c_str(), std::string(24, 'b').c_str()), 1024);
  EXPECT_EQ(out[1022], 'b');
  EXPECT_EQ(out[1023], '\0');
  EXPECT_EQ(wsprintfA(out.data(), "%s", std::string(2000, 'a').c_str()), 1024);
  EXPECT_EQ(out[1023], '\0');
  EXPECT_EQ(out[1024], '\x7F') << "nothing beyond the limit is touched";
}

TEST_F(DualStrings, WsprintfCountsATextThatJustFits) {
  if (OnWine()) GTEST_SKIP() << "Wine counts a text of 1023 characters as cut";
  std::string out(2000, '\x7F');
  EXPECT_EQ(wsprintfA(out.data(), "%s", std::string(1023, 'a').c_str()), 1023);
  EXPECT_EQ(out[1023], '\0');
}

}  // namespace
