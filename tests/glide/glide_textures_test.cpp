// Texture addresses, stage states, binding before draws, and downloads: the
// surface ladder, staging, decimation, non-square textures, texel conversion
// into each device format, and the device-context path.
#include <gtest/gtest.h>

#include <cstring>

#include "glide/texel_conversion.h"
#include "glide_fixture.h"

namespace {

// Device formats offered: 332, 565, 555, 1555, 4444, 8888, 888 (24 bits).
enum DeviceFormat { k332, k565, k555, k1555, k4444, k8888, k888 };

class GlideTexturesTest : public GlideTest {
 protected:
  void SetUp() override {
    GlideTest::SetUp();
    SetTextureFormats({sim::RgbFormat(8, 0xE0, 0x1C, 0x03), sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F),
                       sim::RgbFormat(16, 0x7C00, 0x03E0, 0x001F), sim::RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
                       sim::RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
                       sim::RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
                       sim::RgbFormat(24, 0xFF0000, 0xFF00, 0xFF)});
  }

  static GrTexInfo Info(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format, const void* data) {
    GrTexInfo info = {lod, lod, aspect, format, const_cast<void*>(data)};
    return info;
  }

  struct Texel {
    DeviceFormat device;
    uint16_t in;
    uint32_t out;
  };
  // Downloads each texel (a 1 x 1 texture) of `format` into its device format and reads it back.
  static void ExpectTexels(GrTextureFormat_t format, std::initializer_list<Texel> texels) {
    for (Texel texel : texels) {
      g_glide.textureFormatMap[format] = texel.device;
      GrTexInfo info = Info(GR_LOD_1, GR_ASPECT_1x1, format, &texel.in);
      grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH_STANDIN, &info);
      ASSERT_NE(g_tmu.slots[0].surface, nullptr) << format << " into " << texel.device;
      EXPECT_EQ(sim::SurfaceRaw(g_tmu.slots[0].surface, 0, 0), texel.out) << format << " into " << texel.device;
    }
  }
  static constexpr FxU32 GR_MIPMAPLEVELMASK_BOTH_STANDIN = 3;
};

TEST_F(GlideTexturesTest, AddressesAndSizesAreConstants) {
  EXPECT_EQ(grTexMinAddress(GR_TMU1), 0u);
  EXPECT_EQ(grTexMaxAddress(GR_TMU0), 1023u);
  EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, GR_LOD_256, GR_ASPECT_8x1, GR_TEXFMT_RGB_565), 1u);
  EXPECT_EQ(grTexTextureMemRequired(0, nullptr), 1u);
  std::vector<int> edges, lods, factors;
  for (int lod : {GR_LOD_256, GR_LOD_1, 9, -1}) edges.push_back(LodToEdge(lod));
  for (int edge : {128, 1, 256, 3}) lods.push_back(EdgeToLod(edge));
  EXPECT_EQ(edges, (std::vector<int>{256, 1, 0, 0}));
  EXPECT_EQ(lods, (std::vector<int>{GR_LOD_128, GR_LOD_1, 0, 0}));
  int w = 0, h = 0;
  for (int aspect : {GR_ASPECT_8x1, GR_ASPECT_1x4, GR_ASPECT_1x1, 7, -1}) {
    factors.push_back(AspectToFactors(aspect, &w, &h) ? w * 10 + h : 0);
  }
  EXPECT_EQ(factors, (std::vector<int>{81, 14, 11, 0, 0}));
}

TEST_F(GlideTexturesTest, StageStatesAreTheSameForEveryTmu) {
  Open();
  using States = std::vector<DWORD>;
  const auto filters = [] { return States{StageState(D3DTSS_MINFILTER), StageState(D3DTSS_MAGFILTER)}; };
  grTexFilterMode(GR_TMU1, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_POINT_SAMPLED);
  EXPECT_EQ(filters(), (States{D3DTFN_LINEAR, D3DTFG_POINT}));
  grTexFilterMode(GR_TMU0, 0, 1);
  EXPECT_EQ(filters(), (States{D3DTFN_POINT, D3DTFG_LINEAR}));
  const auto addresses = [] { return States{StageState(D3DTSS_ADDRESSU), StageState(D3DTSS_ADDRESSV)}; };
  grTexClampMode(GR_TMU2, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
  EXPECT_EQ(addresses(), (States{D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP}));
  grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_CLAMP);
  EXPECT_EQ(addresses(), (States{D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP}));
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST_DITHER, FXTRUE);
  EXPECT_EQ(StageState(D3DTSS_MIPFILTER), static_cast<DWORD>(D3DTFP_LINEAR));
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXTRUE);
  EXPECT_EQ(StageState(D3DTSS_MIPFILTER), static_cast<DWORD>(D3DTFP_NONE));
  grTexCombine(GR_TMU1, 2, 3, 4, 5, FXTRUE, FXTRUE);
  EXPECT_EQ(g_tmu.rgbFunction, 2);
  EXPECT_EQ(g_tmu.alphaFactor, 5);
}

