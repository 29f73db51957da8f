// The process's windows: window classes, CreateWindowExA and DestroyWindow
// with the creation and destruction messages, the desktop window, and the
// test windows that stand for the application's main window.
#include <strings.h>

#include <stdexcept>

#include "sim/display.h"
#include "sim/gdi_internal.h"
#include "sim/window_geometry.h"

namespace sim {
namespace {

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  ATOM atom = 0;
};

constexpr int kMaxWindows = 256;
constexpr uintptr_t kFirstWindowHandle = 0x00020000;
constexpr uintptr_t kDesktopHandle = 0x00010010;
constexpr ATOM kFirstAtom = 0xC000;  // where Windows numbers registered classes from

detail::WindowEntry g_windows[kMaxWindows];
int g_nextWindowSlot = 0;  // handed out round the table, so a destroyed window's handle is not soon reused
std::vector<WindowClass> g_classes;
ATOM g_nextAtom = kFirstAtom;

// A 32-bit handle with bit 31 set, widened as Windows widens it: sign-extended.
const uintptr_t kFirstHighWindowHandle = static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80020000u)));

uintptr_t FirstHandle(bool high) { return high ? kFirstHighWindowHandle : kFirstWindowHandle; }

HWND HandleOfSlot(int slot) {
  return reinterpret_cast<HWND>(FirstHandle(g_windows[slot].highHandle) + static_cast<uintptr_t>(slot + 1) * 4);
}

int SlotOfHandle(HWND window) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(window);
  for (const bool high : {false, true}) {
    const uintptr_t first = FirstHandle(high);
    if (value <= first || (value - first) % 4 != 0) continue;
    const uintptr_t slot = (value - first) / 4 - 1;
    if (slot < kMaxWindows && g_windows[slot].highHandle == high) return static_cast<int>(slot);
  }
  return -1;
}

int FreeWindowSlot() {
  for (int tried = 0; tried < kMaxWindows; ++tried) {
    const int slot = (g_nextWindowSlot + tried) % kMaxWindows;
    if (!g_windows[slot].inUse) {
      g_nextWindowSlot = (slot + 1) % kMaxWindows;
      return slot;
    }
  }
  return -1;
}

// Class names compare without regard to case; an atom may stand for the name.
WindowClass* FindClass(LPCSTR name) {
  for (WindowClass& windowClass : g_classes) {
    if (IS_INTRESOURCE(name) ? windowClass.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                             : strcasecmp(windowClass.name.c_str(), name) == 0) {
      return &windowClass;
    }
  }
  return nullptr;
}

// The frame that Windows draws for a style: a sizing border is 4 pixels, a
// fixed one 3, and a caption adds its 19-pixel bar at the top.
RECT FrameOfStyle(DWORD style) {
  int side = 0;
  if (style & WS_THICKFRAME) {
    side = 4;
  } else if (style & (WS_BORDER | WS_DLGFRAME)) {
    side = 3;
  }
  const int caption = (style & WS_CAPTION) == static_cast<DWORD>(WS_CAPTION) ? 19 : 0;
  return RECT{side, side + caption, side, side};
}

// Children go first, as Windows destroys them before their parent; each
// window procedure sees its window's last two messages.
void DestroyWithChildren(HWND handle) {
  for (int slot = 0; slot < kMaxWindows; ++slot) {
    if (g_windows[slot].inUse && g_windows[slot].parent == handle) DestroyWithChildren(HandleOfSlot(slot));
  }
  detail::WindowEntry* window = detail::WindowEntryOf(handle);
  if (window == nullptr) return;  // a procedure destroyed it already
  const WNDPROC proc = window->proc;
  if (proc != nullptr) {
    proc(handle, WM_DESTROY, 0, 0);
    proc(handle, WM_NCDESTROY, 0, 0);
  }
  if (detail::WindowEntry* destroyed = detail::WindowEntryOf(handle)) *destroyed = detail::WindowEntry{};
  detail::DropMessagesOf(handle);
}

