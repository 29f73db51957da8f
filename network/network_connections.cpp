// Connections: the two-pass listing of DirectPlay service providers (ANSI
// names, then the wide names in the OEM code page), starting the play object
// on one of them with an address built from the caller's host string, and
// handing the play object out.
#include <cstring>

#include "core/core_state.h"
#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "network/network_state.h"

namespace {

const unsigned long kErrorStartupFailed = KRERR_NETWORK | KRERR_STARTUPFAILED;
const unsigned long kErrorFailed = KRERR_NETWORK | KRERR_FAILED;
const unsigned long kErrorConnection = KRERR_NETWORK | 0x100;
const int kScratchNameSize = 256;  // room for a converted name before it is cut

// The entry the next callback fills; null once the table is full (a platform
// may go on calling after it was told to stop).
KRNETWORKCORECONNECTIONINFO* FillEntry(LPCGUID provider, LPVOID connection, DWORD size) {
  if (g_krNetwork.nConnectionBuild >= KRNETWORK_CONNECTION_MAX) return NULL;
  KRNETWORKCORECONNECTIONINFO* entry = &g_krNetwork.lpConnections[g_krNetwork.nConnectionBuild];
  entry->guidServiceProvider = *provider;
  memcpy(entry->connection, connection, size < KRNETWORK_CONNECTIONDATA_SIZE ? size : KRNETWORK_CONNECTIONDATA_SIZE);
  return entry;
}

BOOL CountEntry(void) {
  g_krNetwork.nConnectionCount = ++g_krNetwork.nConnectionBuild;
  return g_krNetwork.nConnectionBuild < KRNETWORK_CONNECTION_MAX ? TRUE : FALSE;
}

BOOL CALLBACK KRNetworkEnumConnectionsCallback(LPCGUID provider, LPVOID connection, DWORD size, LPCDPNAME name,
                                               DWORD, LPVOID) {
  KRNETWORKCORECONNECTIONINFO* entry = FillEntry(provider, connection, size);
  if (entry == NULL) return FALSE;
  KRNetworkCopyName(entry->szName, KRNETWORK_NAME_MAX, name != NULL ? name->lpszShortNameA : NULL);
  return CountEntry();
}

BOOL CALLBACK KRNetworkEnumConnectionsWideCallback(LPCGUID provider, LPVOID connection, DWORD size, LPCDPNAME name,
                                                   DWORD, LPVOID) {
  KRNETWORKCORECONNECTIONINFO* entry = FillEntry(provider, connection, size);
  if (entry == NULL) return FALSE;
  char scratch[kScratchNameSize] = "";
  if (name != NULL && name->lpszShortName != NULL &&
      WideCharToMultiByte(CP_OEMCP, 0, name->lpszShortName, -1, scratch, kScratchNameSize, NULL, NULL) == 0) {
    scratch[0] = '\0';  // a name too long even for the scratch room is left out
  }
  scratch[kScratchNameSize - 1] = '\0';
  KRNetworkCopyName(entry->szName2, KRNETWORK_NAME_MAX, scratch);
  return CountEntry();
}

// A play object queried for `iid` (IDirectPlay4A or the wide IDirectPlay4).
HRESULT CreatePlayObject(REFIID iid, IDirectPlay4** out) {
  IDirectPlay* first = NULL;
  *out = NULL;
  HRESULT result = CoCreateInstance(CLSID_DirectPlay, NULL, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    IID_IDirectPlay, reinterpret_cast<void**>(&first));
  g_krNetwork.hrLast = result;
  if (FAILED(result)) return result;
  result = first->QueryInterface(iid, reinterpret_cast<void**>(out));
  first->Release();
  if (FAILED(result)) *out = NULL;
  g_krNetwork.hrLast = result;
  return result;
}

// One listing pass on a temporary play object of interface `iid`.
int ListPass(REFIID iid, LPDPENUMCONNECTIONSCALLBACK callback, bool clearTable) {
  IDirectPlay4* play = NULL;
  if (FAILED(CreatePlayObject(iid, &play))) return KRErrorFail(kErrorStartupFailed);
  g_krNetwork.nConnectionBuild = 0;
  g_krNetwork.nConnectionCount = 0;
  if (clearTable) {
    memset(g_krNetwork.lpConnections, 0, KRNETWORK_CONNECTION_MAX * sizeof(KRNETWORKCORECONNECTIONINFO));
  }
  const HRESULT result = play->EnumConnections(&g_krCore.guidApplication, callback, NULL, 0);
  g_krNetwork.hrLast = result;
  play->Release();
  if (FAILED(result)) return KRErrorFail(kErrorFailed);
  return 1;
}

bool AcceptedResult(HRESULT result) { return SUCCEEDED(result) || result == DPERR_ALREADYINITIALIZED; }

}  // namespace

