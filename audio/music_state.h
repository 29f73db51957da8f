// The music component's global state: DirectMusic, the port, segment and CD
// play-list tables, and the CD-audio state its notification window drives.
#ifndef KR_MUSIC_STATE_H
#define KR_MUSIC_STATE_H

#include <windows.h>
#include <mmsystem.h>
#include <dmusici.h>

#include <korvathd.h>

#define KRMUSIC_PORT_MAX 32
#define KRMUSIC_BUFFER_MAX 64  // handles 1 to 63
#define KRMUSIC_CDTRACK_MAX 64  // 63 tracks and the closing 0
#define KRMUSIC_PATH_MAX 128

#define KRMUSIC_CD_STOPPED 0
#define KRMUSIC_CD_PLAYING 1
#define KRMUSIC_CD_PAUSED 2

typedef struct KRMUSICCOREPORTINFO {
  GUID guidPort;
  KRMUSICPORTINFO info;
} KRMUSICCOREPORTINFO;

typedef struct KRMUSICBUFFER {
  char szPath[KRMUSIC_PATH_MAX];
  IDirectMusicSegment* lpSegment;  // null: a free slot
  DWORD dwReserved;
} KRMUSICBUFFER;

typedef struct KRMUSICSTATE {
  int bStarted;
  HWND hWnd;  // "KRMUSIC_CALLBACK"
  KRMUSICCOREPORTINFO* lpPorts;  // "KRMU:PORTINF"
  int nPortCount;
  KRMUSICBUFFER* lpBuffers;  // "KRMU:BUFFER"
  int* lpCDTracks;           // "KRMU:CDTRACK"
  IDirectMusicLoader* lpLoader;
  IDirectMusic* lpMusic;
  IDirectMusicPerformance* lpPerformance;
  int bPerformanceInitialized;  // CloseDown is owed before the release
  IDirectMusicPort* lpPort;

  int nCDState;  // KRMUSIC_CD_*; survives start-up and clean-up
  MCIDEVICEID wCDDevice;  // 0 while closed
  int nCDPosition;
  int nCDLoops;  // passes still to play, 0 = without end
  int nCDAuxDevice;  // -1: none
} KRMUSICSTATE;

extern KRMUSICSTATE g_krMusic;

int KRMusicIsStarted(void);

// CD audio, used by the component's start-up, clean-up and window.
LRESULT CALLBACK KRMusicCallbackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Stops and closes an open CD device; 0 (with 0x6004 set) when closing fails.
int KRMusicCloseCDAudio(void);

#endif
