// The simulated DirectInput under test control: focus and exclusive holders,
// scripted devices and their reads, joystick enumeration, and what the test
// can count.
#include <string>
#include <vector>

#include "platform/sim/control.h"
#include "support/leak_check.h"

#define DIRECTINPUT_VERSION 0x0500
#include <dinput.h>

namespace {

class SimDirectInputTest : public StrictSimTest {
 protected:
  void SetUp() override {
    StrictSimTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInputA,
                               reinterpret_cast<void**>(&directInput_)),
              S_OK);
    ASSERT_EQ(directInput_->Initialize(nullptr, 0x0500), DI_OK);
    window_ = sim::CreateTestWindow();
  }
  void TearDown() override {
    for (IDirectInputDevice2A* device : devices_) device->Release();
    directInput_->Release();
    DestroyWindow(window_);
    CoUninitialize();
    StrictSimTest::TearDown();
  }

  IDirectInputDevice2A* Make(REFGUID guid, const DIDATAFORMAT* format, DWORD level) {
    IDirectInputDeviceA* first = nullptr;
    EXPECT_EQ(directInput_->CreateDevice(guid, &first, nullptr), DI_OK);
    if (first == nullptr) return nullptr;
    IDirectInputDevice2A* device = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&device)), S_OK);
    first->Release();
    EXPECT_EQ(device->SetDataFormat(format), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window_, level), DI_OK);
    devices_.push_back(device);
    return device;
  }

  IDirectInputA* directInput_ = nullptr;
  HWND window_ = nullptr;
  std::vector<IDirectInputDevice2A*> devices_;
};

TEST_F(SimDirectInputTest, InitializeRefusesVersionsNewerThanFive) {
  EXPECT_EQ(directInput_->Initialize(nullptr, 0x0800), DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(directInput_->Initialize(nullptr, 0x0200), DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(sim::LiveDirectInputObjects(), 1);
}

TEST_F(SimDirectInputTest, ForegroundDevicesFollowTheWindowInFront) {
  IDirectInputDevice2A* keyboard = Make(GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
  sim::SetInputForegroundWindow(window_);
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
  sim::SetKey(DIK_ESCAPE, true);
  BYTE keys[256] = {};
  EXPECT_EQ(keyboard->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->GetDeviceState(256, keys), DI_OK);
  EXPECT_EQ(keys[DIK_ESCAPE], 0x80);

  sim::SetInputForegroundWindow(nullptr);  // leaving the front unacquires
  EXPECT_EQ(sim::AcquiredInputDevices(sim::InputDeviceKind::Keyboard), 0);
  EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
}

TEST_F(SimDirectInputTest, OneExclusiveMouseHolder) {
  sim::SetInputForegroundWindow(window_);
  IDirectInputDevice2A* first = Make(GUID_SysMouse, &c_dfDIMouse, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  IDirectInputDevice2A* second = Make(GUID_SysMouse, &c_dfDIMouse, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  EXPECT_EQ(first->Acquire(), DI_OK);
  EXPECT_EQ(second->Acquire(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(first->Unacquire(), DI_OK);
  sim::SetMouseHeldElsewhere(true);
  EXPECT_EQ(second->Acquire(), DIERR_OTHERAPPHASPRIO);
  sim::SetMouseHeldElsewhere(false);
  EXPECT_EQ(second->Acquire(), DI_OK);
  EXPECT_EQ(second->SetDataFormat(&c_dfDIMouse), DIERR_ACQUIRED);
  EXPECT_EQ(first->SetDataFormat(&c_dfDIKeyboard), DIERR_INVALIDPARAM);

  sim::MoveMouse(3, 4, 0);
  sim::MoveMouse(3, 4, -120);
  DIMOUSESTATE state = {};
  EXPECT_EQ(second->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lX, 6);
  EXPECT_EQ(state.lY, 8);
  EXPECT_EQ(state.lZ, -120);
  EXPECT_EQ(second->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
}

TEST_F(SimDirectInputTest, JoysticksEnumerateAttachedOnlyAndStopOnRequest) {
  sim::InputDevice pad;
  pad.instanceName = "Pad";
  pad.productName = "Pad Product";
  pad.buttons = 6;
  sim::AddJoystick(pad);
  pad.attached = false;
  sim::AddJoystick(pad);
  sim::AddJoystick(sim::InputDevice{});

  struct Seen {
    std::vector<GUID> guids;
    int stopAfter;
  } seen{{}, 99};
  auto callback = [](LPCDIDEVICEINSTANCEA instance, LPVOID context) -> BOOL {
    Seen* seen = static_cast<Seen*>(context);
    seen->guids.push_back(instance->guidInstance);
    return static_cast<int>(seen->guids.size()) < seen->stopAfter ? DIENUM_CONTINUE : DIENUM_STOP;
  };
  EXPECT_EQ(directInput_->EnumDevices(DIDEVTYPE_JOYSTICK, callback, &seen, DIEDFL_ATTACHEDONLY), DI_OK);
  EXPECT_EQ(seen.guids, (std::vector<GUID>{sim::JoystickInstanceGuid(0), sim::JoystickInstanceGuid(2)}));
  seen = {{}, 1};
  EXPECT_EQ(directInput_->EnumDevices(0, callback, &seen, 0), DI_OK);
  EXPECT_EQ(seen.guids.size(), 1u);

  IDirectInputDeviceA* unplugged = nullptr;
  EXPECT_EQ(directInput_->CreateDevice(sim::JoystickInstanceGuid(1), &unplugged, nullptr), DIERR_DEVICENOTREG);
  sim::SetInputForegroundWindow(window_);
  IDirectInputDevice2A* joystick =
      Make(sim::JoystickInstanceGuid(0), &c_dfDIJoystick, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  DIJOYSTATE state = {};
  EXPECT_EQ(joystick->Poll(), DIERR_NOTACQUIRED);
  ASSERT_EQ(joystick->Acquire(), DI_OK);
  sim::SetJoystickButton(0, 5, true);
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lX, 32768);
  EXPECT_EQ(state.rgbButtons[5], 0x80);
}

// The last release gives the device up; methods the library never calls
// answer E_NOTIMPL and are recorded with the device's name.
TEST_F(SimDirectInputTest, ReleaseUnacquiresAndUnusedMethodsAreRecorded) {
  sim::SetInputForegroundWindow(window_);
  IDirectInputDevice2A* keyboard = Make(GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->SetEventNotification(nullptr), DIERR_UNSUPPORTED);
  EXPECT_EQ(sim::Calls().back().function, "IDirectInputDevice2A::SetEventNotification");
  EXPECT_EQ(sim::Calls().back().arguments, "\"Keyboard\", NULL");
  devices_.clear();
  keyboard->Release();
  EXPECT_EQ(sim::AcquiredInputDevices(sim::InputDeviceKind::Keyboard), 0);
  EXPECT_EQ(sim::LiveInputDevices(), 0);
}

}  // namespace
