// Players and groups: creating them (the host's first player becomes host
// player and joins the accepted group), membership, names, and the player
// listing, synchronous or on a background thread of lowest priority, over two
// tables used in turn.
#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "network/network_state.h"

namespace {

const unsigned long kErrorFailed = KRERR_NETWORK | KRERR_FAILED;
const int kNameBlockSize = 112;  // the name record and room for both names

KRNETWORKCOREPLAYERINFO* BuildingPlayers(void) {
  return g_krNetwork.lpPlayers[g_krNetwork.nPlayerBuilding.load(std::memory_order_relaxed)];
}

void PublishPlayers(void) {
  g_krNetwork.nPlayerCount.store(g_krNetwork.nPlayerBuilt.load(std::memory_order_relaxed),
                                 std::memory_order_release);
  g_krNetwork.nPlayerBuilding.store(1 - g_krNetwork.nPlayerBuilding.load(std::memory_order_relaxed),
                                    std::memory_order_release);
}

void StartBuilding(void) {
  g_krNetwork.nPlayerBuild.store(0, std::memory_order_relaxed);
  g_krNetwork.nPlayerBuilt.store(0, std::memory_order_relaxed);
  memset(BuildingPlayers(), 0, KRNETWORK_PLAYER_MAX * sizeof(KRNETWORKCOREPLAYERINFO));
}

BOOL CALLBACK KRNetworkEnumPlayersCallback(DPID id, DWORD, LPCDPNAME name, DWORD flags, LPVOID) {
  if ((flags & DPESC_TIMEDOUT) || g_krNetwork.bPlayerCancel.load(std::memory_order_acquire)) return FALSE;
  const int build = g_krNetwork.nPlayerBuild.load(std::memory_order_relaxed);
  if (build >= KRNETWORK_PLAYER_MAX) return FALSE;  // a platform that goes on after the stop
  KRNETWORKCOREPLAYERINFO* entry = &BuildingPlayers()[build];
  entry->id = id;
  KRNetworkCopyName(entry->szName, KRNETWORK_NAME_MAX, name != NULL ? name->lpszShortNameA : NULL);
  g_krNetwork.nPlayerBuilt.store(build + 1, std::memory_order_relaxed);
  g_krNetwork.nPlayerBuild.store(build + 1, std::memory_order_relaxed);
  return build + 1 < KRNETWORK_PLAYER_MAX ? TRUE : FALSE;
}

// The players of the current session (no GUID) or of the listed session `guid`.
HRESULT EnumPlayers(int session, GUID guid) {
  const HRESULT result =
      session < 0 ? g_krNetwork.lpDirectPlay->EnumPlayers(NULL, KRNetworkEnumPlayersCallback, NULL, 0)
                  : g_krNetwork.lpDirectPlay->EnumPlayers(&guid, KRNetworkEnumPlayersCallback, NULL,
                                                          DPENUMPLAYERS_SESSION);
  g_krNetwork.hrLast = result;
  return result;
}

// The running flag is the thread's last write: once it reads 0 the thread
// touches nothing of the component.
void EndThreadPass(void) {
  g_krNetwork.bPlayerCancel.store(0, std::memory_order_relaxed);
  g_krNetwork.bPlayerThreadRunning.store(0, std::memory_order_release);
}

DWORD WINAPI KRNetworkPlayerCountThread(LPVOID) {
  // A session pass fills the table whose GUID this pass may need; a cancel ends the wait too.
  while (g_krNetwork.bSessionEnumerating.load(std::memory_order_acquire) &&
         !g_krNetwork.bPlayerCancel.load(std::memory_order_acquire)) {
    Sleep(1);
  }
  if (g_krNetwork.bPlayerCancel.load(std::memory_order_acquire)) {
    EndThreadPass();
    return 0;
  }
  const HRESULT result = EnumPlayers(g_krNetwork.nPlayerThreadSession, g_krNetwork.guidPlayerThreadSession);
  if (FAILED(result)) {
    g_krNetwork.nPlayerCount.store(0, std::memory_order_release);
    KRErrorFailDX(result, kErrorFailed);
  } else if (!g_krNetwork.bPlayerCancel.load(std::memory_order_acquire)) {
    PublishPlayers();
  }
  EndThreadPass();
  return 0;
}

// Returns the count published before the pass: the thread may publish before the call returns.
int StartThreadPass(int session) {
  const int published = g_krNetwork.nPlayerCount.load(std::memory_order_acquire);
  g_krNetwork.bPlayerThreadRunning.store(1, std::memory_order_release);
  g_krNetwork.nPlayerThreadSession = session;
  if (session >= 0) g_krNetwork.guidPlayerThreadSession = KRNetworkPublishedSessions()[session].guidInstance;
  StartBuilding();
  DWORD threadId = 0;
  HANDLE thread = CreateThread(NULL, 0, KRNetworkPlayerCountThread, NULL, CREATE_SUSPENDED, &threadId);
  if (thread == NULL) {
    g_krNetwork.bPlayerThreadRunning.store(0, std::memory_order_release);  // the next call tries again
  } else {
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    ResumeThread(thread);
    CloseHandle(thread);
  }
  return published;
}

DPID CreateMember(KRNETWORKPLAYERORGROUPINFO* info, bool player) {
  g_krNetwork.name.lpszShortNameA = info->szName;
  g_krNetwork.name.lpszLongNameA = info->szName;
  DPID id = 0;
  const HRESULT result = player ? g_krNetwork.lpDirectPlay->CreatePlayer(&id, &g_krNetwork.name, NULL, NULL, 0, 0)
                                : g_krNetwork.lpDirectPlay->CreateGroup(&id, &g_krNetwork.name, NULL, 0, 0);
  g_krNetwork.hrLast = result;
  return FAILED(result) ? 0 : id;
}

void GetName(char* buffer, DPID id, bool player) {
  union {
    DPNAME name;
    char bytes[kNameBlockSize];
  } block;
  DWORD size = kNameBlockSize;
  const HRESULT result = player ? g_krNetwork.lpDirectPlay->GetPlayerName(id, block.bytes, &size)
                                : g_krNetwork.lpDirectPlay->GetGroupName(id, block.bytes, &size);
  g_krNetwork.hrLast = result;
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    return;
  }
  // A peer picks its own name: cut it as the player listing does.
  KRNetworkCopyName(buffer, KRNETWORK_PLAYERNAME_MAX, block.name.lpszShortNameA);
}

}  // namespace

