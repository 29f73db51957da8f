// Direct3D immediate mode (DirectX 6) as the host build sees it: the Direct3D
// object queried from a DirectDraw object, its devices, viewports, textures,
// materials and lights, served by platform/sim/d3d_*.cpp.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ddraw.h>
#include <d3dtypes.h>
#include <d3dcaps.h>

// ---- Interface identifiers ---------------------------------------------------------------
DEFINE_GUID(IID_IDirect3D3, 0xBB223240, 0xE72B, 0x11D0, 0xA9, 0xB4, 0x00, 0xAA, 0x00, 0xC0, 0x99, 0x3E);
DEFINE_GUID(IID_IDirect3DDevice3, 0xB0AB3B60, 0x33D7, 0x11D1, 0xA9, 0x81, 0x00, 0xC0, 0x4F, 0xD7, 0xB1, 0x74);
DEFINE_GUID(IID_IDirect3DViewport3, 0xB0AB3B61, 0x33D7, 0x11D1, 0xA9, 0x81, 0x00, 0xC0, 0x4F, 0xD7, 0xB1, 0x74);
DEFINE_GUID(IID_IDirect3DTexture2, 0x93281502, 0x8CF8, 0x11D0, 0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29);
DEFINE_GUID(IID_IDirect3DMaterial3, 0xCA9C46F4, 0xD3C5, 0x11D1, 0xB7, 0x5A, 0x00, 0x60, 0x08, 0x52, 0xB3, 0x12);
DEFINE_GUID(IID_IDirect3DLight, 0x4417C142, 0x33AD, 0x11CF, 0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E);

// Device types: what EnumDevices reports and CreateDevice takes.
DEFINE_GUID(IID_IDirect3DRampDevice, 0xF2086B20, 0x259F, 0x11CF, 0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56);
DEFINE_GUID(IID_IDirect3DRGBDevice, 0xA4665C60, 0x2673, 0x11CF, 0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56);
DEFINE_GUID(IID_IDirect3DHALDevice, 0x84E63DE0, 0x46AA, 0x11CF, 0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E);
DEFINE_GUID(IID_IDirect3DMMXDevice, 0x881949A1, 0xD6F3, 0x11D0, 0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29);
DEFINE_GUID(IID_IDirect3DRefDevice, 0x50936643, 0x13E9, 0x11D1, 0x89, 0xAA, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29);

// ---- Results -------------------------------------------------------------------------------
#define D3D_OK DD_OK
#define D3DERR_INVALID_DEVICE MAKE_DDHRESULT(705)
#define D3DERR_INITFAILED MAKE_DDHRESULT(706)
#define D3DERR_TEXTURE_LOAD_FAILED MAKE_DDHRESULT(725)
#define D3DERR_TEXTURE_BADSIZE MAKE_DDHRESULT(738)
#define D3DERR_INVALIDCURRENTVIEWPORT MAKE_DDHRESULT(735)
#define D3DERR_INVALIDPRIMITIVETYPE MAKE_DDHRESULT(736)
#define D3DERR_INVALIDVERTEXTYPE MAKE_DDHRESULT(737)
#define D3DERR_MATERIAL_CREATE_FAILED MAKE_DDHRESULT(740)
#define D3DERR_MATERIAL_SETDATA_FAILED MAKE_DDHRESULT(742)
#define D3DERR_MATERIAL_GETDATA_FAILED MAKE_DDHRESULT(743)
#define D3DERR_INVALIDPALETTE MAKE_DDHRESULT(744)
#define D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY MAKE_DDHRESULT(745)
#define D3DERR_ZBUFF_NEEDS_VIDEOMEMORY MAKE_DDHRESULT(746)
#define D3DERR_SURFACENOTINVIDMEM MAKE_DDHRESULT(747)
#define D3DERR_LIGHT_SET_FAILED MAKE_DDHRESULT(750)
#define D3DERR_LIGHTHASVIEWPORT MAKE_DDHRESULT(751)
#define D3DERR_LIGHTNOTINTHISVIEWPORT MAKE_DDHRESULT(752)
#define D3DERR_SCENE_IN_SCENE MAKE_DDHRESULT(760)
#define D3DERR_SCENE_NOT_IN_SCENE MAKE_DDHRESULT(761)
#define D3DERR_SCENE_BEGIN_FAILED MAKE_DDHRESULT(762)
#define D3DERR_SCENE_END_FAILED MAKE_DDHRESULT(763)
#define D3DERR_INBEGIN MAKE_DDHRESULT(770)
#define D3DERR_NOTINBEGIN MAKE_DDHRESULT(771)
#define D3DERR_NOVIEWPORTS MAKE_DDHRESULT(772)
#define D3DERR_VIEWPORTDATANOTSET MAKE_DDHRESULT(773)
#define D3DERR_VIEWPORTHASNODEVICE MAKE_DDHRESULT(774)
#define D3DERR_NOCURRENTVIEWPORT MAKE_DDHRESULT(775)
#define D3DERR_INVALIDVERTEXFORMAT MAKE_DDHRESULT(2048)
#define D3DERR_COLORKEYATTACHED MAKE_DDHRESULT(2050)
#define D3DERR_ZBUFFER_NOTPRESENT MAKE_DDHRESULT(2070)
#define D3DERR_WRONGTEXTUREFORMAT MAKE_DDHRESULT(2072)

