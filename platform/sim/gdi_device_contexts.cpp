// Device contexts: of a window or the screen (GetDC), in memory
// (CreateCompatibleDC), and on a DirectDraw surface's pixels (CreatePixelDC),
// with what each of them draws into and reports of its device.
#include <algorithm>

#include "sim/display.h"
#include "sim/gdi_internal.h"

namespace sim::detail {
namespace {

HDC NewDeviceContext(const DeviceContextObject& dc) {
  GdiEntry entry;
  entry.kind = GdiKind::DeviceContext;
  entry.dc = dc;
  entry.dc.font = StockSystemFont();
  return static_cast<HDC>(NewGdiHandle(entry));
}

RECT Intersection(const RECT& a, const RECT& b) {
  RECT both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  if (both.right < both.left) both.right = both.left;
  if (both.bottom < both.top) both.bottom = both.top;
  return both;
}

RECT WholeSurface(const PixelSurface& surface) { return RECT{0, 0, surface.Width(), surface.Height()}; }

}  // namespace

// A window's DC draws into the screen's pixels inside its client area, and
// nowhere while the window is hidden.
bool CanvasOf(const DeviceContextObject& dc, Canvas* canvas) {
  *canvas = Canvas{};
  switch (dc.kind) {
    case DcKind::Display: {
      PixelSurface* screen = Display().screen.get();
      if (screen == nullptr) return false;
      canvas->surface = screen;
      canvas->clip = WholeSurface(*screen);
      if (dc.window == nullptr) return true;
      RECT outer, client;
      if (!WindowRectsOnScreen(dc.window, &outer, &client)) return false;
      canvas->originX = client.left;
      canvas->originY = client.top;
      canvas->clip = IsWindowShown(dc.window) ? Intersection(canvas->clip, client) : RECT{0, 0, 0, 0};
      return true;
    }
    case DcKind::Memory: {
      const GdiEntry* bitmap = GdiEntryOf(dc.bitmap, GdiKind::Bitmap);
      if (bitmap == nullptr) return false;
      canvas->surface = bitmap->bitmap.pixels.get();
      canvas->clip = WholeSurface(*canvas->surface);
      return true;
    }
    case DcKind::Pixels:
      canvas->surface = dc.pixels.get();
      canvas->clip = WholeSurface(*canvas->surface);
      return true;
  }
  return false;
}

HDC CreatePixelDC(const PixelSurfacePtr& pixels) {
  auto lock = LockSimulation();
  if (pixels == nullptr) return nullptr;
  DeviceContextObject dc;
  dc.kind = DcKind::Pixels;
  dc.pixels = pixels;
  return NewDeviceContext(dc);
}

bool DeletePixelDC(HDC dc) {
  auto lock = LockSimulation();
  const DeviceContextObject* object = DeviceContextOf(dc);
  if (object == nullptr || object->kind != DcKind::Pixels) return false;
  FreeGdiHandle(dc);
  return true;
}

}  // namespace sim::detail

using namespace sim::detail;

// A null window, or the desktop, gives a device context of the whole screen.
extern "C" HDC WINAPI GetDC(HWND hWnd) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetDC", ArgHandle(hWnd))) return FailWin32(*failure, static_cast<HDC>(nullptr));
  RECT outer, client;
  if (hWnd != nullptr && !WindowRectsOnScreen(hWnd, &outer, &client)) {
    return FailWin32(ERROR_INVALID_WINDOW_HANDLE, static_cast<HDC>(nullptr));
  }
  DeviceContextObject dc;
  dc.kind = DcKind::Display;
  dc.window = hWnd == DesktopWindowHandle() ? nullptr : hWnd;
  HDC handle = NewDeviceContext(dc);
  if (handle == nullptr) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HDC>(nullptr));
  return handle;
}

// Windows gives back any window's device context whatever window is named.
extern "C" int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("ReleaseDC", JoinArgs({ArgHandle(hWnd), ArgHandle(hDC)}))) {
    return FailWin32(*failure, 0);
  }
  const DeviceContextObject* dc = DeviceContextOf(hDC);
  if (dc == nullptr || dc->kind != DcKind::Display) return 0;
  FreeGdiHandle(hDC);
  return 1;
}

// Compatible with the screen (a null DC) or with another DC; it draws into
// the bitmap selected into it, at first a monochrome pixel.
extern "C" HDC WINAPI CreateCompatibleDC(HDC hdc) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CreateCompatibleDC", ArgHandle(hdc))) {
    return FailWin32(*failure, static_cast<HDC>(nullptr));
  }
  if (hdc != nullptr && DeviceContextOf(hdc) == nullptr) {
    return FailWin32(ERROR_INVALID_HANDLE, static_cast<HDC>(nullptr));
  }
  DeviceContextObject dc;
  dc.kind = DcKind::Memory;
  dc.bitmap = StockDefaultBitmap();
  HDC handle = NewDeviceContext(dc);
  if (handle == nullptr) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HDC>(nullptr));
  return handle;
}

// Only memory DCs are deleted; the others are given back to their owner.
extern "C" BOOL WINAPI DeleteDC(HDC hdc) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("DeleteDC", ArgHandle(hdc))) return FailWin32(*failure, FALSE);
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr || dc->kind != DcKind::Memory) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  FreeGdiHandle(hdc);
  return TRUE;
}

// The device of a memory DC is the screen it is compatible with; a surface's
// DC reports the surface.
extern "C" int WINAPI GetDeviceCaps(HDC hdc, int index) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetDeviceCaps", JoinArgs({ArgHandle(hdc), ArgDec(index)}))) {
    return FailWin32(*failure, 0);
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, 0);
  const bool surface = dc->kind == DcKind::Pixels;
  const DisplayState& display = Display();
  switch (index) {
    case BITSPIXEL: return surface ? dc->pixels->Layout().bitCount : display.bitsPerPixel;
    case PLANES: return 1;
    case HORZRES: return surface ? dc->pixels->Width() : display.width;
    case VERTRES: return surface ? dc->pixels->Height() : display.height;
    default: return 0;
  }
}
