// The viewport table: rectangles given in screen units (-1 the left or top
// edge, 1 the right or bottom edge) and kept in pixels, slot 0 the default
// viewport of the device, 1 to 127 the application's.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstring>

#include "core/dx_result_log.h"
#include "core/handle_table.h"
#include "core/int_conversion.h"
#include "core/last_error.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"
#include "video/video_state.h"

namespace {

const unsigned long kSetViewportFailed = KRERR_3D_SETVIEWPORT;
const unsigned long kCreateViewportFailed = KRERR_3D_CREATEVIEWPORT;

// One clip volume for every rectangle.
const float kClipX = -1.0f;
const float kClipY = 0.75f;
const float kClipWidth = 2.0f;
const float kClipHeight = 0.75f * 2.0f;

// Pixel position of a screen unit along an edge of `size` pixels, truncated toward zero.
int ScreenUnitToPixel(DWORD size, float unit) {
  double pixels = static_cast<double>(size);
  return KRFloatToInt((pixels + pixels * unit) / 2.0);
}

void DescribeRectangle(D3DVIEWPORT2* desc, float x1, float y1, float x2, float y2) {
  // The display size, also when the render target is a buffer of another size.
  // Corners far off the screen reach the int range's ends: the size stops there too.
  int left = ScreenUnitToPixel(g_krVideo.dwWidth, x1);
  int top = ScreenUnitToPixel(g_krVideo.dwHeight, y1);
  int width = KRClampToInt(int64_t{ScreenUnitToPixel(g_krVideo.dwWidth, x2)} - left);
  int height = KRClampToInt(int64_t{ScreenUnitToPixel(g_krVideo.dwHeight, y2)} - top);
  memset(desc, 0, sizeof(*desc));
  desc->dwSize = sizeof(*desc);
  desc->dwX = static_cast<DWORD>(left);
  desc->dwY = static_cast<DWORD>(top);
  desc->dwWidth = static_cast<DWORD>(width);
  desc->dwHeight = static_cast<DWORD>(height);
  desc->dvClipX = kClipX;
  desc->dvClipY = kClipY;
  desc->dvClipWidth = kClipWidth;
  desc->dvClipHeight = kClipHeight;
  desc->dvMinZ = 0.0f;
  desc->dvMaxZ = 1.0f;
}

// Takes the viewport off the device and lets it go; the slot is emptied first.
void RemoveViewport(KR3DVIEWPORT* entry) {
  IDirect3DViewport3* viewport = entry->lpViewport;
  entry->lpViewport = NULL;
  g_kr3D.lpDevice->DeleteViewport(viewport);
  viewport->Release();
}

}  // namespace

int KR3DDeviceReady(void) { return g_kr3D.bDeviceStarted && g_kr3D.lpDevice != NULL; }

KR3DVIEWPORT* KR3DFindViewport(int viewport) {
  if (!KR3DDeviceReady() || g_kr3D.lpViewports == NULL) return NULL;
  if (viewport < 0 || viewport >= KR3D_VIEWPORT_MAX) return NULL;
  KR3DVIEWPORT* entry = &g_kr3D.lpViewports[viewport];
  return entry->lpViewport != NULL ? entry : NULL;
}

int KR3DSetViewport(int viewport, float x1, float y1, float x2, float y2) {
  KR3DVIEWPORT* entry = KR3DFindViewport(viewport);
  if (entry == NULL) {
    KRDebugDump("KR3D Warning : Set viewport to NULL Viewport(%d).\n", viewport);
    return KRErrorFail(KRERR_3D | KRERR_INVALIDVALUE);
  }
  DescribeRectangle(&entry->desc, x1, y1, x2, y2);
  // A refused description stays in the slot: it is what was last given.
  if (FAILED(entry->lpViewport->SetViewport2(&entry->desc))) return KRErrorFail(kSetViewportFailed);
  return 1;
}

int KR3DCreateViewport(float x1, float y1, float x2, float y2) {
  if (!KR3DDeviceReady() || g_kr3D.lpDirect3D == NULL || g_kr3D.lpViewports == NULL)
    return KRErrorFail(kCreateViewportFailed);
  int handle = KRHandleFindFree(KR3D_VIEWPORT_MAX,
                                [](int slot) { return g_kr3D.lpViewports[slot].lpViewport == NULL; });
  if (handle == 0) {
    // A full table is not an error: the last code stays.
    KRHandleWarnTableFull("KR3D", "Viewport");
    return 0;
  }

  IDirect3DViewport3* viewport = NULL;
  HRESULT result = g_kr3D.lpDirect3D->CreateViewport(&viewport, NULL);
  if (FAILED(result) || viewport == NULL)
    return KRErrorFailDX(FAILED(result) ? result : E_FAIL, kCreateViewportFailed);
  result = g_kr3D.lpDevice->AddViewport(viewport);
  if (FAILED(result)) {
    viewport->Release();
    return KRErrorFailDX(result, kCreateViewportFailed);
  }

  KR3DVIEWPORT* entry = &g_kr3D.lpViewports[handle];
  entry->lpViewport = viewport;
  if (!KR3DSetViewport(handle, x1, y1, x2, y2)) {
    RemoveViewport(entry);
    return KRErrorFail(kCreateViewportFailed);
  }
  return handle;
}

void KR3DReleaseViewport(int viewport) {
  // The default viewport belongs to the device: only its clean-up releases it.
  KR3DVIEWPORT* entry = KRHandleInRange(viewport, KR3D_VIEWPORT_MAX) ? KR3DFindViewport(viewport) : NULL;
  if (entry == NULL) {
    KRHandleWarnInvalid("KR3D", "You did release", "Viewport", viewport);
    return;
  }
  RemoveViewport(entry);
}
