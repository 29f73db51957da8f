// The media component's start-up and clean-up, and its notification window,
// which restarts looped playback at the end of the stream.
#include "audio/media_state.h"

#include <korvathd.h>

#include "audio/callback_window.h"
#include "core/component_blocks.h"
#include "core/handle_table.h"
#include "core/last_error.h"

KRMEDIASTATE g_krMedia = {};

namespace {

const unsigned long kErrorStartupFailed = KRERR_MEDIA | KRERR_STARTUPFAILED;

const KRComponentBlock kTable[] = {
    {reinterpret_cast<void**>(&g_krMedia.lpBuffers), KRMEDIA_BUFFER_MAX * static_cast<int>(sizeof(KRMEDIABUFFER)),
     "KRME:BUFFERS"},
};

}  // namespace

int KRMediaIsStarted(void) { return g_krMedia.bStarted; }

int KRMediaStartup(void) {
  if (g_krMedia.bStarted) return KRErrorFail(KRERR_MEDIA | KRERR_ALREADYSTARTED);
  KRDebugDump("KRMediaStartup\n");
  g_krMedia.lpMediaControl = NULL;
  g_krMedia.lpMediaEvent = NULL;
  g_krMedia.nCurrentBuffer = 0;
  g_krMedia.nPlayState = KRMEDIA_STATE_STOPPED;
  // The table first: on an exhausted heap nothing is started, made or marked.
  if (!KRAllocateAllComponentBlocks(kTable)) return KRErrorFail(kErrorStartupFailed);

  KRDebugDump("MediaControlCreate\n");
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC, IID_IMediaControl,
                              reinterpret_cast<void**>(&g_krMedia.lpMediaControl)))) {
    g_krMedia.lpMediaControl = NULL;
    KRFreeComponentBlocks(kTable);
    return KRErrorFail(kErrorStartupFailed);
  }
  g_krMedia.bStarted = 1;
  g_krMedia.hWnd = KRCreateCallbackWindow("KRMEDIA_CALLBACK", KRMediaCallbackWindowProc);
  return 1;
}

// Playback stops and its window goes first: a loop would otherwise play on,
// and its end reach a freed table.
void KRMediaCleanup(void) {
  if (!g_krMedia.bStarted) {
    KRErrorSetLastError(KRERR_MEDIA | KRERR_NOTSTARTED);
    return;
  }
  KRMediaStop();
  DestroyWindow(g_krMedia.hWnd);
  g_krMedia.hWnd = NULL;
  for (int handle = 1; handle < KRMEDIA_BUFFER_MAX; ++handle) {
    if (g_krMedia.lpBuffers[handle].lpGraphBuilder == NULL) continue;
    KRHandleWarnNotReleased("KRMedia", "Buffer", handle);
    KRMediaReleaseBuffer(handle);
  }
  KRFreeComponentBlocks(kTable);
  KRDebugDump("KRMedia : Cleanup\n");
  g_krMedia.lpMediaControl->Release();
  g_krMedia.lpMediaControl = NULL;
  g_krMedia.bStarted = 0;
}

namespace {

// Every pending event per notification: a graph's first run queues one before
// play names the window, and no message ever comes for it. The end of a
// looped stream rewinds and runs again.
void TakeGraphEvents(void) {
  LONG code = 0;
  LONG_PTR first = 0;
  LONG_PTR second = 0;
  while (g_krMedia.lpMediaEvent != NULL && SUCCEEDED(g_krMedia.lpMediaEvent->GetEvent(&code, &first, &second, 0))) {
    g_krMedia.lpMediaEvent->FreeEventParams(code, first, second);
    KRMEDIABUFFER* buffer = KRMediaCurrentBuffer();
    if (code != EC_COMPLETE || g_krMedia.nPlayState != KRMEDIA_STATE_LOOPING || buffer == NULL) continue;
    buffer->lpMediaControl->Stop();
    buffer->lpMediaPosition->put_CurrentPosition(0.0);
    buffer->lpMediaControl->Run();
  }
}

}  // namespace

LRESULT CALLBACK KRMediaCallbackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATEAPP: return 0;
    case WM_USER:
      KRDebugDump("KRMedia : WM_GRAPHNOTIFY\n");
      TakeGraphEvents();
      return 1;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
