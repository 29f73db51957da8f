// Segments (music buffers): loading a file through the loader, playing,
// stopping all music, releasing.
#include "audio/music_state.h"

#include <cstring>

#include "core/handle_table.h"
#include "core/last_error.h"

namespace {

bool IsFullPath(const char* path) {
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool share = path[0] == '\\' && path[1] == '\\';
  return drive || share;
}

IDirectMusicSegment* SegmentOf(int handle) {
  if (!KRHandleInRange(handle, KRMUSIC_BUFFER_MAX) || g_krMusic.lpBuffers == NULL) return NULL;
  return g_krMusic.lpBuffers[handle].lpSegment;
}

}  // namespace

int KRMusicCreateBuffer(const char* path) {
  if (!g_krMusic.bStarted) return KRErrorFail(KRERR_MUSIC | KRERR_NOTSTARTED);
  if (g_krMusic.lpLoader == NULL || g_krMusic.lpBuffers == NULL || path == NULL) return 0;
  const int handle = KRHandleFindFree(KRMUSIC_BUFFER_MAX, [](int h) { return g_krMusic.lpBuffers[h].lpSegment == NULL; });
  if (handle == 0) return KRHandleFailTableFull("KRMusic", "Buffer", KRERR_MUSIC | 0x100);

  DMUS_OBJECTDESC description;
  memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  // A full path is taken as it is; other names are looked for in the search directory.
  description.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME | (IsFullPath(path) ? DMUS_OBJ_FULLPATH : 0);
  description.guidClass = CLSID_DirectMusicSegment;
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, description.wszFileName, DMUS_MAX_FILENAME) == 0) return 0;

  IDirectMusicSegment* segment = NULL;
  if (FAILED(g_krMusic.lpLoader->GetObject(&description, IID_IDirectMusicSegment,
                                           reinterpret_cast<void**>(&segment))) ||
      segment == NULL) {
    return 0;
  }
  KRMUSICBUFFER& buffer = g_krMusic.lpBuffers[handle];
  const DWORD length = GetFullPathNameA(path, KRMUSIC_PATH_MAX, buffer.szPath, NULL);
  if (length == 0 || length >= KRMUSIC_PATH_MAX) buffer.szPath[0] = '\0';
  buffer.lpSegment = segment;
  buffer.dwReserved = 0;
  return handle;
}

void KRMusicPlayBuffer(int handle, int repeats) {
  if (!g_krMusic.bStarted) return;
  IDirectMusicSegment* segment = SegmentOf(handle);
  if (segment == NULL) {
    KRHandleWarnInvalid("KRMusic", "Play buffer", "Buffer", handle);
    return;
  }
  if (g_krMusic.lpPerformance == NULL) return;
  segment->SetRepeats(repeats > 0 ? static_cast<DWORD>(repeats) : 0xFFFFFFFF);
  g_krMusic.lpPerformance->PlaySegment(segment, 8, 0, NULL);
}

void KRMusicStopBuffer(void) {
  if (!g_krMusic.bStarted || g_krMusic.lpPerformance == NULL) return;
  g_krMusic.lpPerformance->Stop(NULL, NULL, 0, 0);
}

// A playing segment is not stopped first: the performance plays on what it holds.
void KRMusicReleaseBuffer(int handle) {
  if (!g_krMusic.bStarted) return;
  IDirectMusicSegment* segment = SegmentOf(handle);
  if (segment == NULL) {
    KRHandleWarnInvalid("KRMusic", "You did release", "Buffer", handle);
    return;
  }
  segment->Release();
  g_krMusic.lpBuffers[handle].lpSegment = NULL;
}
