// The texture table: Direct3D textures made from Windows bitmaps, by handle or
// by name, in a format given by index or chosen from the bitmap's depth.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstring>

#include "core/handle_table.h"
#include "core/last_error.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"
#include "video/surface_memory.h"
#include "video/video_state.h"

namespace {

const char kComponent[] = "KR3D";
const char kObject[] = "Texture";
const DWORD kSurfaceFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
const DWORD kSourceCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
const int kColourTableMax = 256;
const int kSmallPaletteEntries = 16;

// What the format chooser reads and writes; the callback's context stays unused, as
// the enumeration of the started device is the only caller.
DDPIXELFORMAT g_chosenFormat;
DWORD g_bitmapDepth = 0;

HRESULT CALLBACK ChooseTextureFormat(DDPIXELFORMAT* format, void* /*context*/) {
  if (format == NULL) return D3DENUMRET_OK;
  const DWORD flags = format->dwFlags;
  const DWORD bits = format->dwRGBBitCount;
  if (flags & (DDPF_ALPHAPIXELS | DDPF_ALPHA)) return D3DENUMRET_OK;
  if (bits <= 8 && !(flags & (DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8))) return D3DENUMRET_OK;
  if (bits > 8 && !(flags & DDPF_RGB)) return D3DENUMRET_OK;
  if (bits < 8) return D3DENUMRET_OK;
  if (g_chosenFormat.dwRGBBitCount == 0) {
    g_chosenFormat = *format;
    return D3DENUMRET_OK;
  }
  // Unsigned on purpose: a kept format below the depth is farther than any at or above it.
  const DWORD distance = bits - g_bitmapDepth;
  const DWORD keptDistance = g_chosenFormat.dwRGBBitCount - g_bitmapDepth;
  if (bits >= g_bitmapDepth && distance < keptDistance) g_chosenFormat = *format;
  return D3DENUMRET_OK;
}

bool PixelFormatFor(int format, DWORD bitmapDepth, DDPIXELFORMAT* out) {
  if (format >= 0 && format < g_kr3D.nTextureFormatCount) {
    *out = g_kr3D.lpTextureFormats[format].ddpf;
    return true;
  }
  g_bitmapDepth = bitmapDepth;
  memset(&g_chosenFormat, 0, sizeof(g_chosenFormat));
  g_chosenFormat.dwSize = sizeof(g_chosenFormat);
  if (FAILED(g_kr3D.lpDevice->EnumTextureFormats(ChooseTextureFormat, NULL))) return false;
  *out = g_chosenFormat;
  return true;
}

bool CurrentDeviceIsHardware(void) {
  const int device = g_kr3D.nCurrentDevice;
  return device >= 0 && device < KR3D_DEVICE_MAX && g_kr3D.lpDevices[device].bHardware;
}

template <typename Interface>
void ReleaseInterface(Interface** held) {
  if (*held) (*held)->Release();
  *held = NULL;
}

// What a creation has made so far; each failure gives all of it back.
struct TextureParts {
  IDirectDrawSurface4* lpSurface;
  IDirectDrawSurface4* lpSourceSurface;
  IDirectDrawPalette* lpPalette;
  IDirect3DTexture2* lpD3DTexture;
};

int FailCreation(TextureParts* parts) {
  ReleaseInterface(&parts->lpD3DTexture);
  ReleaseInterface(&parts->lpSurface);
  ReleaseInterface(&parts->lpSourceSurface);
  ReleaseInterface(&parts->lpPalette);
  return KRErrorFail(KRERR_3D_CREATETEXTURE);
}

bool CreateSurfaces(DDSURFACEDESC2* desc, TextureParts* parts) {
  IDirectDraw4* directDraw = g_krVideo.lpDirectDraw;
  HRESULT result = DD_OK;
  if (!CurrentDeviceIsHardware()) {
    desc->ddsCaps.dwCaps = kSourceCaps;
    if (FAILED(directDraw->CreateSurface(desc, &parts->lpSurface, NULL))) return false;
    parts->lpSourceSurface = parts->lpSurface;
    parts->lpSourceSurface->AddRef();
    return true;
  }
  const KRSURFACEMEMORYTRY tries[] = {
      {DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_ALLOCONLOAD, NULL},
      {DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_ALLOCONLOAD, NULL},
  };
  parts->lpSurface = KRCreateSurfaceInBestMemory(directDraw, desc, tries, 2, &result);
  if (parts->lpSurface == NULL) return false;
  desc->ddsCaps.dwCaps = kSourceCaps;
  return SUCCEEDED(directDraw->CreateSurface(desc, &parts->lpSourceSurface, NULL));
}

// An 8-bit palettised surface takes 256 entries and a 4-bit one 16, whatever the
// bitmap's table holds (the rest stay black); other formats size it by the table.
DWORD PaletteCapsFor(const DDPIXELFORMAT& format, UINT entries) {
  if (format.dwFlags & DDPF_PALETTEINDEXED8) return DDPCAPS_8BIT;
  if (format.dwFlags & DDPF_PALETTEINDEXED4) return DDPCAPS_4BIT;
  return entries > kSmallPaletteEntries ? DDPCAPS_8BIT : DDPCAPS_4BIT;
}

// False only when a palette was needed and could not be made; the attachments'
// results are not examined, so a palette an RGB surface refuses is merely kept.
bool AttachColourTable(HBITMAP bitmap, const DDPIXELFORMAT& format, TextureParts* parts) {
  if (format.dwRGBBitCount == 0) return true;
  RGBQUAD table[kColourTableMax];
  memset(table, 0, sizeof(table));
  HDC dc = CreateCompatibleDC(NULL);
  UINT entries = 0;
  if (dc != NULL) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    entries = GetDIBColorTable(dc, 0, kColourTableMax, table);
    if (entries > kColourTableMax) entries = kColourTableMax;
    SelectObject(dc, previous);
    DeleteDC(dc);
  }
  if (entries == 0) return true;

