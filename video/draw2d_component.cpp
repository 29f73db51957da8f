// The 2D component's start-up and clean-up: the buffer table and the text fonts.
#include <korvathd.h>

#include <cstring>
#include <new>

#include "core/handle_table.h"
#include "core/last_error.h"
#include "video/buffer_table.h"
#include "video/device_contexts.h"
#include "video/ime_draw.h"
#include "video/text.h"
#include "video/video_state.h"

namespace {

char kBufferTableTag[] = "KR2D:BUFFER";
const int kFirstBitmapBuffer = 3;

int g_2DStarted = 0;

}  // namespace

int KR2DIsStarted(void) { return g_2DStarted; }

int KR2DStartup(void) {
  if (g_2DStarted) return KRErrorFail(KRERR_2D | KRERR_ALREADYSTARTED);
  KRDebugDump("KR2D : Startup\n");

  KR2DResetTextState();
  KR2DResetImeDrawState();

  // Allocate before raising the flag: an exhausted heap must not leave the
  // component started without a table.
  KR2DBUFFER* table;
  try {
    table = static_cast<KR2DBUFFER*>(
        KRAllocEx(static_cast<int>(sizeof(KR2DBUFFER) * KR2D_BUFFER_MAX), kBufferTableTag));
  } catch (const std::bad_alloc&) {
    return KRErrorFail(KRERR_2D | KRERR_STARTUPFAILED);
  }
  memset(table, 0, sizeof(KR2DBUFFER) * KR2D_BUFFER_MAX);
  g_kr2DBuffers = table;
  g_2DStarted = 1;

  // Null while no video mode is set; the video component fills them when it makes its surfaces.
  g_kr2DBuffers[KR2D_BUFFER_PRIMARY].lpSurface = g_krVideo.lpPrimarySurface;
  g_kr2DBuffers[KR2D_BUFFER_BACK].lpSurface = g_krVideo.lpBackBuffer;
  return 1;
}

void KR2DCleanup(void) {
  if (!g_2DStarted) {
    KRErrorSetLastError(KRERR_2D | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KR2D : Cleanup\n");

  KR2DReleaseTextFonts();
  KR2DReleaseImeFonts();

  for (int buffer = kFirstBitmapBuffer; buffer < KR2D_BUFFER_MAX; ++buffer) {
    if (g_kr2DBuffers[buffer].lpSurface == NULL) continue;
    KRHandleWarnNotReleased("KR2D", "Buffer", buffer);
    KR2DReleaseBuffer(buffer);
  }
  // The video surfaces outlive the table: a context still lent on them goes back now.
  KR2DGiveBackLentDC(&g_kr2DBuffers[KR2D_BUFFER_PRIMARY]);
  KR2DGiveBackLentDC(&g_kr2DBuffers[KR2D_BUFFER_BACK]);

  KRFree(g_kr2DBuffers);
  g_kr2DBuffers = NULL;
  g_2DStarted = 0;
}

