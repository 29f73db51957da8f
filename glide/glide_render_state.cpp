// The Glide state record and the render states each state call sets: every
// call records its arguments first, then sets the device's states.
#include <cstring>

#include "glide/glide_state.h"

GlideStateRecord g_glideState;

namespace {

// Glide blend factor as source and as destination; 0 where Direct3D has no counterpart.
DWORD BlendOf(FxU32 factor, bool source) {
  switch (factor) {
    case 0: return D3DBLEND_ZERO;
    case 1: return D3DBLEND_SRCALPHA;
    case 2: return source ? D3DBLEND_DESTCOLOR : D3DBLEND_SRCCOLOR;
    case 3: return D3DBLEND_DESTALPHA;
    case 4: return D3DBLEND_ONE;
    case 5: return D3DBLEND_INVSRCALPHA;
    case 6: return source ? D3DBLEND_INVDESTCOLOR : D3DBLEND_INVSRCCOLOR;
    case 7: return D3DBLEND_INVDESTALPHA;
    case 15: return D3DBLEND_ONE;
  }
  return 0;
}

// The clip edge in -1..1 screen units.
float ClipEdge(FxU32 value, int physical, float scale) {
  float quotient = static_cast<float>(value) * 2.0f / static_cast<float>(physical);
  if (g_glide.settings.scaleFix) quotient *= scale;
  return quotient - 1.0f;
}

}  // namespace

void GlideRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (GlideDeviceReady()) g_glide.d3dDevice->SetRenderState(state, value);
}

DWORD DepthEnableState(FxU32 mode) {
  if (mode == GR_DEPTHBUFFER_DISABLE) return D3DZB_FALSE;
  // Emulated w-buffering writes depths of its own into an ordinary z-buffer.
  if (mode == GR_DEPTHBUFFER_ZBUFFER || (mode == GR_DEPTHBUFFER_WBUFFER && !g_glide.deviceWBuffers)) return D3DZB_TRUE;
  return D3DZB_USEW;
}

void SetDefaultGlideState(GrColorFormat_t colorFormat, GrOriginLocation_t origin) {
  GlideStateRecord& r = g_glideState;
  r.colorFormat = static_cast<FxU32>(colorFormat);
  r.originLocation = static_cast<FxU32>(origin);
  r.renderBuffer = GR_BUFFER_BACKBUFFER;
  r.cullMode = GR_CULL_DISABLE;
  r.clipMinX = r.clipMinY = 0;
  r.clipMaxX = static_cast<FxU32>(g_glide.glideWidth);
  r.clipMaxY = static_cast<FxU32>(g_glide.glideHeight);
  r.chromakeyMode = GR_CHROMAKEY_DISABLE;
  r.chromakeyValue = 0;
  r.depthBufferMode = GR_DEPTHBUFFER_DISABLE;
  r.depthMask = 1;
  r.depthFunction = GR_CMP_LEQUAL;
  r.depthBias = 0;
  r.constantColor = 0;
  r.colorCombineFunction = GR_COMBINE_FUNCTION_LOCAL;
  r.colorCombineFactor = GR_COMBINE_FACTOR_ZERO;
  r.colorCombineLocal = GR_COMBINE_LOCAL_CONSTANT;
  r.colorCombineOther = GR_COMBINE_OTHER_CONSTANT;
  r.alphaCombineFunction = GR_COMBINE_FUNCTION_LOCAL;
  r.alphaCombineFactor = GR_COMBINE_FACTOR_ZERO;
  r.alphaCombineLocal = GR_COMBINE_LOCAL_CONSTANT;
  r.alphaCombineOther = GR_COMBINE_OTHER_CONSTANT;
  r.rgbSrcFactor = GR_BLEND_ONE;
  r.rgbDstFactor = GR_BLEND_ZERO;
  r.alphaSrcFactor = GR_BLEND_ZERO;
  r.alphaDstFactor = GR_BLEND_ZERO;
  ChooseVertexRule();
}

