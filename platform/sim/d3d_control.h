// Test control of the simulated Direct3D (host build only): the 3D devices the
// Direct3D object reports with their depth-buffer and texture formats, how a
// depth buffer may be attached, and a look at what the library did: draws and
// clears with the state they were made in, device and viewport state, live
// objects. sim::Reset brings back the boot state: a software RGB device and a
// hardware device, Wine's attachment rule, nothing drawn.
#ifndef KR_SIM_D3D_CONTROL_H
#define KR_SIM_D3D_CONTROL_H

#include <d3d.h>
#include <ddraw.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace sim {

// ---- Devices ---------------------------------------------------------------------------
// One 3D device as EnumDevices reports it. A hardware device has a colour model
// in `hardware`; a software one has it in `software` and a zeroed `hardware`.
struct Direct3DDeviceType {
  GUID guid = {};
  std::string description;
  std::string name;  // the short name, EnumDevices' third argument
  D3DDEVICEDESC hardware = {};
  D3DDEVICEDESC software = {};
  std::vector<DDPIXELFORMAT> depthFormats;    // EnumZBufferFormats, in this order
  std::vector<DDPIXELFORMAT> textureFormats;  // EnumTextureFormats of its devices
};

// A device description of the given colour model rendering at `renderDepths`
// (DDBD_ bits) with depth buffers of `depthDepths`.
D3DDEVICEDESC DeviceDescription(D3DCOLORMODEL colourModel, DWORD renderDepths, DWORD depthDepths);
DDPIXELFORMAT DepthFormat(int bits, int stencilBits = 0);  // stencil bits make it DDPF_STENCILBUFFER too
DDPIXELFORMAT RgbFormat(int bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0);
DDPIXELFORMAT PaletteFormat(int bits);  // 8: DDPF_PALETTEINDEXED8, 4: DDPF_PALETTEINDEXED4

// Boot: "RGB Emulation" (software, RGB) and "Direct3D HAL" (hardware), both
// rendering at 16, 24 and 32 bits, with Wine's depth formats (16, 32, 24 with
// an 8-bit stencil, 24) and the RGB texture formats 555, 1555, 4444, 565, 888, 8888.
std::vector<Direct3DDeviceType> StandardDirect3DDevices();
void SetDirect3DDevices(const std::vector<Direct3DDeviceType>& devices);
std::vector<Direct3DDeviceType> Direct3DDevices();

// ---- Depth-buffer attachments ------------------------------------------------------------
// A depth buffer attaches to a primary surface of any size and to a surface
// with DDSCAPS_3DDEVICE. Wine lets it hang on one surface only (a second
// AddAttachedSurface answers DDERR_SURFACEALREADYATTACHED); Windows on several.
enum class DepthAttachment { OneSurface, SeveralSurfaces };
void SetDepthBufferAttachment(DepthAttachment rule);  // boot: OneSurface
DepthAttachment DepthBufferAttachment();

// ---- Live objects ---------------------------------------------------------------------------
int LiveDirect3DObjects();
int LiveDirect3DDevices();
int LiveDirect3DViewports();
int LiveDirect3DTextures();
int LiveDirect3DMaterials();
int LiveDirect3DLights();
// The reference count of a live object of this area (any of its interfaces); -1 for anything else.
int Direct3DReferences(IUnknown* object);

