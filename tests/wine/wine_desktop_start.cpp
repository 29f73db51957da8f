// Brings up Wine's desktop and display driver once, before the Wine tests run
// (see tests/wine/CMakeLists.txt for why it must not be a test's own start).
#include <windows.h>
#include <ddraw.h>

#include <cstdio>

#include "support/main_window.h"

namespace {

HRESULT WINAPI CountMode(LPDDSURFACEDESC2, LPVOID context) {
  ++*static_cast<int*>(context);
  return DDENUMRET_OK;
}

}  // namespace

int main() {
  HWND window = winsupport::CreateMainWindow(320, 200, "Wine desktop start");
  if (window == nullptr) {
    fprintf(stderr, "no window\n");
    return 1;
  }
  IDirectDraw7* directDraw = nullptr;
  int modes = 0;
  if (SUCCEEDED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr))) {
    directDraw->EnumDisplayModes(0, nullptr, &modes, CountMode);
    directDraw->Release();
  }
  winsupport::DestroyMainWindow(window);
  printf("desktop started, %d display modes\n", modes);
  return modes > 0 ? 0 : 1;
}
