// Where windows are and whether they show: their rectangles, SetWindowPos
// (which keeps a window's frame, so the client area follows the outer size),
// ShowWindow and the repaint requests.
#include "sim/gdi_internal.h"

using namespace sim::detail;

namespace {

// The desktop answers these calls like a window, but it cannot be moved or hidden.
bool IsDesktop(HWND window) { return window == DesktopWindowHandle(); }

std::string ArgRect(const RECT* rect) {
  if (rect == nullptr) return "NULL";
  return "{" + JoinArgs({ArgDec(rect->left), ArgDec(rect->top), ArgDec(rect->right), ArgDec(rect->bottom)}) + "}";
}

std::string ArgInsertAfter(HWND insertAfter) {
  if (insertAfter == HWND_TOPMOST) return "HWND_TOPMOST";
  if (insertAfter == HWND_NOTOPMOST) return "HWND_NOTOPMOST";
  if (insertAfter == HWND_TOP) return "HWND_TOP";
  if (insertAfter == HWND_BOTTOM) return "HWND_BOTTOM";
  return ArgHandle(insertAfter);
}

// What the calls below share: the call recorded, then the window's outer
// rectangle and client area on the screen. False, with the last error set, when
// the call fails or the window or the place to write the answer is missing.
bool ScreenRectsForCall(const char* function, const std::string& arguments, HWND window, const void* out,
                        RECT* outer, RECT* client) {
  if (auto failure = EnterCall(function, arguments)) return FailWin32(*failure, false);
  if (!WindowRectsOnScreen(window, outer, client)) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, false);
  if (out == nullptr) return FailWin32(ERROR_NOACCESS, false);
  return true;
}

// GetWindowRect and GetClientRect: `answer` picks the rectangle from the window's screen rectangles.
BOOL AnswerRect(const char* function, HWND window, LPRECT out, RECT (*answer)(const RECT& outer, const RECT& client)) {
  auto lock = LockSimulation();
  RECT outer, client;
  if (!ScreenRectsForCall(function, JoinArgs({ArgHandle(window), ArgPointer(out)}), window, out, &outer, &client)) {
    return FALSE;
  }
  *out = answer(outer, client);
  return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  return AnswerRect("GetWindowRect", hWnd, lpRect, [](const RECT& outer, const RECT&) { return outer; });
}

// The client area in its own coordinates: its top-left corner is always 0, 0.
extern "C" BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  return AnswerRect("GetClientRect", hWnd, lpRect, [](const RECT&, const RECT& client) {
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
  });
}

extern "C" BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  auto lock = LockSimulation();
  const std::string point = lpPoint ? "{" + JoinArgs({ArgDec(lpPoint->x), ArgDec(lpPoint->y)}) + "}" : "NULL";
  RECT outer, client;
  if (!ScreenRectsForCall("ClientToScreen", JoinArgs({ArgHandle(hWnd), point}), hWnd, lpPoint, &outer, &client)) {
    return FALSE;
  }
  lpPoint->x += client.left;
  lpPoint->y += client.top;
  return TRUE;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetWindowPos", JoinArgs({ArgHandle(hWnd), ArgInsertAfter(hWndInsertAfter), ArgDec(X),
                                                         ArgDec(Y), ArgDec(cx), ArgDec(cy), ArgHex(uFlags)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (IsDesktop(hWnd)) return FailWin32(ERROR_ACCESS_DENIED, FALSE);
  WindowEntry* window = WindowEntryOf(hWnd);
  if (window == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);

  if (!(uFlags & SWP_NOMOVE)) {
    const LONG width = window->outer.right - window->outer.left;
    const LONG height = window->outer.bottom - window->outer.top;
    window->outer = RECT{X, Y, X + width, Y + height};
  }
  if (!(uFlags & SWP_NOSIZE)) {
    // Windows makes no window smaller than nothing.
    window->outer.right = window->outer.left + (cx > 0 ? cx : 0);
    window->outer.bottom = window->outer.top + (cy > 0 ? cy : 0);
  }
  if (!(uFlags & SWP_NOZORDER)) {
    if (hWndInsertAfter == HWND_TOPMOST) {
      window->topmost = true;
    } else if (hWndInsertAfter == HWND_NOTOPMOST || hWndInsertAfter == HWND_BOTTOM) {
      window->topmost = false;
    }
  }
  if (uFlags & SWP_SHOWWINDOW) window->visible = true;
  if (uFlags & SWP_HIDEWINDOW) window->visible = false;
  return TRUE;
}

// A new outer rectangle; the repaint flag changes nothing here, the simulation draws at once.
extern "C" BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("MoveWindow", JoinArgs({ArgHandle(hWnd), ArgDec(X), ArgDec(Y), ArgDec(nWidth),
                                                       ArgDec(nHeight), ArgDec(bRepaint)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (IsDesktop(hWnd)) return FailWin32(ERROR_ACCESS_DENIED, FALSE);
  WindowEntry* window = WindowEntryOf(hWnd);
  if (window == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  window->outer = RECT{X, Y, X + (nWidth > 0 ? nWidth : 0), Y + (nHeight > 0 ? nHeight : 0)};
  return TRUE;
}

namespace {

// Whether the window was visible before: what ShowWindow answers.
BOOL Show(const char* function, HWND window, int command) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(function, JoinArgs({ArgHandle(window), ArgDec(command)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (IsDesktop(window)) return TRUE;
  WindowEntry* entry = WindowEntryOf(window);
  if (entry == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  const bool wasVisible = entry->visible;
  entry->visible = command != SW_HIDE;
  if (entry->visible) {
    entry->style |= WS_VISIBLE;
  } else {
    entry->style &= ~static_cast<DWORD>(WS_VISIBLE);
  }
  return wasVisible ? TRUE : FALSE;
}

}  // namespace

extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) { return Show("ShowWindow", hWnd, nCmdShow); }

extern "C" BOOL WINAPI ShowWindowAsync(HWND hWnd, int nCmdShow) {
  return Show("ShowWindowAsync", hWnd, nCmdShow);
}

// Nothing is left to paint: the simulation draws at once.
extern "C" BOOL WINAPI UpdateWindow(HWND hWnd) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("UpdateWindow", ArgHandle(hWnd))) return FailWin32(*failure, FALSE);
  if (!IsDesktop(hWnd) && WindowEntryOf(hWnd) == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  return TRUE;
}

// A null window asks every window to repaint.
extern "C" BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("InvalidateRect", JoinArgs({ArgHandle(hWnd), ArgRect(lpRect), ArgDec(bErase)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (hWnd != nullptr && !IsDesktop(hWnd) && WindowEntryOf(hWnd) == nullptr) {
    return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  }
  return TRUE;
}
