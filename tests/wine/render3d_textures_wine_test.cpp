// Textures of the real KORVATHD.DLL on Wine's hardware device: 8 and 24-bit
// bitmap files with the automatic format get a format Wine lists, without
// alpha, and their texels read back by Lock match the bitmap.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "render3d_wine_fixture.h"
#include "support/surface_pixels.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;
const int kSide = 8;

void Put(std::string* bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An 8-bit bottom-up BMP file with a 256-entry colour table; pixel (x, y) has index (x + y * side) * 3.
bool WriteIndexedBmp(const char* path, const std::vector<uint32_t>& palette, int side) {
  const int rowBytes = (side + 3) & ~3;
  const uint32_t offset = 14 + 40 + 256 * 4;
  std::string bytes = "BM";
  Put(&bytes, offset + rowBytes * side, 4);
  Put(&bytes, 0, 4);
  Put(&bytes, offset, 4);
  Put(&bytes, 40, 4);
  Put(&bytes, side, 4);
  Put(&bytes, side, 4);
  Put(&bytes, 1, 2);
  Put(&bytes, 8, 2);
  Put(&bytes, BI_RGB, 4);
  Put(&bytes, rowBytes * side, 4);
  Put(&bytes, 0, 4);
  Put(&bytes, 0, 4);
  Put(&bytes, 256, 4);
  Put(&bytes, 0, 4);
  for (uint32_t rgb : palette) Put(&bytes, rgb, 4);  // blue, green, red, 0
  for (int row = side - 1; row >= 0; --row) {
    for (int x = 0; x < rowBytes; ++x) bytes.push_back(static_cast<char>(x < side ? (x + row * side) * 3 : 0));
  }
  FILE* file = fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

std::vector<uint32_t> TestPalette() {
  std::vector<uint32_t> palette(256);
  for (uint32_t i = 0; i < 256; ++i) palette[i] = ((i * 7) & 0xFF) << 16 | ((255 - i) & 0xFF) << 8 | ((i * 29) & 0xFF);
  return palette;
}

uint32_t TrueColour(int x, int y) {
  return static_cast<uint32_t>(x * 32) << 16 | static_cast<uint32_t>(y * 32) << 8 | static_cast<uint32_t>(255 - x * y);
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  return a.dwFlags == b.dwFlags && a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
         a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask && a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

int Bits(DWORD mask) {
  int bits = 0;
  for (; mask != 0; mask &= mask - 1) ++bits;
  return bits;
}

// GDI cuts a channel to its top bits where a scaled conversion rounds: either way the
// texel lies within one step of the channel's width.
bool WithinOneStep(const DDPIXELFORMAT& format, uint32_t got, uint32_t wanted) {
  const DWORD masks[3] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  for (int channel = 0; channel < 3; ++channel) {
    const int shift = 16 - 8 * channel;
    const int a = static_cast<int>((got >> shift) & 0xFF), b = static_cast<int>((wanted >> shift) & 0xFF);
    const int step = Bits(masks[channel]) >= 8 ? 1 : (256 >> Bits(masks[channel])) + 1;
    if (a - b > step || b - a > step) return false;
  }
  return true;
}

class TexturesOnWindows : public Render3DWineTest {
 protected:
  void SetUp() override {
    Render3DWineTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartDevice());
    KR3DDEVICEINFO described;
    memset(&described, 0, sizeof(described));
    KR3DGetDeviceInfo(&described, KR3DGetAutoDetectedDevice());
    ASSERT_EQ(described.bHardware, 1);
  }

  // The texture's surface with a reference of the caller's.
  static IDirectDrawSurface4* SurfaceOf(int texture) {
    IDirect3DTexture2* given = nullptr;
    KR3DGetDirect3DTextureInterface(&given, texture);
    if (given == nullptr) return nullptr;
    IDirectDrawSurface4* surface = nullptr;
    if (FAILED(given->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&surface)))) return nullptr;
    return surface;
  }

  // The surface's format is one of the device's list, and not one with alpha.
  static void ExpectListedFormatWithoutAlpha(const DDPIXELFORMAT& format) {
    EXPECT_EQ(format.dwFlags & (DDPF_ALPHAPIXELS | DDPF_ALPHA), 0u);
    bool listed = false;
    const int count = KR3DGetTextureFormatCount();
    for (int i = 0; i < count; ++i) {
      KR3DCORETEXTUREFORMATINFO info;
      memset(&info, 0, sizeof(info));
      KR3DCoreGetTextureFormatInfo(&info, i);
      if (SameFormat(info.ddpf, format)) listed = true;
    }
    EXPECT_TRUE(listed) << "flags " << format.dwFlags << ", " << format.dwRGBBitCount << " bits";
  }

};

TEST_F(TexturesOnWindows, TrueColourBitmapGetsAListedFormatAndItsTexels) {
  winsupport::RgbImage image(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) image.At(x, y) = TrueColour(x, y);
  ASSERT_TRUE(winsupport::WriteBmp("texture24.bmp", image));
  const int texture = KR3DCreateTexture("texture24.bmp", -1);
  ASSERT_NE(texture, 0) << std::hex << KRErrorGetLastError();
  IDirectDrawSurface4* surface = SurfaceOf(texture);
  ASSERT_NE(surface, nullptr);
  DDPIXELFORMAT format;
  ASSERT_TRUE(winsupport::SurfaceFormat(surface, &format));
  ExpectListedFormatWithoutAlpha(format);
  EXPECT_GE(format.dwRGBBitCount, 16u);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      uint32_t rgb = 0;
      ASSERT_TRUE(winsupport::ReadPixel(surface, x, y, &rgb));
      EXPECT_EQ(rgb, winsupport::RgbAsStored(format, TrueColour(x, y))) << x << ", " << y;
    }
  }
  surface->Release();
  KR3DReleaseTexture(texture);
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (x - y > tolerance || y - x > tolerance) return false;
  }
  return true;
}

