// Bitmap buffers 3 to 32: a bitmap of the application (a resource of its
// executable, else a file) copied into a colour-keyed off-screen surface.
#include "video/buffer_table.h"

#include <korvathd.h>

#include <cstring>
#include <string>

#include "core/handle_table.h"
#include "core/last_error.h"
#include "video/device_contexts.h"
#include "video/surface_memory.h"
#include "video/video_state.h"

namespace {

const unsigned long kCreateBufferFailed = KRERR_2D | 0x100;
const int kFirstBitmapBuffer = 3;
const char kComponent[] = "KR2D";
const char kObject[] = "Buffer";

// No log lines: the granted memory of a bitmap buffer is not reported.
const KRSURFACEMEMORYTRY kBitmapMemory[] = {
    {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM, NULL},
    {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM, NULL},
    {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, NULL},
};

// The application's own bitmap resource wins over a file of the same name;
// an integer resource id names no file.
HBITMAP LoadBitmapByName(const char* name) {
  HANDLE image = LoadImageA(GetModuleHandleA(NULL), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (image == NULL && !IS_INTRESOURCE(name)) {
    image = LoadImageA(NULL, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
  }
  return static_cast<HBITMAP>(image);
}

IDirectDrawSurface4* CreateKeyedSurface(int width, int height) {
  if (g_krVideo.lpDirectDraw == NULL) return NULL;
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  IDirectDrawSurface4* surface = KRCreateSurfaceInBestMemory(
      g_krVideo.lpDirectDraw, &desc, kBitmapMemory,
      static_cast<int>(sizeof(kBitmapMemory) / sizeof(kBitmapMemory[0])), NULL);
  if (surface == NULL) return NULL;
  // Black is transparent when the buffer is a sprite's source.
  DDCOLORKEY black = {0, 0};
  surface->SetColorKey(DDCKEY_SRCBLT, &black);
  return surface;
}

// Copies the whole bitmap to the surface's top-left corner; false when the
// surface lends no device context.
bool CopyBitmapToSurface(HBITMAP bitmap, int width, int height, IDirectDrawSurface4* surface) {
  HDC bitmapDC = CreateCompatibleDC(NULL);
  HGDIOBJ previous = SelectObject(bitmapDC, bitmap);
  HDC surfaceDC = NULL;
  bool copied = SUCCEEDED(surface->GetDC(&surfaceDC));
  if (copied) {
    BitBlt(surfaceDC, 0, 0, width, height, bitmapDC, 0, 0, SRCCOPY);
    surface->ReleaseDC(surfaceDC);
  }
  SelectObject(bitmapDC, previous);
  DeleteDC(bitmapDC);
  return copied;
}

// The full path of the name, cut to what the entry holds; empty when the name
// has none (an integer resource id, or a name the system cannot resolve).
void StorePath(const char* name, char* path) {
  path[0] = '\0';
  if (IS_INTRESOURCE(name)) return;
  std::string full(MAX_PATH, '\0');
  DWORD length = GetFullPathNameA(name, static_cast<DWORD>(full.size()), &full[0], NULL);
  if (length >= full.size()) {
    full.assign(length, '\0');
    length = GetFullPathNameA(name, static_cast<DWORD>(full.size()), &full[0], NULL);
  }
  if (length == 0 || length >= full.size()) return;
  size_t kept = length < KR2DBUFFER_PATH_MAX - 1 ? length : KR2DBUFFER_PATH_MAX - 1;
  memcpy(path, full.data(), kept);
  path[kept] = '\0';
}

}  // namespace

int KR2DCreateBuffer(const char* name) {
  if (!KR2DIsStarted()) return KRErrorFail(KRERR_2D | KRERR_NOTSTARTED);
  if (name == NULL) return 0;

  int buffer = KRHandleFindFree(kFirstBitmapBuffer, KR2D_BUFFER_MAX,
                                [](int b) { return g_kr2DBuffers[b].lpSurface == NULL; });
  if (buffer == 0) return KRHandleFailTableFull(kComponent, kObject, kCreateBufferFailed);

  HBITMAP bitmap = LoadBitmapByName(name);
  if (bitmap == NULL) return 0;

  BITMAP picture;
  memset(&picture, 0, sizeof(picture));
  IDirectDrawSurface4* surface = NULL;
  if (GetObjectA(bitmap, sizeof(picture), &picture) != 0) {
    surface = CreateKeyedSurface(picture.bmWidth, picture.bmHeight);
  }
  if (surface != NULL && !CopyBitmapToSurface(bitmap, picture.bmWidth, picture.bmHeight, surface)) {
    surface->Release();
    surface = NULL;
  }
  DeleteObject(bitmap);
  if (surface == NULL) return KRErrorFail(kCreateBufferFailed);

  KR2DBUFFER* entry = &g_kr2DBuffers[buffer];
  StorePath(name, entry->szPath);
  entry->lpSurface = surface;
  entry->nWidth = picture.bmWidth;
  entry->nHeight = picture.bmHeight;
  entry->nLockCount = 0;
  entry->hDC = NULL;
  return buffer;
}

void KR2DReleaseBuffer(int buffer) {
  // Buffers 1 and 2 belong to the video component and are never released here.
  if (!KRHandleInRange(buffer, kFirstBitmapBuffer, KR2D_BUFFER_MAX) || KR2DGetBufferSurface(buffer) == NULL) {
    KRHandleWarnInvalid(kComponent, "You did release", kObject, buffer);
    return;
  }
  KR2DBUFFER* entry = &g_kr2DBuffers[buffer];
  KR2DGiveBackLentDC(entry);
  entry->lpSurface->Release();
  entry->lpSurface = NULL;
}
