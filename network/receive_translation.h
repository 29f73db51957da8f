// What a received message becomes for the caller: a pure function of the
// platform's sender, the received bytes, the host state and the caller's
// capacity, so that it can be tested and fuzzed on its own. Peer bytes are
// never read as pointers; only system messages (from DPID_SYSMSG), which the
// platform lays out as its DPMSG_* records, are.
#ifndef KR_NETWORK_RECEIVE_TRANSLATION_H
#define KR_NETWORK_RECEIVE_TRANSLATION_H

#include <windows.h>
#include <dplay.h>

#define KRNETWORK_RECORD_MAX 68  // the longest record: the chat code and 64 characters

struct KRNetworkHostView {
  int bHost;
  DPID dpidHostPlayer;
};

struct KRNetworkReceived {
  int nResult;        // what KRNetworkReceiveMessage returns
  int bDeliver;       // the caller's buffer, size and sender are written
  DPID dpidSender;    // the sender given back: 0 for system and library messages
  const BYTE* lpData;  // what is copied: the record or the received bytes
  DWORD dwSize;       // bytes copied, at most the capacity
  int bSendHostPlayer;  // send KRNETWORK_MSG_HOSTPLAYER to the message's receiver
  int bBecomeHost;      // this machine is the host now, its host player the receiver
  BYTE record[KRNETWORK_RECORD_MAX];
};

// `bytes` and `length` are what Receive gave; `received` must outlive the use of lpData.
void KRNetworkTranslateReceived(DPID platformSender, const BYTE* bytes, DWORD length,
                                const KRNetworkHostView& host, DWORD capacity, KRNetworkReceived* received);

#endif
