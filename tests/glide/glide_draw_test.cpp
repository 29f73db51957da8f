// Vertices as the device receives them, the draw calls' primitives, flags and
// counts, the clear, the render buffer and the swap on the virtual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "glide_fixture.h"

namespace {

class GlideDrawTest : public GlideTest {
 protected:
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const sim::TextRun& run : sim::TextRuns()) texts.push_back(run.text);
    return texts;
  }
  static float FloatState(D3DRENDERSTATETYPE state) {
    const DWORD bits = RenderState(state);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // The last draw's screen positions as x, y pairs.
  static std::vector<float> Positions() {
    std::vector<float> xy;
    for (const D3DTLVERTEX& v : LastVertices()) xy.insert(xy.end(), {v.sx, v.sy});
    return xy;
  }
};

TEST_F(GlideDrawTest, TheSnapBiasGoesAndOnlyTheFractionStays) {
  Open();
  GrVertex a = Vertex(786432.5f, 4095.0f), b = Vertex(4096.0f, 3e9f), c = Vertex(-5.0f, 8191.75f);
  grDrawTriangle(&a, &b, &c);
  // At 2^31 and beyond nothing converts.
  EXPECT_EQ(Positions(), (std::vector<float>{0.5f, 4095.0f, 0.0f, 3e9f, -5.0f, 4095.75f}));
  // 2^31 itself stays, the float below it converts; -0 stays -0.
  GrVertex d = Vertex(2147483648.0f, 2147483520.0f), e = Vertex(-0.0f, -0.0f);
  grDrawLine(&d, &e);
  EXPECT_EQ(Positions(), (std::vector<float>{2147483648.0f, 3968.0f, 0.0f, 0.0f}));
  EXPECT_TRUE(std::signbit(Positions()[2]) && std::signbit(Positions()[3]));
}

TEST_F(GlideDrawTest, ALowerLeftOriginFlipsYAndReversesTheListButNotTheIndexedVertices) {
  Open(GR_RESOLUTION_640x480, GR_ORIGIN_LOWER_LEFT);
  GrVertex a = Vertex(1, 0), b = Vertex(2, 10), c = Vertex(3, 20);
  grDrawTriangle(&a, &b, &c);
  EXPECT_EQ(Positions(), (std::vector<float>{3.0f, 460.0f, 2.0f, 470.0f, 1.0f, 480.0f}));
  GrState lowerLeft;
  grGlideGetState(&lowerLeft);
  grSstOrigin(GR_ORIGIN_UPPER_LEFT);
  grDrawTriangle(&a, &b, &c);
  EXPECT_EQ(Positions()[0], 1.0f);
  EXPECT_EQ(Positions()[1], 0.0f);
  grGlideSetState(&lowerLeft);
  grDrawTriangle(&a, &b, &c);
  EXPECT_EQ(LastVertices()[0].sx, 3.0f);

  GrVertex list[4] = {Vertex(0, 0), Vertex(1, 0), Vertex(2, 0), Vertex(3, 0)};
  const int indices[3] = {0, 3, 1};
  grDrawPolygon(3, indices, list);
  sim::Direct3DDraw draw = LastDraw();
  EXPECT_TRUE(draw.indexed);
  EXPECT_EQ(draw.indices, (std::vector<WORD>{1, 3, 0}));
  EXPECT_EQ(draw.vertexCount, 4u);  // up to the highest index
  std::vector<D3DTLVERTEX> drawn = draw.Vertices<D3DTLVERTEX>();
  EXPECT_EQ(drawn[3].sx, 3.0f);
  EXPECT_EQ(draw.flags, static_cast<DWORD>(D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS));
}

TEST_F(GlideDrawTest, DepthModesGiveDepthAndPerspective) {
  SetWBuffering(true);
  Open();
  GrVertex a = Vertex(0, 0);
  a.ooz = 65535.0f;
  a.oow = 0.25f;
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].sz, 1.0f);
  EXPECT_EQ(LastVertices()[0].rhw, 0.25f);  // the vertex's perspective
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].sz, 0.0f);
  EXPECT_EQ(LastVertices()[0].rhw, 0.25f);
  a.oow = -1.0f;
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].rhw, -1.0f);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].rhw, 1.0f);
  a.oow = INFINITY;
  grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
  a.ooz = 0.0f;
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].rhw, 1.0f);
  EXPECT_EQ(LastVertices()[0].sz, 1.0f);  // left as the entry held it
  GrFog_t table[GR_FOG_TABLE_SIZE] = {};
  guFogGenerateLinear(table, 10.0f, 20.0f);
  grFogTable(table);
  grFogMode(GR_FOG_WITH_TABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_USEW));
  EXPECT_EQ(FloatState(D3DRENDERSTATE_FOGTABLESTART), 10.0f);  // the device fogs by w itself
}

