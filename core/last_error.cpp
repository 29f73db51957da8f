// The last-error slot: the code of the most recent failure. Success never
// clears it. The player-listing thread sets it too, so the slot is one atomic
// code and the text is made from it when read: a reader never sees one
// failure's code with another's text.
#include "core/last_error.h"

#include <korvathd.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<unsigned long> g_code{0};
std::atomic<bool> g_recorded{false};  // the text stays empty until the first failure

// "<component> : <message>"
void FormatText(unsigned long code, char* text) {
  snprintf(text, KRERROR_TEXT_MAX, "%s : %s", KRErrorGetComponentName(code), KRErrorGetMessage(code));
}

}  // namespace

void KRErrorSetLastError(unsigned long code) {
  g_code.store(code, std::memory_order_release);
  g_recorded.store(true, std::memory_order_release);

  // A diagnostic for the debugger; it does not go to the debug log file.
  char text[KRERROR_TEXT_MAX];
  FormatText(code, text);
  char line[KRERROR_TEXT_MAX + 16];
  snprintf(line, sizeof(line), "KRError \"%s\"\n", text);
  OutputDebugStringA(line);
}

unsigned long KRErrorGetLastError(void) { return g_code.load(std::memory_order_acquire); }

void KRErrorGetLastError(char* text) {
  if (!g_recorded.load(std::memory_order_acquire)) {
    text[0] = '\0';
    return;
  }
  FormatText(g_code.load(std::memory_order_acquire), text);
}
