// The state record and the render states of the state calls, fog and gamma.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "glide_fixture.h"

namespace {

using GlideStateTest = GlideTest;

FxU32 Word(int index) {
  GrState state;
  grGlideGetState(&state);
  return state.words[index];
}

TEST_F(GlideStateTest, BlendingSwitchesOffForOneZeroAndMapsFactorsBySide) {
  Open();
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_SRC_ALPHA, GR_BLEND_ONE);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREMAPBLEND), static_cast<DWORD>(D3DTBLEND_DECAL));
  // Either factor alone is not enough.
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, 0, 0);
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ZERO, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  grColorCombine(1, 0, GR_COMBINE_LOCAL_ITERATED, 2, FXFALSE);
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_ITERATED, 2, FXFALSE);
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREMAPBLEND), static_cast<DWORD>(D3DTBLEND_MODULATEALPHA));
  // Codes 2 and 6 differ as source and destination.
  grAlphaBlendFunction(2, 6, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_DESTCOLOR));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCCOLOR));
  grAlphaBlendFunction(6, 2, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_INVDESTCOLOR));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_SRCCOLOR));
  // Factors without a counterpart leave their state; 15 is ONE.
  grAlphaBlendFunction(9, 15, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_INVDESTCOLOR));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
  EXPECT_EQ(Word(29), 9u);
  EXPECT_EQ(Word(30), 15u);
  // The last caller of TEXTUREMAPBLEND wins.
  grColorCombine(1, GR_COMBINE_FACTOR_ONE, 0, 1, FXFALSE);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREMAPBLEND), static_cast<DWORD>(D3DTBLEND_DECAL));
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_CONSTANT, 2, FXFALSE);
  grColorCombine(1, 0, GR_COMBINE_LOCAL_CONSTANT, 1, FXFALSE);
  grAlphaBlendFunction(1, 5, 0, 0);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREMAPBLEND), static_cast<DWORD>(D3DTBLEND_DECAL));
}

TEST_F(GlideStateTest, TestsDepthBiasCullAndMasks) {
  Open();
  grAlphaTestFunction(GR_CMP_GREATER);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHATESTENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_GREATER));
  grAlphaTestFunction(GR_CMP_ALWAYS);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHATESTENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
  grAlphaTestFunction(8);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
  EXPECT_EQ(Word(33), 8u);

  GrState state;
  grGlideGetState(&state);
  state.words[34] = 0xABCD1200;
  state.words[17] = 0x12340000;
  grGlideSetState(&state);
  grAlphaTestReferenceValue(0x7F);
  EXPECT_EQ(Word(34), 0xABCD127Fu);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHAREF), 0x7Fu);
  grDepthBiasLevel(static_cast<FxI16>(0x8000));
  EXPECT_EQ(Word(17), 0x12348000u);
  EXPECT_EQ(static_cast<int>(RenderState(D3DRENDERSTATE_ZBIAS)), -8);
  grDepthBiasLevel(0x7FFF);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZBIAS), 7u);

  std::vector<DWORD> culls;
  for (GrCullMode_t mode : {GR_CULL_NEGATIVE, GR_CULL_POSITIVE, 7, GR_CULL_DISABLE}) {
    grCullMode(mode);
    culls.push_back(RenderState(D3DRENDERSTATE_CULLMODE));
  }
  EXPECT_EQ(culls, (std::vector<DWORD>{D3DCULL_CCW, D3DCULL_CW, D3DCULL_CW, D3DCULL_NONE}));

  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_USEW));
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  for (GrCmpFnc_t function : {GR_CMP_NEVER, 8}) {
    grDepthBufferFunction(function);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ZFUNC), static_cast<DWORD>(D3DCMP_NEVER)) << function;
  }
  grDepthMask(2);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZWRITEENABLE), 0u);
  grDepthMask(1);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZWRITEENABLE), 1u);
  grColorMask(FXTRUE, FXFALSE);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_PLANEMASK), 0x00FFFFFFu);
  grColorMask(FXFALSE, FXTRUE);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_PLANEMASK), 0xFF000000u);
  grDitherMode(GR_DITHER_4x4);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DITHERENABLE), 1u);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_COLORKEYENABLE), 1u);
}

