// The Direct3D object that a DirectDraw object hands out for IID_IDirect3D3:
// the machine's 3D devices (test-configurable) with their depth-buffer
// formats, the creators of devices, viewports, materials and lights, and the
// area's reset and live counts. The Direct3D identifiers are defined with
// DirectDraw's in ddraw_devices.cpp; this file comes into every program that
// makes surfaces, whose attachments follow its depth-buffer rule.
#include "sim/d3d_internal.h"

namespace sim {
namespace {

std::vector<Direct3DDeviceType> g_deviceTypes = StandardDirect3DDevices();
DepthAttachment g_attachment = DepthAttachment::OneSurface;

// One Direct3D object per DirectDraw object, as Direct3D is part of it.
HRESULT QueryDirect3D(IDirectDraw4* directDraw, REFIID iid, void** out) {
  if (iid != IID_IDirect3D3) return E_NOINTERFACE;
  for (detail::Direct3DObject* existing : detail::LiveList<detail::Direct3DObject>()) {
    if (existing->directDraw == directDraw) {
      existing->Hold();
      *out = static_cast<IDirect3D3*>(existing);
      return S_OK;
    }
  }
  *out = static_cast<IDirect3D3*>(new detail::Direct3DObject(directDraw));
  return S_OK;
}

void ResetDirect3D() {
  g_deviceTypes = StandardDirect3DDevices();
  g_attachment = DepthAttachment::OneSurface;
  detail::LiveList<detail::Direct3DObject>().clear();
  detail::LiveList<detail::DeviceObject>().clear();
  detail::LiveList<detail::ViewportObject>().clear();
  detail::LiveList<detail::TextureObject>().clear();
  detail::LiveList<detail::MaterialObject>().clear();
  detail::LiveList<detail::LightObject>().clear();
  detail::ResetDirect3DRecord();
  detail::ResetMaterialHandles();
}

const bool kResetRegistered = detail::AddResetHook(ResetDirect3D);
const bool kHookAdded = (detail::AddDirectDrawQueryHook(QueryDirect3D), true);

template <typename Object>
int LiveCount() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(detail::LiveList<Object>().size());
}

}  // namespace

namespace detail {

HRESULT NotSimulated(const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  if (auto failure = Enter(function, arguments)) return *failure;
  return E_NOTIMPL;
}

const Direct3DDeviceType* FindDeviceType(REFCLSID guid) {
  for (const Direct3DDeviceType& type : g_deviceTypes) {
    if (type.guid == guid) return &type;
  }
  return nullptr;
}

bool IsHardware(const Direct3DDeviceType& type) { return type.hardware.dcmColorModel != 0; }

// The DirectDraw object stays as long as its Direct3D object: both are one object on Windows.
Direct3DObject::Direct3DObject(IDirectDraw4* object)
    : ComObject("IDirect3D3", IID_IDirect3D3), Listed(this), directDraw(object) {
  static_cast<ComObject<IDirectDraw4>*>(directDraw)->Hold();
}

Direct3DObject::~Direct3DObject() { static_cast<ComObject<IDirectDraw4>*>(directDraw)->Drop(); }

HRESULT Direct3DObject::EnumDevices(LPD3DENUMDEVICESCALLBACK callback, LPVOID context) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3D3::EnumDevices",
                           JoinArgs({ArgPointer(reinterpret_cast<const void*>(callback)), ArgPointer(context)}))) {
    return *failure;
  }
  if (callback == nullptr) return DDERR_INVALIDPARAMS;
  // Copies: the callback may write into what it is given.
  const std::vector<Direct3DDeviceType> types = g_deviceTypes;
  for (Direct3DDeviceType type : types) {
    if (callback(&type.guid, type.description.data(), type.name.data(), &type.hardware, &type.software, context) ==
            D3DENUMRET_CANCEL &&
        !EnumerationIgnoresStop()) {
      break;
    }
  }
  return D3D_OK;
}

HRESULT Direct3DObject::EnumZBufferFormats(REFCLSID guid, LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3D3::EnumZBufferFormats",
                           JoinArgs({ArgGuid(guid), ArgPointer(reinterpret_cast<const void*>(callback)),
                                     ArgPointer(context)}))) {
    return *failure;
  }
  const Direct3DDeviceType* type = FindDeviceType(guid);
  if (callback == nullptr || type == nullptr) return DDERR_INVALIDPARAMS;
  const std::vector<DDPIXELFORMAT> formats = type->depthFormats;
  for (DDPIXELFORMAT format : formats) {
    if (callback(&format, context) == D3DENUMRET_CANCEL && !EnumerationIgnoresStop()) break;
  }
  return D3D_OK;
}