// ---- Devices and viewports as they are now ---------------------------------------------------
struct Direct3DDeviceInfo {
  bool live = false;
  GUID type = {};
  bool hardware = false;
  IDirectDrawSurface4* target = nullptr;
  IDirectDrawSurface4* depthBuffer = nullptr;  // the target's, taken when the target was set
  bool inScene = false;
  std::vector<IDirect3DViewport3*> viewports;  // in the order they were added
  IDirect3DViewport3* currentViewport = nullptr;
  IDirect3DTexture2* texture = nullptr;  // stage 0
  D3DCLIPSTATUS clipStatus = {};         // as SetClipStatus last gave it
};
Direct3DDeviceInfo DescribeDirect3DDevice(IDirect3DDevice3* device);
// What GetRenderState, GetLightState, GetTransform and GetTextureStageState would answer.
DWORD Direct3DRenderState(IDirect3DDevice3* device, D3DRENDERSTATETYPE state);
DWORD Direct3DLightState(IDirect3DDevice3* device, D3DLIGHTSTATETYPE state);
D3DMATRIX Direct3DTransform(IDirect3DDevice3* device, D3DTRANSFORMSTATETYPE state);
DWORD Direct3DTextureStageState(IDirect3DDevice3* device, DWORD stage, D3DTEXTURESTAGESTATETYPE state);

struct Direct3DViewportInfo {
  bool live = false;
  IDirect3DDevice3* device = nullptr;
  bool dataSet = false;
  D3DVIEWPORT2 data = {};
  std::vector<IDirect3DLight*> lights;
};
Direct3DViewportInfo DescribeDirect3DViewport(IDirect3DViewport3* viewport);

// The description a material or light was last given (all zero before that).
D3DMATERIAL Direct3DMaterialData(IDirect3DMaterial3* material);
D3DLIGHT2 Direct3DLightData(IDirect3DLight* light);

// ---- Draws and clears ---------------------------------------------------------------------------
// One DrawPrimitive or DrawIndexedPrimitive that the device accepted, with a
// copy of its vertices and indices and the device's state at that moment.
struct Direct3DDraw {
  IDirect3DDevice3* device = nullptr;
  bool indexed = false;
  D3DPRIMITIVETYPE primitive = D3DPT_POINTLIST;
  DWORD vertexFormat = 0;
  DWORD flags = 0;
  DWORD vertexCount = 0;
  DWORD vertexSize = 0;  // bytes, from the vertex format
  std::vector<uint8_t> vertexBytes;
  std::vector<WORD> indices;
  bool inScene = false;
  std::map<DWORD, DWORD> renderStates;  // every state the device knows, defaults included
  std::map<DWORD, DWORD> stage0States;  // texture stage 0
  D3DMATRIX world = {}, view = {}, projection = {};
  IDirect3DTexture2* texture = nullptr;  // stage 0; only compared, never used
  DWORD material = 0;                    // D3DLIGHTSTATE_MATERIAL
  D3DMATERIAL materialData = {};         // that material's values; zero without one
  std::vector<D3DLIGHT2> lights;         // the values of the viewport's lights
  IDirect3DViewport3* viewport = nullptr;
  D3DVIEWPORT2 viewportData = {};

  DWORD RenderState(D3DRENDERSTATETYPE state) const {
    auto found = renderStates.find(state);
    return found == renderStates.end() ? 0 : found->second;
  }
  template <typename Vertex>
  std::vector<Vertex> Vertices() const {
    std::vector<Vertex> vertices(vertexBytes.size() / sizeof(Vertex));
    if (!vertices.empty()) std::memcpy(vertices.data(), vertexBytes.data(), vertices.size() * sizeof(Vertex));
    return vertices;
  }
};
std::vector<Direct3DDraw> Direct3DDraws();

// One Clear or Clear2 a viewport accepted. D3DCLEAR_TARGET also fills the
// rectangles (within the viewport) of the render target with the colour.
struct Direct3DClear {
  IDirect3DViewport3* viewport = nullptr;
  IDirect3DDevice3* device = nullptr;
  std::vector<D3DRECT> rects;
  DWORD flags = 0;
  D3DCOLOR colour = 0;  // Clear: 0
  D3DVALUE z = 0;       // Clear: 1.0
  DWORD stencil = 0;
};
std::vector<Direct3DClear> Direct3DClears();
void ClearDirect3DRecord();  // forgets the draws and clears so far

}  // namespace sim

#endif
