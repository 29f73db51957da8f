// The texture formats of the started device: names and channel fields of RGB,
// alpha, palettised and YUV formats, full tables, failures and the getters.
#include <cstring>
#include <string>
#include <vector>

#include "render3d/render3d_fixture.h"

namespace {

DDPIXELFORMAT Format(DWORD flags, DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
  DDPIXELFORMAT format;
  memset(&format, 0, sizeof(format));
  format.dwSize = sizeof(format);
  format.dwFlags = flags;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  format.dwRGBAlphaBitMask = alpha;
  return format;
}

struct Channels {
  DWORD bits, shift, max;
};

class TextureFormatTest : public Render3DTest {
 protected:
  // The hardware device with exactly these texture formats, started on the back buffer.
  void StartDeviceWith(const std::vector<DDPIXELFORMAT>& formats) {
    std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
    devices[kHardwareDevice].textureFormats = formats;
    sim::SetDirect3DDevices(devices);
    ASSERT_NO_FATAL_FAILURE(StartUpTo3D());
    ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  }

  static KR3DTEXTUREFORMATINFO Info(int index) {
    KR3DTEXTUREFORMATINFO info;
    memset(&info, 0xCD, sizeof(info));
    KR3DGetTextureFormatInfo(&info, index);
    return info;
  }

  static void ExpectChannels(const KR3DTEXTUREFORMATINFO& info, Channels red, Channels green, Channels blue,
                             Channels alpha) {
    const std::vector<DWORD> got = {info.dwRedBits,   info.dwRedShift,   info.dwRedMax,   info.dwGreenBits,
                                    info.dwGreenShift, info.dwGreenMax,   info.dwBlueBits, info.dwBlueShift,
                                    info.dwBlueMax,    info.dwAlphaBits,  info.dwAlphaShift, info.dwAlphaMax};
    const std::vector<DWORD> expected = {red.bits,  red.shift,  red.max,  green.bits,  green.shift,  green.max,
                                         blue.bits, blue.shift, blue.max, alpha.bits, alpha.shift, alpha.max};
    EXPECT_EQ(got, expected) << info.szName;
  }
};

TEST_F(TextureFormatTest, RgbAndAlphaFormatsAreNamedAndMeasured) {
  ASSERT_NO_FATAL_FAILURE(StartDeviceWith({
      sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F),
      sim::RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
      sim::RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
      sim::RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
      sim::RgbFormat(8, 0xE0, 0x1C, 0x03),
  }));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 5);

  KR3DTEXTUREFORMATINFO rgb565 = Info(0);
  EXPECT_STREQ(rgb565.szName, "16 BITS RGB  565 ");
  EXPECT_EQ(rgb565.dwBitCount, 16u);
  EXPECT_EQ(rgb565.bPalettized, 0);
  ExpectChannels(rgb565, {5, 11, 31}, {6, 5, 63}, {5, 0, 31}, {0, 0, 0});

  KR3DTEXTUREFORMATINFO argb1555 = Info(1);
  EXPECT_STREQ(argb1555.szName, "16 BITS RGBA 5551");
  ExpectChannels(argb1555, {5, 10, 31}, {5, 5, 31}, {5, 0, 31}, {1, 15, 1});

  EXPECT_STREQ(Info(2).szName, "16 BITS RGBA 4444");
  KR3DTEXTUREFORMATINFO argb8888 = Info(3);
  EXPECT_STREQ(argb8888.szName, "32 BITS RGBA 8888");
  ExpectChannels(argb8888, {8, 16, 255}, {8, 8, 255}, {8, 0, 255}, {8, 24, 255});
  EXPECT_STREQ(Info(4).szName, " 8 BITS RGB  332 ");
}

TEST_F(TextureFormatTest, PalettisedFormatsKeepTheirChannelFieldsZero) {
  ASSERT_NO_FATAL_FAILURE(StartDeviceWith({
      sim::PaletteFormat(8),
      sim::PaletteFormat(4),
      // Masks on a palette format are not channels.
      Format(DDPF_PALETTEINDEXED8, 8, 0xE0, 0x1C, 0x03),
      Format(DDPF_RGB | DDPF_PALETTEINDEXEDTO8, 2, 0, 0, 0),
      Format(DDPF_RGB | DDPF_PALETTEINDEXED1, 1, 0, 0, 0),
      // Above 8 bits the palette flag does not make a palette format.
      Format(DDPF_RGB | DDPF_PALETTEINDEXED8, 16, 0xF800, 0x07E0, 0x001F),
  }));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 6);
  const char* const names[] = {" 8 BITS RGB  PALETTE", " 4 BITS RGB  PALETTE", " 8 BITS  PALETTE",
                               " 2 BITS RGB  PALETTE", " 1 BITS RGB  PALETTE"};
  for (int i = 0; i < 5; ++i) {
    KR3DTEXTUREFORMATINFO info = Info(i);
    EXPECT_STREQ(info.szName, names[i]);
    EXPECT_EQ(info.bPalettized, 1) << i;
    ExpectChannels(info, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
  }
  KR3DTEXTUREFORMATINFO wide = Info(5);
  EXPECT_STREQ(wide.szName, "16 BITS RGB  565 ");
  EXPECT_EQ(wide.bPalettized, 0);
}

