// Shared by the input component's host tests: a started library on a test
// window that is in front, input not yet started, and readers of the log and
// the call record.
#ifndef KR_TESTS_INPUT_INPUT_FIXTURE_H
#define KR_TESTS_INPUT_INPUT_FIXTURE_H

#include <cstdio>
#include <string>
#include <vector>

#include "input/input_state.h"
#include "platform/sim/dinput_control.h"
#include "support/started_library_test.h"

class InputTest : public StartedLibraryTest {
 protected:
  void SetUp() override {
    StartedLibraryTest::SetUp();
    sim::SetInputForegroundWindow(window_);
  }

  void StartInput() {
    ASSERT_EQ(KRInputStartup(), 1);
    sim::ClearCalls();
    sim::ClearDebugOutput();
  }

  // The log's lines without their line ends.
  static std::vector<std::string> LogLines() { return DebugOutputLines(false); }

  // The log's lines without the last-error diagnostics ("KRError ...").
  static std::vector<std::string> InputLogLines() {
    std::vector<std::string> lines;
    for (const std::string& line : LogLines()) {
      if (line.rfind("KRError ", 0) != 0) lines.push_back(line);
    }
    return lines;
  }

  // The calls of DirectInput and its devices, "Method(arguments)", in order.
  static std::vector<std::string> InputCalls() {
    std::vector<std::string> calls;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind("IDirectInput", 0) == 0) calls.push_back(call.function + "(" + call.arguments + ")");
    }
    return calls;
  }

  // The window handle as the call record shows it.
  std::string WindowText() const {
    char text[32];
    snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window_)));
    return text;
  }

  static sim::InputDevice Joystick(const std::string& name, DWORD buttons) {
    sim::InputDevice joystick;
    joystick.instanceName = name;
    joystick.productName = name + " Pad";
    joystick.buttons = buttons;
    return joystick;
  }

  // Pad A (8 buttons) and Pad B (12 buttons), attached.
  static void AddJoystickPair() {
    sim::AddJoystick(Joystick("Pad A", 8));
    sim::AddJoystick(Joystick("Pad B", 12));
  }

};

#endif
