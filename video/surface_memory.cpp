#include "video/surface_memory.h"

#include <korvathd.h>

IDirectDrawSurface4* KRCreateSurfaceInBestMemory(IDirectDraw4* directDraw, DDSURFACEDESC2* desc,
                                                 const KRSURFACEMEMORYTRY* tries, int tryCount,
                                                 HRESULT* lastResult) {
  HRESULT result = DDERR_GENERIC;
  for (int i = 0; i < tryCount; ++i) {
    desc->ddsCaps.dwCaps = tries[i].dwCaps;
    IDirectDrawSurface4* surface = NULL;
    result = directDraw->CreateSurface(desc, &surface, NULL);
    if (SUCCEEDED(result) && surface != NULL) {
      if (tries[i].szLine) KRDebugDump("%s", tries[i].szLine);
      if (lastResult) *lastResult = result;
      return surface;
    }
  }
  if (lastResult) *lastResult = result;
  return NULL;
}
