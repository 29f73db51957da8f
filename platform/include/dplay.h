// DirectPlay 4 as the host build sees it: the play object with its interfaces
// (the old IDirectPlay, IDirectPlay4A and the wide IDirectPlay4, one vtable),
// its records, system messages and results, served by platform/sim/dplay_*.cpp.
#pragma once

#include <windows.h>
#include <objbase.h>

// ---- Class, interface and service-provider identifiers ------------------------------
DEFINE_GUID(CLSID_DirectPlay, 0xD1EB6D20, 0x8923, 0x11D0, 0x9D, 0x97, 0x00, 0xA0, 0xC9, 0x0A, 0x43, 0xCB);
DEFINE_GUID(IID_IDirectPlay, 0x5454E9A0, 0xDB65, 0x11CE, 0x92, 0x1C, 0x00, 0xAA, 0x00, 0x6C, 0x49, 0x72);
DEFINE_GUID(IID_IDirectPlay4, 0x0AB1C530, 0x4745, 0x11D1, 0xA7, 0xA1, 0x00, 0x00, 0xF8, 0x03, 0xAB, 0xFC);
DEFINE_GUID(IID_IDirectPlay4A, 0x0AB1C531, 0x4745, 0x11D1, 0xA7, 0xA1, 0x00, 0x00, 0xF8, 0x03, 0xAB, 0xFC);
DEFINE_GUID(DPSPGUID_IPX, 0x685BC400, 0x9D2C, 0x11CF, 0xA9, 0xCD, 0x00, 0xAA, 0x00, 0x68, 0x86, 0xE3);
DEFINE_GUID(DPSPGUID_TCPIP, 0x36E95EE0, 0x8577, 0x11CF, 0x96, 0x0C, 0x00, 0x80, 0xC7, 0x53, 0x4E, 0x82);
DEFINE_GUID(DPSPGUID_SERIAL, 0x0F1D6860, 0x88D9, 0x11CF, 0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E);
DEFINE_GUID(DPSPGUID_MODEM, 0x44EAA760, 0xCB68, 0x11CF, 0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E);

// ---- Results ---------------------------------------------------------------------------
#define _FACDP 0x877
#define MAKE_DPHRESULT(code) MAKE_HRESULT(1, _FACDP, code)
#define DP_OK S_OK
#define DPERR_ALREADYINITIALIZED MAKE_DPHRESULT(5)
#define DPERR_BUFFERTOOSMALL MAKE_DPHRESULT(30)
#define DPERR_CANTCREATEGROUP MAKE_DPHRESULT(50)
#define DPERR_CANTCREATEPLAYER MAKE_DPHRESULT(60)
#define DPERR_CANTCREATESESSION MAKE_DPHRESULT(70)
#define DPERR_GENERIC E_FAIL
#define DPERR_INVALIDPARAM E_INVALIDARG
#define DPERR_INVALIDPARAMS DPERR_INVALIDPARAM
#define DPERR_INVALIDPLAYER MAKE_DPHRESULT(150)
#define DPERR_INVALIDGROUP MAKE_DPHRESULT(155)
#define DPERR_NOCONNECTION MAKE_DPHRESULT(170)
#define DPERR_NOMESSAGES MAKE_DPHRESULT(190)
#define DPERR_NOSESSIONS MAKE_DPHRESULT(220)
#define DPERR_PENDING E_PENDING
#define DPERR_UNAVAILABLE MAKE_DPHRESULT(250)
#define DPERR_UNSUPPORTED E_NOTIMPL
#define DPERR_UNINITIALIZED MAKE_DPHRESULT(320)
#define DPERR_CONNECTING MAKE_DPHRESULT(350)

// ---- Ids and flags -----------------------------------------------------------------------
typedef DWORD DPID;
typedef DPID* LPDPID;
#define DPID_SYSMSG 0
#define DPID_ALLPLAYERS 0

#define DPOPEN_JOIN 0x00000001
#define DPOPEN_CREATE 0x00000002
#define DPSESSION_MIGRATEHOST 0x00000004
#define DPESC_TIMEDOUT 0x00000001
#define DPENUMPLAYERS_ALL 0x00000000
#define DPENUMPLAYERS_SESSION 0x00000080
#define DPENUMSESSIONS_AVAILABLE 0x00000001
#define DPENUMSESSIONS_ALL 0x00000002
#define DPENUMSESSIONS_ASYNC 0x00000010
#define DPENUMSESSIONS_STOPASYNC 0x00000020
#define DPRECEIVE_ALL 0x00000001
#define DPSEND_GUARANTEED 0x00000001
#define DPSEND_ASYNC 0x00000200
#define DPSEND_NOSENDCOMPLETEMSG 0x00000400
#define DPPLAYERTYPE_GROUP 0x00000000
#define DPPLAYERTYPE_PLAYER 0x00000001

