// The thread's message queue: posted messages wait in order until PeekMessageA
// or GetMessageA takes them, DispatchMessageA hands them to their window's
// procedure, SendMessageA calls the procedure at once. The simulation runs the
// program's one user-interface thread, so there is one queue.
#include <deque>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

std::deque<MSG> g_posted;
bool g_quitPosted = false;
int g_quitCode = 0;

// First and last both 0: every message. A first above the last selects what
// lies outside the range between them, as Windows reads it.
bool InFilterRange(UINT message, UINT first, UINT last) {
  if (first == 0 && last == 0) return true;
  if (first > last) return message >= first || message <= last;
  return message >= first && message <= last;
}

bool IsWindowOrDescendant(HWND window, HWND ancestor) {
  for (HWND at = window; at != nullptr;) {
    if (at == ancestor) return true;
    const detail::WindowEntry* entry = detail::WindowEntryOf(at);
    at = entry != nullptr ? entry->parent : nullptr;
  }
  return false;
}

// A null filter takes every message of the thread; (HWND)-1 only those posted
// to no window; a window its own messages and its children's.
bool MatchesWindowFilter(HWND target, HWND filter) {
  if (filter == nullptr) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
  return target != nullptr && IsWindowOrDescendant(target, filter);
}

// Posted messages come first; the quit request only once none is left that the filter takes.
bool TakeMessage(MSG* message, HWND window, UINT first, UINT last, bool remove) {
  for (auto at = g_posted.begin(); at != g_posted.end(); ++at) {
    if (!MatchesWindowFilter(at->hwnd, window) || !InFilterRange(at->message, first, last)) continue;
    *message = *at;
    if (remove) g_posted.erase(at);
    return true;
  }
  if (g_quitPosted && InFilterRange(WM_QUIT, first, last)) {
    *message = MSG{};
    message->message = WM_QUIT;
    message->wParam = static_cast<WPARAM>(g_quitCode);
    message->time = Now();
    if (remove) g_quitPosted = false;
    return true;
  }
  return false;
}

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

void ResetQueue() {
  g_posted.clear();
  g_quitPosted = false;
  g_quitCode = 0;
}

const bool kResetRegistered = detail::AddResetHook(ResetQueue);

}  // namespace

namespace detail {

void DropMessagesOf(HWND window) {
  for (auto at = g_posted.begin(); at != g_posted.end();) {
    at = at->hwnd == window ? g_posted.erase(at) : at + 1;
  }
}

}  // namespace detail

int QueuedMessages() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(g_posted.size());
}

void SendActivateApp(bool active) {
  std::vector<HWND> windows;
  {
    auto lock = detail::LockSimulation();
    windows = detail::TopLevelWindows();
  }
  for (HWND window : windows) {
    if (IsWindow(window)) SendMessageA(window, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
  }
}

}  // namespace sim

using namespace sim::detail;

namespace {

std::string ArgMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return JoinArgs({ArgHandle(window), ArgHex(message), ArgHex(wParam), ArgHex(static_cast<uint64_t>(lParam))});
}

std::string ArgFilter(LPMSG message, HWND window, UINT first, UINT last) {
  return JoinArgs({ArgPointer(message), ArgHandle(window), ArgHex(first), ArgHex(last)});
}

}  // namespace

extern "C" BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("PostMessageA", ArgMessage(hWnd, Msg, wParam, lParam))) {
    return FailWin32(*failure, FALSE);
  }
  // A null window posts to the thread itself.
  if (hWnd != nullptr && WindowEntryOf(hWnd) == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  MSG message{};
  message.hwnd = hWnd;
  message.message = Msg;
  message.wParam = wParam;
  message.lParam = lParam;
  message.time = sim::Now();
  sim::g_posted.push_back(message);
  return TRUE;
}

extern "C" LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SendMessageA", ArgMessage(hWnd, Msg, wParam, lParam))) {
    return FailWin32(*failure, static_cast<LRESULT>(0));
  }
  const WindowEntry* window = WindowEntryOf(hWnd);
  if (window == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, static_cast<LRESULT>(0));
  const WNDPROC proc = window->proc;
  return proc != nullptr ? proc(hWnd, Msg, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                                    UINT wRemoveMsg) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("PeekMessageA", JoinArgs({ArgFilter(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax),
                                                          ArgHex(wRemoveMsg)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (lpMsg == nullptr) return FailWin32(ERROR_NOACCESS, FALSE);
  return sim::TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

// Nothing else runs while the program waits here, so an empty queue would
// never fill: the program's fault, answered with -1 instead of a hang.
extern "C" BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetMessageA", ArgFilter(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax))) {
    return FailWin32(*failure, -1);
  }
  if (lpMsg == nullptr) return FailWin32(ERROR_NOACCESS, -1);
  if (!sim::TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
    RecordContractViolation("GetMessageA waits for ever: no message is queued and nothing else can post one");
    return FailWin32(ERROR_INVALID_FUNCTION, -1);
  }
  return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  auto lock = LockSimulation();
  RecordCall("DispatchMessageA", lpMsg == nullptr ? "NULL"
                                                  : "{" + ArgMessage(lpMsg->hwnd, lpMsg->message, lpMsg->wParam,
                                                                     lpMsg->lParam) + "}");
  // A thread message has no procedure to go to.
  if (lpMsg == nullptr || lpMsg->hwnd == nullptr) return 0;
  const WindowEntry* window = WindowEntryOf(lpMsg->hwnd);
  if (window == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, static_cast<LRESULT>(0));
  const WNDPROC proc = window->proc;
  return proc != nullptr ? proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

// Key messages are translated (TRUE), but the simulation has no keyboard
// layout to make characters from, so no WM_CHAR is posted.
extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  auto lock = LockSimulation();
  RecordCall("TranslateMessage", lpMsg == nullptr ? "NULL" : "{" + ArgMessage(lpMsg->hwnd, lpMsg->message,
                                                                              lpMsg->wParam, lpMsg->lParam) + "}");
  return lpMsg != nullptr && sim::IsKeyMessage(lpMsg->message) ? TRUE : FALSE;
}

extern "C" void WINAPI PostQuitMessage(int nExitCode) {
  auto lock = LockSimulation();
  RecordCall("PostQuitMessage", ArgDec(nExitCode));
  sim::g_quitPosted = true;
  sim::g_quitCode = nExitCode;
}
