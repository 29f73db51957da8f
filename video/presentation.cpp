// Presenting frames (flip in full screen, blit into the window otherwise),
// clearing surfaces, lost surfaces, and the interfaces handed to other components.
// Present and clear calls do not report DirectDraw failures: the application
// asks KRVideoIsLost and calls KRVideoRestore.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstring>

#include "core/core_state.h"
#include "video/buffer_table.h"
#include "video/presentation.h"
#include "video/video_state.h"

namespace {

// The surface a buffer index names: 1 and 2 are ours, the others the 2D table's.
IDirectDrawSurface4* SurfaceOfBuffer(int buffer) {
  if (buffer == KR2D_BUFFER_PRIMARY) return g_krVideo.lpPrimarySurface;
  if (buffer == KR2D_BUFFER_BACK) return g_krVideo.lpBackBuffer;
  if (buffer <= KR2D_BUFFER_BACK || buffer >= KR2D_BUFFER_MAX) return NULL;
  return KR2DGetBufferSurface(buffer);
}

void FillSurface(IDirectDrawSurface4* surface, RECT* rect, unsigned long colour) {
  if (surface == NULL) return;
  DDBLTFX effects;
  memset(&effects, 0, sizeof(effects));
  effects.dwSize = sizeof(effects);
  effects.dwFillColor = KRVideoColorToPixel(static_cast<DWORD>(colour));
  surface->Blt(rect, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

void BlitBackBufferIntoWindow(void) {
  if (g_krVideo.lpBackBuffer == NULL) return;
  POINT origin = {0, 0};
  ClientToScreen(g_krCore.hWnd, &origin);
  LONG width = static_cast<LONG>(g_krVideo.dwWidth);
  LONG height = static_cast<LONG>(g_krVideo.dwHeight);
  RECT destination = {origin.x, origin.y, origin.x + width, origin.y + height};
  RECT source = {0, 0, width, height};
  g_krVideo.lpPrimarySurface->Blt(&destination, g_krVideo.lpBackBuffer, &source, DDBLT_WAIT, NULL);
}

}  // namespace

int KRVideoSetShowMode(unsigned long mode) {
  if (g_krVideo.bFullScreen) {
    g_krVideo.dwShowMode = static_cast<DWORD>(mode);
    return 1;
  }
  // A window has no flipping chain.
  g_krVideo.dwShowMode = KRVIDEO_SHOWMODE_BLIT;
  return mode == KRVIDEO_SHOWMODE_FLIP ? 0 : 1;
}

int KRVideoShow(void) {
  if (g_krVideo.lpPrimarySurface == NULL) return 1;
  if (g_krVideo.dwShowMode & KRVIDEO_SHOWMODE_FLIP) {
    while (g_krVideo.lpPrimarySurface->Flip(NULL, DDFLIP_WAIT) == DDERR_WASSTILLDRAWING) {
    }
  } else {
    BlitBackBufferIntoWindow();
  }
  return 1;
}

void KRVideoClear(unsigned long colour, int buffer) { FillSurface(SurfaceOfBuffer(buffer), NULL, colour); }

void KRVideoClearRect(RECT* rect, unsigned long colour) { FillSurface(g_krVideo.lpBackBuffer, rect, colour); }

int KRVideoIsLost(void) {
  if (g_krVideo.lpPrimarySurface == NULL) return 0;
  return FAILED(g_krVideo.lpPrimarySurface->IsLost()) ? 1 : 0;
}

int KRVideoRestore(void) {
  if (g_krVideo.lpBackBuffer != NULL) g_krVideo.lpBackBuffer->Restore();
  if (g_krVideo.lpPrimarySurface != NULL) g_krVideo.lpPrimarySurface->Restore();
  return 1;
}

int KRVideoFlipToGDI(void) {
  if (g_krVideo.lpDirectDraw != NULL) g_krVideo.lpDirectDraw->FlipToGDISurface();
  return 1;
}

void KRVideoGetDirectDrawInterface(IDirectDraw4** out) {
  if (out == NULL) return;
  *out = g_krVideo.lpDirectDraw;
  if (*out != NULL) (*out)->AddRef();
}

void KRVideoGetDirectDrawSurfaceInterface(IDirectDrawSurface4** primary, IDirectDrawSurface4** back) {
  if (primary != NULL) {
    *primary = g_krVideo.lpPrimarySurface;
    if (*primary != NULL) (*primary)->AddRef();
  }
  if (back != NULL) {
    *back = g_krVideo.lpBackBuffer;
    if (*back != NULL) (*back)->AddRef();
  }
}
