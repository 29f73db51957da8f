// A Direct3D device: its render target and depth buffer, its viewports, the
// scene, and what it reports of itself (capabilities, texture formats).
#include "sim/d3d_internal.h"

namespace sim::detail {
namespace {

D3DMATRIX Identity() {
  D3DMATRIX matrix = {};
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
  return matrix;
}

SurfaceObject* AttachedDepthBuffer(const SurfaceObject& surface) {
  for (SurfaceObject* attached : surface.attached) {
    if (attached->IsDepthBuffer()) return attached;
  }
  return nullptr;
}

// Direct3D's defaults for the states the system reads back or draws with.
void SetDefaultStates(DeviceObject& device) {
  device.renderStates = {{D3DRENDERSTATE_ZENABLE, device.depthBuffer ? D3DZB_TRUE : D3DZB_FALSE},
                         {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
                         {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
                         {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
                         {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                         {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
                         {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_ALWAYS},
                         {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATE},
                         {D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE},
                         {D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_NEAREST},
                         {D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_NEAREST},
                         {D3DRENDERSTATE_CULLMODE, D3DCULL_CCW},
                         {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
                         {D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID}};
  for (DWORD stage = 0; stage < DeviceObject::kStages; ++stage) {
    device.stageStates[stage] = {{D3DTSS_COLOROP, stage == 0 ? 4u : 1u},  // modulate; disable
                                 {D3DTSS_ALPHAOP, stage == 0 ? 2u : 1u},  // first argument; disable
                                 {D3DTSS_ADDRESS, D3DTADDRESS_WRAP},
                                 {D3DTSS_ADDRESSU, D3DTADDRESS_WRAP},
                                 {D3DTSS_ADDRESSV, D3DTADDRESS_WRAP},
                                 {D3DTSS_MAGFILTER, D3DTFG_POINT},
                                 {D3DTSS_MINFILTER, D3DTFN_POINT},
                                 {D3DTSS_MIPFILTER, D3DTFP_NONE}};
  }
}

}  // namespace

HRESULT RenderTargetRefusal(bool hardware, const SurfaceObject& surface) {
  if (surface.lost) return DDERR_SURFACELOST;
  if (!(surface.caps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
  if (hardware && surface.memory == SurfaceMemory::System) return D3DERR_SURFACENOTINVIDMEM;
  // A hardware device reads its depth buffer from display memory, a software one from system memory.
  if (const SurfaceObject* depth = AttachedDepthBuffer(surface)) {
    const bool inSystemMemory = depth->memory == SurfaceMemory::System;
    if (hardware && inSystemMemory) return D3DERR_ZBUFF_NEEDS_VIDEOMEMORY;
    if (!hardware && !inSystemMemory) return D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY;
  }
  return D3D_OK;
}

DeviceObject::DeviceObject(Direct3DObject* owner, const Direct3DDeviceType& deviceType, SurfaceObject* surface)
    : ComObject("IDirect3DDevice3", IID_IDirect3DDevice3),
      Listed(this),
      direct3D(owner),
      type(deviceType.guid),
      hardware(IsHardware(deviceType)),
      world(Identity()),
      view(Identity()),
      projection(Identity()) {
  direct3D->Hold();
  TakeTarget(surface);
  SetDefaultStates(*this);
}

DeviceObject::~DeviceObject() {
  for (ViewportObject* viewport : viewports) {
    viewport->device = nullptr;
    viewport->Drop();
  }
  if (current != nullptr) current->Drop();
  for (TextureObject* texture : textures) {
    if (texture != nullptr) texture->Drop();
  }
  if (depthBuffer != nullptr) depthBuffer->Drop();
  target->Drop();
  direct3D->Drop();
}

void DeviceObject::TakeTarget(SurfaceObject* surface) {
  SurfaceObject* depth = AttachedDepthBuffer(*surface);
  surface->Hold();
  if (depth != nullptr) depth->Hold();
  if (target != nullptr) target->Drop();
  if (depthBuffer != nullptr) depthBuffer->Drop();
  target = surface;
  depthBuffer = depth;
}

void DeviceObject::ForgetViewport(ViewportObject* viewport) {
  viewports.erase(std::remove(viewports.begin(), viewports.end(), viewport), viewports.end());
  if (current == viewport) {
    current = nullptr;
    viewport->Drop();
  }
  viewport->device = nullptr;
  viewport->Drop();
}

// ---- What the device reports ----------------------------------------------------------------------
HRESULT DeviceObject::GetCaps(LPD3DDEVICEDESC hardwareDesc, LPD3DDEVICEDESC softwareDesc) {
  auto lock = LockSimulation();
  if (auto failure =
          Enter("IDirect3DDevice3::GetCaps", JoinArgs({ArgPointer(hardwareDesc), ArgPointer(softwareDesc)}))) {
    return *failure;
  }
  const Direct3DDeviceType* deviceType = FindDeviceType(type);
  for (LPD3DDEVICEDESC desc : {hardwareDesc, softwareDesc}) {
    if (desc != nullptr && desc->dwSize != sizeof(D3DDEVICEDESC)) return DDERR_INVALIDPARAMS;
  }
  if (deviceType == nullptr || (hardwareDesc == nullptr && softwareDesc == nullptr)) return DDERR_INVALIDPARAMS;
  if (hardwareDesc != nullptr) *hardwareDesc = deviceType->hardware;
  if (softwareDesc != nullptr) *softwareDesc = deviceType->software;
  return D3D_OK;
}

HRESULT DeviceObject::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::EnumTextureFormats",
                           JoinArgs({ArgPointer(reinterpret_cast<const void*>(callback)), ArgPointer(context)}))) {
    return *failure;
  }
  const Direct3DDeviceType* deviceType = FindDeviceType(type);
  if (callback == nullptr) return DDERR_INVALIDPARAMS;
  if (deviceType == nullptr) return D3D_OK;
  const std::vector<DDPIXELFORMAT> formats = deviceType->textureFormats;
  for (DDPIXELFORMAT format : formats) {
    if (callback(&format, context) == D3DENUMRET_CANCEL && !EnumerationIgnoresStop()) break;
  }
  return D3D_OK;
}

HRESULT DeviceObject::GetDirect3D(LPDIRECT3D3* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = Enter("IDirect3DDevice3::GetDirect3D", ArgPointer(out))) return *failure;
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  direct3D->Hold();
  *out = direct3D;
  return D3D_OK;
}

// ---- Viewports ---------------------------------------------------------------------------------------
HRESULT DeviceObject::AddViewport(LPDIRECT3DVIEWPORT3 added) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::AddViewport", ArgPointer(added))) return *failure;
  ViewportObject* viewport = FindLive<ViewportObject>(added);
  if (viewport == nullptr || viewport->device != nullptr) return DDERR_INVALIDPARAMS;
  viewport->Hold();
  viewport->device = this;
  viewports.push_back(viewport);
  return D3D_OK;
}

HRESULT DeviceObject::DeleteViewport(LPDIRECT3DVIEWPORT3 deleted) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::DeleteViewport", ArgPointer(deleted))) return *failure;
  ViewportObject* viewport = FindLive<ViewportObject>(deleted);
  if (viewport == nullptr || viewport->device != this) return DDERR_INVALIDPARAMS;
  ForgetViewport(viewport);
  return D3D_OK;
}

HRESULT DeviceObject::SetCurrentViewport(LPDIRECT3DVIEWPORT3 chosen) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::SetCurrentViewport", ArgPointer(chosen))) return *failure;
  ViewportObject* viewport = FindLive<ViewportObject>(chosen);
  if (viewport == nullptr || viewport->device != this) return DDERR_INVALIDPARAMS;
  viewport->Hold();
  if (current != nullptr) current->Drop();
  current = viewport;
  return D3D_OK;
}

HRESULT DeviceObject::GetCurrentViewport(LPDIRECT3DVIEWPORT3* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = Enter("IDirect3DDevice3::GetCurrentViewport", ArgPointer(out))) return *failure;
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (current == nullptr) return D3DERR_NOCURRENTVIEWPORT;
  current->Hold();
  *out = current;
  return D3D_OK;
}

// ---- Scene and render target ----------------------------------------------------------------------
HRESULT DeviceObject::BeginScene() {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::BeginScene", "")) return *failure;
  if (inScene) return D3DERR_SCENE_IN_SCENE;
  if (target->lost) return DDERR_SURFACELOST;
  inScene = true;
  return D3D_OK;
}

HRESULT DeviceObject::EndScene() {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::EndScene", "")) return *failure;
  if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  inScene = false;
  return D3D_OK;
}

HRESULT DeviceObject::SetRenderTarget(LPDIRECTDRAWSURFACE4 surface, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::SetRenderTarget", JoinArgs({ArgPointer(surface), ArgHex(flags)}))) {
    return *failure;
  }
  SurfaceObject* chosen = FindSurface(surface);
  if (chosen == nullptr) return DDERR_INVALIDPARAMS;
  if (const HRESULT refused = RenderTargetRefusal(hardware, *chosen); FAILED(refused)) return refused;
  TakeTarget(chosen);
  return D3D_OK;
}