// System messages (sender DPID_SYSMSG): the first DWORD of each record.
#define DPSYS_CREATEPLAYERORGROUP 0x0003
#define DPSYS_DESTROYPLAYERORGROUP 0x0005
#define DPSYS_ADDPLAYERTOGROUP 0x0007
#define DPSYS_DELETEPLAYERFROMGROUP 0x0021
#define DPSYS_SESSIONLOST 0x0031
#define DPSYS_HOST 0x0101
#define DPSYS_SETPLAYERORGROUPDATA 0x0102
#define DPSYS_SETPLAYERORGROUPNAME 0x0103
#define DPSYS_SETSESSIONDESC 0x0104
#define DPSYS_SECUREMESSAGE 0x0107
#define DPSYS_STARTSESSION 0x0108
#define DPSYS_CHAT 0x0109

// ---- Records -------------------------------------------------------------------------------
typedef struct DPNAME {
  DWORD dwSize;
  DWORD dwFlags;
  union {
    LPWSTR lpszShortName;
    LPSTR lpszShortNameA;
  };
  union {
    LPWSTR lpszLongName;
    LPSTR lpszLongNameA;
  };
} DPNAME, *LPDPNAME;
typedef const DPNAME* LPCDPNAME;

typedef struct DPCHAT {
  DWORD dwSize;
  DWORD dwFlags;
  union {
    LPWSTR lpszMessage;
    LPSTR lpszMessageA;
  };
} DPCHAT, *LPDPCHAT;

typedef struct DPSESSIONDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  GUID guidInstance;
  GUID guidApplication;
  DWORD dwMaxPlayers;
  DWORD dwCurrentPlayers;
  union {
    LPWSTR lpszSessionName;
    LPSTR lpszSessionNameA;
  };
  union {
    LPWSTR lpszPassword;
    LPSTR lpszPasswordA;
  };
  DWORD dwReserved1;
  DWORD dwReserved2;
  DWORD dwUser1;
  DWORD dwUser2;
  DWORD dwUser3;
  DWORD dwUser4;
} DPSESSIONDESC2, *LPDPSESSIONDESC2;
typedef const DPSESSIONDESC2* LPCDPSESSIONDESC2;

typedef struct DPMSG_GENERIC {
  DWORD dwType;
} DPMSG_GENERIC, *LPDPMSG_GENERIC;

typedef struct DPMSG_CREATEPLAYERORGROUP {
  DWORD dwType;
  DWORD dwPlayerType;
  DPID dpId;
  DWORD dwCurrentPlayers;
  LPVOID lpData;
  DWORD dwDataSize;
  DPNAME dpnName;
  DPID dpIdParent;
  DWORD dwFlags;
} DPMSG_CREATEPLAYERORGROUP, *LPDPMSG_CREATEPLAYERORGROUP;

typedef struct DPMSG_DESTROYPLAYERORGROUP {
  DWORD dwType;
  DWORD dwPlayerType;
  DPID dpId;
  LPVOID lpLocalData;
  DWORD dwLocalDataSize;
  LPVOID lpRemoteData;
  DWORD dwRemoteDataSize;
  DPNAME dpnName;
  DPID dpIdParent;
  DWORD dwFlags;
} DPMSG_DESTROYPLAYERORGROUP, *LPDPMSG_DESTROYPLAYERORGROUP;

typedef struct DPMSG_ADDPLAYERTOGROUP {
  DWORD dwType;
  DPID dpIdGroup;
  DPID dpIdPlayer;
} DPMSG_ADDPLAYERTOGROUP, *LPDPMSG_ADDPLAYERTOGROUP;
typedef DPMSG_ADDPLAYERTOGROUP DPMSG_DELETEPLAYERFROMGROUP;
typedef DPMSG_DELETEPLAYERFROMGROUP* LPDPMSG_DELETEPLAYERFROMGROUP;

typedef struct DPMSG_HOST {
  DWORD dwType;
} DPMSG_HOST, *LPDPMSG_HOST;

