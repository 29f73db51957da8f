// A library started on a test window of its own, the component under test not
// yet started; and the log read back line by line. Shared by the component
// fixtures that start KORVATHD's core before their own component.
#ifndef KR_TESTS_SUPPORT_STARTED_LIBRARY_TEST_H
#define KR_TESTS_SUPPORT_STARTED_LIBRARY_TEST_H

#include <string>
#include <vector>

#include "support/kr_test.h"

// The debugger output's lines without their line ends; with `withoutErrors`,
// also without the last-error diagnostics ("KRError ...").
inline std::vector<std::string> DebugOutputLines(bool withoutErrors) {
  std::vector<std::string> lines;
  const std::string output = sim::DebugOutput();
  size_t start = 0;
  for (size_t end = output.find('\n'); end != std::string::npos; end = output.find('\n', start)) {
    size_t length = end - start;
    if (length > 0 && output[end - 1] == '\r') --length;
    const std::string line = output.substr(start, length);
    if (!withoutErrors || line.rfind("KRError", 0) != 0) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

class StartedLibraryTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    window_ = sim::CreateTestWindow();
    KRSTARTUPINFO info = StartupInfo();
    info.hWnd = window_;
    ASSERT_EQ(KRStartup(&info), 1);
  }

  void TearDown() override {
    KRCleanup();
    DestroyWindow(window_);
    KRTest::TearDown();
  }

  // What a component's start-up did is not what the test looks at.
  static void ForgetCallsAndLog() {
    sim::ClearCalls();
    sim::ClearDebugOutput();
  }

  HWND window_ = nullptr;
};

#endif
