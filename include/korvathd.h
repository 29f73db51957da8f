// KORVATHD: game services over DirectX 6.
// The exported interface: plain functions with C++ linkage, records with fixed 32-bit layouts.
#ifndef KORVATHD_H
#define KORVATHD_H

#include <windows.h>
#include <ddraw.h>
#include <d3dtypes.h>

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
// Input: keyboard, mouse and joysticks through DirectInput 5, and the ring of
// typed characters the window procedure fills.

struct IDirectInputA;

#define KRINPUT_NAME_MAX 521  // bytes of a device name: "instance(product)"

// Codes in the character ring besides the characters themselves.
#define KRCHAR_RIGHT     0x1C
#define KRCHAR_LEFT      0x1D
#define KRCHAR_UP        0x1E
#define KRCHAR_DOWN      0x1F
#define KRCHAR_DELETE    0x7F
#define KRCHAR_SHIFT     0x80
#define KRCHAR_CONTROL   0x81
#define KRCHAR_F1        0x83  // F1 to F12: 0x83 to 0x8E
#define KRCHAR_IMESTRING 0xFFFF  // a finished input-method string waits (KRInputGetImeStrings)

KRAPI int KRInputStartup(void);
KRAPI void KRInputCleanup(void);
KRAPI int KRInputGetKeyboardCount(void);
KRAPI int KRInputGetMouseCount(void);
KRAPI int KRInputGetJoystickCount(void);
KRAPI void KRInputGetKeyboardInfo(char* name, int* keys, int index);
KRAPI void KRInputGetMouseInfo(char* name, long* buttons, int index);
KRAPI void KRInputGetJoystickInfo(char* name, long* buttons, int index);
KRAPI int KRInputGetKeyboardState(char* keys, int index);  // 256 bytes, bit 7 while down
KRAPI int KRInputGetMouseState(long* x, long* y, long* z, long* buttons, int index);
KRAPI int KRInputGetJoystickState(long* x, long* y, long* z, long* buttons, int index);
// The DirectInput object with a reference added; the caller releases it.
KRAPI void KRInputGetDirectInputInterface(IDirectInputA** out);

// Window-message handlers: the message-map form (code, repeat, flags) and the
// window-procedure form (wParam, lParam).
KRAPI void KRInputOnChar(unsigned int ch, unsigned int repeat, unsigned int flags);
KRAPI void KRInputOnChar(unsigned int wParam, long lParam);
KRAPI void KRInputOnKeyDown(unsigned int key, unsigned int repeat, unsigned int flags);
KRAPI void KRInputOnKeyDown(unsigned int wParam, long lParam);
KRAPI unsigned int KRInputGetChar(void);  // 0 when the ring is empty
KRAPI void KRInputFlushCharBuffer(void);

// ---------------------------------------------------------------------------
// Input method: handlers the window procedure calls for the input-method
// messages, the finished strings (announced by KRCHAR_IMESTRING in the
// character ring), and drawing the input method's state on a buffer.

KRAPI int KRInputOnImeStartComposition(unsigned int wParam, long lParam);  // WM_IME_STARTCOMPOSITION: 0
KRAPI int KRInputOnImeComposition(unsigned int wParam, long lParam);       // WM_IME_COMPOSITION: 1
KRAPI int KRInputOnImeEndComposition(unsigned int wParam, long lParam);    // WM_IME_ENDCOMPOSITION: 0
KRAPI int KRInputOnImeNotify(unsigned int wParam, long lParam);            // WM_IME_NOTIFY: 1 when handled
KRAPI int KRInputOnImeSetContext(unsigned int wParam, long lParam);        // WM_IME_SETCONTEXT: 0
KRAPI int KRInputOnImeCompositionFull(unsigned int wParam, long lParam);   // WM_IME_COMPOSITIONFULL: 0
KRAPI int KRInputOnImeControl(unsigned int wParam, long lParam);           // WM_IME_CONTROL: 0
KRAPI int KRInputOnInputLangChange(unsigned int wParam, long lParam);      // WM_INPUTLANGCHANGE: 0
// Hands out and removes up to size - 1 bytes of the finished strings.
KRAPI void KRInputGetImeStrings(char* out, int size);

