// Display devices and their modes: enumeration into fixed tables, the DirectDraw
// object of one device, and the started device's display-memory figures.
#include <windows.h>
#include <objbase.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "video/display_devices.h"
#include "video/video_state.h"

static_assert(sizeof(DDCAPS) == 380, "display capabilities are read in their DirectX 6 size");

namespace {

const DWORD kDeviceEnumerationFlags = DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES;
const DWORD kDirectDrawContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

// Enumerations fill these scratch tables and commit them only when the whole
// enumeration succeeded, so a failed one leaves the last good table in place.
KRVIDEOCOREDEVICEINFO g_deviceScratch[KRVIDEO_DEVICE_MAX];
int g_deviceScratchCount;
KRVIDEOMODEINFO g_modeScratch[KRVIDEO_MODE_MAX];
int g_modeScratchCount;

// Appends `text` to the NUL-terminated `name` of `size` bytes, cutting it at the end.
void AppendCut(char* name, size_t size, const char* text) {
  if (text == NULL) return;
  size_t length = strlen(name);
  while (*text != '\0' && length + 1 < size) name[length++] = *text++;
  name[length] = '\0';
}

DWORD DeviceFlagsFromCaps(const DDCAPS& hardware) {
  DWORD flags = 0;
  if (hardware.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) flags |= KRVIDEODEVICE_WINDOWED;
  if (hardware.dwCaps2 & DDCAPS2_PRIMARYGAMMA) flags |= KRVIDEODEVICE_GAMMA;
  if (hardware.dwCaps2 & DDCAPS2_COLORCONTROLPRIMARY) flags |= KRVIDEODEVICE_COLORCONTROL;
  if (hardware.dwCaps & DDCAPS_3D) flags |= KRVIDEODEVICE_3D;
  return flags;
}

void PrepareCaps(DDCAPS* hardware, DDCAPS* software) {
  memset(hardware, 0, sizeof(*hardware));
  memset(software, 0, sizeof(*software));
  hardware->dwSize = sizeof(*hardware);
  software->dwSize = sizeof(*software);
}

// Display memory reported as an int: 2 GiB and more do not fit, so they read as the largest int.
int MemoryAsInt(DWORD bytes) { return bytes > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(bytes); }

// The hardware capabilities of the started device; false without a display
// object (0x1002) or when GetCaps fails (its result's name logged, no code).
bool QueryHardwareCaps(DDCAPS* hardware) {
  if (g_krVideo.lpDirectDraw == NULL) {
    KRErrorSetLastError(KRERR_VIDEO | KRERR_NOTSTARTED);
    return false;
  }
  DDCAPS software;
  PrepareCaps(hardware, &software);
  HRESULT result = g_krVideo.lpDirectDraw->GetCaps(hardware, &software);
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return false;
  }
  return true;
}

}  // namespace

bool IsZeroGuid(const GUID& guid) {
  static const GUID kZero = {};
  return memcmp(&guid, &kZero, sizeof(guid)) == 0;
}

// A DirectDraw object of the device (null GUID: the primary display driver),
// as start-up and the device probe make it; null with *result on failure.
IDirectDraw4* CreateDirectDraw4(GUID* device, HRESULT* result) {
  IDirectDraw* first = NULL;
  *result = CoCreateInstance(CLSID_DirectDraw, NULL, kDirectDrawContext, IID_IDirectDraw,
                             reinterpret_cast<void**>(&first));
  if (FAILED(*result) || first == NULL) return NULL;
  IDirectDraw4* directDraw = NULL;
  *result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw));
  first->Release();
  if (FAILED(*result) || directDraw == NULL) return NULL;
  *result = directDraw->Initialize(device);
  if (FAILED(*result)) {
    directDraw->Release();
    return NULL;
  }
  return directDraw;
}

int DeviceCountOrEnumerate(void) {
  return g_krVideo.nDeviceCount != 0 ? g_krVideo.nDeviceCount : KRVideoGetDeviceCount();
}

