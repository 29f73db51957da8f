// The input component's start-up and clean-up: DirectInput, the keyboard, the
// mouse and every attached joystick, and the six blocks of the character ring
// and the input-method state.
#include "input/input_state.h"

#include <korvathd.h>

#include <cstring>

#include "core/component_blocks.h"
#include "core/core_state.h"
#include "core/dx_result_log.h"
#include "core/last_error.h"

namespace {

const unsigned long kErrorStartupFailed = KRERR_INPUT | KRERR_STARTUPFAILED;

// The six blocks in the order they are made (and their allocation trace reads).
const KRComponentBlock kBlocks[] = {
    {reinterpret_cast<void**>(&g_krInput.lpDevices), KRINPUT_DEVICE_MAX * sizeof(IDirectInputDevice2A*),
     "KRIN:DEVICES"},
    {reinterpret_cast<void**>(&g_krInput.lpCharBuffer), KRINPUT_CHARBUFFER_MAX * sizeof(DWORD), "KRIN:KEYBUFF"},
    {reinterpret_cast<void**>(&g_krInput.lpImeString), KRINPUT_IMESTRING_SIZE, "KRIN:IMESTRI"},
    {reinterpret_cast<void**>(&g_krInput.lpCompStr), KRINPUT_COMPSTR_SIZE, "KRIN:COMPSTR"},
    {reinterpret_cast<void**>(&g_krInput.lpCompAttr), KRINPUT_COMPATTR_SIZE, "KRIN:COMPATT"},
    {reinterpret_cast<void**>(&g_krInput.lpCandList), KRINPUT_CANDLIST_SIZE, "KRIN:CANDLIS"},
};

// Creates the device into table entry `entry` as IDirectInputDevice2A. A device
// that cannot be made or lacks the interface leaves the entry empty.
HRESULT CreateDevice2(REFGUID guid, int entry) {
  IDirectInputDeviceA* first = NULL;
  HRESULT result = g_krInput.lpDirectInput->CreateDevice(guid, &first, NULL);
  if (FAILED(result)) return result;
  result = first->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&g_krInput.lpDevices[entry]));
  first->Release();
  if (FAILED(result)) g_krInput.lpDevices[entry] = NULL;
  return result;
}

// Keyboard or mouse: create, data format, cooperative level, acquire; each step
// only after the one before it succeeded.
HRESULT SetUpSystemDevice(REFGUID guid, int entry, const DIDATAFORMAT* format, DWORD level) {
  HRESULT result = CreateDevice2(guid, entry);
  IDirectInputDevice2A* device = g_krInput.lpDevices[entry];
  if (SUCCEEDED(result)) result = device->SetDataFormat(format);
  if (SUCCEEDED(result)) result = device->SetCooperativeLevel(g_krCore.hWnd, level);
  if (SUCCEEDED(result)) result = device->Acquire();
  g_krInput.hrLast = result;
  return result;
}

BOOL CALLBACK KRInputEnumJoystickCallback(LPCDIDEVICEINSTANCEA instance, LPVOID) {
  if (g_krInput.nNextDevice >= KRINPUT_DEVICE_MAX) return DIENUM_STOP;
  const int entry = g_krInput.nNextDevice;
  g_krInput.hrLast = CreateDevice2(instance->guidInstance, entry);
  if (FAILED(g_krInput.hrLast)) return DIENUM_CONTINUE;  // not entered; the next may work
  IDirectInputDevice2A* joystick = g_krInput.lpDevices[entry];
  // A joystick that refuses these is still listed; its state reads then fail.
  joystick->SetDataFormat(&c_dfDIJoystick);
  joystick->SetCooperativeLevel(g_krCore.hWnd, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  joystick->Acquire();
  ++g_krInput.nNextDevice;
  return g_krInput.nNextDevice < KRINPUT_DEVICE_MAX ? DIENUM_CONTINUE : DIENUM_STOP;
}

int FailDevice(HRESULT result, const char* format) {
  KRErrorFailDX(result, kErrorStartupFailed, format);
  KRInputCleanup();
  return 0;
}

}  // namespace

int KRInputStartup(void) {
  if (g_krInput.bStarted) return KRErrorFail(KRERR_INPUT | KRERR_ALREADYSTARTED);

  KRDebugDump("KRInput : Startup\n");
  g_krInput.lpDirectInput = NULL;
  KRImeResetForStartup();

  KRDebugDump("KRInput : DirectInputCreate\n");
  IDirectInputA* directInput = NULL;
  HRESULT result = CoCreateInstance(CLSID_DirectInput, NULL, CLSCTX_INPROC, IID_IDirectInputA,
                                    reinterpret_cast<void**>(&directInput));
  if (SUCCEEDED(result)) {
    result = directInput->Initialize(g_krCore.hInstance, 0x0500);
    // An object that could not be initialised is of no use to anyone.
    if (FAILED(result)) directInput->Release();
  }
  g_krInput.hrLast = result;
  if (FAILED(result)) return KRErrorFail(kErrorStartupFailed);

  if (!KRAllocateAllComponentBlocks(kBlocks)) {
    directInput->Release();
    return KRErrorFail(kErrorStartupFailed);
  }
  g_krInput.lpDirectInput = directInput;
  g_krInput.bStarted = 1;
  g_krInput.dwCharWrite = 0;
  g_krInput.dwCharRead = 0;
  g_krInput.nNextDevice = 0;
  g_krInput.nDeviceCount = 0;

  result = SetUpSystemDevice(GUID_SysKeyboard, KRINPUT_KEYBOARD, &c_dfDIKeyboard,
                             DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  g_krInput.nNextDevice = KRINPUT_MOUSE;
  if (FAILED(result)) return FailDevice(result, "Keyboard : %s\n");

  result = SetUpSystemDevice(GUID_SysMouse, KRINPUT_MOUSE, &c_dfDIMouse, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  g_krInput.nNextDevice = KRINPUT_JOYSTICK_FIRST;
  if (FAILED(result)) return FailDevice(result, "Mouse : %s\n");

  directInput->EnumDevices(DIDEVTYPE_JOYSTICK, KRInputEnumJoystickCallback, NULL, DIEDFL_ATTACHEDONLY);
  g_krInput.nDeviceCount = g_krInput.nNextDevice;
  return 1;
}

void KRInputCleanup(void) {
  if (!g_krInput.bStarted) {
    KRErrorSetLastError(KRERR_INPUT | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KRInput : Cleanup\n");
  for (int entry = 0; entry < KRINPUT_DEVICE_MAX; ++entry) {
    IDirectInputDevice2A* device = g_krInput.lpDevices[entry];
    if (device == NULL) continue;
    device->Unacquire();
    device->Release();
    g_krInput.lpDevices[entry] = NULL;
  }
  KRDebugDump("KRInput : Release DirectInput\n");
  if (g_krInput.lpDirectInput != NULL) {
    g_krInput.lpDirectInput->Release();
    g_krInput.lpDirectInput = NULL;
  }
  KRFreeComponentBlocks(kBlocks);
  g_krInput.nDeviceCount = 0;
  g_krInput.bStarted = 0;
}
