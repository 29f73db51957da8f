// What a device draws with besides vertices: textures (the IDirect3DTexture2
// a texture surface hands out), materials and lights.
#include <cstring>

#include "sim/d3d_internal.h"

namespace sim::detail {
namespace {

// One texture interface per surface made with DDSCAPS_TEXTURE.
HRESULT QueryTexture(IDirectDrawSurface4* object, REFIID iid, void** out) {
  if (iid != IID_IDirect3DTexture2) return E_NOINTERFACE;
  SurfaceObject* surface = FindSurface(object);
  if (surface == nullptr || !(surface->caps & DDSCAPS_TEXTURE)) return E_NOINTERFACE;
  for (TextureObject* texture : LiveList<TextureObject>()) {
    if (texture->surface == surface) {
      texture->Hold();
      *out = static_cast<IDirect3DTexture2*>(texture);
      return S_OK;
    }
  }
  *out = static_cast<IDirect3DTexture2*>(new TextureObject(surface));
  return S_OK;
}

const bool kHookAdded = (AddSurfaceQueryHook(QueryTexture), true);

D3DMATERIALHANDLE g_nextMaterialHandle = 1;

}  // namespace

// ---- Textures ----------------------------------------------------------------------------------------------
TextureObject::TextureObject(SurfaceObject* texturesSurface)
    : ComObject("IDirect3DTexture2", IID_IDirect3DTexture2), Listed(this), surface(texturesSurface) {
  surface->Hold();
}

TextureObject::~TextureObject() { surface->Drop(); }

// Copies the source's pixels and the colours its palette shows: what a hardware device's
// texture in display memory is filled by.
HRESULT TextureObject::Load(LPDIRECT3DTEXTURE2 source) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DTexture2::Load", ArgPointer(source))) return *failure;
  const TextureObject* from = FindLive<TextureObject>(source);
  if (from == nullptr) return DDERR_INVALIDPARAMS;
  const PixelSurface& in = *from->surface->pixels;
  PixelSurface& out = *surface->pixels;
  if (in.Width() != out.Width() || in.Height() != out.Height() || !SameLayout(in.Layout(), out.Layout())) {
    return D3DERR_TEXTURE_LOAD_FAILED;
  }
  if (const HRESULT busy = surface->Usable(); FAILED(busy)) return busy;
  if (const HRESULT busy = from->surface->Usable(); FAILED(busy)) return busy;
  std::memcpy(out.Bits(), in.Bits(), static_cast<size_t>(in.Pitch()) * static_cast<size_t>(in.Height()));
  if (in.Layout().palettized) out.Palette() = in.Palette();
  return D3D_OK;
}

HRESULT TextureObject::PaletteChanged(DWORD first, DWORD count) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DTexture2::PaletteChanged", JoinArgs({ArgDec(first), ArgDec(count)}))) {
    return *failure;
  }
  return D3D_OK;
}

// Texture handles belong to the execute-buffer drawing of older devices.
HRESULT TextureObject::GetHandle(struct IDirect3DDevice2* device, LPD3DTEXTUREHANDLE handle) {
  return NotSimulated("IDirect3DTexture2::GetHandle", JoinArgs({ArgPointer(device), ArgPointer(handle)}));
}

// ---- Materials ---------------------------------------------------------------------------------------------
MaterialObject::MaterialObject() : ComObject("IDirect3DMaterial3", IID_IDirect3DMaterial3), Listed(this) {}

HRESULT MaterialObject::SetMaterial(LPD3DMATERIAL given) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DMaterial3::SetMaterial", ArgPointer(given))) return *failure;
  if (given == nullptr || given->dwSize != sizeof *given) return DDERR_INVALIDPARAMS;
  data = *given;
  return D3D_OK;
}

HRESULT MaterialObject::GetMaterial(LPD3DMATERIAL out) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DMaterial3::GetMaterial", ArgPointer(out))) return *failure;
  if (out == nullptr || out->dwSize != sizeof *out) return DDERR_INVALIDPARAMS;
  *out = data;
  return D3D_OK;
}

HRESULT MaterialObject::GetHandle(LPDIRECT3DDEVICE3 device, LPD3DMATERIALHANDLE out) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DMaterial3::GetHandle", JoinArgs({ArgPointer(device), ArgPointer(out)}))) {
    return *failure;
  }
  if (out == nullptr || FindLive<DeviceObject>(device) == nullptr) return DDERR_INVALIDPARAMS;
  if (handle == 0) handle = g_nextMaterialHandle++;
  *out = handle;
  return D3D_OK;
}

// ---- Lights ------------------------------------------------------------------------------------------------
LightObject::LightObject() : ComObject("IDirect3DLight", IID_IDirect3DLight), Listed(this) {}

// A D3DLIGHT or a D3DLIGHT2: the size says which.
HRESULT LightObject::SetLight(LPD3DLIGHT given) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DLight::SetLight", ArgPointer(given))) return *failure;
  if (given == nullptr || (given->dwSize != sizeof(D3DLIGHT) && given->dwSize != sizeof(D3DLIGHT2))) {
    return DDERR_INVALIDPARAMS;
  }
  data = D3DLIGHT2{};
  std::memcpy(&data, given, given->dwSize);
  return D3D_OK;
}

HRESULT LightObject::GetLight(LPD3DLIGHT out) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DLight::GetLight", ArgPointer(out))) return *failure;
  if (out == nullptr || (out->dwSize != sizeof(D3DLIGHT) && out->dwSize != sizeof(D3DLIGHT2))) {
    return DDERR_INVALIDPARAMS;
  }
  const DWORD size = out->dwSize;
  std::memcpy(out, &data, size);
  out->dwSize = size;
  return D3D_OK;
}

HRESULT LightObject::Initialize(struct IDirect3D* direct3D) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DLight::Initialize", ArgPointer(direct3D))) return *failure;
  return DDERR_ALREADYINITIALIZED;
}

void ResetMaterialHandles() { g_nextMaterialHandle = 1; }

}  // namespace sim::detail

namespace sim {

D3DMATERIAL Direct3DMaterialData(IDirect3DMaterial3* material) {
  auto lock = detail::LockSimulation();
  const detail::MaterialObject* found = detail::FindLive<detail::MaterialObject>(material);
  return found ? found->data : D3DMATERIAL{};
}

D3DLIGHT2 Direct3DLightData(IDirect3DLight* light) {
  auto lock = detail::LockSimulation();
  const detail::LightObject* found = detail::FindLive<detail::LightObject>(light);
  return found ? found->data : D3DLIGHT2{};
}

}  // namespace sim
