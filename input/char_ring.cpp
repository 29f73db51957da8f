// The ring of typed characters and translated keys, filled by the window
// procedure's character and key-down messages and read by the frame loop.
#include "input/input_state.h"

#include <korvathd.h>

#include <cstdint>

namespace {

const DWORD kKeyReleased = 0x80000000u;        // bit 31 of a character message's lParam
const unsigned int kFlagsKeyReleased = 0x8000;  // the same bit in the message-map flags

DWORD NextPosition(DWORD position) { return (position + 1) % KRINPUT_CHARBUFFER_MAX; }

struct KRKeyCode {
  unsigned int virtualKey;
  DWORD code;
};

const KRKeyCode kKeyCodes[] = {
    {VK_RIGHT, KRCHAR_RIGHT}, {VK_LEFT, KRCHAR_LEFT},   {VK_UP, KRCHAR_UP},
    {VK_DOWN, KRCHAR_DOWN},   {VK_DELETE, KRCHAR_DELETE}, {VK_SHIFT, KRCHAR_SHIFT},
    {VK_CONTROL, KRCHAR_CONTROL},
};

// The ring code of a key, or 0 for keys that queue nothing.
DWORD KeyCode(unsigned int virtualKey) {
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12) return virtualKey + (KRCHAR_F1 - VK_F1);
  for (const KRKeyCode& key : kKeyCodes) {
    if (key.virtualKey == virtualKey) return key.code;
  }
  return 0;
}

}  // namespace

void KRInputQueueChar(DWORD code) {
  if (!g_krInput.bStarted || g_krInput.lpCharBuffer == NULL) return;
  const DWORD next = NextPosition(g_krInput.dwCharWrite);
  if (next == g_krInput.dwCharRead) return;  // 1023 queued: one slot stays free
  g_krInput.lpCharBuffer[g_krInput.dwCharWrite] = code;
  g_krInput.dwCharWrite = next;
}

void KRInputOnChar(unsigned int ch, unsigned int, unsigned int flags) {
  if (flags & kFlagsKeyReleased) return;
  KRInputQueueChar(ch);
}

// lParam is 32 bits on Windows but may be wider here: test the bit, not the sign.
void KRInputOnChar(unsigned int wParam, long lParam) {
  if (static_cast<uint32_t>(lParam) & kKeyReleased) return;
  KRInputQueueChar(wParam);
}

void KRInputOnKeyDown(unsigned int key, unsigned int, unsigned int) {
  const DWORD code = KeyCode(key);
  if (code != 0) KRInputOnChar(code, 0u, 0u);
}

void KRInputOnKeyDown(unsigned int wParam, long) { KRInputOnKeyDown(wParam, 0u, 0u); }

unsigned int KRInputGetChar(void) {
  if (!g_krInput.bStarted || g_krInput.dwCharRead == g_krInput.dwCharWrite) return 0;
  const DWORD code = g_krInput.lpCharBuffer[g_krInput.dwCharRead];
  g_krInput.dwCharRead = NextPosition(g_krInput.dwCharRead);
  return code;
}

// Only the positions: the entries stay as they were.
void KRInputFlushCharBuffer(void) {
  if (!g_krInput.bStarted) return;
  g_krInput.dwCharWrite = 0;
  g_krInput.dwCharRead = 0;
}
