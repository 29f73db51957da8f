// Shared by the video component's host tests: a started library on a real
// (simulated) top-level window, and helpers to read the log and the call record.
#ifndef KR_TESTS_VIDEO_VIDEO_FIXTURE_H
#define KR_TESTS_VIDEO_VIDEO_FIXTURE_H

#include <string>
#include <vector>

#include "core/last_error.h"
#include "platform/sim/ddraw_control.h"
#include "platform/sim/gdi_control.h"
#include "support/kr_test.h"
#include "video/video_state.h"

class VideoTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    StartOnTestWindow(StartupInfo());
  }

  // The application's window goes after the library's clean-up, as at its exit.
  void TearDown() override {
    KRCleanup();
    if (window_ != nullptr) DestroyWindow(window_);
    KRTest::TearDown();
  }

  // KRStartup with `info` on a new test window.
  void StartOnTestWindow(KRSTARTUPINFO info) {
    window_ = sim::CreateTestWindow();
    info.hWnd = window_;
    ASSERT_EQ(KRStartup(&info), 1);
  }

  // The call record and the debugger output start empty.
  static void Forget() {
    sim::ClearCalls();
    sim::ClearDebugOutput();
  }

  // The debugger output as lines, without their line ends (the last-error
  // diagnostics end in LF alone, the log's lines in CR LF).
  static std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    for (const std::string& message : sim::DebugMessages()) {
      size_t start = 0;
      for (size_t end = message.find('\n'); end != std::string::npos; end = message.find('\n', start)) {
        size_t length = end - start;
        if (length > 0 && message[end - 1] == '\r') --length;
        lines.push_back(message.substr(start, length));
        start = end + 1;
      }
    }
    return lines;
  }

  static bool Logged(const std::string& line) {
    for (const std::string& logged : LogLines())
      if (logged == line) return true;
    return false;
  }

  // Each expected line appears in the log, in this order (other lines may lie between).
  static void ExpectLinesInOrder(const std::vector<std::string>& expected) {
    std::vector<std::string> lines = LogLines();
    size_t at = 0;
    for (const std::string& line : expected) {
      while (at < lines.size() && lines[at] != line) ++at;
      ASSERT_LT(at, lines.size()) << "not logged in order: " << line << "\nlog:\n" << sim::DebugOutput();
      ++at;
    }
  }

  // The argument texts of every recorded call of `function`, in order.
  static std::vector<std::string> ArgumentsOf(const std::string& function) {
    std::vector<std::string> arguments;
    for (const sim::CallRecord& call : sim::Calls())
      if (call.function == function) arguments.push_back(call.arguments);
    return arguments;
  }

  // Position of the first call of `function` in the record, or -1.
  static int FirstCall(const std::string& function) {
    std::vector<std::string> names = sim::CallNames();
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == function) return static_cast<int>(i);
    return -1;
  }

  static void ExpectLastError(unsigned long code, const std::string& text) {
    EXPECT_EQ(KRErrorGetLastError(), code);
    EXPECT_EQ(LastErrorText(), text);
  }

  // A handle as the call record shows it.
  static std::string HandleArg(const void* handle) {
    char text[32];
    snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
  }
  std::string WindowArg() const { return HandleArg(window_); }

  HWND window_ = nullptr;
};

#endif
