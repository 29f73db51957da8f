// DirectDraw (DirectX 6) as the host build sees it: display devices and modes,
// surfaces, clippers and palettes, served by platform/sim/ddraw_*.cpp.
#pragma once

#include <windows.h>
#include <objbase.h>

// ---- Class and interface identifiers ------------------------------------------
DEFINE_GUID(CLSID_DirectDraw, 0xD7B70EE0, 0x4340, 0x11CF, 0xB0, 0x63, 0x00, 0x20, 0xAF, 0xC2, 0xCD, 0x35);
DEFINE_GUID(IID_IDirectDraw, 0x6C14DB80, 0xA733, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectDraw4, 0x9C59509A, 0x39BD, 0x11D1, 0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5);
DEFINE_GUID(IID_IDirectDrawSurface4, 0x0B2B8630, 0xAD35, 0x11D0, 0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B);
DEFINE_GUID(IID_IDirectDrawPalette, 0x6C14DB84, 0xA733, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectDrawClipper, 0x6C14DB85, 0xA733, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectDrawGammaControl, 0x69C11C3E, 0xB46B, 0x11D1, 0xAD, 0x7A, 0x00, 0xC0, 0x4F, 0xC2, 0x9B, 0x4E);

// ---- Results -----------------------------------------------------------------------
#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)

#define DD_OK S_OK
#define DDENUMRET_CANCEL 0
#define DDENUMRET_OK 1

#define DDERR_ALREADYINITIALIZED MAKE_DDHRESULT(5)
#define DDERR_CANNOTATTACHSURFACE MAKE_DDHRESULT(10)
#define DDERR_CANNOTDETACHSURFACE MAKE_DDHRESULT(20)
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOCOLORKEY MAKE_DDHRESULT(215)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOFLIPHW MAKE_DDHRESULT(230)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_COLORKEYNOTSET MAKE_DDHRESULT(400)
#define DDERR_SURFACEALREADYATTACHED MAKE_DDHRESULT(410)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_SURFACENOTATTACHED MAKE_DDHRESULT(460)
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_DDSCAPSCOMPLEXREQUIRED MAKE_DDHRESULT(542)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_NOCLIPPERATTACHED MAKE_DDHRESULT(568)
#define DDERR_NOHWND MAKE_DDHRESULT(569)
#define DDERR_HWNDALREADYSET MAKE_DDHRESULT(571)
#define DDERR_NOPALETTEATTACHED MAKE_DDHRESULT(572)
#define DDERR_BLTFASTCANTCLIP MAKE_DDHRESULT(574)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_CANTDUPLICATE MAKE_DDHRESULT(583)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_CANTCREATEDC MAKE_DDHRESULT(585)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_IMPLICITLYCREATED MAKE_DDHRESULT(588)
#define DDERR_NOTPALETTIZED MAKE_DDHRESULT(589)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)
#define DDERR_NOTINITIALIZED CO_E_NOTINITIALIZED

// ---- Flags ---------------------------------------------------------------------------
// DirectDrawEnumerateEx
#define DDENUM_ATTACHEDSECONDARYDEVICES 0x00000001
#define DDENUM_DETACHEDSECONDARYDEVICES 0x00000002
#define DDENUM_NONDISPLAYDEVICES 0x00000004

// SetCooperativeLevel
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NOWINDOWCHANGES 0x00000004
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010
#define DDSCL_ALLOWMODEX 0x00000040
#define DDSCL_MULTITHREADED 0x00000400
#define DDSCL_FPUSETUP 0x00000800

// EnumDisplayModes
#define DDEDM_REFRESHRATES 0x00000001
#define DDEDM_STANDARDVGAMODES 0x00000002

// DDCAPS.dwCaps and dwCaps2
#define DDCAPS_3D 0x00000001
#define DDCAPS_BLT 0x00000040
#define DDCAPS_BLTCOLORFILL 0x04000000
#define DDCAPS_BLTSTRETCH 0x00000200
#define DDCAPS_COLORKEY 0x00400000
#define DDCAPS2_COLORCONTROLPRIMARY 0x00000080
#define DDCAPS2_NONLOCALVIDMEM 0x00000200
#define DDCAPS2_PRIMARYGAMMA 0x00020000
#define DDCAPS2_CANRENDERWINDOWED 0x00080000