TEST_F(GlideTexturesTest, BindsOnceUnbindsForOtherSourcesAndSetsTheKeyInTheDeviceFormat) {
  Open();
  uint16_t texels[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  GrTexInfo info = Info(GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  grTexDownloadMipMap(GR_TMU0, 7, 0, &info);
  grTexSource(GR_TMU0, 7, 0, &info);
  grTexSource(GR_TMU0, 1023, 0, &info);
  EXPECT_EQ(g_tmu.sourceAddress, 7);
  grColorCombine(1, 8, 0, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  grChromakeyValue(0x00FF0000);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  GrVertex v[3] = {Vertex(0, 0), Vertex(9, 0), Vertex(9, 9)};
  sim::ClearCalls();
  grDrawTriangle(&v[0], &v[1], &v[2]);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTexture"), 1);
  EXPECT_EQ(LastDraw().texture, g_tmu.slots[7].texture);
  sim::SurfaceInfo surface = sim::DescribeSurface(g_tmu.slots[7].surface);
  EXPECT_TRUE(surface.hasSourceKey);
  EXPECT_EQ(surface.sourceKey.dwColorSpaceLowValue, 0xF800u);  // red in 5-6-5
  EXPECT_EQ(surface.sourceKey.dwColorSpaceHighValue, 0xF800u);
  // A new combine or key binds again at the next draw, the key in the device format.
  grColorCombine(1, 8, 0, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  grChromakeyValue(0x0000FF00);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTexture"), 3);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[7].surface).sourceKey.dwColorSpaceLowValue, 0x07E0u);

  grColorCombine(1, 8, 0, GR_COMBINE_OTHER_ITERATED, FXFALSE);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(LastDraw().texture, nullptr);
  EXPECT_EQ(g_tmu.boundAddress, -1);
  g_glideState.colorCombineOther = GR_COMBINE_OTHER_TEXTURE;  // without grColorCombine's own reset
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(LastDraw().texture, g_tmu.slots[7].texture);

  // A texture about to go is taken off the device first.
  grTexDownloadMipMap(GR_TMU0, 7, 0, &info);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).texture, nullptr);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(LastDraw().texture, g_tmu.slots[7].texture);

  // An empty slot binds nothing and keys nothing.
  grTexSource(GR_TMU0, 8, 0, &info);
  grDrawTriangle(&v[0], &v[1], &v[2]);
  EXPECT_EQ(LastDraw().texture, nullptr);
  // The indexed calls bind as the others do.
  grTexSource(GR_TMU0, 7, 0, &info);
  const int indices[3] = {0, 1, 2};
  grDrawPolygon(3, indices, v);
  EXPECT_EQ(LastDraw().texture, g_tmu.slots[7].texture);
}

TEST_F(GlideTexturesTest, TheKeyIsWhatAnOpaqueTexelOfItsColourBecomesInEachDeviceFormat) {
  Open();
  grColorCombine(1, 8, 0, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  grChromakeyValue(0x00FF0000);
  grChromakeyMode(GR_CHROMAKEY_ENABLE);
  const std::pair<DeviceFormat, DWORD> keys[] = {{k332, 0xE0},     {k565, 0xF800},         {k555, 0x7C00},
                                                 {k1555, 0xFC00},  {k4444, 0xFF00},        {k8888, 0xFFFF0000},
                                                 {k888, 0xFF0000}};
  for (const auto& key : keys) {
    ExpectTexels(GR_TEXFMT_RGB_565, {{key.first, 0xF800, key.second}});
    GrVertex v[3] = {Vertex(0, 0), Vertex(9, 0), Vertex(9, 9)};
    grDrawTriangle(&v[0], &v[1], &v[2]);
    EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[0].surface).sourceKey.dwColorSpaceLowValue, key.second) << key.first;
  }
}

TEST_F(GlideTexturesTest, DownloadsGoThroughAStagingSurfaceIntoVideoMemory) {
  Open();
  uint16_t texels[16] = {};
  GrTexInfo info = Info(GR_LOD_4, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  std::vector<std::string> creates = ArgumentsOf("IDirectDraw4::CreateSurface");
  ASSERT_EQ(creates.size(), 2u);
  EXPECT_NE(creates[0].find("caps 0x14005000"), std::string::npos) << creates[0];  // local video, allocated on load
  EXPECT_NE(creates[1].find("caps 0x1800"), std::string::npos) << creates[1];
  EXPECT_EQ(sim::CountCalls("IDirect3DTexture2::Load"), 1);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[0].surface).memory, sim::SurfaceMemory::LocalVideo);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[0].surface).references, 2);  // surface and its texture interface
  // A second download into the address releases the first; a failed load is logged.
  const int surfaces = sim::LiveSurfaces();
  sim::FailNext("IDirect3DTexture2::Load", DDERR_GENERIC);
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(sim::CountCalls("IDirect3DTexture2::Load"), 2);
  EXPECT_TRUE(Logged("Ondrel info : Failed to load texture"));
  // The close lets go of the texture interface before its surface.
  sim::ClearCalls();
  grSstWinClose();
  EXPECT_LT(FirstCall("IDirect3DTexture2::Release"), FirstCall("IDirectDrawSurface4::Release"));
}