TEST_F(GlideStateTest, ColoursConvertByTheOpensFormatAndTheFourFloatsStayArgb) {
  Open(GR_RESOLUTION_640x480, GR_ORIGIN_UPPER_LEFT, 1, GR_COLORFORMAT_RGBA);
  grConstantColorValue(0x11223344);
  EXPECT_EQ(g_glideState.constantColor, 0x44112233u);
  grFogColorValue(0x11223344);  // kept as given, converted for the device only
  EXPECT_EQ(g_glideState.fogColor, 0x11223344u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGCOLOR), 0x44112233u);
  grConstantColorValue4(255.9f, 1.0f, 2.0f, 300.0f);
  EXPECT_EQ(g_glideState.constantColor, 0xFF01022Cu);
  grConstantColorValue4(NAN, 1e20f, -1e20f, -1.0f);
  EXPECT_EQ(g_glideState.constantColor, 0x00FF00FFu);
  g_glideState.colorFormat = GR_COLORFORMAT_ABGR;
  EXPECT_EQ(ColorToArgb(0x11223344), 0x11443322u);
  g_glideState.colorFormat = GR_COLORFORMAT_BGRA;
  EXPECT_EQ(ColorToArgb(0x11223344), 0x44332211u);
  g_glideState.colorFormat = 4;
  EXPECT_EQ(ColorToArgb(0x11223344), 0u);
  g_glideState.colorFormat = GR_COLORFORMAT_ARGB;
  EXPECT_EQ(ColorToArgb(0x11223344), 0x11223344u);
}

TEST_F(GlideStateTest, TheClipWindowIsAViewportClampedOutwardOnly) {
  Open();
  grClipWindow(0, 0, 640, 480);
  EXPECT_EQ(ViewportRect(), (std::vector<DWORD>{0, 0, 640, 480}));
  grClipWindow(160, 120, 2000, 480);
  EXPECT_EQ(ViewportRect(), (std::vector<DWORD>{160, 120, 480, 360}));
  EXPECT_EQ(Word(10), 2000u);
}

TEST_F(GlideStateTest, SetStateReappliesItsStatesInOrderAndForcesABind) {
  Open();
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  GrState state;
  grGlideGetState(&state);
  g_tmu.boundAddress = 5;
  sim::ClearCalls();
  grGlideSetState(&state);
  EXPECT_EQ(g_tmu.boundAddress, -1);
  std::vector<std::string> states;
  for (const std::string& arguments : ArgumentsOf("IDirect3DDevice3::SetRenderState")) {
    states.push_back(arguments.substr(0, 3));
  }
  // Blending off with its texture blend, cull, z-enable, z-write, z-function, z-bias.
  EXPECT_EQ(states, (std::vector<std::string>{"27,", "21,", "22,", "7, ", "14,", "23,", "47,"}));
  EXPECT_EQ(sim::CountCalls("IDirect3DViewport3::SetViewport2"), 1);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderTarget"), 1);
}

TEST_F(GlideStateTest, DisableAllEffectsTurnsBlendingTestsKeyDepthAndFogOff) {
  Open();
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 0, 0);
  grAlphaTestFunction(GR_CMP_LESS);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
  grDisableAllEffects();
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(Word(31), static_cast<FxU32>(GR_BLEND_ONE));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHATESTENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_COLORKEYENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGENABLE), 0u);
  EXPECT_EQ(Word(6), 0u);
}

TEST_F(GlideStateTest, ShortcutsCallColorCombine) {
  Open();
  guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA);
  EXPECT_EQ(Word(19), 1u);
  EXPECT_EQ(Word(20), 8u);
  EXPECT_EQ(Word(21), 0u);
  EXPECT_EQ(Word(22), 1u);
  guColorCombineFunction(GR_COLORCOMBINE_ZERO);
  EXPECT_EQ(Word(19), 0u);
  EXPECT_EQ(Word(22), 2u);
  guColorCombineFunction(GR_COLORCOMBINE_ITRGB_DELTA0);
  EXPECT_EQ(Word(19), 0u);
  guColorCombineFunction(GR_COLORCOMBINE_ONE);
  EXPECT_EQ(Word(19), 1u);
  EXPECT_EQ(Word(20), 0u);
  EXPECT_EQ(Word(21), 1u);
}

