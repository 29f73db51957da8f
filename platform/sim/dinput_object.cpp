// The machine's input devices (test-configurable) with what the user does to
// them, the DirectInput object that enumerates and creates them and its COM
// class (registered by the reset that dinput_identifiers.cpp hooks in).
#include "sim/dinput_internal.h"

#include <cstring>
#include <vector>

namespace sim {
namespace {

std::vector<detail::InputMachineDevice> g_devices;
HWND g_foreground = nullptr;
bool g_mouseHeldElsewhere = false;
uint32_t g_generation = 1;
bool g_classRegistered = false;

int& LiveDirectInputCount() {
  static int count = 0;
  return count;
}

detail::InputMachineDevice SystemDevice(InputDeviceKind kind) {
  detail::InputMachineDevice entry;
  const bool keyboard = kind == InputDeviceKind::Keyboard;
  entry.device.kind = kind;
  entry.device.instanceName = keyboard ? "Keyboard" : "Mouse";
  entry.device.productName = keyboard ? "Keyboard" : "Mouse";
  entry.device.buttons = keyboard ? 128 : 3;
  entry.instance = keyboard ? GUID_SysKeyboard : GUID_SysMouse;
  return entry;
}

void AtRest(DIJOYSTATE& state) {
  memset(&state, 0, sizeof(state));
  state.lX = state.lY = state.lZ = 32768;
}

void CopyName(CHAR* out, const std::string& name) {
  memset(out, 0, MAX_PATH);
  memcpy(out, name.data(), name.size() < MAX_PATH - 1 ? name.size() : MAX_PATH - 1);
}

DWORD DeviceType(InputDeviceKind kind) {
  switch (kind) {
    case InputDeviceKind::Keyboard: return DIDEVTYPE_KEYBOARD;
    case InputDeviceKind::Mouse: return DIDEVTYPE_MOUSE;
    case InputDeviceKind::Joystick: return DIDEVTYPE_JOYSTICK;
  }
  return 0;
}

class DirectInputObject : public detail::ComObject<IDirectInputA> {
 public:
  DirectInputObject() : ComObject("IDirectInputA", IID_IDirectInputA), live_(LiveDirectInputCount(), Generation) {}

  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE instance, DWORD version) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectInputA::Initialize",
                                         detail::JoinArgs({detail::ArgHandle(instance), detail::ArgHex(version)}))) {
      return detail::AsHresult(*failure);
    }
    if (version > 0x0500) return DIERR_BETADIRECTINPUTVERSION;
    if (version < 0x0300) return DIERR_OLDDIRECTINPUTVERSION;
    initialized_ = true;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) override {
    auto lock = detail::LockSimulation();
    if (out != nullptr) *out = nullptr;
    const int index = detail::FindInputDevice(guid);
    const char* name = index < 0 ? nullptr : detail::InputDeviceAt(index).device.instanceName.c_str();
    if (auto failure = detail::EnterCall("IDirectInputA::CreateDevice",
                                         detail::JoinArgs({detail::ArgGuid(guid), detail::ArgString(name),
                                                           detail::ArgPointer(out), detail::ArgHandle(outer)}))) {
      return detail::AsHresult(*failure);
    }
    if (out == nullptr) return DIERR_INVALIDPARAM;
    if (!initialized_) return DIERR_NOTINITIALIZED;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (index < 0 || !detail::InputDeviceAt(index).device.attached) return DIERR_DEVICENOTREG;
    *out = detail::NewInputDeviceObject(index);
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                                        DWORD flags) override {
    std::vector<DIDEVICEINSTANCEA> found;
    {
      auto lock = detail::LockSimulation();
      if (auto failure = detail::EnterCall(
              "IDirectInputA::EnumDevices",
              detail::JoinArgs({detail::ArgDec(type), detail::ArgPointer(reinterpret_cast<const void*>(callback)),
                                detail::ArgPointer(context), detail::ArgHex(flags)}))) {
        return detail::AsHresult(*failure);
      }
      if (callback == nullptr || (flags & ~static_cast<DWORD>(DIEDFL_ATTACHEDONLY)) != 0) return DIERR_INVALIDPARAM;
      if (!initialized_) return DIERR_NOTINITIALIZED;
      for (int i = 0; i < detail::InputDeviceCount(); ++i) {
        const detail::InputMachineDevice& entry = detail::InputDeviceAt(i);
        if (type != 0 && DeviceType(entry.device.kind) != type) continue;
        if ((flags & DIEDFL_ATTACHEDONLY) && !entry.device.attached) continue;
        DIDEVICEINSTANCEA instance;
        memset(&instance, 0, sizeof(instance));
        instance.dwSize = sizeof(instance);
        instance.guidInstance = entry.instance;
        instance.guidProduct = entry.instance;
        instance.dwDevType = DeviceType(entry.device.kind);
        CopyName(instance.tszInstanceName, entry.device.instanceName);
        CopyName(instance.tszProductName, entry.device.productName);
        found.push_back(instance);
      }
    }
    // The callback runs outside the lock: it calls back into DirectInput.
    for (const DIDEVICEINSTANCEA& instance : found) {
      if (callback(&instance, context) == DIENUM_STOP) break;
    }
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID guid) override {
    return detail::RecordInputUnsupported("IDirectInputA::GetDeviceStatus", detail::ArgGuid(guid));
  }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND owner, DWORD flags) override {
    return detail::RecordInputUnsupported("IDirectInputA::RunControlPanel",
                                          detail::JoinArgs({detail::ArgHandle(owner), detail::ArgHex(flags)}));
  }

 private:
  static uint32_t Generation() { return g_generation; }

  bool initialized_ = false;
  detail::LiveTally live_;
};

