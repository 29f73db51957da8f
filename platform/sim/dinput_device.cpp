// Device objects of the simulated DirectInput: data format, cooperative level
// and acquisition as DirectInput enforces them, and the state reads of the
// keyboard, the mouse and the joysticks. Every call's arguments begin with the
// device's instance name, so a failure can be armed for one device.
#include "sim/dinput_internal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sim {
namespace {

class InputDeviceObject;
std::vector<InputDeviceObject*> g_objects;  // live device objects of this machine (since the reset)

class InputDeviceObject : public detail::ComObject<IDirectInputDevice2A> {
 public:
  explicit InputDeviceObject(int index)
      : ComObject("IDirectInputDevice2A", IID_IDirectInputDevice2A),
        index_(index),
        live_(detail::LiveInputDeviceCount(), detail::DirectInputGeneration) {
    g_objects.push_back(this);
  }
  ~InputDeviceObject() override {
    g_objects.erase(std::remove(g_objects.begin(), g_objects.end(), this), g_objects.end());
  }

  bool Acquired() const { return acquired_; }
  bool Exclusive() const { return (level_ & DISCL_EXCLUSIVE) != 0; }
  int Index() const { return index_; }
  void LoseIfBehind(HWND front) {
    if (acquired_ && (level_ & DISCL_FOREGROUND) && window_ != front) acquired_ = false;
  }

