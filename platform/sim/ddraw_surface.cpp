// A surface's identity, references and attachments, its description, colour
// keys, clipper and palette, and losing and restoring it.
#include <algorithm>
#include <cstring>

#include "sim/ddraw_internal.h"

namespace sim::detail {
namespace {

QueryHooks<IDirectDrawSurface4>& SurfaceHooks() {
  static QueryHooks<IDirectDrawSurface4> hooks;
  return hooks;
}

// The pages GetAttachedSurface and EnumAttachedSurfaces see from `surface`: the
// next page of its flipping chain (the last back buffer leads to the front), then
// what was attached to it.
std::vector<SurfaceObject*> AttachedTo(SurfaceObject* surface) {
  std::vector<SurfaceObject*> found;
  if (!surface->backBuffers.empty()) {
    found.push_back(surface->backBuffers.front());
  } else if (SurfaceObject* front = surface->front) {
    auto at = std::find(front->backBuffers.begin(), front->backBuffers.end(), surface);
    if (at != front->backBuffers.end()) found.push_back(at + 1 != front->backBuffers.end() ? *(at + 1) : front);
  }
  found.insert(found.end(), surface->attached.begin(), surface->attached.end());
  return found;
}

// A simple call: recorded, and refused only on a lost surface.
HRESULT CheckedCall(SurfaceObject& surface, const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
  return surface.lost ? DDERR_SURFACELOST : DD_OK;
}

}  // namespace

HRESULT SurfaceObject::Usable() const {
  if (lost) return DDERR_SURFACELOST;
  if (locked || dc != nullptr) return DDERR_SURFACEBUSY;
  return DD_OK;
}

void SurfaceObject::ApplyPalette() {
  if (palette == nullptr || !pixels->Layout().palettized) return;
  std::vector<uint32_t>& colours = pixels->Palette();
  for (size_t i = 0; i < colours.size() && i < 256; ++i) {
    const PALETTEENTRY& entry = palette->entries[i];
    colours[i] =
        (static_cast<uint32_t>(entry.peRed) << 16) | (static_cast<uint32_t>(entry.peGreen) << 8) | entry.peBlue;
  }
}

void SurfaceObject::FillDescription(DDSURFACEDESC2* desc) const {
  std::memset(desc, 0, sizeof *desc);
  desc->dwSize = sizeof *desc;
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(pixels->Width());
  desc->dwHeight = static_cast<DWORD>(pixels->Height());
  desc->lPitch = pixels->Pitch();
  DescribeLayout(pixels->Layout(), IsDepthBuffer(), &desc->ddpfPixelFormat);
  desc->ddsCaps.dwCaps = caps;
  if (!backBuffers.empty()) {
    desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc->dwBackBufferCount = static_cast<DWORD>(backBuffers.size());
  }
  if (sourceKey) {
    desc->dwFlags |= DDSD_CKSRCBLT;
    desc->ddckCKSrcBlt = *sourceKey;
  }
  if (destKey) {
    desc->dwFlags |= DDSD_CKDESTBLT;
    desc->ddckCKDestBlt = *destKey;
  }
}

HRESULT RestoreSurface(SurfaceObject* surface) {
  if (!surface->lost) return DD_OK;
  // A chain's back buffers come back with their front.
  if (surface->front != nullptr) return DDERR_IMPLICITLYCREATED;
  if (surface->IsPrimary()) {
    const DisplayState& display = Display();
    if (display.width != surface->pixels->Width() || display.height != surface->pixels->Height() ||
        !SameLayout(display.layout, surface->pixels->Layout())) {
      return DDERR_WRONGMODE;
    }
    surface->pixels = display.screen;
    surface->gdiPixels = display.screen;
    surface->ApplyPalette();
  }
  surface->lost = false;
  for (SurfaceObject* back : surface->backBuffers) back->lost = false;
  return DD_OK;
}

// ---- Interfaces ---------------------------------------------------------------------------
HRESULT SurfaceObject::Answer(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IDirectDrawSurface4) return HandOutSelf(object);
  if (iid == IID_IDirectDrawGammaControl && IsPrimary()) {
    *object = MakeGammaControl(this);
    return S_OK;
  }
  return SurfaceHooks().Ask(this, iid, object);
}

