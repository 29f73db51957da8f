// Counted lending of a buffer surface's device context: nested KR2DGetDC calls on
// one buffer share one context and one surface lock, given back by the last
// matching KR2DReleaseDC. A context the surface refused to take back stays in
// the entry and is given back again before the next lending or the release of
// the surface: a surface released with its context out keeps it for good.
//
// An index outside 1 to 32, an empty entry or a stopped component has no surface
// to lend: KR2DGetDC gives null and KR2DReleaseDC does nothing.
#include "video/device_contexts.h"

#include <korvathd.h>

#include "core/dx_result_log.h"

HDC KR2DGetDC(int buffer) {
  IDirectDrawSurface4* surface = KR2DGetBufferSurface(buffer);
  if (surface == NULL) return NULL;
  KR2DBUFFER* entry = &g_kr2DBuffers[buffer];
  if (entry->nLockCount == 0) {
    KR2DGiveBackLentDC(entry);
    HDC dc = NULL;
    HRESULT result = surface->GetDC(&dc);
    if (FAILED(result)) {
      KRDebugDumpDXResult(result);
      return NULL;
    }
    entry->hDC = dc;
  }
  ++entry->nLockCount;
  return entry->hDC;
}

int KR2DReleaseDC(HDC dc, int buffer) {
  IDirectDrawSurface4* surface = KR2DGetBufferSurface(buffer);
  if (surface == NULL) return 1;
  KR2DBUFFER* entry = &g_kr2DBuffers[buffer];
  // Another buffer's context, or one not lent: nothing to give back.
  if (entry->nLockCount <= 0 || dc != entry->hDC) return 1;
  if (--entry->nLockCount > 0) return 1;
  HRESULT result = surface->ReleaseDC(dc);
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return 0;
  }
  entry->hDC = NULL;
  return 1;
}

void KR2DGiveBackLentDC(KR2DBUFFER* entry) {
  if (entry->lpSurface != NULL && entry->hDC != NULL) entry->lpSurface->ReleaseDC(entry->hDC);
  entry->nLockCount = 0;
  entry->hDC = NULL;
}
