// DirectInput 5 as the host build sees it: the DirectInput object, its devices
// (keyboard, mouse, joysticks) and their state records, served by
// platform/sim/dinput_*.cpp. Includers define DIRECTINPUT_VERSION 0x0500 first.
#pragma once

#include <windows.h>
#include <objbase.h>

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

// ---- Class, interface and device identifiers --------------------------------------
DEFINE_GUID(CLSID_DirectInput, 0x25E609E0, 0xB259, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(IID_IDirectInputA, 0x89521360, 0xAA8A, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(IID_IDirectInputDeviceA, 0x5944E680, 0xC92E, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(IID_IDirectInputDevice2A, 0x5944E682, 0xC92E, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(GUID_SysMouse, 0x6F1D2B60, 0xD5A0, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(GUID_SysKeyboard, 0x6F1D2B61, 0xD5A0, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(GUID_Joystick, 0x6F1D2B70, 0xD5A0, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);

// ---- Results ---------------------------------------------------------------------
#define DI_OK S_OK
#define DI_NOTATTACHED S_FALSE
#define DI_NOEFFECT S_FALSE
#define DIERR_OLDDIRECTINPUTVERSION ((HRESULT)0x8007047EL)
#define DIERR_BETADIRECTINPUTVERSION ((HRESULT)0x80070481L)
#define DIERR_DEVICENOTREG ((HRESULT)0x80040154L)
#define DIERR_NOTFOUND ((HRESULT)0x80070002L)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_GENERIC E_FAIL
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015L)
#define DIERR_ALREADYINITIALIZED ((HRESULT)0x800704DFL)
#define DIERR_OTHERAPPHASPRIO E_ACCESSDENIED
#define DIERR_INPUTLOST ((HRESULT)0x8007001EL)
#define DIERR_ACQUIRED ((HRESULT)0x800700AAL)
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000CL)

// ---- Flags -------------------------------------------------------------------------
#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DIEDFL_ATTACHEDONLY 0x00000001

#define DIDEVTYPE_MOUSE 2
#define DIDEVTYPE_KEYBOARD 3
#define DIDEVTYPE_JOYSTICK 4

#define DISCL_EXCLUSIVE 0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND 0x00000004
#define DISCL_BACKGROUND 0x00000008

#define DIDC_ATTACHED 0x00000001

#define DIDF_ABSAXIS 0x00000001
#define DIDF_RELAXIS 0x00000002

// Key codes (positions in the keyboard state) the tests press.
#define DIK_ESCAPE 0x01
#define DIK_A 0x1E
#define DIK_RETURN 0x1C
#define DIK_SPACE 0x39
#define DIK_F5 0x3F

// ---- Records -----------------------------------------------------------------------
typedef struct DIOBJECTDATAFORMAT {
  const GUID* pguid;
  DWORD dwOfs;
  DWORD dwType;
  DWORD dwFlags;
} DIOBJECTDATAFORMAT, *LPDIOBJECTDATAFORMAT;
typedef const DIOBJECTDATAFORMAT* LPCDIOBJECTDATAFORMAT;

typedef struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwObjSize;
  DWORD dwFlags;
  DWORD dwDataSize;
  DWORD dwNumObjs;
  LPDIOBJECTDATAFORMAT rgodf;
} DIDATAFORMAT, *LPDIDATAFORMAT;
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

typedef struct DIDEVICEINSTANCEA {
  DWORD dwSize;
  GUID guidInstance;
  GUID guidProduct;
  DWORD dwDevType;
  CHAR tszInstanceName[MAX_PATH];
  CHAR tszProductName[MAX_PATH];
  GUID guidFFDriver;
  WORD wUsagePage;
  WORD wUsage;
} DIDEVICEINSTANCEA, *LPDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;

typedef struct DIDEVCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwDevType;
  DWORD dwAxes;
  DWORD dwButtons;
  DWORD dwPOVs;
  DWORD dwFFSamplePeriod;
  DWORD dwFFMinTimeResolution;
  DWORD dwFirmwareRevision;
  DWORD dwHardwareRevision;
  DWORD dwFFDriverVersion;
} DIDEVCAPS, *LPDIDEVCAPS;

typedef struct DIMOUSESTATE {
  LONG lX;
  LONG lY;
  LONG lZ;
  BYTE rgbButtons[4];
} DIMOUSESTATE, *LPDIMOUSESTATE;

typedef struct DIJOYSTATE {
  LONG lX;
  LONG lY;
  LONG lZ;
  LONG lRx;
  LONG lRy;
  LONG lRz;
  LONG rglSlider[2];
  DWORD rgdwPOV[4];
  BYTE rgbButtons[32];
} DIJOYSTATE, *LPDIJOYSTATE;

typedef BOOL(CALLBACK* LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA lpddi, LPVOID pvRef);

// ---- Interfaces, in the SDK's method order -------------------------------------------
struct IDirectInputA;
struct IDirectInputDeviceA;
struct IDirectInputDevice2A;
struct IDirectInputEffect;
typedef struct IDirectInputA* LPDIRECTINPUTA;
typedef struct IDirectInputDeviceA* LPDIRECTINPUTDEVICEA;
typedef struct IDirectInputDevice2A* LPDIRECTINPUTDEVICE2A;
typedef struct IDirectInputEffect* LPDIRECTINPUTEFFECT;

struct IDirectInputDeviceA : public IUnknown {
  STDMETHOD(GetCapabilities)(LPDIDEVCAPS lpDIDevCaps) PURE;
  STDMETHOD(EnumObjects)(void* lpCallback, LPVOID pvRef, DWORD dwFlags) PURE;
  STDMETHOD(GetProperty)(REFGUID rguidProp, struct DIPROPHEADER* pdiph) PURE;
  STDMETHOD(SetProperty)(REFGUID rguidProp, const struct DIPROPHEADER* pdiph) PURE;
  STDMETHOD(Acquire)() PURE;
  STDMETHOD(Unacquire)() PURE;
  STDMETHOD(GetDeviceState)(DWORD cbData, LPVOID lpvData) PURE;
  STDMETHOD(GetDeviceData)(DWORD cbObjectData, struct DIDEVICEOBJECTDATA* rgdod, LPDWORD pdwInOut, DWORD dwFlags) PURE;
  STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT lpdf) PURE;
  STDMETHOD(SetEventNotification)(HANDLE hEvent) PURE;
  STDMETHOD(SetCooperativeLevel)(HWND hwnd, DWORD dwFlags) PURE;
  STDMETHOD(GetObjectInfo)(struct DIDEVICEOBJECTINSTANCEA* pdidoi, DWORD dwObj, DWORD dwHow) PURE;
  STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA pdidi) PURE;
  STDMETHOD(RunControlPanel)(HWND hwndOwner, DWORD dwFlags) PURE;
  STDMETHOD(Initialize)(HINSTANCE hinst, DWORD dwVersion, REFGUID rguid) PURE;
};

