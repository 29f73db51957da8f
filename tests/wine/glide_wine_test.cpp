// Ondrel's glide2x.dll on the real KORVATHD.DLL under Wine: a window-mode screen
// (ONDREL.INI in the system directory: 16BPP=0, NoSplash=1), drawing through the
// Glide entry points, and the back buffer read back after the swap.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <glide.h>
#include <korvathd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/main_window.h"
#include "support/surface_pixels.h"

#include "glide_wine_fixture.h"

namespace {

TEST_F(GlideWineTest, ClearsAndDrawsAFlatTriangle) {
  grBufferClear(0x00000080, 0, 0);
  GrVertex a = Vertex(100, 100, 0xFF0000), b = Vertex(300, 100, 0xFF0000), c = Vertex(100, 300, 0xFF0000);
  grDrawTriangle(&a, &b, &c);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(150, 150), 0xFF0000), 8);
  EXPECT_LE(ColourDistance(Pixel(400, 400), 0x000080), 8);
  EXPECT_LE(ColourDistance(Pixel(290, 290), 0x000080), 8);
}

TEST_F(GlideWineTest, DepthBufferingHoldsAcrossSwaps) {
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grDepthBufferFunction(GR_CMP_LESS);
  grDepthMask(FXTRUE);
  for (int frame = 0; frame < 3; ++frame) {
    grBufferClear(0, 0, 0xFFFF);
    GrVertex front[4] = {Vertex(100, 100, 0x00FF00), Vertex(300, 100, 0x00FF00), Vertex(300, 300, 0x00FF00),
                        Vertex(100, 300, 0x00FF00)};
    GrVertex behind[4] = {Vertex(200, 200, 0xFF0000), Vertex(400, 200, 0xFF0000), Vertex(400, 400, 0xFF0000),
                       Vertex(200, 400, 0xFF0000)};
    for (GrVertex& v : front) v.ooz = 1000.0f;
    for (GrVertex& v : behind) v.ooz = 50000.0f;
    grDrawPolygonVertexList(4, front);
    grDrawPolygonVertexList(4, behind);  // behind: hidden where they overlap
    grBufferSwap(1);
    EXPECT_LE(ColourDistance(Pixel(250, 250), 0x00FF00), 8) << "frame " << frame;
    EXPECT_LE(ColourDistance(Pixel(350, 350), 0xFF0000), 8) << "frame " << frame;
  }
}

TEST_F(GlideWineTest, TexturesOfEachSixteenBitFormatArePointSampled) {
  struct Case {
    GrTextureFormat_t format;
    uint16_t quadrants[4];
  };
  const Case cases[] = {{GR_TEXFMT_RGB_565, {0xF800, 0x07E0, 0x001F, 0xFFFF}},
                        {GR_TEXFMT_ARGB_1555, {0xFC00, 0x83E0, 0x801F, 0xFFFF}},
                        {GR_TEXFMT_ARGB_4444, {0xFF00, 0xF0F0, 0xF00F, 0xFFFF}}};
  const uint32_t expected[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  for (const Case& c : cases) {
    grBufferClear(0, 0, 0);
    Checker(c.format, c.quadrants);
    TexturedQuad(0, 0, 256, 256);
    grBufferSwap(1);
    EXPECT_LE(ColourDistance(Pixel(64, 64), expected[0]), 8) << c.format;
    EXPECT_LE(ColourDistance(Pixel(192, 64), expected[1]), 8) << c.format;
    EXPECT_LE(ColourDistance(Pixel(64, 192), expected[2]), 8) << c.format;
    EXPECT_LE(ColourDistance(Pixel(192, 192), expected[3]), 8) << c.format;
  }
}

// Opaque red texels keyed away, opaque black ones drawn, in each 16-bit format:
// the key carries the alpha the opaque texels have in a device format with alpha.
TEST_F(GlideWineTest, AChromaKeyLeavesTheBackground) {
  const struct {
    GrTextureFormat_t format;
    uint16_t red, black;
  } cases[] = {{GR_TEXFMT_RGB_565, 0xF800, 0x0000},
               {GR_TEXFMT_ARGB_1555, 0xFC00, 0x8000},
               {GR_TEXFMT_ARGB_4444, 0xFF00, 0xF000}};
  grChromakeyValue(0x00FF0000);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  for (const auto& c : cases) {
    grBufferClear(0x00000080, 0, 0);
    const uint16_t quadrants[4] = {c.red, c.black, c.black, c.red};
    Checker(c.format, quadrants);
    TexturedQuad(0, 0, 256, 256);
    grBufferSwap(1);
    EXPECT_LE(ColourDistance(Pixel(64, 64), 0x000080), 8) << "keyed away " << c.format;
    EXPECT_LE(ColourDistance(Pixel(192, 64), 0x000000), 8) << "drawn " << c.format;
  }
}

TEST_F(GlideWineTest, BlendingMixesWithTheBackground) {
  grBufferClear(0x000000FF, 0, 0);
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
  Quad(100, 100, 300, 300, 0xFF0000, 128.0f);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(200, 200), 0x80007F), 12);
}

// White linear table fog from `start` to `end`, the depth mode and test given, a cleared frame.
void WhiteLinearFog(float start, float end, GrDepthBufferMode_t mode, GrCmpFnc_t function) {
  GrFog_t fog[GR_FOG_TABLE_SIZE] = {};
  guFogGenerateLinear(fog, start, end);
  grFogTable(fog);
  grFogColorValue(0x00FFFFFF);
  grFogMode(GR_FOG_WITH_TABLE);
  grDepthBufferMode(mode);
  grDepthBufferFunction(function);
  grBufferClear(0, 0, 0xFFFF);
}