TEST_F(GlideTexturesTest, TheLadderTriesSystemMemoryLastOnlyAfterItsOwnTry) {
  Open();
  uint16_t texels[4] = {};
  GrTexInfo info = Info(GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::NonLocalVideo, false);
  g_glide.canTextureFromSystemMemory = 0;
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 1, 0, &info);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 2);
  EXPECT_EQ(g_tmu.slots[1].surface, nullptr);

  g_glide.canTextureFromSystemMemory = 1;
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 1, 0, &info);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 3);
  EXPECT_EQ(sim::CountCalls("IDirect3DTexture2::Load"), 0);  // in system memory: no staging
  ASSERT_NE(g_tmu.slots[1].surface, nullptr);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[1].surface).references, 2);

  sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, "caps 0x4001800,");
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 1, 0, &info);
  std::vector<std::string> creates = ArgumentsOf("IDirectDraw4::CreateSurface");
  ASSERT_EQ(creates.size(), 4u);
  EXPECT_NE(creates[3].find("caps 0x4001000,"), std::string::npos) << creates[3];
}

TEST_F(GlideTexturesTest, SoftwareEmulationTexturesFromSystemMemory) {
  WriteIni("[Video]\n16BPP=0\nSoftwareEmulation=1\n[Splash]\nNoSplash=1\n");
  Open();
  uint16_t texels[4] = {};
  GrTexInfo info = Info(GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 2, 0, &info);
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::CreateSurface").size(), 1u);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[2].surface).memory, sim::SurfaceMemory::System);
}

TEST_F(GlideTexturesTest, RefusedDownloadsLeaveNothing) {
  uint16_t texels[4] = {};
  GrTexInfo info = Info(GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);  // no screen
  Open();
  grTexDownloadMipMap(GR_TMU0, 1023, 0, &info);
  grTexDownloadMipMap(GR_TMU0, 3, 0, &info);
  ASSERT_NE(g_tmu.slots[3].surface, nullptr);
  const int before = static_cast<int>(sim::Surfaces().size());
  info.format = GR_TEXFMT_YIQ_422;
  grTexDownloadMipMap(GR_TMU0, 3, 0, &info);
  EXPECT_EQ(g_tmu.slots[3].surface, nullptr);  // released first, then refused
  info.format = 15;
  grTexDownloadMipMap(GR_TMU0, 3, 0, &info);
  EXPECT_EQ(static_cast<int>(sim::Surfaces().size()), before - 1);
  info.format = GR_TEXFMT_RGB_565;
  struct Failure {
    int passing;
    const char* function;
    const char* arguments;
  };
  for (const Failure& f : {Failure{0, "IDirectDrawSurface4::QueryInterface", ""},
                           Failure{1, "IDirectDrawSurface4::QueryInterface", ""},  // the staging surface's
                           Failure{0, "IDirectDraw4::CreateSurface", "caps 0x1800,"}}) {  // no staging surface
    sim::FailAfter(f.passing, f.function, E_NOINTERFACE, f.arguments);
    grTexDownloadMipMap(GR_TMU0, 3, 0, &info);
    EXPECT_EQ(g_tmu.slots[3].surface, nullptr);
    EXPECT_EQ(static_cast<int>(sim::Surfaces().size()), before - 1) << f.function << f.passing;
  }
}

