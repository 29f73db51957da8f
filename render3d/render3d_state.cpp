// The 3D component's one global state record. Loading runs no code: the
// "none yet" indexes are constant initialisers, everything else starts zero.
#include "render3d/render3d_state.h"

#include "video/buffer_table.h"
#include "video/video_state.h"

KR3DSTATE g_kr3D = {
    0,        // bStarted
    nullptr,  // lpDirect3D
    nullptr,  // lpDevice
    nullptr,  // lpZBuffer
    0,        // bHardwareAllowed
    -1,       // nAutoDevice
    0,        // bAutoDeviceHardware
    0, 0, 0,  // the three counts
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // the nine tables
    0,        // bDeviceStarted
    -1,       // nCurrentDevice
    0,        // dwRenderState
    {},       // matView
    {},       // matProjection
    0,        // bShowNormal
    0.0f,     // fNormalLength
};

int KR3DIsStarted(void) { return g_kr3D.bStarted; }

IDirectDrawSurface4* KR3DRenderTargetSurface(int target) {
  if (target == KR2D_BUFFER_PRIMARY) return g_krVideo.lpPrimarySurface;
  if (target == KR2D_BUFFER_BACK) return g_krVideo.lpBackBuffer;
  return KR2DGetBufferSurface(target);
}
