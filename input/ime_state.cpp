// The input-method state's plain variables; they outlive clean-up.
#include "input/ime_state.h"

KRIMESTATE g_krIme;

void KRImeResetForStartup(void) {
  g_krIme.bImeOpen = 0;
  g_krIme.bRedraw = 0;
  // The text buffers are made anew and zeroed, so no old length may point into them.
  g_krIme.dwCompLength = 0;
  g_krIme.dwCompAttrLength = 0;
}
