// Both splash sequences of KORVATHD in window mode with sound: a watcher
// thread copies the window from the screen in the middle of each, and the
// copies are saved as PNG files.
//   splash_demo.exe DIRECTX.png TARNWICK.png
#include <windows.h>

#include <korvathd.h>

#include <cstdio>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"
#include "support/screen_watcher.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

// Shows the sequence and saves the window as it was `at` ms into it.
bool ShowAndSave(HWND window, const char* name, int (*sequence)(void), DWORD at, const char* path) {
  winsupport::ScreenWatcher watcher(window, {at});
  if (!watcher.Start()) return false;
  const DWORD start = GetTickCount();
  const int result = sequence();
  const DWORD lasted = GetTickCount() - start;
  const winsupport::RgbImage& frame = watcher.Finish()[0];
  const bool saved = frame.IsWhole() && winsupport::WritePng(path, frame);
  printf("%s: returned %d after %lu ms; frame at %lu ms %s %s\n", name, result, static_cast<unsigned long>(lasted),
         static_cast<unsigned long>(at), saved ? "saved as" : "NOT saved as", path);
  return saved && result == 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    printf("usage: splash_demo DIRECTX.png TARNWICK.png\n");
    return 2;
  }
  HWND window = winsupport::CreateMainWindow(kWidth, kHeight, "KORVATHD splash demo");
  KRSTARTUPINFO info = winsupport::StartupInfo(window, KRSTARTUP_DEBUGLOG, "krsplash.txt");
  KR3DSTARTUPDEVICEINFO device = {KR2D_BUFFER_BACK, -1, -1, 0};
  bool ok = window != NULL && KRStartup(&info) && KRVideoStartup(0) &&
            KRVideoSetVideoMode(kWidth, kHeight, 0) && KR2DStartup() && KR3DStartup() &&
            KR3DStartupDevice(&device);
  if (!ok) {
    printf("start-up failed: %s\n", winsupport::LastErrorText().c_str());
  } else {
    if (!KRSoundStartup()) printf("no sound: %s\n", winsupport::LastErrorText().c_str());
    ok = ShowAndSave(window, "KR3DSplashDirectX", KR3DSplashDirectX, 3500, argv[1]);
    ok = ShowAndSave(window, "KR3DSplashTarnwick", KR3DSplashTarnwick, 2500, argv[2]) && ok;
  }
  KRCleanup();
  winsupport::DestroyMainWindow(window);
  return ok ? 0 : 1;
}