// A device that takes D3DZB_USEW as an ordinary z-buffer: w-buffer mode gives it
// a depth growing with w, and linear fog distances the same way.
TEST_F(GlideDrawTest, WithoutWBufferingWModeGivesAnOrdinaryZBufferADepthOfW) {
  Open();
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  grBufferSwap(1);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  const float oows[] = {1.0f / 10, 1.0f / 200, 2.0f, 0.0f, -1.0f, NAN};
  const float depths[] = {1.0f - 1.0f / 10, 1.0f - 1.0f / 200, 0.0f, 1.0f, 1.0f, 0.0f};
  for (int i = 0; i < 6; ++i) {
    GrVertex a = Vertex(0, 0);
    a.oow = oows[i];
    a.ooz = 65535.0f;
    grDrawPoint(&a);
    EXPECT_EQ(LastVertices()[0].sz, depths[i]) << i;
    if (!std::isnan(oows[i])) {
      EXPECT_EQ(LastVertices()[0].rhw, oows[i]) << i;
    }
  }
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  GrVertex a = Vertex(0, 0);
  a.ooz = 65535.0f;
  a.oow = 0.1f;
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].sz, 1.0f);

  GrFog_t table[GR_FOG_TABLE_SIZE] = {};
  guFogGenerateLinear(table, 10.0f, 0.0f);
  grFogTable(table);
  grFogMode(GR_FOG_WITH_TABLE);
  EXPECT_EQ(FloatState(D3DRENDERSTATE_FOGTABLESTART), 10.0f);  // z-buffer mode: as the game gives them
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  EXPECT_FLOAT_EQ(FloatState(D3DRENDERSTATE_FOGTABLESTART), 0.9f);
  EXPECT_EQ(FloatState(D3DRENDERSTATE_FOGTABLEEND), 0.0f);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_LINEAR));
  guFogGenerateLinear(table, 200.0f, 1e30f);
  grFogTable(table);
  EXPECT_FLOAT_EQ(FloatState(D3DRENDERSTATE_FOGTABLESTART), 0.995f);
  EXPECT_EQ(FloatState(D3DRENDERSTATE_FOGTABLEEND), 1.0f);
  grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
  EXPECT_EQ(FloatState(D3DRENDERSTATE_FOGTABLESTART), 200.0f);
  sim::ClearCalls();
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);  // no change of distances: no fog states
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderState"), 1);
  guFogGenerateExp(table, 0.5f);
  grFogTable(table);
  sim::ClearCalls();
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);  // exponential fog stays as it is
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderState"), 1);
}

TEST_F(GlideDrawTest, ColoursAreClampedAndChosenByTheLocalSources) {
  Open();
  GrVertex a = Vertex(0, 0);
  a.r = 300.0f;
  a.g = NAN;
  a.b = 7.9f;
  a.a = -4.0f;
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, 0, GR_COMBINE_LOCAL_ITERATED, 0, FXFALSE);
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_ITERATED, 0, FXFALSE);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0x00FF0007u);
  EXPECT_EQ(LastVertices()[0].specular, 0u);
  a.a = 0x12;
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].specular, 0x12121212u);
  grConstantColorValue(0xAABBCCDD);
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_CONSTANT, 0, FXFALSE);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0xAAFF0007u);
  grColorCombine(1, 0, GR_COMBINE_LOCAL_CONSTANT, 0, FXFALSE);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0xAABBCCDDu);
  EXPECT_EQ(LastVertices()[0].specular, 0u);
  grConstantColorValue4(1.0f, 2.0f, 3.0f, 4.0f);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0x01020304u);
  grConstantColorValue(0xAABBCCDD);
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_ITERATED, 0, FXFALSE);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0x12BBCCDDu);
  grAlphaCombine(1, 0, GR_COMBINE_LOCAL_DEPTH, 0, FXFALSE);
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].color, 0x12BBCCDDu);  // left as it was
}

TEST_F(GlideDrawTest, TextureCoordinatesDivideByOowAndZeroOowGivesZero) {
  Open();
  GrVertex a = Vertex(0, 0);
  a.oow = 0.5f;
  a.tmuvtx[0].sow = 64.0f;
  a.tmuvtx[0].tow = 128.0f;
  grDrawPoint(&a);
  EXPECT_FLOAT_EQ(LastVertices()[0].tu, (128.0f + 0.2f) / 256.0f);
  EXPECT_FLOAT_EQ(LastVertices()[0].tv, (256.0f + 0.2f) / 256.0f);
  a.oow = 0.0f;
  grDrawPoint(&a);
  EXPECT_EQ(LastVertices()[0].tu, 0.0f);
  EXPECT_EQ(LastVertices()[0].tv, 0.0f);
}

