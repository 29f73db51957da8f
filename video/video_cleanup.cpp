// Ending the video component: the mode, the display object and the tables.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include "core/core_state.h"
#include "core/last_error.h"
#include "video/video_state.h"

void KRVideoCleanup(void) {
  if (!g_krVideo.bStarted) {
    KRErrorSetLastError(KRERR_VIDEO | KRERR_NOTSTARTED);
    return;
  }
  KRVideoRestoreVideoMode();
  if (g_krVideo.lpDirectDraw != NULL) g_krVideo.lpDirectDraw->SetCooperativeLevel(g_krCore.hWnd, DDSCL_NORMAL);
  KRDebugDump("KRVideo : Cleanup\n");
  KRDebugDump("KRVideo : Release DirectDraw2\n");
  if (g_krVideo.lpDirectDraw != NULL) {
    g_krVideo.lpDirectDraw->Release();
    g_krVideo.lpDirectDraw = NULL;
  }
  KRFree(g_krVideo.lpModes);
  g_krVideo.lpModes = NULL;
  g_krVideo.nModeCount = 0;
  KRFree(g_krVideo.lpPaletteEntries);
  g_krVideo.lpPaletteEntries = NULL;
  g_krVideo.bStarted = 0;
}
