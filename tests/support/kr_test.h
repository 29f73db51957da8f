// Shared fixture of the host unit tests: every test starts on a fresh simulated
// machine and ends with the library cleaned up and nothing left behind.
#ifndef KR_TESTS_SUPPORT_KR_TEST_H
#define KR_TESTS_SUPPORT_KR_TEST_H

#include <gtest/gtest.h>
#include <korvathd.h>

#include <cstring>
#include <string>

#include "platform/sim/control.h"
#include "support/leak_check.h"

class KRTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    leaks_.TakeBaseline();
  }

  // KRCleanup is harmless when the test cleaned up already (it only sets the
  // not-started code); fixtures that make more call this last.
  void TearDown() override {
    KRCleanup();
    leaks_.ExpectNothingLeft();
  }

  // A start-up record for the given flags and log file name.
  static KRSTARTUPINFO StartupInfo(DWORD flags = 0, const char* fileName = "") {
    KRSTARTUPINFO info;
    memset(&info, 0, sizeof(info));
    info.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    info.hInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    info.guidApplication.Data1 = 0xCAFEF00D;
    info.dwFlags = flags;
    strncpy(info.szDebugFileName, fileName, sizeof(info.szDebugFileName) - 1);
    return info;
  }

  // The library started on such a record.
  static void StartLibrary(DWORD flags = 0, const char* fileName = "") {
    KRSTARTUPINFO info = StartupInfo(flags, fileName);
    ASSERT_EQ(KRStartup(&info), 1);
  }

  // The log as written, line ends taken as LF whether the log converts them or not.
  static std::string LogText() {
    std::string text = sim::DebugOutput();
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
  }

  // The arguments of the last recorded call of `function`; empty when there is none.
  static std::string LastArgumentsOf(const std::string& function) {
    std::string arguments;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function == function) arguments = call.arguments;
    }
    return arguments;
  }

  static std::string LastErrorText() {
    char text[KRERROR_TEXT_MAX];
    KRErrorGetLastError(text);
    return text;
  }

  LeakCheck leaks_;
};

#endif
