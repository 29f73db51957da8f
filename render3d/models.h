// Internals of the model table shared by the readers, the builds and the create
// and release calls.
#ifndef KR_RENDER3D_MODELS_H
#define KR_RENDER3D_MODELS_H

#include <cstdint>

#include "render3d/model_table.h"

// Where the model format keeps its parts.
const int kModelMagicSize = 16;
const int kModelNumVertOffset = 16;
const int kModelNumTexUVOffset = 20;
const int kModelNumVertIdxOffset = 24;
const int kModelCountsEnd = 26;  // a shorter header holds no complete counts
const int kModelArraysOffset = 64;

// The byte size of each array for the counts of a header, in 64 bits so that no
// count can wrap it.
struct KR3DMODELSIZES {
  uint64_t positions;
  uint64_t normals;
  uint64_t texUV;
  uint64_t indices;
};
KR3DMODELSIZES KR3DModelArraySizes(uint32_t numVert, uint32_t numTexUV, uint16_t numVertIdx);

// The 16 magic bytes, read as text up to their first zero, name the format (any case).
bool KR3DModelMagicMatches(const char magic[kModelMagicSize]);

// Every index names a vertex of the model.
bool KR3DModelIndicesInRange(const KR3DMODEL& model);

// A block of `bytes` under `tag`, or null when no block can have that size or the
// heap is exhausted.
void* KR3DModelAllocate(uint64_t bytes, const char* tag);

// Frees the positions, normals, pairs, indices and vertex array that `model`
// holds and sets their pointers to null; the counts stay.
void KR3DFreeModelBlocks(KR3DMODEL* model);

// The readers fill `model` with the counts and the four arrays; on failure
// nothing stays allocated or open and they return false.
bool KR3DReadModelFile(const char* fileName, KR3DMODEL* model);
bool KR3DReadModelImage(const void* image, KR3DMODEL* model);

// The slot in use under `handle` (1 to 127) of a started component, else null.
KR3DMODEL* KR3DFindModel(int handle);

// Frees the blocks that slots without vertices still hold (a model read with
// zero counts keeps its blocks, and no release call reaches it); run before
// the model table goes.
void KR3DFreeEmptyModelBlocks(void);

#endif
