// Viewports: the rectangle a device draws and clears in, once added to the
// device, and the lights added to it. Clearing fills the render target's
// pixels (for callers that read the frame back) and is recorded.
#include "sim/d3d_internal.h"

namespace sim::detail {
namespace {

std::string ArgViewport(const D3DVIEWPORT2* data) {
  if (data == nullptr) return "NULL";
  return "{" + ArgDec(data->dwX) + ", " + ArgDec(data->dwY) + ", " + ArgDec(data->dwWidth) + "x" +
         ArgDec(data->dwHeight) + "}";
}

std::string ArgRects(DWORD count, const D3DRECT* rects) {
  if (rects == nullptr) return "NULL";
  std::string text;
  for (DWORD i = 0; i < count && i < 4; ++i) {
    text += (i ? " " : "") + std::string("{") + ArgDec(rects[i].x1) + ", " + ArgDec(rects[i].y1) + ", " +
            ArgDec(rects[i].x2) + ", " + ArgDec(rects[i].y2) + "}";
  }
  return text + (count > 4 ? " ..." : "");
}

// Fills the part of `rect` inside the viewport with the colour (its alpha is not kept).
void FillTarget(SurfaceObject& target, const D3DVIEWPORT2& area, const D3DRECT& rect, D3DCOLOR colour) {
  const LONG left = std::max<LONG>(rect.x1, static_cast<LONG>(area.dwX));
  const LONG top = std::max<LONG>(rect.y1, static_cast<LONG>(area.dwY));
  const LONG right = std::min<LONG>(rect.x2, static_cast<LONG>(area.dwX + area.dwWidth));
  const LONG bottom = std::min<LONG>(rect.y2, static_cast<LONG>(area.dwY + area.dwHeight));
  if (left >= right || top >= bottom) return;
  target.pixels->Fill(RECT{left, top, right, bottom}, target.pixels->RawFromRgb(colour & 0x00FFFFFF));
}

}  // namespace

ViewportObject::ViewportObject() : ComObject("IDirect3DViewport3", IID_IDirect3DViewport3), Listed(this) {}

ViewportObject::~ViewportObject() {
  for (LightObject* light : lights) {
    light->viewport = nullptr;
    light->Drop();
  }
}

HRESULT ViewportObject::SetViewport2(LPD3DVIEWPORT2 given) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::SetViewport2", ArgViewport(given))) return *failure;
  if (given == nullptr || given->dwSize != sizeof *given) return DDERR_INVALIDPARAMS;
  if (device == nullptr) return D3DERR_VIEWPORTHASNODEVICE;
  data = *given;
  dataSet = true;
  return D3D_OK;
}

HRESULT ViewportObject::GetViewport2(LPD3DVIEWPORT2 out) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::GetViewport2", ArgPointer(out))) return *failure;
  if (out == nullptr || out->dwSize != sizeof *out) return DDERR_INVALIDPARAMS;
  if (!dataSet) return D3DERR_VIEWPORTDATANOTSET;
  *out = data;
  return D3D_OK;
}

HRESULT ViewportObject::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, D3DVALUE z,
                                DWORD stencil) {
  const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
  if (count == 0 || rects == nullptr || flags == 0 || (flags & ~known)) return DDERR_INVALIDPARAMS;
  if (device == nullptr) return D3DERR_VIEWPORTHASNODEVICE;
  if (!dataSet) return D3DERR_VIEWPORTDATANOTSET;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && device->depthBuffer == nullptr) {
    return D3DERR_ZBUFFER_NOTPRESENT;
  }
  if (device->target->lost) return DDERR_SURFACELOST;
  if (flags & D3DCLEAR_TARGET) {
    for (DWORD i = 0; i < count; ++i) FillTarget(*device->target, data, rects[i], colour);
  }
  RecordClear(Direct3DClear{this, device, std::vector<D3DRECT>(rects, rects + count), flags, colour, z, stencil});
  return D3D_OK;
}

HRESULT ViewportObject::Clear2(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR colour, D3DVALUE z,
                               DWORD stencil) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::Clear2",
                           JoinArgs({ArgDec(count), ArgRects(count, rects), ArgHex(flags), ArgHex(colour),
                                     std::to_string(z), ArgDec(stencil)}))) {
    return *failure;
  }
  return DoClear(count, rects, flags, colour, z, stencil);
}

// The older clear: the background material is not simulated, so the colour is black.
HRESULT ViewportObject::Clear(DWORD count, LPD3DRECT rects, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure =
          Enter("IDirect3DViewport3::Clear", JoinArgs({ArgDec(count), ArgRects(count, rects), ArgHex(flags)}))) {
    return *failure;
  }
  if (flags & D3DCLEAR_STENCIL) return DDERR_INVALIDPARAMS;
  return DoClear(count, rects, flags, 0, 1.0f, 0);
}

