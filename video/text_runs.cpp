// The kinds alternate: a run ends where a byte of the other kind begins. A
// single-byte run always takes its first byte, so a text that begins with
// single-byte katakana starts with a single-byte run.
#include "video/text_runs.h"

#include <mbctype.h>

#include <cstring>

namespace {

bool IsKana(unsigned char byte) { return _ismbbkana(byte) != 0; }

// A lead byte with its second byte inside the text. A lead byte at the very end
// is no character: it is drawn as a single byte rather than read past the end.
bool StartsDoubleByteCharacter(const char* p, int remaining) {
  return remaining >= 2 && _ismbblead(static_cast<unsigned char>(p[0])) != 0;
}

int SingleByteRunLength(const char* p, int remaining) {
  int length = 1;
  while (length < remaining && !StartsDoubleByteCharacter(p + length, remaining - length) &&
         !IsKana(static_cast<unsigned char>(p[length]))) {
    ++length;
  }
  return length;
}

int DoubleByteRunLength(const char* p, int remaining) {
  int length = 0;
  while (length < remaining) {
    if (StartsDoubleByteCharacter(p + length, remaining - length)) {
      length += 2;
    } else if (IsKana(static_cast<unsigned char>(p[length]))) {
      length += 1;
    } else {
      break;
    }
  }
  return length;
}

}  // namespace

void KR2DBeginTextRuns(KR2DTEXTRUNS* runs, const char* text, int length) {
  size_t limit = length < 0 ? strlen(text) : strnlen(text, static_cast<size_t>(length));
  runs->lpNext = text;
  runs->nRemaining = static_cast<int>(limit);
  runs->bDoubleByte = runs->nRemaining > 0 && StartsDoubleByteCharacter(text, runs->nRemaining);
}

int KR2DNextTextRun(KR2DTEXTRUNS* runs, KR2DTEXTRUN* run) {
  if (runs->nRemaining <= 0) return 0;
  int length = runs->bDoubleByte ? DoubleByteRunLength(runs->lpNext, runs->nRemaining)
                                 : SingleByteRunLength(runs->lpNext, runs->nRemaining);
  run->lpText = runs->lpNext;
  run->nLength = length;
  run->bDoubleByte = runs->bDoubleByte;
  runs->lpNext += length;
  runs->nRemaining -= length;
  runs->bDoubleByte = !runs->bDoubleByte;
  return 1;
}