// Wine fogs transformed vertices by their depth: linear fog from 0 to 1 leaves half
// the fog colour at depth 0.5.
TEST_F(GlideWineTest, LinearTableFogMixesTheFogColourByDepth) {
  WhiteLinearFog(0.0f, 1.0f, GR_DEPTHBUFFER_ZBUFFER, GR_CMP_ALWAYS);
  GrVertex v[4] = {Vertex(100, 100, 0), Vertex(300, 100, 0), Vertex(300, 300, 0), Vertex(100, 300, 0)};
  for (GrVertex& vertex : v) vertex.ooz = 32767.5f;
  grDrawPolygonVertexList(4, v);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(200, 200), 0x808080), 16);
}

// Wine's devices do not w-buffer: w-buffer mode still orders by w, whichever is drawn first.
TEST_F(GlideWineTest, WBufferModeOrdersQuadsByWInEitherDrawingOrder) {
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(FXTRUE);
  for (GrCmpFnc_t function : {GR_CMP_LESS, GR_CMP_GREATER}) {
    grDepthBufferFunction(function);
    for (bool nearFirst : {false, true}) {
      grBufferClear(0, 0, function == GR_CMP_LESS ? 0xFFFF : 0);
      for (int i = 0; i < 2; ++i) {
        if ((i == 0) == nearFirst) {
          Quad(200, 200, 400, 400, 0x00FF00, 255.0f, 10.0f);
        } else {
          Quad(100, 100, 300, 300, 0xFF0000, 255.0f, 200.0f);
        }
      }
      grBufferSwap(1);
      const uint32_t wins = function == GR_CMP_LESS ? 0x00FF00 : 0xFF0000;
      EXPECT_LE(ColourDistance(Pixel(250, 250), wins), 8) << function << (nearFirst ? " near first" : " far first");
      EXPECT_LE(ColourDistance(Pixel(150, 150), 0xFF0000), 8) << function;
      EXPECT_LE(ColourDistance(Pixel(350, 350), 0x00FF00), 8) << function;
    }
  }
}

TEST_F(GlideWineTest, LinearFogInWBufferModeFogsTheFarQuadAndNotTheNearOne) {
  WhiteLinearFog(50.0f, 100.0f, GR_DEPTHBUFFER_WBUFFER, GR_CMP_LESS);
  Quad(100, 100, 200, 200, 0xFF0000, 255.0f, 10.0f);
  Quad(300, 100, 400, 200, 0xFF0000, 255.0f, 1000.0f);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(150, 150), 0xFF0000), 16) << "near: clear";
  EXPECT_LE(ColourDistance(Pixel(350, 150), 0xFFFFFF), 16) << "far: fogged";
}

TEST_F(GlideWineTest, TheOverlayIsDrawnOnEveryFrame) {
  grBufferClear(0, 0, 0);
  grBufferSwap(1);
  int lit = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 200; ++x) lit += Pixel(x, y) != 0 ? 1 : 0;
  }
  EXPECT_GT(lit, 20) << "the two text lines";
  EXPECT_EQ(Pixel(400, 300), 0u);
}

TEST_F(GlideWineTest, PerspectiveTexturesFollowOow) {
  // A quad whose right edge is four times as far: oow 1 on the left, 0.25 on the right.
  static uint16_t texels[16 * 16];
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) texels[y * 16 + x] = x < 8 ? 0xF800 : 0x001F;
  }
  GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels};
  grTexDownloadMipMap(GR_TMU0, 0, 3, &info);
  grTexSource(GR_TMU0, 0, 3, &info);
  guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grDepthBufferFunction(GR_CMP_ALWAYS);
  grBufferClear(0, 0, 0xFFFF);
  GrVertex v[4] = {Vertex(0, 0, 0), Vertex(400, 0, 0), Vertex(400, 400, 0), Vertex(0, 400, 0)};
  const float oow[4] = {1.0f, 0.25f, 0.25f, 1.0f};
  const float s[4] = {0, 256, 256, 0}, t[4] = {0, 0, 256, 256};
  for (int i = 0; i < 4; ++i) {
    v[i].oow = oow[i];
    v[i].tmuvtx[0].sow = s[i] * oow[i];
    v[i].tmuvtx[0].tow = t[i] * oow[i];
  }
  grDrawPolygonVertexList(4, v);
  grBufferSwap(1);
  // The texture's middle lies where perspective puts it: s/w and 1/w interpolated give
  // s = 4f / (1 - 0.75f), half at f = 0.8 (x = 320), not at x = 200 as linear texturing would.
  EXPECT_LE(ColourDistance(Pixel(260, 200), 0xFF0000), 8);
  EXPECT_LE(ColourDistance(Pixel(360, 200), 0x0000FF), 8);
}

TEST(GlideExportsWineTest, TheDllExportsEveryEntryPointByItsPlainName) {
  HMODULE glide = GetModuleHandleA("glide2x.dll");
  ASSERT_NE(glide, nullptr);
  std::ifstream def(ONDREL_PLAIN_DEF);
  ASSERT_TRUE(def.good());
  std::string line;
  int names = 0;
  while (std::getline(def, line)) {
    if (line.rfind("  ", 0) != 0) continue;
    std::string name = line.substr(2);
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
    EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(glide, name.c_str())), nullptr) << name;
    ++names;
  }
  EXPECT_EQ(names, 119);
}

}  // namespace