// The three creators of plain objects share their checks.
template <typename Object, typename Interface>
HRESULT CreatePlain(const char* function, Interface** out, IUnknown* outer) {
  auto lock = LockSimulation();
  if (out != nullptr) *out = nullptr;
  if (auto failure = Enter(function, JoinArgs({ArgPointer(out), ArgPointer(outer)}))) return *failure;
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  *out = new Object();
  return D3D_OK;
}

HRESULT Direct3DObject::CreateLight(LPDIRECT3DLIGHT* light, IUnknown* outer) {
  return CreatePlain<LightObject>("IDirect3D3::CreateLight", light, outer);
}
HRESULT Direct3DObject::CreateMaterial(LPDIRECT3DMATERIAL3* material, IUnknown* outer) {
  return CreatePlain<MaterialObject>("IDirect3D3::CreateMaterial", material, outer);
}
HRESULT Direct3DObject::CreateViewport(LPDIRECT3DVIEWPORT3* viewport, IUnknown* outer) {
  return CreatePlain<ViewportObject>("IDirect3D3::CreateViewport", viewport, outer);
}

HRESULT Direct3DObject::CreateDevice(REFCLSID guid, LPDIRECTDRAWSURFACE4 target, LPDIRECT3DDEVICE3* device,
                                     IUnknown* outer) {
  auto lock = LockSimulation();
  if (device != nullptr) *device = nullptr;
  if (auto failure = Enter("IDirect3D3::CreateDevice",
                           JoinArgs({ArgGuid(guid), ArgPointer(target), ArgPointer(device), ArgPointer(outer)}))) {
    return *failure;
  }
  const Direct3DDeviceType* type = FindDeviceType(guid);
  SurfaceObject* surface = FindSurface(target);
  if (device == nullptr || type == nullptr || surface == nullptr) return DDERR_INVALIDPARAMS;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (const HRESULT refused = RenderTargetRefusal(IsHardware(*type), *surface); FAILED(refused)) return refused;
  *device = new DeviceObject(this, *type, surface);
  return D3D_OK;
}

HRESULT Direct3DObject::FindDevice(struct _D3DFINDDEVICESEARCH* search, struct _D3DFINDDEVICERESULT* result) {
  return NotSimulated("IDirect3D3::FindDevice", JoinArgs({ArgPointer(search), ArgPointer(result)}));
}

HRESULT Direct3DObject::CreateVertexBuffer(struct _D3DVERTEXBUFFERDESC* desc, struct IDirect3DVertexBuffer** buffer,
                                           DWORD flags, IUnknown* outer) {
  return NotSimulated("IDirect3D3::CreateVertexBuffer",
                      JoinArgs({ArgPointer(desc), ArgPointer(buffer), ArgHex(flags), ArgPointer(outer)}));
}

HRESULT Direct3DObject::EvictManagedTextures() {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3D3::EvictManagedTextures", "")) return *failure;
  return D3D_OK;
}

}  // namespace detail

// ---- Control -------------------------------------------------------------------------------------
D3DDEVICEDESC DeviceDescription(D3DCOLORMODEL colourModel, DWORD renderDepths, DWORD depthDepths) {
  D3DDEVICEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH;
  desc.dcmColorModel = colourModel;
  desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                   (colourModel == D3DCOLOR_RGB ? D3DDEVCAPS_TEXTURESYSTEMMEMORY : 0);
  desc.dwDeviceRenderBitDepth = renderDepths;
  desc.dwDeviceZBufferBitDepth = depthDepths;
  desc.dpcTriCaps.dwSize = desc.dpcLineCaps.dwSize = sizeof(D3DPRIMCAPS);
  desc.dwMaxTextureWidth = desc.dwMaxTextureHeight = 2048;
  desc.wMaxTextureBlendStages = desc.wMaxSimultaneousTextures = 1;
  return desc;
}

DDPIXELFORMAT DepthFormat(int bits, int stencilBits) {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_ZBUFFER | (stencilBits > 0 ? DDPF_STENCILBUFFER : 0);
  format.dwZBufferBitDepth = static_cast<DWORD>(bits);
  format.dwStencilBitDepth = static_cast<DWORD>(stencilBits);
  const int depthBits = bits - stencilBits;
  format.dwZBitMask = depthBits >= 32 ? 0xFFFFFFFFu : (1u << depthBits) - 1;
  format.dwStencilBitMask = stencilBits > 0 ? ((1u << stencilBits) - 1) << depthBits : 0;
  return format;
}