void ResetWindows() {
  for (detail::WindowEntry& window : g_windows) window = detail::WindowEntry{};
  g_nextWindowSlot = 0;
  g_classes.clear();
  g_nextAtom = kFirstAtom;
}

const bool kResetRegistered = detail::AddResetHook(ResetWindows);

}  // namespace

namespace detail {

WindowEntry* WindowEntryOf(HWND window) {
  const int slot = sim::SlotOfHandle(window);
  return slot >= 0 && g_windows[slot].inUse ? &g_windows[slot] : nullptr;
}

HWND DesktopWindowHandle() { return reinterpret_cast<HWND>(kDesktopHandle); }

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  for (int slot = 0; slot < kMaxWindows; ++slot) {
    const WindowEntry& window = g_windows[slot];
    if (window.inUse && window.parent == nullptr && window.proc != nullptr) windows.push_back(HandleOfSlot(slot));
  }
  return windows;
}

RECT ScreenRect() {
  const DisplayState& display = Display();
  return RECT{0, 0, display.width, display.height};
}

RECT ClientOfWindow(const WindowEntry& window) {
  RECT client{window.outer.left + window.frame.left, window.outer.top + window.frame.top,
              window.outer.right - window.frame.right, window.outer.bottom - window.frame.bottom};
  // A window smaller than its frame has an empty client area at its inner edge.
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  return client;
}

bool WindowRectsOnScreen(HWND window, RECT* outer, RECT* client) {
  if (window == DesktopWindowHandle()) {
    *outer = *client = ScreenRect();
    return true;
  }
  const WindowEntry* entry = WindowEntryOf(window);
  if (entry == nullptr) return false;
  *outer = entry->outer;
  *client = ClientOfWindow(*entry);
  return true;
}

bool IsWindowShown(HWND window) {
  if (window == DesktopWindowHandle()) return true;
  const WindowEntry* entry = WindowEntryOf(window);
  return entry != nullptr && entry->visible;
}

bool ClientRectOnScreen(HWND window, RECT* rect) {
  auto lock = LockSimulation();
  RECT outer;
  return rect != nullptr && WindowRectsOnScreen(window, &outer, rect);
}

}  // namespace detail

HWND CreateTestWindow(const TestWindowLayout& layout) {
  auto lock = detail::LockSimulation();
  const int slot = FreeWindowSlot();
  if (slot < 0) throw std::runtime_error("no room for another window");
  detail::WindowEntry& window = g_windows[slot];
  window = detail::WindowEntry{};
  window.inUse = true;
  window.title = layout.title;
  window.style = WS_OVERLAPPEDWINDOW | (layout.visible ? WS_VISIBLE : 0);
  window.outer = RECT{layout.x, layout.y, layout.x + layout.width, layout.y + layout.height};
  window.frame = layout.frame;
  window.visible = layout.visible;
  window.topmost = layout.topmost;
  window.highHandle = layout.highHandle;
  return HandleOfSlot(slot);
}

WindowInfo InspectWindow(HWND window) {
  auto lock = detail::LockSimulation();
  WindowInfo info;
  if (window == detail::DesktopWindowHandle()) {
    info.exists = info.visible = true;
    info.window = info.client = detail::ScreenRect();
    return info;
  }
  const detail::WindowEntry* entry = detail::WindowEntryOf(window);
  if (entry == nullptr) return info;
  info.exists = true;
  info.window = entry->outer;
  info.client = detail::ClientOfWindow(*entry);
  info.visible = entry->visible;
  info.topmost = entry->topmost;
  info.style = entry->style;
  info.exStyle = entry->exStyle;
  info.className = entry->className;
  info.title = entry->title;
  info.parent = entry->parent;
  return info;
}

int LiveWindows() {
  auto lock = detail::LockSimulation();
  int live = 0;
  for (const detail::WindowEntry& window : g_windows) live += window.inUse ? 1 : 0;
  return live;
}

