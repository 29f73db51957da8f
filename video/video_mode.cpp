// Video modes: window mode in the main window's client area at the desktop's
// depth, or exclusive full screen; building and dropping a mode.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstring>

#include "core/core_state.h"
#include "core/int_conversion.h"
#include "core/last_error.h"
#include "video/pixel_format.h"
#include "video/video_state.h"
#include "video/video_surfaces.h"

namespace {

const unsigned long kErrorModeChangeFailed = KRERR_VIDEO | 0x101;
const unsigned long kDefaultWidth = 320;
const unsigned long kDefaultHeight = 240;
// Devices other than the primary display driver cannot draw into a window.
const unsigned long kFullScreenOnlyDepth = 16;
const DWORD kPalettizedDepth = 8;

DWORD DesktopDepth(void) {
  HDC dc = GetDC(g_krCore.hWnd);
  int depth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(g_krCore.hWnd, dc);
  return depth > 0 ? static_cast<DWORD>(depth) : 0;
}

// Window mode: the outer size that gives a client area of width by height, in place.
void SizeWindowForClientArea(DWORD width, DWORD height) {
  HWND window = g_krCore.hWnd;
  RECT outer, client;
  memset(&outer, 0, sizeof(outer));
  memset(&client, 0, sizeof(client));
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  // In 64 bits: the application's size may be as large as an unsigned long goes.
  int outerWidth = KRClampToInt(static_cast<int64_t>(width) + (int64_t{outer.right} - outer.left) -
                                (int64_t{client.right} - client.left));
  int outerHeight = KRClampToInt(static_cast<int64_t>(height) + (int64_t{outer.bottom} - outer.top) -
                                 (int64_t{client.bottom} - client.top));
  SetWindowPos(window, HWND_NOTOPMOST, outer.left, outer.top, outerWidth, outerHeight,
               SWP_NOSENDCHANGING | SWP_NOZORDER | SWP_NOMOVE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
}

void CoverScreenWithWindow(DWORD width, DWORD height) {
  SetWindowPos(g_krCore.hWnd, HWND_TOPMOST, 0, 0, KRClampToInt(width), KRClampToInt(height), SWP_NOSENDCHANGING);
}

// The channel layout of the new mode: fixed for 8 bits, else the primary surface's masks.
void TakePixelFormat(void) {
  if (g_krVideo.dwDepth == kPalettizedDepth) {
    KRVideoSetPalettizedLayout();
  } else {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    g_krVideo.lpPrimarySurface->GetSurfaceDesc(&desc);
    KRVideoSetLayoutFromMasks(desc.ddpfPixelFormat.dwRBitMask, desc.ddpfPixelFormat.dwGBitMask,
                              desc.ddpfPixelFormat.dwBBitMask);
  }
  KRVideoLogPixelFormat();
}

void DropSurfaces(void) {
  KRVideoReleasePrimaryPalette();
  KRVideoReleaseBackBuffer();
  KRVideoReleasePrimarySurface();
}

}  // namespace

int KRVideoSetVideoMode(unsigned long width, unsigned long height, unsigned long depth) {
  if (!g_krVideo.bStarted || g_krVideo.lpDirectDraw == NULL) return KRErrorFail(KRERR_VIDEO | KRERR_NOTSTARTED);

  if (g_krVideo.dwWidth != 0 || g_krVideo.dwHeight != 0) {
    // Full screen to window: the desktop's display mode comes back first.
    if (g_krVideo.bFullScreen && depth == 0) {
      KRVideoRestoreVideoMode();
    } else {
      DropSurfaces();
    }
  }

  if (depth == 0 && !g_krVideo.bDefaultDevice) depth = kFullScreenOnlyDepth;
  if (width == 0) width = kDefaultWidth;
  if (height == 0) height = kDefaultHeight;
  g_krVideo.dwWidth = static_cast<DWORD>(width);
  g_krVideo.dwHeight = static_cast<DWORD>(height);
  g_krVideo.bFullScreen = depth != 0 ? 1 : 0;
  g_krVideo.dwDepth = g_krVideo.bFullScreen ? static_cast<DWORD>(depth) : DesktopDepth();

  KRDebugDump("KRVideo : SetVideoyMode to %dx%dx%d %s\n", static_cast<int>(g_krVideo.dwWidth),
              static_cast<int>(g_krVideo.dwHeight), static_cast<int>(g_krVideo.dwDepth),
              g_krVideo.bFullScreen ? "Full screen mode" : "Window mode");

  if (g_krVideo.bFullScreen) {
    CoverScreenWithWindow(g_krVideo.dwWidth, g_krVideo.dwHeight);
  } else {
    SizeWindowForClientArea(g_krVideo.dwWidth, g_krVideo.dwHeight);
  }

  if (!KRVideoCreatePrimarySurface() || !KRVideoCreateBackBuffer()) return KRErrorFail(kErrorModeChangeFailed);

  if (g_krVideo.dwDepth == kPalettizedDepth && !KRVideoCreatePrimaryPalette())
    return KRErrorFail(kErrorModeChangeFailed);

  TakePixelFormat();

  // In window mode this leaves blit. Clearing and showing twice leaves both
  // pages of a flipping chain black.
  KRVideoSetShowMode(KRVIDEO_SHOWMODE_FLIP);
  for (int page = 0; page < 2; ++page) {
    KRVideoClear(0, KR2D_BUFFER_BACK);
    KRVideoShow();
  }
  return 1;
}

int KRVideoSetVideoMode(unsigned long width, unsigned long height) {
  return KRVideoSetVideoMode(width, height, g_krVideo.bFullScreen ? g_krVideo.dwDepth : 0);
}

int KRVideoGetVideoMode(unsigned long* width, unsigned long* height, unsigned long* depth, int* fullScreen) {
  if (width != NULL) *width = g_krVideo.dwWidth;
  if (height != NULL) *height = g_krVideo.dwHeight;
  if (depth != NULL) *depth = g_krVideo.dwDepth;
  if (fullScreen != NULL) *fullScreen = g_krVideo.bFullScreen;
  return 1;
}

void KRVideoRestoreVideoMode(void) {
  DropSurfaces();
  // The cooperative level stays: only the display mode goes back to the desktop's.
  if (g_krVideo.bFullScreen && g_krVideo.lpDirectDraw != NULL) g_krVideo.lpDirectDraw->RestoreDisplayMode();
  g_krVideo.dwWidth = 0;
  g_krVideo.dwHeight = 0;
  g_krVideo.dwDepth = 0;
  g_krVideo.bFullScreen = 0;
}
