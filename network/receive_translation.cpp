#include "network/receive_translation.h"

#include <korvathd.h>

#include <cstring>

#include "network/network_state.h"

namespace {

DWORD Word(const BYTE* bytes) {
  DWORD word;
  memcpy(&word, bytes, sizeof(word));
  return word;
}

void PutWords(KRNetworkReceived* received, const DWORD* words, DWORD count) {
  memcpy(received->record, words, count * sizeof(DWORD));
  received->lpData = received->record;
  received->dwSize = count * sizeof(DWORD);
}

// Copies a platform record out of the received block (which need not be aligned).
template <typename Record>
bool ReadRecord(const BYTE* bytes, DWORD length, Record* record) {
  if (length < sizeof(Record)) return false;
  memcpy(record, bytes, sizeof(Record));
  return true;
}

// The DPSYS rows; false when the message is not one of them (or too short for its record).
bool TranslateSystem(const BYTE* bytes, DWORD length, const KRNetworkHostView& host, KRNetworkReceived* received) {
  switch (Word(bytes)) {
    case DPSYS_CREATEPLAYERORGROUP: {
      DPMSG_CREATEPLAYERORGROUP message;
      if (!ReadRecord(bytes, length, &message)) return false;
      if (message.dwPlayerType == DPPLAYERTYPE_PLAYER) {
        const DWORD words[] = {KRNETWORK_MSG_CREATEPLAYER, message.dpId};
        PutWords(received, words, 2);
        received->bSendHostPlayer = host.bHost;
      } else if (message.dwPlayerType == DPPLAYERTYPE_GROUP) {
        const DWORD words[] = {KRNETWORK_MSG_CREATEGROUP, message.dpId};
        PutWords(received, words, 2);
      } else {
        received->bDeliver = 0;
      }
      return true;
    }
    case DPSYS_DESTROYPLAYERORGROUP: {
      DPMSG_DESTROYPLAYERORGROUP message;
      if (!ReadRecord(bytes, length, &message)) return false;
      if (message.dwPlayerType == DPPLAYERTYPE_PLAYER || message.dwPlayerType == DPPLAYERTYPE_GROUP) {
        const DWORD words[] = {KRNETWORK_MSG_DESTROYPLAYERORGROUP, message.dpId};
        PutWords(received, words, 2);
      } else {
        received->bDeliver = 0;
      }
      return true;
    }
    case DPSYS_ADDPLAYERTOGROUP:
    case DPSYS_DELETEPLAYERFROMGROUP: {
      DPMSG_ADDPLAYERTOGROUP message;
      if (!ReadRecord(bytes, length, &message)) return false;
      const DWORD words[] = {message.dwType, message.dpIdGroup, message.dpIdPlayer};
      PutWords(received, words, 3);
      return true;
    }
    case DPSYS_SESSIONLOST:
    case DPSYS_HOST: {
      const DWORD words[] = {Word(bytes)};
      PutWords(received, words, 1);
      received->bBecomeHost = Word(bytes) == DPSYS_HOST;
      return true;
    }
    case DPSYS_SECUREMESSAGE:
    case DPSYS_STARTSESSION: {
      const DWORD words[] = {KRNETWORK_MSG_IGNORED};
      PutWords(received, words, 1);
      return true;
    }
    case DPSYS_CHAT: {
      DPMSG_CHAT message;
      if (!ReadRecord(bytes, length, &message)) return false;
      memset(received->record, 0, sizeof(received->record));
      const DWORD code = DPSYS_CHAT;
      memcpy(received->record, &code, sizeof(code));
      DPCHAT chat = {};
      if (message.lpChat != NULL) memcpy(&chat, message.lpChat, sizeof(chat));  // the platform's record
      const char* text = message.lpChat != NULL ? chat.lpszMessageA : NULL;
      KRNetworkCopyName(reinterpret_cast<char*>(received->record + sizeof(DWORD)), KRNETWORK_NAME_MAX, text);
      received->lpData = received->record;
      received->dwSize = KRNETWORK_RECORD_MAX;
      return true;
    }
    default:
      return false;
  }
}

// The library-code rows: delivered as received, cut to the code's length.
bool TranslateLibrary(const BYTE* bytes, DWORD length, const KRNetworkHostView& host, KRNetworkReceived* received) {
  DWORD limit;
  switch (Word(bytes)) {
    case KRNETWORK_MSG_REQUESTTOJOIN:
      if (!host.bHost) {
        received->bDeliver = 0;
        received->nResult = 0;
        return true;
      }
      limit = 8;
      break;
    case KRNETWORK_MSG_ACCEPTJOINING:
      limit = 12;
      break;
    case KRNETWORK_MSG_CANCELJOINING:
      limit = 4;
      break;
    default:
      return false;
  }
  received->lpData = bytes;
  received->dwSize = length < limit ? length : limit;
  return true;
}

}  // namespace

void KRNetworkTranslateReceived(DPID platformSender, const BYTE* bytes, DWORD length,
                                const KRNetworkHostView& host, DWORD capacity, KRNetworkReceived* received) {
  memset(received, 0, sizeof(*received));
  received->nResult = 1;
  received->bDeliver = 1;
  received->lpData = bytes;
  received->dwSize = length;

  if (platformSender != DPID_SYSMSG) {
    if (length == 0) {  // not even a tag: nothing to deliver
      received->nResult = 0;
      received->bDeliver = 0;
      return;
    }
    received->lpData = bytes + 1;
    received->dwSize = length - 1;
    if (bytes[0] != 0x00) received->dpidSender = platformSender;  // application data
    // A player's library message gets only the library rows, and only when it holds a code.
    if (bytes[0] == 0x00 && received->dwSize >= sizeof(DWORD)) {
      TranslateLibrary(bytes + 1, length - 1, host, received);
    }
  } else if (length >= sizeof(DWORD)) {
    if (!TranslateSystem(bytes, length, host, received)) TranslateLibrary(bytes, length, host, received);
  }
  if (received->dwSize > capacity) received->dwSize = capacity;
}