// ---- Attachments ------------------------------------------------------------------------
HRESULT SurfaceObject::AddAttachedSurface(LPDIRECTDRAWSURFACE4 surface) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::AddAttachedSurface", ArgPointer(surface))) {
    return AsHresult(*failure);
  }
  SurfaceObject* child = FindSurface(surface);
  if (child == nullptr || child == this) return DDERR_INVALIDPARAMS;
  if (std::find(attached.begin(), attached.end(), child) != attached.end()) return DDERR_SURFACEALREADYATTACHED;
  // Only depth buffers attach, to a primary surface of any size or to a 3D-capable
  // surface; chains are made whole by CreateSurface.
  if (!child->IsDepthBuffer() || IsDepthBuffer() || !(IsPrimary() || (caps & DDSCAPS_3DDEVICE))) {
    return DDERR_CANNOTATTACHSURFACE;
  }
  if (sim::DepthBufferAttachment() == sim::DepthAttachment::OneSurface) {
    for (const SurfaceObject* other : LiveSurfaceList()) {
      if (std::find(other->attached.begin(), other->attached.end(), child) != other->attached.end()) {
        return DDERR_SURFACEALREADYATTACHED;
      }
    }
  }
  child->Hold();
  attached.push_back(child);
  return DD_OK;
}

HRESULT SurfaceObject::DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE4 surface) {
  auto lock = LockSimulation();
  if (auto failure =
          EnterCall("IDirectDrawSurface4::DeleteAttachedSurface", JoinArgs({ArgHex(flags), ArgPointer(surface)}))) {
    return AsHresult(*failure);
  }
  if (flags != 0) return DDERR_INVALIDPARAMS;
  if (surface == nullptr) {  // detaches everything that can be detached
    std::vector<SurfaceObject*> detached;
    detached.swap(attached);
    for (SurfaceObject* child : detached) child->Drop();
    return DD_OK;
  }
  SurfaceObject* child = FindSurface(surface);
  if (child != nullptr && std::find(backBuffers.begin(), backBuffers.end(), child) != backBuffers.end()) {
    return DDERR_CANNOTDETACHSURFACE;
  }
  auto at = std::find(attached.begin(), attached.end(), child);
  if (child == nullptr || at == attached.end()) return DDERR_SURFACENOTATTACHED;
  attached.erase(at);
  child->Drop();
  return DD_OK;
}

HRESULT SurfaceObject::GetAttachedSurface(LPDDSCAPS2 wanted, LPDIRECTDRAWSURFACE4* surface) {
  auto lock = LockSimulation();
  if (surface != nullptr) *surface = nullptr;
  if (auto failure = EnterCall("IDirectDrawSurface4::GetAttachedSurface",
                               JoinArgs({wanted ? ArgHex(wanted->dwCaps) : "NULL", ArgPointer(surface)}))) {
    return AsHresult(*failure);
  }
  if (wanted == nullptr || surface == nullptr) return DDERR_INVALIDPARAMS;
  if (lost) return DDERR_SURFACELOST;
  for (SurfaceObject* candidate : AttachedTo(this)) {
    if ((candidate->caps & wanted->dwCaps) != wanted->dwCaps) continue;
    candidate->Hold();
    *surface = candidate;
    return DD_OK;
  }
  return DDERR_NOTFOUND;
}