// DDSURFACEDESC2.dwFlags
#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_ZBUFFERBITDEPTH 0x00000040
#define DDSD_ALPHABITDEPTH 0x00000080
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_CKDESTOVERLAY 0x00002000
#define DDSD_CKDESTBLT 0x00004000
#define DDSD_CKSRCOVERLAY 0x00008000
#define DDSD_CKSRCBLT 0x00010000
#define DDSD_MIPMAPCOUNT 0x00020000
#define DDSD_REFRESHRATE 0x00040000
#define DDSD_LINEARSIZE 0x00080000
#define DDSD_TEXTURESTAGE 0x00100000

// DDSCAPS2.dwCaps
#define DDSCAPS_ALPHA 0x00000002
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_FRONTBUFFER 0x00000020
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_OVERLAY 0x00000080
#define DDSCAPS_PALETTE 0x00000100
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY 0x00000800
#define DDSCAPS_TEXTURE 0x00001000
#define DDSCAPS_3DDEVICE 0x00002000
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_VISIBLE 0x00008000
#define DDSCAPS_WRITEONLY 0x00010000
#define DDSCAPS_ZBUFFER 0x00020000
#define DDSCAPS_OWNDC 0x00040000
#define DDSCAPS_MIPMAP 0x00400000
#define DDSCAPS_ALLOCONLOAD 0x04000000
#define DDSCAPS_LOCALVIDMEM 0x10000000
#define DDSCAPS_NONLOCALVIDMEM 0x20000000
// DDSCAPS2.dwCaps2
#define DDSCAPS2_TEXTUREMANAGE 0x00000010

// DDPIXELFORMAT.dwFlags
#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_ALPHA 0x00000002
#define DDPF_FOURCC 0x00000004
#define DDPF_PALETTEINDEXED4 0x00000008
#define DDPF_PALETTEINDEXEDTO8 0x00000010
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040
#define DDPF_YUV 0x00000200
#define DDPF_ZBUFFER 0x00000400
#define DDPF_PALETTEINDEXED1 0x00000800
#define DDPF_PALETTEINDEXED2 0x00001000
#define DDPF_STENCILBUFFER 0x00004000
#define DDPF_LUMINANCE 0x00020000

// Bit depths as a set (render and depth-buffer depths of a Direct3D device)
#define DDBD_1 0x00004000
#define DDBD_2 0x00002000
#define DDBD_4 0x00001000
#define DDBD_8 0x00000800
#define DDBD_16 0x00000400
#define DDBD_24 0x00000200
#define DDBD_32 0x00000100

// Blt, BltFast, Flip, Lock
#define DDBLT_ASYNC 0x00000200
#define DDBLT_COLORFILL 0x00000400
#define DDBLT_DDFX 0x00000800
#define DDBLT_KEYDEST 0x00002000
#define DDBLT_KEYDESTOVERRIDE 0x00004000
#define DDBLT_KEYSRC 0x00008000
#define DDBLT_KEYSRCOVERRIDE 0x00010000
#define DDBLT_ROP 0x00020000
#define DDBLT_WAIT 0x01000000
#define DDBLT_DEPTHFILL 0x02000000
#define DDBLTFAST_NOCOLORKEY 0x00000000
#define DDBLTFAST_SRCCOLORKEY 0x00000001
#define DDBLTFAST_DESTCOLORKEY 0x00000002
#define DDBLTFAST_WAIT 0x00000010
#define DDFLIP_WAIT 0x00000001
#define DDFLIP_NOVSYNC 0x00000008
#define DDLOCK_SURFACEMEMORYPTR 0x00000000
#define DDLOCK_WAIT 0x00000001
#define DDLOCK_READONLY 0x00000010
#define DDLOCK_WRITEONLY 0x00000020
#define DDLOCK_NOSYSLOCK 0x00000800