FxU32 ColorToArgb(GrColor_t c) {
  switch (g_glideState.colorFormat) {
    case GR_COLORFORMAT_ARGB: return c;
    case GR_COLORFORMAT_ABGR: return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
    case GR_COLORFORMAT_RGBA: return (c >> 8) | (c << 24);
    case GR_COLORFORMAT_BGRA:
      return (c >> 24) | ((c >> 8) & 0xFF00u) | ((c << 8) & 0xFF0000u) | (c << 24);
  }
  return 0;
}

// A scene begin resets depth, specular, dither, perspective and the filters: put Glide's back.
void ReapplySceneStates() {
  if (!GlideDeviceReady()) return;
  const GlideStateRecord& r = g_glideState;
  GlideRenderState(D3DRENDERSTATE_ZENABLE, DepthEnableState(r.depthBufferMode));
  GlideRenderState(D3DRENDERSTATE_SPECULARENABLE, r.colorCombineFunction == 5 ? 1 : 0);
  GlideRenderState(D3DRENDERSTATE_DITHERENABLE, r.ditherMode != 0 ? 1 : 0);
  GlideRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
  ApplyStageFilters();
}

void BeginGlideScene() {
  KR3DBeginRender(0);
  ReapplySceneStates();
}

extern "C" {

void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgbSrcFactor, GrAlphaBlendFnc_t rgbDstFactor,
                                  GrAlphaBlendFnc_t alphaSrcFactor, GrAlphaBlendFnc_t alphaDstFactor) {
  GlideStateRecord& r = g_glideState;
  r.rgbSrcFactor = static_cast<FxU32>(rgbSrcFactor);
  r.rgbDstFactor = static_cast<FxU32>(rgbDstFactor);
  r.alphaSrcFactor = static_cast<FxU32>(alphaSrcFactor);
  r.alphaDstFactor = static_cast<FxU32>(alphaDstFactor);
  const bool colourLocal = r.colorCombineLocal == GR_COMBINE_LOCAL_CONSTANT;
  if (rgbSrcFactor == GR_BLEND_ONE && rgbDstFactor == GR_BLEND_ZERO) {
    GlideRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    GlideRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, colourLocal ? D3DTBLEND_DECAL : D3DTBLEND_MODULATE);
    return;
  }
  GlideRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  // Factors without a counterpart leave their state as it was.
  if (DWORD source = BlendOf(r.rgbSrcFactor, true)) GlideRenderState(D3DRENDERSTATE_SRCBLEND, source);
  if (DWORD destination = BlendOf(r.rgbDstFactor, false)) GlideRenderState(D3DRENDERSTATE_DESTBLEND, destination);
  const bool alphaLocal = r.alphaCombineLocal == GR_COMBINE_LOCAL_CONSTANT;
  GlideRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND,
                   colourLocal ? (alphaLocal ? D3DTBLEND_DECAL : D3DTBLEND_DECALALPHA)
                               : (alphaLocal ? D3DTBLEND_MODULATE : D3DTBLEND_MODULATEALPHA));
}

void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                            GrCombineOther_t other, FxBool) {
  GlideStateRecord& r = g_glideState;
  r.alphaCombineFunction = static_cast<FxU32>(function);
  r.alphaCombineFactor = static_cast<FxU32>(factor);
  r.alphaCombineLocal = static_cast<FxU32>(local);
  r.alphaCombineOther = static_cast<FxU32>(other);
  ChooseVertexRule();
}

void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                            GrCombineOther_t other, FxBool) {
  GlideStateRecord& r = g_glideState;
  r.colorCombineFunction = static_cast<FxU32>(function);
  r.colorCombineFactor = static_cast<FxU32>(factor);
  r.colorCombineLocal = static_cast<FxU32>(local);
  r.colorCombineOther = static_cast<FxU32>(other);
  ChooseVertexRule();
  GlideRenderState(D3DRENDERSTATE_SPECULARENABLE,
                   function == GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA ? 1 : 0);
  GlideRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND,
                   factor == GR_COMBINE_FACTOR_ONE ? D3DTBLEND_DECAL : D3DTBLEND_MODULATE);
  g_tmu.boundAddress = -1;
}

