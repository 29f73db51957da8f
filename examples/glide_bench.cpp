// Not a test: timings of Ondrel under Wine in this one run, each printed as the
// median of paired ratios with their minimum and maximum. Each pair times the
// two sides one after the other, in alternating order.
// 1. The demo scene through Ondrel against the same vertices, converted
//    beforehand, drawn straight on KORVATHD's device with the render states and
//    texture Ondrel set, changed at the same points. Blocks of frames, each
//    closed by a read of the back buffer that waits for the renderer: once the
//    draw path alone, once the whole frame (Ondrel's swap with its statistics
//    lines against ending the scene, showing and beginning the next).
// 2. Texel conversion of a 256 x 256 texture of each source format into the
//    device format the open chose for it, against memcpy of the bytes written;
//    then the whole grTexDownloadMipMap against the same memcpy.
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

template <typename Work>
double TimeOf(Work work) {
  const double start = Seconds();
  work();
  return Seconds() - start;
}

// The ratios of `numerator`'s time to `denominator`'s, the order alternating from pair to pair.
template <typename A, typename B>
std::vector<double> PairedRatios(int pairs, A numerator, B denominator) {
  std::vector<double> ratios;
  for (int pair = 0; pair < pairs; ++pair) {
    double a, b;
    if (pair % 2 == 0) {
      a = TimeOf(numerator);
      b = TimeOf(denominator);
    } else {
      b = TimeOf(denominator);
      a = TimeOf(numerator);
    }
    ratios.push_back(a / b);
  }
  return ratios;
}

void PrintRatios(const char* label, std::vector<double> ratios, double scale, const char* unit, const char* goal) {
  std::sort(ratios.begin(), ratios.end());
  printf("%s: %.3f%s (min %.3f, max %.3f, %u pairs; %s)\n", label, Median(ratios) * scale, unit,
         ratios.front() * scale, ratios.back() * scale, static_cast<unsigned>(ratios.size()), goal);
}

IDirect3DDevice3* Device() {
  IDirect3DDevice3* device = nullptr;
  KR3DGetDirect3DDeviceInterface(&device);
  device->Release();  // Ondrel holds the device until the close
  return device;
}

// Locks the back buffer for reading and hands its description to `read`.
template <typename Read>
void ReadBackBuffer(Read read) {
  IDirectDrawSurface4* front = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&front, &back);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  if (SUCCEEDED(back->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    read(desc);
    back->Unlock(nullptr);
  }
  front->Release();
  back->Release();
}

// Waits for the renderer: a read of the back buffer's first pixel.
unsigned SynchronisingRead() {
  unsigned pixel = 0;
  ReadBackBuffer([&](const DDSURFACEDESC2& desc) { pixel = *static_cast<const unsigned char*>(desc.lpSurface); });
  return pixel;
}

// ---- 1. Scene ------------------------------------------------------------------------------

const D3DRENDERSTATETYPE kRenderStates[] = {
    D3DRENDERSTATE_ZENABLE,          D3DRENDERSTATE_ZFUNC,          D3DRENDERSTATE_ZWRITEENABLE,
    D3DRENDERSTATE_ALPHABLENDENABLE, D3DRENDERSTATE_SRCBLEND,       D3DRENDERSTATE_DESTBLEND,
    D3DRENDERSTATE_TEXTUREMAPBLEND,  D3DRENDERSTATE_ALPHATESTENABLE, D3DRENDERSTATE_FOGENABLE,
    D3DRENDERSTATE_FOGTABLEMODE,     D3DRENDERSTATE_FOGCOLOR,       D3DRENDERSTATE_FOGTABLESTART,
    D3DRENDERSTATE_FOGTABLEEND,      D3DRENDERSTATE_SPECULARENABLE, D3DRENDERSTATE_DITHERENABLE,
    D3DRENDERSTATE_TEXTUREPERSPECTIVE, D3DRENDERSTATE_CULLMODE,     D3DRENDERSTATE_SHADEMODE};
