// The last-error slot: the code and text of the most recent failure. Success
// never clears it. The player-enumeration thread sets it too, without a lock,
// so the text is written in a way that keeps it terminated at every moment.
#include "core/last_error.h"

#include <korvathd.h>

#include <cstdio>
#include <cstring>

namespace {

volatile unsigned long g_code = 0;
char g_text[KRERROR_TEXT_MAX] = "";  // the last byte is never written: always a terminator

}  // namespace

void KRErrorSetLastError(unsigned long code) {
  char text[KRERROR_TEXT_MAX];
  snprintf(text, sizeof(text), "%s : %s", KRErrorGetComponentName(code), KRErrorGetMessage(code));

  size_t length = strnlen(text, KRERROR_TEXT_MAX - 1);
  memcpy(g_text, text, length);
  g_text[length] = '\0';
  g_code = code;

  // A diagnostic for the debugger; it does not go to the debug log file.
  char line[KRERROR_TEXT_MAX + 16];
  snprintf(line, sizeof(line), "KRError \"%s\"\n", text);
  OutputDebugStringA(line);
}

unsigned long KRErrorGetLastError(void) { return g_code; }

void KRErrorGetLastError(char* text) {
  // Bounded copy: the slot may be rewritten by another thread while we read.
  size_t length = strnlen(g_text, KRERROR_TEXT_MAX - 1);
  memcpy(text, g_text, length);
  text[length] = '\0';
}