TEST_F(GlideTexturesTest, ReduceMemoryDecimatesAndSmallTexturesKeepTheirSize) {
  WriteIni("[Video]\n16BPP=0\n[Splash]\nNoSplash=1\n[Texture]\nReduceMemory=2\n");
  Open();
  static uint16_t texels[256 * 256];
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) texels[y * 256 + x] = static_cast<uint16_t>((y << 8) | x);
  }
  g_glide.textureFormatMap[GR_TEXFMT_ARGB_4444] = k4444;
  GrTexInfo info = Info(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444, texels);
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  sim::SurfaceInfo surface = sim::DescribeSurface(g_tmu.slots[0].surface);
  EXPECT_EQ(surface.width, 64);
  EXPECT_EQ(sim::SurfaceRaw(g_tmu.slots[0].surface, 1, 0), 0x0004u);
  EXPECT_EQ(sim::SurfaceRaw(g_tmu.slots[0].surface, 2, 3), (12u << 8) | 8u);
  info.largeLod = GR_LOD_8;
  grTexDownloadMipMap(GR_TMU0, 1, 0, &info);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[1].surface).width, 2);
  info.largeLod = GR_LOD_4;
  grTexDownloadMipMap(GR_TMU0, 2, 0, &info);
  EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[2].surface).width, 4);
  EXPECT_EQ(sim::SurfaceRaw(g_tmu.slots[2].surface, 3, 0), 0x0003u);
  // ReduceMemory=1 halves an 8 x 1 texture's width; its one row stays, and a 1 x 8 texture's one column.
  g_glide.reduceMemoryDivisor = 2;
  for (GrAspectRatio_t aspect : {GR_ASPECT_8x1, GR_ASPECT_1x8}) {
    info = Info(GR_LOD_8, aspect, GR_TEXFMT_ARGB_4444, texels);
    grTexDownloadMipMap(GR_TMU0, 3, 0, &info);
    EXPECT_EQ(sim::DescribeSurface(g_tmu.slots[3].surface).width, 4);
    const bool wide = aspect == GR_ASPECT_8x1;
    EXPECT_EQ(sim::SurfaceRaw(g_tmu.slots[3].surface, wide ? 3 : 0, wide ? 0 : 3), 0x0006u) << aspect;
  }
}

TEST_F(GlideTexturesTest, NonSquareTexturesAreReadAsTheyAreAndPlacedTopLeft) {
  Open();
  static uint8_t texels[256 * 32];
  std::memset(texels, 0xFF, sizeof texels);
  texels[256 * 31 + 255] = 0xE0;  // the last texel: red
  g_glide.textureFormatMap[GR_TEXFMT_RGB_332] = k332;
  GrTexInfo info = Info(GR_LOD_256, GR_ASPECT_8x1, GR_TEXFMT_RGB_332, texels);
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  IDirectDrawSurface4* surface = g_tmu.slots[0].surface;
  EXPECT_EQ(sim::DescribeSurface(surface).width, 256);
  EXPECT_EQ(sim::SurfaceRaw(surface, 255, 31), 0xE0u);
  EXPECT_EQ(sim::SurfaceRaw(surface, 0, 32), 0u);
  EXPECT_EQ(sim::SurfaceRaw(surface, 0, 255), 0u);

  uint16_t tall[2 * 16];
  for (int i = 0; i < 32; ++i) tall[i] = static_cast<uint16_t>(0x1000 + i);
  g_glide.textureFormatMap[GR_TEXFMT_ARGB_4444] = k4444;
  info = Info(GR_LOD_16, GR_ASPECT_1x8, GR_TEXFMT_ARGB_4444, tall);
  grTexDownloadMipMap(GR_TMU0, 1, 0, &info);
  surface = g_tmu.slots[1].surface;
  EXPECT_EQ(sim::SurfaceRaw(surface, 1, 15), 0x1000u + 31u);
  EXPECT_EQ(sim::SurfaceRaw(surface, 2, 0), 0u);
}

