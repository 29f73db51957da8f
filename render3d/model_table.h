// The model table's record; a slot is in use while nNumVert is not 0.
#ifndef KR_RENDER3D_MODEL_TABLE_H
#define KR_RENDER3D_MODEL_TABLE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

typedef struct KR3DMODEL {
  int nNumVert;
  int nNumVertIdx;
  D3DVECTOR* lpPositions;  // nNumVert entries, "KR3D:VERT"
  D3DVECTOR* lpNormals;    // nNumVert entries, "KR3D:NORM"
  float* lpTexUV;          // tu, tv pairs, "KR3D:TXUV"; null when the model has none
  WORD* lpIndices;         // nNumVertIdx entries, "KR3D:VERTIDX"
  DWORD dwBuildFlags;      // flags of the last vertex build
  D3DVERTEX* lpVertices;   // built array ("KR3D:D3DVERT"), or D3DLVERTEX ("KR3D:D3DLVER"); null until built
} KR3DMODEL;

#endif
