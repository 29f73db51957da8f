// IMM32 lists are trusted for nothing: every offset is checked against the
// bytes actually read before a string is touched.
#include "input/ime_candidate_list.h"

#include <cstdint>
#include <cstring>

namespace {

const DWORD kSizeField = 0;
const DWORD kCountField = 8;

DWORD ReadDword(const BYTE* at) {
  DWORD value;
  memcpy(&value, at, sizeof(value));
  return value;
}

void WriteDword(BYTE* at, DWORD value) { memcpy(at, &value, sizeof(value)); }

}  // namespace

const char* KRImeCandidateAt(const BYTE* list, DWORD size, DWORD index) {
  if (size < KRIME_CANDLIST_HEADER) return NULL;
  DWORD declared = ReadDword(list + kSizeField);
  uint64_t limit = declared < size ? declared : size;
  uint64_t slot = KRIME_CANDLIST_HEADER + 4 * static_cast<uint64_t>(index);
  if (slot + 4 > limit) return NULL;
  DWORD offset = ReadDword(list + slot);
  if (offset < KRIME_CANDLIST_HEADER || offset >= limit) return NULL;
  const void* zero = memchr(list + offset, 0, static_cast<size_t>(limit - offset));
  return zero != NULL ? reinterpret_cast<const char*>(list + offset) : NULL;
}

void KRImeKeepCandidateList(const BYTE* list, DWORD size, BYTE* out, DWORD capacity) {
  if (size < KRIME_CANDLIST_HEADER || capacity < KRIME_CANDLIST_HEADER) return;
  if (size <= capacity) {
    memcpy(out, list, size);
    return;
  }
  // Too long: the leading candidates that fit whole, laid out anew after their offsets.
  DWORD count = ReadDword(list + kCountField);
  DWORD kept = 0;
  uint64_t strings = 0;
  while (kept < count) {
    const char* candidate = KRImeCandidateAt(list, size, kept);
    if (candidate == NULL) break;
    uint64_t length = strlen(candidate) + 1;
    if (KRIME_CANDLIST_HEADER + 4 * (static_cast<uint64_t>(kept) + 1) + strings + length > capacity) break;
    strings += length;
    ++kept;
  }
  memcpy(out, list, KRIME_CANDLIST_HEADER);
  DWORD at = KRIME_CANDLIST_HEADER + 4 * kept;
  for (DWORD i = 0; i < kept; ++i) {
    const char* candidate = KRImeCandidateAt(list, size, i);
    DWORD length = static_cast<DWORD>(strlen(candidate) + 1);
    WriteDword(out + KRIME_CANDLIST_HEADER + 4 * i, at);
    memcpy(out + at, candidate, length);
    at += length;
  }
  WriteDword(out + kSizeField, at);
  WriteDword(out + kCountField, kept);
}