// A light shines in one viewport at a time.
HRESULT ViewportObject::AddLight(LPDIRECT3DLIGHT added) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::AddLight", ArgPointer(added))) return *failure;
  LightObject* light = FindLive<LightObject>(added);
  if (light == nullptr) return DDERR_INVALIDPARAMS;
  if (light->viewport != nullptr) return D3DERR_LIGHTHASVIEWPORT;
  light->Hold();
  light->viewport = this;
  lights.push_back(light);
  return D3D_OK;
}

HRESULT ViewportObject::DeleteLight(LPDIRECT3DLIGHT deleted) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::DeleteLight", ArgPointer(deleted))) return *failure;
  LightObject* light = FindLive<LightObject>(deleted);
  if (light == nullptr || light->viewport != this) return DDERR_INVALIDPARAMS;
  lights.erase(std::remove(lights.begin(), lights.end(), light), lights.end());
  light->viewport = nullptr;
  light->Drop();
  return D3D_OK;
}

HRESULT ViewportObject::Initialize(struct IDirect3D* direct3D) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DViewport3::Initialize", ArgPointer(direct3D))) return *failure;
  return DDERR_ALREADYINITIALIZED;
}

// ---- Not simulated: the first viewport record, backgrounds, transforming and lighting by hand ----------
HRESULT ViewportObject::GetViewport(LPD3DVIEWPORT out) {
  return NotSimulated("IDirect3DViewport3::GetViewport", ArgPointer(out));
}
HRESULT ViewportObject::SetViewport(LPD3DVIEWPORT given) {
  return NotSimulated("IDirect3DViewport3::SetViewport", ArgPointer(given));
}
HRESULT ViewportObject::TransformVertices(DWORD count, struct _D3DTRANSFORMDATA* given, DWORD flags,
                                          LPDWORD offscreen) {
  return NotSimulated("IDirect3DViewport3::TransformVertices",
                      JoinArgs({ArgDec(count), ArgPointer(given), ArgHex(flags), ArgPointer(offscreen)}));
}
HRESULT ViewportObject::LightElements(DWORD count, struct _D3DLIGHTDATA* given) {
  return NotSimulated("IDirect3DViewport3::LightElements", JoinArgs({ArgDec(count), ArgPointer(given)}));
}
HRESULT ViewportObject::SetBackground(D3DMATERIALHANDLE material) {
  return NotSimulated("IDirect3DViewport3::SetBackground", ArgHex(material));
}
HRESULT ViewportObject::GetBackground(LPD3DMATERIALHANDLE material, BOOL* valid) {
  return NotSimulated("IDirect3DViewport3::GetBackground", JoinArgs({ArgPointer(material), ArgPointer(valid)}));
}
HRESULT ViewportObject::SetBackgroundDepth(LPDIRECTDRAWSURFACE surface) {
  return NotSimulated("IDirect3DViewport3::SetBackgroundDepth", ArgPointer(surface));
}
HRESULT ViewportObject::GetBackgroundDepth(LPDIRECTDRAWSURFACE* surface, BOOL* valid) {
  return NotSimulated("IDirect3DViewport3::GetBackgroundDepth", JoinArgs({ArgPointer(surface), ArgPointer(valid)}));
}
HRESULT ViewportObject::NextLight(LPDIRECT3DLIGHT light, LPDIRECT3DLIGHT* next, DWORD flags) {
  return NotSimulated("IDirect3DViewport3::NextLight", JoinArgs({ArgPointer(light), ArgPointer(next), ArgHex(flags)}));
}
HRESULT ViewportObject::SetBackgroundDepth2(LPDIRECTDRAWSURFACE4 surface) {
  return NotSimulated("IDirect3DViewport3::SetBackgroundDepth2", ArgPointer(surface));
}
HRESULT ViewportObject::GetBackgroundDepth2(LPDIRECTDRAWSURFACE4* surface, BOOL* valid) {
  return NotSimulated("IDirect3DViewport3::GetBackgroundDepth2", JoinArgs({ArgPointer(surface), ArgPointer(valid)}));
}

}  // namespace sim::detail

namespace sim {

Direct3DViewportInfo DescribeDirect3DViewport(IDirect3DViewport3* viewport) {
  auto lock = detail::LockSimulation();
  Direct3DViewportInfo info;
  const detail::ViewportObject* found = detail::FindLive<detail::ViewportObject>(viewport);
  if (found == nullptr) return info;
  info.live = true;
  info.device = found->device;
  info.dataSet = found->dataSet;
  info.data = found->data;
  info.lights.assign(found->lights.begin(), found->lights.end());
  return info;
}

}  // namespace sim
