// Sessions: create (with the group of accepted players), join, close, and
// the session listing, synchronous or asynchronous, over two tables used in
// turn so that the caller always reads a finished list.
#include <cstring>

#include "core/core_state.h"
#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "network/network_state.h"

namespace {

const unsigned long kErrorFailed = KRERR_NETWORK | KRERR_FAILED;

// A cleared description of our size; the application's GUID when asked.
DPSESSIONDESC2 Description(bool withApplication) {
  DPSESSIONDESC2 description;
  memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(DPSESSIONDESC2);
  if (withApplication) description.guidApplication = g_krCore.guidApplication;
  return description;
}

KRNETWORKCORESESSIONINFO* BuildingSessions(void) {
  return g_krNetwork.lpSessions[g_krNetwork.nSessionBuilding.load(std::memory_order_relaxed)];
}

// Count, then the flip, then the running flag: the player thread waits for the
// flag and then reads the table the selector names.
void PublishSessions(int count) {
  g_krNetwork.nSessionCount.store(count, std::memory_order_release);
  g_krNetwork.nSessionBuilding.store(1 - g_krNetwork.nSessionBuilding.load(std::memory_order_relaxed),
                                     std::memory_order_release);
  g_krNetwork.bSessionEnumerating.store(0, std::memory_order_release);
}

BOOL CALLBACK KRNetworkEnumSessionsCallback(LPCDPSESSIONDESC2 session, LPDWORD, DWORD flags, LPVOID) {
  // A full table was published when it filled: a platform that goes on after the stop changes nothing.
  if (g_krNetwork.nSessionBuild >= KRNETWORK_SESSION_MAX) return FALSE;
  // The description is null when the pass has timed out.
  if (flags & DPESC_TIMEDOUT) {
    PublishSessions(g_krNetwork.nSessionBuild);
    return FALSE;
  }
  KRNETWORKCORESESSIONINFO* entry = &BuildingSessions()[g_krNetwork.nSessionBuild];
  entry->guidInstance = session->guidInstance;
  KRNetworkCopyName(entry->szName, KRNETWORK_NAME_MAX, session->lpszSessionNameA);
  if (++g_krNetwork.nSessionBuild < KRNETWORK_SESSION_MAX) return TRUE;
  PublishSessions(KRNETWORK_SESSION_MAX);
  return FALSE;
}

HRESULT EnumSessions(DWORD flags) {
  DPSESSIONDESC2 description = Description(true);
  const HRESULT result = g_krNetwork.lpDirectPlay->EnumSessions(&description, 0, KRNetworkEnumSessionsCallback,
                                                                g_krCore.hWnd, flags);
  g_krNetwork.hrLast = result;
  return result;
}

void StartBuilding(void) {
  g_krNetwork.nSessionBuild = 0;
  memset(BuildingSessions(), 0, KRNETWORK_SESSION_MAX * sizeof(KRNETWORKCORESESSIONINFO));
}

int StartAsyncPass(int interval) {
  g_krNetwork.dwSessionNextTime = GetTickCount() + static_cast<DWORD>(interval);
  g_krNetwork.bSessionEnumerating.store(1, std::memory_order_release);
  StartBuilding();
  const HRESULT result = EnumSessions(DPENUMSESSIONS_ALL | DPENUMSESSIONS_ASYNC);
  if (FAILED(result)) {
    g_krNetwork.bSessionEnumerating.store(0, std::memory_order_release);
    g_krNetwork.nSessionCount.store(0, std::memory_order_release);
    if (result == DPERR_CONNECTING) return 0;
    KRErrorSetLastError(kErrorFailed);
    return -1;
  }
  return g_krNetwork.nSessionCount.load(std::memory_order_acquire);
}

}  // namespace

