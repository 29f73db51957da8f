// MessageBoxA: recorded and answered at once with the configured button.
#include <vector>

#include "sim/sim_internal.h"

namespace sim {
namespace {

std::vector<MessageBoxRecord> g_boxes;
int g_answer = IDOK;

// The buttons a box of this type shows, in their order on screen.
std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

// The configured answer when the box has that button; otherwise the user
// could only have pressed one of its own buttons: the default one.
int AnswerFor(UINT type) {
  const std::vector<int> buttons = ButtonsOf(type);
  for (int button : buttons) {
    if (button == g_answer) return button;
  }
  const size_t defaultIndex = (type & MB_DEFMASK) >> 8;
  return defaultIndex < buttons.size() ? buttons[defaultIndex] : buttons[0];
}

}  // namespace

namespace detail {

void ResetMessageBoxes() {
  g_boxes.clear();
  g_answer = IDOK;
}

}  // namespace detail

std::vector<MessageBoxRecord> MessageBoxes() {
  auto lock = detail::LockSimulation();
  return g_boxes;
}

void SetMessageBoxAnswer(int answer) {
  auto lock = detail::LockSimulation();
  g_answer = answer;
}

}  // namespace sim

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("MessageBoxA", JoinArgs({ArgHandle(hWnd), ArgString(lpText), ArgString(lpCaption),
                                                        ArgHex(uType)}))) {
    return FailWin32(*failure, 0);
  }
  sim::g_boxes.push_back(sim::MessageBoxRecord{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "",
                                               lpCaption == nullptr, uType});
  return sim::AnswerFor(uType);
}
