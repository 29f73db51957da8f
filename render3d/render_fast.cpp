// KR3DRenderFast: each object's positions transformed on the processor by its
// frame's local matrix, the view and the projection, mapped onto the display
// and drawn as screen-space triangles from the shared vertex buffer.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/object_renderer.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"
#include "video/video_state.h"

namespace {

const D3DCOLOR kWhite = 0x00FFFFFF;

// Half the display's size: what the viewports map the clip volume onto.
struct ScreenMapping {
  float horizontal;
  float vertical;
};

ScreenMapping CurrentMapping(void) {
  ScreenMapping mapping = {static_cast<float>(g_krVideo.dwWidth) * 0.5f,
                           static_cast<float>(g_krVideo.dwHeight) * 0.5f};
  return mapping;
}

// The screen-space vertices of one model in the shared buffer; their count.
int FillVertices(const KR3DMODEL& model, const KR3DFRAME& frame, const ScreenMapping& mapping) {
  KR3DMATRIX local = frame.matLocal;
  KR3DMATRIX view = g_kr3D.matView;
  KR3DMATRIX projection = g_kr3D.matProjection;
  D3DTLVERTEX* buffer = g_kr3D.lpTLVertices;
  int k = 0;
  for (int i = 0; i < model.nNumVertIdx; ++i) {
    D3DVECTOR p = model.lpPositions[model.lpIndices[i]];
    p = local.Transform(p);
    p = view.Transform(p);
    p = projection.Transform(p);
    D3DTLVERTEX& v = buffer[k];
    v.sx = (p.x + 1.0f) * mapping.horizontal;
    v.sy = (1.0f - p.y) * mapping.vertical;
    v.sz = p.z;
    v.rhw = 1.0f;
    v.color = kWhite;
    v.specular = 0;
    // Pairs go by index position; without one the buffer keeps what it held.
    if (model.lpTexUV != NULL && i < model.nNumTexUV) {
      v.tu = model.lpTexUV[2 * i];
      v.tv = model.lpTexUV[2 * i + 1];
    }
    if (++k == KR3D_TLVERTEX_MAX) {
      KRDebugDump("KR3D Warning : TLVertices over\n");
      break;
    }
  }
  return k;
}

}  // namespace

void KR3DRenderFast(tagKR3DOBJECT* lpObject) {
  if (!KR3DDeviceReady() || g_kr3D.lpTLVertices == NULL) return;
  IDirect3DDevice3* device = g_kr3D.lpDevice;
  const ScreenMapping mapping = CurrentMapping();
  for (tagKR3DOBJECT* object = lpObject; object != NULL; object = object->lpNext) {
    device->SetTexture(0, KR3DObjectTexture(object->lpTexture));
    KR3DSetObjectDepthAndBlend(device, object);
    KR3DSetObjectBlendFactors(device, object);

    const KR3DMODEL* model = KR3DObjectModel(object->lpModel);
    if (model == NULL || object->lpFrame == NULL) continue;
    const int count = FillVertices(*model, *object->lpFrame, mapping);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, g_kr3D.lpTLVertices, static_cast<DWORD>(count),
                          D3DDP_DONOTCLIP);
  }
}
