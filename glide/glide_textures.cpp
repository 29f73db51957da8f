// Texture addresses and the one texture-unit state every Glide TMU shares:
// stage-0 states, the size tables and the binding before each draw.
#include <cstring>

#include "glide/glide_state.h"

TmuState g_tmu;

namespace {

void StageState(D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  if (GlideDeviceReady()) g_glide.d3dDevice->SetTextureStageState(0, state, value);
}

DWORD ScaledChannel(DWORD argb, int argbShift, DWORD max, DWORD shift) {
  return (((argb >> argbShift) & 0xFFu) * max / 255u) << shift;
}

}  // namespace

void ResetTmuState() {
  TmuState& t = g_tmu;
  t.minFilter = t.magFilter = t.mipMapMode = 0;
  t.rgbFunction = GR_COMBINE_FUNCTION_LOCAL;
  t.rgbFactor = GR_COMBINE_FACTOR_ZERO;
  t.alphaFunction = GR_COMBINE_FUNCTION_LOCAL;
  t.alphaFactor = GR_COMBINE_FACTOR_ZERO;
  // The open forgets the slots without releasing: the close released them.
  std::memset(t.slots, 0, sizeof t.slots);
  t.sourceAddress = 0;
  t.boundAddress = -1;
  t.evenOdd = 1;
}

// The device lets go of a texture before it goes: Wine's device would otherwise
// keep using a texture whose surface is gone.
void ReleaseTextureSlot(TextureSlot* slot) {
  if (slot->texture != nullptr && GlideDeviceReady()) {
    g_glide.d3dDevice->SetTexture(0, nullptr);
    g_tmu.boundAddress = -1;
  }
  if (slot->texture != nullptr) slot->texture->Release();
  if (slot->surface != nullptr) slot->surface->Release();
  slot->texture = nullptr;
  slot->surface = nullptr;
}

void ReleaseAllTextureSlots() {
  for (TextureSlot& slot : g_tmu.slots) ReleaseTextureSlot(&slot);
}

void ApplyStageFilters() {
  StageState(D3DTSS_MINFILTER, g_tmu.minFilter != 0 ? D3DTFN_LINEAR : D3DTFN_POINT);
  StageState(D3DTSS_MAGFILTER, g_tmu.magFilter != 0 ? D3DTFG_LINEAR : D3DTFG_POINT);
  StageState(D3DTSS_MIPFILTER, g_tmu.mipMapMode != 0 ? D3DTFP_LINEAR : D3DTFP_NONE);
}

// With the alpha of an opaque texel, which is what a download writes for the
// colour: a key without it would match no texel of a format with alpha.
DWORD ArgbToDeviceFormat(DWORD argb, const KR3DTEXTUREFORMATINFO& f) {
  return ScaledChannel(argb, 16, f.dwRedMax, f.dwRedShift) | ScaledChannel(argb, 8, f.dwGreenMax, f.dwGreenShift) |
         ScaledChannel(argb, 0, f.dwBlueMax, f.dwBlueShift) | (f.dwAlphaMax << f.dwAlphaShift);
}

void BindDrawTexture() {
  if (g_glideState.colorCombineOther != GR_COMBINE_OTHER_TEXTURE) {
    g_glide.d3dDevice->SetTexture(0, nullptr);
    g_tmu.boundAddress = -1;  // so that the texture comes back at the next textured draw
    return;
  }
  if (g_tmu.sourceAddress == g_tmu.boundAddress) return;
  TextureSlot& slot = g_tmu.slots[g_tmu.sourceAddress];
  g_glide.d3dDevice->SetTexture(0, slot.texture);
  g_tmu.boundAddress = g_tmu.sourceAddress;
  if (slot.texture != nullptr && g_glideState.chromakeyMode == GR_CHROMAKEY_ENABLE) {
    const DWORD key = ArgbToDeviceFormat(g_glideState.chromakeyValue, g_glide.deviceTextureFormats[slot.deviceFormat]);
    DDCOLORKEY colorKey = {key, key};
    slot.surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
  }
}

int LodToEdge(GrLOD_t lod) { return lod >= GR_LOD_256 && lod <= GR_LOD_1 ? 256 >> lod : 0; }

int EdgeToLod(int edge) {
  for (int lod = GR_LOD_128; lod <= GR_LOD_1; ++lod) {
    if (edge == (256 >> lod)) return lod;
  }
  return 0;
}

bool AspectToFactors(GrAspectRatio_t aspect, int* width, int* height) {
  if (aspect < GR_ASPECT_8x1 || aspect > GR_ASPECT_1x8) return false;
  *width = aspect < GR_ASPECT_1x1 ? 8 >> aspect : 1;
  *height = aspect > GR_ASPECT_1x1 ? 1 << (aspect - GR_ASPECT_1x1) : 1;
  return true;
}

extern "C" {

FxU32 FX_CALL grTexMinAddress(GrChipID_t) { return 0; }
FxU32 FX_CALL grTexMaxAddress(GrChipID_t) { return kTextureSlots; }
FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureFormat_t) { return 1; }
FxU32 FX_CALL grTexTextureMemRequired(FxU32, GrTexInfo*) { return 1; }

void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info) {
  if (startAddress >= static_cast<FxU32>(kTextureSlots)) return;
  TmuState* t = TmuIndex(tmu);
  t->sourceAddress = static_cast<int>(startAddress);
  t->evenOdd = static_cast<int>(evenOdd);
  t->sourceInfo = *info;
}

void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilterMode,
                             GrTextureFilterMode_t magFilterMode) {
  TmuState* t = TmuIndex(tmu);
  t->minFilter = minFilterMode;
  t->magFilter = magFilterMode;
  StageState(D3DTSS_MINFILTER, minFilterMode != 0 ? D3DTFN_LINEAR : D3DTFN_POINT);
  StageState(D3DTSS_MAGFILTER, magFilterMode != 0 ? D3DTFG_LINEAR : D3DTFG_POINT);
}

void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t sClampMode, GrTextureClampMode_t tClampMode) {
  TmuState* t = TmuIndex(tmu);
  t->clampS = sClampMode;
  t->clampT = tClampMode;
  StageState(D3DTSS_ADDRESSU, sClampMode != 0 ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP);
  StageState(D3DTSS_ADDRESSV, tClampMode != 0 ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP);
}

void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool) {
  TmuIndex(tmu)->mipMapMode = mode;
  StageState(D3DTSS_MIPFILTER, mode != 0 ? D3DTFP_LINEAR : D3DTFP_NONE);
}

void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor,
                          GrCombineFunction_t alphaFunction, GrCombineFactor_t alphaFactor, FxBool, FxBool) {
  TmuState* t = TmuIndex(tmu);
  t->rgbFunction = rgbFunction;
  t->rgbFactor = rgbFactor;
  t->alphaFunction = alphaFunction;
  t->alphaFactor = alphaFactor;
}

}  // extern "C"
