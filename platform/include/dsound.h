// DirectSound 6 as the host build sees it: the DirectSound object, its sound
// buffers with their 3D interfaces and the listener, served by
// platform/sim/dsound_*.cpp. Every build defines DIRECTSOUND_VERSION 0x0600.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <mmsystem.h>

#ifndef DIRECTSOUND_VERSION
#define DIRECTSOUND_VERSION 0x0600
#endif

// The 3D value types, as d3dtypes.h has them (without bringing DirectDraw along).
typedef float D3DVALUE, *LPD3DVALUE;
#ifndef D3DVECTOR_DEFINED
typedef struct _D3DVECTOR {
  union {
    D3DVALUE x;
    D3DVALUE dvX;
  };
  union {
    D3DVALUE y;
    D3DVALUE dvY;
  };
  union {
    D3DVALUE z;
    D3DVALUE dvZ;
  };
} D3DVECTOR, *LPD3DVECTOR;
#define D3DVECTOR_DEFINED
#endif

// ---- Class and interface identifiers ---------------------------------------------
DEFINE_GUID(CLSID_DirectSound, 0x47D4D946, 0x62E8, 0x11CF, 0x93, 0xBC, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);
DEFINE_GUID(IID_IDirectSound, 0x279AFA83, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectSoundBuffer, 0x279AFA85, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectSound3DListener, 0x279AFA84, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5,
            0x60);
DEFINE_GUID(IID_IDirectSound3DBuffer, 0x279AFA86, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);

// ---- Results ---------------------------------------------------------------------
#define _FACDS 0x878
#define MAKE_DSHRESULT(code) MAKE_HRESULT(1, _FACDS, code)
#define DS_OK 0
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_ALREADYINITIALIZED MAKE_DSHRESULT(130)
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)
#define DSERR_OTHERAPPHASPRIO MAKE_DSHRESULT(160)
#define DSERR_UNINITIALIZED MAKE_DSHRESULT(170)
#define DSERR_NOINTERFACE E_NOINTERFACE

// ---- Flags -------------------------------------------------------------------------
#define DSSCL_NORMAL 1
#define DSSCL_PRIORITY 2
#define DSSCL_EXCLUSIVE 3
#define DSSCL_WRITEPRIMARY 4

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000

#define DSBPLAY_LOOPING 0x00000001

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004

#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT -10000
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 100000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001

// ---- Records -------------------------------------------------------------------------
// The DirectX 6 description (no 3D algorithm identifier).
typedef struct _DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// ---- Interfaces, in the SDK's method order -------------------------------------------
struct IDirectSound;
struct IDirectSoundBuffer;
struct IDirectSound3DListener;
struct IDirectSound3DBuffer;
typedef struct IDirectSound* LPDIRECTSOUND;
typedef struct IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;
typedef struct IDirectSoundBuffer** LPLPDIRECTSOUNDBUFFER;
typedef struct IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;
typedef struct IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;
typedef struct _DSCAPS* LPDSCAPS;
typedef struct _DSBCAPS* LPDSBCAPS;
typedef struct _DS3DLISTENER* LPDS3DLISTENER;
typedef const struct _DS3DLISTENER* LPCDS3DLISTENER;
typedef struct _DS3DBUFFER* LPDS3DBUFFER;
typedef const struct _DS3DBUFFER* LPCDS3DBUFFER;

struct IDirectSound : public IUnknown {
  STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC lpcDSBufferDesc, LPLPDIRECTSOUNDBUFFER lplpDirectSoundBuffer,
                               IUnknown* pUnkOuter) PURE;
  STDMETHOD(GetCaps)(LPDSCAPS lpDSCaps) PURE;
  STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER lpDsbOriginal, LPLPDIRECTSOUNDBUFFER lplpDsbDuplicate) PURE;
  STDMETHOD(SetCooperativeLevel)(HWND hwnd, DWORD dwLevel) PURE;
  STDMETHOD(Compact)() PURE;
  STDMETHOD(GetSpeakerConfig)(LPDWORD lpdwSpeakerConfig) PURE;
  STDMETHOD(SetSpeakerConfig)(DWORD dwSpeakerConfig) PURE;
  STDMETHOD(Initialize)(const GUID* lpcGuid) PURE;
};