TEST_F(GlideTexturesTest, EachSourceFormatConvertsIntoEachDeviceFormat) {
  Open(GR_RESOLUTION_640x480, GR_ORIGIN_UPPER_LEFT, 1, GR_COLORFORMAT_RGBA);  // converted whatever the format
  // RGB 565 white, darkest blue and black; a source without alpha is opaque (in 4444 not black).
  ExpectTexels(GR_TEXFMT_RGB_565, {{k332, 0xFFFF, 0xFF}, {k565, 0x1234, 0x1234}, {k555, 0xFFFF, 0x7FFF},
                                   {k1555, 0x0000, 0x8000}, {k1555, 0xFFFF, 0xFFFF}, {k4444, 0x0001, 0xF010},
                                   {k4444, 0x0000, 0xF000}, {k8888, 0xF800, 0xFFFF0000}, {k888, 0x07E0, 0x00FF00}});
  // ARGB 1555: the alpha bit alone stays black.
  ExpectTexels(GR_TEXFMT_ARGB_1555,
               {{k4444, 0x8000, 0xF000}, {k1555, 0x8001, 0x8001}, {k8888, 0x7C00, 0x00FF0000}, {k332, 0x0001, 0x04}});
  // ARGB 4444; in 332 a blue too dark for 2 bits gives green's lowest.
  ExpectTexels(GR_TEXFMT_ARGB_4444,
               {{k8888, 0xF0F0, 0xFF00FF00}, {k565, 0x0F00, 0xF800}, {k555, 0x0001, 0x0002}, {k332, 0x1001, 0x04}});
  ExpectTexels(GR_TEXFMT_RGB_332, {{k565, 0xE0, 0xF800}, {k8888, 0x03, 0xFF0000FF}});
  ExpectTexels(GR_TEXFMT_ARGB_8332, {{k4444, 0x80FF, 0x7FFF}, {k1555, 0x0000, 0x0000}});
  // Alpha 8: no colour, no substitution; intensity texels get a surface but no texels.
  ExpectTexels(GR_TEXFMT_ALPHA_8, {{k8888, 0x80, 0x80000000}, {k565, 0x80, 0x0000}});
  ExpectTexels(GR_TEXFMT_INTENSITY_8, {{k565, 0xFF, 0x0000}, {k8888, 0xFF, 0x0000}});
  ExpectTexels(GR_TEXFMT_AP_88, {{k4444, 0xFFFF, 0x0000}});
}

TEST_F(GlideTexturesTest, AFailedLockWritesThroughTheDeviceContext) {
  Open();
  uint16_t texels[4] = {0xF800, 0x07E0, 0x001F, 0x0000};
  GrTexInfo info = Info(GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
  sim::FailNext("IDirectDrawSurface4::Lock", DDERR_SURFACEBUSY);
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  ExpectLinesInOrder({"Ondrel info : Failed to Lock surface", "DDERR_SURFACEBUSY", "Ondrel info : Try to get DC",
                      "Ondrel info : Write pixel to DC", "Ondrel info : Release DC for the surface",
                      "Ondrel info : Load texture"});
  EXPECT_EQ(sim::SurfaceRgb(g_tmu.slots[0].surface, 0, 0), 0xFF0000u);
  EXPECT_EQ(sim::SurfaceRgb(g_tmu.slots[0].surface, 0, 1), 0x0000FFu);
  // A texture half as high as wide: its two rows are read, not the green one after them.
  uint16_t wide[4 * 3] = {0xF800, 0xF800, 0xF800, 0xF800, 0x001F, 0x001F, 0x001F, 0x001F, 0x07E0, 0x07E0};
  GrTexInfo wideInfo = Info(GR_LOD_4, GR_ASPECT_2x1, GR_TEXFMT_RGB_565, wide);
  sim::FailNext("IDirectDrawSurface4::Lock", DDERR_SURFACEBUSY);
  grTexDownloadMipMap(GR_TMU0, 1, 0, &wideInfo);
  EXPECT_EQ(sim::SurfaceRgb(g_tmu.slots[1].surface, 3, 1), 0x0000FFu);
  EXPECT_NE(sim::SurfaceRgb(g_tmu.slots[1].surface, 0, 2), 0x00FF00u);

  // Without a device context the texture is given up, and the screen shown again after the message.
  sim::FailNext("IDirectDrawSurface4::Lock", DDERR_SURFACEBUSY);
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_DCALREADYCREATED);
  sim::ClearCalls();
  grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
  EXPECT_EQ(g_tmu.slots[0].surface, nullptr);
  EXPECT_EQ(sim::MessageBoxes().back().text,
            "Ondrel warning : grTexDownloadMipMap\rCould not write pixel to the texture");
  EXPECT_EQ(sim::MessageBoxes().back().owner, window_);
  EXPECT_TRUE(Logged("Ondrel info : Failed to get DC"));
  EXPECT_GT(sim::CountCalls("IDirectDrawSurface4::Blt") + sim::CountCalls("IDirectDrawSurface4::Flip"), 0);
}