namespace {
const bool kCounted = detail::AddLiveCounter("windows", LiveWindows);
}  // namespace

}  // namespace sim

using namespace sim::detail;

namespace {

std::string ArgClassName(LPCSTR name) {
  return IS_INTRESOURCE(name) ? "#" + ArgDec(reinterpret_cast<uintptr_t>(name)) : ArgString(name);
}

}  // namespace

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  auto lock = LockSimulation();
  const std::string arguments =
      lpWndClass == nullptr
          ? "NULL"
          : "{" + JoinArgs({ArgHex(lpWndClass->style), ArgPointer(reinterpret_cast<void*>(lpWndClass->lpfnWndProc)),
                            ArgHandle(lpWndClass->hInstance), ArgClassName(lpWndClass->lpszClassName)}) +
                "}";
  if (auto failure = EnterCall("RegisterClassA", arguments)) return FailWin32(*failure, static_cast<ATOM>(0));
  if (lpWndClass == nullptr || lpWndClass->lpfnWndProc == nullptr || lpWndClass->lpszClassName == nullptr ||
      IS_INTRESOURCE(lpWndClass->lpszClassName) || *lpWndClass->lpszClassName == '\0') {
    return FailWin32(ERROR_INVALID_PARAMETER, static_cast<ATOM>(0));
  }
  if (sim::FindClass(lpWndClass->lpszClassName) != nullptr) {
    return FailWin32(ERROR_CLASS_ALREADY_EXISTS, static_cast<ATOM>(0));
  }
  const ATOM atom = sim::g_nextAtom++;
  sim::g_classes.push_back(
      sim::WindowClass{lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, lpWndClass->hInstance, atom});
  return atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("UnregisterClassA", JoinArgs({ArgClassName(lpClassName), ArgHandle(hInstance)}))) {
    return FailWin32(*failure, FALSE);
  }
  sim::WindowClass* windowClass = lpClassName == nullptr ? nullptr : sim::FindClass(lpClassName);
  if (windowClass == nullptr) return FailWin32(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
  for (const WindowEntry& window : sim::g_windows) {
    if (window.inUse && window.className == windowClass->name) return FailWin32(ERROR_CLASS_HAS_WINDOWS, FALSE);
  }
  sim::g_classes.erase(sim::g_classes.begin() + (windowClass - sim::g_classes.data()));
  return TRUE;
}

