// Media buffers: a file rendered into a filter graph of its own, played in the
// main window or full screen, once or in a loop; stop and pause.
#include "audio/media_state.h"

#include <korvathd.h>

#include "core/core_state.h"
#include "core/handle_table.h"
#include "core/last_error.h"

namespace {

const unsigned long kErrorCreate = KRERR_MEDIA | 0x100;
const int kPathMax = 2048;

template <typename Interface>
void ReleaseAndClear(Interface** object) {
  if (*object == NULL) return;
  (*object)->Release();
  *object = NULL;
}

void ReleaseBuffer(KRMEDIABUFFER* buffer) {
  ReleaseAndClear(&buffer->lpVideoWindow);
  ReleaseAndClear(&buffer->lpMediaPosition);
  ReleaseAndClear(&buffer->lpMediaControl);
  ReleaseAndClear(&buffer->lpGraphBuilder);
}

KRMEDIABUFFER* BufferOf(int handle) {
  if (!KRHandleInRange(handle, KRMEDIA_BUFFER_MAX) || g_krMedia.lpBuffers == NULL) return NULL;
  KRMEDIABUFFER* buffer = &g_krMedia.lpBuffers[handle];
  return buffer->lpGraphBuilder != NULL ? buffer : NULL;
}

// A graph of its own with the file rendered and the three interfaces played
// through; on any failure nothing of it is kept.
HRESULT BuildGraph(const WCHAR* path, KRMEDIABUFFER* buffer) {
  HRESULT result = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&buffer->lpGraphBuilder));
  if (FAILED(result)) buffer->lpGraphBuilder = NULL;
  if (SUCCEEDED(result)) result = buffer->lpGraphBuilder->RenderFile(path, NULL);
  if (SUCCEEDED(result)) {
    result = buffer->lpGraphBuilder->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&buffer->lpMediaControl));
  }
  if (SUCCEEDED(result)) {
    result = buffer->lpGraphBuilder->QueryInterface(IID_IMediaPosition,
                                                    reinterpret_cast<void**>(&buffer->lpMediaPosition));
  }
  if (SUCCEEDED(result)) {
    result = buffer->lpGraphBuilder->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&buffer->lpVideoWindow));
  }
  if (FAILED(result)) ReleaseBuffer(buffer);
  return result;
}

}  // namespace

KRMEDIABUFFER* KRMediaCurrentBuffer(void) { return BufferOf(g_krMedia.nCurrentBuffer); }

int KRMediaCreateBuffer(const char* path) {
  if (!g_krMedia.bStarted) return KRErrorFail(KRERR_MEDIA | KRERR_NOTSTARTED);
  const int handle =
      KRHandleFindFree(KRMEDIA_BUFFER_MAX, [](int h) { return g_krMedia.lpBuffers[h].lpGraphBuilder == NULL; });
  if (handle == 0) return KRHandleFailTableFull("KRMedia", "Buffer", kErrorCreate);
  WCHAR wide[kPathMax + 1];
  if (path == NULL || MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kPathMax + 1) == 0) {
    return KRErrorFail(kErrorCreate);
  }
  if (FAILED(BuildGraph(wide, &g_krMedia.lpBuffers[handle]))) return KRErrorFail(kErrorCreate);
  return handle;
}

// Releasing the buffer that plays stops it first.
void KRMediaReleaseBuffer(int handle) {
  if (!g_krMedia.bStarted) return;
  KRMEDIABUFFER* buffer = BufferOf(handle);
  if (buffer == NULL) {
    KRHandleWarnInvalid("KRMedia", "You did release", "Buffer", handle);
    return;
  }
  if (handle == g_krMedia.nCurrentBuffer) KRMediaStop();
  ReleaseBuffer(buffer);
}

// Plays from wherever the graph stands: no position is set.
int KRMediaPlay(int handle, unsigned long flags) {
  if (!g_krMedia.bStarted) return 0;
  KRMEDIABUFFER* buffer = BufferOf(handle);
  if (buffer == NULL) {
    KRHandleWarnInvalid("KRMedia", "Play buffer", "Buffer", handle);
    return 0;
  }
  if (g_krMedia.nPlayState != KRMEDIA_STATE_STOPPED) KRMediaStop();
  g_krMedia.nPlayState = (flags & KRMEDIA_PLAY_LOOP) ? KRMEDIA_STATE_LOOPING : KRMEDIA_STATE_PLAYING;
  buffer->lpVideoWindow->put_Owner(reinterpret_cast<OAHWND>(g_krCore.hWnd));
  if (flags & KRMEDIA_PLAY_FULLSCREEN) {
    buffer->lpVideoWindow->put_Visible(OAFALSE);
    buffer->lpVideoWindow->put_FullScreenMode(OATRUE);
  } else {
    buffer->lpVideoWindow->put_Visible(OATRUE);
  }
  buffer->lpMediaControl->Run();
  IMediaEventEx* event = NULL;
  if (SUCCEEDED(buffer->lpMediaControl->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&event)))) {
    event->SetNotifyWindow(reinterpret_cast<OAHWND>(g_krMedia.hWnd), WM_USER, 0);
  } else {
    event = NULL;
  }
  g_krMedia.lpMediaEvent = event;
  g_krMedia.nCurrentBuffer = handle;
  return 1;
}

int KRMediaStop(void) {
  if (!g_krMedia.bStarted || g_krMedia.nPlayState == KRMEDIA_STATE_STOPPED) return 0;
  g_krMedia.nPlayState = KRMEDIA_STATE_STOPPED;
  ReleaseAndClear(&g_krMedia.lpMediaEvent);
  KRMEDIABUFFER* buffer = KRMediaCurrentBuffer();
  if (buffer != NULL) {
    buffer->lpMediaControl->Stop();
    buffer->lpVideoWindow->put_FullScreenMode(OAFALSE);
    buffer->lpVideoWindow->put_Visible(OAFALSE);
  }
  return 1;
}

// Only playback that runs once pauses; there is no resume (play runs again).
int KRMediaPause(void) {
  if (!g_krMedia.bStarted || g_krMedia.nPlayState != KRMEDIA_STATE_PLAYING) return 0;
  g_krMedia.nPlayState = KRMEDIA_STATE_PAUSED;
  KRMEDIABUFFER* buffer = KRMediaCurrentBuffer();
  if (buffer != NULL) buffer->lpMediaControl->Pause();
  return 1;
}