typedef struct DPMSG_SESSIONLOST {
  DWORD dwType;
} DPMSG_SESSIONLOST, *LPDPMSG_SESSIONLOST;

typedef struct DPMSG_CHAT {
  DWORD dwType;
  DWORD dwFlags;
  DPID idFromPlayer;
  DPID idToPlayer;
  DPID idToGroup;
  LPDPCHAT lpChat;
} DPMSG_CHAT, *LPDPMSG_CHAT;

// Records the library never builds: known by name only.
struct DPCAPS;
struct DPSECURITYDESC;
struct DPCREDENTIALS;
struct DPLCONNECTION;
typedef struct DPCAPS* LPDPCAPS;
typedef const struct DPSECURITYDESC* LPCDPSECURITYDESC;
typedef const struct DPCREDENTIALS* LPCDPCREDENTIALS;
typedef struct DPLCONNECTION* LPDPLCONNECTION;

// ---- Callbacks -------------------------------------------------------------------------------
typedef BOOL(CALLBACK* LPDPENUMCONNECTIONSCALLBACK)(LPCGUID lpguidSP, LPVOID lpConnection, DWORD dwConnectionSize,
                                                     LPCDPNAME lpName, DWORD dwFlags, LPVOID lpContext);
typedef BOOL(CALLBACK* LPDPENUMSESSIONSCALLBACK2)(LPCDPSESSIONDESC2 lpThisSD, LPDWORD lpdwTimeOut, DWORD dwFlags,
                                                   LPVOID lpContext);
typedef BOOL(CALLBACK* LPDPENUMPLAYERSCALLBACK2)(DPID dpId, DWORD dwPlayerType, LPCDPNAME lpName, DWORD dwFlags,
                                                  LPVOID lpContext);
typedef BOOL(CALLBACK* LPDPENUMPLAYERSCALLBACK)(DPID dpId, LPSTR lpFriendlyName, LPSTR lpFormalName, DWORD dwFlags,
                                                 LPVOID lpContext);
typedef BOOL(CALLBACK* LPDPENUMSESSIONSCALLBACK)(struct DPSESSIONDESC* lpDPSessionDesc, LPVOID lpContext,
                                                  LPDWORD lpdwTimeOut, DWORD dwFlags);

