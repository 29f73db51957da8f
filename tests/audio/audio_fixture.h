// Shared by the music, CD-audio and media host tests: a started library on a
// test window, readers of the log and the call record, and the files the
// loader and the filter graph accept.
#ifndef KR_TESTS_AUDIO_AUDIO_FIXTURE_H
#define KR_TESTS_AUDIO_AUDIO_FIXTURE_H

#include <cstdio>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "support/started_library_test.h"

class AudioTest : public StartedLibraryTest {
 protected:
  void SetUp() override {
    StartedLibraryTest::SetUp();
    ClearRecords();
  }
  // The log's lines without their line ends and without the last-error diagnostics.
  static std::vector<std::string> LogLines() { return DebugOutputLines(true); }
  static bool Logged(const std::string& line) {
    for (const std::string& seen : LogLines()) {
      if (seen == line) return true;
    }
    return false;
  }
  // "Function(arguments)" of the calls whose name starts with `prefix`, in order.
  static std::vector<std::string> CallsOf(const std::string& prefix) {
    std::vector<std::string> calls;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind(prefix, 0) == 0) calls.push_back(call.function + "(" + call.arguments + ")");
    }
    return calls;
  }
  static std::vector<std::string> NamesOf(const std::string& prefix) {
    std::vector<std::string> names;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind(prefix, 0) == 0) names.push_back(call.function);
    }
    return names;
  }
  // A handle as the call record shows it.
  static std::string HandleText(const void* handle) {
    char text[32];
    snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
  }
  static unsigned long Code() { return KRErrorGetLastError(); }
  static void ClearRecords() {
    ForgetCallsAndLog();
    KRErrorSetLastError(0);
  }
  // Takes and dispatches every queued message, as the application's loop does.
  static int Pump() {
    int dispatched = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&message);
      ++dispatched;
    }
    return dispatched;
  }

  static std::string MidiBytes() { return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xFF\x2F\0", 26); }
  static std::string AviBytes() { return std::string("RIFF\x20\0\0\0AVI LIST", 16); }
  static std::string WaveBytes() { return std::string("RIFF\x24\0\0\0WAVEfmt ", 16); }

};

#endif
