// Ondrel's global state: the screen and device taken from KORVATHD, the
// settings read from ONDREL.INI, the Glide state record, the texture-unit
// state and the draw arrays, with the helpers the entry points share.
#ifndef ONDREL_GLIDE_STATE_H
#define ONDREL_GLIDE_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <glide.h>
#include <korvathd.h>

// ---- Settings (ONDREL.INI) -----------------------------------------------------------------
struct GlideSettings {
  char device[256];
  int noGammaControl;
  float gammaBase;
  int modes[5][2];  // physical width and height of 512x384, 640x400, 640x480, 800x600, 1024x768
  int videoBitsPerPixel;
  int noFog;
  int scaleFix;
  int noVsync;
  int softwareEmulation;
  int noSplash;
  int noSound;
  int reduceMemory;
};

// The settings file's path: the system directory and ONDREL.INI.
void GlideSettingsPath(char* path, int size);
// Reads every key in the file's order; anything missing takes its default.
void ReadGlideSettings(const char* path, GlideSettings* settings);
// 1, 2, 4, ... 64 for ReduceMemory 0 to 6; 1 for anything else.
int ReduceMemoryDivisor(int reduceMemory);

// ---- Screen and device -----------------------------------------------------------------------
struct GlideScreen {
  HWND appWindow;
  RECT appWindowRect;
  int windowOpen;
  int physicalWidth, physicalHeight;
  int glideWidth, glideHeight;
  float xScale, yScale;
  int colorBuffers, auxBuffers;
  IDirectDraw4* directDraw;
  IDirectDrawSurface4* frontSurface;
  IDirectDrawSurface4* backSurface;
  DDSURFACEDESC2 frontDesc, backDesc;
  IDirect3DDevice3* d3dDevice;
  KR3DTEXTUREFORMATINFO deviceTextureFormats[KR3D_TEXTUREFORMAT_MAX];
  int textureFormatMap[15];
  int canTextureFromSystemMemory;
  int deviceWBuffers;  // D3DZB_USEW orders by w; without it Ondrel gives w-buffer mode a depth of its own
  int lfbLocked[2];  // front and back buffer locks of the frame-buffer calls
  int resolutionTable[16][2];
  GlideSettings settings;
  int reduceMemoryDivisor;
};
extern GlideScreen g_glide;

// True while the open holds the device (from its hand-over to the close): only
// then do calls reach the device; otherwise state calls only record.
inline bool GlideDeviceReady() { return g_glide.d3dDevice != nullptr; }

// ---- The Glide state record ------------------------------------------------------------------
struct GlideStateRecord {
  FxU32 colorFormat, originLocation, renderBuffer, cullMode, ditherMode;
  FxU32 fogColor, fogMode, fogColorArgb;
  FxU32 clipMinX, clipMinY, clipMaxX, clipMaxY;
  FxU32 chromakeyMode, chromakeyValue;
  FxU32 depthBufferMode, depthMask, depthFunction, depthBias;
  FxU32 constantColor;
  FxU32 colorCombineFunction, colorCombineFactor, colorCombineLocal, colorCombineOther;
  FxU32 rgbMask, alphaMask;
  FxU32 alphaCombineFunction, alphaCombineFactor, alphaCombineLocal, alphaCombineOther;
  FxU32 rgbSrcFactor, rgbDstFactor, alphaSrcFactor, alphaDstFactor;
  FxU32 alphaTestFunction, alphaTestReference;
};
static_assert(sizeof(GlideStateRecord) == sizeof(GrState), "the record is the 140 bytes of a GrState");
extern GlideStateRecord g_glideState;

// W-buffer mode on a device that takes D3DZB_USEW as an ordinary z-buffer: the
// vertices then carry WBufferDepth as their depth.
inline bool EmulatingWBuffer() {
  return g_glideState.depthBufferMode == GR_DEPTHBUFFER_WBUFFER && !g_glide.deviceWBuffers;
}