  // The first interface from CreateDevice is IDirectInputDeviceA; both are this object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    auto lock = detail::LockSimulation();
    if (object != nullptr) *object = nullptr;
    if (auto failure = Enter("QueryInterface", {detail::ArgGuid(iid), detail::ArgPointer(object)})) return *failure;
    if (object == nullptr) return E_POINTER;
    return Answer(iid, object);
  }

  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetCapabilities", {detail::ArgPointer(caps)})) return *failure;
    if (caps == nullptr || caps->dwSize != sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
    const InputDevice& device = Machine().device;
    memset(caps, 0, sizeof(*caps));
    caps->dwSize = sizeof(*caps);
    caps->dwFlags = device.attached ? DIDC_ATTACHED : 0;
    caps->dwDevType = TypeOf(device.kind);
    caps->dwAxes = device.kind == InputDeviceKind::Keyboard ? 0 : 3;
    caps->dwButtons = device.buttons;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA info) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetDeviceInfo", {detail::ArgPointer(info)})) return *failure;
    if (info == nullptr || info->dwSize != sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
    const detail::InputMachineDevice& machine = Machine();
    memset(info, 0, sizeof(*info));
    info->dwSize = sizeof(*info);
    info->guidInstance = machine.instance;
    info->guidProduct = machine.instance;
    info->dwDevType = TypeOf(machine.device.kind);
    CopyName(info->tszInstanceName, machine.device.instanceName);
    CopyName(info->tszProductName, machine.device.productName);
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetDataFormat", {FormatName(format)})) return *failure;
    if (acquired_) return DIERR_ACQUIRED;
    if (format == nullptr || format->dwSize != sizeof(DIDATAFORMAT) || format != FormatOf(Machine().device.kind)) {
      return DIERR_INVALIDPARAM;
    }
    format_ = format;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetCooperativeLevel", {detail::ArgHandle(window), detail::ArgHex(flags)})) {
      return *failure;
    }
    if (acquired_) return DIERR_ACQUIRED;
    const DWORD share = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    const bool oneEach = (share == DISCL_EXCLUSIVE || share == DISCL_NONEXCLUSIVE) &&
                         (focus == DISCL_FOREGROUND || focus == DISCL_BACKGROUND);
    if (!oneEach || window == nullptr) return DIERR_INVALIDPARAM;
    // The system keyboard is never lent out exclusively in the background.
    if (Machine().device.kind == InputDeviceKind::Keyboard && flags == (DISCL_EXCLUSIVE | DISCL_BACKGROUND)) {
      return DIERR_UNSUPPORTED;
    }
    window_ = window;
    level_ = flags;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE Acquire() override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Acquire", {})) return *failure;
    if (format_ == nullptr) return DIERR_INVALIDPARAM;
    if (acquired_) return DI_NOEFFECT;
    if ((level_ & DISCL_FOREGROUND) && window_ != detail::InputForegroundWindow()) return DIERR_OTHERAPPHASPRIO;
    if (Exclusive()) {
      const bool heldElsewhere = Machine().device.kind == InputDeviceKind::Mouse && detail::MouseHeldElsewhere();
      if (heldElsewhere || detail::AcquiredObjectsOf(index_, true) > 0) return DIERR_OTHERAPPHASPRIO;
    }
    acquired_ = true;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE Unacquire() override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Unacquire", {})) return *failure;
    if (!acquired_) return DI_NOEFFECT;
    acquired_ = false;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetDeviceState", {detail::ArgDec(size), detail::ArgPointer(data)})) return *failure;
    if (format_ == nullptr || data == nullptr || size != format_->dwDataSize) return DIERR_INVALIDPARAM;
    if (!acquired_) return DIERR_NOTACQUIRED;
    detail::InputMachineDevice& machine = Machine();
    switch (machine.device.kind) {
      case InputDeviceKind::Keyboard: memcpy(data, machine.keys, sizeof(machine.keys)); break;
      case InputDeviceKind::Mouse:
        memcpy(data, &machine.mouse, sizeof(machine.mouse));
        machine.mouse.lX = machine.mouse.lY = machine.mouse.lZ = 0;  // movement is relative to the last read
        break;
      case InputDeviceKind::Joystick: memcpy(data, &machine.joystick, sizeof(machine.joystick)); break;
    }
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE Poll() override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Poll", {})) return *failure;
    if (!acquired_) return DIERR_NOTACQUIRED;
    return DI_NOEFFECT;  // no simulated device needs polling
  }

  ULONG STDMETHODCALLTYPE Release() override {
    auto lock = detail::LockSimulation();
    // The last release gives the device up, as DirectInput does.
    if (References() == 1) acquired_ = false;
    return ComObject::Release();
  }

  // Not used by the library.
  HRESULT STDMETHODCALLTYPE EnumObjects(void* callback, LPVOID context, DWORD flags) override {
    return Unsupported("EnumObjects", {detail::ArgPointer(callback), detail::ArgPointer(context), detail::ArgHex(flags)});
  }
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID property, struct DIPROPHEADER* header) override {
    return Unsupported("GetProperty", {detail::ArgGuid(property), detail::ArgPointer(header)});
  }
  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, const struct DIPROPHEADER* header) override {
    return Unsupported("SetProperty", {detail::ArgGuid(property), detail::ArgPointer(header)});
  }
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD size, struct DIDEVICEOBJECTDATA* data, LPDWORD inOut,
                                          DWORD flags) override {
    return Unsupported("GetDeviceData",
                       {detail::ArgDec(size), detail::ArgPointer(data), detail::ArgPointer(inOut), detail::ArgHex(flags)});
  }
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE event) override {
    return Unsupported("SetEventNotification", {detail::ArgHandle(event)});
  }
  HRESULT STDMETHODCALLTYPE GetObjectInfo(struct DIDEVICEOBJECTINSTANCEA* info, DWORD object, DWORD how) override {
    return Unsupported("GetObjectInfo", {detail::ArgPointer(info), detail::ArgHex(object), detail::ArgDec(how)});
  }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND owner, DWORD flags) override {
    return Unsupported("RunControlPanel", {detail::ArgHandle(owner), detail::ArgHex(flags)});
  }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE instance, DWORD version, REFGUID guid) override {
    return Unsupported("Initialize", {detail::ArgHandle(instance), detail::ArgHex(version), detail::ArgGuid(guid)});
  }
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID guid, const struct DIEFFECT* effect, LPDIRECTINPUTEFFECT* out,
                                         LPUNKNOWN outer) override {
    return Unsupported("CreateEffect",
                       {detail::ArgGuid(guid), detail::ArgPointer(effect), detail::ArgPointer(out), detail::ArgHandle(outer)});
  }
  HRESULT STDMETHODCALLTYPE EnumEffects(void* callback, LPVOID context, DWORD type) override {
    return Unsupported("EnumEffects", {detail::ArgPointer(callback), detail::ArgPointer(context), detail::ArgHex(type)});
  }
  HRESULT STDMETHODCALLTYPE GetEffectInfo(struct DIEFFECTINFOA* info, REFGUID guid) override {
    return Unsupported("GetEffectInfo", {detail::ArgPointer(info), detail::ArgGuid(guid)});
  }
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD out) override {
    return Unsupported("GetForceFeedbackState", {detail::ArgPointer(out)});
  }
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD flags) override {
    return Unsupported("SendForceFeedbackCommand", {detail::ArgHex(flags)});
  }
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(void* callback, LPVOID context, DWORD flags) override {
    return Unsupported("EnumCreatedEffectObjects",
                       {detail::ArgPointer(callback), detail::ArgPointer(context), detail::ArgHex(flags)});
  }
  HRESULT STDMETHODCALLTYPE Escape(struct DIEFFESCAPE* escape) override {
    return Unsupported("Escape", {detail::ArgPointer(escape)});
  }
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD size, const struct DIDEVICEOBJECTDATA* data, LPDWORD inOut,
                                           DWORD flags) override {
    return Unsupported("SendDeviceData",
                       {detail::ArgDec(size), detail::ArgPointer(data), detail::ArgPointer(inOut), detail::ArgHex(flags)});
  }

 protected:
  HRESULT Answer(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDirectInputDeviceA || iid == IID_IDirectInputDevice2A) {
      return HandOutSelf(object);
    }
    return E_NOINTERFACE;
  }

 private:
  static DWORD TypeOf(InputDeviceKind kind) {
    switch (kind) {
      case InputDeviceKind::Keyboard: return DIDEVTYPE_KEYBOARD;
      case InputDeviceKind::Mouse: return DIDEVTYPE_MOUSE;
      case InputDeviceKind::Joystick: return DIDEVTYPE_JOYSTICK;
    }
    return 0;
  }
  static const DIDATAFORMAT* FormatOf(InputDeviceKind kind) {
    switch (kind) {
      case InputDeviceKind::Keyboard: return &c_dfDIKeyboard;
      case InputDeviceKind::Mouse: return &c_dfDIMouse;
      case InputDeviceKind::Joystick: return &c_dfDIJoystick;
    }
    return nullptr;
  }
  static std::string FormatName(LPCDIDATAFORMAT format) {
    if (format == &c_dfDIKeyboard) return "c_dfDIKeyboard";
    if (format == &c_dfDIMouse) return "c_dfDIMouse";
    if (format == &c_dfDIJoystick) return "c_dfDIJoystick";
    return detail::ArgPointer(format);
  }
  static void CopyName(CHAR* out, const std::string& name) {
    memcpy(out, name.data(), std::min<size_t>(name.size(), MAX_PATH - 1));
  }

  detail::InputMachineDevice& Machine() { return detail::InputDeviceAt(index_); }

  std::optional<HRESULT> Enter(const char* method, std::initializer_list<std::string> arguments) {
    std::string text = detail::ArgString(Machine().device.instanceName.c_str());
    for (const std::string& argument : arguments) text += ", " + argument;
    if (auto failure = detail::EnterCall((std::string("IDirectInputDevice2A::") + method).c_str(), text)) {
      return detail::AsHresult(*failure);
    }
    return std::nullopt;
  }
  HRESULT Unsupported(const char* method, std::initializer_list<std::string> arguments) {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter(method, arguments)) return *failure;
    return DIERR_UNSUPPORTED;
  }

  int index_;
  const DIDATAFORMAT* format_ = nullptr;
  HWND window_ = nullptr;
  DWORD level_ = 0;
  bool acquired_ = false;
  detail::LiveTally live_;
};


}  // namespace

namespace detail {

IDirectInputDeviceA* NewInputDeviceObject(int index) { return new InputDeviceObject(index); }

// Objects made before a reset belong to no machine any more.
void ForgetInputDeviceObjects() { g_objects.clear(); }

void UnacquireBehind(HWND window) {
  for (InputDeviceObject* object : g_objects) object->LoseIfBehind(window);
}

int AcquiredObjectsOf(int index, bool exclusiveOnly) {
  int count = 0;
  for (InputDeviceObject* object : g_objects) {
    if (object->Index() == index && object->Acquired() && (!exclusiveOnly || object->Exclusive())) ++count;
  }
  return count;
}

}  // namespace detail
}  // namespace sim