HRESULT SurfaceObject::EnumAttachedSurfaces(LPVOID context, LPDDENUMSURFACESCALLBACK2 callback) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::EnumAttachedSurfaces",
                               JoinArgs({ArgPointer(context), ArgPointer(reinterpret_cast<const void*>(callback))}))) {
    return AsHresult(*failure);
  }
  if (callback == nullptr) return DDERR_INVALIDPARAMS;
  for (SurfaceObject* candidate : AttachedTo(this)) {
    // Each surface is handed over with a reference that the callback releases.
    candidate->Hold();
    DDSURFACEDESC2 desc;
    candidate->FillDescription(&desc);
    if (callback(candidate, &desc, context) == DDENUMRET_CANCEL) break;
  }
  return DD_OK;
}

// ---- Description ---------------------------------------------------------------------------
HRESULT SurfaceObject::GetCaps(LPDDSCAPS2 wanted) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::GetCaps", ArgPointer(wanted))) return AsHresult(*failure);
  if (wanted == nullptr) return DDERR_INVALIDPARAMS;
  *wanted = DDSCAPS2{caps, 0, 0, 0};
  return DD_OK;
}

HRESULT SurfaceObject::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::GetSurfaceDesc", ArgPointer(desc))) return AsHresult(*failure);
  if (desc == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
  FillDescription(desc);
  return DD_OK;
}

HRESULT SurfaceObject::GetPixelFormat(LPDDPIXELFORMAT format) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::GetPixelFormat", ArgPointer(format))) return AsHresult(*failure);
  if (format == nullptr) return DDERR_INVALIDPARAMS;
  DescribeLayout(pixels->Layout(), IsDepthBuffer(), format);
  return DD_OK;
}

HRESULT SurfaceObject::Initialize(LPDIRECTDRAW directDraw, LPDDSURFACEDESC2 desc) {
  auto lock = LockSimulation();
  if (auto failure =
          EnterCall("IDirectDrawSurface4::Initialize", JoinArgs({ArgPointer(directDraw), ArgPointer(desc)}))) {
    return AsHresult(*failure);
  }
  return DDERR_ALREADYINITIALIZED;
}

HRESULT SurfaceObject::GetDDInterface(LPVOID* directDraw) {
  auto lock = LockSimulation();
  if (directDraw != nullptr) *directDraw = nullptr;
  if (auto failure = EnterCall("IDirectDrawSurface4::GetDDInterface", ArgPointer(directDraw))) {
    return AsHresult(*failure);
  }
  if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
  if (!owner->alive || owner->object == nullptr) return DDERR_INVALIDOBJECT;
  HoldDirectDraw(owner->object);
  *directDraw = owner->object;
  return DD_OK;
}

HRESULT SurfaceObject::GetUniquenessValue(LPDWORD value) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::GetUniquenessValue", ArgPointer(value))) {
    return AsHresult(*failure);
  }
  if (value == nullptr) return DDERR_INVALIDPARAMS;
  *value = uniqueness;
  return DD_OK;
}

HRESULT SurfaceObject::ChangeUniquenessValue() {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::ChangeUniquenessValue", "")) return AsHresult(*failure);
  ++uniqueness;
  return DD_OK;
}

// ---- Colour keys ------------------------------------------------------------------------------
HRESULT SurfaceObject::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::SetColorKey", JoinArgs({ArgHex(flags), ArgColorKey(key)}))) {
    return AsHresult(*failure);
  }
  const DWORD kind = flags & ~DDCKEY_COLORSPACE;
  if (kind == DDCKEY_SRCOVERLAY || kind == DDCKEY_DESTOVERLAY) return DDERR_UNSUPPORTED;  // no overlays here
  if (kind != DDCKEY_SRCBLT && kind != DDCKEY_DESTBLT) return DDERR_INVALIDPARAMS;
  std::optional<DDCOLORKEY>& slot = kind == DDCKEY_SRCBLT ? sourceKey : destKey;
  if (key == nullptr) {
    slot.reset();
    return DD_OK;
  }
  DDCOLORKEY kept = *key;
  // Without DDCKEY_COLORSPACE the key is the single colour of its low value.
  if (!(flags & DDCKEY_COLORSPACE)) kept.dwColorSpaceHighValue = kept.dwColorSpaceLowValue;
  slot = kept;
  return DD_OK;
}

