// The network component's global state, shared by its files and by the
// player-listing thread. What that thread reads or writes while the
// application runs is atomic: tables are published by writing their count and
// then flipping the selector with release; readers take the selector with acquire.
#ifndef KR_NETWORK_STATE_H
#define KR_NETWORK_STATE_H

#include <windows.h>
#include <dplay.h>
#include <dplobby.h>
#include <korvathd.h>

#include <atomic>

#define KRNETWORK_CONNECTIONDATA_SIZE 1024
#define KRNETWORK_RECEIVE_SIZE (KRNETWORK_MESSAGE_MAX + 1)  // tag and message

typedef struct KRNETWORKCORECONNECTIONINFO {
  GUID guidServiceProvider;
  BYTE connection[KRNETWORK_CONNECTIONDATA_SIZE];
  char szName[KRNETWORK_NAME_MAX];
  char szName2[KRNETWORK_NAME_MAX];
} KRNETWORKCORECONNECTIONINFO;

typedef struct KRNETWORKCORESESSIONINFO {
  GUID guidInstance;
  char szName[KRNETWORK_NAME_MAX];
} KRNETWORKCORESESSIONINFO;

typedef struct KRNETWORKCOREPLAYERINFO {
  DPID id;
  char szName[KRNETWORK_NAME_MAX];
} KRNETWORKCOREPLAYERINFO;

struct KRNETWORKSTATE {
  int bStarted;
  IDirectPlay4A* lpDirectPlay;
  IDirectPlayLobby3A* lpLobby;
  std::atomic<HRESULT> hrLast;
  DPNAME name;  // shared by the create calls
  DPCHAT chat;

  KRNETWORKCORECONNECTIONINFO* lpConnections;
  int nConnectionCount;
  int nConnectionBuild;

  KRNETWORKCORESESSIONINFO* lpSessions[2];
  std::atomic<int> nSessionBuilding;  // selector: the table being filled
  int nSessionBuild;
  std::atomic<int> nSessionCount;  // entries of the published table
  std::atomic<int> bSessionEnumerating;
  DWORD dwSessionNextTime;

  KRNETWORKCOREPLAYERINFO* lpPlayers[2];
  std::atomic<int> nPlayerBuilding;
  std::atomic<int> nPlayerBuild;
  std::atomic<int> nPlayerBuilt;
  std::atomic<int> nPlayerCount;
  std::atomic<int> bPlayerThreadRunning;
  std::atomic<int> bPlayerCancel;
  DWORD dwPlayerNextTime;
  int nPlayerThreadSession;
  GUID guidPlayerThreadSession;  // taken when the pass starts

  int bHost;
  DPID dpidHostPlayer;
  DPID dpidAcceptedGroup;

  BYTE* lpAddress;
  BYTE sendBuffer[KRNETWORK_RECEIVE_SIZE];
  alignas(8) BYTE receiveBuffer[KRNETWORK_RECEIVE_SIZE];  // system messages hold pointers
};

extern KRNETWORKSTATE g_krNetwork;

// Guards of the exported calls: false (with 0x8002) before start-up, or when
// the call needs the play object and there is none.
bool KRNetworkNeedsStarted(void);
bool KRNetworkNeedsPlay(void);

// The published table of each list (the one the selector does not name).
KRNETWORKCORESESSIONINFO* KRNetworkPublishedSessions(void);
KRNETWORKCOREPLAYERINFO* KRNetworkPublishedPlayers(void);

// Copies a name into a field of `size` bytes: cut without splitting a
// double-byte character, always terminated, null taken as "".
void KRNetworkCopyName(char* field, int size, const char* name);

// Whether the tick count `now` has reached `time`, across the wrap of the count.
inline bool KRNetworkTimeReached(DWORD now, DWORD time) { return static_cast<int32_t>(now - time) >= 0; }

int KRNetworkIsStarted(void);

// Application data (tag 0xFF) from player `from` to `to`; internal, not exported.
int KRNetworkSendDataMessage(void* data, DWORD size, int from, int to);

#endif
