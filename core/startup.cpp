// Library start-up, clean-up and version.
#include <korvathd.h>

#include <cstring>

#include "core/component_cleanup.h"
#include "core/core_state.h"
#include "core/last_error.h"

namespace {

const DWORD kMajorVersion = 0;
const DWORD kMinorVersion = 71;
const DWORD kBuildNumber = 655;

// COM is uninitialised at clean-up only when our CoInitialize took effect:
// an unbalanced CoUninitialize would tear down the application's own COM.
bool g_comInitialized = false;

}  // namespace

int KRStartup(KRSTARTUPINFO* info) {
  if (g_krCore.bStarted) return KRErrorFail(KRERR_CORE | KRERR_ALREADYSTARTED);

  // The log file is not open yet: this line reaches the debugger output only.
  KRDebugDump("KR : Startup\n");

  g_krCore.bStarted = 1;
  g_krCore.hWnd = info->hWnd;
  g_krCore.hInstance = info->hInstance;
  g_krCore.guidApplication = info->guidApplication;
  g_krCore.dwAllocSerial = 1;
  g_krCore.bDebugLog = (info->dwFlags & KRSTARTUP_DEBUGLOG) ? 1 : 0;
  g_krCore.bAllocTrace = (info->dwFlags & KRSTARTUP_ALLOCTRACE) ? 1 : 0;

  HRESULT comResult = CoInitialize(NULL);
  g_comInitialized = (comResult == S_OK || comResult == S_FALSE);

  if (g_krCore.bDebugLog) {
    // The caller's name need not be terminated within its 260 bytes: cut it there.
    char fileName[KR_DEBUGFILENAME_MAX + 1];
    size_t length = strnlen(info->szDebugFileName, KR_DEBUGFILENAME_MAX);
    memcpy(fileName, info->szDebugFileName, length);
    fileName[length] = '\0';
    KRDebugStartup(fileName);
  }
  return 1;
}

void KRCleanup(void) {
  if (!g_krCore.bStarted) {
    KRErrorSetLastError(KRERR_CORE | KRERR_NOTSTARTED);
    return;
  }

  KRCleanupStartedComponents();

  if (g_comInitialized) CoUninitialize();
  g_comInitialized = false;

  if (g_krCore.bDebugLog) KRDebugCleanup();
  g_krCore.bDebugLog = 0;
  g_krCore.bAllocTrace = 0;

  // After the log file is closed: this line reaches the debugger output only.
  KRDebugDump("KR : Cleanup\n");

  g_krCore.hWnd = NULL;
  g_krCore.hInstance = NULL;
  memset(&g_krCore.guidApplication, 0, sizeof(g_krCore.guidApplication));
  g_krCore.bStarted = 0;
}

int KRGetVersion(KRVERSIONINFO* info) {
  info->dwMajorVersion = kMajorVersion;
  info->dwMinorVersion = kMinorVersion;
  info->dwBuildNumber = kBuildNumber;
  return 1;
}

int KRValidateKRSystems(void) { return 1; }
