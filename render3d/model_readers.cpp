// The two model readers: a model file through the file calls, one read per
// array straight into its block, and a model image copied from memory.
#include <windows.h>

#include <korvathd.h>

#include <climits>
#include <cstring>

#include "render3d/models.h"

namespace {

// The four arrays in format order, each with its block, size and tag.
struct ArrayPart {
  void** block;
  uint64_t bytes;
  const char* tag;
};

int ArrayParts(KR3DMODEL* model, const KR3DMODELSIZES& sizes, ArrayPart parts[4]) {
  int count = 0;
  parts[count++] = {reinterpret_cast<void**>(&model->lpPositions), sizes.positions, "KR3D:VERT"};
  parts[count++] = {reinterpret_cast<void**>(&model->lpNormals), sizes.normals, "KR3D:NORM"};
  if (model->nNumTexUV != 0) parts[count++] = {reinterpret_cast<void**>(&model->lpTexUV), sizes.texUV, "KR3D:TXUV"};
  parts[count++] = {reinterpret_cast<void**>(&model->lpIndices), sizes.indices, "KR3D:VERTIDX"};
  return count;
}

// Counts are taken once their arrays are known to fit int-sized blocks.
void TakeCounts(KR3DMODEL* model, uint32_t numVert, uint32_t numTexUV, uint16_t numVertIdx) {
  memset(model, 0, sizeof(*model));
  model->nNumVert = static_cast<int>(numVert);
  model->nNumTexUV = static_cast<int>(numTexUV);
  model->nNumVertIdx = numVertIdx;
}

bool Refuse(KR3DMODEL* model) {
  KR3DFreeModelBlocks(model);
  return false;
}

bool ReadExactly(HANDLE file, void* buffer, DWORD bytes) {
  DWORD read = 0;
  return ReadFile(file, buffer, bytes, &read, NULL) && read == bytes;
}

// The file's size in bytes, 0 when it cannot be told (every array then has to be empty).
uint64_t FileSize(HANDLE file) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE) return 0;
  return (uint64_t(high) << 32) | low;
}

// Each array fits a block, so every count fits an int as well.
bool SizesFitInt(const KR3DMODELSIZES& sizes) {
  return sizes.positions <= uint64_t(INT_MAX) && sizes.texUV <= uint64_t(INT_MAX);
}

bool ReadFromOpenFile(HANDLE file, KR3DMODEL* model) {
  char magic[kModelMagicSize];
  memset(magic, 0, sizeof(magic));
  DWORD read = 0;
  if (!ReadFile(file, magic, kModelMagicSize, &read, NULL) || !KR3DModelMagicMatches(magic)) return false;

  uint32_t numVert = 0, numTexUV = 0;
  uint16_t numVertIdx = 0;
  if (!ReadExactly(file, &numVert, sizeof(numVert)) || !ReadExactly(file, &numTexUV, sizeof(numTexUV)) ||
      !ReadExactly(file, &numVertIdx, sizeof(numVertIdx)))
    return false;
  if (SetFilePointer(file, kModelArraysOffset, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;

  // An array that cannot be in the file fails before its block is allocated, so
  // counts made up by a broken file never reach the allocator.
  const uint64_t size = FileSize(file);
  uint64_t left = size > uint64_t(kModelArraysOffset) ? size - kModelArraysOffset : 0;
  const KR3DMODELSIZES sizes = KR3DModelArraySizes(numVert, numTexUV, numVertIdx);
  if (!SizesFitInt(sizes)) return false;
  TakeCounts(model, numVert, numTexUV, numVertIdx);
  ArrayPart parts[4];
  const int count = ArrayParts(model, sizes, parts);
  for (int i = 0; i < count; ++i) {
    if (parts[i].bytes > left) return Refuse(model);
    *parts[i].block = KR3DModelAllocate(parts[i].bytes, parts[i].tag);
    if (*parts[i].block == NULL) return Refuse(model);
    if (!ReadExactly(file, *parts[i].block, static_cast<DWORD>(parts[i].bytes))) return Refuse(model);
    left -= parts[i].bytes;
  }
  if (!KR3DModelIndicesInRange(*model)) return Refuse(model);
  return true;
}

}  // namespace

bool KR3DReadModelFile(const char* fileName, KR3DMODEL* model) {
  memset(model, 0, sizeof(*model));
  HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool read = ReadFromOpenFile(file, model);
  CloseHandle(file);
  return read;
}

bool KR3DReadModelImage(const void* image, KR3DMODEL* model) {
  memset(model, 0, sizeof(*model));
  const char* bytes = static_cast<const char*>(image);
  if (bytes == NULL || !KR3DModelMagicMatches(bytes)) return false;
  uint32_t numVert, numTexUV;
  uint16_t numVertIdx;
  memcpy(&numVert, bytes + kModelNumVertOffset, sizeof(numVert));
  memcpy(&numTexUV, bytes + kModelNumTexUVOffset, sizeof(numTexUV));
  memcpy(&numVertIdx, bytes + kModelNumVertIdxOffset, sizeof(numVertIdx));

  // The image has no length: counts whose model could not be held in an int-sized
  // block are refused, since no image of the format can be that large.
  const KR3DMODELSIZES sizes = KR3DModelArraySizes(numVert, numTexUV, numVertIdx);
  const uint64_t total = kModelArraysOffset + sizes.positions + sizes.normals + sizes.texUV + sizes.indices;
  if (total > uint64_t(INT_MAX)) return false;
  TakeCounts(model, numVert, numTexUV, numVertIdx);
  ArrayPart parts[4];
  const int count = ArrayParts(model, sizes, parts);
  const char* from = bytes + kModelArraysOffset;
  for (int i = 0; i < count; ++i) {
    *parts[i].block = KR3DModelAllocate(parts[i].bytes, parts[i].tag);
    if (*parts[i].block == NULL) return Refuse(model);
    memcpy(*parts[i].block, from, static_cast<size_t>(parts[i].bytes));
    from += parts[i].bytes;
  }
  if (!KR3DModelIndicesInRange(*model)) return Refuse(model);
  return true;
}
