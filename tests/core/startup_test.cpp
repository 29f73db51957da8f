// Library start-up, clean-up and version.
#include "support/kr_test.h"

#include "core/core_state.h"

namespace {

// The fixture cleans up after each test, so tests end without KRCleanup.
class StartupTest : public KRTest {};

TEST_F(StartupTest, StartupCopiesTheRecordAndInitialisesCom) {
  KRSTARTUPINFO info = StartupInfo();
  ASSERT_EQ(KRStartup(&info), 1);
  EXPECT_EQ(g_krCore.bStarted, 1u);
  EXPECT_EQ(g_krCore.hWnd, info.hWnd);
  EXPECT_EQ(g_krCore.hInstance, info.hInstance);
  EXPECT_EQ(g_krCore.guidApplication.Data1, 0xCAFEF00Du);
  EXPECT_EQ(g_krCore.dwAllocSerial, 1u);
  EXPECT_EQ(sim::ComInitializeDepth(), 1);
  EXPECT_EQ(sim::DebugOutput(), "KR : Startup\r\n");
}

TEST_F(StartupTest, SecondStartupIsRefusedAndKeepsTheFirstRecord) {
  KRSTARTUPINFO first = StartupInfo();
  ASSERT_EQ(KRStartup(&first), 1);
  KRSTARTUPINFO second = StartupInfo();
  second.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x9999));
  second.guidApplication.Data1 = 0x11111111;
  EXPECT_EQ(KRStartup(&second), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x0001u);
  EXPECT_EQ(LastErrorText(), "Korvath : 既に初期化されています");
  EXPECT_EQ(g_krCore.hWnd, first.hWnd);
  EXPECT_EQ(g_krCore.guidApplication.Data1, 0xCAFEF00Du);
  EXPECT_EQ(sim::CountCalls("CoInitialize"), 1);
}

TEST_F(StartupTest, CleanupBeforeStartupDoesNothingButSetTheCode) {
  KRCleanup();
  EXPECT_EQ(KRErrorGetLastError(), 0x0002u);
  EXPECT_EQ(LastErrorText(), "Korvath : 初期化されていません");
  EXPECT_EQ(sim::CountCalls("CoUninitialize"), 0);
  // Only the last-error diagnostic reaches the debugger; no log line.
  EXPECT_EQ(sim::DebugOutput().find("KR : "), std::string::npos);
}

TEST_F(StartupTest, CleanupClearsTheRecordButKeepsTheSerialCounter) {
  StartLibrary();
  KRFree(KRAlloc(8));
  KRFree(KRAlloc(8));
  KRCleanup();
  EXPECT_EQ(g_krCore.bStarted, 0u);
  EXPECT_EQ(g_krCore.hWnd, nullptr);
  EXPECT_EQ(g_krCore.hInstance, nullptr);
  EXPECT_EQ(g_krCore.guidApplication.Data1, 0u);
  EXPECT_EQ(g_krCore.dwAllocSerial, 3u);
  EXPECT_EQ(sim::ComInitializeDepth(), 0);
  EXPECT_NE(sim::DebugOutput().find("KR : Cleanup\r\n"), std::string::npos);
}

TEST_F(StartupTest, RestartIsAFreshStartWithSerialOne) {
  KRSTARTUPINFO info = StartupInfo(KRSTARTUP_ALLOCTRACE);
  ASSERT_EQ(KRStartup(&info), 1);
  KRFree(KRAlloc(4));
  KRCleanup();
  sim::ClearDebugOutput();
  ASSERT_EQ(KRStartup(&info), 1);
  void* block = KRAllocEx(4, const_cast<char*>("KRLI:BUFFER"));
  EXPECT_NE(sim::DebugOutput().find("KRAllocEx(01 00 00 00, \"KRLI:BUFFER \")"), std::string::npos);
  KRFree(block);
}

TEST_F(StartupTest, DebugLogFlagWithEmptyNameLogsToTheDebuggerOnly) {
  StartLibrary(KRSTARTUP_DEBUGLOG, "");
  KRDebugDump("line\n");
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  // Without a file, lines go out exactly as formatted.
  EXPECT_NE(sim::DebugOutput().find("KRDebug : Startup\nline\n"), std::string::npos);
  KRCleanup();
  EXPECT_NE(sim::DebugOutput().find("KRDebug : Cleanup\n"), std::string::npos);
}

TEST_F(StartupTest, DebugLogFileHoldsEverythingBetweenStartupAndCleanup) {
  KRSTARTUPINFO info = StartupInfo(KRSTARTUP_DEBUGLOG, "krdebug.txt");
  ASSERT_EQ(KRStartup(&info), 1);
  KRDebugDump("hello %d\n", 7);
  KRCleanup();
  EXPECT_EQ(sim::ReadWholeFile("C:\\work\\krdebug.txt"),
            "KRDebug info : Open krdebug.txt file\r\n"
            "KRDebug : Startup\r\n"
            "hello 7\r\n"
            "KRDebug : Cleanup\r\n");
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  // The start-up and clean-up lines of the core itself reach only the debugger.
  std::string out = sim::DebugOutput();
  EXPECT_EQ(out.find("KR : Startup\r\n"), 0u);
  EXPECT_NE(out.find("KRDebug info : Close krdebug.txt file\r\nKR : Cleanup\r\n"), std::string::npos);
}

