// What the two splash sequences share: the module state of the running
// sequence (viewport, start tick, sound-on flag, camera), the animated object
// record, and the loading, frame-loop and releasing steps common to both.
#ifndef KR_RENDER3D_SPLASH_SEQUENCE_H
#define KR_RENDER3D_SPLASH_SEQUENCE_H

#include <windows.h>
#include <d3d.h>

#include <korvathd.h>

#define KR3D_SPLASH_OBJECTS 4

// One animated object: flown from vStart to vEnd; `obj` goes to the render list.
typedef struct KR3DSPLASHOBJECT {
  D3DVECTOR vStart;
  D3DVECTOR vEnd;
  tagKR3DOBJECT obj;
} KR3DSPLASHOBJECT;

typedef struct KR3DSPLASHSTATE {
  HMODULE hModule;   // the library's own module, whose resources are loaded
  int nViewport;     // made for the running sequence
  DWORD dwStartTick; // taken at the end of loading
  int bSoundOn;      // the sound component's started flag at loading
  KR3DMATRIX matProjection;
  KR3DMATRIX matView;
} KR3DSPLASHSTATE;

extern KR3DSPLASHSTATE g_kr3DSplash;

// The object's own values, as a sequence's table gives them.
typedef struct KR3DSPLASHOBJECTDESC {
  D3DVECTOR vStart;
  D3DVECTOR vEnd;
  DWORD dwFlags;
  DWORD dwSrcBlend;
  DWORD dwDestBlend;
  int* lpModel;
  int* lpTexture;
  int* lpMaterial;
} KR3DSPLASHOBJECTDESC;

// First loading steps: the module, the sound-on flag, the viewport. 0 when
// the 3D device is not started or the library runs under another file name:
// then nothing is made.
int KRSplashBeginLoading(void);
// An object filled from its description, with an identity frame of its own.
void KRSplashFillObject(KR3DSPLASHOBJECT* object, const KR3DSPLASHOBJECTDESC& desc);
// The splash light: a point light of the given colour at (0, y, -30),
// attenuated by the square of the distance, reaching `range`.
void KRSplashDescribeLight(D3DLIGHT2* light, float red, float green, float blue, float y, float range);
// The light made from its description and added to the splash viewport.
int KRSplashCreateLight(D3DLIGHT2* desc);
// The light taken off the splash viewport and released, then the viewport.
void KRSplashReleaseLightAndViewport(int light);
// Last loading steps: the camera and the start tick.
void KRSplashFinishLoading(void);

// A whole sequence: the log line, then, once `load` has made everything,
// the frames until `duration` ms have passed since the start tick or Escape
// is down. Each frame: one pending message removed and not dispatched, the
// back buffer cleared, `step(t)` (the sequence's own values and the objects'
// local matrices), the objects marked dirty, ordered and rendered, the frame
// shown. Then both screens black, `release()`, and a WM_QUIT the frames
// removed goes back on the queue. Always 1.
typedef struct KR3DSPLASHSEQUENCE {
  const char* szLogLine;
  int (*load)(void);  // 0: nothing was made
  DWORD dwDuration;
  void (*step)(DWORD t);
  void (*release)(void);
  KR3DSPLASHOBJECT* lpObjects;
} KR3DSPLASHSEQUENCE;
int KRSplashShow(const KR3DSPLASHSEQUENCE& sequence);

// Writes the object's translation row on the matrix it has.
void KRSplashSetTranslation(KR3DMATRIX* m, const D3DVECTOR& v);
// vEnd + d - t * d / span, d = vStart - vEnd: vStart at t = 0, vEnd at t = span.
D3DVECTOR KRSplashFlight(const KR3DSPLASHOBJECT& object, DWORD t, float span);

#endif