TEST_F(GlideDrawTest, ScaleFixScalesVerticesAndTheClipWindow) {
  WriteIni("[Video]\n16BPP=0\nScaleFix=1\n640x480=800x600\n[Splash]\nNoSplash=1\n");
  Open(GR_RESOLUTION_640x480, GR_ORIGIN_LOWER_LEFT);
  GrVertex a = Vertex(320, 240);
  grDrawPoint(&a);
  EXPECT_FLOAT_EQ(LastVertices()[0].sx, 400.0f);
  EXPECT_FLOAT_EQ(LastVertices()[0].sy, 300.0f);
  grClipWindow(0, 0, 320, 240);
  EXPECT_EQ(ViewportRect(), (std::vector<DWORD>{0, 0, 400, 300}));
}

TEST_F(GlideDrawTest, EachCallHasItsPrimitiveFlagsAndTriangleCount) {
  Open();
  GrVertex list[6] = {Vertex(0, 0), Vertex(9, 0), Vertex(9, 9), Vertex(0, 9), Vertex(5, 5), Vertex(1, 1)};
  const int indices[6] = {0, 1, 2, 3, 4, 5};
  const DWORD clipped = D3DDP_DONOTUPDATEEXTENTS, unclipped = D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS;
  struct Expected {
    D3DPRIMITIVETYPE primitive;
    DWORD count, flags;
    int triangles;
  };
  std::vector<Expected> expected;
  grDrawPoint(&list[0]);
  expected.push_back({D3DPT_POINTLIST, 1, clipped, 0});
  grDrawLine(&list[0], &list[1]);
  expected.push_back({D3DPT_LINELIST, 2, clipped, 0});
  grDrawTriangle(&list[0], &list[1], &list[2]);
  expected.push_back({D3DPT_TRIANGLELIST, 3, unclipped, 1});
  guDrawTriangleWithClip(&list[0], &list[1], &list[2]);
  expected.push_back({D3DPT_TRIANGLELIST, 3, clipped, 1});
  grDrawPolygonVertexList(5, list);
  expected.push_back({D3DPT_TRIANGLEFAN, 5, unclipped, 1});
  grDrawPlanarPolygonVertexList(6, list);
  expected.push_back({D3DPT_TRIANGLEFAN, 6, clipped, 2});
  guDrawPolygonVertexListWithClip(4, list);
  expected.push_back({D3DPT_TRIANGLEFAN, 4, clipped, 1});
  grDrawPlanarPolygon(6, indices, list);
  expected.push_back({D3DPT_TRIANGLEFAN, 6, unclipped, 2});
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), expected.size());
  int triangles = 0;
  for (size_t i = 0; i < draws.size(); ++i) {
    EXPECT_EQ(draws[i].primitive, expected[i].primitive) << i;
    EXPECT_EQ(draws[i].vertexCount, expected[i].count) << i;
    EXPECT_EQ(draws[i].flags, expected[i].flags) << i;
    EXPECT_EQ(draws[i].vertexFormat, 0x1C4u) << i;
    triangles += expected[i].triangles;
  }
  EXPECT_EQ(g_trianglesThisFrame, triangles);
}

TEST_F(GlideDrawTest, OutOfRangeCountsAndIndicesDrawNothing) {
  Open();
  static GrVertex list[4097];
  static int indices[4097];
  grDrawPolygonVertexList(2, list);
  grDrawPolygonVertexList(4097, list);
  grDrawPolygon(4097, indices, list);
  indices[1] = -1;
  grDrawPolygon(3, indices, list);
  indices[1] = 4096;
  grDrawPolygon(3, indices, list);
  indices[1] = 4095;
  grDrawPolygon(3, indices, list);
  EXPECT_EQ(sim::Direct3DDraws().size(), 1u);
  EXPECT_EQ(LastDraw().vertexCount, 4096u);
  grDrawPolygonVertexList(4096, list);
  EXPECT_EQ(sim::Direct3DDraws().size(), 2u);
  EXPECT_EQ(g_trianglesThisFrame, 1 + 4096 / 3);
  indices[1] = 1;
  indices[3] = 4000;  // past the count: not read
  grDrawPolygon(3, indices, list);
  EXPECT_EQ(LastDraw().vertexCount, 3u);
}