// A depth for an ordinary z-buffer that grows with w: 1 - 1/w, clamped to 0..1.
// It is what a perspective z-buffer holds: affine in screen space like oow, so
// the device's interpolation across a triangle is exact, and it keeps the order
// of every w from 1 to 65535 (the range Glide's w-buffer takes; nearer clamps to
// 0, behind the eye to 1). In the 16-bit depth buffer an open starts with, two
// depths part when 1/w1 - 1/w2 >= 1/65535, that is about w * w / 65535 apart:
// 0.002 at w 10, 0.15 at w 100, 15 at w 1000.
inline float WBufferDepth(float oow) {
  const float depth = 1.0f - oow;
  const float low = depth > 0.0f ? depth : 0.0f;  // NaN too
  return low < 1.0f ? low : 1.0f;
}

// The open's defaults (fields marked kept stay as they are).
void SetDefaultGlideState(GrColorFormat_t colorFormat, GrOriginLocation_t origin);
FxU32 ColorToArgb(GrColor_t color);
// Sets a render state when a device is there.
void GlideRenderState(D3DRENDERSTATETYPE state, DWORD value);
// D3DRENDERSTATE_ZENABLE for a Glide depth mode.
DWORD DepthEnableState(FxU32 mode);
// What a scene begin resets, put back from the record and the texture state.
void ReapplySceneStates();
// KR3DBeginRender(0) as every Ondrel frame begins it, with the states put back.
void BeginGlideScene();

// ---- Texture units -------------------------------------------------------------------------
const int kTextureSlots = 1023;

struct TextureSlot {
  IDirectDrawSurface4* surface;
  IDirect3DTexture2* texture;
  int deviceFormat;  // index into deviceTextureFormats: the colour key is set in it
};

struct TmuState {
  int minFilter, magFilter, mipMapMode;
  int rgbFunction, rgbFactor, alphaFunction, alphaFactor;
  TextureSlot slots[kTextureSlots];
  int sourceAddress;
  int boundAddress;
  int evenOdd;
  GrTexInfo sourceInfo;
  int clampS, clampT;
};
extern TmuState g_tmu;

// Every texture-unit identifier names the one state.
inline TmuState* TmuIndex(GrChipID_t) { return &g_tmu; }
void ResetTmuState();
void ReleaseTextureSlot(TextureSlot* slot);
void ReleaseAllTextureSlots();
void ApplyStageFilters();
// The ARGB colour in a device texture format, channels scaled as texels are,
// with the alpha of an opaque texel.
DWORD ArgbToDeviceFormat(DWORD argb, const KR3DTEXTUREFORMATINFO& format);
// Binds the source texture, or none for an untextured combine: every draw asks,
// and mostly the bound texture is the one it needs.
void BindDrawTexture();
inline void TextureBeforeDraw() {
  if (g_glideState.colorCombineOther != GR_COMBINE_OTHER_TEXTURE || g_tmu.sourceAddress != g_tmu.boundAddress) {
    BindDrawTexture();
  }
}
int LodToEdge(GrLOD_t lod);
int EdgeToLod(int edge);
// False for an aspect code without factors.
bool AspectToFactors(GrAspectRatio_t aspect, int* width, int* height);

// ---- Drawing ---------------------------------------------------------------------------------
extern int g_trianglesThisFrame;
void ResetFrameRate();
// Every call that changes what vertex conversion reads (origin, depth mode,
// combine locals and function, constant colour, the open's scale) calls this.
void ChooseVertexRule();

// ---- Fog ----------------------------------------------------------------------------------------
// Linear table fog's start and end follow the depth the vertices carry: called when the depth mode changes.
void FogFollowsDepthMode();

// ---- Gamma ------------------------------------------------------------------------------------
// Sets a ramp on the primary surface: one query, one SetGammaRamp, one release.
void SetGlideGammaRamp(const DDGAMMARAMP& ramp);
void SetIdentityGammaRamp();

// ---- Frame buffer ----------------------------------------------------------------------------
// Frees the copies of locks the game never unlocked and clears their flags.
void ReleaseFrameBufferCopies();

// ---- Result names (DirectDraw, Direct3D and DirectSound only) ----------------------------------
const char* OndrelDXResultName(long result, int family);

#endif
