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

namespace {

const int kWidth = 640;
const int kHeight = 480;

int ColourDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    largest = std::max(largest, abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return largest;
}

class GlideWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char directory[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(directory, MAX_PATH), 0u);
    std::ofstream ini(std::string(directory) + "\\ONDREL.INI", std::ios::binary | std::ios::trunc);
    ini << "[Video]\r\n16BPP=0\r\n[Splash]\r\nNoSplash=1\r\n";
    ini.close();
    window_ = winsupport::CreateMainWindow(kWidth, kHeight, "Glide test");
    ASSERT_NE(window_, nullptr);
    SetActiveWindow(window_);
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window_)), GR_RESOLUTION_640x480, 0,
                           GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1),
              FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
  }

  void TearDown() override {
    grGlideShutdown();
    winsupport::DestroyMainWindow(window_);
  }

  // The back buffer as the swap left it.
  static uint32_t Pixel(int x, int y) {
    IDirectDrawSurface4* front = nullptr;
    IDirectDrawSurface4* back = nullptr;
    KRVideoGetDirectDrawSurfaceInterface(&front, &back);
    uint32_t rgb = 0xDEADBEEF;
    EXPECT_TRUE(winsupport::ReadPixel(back, x, y, &rgb));
    front->Release();
    back->Release();
    return rgb;
  }

  static GrVertex Vertex(float x, float y, uint32_t rgb, float a = 255.0f) {
    GrVertex v = {};
    v.x = x;
    v.y = y;
    v.r = static_cast<float>((rgb >> 16) & 0xFF);
    v.g = static_cast<float>((rgb >> 8) & 0xFF);
    v.b = static_cast<float>(rgb & 0xFF);
    v.a = a;
    v.oow = 1.0f;
    v.ooz = 0.0f;
    return v;
  }

  static void Quad(float x0, float y0, float x1, float y1, uint32_t rgb, float a = 255.0f) {
    GrVertex v[4] = {Vertex(x0, y0, rgb, a), Vertex(x1, y0, rgb, a), Vertex(x1, y1, rgb, a), Vertex(x0, y1, rgb, a)};
    grDrawPolygonVertexList(4, v);
  }

  // A 16 x 16 texture of four quadrants, downloaded and selected.
  static void Checker(GrTextureFormat_t format, const uint16_t quadrants[4]) {
    static uint16_t texels[16 * 16];
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) texels[y * 16 + x] = quadrants[(y / 8) * 2 + x / 8];
    }
    GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format, texels};
    grTexDownloadMipMap(GR_TMU0, 0, 3, &info);
    grTexSource(GR_TMU0, 0, 3, &info);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
  }

  // A quad showing the whole texture: Glide coordinates run 0 to 256 across any texture.
  static void TexturedQuad(float x0, float y0, float x1, float y1) {
    GrVertex v[4] = {Vertex(x0, y0, 0), Vertex(x1, y0, 0), Vertex(x1, y1, 0), Vertex(x0, y1, 0)};
    const float s[4] = {0, 256, 256, 0}, t[4] = {0, 0, 256, 256};
    for (int i = 0; i < 4; ++i) {
      v[i].tmuvtx[0].sow = s[i];
      v[i].tmuvtx[0].tow = t[i];
    }
    grDrawPolygonVertexList(4, v);
  }

  HWND window_ = nullptr;
};

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
    GrVertex near[4] = {Vertex(100, 100, 0x00FF00), Vertex(300, 100, 0x00FF00), Vertex(300, 300, 0x00FF00),
                        Vertex(100, 300, 0x00FF00)};
    GrVertex far[4] = {Vertex(200, 200, 0xFF0000), Vertex(400, 200, 0xFF0000), Vertex(400, 400, 0xFF0000),
                       Vertex(200, 400, 0xFF0000)};
    for (GrVertex& v : near) v.ooz = 1000.0f;
    for (GrVertex& v : far) v.ooz = 50000.0f;
    grDrawPolygonVertexList(4, near);
    grDrawPolygonVertexList(4, far);  // behind: hidden where they overlap
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

TEST_F(GlideWineTest, AChromaKeyLeavesTheBackground) {
  grBufferClear(0x00000080, 0, 0);
  const uint16_t quadrants[4] = {0xF800, 0x0000, 0x0000, 0xF800};
  Checker(GR_TEXFMT_RGB_565, quadrants);
  grChromakeyValue(0x00FF0000);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  TexturedQuad(0, 0, 256, 256);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(64, 64), 0x000080), 8) << "keyed away";
  EXPECT_LE(ColourDistance(Pixel(192, 64), 0x000000), 8) << "drawn";
}

TEST_F(GlideWineTest, BlendingMixesWithTheBackground) {
  grBufferClear(0x000000FF, 0, 0);
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
  Quad(100, 100, 300, 300, 0xFF0000, 128.0f);
  grBufferSwap(1);
  EXPECT_LE(ColourDistance(Pixel(200, 200), 0x80007F), 12);
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
