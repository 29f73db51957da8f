// Counts, names and states of the keyboard, the mouse and the joysticks, and
// the DirectInput object for the application. While input is not started every
// call answers as for a missing device.
#include "input/input_state.h"

#include <korvathd.h>

#include <cstdio>
#include <cstring>

namespace {

const LONG kAxisCentre = 32768;

// The table entry of a started keyboard or mouse, else null.
IDirectInputDevice2A* SystemDevice(int entry) {
  if (!g_krInput.bStarted || g_krInput.lpDevices == NULL) return NULL;
  return g_krInput.lpDevices[entry];
}

// Joystick `index` (from 0) when it is in the table, else null.
IDirectInputDevice2A* Joystick(int index) {
  if (index < 0 || index >= KRInputGetJoystickCount()) return NULL;
  return g_krInput.lpDevices[KRINPUT_JOYSTICK_FIRST + index];
}

// "instance(product)" and the button count. Both records are zeroed first, so a
// failed query gives "()" and 0; each name is bounded, so 521 bytes always hold it.
void DescribeDevice(IDirectInputDevice2A* device, char* name, DWORD* buttons) {
  DIDEVICEINSTANCEA instance;
  memset(&instance, 0, sizeof(instance));
  instance.dwSize = sizeof(instance);
  device->GetDeviceInfo(&instance);
  DIDEVCAPS caps;
  memset(&caps, 0, sizeof(caps));
  caps.dwSize = sizeof(caps);
  device->GetCapabilities(&caps);
  snprintf(name, KRINPUT_NAME_MAX, "%.259s(%.259s)", instance.tszInstanceName, instance.tszProductName);
  *buttons = caps.dwButtons;
}

// Bit i set for every pressed button byte (any non-zero value counts).
long ButtonMask(const BYTE* buttons, int count) {
  unsigned long mask = 0;
  for (int i = 0; i < count; ++i) {
    if (buttons[i] != 0) mask |= 1ul << i;
  }
  return static_cast<long>(mask);
}

int ZeroAxes(long* x, long* y, long* z, long* buttons) {
  *x = *y = *z = *buttons = 0;
  return 0;
}

}  // namespace

int KRInputGetKeyboardCount(void) { return 1; }
int KRInputGetMouseCount(void) { return 1; }

int KRInputGetJoystickCount(void) {
  if (!g_krInput.bStarted) return 0;
  return g_krInput.nDeviceCount - KRINPUT_JOYSTICK_FIRST;
}

void KRInputGetKeyboardInfo(char* name, int* keys, int) {
  IDirectInputDevice2A* keyboard = SystemDevice(KRINPUT_KEYBOARD);
  if (keyboard == NULL) {
    name[0] = '\0';
    return;
  }
  DWORD buttons;
  DescribeDevice(keyboard, name, &buttons);
  *keys = static_cast<int>(buttons);
}

void KRInputGetMouseInfo(char* name, long* buttons, int) {
  IDirectInputDevice2A* mouse = SystemDevice(KRINPUT_MOUSE);
  if (mouse == NULL) {
    name[0] = '\0';
    return;
  }
  DWORD count;
  DescribeDevice(mouse, name, &count);
  *buttons = static_cast<long>(count);
}

void KRInputGetJoystickInfo(char* name, long* buttons, int index) {
  IDirectInputDevice2A* joystick = Joystick(index);
  if (joystick == NULL) {
    name[0] = '\0';
    return;
  }
  DWORD count;
  DescribeDevice(joystick, name, &count);
  *buttons = static_cast<long>(count);
}

int KRInputGetKeyboardState(char* keys, int) {
  memset(keys, 0, 256);
  IDirectInputDevice2A* keyboard = SystemDevice(KRINPUT_KEYBOARD);
  if (keyboard == NULL || FAILED(keyboard->Acquire())) return 0;
  // A failed read could leave part of the bytes written: give zeros, not a mixture.
  if (FAILED(keyboard->GetDeviceState(256, keys))) {
    memset(keys, 0, 256);
    return 0;
  }
  return 1;
}

int KRInputGetMouseState(long* x, long* y, long* z, long* buttons, int) {
  IDirectInputDevice2A* mouse = SystemDevice(KRINPUT_MOUSE);
  if (mouse == NULL || FAILED(mouse->Acquire())) return ZeroAxes(x, y, z, buttons);
  DIMOUSESTATE state;
  memset(&state, 0, sizeof(state));
  if (FAILED(mouse->GetDeviceState(sizeof(state), &state))) return ZeroAxes(x, y, z, buttons);
  *x = state.lX;
  *y = state.lY;
  *z = state.lZ;
  *buttons = ButtonMask(state.rgbButtons, 4);
  return 1;
}

int KRInputGetJoystickState(long* x, long* y, long* z, long* buttons, int index) {
  IDirectInputDevice2A* joystick = Joystick(index);
  if (joystick == NULL) return ZeroAxes(x, y, z, buttons);
  // Joysticks are not acquired again here: a lost one reads as failed until restart.
  joystick->Poll();
  DIJOYSTATE state;
  memset(&state, 0, sizeof(state));
  if (FAILED(joystick->GetDeviceState(sizeof(state), &state))) return ZeroAxes(x, y, z, buttons);
  *x = state.lX - kAxisCentre;
  *y = state.lY - kAxisCentre;
  *z = state.lZ - kAxisCentre;
  *buttons = ButtonMask(state.rgbButtons, 32);
  return 1;
}

void KRInputGetDirectInputInterface(IDirectInputA** out) {
  IDirectInputA* directInput = g_krInput.bStarted ? g_krInput.lpDirectInput : NULL;
  if (directInput != NULL) directInput->AddRef();
  *out = directInput;
}
