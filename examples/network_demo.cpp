// The network component on the machine's DirectPlay: lists the connections,
// starts TCP/IP on the loopback address, tries to host a session, and prints
// a line for each step; the debug log goes to krdebugnet.txt.
#include <windows.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "support/library_calls.h"

int main() {
  KRSTARTUPINFO info = winsupport::StartupInfo(GetDesktopWindow(), KRSTARTUP_DEBUGLOG, "krdebugnet.txt");
  info.guidApplication.Data1 = 0x4B524E54;
  if (!KRStartup(&info) || !KRNetworkStartup()) {
    printf("start-up failed: %s\n", winsupport::LastErrorText().c_str());
    return 1;
  }
  const int count = KRNetworkGetConnectionCount();
  printf("connections: %d\n", count);
  int tcp = -1;
  for (int i = 0; i < count; ++i) {
    KRNETWORKCONNECTIONINFO connection;
    KRNetworkGetConnectionInfo(&connection, i);
    printf("  %d: %s\n", i, connection.szName);
    if (strstr(connection.szName, "TCP/IP") != NULL) tcp = i;
  }
  if (tcp >= 0) {
    KRNETWORKSTARTUPCONNECTIONINFO address;
    memset(&address, 0, sizeof(address));
    strcpy(address.szAddress, "127.0.0.1");
    const int started = KRNetworkStartupConnection(tcp, &address);
    printf("TCP/IP on 127.0.0.1: %s\n", started ? "started" : winsupport::LastErrorText().c_str());
    if (started) {
      KRNETWORKSESSIONINFO session;
      memset(&session, 0, sizeof(session));
      session.dwMaxPlayers = 4;
      strcpy(session.szName, "Demo");
      if (KRNetworkCreateSession(&session)) {
        printf("hosting \"Demo\", accepted group %d\n", KRNetworkGetAcceptedGroup());
        KRNetworkCloseSession();
      } else {
        printf("hosting refused: %s\n", winsupport::LastErrorText().c_str());
      }
    }
  }
  KRNetworkCleanup();
  KRCleanup();
  return 0;
}
