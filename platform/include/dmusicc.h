// DirectMusic core (host build): the music object and its output ports, in
// their published form. Interfaces list the methods this library calls.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <dmerror.h>

DEFINE_GUID(CLSID_DirectMusic, 0x636B9F10, 0x0C7D, 0x11D1, 0x95, 0xB2, 0x00, 0x20, 0xAF, 0xDC, 0x74, 0x21);
DEFINE_GUID(IID_IDirectMusic, 0x6536115A, 0x7B2D, 0x11D2, 0xBA, 0x18, 0x00, 0x00, 0xF8, 0x75, 0xAC, 0x12);
DEFINE_GUID(IID_IDirectMusicPort, 0x08F2D8C9, 0x37C2, 0x11D2, 0xB9, 0xF9, 0x00, 0x00, 0xF8, 0x75, 0xAC, 0x12);

#define DMUS_MAX_DESCRIPTION 0x80
#define DMUS_PC_INPUTCLASS 0x0
#define DMUS_PC_OUTPUTCLASS 0x1

#define DMUS_PORTPARAMS_VOICES 0x01
#define DMUS_PORTPARAMS_CHANNELGROUPS 0x02
#define DMUS_PORTPARAMS_AUDIOCHANNELS 0x04
#define DMUS_PORTPARAMS_SAMPLERATE 0x08

typedef struct _DMUS_PORTCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  GUID guidPort;
  DWORD dwClass;
  DWORD dwType;
  DWORD dwMemorySize;
  DWORD dwMaxChannelGroups;
  DWORD dwMaxVoices;
  DWORD dwMaxAudioChannels;
  DWORD dwEffectFlags;
  WCHAR wszDescription[DMUS_MAX_DESCRIPTION];
} DMUS_PORTCAPS, *LPDMUS_PORTCAPS;

typedef struct _DMUS_PORTPARAMS {
  DWORD dwSize;
  DWORD dwValidParams;
  DWORD dwVoices;
  DWORD dwChannelGroups;
  DWORD dwAudioChannels;
  DWORD dwSampleRate;
  DWORD dwEffectFlags;
  BOOL fShare;
} DMUS_PORTPARAMS7, *LPDMUS_PORTPARAMS7;

typedef struct _DMUS_PORTPARAMS8 {
  DWORD dwSize;
  DWORD dwValidParams;
  DWORD dwVoices;
  DWORD dwChannelGroups;
  DWORD dwAudioChannels;
  DWORD dwSampleRate;
  DWORD dwEffectFlags;
  BOOL fShare;
  DWORD dwFeatures;
} DMUS_PORTPARAMS8, *LPDMUS_PORTPARAMS8;
typedef DMUS_PORTPARAMS8 DMUS_PORTPARAMS, *LPDMUS_PORTPARAMS;

struct IDirectSound;

struct IDirectMusicPort : public IUnknown {};
typedef IDirectMusicPort* LPDIRECTMUSICPORT;

struct IDirectMusic : public IUnknown {
  STDMETHOD(EnumPort)(DWORD dwIndex, LPDMUS_PORTCAPS pPortCaps) PURE;
  STDMETHOD(CreatePort)(REFCLSID rclsidPort, LPDMUS_PORTPARAMS pPortParams, LPDIRECTMUSICPORT* ppPort,
                        LPUNKNOWN pUnkOuter) PURE;
  STDMETHOD(SetDirectSound)(struct IDirectSound* pDirectSound, HWND hWnd) PURE;
};
typedef IDirectMusic* LPDIRECTMUSIC;
