// 3DF texture files: not read yet, every file is refused.
#include "glide/glide_state.h"

extern "C" {

FxBool FX_CALL gu3dfGetInfo(const char*, Gu3dfInfo*) { return FXFALSE; }
FxBool FX_CALL gu3dfLoad(const char*, Gu3dfInfo*) { return FXFALSE; }

}  // extern "C"
