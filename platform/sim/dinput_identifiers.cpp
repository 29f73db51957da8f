// The identifiers and standard data formats dinput.h declares, defined by this
// file alone; it includes nothing else, so no other header's identifiers are
// defined twice. Whatever names them also links the DirectInput machine's reset.
#define INITGUID
#include <dinput.h>

extern "C" {
const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 0, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE), 0, nullptr};
const DIDATAFORMAT c_dfDIJoystick = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS,
                                     sizeof(DIJOYSTATE), 0, nullptr};
}

namespace sim::detail {
bool AddResetHook(void (*reset)());  // sim_internal.h, which would bring the other headers
void ResetDirectInput();
}  // namespace sim::detail

namespace {
const bool kResetRegistered = sim::detail::AddResetHook(sim::detail::ResetDirectInput);
}  // namespace