const int kRenderStateCount = sizeof kRenderStates / sizeof kRenderStates[0];
// What a scene begin resets, as Ondrel puts them back after its own begin.
const D3DRENDERSTATETYPE kBeginStates[] = {D3DRENDERSTATE_ZENABLE, D3DRENDERSTATE_SPECULARENABLE,
                                           D3DRENDERSTATE_DITHERENABLE, D3DRENDERSTATE_TEXTUREPERSPECTIVE};
const D3DTEXTURESTAGESTATETYPE kStageStates[] = {D3DTSS_MINFILTER, D3DTSS_MAGFILTER, D3DTSS_MIPFILTER};

// The device's states as Ondrel left them after drawing one kind of quad.
struct DeviceStates {
  DWORD render[kRenderStateCount];
  DWORD stage[3];
  IDirect3DTexture2* texture;  // held by Ondrel's texture address
};

DeviceStates StatesAfterDrawing(IDirect3DDevice3* device, const glidescene::SceneQuad& quad) {
  glidescene::DrawScene({quad});
  DeviceStates states;
  for (int i = 0; i < kRenderStateCount; ++i) device->GetRenderState(kRenderStates[i], &states.render[i]);
  for (int i = 0; i < 3; ++i) device->GetTextureStageState(0, kStageStates[i], &states.stage[i]);
  states.texture = nullptr;
  device->GetTexture(0, &states.texture);
  if (states.texture != nullptr) states.texture->Release();
  return states;
}

DWORD StateOf(const DeviceStates& states, D3DRENDERSTATETYPE state) {
  for (int i = 0; i < kRenderStateCount; ++i) {
    if (kRenderStates[i] == state) return states.render[i];
  }
  return 0;
}

// The scene as a Direct3D program draws it: vertices converted once, and at each
// point where Ondrel changes state the states that change and the texture.
struct DirectScene {
  IDirect3DDevice3* device;
  std::vector<std::vector<D3DTLVERTEX>> vertices;
  std::vector<int> kinds;      // per quad: 0 textured, 1 blended pane
  DeviceStates states[2];
};

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

DirectScene MakeDirectScene(const std::vector<glidescene::SceneQuad>& quads) {
  DirectScene scene;
  scene.device = Device();
  for (const glidescene::SceneQuad& q : quads) {
    scene.vertices.push_back(Converted(q));
    scene.kinds.push_back(q.blended ? 1 : 0);
  }
  scene.states[0] = StatesAfterDrawing(scene.device, quads.front());
  scene.states[1] = StatesAfterDrawing(scene.device, quads.back());
  return scene;
}

void DrawDirect(const DirectScene& scene) {
  int kind = scene.kinds.back();  // the last frame's last states
  for (size_t q = 0; q < scene.vertices.size(); ++q) {
    if (q == 0 || scene.kinds[q] != kind) {
      const DeviceStates& to = scene.states[scene.kinds[q]];
      const DeviceStates& from = scene.states[kind];
      for (int i = 0; i < kRenderStateCount; ++i) {
        if (q == 0 || to.render[i] != from.render[i]) scene.device->SetRenderState(kRenderStates[i], to.render[i]);
      }
      scene.device->SetTexture(0, to.texture);
      kind = scene.kinds[q];
    }
    scene.device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX,
                                const_cast<D3DTLVERTEX*>(scene.vertices[q].data()), 4,
                                D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS);
  }
}

// A Direct3D program's end of frame: end the scene, show, begin the next and set
// again what the begin reset.
void PresentDirect(const DirectScene& scene) {
  KR3DEndRender();
  KRVideoShow();
  KR3DBeginRender(0);
  const DeviceStates& last = scene.states[scene.kinds.back()];
  for (D3DRENDERSTATETYPE state : kBeginStates) scene.device->SetRenderState(state, StateOf(last, state));
  for (int i = 0; i < 3; ++i) scene.device->SetTextureStageState(0, kStageStates[i], last.stage[i]);
}

const int kFramesPerBlock = 8;
const int kScenePairs = 15;

template <typename Frame>
void Block(Frame frame) {
  for (int i = 0; i < kFramesPerBlock; ++i) frame();
  SynchronisingRead();
}