DDPIXELFORMAT RgbFormat(int bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
  format.dwRGBBitCount = static_cast<DWORD>(bits);
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  format.dwRGBAlphaBitMask = alpha;
  return format;
}

DDPIXELFORMAT PaletteFormat(int bits) {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB | (bits == 4 ? DDPF_PALETTEINDEXED4 : DDPF_PALETTEINDEXED8);
  format.dwRGBBitCount = static_cast<DWORD>(bits);
  return format;
}

std::vector<Direct3DDeviceType> StandardDirect3DDevices() {
  const DWORD renders = DDBD_16 | DDBD_24 | DDBD_32;
  const DWORD depths = DDBD_16 | DDBD_24 | DDBD_32;
  const std::vector<DDPIXELFORMAT> depthFormats = {DepthFormat(16), DepthFormat(32), DepthFormat(32, 8),
                                                   DepthFormat(24)};
  const std::vector<DDPIXELFORMAT> textureFormats = {
      RgbFormat(16, 0x7C00, 0x03E0, 0x001F),         RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
      RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000), RgbFormat(16, 0xF800, 0x07E0, 0x001F),
      RgbFormat(32, 0xFF0000, 0xFF00, 0xFF),         RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)};
  Direct3DDeviceType software{IID_IDirect3DRGBDevice, "Microsoft Direct3D RGB Software Emulation", "RGB Emulation",
                              D3DDEVICEDESC{}, DeviceDescription(D3DCOLOR_RGB, renders, depths), depthFormats,
                              textureFormats};
  software.hardware.dwSize = sizeof(D3DDEVICEDESC);
  Direct3DDeviceType hardware{IID_IDirect3DHALDevice, "Microsoft Direct3D Hardware acceleration through Direct3D HAL",
                              "Direct3D HAL", DeviceDescription(D3DCOLOR_RGB, renders, depths), D3DDEVICEDESC{},
                              depthFormats, textureFormats};
  hardware.software.dwSize = sizeof(D3DDEVICEDESC);
  return {software, hardware};
}

void SetDirect3DDevices(const std::vector<Direct3DDeviceType>& devices) {
  auto lock = detail::LockSimulation();
  g_deviceTypes = devices;
}

std::vector<Direct3DDeviceType> Direct3DDevices() {
  auto lock = detail::LockSimulation();
  return g_deviceTypes;
}

void SetDepthBufferAttachment(DepthAttachment rule) {
  auto lock = detail::LockSimulation();
  g_attachment = rule;
}

DepthAttachment DepthBufferAttachment() {
  auto lock = detail::LockSimulation();
  return g_attachment;
}

int LiveDirect3DObjects() { return LiveCount<detail::Direct3DObject>(); }
int LiveDirect3DDevices() { return LiveCount<detail::DeviceObject>(); }
int LiveDirect3DViewports() { return LiveCount<detail::ViewportObject>(); }
int LiveDirect3DTextures() { return LiveCount<detail::TextureObject>(); }
int LiveDirect3DMaterials() { return LiveCount<detail::MaterialObject>(); }
int LiveDirect3DLights() { return LiveCount<detail::LightObject>(); }

namespace {
const bool kCounted = detail::AddLiveCounter("Direct3D objects", LiveDirect3DObjects) &&
                      detail::AddLiveCounter("Direct3D devices", LiveDirect3DDevices) &&
                      detail::AddLiveCounter("Direct3D viewports", LiveDirect3DViewports) &&
                      detail::AddLiveCounter("Direct3D textures", LiveDirect3DTextures) &&
                      detail::AddLiveCounter("Direct3D materials", LiveDirect3DMaterials) &&
                      detail::AddLiveCounter("Direct3D lights", LiveDirect3DLights);

template <typename Object>
int ReferencesIn(IUnknown* object) {
  for (Object* live : detail::LiveList<Object>()) {
    if (static_cast<IUnknown*>(live) == object) return static_cast<int>(live->References());
  }
  return -1;
}
}  // namespace

int Direct3DReferences(IUnknown* object) {
  auto lock = detail::LockSimulation();
  for (int found : {ReferencesIn<detail::Direct3DObject>(object), ReferencesIn<detail::DeviceObject>(object),
                    ReferencesIn<detail::ViewportObject>(object), ReferencesIn<detail::TextureObject>(object),
                    ReferencesIn<detail::MaterialObject>(object), ReferencesIn<detail::LightObject>(object)}) {
    if (found >= 0) return found;
  }
  return -1;
}

}  // namespace sim