void FX_CALL grAlphaTestFunction(GrCmpFnc_t function) {
  g_glideState.alphaTestFunction = static_cast<FxU32>(function);
  if (function >= GR_CMP_NEVER && function < GR_CMP_ALWAYS) {
    GlideRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
    GlideRenderState(D3DRENDERSTATE_ALPHAFUNC, static_cast<DWORD>(function + 1));
  } else if (function == GR_CMP_ALWAYS) {
    GlideRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 0);
    GlideRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_ALWAYS);
  }
}

void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value) {
  g_glideState.alphaTestReference = (g_glideState.alphaTestReference & ~0xFFu) | value;
  GlideRenderState(D3DRENDERSTATE_ALPHAREF, value);
}

void FX_CALL grChromakeyMode(GrChromakeyMode_t mode) {
  g_glideState.chromakeyMode = static_cast<FxU32>(mode);
  GlideRenderState(D3DRENDERSTATE_COLORKEYENABLE, mode == GR_CHROMAKEY_ENABLE ? 1 : 0);
  g_tmu.boundAddress = -1;  // the key goes on the texture at its next bind
}

void FX_CALL grChromakeyValue(GrColor_t value) {
  g_glideState.chromakeyValue = ColorToArgb(value);
  g_tmu.boundAddress = -1;
}

void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy) {
  GlideStateRecord& r = g_glideState;
  r.clipMinX = minx;
  r.clipMinY = miny;
  r.clipMaxX = maxx;
  r.clipMaxY = maxy;
  if (!GlideDeviceReady()) return;
  float left = ClipEdge(minx, g_glide.physicalWidth, g_glide.xScale);
  float top = ClipEdge(miny, g_glide.physicalHeight, g_glide.yScale);
  float right = ClipEdge(maxx, g_glide.physicalWidth, g_glide.xScale);
  float bottom = ClipEdge(maxy, g_glide.physicalHeight, g_glide.yScale);
  if (left < -1.0f) left = -1.0f;
  if (top < -1.0f) top = -1.0f;
  if (right > 1.0f) right = 1.0f;
  if (bottom > 1.0f) bottom = 1.0f;
  KR3DSetViewport(0, left, top, right, bottom);
}

void FX_CALL grColorMask(FxBool rgb, FxBool alpha) {
  g_glideState.rgbMask = static_cast<FxU32>(rgb);
  g_glideState.alphaMask = static_cast<FxU32>(alpha);
  GlideRenderState(D3DRENDERSTATE_PLANEMASK, (rgb == 1 ? 0x00FFFFFFu : 0u) | (alpha == 1 ? 0xFF000000u : 0u));
}

void FX_CALL grCullMode(GrCullMode_t mode) {
  g_glideState.cullMode = static_cast<FxU32>(mode);
  switch (mode) {
    case GR_CULL_DISABLE: GlideRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE); break;
    case GR_CULL_NEGATIVE: GlideRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW); break;
    case GR_CULL_POSITIVE: GlideRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW); break;
  }
}

void FX_CALL grConstantColorValue(GrColor_t value) {
  g_glideState.constantColor = ColorToArgb(value);
  ChooseVertexRule();
}

// Stored as packed ARGB: the four floats already name their channels.
void FX_CALL grConstantColorValue4(float a, float r, float g, float b) {
  auto byteOf = [](float v) -> FxU32 {
    // Out-of-range floats are not converted: the low byte of a clamped value.
    if (!(v > -2147483648.0f)) return 0;
    if (v >= 2147483647.0f) return 0xFF;
    return static_cast<FxU32>(static_cast<FxI32>(v)) & 0xFFu;
  };
  g_glideState.constantColor = (byteOf(a) << 24) | (byteOf(r) << 16) | (byteOf(g) << 8) | byteOf(b);
  ChooseVertexRule();
}

void FX_CALL grDepthBiasLevel(FxI16 level) {
  g_glideState.depthBias = (g_glideState.depthBias & 0xFFFF0000u) | static_cast<FxU16>(level);
  GlideRenderState(D3DRENDERSTATE_ZBIAS, static_cast<DWORD>(static_cast<int>(level) >> 12));
}

