// The collected result text: finished strings of the input method waiting for
// the application, which fetches them a buffer's worth at a time.
#include <korvathd.h>

#include <cstring>

#include "input/dbcs_cut.h"
#include "input/ime_state.h"

void KRInputAppendImeString(const char* text) {
  if (!KRImeHasBuffers() || text == NULL) return;
  char* collected = g_krInput.lpImeString;
  int used = static_cast<int>(strlen(collected));
  int room = KRINPUT_IMESTRING_SIZE - 1 - used;
  int length = static_cast<int>(strlen(text));
  int kept = KRDbcsCutLength(text, length, room);
  memcpy(collected + used, text, static_cast<size_t>(kept));
  collected[used + kept] = '\0';
}

void KRInputGetImeStrings(char* out, int size) {
  if (out == NULL || size < 1) return;
  if (!KRImeHasBuffers()) {
    out[0] = '\0';
    return;
  }
  char* collected = g_krInput.lpImeString;
  size_t length = strlen(collected);
  if (length < static_cast<size_t>(size)) {
    memcpy(out, collected, length + 1);
    collected[0] = '\0';
    return;
  }
  // The cut is by bytes: it may split a double-byte character between two calls.
  size_t taken = static_cast<size_t>(size) - 1;
  memcpy(out, collected, taken);
  out[taken] = '\0';
  memmove(collected, collected + taken, length - taken + 1);
}
