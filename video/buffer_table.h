// The 2D buffer table: buffer 1 the primary surface, 2 the back buffer, 3 to 32
// bitmap buffers. Shared by 2D drawing, KRVideoClear and 3D render targets.
#ifndef KR_BUFFER_TABLE_H
#define KR_BUFFER_TABLE_H

#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#define KR2DBUFFER_PATH_MAX 128

typedef struct KR2DBUFFER {
  char szPath[KR2DBUFFER_PATH_MAX];  // full path of the bitmap's name; empty for 1 and 2
  IDirectDrawSurface4* lpSurface;    // null: a free entry. 1 and 2: the video's pointer, no reference of its own
  int nWidth;
  int nHeight;
  int nLockCount;  // KR2DGetDC calls not yet matched by KR2DReleaseDC
  HDC hDC;         // the surface's device context while nLockCount > 0, or one it refused to take back
} KR2DBUFFER;

// KR2D_BUFFER_MAX entries while the 2D component is started, else null.
extern KR2DBUFFER* g_kr2DBuffers;

// 1 while the 2D component is started.
int KR2DIsStarted(void);

// The video component's surfaces as buffers 1 and 2: called whenever the video
// component makes or releases its primary surface or back buffer. Does nothing
// while 2D is not started. A null surface empties the entry (any device context
// still lent on the old surface is given back first), so nothing can draw on a
// released surface.
void KR2DSetVideoBuffer(int buffer, IDirectDrawSurface4* surface);

// The surface of a buffer index, or null when the index names no surface.
IDirectDrawSurface4* KR2DGetBufferSurface(int buffer);

#endif
