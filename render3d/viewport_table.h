// The viewport table's record: slot 0 is the default viewport over the whole
// display, 1 to 127 the application's.
#ifndef KR_RENDER3D_VIEWPORT_TABLE_H
#define KR_RENDER3D_VIEWPORT_TABLE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

typedef struct KR3DVIEWPORT {
  IDirect3DViewport3* lpViewport;  // present = slot in use
  D3DVIEWPORT2 desc;               // last description given to the viewport (pixels in dwX..dwHeight)
} KR3DVIEWPORT;

#endif
