// Debug log: debugger output, the log file and line-end conversion.
#include "support/kr_test.h"

namespace {

class DebugLogTest : public KRTest {};

TEST_F(DebugLogTest, BeforeStartupLinesReachTheDebuggerConverted) {
  KRDebugDump("x\n");
  EXPECT_EQ(sim::DebugOutput(), "x\r\n");
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  EXPECT_EQ(sim::CountCalls("WriteFile"), 0);
}

TEST_F(DebugLogTest, FormattedTextIsCutAt1023Characters) {
  std::string longText(1500, 'a');
  KRDebugDump("%s", longText.c_str());
  EXPECT_EQ(sim::DebugOutput(), std::string(1023, 'a'));
}

TEST_F(DebugLogTest, LineFeedsDoubleInTheFileWithoutATerminator) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  std::string before = sim::ReadWholeFile("krdebug.txt");
  KRDebugDump("%s", std::string(1023, '\n').c_str());
  std::string after = sim::ReadWholeFile("krdebug.txt");
  ASSERT_EQ(after.size(), before.size() + 2046);
  for (size_t i = before.size(); i < after.size(); i += 2) ASSERT_EQ(after.substr(i, 2), "\r\n");
  KRDebugCleanup();
}

TEST_F(DebugLogTest, CallersCrLfBecomesTwoLineEnds) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  KRDebugDump("a\r\nb\rc\n");
  EXPECT_NE(sim::ReadWholeFile("krdebug.txt").find("a\r\n\r\nb\r\nc\r\n"), std::string::npos);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, StartupOpensTheFileWriteThroughAndTruncates) {
  sim::WriteWholeFile("krdebug.txt", "old contents that must go\r\n");
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  // Write access only, no sharing, no security attributes, CREATE_ALWAYS, write-through, no template.
  std::vector<std::string> creates;
  for (const sim::CallRecord& call : sim::Calls())
    if (call.function == "CreateFileA") creates.push_back(call.arguments);
  EXPECT_EQ(creates, std::vector<std::string>{"\"krdebug.txt\", 0x40000000, 0x0, NULL, 2, 0x80000000, NULL"});
  EXPECT_EQ(sim::ReadWholeFile("krdebug.txt"), "KRDebug info : Open krdebug.txt file\r\nKRDebug : Startup\r\n");
  // Opened without sharing: nobody else can open it while the log runs.
  EXPECT_EQ(CreateFileA("krdebug.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, NULL),
            INVALID_HANDLE_VALUE);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, EveryLineIsFlushed) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  int flushesBefore = sim::CountCalls("FlushFileBuffers");
  KRDebugDump("one\n");
  KRDebugDump("two\n");
  EXPECT_EQ(sim::CountCalls("FlushFileBuffers"), flushesBefore + 2);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, EmptyOrNullNameLogsUnconvertedToTheDebuggerOnly) {
  for (const char* name : {"", static_cast<const char*>(nullptr)}) {
    sim::ClearDebugOutput();
    ASSERT_EQ(KRDebugStartup(name), 1);
    EXPECT_EQ(sim::DebugOutput(), "KRDebug : Startup\n");
    KRDebugCleanup();
  }
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
}

TEST_F(DebugLogTest, UnopenableFileIsReportedWithTheSystemsMessage) {
  ASSERT_EQ(KRDebugStartup("C:\\nowhere\\krdebug.txt"), 1);
  EXPECT_EQ(sim::DebugOutput(),
            "KRDebug info : Couldn't open C:\\nowhere\\krdebug.txt file\n"
            "KRDebug info : The system cannot find the path specified.\r\n\n"
            "KRDebug : Startup\n");
  EXPECT_EQ(sim::CountCalls("LocalFree"), 1);
  KRDebugCleanup();
}

// The "Couldn't open" line passes through the debugger output, which may change
// the last error: the message logged must still be that of the open's failure.
TEST_F(DebugLogTest, TheMessageIsOfTheOpensOwnFailureNotOfTheLineBeforeIt) {
  sim::FailNext("CreateFileA", ERROR_SHARING_VIOLATION, "busy.txt");
  ASSERT_EQ(KRDebugStartup("busy.txt"), 1);
  EXPECT_EQ(sim::DebugOutput(),
            "KRDebug info : Couldn't open busy.txt file\n"
            "KRDebug info : The process cannot access the file because it is being used by another process.\r\n\n"
            "KRDebug : Startup\n");
  EXPECT_EQ(sim::LiveLocalBlocks(), 0) << "the system's buffer is given back";
  KRDebugCleanup();
}

TEST_F(DebugLogTest, FailedMessageLookupWritesNoMessageAndFreesNothing) {
  sim::FailNext("FormatMessageA", ERROR_NOT_ENOUGH_MEMORY);
  ASSERT_EQ(KRDebugStartup("C:\\nowhere\\krdebug.txt"), 1);
  EXPECT_EQ(sim::DebugOutput(),
            "KRDebug info : Couldn't open C:\\nowhere\\krdebug.txt file\n"
            "KRDebug : Startup\n");
  EXPECT_EQ(sim::CountCalls("LocalFree"), 0);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, SecondStartupIsRefusedAndTheFirstFileStaysOpen) {
  ASSERT_EQ(KRDebugStartup("first.txt"), 1);
  EXPECT_EQ(KRDebugStartup("second.txt"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0xF001u);
  EXPECT_EQ(LastErrorText(), "KRDebug : 既に初期化されています");
  EXPECT_FALSE(sim::FileExists("second.txt"));
  KRDebugDump("still here\n");
  EXPECT_NE(sim::ReadWholeFile("first.txt").find("still here\r\n"), std::string::npos);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, CleanupEndsTheFileAndAnnouncesTheCloseToTheDebuggerOnly) {
  ASSERT_EQ(KRDebugStartup("other.log"), 1);
  KRDebugCleanup();
  std::string file = sim::ReadWholeFile("other.log");
  const std::string lastLine = "KRDebug : Cleanup\r\n";
  ASSERT_GE(file.size(), lastLine.size());
  EXPECT_EQ(file.substr(file.size() - lastLine.size()), lastLine);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  std::string out = sim::DebugOutput();
  EXPECT_NE(out.find("KRDebug info : Close krdebug.txt file\r\n"), std::string::npos);
  // After a file, later lines keep CR LF ends.
  sim::ClearDebugOutput();
  KRDebugDump("later\n");
  EXPECT_EQ(sim::DebugOutput(), "later\r\n");
}

TEST_F(DebugLogTest, CleanupWithoutStartupSetsTheCode) {
  KRDebugCleanup();
  EXPECT_EQ(KRErrorGetLastError(), 0xF002u);
  EXPECT_EQ(LastErrorText(), "KRDebug : 初期化されていません");
}

TEST_F(DebugLogTest, StartupAfterCleanupTruncatesTheFileAgain) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  KRDebugDump("first run\n");
  KRDebugCleanup();
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  EXPECT_EQ(sim::ReadWholeFile("krdebug.txt").find("first run"), std::string::npos);
  KRDebugCleanup();
}

TEST_F(DebugLogTest, FailedWritesStillReachTheDebugger) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  sim::ClearDebugOutput();
  sim::FailNext("WriteFile", ERROR_DISK_FULL);
  KRDebugDump("lost in the file\n");
  EXPECT_EQ(sim::DebugOutput(), "lost in the file\r\n");
  EXPECT_EQ(sim::ReadWholeFile("krdebug.txt").find("lost in the file"), std::string::npos);
  KRDebugCleanup();
}

}  // namespace
