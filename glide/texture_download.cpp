// grTexDownloadMipMap: a square texture surface per address in the device
// format chosen at open, written through a system-memory staging surface from
// the largest level's texels, optionally decimated by the ReduceMemory divisor.
#include <cstring>

#include "glide/glide_state.h"
#include "glide/texel_conversion.h"

namespace {

struct TextureSurfaces {
  IDirectDrawSurface4* surface;
  IDirectDrawSurface4* staging;  // the surface itself (one more reference) when it is in system memory
};

// What the download reads: rows of `width` texels, `height` rows, every `step`-th
// texel of every `step`-th row, onto a `size` x `size` surface.
struct TexelWalk {
  const uint8_t* data;
  TexelSource source;
  int width, height;
  int step;
  int size;
};

bool TryCreate(DDSURFACEDESC2* desc, DWORD caps, IDirectDrawSurface4** surface) {
  desc->ddsCaps.dwCaps = caps;
  *surface = nullptr;
  return SUCCEEDED(g_glide.directDraw->CreateSurface(desc, surface, nullptr)) && *surface != nullptr;
}

bool CreateTextureSurfaces(int size, int formatIndex, TextureSurfaces* out) {
  KR3DCORETEXTUREFORMATINFO format;
  KR3DCoreGetTextureFormatInfo(&format, formatIndex);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  desc.dwWidth = desc.dwHeight = static_cast<DWORD>(size);
  desc.ddpfPixelFormat = format.ddpf;

  IDirectDrawSurface4* surface = nullptr;
  bool inSystemMemory = false;
  if (g_glide.settings.softwareEmulation) {
    inSystemMemory = TryCreate(&desc, DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE, &surface);
  } else {
    TryCreate(&desc, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_ALLOCONLOAD, &surface);
  }
  if (surface == nullptr) {
    TryCreate(&desc, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_ALLOCONLOAD, &surface);
  }
  // The last try only follows a system-memory try that was made and failed.
  if (surface == nullptr && g_glide.canTextureFromSystemMemory) {
    inSystemMemory = TryCreate(&desc, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_ALLOCONLOAD, &surface) ||
                     TryCreate(&desc, DDSCAPS_TEXTURE | DDSCAPS_ALLOCONLOAD, &surface);
  }
  if (surface == nullptr) return false;

  out->surface = surface;
  if (inSystemMemory) {
    surface->AddRef();
    out->staging = surface;
    return true;
  }
  if (!TryCreate(&desc, DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE, &out->staging)) {
    surface->Release();
    return false;
  }
  return true;
}

// The surface rows and columns the texture covers.
// A thin texture keeps one row or column however far it is decimated.
void CoveredArea(const TexelWalk& walk, int* rows, int* columns) {
  const int decimatedRows = walk.height / walk.step > 0 ? walk.height / walk.step : 1;
  const int decimatedColumns = walk.width / walk.step > 0 ? walk.width / walk.step : 1;
  *rows = decimatedRows < walk.size ? decimatedRows : walk.size;
  *columns = decimatedColumns < walk.size ? decimatedColumns : walk.size;
}

// Source bytes from one read row to the next.
size_t SourcePitch(const TexelWalk& walk) {
  return static_cast<size_t>(walk.step) * walk.width * walk.source.bytes;
}

// Calls `put(x, y, texel)` for every surface position the texture covers.
template <typename Put>
void WalkTexels(const TexelWalk& walk, Put put) {
  int rows = 0, columns = 0;
  CoveredArea(walk, &rows, &columns);
  for (int y = 0; y < rows; ++y) {
    const uint8_t* row = walk.data + y * SourcePitch(walk);
    for (int x = 0; x < columns; ++x) {
      put(x, y, ReadTexel(walk.source, row + static_cast<size_t>(x) * walk.step * walk.source.bytes));
    }
  }
}

// The converter of a Glide format into the device format chosen for it, made at the
// format's first download and kept while the open keeps that device format.
const TexelConverter& ConverterFor(GrTextureFormat_t format, const TexelSource& source,
                                   const KR3DTEXTUREFORMATINFO& device) {
  static TexelConverter converters[GR_TEXFMT_AP_88 + 1];  // 7 KiB of tables each: off the game's stack
  static KR3DTEXTUREFORMATINFO madeFor[GR_TEXFMT_AP_88 + 1];  // all zero (no device format) until made
  if (std::memcmp(&madeFor[format], &device, sizeof device) != 0) {
    MakeTexelConverter(source, device, &converters[format]);
    madeFor[format] = device;
  }
  return converters[format];
}

void WriteLocked(const TexelWalk& walk, GrTextureFormat_t format, const DDSURFACEDESC2& locked,
                 const KR3DTEXTUREFORMATINFO& device) {
  uint8_t* bits = static_cast<uint8_t*>(locked.lpSurface);
  const int bytes = static_cast<int>(device.dwBitCount) / 8;
  // Places the texture does not reach are 0.
  for (int y = 0; y < walk.size; ++y) {
    std::memset(bits + static_cast<size_t>(y) * locked.lPitch, 0, static_cast<size_t>(walk.size) * bytes);
  }
  if (!walk.source.converted) return;
  const TexelConverter& converter = ConverterFor(format, walk.source, device);
  int rows = 0, columns = 0;
  CoveredArea(walk, &rows, &columns);
  ConvertTexelRows(converter, walk.data, SourcePitch(walk), walk.step, columns, rows, bits,
                   static_cast<size_t>(locked.lPitch));
}

void LoadFromStaging(TextureSlot* slot, IDirectDrawSurface4* staging, IDirect3DTexture2* stagingTexture) {
  if (staging == slot->surface) return;
  if (FAILED(slot->texture->Load(stagingTexture))) KRDebugDump("Ondrel info : Failed to load texture\n");
}

// The lock failed: the texels go through the surface's device context.
void WriteThroughDC(const TexelWalk& walk, HRESULT lockResult, TextureSlot* slot, IDirectDrawSurface4* staging,
                    IDirect3DTexture2* stagingTexture) {
  KRDebugDump("Ondrel info : Failed to Lock surface\n");
  KRDebugDump("%s\n", OndrelDXResultName(lockResult, 1));
  KRDebugDump("Ondrel info : Try to get DC\n");
  HDC dc = nullptr;
  const HRESULT result = staging->GetDC(&dc);
  if (FAILED(result)) {
    KRVideoFlipToGDI();
    MessageBoxA(g_glide.appWindow, "Ondrel warning : grTexDownloadMipMap\rCould not write pixel to the texture",
                nullptr, MB_OK);
    KRVideoShow();
    KRDebugDump("Ondrel info : Failed to get DC\n");
    KRDebugDump("%s\n", OndrelDXResultName(result, 1));
    IDirectDrawSurface4* surface = slot->surface;
    IDirect3DTexture2* texture = slot->texture;
    slot->surface = nullptr;
    slot->texture = nullptr;
    surface->Release();
    texture->Release();
    return;
  }
  KRDebugDump("Ondrel info : Write pixel to DC\n");
  WalkTexels(walk, [&](int x, int y, uint32_t texel) {
    SetPixel(dc, x, y, TexelToColorRef(walk.source, texel));
  });
  staging->ReleaseDC(dc);
  KRDebugDump("Ondrel info : Release DC for the surface\n");
  if (staging != slot->surface) {
    KRDebugDump("Ondrel info : Load texture\n");
    LoadFromStaging(slot, staging, stagingTexture);
  }
}

}  // namespace