int KRNetworkGetConnectionCount(void) {
  if (!KRNetworkNeedsStarted()) return 0;
  if (!ListPass(IID_IDirectPlay4A, KRNetworkEnumConnectionsCallback, true)) return 0;
  if (!ListPass(IID_IDirectPlay4, KRNetworkEnumConnectionsWideCallback, false)) return 0;
  return g_krNetwork.nConnectionCount;
}

void KRNetworkGetConnectionInfo(KRNETWORKCONNECTIONINFO* info, int index) {
  if (!KRNetworkNeedsStarted()) return;
  if (index < 0 || index >= g_krNetwork.nConnectionCount) {
    KRErrorSetLastError(KRERR_NETWORK | KRERR_INVALIDVALUE);
    return;
  }
  memcpy(info->szName, g_krNetwork.lpConnections[index].szName, sizeof(info->szName));
  memcpy(info->szName2, g_krNetwork.lpConnections[index].szName2, sizeof(info->szName2));
}

int KRNetworkStartupConnection(int index, KRNETWORKSTARTUPCONNECTIONINFO* info) {
  if (!KRNetworkNeedsStarted()) return 0;
  if (index < 0 || index >= g_krNetwork.nConnectionCount) return KRErrorFail(KRERR_NETWORK | KRERR_INVALIDVALUE);
  // A running player pass reads the play object about to be replaced.
  KRNetworkGetPlayerCountCancel();

  const GUID provider = g_krNetwork.lpConnections[index].guidServiceProvider;
  g_krNetwork.bHost = 0;
  g_krNetwork.dpidHostPlayer = 0;
  g_krNetwork.bSessionEnumerating = 0;
  g_krNetwork.bPlayerThreadRunning = 0;
  g_krNetwork.bPlayerCancel = 0;
  g_krNetwork.dwSessionNextTime = GetTickCount();
  g_krNetwork.dwPlayerNextTime = GetTickCount();

  DPCOMPOUNDADDRESSELEMENT elements[4];
  DWORD count = 0;
  if (info != NULL && provider == DPSPGUID_TCPIP) {
    elements[count++] = {DPAID_ServiceProvider, sizeof(GUID), const_cast<GUID*>(&DPSPGUID_TCPIP)};
    elements[count++] = {DPAID_INet, static_cast<DWORD>(strlen(info->szAddress) + 1), info->szAddress};
  } else if (info != NULL && provider == DPSPGUID_IPX) {
    elements[count++] = {DPAID_ServiceProvider, sizeof(GUID), const_cast<GUID*>(&DPSPGUID_IPX)};
  } else {
    elements[count++] = {DPAID_ServiceProvider, sizeof(GUID), const_cast<GUID*>(&provider)};
  }
  DWORD size = KRNETWORK_ADDRESS_SIZE;
  HRESULT result = g_krNetwork.lpLobby->CreateCompoundAddress(elements, count, g_krNetwork.lpAddress, &size);
  g_krNetwork.hrLast = result;
  if (!AcceptedResult(result)) return KRErrorFailDX(result, kErrorConnection);

  if (g_krNetwork.lpDirectPlay != NULL) {
    g_krNetwork.lpDirectPlay->Release();
    g_krNetwork.lpDirectPlay = NULL;
  }
  KRDebugDump("KRNetwork : DirectPlay4ACreate\n");
  IDirectPlay* first = NULL;
  result = CoCreateInstance(CLSID_DirectPlay, NULL, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IDirectPlay,
                            reinterpret_cast<void**>(&first));
  g_krNetwork.hrLast = result;
  if (FAILED(result)) return KRErrorFail(kErrorStartupFailed);
  result = first->QueryInterface(IID_IDirectPlay4A, reinterpret_cast<void**>(&g_krNetwork.lpDirectPlay));
  first->Release();
  if (FAILED(result)) g_krNetwork.lpDirectPlay = NULL;
  if (SUCCEEDED(result)) result = g_krNetwork.lpDirectPlay->Initialize(NULL);
  g_krNetwork.hrLast = result;
  if (!AcceptedResult(result)) return KRErrorFailDX(result, kErrorStartupFailed);

  result = g_krNetwork.lpDirectPlay->InitializeConnection(g_krNetwork.lpAddress, 0);
  g_krNetwork.hrLast = result;
  if (!AcceptedResult(result)) return KRErrorFailDX(result, kErrorConnection);
  return 1;
}

void KRNetworkGetDirectPlayInterface(IDirectPlay4** out) {
  if (!KRNetworkNeedsPlay()) {
    *out = NULL;
    return;
  }
  g_krNetwork.lpDirectPlay->AddRef();
  *out = g_krNetwork.lpDirectPlay;
}