struct IDirectInputDevice2A : public IDirectInputDeviceA {
  STDMETHOD(CreateEffect)(REFGUID rguid, const struct DIEFFECT* lpeff, LPDIRECTINPUTEFFECT* ppdeff,
                          LPUNKNOWN punkOuter) PURE;
  STDMETHOD(EnumEffects)(void* lpCallback, LPVOID pvRef, DWORD dwEffType) PURE;
  STDMETHOD(GetEffectInfo)(struct DIEFFECTINFOA* pdei, REFGUID rguid) PURE;
  STDMETHOD(GetForceFeedbackState)(LPDWORD pdwOut) PURE;
  STDMETHOD(SendForceFeedbackCommand)(DWORD dwFlags) PURE;
  STDMETHOD(EnumCreatedEffectObjects)(void* lpCallback, LPVOID pvRef, DWORD fl) PURE;
  STDMETHOD(Escape)(struct DIEFFESCAPE* pesc) PURE;
  STDMETHOD(Poll)() PURE;
  STDMETHOD(SendDeviceData)(DWORD cbObjectData, const struct DIDEVICEOBJECTDATA* rgdod, LPDWORD pdwInOut,
                            DWORD fl) PURE;
};

struct IDirectInputA : public IUnknown {
  STDMETHOD(CreateDevice)(REFGUID rguid, LPDIRECTINPUTDEVICEA* lplpDirectInputDevice, LPUNKNOWN pUnkOuter) PURE;
  STDMETHOD(EnumDevices)(DWORD dwDevType, LPDIENUMDEVICESCALLBACKA lpCallback, LPVOID pvRef, DWORD dwFlags) PURE;
  STDMETHOD(GetDeviceStatus)(REFGUID rguidInstance) PURE;
  STDMETHOD(RunControlPanel)(HWND hwndOwner, DWORD dwFlags) PURE;
  STDMETHOD(Initialize)(HINSTANCE hinst, DWORD dwVersion) PURE;
};

// ---- Data formats of the standard devices (simulation objects) ---------------------
extern "C" {

extern const DIDATAFORMAT c_dfDIKeyboard;  // 256 bytes, one per key code
extern const DIDATAFORMAT c_dfDIMouse;     // DIMOUSESTATE
extern const DIDATAFORMAT c_dfDIJoystick;  // DIJOYSTATE

}  // extern "C"
