#include "input/dbcs_cut.h"

#include <windows.h>

int KRDbcsCutLength(const char* text, int length, int limit) {
  if (limit >= length) return length < 0 ? 0 : length;
  int kept = 0;
  while (kept < length) {
    int step = (IsDBCSLeadByte(static_cast<BYTE>(text[kept])) && kept + 1 < length) ? 2 : 1;
    if (kept + step > limit) break;
    kept += step;
  }
  return kept;
}