void SceneRatios() {
  if (!glidescene::SetUpScene()) printf("could not load bricks.3df\n");
  const std::vector<glidescene::SceneQuad> quads = glidescene::SceneQuads();
  const DirectScene direct = MakeDirectScene(quads);
  auto ondrelDraw = [&] {
    grBufferClear(0, 0, 0xFFFF);
    glidescene::DrawScene(quads);
  };
  auto directDraw = [&] {
    KR3DClear(0, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    DrawDirect(direct);
  };
  printf("scene: %u triangles, %d frames a block\n", static_cast<unsigned>(quads.size() * 2), kFramesPerBlock);
  PrintRatios("scene, draw path without swap: Ondrel / direct",
              PairedRatios(kScenePairs, [&] { Block(ondrelDraw); }, [&] { Block(directDraw); }), 1, "x",
              "goal at most 1.05");
  PrintRatios("scene, whole frame (Ondrel's swap / a plain present): Ondrel / direct",
              PairedRatios(
                  kScenePairs,
                  [&] {
                    Block([&] {
                      ondrelDraw();
                      grBufferSwap(1);
                    });
                  },
                  [&] {
                    Block([&] {
                      directDraw();
                      PresentDirect(direct);
                    });
                  }),
              1, "x", "the swap's statistics lines included");
}

// ---- 2. Texture conversion and download ----------------------------------------------------

const int kEdge = 256;
const FxU32 kBothLevels = 3;  // the even and odd levels
const int kConversionPairs = 21;

// The device format the open chose for `format`: the format of the texture a draw binds.
bool ChosenDeviceFormat(GrTextureFormat_t format, const void* texels, KR3DTEXTUREFORMATINFO* chosen) {
  GrTexInfo info = {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, format, const_cast<void*>(texels)};
  grTexDownloadMipMap(GR_TMU0, 1, kBothLevels, &info);
  grTexSource(GR_TMU0, 1, kBothLevels, &info);
  guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
  GrVertex v[3];
  std::memset(v, 0, sizeof v);
  for (int i = 0; i < 3; ++i) v[i].oow = 1.0f;
  v[1].x = v[2].x = v[2].y = 1.0f;
  grDrawTriangle(&v[0], &v[1], &v[2]);
  IDirect3DTexture2* texture = nullptr;
  IDirectDrawSurface4* surface = nullptr;
  Device()->GetTexture(0, &texture);
  if (texture == nullptr) return false;
  texture->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&surface));
  texture->Release();
  if (surface == nullptr) return false;
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  surface->Release();
  const DDPIXELFORMAT& bound = desc.ddpfPixelFormat;
  for (int i = 0; i < KR3DGetTextureFormatCount(); ++i) {
    KR3DCORETEXTUREFORMATINFO core;
    KR3DCoreGetTextureFormatInfo(&core, i);
    const DDPIXELFORMAT& f = core.ddpf;
    if (f.dwFlags == bound.dwFlags && f.dwRGBBitCount == bound.dwRGBBitCount && f.dwRBitMask == bound.dwRBitMask &&
        f.dwGBitMask == bound.dwGBitMask && f.dwBBitMask == bound.dwBBitMask &&
        f.dwRGBAlphaBitMask == bound.dwRGBAlphaBitMask) {
      KR3DGetTextureFormatInfo(chosen, i);
      return true;
    }
  }
  return false;
}

