// Output ports: the enumeration into the port table, the port records handed
// to the application, and attaching a port to the performance.
#include "audio/music_state.h"

#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "input/dbcs_cut.h"

namespace {

const unsigned long kErrorPortFailed = KRERR_MUSIC | KRERR_STARTUPFAILED;

// At most the 128 characters of the description, cut on a character boundary
// so that the zero always fits.
void CopyPortName(const WCHAR* description, char* name) {
  int units = 0;
  while (units < DMUS_MAX_DESCRIPTION && description[units] != 0) ++units;
  char converted[DMUS_MAX_DESCRIPTION * 2 + 1];
  int length = 0;
  if (units > 0) {
    length = WideCharToMultiByte(CP_ACP, 0, description, units, converted, sizeof(converted), NULL, NULL);
  }
  length = KRDbcsCutLength(converted, length, KRMUSIC_PORTNAME_MAX - 1);
  memcpy(name, converted, static_cast<size_t>(length));
  name[length] = '\0';
}

void DetachPort(void) {
  if (g_krMusic.lpPort == NULL) return;
  g_krMusic.lpPerformance->RemovePort(g_krMusic.lpPort);
  g_krMusic.lpPort->Release();
  g_krMusic.lpPort = NULL;
}

}  // namespace

int KRMusicGetPortCount(void) {
  if (!g_krMusic.bStarted || g_krMusic.lpPorts == NULL) return 0;
  memset(g_krMusic.lpPorts, 0, KRMUSIC_PORT_MAX * sizeof(KRMUSICCOREPORTINFO));
  int count = 0;
  // Every index is asked: the list may have holes a failing port leaves.
  for (DWORD index = 0; g_krMusic.lpMusic != NULL && index < KRMUSIC_PORT_MAX; ++index) {
    DMUS_PORTCAPS caps;
    memset(&caps, 0, sizeof(caps));
    caps.dwSize = sizeof(caps);
    const HRESULT result = g_krMusic.lpMusic->EnumPort(index, &caps);
    if (FAILED(result) || result == S_FALSE || caps.dwClass != DMUS_PC_OUTPUTCLASS) continue;
    KRMUSICCOREPORTINFO& entry = g_krMusic.lpPorts[count++];
    entry.guidPort = caps.guidPort;
    CopyPortName(caps.wszDescription, entry.info.szName);
    entry.info.dwMaxChannelGroups = caps.dwMaxChannelGroups;
  }
  g_krMusic.nPortCount = count;
  return count;
}

void KRMusicGetPortInfo(KRMUSICPORTINFO* info, int index) {
  if (!g_krMusic.bStarted) {
    KRErrorSetLastError(KRERR_MUSIC | KRERR_NOTSTARTED);
    return;
  }
  if (index < 0 || index >= g_krMusic.nPortCount || info == NULL) {
    KRErrorSetLastError(KRERR_MUSIC | KRERR_INVALIDVALUE);
    return;
  }
  *info = g_krMusic.lpPorts[index].info;
}

int KRMusicGetAutoDetectedPort(void) {
  KRMusicGetPortCount();
  return 0;
}

int KRMusicSelectPort(int index) {
  if (!g_krMusic.bStarted) return KRErrorFail(KRERR_MUSIC | KRERR_NOTSTARTED);
  KRDebugDump("KRMusic : SelectPort\n");
  if (g_krMusic.lpMusic == NULL || g_krMusic.lpPerformance == NULL || g_krMusic.lpPorts == NULL) {
    return KRErrorFail(kErrorPortFailed);
  }
  if (index < 0 || index >= KRMusicGetPortCount()) index = KRMusicGetAutoDetectedPort();
  DetachPort();

  DMUS_PORTPARAMS7 params;
  memset(&params, 0, sizeof(params));
  params.dwSize = sizeof(params);
  params.dwValidParams = DMUS_PORTPARAMS_CHANNELGROUPS;
  params.dwChannelGroups = 1;
  IDirectMusicPort* port = NULL;
  bool added = false;
  HRESULT result = g_krMusic.lpMusic->CreatePort(g_krMusic.lpPorts[index].guidPort,
                                                 reinterpret_cast<DMUS_PORTPARAMS*>(&params), &port, NULL);
  if (SUCCEEDED(result)) {
    result = g_krMusic.lpPerformance->AddPort(port);
    added = SUCCEEDED(result);
  }
  if (SUCCEEDED(result)) result = g_krMusic.lpPerformance->AssignPChannelBlock(0, port, 1);
  if (SUCCEEDED(result)) {
    g_krMusic.lpPort = port;
    return 1;
  }
  // A port half attached goes again: nothing is left attached.
  if (port != NULL) {
    if (added) g_krMusic.lpPerformance->RemovePort(port);
    port->Release();
  }
  return KRErrorFailDX(result, kErrorPortFailed);
}
