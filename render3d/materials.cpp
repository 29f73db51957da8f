// The material table: Direct3D materials of the started device with the device
// handle each got at creation, which the object renderer makes current.
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

const unsigned long kCreateMaterialFailed = KRERR_3D_CREATEMATERIAL;

// The slot under `handle`, in use or not; null outside 1 to 127 or without tables.
KR3DMATERIAL* MaterialSlot(int handle) {
  if (g_kr3D.lpMaterials == NULL || !KRHandleInRange(handle, KR3D_MATERIAL_MAX)) return NULL;
  return &g_kr3D.lpMaterials[handle];
}

// The slot under `handle` when it holds a material.
KR3DMATERIAL* FindMaterial(int handle) {
  KR3DMATERIAL* slot = MaterialSlot(handle);
  return slot != NULL && slot->lpD3DMaterial != NULL ? slot : NULL;
}

// The material with its description and device handle; the result of the first step that failed.
HRESULT MakeMaterial(D3DMATERIAL* desc, IDirect3DMaterial3** made, D3DMATERIALHANDLE* handle) {
  IDirect3DMaterial3* material = NULL;
  HRESULT result = g_kr3D.lpDirect3D->CreateMaterial(&material, NULL);
  if (FAILED(result)) return result;
  if (material == NULL) return E_FAIL;
  result = material->SetMaterial(desc);
  if (SUCCEEDED(result)) result = material->GetHandle(g_kr3D.lpDevice, handle);
  if (FAILED(result)) {
    material->Release();
    return result;
  }
  *made = material;
  return result;
}

}  // namespace

int KR3DCreateMaterial(D3DMATERIAL* desc) {
  // Materials belong to a device: without one there is nothing to ask for a handle.
  if (!KR3DDeviceReady() || g_kr3D.lpDirect3D == NULL || g_kr3D.lpMaterials == NULL)
    return KRErrorFail(kCreateMaterialFailed);
  int handle = KRHandleFindFree(KR3D_MATERIAL_MAX,
                                [](int slot) { return g_kr3D.lpMaterials[slot].lpD3DMaterial == NULL; });
  if (handle == 0) return KRHandleFailTableFull("KR3D", "Material", kCreateMaterialFailed);

  IDirect3DMaterial3* material = NULL;
  D3DMATERIALHANDLE deviceHandle = 0;
  HRESULT result = MakeMaterial(desc, &material, &deviceHandle);
  if (FAILED(result)) return KRErrorFailDX(result, kCreateMaterialFailed);

  KR3DMATERIAL* slot = &g_kr3D.lpMaterials[handle];
  slot->lpD3DMaterial = material;
  slot->hD3DMaterial = deviceHandle;
  return handle;
}

void KR3DSetMaterial(int handle, D3DMATERIAL* desc) {
  KR3DMATERIAL* slot = FindMaterial(handle);
  if (slot == NULL) {
    KRDebugDump("KR3D Warning : Set material to NULL Material(%d).\n", handle);
    return;
  }
  // The device handle stays valid for the new description.
  slot->lpD3DMaterial->SetMaterial(desc);
}

void KR3DReleaseMaterial(int handle) {
  KR3DMATERIAL* slot = FindMaterial(handle);
  if (slot == NULL) {
    KRHandleWarnInvalid("KR3D", "You did release", "Material", handle);
    return;
  }
  IDirect3DMaterial3* material = slot->lpD3DMaterial;
  slot->lpD3DMaterial = NULL;  // the device handle is kept: callers may still read it
  material->Release();
}

void KR3DGetD3DMaterialHandle(DWORD* out, int handle) {
  if (out == NULL) return;
  const KR3DMATERIAL* slot = MaterialSlot(handle);
  *out = slot != NULL ? slot->hD3DMaterial : 0;
}