extern "C" HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                       int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID lpParam) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(
          "CreateWindowExA",
          JoinArgs({ArgHex(dwExStyle), ArgClassName(lpClassName), ArgString(lpWindowName), ArgHex(dwStyle),
                    ArgDec(X), ArgDec(Y), ArgDec(nWidth), ArgDec(nHeight), ArgHandle(hWndParent), ArgHandle(hMenu),
                    ArgHandle(hInstance), ArgPointer(lpParam)}))) {
    return FailWin32(*failure, static_cast<HWND>(nullptr));
  }
  const sim::WindowClass* windowClass = lpClassName == nullptr ? nullptr : sim::FindClass(lpClassName);
  if (windowClass == nullptr) return FailWin32(ERROR_CANNOT_FIND_WND_CLASS, static_cast<HWND>(nullptr));
  RECT parentClient{0, 0, 0, 0};
  if (hWndParent != nullptr) {
    RECT parentOuter;
    if (!WindowRectsOnScreen(hWndParent, &parentOuter, &parentClient)) {
      return FailWin32(ERROR_INVALID_WINDOW_HANDLE, static_cast<HWND>(nullptr));
    }
  }
  const int slot = sim::FreeWindowSlot();
  if (slot < 0) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HWND>(nullptr));

  // Default placement and size: a fixed spot, so that runs are repeatable.
  const int x = X == CW_USEDEFAULT ? 0 : X;
  const int y = X == CW_USEDEFAULT ? 0 : Y;
  const int width = nWidth == CW_USEDEFAULT ? 640 : nWidth;
  const int height = nWidth == CW_USEDEFAULT ? 480 : nHeight;
  // A child's position is in its parent's client area.
  const int left = (dwStyle & WS_CHILD) ? parentClient.left + x : x;
  const int top = (dwStyle & WS_CHILD) ? parentClient.top + y : y;

  WindowEntry& window = sim::g_windows[slot];
  window = WindowEntry{};
  window.inUse = true;
  window.className = windowClass->name;
  window.title = lpWindowName ? lpWindowName : "";
  window.style = dwStyle;
  window.exStyle = dwExStyle;
  window.parent = hWndParent;
  window.instance = hInstance;
  window.proc = windowClass->proc;
  window.outer = RECT{left, top, left + width, top + height};
  window.frame = sim::FrameOfStyle(dwStyle);
  window.visible = (dwStyle & WS_VISIBLE) != 0;
  const HWND handle = sim::HandleOfSlot(slot);

  // The window procedure sees its window before CreateWindowExA returns, and
  // may refuse it: FALSE to WM_NCCREATE, -1 to WM_CREATE. A window refused
  // at WM_CREATE exists already and is destroyed, with its last two messages.
  CREATESTRUCTA create{lpParam, hInstance, hMenu, hWndParent, height, width, y, x,
                       static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  const WNDPROC proc = window.proc;
  if (proc(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0) {
    if (WindowEntry* refused = WindowEntryOf(handle)) *refused = WindowEntry{};
    SetLastErrorQuietly(ERROR_SUCCESS);
    return nullptr;
  }
  if (proc(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    sim::DestroyWithChildren(handle);
    SetLastErrorQuietly(ERROR_SUCCESS);
    return nullptr;
  }
  return handle;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("DestroyWindow", ArgHandle(hWnd))) return FailWin32(*failure, FALSE);
  if (WindowEntryOf(hWnd) == nullptr) return FailWin32(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  sim::DestroyWithChildren(hWnd);
  return TRUE;
}

// Only WM_NCCREATE needs an answer other than 0 for a window to come about.
extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto lock = LockSimulation();
  RecordCall("DefWindowProcA", JoinArgs({ArgHandle(hWnd), ArgHex(Msg), ArgHex(wParam), ArgHex(lParam)}));
  return Msg == WM_NCCREATE ? TRUE : 0;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd) {
  auto lock = LockSimulation();
  RecordCall("IsWindow", ArgHandle(hWnd));
  return hWnd == DesktopWindowHandle() || WindowEntryOf(hWnd) != nullptr;
}

extern "C" HWND WINAPI GetDesktopWindow(void) {
  auto lock = LockSimulation();
  RecordCall("GetDesktopWindow", "");
  return DesktopWindowHandle();
}

// The first live window, in table order, whose class and title match those given (null matches any).
extern "C" HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("FindWindowA", JoinArgs({ArgClassName(lpClassName), ArgString(lpWindowName)}))) {
    return FailWin32(*failure, static_cast<HWND>(nullptr));
  }
  const sim::WindowClass* windowClass = nullptr;
  if (lpClassName != nullptr) {
    windowClass = sim::FindClass(lpClassName);
    if (windowClass == nullptr) return FailWin32(ERROR_CANNOT_FIND_WND_CLASS, static_cast<HWND>(nullptr));
  }
  for (int slot = 0; slot < sim::kMaxWindows; ++slot) {
    const WindowEntry& window = sim::g_windows[slot];
    if (!window.inUse || window.parent != nullptr) continue;
    if (windowClass != nullptr && window.className != windowClass->name) continue;
    if (lpWindowName != nullptr && strcasecmp(window.title.c_str(), lpWindowName) != 0) continue;
    return sim::HandleOfSlot(slot);
  }
  SetLastErrorQuietly(ERROR_SUCCESS);
  return nullptr;
}