KRAPI int KR2DDrawImeReq(void);
KRAPI int KR2DDrawIme(int buffer);
KRAPI void KR2DSetImeTextPosition(int x, int y);
KRAPI void KR2DSetImeTextFont(LOGFONTA* singleByte, LOGFONTA* doubleByte);
KRAPI void KR2DSetImeTextFontSize(float width, float height);  // the single-byte font only

// ---------------------------------------------------------------------------
// Sound: static 3D sound buffers through DirectSound 6, handles 1 to 63, loaded
// from RIFF WAVE files or WAVE images in memory; master and buffer volume and
// 3D positions.

struct IDirectSound;
struct IDirectSoundBuffer;

#define KRSOUND_BUFFER_MAX     64
#define KRSOUND_AUTOBUFFER_MAX 64

// The apply flag of the 3D setters, handed to DirectSound as it is. Deferred
// settings wait for a commit that the library never makes.
typedef enum KRSOUNDAPPLYTYPE {
  KRSOUNDAPPLY_IMMEDIATE = 0,
  KRSOUNDAPPLY_DEFERRED = 1
} KRSOUNDAPPLYTYPE;

KRAPI int KRSoundStartup(void);
KRAPI void KRSoundCleanup(void);
KRAPI int KRSoundCreateBuffer(const char* path);
// The image is read during the call only.
KRAPI int KRSoundCreateBuffer(void* image);
// A second buffer over the same samples.
KRAPI int KRSoundCreateBuffer(int handle);
KRAPI void KRSoundPlayBuffer(int handle);
KRAPI void KRSoundStopBuffer(int handle);
KRAPI void KRSoundReleaseBuffer(int handle);
KRAPI int KRSoundUpdate(void);
// The DirectSound object and the primary buffer, each with a reference added
// that the caller releases; null while sound is not started.
KRAPI void KRSoundGetDirectSoundInterface(IDirectSound** out);
KRAPI void KRSoundGetDirectSoundBufferInterface(IDirectSoundBuffer** out);

