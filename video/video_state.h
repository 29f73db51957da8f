// The video component's global state, read directly by 2D drawing and 3D rendering.
#ifndef KR_VIDEO_STATE_H
#define KR_VIDEO_STATE_H

#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

// One entry of the display-device table.
typedef struct KRVIDEOCOREDEVICEINFO {
  GUID guidDevice;  // all zero for the primary display driver
  char szName[KRVIDEO_DEVICENAME_MAX];  // "description(driver)"
  DWORD dwFlags;    // KRVIDEODEVICE_...
} KRVIDEOCOREDEVICEINFO;

typedef struct KRVIDEOSTATE {
  int bStarted;
  IDirectDraw4* lpDirectDraw;
  IDirectDrawSurface4* lpPrimarySurface;
  IDirectDrawSurface4* lpBackBuffer;
  IDirectDrawClipper* lpClipper;       // window mode only
  IDirectDrawPalette* lpPrimaryPalette;  // 8-bit modes only
  PALETTEENTRY* lpPaletteEntries;      // 256 entries, "KRVI:PALETTE"
  DWORD dwWidth;
  DWORD dwHeight;
  DWORD dwDepth;
  int bFullScreen;
  DWORD dwShowMode;  // KRVIDEO_SHOWMODE_...; survives start-up and clean-up
  int nRedBits, nRedShift, nRedMax;
  int nGreenBits, nGreenShift, nGreenMax;
  int nBlueBits, nBlueShift, nBlueMax;

  KRVIDEOCOREDEVICEINFO devices[KRVIDEO_DEVICE_MAX];
  int nDeviceCount;
  int nCurrentDevice;
  int bDefaultDevice;       // started on index 0: window mode is allowed
  KRVIDEOMODEINFO* lpModes;  // KRVIDEO_MODE_MAX entries, "KRVI:MODEINF"
  int nModeCount;
} KRVIDEOSTATE;

extern KRVIDEOSTATE g_krVideo;

// 1 while the video component is started (KRCleanup cleans up what is left started).
int KRVideoIsStarted(void);

// A colour reference (0x00BBGGRR) as a pixel value of the current mode.
DWORD KRVideoColorToPixel(DWORD colour);

#endif
