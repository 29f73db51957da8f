// The model table: creating a model from a file or a memory image into the
// first free slot, and releasing it.
#include <windows.h>

#include <korvathd.h>

#include "core/handle_table.h"
#include "core/last_error.h"
#include "render3d/models.h"
#include "render3d/render3d_state.h"

namespace {

const unsigned long kCreateModelFailed = KRERR_3D_CREATEMODEL;

bool ModelsReady(void) { return g_kr3D.bStarted && g_kr3D.lpModels != NULL; }

// The first free slot, its held blocks freed (a model read with no vertices
// keeps them although its slot counts as free); 0 when the table is full.
int TakeFreeSlot(void) {
  int handle = KRHandleFindFree(KR3D_MODEL_MAX, [](int h) { return g_kr3D.lpModels[h].nNumVert == 0; });
  if (handle != 0) KR3DFreeModelBlocks(&g_kr3D.lpModels[handle]);
  return handle;
}

// Both create calls: the slot is searched before anything is read.
template <typename Reader>
int CreateModel(Reader read, unsigned long dwFlags) {
  if (!ModelsReady()) return KRErrorFail(kCreateModelFailed);
  const int handle = TakeFreeSlot();
  if (handle == 0) return KRHandleFailTableFull("KR3D", "Model", kCreateModelFailed);
  KR3DMODEL loaded;
  if (!read(&loaded)) return KRErrorFail(kCreateModelFailed);
  g_kr3D.lpModels[handle] = loaded;
  KR3DBuildModelVertex(handle, dwFlags);
  return handle;
}

}  // namespace

KR3DMODEL* KR3DFindModel(int handle) {
  if (!ModelsReady() || !KRHandleInRange(handle, KR3D_MODEL_MAX)) return NULL;
  KR3DMODEL* model = &g_kr3D.lpModels[handle];
  return model->nNumVert != 0 ? model : NULL;
}

int KR3DCreateModel(const char* szFile, unsigned long dwFlags) {
  return CreateModel([szFile](KR3DMODEL* model) { return KR3DReadModelFile(szFile, model); }, dwFlags);
}

int KR3DCreateModel(void* lpImage, unsigned long dwFlags) {
  return CreateModel([lpImage](KR3DMODEL* model) { return KR3DReadModelImage(lpImage, model); }, dwFlags);
}

void KR3DFreeEmptyModelBlocks(void) {
  if (!ModelsReady()) return;
  for (int handle = 1; handle < KR3D_MODEL_MAX; ++handle) {
    if (g_kr3D.lpModels[handle].nNumVert == 0) KR3DFreeModelBlocks(&g_kr3D.lpModels[handle]);
  }
}

void KR3DReleaseModel(int nModel) {
  KR3DMODEL* model = KR3DFindModel(nModel);
  if (model == NULL) {
    KRHandleWarnInvalid("KR3D", "You did release", "Modell", nModel);
    return;
  }
  // The slot is free before its blocks go.
  model->nNumVert = 0;
  KR3DFreeModelBlocks(model);
}
