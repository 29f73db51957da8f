// The DirectPlay lobby as the host build sees it: the lobby object, used by the
// library only to lay out compound addresses, served by platform/sim/dplay_lobby.cpp.
#pragma once

#include <dplay.h>

DEFINE_GUID(CLSID_DirectPlayLobby, 0x2FE8F810, 0xB2A5, 0x11D0, 0xA7, 0x87, 0x00, 0x00, 0xF8, 0x03, 0xAB, 0xFC);
DEFINE_GUID(IID_IDirectPlayLobbyA, 0x26C66A70, 0xB367, 0x11CF, 0xA0, 0x24, 0x00, 0xAA, 0x00, 0x61, 0x57, 0xAC);
DEFINE_GUID(IID_IDirectPlayLobby3A, 0x2DB72491, 0x652C, 0x11D1, 0xA7, 0xA8, 0x00, 0x00, 0xF8, 0x03, 0xAB, 0xFC);
// Address element types.
DEFINE_GUID(DPAID_TotalSize, 0x1318F560, 0x912C, 0x11D0, 0x9D, 0xAA, 0x00, 0xA0, 0xC9, 0x0A, 0x43, 0xCB);
DEFINE_GUID(DPAID_ServiceProvider, 0x07D916C0, 0xE0AF, 0x11CF, 0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E);
DEFINE_GUID(DPAID_INet, 0xC4A54DA0, 0xE0AF, 0x11CF, 0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E);

typedef struct DPCOMPOUNDADDRESSELEMENT {
  GUID guidDataType;
  DWORD dwDataSize;
  LPVOID lpData;
} DPCOMPOUNDADDRESSELEMENT, *LPDPCOMPOUNDADDRESSELEMENT;
typedef const DPCOMPOUNDADDRESSELEMENT* LPCDPCOMPOUNDADDRESSELEMENT;

// Records and callbacks the library never uses: known by name only.
struct DPAPPLICATIONDESC;
struct DPLAPPINFO;
typedef struct DPAPPLICATIONDESC* LPDPAPPLICATIONDESC;
typedef struct DPLAPPINFO* LPCDPLAPPINFO;
typedef BOOL(CALLBACK* LPDPENUMADDRESSCALLBACK)(REFGUID guidDataType, DWORD dwDataSize, LPCVOID lpData,
                                                 LPVOID lpContext);
typedef BOOL(CALLBACK* LPDPLENUMADDRESSTYPESCALLBACK)(REFGUID guidDataType, LPVOID lpContext, DWORD dwFlags);
typedef BOOL(CALLBACK* LPDPLENUMLOCALAPPLICATIONSCALLBACK)(LPCDPLAPPINFO lpAppInfo, LPVOID lpContext,
                                                           DWORD dwFlags);

struct IDirectPlayLobbyA : public IUnknown {
  STDMETHOD(Connect)(DWORD dwFlags, IDirectPlay4** lplpDP, IUnknown* pUnk) PURE;
  STDMETHOD(CreateAddress)(REFGUID guidSP, REFGUID guidDataType, LPCVOID lpData, DWORD dwDataSize, LPVOID lpAddress,
                           LPDWORD lpdwAddressSize) PURE;
  STDMETHOD(EnumAddress)(LPDPENUMADDRESSCALLBACK lpEnumAddressCallback, LPCVOID lpAddress, DWORD dwAddressSize,
                         LPVOID lpContext) PURE;
  STDMETHOD(EnumAddressTypes)(LPDPLENUMADDRESSTYPESCALLBACK lpEnumAddressTypeCallback, REFGUID guidSP,
                              LPVOID lpContext, DWORD dwFlags) PURE;
  STDMETHOD(EnumLocalApplications)(LPDPLENUMLOCALAPPLICATIONSCALLBACK lpEnumLocalAppCallback, LPVOID lpContext,
                                   DWORD dwFlags) PURE;
  STDMETHOD(GetConnectionSettings)(DWORD dwAppID, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(ReceiveLobbyMessage)(DWORD dwFlags, DWORD dwAppID, LPDWORD lpdwMessageFlags, LPVOID lpData,
                                 LPDWORD lpdwDataSize) PURE;
  STDMETHOD(RunApplication)(DWORD dwFlags, LPDWORD lpdwAppId, LPDPLCONNECTION lpConn, HANDLE hReceiveEvent) PURE;
  STDMETHOD(SendLobbyMessage)(DWORD dwFlags, DWORD dwAppID, LPVOID lpData, DWORD dwDataSize) PURE;
  STDMETHOD(SetConnectionSettings)(DWORD dwFlags, DWORD dwAppID, LPDPLCONNECTION lpConn) PURE;
  STDMETHOD(SetLobbyMessageEvent)(DWORD dwFlags, DWORD dwAppID, HANDLE hReceiveEvent) PURE;
};

struct IDirectPlayLobby2A : public IDirectPlayLobbyA {
  STDMETHOD(CreateCompoundAddress)(LPCDPCOMPOUNDADDRESSELEMENT lpElements, DWORD dwElementCount, LPVOID lpAddress,
                                   LPDWORD lpdwAddressSize) PURE;
};

struct IDirectPlayLobby3A : public IDirectPlayLobby2A {
  STDMETHOD(ConnectEx)(DWORD dwFlags, REFIID riid, LPVOID* lplpDP, IUnknown* pUnk) PURE;
  STDMETHOD(RegisterApplication)(DWORD dwFlags, LPDPAPPLICATIONDESC lpAppDesc) PURE;
  STDMETHOD(UnregisterApplication)(DWORD dwFlags, REFGUID guidApplication) PURE;
  STDMETHOD(WaitForConnectionSettings)(DWORD dwFlags) PURE;
};
typedef struct IDirectPlayLobbyA* LPDIRECTPLAYLOBBYA;
typedef struct IDirectPlayLobby3A* LPDIRECTPLAYLOBBY3A;
