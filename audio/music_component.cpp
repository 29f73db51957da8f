// The music component's start-up and clean-up: the notification window, the
// three tables, the loader, the music object and the performance.
#include "audio/music_state.h"

#include <cstring>

#include "audio/callback_window.h"
#include "core/component_blocks.h"
#include "core/core_state.h"
#include "core/handle_table.h"
#include "core/last_error.h"

KRMUSICSTATE g_krMusic = {};

namespace {

const unsigned long kErrorStartupFailed = KRERR_MUSIC | KRERR_STARTUPFAILED;

const KRComponentBlock kTables[] = {
    {reinterpret_cast<void**>(&g_krMusic.lpPorts), KRMUSIC_PORT_MAX * sizeof(KRMUSICCOREPORTINFO), "KRMU:PORTINF"},
    {reinterpret_cast<void**>(&g_krMusic.lpBuffers), KRMUSIC_BUFFER_MAX * sizeof(KRMUSICBUFFER), "KRMU:BUFFER"},
    {reinterpret_cast<void**>(&g_krMusic.lpCDTracks), KRMUSIC_CDTRACK_MAX * sizeof(int), "KRMU:CDTRACK"},
};

template <typename Interface>
void ReleaseAndClear(Interface** object) {
  if (*object == NULL) return;
  (*object)->Release();
  *object = NULL;
}

// The loader resolves relative names against the current directory; one that
// does not fit the 128-character buffer is not given at all.
void SetSearchDirectory(void) {
  char directory[KRMUSIC_PATH_MAX];
  const DWORD length = GetCurrentDirectoryA(sizeof(directory), directory);
  if (length == 0 || length >= sizeof(directory)) return;
  WCHAR wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, directory, -1, wide, MAX_PATH) == 0) return;
  g_krMusic.lpLoader->SetSearchDirectory(GUID_DirectMusicAllTypes, wide, FALSE);
}

}  // namespace

int KRMusicIsStarted(void) { return g_krMusic.bStarted; }

int KRMusicStartup(void) {
  if (g_krMusic.bStarted) return KRErrorFail(KRERR_MUSIC | KRERR_ALREADYSTARTED);

  KRDebugDump("KRMusic : Startup\n");
  // Started from here on, whatever fails below: the clean-up takes back what was made.
  g_krMusic.bStarted = 1;
  g_krMusic.nPortCount = 0;
  g_krMusic.wCDDevice = 0;
  g_krMusic.nCDPosition = 0;
  g_krMusic.nCDLoops = 0;
  g_krMusic.lpLoader = NULL;
  g_krMusic.lpMusic = NULL;
  g_krMusic.lpPerformance = NULL;
  g_krMusic.bPerformanceInitialized = 0;
  g_krMusic.lpPort = NULL;
  g_krMusic.nCDAuxDevice = -1;

  g_krMusic.hWnd = KRCreateCallbackWindow("KRMUSIC_CALLBACK", KRMusicCallbackWindowProc);
  // Blocks made before the heap ran out stay; the clean-up frees them.
  if (!KRAllocateComponentBlocks(kTables)) return KRErrorFail(kErrorStartupFailed);

  KRDebugDump("KRMusic : CreateLoader\n");
  if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, NULL, CLSCTX_INPROC, IID_IDirectMusicLoader,
                              reinterpret_cast<void**>(&g_krMusic.lpLoader)))) {
    g_krMusic.lpLoader = NULL;
    return KRErrorFail(kErrorStartupFailed);
  }

  KRDebugDump("KRMusic : DirectMusicCreate\n");
  if (FAILED(CoCreateInstance(CLSID_DirectMusic, NULL, CLSCTX_INPROC, IID_IDirectMusic,
                              reinterpret_cast<void**>(&g_krMusic.lpMusic)))) {
    g_krMusic.lpMusic = NULL;
    return KRErrorFail(kErrorStartupFailed);
  }
  // Without a DirectSound (or its window) DirectMusic makes no port.
  g_krMusic.lpMusic->SetDirectSound(NULL, g_krCore.hWnd);

  KRDebugDump("KRMusic : CreatePerformance\n");
  if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, NULL, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                              reinterpret_cast<void**>(&g_krMusic.lpPerformance)))) {
    g_krMusic.lpPerformance = NULL;
    return KRErrorFail(kErrorStartupFailed);
  }
  if (FAILED(g_krMusic.lpPerformance->Init(NULL, NULL, NULL))) return KRErrorFail(kErrorStartupFailed);
  g_krMusic.bPerformanceInitialized = 1;

  KRMusicSelectPort(-1);
  SetSearchDirectory();
  return 1;
}

void KRMusicCleanup(void) {
  if (!g_krMusic.bStarted) {
    KRErrorSetLastError(KRERR_MUSIC | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KRMusic : Cleanup\n");
  if (g_krMusic.wCDDevice != 0 && !KRMusicCloseCDAudio()) return;

  DestroyWindow(g_krMusic.hWnd);
  g_krMusic.hWnd = NULL;
  if (g_krMusic.lpBuffers != NULL) {
    for (int handle = 1; handle < KRMUSIC_BUFFER_MAX; ++handle) {
      if (g_krMusic.lpBuffers[handle].lpSegment == NULL) continue;
      KRHandleWarnNotReleased("KRMusic", "Buffer", handle);
      KRMusicReleaseBuffer(handle);
    }
  }
  KRMusicStopBuffer();
  if (g_krMusic.lpPort != NULL) {
    if (g_krMusic.lpPerformance != NULL) g_krMusic.lpPerformance->RemovePort(g_krMusic.lpPort);
    ReleaseAndClear(&g_krMusic.lpPort);
  }
  KRFreeComponentBlocks(kTables);

  KRDebugDump("KRMusic : Release DirectMusic\n");
  if (g_krMusic.lpPerformance != NULL && g_krMusic.bPerformanceInitialized) g_krMusic.lpPerformance->CloseDown();
  g_krMusic.bPerformanceInitialized = 0;
  ReleaseAndClear(&g_krMusic.lpPerformance);
  ReleaseAndClear(&g_krMusic.lpMusic);
  ReleaseAndClear(&g_krMusic.lpLoader);
  g_krMusic.bStarted = 0;
}
