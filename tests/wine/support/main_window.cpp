#include "support/main_window.h"

namespace winsupport {

namespace {

const char kClassName[] = "KRMainWindow";
const int kLeft = 20;
const int kTop = 20;

void RegisterTestClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  // A second window in the same process finds the class registered already.
  RegisterClassA(&windowClass);
}

}  // namespace

HWND CreateMainWindow(int clientWidth, int clientHeight, const char* title) {
  RegisterTestClass();
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, kLeft, kTop, frame.right - frame.left,
                                frame.bottom - frame.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
  if (window == NULL) return NULL;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  PumpMessages();
  return window;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void DestroyMainWindow(HWND window) {
  if (window == NULL) return;
  DestroyWindow(window);
  PumpMessages();
}

}  // namespace winsupport
