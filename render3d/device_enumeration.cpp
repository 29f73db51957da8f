// The 3D devices that Direct3D offers at the current display depth, with the
// automatic choice the device start-up takes when the caller names none.
#include "render3d/device_enumeration.h"

#include <korvathd.h>

#include <cstring>

#include "core/last_error.h"
#include "render3d/render3d_state.h"
#include "video/video_state.h"

namespace {

// Position of the next accepted device; the callback gets no context pointer.
int g_deviceCounter = 0;

// The render-depth bit of a display depth; 0 (no device renders there) for any other depth.
DWORD RenderDepthBit(DWORD depth) {
  switch (depth) {
    case 1: return DDBD_1;
    case 2: return DDBD_2;
    case 4: return DDBD_4;
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
  }
}

D3DCOLORMODEL ColorModelOf(const D3DDEVICEDESC* desc) { return desc ? desc->dcmColorModel : 0; }

// Hardware beats software; within one class a later RGB device beats an earlier pick.
// Devices named "MMX" are listed but never chosen.
void ConsiderForAutomaticChoice(const char* name, bool hardware, const D3DDEVICEDESC* desc) {
  if (strstr(name, "MMX") != NULL) return;
  bool chosen = g_kr3D.nAutoDevice == -1 || (hardware && !g_kr3D.bAutoDeviceHardware) ||
                (hardware == (g_kr3D.bAutoDeviceHardware != 0) && desc->dcmColorModel == D3DCOLOR_RGB &&
                 g_krVideo.dwDepth >= 8);
  if (!chosen) return;
  g_kr3D.nAutoDevice = g_deviceCounter;
  g_kr3D.bAutoDeviceHardware = hardware ? 1 : 0;
}

HRESULT CALLBACK KR3DEnumDeviceCallback(GUID* guid, LPSTR /*description*/, LPSTR name,
                                        D3DDEVICEDESC* hardwareDesc, D3DDEVICEDESC* softwareDesc,
                                        void* /*context*/) {
  // A driver that goes on after being told to stop must not run past the table.
  if (g_deviceCounter >= KR3D_DEVICE_MAX) return D3DENUMRET_CANCEL;
  bool hardware = ColorModelOf(hardwareDesc) != 0;
  if (hardware && !g_kr3D.bHardwareAllowed) return D3DENUMRET_OK;

  const D3DDEVICEDESC* desc = hardware ? hardwareDesc : softwareDesc;
  DWORD depthBit = RenderDepthBit(g_krVideo.dwDepth);
  if (desc == NULL || depthBit == 0 || (desc->dwDeviceRenderBitDepth & depthBit) == 0) return D3DENUMRET_OK;

  KR3DCOREDEVICEINFO& entry = g_kr3D.lpDevices[g_deviceCounter];
  entry.bHardware = hardware ? 1 : 0;
  if (guid) entry.guid = *guid;
  // A longer name is cut, not run past the entry.
  const char* text = name ? name : "";
  strncpy(entry.szName, text, sizeof(entry.szName) - 1);
  entry.szName[sizeof(entry.szName) - 1] = '\0';

  ConsiderForAutomaticChoice(entry.szName, hardware, desc);

  ++g_deviceCounter;
  return g_deviceCounter < KR3D_DEVICE_MAX ? D3DENUMRET_OK : D3DENUMRET_CANCEL;
}

}  // namespace

int KR3DGetDeviceCount(void) {
  if (!g_kr3D.bStarted) return KRErrorFail(KRERR_3D | KRERR_NOTSTARTED);

  g_deviceCounter = 0;
  g_kr3D.nAutoDevice = -1;
  g_kr3D.nDeviceCount = 0;
  memset(g_kr3D.lpDevices, 0, sizeof(KR3DCOREDEVICEINFO) * KR3D_DEVICE_MAX);

  HRESULT result = g_kr3D.lpDirect3D->EnumDevices(KR3DEnumDeviceCallback, NULL);
  if (FAILED(result)) {
    // Whatever the callback took before the failure is not a list.
    memset(g_kr3D.lpDevices, 0, sizeof(KR3DCOREDEVICEINFO) * KR3D_DEVICE_MAX);
    g_kr3D.nAutoDevice = -1;
    return KRErrorFail(KRERR_3D | KRERR_FAILED);
  }
  g_kr3D.nDeviceCount = g_deviceCounter;
  return g_deviceCounter;
}

int KR3DGetAutoDetectedDevice(void) {
  if (!g_kr3D.bStarted) {
    KRErrorSetLastError(KRERR_3D | KRERR_NOTSTARTED);
    return -1;
  }
  if (g_kr3D.nAutoDevice < 0) KR3DGetDeviceCount();
  return g_kr3D.nAutoDevice;
}

void KR3DGetDeviceInfo(KR3DDEVICEINFO* info, int index) {
  if (index < 0 || index >= g_kr3D.nDeviceCount) {
    KRErrorSetLastError(KRERR_3D | KRERR_INVALIDVALUE);
    return;
  }
  const KR3DCOREDEVICEINFO& entry = g_kr3D.lpDevices[index];
  memcpy(info->szName, entry.szName, sizeof(info->szName));
  info->bHardware = entry.bHardware;
}
