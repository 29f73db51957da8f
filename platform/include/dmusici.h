// DirectMusic performance layer (host build): loader, segments and the
// performance, in their published form. Interfaces list the methods this
// library calls.
#pragma once

#include <dmusicc.h>

DEFINE_GUID(CLSID_DirectMusicLoader, 0xD2AC2892, 0xB39B, 0x11D1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD);
DEFINE_GUID(CLSID_DirectMusicPerformance, 0xD2AC2881, 0xB39B, 0x11D1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1,
            0xBD);
DEFINE_GUID(CLSID_DirectMusicSegment, 0xD2AC2882, 0xB39B, 0x11D1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD);
DEFINE_GUID(IID_IDirectMusicLoader, 0x2FFAACA2, 0x5DCA, 0x11D2, 0xAF, 0xA6, 0x00, 0xAA, 0x00, 0x24, 0xD8, 0xB6);
DEFINE_GUID(IID_IDirectMusicPerformance, 0x07D43D03, 0x6523, 0x11D2, 0x87, 0x1D, 0x00, 0x60, 0x08, 0x93, 0xB1,
            0xBD);
DEFINE_GUID(IID_IDirectMusicSegment, 0xF96029A2, 0x4282, 0x11D2, 0x87, 0x17, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD);
DEFINE_GUID(GUID_DirectMusicAllTypes, 0xD2AC2893, 0xB39B, 0x11D1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD);

typedef LONG MUSIC_TIME;
typedef LONGLONG REFERENCE_TIME;

#define DMUS_MAX_NAME 0x40
#define DMUS_MAX_CATEGORY 0x40
#define DMUS_MAX_FILENAME MAX_PATH

// Valid fields of an object description.
#define DMUS_OBJ_OBJECT 0x001
#define DMUS_OBJ_CLASS 0x002
#define DMUS_OBJ_NAME 0x004
#define DMUS_OBJ_CATEGORY 0x008
#define DMUS_OBJ_FILENAME 0x010
#define DMUS_OBJ_FULLPATH 0x020

typedef struct _DMUS_VERSION {
  DWORD dwVersionMS;
  DWORD dwVersionLS;
} DMUS_VERSION, *LPDMUS_VERSION;

struct IStream;

typedef struct _DMUS_OBJECTDESC {
  DWORD dwSize;
  DWORD dwValidData;
  GUID guidObject;
  GUID guidClass;
  FILETIME ftDate;
  DMUS_VERSION vVersion;
  WCHAR wszName[DMUS_MAX_NAME];
  WCHAR wszCategory[DMUS_MAX_CATEGORY];
  WCHAR wszFileName[DMUS_MAX_FILENAME];
  LONGLONG llMemLength;
  LPBYTE pbMemData;
  struct IStream* pStream;
} DMUS_OBJECTDESC, *LPDMUS_OBJECTDESC;

struct IDirectMusicSegmentState : public IUnknown {};

struct IDirectMusicSegment : public IUnknown {
  STDMETHOD(SetRepeats)(DWORD dwRepeats) PURE;
};

struct IDirectMusicLoader : public IUnknown {
  STDMETHOD(GetObject)(LPDMUS_OBJECTDESC pDesc, REFIID riid, LPVOID* ppv) PURE;
  STDMETHOD(SetSearchDirectory)(REFGUID rguidClass, WCHAR* pwzPath, BOOL fClear) PURE;
};

struct IDirectMusicPerformance : public IUnknown {
  STDMETHOD(Init)(IDirectMusic** ppDirectMusic, struct IDirectSound* pDirectSound, HWND hWnd) PURE;
  STDMETHOD(PlaySegment)(IDirectMusicSegment* pSegment, DWORD dwFlags, REFERENCE_TIME i64StartTime,
                         IDirectMusicSegmentState** ppSegmentState) PURE;
  STDMETHOD(Stop)(IDirectMusicSegment* pSegment, IDirectMusicSegmentState* pSegmentState, MUSIC_TIME mtTime,
                  DWORD dwFlags) PURE;
  STDMETHOD(CloseDown)() PURE;
  STDMETHOD(AddPort)(IDirectMusicPort* pPort) PURE;
  STDMETHOD(RemovePort)(IDirectMusicPort* pPort) PURE;
  STDMETHOD(AssignPChannelBlock)(DWORD dwBlockNum, IDirectMusicPort* pPort, DWORD dwGroup) PURE;
};
