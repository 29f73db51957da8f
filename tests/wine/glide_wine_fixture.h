// The screen every Glide test under Wine draws on: ONDREL.INI in the system
// directory (16BPP=0, NoSplash=1), a 640 x 480 window-mode screen opened on the
// test's window, and helpers for vertices, quads, textures and the back buffer.
#ifndef KR_TESTS_WINE_GLIDE_WINE_FIXTURE_H
#define KR_TESTS_WINE_GLIDE_WINE_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <glide.h>
#include <korvathd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/main_window.h"
#include "support/surface_pixels.h"

constexpr int kWidth = 640;
constexpr int kHeight = 480;

inline int ColourDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    largest = std::max(largest, abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return largest;
}

class GlideWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteIni("");
    window_ = winsupport::CreateMainWindow(kWidth, kHeight, "Glide test");
    ASSERT_NE(window_, nullptr);
    SetActiveWindow(window_);
    grGlideInit();
    ASSERT_EQ(OpenScreen(), FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
  }

  void TearDown() override {
    grGlideShutdown();
    winsupport::DestroyMainWindow(window_);
  }

  // ONDREL.INI with `videoLines` added to its [Video] section.
  static void WriteIni(const std::string& videoLines) {
    char directory[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(directory, MAX_PATH), 0u);
    std::ofstream ini(std::string(directory) + "\\ONDREL.INI", std::ios::binary | std::ios::trunc);
    ini << "[Video]\r\n16BPP=0\r\n" << videoLines << "[Splash]\r\nNoSplash=1\r\n";
  }

  FxBool OpenScreen() const {
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window_)), GR_RESOLUTION_640x480, 0,
                        GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
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

  static void Quad(float x0, float y0, float x1, float y1, uint32_t rgb, float a = 255.0f, float w = 1.0f) {
    GrVertex v[4] = {Vertex(x0, y0, rgb, a), Vertex(x1, y0, rgb, a), Vertex(x1, y1, rgb, a), Vertex(x0, y1, rgb, a)};
    for (GrVertex& vertex : v) vertex.oow = 1.0f / w;
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

#endif