TEST_F(GlideDrawTest, AntialiasedCallsSetAndClearTheirStatesAround) {
  Open();
  GrVertex list[3] = {Vertex(0, 0), Vertex(9, 0), Vertex(9, 9)};
  grAADrawTriangle(&list[0], &list[1], &list[2], FXTRUE, FXFALSE, FXTRUE);
  EXPECT_EQ(LastDraw().RenderState(D3DRENDERSTATE_ANTIALIAS), static_cast<DWORD>(D3DANTIALIAS_SORTINDEPENDENT));
  EXPECT_EQ(LastDraw().RenderState(D3DRENDERSTATE_EDGEANTIALIAS), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ANTIALIAS), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_EDGEANTIALIAS), 0u);
  const int indices[3] = {0, 1, 2};
  grAADrawPoint(&list[0]);
  grAADrawLine(&list[0], &list[1]);
  guAADrawTriangleWithClip(&list[0], &list[1], &list[2]);
  grAADrawPolygon(3, indices, list);
  grAADrawPolygonVertexList(3, list);
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 6u);
  for (const sim::Direct3DDraw& draw : draws) EXPECT_EQ(draw.RenderState(D3DRENDERSTATE_EDGEANTIALIAS), 1u);
  EXPECT_EQ(draws[3].flags, static_cast<DWORD>(D3DDP_DONOTUPDATEEXTENTS));
}

TEST_F(GlideDrawTest, ClearsByDepthMode) {
  Open(GR_RESOLUTION_640x480, GR_ORIGIN_UPPER_LEFT, 1, GR_COLORFORMAT_ABGR);
  grBufferClear(0x00332211, 0, 0xFFFF);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grBufferClear(0, 0, 0xFFFF);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grBufferClear(0, 0, 0x8000);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS);
  grBufferClear(0, 0, 0);
  std::vector<sim::Direct3DClear> clears = sim::Direct3DClears();
  ASSERT_EQ(clears.size(), 3u);
  EXPECT_EQ(clears[0].flags, static_cast<DWORD>(D3DCLEAR_TARGET));
  EXPECT_EQ(clears[0].colour, 0x00112233u);
  EXPECT_EQ(clears[1].flags, static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
  EXPECT_EQ(clears[1].z, 1.0f);
  EXPECT_FLOAT_EQ(clears[2].z, 32768.0f / 65535.0f);
}

TEST_F(GlideDrawTest, TheRenderBufferPicksTheTarget) {
  Open();
  grRenderBuffer(GR_BUFFER_FRONTBUFFER);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).target, g_glide.frontSurface);
  grRenderBuffer(GR_BUFFER_AUXBUFFER);
  EXPECT_EQ(g_glideState.renderBuffer, 2u);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).target, g_glide.frontSurface);
  grRenderBuffer(GR_BUFFER_BACKBUFFER);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).target, g_glide.backSurface);
}

TEST_F(GlideDrawTest, TheSwapShowsTheCountAndARateRefreshedEvery200Ms) {
  Open();
  GrVertex list[3] = {Vertex(0, 0), Vertex(9, 0), Vertex(9, 9)};
  grDrawTriangle(&list[0], &list[1], &list[2]);
  sim::ClearCalls();
  grBufferSwap(1);
  const int shown = FirstCall("IDirectDrawSurface4::Blt");
  EXPECT_GE(shown, 0);
  const int ended = FirstCall("IDirect3DDevice3::EndScene");
  EXPECT_GE(ended, 0);
  EXPECT_LT(ended, shown) << "ended, then shown";
  EXPECT_LT(shown, FirstCall("IDirect3DDevice3::BeginScene")) << "shown, then begun";
  std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "Triangles per frame = 1");
  EXPECT_EQ(texts.back(), "Frames per second =   0.00");
  EXPECT_EQ(g_trianglesThisFrame, 0);
  EXPECT_TRUE(sim::DescribeDirect3DDevice(Device()).inScene);
  sim::AdvanceClock(50);
  grBufferSwap(1);
  EXPECT_EQ(Texts().back(), "Frames per second =   0.00");  // within 200 ms: kept
  sim::AdvanceClock(150);
  grBufferSwap(1);
  EXPECT_EQ(Texts().back(), "Frames per second =   0.00");  // at 200 ms exactly: still kept
  sim::AdvanceClock(151);
  grBufferSwap(1);
  EXPECT_EQ(Texts().back(), "Frames per second =   6.62");
}

TEST_F(GlideDrawTest, TheRateRefreshSurvivesTheTickCountsWrap) {
  Open();
  sim::SetNow(0xFFFFFF00u);
  grBufferSwap(1);
  sim::AdvanceClock(0x200);
  grBufferSwap(1);
  EXPECT_EQ(Texts().back(), "Frames per second =   1.95");
}

TEST_F(GlideDrawTest, EverySceneBeginPutsGlidesStatesBack) {
  Open();
  grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, 0, 0, 1, FXFALSE);
  grDitherMode(GR_DITHER_DISABLE);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_POINT_SAMPLED);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
  grBufferSwap(1);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_SPECULARENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DITHERENABLE), 0u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 1u);
  EXPECT_EQ(StageState(D3DTSS_MINFILTER), static_cast<DWORD>(D3DTFN_LINEAR));
  EXPECT_EQ(StageState(D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTFG_POINT));
  EXPECT_EQ(StageState(D3DTSS_MIPFILTER), static_cast<DWORD>(D3DTFP_LINEAR));
}

}  // namespace