// One display device: probed through a temporary DirectDraw object of its own;
// a device that cannot be made is left out and its entry reused.
static BOOL WINAPI KRVideoEnumDeviceCallback(GUID* device, LPSTR description, LPSTR driverName,
                                             LPVOID context, HMONITOR monitor) {
  (void)context;
  (void)monitor;
  // A platform that calls again after "stop" finds the table full, not memory beyond it.
  if (g_deviceScratchCount >= KRVIDEO_DEVICE_MAX) return FALSE;
  KRVIDEOCOREDEVICEINFO& entry = g_deviceScratch[g_deviceScratchCount];
  memset(&entry, 0, sizeof(entry));
  if (device != NULL) entry.guidDevice = *device;
  AppendCut(entry.szName, sizeof(entry.szName), description);
  AppendCut(entry.szName, sizeof(entry.szName), "(");
  AppendCut(entry.szName, sizeof(entry.szName), driverName);
  AppendCut(entry.szName, sizeof(entry.szName), ")");

  HRESULT result;
  IDirectDraw4* probe = CreateDirectDraw4(device, &result);
  if (probe == NULL) {
    memset(&entry, 0, sizeof(entry));
    return TRUE;
  }
  DDCAPS hardware, software;
  PrepareCaps(&hardware, &software);
  probe->GetCaps(&hardware, &software);  // a device without caps still counts, flagged with nothing
  probe->Release();
  entry.dwFlags = DeviceFlagsFromCaps(hardware);

  ++g_deviceScratchCount;
  return g_deviceScratchCount < KRVIDEO_DEVICE_MAX ? TRUE : FALSE;
}

static HRESULT WINAPI KRVideoEnumModeCallback(LPDDSURFACEDESC2 mode, LPVOID context) {
  (void)context;
  if (g_modeScratchCount >= KRVIDEO_MODE_MAX) return DDENUMRET_CANCEL;
  KRVIDEOMODEINFO& entry = g_modeScratch[g_modeScratchCount];
  entry.dwWidth = mode->dwWidth;
  entry.dwHeight = mode->dwHeight;
  entry.dwBitCount = mode->ddpfPixelFormat.dwRGBBitCount;
  ++g_modeScratchCount;
  return g_modeScratchCount < KRVIDEO_MODE_MAX ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

int KRVideoGetDeviceCount(void) {
  g_deviceScratchCount = 0;
  memset(g_deviceScratch, 0, sizeof(g_deviceScratch));
  HRESULT result = DirectDrawEnumerateExA(KRVideoEnumDeviceCallback, NULL, kDeviceEnumerationFlags);
  if (FAILED(result)) return KRErrorFail(KRERR_VIDEO | KRERR_FAILED);
  memcpy(g_krVideo.devices, g_deviceScratch, sizeof(g_krVideo.devices));
  g_krVideo.nDeviceCount = g_deviceScratchCount;
  return g_krVideo.nDeviceCount;
}

void KRVideoGetDeviceInfo(KRVIDEODEVICEINFO* info, int index) {
  if (index < 0 || index >= g_krVideo.nDeviceCount) {
    KRErrorSetLastError(KRERR_VIDEO | KRERR_INVALIDVALUE);
    return;
  }
  const KRVIDEOCOREDEVICEINFO& entry = g_krVideo.devices[index];
  info->szName[0] = '\0';
  AppendCut(info->szName, sizeof(info->szName), entry.szName);
  info->dwFlags = entry.dwFlags;
}

int KRVideoGetCurrentDevice(void) { return g_krVideo.nCurrentDevice; }

int KRVideoGetModeCount(void) {
  if (g_krVideo.lpDirectDraw == NULL || g_krVideo.lpModes == NULL)
    return KRErrorFail(KRERR_VIDEO | KRERR_NOTSTARTED);
  g_modeScratchCount = 0;
  memset(g_modeScratch, 0, sizeof(g_modeScratch));
  HRESULT result = g_krVideo.lpDirectDraw->EnumDisplayModes(0, NULL, NULL, KRVideoEnumModeCallback);
  if (FAILED(result)) return KRErrorFail(KRERR_VIDEO | KRERR_FAILED);
  memcpy(g_krVideo.lpModes, g_modeScratch, sizeof(g_modeScratch));
  g_krVideo.nModeCount = g_modeScratchCount;
  return g_krVideo.nModeCount;
}

void KRVideoGetModeInfo(KRVIDEOMODEINFO* info, int index) {
  if (g_krVideo.lpModes == NULL || index < 0 || index >= g_krVideo.nModeCount) {
    KRErrorSetLastError(KRERR_VIDEO | KRERR_INVALIDVALUE);
    return;
  }
  *info = g_krVideo.lpModes[index];
}

int KRVideoGetVideoMemoryTotal(void) {
  DDCAPS hardware;
  return QueryHardwareCaps(&hardware) ? MemoryAsInt(hardware.dwVidMemTotal) : 0;
}

int KRVideoGetVideoMemoryFree(void) {
  DDCAPS hardware;
  return QueryHardwareCaps(&hardware) ? MemoryAsInt(hardware.dwVidMemFree) : 0;
}
