// The video component's start-up on one display device (by index or by name)
// and its clean-up: the mode, the display object and the tables.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstring>
#include <new>

#include "core/core_state.h"
#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "video/display_devices.h"
#include "video/video_state.h"

namespace {

const int kPaletteEntryCount = 256;
const unsigned long kErrorNoSuchDevice = KRERR_VIDEO | 0x100;
const unsigned long kErrorDirectDrawTooOld = KRERR_VIDEO | 0x102;

}  // namespace

int KRVideoIsStarted(void) { return g_krVideo.bStarted; }

int KRVideoStartup(int index) {
  if (g_krVideo.bStarted) return KRErrorFail(KRERR_VIDEO | KRERR_ALREADYSTARTED);

  KRDebugDump("KRVideo : Startup\n");
  g_krVideo.lpDirectDraw = NULL;
  g_krVideo.lpPrimarySurface = NULL;
  g_krVideo.lpBackBuffer = NULL;
  g_krVideo.lpClipper = NULL;
  g_krVideo.lpPrimaryPalette = NULL;
  g_krVideo.lpPaletteEntries = NULL;
  g_krVideo.dwWidth = 0;
  g_krVideo.dwHeight = 0;
  g_krVideo.dwDepth = 0;
  g_krVideo.bFullScreen = 0;
  g_krVideo.bDefaultDevice = 0;

  int count = DeviceCountOrEnumerate();
  if (index < 0 || index >= count) return KRErrorFail(KRERR_VIDEO | KRERR_STARTUPFAILED);

  KRVIDEODEVICEINFO info;
  KRVideoGetDeviceInfo(&info, index);
  KRDebugDump("KRVideo : DirectDrawDriver = %s\n", info.szName);
  KRDebugDump("KRVideo : DirectDraw4Create\n");

  GUID* device = IsZeroGuid(g_krVideo.devices[index].guidDevice) ? NULL : &g_krVideo.devices[index].guidDevice;
  HRESULT result;
  IDirectDraw4* directDraw = CreateDirectDraw4(device, &result);
  if (directDraw == NULL) return KRErrorFailDX(result, KRERR_VIDEO | KRERR_STARTUPFAILED);

  KRVIDEOMODEINFO* modes = NULL;
  PALETTEENTRY* paletteEntries = NULL;
  try {
    modes = static_cast<KRVIDEOMODEINFO*>(
        KRAllocEx(KRVIDEO_MODE_MAX * sizeof(KRVIDEOMODEINFO), const_cast<char*>("KRVI:MODEINF")));
    paletteEntries = static_cast<PALETTEENTRY*>(
        KRAllocEx(kPaletteEntryCount * sizeof(PALETTEENTRY), const_cast<char*>("KRVI:PALETTE")));
  } catch (const std::bad_alloc&) {
    KRFree(modes);
    directDraw->Release();
    return KRErrorFail(KRERR_VIDEO | KRERR_STARTUPFAILED);
  }
  memset(modes, 0, KRVIDEO_MODE_MAX * sizeof(KRVIDEOMODEINFO));
  memset(paletteEntries, 0, kPaletteEntryCount * sizeof(PALETTEENTRY));

  g_krVideo.lpDirectDraw = directDraw;
  g_krVideo.lpModes = modes;
  g_krVideo.nModeCount = 0;
  g_krVideo.lpPaletteEntries = paletteEntries;
  g_krVideo.bStarted = 1;
  g_krVideo.bDefaultDevice = index == 0 ? 1 : 0;
  g_krVideo.nCurrentDevice = index;
  return 1;
}

int KRVideoStartup(char* name) {
  int count = DeviceCountOrEnumerate();
  for (int index = 0; name != NULL && index < count; ++index) {
    if (lstrcmpA(name, g_krVideo.devices[index].szName) == 0) return KRVideoStartup(index);
  }
  // No device at all means a DirectDraw too old to enumerate any.
  return KRErrorFail(count == 0 ? kErrorDirectDrawTooOld : kErrorNoSuchDevice);
}

void KRVideoCleanup(void) {
  if (!g_krVideo.bStarted) {
    KRErrorSetLastError(KRERR_VIDEO | KRERR_NOTSTARTED);
    return;
  }
  KRVideoRestoreVideoMode();
  if (g_krVideo.lpDirectDraw != NULL) g_krVideo.lpDirectDraw->SetCooperativeLevel(g_krCore.hWnd, DDSCL_NORMAL);
  KRDebugDump("KRVideo : Cleanup\n");
  KRDebugDump("KRVideo : Release DirectDraw2\n");
  if (g_krVideo.lpDirectDraw != NULL) {
    g_krVideo.lpDirectDraw->Release();
    g_krVideo.lpDirectDraw = NULL;
  }
  KRFree(g_krVideo.lpModes);
  g_krVideo.lpModes = NULL;
  g_krVideo.nModeCount = 0;
  KRFree(g_krVideo.lpPaletteEntries);
  g_krVideo.lpPaletteEntries = NULL;
  g_krVideo.bStarted = 0;
}
