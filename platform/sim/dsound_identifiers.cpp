// The identifiers dsound.h declares, defined by this file alone; it includes
// nothing else, so no other header's identifiers are defined twice. Whatever
// names them also links the DirectSound machine's reset.
#define INITGUID
#include <dsound.h>

namespace sim::detail {
bool AddResetHook(void (*reset)());  // sim_internal.h, which would bring the other headers
void ResetDirectSound();
}  // namespace sim::detail

namespace {
const bool kResetRegistered = sim::detail::AddResetHook(sim::detail::ResetDirectSound);
}  // namespace
