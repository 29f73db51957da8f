// KORVATHD: game services over DirectX 6.
// The exported interface: plain functions with C++ linkage, records with fixed 32-bit layouts.
#ifndef KORVATHD_H
#define KORVATHD_H

#include <windows.h>

#if defined(_WIN32)
#  if defined(KORVATHD_BUILD)
#    define KRAPI __declspec(dllexport)
#  else
#    define KRAPI __declspec(dllimport)
#  endif
#else
#  define KRAPI __attribute__((visibility("default")))
#endif

// ---------------------------------------------------------------------------
// Core: start-up, clean-up, version

#define KRSTARTUP_DEBUGLOG   0x00000001  // open the debug log at start-up
#define KRSTARTUP_ALLOCTRACE 0x00000002  // log every allocation and release

#define KR_DEBUGFILENAME_MAX 260

typedef struct KRSTARTUPINFO {
  HWND hWnd;
  HINSTANCE hInstance;
  GUID guidApplication;
  DWORD dwFlags;
  char szDebugFileName[KR_DEBUGFILENAME_MAX];
} KRSTARTUPINFO;

typedef struct KRVERSIONINFO {
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
} KRVERSIONINFO;

KRAPI int KRStartup(KRSTARTUPINFO* info);
KRAPI void KRCleanup(void);
KRAPI int KRGetVersion(KRVERSIONINFO* info);
KRAPI int KRValidateKRSystems(void);

// ---------------------------------------------------------------------------
// Core: tagged allocator. Tags are up to 12 characters, as "KR3D:TEXTURE".

KRAPI void* KRAlloc(int size);
KRAPI void* KRAllocEx(int size, char* tag);
KRAPI void KRFree(void* block);

// ---------------------------------------------------------------------------
// Core: debug log

KRAPI int KRDebugStartup(const char* fileName);
KRAPI void KRDebugDump(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
KRAPI void KRDebugCleanup(void);

// ---------------------------------------------------------------------------
// Core: last error. Bits 12-15 name the component, bits 0-11 the failure.

#define KRERR_CORE    0x0000
#define KRERR_VIDEO   0x1000
#define KRERR_2D      0x2000
#define KRERR_3D      0x3000
#define KRERR_SOUND   0x4000
#define KRERR_MEDIA   0x5000
#define KRERR_MUSIC   0x6000
#define KRERR_INPUT   0x7000
#define KRERR_NETWORK 0x8000
#define KRERR_LIST    0x9000
#define KRERR_DEBUG   0xF000

#define KRERR_ALREADYSTARTED 1
#define KRERR_NOTSTARTED     2
#define KRERR_STARTUPFAILED  3
#define KRERR_FAILED         4
#define KRERR_INVALIDVALUE   5

#define KRERROR_TEXT_MAX 128  // bytes of the text copied by KRErrorGetLastError(char*)

KRAPI unsigned long KRErrorGetLastError(void);
KRAPI void KRErrorGetLastError(char* text);

// ---------------------------------------------------------------------------
// Lists: up to 32 doubly linked lists of pointers, handles 1 to 32.

#define KRLIST_MAX 33

KRAPI int KRListStartup(void);
KRAPI void KRListCleanup(void);
KRAPI int KRListCreateList(int capacity);
KRAPI void KRListReleaseList(int list);
KRAPI void KRListAddHead(int list, void* data);
KRAPI void KRListAddTail(int list, void* data);
KRAPI void* KRListRemoveHead(int list);
KRAPI void* KRListRemoveTail(int list);
KRAPI void* KRListGetHead(int list);
KRAPI void* KRListGetTail(int list);
KRAPI void KRListRemoveAll(int list);
KRAPI void KRListSetCurrentPosition(int list, int position);
KRAPI void* KRListGetNext(int list);
KRAPI void* KRListGetPrev(int list);
KRAPI void* KRListGetCurrentElement(int list);
KRAPI void* KRListRemoveCurrentElement(int list);
KRAPI void* KRListInsertBefore(int list, void* data);
KRAPI void* KRListInsertAfter(int list, void* data);
KRAPI void KRListFind(int list, void* data);
KRAPI void KRListFindIndex(int list, int index);
KRAPI int KRListGetCount(int list);
KRAPI int KRListIsEmpty(int list);

// ---------------------------------------------------------------------------
// The exported records keep their 32-bit Windows layouts.
#if defined(_WIN32) && !defined(_WIN64)
#include <stddef.h>
static_assert(sizeof(KRSTARTUPINFO) == 288, "KRSTARTUPINFO is 288 bytes");
static_assert(offsetof(KRSTARTUPINFO, hInstance) == 4, "KRSTARTUPINFO.hInstance");
static_assert(offsetof(KRSTARTUPINFO, guidApplication) == 8, "KRSTARTUPINFO.guidApplication");
static_assert(offsetof(KRSTARTUPINFO, dwFlags) == 24, "KRSTARTUPINFO.dwFlags");
static_assert(offsetof(KRSTARTUPINFO, szDebugFileName) == 28, "KRSTARTUPINFO.szDebugFileName");
static_assert(sizeof(KRVERSIONINFO) == 12, "KRVERSIONINFO is 12 bytes");
#endif

#endif  // KORVATHD_H