TEST_F(GlideStateTest, WithoutAScreenStateCallsOnlyRecord) {
  grGlideInit();
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grClipWindow(1, 2, 3, 4);
  grFogMode(GR_FOG_WITH_TABLE);
  grGammaCorrectionValue(2.0f);
  grBufferClear(0, 0, 0);
  grBufferSwap(1);
  GrVertex v[3] = {Vertex(0, 0), Vertex(1, 0), Vertex(0, 1)};
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(g_glideState.depthBufferMode, 1u);
  EXPECT_EQ(g_glideState.clipMaxY, 4u);
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(g_trianglesThisFrame, 0);
  grSstWinClose();  // releases only what it holds, no ramp
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::QueryInterface"), 0);
}

TEST_F(GlideStateTest, FogMarkersSetTableFogInEitherOrder) {
  Open();
  GrFog_t table[GR_FOG_TABLE_SIZE];
  std::memset(table, 0x5A, sizeof table);
  guFogGenerateExp(table, 0.002f);
  EXPECT_EQ(table[0], 0xF0);
  EXPECT_EQ(table[5], 0x5A);
  grFogTable(table);
  grFogMode(GR_FOG_WITH_TABLE);
  const float density = 0.002f;
  DWORD bits;
  std::memcpy(&bits, &density, sizeof bits);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEDENSITY), bits);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_EXP));

  guFogGenerateLinear(table, 10.0f, 20.0f);
  EXPECT_EQ(table[13], 0x5A);
  grFogTable(table);
  const float end = 20.0f;
  std::memcpy(&bits, &end, sizeof bits);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEEND), bits);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_LINEAR));
  guFogGenerateExp2(table, 1.0f);
  grFogMode(GR_FOG_DISABLE);
  grFogTable(table);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_LINEAR));
  grFogMode(GR_FOG_WITH_TABLE | GR_FOG_WITH_ITERATED_ALPHA);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_EXP2));
  // FOGENABLE goes first.
  sim::ClearCalls();
  grFogMode(GR_FOG_WITH_TABLE);
  EXPECT_EQ(sim::Calls().front().arguments.substr(0, 3), "28,");
  EXPECT_FLOAT_EQ(guFogTableIndexToW(32), 0.5f);
  EXPECT_FLOAT_EQ(guFogTableIndexToW(0), 1.0f);
}

TEST_F(GlideStateTest, NoFogLeavesFogAloneButTheColourStillWorks) {
  WriteIni("[Video]\n16BPP=0\nNoFog=1\n[Splash]\nNoSplash=1\n");
  Open();
  g_glideState.fogMode = 0;
  grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
  EXPECT_EQ(g_glideState.fogMode, 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGENABLE), 0u);
  grFogColorValue(0x00123456);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGCOLOR), 0x00123456u);
  EXPECT_EQ(Word(7), 0x00123456u);
}

TEST_F(GlideStateTest, GammaRampsScaleLinearlyAndGammaBaseShiftsThem) {
  WriteIni("[Video]\n16BPP=0\nGammaBase=50\n[Splash]\nNoSplash=1\n");
  Open();
  grGammaCorrectionValue(0.5f);  // 1.0 with the base
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::QueryInterface"), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDrawGammaControl::SetGammaRamp"), 1);
  DDGAMMARAMP ramp = sim::GammaRamp();
  EXPECT_EQ(ramp.red[1], 257);
  EXPECT_EQ(ramp.blue[255], 65535);
  grGammaCorrectionValue(1.5f);
  ramp = sim::GammaRamp();
  EXPECT_EQ(ramp.green[127], 65278);
  EXPECT_EQ(ramp.green[128], 65535);
  grGammaCorrectionValue(-0.5f);
  EXPECT_EQ(sim::GammaRamp().red[255], 0);
  grGammaCorrectionValue(INFINITY);
  EXPECT_EQ(sim::GammaRamp().red[0], 0);
  EXPECT_EQ(sim::GammaRamp().red[1], 65535);
  grSstWinClose();
  ramp = sim::GammaRamp();
  EXPECT_EQ(ramp.red[254], 254 * 256);
  EXPECT_EQ(ramp.red[255], 65535);
}

TEST_F(GlideStateTest, NoGammaControlLeavesTheRampAlone) {
  WriteIni("[Video]\n16BPP=0\nNoGammaControl=1\n[Splash]\nNoSplash=1\n");
  Open();
  grGammaCorrectionValue(2.0f);
  grSstWinClose();
  EXPECT_EQ(sim::CountCalls("IDirectDrawGammaControl::SetGammaRamp"), 0);
}

}  // namespace
