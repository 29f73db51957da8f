// Table fog driven by the marker Ondrel's fog generators write into the game's
// fog table, and gamma as a linear ramp on the primary surface.
#include <cstring>

#include "glide/glide_state.h"

namespace {

GrFog_t g_currentFogTable[GR_FOG_TABLE_SIZE];

const GrFog_t kMarkerExp = 0xF0;
const GrFog_t kMarkerExp2 = 0xF1;
const GrFog_t kMarkerLinear = 0xF2;

bool g_linearFogInWDepth;  // the linear distances last set went through WBufferDepth

// The table's floats sit unaligned; their bit patterns go to the device as they are.
DWORD FloatBitsAt(const GrFog_t* table, int offset) {
  DWORD bits;
  std::memcpy(&bits, table + offset, sizeof bits);
  return bits;
}

// The device fogs by the depth it is given: with emulated w-buffering a distance
// becomes that depth, so that fog begins and ends at the game's distances.
DWORD FogDistanceAt(const GrFog_t* table, int offset) {
  if (!g_linearFogInWDepth) return FloatBitsAt(table, offset);
  float distance;
  std::memcpy(&distance, table + offset, sizeof distance);
  const float depth = WBufferDepth(1.0f / distance);
  DWORD bits;
  std::memcpy(&bits, &depth, sizeof bits);
  return bits;
}

void WriteFloatAt(GrFog_t* table, int offset, float value) { std::memcpy(table + offset, &value, sizeof value); }

void ApplyFogMarker() {
  const GrFog_t* table = g_currentFogTable;
  switch (table[0]) {
    case kMarkerExp:
    case kMarkerExp2:
      GlideRenderState(D3DRENDERSTATE_FOGTABLEDENSITY, FloatBitsAt(table, 1));
      GlideRenderState(D3DRENDERSTATE_FOGTABLEMODE, table[0] == kMarkerExp ? D3DFOG_EXP : D3DFOG_EXP2);
      break;
    case kMarkerLinear:
      g_linearFogInWDepth = EmulatingWBuffer();
      GlideRenderState(D3DRENDERSTATE_FOGTABLESTART, FogDistanceAt(table, 5));
      GlideRenderState(D3DRENDERSTATE_FOGTABLEEND, FogDistanceAt(table, 9));
      GlideRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
      break;
  }
}

}  // namespace

void FogFollowsDepthMode() {
  const bool linearTableFog = !g_glide.settings.noFog && (g_glideState.fogMode & GR_FOG_WITH_TABLE) != 0 &&
                              g_currentFogTable[0] == kMarkerLinear;
  if (linearTableFog && g_linearFogInWDepth != EmulatingWBuffer()) ApplyFogMarker();
}

void SetGlideGammaRamp(const DDGAMMARAMP& ramp) {
  if (!GlideDeviceReady() || g_glide.frontSurface == nullptr) return;
  IDirectDrawGammaControl* gamma = nullptr;
  if (FAILED(g_glide.frontSurface->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&gamma))) ||
      gamma == nullptr) {
    return;
  }
  gamma->SetGammaRamp(0, const_cast<DDGAMMARAMP*>(&ramp));
  gamma->Release();
}

void SetIdentityGammaRamp() {
  DDGAMMARAMP ramp;
  for (int i = 0; i < 256; ++i) {
    const WORD v = i == 255 ? 65535 : static_cast<WORD>(i * 256);
    ramp.red[i] = ramp.green[i] = ramp.blue[i] = v;
  }
  SetGlideGammaRamp(ramp);
}

extern "C" {

void FX_CALL grFogColorValue(GrColor_t color) {
  g_glideState.fogColor = color;
  g_glideState.fogColorArgb = ColorToArgb(color);
  GlideRenderState(D3DRENDERSTATE_FOGCOLOR, g_glideState.fogColorArgb);
}

void FX_CALL grFogMode(GrFogMode_t mode) {
  if (g_glide.settings.noFog) return;
  g_glideState.fogMode = static_cast<FxU32>(mode);
  GlideRenderState(D3DRENDERSTATE_FOGENABLE, mode != 0 ? 1 : 0);
  if (mode & GR_FOG_WITH_TABLE) ApplyFogMarker();
}

void FX_CALL grFogTable(const GrFog_t table[GR_FOG_TABLE_SIZE]) {
  if (g_glide.settings.noFog) return;
  std::memcpy(g_currentFogTable, table, sizeof g_currentFogTable);
  if (g_glideState.fogMode & GR_FOG_WITH_TABLE) ApplyFogMarker();
}

void FX_CALL guFogGenerateExp(GrFog_t table[GR_FOG_TABLE_SIZE], float density) {
  table[0] = kMarkerExp;
  WriteFloatAt(table, 1, density);
}

void FX_CALL guFogGenerateExp2(GrFog_t table[GR_FOG_TABLE_SIZE], float density) {
  table[0] = kMarkerExp2;
  WriteFloatAt(table, 1, density);
}

void FX_CALL guFogGenerateLinear(GrFog_t table[GR_FOG_TABLE_SIZE], float start, float end) {
  table[0] = kMarkerLinear;
  WriteFloatAt(table, 5, start);
  WriteFloatAt(table, 9, end);
}

float FX_CALL guFogTableIndexToW(int i) { return 1.0f - static_cast<float>(i) / 64.0f; }

// A linear ramp scaled by the gamma value (plus GammaBase), saturating at 65535.
void FX_CALL grGammaCorrectionValue(float value) {
  if (g_glide.settings.noGammaControl) return;
  const float x = value + g_glide.settings.gammaBase;
  DDGAMMARAMP ramp;
  for (int i = 0; i < 256; ++i) {
    WORD v = 0;
    if (x > 0.0f) {
      const float scaled = static_cast<float>(i) * x * 65535.0f / 255.0f;
      // 0 x infinity is NaN: no float converts out of range.
      v = !(scaled > 0.0f) ? 0 : (scaled >= 65535.0f ? 65535 : static_cast<WORD>(scaled));
    }
    ramp.red[i] = ramp.green[i] = ramp.blue[i] = v;
  }
  SetGlideGammaRamp(ramp);
}

}  // extern "C"