void FX_CALL grDepthBufferFunction(GrCmpFnc_t function) {
  g_glideState.depthFunction = static_cast<FxU32>(function);
  if (function >= GR_CMP_NEVER && function <= GR_CMP_ALWAYS) {
    GlideRenderState(D3DRENDERSTATE_ZFUNC, static_cast<DWORD>(function + 1));
  }
}

void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode) {
  g_glideState.depthBufferMode = static_cast<FxU32>(mode);
  GlideRenderState(D3DRENDERSTATE_ZENABLE, DepthEnableState(g_glideState.depthBufferMode));
  ChooseVertexRule();
  FogFollowsDepthMode();
}

void FX_CALL grDepthMask(FxBool enable) {
  g_glideState.depthMask = static_cast<FxU32>(enable);
  GlideRenderState(D3DRENDERSTATE_ZWRITEENABLE, enable == 1 ? 1 : 0);
}

void FX_CALL grDitherMode(GrDitherMode_t mode) {
  g_glideState.ditherMode = static_cast<FxU32>(mode);
  GlideRenderState(D3DRENDERSTATE_DITHERENABLE, mode != 0 ? 1 : 0);
}

void FX_CALL grSstOrigin(GrOriginLocation_t origin) {
  g_glideState.originLocation = static_cast<FxU32>(origin);
  ChooseVertexRule();
}

void FX_CALL grDisableAllEffects(void) {
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  grAlphaTestFunction(GR_CMP_ALWAYS);
  grChromakeyMode(GR_CHROMAKEY_DISABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
  grFogMode(GR_FOG_DISABLE);
}

void FX_CALL guColorCombineFunction(GrColorCombineFnc_t function) {
  switch (function) {
    case GR_COLORCOMBINE_ZERO: grColorCombine(0, 0, 1, 2, FXFALSE); break;
    case GR_COLORCOMBINE_CCRGB: grColorCombine(1, 8, 1, 2, FXFALSE); break;
    case GR_COLORCOMBINE_ITRGB: grColorCombine(1, 8, 0, 2, FXFALSE); break;
    case GR_COLORCOMBINE_DECAL_TEXTURE:
    case GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB: grColorCombine(1, 8, 1, 1, FXFALSE); break;
    case GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB:
    case GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA:
    case GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA: grColorCombine(1, 8, 0, 1, FXFALSE); break;
    case GR_COLORCOMBINE_ONE: grColorCombine(1, 0, 1, 2, FXFALSE); break;
  }
}

void FX_CALL grGlideGetState(GrState* state) { std::memcpy(state, &g_glideState, sizeof(g_glideState)); }

void FX_CALL grGlideSetState(const GrState* state) {
  std::memcpy(&g_glideState, state, sizeof(g_glideState));
  const GlideStateRecord r = g_glideState;
  grAlphaBlendFunction(static_cast<GrAlphaBlendFnc_t>(r.rgbSrcFactor), static_cast<GrAlphaBlendFnc_t>(r.rgbDstFactor),
                       static_cast<GrAlphaBlendFnc_t>(r.alphaSrcFactor),
                       static_cast<GrAlphaBlendFnc_t>(r.alphaDstFactor));
  grClipWindow(r.clipMinX, r.clipMinY, r.clipMaxX, r.clipMaxY);
  grCullMode(static_cast<GrCullMode_t>(r.cullMode));
  grDepthBufferMode(static_cast<GrDepthBufferMode_t>(r.depthBufferMode));
  grDepthMask(static_cast<FxBool>(r.depthMask));
  grDepthBufferFunction(static_cast<GrCmpFnc_t>(r.depthFunction));
  grDepthBiasLevel(static_cast<FxI16>(r.depthBias & 0xFFFFu));
  grRenderBuffer(static_cast<GrBuffer_t>(r.renderBuffer));
  g_tmu.boundAddress = -1;  // the restored combine and key may need a new bind
  ChooseVertexRule();       // the restored origin and combine, and the open's scale and device
}

}  // extern "C"