HRESULT DeviceObject::GetRenderTarget(LPDIRECTDRAWSURFACE4* out) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = Enter("IDirect3DDevice3::GetRenderTarget", ArgPointer(out))) return *failure;
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  target->Hold();
  *out = target;
  return D3D_OK;
}

// ---- Not simulated: statistics, the Begin/Vertex/End drawing, strided and vertex-buffer draws ----------
HRESULT DeviceObject::GetStats(struct _D3DSTATS* stats) {
  return NotSimulated("IDirect3DDevice3::GetStats", ArgPointer(stats));
}
HRESULT DeviceObject::NextViewport(LPDIRECT3DVIEWPORT3 viewport, LPDIRECT3DVIEWPORT3* next, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::NextViewport",
                      JoinArgs({ArgPointer(viewport), ArgPointer(next), ArgHex(flags)}));
}
HRESULT DeviceObject::Begin(D3DPRIMITIVETYPE primitive, DWORD format, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::Begin", JoinArgs({ArgDec(primitive), ArgHex(format), ArgHex(flags)}));
}
HRESULT DeviceObject::BeginIndexed(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices, DWORD count,
                                   DWORD flags) {
  return NotSimulated("IDirect3DDevice3::BeginIndexed", JoinArgs({ArgDec(primitive), ArgHex(format),
                                                                  ArgPointer(vertices), ArgDec(count), ArgHex(flags)}));
}
HRESULT DeviceObject::Vertex(LPVOID vertex) { return NotSimulated("IDirect3DDevice3::Vertex", ArgPointer(vertex)); }
HRESULT DeviceObject::Index(WORD index) { return NotSimulated("IDirect3DDevice3::Index", ArgDec(index)); }
HRESULT DeviceObject::End(DWORD flags) { return NotSimulated("IDirect3DDevice3::End", ArgHex(flags)); }
HRESULT DeviceObject::DrawPrimitiveStrided(D3DPRIMITIVETYPE primitive, DWORD format,
                                           struct _D3DDRAWPRIMITIVESTRIDEDDATA* data, DWORD count, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::DrawPrimitiveStrided",
                      JoinArgs({ArgDec(primitive), ArgHex(format), ArgPointer(data), ArgDec(count), ArgHex(flags)}));
}
HRESULT DeviceObject::DrawIndexedPrimitiveStrided(D3DPRIMITIVETYPE primitive, DWORD format,
                                                  struct _D3DDRAWPRIMITIVESTRIDEDDATA* data, DWORD count,
                                                  WORD* indices, DWORD indexCount, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::DrawIndexedPrimitiveStrided",
                      JoinArgs({ArgDec(primitive), ArgHex(format), ArgPointer(data), ArgDec(count), ArgPointer(indices),
                                ArgDec(indexCount), ArgHex(flags)}));
}
HRESULT DeviceObject::DrawPrimitiveVB(D3DPRIMITIVETYPE primitive, struct IDirect3DVertexBuffer* buffer, DWORD start,
                                      DWORD count, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::DrawPrimitiveVB",
                      JoinArgs({ArgDec(primitive), ArgPointer(buffer), ArgDec(start), ArgDec(count), ArgHex(flags)}));
}
HRESULT DeviceObject::DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE primitive, struct IDirect3DVertexBuffer* buffer,
                                             WORD* indices, DWORD indexCount, DWORD flags) {
  return NotSimulated("IDirect3DDevice3::DrawIndexedPrimitiveVB", JoinArgs({ArgDec(primitive), ArgPointer(buffer),
                                                                            ArgPointer(indices), ArgDec(indexCount),
                                                                            ArgHex(flags)}));
}
HRESULT DeviceObject::ComputeSphereVisibility(LPD3DVECTOR centres, LPD3DVALUE radii, DWORD count, DWORD flags,
                                              LPDWORD results) {
  return NotSimulated("IDirect3DDevice3::ComputeSphereVisibility",
                      JoinArgs({ArgPointer(centres), ArgPointer(radii), ArgDec(count), ArgHex(flags),
                                ArgPointer(results)}));
}
HRESULT DeviceObject::ValidateDevice(LPDWORD passes) {
  return NotSimulated("IDirect3DDevice3::ValidateDevice", ArgPointer(passes));
}

}  // namespace sim::detail
