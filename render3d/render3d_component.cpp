// The 3D component's start-up and clean-up: Direct3D from the display object
// and the nine fixed tables every other 3D call works on.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstring>
#include <new>
#include <type_traits>

#include "core/last_error.h"
#include "render3d/models.h"
#include "render3d/render3d_state.h"
#include "video/video_state.h"

namespace {

const float kDefaultNormalLength = 16.0f;

// Hands each of the nine tables to `visit` with its entry count and tag, in
// allocation order (clean-up frees them in the same order).
template <typename Visit>
void ForEachTable(Visit visit) {
  visit(&g_kr3D.lpDevices, KR3D_DEVICE_MAX, "KR3D:DEVICEI");
  visit(&g_kr3D.lpZBufferFormats, KR3D_ZBUFFERFORMAT_MAX, "KR3D:ZBUFORM");
  visit(&g_kr3D.lpTextureFormats, KR3D_TEXTUREFORMAT_MAX, "KR3D:TEXFORM");
  visit(&g_kr3D.lpViewports, KR3D_VIEWPORT_MAX, "KR3D:VIEWPOR");
  visit(&g_kr3D.lpTextures, KR3D_TEXTURE_MAX, "KR3D:TEXTURE");
  visit(&g_kr3D.lpMaterials, KR3D_MATERIAL_MAX, "KR3D:MATERIA");
  visit(&g_kr3D.lpLights, KR3D_LIGHT_MAX, "KR3D:LIGHT");
  visit(&g_kr3D.lpModels, KR3D_MODEL_MAX, "KR3D:MODEL");
  visit(&g_kr3D.lpTLVertices, KR3D_TLVERTEX_MAX, "KR3D:TLVERTE");
}

// Frees every table that is allocated and forgets the counts that described them.
void FreeTables(void) {
  ForEachTable([](auto** table, int, const char*) {
    KRFree(*table);
    *table = NULL;
  });
  g_kr3D.nDeviceCount = 0;
  g_kr3D.nZBufferFormatCount = 0;
  g_kr3D.nTextureFormatCount = 0;
}

// Allocates all nine tables zero-filled; false (nothing left allocated) when the heap is exhausted.
bool AllocateTables(void) {
  try {
    ForEachTable([](auto** table, int count, const char* tag) {
      typedef std::remove_reference_t<decltype(**table)> Entry;
      *table = static_cast<Entry*>(KRAllocEx(count * static_cast<int>(sizeof(Entry)), const_cast<char*>(tag)));
      memset(*table, 0, sizeof(Entry) * static_cast<size_t>(count));
    });
  } catch (const std::bad_alloc&) {
    FreeTables();
    return false;
  }
  return true;
}

void ReleaseDirect3D(void) {
  if (g_kr3D.lpDirect3D) g_kr3D.lpDirect3D->Release();
  g_kr3D.lpDirect3D = NULL;
}

}  // namespace

int KR3DStartup(void) {
  if (g_kr3D.bStarted) return KRErrorFail(KRERR_3D | KRERR_ALREADYSTARTED);
  KRDebugDump("KR3D : Startup\n");

  g_kr3D.lpDirect3D = NULL;
  g_kr3D.lpDevice = NULL;
  g_kr3D.bHardwareAllowed = 1;
  g_kr3D.lpZBuffer = NULL;
  g_kr3D.bShowNormal = 0;
  g_kr3D.fNormalLength = kDefaultNormalLength;
  g_kr3D.dwRenderState = 0;
  g_kr3D.nAutoDevice = -1;

  KRDebugDump("KR3D : QueryInterface(IID_IDirect3D3)\n");
  // Without a display object there is nothing to query: fail the same way.
  IDirectDraw4* directDraw = g_krVideo.lpDirectDraw;
  IDirect3D3* direct3D = NULL;
  if (directDraw == NULL ||
      FAILED(directDraw->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D))) ||
      direct3D == NULL) {
    return KRErrorFail(KRERR_3D | KRERR_STARTUPFAILED);
  }
  g_kr3D.lpDirect3D = direct3D;

  // An exhausted heap leaves the component as a failed query does: unstarted, nothing held.
  if (!AllocateTables()) {
    ReleaseDirect3D();
    return KRErrorFail(KRERR_3D | KRERR_STARTUPFAILED);
  }
  g_kr3D.bStarted = 1;
  return 1;
}

void KR3DCleanup(void) {
  if (!g_kr3D.bStarted) {
    KRErrorSetLastError(KRERR_3D | KRERR_NOTSTARTED);
    return;
  }
  if (g_kr3D.bDeviceStarted) KR3DCleanupDevice();

  KRDebugDump("KR3D : Cleanup\n");
  KR3DFreeEmptyModelBlocks();
  FreeTables();

  KRDebugDump("KR3D : Release Direct3D2\n");
  ReleaseDirect3D();
  g_kr3D.bStarted = 0;
}

void KR3DEnableHardwareMode(int enable) { g_kr3D.bHardwareAllowed = enable ? 1 : 0; }