// Colour keys
#define DDCKEY_COLORSPACE 0x00000001
#define DDCKEY_DESTBLT 0x00000002
#define DDCKEY_DESTOVERLAY 0x00000004
#define DDCKEY_SRCBLT 0x00000008
#define DDCKEY_SRCOVERLAY 0x00000010

// Palettes
#define DDPCAPS_4BIT 0x00000001
#define DDPCAPS_8BITENTRIES 0x00000002
#define DDPCAPS_8BIT 0x00000004
#define DDPCAPS_INITIALIZE 0x00000008
#define DDPCAPS_PRIMARYSURFACE 0x00000010
#define DDPCAPS_ALLOW256 0x00000040

// Monitor handles came with Windows 98; the enumeration callback receives one.
#ifndef HMONITOR_DECLARED
DECLARE_HANDLE(HMONITOR);
#define HMONITOR_DECLARED 1
#endif

// ---- Records ----------------------------------------------------------------------------
typedef struct _DDCOLORKEY {
  DWORD dwColorSpaceLowValue;   // inclusive
  DWORD dwColorSpaceHighValue;  // inclusive
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS {
  DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

typedef struct _DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
} DDSCAPS2, *LPDDSCAPS2;

typedef struct _DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  union {
    DWORD dwRGBBitCount;
    DWORD dwYUVBitCount;
    DWORD dwZBufferBitDepth;
    DWORD dwAlphaBitDepth;
    DWORD dwLuminanceBitCount;
  };
  union {
    DWORD dwRBitMask;
    DWORD dwYBitMask;
    DWORD dwStencilBitDepth;
    DWORD dwLuminanceBitMask;
  };
  union {
    DWORD dwGBitMask;
    DWORD dwUBitMask;
    DWORD dwZBitMask;
  };
  union {
    DWORD dwBBitMask;
    DWORD dwVBitMask;
    DWORD dwStencilBitMask;
  };
  union {
    DWORD dwRGBAlphaBitMask;
    DWORD dwYUVAlphaBitMask;
    DWORD dwLuminanceAlphaBitMask;
    DWORD dwRGBZBitMask;
    DWORD dwYUVZBitMask;
  };
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

typedef struct _DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  DWORD dwBackBufferCount;
  union {
    DWORD dwMipMapCount;
    DWORD dwRefreshRate;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
  DWORD dwTextureStage;
} DDSURFACEDESC2, *LPDDSURFACEDESC2;

#define DD_ROP_SPACE (256 / 32)

// The DirectX 6 capability record (380 bytes).
typedef struct _DDCAPS_DX6 {
  DWORD dwSize;
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCKeyCaps;
  DWORD dwFXCaps;
  DWORD dwFXAlphaCaps;
  DWORD dwPalCaps;
  DWORD dwSVCaps;
  DWORD dwAlphaBltConstBitDepths;
  DWORD dwAlphaBltPixelBitDepths;
  DWORD dwAlphaBltSurfaceBitDepths;
  DWORD dwAlphaOverlayConstBitDepths;
  DWORD dwAlphaOverlayPixelBitDepths;
  DWORD dwAlphaOverlaySurfaceBitDepths;
  DWORD dwZBufferBitDepths;
  DWORD dwVidMemTotal;
  DWORD dwVidMemFree;
  DWORD dwMaxVisibleOverlays;
  DWORD dwCurrVisibleOverlays;
  DWORD dwNumFourCCCodes;
  DWORD dwAlignBoundarySrc;
  DWORD dwAlignSizeSrc;
  DWORD dwAlignBoundaryDest;
  DWORD dwAlignSizeDest;
  DWORD dwAlignStrideAlign;
  DWORD dwRops[DD_ROP_SPACE];
  DDSCAPS ddsOldCaps;
  DWORD dwMinOverlayStretch;
  DWORD dwMaxOverlayStretch;
  DWORD dwMinLiveVideoStretch;
  DWORD dwMaxLiveVideoStretch;
  DWORD dwMinHwCodecStretch;
  DWORD dwMaxHwCodecStretch;
  DWORD dwReserved1;
  DWORD dwReserved2;
  DWORD dwReserved3;
  DWORD dwSVBCaps;
  DWORD dwSVBCKeyCaps;
  DWORD dwSVBFXCaps;
  DWORD dwSVBRops[DD_ROP_SPACE];
  DWORD dwVSBCaps;
  DWORD dwVSBCKeyCaps;
  DWORD dwVSBFXCaps;
  DWORD dwVSBRops[DD_ROP_SPACE];
  DWORD dwSSBCaps;
  DWORD dwSSBCKeyCaps;
  DWORD dwSSBFXCaps;
  DWORD dwSSBRops[DD_ROP_SPACE];
  DWORD dwMaxVideoPorts;
  DWORD dwCurrVideoPorts;
  DWORD dwSVBCaps2;
  DWORD dwNLVBCaps;
  DWORD dwNLVBCaps2;
  DWORD dwNLVBCKeyCaps;
  DWORD dwNLVBFXCaps;
  DWORD dwNLVBRops[DD_ROP_SPACE];
  DDSCAPS2 ddsCaps;
} DDCAPS_DX6, *LPDDCAPS_DX6;
typedef DDCAPS_DX6 DDCAPS;
typedef DDCAPS_DX6* LPDDCAPS;

typedef struct {
  WORD red[256];
  WORD green[256];
  WORD blue[256];
} DDGAMMARAMP, *LPDDGAMMARAMP;

// Interfaces of older DirectDraw versions, named only in signatures.
struct IDirectDrawSurface;
typedef struct IDirectDrawSurface* LPDIRECTDRAWSURFACE;
struct _DDSURFACEDESC;
typedef struct _DDSURFACEDESC* LPDDSURFACEDESC;

typedef struct _DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwROP;
  DWORD dwDDROP;
  DWORD dwRotationAngle;
  DWORD dwZBufferOpCode;
  DWORD dwZBufferLow;
  DWORD dwZBufferHigh;
  DWORD dwZBufferBaseDest;
  DWORD dwZDestConstBitDepth;
  union {
    DWORD dwZDestConst;
    LPDIRECTDRAWSURFACE lpDDSZBufferDest;
  };
  DWORD dwZSrcConstBitDepth;
  union {
    DWORD dwZSrcConst;
    LPDIRECTDRAWSURFACE lpDDSZBufferSrc;
  };
  DWORD dwAlphaEdgeBlendBitDepth;
  DWORD dwAlphaEdgeBlend;
  DWORD dwReserved;
  DWORD dwAlphaDestConstBitDepth;
  union {
    DWORD dwAlphaDestConst;
    LPDIRECTDRAWSURFACE lpDDSAlphaDest;
  };
  DWORD dwAlphaSrcConstBitDepth;
  union {
    DWORD dwAlphaSrcConst;
    LPDIRECTDRAWSURFACE lpDDSAlphaSrc;
  };
  union {
    DWORD dwFillColor;  // a raw pixel value of the destination's format
    DWORD dwFillDepth;
    LPDIRECTDRAWSURFACE lpDDSPattern;
  };
  DDCOLORKEY ddckDestColorkey;
  DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

// Records only named in signatures of methods the library never calls.
struct _DDBLTBATCH;
struct _DDOVERLAYFX;
struct _RGNDATA;
struct tagDDDEVICEIDENTIFIER;

// ---- Interfaces ------------------------------------------------------------------------
struct IDirectDraw;
struct IDirectDraw4;
struct IDirectDrawSurface4;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
struct IDirectDrawGammaControl;
typedef struct IDirectDraw* LPDIRECTDRAW;
typedef struct IDirectDraw4* LPDIRECTDRAW4;
typedef struct IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;
typedef struct IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
typedef struct IDirectDrawPalette* LPDIRECTDRAWPALETTE;
typedef struct IDirectDrawGammaControl* LPDIRECTDRAWGAMMACONTROL;

typedef BOOL(CALLBACK* LPDDENUMCALLBACKEXA)(GUID* lpGUID, LPSTR lpDriverDescription, LPSTR lpDriverName,
                                            LPVOID lpContext, HMONITOR hm);
typedef HRESULT(CALLBACK* LPDDENUMMODESCALLBACK)(LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext);
typedef HRESULT(CALLBACK* LPDDENUMMODESCALLBACK2)(LPDDSURFACEDESC2 lpDDSurfaceDesc, LPVOID lpContext);
typedef HRESULT(CALLBACK* LPDDENUMSURFACESCALLBACK)(LPDIRECTDRAWSURFACE lpDDSurface, LPDDSURFACEDESC lpDDSurfaceDesc,
                                                    LPVOID lpContext);
typedef HRESULT(CALLBACK* LPDDENUMSURFACESCALLBACK2)(LPDIRECTDRAWSURFACE4 lpDDSurface,
                                                     LPDDSURFACEDESC2 lpDDSurfaceDesc, LPVOID lpContext);

struct IDirectDrawPalette : public IUnknown {
  STDMETHOD(GetCaps)(LPDWORD lpdwCaps) PURE;
  STDMETHOD(GetEntries)(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries, LPPALETTEENTRY lpEntries) PURE;
  STDMETHOD(Initialize)(LPDIRECTDRAW lpDD, DWORD dwFlags, LPPALETTEENTRY lpDDColorTable) PURE;
  STDMETHOD(SetEntries)(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount, LPPALETTEENTRY lpEntries) PURE;
};

struct IDirectDrawClipper : public IUnknown {
  STDMETHOD(GetClipList)(LPRECT lpRect, struct _RGNDATA* lpClipList, LPDWORD lpdwSize) PURE;
  STDMETHOD(GetHWnd)(HWND* lphWnd) PURE;
  STDMETHOD(Initialize)(LPDIRECTDRAW lpDD, DWORD dwFlags) PURE;
  STDMETHOD(IsClipListChanged)(BOOL* lpbChanged) PURE;
  STDMETHOD(SetClipList)(struct _RGNDATA* lpClipList, DWORD dwFlags) PURE;
  STDMETHOD(SetHWnd)(DWORD dwFlags, HWND hWnd) PURE;
};

struct IDirectDraw : public IUnknown {
  STDMETHOD(Compact)() PURE;
  STDMETHOD(CreateClipper)(DWORD dwFlags, LPDIRECTDRAWCLIPPER* lplpDDClipper, IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreatePalette)(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE* lplpDDPalette,
                           IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreateSurface)(LPDDSURFACEDESC lpDDSurfaceDesc, LPDIRECTDRAWSURFACE* lplpDDSurface,
                           IUnknown* pUnkOuter) PURE;
  STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE lpDDSurface, LPDIRECTDRAWSURFACE* lplpDupDDSurface) PURE;
  STDMETHOD(EnumDisplayModes)(DWORD dwFlags, LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext,
                              LPDDENUMMODESCALLBACK lpEnumModesCallback) PURE;
  STDMETHOD(EnumSurfaces)(DWORD dwFlags, LPDDSURFACEDESC lpDDSD, LPVOID lpContext,
                          LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback) PURE;
  STDMETHOD(FlipToGDISurface)() PURE;
  STDMETHOD(GetCaps)(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) PURE;
  STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC lpDDSurfaceDesc) PURE;
  STDMETHOD(GetFourCCCodes)(LPDWORD lpNumCodes, LPDWORD lpCodes) PURE;
  STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE* lplpGDIDDSurface) PURE;
  STDMETHOD(GetMonitorFrequency)(LPDWORD lpdwFrequency) PURE;
  STDMETHOD(GetScanLine)(LPDWORD lpdwScanLine) PURE;
  STDMETHOD(GetVerticalBlankStatus)(BOOL* lpbIsInVB) PURE;
  STDMETHOD(Initialize)(GUID* lpGUID) PURE;
  STDMETHOD(RestoreDisplayMode)() PURE;
  STDMETHOD(SetCooperativeLevel)(HWND hWnd, DWORD dwFlags) PURE;
  STDMETHOD(SetDisplayMode)(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP) PURE;
  STDMETHOD(WaitForVerticalBlank)(DWORD dwFlags, HANDLE hEvent) PURE;
};

