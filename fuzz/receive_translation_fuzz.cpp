// Arbitrary received messages through the receive translation: peer bytes
// of any tag and length on a host and elsewhere, and system messages whose
// pointers this target fills in as the platform would. What is delivered must
// stay within the capacity and within the record or the received bytes, and
// peer bytes must never cause a send or change who is host.
//
// Input: one byte of flags (bit 0 this machine is host, bit 1 the message is
// a system message), a 16-bit little-endian capacity, then the message.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "network/receive_translation.h"
#include "platform/sim/control.h"

namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "receive translation fuzz: %s\n", what);
  abort();
}

bool Within(const BYTE* data, DWORD size, const BYTE* start, size_t length) {
  return data >= start && data + size <= start + length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // The simulation records every call (the name copy asks about lead bytes);
  // a run of millions of inputs must not keep them all.
  sim::ClearCalls();
  const bool host = (data[0] & 1) != 0;
  const bool system = (data[0] & 2) != 0;
  const DWORD capacity = static_cast<DWORD>(data[1] | (data[2] << 8));
  // The message in a block of its own size, so reading past it is caught.
  std::vector<BYTE> message(data + 3, data + size);
  std::vector<char> chatText;
  DPCHAT chat = {};
  if (system && message.size() >= sizeof(DPMSG_CHAT)) {
    DWORD type;
    memcpy(&type, message.data(), sizeof(type));
    if (type == DPSYS_CHAT) {
      // The platform's chat record points at its text; the text is what follows the record.
      chatText.assign(message.begin() + sizeof(DPMSG_CHAT), message.end());
      chatText.push_back('\0');
      chat.dwSize = sizeof(DPCHAT);
      chat.lpszMessageA = (data[0] & 4) ? nullptr : chatText.data();
      DPCHAT* pointer = (data[0] & 8) ? nullptr : &chat;
      memcpy(message.data() + offsetof(DPMSG_CHAT, lpChat), &pointer, sizeof(pointer));
    }
    if (type == DPSYS_CREATEPLAYERORGROUP || type == DPSYS_DESTROYPLAYERORGROUP) {
      // Names are not read by the translation; pointers the platform would set are cleared.
      const size_t name = type == DPSYS_CREATEPLAYERORGROUP ? offsetof(DPMSG_CREATEPLAYERORGROUP, dpnName)
                                                            : offsetof(DPMSG_DESTROYPLAYERORGROUP, dpnName);
      if (message.size() >= name + sizeof(DPNAME)) memset(message.data() + name, 0, sizeof(DPNAME));
    }
  }
  const KRNetworkHostView view = {host ? 1 : 0, 0x501};
  KRNetworkReceived received;
  const BYTE* bytes = message.empty() ? nullptr : message.data();
  KRNetworkTranslateReceived(system ? DPID_SYSMSG : 0x42, bytes, static_cast<DWORD>(message.size()), view, capacity,
                             &received);

  Check(received.nResult == 0 || received.nResult == 1, "result is 0 or 1");
  if (received.bDeliver) {
    Check(received.nResult == 1, "a delivery returns 1");
    Check(received.dwSize <= capacity, "delivered within the capacity");
    Check(Within(received.lpData, received.dwSize, received.record, sizeof(received.record)) ||
              (received.dwSize == 0 || Within(received.lpData, received.dwSize, bytes, message.size())),
          "delivered bytes lie in the record or the message");
  }
  if (!system) {
    Check(!received.bSendHostPlayer, "peer bytes cause no send");
    Check(!received.bBecomeHost, "peer bytes change no host");
    Check(message.empty() || received.dpidSender == (message[0] == 0 ? 0u : 0x42u), "sender by tag");
  }
  if (!host) Check(!received.bSendHostPlayer, "only the host answers a created player");
  return 0;
}
