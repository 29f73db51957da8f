// The light table: Direct3D lights of the started device, attached to and
// detached from viewports by handle.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "core/dx_result_log.h"
#include "core/handle_table.h"
#include "core/last_error.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"

namespace {

const unsigned long kCreateLightFailed = KRERR_3D_CREATELIGHT;

// The light under `handle`; null outside 1 to 127, for an empty slot or without tables.
IDirect3DLight* FindLight(int handle) {
  if (g_kr3D.lpLights == NULL || !KRHandleInRange(handle, KR3D_LIGHT_MAX)) return NULL;
  return g_kr3D.lpLights[handle];
}

}  // namespace

int KR3DCreateLight(D3DLIGHT2* desc) {
  if (!KR3DDeviceReady() || g_kr3D.lpDirect3D == NULL || g_kr3D.lpLights == NULL)
    return KRErrorFail(kCreateLightFailed);
  int handle = KRHandleFindFree(KR3D_LIGHT_MAX, [](int slot) { return g_kr3D.lpLights[slot] == NULL; });
  if (handle == 0) return KRHandleFailTableFull("KR3D", "Light", kCreateLightFailed);

  IDirect3DLight* light = NULL;
  HRESULT result = g_kr3D.lpDirect3D->CreateLight(&light, NULL);
  if (FAILED(result) || light == NULL) return KRErrorFailDX(FAILED(result) ? result : E_FAIL, kCreateLightFailed);
  g_kr3D.lpLights[handle] = light;
  // A description the light refuses leaves it dark but created.
  KR3DSetLight(handle, desc);
  return handle;
}

void KR3DSetLight(int handle, D3DLIGHT2* desc) {
  IDirect3DLight* light = FindLight(handle);
  if (light == NULL) {
    KRDebugDump("KR3D Warning : Set light to NULL Light(%d).\n", handle);
    return;
  }
  // D3DLIGHT2 begins as D3DLIGHT does; its size field tells the light which it is.
  light->SetLight(reinterpret_cast<D3DLIGHT*>(desc));
}

void KR3DAddLight(int light, int viewport) {
  IDirect3DLight* added = FindLight(light);
  KR3DVIEWPORT* entry = KR3DFindViewport(viewport);
  if (added == NULL || entry == NULL) return;
  entry->lpViewport->AddLight(added);
}

void KR3DDeleteLight(int light, int viewport) {
  IDirect3DLight* deleted = FindLight(light);
  if (deleted == NULL) {
    KRHandleWarnInvalid("KR3D", "You did delete", "Light", light);
    return;
  }
  KR3DVIEWPORT* entry = KR3DFindViewport(viewport);
  if (entry == NULL) return;
  entry->lpViewport->DeleteLight(deleted);
}

void KR3DReleaseLight(int handle) {
  IDirect3DLight* light = FindLight(handle);
  if (light == NULL) {
    KRHandleWarnInvalid("KR3D", "You did release", "Light", handle);
    return;
  }
  // Viewports it was added to keep it until it is deleted from them.
  g_kr3D.lpLights[handle] = NULL;
  light->Release();
}