// ---- Flags -------------------------------------------------------------------------------------
// DrawPrimitive and DrawIndexedPrimitive
#define D3DDP_WAIT 0x00000001
#define D3DDP_OUTOFORDER 0x00000002
#define D3DDP_DONOTCLIP 0x00000004
#define D3DDP_DONOTUPDATEEXTENTS 0x00000008
#define D3DDP_DONOTLIGHT 0x00000010

// NextViewport and NextLight
#define D3DNEXT_NEXT 0x00000001
#define D3DNEXT_HEAD 0x00000002
#define D3DNEXT_TAIL 0x00000004

// ---- Interfaces ----------------------------------------------------------------------------------
struct IDirect3D;
struct IDirect3D3;
struct IDirect3DDevice2;
struct IDirect3DDevice3;
struct IDirect3DViewport3;
struct IDirect3DTexture2;
struct IDirect3DMaterial3;
struct IDirect3DLight;
struct IDirect3DVertexBuffer;
typedef struct IDirect3D3* LPDIRECT3D3;
typedef struct IDirect3DDevice3* LPDIRECT3DDEVICE3;
typedef struct IDirect3DViewport3* LPDIRECT3DVIEWPORT3;
typedef struct IDirect3DTexture2* LPDIRECT3DTEXTURE2;
typedef struct IDirect3DMaterial3* LPDIRECT3DMATERIAL3;
typedef struct IDirect3DLight* LPDIRECT3DLIGHT;

// Records only named in signatures of methods the library never calls.
struct _D3DSTATS;
struct _D3DFINDDEVICESEARCH;
struct _D3DFINDDEVICERESULT;
struct _D3DVERTEXBUFFERDESC;
struct _D3DDRAWPRIMITIVESTRIDEDDATA;
struct _D3DTRANSFORMDATA;
struct _D3DLIGHTDATA;

struct IDirect3D3 : public IUnknown {
  STDMETHOD(EnumDevices)(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg) PURE;
  STDMETHOD(CreateLight)(LPDIRECT3DLIGHT* lplpDirect3DLight, IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreateMaterial)(LPDIRECT3DMATERIAL3* lplpDirect3DMaterial, IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreateViewport)(LPDIRECT3DVIEWPORT3* lplpD3DViewport, IUnknown* pUnkOuter) PURE;
  STDMETHOD(FindDevice)(struct _D3DFINDDEVICESEARCH* lpD3DFDS, struct _D3DFINDDEVICERESULT* lpD3DFDR) PURE;
  STDMETHOD(CreateDevice)(REFCLSID rclsid, LPDIRECTDRAWSURFACE4 lpDDS, LPDIRECT3DDEVICE3* lplpD3DDevice,
                          IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreateVertexBuffer)(struct _D3DVERTEXBUFFERDESC* lpVBDesc, struct IDirect3DVertexBuffer** lpD3DVertexBuffer,
                                DWORD dwFlags, IUnknown* pUnkOuter) PURE;
  STDMETHOD(EnumZBufferFormats)(REFCLSID riidDevice, LPD3DENUMPIXELFORMATSCALLBACK lpEnumCallback,
                                LPVOID lpContext) PURE;
  STDMETHOD(EvictManagedTextures)() PURE;
};

