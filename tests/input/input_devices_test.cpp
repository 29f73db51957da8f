// Counts, names and states of the keyboard, the mouse and the joysticks, with
// scripted devices, failed queries and reads, and calls while input is stopped.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/input/input_fixture.h"

namespace {

const HRESULT kInputLost = static_cast<HRESULT>(0x8007001E);

std::string KeyboardName(int* keys) {
  char name[KRINPUT_NAME_MAX];
  KRInputGetKeyboardInfo(name, keys, 0);
  return name;
}

std::string JoystickName(int index, long* buttons) {
  char name[KRINPUT_NAME_MAX];
  memset(name, 'X', sizeof(name));
  KRInputGetJoystickInfo(name, buttons, index);
  return name;
}

struct Axes {
  long x = 7, y = 7, z = 7, buttons = 7;  // not zero, so a write of zeros shows
};

int MouseState(Axes& axes) { return KRInputGetMouseState(&axes.x, &axes.y, &axes.z, &axes.buttons, 0); }
int JoystickState(Axes& axes, int index) {
  return KRInputGetJoystickState(&axes.x, &axes.y, &axes.z, &axes.buttons, index);
}

void ExpectAxes(const Axes& axes, long x, long y, long z, long buttons) {
  EXPECT_EQ(axes.x, x);
  EXPECT_EQ(axes.y, y);
  EXPECT_EQ(axes.z, z);
  EXPECT_EQ(axes.buttons, buttons);
}
void ExpectZeros(const Axes& axes) { ExpectAxes(axes, 0, 0, 0, 0); }

// A failed read answers 0 and writes zeros.
void ExpectNoJoystickState(int index) {
  Axes axes;
  EXPECT_EQ(JoystickState(axes, index), 0);
  ExpectZeros(axes);
}
void ExpectNoKeyboardState() {
  char keys[256];
  memset(keys, 0x55, sizeof(keys));
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 0);
  for (char key : keys) ASSERT_EQ(key, 0);
}
void ExpectNoMouseState() {
  Axes axes;
  EXPECT_EQ(MouseState(axes), 0);
  ExpectZeros(axes);
}

TEST_F(InputTest, KeyboardAndMouseNamesAndCountsWithoutJoysticks) {
  ASSERT_NO_FATAL_FAILURE(StartInput());
  EXPECT_EQ(KRInputGetKeyboardCount(), 1);
  EXPECT_EQ(KRInputGetMouseCount(), 1);
  EXPECT_EQ(KRInputGetJoystickCount(), 0);
  int keys = 0;
  EXPECT_EQ(KeyboardName(&keys), "Keyboard(Keyboard)");
  EXPECT_EQ(keys, 128);
  char name[KRINPUT_NAME_MAX];
  long buttons = 0;
  KRInputGetMouseInfo(name, &buttons, 5);  // the index of a single device is ignored
  EXPECT_STREQ(name, "Mouse(Mouse)");
  EXPECT_EQ(buttons, 3);
  buttons = 9;
  EXPECT_EQ(JoystickName(0, &buttons), "");
  EXPECT_EQ(buttons, 9);
  ExpectNoJoystickState(0);
}

// Both records are zeroed and sized before the query; a failed query gives
// "()" and 0, and the longest names still fit 521 bytes.
TEST_F(InputTest, InfoRecordsSizedBoundedAndFailedQueries) {
  sim::InputDevice keyboard;
  keyboard.kind = sim::InputDeviceKind::Keyboard;
  keyboard.instanceName = std::string(300, 'i');
  keyboard.productName = std::string(300, 'p');
  keyboard.buttons = 101;
  sim::SetSystemInputDevice(keyboard);
  ASSERT_NO_FATAL_FAILURE(StartInput());

  std::vector<char> name(600, 'X');
  int keys = 0;
  KRInputGetKeyboardInfo(name.data(), &keys, 0);
  EXPECT_EQ(std::string(name.data()), std::string(259, 'i') + "(" + std::string(259, 'p') + ")");
  EXPECT_EQ(name[KRINPUT_NAME_MAX], 'X');
  EXPECT_EQ(keys, 101);

  sim::FailNext("IDirectInputDevice2A::GetDeviceInfo", static_cast<HRESULT>(0x80004005), "\"iii");
  sim::FailNext("IDirectInputDevice2A::GetCapabilities", static_cast<HRESULT>(0x80004005), "\"iii");
  EXPECT_EQ(KeyboardName(&keys), "()");
  EXPECT_EQ(keys, 0);
}