  PALETTEENTRY palette[kColourTableMax];
  memset(palette, 0, sizeof(palette));
  for (UINT i = 0; i < entries; ++i) {
    palette[i].peRed = table[i].rgbRed;
    palette[i].peGreen = table[i].rgbGreen;
    palette[i].peBlue = table[i].rgbBlue;
  }
  if (FAILED(g_krVideo.lpDirectDraw->CreatePalette(PaletteCapsFor(format, entries), palette, &parts->lpPalette,
                                                   NULL))) {
    parts->lpPalette = NULL;
    return false;
  }
  parts->lpSurface->SetPalette(parts->lpPalette);
  parts->lpSourceSurface->SetPalette(parts->lpPalette);
  return true;
}

bool DrawBitmap(HBITMAP bitmap, int width, int height, IDirectDrawSurface4* surface) {
  HDC memory = CreateCompatibleDC(NULL);
  if (memory == NULL) return false;
  HGDIOBJ previous = SelectObject(memory, bitmap);
  HDC target = NULL;
  bool drawn = false;
  if (SUCCEEDED(surface->GetDC(&target))) {
    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    surface->ReleaseDC(target);
    drawn = true;
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  return drawn;
}

bool QueryTextures(TextureParts* parts) {
  if (FAILED(parts->lpSurface->QueryInterface(IID_IDirect3DTexture2,
                                               reinterpret_cast<void**>(&parts->lpD3DTexture)))) {
    parts->lpD3DTexture = NULL;
    return false;
  }
  if (parts->lpSurface == parts->lpSourceSurface) return true;
  IDirect3DTexture2* source = NULL;
  if (FAILED(parts->lpSourceSurface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&source)))) {
    return false;
  }
  const HRESULT loaded = parts->lpD3DTexture->Load(source);
  source->Release();
  return SUCCEEDED(loaded);
}

bool TablesReady(void) { return g_kr3D.lpTextures != NULL; }

bool DeviceReady(void) { return TablesReady() && KR3DDeviceReady() && g_krVideo.lpDirectDraw != NULL; }

bool InUse(int texture) {
  return TablesReady() && KRHandleInRange(texture, KR3D_TEXTURE_MAX) && g_kr3D.lpTextures[texture].lpD3DTexture;
}

}  // namespace