TEST_F(StartupTest, AllocTraceFlagAloneTracesToTheDebugger) {
  StartLibrary(KRSTARTUP_ALLOCTRACE, "krdebug.txt");
  KRFree(KRAlloc(16));
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  EXPECT_NE(sim::DebugOutput().find("KR : KRAlloc  (01 00 00 00"), std::string::npos);
}

TEST_F(StartupTest, UnterminatedDebugFileNameIsCutAtItsField) {
  // 260 characters and no terminator: a folder of 200 and a file name of 51.
  std::string folder = "C:\\" + std::string(200, 'd');
  std::string name = folder + "\\" + std::string(260 - folder.size() - 1, 'f');
  ASSERT_EQ(name.size(), 260u);
  sim::MakeDirectory(folder);
  KRSTARTUPINFO info = StartupInfo(KRSTARTUP_DEBUGLOG);
  memcpy(info.szDebugFileName, name.data(), 260);
  ASSERT_EQ(KRStartup(&info), 1);
  KRCleanup();
  EXPECT_TRUE(sim::FileExists(name));
}

TEST_F(StartupTest, LogOpenedByTheApplicationOutlivesCleanup) {
  StartLibrary();
  ASSERT_EQ(KRDebugStartup("own.txt"), 1);
  KRCleanup();
  KRDebugDump("after\n");
  EXPECT_NE(sim::ReadWholeFile("own.txt").find("KR : Cleanup\r\nafter\r\n"), std::string::npos);
  KRDebugCleanup();
}

TEST_F(StartupTest, ComIsUninitialisedOnlyWhenOurInitialisationTookEffect) {
  sim::FailNext("CoInitialize", E_OUTOFMEMORY);
  KRSTARTUPINFO info = StartupInfo();
  EXPECT_EQ(KRStartup(&info), 1);  // a COM failure does not fail start-up
  KRCleanup();
  EXPECT_EQ(sim::CountCalls("CoUninitialize"), 0);
}

TEST_F(StartupTest, ApplicationsOwnComInitialisationSurvivesCleanup) {
  ASSERT_EQ(CoInitialize(NULL), S_OK);
  KRSTARTUPINFO info = StartupInfo();
  ASSERT_EQ(KRStartup(&info), 1);  // our CoInitialize gets S_FALSE and still counts
  KRCleanup();
  EXPECT_EQ(sim::ComInitializeDepth(), 1);
  CoUninitialize();
}

TEST_F(StartupTest, ComponentsLeftStartedAreCleanedUpWithAWarning) {
  StartLibrary();
  ASSERT_EQ(KRListStartup(), 1);
  sim::ClearDebugOutput();
  KRCleanup();
  std::string out = sim::DebugOutput();
  size_t warning = out.find("KR Warining : You didn't cleanup KRList\r\n");
  size_t cleanup = out.find("KRList : Cleanup\r\n");
  ASSERT_NE(warning, std::string::npos);
  ASSERT_NE(cleanup, std::string::npos);
  EXPECT_LT(warning, cleanup);
  EXPECT_EQ(KRListStartup(), 1);  // it was really cleaned up
  KRListCleanup();
}

TEST_F(StartupTest, LeftComponentsAreCleanedUpListsFirstThen2DThenVideo) {
  StartLibrary();
  ASSERT_EQ(KRVideoStartup(0), 1);
  ASSERT_EQ(KR2DStartup(), 1);
  ASSERT_EQ(KRListStartup(), 1);
  sim::ClearDebugOutput();
  KRCleanup();
  std::string out = sim::DebugOutput();
  const char* inOrder[] = {
      "KR Warining : You didn't cleanup KRList\r\n",  "KRList : Cleanup\r\n",
      "KR Warining : You didn't cleanup KR2D\r\n",    "KR2D : Cleanup\r\n",
      "KR Warining : You didn't cleanup KRVideo\r\n", "KRVideo : Cleanup\r\n",
      "KR : Cleanup\r\n",
  };
  size_t from = 0;
  for (const char* line : inOrder) {
    size_t at = out.find(line, from);
    ASSERT_NE(at, std::string::npos) << line << " after position " << from << " in\n" << out;
    from = at;
  }
  // Video was really cleaned up: after a new start-up it starts again.
  StartLibrary();
  EXPECT_EQ(KRVideoStartup(0), 1);
}

TEST_F(StartupTest, VersionIsReportedWhetherOrNotStarted) {
  KRVERSIONINFO version = {9, 9, 9};
  EXPECT_EQ(KRGetVersion(&version), 1);
  EXPECT_EQ(version.dwMajorVersion, 0u);
  EXPECT_EQ(version.dwMinorVersion, 71u);
  EXPECT_EQ(version.dwBuildNumber, 655u);
  StartLibrary();
  KRVERSIONINFO again = {};
  EXPECT_EQ(KRGetVersion(&again), 1);
  EXPECT_EQ(again.dwMinorVersion, 71u);
  EXPECT_EQ(KRValidateKRSystems(), 1);
}

}  // namespace
