// Copies a window's client area from the screen at chosen moments, from a
// thread of its own, while the program's thread is busy inside a library call
// (a splash sequence runs to its end before it returns).
#ifndef KR_WINE_SUPPORT_SCREEN_WATCHER_H
#define KR_WINE_SUPPORT_SCREEN_WATCHER_H

#include <windows.h>

#include <vector>

#include "support/rgb_image.h"

namespace winsupport {

// The client area of `window` as the screen shows it now; false when GDI refuses.
bool CaptureClientArea(HWND window, RgbImage* image);

class ScreenWatcher {
 public:
  // Captures at each delay (ms after Start), in order.
  ScreenWatcher(HWND window, std::vector<DWORD> delays);
  ~ScreenWatcher();
  ScreenWatcher(const ScreenWatcher&) = delete;
  ScreenWatcher& operator=(const ScreenWatcher&) = delete;

  bool Start();
  // Waits for the last capture; the images, an empty one where a capture failed.
  const std::vector<RgbImage>& Finish();

 private:
  static DWORD WINAPI Run(LPVOID self);

  HWND window_;
  std::vector<DWORD> delays_;
  std::vector<RgbImage> images_;
  HANDLE thread_ = NULL;
};

}  // namespace winsupport

#endif
