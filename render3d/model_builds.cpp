// Vertex arrays built from a loaded model: one vertex per model vertex for
// drawing through the indices, one per index with flat face normals, or pre-lit.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cmath>
#include <cstring>

#include "render3d/models.h"

namespace {

const D3DCOLOR kTexturedColour = 0x00FFFFFF;
const D3DCOLOR kUntexturedColour = 0x00666666;

// Pair `i` of the model; a model without pairs, or a pair the model does not
// have, gives 0, 0.
void TexturePair(const KR3DMODEL& model, int i, float* tu, float* tv) {
  if (model.lpTexUV == NULL || i < 0 || i >= model.nNumTexUV) {
    *tu = *tv = 0.0f;
    return;
  }
  *tu = model.lpTexUV[2 * i];
  *tv = model.lpTexUV[2 * i + 1];
}

D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
  D3DVECTOR c;
  c.x = a.y * b.z - a.z * b.y;
  c.y = a.z * b.x - a.x * b.z;
  c.z = a.x * b.y - a.y * b.x;
  return c;
}

D3DVECTOR Difference(const D3DVECTOR& a, const D3DVECTOR& b) {
  D3DVECTOR d;
  d.x = a.x - b.x;
  d.y = a.y - b.y;
  d.z = a.z - b.z;
  return d;
}

// normalize((p1 - p0) x (p2 - p0)); a triangle without area has no direction: (0, 0, 0).
D3DVECTOR FaceNormal(const D3DVECTOR& p0, const D3DVECTOR& p1, const D3DVECTOR& p2) {
  D3DVECTOR n = Cross(Difference(p1, p0), Difference(p2, p0));
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length == 0.0f) {
    n.x = n.y = n.z = 0.0f;
    return n;
  }
  n.x /= length;
  n.y /= length;
  n.z /= length;
  return n;
}

// Corners that belong to complete triangles. The rest of an index list that is not
// a multiple of 3 makes no triangle: those entries are zeroed.
int CompleteCorners(const KR3DMODEL& model) { return model.nNumVertIdx - model.nNumVertIdx % 3; }

template <typename Vertex>
void ZeroLeftoverCorners(const KR3DMODEL& model, Vertex* vertices) {
  const int corners = CompleteCorners(model);
  memset(vertices + corners, 0, sizeof(Vertex) * static_cast<size_t>(model.nNumVertIdx - corners));
}

// Replaces the vertex array by a new one of `count` entries of `entrySize`;
// null (and no array) when it cannot be had.
void* NewVertexArray(KR3DMODEL* model, int count, size_t entrySize, const char* tag, int form) {
  KRFree(model->lpVertices);
  model->lpVertices = NULL;
  model->nVertexForm = KR3DMODEL_FORM_NONE;
  model->nVertexCount = 0;
  const uint64_t bytes = uint64_t(count) * entrySize;
  void* array = KR3DModelAllocate(bytes, tag);
  if (array == NULL) return NULL;
  model->lpVertices = static_cast<D3DVERTEX*>(array);
  model->nVertexForm = form;
  model->nVertexCount = count;
  return array;
}

void BuildPerVertex(KR3DMODEL* model) {
  D3DVERTEX* vertices = static_cast<D3DVERTEX*>(
      NewVertexArray(model, model->nNumVert, sizeof(D3DVERTEX), "KR3D:D3DVERT", KR3DMODEL_FORM_PER_VERTEX));
  if (vertices == NULL) return;
  KRDebugDump("nNumVert    %d\n", model->nNumVert);
  KRDebugDump("nNumVertIdx %d\n", model->nNumVertIdx);
  for (int i = 0; i < model->nNumVert; ++i) {
    D3DVERTEX& v = vertices[i];
    v.x = model->lpPositions[i].x;
    v.y = model->lpPositions[i].y;
    v.z = model->lpPositions[i].z;
    v.nx = model->lpNormals[i].x;
    v.ny = model->lpNormals[i].y;
    v.nz = model->lpNormals[i].z;
    TexturePair(*model, i, &v.tu, &v.tv);
  }
}

void BuildFlat(KR3DMODEL* model) {
  D3DVERTEX* vertices = static_cast<D3DVERTEX*>(
      NewVertexArray(model, model->nNumVertIdx, sizeof(D3DVERTEX), "KR3D:D3DVERT", KR3DMODEL_FORM_PER_INDEX));
  if (vertices == NULL) return;
  ZeroLeftoverCorners(*model, vertices);
  const int corners = CompleteCorners(*model);
  for (int i = 0; i < corners; i += 3) {
    const D3DVECTOR* p[3];
    for (int c = 0; c < 3; ++c) {
      p[c] = &model->lpPositions[model->lpIndices[i + c]];
      D3DVERTEX& v = vertices[i + c];
      v.x = p[c]->x;
      v.y = p[c]->y;
      v.z = p[c]->z;
      TexturePair(*model, i + c, &v.tu, &v.tv);
    }
    const D3DVECTOR n = FaceNormal(*p[0], *p[1], *p[2]);
    for (int c = 0; c < 3; ++c) {
      vertices[i + c].nx = n.x;
      vertices[i + c].ny = n.y;
      vertices[i + c].nz = n.z;
    }
  }
}

// Pre-lit: white under a texture, grey without; the reserved field is left as the
// block had it.
void BuildPreLit(KR3DMODEL* model) {
  D3DLVERTEX* vertices = static_cast<D3DLVERTEX*>(
      NewVertexArray(model, model->nNumVertIdx, sizeof(D3DLVERTEX), "KR3D:D3DLVER", KR3DMODEL_FORM_PER_INDEX));
  if (vertices == NULL) return;
  ZeroLeftoverCorners(*model, vertices);
  const int corners = CompleteCorners(*model);
  const D3DCOLOR colour = model->lpTexUV != NULL ? kTexturedColour : kUntexturedColour;
  for (int i = 0; i < corners; ++i) {
    const D3DVECTOR& p = model->lpPositions[model->lpIndices[i]];
    D3DLVERTEX& v = vertices[i];
    v.x = p.x;
    v.y = p.y;
    v.z = p.z;
    v.color = colour;
    v.specular = 0;
    TexturePair(*model, i, &v.tu, &v.tv);
  }
}

}  // namespace

void KR3DBuildModelVertex(int nModel, unsigned long dwFlags) {
  KR3DMODEL* model = KR3DFindModel(nModel);
  if (model == NULL) return;
  model->dwBuildFlags = static_cast<DWORD>(dwFlags);
  if (dwFlags & KR3DMODEL_INDEXED) {
    BuildPerVertex(model);
  } else {
    BuildFlat(model);
  }
}

void KR3DBuildModelLVertex(int nModel) {
  KR3DMODEL* model = KR3DFindModel(nModel);
  if (model == NULL) return;
  BuildPreLit(model);
}