int KRNetworkCreatePlayer(KRNETWORKPLAYERORGROUPINFO* info) {
  if (!KRNetworkNeedsPlay()) return 0;
  const DPID id = CreateMember(info, true);
  if (id != 0 && g_krNetwork.bHost && g_krNetwork.dpidHostPlayer == 0) {
    g_krNetwork.dpidHostPlayer = id;
    KRNetworkAddPlayerToGroup(static_cast<int>(g_krNetwork.dpidAcceptedGroup), static_cast<int>(id));
  }
  return static_cast<int>(id);
}

int KRNetworkCreateGroup(KRNETWORKPLAYERORGROUPINFO* info) {
  if (!KRNetworkNeedsPlay()) return 0;
  return static_cast<int>(CreateMember(info, false));
}

void KRNetworkDestroyPlayer(int player) {
  if (KRNetworkNeedsPlay()) g_krNetwork.lpDirectPlay->DestroyPlayer(static_cast<DPID>(player));
}

void KRNetworkDestroyGroup(int group) {
  if (KRNetworkNeedsPlay()) g_krNetwork.lpDirectPlay->DestroyGroup(static_cast<DPID>(group));
}

void KRNetworkAddPlayerToGroup(int group, int player) {
  if (KRNetworkNeedsPlay()) {
    g_krNetwork.lpDirectPlay->AddPlayerToGroup(static_cast<DPID>(group), static_cast<DPID>(player));
  }
}

void KRNetworkDeletePlayerFromGroup(int group, int player) {
  if (KRNetworkNeedsPlay()) {
    g_krNetwork.lpDirectPlay->DeletePlayerFromGroup(static_cast<DPID>(group), static_cast<DPID>(player));
  }
}

void KRNetworkGetPlayerName(char* name, int player) {
  if (KRNetworkNeedsPlay()) GetName(name, static_cast<DPID>(player), true);
}

void KRNetworkGetGroupName(char* name, int group) {
  if (KRNetworkNeedsPlay()) GetName(name, static_cast<DPID>(group), false);
}

int KRNetworkGetPlayerCount(int session, int interval) {
  if (!KRNetworkNeedsPlay()) return -1;
  // Signed on purpose: a negative index (the current session) always passes.
  if (session >= g_krNetwork.nSessionCount.load(std::memory_order_acquire)) {
    return KRErrorFail(KRERR_NETWORK | KRERR_INVALIDVALUE);
  }
  if (interval == 0) {
    KRNetworkGetPlayerCountCancel();
    KRNetworkGetSessionCountCancel();
    StartBuilding();
    const GUID guid = session >= 0 ? KRNetworkPublishedSessions()[session].guidInstance : GUID{};
    const HRESULT result = EnumPlayers(session, guid);
    if (FAILED(result)) {
      KRErrorSetLastError(kErrorFailed);
      KRDebugDumpDXResult(result);
      return -1;
    }
    PublishPlayers();
    g_krNetwork.bPlayerThreadRunning.store(0, std::memory_order_release);
    g_krNetwork.bPlayerCancel.store(0, std::memory_order_release);
    return g_krNetwork.nPlayerCount.load(std::memory_order_acquire);
  }
  if (!g_krNetwork.bPlayerThreadRunning.load(std::memory_order_acquire) &&
      KRNetworkTimeReached(GetTickCount(), g_krNetwork.dwPlayerNextTime)) {
    g_krNetwork.dwPlayerNextTime = GetTickCount() + static_cast<DWORD>(interval);
    return StartThreadPass(session);
  }
  Sleep(1);
  return g_krNetwork.nPlayerCount.load(std::memory_order_acquire);
}

int KRNetworkGetPlayerCountCancel(void) {
  if (!KRNetworkNeedsStarted()) return 0;
  if (!g_krNetwork.bPlayerThreadRunning.load(std::memory_order_acquire)) return 0;
  g_krNetwork.dwPlayerNextTime = GetTickCount();
  g_krNetwork.bPlayerCancel.store(1, std::memory_order_release);
  while (g_krNetwork.bPlayerThreadRunning.load(std::memory_order_acquire)) Sleep(1);
  g_krNetwork.bPlayerCancel.store(0, std::memory_order_release);
  return 1;
}

void KRNetworkGetPlayerInfo(KRNETWORKPLAYERORGROUPINFO* info, int index) {
  if (!KRNetworkNeedsStarted()) return;
  if (index < 0 || index >= g_krNetwork.nPlayerCount.load(std::memory_order_acquire)) {
    KRErrorSetLastError(KRERR_NETWORK | KRERR_INVALIDVALUE);
    return;
  }
  const KRNETWORKCOREPLAYERINFO& entry = KRNetworkPublishedPlayers()[index];
  KRNetworkCopyName(info->szName, KRNETWORK_PLAYERNAME_MAX, entry.szName);
  info->id = entry.id;
}