TEST_F(TextureFormatTest, YuvEmptyAndFullMasks) {
  ASSERT_NO_FATAL_FAILURE(StartDeviceWith({
      Format(DDPF_YUV, 16, 0x00FF, 0xFF00, 0),
      Format(DDPF_FOURCC, 16, 0, 0, 0),
      Format(DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0, 0, 0, 0xFFFFFFFF),
  }));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 3);
  KR3DTEXTUREFORMATINFO yuv = Info(0);
  EXPECT_STREQ(yuv.szName, "16 BITS YUV 880 ");
  ExpectChannels(yuv, {8, 0, 255}, {8, 8, 255}, {0, 32, 0}, {0, 0, 0});
  EXPECT_STREQ(Info(1).szName, "16 BITS  000 ");
  // A 32-bit mask has the largest value 2^32 - 1, not an overflowed 0.
  KR3DTEXTUREFORMATINFO alphaOnly = Info(2);
  EXPECT_STREQ(alphaOnly.szName, "32 BITS RGBA 00032");
  ExpectChannels(alphaOnly, {0, 32, 0}, {0, 32, 0}, {0, 32, 0}, {32, 0, 0xFFFFFFFFu});
}

TEST_F(TextureFormatTest, CoreInfoCarriesThePixelFormatAndBadIndexesLeaveRecordsAlone) {
  DDPIXELFORMAT rgb565 = sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F);
  ASSERT_NO_FATAL_FAILURE(StartDeviceWith({rgb565}));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 1);
  KR3DCORETEXTUREFORMATINFO core;
  memset(&core, 0, sizeof(core));
  KR3DCoreGetTextureFormatInfo(&core, 0);
  EXPECT_EQ(memcmp(&core.ddpf, &rgb565, sizeof(rgb565)), 0);
  EXPECT_STREQ(core.szName, "16 BITS RGB  565 ");
  EXPECT_EQ(core.dwGreenMax, 63u);

  for (int index : {-1, 1}) {
    KR3DTEXTUREFORMATINFO info;
    memset(&info, 0xAB, sizeof(info));
    KR3DTEXTUREFORMATINFO before = info;
    KR3DGetTextureFormatInfo(&info, index);
    EXPECT_EQ(memcmp(&info, &before, sizeof(info)), 0);
    EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
    KRErrorSetLastError(0);
    KR3DCORETEXTUREFORMATINFO coreInfo;
    memset(&coreInfo, 0xAB, sizeof(coreInfo));
    KR3DCORETEXTUREFORMATINFO coreBefore = coreInfo;
    KR3DCoreGetTextureFormatInfo(&coreInfo, index);
    EXPECT_EQ(memcmp(&coreInfo, &coreBefore, sizeof(coreInfo)), 0);
    EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
  }
}

TEST_F(TextureFormatTest, FullTableStopsAt32EvenWhenTheDriverGoesOn) {
  ASSERT_NO_FATAL_FAILURE(
      StartDeviceWith(std::vector<DDPIXELFORMAT>(40, sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F))));
  sim::SetEnumerationIgnoresStop(true);
  EXPECT_EQ(KR3DGetTextureFormatCount(), KR3D_TEXTUREFORMAT_MAX);
}

TEST_F(TextureFormatTest, FailureOrNoDeviceEmptiesTheList) {
  ASSERT_NO_FATAL_FAILURE(StartDeviceWith({sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F)}));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 1);
  sim::FailNext("IDirect3DDevice3::EnumTextureFormats", DDERR_GENERIC);
  EXPECT_EQ(KR3DGetTextureFormatCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);
  EXPECT_EQ(g_kr3D.nTextureFormatCount, 0);
  EXPECT_EQ(g_kr3D.lpTextureFormats[0].dwBitCount, 0u);

  ASSERT_EQ(KR3DGetTextureFormatCount(), 1);
  KR3DCleanupDevice();
  EXPECT_EQ(KR3DGetTextureFormatCount(), 0);
  ExpectLastError(0x3103, "KR3D : Deviceは初期化されていません");
  EXPECT_EQ(g_kr3D.nTextureFormatCount, 0);
  KR3DCleanup();
  KRErrorSetLastError(0);
  EXPECT_EQ(KR3DGetTextureFormatCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3103u);
}

}  // namespace
