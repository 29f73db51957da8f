// A Japanese system: the ANSI code page 932, the C run-time's multibyte table
// made for it, and file names whose trail bytes look like ASCII.
// On Windows this group runs in a Japanese locale (see CMakeLists.txt).
#include <mbctype.h>

#include <cerrno>
#include <string>

#include "tests/platform/dual_fixture.h"

namespace {

class DualCodePage : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    ASSERT_TRUE(IsDBCSLeadByte(0x82)) << "the system's ANSI code page is not 932";
  }
  // The run-time's table is the process's: back to the system's for the next test.
  void TearDown() override {
    _setmbcp(_MB_CP_ANSI);
    DualTest::TearDown();
  }

  static bool Exists(const char* name) {
    HANDLE file = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
};

TEST_F(DualCodePage, TheSystemsLeadBytesAreThoseOf932) {
  for (unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu}) EXPECT_TRUE(IsDBCSLeadByte(lead)) << std::hex << lead;
  for (unsigned other : {0x80u, 0xA0u, 0xA1u, 0xDFu, 0xFDu, 0x41u, 0x5Cu}) {
    EXPECT_FALSE(IsDBCSLeadByte(other)) << std::hex << other;
  }
}

TEST_F(DualCodePage, TheRunTimesTableHasTheLeadBytesAndHalfWidthKatakana) {
  EXPECT_EQ(_getmbcp(), 932);
  for (unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu}) EXPECT_NE(_ismbblead(lead), 0) << std::hex << lead;
  for (unsigned other : {0x80u, 0xA0u, 0xA1u, 0xDFu, 0xFDu, 0x41u, 0x5Cu}) {
    EXPECT_EQ(_ismbblead(other), 0) << std::hex << other;
  }
  for (unsigned kana : {0xA1u, 0xA5u, 0xA6u, 0xDFu}) EXPECT_NE(_ismbbkana(kana), 0) << std::hex << kana;
  for (unsigned other : {0xA0u, 0xE0u, 0x81u, 0x41u}) EXPECT_EQ(_ismbbkana(other), 0) << std::hex << other;
  EXPECT_NE(_ismbbtrail(0x5C), 0) << "a backslash can end a double-byte character";
  EXPECT_EQ(_ismbbtrail(0x7F), 0);
}

// The run-time's table can be switched apart from the system's code page.
TEST_F(DualCodePage, SetmbcpChangesOnlyTheRunTimesTable) {
  ASSERT_EQ(_setmbcp(1252), 0);
  EXPECT_EQ(_ismbblead(0x82), 0);
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
  ASSERT_EQ(_setmbcp(_MB_CP_ANSI), 0);
  EXPECT_EQ(_getmbcp(), 932);

  errno = 0;
  EXPECT_EQ(_setmbcp(12345), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(_getmbcp(), 932) << "a refused code page changes nothing";
}

TEST_F(DualCodePage, TheSingleByteTableIsCodePageZero) {
  ASSERT_EQ(_setmbcp(_MB_CP_SBCS), 0);
  EXPECT_EQ(_ismbblead(0x82), 0);
  if (OnWine()) GTEST_SKIP() << "Wine's run-time reports the single-byte table as code page 20127";
  EXPECT_EQ(_getmbcp(), 0);
}

// "ソ" is 83 5C, its trail byte a backslash; "ア" is 83 41 and "ヂ" 83 61,
// their trail bytes an "A" and an "a".
TEST_F(DualCodePage, FileNamesKeepTheirTrailBytes) {
  // Wine keeps file names in the host's locale, and this machine has no Japanese one installed.
  if (OnWine()) GTEST_SKIP() << "Wine cannot store non-ASCII file names without a host Japanese locale";
  HANDLE file = CreateFileA("\x83\x5C.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "no folder named 83";
  CloseHandle(file);
  EXPECT_TRUE(Exists("\x83\x5C.TXT"));

  file = CreateFileA("\x83\x41.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(Exists("\x83\x41.TXT"));
  EXPECT_FALSE(Exists("\x83\x61.txt")) << "another character, not another case";
}

TEST_F(DualCodePage, FullPathsKeepTrailBytes) {
  char current[MAX_PATH];
  ASSERT_NE(GetFullPathNameA(".", sizeof current, current, nullptr), 0u);
  char full[MAX_PATH];
  char* filePart = nullptr;
  ASSERT_NE(GetFullPathNameA("\x83\x5C\\a.bmp", sizeof full, full, &filePart), 0u);
  EXPECT_EQ(std::string(full), std::string(current) + "\\\x83\x5C\\a.bmp");
  ASSERT_NE(GetFullPathNameA("\x83\x5C", sizeof full, full, &filePart), 0u);
  ASSERT_NE(filePart, nullptr);
  EXPECT_STREQ(filePart, "\x83\x5C");
}

}  // namespace

namespace {

TEST_F(DualCodePage, TextConvertsBetween932AndUtf16BothWays) {
  const char* japanese = "\x89\xB9\x8C\xB9 A";  // two kanji, a blank and a letter
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, japanese, -1, nullptr, 0), 5) << "with the zero";
  WCHAR wide[8] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, japanese, -1, wide, 8), 5);
  EXPECT_EQ(wide[0], 0x97F3);
  EXPECT_EQ(wide[1], 0x6E90);
  EXPECT_EQ(wide[3], 'A');
  EXPECT_EQ(wide[4], 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, japanese, 2, wide, 8), 1) << "a length counts bytes, no zero added";

  char back[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr), 7);
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 8, nullptr, nullptr), 7);
  EXPECT_STREQ(back, japanese);
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, japanese, -1, wide, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(DualCodePage, ACharacterThePageLacksBecomesTheDefaultCharacter) {
  const WCHAR thai[] = {0x0E01, 'x', 0};
  char bytes[8] = {};
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, thai, -1, bytes, 8, nullptr, &usedDefault), 3);
  EXPECT_STREQ(bytes, "?x");
  EXPECT_TRUE(usedDefault);
}

}  // namespace