// Today's per-texel rule, kept as the reference the converter's tables must match byte for byte.
uint32_t ReferenceChannel(const TexelChannel& channel, uint32_t texel, uint32_t max, uint32_t shift) {
  if (channel.max == 0 || max == 0) return 0;
  return (((texel >> channel.shift) & channel.max) * max / channel.max) << shift;
}

uint32_t ReferenceTexel(const TexelSource& s, uint32_t texel, const KR3DTEXTUREFORMATINFO& d) {
  uint32_t colour = ReferenceChannel(s.red, texel, d.dwRedMax, d.dwRedShift) |
                    ReferenceChannel(s.green, texel, d.dwGreenMax, d.dwGreenShift) |
                    ReferenceChannel(s.blue, texel, d.dwBlueMax, d.dwBlueShift);
  const bool sourceHasAlpha = s.alpha.max != 0;
  const uint32_t alpha = sourceHasAlpha ? ReferenceChannel(s.alpha, texel, d.dwAlphaMax, d.dwAlphaShift)
                                        : d.dwAlphaMax << d.dwAlphaShift;
  if (sourceHasAlpha) colour |= alpha;
  if ((texel & s.colourMask) != 0 && colour == 0) colour = 1u << d.dwGreenShift;
  return sourceHasAlpha ? colour : colour | alpha;
}

KR3DTEXTUREFORMATINFO Layout(DWORD bitCount, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  KR3DTEXTUREFORMATINFO f = {};
  f.dwBitCount = bitCount;
  DWORD* fields[4][2] = {{&f.dwRedShift, &f.dwRedMax}, {&f.dwGreenShift, &f.dwGreenMax},
                         {&f.dwBlueShift, &f.dwBlueMax}, {&f.dwAlphaShift, &f.dwAlphaMax}};
  const DWORD masks[4] = {red, green, blue, alpha};
  for (int c = 0; c < 4; ++c) {
    DWORD shift = 0;
    while (masks[c] != 0 && ((masks[c] >> shift) & 1) == 0) ++shift;
    *fields[c][0] = shift;
    *fields[c][1] = masks[c] >> shift;
  }
  return f;
}