int KR3DCreateTexture(HBITMAP bitmap, int format) {
  // Textures belong to a started device; without one nothing is asked of the platform.
  if (!DeviceReady()) return KRErrorFail(KRERR_3D_CREATETEXTURE);
  const int texture =
      KRHandleFindFree(KR3D_TEXTURE_MAX, [](int t) { return g_kr3D.lpTextures[t].lpD3DTexture == NULL; });
  if (texture == 0) return KRHandleFailTableFull(kComponent, kObject, KRERR_3D_CREATETEXTURE);

  BITMAP picture;
  memset(&picture, 0, sizeof(picture));
  if (GetObjectA(bitmap, sizeof(picture), &picture) == 0 || picture.bmWidth <= 0 || picture.bmHeight <= 0) {
    return KRErrorFail(KRERR_3D_CREATETEXTURE);
  }

  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = kSurfaceFlags;
  desc.dwWidth = static_cast<DWORD>(picture.bmWidth);
  desc.dwHeight = static_cast<DWORD>(picture.bmHeight);
  if (!PixelFormatFor(format, picture.bmBitsPixel, &desc.ddpfPixelFormat)) {
    return KRErrorFail(KRERR_3D_CREATETEXTURE);
  }
  const DDPIXELFORMAT pixelFormat = desc.ddpfPixelFormat;

  TextureParts parts = {NULL, NULL, NULL, NULL};
  if (!CreateSurfaces(&desc, &parts)) return FailCreation(&parts);
  if (!AttachColourTable(bitmap, pixelFormat, &parts)) return FailCreation(&parts);
  if (!DrawBitmap(bitmap, picture.bmWidth, picture.bmHeight, parts.lpSourceSurface)) return FailCreation(&parts);
  if (!QueryTextures(&parts)) return FailCreation(&parts);

  KR3DTEXTURE& slot = g_kr3D.lpTextures[texture];
  slot.lpSurface = parts.lpSurface;
  slot.lpSourceSurface = parts.lpSourceSurface;
  slot.lpPalette = parts.lpPalette;
  slot.lpD3DTexture = parts.lpD3DTexture;
  slot.dwWidth = static_cast<DWORD>(picture.bmWidth);
  slot.dwHeight = static_cast<DWORD>(picture.bmHeight);
  return texture;
}

int KR3DCreateTexture(const char* name, int format) {
  if (!DeviceReady()) return KRErrorFail(KRERR_3D_CREATETEXTURE);
  if (name == NULL) return 0;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA("KORVATHD.DLL"), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  // A resource number names no file: only string names go on to the file system.
  const bool fromFile = bitmap == NULL && !IS_INTRESOURCE(name);
  if (fromFile) {
    bitmap = static_cast<HBITMAP>(LoadImageA(NULL, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
  }
  if (bitmap == NULL) return 0;

  const int texture = KR3DCreateTexture(bitmap, format);
  DeleteObject(bitmap);
  if (texture != 0 && fromFile) {
    char path[KR3DTEXTURE_PATH_MAX];
    const DWORD length = GetFullPathNameA(name, sizeof(path), path, NULL);
    // A path that does not fit is left out rather than cut.
    if (length > 0 && length < sizeof(path)) memcpy(g_kr3D.lpTextures[texture].szPath, path, length + 1);
  }
  return texture;
}

void KR3DReleaseTexture(int texture) {
  if (!InUse(texture)) {
    KRHandleWarnInvalid(kComponent, "You did release", kObject, texture);
    return;
  }
  KR3DTEXTURE& slot = g_kr3D.lpTextures[texture];
  ReleaseInterface(&slot.lpSurface);
  ReleaseInterface(&slot.lpSourceSurface);
  ReleaseInterface(&slot.lpPalette);
  ReleaseInterface(&slot.lpD3DTexture);
}

void KR3DGetDirect3DTextureInterface(IDirect3DTexture2** out, int texture) {
  if (out == NULL) return;
  *out = InUse(texture) ? g_kr3D.lpTextures[texture].lpD3DTexture : NULL;
}
