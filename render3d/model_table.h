// The model table's record; a slot is in use while nNumVert is not 0.
#ifndef KR_RENDER3D_MODEL_TABLE_H
#define KR_RENDER3D_MODEL_TABLE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

// How the built vertex array is laid out, so that it is drawn by what it holds.
enum KR3DMODELFORM {
  KR3DMODEL_FORM_NONE = 0,        // nothing built
  KR3DMODEL_FORM_PER_VERTEX = 1,  // one D3DVERTEX per model vertex, drawn through the indices
  KR3DMODEL_FORM_PER_INDEX = 2,   // one vertex per index (flat D3DVERTEX or pre-lit D3DLVERTEX)
};

typedef struct KR3DMODEL {
  int nNumVert;
  int nNumVertIdx;
  int nNumTexUV;  // pairs in lpTexUV; a pair at or beyond it counts as absent
  D3DVECTOR* lpPositions;  // nNumVert entries, "KR3D:VERT"
  D3DVECTOR* lpNormals;    // nNumVert entries, "KR3D:NORM"
  float* lpTexUV;          // tu, tv pairs, "KR3D:TXUV"; null when the model has none
  WORD* lpIndices;         // nNumVertIdx entries, "KR3D:VERTIDX"
  DWORD dwBuildFlags;      // flags of the last vertex build
  D3DVERTEX* lpVertices;   // built array ("KR3D:D3DVERT"), or D3DLVERTEX ("KR3D:D3DLVER"); null until built
  int nVertexForm;         // KR3DMODELFORM of lpVertices
  int nVertexCount;        // entries in lpVertices
} KR3DMODEL;

#endif
