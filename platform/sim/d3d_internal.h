// Shared by the files of the simulated Direct3D: the objects behind the
// interfaces and the lists of live ones. Objects refer to each other as
// Direct3D does: a device holds its Direct3D object, its render target, its
// depth buffer, its viewports and its bound textures; a viewport holds its
// lights; a texture holds its surface. Back links (a viewport's device, a
// light's viewport) hold nothing and are cleared when the holder goes.
#ifndef KR_SIM_D3D_INTERNAL_H
#define KR_SIM_D3D_INTERNAL_H

#include <d3d.h>

#include <algorithm>
#include <map>
#include <vector>

#include "sim/d3d_control.h"
#include "sim/ddraw_internal.h"

namespace sim::detail {

// ---- Live objects ------------------------------------------------------------------------------
// Every object of a kind in creation order; sim::Reset empties the lists, and
// an object made before the reset leaves the new list alone when it goes.
template <typename Object>
std::vector<Object*>& LiveList() {
  static std::vector<Object*> list;
  return list;
}

template <typename Object>
class Listed {
 protected:
  // `self` is the object being made: a base cannot cast itself down to it before it exists.
  explicit Listed(Object* self) : self_(self), generation_(DirectDrawGeneration()) {
    LiveList<Object>().push_back(self_);
  }
  ~Listed() {
    if (generation_ != DirectDrawGeneration()) return;
    auto& list = LiveList<Object>();
    list.erase(std::remove(list.begin(), list.end(), self_), list.end());
  }

 private:
  Object* self_;
  uint32_t generation_;
};

// The live object of the list behind `pointer`; null for anything else.
template <typename Object, typename Interface>
Object* FindLive(Interface* pointer) {
  if (pointer == nullptr) return nullptr;
  for (Object* object : LiveList<Object>()) {
    if (static_cast<Interface*>(object) == pointer) return object;
  }
  return nullptr;
}

// A simulated method that nothing calls: recorded, then E_NOTIMPL (or the armed failure).
HRESULT NotSimulated(const char* function, const std::string& arguments);
// The call's record entry and an armed failure, as every method starts.
inline std::optional<HRESULT> Enter(const char* function, const std::string& arguments) {
  if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
  return std::nullopt;
}

const Direct3DDeviceType* FindDeviceType(REFCLSID guid);
bool IsHardware(const Direct3DDeviceType& type);
// Why a device of that kind cannot render to `surface` (with its attached depth buffer); D3D_OK when it can.
HRESULT RenderTargetRefusal(bool hardware, const SurfaceObject& surface);

// ---- Objects -------------------------------------------------------------------------------------
class ViewportObject;
class TextureObject;
class LightObject;

class Direct3DObject final : public ComObject<IDirect3D3>, public Listed<Direct3DObject> {
 public:
  explicit Direct3DObject(IDirectDraw4* directDraw);
  ~Direct3DObject() override;

  HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK callback, LPVOID context) override;
  HRESULT STDMETHODCALLTYPE CreateLight(LPDIRECT3DLIGHT* light, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL3* material, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT3* viewport, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE FindDevice(struct _D3DFINDDEVICESEARCH* search,
                                       struct _D3DFINDDEVICERESULT* result) override;
  HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID guid, LPDIRECTDRAWSURFACE4 target, LPDIRECT3DDEVICE3* device,
                                         IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(struct _D3DVERTEXBUFFERDESC* desc, struct IDirect3DVertexBuffer** buffer,
                                               DWORD flags, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE EnumZBufferFormats(REFCLSID guid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                               LPVOID context) override;
  HRESULT STDMETHODCALLTYPE EvictManagedTextures() override;

  IDirectDraw4* const directDraw;  // held
};

class DeviceObject final : public ComObject<IDirect3DDevice3>, public Listed<DeviceObject> {
 public:
  static constexpr DWORD kStages = 8;

  DeviceObject(Direct3DObject* direct3D, const Direct3DDeviceType& type, SurfaceObject* target);
  ~DeviceObject() override;

  HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC hardware, LPD3DDEVICEDESC software) override;
  HRESULT STDMETHODCALLTYPE GetStats(struct _D3DSTATS* stats) override;
  HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT3 viewport) override;
  HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT3 viewport) override;
  HRESULT STDMETHODCALLTYPE NextViewport(LPDIRECT3DVIEWPORT3 viewport, LPDIRECT3DVIEWPORT3* next,
                                         DWORD flags) override;
  HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE GetDirect3D(LPDIRECT3D3* direct3D) override;
  HRESULT STDMETHODCALLTYPE SetCurrentViewport(LPDIRECT3DVIEWPORT3 viewport) override;
  HRESULT STDMETHODCALLTYPE GetCurrentViewport(LPDIRECT3DVIEWPORT3* viewport) override;
  HRESULT STDMETHODCALLTYPE SetRenderTarget(LPDIRECTDRAWSURFACE4 surface, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetRenderTarget(LPDIRECTDRAWSURFACE4* surface) override;
  HRESULT STDMETHODCALLTYPE Begin(D3DPRIMITIVETYPE primitive, DWORD format, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE BeginIndexed(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices, DWORD count,
                                         DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Vertex(LPVOID vertex) override;
  HRESULT STDMETHODCALLTYPE Index(WORD index) override;
  HRESULT STDMETHODCALLTYPE End(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE GetLightState(D3DLIGHTSTATETYPE state, LPDWORD value) override;
  HRESULT STDMETHODCALLTYPE SetLightState(D3DLIGHTSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
  HRESULT STDMETHODCALLTYPE MultiplyTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices, DWORD count,
                                          DWORD flags) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices,
                                                 DWORD count, WORD* indices, DWORD indexCount, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetClipStatus(LPD3DCLIPSTATUS status) override;
  HRESULT STDMETHODCALLTYPE GetClipStatus(LPD3DCLIPSTATUS status) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitiveStrided(D3DPRIMITIVETYPE primitive, DWORD format,
                                                 struct _D3DDRAWPRIMITIVESTRIDEDDATA* data, DWORD count,
                                                 DWORD flags) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveStrided(D3DPRIMITIVETYPE primitive, DWORD format,
                                                        struct _D3DDRAWPRIMITIVESTRIDEDDATA* data, DWORD count,
                                                        WORD* indices, DWORD indexCount, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitiveVB(D3DPRIMITIVETYPE primitive, struct IDirect3DVertexBuffer* buffer,
                                            DWORD start, DWORD count, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE primitive, struct IDirect3DVertexBuffer* buffer,
                                                   WORD* indices, DWORD indexCount, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE ComputeSphereVisibility(LPD3DVECTOR centres, LPD3DVALUE radii, DWORD count, DWORD flags,
                                                    LPDWORD results) override;
  HRESULT STDMETHODCALLTYPE GetTexture(DWORD stage, LPDIRECT3DTEXTURE2* texture) override;
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, LPDIRECT3DTEXTURE2 texture) override;
  HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) override;
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE ValidateDevice(LPDWORD passes) override;

  // Takes `surface` as the render target, with the depth buffer attached to it.
  void TakeTarget(SurfaceObject* surface);
  void ForgetViewport(ViewportObject* viewport);  // removes and drops it, current or not
  Direct3DDraw Snapshot() const;
  D3DMATRIX* Transform(D3DTRANSFORMSTATETYPE state);

  Direct3DObject* const direct3D;  // held
  const GUID type;
  const bool hardware;
  SurfaceObject* target = nullptr;       // held
  SurfaceObject* depthBuffer = nullptr;  // held
  std::vector<ViewportObject*> viewports;  // held
  ViewportObject* current = nullptr;       // held
  TextureObject* textures[kStages] = {};   // held
  bool inScene = false;
  std::map<DWORD, DWORD> renderStates;
  std::map<DWORD, DWORD> lightStates;
  std::map<DWORD, DWORD> stageStates[kStages];
  D3DMATRIX world, view, projection;
  D3DCLIPSTATUS clipStatus = {};
};

class ViewportObject final : public ComObject<IDirect3DViewport3>, public Listed<ViewportObject> {
 public:
  ViewportObject();
  ~ViewportObject() override;

  HRESULT STDMETHODCALLTYPE Initialize(struct IDirect3D* direct3D) override;
  HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT data) override;
  HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT data) override;
  HRESULT STDMETHODCALLTYPE TransformVertices(DWORD count, struct _D3DTRANSFORMDATA* data, DWORD flags,
                                              LPDWORD offscreen) override;
  HRESULT STDMETHODCALLTYPE LightElements(DWORD count, struct _D3DLIGHTDATA* data) override;
  HRESULT STDMETHODCALLTYPE SetBackground(D3DMATERIALHANDLE material) override;
  HRESULT STDMETHODCALLTYPE GetBackground(LPD3DMATERIALHANDLE material, BOOL* valid) override;
  HRESULT STDMETHODCALLTYPE SetBackgroundDepth(LPDIRECTDRAWSURFACE surface) override;
  HRESULT STDMETHODCALLTYPE GetBackgroundDepth(LPDIRECTDRAWSURFACE* surface, BOOL* valid) override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD count, LPD3DRECT rects, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE AddLight(LPDIRECT3DLIGHT light) override;
  HRESULT STDMETHODCALLTYPE DeleteLight(LPDIRECT3DLIGHT light) override;
  HRESULT STDMETHODCALLTYPE NextLight(LPDIRECT3DLIGHT light, LPDIRECT3DLIGHT* next, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetViewport2(LPD3DVIEWPORT2 data) override;
  HRESULT STDMETHODCALLTYPE SetViewport2(LPD3DVIEWPORT2 data) override;
  HRESULT STDMETHODCALLTYPE SetBackgroundDepth2(LPDIRECTDRAWSURFACE4 surface) override;
  HRESULT STDMETHODCALLTYPE GetBackgroundDepth2(LPDIRECTDRAWSURFACE4* surface, BOOL* valid) override;
  HRESULT STDMETHODCALLTYPE Clear2(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR colour, D3DVALUE z,
                                   DWORD stencil) override;

  HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, D3DVALUE z, DWORD stencil);

  DeviceObject* device = nullptr;  // the device it was added to; not held
  bool dataSet = false;
  D3DVIEWPORT2 data = {};
  std::vector<LightObject*> lights;  // held
};

class TextureObject final : public ComObject<IDirect3DTexture2>, public Listed<TextureObject> {
 public:
  explicit TextureObject(SurfaceObject* surface);
  ~TextureObject() override;

  HRESULT STDMETHODCALLTYPE GetHandle(struct IDirect3DDevice2* device, LPD3DTEXTUREHANDLE handle) override;
  HRESULT STDMETHODCALLTYPE PaletteChanged(DWORD first, DWORD count) override;
  HRESULT STDMETHODCALLTYPE Load(LPDIRECT3DTEXTURE2 source) override;

  SurfaceObject* const surface;  // held
};

class MaterialObject final : public ComObject<IDirect3DMaterial3>, public Listed<MaterialObject> {
 public:
  MaterialObject();

  HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL data) override;
  HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL data) override;
  HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE3 device, LPD3DMATERIALHANDLE handle) override;

  D3DMATERIAL data = {};
  D3DMATERIALHANDLE handle = 0;  // given at the first GetHandle, the same on every device
};

class LightObject final : public ComObject<IDirect3DLight>, public Listed<LightObject> {
 public:
  LightObject();

  HRESULT STDMETHODCALLTYPE Initialize(struct IDirect3D* direct3D) override;
  HRESULT STDMETHODCALLTYPE SetLight(LPD3DLIGHT data) override;
  HRESULT STDMETHODCALLTYPE GetLight(LPD3DLIGHT data) override;

  D3DLIGHT2 data = {};
  ViewportObject* viewport = nullptr;  // the viewport it was added to; not held
};

// Clears the viewports accepted, for sim::Direct3DClears (draws are kept by d3d_draw.cpp).
void RecordClear(Direct3DClear clear);
void ResetDirect3DRecord();
void ResetMaterialHandles();

}  // namespace sim::detail

#endif
