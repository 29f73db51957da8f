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
// Video: display devices, display modes, surfaces and presentation.

struct IDirectDraw4;
struct IDirectDrawSurface4;

#define KRVIDEO_DEVICE_MAX 32
#define KRVIDEO_MODE_MAX   256
#define KRVIDEO_DEVICENAME_MAX 256

// Capability flags of a display device (KRVIDEODEVICEINFO.dwFlags).
#define KRVIDEODEVICE_WINDOWED     0x02
#define KRVIDEODEVICE_GAMMA        0x04
#define KRVIDEODEVICE_COLORCONTROL 0x08
#define KRVIDEODEVICE_3D           0x10

// How KRVideoShow presents the back buffer.
#define KRVIDEO_SHOWMODE_FLIP 2
#define KRVIDEO_SHOWMODE_BLIT 4

typedef struct KRVIDEODEVICEINFO {
  char szName[KRVIDEO_DEVICENAME_MAX];
  DWORD dwFlags;
} KRVIDEODEVICEINFO;

typedef struct KRVIDEOMODEINFO {
  DWORD dwWidth;
  DWORD dwHeight;
  DWORD dwBitCount;
} KRVIDEOMODEINFO;

KRAPI int KRVideoGetDeviceCount(void);
KRAPI void KRVideoGetDeviceInfo(KRVIDEODEVICEINFO* info, int index);
KRAPI int KRVideoStartup(int index);
KRAPI int KRVideoStartup(char* name);
KRAPI int KRVideoGetCurrentDevice(void);
KRAPI int KRVideoGetModeCount(void);
KRAPI void KRVideoGetModeInfo(KRVIDEOMODEINFO* info, int index);
KRAPI int KRVideoGetVideoMemoryTotal(void);
KRAPI int KRVideoGetVideoMemoryFree(void);

KRAPI int KRVideoSetVideoMode(unsigned long width, unsigned long height, unsigned long depth);
KRAPI int KRVideoSetVideoMode(unsigned long width, unsigned long height);
KRAPI int KRVideoGetVideoMode(unsigned long* width, unsigned long* height, unsigned long* depth, int* fullScreen);
KRAPI int KRVideoSetShowMode(unsigned long mode);
KRAPI int KRVideoShow(void);
KRAPI void KRVideoClear(unsigned long colour, int buffer);
KRAPI int KRVideoIsLost(void);
KRAPI int KRVideoRestore(void);
KRAPI void KRVideoRestoreVideoMode(void);
KRAPI int KRVideoFlipToGDI(void);
KRAPI void KRVideoCleanup(void);
KRAPI void KRVideoGetDirectDrawInterface(IDirectDraw4** out);
KRAPI void KRVideoGetDirectDrawSurfaceInterface(IDirectDrawSurface4** primary, IDirectDrawSurface4** back);

// ---------------------------------------------------------------------------
// 2D: the buffer table, sprites and text.

#define KR2D_BUFFER_MAX     33
#define KR2D_BUFFER_PRIMARY 1
#define KR2D_BUFFER_BACK    2

// One sprite of a batch: a rectangle of a source buffer and where it goes.
typedef struct KR2DDRAWSPRITE {
  int nSrcX;
  int nSrcY;
  int nWidth;
  int nHeight;
  int nSrcBuffer;
  int nDstX;
  int nDstY;
} KR2DDRAWSPRITE;

KRAPI int KR2DStartup(void);
KRAPI void KR2DCleanup(void);
KRAPI int KR2DCreateBuffer(const char* name);
KRAPI void KR2DReleaseBuffer(int buffer);
KRAPI HDC KR2DGetDC(int buffer);
KRAPI int KR2DReleaseDC(HDC dc, int buffer);
KRAPI void KR2DDrawSprite(int srcX, int srcY, int width, int height, int srcBuffer, int dstX, int dstY, int dstBuffer);
KRAPI void KR2DDrawSpriteBatch(KR2DDRAWSPRITE* sprites, int count, int dstBuffer);

KRAPI void KR2DSetFont(LOGFONTA* singleByte, LOGFONTA* doubleByte);
KRAPI void KR2DSetFontSize(float width, float height);
KRAPI void KR2DSetTextColor(unsigned long text, unsigned long background, int backgroundMode);
KRAPI void KR2DSetTextAlign(unsigned int align);
KRAPI void KR2DGetCurrentTextPosition(int* x, int* y);
KRAPI int KR2DTextOut(int x, int y, const char* text, int buffer);
KRAPI int KR2DTextOut(float x, float y, const char* text, int buffer);
KRAPI void KR2DTextOut(const char* text, int buffer);
KRAPI int KR2DGetTextExtentPoint32(const char* text, SIZE* size, int buffer);
KRAPI int KR2DGetTextExtentPoint32(const char* text, float* width, float* height, int buffer);

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
static_assert(sizeof(KRVIDEODEVICEINFO) == 260, "KRVIDEODEVICEINFO is 260 bytes");
static_assert(offsetof(KRVIDEODEVICEINFO, dwFlags) == 256, "KRVIDEODEVICEINFO.dwFlags");
static_assert(sizeof(KRVIDEOMODEINFO) == 12, "KRVIDEOMODEINFO is 12 bytes");
static_assert(sizeof(KR2DDRAWSPRITE) == 28, "KR2DDRAWSPRITE is 28 bytes");
#endif

#endif  // KORVATHD_H