struct IDirect3DDevice3 : public IUnknown {
  STDMETHOD(GetCaps)(LPD3DDEVICEDESC lpD3DHWDevDesc, LPD3DDEVICEDESC lpD3DHELDevDesc) PURE;
  STDMETHOD(GetStats)(struct _D3DSTATS* lpD3DStats) PURE;
  STDMETHOD(AddViewport)(LPDIRECT3DVIEWPORT3 lpDirect3DViewport) PURE;
  STDMETHOD(DeleteViewport)(LPDIRECT3DVIEWPORT3 lpDirect3DViewport) PURE;
  STDMETHOD(NextViewport)(LPDIRECT3DVIEWPORT3 lpDirect3DViewport, LPDIRECT3DVIEWPORT3* lplpDirect3DViewport,
                          DWORD dwFlags) PURE;
  STDMETHOD(EnumTextureFormats)(LPD3DENUMPIXELFORMATSCALLBACK lpD3DEnumPixelProc, LPVOID lpArg) PURE;
  STDMETHOD(BeginScene)() PURE;
  STDMETHOD(EndScene)() PURE;
  STDMETHOD(GetDirect3D)(LPDIRECT3D3* lplpD3D) PURE;
  STDMETHOD(SetCurrentViewport)(LPDIRECT3DVIEWPORT3 lpd3dViewport) PURE;
  STDMETHOD(GetCurrentViewport)(LPDIRECT3DVIEWPORT3* lplpd3dViewport) PURE;
  STDMETHOD(SetRenderTarget)(LPDIRECTDRAWSURFACE4 lpNewRenderTarget, DWORD dwFlags) PURE;
  STDMETHOD(GetRenderTarget)(LPDIRECTDRAWSURFACE4* lplpRenderTarget) PURE;
  STDMETHOD(Begin)(D3DPRIMITIVETYPE d3dptPrimitiveType, DWORD dwVertexTypeDesc, DWORD dwFlags) PURE;
  STDMETHOD(BeginIndexed)(D3DPRIMITIVETYPE dptPrimitiveType, DWORD dwVertexTypeDesc, LPVOID lpvVertices,
                          DWORD dwNumVertices, DWORD dwFlags) PURE;
  STDMETHOD(Vertex)(LPVOID lpVertexType) PURE;
  STDMETHOD(Index)(WORD wVertexIndex) PURE;
  STDMETHOD(End)(DWORD dwFlags) PURE;
  STDMETHOD(GetRenderState)(D3DRENDERSTATETYPE dwRenderStateType, LPDWORD lpdwRenderState) PURE;
  STDMETHOD(SetRenderState)(D3DRENDERSTATETYPE dwRenderStateType, DWORD dwRenderState) PURE;
  STDMETHOD(GetLightState)(D3DLIGHTSTATETYPE dwLightStateType, LPDWORD lpdwLightState) PURE;
  STDMETHOD(SetLightState)(D3DLIGHTSTATETYPE dwLightStateType, DWORD dwLightState) PURE;
  STDMETHOD(SetTransform)(D3DTRANSFORMSTATETYPE dtstTransformStateType, LPD3DMATRIX lpD3DMatrix) PURE;
  STDMETHOD(GetTransform)(D3DTRANSFORMSTATETYPE dtstTransformStateType, LPD3DMATRIX lpD3DMatrix) PURE;
  STDMETHOD(MultiplyTransform)(D3DTRANSFORMSTATETYPE dtstTransformStateType, LPD3DMATRIX lpD3DMatrix) PURE;
  STDMETHOD(DrawPrimitive)(D3DPRIMITIVETYPE dptPrimitiveType, DWORD dwVertexTypeDesc, LPVOID lpvVertices,
                           DWORD dwVertexCount, DWORD dwFlags) PURE;
  STDMETHOD(DrawIndexedPrimitive)(D3DPRIMITIVETYPE d3dptPrimitiveType, DWORD dwVertexTypeDesc, LPVOID lpvVertices,
                                  DWORD dwVertexCount, WORD* dwIndices, DWORD dwIndexCount, DWORD dwFlags) PURE;
  STDMETHOD(SetClipStatus)(LPD3DCLIPSTATUS lpD3DClipStatus) PURE;
  STDMETHOD(GetClipStatus)(LPD3DCLIPSTATUS lpD3DClipStatus) PURE;
  STDMETHOD(DrawPrimitiveStrided)(D3DPRIMITIVETYPE d3dptPrimitiveType, DWORD dwVertexTypeDesc,
                                  struct _D3DDRAWPRIMITIVESTRIDEDDATA* lpVertexArray, DWORD dwVertexCount,
                                  DWORD dwFlags) PURE;
  STDMETHOD(DrawIndexedPrimitiveStrided)(D3DPRIMITIVETYPE d3dptPrimitiveType, DWORD dwVertexTypeDesc,
                                         struct _D3DDRAWPRIMITIVESTRIDEDDATA* lpVertexArray, DWORD dwVertexCount,
                                         WORD* lpwIndices, DWORD dwIndexCount, DWORD dwFlags) PURE;
  STDMETHOD(DrawPrimitiveVB)(D3DPRIMITIVETYPE d3dptPrimitiveType, struct IDirect3DVertexBuffer* lpd3dVertexBuffer,
                             DWORD dwStartVertex, DWORD dwNumVertices, DWORD dwFlags) PURE;
  STDMETHOD(DrawIndexedPrimitiveVB)(D3DPRIMITIVETYPE d3dptPrimitiveType,
                                    struct IDirect3DVertexBuffer* lpd3dVertexBuffer, WORD* lpwIndices,
                                    DWORD dwIndexCount, DWORD dwFlags) PURE;
  STDMETHOD(ComputeSphereVisibility)(LPD3DVECTOR lpCenters, LPD3DVALUE lpRadii, DWORD dwNumSpheres, DWORD dwFlags,
                                     LPDWORD lpdwReturnValues) PURE;
  STDMETHOD(GetTexture)(DWORD dwStage, LPDIRECT3DTEXTURE2* lplpTexture) PURE;
  STDMETHOD(SetTexture)(DWORD dwStage, LPDIRECT3DTEXTURE2 lpTexture) PURE;
  STDMETHOD(GetTextureStageState)(DWORD dwStage, D3DTEXTURESTAGESTATETYPE d3dTexStageStateType,
                                  LPDWORD lpdwState) PURE;
  STDMETHOD(SetTextureStageState)(DWORD dwStage, D3DTEXTURESTAGESTATETYPE d3dTexStageStateType, DWORD dwState) PURE;
  STDMETHOD(ValidateDevice)(LPDWORD lpdwPasses) PURE;
};

