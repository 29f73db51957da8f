// The input-method state: written by the input-method message handlers, read
// by input-method drawing in the 2D component. Its four buffers belong to the
// input component's state (g_krInput: lpImeString, lpCompStr, lpCompAttr,
// lpCandList) and are null while input is not started.
#ifndef KR_IME_STATE_H
#define KR_IME_STATE_H

#include "input/input_state.h"

typedef struct KRIMESTATE {
  DWORD dwCompLength;      // bytes of composition text in lpCompStr, at most 1023
  DWORD dwCompAttrLength;  // attribute bytes in lpCompAttr, at most dwCompLength
  int bCandidateOpen;      // the candidate window is open
  int bImeOpen;            // the input method's open status
  DWORD dwConversionMode;  // IME_CMODE_ bits
  DWORD dwSentenceMode;    // IME_SMODE_ bits
  int bRedraw;             // changed since the last KR2DDrawIme
} KRIMESTATE;

extern KRIMESTATE g_krIme;

// The input-method buffers exist (input is started).
inline bool KRImeHasBuffers(void) {
  return g_krInput.lpImeString != NULL && g_krInput.lpCompStr != NULL && g_krInput.lpCompAttr != NULL &&
         g_krInput.lpCandList != NULL;
}

// Appends a finished string to the collected result text, as much as fits
// whole characters in its 1023 bytes.
void KRInputAppendImeString(const char* text);

#endif
