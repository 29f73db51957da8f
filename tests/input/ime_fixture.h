// Shared by the input-method tests: a started library on a test window in
// front, with input started, and readers of the input-method state.
#ifndef KR_TESTS_INPUT_IME_FIXTURE_H
#define KR_TESTS_INPUT_IME_FIXTURE_H

#include <imm.h>

#include <string>
#include <vector>

#include "input/ime_state.h"
#include "platform/sim/dinput_control.h"
#include "platform/sim/imm_control.h"
#include "support/started_library_test.h"

// Input started for the library's window, which must be in front to acquire.
inline void StartInputFor(HWND window) {
  sim::SetInputForegroundWindow(window);
  ASSERT_EQ(KRInputStartup(), 1);
}

inline std::string ImeComposition() { return std::string(g_krInput.lpCompStr, g_krIme.dwCompLength); }
inline std::string ImeAttributes() {
  return std::string(reinterpret_cast<const char*>(g_krInput.lpCompAttr), g_krIme.dwCompAttrLength);
}
inline std::string TakeImeStrings(int size = 1024) {
  std::vector<char> out(static_cast<size_t>(size), 'X');
  KRInputGetImeStrings(out.data(), size);
  return std::string(out.data());
}

class ImeTest : public StartedLibraryTest {
 protected:
  void SetUp() override {
    StartedLibraryTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartInputFor(window_));
  }

  static constexpr long kCompositionChange = GCS_COMPSTR | GCS_COMPATTR;

  // The input method delivers a result, or a changed composition and its attributes.
  void Result(const std::string& text) {
    sim::SetImeResult(window_, text);
    KRInputOnImeComposition(0, GCS_RESULTSTR);
  }
  void Compose(const std::string& text, const std::string& attributes) {
    sim::SetImeComposition(window_, text, attributes);
    KRInputOnImeComposition(0, kCompositionChange);
  }
};

#endif
