// DirectShow (host build): a filter graph that renders a file, runs, stops,
// seeks, shows its video in a window and reports its events. Interfaces list
// the methods this library calls.
#pragma once

#include <windows.h>
#include <objbase.h>

DEFINE_GUID(CLSID_FilterGraph, 0xE436EBB3, 0x524F, 0x11CE, 0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IGraphBuilder, 0x56A868A9, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IMediaControl, 0x56A868B1, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IMediaPosition, 0x56A868B2, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IVideoWindow, 0x56A868B4, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IMediaEventEx, 0x56A868C0, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);

typedef LONG_PTR OAHWND;
typedef LONG_PTR OAEVENT;
typedef double REFTIME;
typedef LONG OAFilterState;

#define OATRUE (-1)
#define OAFALSE (0)

// Events.
#define EC_COMPLETE 0x01
#define EC_CLOCK_CHANGED 0x0D
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03

#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218)

struct IGraphBuilder : public IUnknown {
  STDMETHOD(RenderFile)(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) PURE;
};

struct IMediaControl : public IUnknown {
  STDMETHOD(Run)() PURE;
  STDMETHOD(Pause)() PURE;
  STDMETHOD(Stop)() PURE;
};

struct IMediaPosition : public IUnknown {
  STDMETHOD(put_CurrentPosition)(REFTIME llTime) PURE;
  STDMETHOD(get_CurrentPosition)(REFTIME* pllTime) PURE;
};

struct IVideoWindow : public IUnknown {
  STDMETHOD(put_Visible)(LONG Visible) PURE;
  STDMETHOD(put_Owner)(OAHWND Owner) PURE;
  STDMETHOD(put_FullScreenMode)(LONG FullScreenMode) PURE;
};

struct IMediaEventEx : public IUnknown {
  STDMETHOD(GetEvent)(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) PURE;
  STDMETHOD(FreeEventParams)(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) PURE;
  STDMETHOD(SetNotifyWindow)(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) PURE;
};
