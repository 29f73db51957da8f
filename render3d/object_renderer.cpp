// Rendering objects: the one-object renderer with its sphere-mapped texture
// coordinates and normal lines, KR3DRender over a chain, and the normal switch.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdint>
#include <cstring>

#include "render3d/object_renderer.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"

namespace {

const D3DCOLOR kNormalStart = 0xFFFFFFFF;  // opaque white at the vertex
const D3DCOLOR kNormalEnd = 0xFF000000;    // opaque black at the normal's end

// Texture coordinates from a normal seen through `m` (view times local).
void SphereMap(const KR3DMATRIX& m, const D3DVECTOR& n, D3DVERTEX* v) {
  v->tu = (n.x * m._11 + n.y * m._21 + n.z * m._31 + 1.0f) * 0.5f;
  v->tv = (1.0f - (n.x * m._12 + n.y * m._22 + n.z * m._32)) * 0.5f;
}

// Written into the model's own array, so every later draw of the model sees
// them. The per-index form takes each index's loaded normal, not the flat one.
void GenerateSphereMap(KR3DMODEL* model, const KR3DFRAME& frame) {
  KR3DMATRIX view = g_kr3D.matView;
  KR3DMATRIX local = frame.matLocal;
  const KR3DMATRIX m = view * local;
  const int32_t count = model->nVertexCount;
  for (int32_t i = 0; i < count; ++i) {
    D3DVERTEX* v = &model->lpVertices[i];
    if (model->nVertexForm == KR3DMODEL_FORM_PER_VERTEX) {
      D3DVECTOR n;
      n.x = v->nx;
      n.y = v->ny;
      n.z = v->nz;
      SphereMap(m, n, v);
    } else {
      SphereMap(m, model->lpNormals[model->lpIndices[i]], v);
    }
  }
}

void DrawModel(IDirect3DDevice3* device, KR3DMODEL* model) {
  if (model->nVertexForm == KR3DMODEL_FORM_PER_VERTEX) {
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, model->lpVertices,
                                 static_cast<DWORD>(model->nVertexCount), model->lpIndices,
                                 static_cast<DWORD>(model->nNumVertIdx), D3DDP_DONOTUPDATEEXTENTS);
  } else {
    device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, model->lpVertices,
                          static_cast<DWORD>(model->nVertexCount), D3DDP_DONOTUPDATEEXTENTS);
  }
}

// One line per vertex, white at the vertex to black at its normal's end, with
// blending off; blending comes back as it was, the texture stays unbound.
void DrawNormals(IDirect3DDevice3* device, const KR3DMODEL& model) {
  DWORD blending = 0;
  device->GetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, &blending);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  device->SetTexture(0, NULL);
  D3DLVERTEX line[2];
  memset(line, 0, sizeof(line));
  line[0].color = kNormalStart;
  line[1].color = kNormalEnd;
  const float length = g_kr3D.fNormalLength;
  for (int i = 0; i < model.nVertexCount; ++i) {
    const D3DVERTEX& v = model.lpVertices[i];
    line[0].x = v.x;
    line[0].y = v.y;
    line[0].z = v.z;
    line[1].x = v.x + v.nx * length;
    line[1].y = v.y + v.ny * length;
    line[1].z = v.z + v.nz * length;
    device->DrawPrimitive(D3DPT_LINELIST, D3DFVF_LVERTEX, line, 2, D3DDP_DONOTUPDATEEXTENTS);
  }
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blending);
}

}  // namespace

void KR3DSetObjectDepthAndBlend(IDirect3DDevice3* device, const tagKR3DOBJECT* object) {
  const bool translucent = (object->dwFlags & KR3DOBJECT_TRANSLUCENT) != 0;
  device->SetRenderState(D3DRENDERSTATE_ZENABLE, (object->dwFlags & KR3DOBJECT_ZBUFFER) ? 1 : 0);
  device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, translucent ? 0 : 1);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, translucent ? 1 : 0);
}

void KR3DSetObjectBlendFactors(IDirect3DDevice3* device, const tagKR3DOBJECT* object) {
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, object->dwSrcBlend);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, object->dwDestBlend);
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, object->dwTextureBlend);
}

void KR3DRenderObject(tagKR3DOBJECT* object) {
  IDirect3DDevice3* device = g_kr3D.lpDevice;
  device->SetTexture(0, KR3DObjectTexture(object->lpTexture));
  device->SetLightState(D3DLIGHTSTATE_MATERIAL, KR3DObjectMaterial(object->lpMaterial));
  KR3DSetObjectBlendFactors(device, object);

  // An object left over from a released model (as after a splash) is passed over.
  KR3DMODEL* model = KR3DObjectModel(object->lpModel);
  KR3DFRAME* frame = object->lpFrame;
  if (model == NULL || frame == NULL) return;

  KR3DSetWorldTransform(device, frame);
  if (object->dwOptions & KR3DOBJECT_ENVMAP) GenerateSphereMap(model, *frame);
  DrawModel(device, model);
  if (g_kr3D.bShowNormal) DrawNormals(device, *model);
}

void KR3DRender(tagKR3DOBJECT* lpObject) {
  if (!KR3DDeviceReady()) return;
  for (tagKR3DOBJECT* object = lpObject; object != NULL; object = object->lpNext) {
    KR3DSetObjectDepthAndBlend(g_kr3D.lpDevice, object);
    KR3DRenderObject(object);
  }
}

void KR3DShowNormal(int bShow, float fLength) {
  g_kr3D.bShowNormal = bShow;
  g_kr3D.fNormalLength = fLength;
}
