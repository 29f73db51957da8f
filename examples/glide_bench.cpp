// Not a test: timings of Ondrel under Wine, printed as two ratios.
// 1. The demo scene's triangles through Ondrel against the same triangles,
//    converted beforehand, sent with the same flags straight to KORVATHD's
//    device; both frames end in the same swap. Median of alternating rounds.
// 2. Texel conversion of 256 x 256 textures of each source format against
//    memcpy of the same bytes.
// 3. A 640 x 480 read lock of the back buffer, a read of every byte of the copy
//    and the unlock, against memcpy of the same frame bytes.
#include <windows.h>
#include <d3d.h>

#include <glide.h>
#include <korvathd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide/texel_conversion.h"
#include "glide_scene.h"
#include "support/main_window.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The scene's vertices as Direct3D takes them, converted once.
std::vector<D3DTLVERTEX> Converted(const glidescene::SceneQuad& q) {
  std::vector<D3DTLVERTEX> out(4);
  for (int i = 0; i < 4; ++i) {
    const GrVertex& v = q.v[i];
    D3DTLVERTEX& t = out[i];
    t.sx = v.x;
    t.sy = v.y;
    t.sz = v.ooz / 65535.0f;
    t.rhw = v.oow;
    t.color = (static_cast<DWORD>(v.a) << 24) | (static_cast<DWORD>(v.r) << 16) | (static_cast<DWORD>(v.g) << 8) |
              static_cast<DWORD>(v.b);
    t.specular = 0;
    t.tu = (v.tmuvtx[0].sow / v.oow + 0.2f) / 256.0f;
    t.tv = (v.tmuvtx[0].tow / v.oow + 0.2f) / 256.0f;
  }
  return out;
}

void SceneRatio() {
  if (!glidescene::SetUpScene()) printf("could not load bricks.3df\n");
  const std::vector<glidescene::SceneQuad> quads = glidescene::SceneQuads();
  std::vector<std::vector<D3DTLVERTEX>> converted;
  for (const glidescene::SceneQuad& q : quads) converted.push_back(Converted(q));
  IDirect3DDevice3* device = nullptr;
  KR3DGetDirect3DDeviceInterface(&device);
  std::vector<double> ondrel, direct;
  for (int round = 0; round < 41; ++round) {
    double start = Seconds();
    glidescene::DrawScene(quads);
    grBufferSwap(1);
    ondrel.push_back(Seconds() - start);
    start = Seconds();
    for (std::vector<D3DTLVERTEX>& v : converted) {
      device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, v.data(), 4, D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS);
    }
    grBufferSwap(1);
    direct.push_back(Seconds() - start);
  }
  device->Release();
  printf("scene (%u triangles): Ondrel %.3f ms, direct %.3f ms, ratio %.3f (goal at most 1.10)\n",
         static_cast<unsigned>(quads.size() * 2), Median(ondrel) * 1000, Median(direct) * 1000,
         Median(ondrel) / Median(direct));
}

void ConversionRatios() {
  KR3DTEXTUREFORMATINFO device;
  std::memset(&device, 0, sizeof device);
  device.dwBitCount = 16;
  device.dwRedBits = device.dwGreenBits = device.dwBlueBits = device.dwAlphaBits = 4;
  device.dwRedShift = 8;
  device.dwGreenShift = 4;
  device.dwAlphaShift = 12;
  device.dwRedMax = device.dwGreenMax = device.dwBlueMax = device.dwAlphaMax = 15;
  static uint8_t source[256 * 256 * 2], target[256 * 256 * 4];
  for (size_t i = 0; i < sizeof source; ++i) source[i] = static_cast<uint8_t>(i * 37);
  const GrTextureFormat_t formats[] = {GR_TEXFMT_RGB_332, GR_TEXFMT_ALPHA_8, GR_TEXFMT_ARGB_8332,
                                       GR_TEXFMT_RGB_565, GR_TEXFMT_ARGB_1555, GR_TEXFMT_ARGB_4444};
  for (GrTextureFormat_t format : formats) {
    const TexelSource s = TexelSourceOf(format);
    const size_t bytes = static_cast<size_t>(256 * 256 * s.bytes);
    std::vector<double> convert, copy;
    for (int round = 0; round < 21; ++round) {
      double start = Seconds();
      for (int i = 0; i < 256 * 256; ++i) {
        StoreTexel(ConvertTexel(s, ReadTexel(s, source + i * s.bytes), device), 16, target + i * 2);
      }
      convert.push_back(Seconds() - start);
      start = Seconds();
      std::memcpy(target, source, bytes);
      copy.push_back(Seconds() - start);
    }
    printf("format %2d: conversion at %.1f%% of memcpy's throughput (goal at least 50%%)\n", format,
           100.0 * Median(copy) / Median(convert));
  }
}

// The same read straight from the surface: what Wine's own lock costs.
double SurfaceReadSeconds(unsigned* sum) {
  IDirectDrawSurface4* front = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&front, &back);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  const double start = Seconds();
  if (SUCCEEDED(back->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    const unsigned char* pixels = static_cast<const unsigned char*>(desc.lpSurface);
    for (size_t i = 0; i < static_cast<size_t>(desc.lPitch) * 480; ++i) *sum += pixels[i];
    back->Unlock(nullptr);
  }
  const double seconds = Seconds() - start;
  front->Release();
  back->Release();
  return seconds;
}

void FrameBufferRatio() {
  std::vector<double> locked, copied, surface;
  std::vector<unsigned char> frame;
  unsigned sum = 0;
  for (int round = 0; round < 21; ++round) {
    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof info);
    info.size = sizeof info;
    double start = Seconds();
    if (!grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info)) {
      printf("grLfbLock failed\n");
      return;
    }
    const size_t bytes = static_cast<size_t>(info.strideInBytes) * 480;
    const unsigned char* pixels = static_cast<const unsigned char*>(info.lfbPtr);
    for (size_t i = 0; i < bytes; ++i) sum += pixels[i];
    grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    locked.push_back(Seconds() - start);
    std::vector<unsigned char> source(bytes, static_cast<unsigned char>(round));
    frame.resize(bytes);
    start = Seconds();
    std::memcpy(frame.data(), source.data(), bytes);
    copied.push_back(Seconds() - start);
    sum += frame[bytes / 2];
    surface.push_back(SurfaceReadSeconds(&sum));
  }
  printf("frame buffer 640x480: lock + read + unlock %.3f ms, memcpy %.3f ms, ratio %.2f (goal at most 2) [%u]\n",
         Median(locked) * 1000, Median(copied) * 1000, Median(locked) / Median(copied), sum & 1);
  printf("frame buffer 640x480: the surface's own lock + read + unlock %.3f ms\n", Median(surface) * 1000);
}

}  // namespace

int main() {
  HWND window = winsupport::CreateMainWindow(640, 480, "Glide bench");
  if (window == nullptr) return 1;
  SetActiveWindow(window);
  grGlideInit();
  if (!grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480, 0,
                    GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1)) {
    printf("grSstWinOpen failed\n");
    return 1;
  }
  SceneRatio();
  ConversionRatios();
  FrameBufferRatio();
  grSstWinClose();
  grGlideShutdown();
  winsupport::DestroyMainWindow(window);
  return 0;
}