struct IDirectDraw4 : public IUnknown {
  STDMETHOD(Compact)() PURE;
  STDMETHOD(CreateClipper)(DWORD dwFlags, LPDIRECTDRAWCLIPPER* lplpDDClipper, IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreatePalette)(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE* lplpDDPalette,
                           IUnknown* pUnkOuter) PURE;
  STDMETHOD(CreateSurface)(LPDDSURFACEDESC2 lpDDSurfaceDesc, LPDIRECTDRAWSURFACE4* lplpDDSurface,
                           IUnknown* pUnkOuter) PURE;
  STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE4 lpDDSurface, LPDIRECTDRAWSURFACE4* lplpDupDDSurface) PURE;
  STDMETHOD(EnumDisplayModes)(DWORD dwFlags, LPDDSURFACEDESC2 lpDDSurfaceDesc, LPVOID lpContext,
                              LPDDENUMMODESCALLBACK2 lpEnumModesCallback) PURE;
  STDMETHOD(EnumSurfaces)(DWORD dwFlags, LPDDSURFACEDESC2 lpDDSD, LPVOID lpContext,
                          LPDDENUMSURFACESCALLBACK2 lpEnumSurfacesCallback) PURE;
  STDMETHOD(FlipToGDISurface)() PURE;
  STDMETHOD(GetCaps)(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) PURE;
  STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC2 lpDDSurfaceDesc) PURE;
  STDMETHOD(GetFourCCCodes)(LPDWORD lpNumCodes, LPDWORD lpCodes) PURE;
  STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE4* lplpGDIDDSurface) PURE;
  STDMETHOD(GetMonitorFrequency)(LPDWORD lpdwFrequency) PURE;
  STDMETHOD(GetScanLine)(LPDWORD lpdwScanLine) PURE;
  STDMETHOD(GetVerticalBlankStatus)(BOOL* lpbIsInVB) PURE;
  STDMETHOD(Initialize)(GUID* lpGUID) PURE;
  STDMETHOD(RestoreDisplayMode)() PURE;
  STDMETHOD(SetCooperativeLevel)(HWND hWnd, DWORD dwFlags) PURE;
  STDMETHOD(SetDisplayMode)(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate, DWORD dwFlags) PURE;
  STDMETHOD(WaitForVerticalBlank)(DWORD dwFlags, HANDLE hEvent) PURE;
  STDMETHOD(GetAvailableVidMem)(LPDDSCAPS2 lpDDCaps, LPDWORD lpdwTotal, LPDWORD lpdwFree) PURE;
  STDMETHOD(GetSurfaceFromDC)(HDC hdc, LPDIRECTDRAWSURFACE4* pSurf) PURE;
  STDMETHOD(RestoreAllSurfaces)() PURE;
  STDMETHOD(TestCooperativeLevel)() PURE;
  STDMETHOD(GetDeviceIdentifier)(struct tagDDDEVICEIDENTIFIER* pDDDI, DWORD dwFlags) PURE;
};

