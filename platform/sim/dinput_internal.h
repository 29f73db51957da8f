// Shared by the files of the simulated DirectInput: the machine's devices and
// what the user does with them (dinput_object.cpp), and the device objects
// that read them (dinput_device.cpp).
#ifndef KR_SIM_DINPUT_INTERNAL_H
#define KR_SIM_DINPUT_INTERNAL_H

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif
#include <windows.h>
#include <dinput.h>

#include <string>

#include "sim/com_object.h"
#include "sim/dinput_control.h"
#include "sim/sim_internal.h"

namespace sim::detail {

// What one physical device is doing now.
struct InputMachineDevice {
  InputDevice device;
  GUID instance = {};
  BYTE keys[256] = {};
  DIMOUSESTATE mouse = {};  // movement since the last read
  DIJOYSTATE joystick = {};
};

// Back to the boot machine (run by sim::Reset).
void ResetDirectInput();

// Entry 0 the keyboard, 1 the mouse, 2 and up the joysticks; -1 for an unknown GUID.
int FindInputDevice(REFGUID instance);
InputMachineDevice& InputDeviceAt(int index);
int InputDeviceCount();
HWND InputForegroundWindow();
bool MouseHeldElsewhere();
uint32_t DirectInputGeneration();
int& LiveInputDeviceCount();

// A device object for machine entry `index` (one reference, IDirectInputDeviceA).
IDirectInputDeviceA* NewInputDeviceObject(int index);
void ForgetInputDeviceObjects();
// Foreground devices not on `window` lose their acquisition.
void UnacquireBehind(HWND window);
// Objects of machine entry `index` acquired now, exclusively or at all.
int AcquiredObjectsOf(int index, bool exclusiveOnly);

HRESULT RecordInputUnsupported(const char* function, const std::string& arguments);

}  // namespace sim::detail

#endif