struct IDirectSoundBuffer : public IUnknown {
  STDMETHOD(GetCaps)(LPDSBCAPS lpDSBufferCaps) PURE;
  STDMETHOD(GetCurrentPosition)(LPDWORD lpdwCurrentPlayCursor, LPDWORD lpdwCurrentWriteCursor) PURE;
  STDMETHOD(GetFormat)(LPWAVEFORMATEX lpwfxFormat, DWORD dwSizeAllocated, LPDWORD lpdwSizeWritten) PURE;
  STDMETHOD(GetVolume)(LPLONG lplVolume) PURE;
  STDMETHOD(GetPan)(LPLONG lplpan) PURE;
  STDMETHOD(GetFrequency)(LPDWORD lpdwFrequency) PURE;
  STDMETHOD(GetStatus)(LPDWORD lpdwStatus) PURE;
  STDMETHOD(Initialize)(LPDIRECTSOUND lpDirectSound, LPCDSBUFFERDESC lpcDSBufferDesc) PURE;
  STDMETHOD(Lock)(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1, LPVOID* ppvAudioPtr2,
                  LPDWORD pdwAudioBytes2, DWORD dwFlags) PURE;
  STDMETHOD(Play)(DWORD dwReserved1, DWORD dwReserved2, DWORD dwFlags) PURE;
  STDMETHOD(SetCurrentPosition)(DWORD dwNewPosition) PURE;
  STDMETHOD(SetFormat)(LPCWAVEFORMATEX lpcfxFormat) PURE;
  STDMETHOD(SetVolume)(LONG lVolume) PURE;
  STDMETHOD(SetPan)(LONG lPan) PURE;
  STDMETHOD(SetFrequency)(DWORD dwFrequency) PURE;
  STDMETHOD(Stop)() PURE;
  STDMETHOD(Unlock)(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioPtr2) PURE;
  STDMETHOD(Restore)() PURE;
};

struct IDirectSound3DListener : public IUnknown {
  STDMETHOD(GetAllParameters)(LPDS3DLISTENER lpListener) PURE;
  STDMETHOD(GetDistanceFactor)(D3DVALUE* lpflDistanceFactor) PURE;
  STDMETHOD(GetDopplerFactor)(D3DVALUE* lpflDopplerFactor) PURE;
  STDMETHOD(GetOrientation)(D3DVECTOR* lpvOrientFront, D3DVECTOR* lpvOrientTop) PURE;
  STDMETHOD(GetPosition)(D3DVECTOR* lpvPosition) PURE;
  STDMETHOD(GetRolloffFactor)(D3DVALUE* lpflRolloffFactor) PURE;
  STDMETHOD(GetVelocity)(D3DVECTOR* lpvVelocity) PURE;
  STDMETHOD(SetAllParameters)(LPCDS3DLISTENER lpcListener, DWORD dwApply) PURE;
  STDMETHOD(SetDistanceFactor)(D3DVALUE flDistanceFactor, DWORD dwApply) PURE;
  STDMETHOD(SetDopplerFactor)(D3DVALUE flDopplerFactor, DWORD dwApply) PURE;
  STDMETHOD(SetOrientation)(D3DVALUE xFront, D3DVALUE yFront, D3DVALUE zFront, D3DVALUE xTop, D3DVALUE yTop,
                            D3DVALUE zTop, DWORD dwApply) PURE;
  STDMETHOD(SetPosition)(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD dwApply) PURE;
  STDMETHOD(SetRolloffFactor)(D3DVALUE flRolloffFactor, DWORD dwApply) PURE;
  STDMETHOD(SetVelocity)(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD dwApply) PURE;
  STDMETHOD(CommitDeferredSettings)() PURE;
};

struct IDirectSound3DBuffer : public IUnknown {
  STDMETHOD(GetAllParameters)(LPDS3DBUFFER lpDs3dBuffer) PURE;
  STDMETHOD(GetConeAngles)(LPDWORD lpdwInsideConeAngle, LPDWORD lpdwOutsideConeAngle) PURE;
  STDMETHOD(GetConeOrientation)(D3DVECTOR* lpvOrientation) PURE;
  STDMETHOD(GetConeOutsideVolume)(LPLONG lplConeOutsideVolume) PURE;
  STDMETHOD(GetMaxDistance)(D3DVALUE* lpflMaxDistance) PURE;
  STDMETHOD(GetMinDistance)(D3DVALUE* lpflMinDistance) PURE;
  STDMETHOD(GetMode)(LPDWORD lpdwMode) PURE;
  STDMETHOD(GetPosition)(D3DVECTOR* lpvPosition) PURE;
  STDMETHOD(GetVelocity)(D3DVECTOR* lpvVelocity) PURE;
  STDMETHOD(SetAllParameters)(LPCDS3DBUFFER lpcDs3dBuffer, DWORD dwApply) PURE;
  STDMETHOD(SetConeAngles)(DWORD dwInsideConeAngle, DWORD dwOutsideConeAngle, DWORD dwApply) PURE;
  STDMETHOD(SetConeOrientation)(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD dwApply) PURE;
  STDMETHOD(SetConeOutsideVolume)(LONG lConeOutsideVolume, DWORD dwApply) PURE;
  STDMETHOD(SetMaxDistance)(D3DVALUE flMaxDistance, DWORD dwApply) PURE;
  STDMETHOD(SetMinDistance)(D3DVALUE flMinDistance, DWORD dwApply) PURE;
  STDMETHOD(SetMode)(DWORD dwMode, DWORD dwApply) PURE;
  STDMETHOD(SetPosition)(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD dwApply) PURE;
  STDMETHOD(SetVelocity)(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD dwApply) PURE;
};
