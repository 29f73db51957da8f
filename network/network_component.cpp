// The network component's start-up and clean-up: the lobby object, which
// lays out addresses, and the six tables of connections, sessions and players.
#include <cstring>

#include "core/component_blocks.h"
#include "core/last_error.h"
#include "input/dbcs_cut.h"
#include "network/network_state.h"

KRNETWORKSTATE g_krNetwork;

namespace {

const unsigned long kErrorStartupFailed = KRERR_NETWORK | KRERR_STARTUPFAILED;

// The six blocks in the order they are made and freed.
const KRComponentBlock kBlocks[] = {
    {reinterpret_cast<void**>(&g_krNetwork.lpConnections),
     KRNETWORK_CONNECTION_MAX * static_cast<int>(sizeof(KRNETWORKCORECONNECTIONINFO)), "KRNE:CONNECT"},
    {reinterpret_cast<void**>(&g_krNetwork.lpSessions[0]),
     KRNETWORK_SESSION_MAX * static_cast<int>(sizeof(KRNETWORKCORESESSIONINFO)), "KRNE:SESSIO0"},
    {reinterpret_cast<void**>(&g_krNetwork.lpSessions[1]),
     KRNETWORK_SESSION_MAX * static_cast<int>(sizeof(KRNETWORKCORESESSIONINFO)), "KRNE:SESSIO1"},
    {reinterpret_cast<void**>(&g_krNetwork.lpPlayers[0]),
     KRNETWORK_PLAYER_MAX * static_cast<int>(sizeof(KRNETWORKCOREPLAYERINFO)), "KRNE:PLAYER0"},
    {reinterpret_cast<void**>(&g_krNetwork.lpPlayers[1]),
     KRNETWORK_PLAYER_MAX * static_cast<int>(sizeof(KRNETWORKCOREPLAYERINFO)), "KRNE:PLAYER1"},
    {reinterpret_cast<void**>(&g_krNetwork.lpAddress), KRNETWORK_ADDRESS_SIZE, "KRNE:ADDRESS"},
};

// Every count, flag, time and id back to its start value.
void ResetCounts(void) {
  g_krNetwork.nConnectionCount = 0;
  g_krNetwork.nConnectionBuild = 0;
  g_krNetwork.nSessionBuilding = 0;
  g_krNetwork.nSessionBuild = 0;
  g_krNetwork.nSessionCount = 0;
  g_krNetwork.bSessionEnumerating = 0;
  g_krNetwork.dwSessionNextTime = 0;
  g_krNetwork.nPlayerBuilding = 0;
  g_krNetwork.nPlayerBuild = 0;
  g_krNetwork.nPlayerBuilt = 0;
  g_krNetwork.nPlayerCount = 0;
  g_krNetwork.bPlayerThreadRunning = 0;
  g_krNetwork.bPlayerCancel = 0;
  g_krNetwork.dwPlayerNextTime = 0;
  g_krNetwork.nPlayerThreadSession = 0;
  g_krNetwork.bHost = 0;
  g_krNetwork.dpidHostPlayer = 0;
  g_krNetwork.dpidAcceptedGroup = 0;
}

}  // namespace

int KRNetworkIsStarted(void) { return g_krNetwork.bStarted; }

bool KRNetworkNeedsStarted(void) {
  if (g_krNetwork.bStarted) return true;
  KRErrorSetLastError(KRERR_NETWORK | KRERR_NOTSTARTED);
  return false;
}

bool KRNetworkNeedsPlay(void) {
  if (g_krNetwork.bStarted && g_krNetwork.lpDirectPlay != NULL) return true;
  KRErrorSetLastError(KRERR_NETWORK | KRERR_NOTSTARTED);
  return false;
}

KRNETWORKCORESESSIONINFO* KRNetworkPublishedSessions(void) {
  return g_krNetwork.lpSessions[1 - g_krNetwork.nSessionBuilding.load(std::memory_order_acquire)];
}

KRNETWORKCOREPLAYERINFO* KRNetworkPublishedPlayers(void) {
  return g_krNetwork.lpPlayers[1 - g_krNetwork.nPlayerBuilding.load(std::memory_order_acquire)];
}

void KRNetworkCopyName(char* field, int size, const char* name) {
  if (name == NULL) name = "";
  const int length = static_cast<int>(strnlen(name, static_cast<size_t>(size) * 4));
  const int kept = KRDbcsCutLength(name, length, size - 1);
  memcpy(field, name, static_cast<size_t>(kept));
  field[kept] = '\0';
}

int KRNetworkStartup(void) {
  if (g_krNetwork.bStarted) return KRErrorFail(KRERR_NETWORK | KRERR_ALREADYSTARTED);

  KRDebugDump("KRNetwork : Startup\n");
  g_krNetwork.lpDirectPlay = NULL;
  ResetCounts();
  memset(&g_krNetwork.name, 0, sizeof(g_krNetwork.name));
  g_krNetwork.name.dwSize = sizeof(DPNAME);
  memset(&g_krNetwork.chat, 0, sizeof(g_krNetwork.chat));
  g_krNetwork.chat.dwSize = sizeof(DPCHAT);

  KRDebugDump("KRNetwork : DirectPlayLobby3Create\n");
  IDirectPlayLobbyA* first = NULL;
  g_krNetwork.lpLobby = NULL;
  HRESULT result = CoCreateInstance(CLSID_DirectPlayLobby, NULL, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    IID_IDirectPlayLobbyA, reinterpret_cast<void**>(&first));
  if (SUCCEEDED(result)) {
    result = first->QueryInterface(IID_IDirectPlayLobby3A, reinterpret_cast<void**>(&g_krNetwork.lpLobby));
    first->Release();
  }
  g_krNetwork.hrLast = result;
  if (FAILED(result)) {
    g_krNetwork.lpLobby = NULL;
    return KRErrorFail(kErrorStartupFailed);
  }

  if (!KRAllocateAllComponentBlocks(kBlocks)) {
    g_krNetwork.lpLobby->Release();
    g_krNetwork.lpLobby = NULL;
    return KRErrorFail(kErrorStartupFailed);
  }
  g_krNetwork.bStarted = 1;
  return 1;
}

void KRNetworkCleanup(void) {
  if (!g_krNetwork.bStarted) {
    KRErrorSetLastError(KRERR_NETWORK | KRERR_NOTSTARTED);
    return;
  }
  // The thread reads the tables and the play object: it ends first.
  KRNetworkGetPlayerCountCancel();

  KRDebugDump("KRNetwork : Cleanup\n");
  KRFreeComponentBlocks(kBlocks);

  KRDebugDump("KRNetwork : Release DirectPlay4A\n");
  if (g_krNetwork.lpDirectPlay != NULL) {
    g_krNetwork.lpDirectPlay->Release();
    g_krNetwork.lpDirectPlay = NULL;
  }
  KRDebugDump("KRNetwork : Release DirectPlayLobby3\n");
  if (g_krNetwork.lpLobby != NULL) {
    g_krNetwork.lpLobby->Release();
    g_krNetwork.lpLobby = NULL;
  }
  ResetCounts();
  g_krNetwork.bStarted = 0;
}
