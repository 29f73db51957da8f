// The input component's global state.
#include "input/input_state.h"

KRINPUTSTATE g_krInput;

int KRInputIsStarted(void) { return g_krInput.bStarted; }