TEST_F(InputTest, JoysticksAreEnteredInOrderWithCentredAxesAndButtonMasks) {
  AddJoystickPair();
  sim::InputDevice unplugged = Joystick("Unplugged", 4);
  unplugged.attached = false;
  sim::AddJoystick(unplugged);
  ASSERT_NO_FATAL_FAILURE(StartInput());
  ASSERT_EQ(KRInputGetJoystickCount(), 2);
  long buttons = 0;
  EXPECT_EQ(JoystickName(0, &buttons), "Pad A(Pad A Pad)");
  EXPECT_EQ(buttons, 8);
  EXPECT_EQ(JoystickName(1, &buttons), "Pad B(Pad B Pad)");
  EXPECT_EQ(buttons, 12);
  buttons = 99;
  EXPECT_EQ(JoystickName(2, &buttons), "");
  EXPECT_EQ(JoystickName(-1, &buttons), "");
  EXPECT_EQ(buttons, 99);

  Axes axes;
  EXPECT_EQ(JoystickState(axes, 0), 1);
  ExpectZeros(axes);

  sim::SetJoystickAxes(1, 0, 65535, 40000);
  sim::SetJoystickButton(1, 0, true);
  sim::SetJoystickButton(1, 31, true);
  sim::ClearCalls();
  EXPECT_EQ(JoystickState(axes, 1), 1);
  // A joystick is polled before its state is read.
  std::vector<std::string> reads;
  for (const std::string& name : sim::CallNames()) {
    if (name.rfind("IDirectInputDevice2A::", 0) == 0) reads.push_back(name);
  }
  EXPECT_EQ(reads, (std::vector<std::string>{"IDirectInputDevice2A::Poll", "IDirectInputDevice2A::GetDeviceState"}));
  EXPECT_EQ(axes.x, -32768);
  EXPECT_EQ(axes.y, 32767);
  EXPECT_EQ(axes.z, 7232);
  EXPECT_EQ(static_cast<uint32_t>(axes.buttons), 0x80000001u);

  for (int index : {2, -1}) ExpectNoJoystickState(index);
}

// Joysticks are not acquired again at a read: one that lost its window reads
// as failed, with zeros, and no Acquire is tried.
TEST_F(InputTest, JoystickReadFailuresGiveZerosAndNoReacquire) {
  AddJoystickPair();
  ASSERT_NO_FATAL_FAILURE(StartInput());
  sim::SetJoystickAxes(0, 0, 0, 0);
  sim::FailNext("IDirectInputDevice2A::GetDeviceState", kInputLost, "\"Pad A\"");
  ExpectNoJoystickState(0);

  HWND other = sim::CreateTestWindow();
  sim::SetInputForegroundWindow(other);
  sim::ClearCalls();
  ExpectNoJoystickState(1);
  EXPECT_EQ(sim::CountCalls("IDirectInputDevice2A::Acquire"), 0);
  sim::SetInputForegroundWindow(window_);
  DestroyWindow(other);
}

// A joystick that cannot be made, or lacks the second device interface, is
// released and skipped; the next still comes in at the next entry.
TEST_F(InputTest, FailingJoysticksAreSkipped) {
  AddJoystickPair();
  sim::AddJoystick(Joystick("Pad C", 2));
  sim::FailNext("IDirectInputA::CreateDevice", static_cast<HRESULT>(0x80004005), "\"Pad A\"");
  sim::FailNext("IDirectInputDevice2A::QueryInterface", E_NOINTERFACE, "\"Pad B\"");
  ASSERT_EQ(KRInputStartup(), 1);
  ASSERT_EQ(KRInputGetJoystickCount(), 1);
  long buttons = 0;
  EXPECT_EQ(JoystickName(0, &buttons), "Pad C(Pad C Pad)");
  EXPECT_EQ(sim::LiveInputDevices(), 3);
}

TEST_F(InputTest, AtMostThirtyJoysticksAndTheEnumerationStops) {
  for (int i = 0; i < 33; ++i) sim::AddJoystick(Joystick("Pad " + std::to_string(i), 1));
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(KRInputGetJoystickCount(), 30);
  EXPECT_EQ(sim::CountCalls("IDirectInputA::CreateDevice"), 32);
  long buttons = 0;
  EXPECT_EQ(JoystickName(29, &buttons), "Pad 29(Pad 29 Pad)");
  EXPECT_EQ(JoystickName(30, &buttons), "") << "past the table";
  ExpectNoJoystickState(30);
}

