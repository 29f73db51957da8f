// DirectInput 5 as Windows has it: the object needs Initialize before it makes
// devices, and a device needs a data format before Acquire and an acquisition
// before a state read; record sizes and cooperative levels are checked.
#define DIRECTINPUT_VERSION 0x0500
#include <windows.h>
#include <dinput.h>
#include <objbase.h>

#include "tests/platform/dual_fixture.h"

namespace {

class DualDirectInput : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInputA,
                               reinterpret_cast<void**>(&directInput_)),
              S_OK);
  }
  void TearDown() override {
    if (keyboard_ != nullptr) keyboard_->Release();
    if (directInput_ != nullptr) directInput_->Release();
    CoUninitialize();
    DualTest::TearDown();
  }

  void MakeKeyboard() {
    ASSERT_EQ(directInput_->Initialize(GetModuleHandleA(nullptr), 0x0500), DI_OK);
    IDirectInputDeviceA* first = nullptr;
    ASSERT_EQ(directInput_->CreateDevice(GUID_SysKeyboard, &first, nullptr), DI_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&keyboard_)), S_OK);
    first->Release();
  }

  IDirectInputA* directInput_ = nullptr;
  IDirectInputDevice2A* keyboard_ = nullptr;
};

TEST_F(DualDirectInput, DevicesOnlyAfterInitialize) {
  IDirectInputDeviceA* device = nullptr;
  EXPECT_EQ(directInput_->CreateDevice(GUID_SysKeyboard, &device, nullptr), DIERR_NOTINITIALIZED);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(directInput_->Initialize(GetModuleHandleA(nullptr), 0x0500), DI_OK);
  ASSERT_EQ(directInput_->CreateDevice(GUID_SysMouse, &device, nullptr), DI_OK);
  device->Release();
}

TEST_F(DualDirectInput, AcquireNeedsADataFormatAndReadsNeedAcquisition) {
  ASSERT_NO_FATAL_FAILURE(MakeKeyboard());
  EXPECT_EQ(keyboard_->Acquire(), DIERR_INVALIDPARAM);
  ASSERT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  BYTE keys[256];
  EXPECT_EQ(keyboard_->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard_->Unacquire(), DI_NOEFFECT);
}

TEST_F(DualDirectInput, RecordSizesAndCooperativeLevelsAreChecked) {
  ASSERT_NO_FATAL_FAILURE(MakeKeyboard());
  DIDEVICEINSTANCEA instance = {};
  EXPECT_EQ(keyboard_->GetDeviceInfo(&instance), DIERR_INVALIDPARAM);
  instance.dwSize = sizeof(instance);
  EXPECT_EQ(keyboard_->GetDeviceInfo(&instance), DI_OK);
  EXPECT_EQ(instance.guidInstance, GUID_SysKeyboard);
  EXPECT_EQ(instance.dwDevType & 0xFF, static_cast<DWORD>(DIDEVTYPE_KEYBOARD));
  EXPECT_NE(instance.tszInstanceName[0], '\0');

  DIDEVCAPS caps = {};
  EXPECT_EQ(keyboard_->GetCapabilities(&caps), DIERR_INVALIDPARAM);
  caps.dwSize = sizeof(caps);
  EXPECT_EQ(keyboard_->GetCapabilities(&caps), DI_OK);
  EXPECT_GT(caps.dwButtons, 0u);

  HWND desktop = GetDesktopWindow();
  EXPECT_EQ(keyboard_->SetCooperativeLevel(desktop, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard_->SetCooperativeLevel(desktop, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND),
            DIERR_INVALIDPARAM);
}

}  // namespace
