// The model format's checks and sizes, and the blocks a model owns.
#include <windows.h>

#include <korvathd.h>

#include <climits>
#include <cstring>
#include <new>

#include "render3d/models.h"

namespace {
const char kModelMagic[] = "KRMODEL0000";
}  // namespace

KR3DMODELSIZES KR3DModelArraySizes(uint32_t numVert, uint32_t numTexUV, uint16_t numVertIdx) {
  KR3DMODELSIZES sizes;
  sizes.positions = uint64_t(numVert) * sizeof(D3DVECTOR);
  sizes.normals = uint64_t(numVert) * sizeof(D3DVECTOR);
  sizes.texUV = uint64_t(numTexUV) * 2 * sizeof(float);
  sizes.indices = uint64_t(numVertIdx) * sizeof(WORD);
  return sizes;
}

bool KR3DModelMagicMatches(const char magic[kModelMagicSize]) {
  char text[kModelMagicSize + 1];
  memset(text, 0, sizeof(text));
  memcpy(text, magic, kModelMagicSize);
  return lstrcmpiA(text, kModelMagic) == 0;
}

bool KR3DModelIndicesInRange(const KR3DMODEL& model) {
  for (int i = 0; i < model.nNumVertIdx; ++i) {
    if (model.lpIndices[i] >= model.nNumVert) return false;
  }
  return true;
}

void* KR3DModelAllocate(uint64_t bytes, const char* tag) {
  if (bytes > uint64_t(INT_MAX)) return NULL;
  try {
    return KRAllocEx(static_cast<int>(bytes), const_cast<char*>(tag));
  } catch (const std::bad_alloc&) {
    return NULL;
  }
}

namespace {
template <typename Block>
void FreeBlock(Block** block) {
  if (*block != NULL) KRFree(*block);
  *block = NULL;
}
}  // namespace

void KR3DFreeModelBlocks(KR3DMODEL* model) {
  FreeBlock(&model->lpPositions);
  FreeBlock(&model->lpNormals);
  FreeBlock(&model->lpTexUV);
  FreeBlock(&model->lpIndices);
  FreeBlock(&model->lpVertices);
  model->nVertexForm = KR3DMODEL_FORM_NONE;
  model->nVertexCount = 0;
}
