// Log lines of failed DirectX calls: the name alone or behind a device prefix,
// through the debug log, with or without a last-error code.
#include "support/kr_test.h"

#include <vector>

#include "core/dx_result_log.h"

namespace {

class DXResultLogTest : public KRTest {};

TEST_F(DXResultLogTest, QueryFailureLogsTheNameAloneAndSetsNoCode) {
  KRDebugDumpDXResult(DDERR_SURFACELOST);
  EXPECT_EQ(sim::DebugMessages(), std::vector<std::string>{"DDERR_SURFACELOST\r\n"});
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

TEST_F(DXResultLogTest, NamesAreThoseOfNoFamily) {
  // Codes several families share take the first table's name, whichever component logs them.
  struct Case {
    HRESULT result;
    const char* line;
  } cases[] = {
      {static_cast<HRESULT>(0x80004005), "DDERR_GENERIC\r\n"},
      {static_cast<HRESULT>(0x80070057), "DDERR_INVALIDPARAMS\r\n"},
      {static_cast<HRESULT>(0x80004002), "DIERR_NOINTERFACE\r\n"},
      {static_cast<HRESULT>(0x8000000A), "E_PENDING\r\n"},
      {static_cast<HRESULT>(0x12345678), "DXERR_UNDEFINED\r\n"},
  };
  for (const Case& c : cases) {
    sim::ClearDebugOutput();
    KRDebugDumpDXResult(c.result);
    EXPECT_EQ(sim::DebugOutput(), c.line) << std::hex << c.result;
  }
}

TEST_F(DXResultLogTest, StartupFailureLogsThenSetsTheCodeAndGivesZero) {
  EXPECT_EQ(KRErrorFailDX(DDERR_INVALIDMODE, KRERR_VIDEO | KRERR_STARTUPFAILED), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x1003u);
  const std::vector<std::string> messages = sim::DebugMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "DDERR_INVALIDMODE\r\n");
  EXPECT_EQ(messages[1].rfind("KRError \"KRVideo : ", 0), 0u) << messages[1];
}

TEST_F(DXResultLogTest, DevicePrefixFormStandsBeforeTheName) {
  EXPECT_EQ(KRErrorFailDX(static_cast<HRESULT>(0x80070005), KRERR_INPUT | KRERR_STARTUPFAILED, "Keyboard : %s\n"),
            0);
  EXPECT_EQ(KRErrorGetLastError(), 0x7003u);
  EXPECT_EQ(sim::DebugMessages().at(0), "Keyboard : DIERR_OTHERAPPHASPRIO\r\n");

  sim::ClearDebugOutput();
  KRDebugDumpDXResult(static_cast<HRESULT>(0x8007001E), "Mouse : %s\n");
  EXPECT_EQ(sim::DebugOutput(), "Mouse : DIERR_INPUTLOST\r\n");
}

TEST_F(DXResultLogTest, LineReachesTheOpenLogFile) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  KRErrorFailDX(DDERR_SURFACELOST, KRERR_3D | 0x101);
  KRDebugCleanup();
  const std::string log = sim::ReadWholeFile("krdebug.txt");
  EXPECT_NE(log.find("KRDebug : Startup\r\nDDERR_SURFACELOST\r\nKRDebug : Cleanup\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("KRError"), std::string::npos) << "the code's diagnostic is not a log line";
}

}  // namespace