D3DTLVERTEX Corner(float x, float y, float u, float v) {
  D3DTLVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.sx = x;
  vertex.sy = y;
  vertex.sz = 0.5f;
  vertex.rhw = 1.0f;
  vertex.color = 0xFFFFFFFF;
  vertex.tu = u;
  vertex.tv = v;
  return vertex;
}

// A quad of 8 x 8 screen pixels per texel, nearest filtering and decal blending: each
// block shows its texel (the renderer may round, hence the tolerance).
TEST_F(TexturesOnWindows, AQuadDrawnWithTheTextureShowsItsTexels) {
  winsupport::RgbImage image(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) image.At(x, y) = TrueColour(x, y);
  ASSERT_TRUE(winsupport::WriteBmp("quad24.bmp", image));
  const int texture = KR3DCreateTexture("quad24.bmp", -1);
  ASSERT_NE(texture, 0) << std::hex << KRErrorGetLastError();
  IDirect3DTexture2* texels = nullptr;
  KR3DGetDirect3DTextureInterface(&texels, texture);
  ASSERT_NE(texels, nullptr);
  IDirect3DDevice3* device = nullptr;
  KR3DGetDirect3DDeviceInterface(&device);
  ASSERT_NE(device, nullptr);
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  ASSERT_NE(back, nullptr);

  const float left = 100.0f, top = 100.0f, size = 8.0f * kSide;
  D3DTLVERTEX quad[6] = {Corner(left, top, 0, 0),        Corner(left + size, top, 1, 0),
                         Corner(left, top + size, 0, 1), Corner(left + size, top, 1, 0),
                         Corner(left + size, top + size, 1, 1), Corner(left, top + size, 0, 1)};
  KR3DSetRenderState(KR3D_RENDERSTATE_FILTER, 0);
  ASSERT_EQ(KR3DBeginRender(0), 1);
  KR3DClear(0xFF000000, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
  EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
  EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_NEAREST), D3D_OK);
  EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_NEAREST), D3D_OK);
  EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL), D3D_OK);
  EXPECT_EQ(device->SetTexture(0, texels), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, quad, 6, 0), D3D_OK);
  EXPECT_EQ(device->SetTexture(0, NULL), D3D_OK);
  ASSERT_EQ(KR3DEndRender(), 1);

  IDirectDrawSurface4* surface = SurfaceOf(texture);
  ASSERT_NE(surface, nullptr);
  DDPIXELFORMAT format;
  ASSERT_TRUE(winsupport::SurfaceFormat(surface, &format));
  surface->Release();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      uint32_t shown = 0;
      ASSERT_TRUE(winsupport::ReadPixel(back, 100 + 8 * x + 4, 100 + 8 * y + 4, &shown));
      const uint32_t wanted = winsupport::RgbAsStored(format, TrueColour(x, y));
      EXPECT_TRUE(Near(shown, wanted, 12)) << x << ", " << y << std::hex << ": " << shown << " for " << wanted;
    }
  }
  back->Release();
  if (primary != nullptr) primary->Release();
  device->Release();
  KR3DReleaseTexture(texture);
}

TEST_F(TexturesOnWindows, IndexedBitmapGetsAListedFormatAndItsTexels) {
  const std::vector<uint32_t> palette = TestPalette();
  ASSERT_TRUE(WriteIndexedBmp("texture8.bmp", palette, kSide));
  const int texture = KR3DCreateTexture("texture8.bmp", -1);
  ASSERT_NE(texture, 0) << std::hex << KRErrorGetLastError();
  IDirectDrawSurface4* surface = SurfaceOf(texture);
  ASSERT_NE(surface, nullptr);
  DDPIXELFORMAT format;
  ASSERT_TRUE(winsupport::SurfaceFormat(surface, &format));
  ExpectListedFormatWithoutAlpha(format);
  if (format.dwFlags & DDPF_PALETTEINDEXED8) {
    // A palettised texture keeps the bitmap's indexes.
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->Lock(NULL, &desc, DDLOCK_WAIT | DDLOCK_READONLY, NULL), DD_OK);
    const BYTE* bits = static_cast<const BYTE*>(desc.lpSurface);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) EXPECT_EQ(bits[y * desc.lPitch + x], (x + y * kSide) * 3) << x << ", " << y;
    surface->Unlock(NULL);
  } else {
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        uint32_t rgb = 0;
        ASSERT_TRUE(winsupport::ReadPixel(surface, x, y, &rgb));
        EXPECT_TRUE(WithinOneStep(format, rgb, palette[(x + y * kSide) * 3]))
            << x << ", " << y << std::hex << ": " << rgb << " for " << palette[(x + y * kSide) * 3];
      }
    }
  }
  surface->Release();
  KR3DReleaseTexture(texture);
}

}  // namespace