HRESULT SurfaceObject::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::GetColorKey", JoinArgs({ArgHex(flags), ArgPointer(key)}))) {
    return AsHresult(*failure);
  }
  if (key == nullptr || (flags != DDCKEY_SRCBLT && flags != DDCKEY_DESTBLT)) return DDERR_INVALIDPARAMS;
  const std::optional<DDCOLORKEY>& slot = flags == DDCKEY_SRCBLT ? sourceKey : destKey;
  if (!slot) return DDERR_NOCOLORKEY;
  *key = *slot;
  return DD_OK;
}

// ---- Clipper and palette ------------------------------------------------------------------------
HRESULT SurfaceObject::SetClipper(LPDIRECTDRAWCLIPPER newClipper) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::SetClipper", ArgPointer(newClipper))) return AsHresult(*failure);
  auto* ours = dynamic_cast<ClipperObject*>(newClipper);
  if (newClipper != nullptr && ours == nullptr) return DDERR_INVALIDOBJECT;
  if (ours != nullptr) ours->Hold();
  if (clipper != nullptr) clipper->Drop();
  clipper = ours;
  return DD_OK;
}

HRESULT SurfaceObject::GetClipper(LPDIRECTDRAWCLIPPER* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = EnterCall("IDirectDrawSurface4::GetClipper", ArgPointer(out))) return AsHresult(*failure);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (clipper == nullptr) return DDERR_NOCLIPPERATTACHED;
  clipper->Hold();
  *out = clipper;
  return DD_OK;
}

HRESULT SurfaceObject::SetPalette(LPDIRECTDRAWPALETTE newPalette) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::SetPalette", ArgPointer(newPalette))) return AsHresult(*failure);
  auto* ours = dynamic_cast<PaletteObject*>(newPalette);
  if (newPalette != nullptr && ours == nullptr) return DDERR_INVALIDOBJECT;
  if (lost) return DDERR_SURFACELOST;
  // Only a palettised surface takes a palette, and only one of its own size (all are 8-bit here).
  if (ours != nullptr && (!pixels->Layout().palettized || ours->Size() != 256)) return DDERR_INVALIDPIXELFORMAT;
  if (ours != nullptr) ours->Hold();
  if (palette != nullptr) palette->Drop();
  palette = ours;
  ApplyPalette();
  return DD_OK;
}

HRESULT SurfaceObject::GetPalette(LPDIRECTDRAWPALETTE* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = EnterCall("IDirectDrawSurface4::GetPalette", ArgPointer(out))) return AsHresult(*failure);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (palette == nullptr) return DDERR_NOPALETTEATTACHED;
  palette->Hold();
  *out = palette;
  return DD_OK;
}

