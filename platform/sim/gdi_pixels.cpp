// Pixels through device contexts: BitBlt between any two of them with the
// formats converted, single pixels, and a DIB section's colour table.
#include <vector>

#include "sim/gdi_internal.h"

using namespace sim::detail;

namespace {

bool SameFormat(const PixelSurface& a, const PixelSurface& b) {
  const PixelLayout& x = a.Layout();
  const PixelLayout& y = b.Layout();
  if (x.bitCount != y.bitCount || x.palettized != y.palettized) return false;
  if (x.palettized) return a.Palette() == b.Palette();
  return x.redMask == y.redMask && x.greenMask == y.greenMask && x.blueMask == y.blueMask;
}

std::string ArgRop(DWORD rop) {
  switch (rop) {
    case SRCCOPY: return "SRCCOPY";
    case BLACKNESS: return "BLACKNESS";
    case WHITENESS: return "WHITENESS";
    default: return ArgHex(rop);
  }
}

// One pixel that a copy takes: where it lands and what it carries.
struct CopiedPixel {
  int x;
  int y;
  uint32_t value;  // raw in the source format when the formats agree, else 0x00RRGGBB
};

// Pixels whose source or destination lies outside the DC's drawing area are
// left out. The source is read whole before anything is written, so a copy
// within one surface sees the pixels as they were.
void Copy(const Canvas& to, int x, int y, int cx, int cy, const Canvas& from, int x1, int y1) {
  const bool raw = SameFormat(*to.surface, *from.surface);
  std::vector<CopiedPixel> pixels;
  for (int row = 0; row < cy; ++row) {
    for (int column = 0; column < cx; ++column) {
      const int toX = to.originX + x + column, toY = to.originY + y + row;
      const int fromX = from.originX + x1 + column, fromY = from.originY + y1 + row;
      if (!to.Contains(toX, toY) || !from.Contains(fromX, fromY)) continue;
      pixels.push_back({toX, toY, raw ? from.surface->Raw(fromX, fromY) : from.surface->Rgb(fromX, fromY)});
    }
  }
  for (const CopiedPixel& pixel : pixels) {
    if (raw) {
      to.surface->SetRaw(pixel.x, pixel.y, pixel.value);
    } else {
      to.surface->SetRgb(pixel.x, pixel.y, pixel.value);
    }
  }
}

void Fill(const Canvas& to, int x, int y, int cx, int cy, uint32_t rgb) {
  for (int row = 0; row < cy; ++row) {
    for (int column = 0; column < cx; ++column) {
      const int toX = to.originX + x + column, toY = to.originY + y + row;
      if (to.Contains(toX, toY)) to.surface->SetRgb(toX, toY, rgb);
    }
  }
}

}  // namespace

extern "C" BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("BitBlt", JoinArgs({ArgHandle(hdc), ArgDec(x), ArgDec(y), ArgDec(cx), ArgDec(cy),
                                                   ArgHandle(hdcSrc), ArgDec(x1), ArgDec(y1), ArgRop(rop)}))) {
    return FailWin32(*failure, FALSE);
  }
  const DeviceContextObject* destination = DeviceContextOf(hdc);
  if (destination == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (rop != SRCCOPY && rop != BLACKNESS && rop != WHITENESS) return FailWin32(ERROR_NOT_SUPPORTED, FALSE);
  const DeviceContextObject* source = nullptr;
  if (rop == SRCCOPY) {
    source = DeviceContextOf(hdcSrc);
    if (source == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  }
  Canvas to, from;
  if (!CanvasOf(*destination, &to) || (source != nullptr && !CanvasOf(*source, &from))) return TRUE;
  if (rop == SRCCOPY) {
    Copy(to, x, y, cx, cy, from, x1, y1);
  } else {
    Fill(to, x, y, cx, cy, rop == WHITENESS ? 0xFFFFFF : 0x000000);
  }
  return TRUE;
}

// The colour the pixel got (the nearest the surface can hold), or CLR_INVALID
// outside the drawing area.
extern "C" COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetPixel", JoinArgs({ArgHandle(hdc), ArgDec(x), ArgDec(y), ArgHex(color)}))) {
    return FailWin32(*failure, static_cast<COLORREF>(CLR_INVALID));
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<COLORREF>(CLR_INVALID));
  Canvas canvas;
  if (!CanvasOf(*dc, &canvas) || !canvas.Contains(canvas.originX + x, canvas.originY + y)) {
    return static_cast<COLORREF>(CLR_INVALID);
  }
  canvas.surface->SetRgb(canvas.originX + x, canvas.originY + y, RgbOfColorref(color));
  return ColorrefOfRgb(canvas.surface->Rgb(canvas.originX + x, canvas.originY + y));
}

extern "C" COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetPixel", JoinArgs({ArgHandle(hdc), ArgDec(x), ArgDec(y)}))) {
    return FailWin32(*failure, static_cast<COLORREF>(CLR_INVALID));
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<COLORREF>(CLR_INVALID));
  Canvas canvas;
  if (!CanvasOf(*dc, &canvas) || !canvas.Contains(canvas.originX + x, canvas.originY + y)) {
    return static_cast<COLORREF>(CLR_INVALID);
  }
  return ColorrefOfRgb(canvas.surface->Rgb(canvas.originX + x, canvas.originY + y));
}

// The colour table of the DIB section selected into a memory DC; 0 entries
// for any other bitmap.
extern "C" UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetDIBColorTable", JoinArgs({ArgHandle(hdc), ArgDec(iStart), ArgDec(cEntries),
                                                             ArgPointer(prgbq)}))) {
    return FailWin32(*failure, 0u);
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, 0u);
  const GdiEntry* bitmap = dc->kind == DcKind::Memory ? GdiEntryOf(dc->bitmap, GdiKind::Bitmap) : nullptr;
  if (bitmap == nullptr || !bitmap->bitmap.dibSection || prgbq == nullptr) return 0;
  const UINT size = static_cast<UINT>(bitmap->bitmap.colorTableSize);
  UINT copied = 0;
  for (UINT index = iStart; index < size && copied < cEntries; ++index, ++copied) {
    const uint32_t rgb = bitmap->bitmap.pixels->Palette()[index];
    prgbq[copied] = RGBQUAD{static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb >> 16), 0};
  }
  return copied;
}
