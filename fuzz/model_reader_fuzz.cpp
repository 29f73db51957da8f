// Arbitrary bytes as a model file in the sandbox: the reader refuses them with
// 0x3105 or loads a model whose builds stay inside their arrays; whatever
// happens, no file stays open and no block stays allocated. Bytes that hold a
// whole model also go through the memory reader, which must agree.
#include <windows.h>

#include <korvathd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/control.h"
#include "render3d/models.h"
#include "render3d/render3d_state.h"

namespace {

const char kFileName[] = "C:\\work\\fuzz.krm";
const int kFlagsByte = 26;  // a reserved byte chooses the build form

[[noreturn]] void Fault(const char* what) {
  fprintf(stderr, "model reader: %s\n", what);
  abort();
}

void Check(bool holds, const char* what) {
  if (!holds) Fault(what);
}

void StartLibrary() {
  sim::Reset();
  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  info.hWnd = sim::CreateTestWindow();
  info.hInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
  Check(KRStartup(&info) == 1, "KRStartup");
  Check(KRVideoStartup(0) == 1, "KRVideoStartup");
  Check(KRVideoSetVideoMode(640, 480, 0) == 1, "KRVideoSetVideoMode");
  Check(KR3DStartup() == 1, "KR3DStartup");
}

int HeldBlocks(const KR3DMODEL& m) {
  return (m.lpPositions != NULL) + (m.lpNormals != NULL) + (m.lpTexUV != NULL) + (m.lpIndices != NULL) +
         (m.lpVertices != NULL);
}

// A model with no vertices has a handle but a free slot: it keeps its blocks
// until the slot is taken again. Give them back here so each input starts even.
void ForgetEmptyModel(int handle, int heapBefore) {
  KR3DMODEL& m = g_kr3D.lpModels[handle];
  Check(sim::LiveHeapBlocks() == heapBefore + HeldBlocks(m), "an empty model holds more than its blocks");
  KR3DFreeModelBlocks(&m);
}

// The size the header's counts give the whole model, or 0 for a header cut short.
uint64_t ModelSize(const uint8_t* data, size_t size) {
  if (size < uint64_t(kModelArraysOffset)) return 0;
  uint32_t numVert, numTexUV;
  uint16_t numVertIdx;
  memcpy(&numVert, data + kModelNumVertOffset, 4);
  memcpy(&numTexUV, data + kModelNumTexUVOffset, 4);
  memcpy(&numVertIdx, data + kModelNumVertIdxOffset, 2);
  KR3DMODELSIZES s = KR3DModelArraySizes(numVert, numTexUV, numVertIdx);
  return kModelArraysOffset + s.positions + s.normals + s.texUV + s.indices;
}

void ExerciseBuilds(int handle) {
  const KR3DMODEL& m = g_kr3D.lpModels[handle];
  KR3DBuildModelVertex(handle, KR3DMODEL_INDEXED);
  Check(m.lpVertices == NULL || (m.nVertexForm == KR3DMODEL_FORM_PER_VERTEX && m.nVertexCount == m.nNumVert),
        "indexed form");
  KR3DBuildModelLVertex(handle);
  Check(m.lpVertices == NULL || (m.nVertexForm == KR3DMODEL_FORM_PER_INDEX && m.nVertexCount == m.nNumVertIdx),
        "pre-lit form");
  KR3DBuildModelVertex(handle, 0);
  Check(m.lpVertices == NULL || (m.nVertexForm == KR3DMODEL_FORM_PER_INDEX && m.nVertexCount == m.nNumVertIdx),
        "flat form");
}

// The image exactly as long as its model, so that any read past it is caught.
// `fromFile` is the file reader's model as it was loaded (an empty one is gone by now).
void CompareWithMemoryReader(const uint8_t* data, uint64_t modelSize, const KR3DMODEL& fromFile, unsigned long flags) {
  std::vector<uint8_t> image(data, data + modelSize);
  const int heapBefore = sim::LiveHeapBlocks();
  const int handle = KR3DCreateModel(static_cast<void*>(image.data()), flags);
  Check(handle != 0, "the memory reader refuses what the file reader loads");
  const KR3DMODEL& fromImage = g_kr3D.lpModels[handle];
  Check(fromFile.nNumVert == fromImage.nNumVert && fromFile.nNumVertIdx == fromImage.nNumVertIdx &&
            fromFile.nVertexCount == fromImage.nVertexCount,
        "the readers load different counts");
  if (fromImage.lpVertices != NULL && fromFile.lpVertices != NULL)
    Check(memcmp(fromFile.lpVertices, fromImage.lpVertices, sizeof(D3DVERTEX) * size_t(fromImage.nVertexCount)) == 0,
          "the readers build different vertices");
  if (fromImage.nNumVert == 0) {
    ForgetEmptyModel(handle, heapBefore);
  } else {
    KR3DReleaseModel(handle);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartLibrary();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The record of calls and log lines would only grow from input to input.
  sim::ClearCalls();
  sim::ClearDebugOutput();
  sim::WriteWholeFile(kFileName, std::string(reinterpret_cast<const char*>(data), size));
  const unsigned long flags = size > size_t(kFlagsByte) ? data[kFlagsByte] & KR3DMODEL_INDEXED : 0;
  const int heapBefore = sim::LiveHeapBlocks();
  const int handle = KR3DCreateModel(kFileName, flags);
  Check(sim::OpenFileHandles() == 0, "the model file stays open");
  if (handle == 0) {
    Check(KRErrorGetLastError() == KRERR_3D_CREATEMODEL, "refused without 0x3105");
    Check(sim::LiveHeapBlocks() == heapBefore, "a refused model leaves blocks");
    return 0;
  }
  const KR3DMODEL loaded = g_kr3D.lpModels[handle];
  if (loaded.nNumVert == 0) ForgetEmptyModel(handle, heapBefore);
  const uint64_t modelSize = ModelSize(data, size);
  if (modelSize != 0 && modelSize <= size) CompareWithMemoryReader(data, modelSize, loaded, flags);
  if (loaded.nNumVert == 0) return 0;
  ExerciseBuilds(handle);
  KR3DReleaseModel(handle);
  Check(sim::LiveHeapBlocks() == heapBefore, "a released model leaves blocks");
  return 0;
}