void ConversionRatios() {
  static uint8_t source[kEdge * kEdge * 2], target[kEdge * kEdge * 4], copy[kEdge * kEdge * 4];
  for (size_t i = 0; i < sizeof source; ++i) source[i] = static_cast<uint8_t>(i * 37 + (i >> 9));
  const struct {
    GrTextureFormat_t format;
    const char* name;
  } formats[] = {{GR_TEXFMT_RGB_332, "GR_TEXFMT_RGB_332"},     {GR_TEXFMT_ALPHA_8, "GR_TEXFMT_ALPHA_8"},
                 {GR_TEXFMT_ARGB_8332, "GR_TEXFMT_ARGB_8332"}, {GR_TEXFMT_RGB_565, "GR_TEXFMT_RGB_565"},
                 {GR_TEXFMT_ARGB_1555, "GR_TEXFMT_ARGB_1555"}, {GR_TEXFMT_ARGB_4444, "GR_TEXFMT_ARGB_4444"}};
  static TexelConverter converter;
  for (const auto& f : formats) {
    KR3DTEXTUREFORMATINFO device;
    if (!ChosenDeviceFormat(f.format, source, &device)) {
      printf("%s: the device format the open chose was not found\n", f.name);
      continue;
    }
    const TexelSource s = TexelSourceOf(f.format);
    const int deviceBytes = static_cast<int>(device.dwBitCount / 8);
    const size_t written = static_cast<size_t>(kEdge * kEdge * deviceBytes);
    auto memcpyOfWritten = [&] { std::memcpy(target, copy, written); };
    // The converter is made as a download makes it, once per format and device format.
    MakeTexelConverter(s, device, &converter);
    auto convert = [&] {
      ConvertTexelRows(converter, source, static_cast<size_t>(kEdge * s.bytes), 1, kEdge, kEdge, target,
                       static_cast<size_t>(kEdge * deviceBytes));
    };
    convert();
    const char* const kernels[] = {"tables", "SSE2 lanes", "AVX2 lanes", "AVX-512 lanes"};
    char label[400];
    snprintf(label, sizeof label, "%s into %s(%d bits, %s): conversion, %% of memcpy of the bytes written", f.name,
             device.szName, static_cast<int>(device.dwBitCount),
             converter.copy ? "the same layout: a row copy" : kernels[converter.kernel]);
    PrintRatios(label, PairedRatios(kConversionPairs, memcpyOfWritten, convert), 100, "%",
                converter.copy ? "goal at least 80%" : "goal at least 25%");
    // The narrower kernels this processor also runs, for processors without the wider ones.
    const TexelKernel chosen = converter.kernel;
    for (int k = kTexelsByTables; chosen != kTexelsByTables && k < chosen; ++k) {
      if (!ProcessorRuns(static_cast<TexelKernel>(k))) continue;
      converter.kernel = static_cast<TexelKernel>(k);
      snprintf(label, sizeof label, "  the same by %s", kernels[k]);
      PrintRatios(label, PairedRatios(kConversionPairs, memcpyOfWritten, convert), 100, "%", "for comparison");
    }
    converter.kernel = chosen;
    GrTexInfo info = {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, f.format, source};
    snprintf(label, sizeof label, "%s: whole grTexDownloadMipMap 256x256, %% of memcpy of the bytes written", f.name);
    PrintRatios(label,
                PairedRatios(kConversionPairs, memcpyOfWritten,
                             [&] { grTexDownloadMipMap(GR_TMU0, 1, kBothLevels, &info); }),
                100, "%", "surfaces and loading included");
  }
}

// The same read straight from the surface: what Wine's own lock costs.
double SurfaceReadSeconds(unsigned* sum) {
  const double start = Seconds();
  ReadBackBuffer([&](const DDSURFACEDESC2& desc) {
    const unsigned char* pixels = static_cast<const unsigned char*>(desc.lpSurface);
    for (size_t i = 0; i < static_cast<size_t>(desc.lPitch) * 480; ++i) *sum += pixels[i];
  });
  return Seconds() - start;
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
  printf("frame buffer 640x480: lock + read + unlock %.3f ms, memcpy %.3f ms, ratio %.2f (the copy a lock hands over, fresh at every lock) [%u]\n",
         Median(locked) * 1000, Median(copied) * 1000, Median(locked) / Median(copied), sum & 1);
  printf("frame buffer 640x480: the surface's own lock + read + unlock %.3f ms\n", Median(surface) * 1000);
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);  // each figure as soon as it is measured
  HWND window = winsupport::CreateMainWindow(640, 480, "Glide bench");
  if (window == nullptr) return 1;
  SetActiveWindow(window);
  grGlideInit();
  if (!grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480, 0,
                    GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1)) {
    printf("grSstWinOpen failed\n");
    return 1;
  }
  SceneRatios();
  ConversionRatios();
  FrameBufferRatio();
  grSstWinClose();
  grGlideShutdown();
  winsupport::DestroyMainWindow(window);
  return 0;
}
