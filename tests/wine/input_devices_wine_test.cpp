// Input devices and the character ring of the real KORVATHD.DLL under Wine: a
// visible window in front, DirectInput's own keyboard and mouse, keys and mouse
// moves injected with keybd_event and mouse_event. No joystick exists under
// Xvfb, so joysticks are covered by the host tests alone.
#define DIRECTINPUT_VERSION 0x0500
#include <windows.h>
#include <dinput.h>

#include <gtest/gtest.h>
#include <korvathd.h>

#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/main_window.h"

namespace {

using namespace winsupport;

WNDPROC g_previousProcedure = NULL;

// The application's window procedure: character and key messages to the ring.
LRESULT CALLBACK ForwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: KRInputOnChar(static_cast<unsigned int>(wParam), static_cast<long>(lParam)); return 0;
    case WM_KEYDOWN: KRInputOnKeyDown(static_cast<unsigned int>(wParam), static_cast<long>(lParam)); return 0;
    default: return CallWindowProcA(g_previousProcedure, window, message, wParam, lParam);
  }
}

// The X server activates windows asynchronously: wait until Wine reports the
// window in front, for at most two seconds.
void BringToFront(HWND window) {
  for (int waited = 0; waited < 2000; waited += 20) {
    SetForegroundWindow(window);
    SetFocus(window);
    PumpMessages();
    if (GetForegroundWindow() == window) break;
    Sleep(20);
  }
  PumpMessages();
}

// "instance(product)" as DirectInput itself reports the device.
std::string NameFromDirectInput(REFGUID device) {
  IDirectInputA* directInput = NULL;
  KRInputGetDirectInputInterface(&directInput);
  if (directInput == NULL) return "no DirectInput";
  IDirectInputDeviceA* input = NULL;
  std::string name = "no device";
  if (SUCCEEDED(directInput->CreateDevice(device, &input, NULL))) {
    DIDEVICEINSTANCEA instance = {};
    instance.dwSize = sizeof(instance);
    if (SUCCEEDED(input->GetDeviceInfo(&instance))) {
      name = std::string(instance.tszInstanceName) + "(" + instance.tszProductName + ")";
    }
    input->Release();
  }
  directInput->Release();
  return name;
}

class InputOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMainWindow(320, 240, "input");
    ASSERT_NE(window_, nullptr);
    g_previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForwardingProcedure)));
    BringToFront(window_);
    KRSTARTUPINFO info = StartupInfo(window_);
    ASSERT_EQ(KRStartup(&info), 1);
  }

  void TearDown() override {
    KRCleanup();
    DestroyMainWindow(other_);
    DestroyMainWindow(window_);
  }

  HWND window_ = NULL;
  HWND other_ = NULL;
};

TEST_F(InputOnWindows, StartupFindsKeyboardAndMouseNamedAsDirectInputNamesThem) {
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(KRInputGetKeyboardCount(), 1);
  EXPECT_EQ(KRInputGetMouseCount(), 1);
  EXPECT_EQ(KRInputGetJoystickCount(), 0);

  char name[KRINPUT_NAME_MAX];
  int keys = -1;
  KRInputGetKeyboardInfo(name, &keys, 0);
  EXPECT_EQ(std::string(name), NameFromDirectInput(GUID_SysKeyboard));
  EXPECT_GT(keys, 0);
  long buttons = -1;
  KRInputGetMouseInfo(name, &buttons, 0);
  EXPECT_EQ(std::string(name), NameFromDirectInput(GUID_SysMouse));
  EXPECT_GT(buttons, 0);

  KRInputCleanup();
  EXPECT_EQ(KRInputGetJoystickCount(), 0);
}

TEST_F(InputOnWindows, InjectedKeyShowsInTheKeyboardStateAndTheRing) {
  ASSERT_EQ(KRInputStartup(), 1);
  keybd_event('A', 0x1E, 0, 0);
  PumpMessages();
  char keys[256];
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 1);
  EXPECT_NE(keys[DIK_A] & 0x80, 0);
  keybd_event('A', 0x1E, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_F5, 0x3F, 0, 0);
  keybd_event(VK_F5, 0x3F, KEYEVENTF_KEYUP, 0);
  PumpMessages();
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 1);
  EXPECT_EQ(keys[DIK_A] & 0x80, 0);

  EXPECT_EQ(KRInputGetChar(), static_cast<unsigned int>('a'));
  EXPECT_EQ(KRInputGetChar(), static_cast<unsigned int>(KRCHAR_F1 + 4));
  EXPECT_EQ(KRInputGetChar(), 0u);
}

TEST_F(InputOnWindows, InjectedMouseMoveAndButtonShowInTheMouseState) {
  ASSERT_EQ(KRInputStartup(), 1) << std::hex << KRErrorGetLastError() << " front " << (GetForegroundWindow() == window_)
                                 << " focus " << (GetFocus() == window_);
  long x = 0, y = 0, z = 0, buttons = 0;
  KRInputGetMouseState(&x, &y, &z, &buttons, 0);  // settles what came before
  mouse_event(MOUSEEVENTF_MOVE, 10, 5, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  PumpMessages();
  EXPECT_EQ(KRInputGetMouseState(&x, &y, &z, &buttons, 0), 1);
  EXPECT_GT(x, 0);
  EXPECT_GT(y, 0);
  EXPECT_EQ(buttons & 1, 1);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  PumpMessages();
  EXPECT_EQ(KRInputGetMouseState(&x, &y, &z, &buttons, 0), 1);
  EXPECT_EQ(buttons & 1, 0);
}

TEST_F(InputOnWindows, AnotherWindowInFrontGivesZerosAndFailsStartup) {
  ASSERT_EQ(KRInputStartup(), 1);
  other_ = CreateMainWindow(100, 100, "other");
  ASSERT_NE(other_, nullptr);
  BringToFront(other_);

  char keys[256];
  memset(keys, 0x55, sizeof(keys));
  EXPECT_EQ(KRInputGetKeyboardState(keys, 0), 0);
  for (char key : keys) ASSERT_EQ(key, 0);
  long x = 7, y = 7, z = 7, buttons = 7;
  EXPECT_EQ(KRInputGetMouseState(&x, &y, &z, &buttons, 0), 0);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(buttons, 0);

  KRInputCleanup();
  EXPECT_EQ(KRInputStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_INPUT | KRERR_STARTUPFAILED));
}

}  // namespace