// The third viewport interface, with the methods of the first two before its own.
struct IDirect3DViewport3 : public IUnknown {
  STDMETHOD(Initialize)(struct IDirect3D* lpDirect3D) PURE;
  STDMETHOD(GetViewport)(LPD3DVIEWPORT lpData) PURE;
  STDMETHOD(SetViewport)(LPD3DVIEWPORT lpData) PURE;
  STDMETHOD(TransformVertices)(DWORD dwVertexCount, struct _D3DTRANSFORMDATA* lpData, DWORD dwFlags,
                               LPDWORD lpOffscreen) PURE;
  STDMETHOD(LightElements)(DWORD dwElementCount, struct _D3DLIGHTDATA* lpData) PURE;
  STDMETHOD(SetBackground)(D3DMATERIALHANDLE hMat) PURE;
  STDMETHOD(GetBackground)(LPD3DMATERIALHANDLE lphMat, BOOL* lpValid) PURE;
  STDMETHOD(SetBackgroundDepth)(LPDIRECTDRAWSURFACE lpDDSurface) PURE;
  STDMETHOD(GetBackgroundDepth)(LPDIRECTDRAWSURFACE* lplpDDSurface, BOOL* lpValid) PURE;
  STDMETHOD(Clear)(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) PURE;
  STDMETHOD(AddLight)(LPDIRECT3DLIGHT lpDirect3DLight) PURE;
  STDMETHOD(DeleteLight)(LPDIRECT3DLIGHT lpDirect3DLight) PURE;
  STDMETHOD(NextLight)(LPDIRECT3DLIGHT lpDirect3DLight, LPDIRECT3DLIGHT* lplpDirect3DLight, DWORD dwFlags) PURE;
  STDMETHOD(GetViewport2)(LPD3DVIEWPORT2 lpData) PURE;
  STDMETHOD(SetViewport2)(LPD3DVIEWPORT2 lpData) PURE;
  STDMETHOD(SetBackgroundDepth2)(LPDIRECTDRAWSURFACE4 lpDDS) PURE;
  STDMETHOD(GetBackgroundDepth2)(LPDIRECTDRAWSURFACE4* lplpDDS, BOOL* lpValid) PURE;
  STDMETHOD(Clear2)(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags, D3DCOLOR dwColor, D3DVALUE dvZ,
                    DWORD dwStencil) PURE;
};

struct IDirect3DTexture2 : public IUnknown {
  STDMETHOD(GetHandle)(struct IDirect3DDevice2* lpDirect3DDevice2, LPD3DTEXTUREHANDLE lpHandle) PURE;
  STDMETHOD(PaletteChanged)(DWORD dwStart, DWORD dwCount) PURE;
  STDMETHOD(Load)(LPDIRECT3DTEXTURE2 lpD3DTexture2) PURE;
};

struct IDirect3DMaterial3 : public IUnknown {
  STDMETHOD(SetMaterial)(LPD3DMATERIAL lpMat) PURE;
  STDMETHOD(GetMaterial)(LPD3DMATERIAL lpMat) PURE;
  STDMETHOD(GetHandle)(LPDIRECT3DDEVICE3 lpDirect3DDevice, LPD3DMATERIALHANDLE lpHandle) PURE;
};

struct IDirect3DLight : public IUnknown {
  STDMETHOD(Initialize)(struct IDirect3D* lpDirect3D) PURE;
  STDMETHOD(SetLight)(LPD3DLIGHT lpLight) PURE;
  STDMETHOD(GetLight)(LPD3DLIGHT lpLight) PURE;
};
