// The media component's global state: the start-up filter graph, the buffer
// table (one filter graph per buffer), and the playback in progress.
#ifndef KR_MEDIA_STATE_H
#define KR_MEDIA_STATE_H

#include <windows.h>
#include <dshow.h>

#define KRMEDIA_BUFFER_MAX 32  // handles 1 to 31

#define KRMEDIA_STATE_STOPPED 1
#define KRMEDIA_STATE_PLAYING 2
#define KRMEDIA_STATE_LOOPING 3
#define KRMEDIA_STATE_PAUSED 4

typedef struct KRMEDIABUFFER {
  IGraphBuilder* lpGraphBuilder;  // null: a free slot
  IMediaControl* lpMediaControl;
  IMediaPosition* lpMediaPosition;
  IVideoWindow* lpVideoWindow;
} KRMEDIABUFFER;

typedef struct KRMEDIASTATE {
  int bStarted;
  IMediaControl* lpMediaControl;  // the start-up graph, proof that DirectShow works
  HWND hWnd;                      // "KRMEDIA_CALLBACK"
  KRMEDIABUFFER* lpBuffers;       // "KRME:BUFFERS"
  int nPlayState;                 // KRMEDIA_STATE_*
  IMediaEventEx* lpMediaEvent;    // of the playback in progress
  int nCurrentBuffer;
} KRMEDIASTATE;

extern KRMEDIASTATE g_krMedia;

int KRMediaIsStarted(void);

// The buffer last given to KRMediaPlay, or null when its slot is empty now.
KRMEDIABUFFER* KRMediaCurrentBuffer(void);

LRESULT CALLBACK KRMediaCallbackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
