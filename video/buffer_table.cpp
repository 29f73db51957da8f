// The 2D buffer table: buffers 1 and 2 mirror the video component's surfaces,
// 3 to 32 are bitmap buffers.
#include "video/buffer_table.h"

#include <korvathd.h>


#include "core/handle_table.h"
#include "video/device_contexts.h"
#include "video/video_state.h"

KR2DBUFFER* g_kr2DBuffers = NULL;

void KR2DSetVideoBuffer(int buffer, IDirectDrawSurface4* surface) {
  if (!KR2DIsStarted()) return;
  if (buffer != KR2D_BUFFER_PRIMARY && buffer != KR2D_BUFFER_BACK) return;
  KR2DBUFFER* entry = &g_kr2DBuffers[buffer];
  // The same surface again keeps a context the application is drawing with.
  if (entry->lpSurface == surface) return;
  KR2DGiveBackLentDC(entry);
  entry->lpSurface = surface;
}

IDirectDrawSurface4* KR2DGetBufferSurface(int buffer) {
  if (!KR2DIsStarted() || !KRHandleInRange(buffer, KR2D_BUFFER_MAX)) return NULL;
  return g_kr2DBuffers[buffer].lpSurface;
}
