#include "support/screen_watcher.h"

namespace winsupport {

bool CaptureClientArea(HWND window, RgbImage* image) {
  RECT client;
  POINT origin = {0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = NULL;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  bool copied = false;
  if (section != NULL && memory != NULL) {
    HGDIOBJ old = SelectObject(memory, section);
    copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (copied) {
    *image = RgbImage(width, height);
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < image->pixels.size(); ++i) image->pixels[i] = pixels[i] & 0x00FFFFFFu;
  }
  if (section != NULL) DeleteObject(section);
  if (memory != NULL) DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return copied;
}

ScreenWatcher::ScreenWatcher(HWND window, std::vector<DWORD> delays)
    : window_(window), delays_(std::move(delays)), images_(delays_.size()) {}

ScreenWatcher::~ScreenWatcher() { Finish(); }

bool ScreenWatcher::Start() {
  thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
  return thread_ != NULL;
}

const std::vector<RgbImage>& ScreenWatcher::Finish() {
  if (thread_ != NULL) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = NULL;
  }
  return images_;
}

DWORD WINAPI ScreenWatcher::Run(LPVOID self) {
  ScreenWatcher* watcher = static_cast<ScreenWatcher*>(self);
  const DWORD start = GetTickCount();
  for (size_t i = 0; i < watcher->delays_.size(); ++i) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed < watcher->delays_[i]) Sleep(watcher->delays_[i] - elapsed);
    CaptureClientArea(watcher->window_, &watcher->images_[i]);
  }
  return 0;
}

}  // namespace winsupport
