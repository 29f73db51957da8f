// The identifiers dplay.h and dplobby.h declare, defined by this file alone;
// it includes nothing else, so no other header's identifiers are defined
// twice. Whatever names them also links the DirectPlay world and its classes.
#define INITGUID
#include <dplobby.h>

namespace sim::detail {
bool AddResetHook(void (*reset)());  // sim_internal.h, which would bring the other headers
void ResetDirectPlay();
void RegisterDirectPlayClasses();
}  // namespace sim::detail

namespace {
const bool kRegistered =
    (sim::detail::AddResetHook(sim::detail::ResetDirectPlay), sim::detail::RegisterDirectPlayClasses(), true);
}  // namespace