// ---- Interfaces -----------------------------------------------------------------------------
// The first DirectPlay interface: only asked for at creation and queried onwards.
struct IDirectPlay : public IUnknown {
  STDMETHOD(AddPlayerToGroup)(DPID idGroup, DPID idPlayer) PURE;
  STDMETHOD(Close)() PURE;
  STDMETHOD(CreatePlayer)(LPDPID lpidPlayer, LPSTR lpFriendlyName, LPSTR lpFormalName, LPHANDLE lpEvent) PURE;
  STDMETHOD(CreateGroup)(LPDPID lpidGroup, LPSTR lpFriendlyName, LPSTR lpFormalName) PURE;
  STDMETHOD(DeletePlayerFromGroup)(DPID idGroup, DPID idPlayer) PURE;
  STDMETHOD(DestroyPlayer)(DPID idPlayer) PURE;
  STDMETHOD(DestroyGroup)(DPID idGroup) PURE;
  STDMETHOD(EnableNewPlayers)(BOOL bEnable) PURE;
  STDMETHOD(EnumGroupPlayers)(DPID idGroup, LPDPENUMPLAYERSCALLBACK lpEnumCallback, LPVOID lpContext,
                              DWORD dwFlags) PURE;
  STDMETHOD(EnumGroups)(DWORD dwSessionID, LPDPENUMPLAYERSCALLBACK lpEnumCallback, LPVOID lpContext,
                        DWORD dwFlags) PURE;
  STDMETHOD(EnumPlayers)(DWORD dwSessionID, LPDPENUMPLAYERSCALLBACK lpEnumCallback, LPVOID lpContext,
                         DWORD dwFlags) PURE;
  STDMETHOD(EnumSessions)(struct DPSESSIONDESC* lpSDesc, DWORD dwTimeout, LPDPENUMSESSIONSCALLBACK lpEnumCallback,
                          LPVOID lpContext, DWORD dwFlags) PURE;
  STDMETHOD(GetCaps)(LPDPCAPS lpDPCaps) PURE;
  STDMETHOD(GetMessageCount)(DPID idPlayer, LPDWORD lpdwCount) PURE;
  STDMETHOD(GetPlayerCaps)(DPID idPlayer, LPDPCAPS lpPlayerCaps) PURE;
  STDMETHOD(GetPlayerName)(DPID idPlayer, LPSTR lpFriendlyName, LPDWORD lpdwFriendlyNameLength, LPSTR lpFormalName,
                           LPDWORD lpdwFormalNameLength) PURE;
  STDMETHOD(Initialize)(LPGUID lpGUID) PURE;
  STDMETHOD(Open)(struct DPSESSIONDESC* lpSDesc) PURE;
  STDMETHOD(Receive)(LPDPID lpidFrom, LPDPID lpidTo, DWORD dwFlags, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(SaveSession)(LPSTR lpSessionName) PURE;
  STDMETHOD(Send)(DPID idFrom, DPID idTo, DWORD dwFlags, LPVOID lpData, DWORD dwDataSize) PURE;
  STDMETHOD(SetPlayerName)(DPID idPlayer, LPSTR lpFriendlyName, LPSTR lpFormalName) PURE;
};

// IDirectPlay4 and IDirectPlay4A share this vtable; the wide interface reads
// and writes the string unions' wide members, the ANSI one their A members.
struct IDirectPlay4 : public IUnknown {
  // IDirectPlay2
  STDMETHOD(AddPlayerToGroup)(DPID idGroup, DPID idPlayer) PURE;
  STDMETHOD(Close)() PURE;
  STDMETHOD(CreateGroup)(LPDPID lpidGroup, LPDPNAME lpGroupName, LPVOID lpData, DWORD dwDataSize,
                         DWORD dwFlags) PURE;
  STDMETHOD(CreatePlayer)(LPDPID lpidPlayer, LPDPNAME lpPlayerName, HANDLE hEvent, LPVOID lpData, DWORD dwDataSize,
                          DWORD dwFlags) PURE;
  STDMETHOD(DeletePlayerFromGroup)(DPID idGroup, DPID idPlayer) PURE;
  STDMETHOD(DestroyGroup)(DPID idGroup) PURE;
  STDMETHOD(DestroyPlayer)(DPID idPlayer) PURE;
  STDMETHOD(EnumGroupPlayers)(DPID idGroup, LPGUID lpguidInstance, LPDPENUMPLAYERSCALLBACK2 lpEnumPlayersCallback2,
                              LPVOID lpContext, DWORD dwFlags) PURE;
  STDMETHOD(EnumGroups)(LPGUID lpguidInstance, LPDPENUMPLAYERSCALLBACK2 lpEnumPlayersCallback2, LPVOID lpContext,
                        DWORD dwFlags) PURE;
  STDMETHOD(EnumPlayers)(LPGUID lpguidInstance, LPDPENUMPLAYERSCALLBACK2 lpEnumPlayersCallback2, LPVOID lpContext,
                         DWORD dwFlags) PURE;
  STDMETHOD(EnumSessions)(LPDPSESSIONDESC2 lpsd, DWORD dwTimeout, LPDPENUMSESSIONSCALLBACK2 lpEnumSessionsCallback2,
                          LPVOID lpContext, DWORD dwFlags) PURE;
  STDMETHOD(GetCaps)(LPDPCAPS lpDPCaps, DWORD dwFlags) PURE;
  STDMETHOD(GetGroupData)(DPID idGroup, LPVOID lpData, LPDWORD lpdwDataSize, DWORD dwFlags) PURE;
  STDMETHOD(GetGroupName)(DPID idGroup, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(GetMessageCount)(DPID idPlayer, LPDWORD lpdwCount) PURE;
  STDMETHOD(GetPlayerAddress)(DPID idPlayer, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(GetPlayerCaps)(DPID idPlayer, LPDPCAPS lpPlayerCaps, DWORD dwFlags) PURE;
  STDMETHOD(GetPlayerData)(DPID idPlayer, LPVOID lpData, LPDWORD lpdwDataSize, DWORD dwFlags) PURE;
  STDMETHOD(GetPlayerName)(DPID idPlayer, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(GetSessionDesc)(LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(Initialize)(LPGUID lpGUID) PURE;
  STDMETHOD(Open)(LPDPSESSIONDESC2 lpsd, DWORD dwFlags) PURE;
  STDMETHOD(Receive)(LPDPID lpidFrom, LPDPID lpidTo, DWORD dwFlags, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(Send)(DPID idFrom, DPID idTo, DWORD dwFlags, LPVOID lpData, DWORD dwDataSize) PURE;
  STDMETHOD(SetGroupData)(DPID idGroup, LPVOID lpData, DWORD dwDataSize, DWORD dwFlags) PURE;
  STDMETHOD(SetGroupName)(DPID idGroup, LPDPNAME lpGroupName, DWORD dwFlags) PURE;
  STDMETHOD(SetPlayerData)(DPID idPlayer, LPVOID lpData, DWORD dwDataSize, DWORD dwFlags) PURE;
  STDMETHOD(SetPlayerName)(DPID idPlayer, LPDPNAME lpPlayerName, DWORD dwFlags) PURE;
  STDMETHOD(SetSessionDesc)(LPDPSESSIONDESC2 lpSessDesc, DWORD dwFlags) PURE;
  // IDirectPlay3
  STDMETHOD(AddGroupToGroup)(DPID idParentGroup, DPID idGroup) PURE;
  STDMETHOD(CreateGroupInGroup)(DPID idParentGroup, LPDPID lpidGroup, LPDPNAME lpGroupName, LPVOID lpData,
                                DWORD dwDataSize, DWORD dwFlags) PURE;
  STDMETHOD(DeleteGroupFromGroup)(DPID idParentGroup, DPID idGroup) PURE;
  STDMETHOD(EnumConnections)(LPCGUID lpguidApplication, LPDPENUMCONNECTIONSCALLBACK lpEnumCallback, LPVOID lpContext,
                             DWORD dwFlags) PURE;
  STDMETHOD(EnumGroupsInGroup)(DPID idGroup, LPGUID lpguidInstance, LPDPENUMPLAYERSCALLBACK2 lpEnumCallback,
                               LPVOID lpContext, DWORD dwFlags) PURE;
  STDMETHOD(GetGroupConnectionSettings)(DWORD dwFlags, DPID idGroup, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(InitializeConnection)(LPVOID lpConnection, DWORD dwFlags) PURE;
  STDMETHOD(SecureOpen)(LPCDPSESSIONDESC2 lpsd, DWORD dwFlags, LPCDPSECURITYDESC lpSecurity,
                        LPCDPCREDENTIALS lpCredentials) PURE;
  STDMETHOD(SendChatMessage)(DPID idFrom, DPID idTo, DWORD dwFlags, LPDPCHAT lpChatMessage) PURE;
  STDMETHOD(SetGroupConnectionSettings)(DWORD dwFlags, DPID idGroup, LPDPLCONNECTION lpConnection) PURE;
  STDMETHOD(StartSession)(DWORD dwFlags, DPID idGroup) PURE;
  STDMETHOD(GetGroupFlags)(DPID idGroup, LPDWORD lpdwFlags) PURE;
  STDMETHOD(GetGroupParent)(DPID idGroup, LPDPID lpidParent) PURE;
  STDMETHOD(GetPlayerAccount)(DPID idPlayer, DWORD dwFlags, LPVOID lpData, LPDWORD lpdwDataSize) PURE;
  STDMETHOD(GetPlayerFlags)(DPID idPlayer, LPDWORD lpdwFlags) PURE;
  // IDirectPlay4
  STDMETHOD(GetGroupOwner)(DPID idGroup, LPDPID lpidOwner) PURE;
  STDMETHOD(SetGroupOwner)(DPID idGroup, DPID idOwner) PURE;
  STDMETHOD(SendEx)(DPID idFrom, DPID idTo, DWORD dwFlags, LPVOID lpData, DWORD dwDataSize, DWORD dwPriority,
                    DWORD dwTimeout, LPVOID lpContext, LPDWORD lpdwMsgID) PURE;
  STDMETHOD(GetMessageQueue)(DPID idFrom, DPID idTo, DWORD dwFlags, LPDWORD lpdwNumMsgs, LPDWORD lpdwNumBytes) PURE;
  STDMETHOD(CancelMessage)(DWORD dwMsgID, DWORD dwFlags) PURE;
  STDMETHOD(CancelPriority)(DWORD dwMinPriority, DWORD dwMaxPriority, DWORD dwFlags) PURE;
};
typedef struct IDirectPlay4 IDirectPlay4A;
typedef struct IDirectPlay* LPDIRECTPLAY;
typedef struct IDirectPlay4* LPDIRECTPLAY4;
typedef struct IDirectPlay4* LPDIRECTPLAY4A;
