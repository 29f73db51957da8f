// Direct access to a surface's pixels: Lock and Unlock, and the device context
// that GetDC lends (drawn by the GDI area into the same pixel memory).
#include "sim/ddraw_internal.h"

namespace sim::detail {

HRESULT SurfaceObject::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::Lock",
                               JoinArgs({ArgRect(rect), ArgPointer(desc), ArgHex(flags), ArgHandle(event)}))) {
    return AsHresult(*failure);
  }
  if (desc == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
  if (HRESULT usable = Usable(); FAILED(usable)) return usable;
  RECT area{0, 0, pixels->Width(), pixels->Height()};
  if (rect != nullptr) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        rect->right > area.right || rect->bottom > area.bottom) {
      return DDERR_INVALIDRECT;
    }
    area = *rect;
  }
  FillDescription(desc);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = pixels->Bits() + static_cast<size_t>(area.top) * static_cast<size_t>(pixels->Pitch()) +
                    static_cast<size_t>(area.left) * static_cast<size_t>(pixels->Layout().bitCount / 8);
  locked = true;
  return DD_OK;
}

HRESULT SurfaceObject::Unlock(LPRECT rect) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::Unlock", ArgRect(rect))) return AsHresult(*failure);
  if (!locked) return DDERR_NOTLOCKED;
  locked = false;
  ++uniqueness;
  return DD_OK;
}

HRESULT SurfaceObject::GetDC(HDC* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = EnterCall("IDirectDrawSurface4::GetDC", ArgPointer(out))) return AsHresult(*failure);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (lost) return DDERR_SURFACELOST;
  if (dc != nullptr) return DDERR_DCALREADYCREATED;
  if (locked) return DDERR_SURFACEBUSY;
  if (IsDepthBuffer()) return DDERR_CANTCREATEDC;
  dc = CreatePixelDC(pixels);
  if (dc == nullptr) return DDERR_CANTCREATEDC;
  *out = dc;
  return DD_OK;
}

HRESULT SurfaceObject::ReleaseDC(HDC given) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::ReleaseDC", ArgHandle(given))) return AsHresult(*failure);
  if (dc == nullptr) return DDERR_NODC;
  if (given != dc) return DDERR_INVALIDPARAMS;
  DeletePixelDC(dc);
  dc = nullptr;
  ++uniqueness;
  return DD_OK;
}

}  // namespace sim::detail