int KRNetworkCreateSession(KRNETWORKSESSIONINFO* info) {
  if (!KRNetworkNeedsPlay()) return 0;
  DPSESSIONDESC2 description = Description(true);
  description.dwFlags = DPSESSION_MIGRATEHOST;
  description.dwMaxPlayers = info->dwMaxPlayers;
  description.lpszSessionNameA = info->szName;
  const HRESULT result = g_krNetwork.lpDirectPlay->Open(&description, DPOPEN_CREATE);
  g_krNetwork.hrLast = result;
  if (FAILED(result)) return KRErrorFail(KRERR_NETWORK | 0x100);

  g_krNetwork.dpidHostPlayer = 0;  // this session's first player becomes host player
  KRNETWORKPLAYERORGROUPINFO group;
  memset(&group, 0, sizeof(group));
  strcpy(group.szName, "KRNETWORK_ACCEPTED");
  g_krNetwork.dpidAcceptedGroup = static_cast<DPID>(KRNetworkCreateGroup(&group));
  g_krNetwork.bHost = 1;
  return 1;
}

int KRNetworkJoinToSession(int index) {
  if (!KRNetworkNeedsPlay()) return 0;
  if (index < 0 || index >= g_krNetwork.nSessionCount.load(std::memory_order_acquire)) {
    return KRErrorFail(KRERR_NETWORK | KRERR_INVALIDVALUE);
  }
  const GUID instance = KRNetworkPublishedSessions()[index].guidInstance;
  KRNetworkGetSessionCountCancel();
  KRNetworkGetPlayerCountCancel();

  DPSESSIONDESC2 description = Description(false);
  description.guidInstance = instance;
  const HRESULT result = g_krNetwork.lpDirectPlay->Open(&description, DPOPEN_JOIN);
  g_krNetwork.hrLast = result;
  if (FAILED(result)) return KRErrorFailDX(result, KRERR_NETWORK | 0x101);
  g_krNetwork.bHost = 0;
  g_krNetwork.dpidHostPlayer = 0;
  return 1;
}

void KRNetworkCloseSession(void) {
  if (!KRNetworkNeedsPlay()) return;
  const HRESULT result = g_krNetwork.lpDirectPlay->Close();
  g_krNetwork.hrLast = result;
  if (FAILED(result)) KRDebugDumpDXResult(result);
}

int KRNetworkGetSessionCount(int mode) {
  if (!KRNetworkNeedsPlay()) return -1;
  if (mode == 0) {
    KRNetworkGetSessionCountCancel();
    StartBuilding();
    if (FAILED(EnumSessions(DPENUMSESSIONS_ALL))) {
      KRErrorSetLastError(kErrorFailed);
      return -1;
    }
    return g_krNetwork.nSessionCount.load(std::memory_order_acquire);
  }
  if (mode == -1) {
    KRNetworkGetSessionCountCancel();
    return StartAsyncPass(0);
  }
  if (g_krNetwork.bSessionEnumerating.load(std::memory_order_acquire) ||
      !KRNetworkTimeReached(GetTickCount(), g_krNetwork.dwSessionNextTime)) {
    return g_krNetwork.nSessionCount.load(std::memory_order_acquire);
  }
  return StartAsyncPass(mode);
}

int KRNetworkGetSessionCountCancel(void) {
  if (!KRNetworkNeedsStarted()) return 0;
  if (!g_krNetwork.bSessionEnumerating.load(std::memory_order_acquire)) return 0;
  if (FAILED(EnumSessions(DPENUMSESSIONS_STOPASYNC))) return KRErrorFail(kErrorFailed);
  g_krNetwork.dwSessionNextTime = GetTickCount();
  g_krNetwork.bSessionEnumerating.store(0, std::memory_order_release);
  return 1;
}

void KRNetworkGetSessionInfo(KRNETWORKSESSIONINFO* info, int index) {
  if (!KRNetworkNeedsStarted()) return;
  if (index < 0 || index >= g_krNetwork.nSessionCount.load(std::memory_order_acquire)) {
    KRErrorSetLastError(KRERR_NETWORK | KRERR_INVALIDVALUE);
    return;
  }
  memcpy(info->szName, KRNetworkPublishedSessions()[index].szName, sizeof(info->szName));
}

int KRNetworkGetAcceptedGroup(void) {
  if (!KRNetworkNeedsStarted()) return 0;
  return static_cast<int>(g_krNetwork.dpidAcceptedGroup);
}