// ---- Lost surfaces -----------------------------------------------------------------------------
HRESULT SurfaceObject::IsLost() {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::IsLost", "")) return AsHresult(*failure);
  return lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT SurfaceObject::Restore() {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::Restore", "")) return AsHresult(*failure);
  return RestoreSurface(this);
}

// ---- Status calls: nothing is ever pending, since every blit and flip completes at once -------------
HRESULT SurfaceObject::GetBltStatus(DWORD flags) {
  return CheckedCall(*this, "IDirectDrawSurface4::GetBltStatus", ArgHex(flags));
}
HRESULT SurfaceObject::GetFlipStatus(DWORD flags) {
  return CheckedCall(*this, "IDirectDrawSurface4::GetFlipStatus", ArgHex(flags));
}
HRESULT SurfaceObject::PageLock(DWORD flags) {
  return CheckedCall(*this, "IDirectDrawSurface4::PageLock", ArgHex(flags));
}
HRESULT SurfaceObject::PageUnlock(DWORD flags) {
  return CheckedCall(*this, "IDirectDrawSurface4::PageUnlock", ArgHex(flags));
}

// ---- Overlays, batches, private data: not simulated -----------------------------------------------
HRESULT SurfaceObject::AddOverlayDirtyRect(LPRECT rect) {
  return RecordUnsupported("IDirectDrawSurface4::AddOverlayDirtyRect", ArgRect(rect));
}
HRESULT SurfaceObject::BltBatch(struct _DDBLTBATCH* batch, DWORD count, DWORD flags) {
  return RecordUnsupported("IDirectDrawSurface4::BltBatch",
                           JoinArgs({ArgPointer(batch), ArgDec(count), ArgHex(flags)}));
}
HRESULT SurfaceObject::EnumOverlayZOrders(DWORD flags, LPVOID context, LPDDENUMSURFACESCALLBACK2 callback) {
  return RecordUnsupported(
      "IDirectDrawSurface4::EnumOverlayZOrders",
      JoinArgs({ArgHex(flags), ArgPointer(context), ArgPointer(reinterpret_cast<const void*>(callback))}));
}
HRESULT SurfaceObject::GetOverlayPosition(LPLONG x, LPLONG y) {
  return RecordUnsupported("IDirectDrawSurface4::GetOverlayPosition", JoinArgs({ArgPointer(x), ArgPointer(y)}));
}
HRESULT SurfaceObject::SetOverlayPosition(LONG x, LONG y) {
  return RecordUnsupported("IDirectDrawSurface4::SetOverlayPosition", JoinArgs({ArgDec(x), ArgDec(y)}));
}
HRESULT SurfaceObject::UpdateOverlay(LPRECT sourceRect, LPDIRECTDRAWSURFACE4 dest, LPRECT destRect, DWORD flags,
                                     struct _DDOVERLAYFX* fx) {
  return RecordUnsupported(
      "IDirectDrawSurface4::UpdateOverlay",
      JoinArgs({ArgRect(sourceRect), ArgPointer(dest), ArgRect(destRect), ArgHex(flags), ArgPointer(fx)}));
}
HRESULT SurfaceObject::UpdateOverlayDisplay(DWORD flags) {
  return RecordUnsupported("IDirectDrawSurface4::UpdateOverlayDisplay", ArgHex(flags));
}
HRESULT SurfaceObject::UpdateOverlayZOrder(DWORD flags, LPDIRECTDRAWSURFACE4 reference) {
  return RecordUnsupported("IDirectDrawSurface4::UpdateOverlayZOrder",
                           JoinArgs({ArgHex(flags), ArgPointer(reference)}));
}
HRESULT SurfaceObject::SetSurfaceDesc(LPDDSURFACEDESC2 desc, DWORD flags) {
  return RecordUnsupported("IDirectDrawSurface4::SetSurfaceDesc", JoinArgs({ArgSurfaceDesc(desc), ArgHex(flags)}));
}
HRESULT SurfaceObject::SetPrivateData(REFGUID tag, LPVOID data, DWORD size, DWORD flags) {
  return RecordUnsupported("IDirectDrawSurface4::SetPrivateData",
                           JoinArgs({ArgGuid(tag), ArgPointer(data), ArgDec(size), ArgHex(flags)}));
}
HRESULT SurfaceObject::GetPrivateData(REFGUID tag, LPVOID buffer, LPDWORD size) {
  return RecordUnsupported("IDirectDrawSurface4::GetPrivateData",
                           JoinArgs({ArgGuid(tag), ArgPointer(buffer), ArgPointer(size)}));
}
HRESULT SurfaceObject::FreePrivateData(REFGUID tag) {
  return RecordUnsupported("IDirectDrawSurface4::FreePrivateData", ArgGuid(tag));
}

// ---- Interfaces of other areas -------------------------------------------------------------------
void AddSurfaceQueryHook(SurfaceQueryHook hook) {
  auto lock = LockSimulation();
  SurfaceHooks().Add(hook);
}

}  // namespace sim::detail
