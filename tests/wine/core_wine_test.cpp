// The core services of the real KORVATHD.DLL under Wine: start-up and clean-up,
// the debug log file byte for byte, the allocation trace, last errors, lists.
#include <gtest/gtest.h>
#include <korvathd.h>

#include <cstdio>
#include <string>

#include "support/library_calls.h"

namespace {

using namespace winsupport;

// The core needs no window of its own: the desktop stands in.
KRSTARTUPINFO CoreStartupInfo(DWORD flags, const char* logName) {
  return StartupInfo(GetDesktopWindow(), flags, logName);
}

TEST(CoreOnWindows, DebugLogFileHoldsExactlyTheLinesOfAStartupAndCleanup) {
  const char* name = "core_startup_log.txt";
  remove(name);
  KRSTARTUPINFO info = CoreStartupInfo(KRSTARTUP_DEBUGLOG | KRSTARTUP_ALLOCTRACE, name);
  ASSERT_EQ(KRStartup(&info), 1);
  void* block = KRAllocEx(100, const_cast<char*>("KRIN:KEYBUFF"));
  KRDebugDump("value %d, text %s\n", 42, "ok");
  KRFree(block);
  KRFree(KRAlloc(7));
  KRCleanup();

  EXPECT_EQ(ReadFileBytes(name),
            "KRDebug info : Open core_startup_log.txt file\r\n"
            "KRDebug : Startup\r\n"
            "KR : KRAllocEx(01 00 00 00, \"KRIN:KEYBUFF\")      100 bytes allocated\r\n"
            "value 42, text ok\r\n"
            "KR : KRFree   (01 00 00 00, \"KRIN:KEYBUFF\")\r\n"
            "KR : KRAlloc  (02 00 00 00, \"            \")        7 bytes allocated\r\n"
            "KR : KRFree   (02 00 00 00, \"            \")\r\n"
            "KRDebug : Cleanup\r\n");
  remove(name);
}

TEST(CoreOnWindows, LeftListsAreReleasedAtCleanupIntoTheLog) {
  const char* name = "core_cleanup_log.txt";
  remove(name);
  KRSTARTUPINFO info = CoreStartupInfo(KRSTARTUP_DEBUGLOG, name);
  ASSERT_EQ(KRStartup(&info), 1);
  ASSERT_EQ(KRListStartup(), 1);
  ASSERT_EQ(KRListCreateList(4), 1);
  KRCleanup();
  std::string log = ReadFileBytes(name);
  EXPECT_NE(log.find("KR Warining : You didn't cleanup KRList\r\n"
                     "KRList : Cleanup\r\n"
                     "KRList Warning : You didn't release Buffer(1).\r\n"),
            std::string::npos)
      << log;
  remove(name);
}

TEST(CoreOnWindows, RestartAfterCleanupTruncatesTheLogAndRestartsSerials) {
  const char* name = "core_restart_log.txt";
  KRSTARTUPINFO info = CoreStartupInfo(KRSTARTUP_DEBUGLOG | KRSTARTUP_ALLOCTRACE, name);
  ASSERT_EQ(KRStartup(&info), 1);
  KRFree(KRAlloc(1));
  KRFree(KRAlloc(1));
  KRCleanup();
  ASSERT_EQ(KRStartup(&info), 1);
  KRFree(KRAlloc(3));
  KRCleanup();
  std::string log = ReadFileBytes(name);
  EXPECT_NE(log.find("(01 00 00 00, \"            \")        3 bytes"), std::string::npos) << log;
  EXPECT_EQ(log.find("02 00 00 00"), std::string::npos) << log;
  remove(name);
}

TEST(CoreOnWindows, StartupTwiceAndCleanupUnstartedSetJapaneseTexts) {
  KRCleanup();
  EXPECT_EQ(KRErrorGetLastError(), 0x0002u);
  EXPECT_EQ(LastErrorText(), "Korvath : 初期化されていません");
  KRSTARTUPINFO info = CoreStartupInfo(0, "");
  ASSERT_EQ(KRStartup(&info), 1);
  EXPECT_EQ(KRStartup(&info), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x0001u);
  EXPECT_EQ(LastErrorText(), "Korvath : 既に初期化されています");
  EXPECT_EQ(KRDebugStartup(""), 1);
  EXPECT_EQ(KRDebugStartup(""), 0);
  EXPECT_EQ(LastErrorText(), "KRDebug : 既に初期化されています");
  KRDebugCleanup();
  KRCleanup();
  // Success leaves the last failure in place.
  EXPECT_EQ(KRErrorGetLastError(), 0xF001u);
}

TEST(CoreOnWindows, VersionIs0_71_655) {
  KRVERSIONINFO version = {};
  EXPECT_EQ(KRGetVersion(&version), 1);
  EXPECT_EQ(version.dwMajorVersion, 0u);
  EXPECT_EQ(version.dwMinorVersion, 71u);
  EXPECT_EQ(version.dwBuildNumber, 655u);
  EXPECT_EQ(KRValidateKRSystems(), 1);
}

TEST(CoreOnWindows, ListsKeepOrderAcrossInsertAndRemove) {
  ASSERT_EQ(KRListStartup(), 1);
  int list = KRListCreateList(8);
  ASSERT_EQ(list, 1);
  char a, b, c, d;
  KRListAddTail(list, &a);
  KRListAddTail(list, &c);
  KRListFind(list, &c);
  EXPECT_EQ(KRListInsertBefore(list, &b), &b);
  EXPECT_EQ(KRListInsertAfter(list, &d), &d);
  KRListSetCurrentPosition(list, 0);
  EXPECT_EQ(KRListGetNext(list), &a);
  EXPECT_EQ(KRListGetNext(list), &b);
  EXPECT_EQ(KRListGetNext(list), &c);
  EXPECT_EQ(KRListGetNext(list), &d);
  EXPECT_EQ(KRListGetNext(list), nullptr);
  EXPECT_EQ(KRListRemoveTail(list), &d);
  EXPECT_EQ(KRListGetCount(list), 3);
  EXPECT_EQ(KRListCreateList(0), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x9005u);
  EXPECT_EQ(LastErrorText(), "Korvath : 不正な値です");
  KRListReleaseList(list);
  KRListCleanup();
}

}  // namespace