TEST(TexelConversionTest, EverySourceTexelConvertsAsThePerTexelRuleIntoEveryDeviceFormat) {
  // The kernels this processor runs, as the compiler's own detection has them.
  EXPECT_TRUE(ProcessorRuns(kTexelsByTables));
#if defined(__i386__) || defined(__x86_64__)
  EXPECT_EQ(ProcessorRuns(kTexelsBySse2), __builtin_cpu_supports("sse2") != 0);
  EXPECT_EQ(ProcessorRuns(kTexelsByAvx2), __builtin_cpu_supports("avx2") != 0);
  EXPECT_EQ(ProcessorRuns(kTexelsByAvx512), __builtin_cpu_supports("avx512bw") != 0);
#endif
  // Every layout a Glide format may be given, one of 24 bits and one no lane can build.
  const KR3DTEXTUREFORMATINFO devices[] = {
      Layout(8, 0xE0, 0x1C, 0x03, 0),          Layout(8, 0, 0, 0, 0xFF),
      Layout(16, 0xE0, 0x1C, 0x03, 0xFF00),    Layout(16, 0xF800, 0x07E0, 0x001F, 0),
      Layout(16, 0x7C00, 0x03E0, 0x001F, 0),   Layout(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
      Layout(16, 0x0F00, 0x00F0, 0x000F, 0xF000), Layout(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
      Layout(24, 0xFF0000, 0xFF00, 0xFF, 0), Layout(32, 0x000FF000, 0x0FF00000, 0xFF, 0)};  // red across the halves
  const GrTextureFormat_t formats[] = {GR_TEXFMT_RGB_332,   GR_TEXFMT_ALPHA_8,    GR_TEXFMT_ARGB_8332,
                                       GR_TEXFMT_RGB_565,   GR_TEXFMT_ARGB_1555,  GR_TEXFMT_ARGB_4444,
                                       GR_TEXFMT_INTENSITY_8};
  static uint8_t in[65536 * 2], out[65536 * 4 + 512], expected[65536 * 4 + 512];  // room for row gaps
  static TexelConverter converter;
  for (const GrTextureFormat_t& format : formats) {
    const TexelSource source = TexelSourceOf(format);
    const int values = 1 << (8 * source.bytes);
    for (int v = 0; v < values; ++v) {
      in[v * source.bytes] = static_cast<uint8_t>(v);
      if (source.bytes == 2) in[v * 2 + 1] = static_cast<uint8_t>(v >> 8);
    }
    for (const KR3DTEXTUREFORMATINFO& device : devices) {
      const int bytes = static_cast<int>(device.dwBitCount / 8);
      // A layout the source shares is copied: each format but intensity has its own above.
      const int index = static_cast<int>(&device - devices);
      const int ownLayout[] = {0, 1, 2, 3, 5, 6, -1};
      const bool sameLayout = ownLayout[&format - formats] == index;
      for (TexelKernel kernel : {kTexelsByTables, kTexelsBySse2, kTexelsByAvx2, kTexelsByAvx512}) {
        MakeTexelConverter(source, device, &converter);
        EXPECT_EQ(converter.copy, sameLayout) << "format " << format << " into device " << index;
        // Vector lanes take every other converted format into 2-byte texels, and into 4-byte
        // ones unless a red of fewer bits is scaled up there or lies across the halves.
        const bool lanes = converter.kernel != kTexelsByTables;
        const bool lanesExpected =
            bytes == 2 || (bytes == 4 && index != 9 && (source.red.max == 0 || source.red.max == 15));
        if (source.converted && lanesExpected && !sameLayout && ProcessorRuns(kTexelsBySse2)) {
          EXPECT_TRUE(lanes) << "format " << format << " into device " << index;
        }
        if (kernel != kTexelsByTables && (!lanes || !ProcessorRuns(kernel))) continue;
        converter.kernel = kernel;
        // The values as rows of texels: every texel; rows apart on the device side, ending
        // short of a whole group of lanes; every third texel.
        const int rowTexels = source.bytes == 1 ? 16 : 256;
        const struct {
          int step, gap, short_;
        } variants[] = {{1, 0, 0}, {1, 2, 5}, {3, 0, 0}};
        for (const auto& variant : variants) {
          const int step = variant.step;
          const int count = rowTexels / step - variant.short_;
          const size_t outPitch = static_cast<size_t>(count * bytes + variant.gap);
          std::memset(out, 0xA5, sizeof out);
          std::memset(expected, 0xA5, sizeof expected);
          ConvertTexelRows(converter, in, static_cast<size_t>(rowTexels * source.bytes), step, count, rowTexels, out,
                           outPitch);
          for (int r = 0; source.converted && r < rowTexels; ++r) {
            for (int x = 0; x < count; ++x) {
              const uint32_t value = ReferenceTexel(source, static_cast<uint32_t>(r * rowTexels + x * step), device);
              for (int i = 0; i < bytes; ++i) expected[r * outPitch + x * bytes + i] = static_cast<uint8_t>(value >> (8 * i));
            }
          }
          EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0)
              << "format " << format << ", device of " << device.dwBitCount << " bits, red max " << device.dwRedMax
              << ", alpha max " << device.dwAlphaMax << ", step " << step << ", gap " << variant.gap << ", "
              << count << " texels a row, kernel " << kernel;
        }
      }
    }
  }
}

}  // namespace
