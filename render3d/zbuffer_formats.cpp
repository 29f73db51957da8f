// The depth-buffer formats of one 3D device, with the automatic choice.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "core/last_error.h"
#include "render3d/render3d_state.h"

namespace {

// Position of the next accepted format; the callback gets no context pointer.
int g_zbufferCounter = 0;

void EmptyTable(void) {
  g_zbufferCounter = 0;
  g_kr3D.nZBufferFormatCount = 0;
  memset(g_kr3D.lpZBufferFormats, 0, sizeof(DDPIXELFORMAT) * KR3D_ZBUFFERFORMAT_MAX);
}

// Plain depth formats only: one that also carries a stencil or anything else is left out.
HRESULT CALLBACK KR3DEnumZBufferFormatCallback(DDPIXELFORMAT* format, void* /*context*/) {
  if (g_zbufferCounter >= KR3D_ZBUFFERFORMAT_MAX) return D3DENUMRET_CANCEL;  // a driver that ignored the stop
  if (format == NULL || format->dwFlags != DDPF_ZBUFFER) return D3DENUMRET_OK;
  g_kr3D.lpZBufferFormats[g_zbufferCounter] = *format;
  ++g_zbufferCounter;
  return g_zbufferCounter < KR3D_ZBUFFERFORMAT_MAX ? D3DENUMRET_OK : D3DENUMRET_CANCEL;
}

}  // namespace

int KR3DGetZBufferFormatCount(int device) {
  if (!g_kr3D.bStarted) return KRErrorFail(KRERR_3D | KRERR_NOTSTARTED);

  if (device < 0) {
    device = KR3DGetAutoDetectedDevice();
  } else if (device >= KR3DGetDeviceCount()) {
    device = KR3DGetAutoDetectedDevice();
  }
  EmptyTable();
  // No accepted device: there is no device to ask, and the old list belongs to another.
  if (device < 0) return KRErrorFail(KRERR_3D | KRERR_FAILED);

  HRESULT result = g_kr3D.lpDirect3D->EnumZBufferFormats(g_kr3D.lpDevices[device].guid,
                                                         KR3DEnumZBufferFormatCallback, NULL);
  if (FAILED(result)) {
    EmptyTable();
    return KRErrorFail(KRERR_3D | KRERR_FAILED);
  }
  g_kr3D.nZBufferFormatCount = g_zbufferCounter;
  return g_zbufferCounter;
}

int KR3DGetAutoDetectedZBufferFormat(int device) {
  int count = KR3DGetZBufferFormatCount(device);
  int best = 0;
  // A 16-bit format from index 1 on wins at once; otherwise the deepest, format 0 only by default.
  for (int i = 1; i < count; ++i) {
    DWORD depth = g_kr3D.lpZBufferFormats[i].dwZBufferBitDepth;
    if (depth == 16) {
      best = i;
      break;
    }
    if (depth > g_kr3D.lpZBufferFormats[best].dwZBufferBitDepth) best = i;
  }
  return best;
}

void KR3DGetZBufferFormatInfo(KR3DZBUFFERFORMATINFO* info, int index) {
  if (index < 0 || index >= g_kr3D.nZBufferFormatCount) {
    KRErrorSetLastError(KRERR_3D | KRERR_INVALIDVALUE);
    return;
  }
  DWORD depth = g_kr3D.lpZBufferFormats[index].dwZBufferBitDepth;
  snprintf(info->szName, sizeof(info->szName), "%d BITS", static_cast<int>(depth));
  info->dwBitDepth = depth;
}
