// Surfaces are placed in the best memory that will take them: local display
// memory first, then non-local (AGP), then any display memory, then system
// memory. Each component gives its own ladder of capabilities and log lines.
#ifndef KR_SURFACE_MEMORY_H
#define KR_SURFACE_MEMORY_H

#include <windows.h>
#include <ddraw.h>

typedef struct KRSURFACEMEMORYTRY {
  DWORD dwCaps;         // DDSCAPS_... for this rung
  const char* szLine;   // logged when this rung succeeds (may be null)
} KRSURFACEMEMORYTRY;

// Tries `desc` with each rung's capabilities in order until CreateSurface
// succeeds; logs that rung's line and returns the surface, or null with
// *lastResult holding the final failure.
IDirectDrawSurface4* KRCreateSurfaceInBestMemory(IDirectDraw4* directDraw, DDSURFACEDESC2* desc,
                                                 const KRSURFACEMEMORYTRY* tries, int tryCount,
                                                 HRESULT* lastResult);

#endif
