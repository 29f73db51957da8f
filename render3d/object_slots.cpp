// The texture, material and model slots that an object's handle variables name,
// read at every draw. A handle outside 1 to 127 names a free slot.
#include <windows.h>

#include <korvathd.h>

#include "core/handle_table.h"
#include "render3d/models.h"
#include "render3d/object_renderer.h"
#include "render3d/render3d_state.h"

KR3DTEXTURE* KR3DTextureSlot(int handle) {
  if (g_kr3D.lpTextures == NULL || !KRHandleInRange(handle, KR3D_TEXTURE_MAX)) return NULL;
  return &g_kr3D.lpTextures[handle];
}

IDirect3DTexture2* KR3DObjectTexture(const int* handle) {
  if (handle == NULL) return NULL;
  KR3DTEXTURE* slot = KR3DTextureSlot(*handle);
  return slot != NULL ? slot->lpD3DTexture : NULL;
}

D3DMATERIALHANDLE KR3DObjectMaterial(const int* handle) {
  if (handle == NULL || g_kr3D.lpMaterials == NULL || !KRHandleInRange(*handle, KR3D_MATERIAL_MAX)) return 0;
  const KR3DMATERIAL& slot = g_kr3D.lpMaterials[*handle];
  return slot.lpD3DMaterial != NULL ? slot.hD3DMaterial : 0;
}

KR3DMODEL* KR3DObjectModel(const int* handle) {
  if (handle == NULL) return NULL;
  KR3DMODEL* model = KR3DFindModel(*handle);
  if (model == NULL || model->lpVertices == NULL || model->nVertexForm == KR3DMODEL_FORM_NONE) return NULL;
  return model;
}
