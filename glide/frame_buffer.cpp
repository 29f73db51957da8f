// Linear frame-buffer locks: not offered yet, every lock is refused.
#include "glide/glide_state.h"

extern "C" {

FxBool FX_CALL grLfbLock(GrLock_t, GrBuffer_t, GrLfbWriteMode_t, GrOriginLocation_t, FxBool, GrLfbInfo_t*) {
  return FXFALSE;
}

FxBool FX_CALL grLfbUnlock(GrLock_t, GrBuffer_t) { return FXFALSE; }

}  // extern "C"
