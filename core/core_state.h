// The core's global state, read directly by the other components.
#ifndef KR_CORE_STATE_H
#define KR_CORE_STATE_H

#include <windows.h>

typedef struct KRCORESTATE {
  DWORD bStarted;
  HWND hWnd;
  HINSTANCE hInstance;
  GUID guidApplication;
  DWORD bDebugLog;
  DWORD bAllocTrace;
  DWORD dwAllocSerial;  // serial number of the next allocation; survives KRCleanup
} KRCORESTATE;

extern KRCORESTATE g_krCore;

#endif
