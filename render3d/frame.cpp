// The calls that frame 3D drawing on the device: scene begin and end with the
// per-scene render states, viewport clears, the render target, the view and
// projection transforms and the render-state word.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"
#include "video/buffer_table.h"
#include "video/video_state.h"

namespace {

DWORD FilterOf(DWORD word) {
  return (word & KR3D_RENDERSTATE_FILTER) ? D3DFILTER_LINEAR : D3DFILTER_NEAREST;
}

DWORD FlagOf(DWORD word, DWORD flag) { return (word & flag) ? 1 : 0; }

// The per-scene states, in the order the device receives them; results are not checked.
void ApplyRenderStates(IDirect3DDevice3* device, DWORD word) {
  device->SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
  device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
  device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FlagOf(word, KR3D_RENDERSTATE_DITHER));
  device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, FlagOf(word, KR3D_RENDERSTATE_PERSPECTIVE));
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, FilterOf(word));
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, FilterOf(word));
}

// Passes the matrix on as given (null included) and keeps a copy of a real one.
void SetTransform(D3DTRANSFORMSTATETYPE state, KR3DMATRIX* m, D3DMATRIX* copy) {
  if (KR3DDeviceReady()) g_kr3D.lpDevice->SetTransform(state, m);
  if (m != NULL) memcpy(copy, static_cast<D3DMATRIX*>(m), sizeof(*copy));
}

}  // namespace

int KR3DBeginRender(int viewport) {
  if (!KR3DDeviceReady()) return 0;
  IDirect3DDevice3* device = g_kr3D.lpDevice;
  HRESULT result = device->BeginScene();
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return 0;
  }
  // A handle naming no viewport is refused as the device refuses a null one;
  // the scene stays begun either way.
  KR3DVIEWPORT* entry = KR3DFindViewport(viewport);
  result = entry ? device->SetCurrentViewport(entry->lpViewport) : DDERR_INVALIDPARAMS;
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return 0;
  }
  ApplyRenderStates(device, g_kr3D.dwRenderState);
  return 1;
}

int KR3DEndRender(void) {
  if (!KR3DDeviceReady()) return 0;
  HRESULT result = g_kr3D.lpDevice->EndScene();
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return 0;
  }
  return 1;
}

void KR3DClear(D3DCOLOR colour, float z, DWORD flags, int viewport) {
  KR3DVIEWPORT* entry = KR3DFindViewport(viewport);
  if (entry == NULL) return;
  D3DRECT rect;
  rect.x1 = static_cast<LONG>(entry->desc.dwX);
  rect.y1 = static_cast<LONG>(entry->desc.dwY);
  rect.x2 = static_cast<LONG>(entry->desc.dwX + entry->desc.dwWidth);
  rect.y2 = static_cast<LONG>(entry->desc.dwY + entry->desc.dwHeight);
  HRESULT result = entry->lpViewport->Clear2(1, &rect, flags, colour, z, 0);
  if (FAILED(result)) KRDebugDumpDXResult(result);
}

int KR3DSetRenderTarget(int target) {
  IDirectDrawSurface4* surface = KR3DDeviceReady() ? KR3DRenderTargetSurface(target) : NULL;
  if (surface == NULL) return KRErrorFail(KRERR_3D | KRERR_FAILED);
  HRESULT result = g_kr3D.lpDevice->SetRenderTarget(surface, 0);
  if (FAILED(result)) {
    KRErrorSetLastError(KRERR_3D | KRERR_FAILED);
    KRDebugDumpDXResult(result);
    return 0;
  }
  return 1;
}

void KR3DSetViewMatrix(KR3DMATRIX* m) { SetTransform(D3DTRANSFORMSTATE_VIEW, m, &g_kr3D.matView); }

void KR3DSetProjectionMatrix(KR3DMATRIX* m) {
  SetTransform(D3DTRANSFORMSTATE_PROJECTION, m, &g_kr3D.matProjection);
}

void KR3DSetRenderState(DWORD flags, int on) {
  if (on)
    g_kr3D.dwRenderState |= flags;
  else
    g_kr3D.dwRenderState &= ~flags;
}