// The class hands out the new object itself, so the record starts with the
// library's own calls.
HRESULT CreateDirectInputObject(REFIID iid, void** object) {
  if (iid != IID_IDirectInputA && iid != IID_IUnknown) return E_NOINTERFACE;
  *object = static_cast<IDirectInputA*>(new DirectInputObject());
  return S_OK;
}

void RegisterDirectInputClass() {
  if (g_classRegistered) return;
  g_classRegistered = true;
  detail::RegisterBuiltinComClass(CLSID_DirectInput, CreateDirectInputObject);
}

}  // namespace

void detail::ResetDirectInput() {
  ++g_generation;
  g_devices.clear();
  g_devices.push_back(SystemDevice(InputDeviceKind::Keyboard));
  g_devices.push_back(SystemDevice(InputDeviceKind::Mouse));
  g_foreground = nullptr;
  g_mouseHeldElsewhere = false;
  LiveDirectInputCount() = 0;
  detail::LiveInputDeviceCount() = 0;
  detail::ForgetInputDeviceObjects();
  RegisterDirectInputClass();
}

namespace {

detail::InputMachineDevice& Joystick(int joystick) { return g_devices.at(static_cast<size_t>(joystick) + 2); }

}  // namespace

namespace detail {

int FindInputDevice(REFGUID instance) {
  if (g_devices.empty()) ResetDirectInput();
  for (size_t i = 0; i < g_devices.size(); ++i) {
    if (g_devices[i].instance == instance) return static_cast<int>(i);
  }
  return -1;
}

InputMachineDevice& InputDeviceAt(int index) { return g_devices.at(static_cast<size_t>(index)); }
int InputDeviceCount() { return static_cast<int>(g_devices.size()); }
HWND InputForegroundWindow() { return g_foreground; }
bool MouseHeldElsewhere() { return g_mouseHeldElsewhere; }
uint32_t DirectInputGeneration() { return g_generation; }

int& LiveInputDeviceCount() {
  static int count = 0;
  return count;
}

HRESULT RecordInputUnsupported(const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
  return DIERR_UNSUPPORTED;
}

}  // namespace detail

GUID JoystickInstanceGuid(int joystick) {
  GUID guid = GUID_Joystick;
  guid.Data1 += 0x100 + static_cast<uint32_t>(joystick);
  return guid;
}

int AddJoystick(const InputDevice& joystick) {
  auto lock = detail::LockSimulation();
  detail::InputMachineDevice entry;
  entry.device = joystick;
  entry.device.kind = InputDeviceKind::Joystick;
  const int number = static_cast<int>(g_devices.size()) - 2;
  entry.instance = JoystickInstanceGuid(number);
  AtRest(entry.joystick);
  g_devices.push_back(entry);
  return number;
}

void SetSystemInputDevice(const InputDevice& device) {
  auto lock = detail::LockSimulation();
  g_devices.at(device.kind == InputDeviceKind::Keyboard ? 0 : 1).device = device;
}

void SetKey(int dikCode, bool down) {
  auto lock = detail::LockSimulation();
  g_devices.at(0).keys[dikCode & 0xFF] = down ? 0x80 : 0;
}

void MoveMouse(LONG dx, LONG dy, LONG dz) {
  auto lock = detail::LockSimulation();
  DIMOUSESTATE& mouse = g_devices.at(1).mouse;
  mouse.lX += dx;
  mouse.lY += dy;
  mouse.lZ += dz;
}

void SetMouseButton(int button, bool down) { SetMouseButtonByte(button, down ? 0x80 : 0); }

void SetMouseButtonByte(int button, BYTE value) {
  auto lock = detail::LockSimulation();
  g_devices.at(1).mouse.rgbButtons[button & 3] = value;
}

void SetJoystickAxes(int joystick, LONG x, LONG y, LONG z) {
  auto lock = detail::LockSimulation();
  DIJOYSTATE& state = Joystick(joystick).joystick;
  state.lX = x;
  state.lY = y;
  state.lZ = z;
}

void SetJoystickButton(int joystick, int button, bool down) {
  auto lock = detail::LockSimulation();
  Joystick(joystick).joystick.rgbButtons[button & 31] = down ? 0x80 : 0;
}

void SetInputForegroundWindow(HWND window) {
  auto lock = detail::LockSimulation();
  g_foreground = window;
  detail::UnacquireBehind(window);
}

void SetMouseHeldElsewhere(bool held) {
  auto lock = detail::LockSimulation();
  g_mouseHeldElsewhere = held;
}

int LiveDirectInputObjects() {
  auto lock = detail::LockSimulation();
  return LiveDirectInputCount();
}

int LiveInputDevices() {
  auto lock = detail::LockSimulation();
  return detail::LiveInputDeviceCount();
}

int AcquiredInputDevices(InputDeviceKind kind) {
  auto lock = detail::LockSimulation();
  int acquired = 0;
  for (int i = 0; i < detail::InputDeviceCount(); ++i) {
    if (g_devices[static_cast<size_t>(i)].device.kind == kind) acquired += detail::AcquiredObjectsOf(i, false);
  }
  return acquired;
}

namespace {
const bool kObjectsCounted = detail::AddLiveCounter("DirectInput objects", LiveDirectInputObjects);
const bool kDevicesCounted = detail::AddLiveCounter("input devices", LiveInputDevices);
}  // namespace

}  // namespace sim