// Volumes run from 0 (full) to -1 (silence).
KRAPI void KRSoundSetMasterVolume(float volume);
KRAPI void KRSoundSetBufferVolume(int handle, float volume);
KRAPI void KRSoundSetListenerPosition(float x, float y, float z, KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                         KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetListenerDistanceFactor(float factor, KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetListenerRolloffFactor(float factor, KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetListenerDopplerFactor(float factor, KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetBufferPosition(int handle, float x, float y, float z, KRSOUNDAPPLYTYPE apply);
KRAPI void KRSoundSetBufferOrientation(int handle, float x, float y, float z, KRSOUNDAPPLYTYPE apply);

// Music: DirectMusic output ports and segments (music buffers), and CD audio
// through MCI. Media: media files played through DirectShow.

#define KRMUSIC_PORTNAME_MAX 256

typedef struct KRMUSICPORTINFO {
  char szName[KRMUSIC_PORTNAME_MAX];  // the port's description, ANSI code page
  DWORD dwMaxChannelGroups;
} KRMUSICPORTINFO;
static_assert(sizeof(KRMUSICPORTINFO) == 260, "KRMUSICPORTINFO is 260 bytes");

KRAPI int KRMusicStartup(void);
KRAPI void KRMusicCleanup(void);
KRAPI int KRMusicGetPortCount(void);
KRAPI void KRMusicGetPortInfo(KRMUSICPORTINFO* info, int index);
KRAPI int KRMusicGetAutoDetectedPort(void);
KRAPI int KRMusicSelectPort(int index);  // -1: the first output port
KRAPI int KRMusicCreateBuffer(const char* path);
KRAPI void KRMusicPlayBuffer(int handle, int repeats);  // repeats 0 or less: without end
KRAPI void KRMusicStopBuffer(void);
KRAPI void KRMusicReleaseBuffer(int handle);

KRAPI int KRMusicPlayCDAudio(int track, int loops);  // loops 0: without end
KRAPI int KRMusicPlayIndexedCDAudio(int* tracks, int loops);  // tracks end with 0
KRAPI int KRMusicPlayCDAudio(void);  // resumes a paused CD
KRAPI int KRMusicPauseCDAudio(void);
KRAPI int KRMusicStopCDAudio(void);
KRAPI int KRMusicGetCDAudioTrackCount(void);
KRAPI int KRMusicGetCDAudioVolume(int* volume);
KRAPI int KRMusicSetCDAudioVolume(int volume);

#define KRMEDIA_PLAY_LOOP       0x00000001  // restart at the end of the stream
#define KRMEDIA_PLAY_FULLSCREEN 0x00000002  // full-screen video instead of the main window

KRAPI int KRMediaStartup(void);
KRAPI void KRMediaCleanup(void);
KRAPI int KRMediaCreateBuffer(const char* path);
KRAPI void KRMediaReleaseBuffer(int handle);
KRAPI int KRMediaPlay(int handle, unsigned long flags);
KRAPI int KRMediaStop(void);
KRAPI int KRMediaPause(void);

// ---------------------------------------------------------------------------
// 3D: devices and formats, device start-up, viewports, frames; matrix and colour types.

// Table sizes of the 3D component.
#define KR3D_DEVICE_MAX        32
#define KR3D_ZBUFFERFORMAT_MAX 32
#define KR3D_TEXTUREFORMAT_MAX 32
#define KR3D_VIEWPORT_MAX      128
#define KR3D_TEXTURE_MAX       128
#define KR3D_MATERIAL_MAX      128
#define KR3D_LIGHT_MAX         128
#define KR3D_MODEL_MAX         128
#define KR3D_TLVERTEX_MAX      32768

#define KR3D_NAME_MAX 256  // characters of a device or format name, terminator included

// KR3DSTARTUPDEVICEINFO.dwFlags
#define KR3DSTARTUPDEVICE_NOZBUFFER 0x01  // start the device without a depth buffer

// Render-state flags, applied at every KR3DBeginRender.
#define KR3D_RENDERSTATE_FILTER      0x01  // linear texture filtering, else nearest
#define KR3D_RENDERSTATE_DITHER      0x02
#define KR3D_RENDERSTATE_PERSPECTIVE 0x04  // perspective-correct texturing

// 3D failures beyond the common ones.
#define KRERR_3D_CREATETEXTURE    0x3100
#define KRERR_3D_STARTUPDEVICE    0x3101
#define KRERR_3D_DEVICESTARTED    0x3102
#define KRERR_3D_DEVICENOTSTARTED 0x3103
#define KRERR_3D_SETVIEWPORT      0x3104
#define KRERR_3D_CREATEMODEL      0x3105
#define KRERR_3D_CREATEMATERIAL   0x3106
#define KRERR_3D_CREATELIGHT      0x3107
#define KRERR_3D_CREATEVIEWPORT   0x3108

// One enumerated 3D device.
typedef struct KR3DDEVICEINFO {
  char szName[KR3D_NAME_MAX];
  int bHardware;  // 1 for a hardware device
} KR3DDEVICEINFO;

// One depth-buffer format of a device.
typedef struct KR3DZBUFFERFORMATINFO {
  char szName[KR3D_NAME_MAX];  // "16 BITS"
  DWORD dwBitDepth;
} KR3DZBUFFERFORMATINFO;

// One texture format of the started device; each channel as bit count, lowest bit, 2^bits - 1.
typedef struct KR3DTEXTUREFORMATINFO {
  char szName[KR3D_NAME_MAX];  // "16 BITS RGB  565 "
  DWORD dwBitCount;
  DWORD dwRedBits, dwRedShift, dwRedMax;
  DWORD dwGreenBits, dwGreenShift, dwGreenMax;
  DWORD dwBlueBits, dwBlueShift, dwBlueMax;
  DWORD dwAlphaBits, dwAlphaShift, dwAlphaMax;
  int bPalettized;
} KR3DTEXTUREFORMATINFO;

// A texture format with the pixel format it was enumerated with, for creating surfaces.
typedef struct KR3DCORETEXTUREFORMATINFO {
  DDPIXELFORMAT ddpf;
  char szName[KR3D_NAME_MAX];
  DWORD dwBitCount;
  DWORD dwRedBits, dwRedShift, dwRedMax;
  DWORD dwGreenBits, dwGreenShift, dwGreenMax;
  DWORD dwBlueBits, dwBlueShift, dwBlueMax;
  DWORD dwAlphaBits, dwAlphaShift, dwAlphaMax;
  int bPalettized;
} KR3DCORETEXTUREFORMATINFO;

// What KR3DStartupDevice starts on. A device or format index that is negative or out of
// range takes the automatic choice.
typedef struct KR3DSTARTUPDEVICEINFO {
  int nTarget;  // buffer index: KR2D_BUFFER_PRIMARY, KR2D_BUFFER_BACK or a bitmap buffer
  int nDevice;
  int nZBufferFormat;
  DWORD dwFlags;  // KR3DSTARTUPDEVICE_*
} KR3DSTARTUPDEVICEINFO;

// A 4x4 transform in the Direct3D layout: points are row vectors, the translation is in
// _41.._43, and a * b applies a first. Angles are in radians. Constructors leave the elements
// unset. Products and the post-multiplying members share working storage: one thread only.
class KRAPI KR3DMATRIX : public D3DMATRIX {
 public:
  KR3DMATRIX();
  KR3DMATRIX(const KR3DMATRIX&) = default;
  KR3DMATRIX& operator=(const KR3DMATRIX& m);
  // this times m into one result shared by all products; the next product overwrites it.
  KR3DMATRIX& operator*(const KR3DMATRIX& m);

  void SetZero();
  void SetIdentity();
  void SetTranslate(float x, float y, float z);
  void SetTranslate(D3DVECTOR v);
  void SetScale(float x, float y, float z);
  void SetScale(float s);
  void SetScale(D3DVECTOR v);
  void SetRotateX(float a);
  void SetRotateY(float a);
  void SetRotateZ(float a);
  void SetRotateXYZ(float x, float y, float z);
  void SetProjection(float nearPlane, float farPlane, float fov);
  void SetView(const D3DVECTOR& from, const D3DVECTOR& at, const D3DVECTOR& up, float roll);

  // this = this times the step: the step applies after what the matrix already does.
  void Translate(float x, float y, float z);
  void Translate(D3DVECTOR v);
  void Scale(float x, float y, float z);
  void Scale(float s);
  void Scale(D3DVECTOR v);
  void RotateX(float a);
  void RotateY(float a);
  void RotateZ(float a);

  void Transpose();
  // The point times this matrix, divided by w unless w is 0.
  D3DVECTOR Transform(float x, float y, float z);
  D3DVECTOR Transform(D3DVECTOR v);
  // Copy the upper 3x3 block, the diagonal _11 _22 _33, or the translation of m.
  void CopyRotate(KR3DMATRIX& m);
  void CopyScale(KR3DMATRIX& m);
  void CopyTranslate(KR3DMATRIX& m);
};

// A colour of three floats: red, green, blue. The default constructor leaves them unset.
class KRAPI KR3DCOLORRGB {
 public:
  KR3DCOLORRGB();
  KR3DCOLORRGB(float red, float green, float blue);
  KR3DCOLORRGB(const KR3DCOLORRGB&) = default;
  KR3DCOLORRGB& operator=(const KR3DCOLORRGB& c);

  float r;
  float g;
  float b;
};

struct IDirect3D3;
struct IDirect3DDevice3;

// Start-up on the video component's display object, and clean-up.
KRAPI int KR3DStartup(void);
KRAPI void KR3DCleanup(void);
// Whether the next device enumeration lists hardware devices (KR3DStartup allows them).
KRAPI void KR3DEnableHardwareMode(int enable);

// Enumerations: each call lists afresh; info getters take positions in the last list.
KRAPI int KR3DGetDeviceCount(void);
KRAPI int KR3DGetAutoDetectedDevice(void);  // -1 when no device qualifies
KRAPI void KR3DGetDeviceInfo(KR3DDEVICEINFO* info, int index);
KRAPI int KR3DGetZBufferFormatCount(int device);  // device -1 or out of range: the automatic device
KRAPI int KR3DGetAutoDetectedZBufferFormat(int device);
KRAPI void KR3DGetZBufferFormatInfo(KR3DZBUFFERFORMATINFO* info, int index);
KRAPI int KR3DGetTextureFormatCount(void);  // formats of the started device
KRAPI void KR3DGetTextureFormatInfo(KR3DTEXTUREFORMATINFO* info, int index);
KRAPI void KR3DCoreGetTextureFormatInfo(KR3DCORETEXTUREFORMATINFO* info, int index);

// The device on a render target, with its depth buffer and default viewport. A start-up
// that fails after the display-mode test leaves the device started: clean it up first.
KRAPI int KR3DStartupDevice(KR3DSTARTUPDEVICEINFO* info);
KRAPI void KR3DCleanupDevice(void);
// The interfaces with a reference added for the caller (null when there is none).
KRAPI void KR3DGetDirect3DInterface(IDirect3D3** out);
KRAPI void KR3DGetDirect3DDeviceInterface(IDirect3DDevice3** out);

// Viewports: corners in screen units, -1 the left or top edge, 1 the right or bottom edge.
// Viewport 0 is the device's default viewport over the whole display.
KRAPI int KR3DCreateViewport(float x1, float y1, float x2, float y2);
KRAPI int KR3DSetViewport(int viewport, float x1, float y1, float x2, float y2);
KRAPI void KR3DReleaseViewport(int viewport);

// Textures (handles 1 to 127) from a bitmap on the started device. `format` indexes the
// texture-format list; any other value (-1) chooses one by the bitmap's depth. A name is a
// bitmap resource of this library (or MAKEINTRESOURCE), else a bitmap file.
struct IDirect3DTexture2;
KRAPI int KR3DCreateTexture(HBITMAP bitmap, int format);
KRAPI int KR3DCreateTexture(const char* name, int format);
KRAPI void KR3DReleaseTexture(int handle);
// The slot's texture interface without a reference added; null for a handle naming none.
KRAPI void KR3DGetDirect3DTextureInterface(IDirect3DTexture2** out, int handle);

// Materials and lights (handles 1 to 127), made on the started device. Descriptions pass
// through to Direct3D as filled in, size fields included; lights attach to viewports (0 the
// default viewport), the light handle first. Releasing a light does not detach it.
KRAPI int KR3DCreateMaterial(D3DMATERIAL* desc);
KRAPI void KR3DSetMaterial(int handle, D3DMATERIAL* desc);
KRAPI void KR3DReleaseMaterial(int handle);
// The material's handle on the device (kept after release); 0 for a handle outside 1 to 127.
KRAPI void KR3DGetD3DMaterialHandle(DWORD* out, int handle);
KRAPI int KR3DCreateLight(D3DLIGHT2* desc);
KRAPI void KR3DSetLight(int handle, D3DLIGHT2* desc);
KRAPI void KR3DAddLight(int light, int viewport);
KRAPI void KR3DDeleteLight(int light, int viewport);
KRAPI void KR3DReleaseLight(int handle);

// Frames: begin a scene on a viewport, clear it, end it; the render target, the
// transforms and the render-state word (KR3D_RENDERSTATE_*).
KRAPI int KR3DBeginRender(int viewport);
KRAPI int KR3DEndRender(void);
KRAPI void KR3DClear(D3DCOLOR colour, float z, DWORD flags, int viewport);
KRAPI int KR3DSetRenderTarget(int target);
KRAPI void KR3DSetViewMatrix(KR3DMATRIX* m);
KRAPI void KR3DSetProjectionMatrix(KR3DMATRIX* m);
KRAPI void KR3DSetRenderState(DWORD flags, int on);

// Models: triangle lists read from a model file or a model image in memory ("KRMODEL0000"),
// built into a vertex array. The image stays the caller's; it may go once the call returns.
#define KR3DMODEL_INDEXED 0x01  // build flag: one vertex per model vertex, else one per index
KRAPI int KR3DCreateModel(const char* szFile, unsigned long dwFlags);
KRAPI int KR3DCreateModel(void* lpImage, unsigned long dwFlags);
KRAPI void KR3DBuildModelVertex(int nModel, unsigned long dwFlags);
KRAPI void KR3DBuildModelLVertex(int nModel);  // pre-lit vertices, one per index
KRAPI void KR3DReleaseModel(int nModel);

// Objects: records the application owns and fills; the renderer reads the model,
// texture and material handles through the pointers at every draw.
typedef struct KR3DFRAME {
  KR3DMATRIX matLocal;            // relative to the parent (to the world for a root)
  struct KR3DFRAME* lpParent;     // null for a root
  int bDirty;                     // set by the owner when matLocal changed
  KR3DMATRIX matWorld;            // cached world matrix, written by the renderer
} KR3DFRAME;

#define KR3DOBJECT_TRANSLUCENT 0x01  // dwFlags: alpha blending on, depth writes off
#define KR3DOBJECT_ZBUFFER     0x02  // dwFlags: depth test on
#define KR3DOBJECT_ENVMAP      0x01  // dwOptions: sphere-mapped texture coordinates

typedef struct tagKR3DOBJECT {
  DWORD dwFlags;         // KR3DOBJECT_TRANSLUCENT, KR3DOBJECT_ZBUFFER
  DWORD dwOptions;       // KR3DOBJECT_ENVMAP
  DWORD dwSrcBlend;      // D3DBLEND
  DWORD dwDestBlend;     // D3DBLEND
  DWORD dwTextureBlend;  // D3DTEXTUREBLEND
  KR3DFRAME* lpFrame;    // the frame that places the object, usually &frame
  int* lpModel;          // the variable holding the model handle
  int* lpTexture;        // the variable holding the texture handle; null: untextured
  int* lpMaterial;       // the variable holding the material handle; null: no material
  struct tagKR3DOBJECT* lpNext;  // next object of the chain; null ends it
  KR3DFRAME frame;
} KR3DOBJECT;

KRAPI void KR3DRender(tagKR3DOBJECT* lpObject);
KRAPI void KR3DRenderFast(tagKR3DOBJECT* lpObject);
KRAPI void KR3DShowNormal(int bShow, float fLength);

// The render list: four buckets by depth test and translucency, filled in filing
// order and drawn by KR3DRenderAll until KR3DClearOrderList empties them.
#define KR3D_ORDERLIST_MAX 1024  // objects per bucket; more are dropped
KRAPI void KR3DClearOrderList(void);
KRAPI void KR3DOrderObject(tagKR3DOBJECT* lpObject);
KRAPI void KR3DRenderAll(void);

// Screen-space sprites: rectangles of a texture drawn in pixels with additive
// blending, each call a scene of its own on the default viewport. Make them
// between frames, not between KR3DBeginRender and KR3DEndRender.
typedef struct KR3DDRAWSPRITE {
  int nSrcX;     // source rectangle in the texture, in texels
  int nSrcY;
  int nWidth;    // in texels and in pixels
  int nHeight;
  int nTexture;  // texture handle
  int nDestX;    // top left on the render target, in pixels
  int nDestY;
} KR3DDRAWSPRITE;

typedef struct KR3DDRAWSPRITEFAST {
  int nSrcX;
  int nSrcY;
  int nWidth;
  int nHeight;
  int nDestX;
  int nDestY;
} KR3DDRAWSPRITEFAST;

KRAPI void KR3DDrawSprite(int nSrcX, int nSrcY, int nWidth, int nHeight, int nTexture, int nDestX, int nDestY,
                          int nReserved);
KRAPI void KR3DDrawSpriteBatch(KR3DDRAWSPRITE* lpSprites, int nCount, int nReserved);
KRAPI void KR3DDrawSpriteFastBatch(KR3DDRAWSPRITEFAST* lpSprites, int nCount, int nTexture, int nReserved);
// The splash sequences: shown on the started device between frames, each runs
// to its end (or Escape) inside the call, releases what it made and returns 1.
// They leave their camera in the view and projection transforms and their
// objects in the render list.
KRAPI int KR3DSplashDirectX(void);   // 5 s
KRAPI int KR3DSplashTarnwick(void);  // 4.5 s

// The 3D records hold no pointers: the same layout in every build.
static_assert(sizeof(KR3DDEVICEINFO) == 260, "KR3DDEVICEINFO is 260 bytes");
static_assert(sizeof(KR3DZBUFFERFORMATINFO) == 260, "KR3DZBUFFERFORMATINFO is 260 bytes");
static_assert(sizeof(KR3DTEXTUREFORMATINFO) == 312, "KR3DTEXTUREFORMATINFO is 312 bytes");
static_assert(sizeof(KR3DCORETEXTUREFORMATINFO) == 344, "KR3DCORETEXTUREFORMATINFO is 344 bytes");
static_assert(sizeof(KR3DSTARTUPDEVICEINFO) == 16, "KR3DSTARTUPDEVICEINFO is 16 bytes");
static_assert(sizeof(KR3DMATRIX) == 64, "KR3DMATRIX is a D3DMATRIX");
static_assert(sizeof(KR3DCOLORRGB) == 12, "KR3DCOLORRGB is 12 bytes");
static_assert(sizeof(KR3DDRAWSPRITE) == 28, "KR3DDRAWSPRITE is 28 bytes");
static_assert(sizeof(KR3DDRAWSPRITEFAST) == 24, "KR3DDRAWSPRITEFAST is 24 bytes");

// ---------------------------------------------------------------------------
// Network: DirectPlay 4 connections, sessions, players and groups, messages
// and the join handshake. Player and group ids are DirectPlay DPIDs carried
// in an int: they are often 0x80000000 or more, so never test their sign.

struct IDirectPlay4;

#define KRNETWORK_CONNECTION_MAX 64
#define KRNETWORK_SESSION_MAX 64
#define KRNETWORK_PLAYER_MAX 64
#define KRNETWORK_ADDRESS_SIZE 128
#define KRNETWORK_NAME_MAX 64         // connection and session names with their NUL
#define KRNETWORK_PLAYERNAME_MAX 20   // player and group names with their NUL
#define KRNETWORK_MESSAGE_MAX 2048    // bytes of a library or data message

// Library messages (sender 0), the first 32-bit word of each.
#define KRNETWORK_MSG_CREATEPLAYER 0xFFFF7000          // player id
#define KRNETWORK_MSG_DESTROYPLAYERORGROUP 0xFFFF7001  // id
#define KRNETWORK_MSG_CREATEGROUP 0xFFFF7002           // group id
#define KRNETWORK_MSG_HOSTPLAYER 0xFFFF7100            // host player id
#define KRNETWORK_MSG_REQUESTTOJOIN 0xFFFF7101         // id of the player that asks
#define KRNETWORK_MSG_ACCEPTJOINING 0xFFFF7102         // accepted group id, host player id
#define KRNETWORK_MSG_CANCELJOINING 0xFFFF7103
#define KRNETWORK_MSG_IGNORED 0xFFFF7F00

typedef struct KRNETWORKCONNECTIONINFO {
  char szName[KRNETWORK_NAME_MAX];   // the provider's name from the ANSI interface
  char szName2[KRNETWORK_NAME_MAX];  // the same from the wide interface, in the OEM code page
} KRNETWORKCONNECTIONINFO;

typedef struct KRNETWORKSTARTUPCONNECTIONINFO {
  char szAddress[KRNETWORK_ADDRESS_SIZE];  // host for TCP/IP ("" to search the local network)
} KRNETWORKSTARTUPCONNECTIONINFO;

typedef struct KRNETWORKSESSIONINFO {
  DWORD dwMaxPlayers;
  char szName[KRNETWORK_NAME_MAX];
} KRNETWORKSESSIONINFO;

typedef struct KRNETWORKPLAYERORGROUPINFO {
  DWORD id;
  char szName[KRNETWORK_PLAYERNAME_MAX];
} KRNETWORKPLAYERORGROUPINFO;

KRAPI int KRNetworkStartup(void);
KRAPI void KRNetworkCleanup(void);
KRAPI int KRNetworkGetConnectionCount(void);
KRAPI void KRNetworkGetConnectionInfo(KRNETWORKCONNECTIONINFO* info, int index);
KRAPI int KRNetworkStartupConnection(int index, KRNETWORKSTARTUPCONNECTIONINFO* info);
// The play object with a reference added (null without one); the caller releases it.
KRAPI void KRNetworkGetDirectPlayInterface(IDirectPlay4** out);

KRAPI int KRNetworkCreateSession(KRNETWORKSESSIONINFO* info);
KRAPI int KRNetworkJoinToSession(int index);
KRAPI void KRNetworkCloseSession(void);
// mode 0: synchronous; -1: restart an asynchronous pass; else the interval in ms.
KRAPI int KRNetworkGetSessionCount(int mode);
KRAPI int KRNetworkGetSessionCountCancel(void);
KRAPI void KRNetworkGetSessionInfo(KRNETWORKSESSIONINFO* info, int index);
KRAPI int KRNetworkGetAcceptedGroup(void);

KRAPI int KRNetworkCreatePlayer(KRNETWORKPLAYERORGROUPINFO* info);
KRAPI int KRNetworkCreateGroup(KRNETWORKPLAYERORGROUPINFO* info);
KRAPI void KRNetworkDestroyPlayer(int player);
KRAPI void KRNetworkDestroyGroup(int group);
KRAPI void KRNetworkAddPlayerToGroup(int group, int player);
KRAPI void KRNetworkDeletePlayerFromGroup(int group, int player);
// The short name, cut to 19 bytes and terminated: a buffer of
// KRNETWORK_PLAYERNAME_MAX (20) bytes always suffices.
KRAPI void KRNetworkGetPlayerName(char* name, int player);
KRAPI void KRNetworkGetGroupName(char* name, int group);
// session: a listed session's index, negative for the current one; interval 0: synchronous.
KRAPI int KRNetworkGetPlayerCount(int session, int interval);
KRAPI int KRNetworkGetPlayerCountCancel(void);
KRAPI void KRNetworkGetPlayerInfo(KRNETWORKPLAYERORGROUPINFO* info, int index);

KRAPI int KRNetworkReceiveMessage(void* buffer, DWORD* size, int* from, int* to);
KRAPI int KRNetworkSendSystemMessage(void* data, DWORD size, int from, int to);
KRAPI int KRNetworkSendChatMessage(char* text, int from, int to);
KRAPI void KRNetworkRequestToJoin(int player);
KRAPI void KRNetworkAcceptJoining(int player);
KRAPI void KRNetworkCancelJoining(int player);

// The network records hold no pointers: the same layout in every build.
static_assert(sizeof(KRNETWORKCONNECTIONINFO) == 128, "KRNETWORKCONNECTIONINFO is 128 bytes");
static_assert(sizeof(KRNETWORKSTARTUPCONNECTIONINFO) == 128, "KRNETWORKSTARTUPCONNECTIONINFO is 128 bytes");
static_assert(sizeof(KRNETWORKSESSIONINFO) == 68, "KRNETWORKSESSIONINFO is 68 bytes");
static_assert(sizeof(KRNETWORKPLAYERORGROUPINFO) == 24, "KRNETWORKPLAYERORGROUPINFO is 24 bytes");

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
static_assert(sizeof(KR3DFRAME) == 136, "KR3DFRAME is 136 bytes");
static_assert(offsetof(KR3DFRAME, lpParent) == 64, "KR3DFRAME.lpParent");
static_assert(offsetof(KR3DFRAME, matWorld) == 72, "KR3DFRAME.matWorld");
static_assert(sizeof(tagKR3DOBJECT) == 176, "tagKR3DOBJECT is 176 bytes");
static_assert(offsetof(tagKR3DOBJECT, lpFrame) == 20, "tagKR3DOBJECT.lpFrame");
static_assert(offsetof(tagKR3DOBJECT, frame) == 40, "tagKR3DOBJECT.frame");
#endif

#endif  // KORVATHD_H