TEST_F(InputTest, KeyboardStateFollowsKeysAndFailsBehindAnotherWindow) {
  ASSERT_NO_FATAL_FAILURE(StartInput());
  char keys[256];
  sim::SetKey(DIK_A, true);
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 1);
  EXPECT_EQ(static_cast<unsigned char>(keys[DIK_A]), 0x80);
  EXPECT_EQ(keys[DIK_SPACE], 0);

  HWND other = sim::CreateTestWindow();
  sim::SetInputForegroundWindow(other);
  ExpectNoKeyboardState();

  // Back in front, the keyboard is acquired again at the next read.
  sim::SetInputForegroundWindow(window_);
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 1);
  EXPECT_EQ(static_cast<unsigned char>(keys[DIK_A]), 0x80);

  // A failed read after a good acquire gives zeros and 0, not what was there.
  sim::FailNext("IDirectInputDevice2A::GetDeviceState", kInputLost, "\"Keyboard\"");
  ExpectNoKeyboardState();
  DestroyWindow(other);
}

TEST_F(InputTest, MouseStateAccumulatesMovementAndMasksButtons) {
  ASSERT_NO_FATAL_FAILURE(StartInput());
  sim::MoveMouse(5, -3, 120);
  sim::MoveMouse(5, -3, 120);
  sim::SetMouseButton(0, true);
  sim::SetMouseButton(2, true);
  Axes axes;
  EXPECT_EQ(MouseState(axes), 1);
  ExpectAxes(axes, 10, -6, 240, 0x5);
  EXPECT_EQ(MouseState(axes), 1);
  EXPECT_EQ(axes.x, 0);
  EXPECT_EQ(axes.buttons, 0x5);
  // Any non-zero byte is a pressed button, not only one with bit 7 set.
  sim::SetMouseButtonByte(3, 0x01);
  EXPECT_EQ(MouseState(axes), 1);
  EXPECT_EQ(axes.buttons, 0xD);
  sim::SetMouseButtonByte(3, 0);

  sim::MoveMouse(1, 1, 1);
  sim::FailNext("IDirectInputDevice2A::GetDeviceState", kInputLost, "\"Mouse\"");
  ExpectNoMouseState();
  sim::FailNext("IDirectInputDevice2A::Acquire", static_cast<HRESULT>(0x80070005), "\"Mouse\"");
  ExpectNoMouseState();
}

TEST_F(InputTest, InterfaceGetterAddsAReference) {
  ASSERT_NO_FATAL_FAILURE(StartInput());
  IDirectInputA* directInput = nullptr;
  KRInputGetDirectInputInterface(&directInput);
  ASSERT_EQ(directInput, g_krInput.lpDirectInput);
  KRInputCleanup();
  EXPECT_EQ(sim::LiveDirectInputObjects(), 1);  // the caller's reference keeps it
  directInput->Release();
  EXPECT_EQ(sim::LiveDirectInputObjects(), 0);
}

// Before start-up and after clean-up every call answers as for no device.
TEST_F(InputTest, CallsWhileStoppedChangeNothing) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "before start-up" : "after clean-up");
    EXPECT_EQ(KRInputGetJoystickCount(), 0);
    int keys = 5;
    EXPECT_EQ(KeyboardName(&keys), "");
    EXPECT_EQ(keys, 5);
    char name[KRINPUT_NAME_MAX] = "stale";
    long buttons = 5;
    KRInputGetMouseInfo(name, &buttons, 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(buttons, 5);
    ExpectNoKeyboardState();
    ExpectNoMouseState();
    IDirectInputA* directInput = reinterpret_cast<IDirectInputA*>(&keys);
    KRInputGetDirectInputInterface(&directInput);
    EXPECT_EQ(directInput, nullptr);
    KRInputOnChar(0x61u, 0L);
    KRInputOnKeyDown(static_cast<unsigned int>(VK_F5), 0u, 0u);
    KRInputFlushCharBuffer();
    EXPECT_EQ(KRInputGetChar(), 0u);
    if (round == 0) {
      ASSERT_EQ(KRInputStartup(), 1);
      KRInputCleanup();
    }
  }
}

}  // namespace
