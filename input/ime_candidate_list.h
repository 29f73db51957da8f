// Candidate lists in the CANDIDATELIST layout, as IMM32 gives them: checked
// before a candidate is read, and cut down to the state's 2048 bytes.
#ifndef KR_IME_CANDIDATE_LIST_H
#define KR_IME_CANDIDATE_LIST_H

#include <windows.h>

#define KRIME_CANDLIST_HEADER 24  // CANDIDATELIST up to its first offset

// Candidate `index` of the `size`-byte list, or null unless its offset slot,
// the offset and the string's terminating zero all lie within both `size` and
// the list's own dwSize.
const char* KRImeCandidateAt(const BYTE* list, DWORD size, DWORD index);

// Stores the `size`-byte list read from IMM32 into `out` (`capacity` bytes):
// whole when it fits, else the leading candidates that fit whole, with dwCount,
// dwSize and the offsets made to agree. Less than a header stores nothing.
void KRImeKeepCandidateList(const BYTE* list, DWORD size, BYTE* out, DWORD capacity);

#endif