struct IDirectDrawSurface4 : public IUnknown {
  STDMETHOD(AddAttachedSurface)(LPDIRECTDRAWSURFACE4 lpDDSAttachedSurface) PURE;
  STDMETHOD(AddOverlayDirtyRect)(LPRECT lpRect) PURE;
  STDMETHOD(Blt)(LPRECT lpDestRect, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags,
                 LPDDBLTFX lpDDBltFx) PURE;
  STDMETHOD(BltBatch)(struct _DDBLTBATCH* lpDDBltBatch, DWORD dwCount, DWORD dwFlags) PURE;
  STDMETHOD(BltFast)(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect,
                     DWORD dwTrans) PURE;
  STDMETHOD(DeleteAttachedSurface)(DWORD dwFlags, LPDIRECTDRAWSURFACE4 lpDDSAttachedSurface) PURE;
  STDMETHOD(EnumAttachedSurfaces)(LPVOID lpContext, LPDDENUMSURFACESCALLBACK2 lpEnumSurfacesCallback) PURE;
  STDMETHOD(EnumOverlayZOrders)(DWORD dwFlags, LPVOID lpContext, LPDDENUMSURFACESCALLBACK2 lpfnCallback) PURE;
  STDMETHOD(Flip)(LPDIRECTDRAWSURFACE4 lpDDSurfaceTargetOverride, DWORD dwFlags) PURE;
  STDMETHOD(GetAttachedSurface)(LPDDSCAPS2 lpDDSCaps, LPDIRECTDRAWSURFACE4* lplpDDAttachedSurface) PURE;
  STDMETHOD(GetBltStatus)(DWORD dwFlags) PURE;
  STDMETHOD(GetCaps)(LPDDSCAPS2 lpDDSCaps) PURE;
  STDMETHOD(GetClipper)(LPDIRECTDRAWCLIPPER* lplpDDClipper) PURE;
  STDMETHOD(GetColorKey)(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) PURE;
  STDMETHOD(GetDC)(HDC* lphDC) PURE;
  STDMETHOD(GetFlipStatus)(DWORD dwFlags) PURE;
  STDMETHOD(GetOverlayPosition)(LPLONG lplX, LPLONG lplY) PURE;
  STDMETHOD(GetPalette)(LPDIRECTDRAWPALETTE* lplpDDPalette) PURE;
  STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT lpDDPixelFormat) PURE;
  STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC2 lpDDSurfaceDesc) PURE;
  STDMETHOD(Initialize)(LPDIRECTDRAW lpDD, LPDDSURFACEDESC2 lpDDSurfaceDesc) PURE;
  STDMETHOD(IsLost)() PURE;
  STDMETHOD(Lock)(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) PURE;
  STDMETHOD(ReleaseDC)(HDC hDC) PURE;
  STDMETHOD(Restore)() PURE;
  STDMETHOD(SetClipper)(LPDIRECTDRAWCLIPPER lpDDClipper) PURE;
  STDMETHOD(SetColorKey)(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) PURE;
  STDMETHOD(SetOverlayPosition)(LONG lX, LONG lY) PURE;
  STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE lpDDPalette) PURE;
  STDMETHOD(Unlock)(LPRECT lpSurfaceData) PURE;
  STDMETHOD(UpdateOverlay)(LPRECT lpSrcRect, LPDIRECTDRAWSURFACE4 lpDDDestSurface, LPRECT lpDestRect,
                           DWORD dwFlags, struct _DDOVERLAYFX* lpDDOverlayFx) PURE;
  STDMETHOD(UpdateOverlayDisplay)(DWORD dwFlags) PURE;
  STDMETHOD(UpdateOverlayZOrder)(DWORD dwFlags, LPDIRECTDRAWSURFACE4 lpDDSReference) PURE;
  STDMETHOD(GetDDInterface)(LPVOID* lplpDD) PURE;
  STDMETHOD(PageLock)(DWORD dwFlags) PURE;
  STDMETHOD(PageUnlock)(DWORD dwFlags) PURE;
  STDMETHOD(SetSurfaceDesc)(LPDDSURFACEDESC2 lpDDSD, DWORD dwFlags) PURE;
  STDMETHOD(SetPrivateData)(REFGUID tag, LPVOID pData, DWORD cbSize, DWORD dwFlags) PURE;
  STDMETHOD(GetPrivateData)(REFGUID tag, LPVOID pBuffer, LPDWORD pcbBufferSize) PURE;
  STDMETHOD(FreePrivateData)(REFGUID tag) PURE;
  STDMETHOD(GetUniquenessValue)(LPDWORD pValue) PURE;
  STDMETHOD(ChangeUniquenessValue)() PURE;
};

struct IDirectDrawGammaControl : public IUnknown {
  STDMETHOD(GetGammaRamp)(DWORD dwFlags, LPDDGAMMARAMP lpRampData) PURE;
  STDMETHOD(SetGammaRamp)(DWORD dwFlags, LPDDGAMMARAMP lpRampData) PURE;
};

// ---- Functions ---------------------------------------------------------------------------
extern "C" {

HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA lpCallback, LPVOID lpContext, DWORD dwFlags);

}  // extern "C"