extern "C" void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 startAddress, FxU32, GrTexInfo* info) {
  if (!GlideDeviceReady() || startAddress >= static_cast<FxU32>(kTextureSlots)) return;
  TmuState* t = TmuIndex(tmu);
  TextureSlot* slot = &t->slots[startAddress];
  ReleaseTextureSlot(slot);
  t->boundAddress = -1;
  const GrTextureFormat_t format = info->format;
  if (format < 0 || format > GR_TEXFMT_AP_88 || g_glide.textureFormatMap[format] < 0) return;
  const int formatIndex = g_glide.textureFormatMap[format];
  const KR3DTEXTUREFORMATINFO& device = g_glide.deviceTextureFormats[formatIndex];

  // The texel data holds the largest level only as wide and high as its aspect makes it.
  const int edge = LodToEdge(info->largeLod);
  int widthFactor = 1;
  int heightFactor = 1;
  AspectToFactors(info->aspectRatio, &widthFactor, &heightFactor);
  const int longest = widthFactor > heightFactor ? widthFactor : heightFactor;
  TexelWalk walk;
  walk.data = static_cast<const uint8_t*>(info->data);
  walk.source = TexelSourceOf(format);
  walk.width = edge * widthFactor / longest > 0 ? edge * widthFactor / longest : 1;
  walk.height = edge * heightFactor / longest > 0 ? edge * heightFactor / longest : 1;
  const int divisor = g_glide.reduceMemoryDivisor;
  walk.step = edge / divisor >= 2 ? divisor : 1;
  walk.size = edge / walk.step;
  if (edge == 0) return;

  TextureSurfaces surfaces;
  if (!CreateTextureSurfaces(walk.size, formatIndex, &surfaces)) return;
  IDirect3DTexture2* texture = nullptr;
  IDirect3DTexture2* stagingTexture = nullptr;
  if (FAILED(surfaces.surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture))) ||
      FAILED(surfaces.staging->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&stagingTexture)))) {
    if (texture != nullptr) texture->Release();
    surfaces.staging->Release();
    surfaces.surface->Release();
    return;
  }
  slot->surface = surfaces.surface;
  slot->texture = texture;
  slot->deviceFormat = formatIndex;

  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof locked);
  locked.dwSize = sizeof locked;
  surfaces.staging->GetSurfaceDesc(&locked);
  const HRESULT lockResult = surfaces.staging->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
  if (SUCCEEDED(lockResult)) {
    WriteLocked(walk, format, locked, device);
    surfaces.staging->Unlock(nullptr);
    LoadFromStaging(slot, surfaces.staging, stagingTexture);
  } else {
    WriteThroughDC(walk, lockResult, slot, surfaces.staging, stagingTexture);
  }
  stagingTexture->Release();
  surfaces.staging->Release();
  t->boundAddress = -1;
}
