#include "core/core_state.h"

// Zero while loaded and not started; dwAllocSerial starts at 0 at load.
KRCORESTATE g_krCore = {};
