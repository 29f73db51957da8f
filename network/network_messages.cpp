// Messages of a session: library messages (tag 0x00), application data
// (tag 0xFF) and chat; receiving with the translation of system and library
// messages; and the join handshake between a new player and the host.
#include <cstring>
#include <new>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "network/network_state.h"
#include "network/receive_translation.h"

namespace {

const BYTE kTagLibrary = 0x00;
const BYTE kTagData = 0xFF;

bool FitsMessage(DWORD size) {
  if (size <= KRNETWORK_MESSAGE_MAX) return true;
  KRErrorSetLastError(KRERR_NETWORK | KRERR_INVALIDVALUE);
  return false;
}

int SendResult(HRESULT result) {
  g_krNetwork.hrLast = result;
  if (SUCCEEDED(result)) return 1;
  KRDebugDumpDXResult(result);
  return 0;
}

void SendWords(const DWORD* words, DWORD count, DPID from, DPID to) {
  KRNetworkSendSystemMessage(const_cast<DWORD*>(words), count * sizeof(DWORD), static_cast<int>(from),
                             static_cast<int>(to));
}

// A message too large for the receive buffer stays queued: take it off into
// a block of its size and drop it, so the next call gets the next message.
// Without room for the block it stays queued until a later call has room.
void DropOversized(DWORD needed) {
  void* block = NULL;
  try {
    // A size beyond the int range turns negative, which the allocator refuses too.
    block = KRAllocEx(static_cast<int>(needed), const_cast<char*>("KRNE:DROPMSG"));
  } catch (const std::bad_alloc&) {
    return;
  }
  DPID from = 0;
  DPID to = 0;
  g_krNetwork.lpDirectPlay->Receive(&from, &to, DPRECEIVE_ALL, block, &needed);
  KRFree(block);
}

}  // namespace

// Not exported: nothing in the library sends application data yet.
int KRNetworkSendDataMessage(void* data, DWORD size, int from, int to) {
  if (!KRNetworkNeedsPlay() || !FitsMessage(size)) return 0;
  BYTE buffer[KRNETWORK_RECEIVE_SIZE];
  buffer[0] = kTagData;
  if (size > 0) memcpy(buffer + 1, data, size);
  const HRESULT result = g_krNetwork.lpDirectPlay->SendEx(
      static_cast<DPID>(from), static_cast<DPID>(to), DPSEND_GUARANTEED | DPSEND_ASYNC | DPSEND_NOSENDCOMPLETEMSG,
      buffer, size + 1, 0, 0, NULL, NULL);
  return SendResult(result == DPERR_PENDING ? DP_OK : result);  // queued is as good as sent
}

int KRNetworkSendSystemMessage(void* data, DWORD size, int from, int to) {
  if (!KRNetworkNeedsPlay() || !FitsMessage(size)) return 0;
  g_krNetwork.sendBuffer[0] = kTagLibrary;
  if (size > 0) memcpy(g_krNetwork.sendBuffer + 1, data, size);
  return SendResult(g_krNetwork.lpDirectPlay->Send(static_cast<DPID>(from), static_cast<DPID>(to), DPSEND_GUARANTEED,
                                                   g_krNetwork.sendBuffer, size + 1));
}

int KRNetworkSendChatMessage(char* text, int from, int to) {
  if (!KRNetworkNeedsPlay()) return 0;
  g_krNetwork.chat.lpszMessageA = text;
  return SendResult(g_krNetwork.lpDirectPlay->SendChatMessage(static_cast<DPID>(from), static_cast<DPID>(to),
                                                              DPSEND_GUARANTEED, &g_krNetwork.chat));
}

int KRNetworkReceiveMessage(void* buffer, DWORD* size, int* from, int* to) {
  if (!KRNetworkNeedsPlay()) return 0;
  DPID sender = 0;
  DPID receiver = 0;
  DWORD received = KRNETWORK_RECEIVE_SIZE;  // Receive rewrites it: set again for every call
  const HRESULT result =
      g_krNetwork.lpDirectPlay->Receive(&sender, &receiver, DPRECEIVE_ALL, g_krNetwork.receiveBuffer, &received);
  g_krNetwork.hrLast = result;
  if (result == DPERR_NOMESSAGES) return 0;
  if (FAILED(result)) {
    KRDebugDumpDXResult(result);
    if (result == DPERR_BUFFERTOOSMALL) DropOversized(received);
    return 0;
  }
  *to = static_cast<int>(receiver);

  const KRNetworkHostView host = {g_krNetwork.bHost, g_krNetwork.dpidHostPlayer};
  KRNetworkReceived translated;
  KRNetworkTranslateReceived(sender, g_krNetwork.receiveBuffer, received, host, *size, &translated);
  if (translated.bDeliver) {
    if (translated.dwSize > 0) memcpy(buffer, translated.lpData, translated.dwSize);
    *size = translated.dwSize;
    *from = static_cast<int>(translated.dpidSender);
  }
  if (translated.bSendHostPlayer) {
    const DWORD words[] = {KRNETWORK_MSG_HOSTPLAYER, g_krNetwork.dpidHostPlayer};
    SendWords(words, 2, g_krNetwork.dpidHostPlayer, receiver);
  }
  if (translated.bBecomeHost) {
    g_krNetwork.bHost = 1;
    g_krNetwork.dpidHostPlayer = receiver;
  }
  return translated.nResult;
}

void KRNetworkRequestToJoin(int player) {
  if (!KRNetworkNeedsPlay() || g_krNetwork.bHost) return;
  const DWORD words[] = {KRNETWORK_MSG_REQUESTTOJOIN, static_cast<DWORD>(player)};
  SendWords(words, 2, static_cast<DPID>(player), g_krNetwork.dpidHostPlayer);
}

void KRNetworkAcceptJoining(int player) {
  if (!KRNetworkNeedsPlay() || !g_krNetwork.bHost) return;
  KRNetworkAddPlayerToGroup(static_cast<int>(g_krNetwork.dpidAcceptedGroup), player);
  const DWORD words[] = {KRNETWORK_MSG_ACCEPTJOINING, g_krNetwork.dpidAcceptedGroup, g_krNetwork.dpidHostPlayer};
  SendWords(words, 3, g_krNetwork.dpidHostPlayer, static_cast<DPID>(player));
}

void KRNetworkCancelJoining(int player) {
  if (!KRNetworkNeedsPlay() || !g_krNetwork.bHost) return;
  const DWORD words[] = {KRNETWORK_MSG_CANCELJOINING};
  SendWords(words, 1, g_krNetwork.dpidHostPlayer, static_cast<DPID>(player));
}
