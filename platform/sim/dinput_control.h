// Test control of the simulated DirectInput (host build only): the machine's
// keyboard, mouse and joysticks with their names and button counts, what the
// user does with them, which window is in front and whether another program
// holds the mouse, and counts of what the library made.
// sim::Reset brings back the boot state: one keyboard, one mouse, no joystick,
// no window in front, nothing pressed.
#ifndef KR_SIM_DINPUT_CONTROL_H
#define KR_SIM_DINPUT_CONTROL_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

enum class InputDeviceKind { Keyboard, Mouse, Joystick };

// One input device. Keyboard and mouse are created by GUID_SysKeyboard and
// GUID_SysMouse, joysticks by the instance GUID their enumeration reports.
struct InputDevice {
  InputDeviceKind kind = InputDeviceKind::Joystick;
  std::string instanceName;
  std::string productName;
  DWORD buttons = 0;
  bool attached = true;  // EnumDevices with DIEDFL_ATTACHEDONLY skips it when false
};

// The joysticks of the machine, in enumeration order (keyboard and mouse stay).
// Returns the new joystick's number (0 for the first).
int AddJoystick(const InputDevice& joystick);
// The keyboard's or mouse's names and buttons (kind names which).
void SetSystemInputDevice(const InputDevice& device);
// The instance GUID EnumDevices reports for joystick `joystick`.
GUID JoystickInstanceGuid(int joystick);

// ---- What the user does --------------------------------------------------------
void SetKey(int dikCode, bool down);
// Movement accumulates until the mouse state is read.
void MoveMouse(LONG dx, LONG dy, LONG dz);
void SetMouseButton(int button, bool down);  // 0 to 3
// The standard driver reports a pressed button as 0x80; others may give any non-zero byte.
void SetMouseButtonByte(int button, BYTE value);
void SetJoystickAxes(int joystick, LONG x, LONG y, LONG z);  // 0 to 65535, 32768 at rest
void SetJoystickButton(int joystick, int button, bool down);  // 0 to 31

// ---- Focus and other programs ----------------------------------------------------
// The window in front; foreground devices of other windows lose their acquisition.
void SetInputForegroundWindow(HWND window);
// Another program holds the mouse exclusively: exclusive acquisition fails.
void SetMouseHeldElsewhere(bool held);

// ---- What the library made ----------------------------------------------------------
int LiveDirectInputObjects();
int LiveInputDevices();
// Devices of `kind` acquired right now (any object).
int AcquiredInputDevices(InputDeviceKind kind);

}  // namespace sim

#endif
