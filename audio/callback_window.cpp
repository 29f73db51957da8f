#include "audio/callback_window.h"

#include <cstring>

#include "core/core_state.h"

HWND KRCreateCallbackWindow(const char* name, WNDPROC proc) {
  WNDCLASSA windowClass;
  memset(&windowClass, 0, sizeof(windowClass));
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = g_krCore.hInstance;
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, name, name, 0, 0, 0, 0, 0, NULL, NULL, g_krCore.hInstance, NULL);
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);
  return window;
}
