// The buffer table: static 3D buffers made from WAVE files, WAVE images in
// memory and other buffers, played once from the start, stopped and released;
// and the automatic table's update.
#include <korvathd.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "audio/sound_state.h"
#include "audio/wave_image.h"
#include "core/dx_result_log.h"
#include "core/handle_table.h"
#include "core/last_error.h"

// The DirectX 6 description: no 3D algorithm identifier after the format.
static_assert(sizeof(DSBUFFERDESC) == (sizeof(void*) == 4 ? 20 : 24), "DSBUFFERDESC is the DirectX 6 record");

namespace {

const unsigned long kErrorNotStarted = KRERR_SOUND | KRERR_NOTSTARTED;
const unsigned long kErrorCreate = KRERR_SOUND | 0x100;
const DWORD kSecondaryFlags =
    DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

bool SlotIsFree(int handle) { return g_krSound.lpBuffers[handle].lpBuffer == NULL; }

// The slot a create call fills: searched from the hint upward. 0 when there is
// none; `warn` gives the full table its code and line (file and memory forms).
// A hint already past the table gives 0 without either, as it always has.
int FindFreeSlot(bool warn) {
  if (g_krSound.nFreeHint >= KRSOUND_BUFFER_MAX) {
    if (!warn) KRErrorSetLastError(kErrorCreate);
    return 0;
  }
  const int handle = KRHandleFindFree(g_krSound.nFreeHint, KRSOUND_BUFFER_MAX, SlotIsFree);
  if (handle != 0) return handle;
  if (warn) return KRHandleFailTableFull("KRSound", "Buffer", kErrorCreate);
  return KRErrorFail(kErrorCreate);
}

void FillSlot(int handle, IDirectSoundBuffer* buffer, const char* path) {
  KRSOUNDBUFFER* slot = &g_krSound.lpBuffers[handle];
  // A buffer whose 3D interface cannot be had is kept; its 3D setters then do nothing.
  if (FAILED(buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&slot->lp3DBuffer)))) {
    slot->lp3DBuffer = NULL;
  }
  memmove(slot->szPath, path, strlen(path) + 1);
  slot->lpBuffer = buffer;
  slot->bPlaying = 0;
  slot->fVolume = 0.0f;
  g_krSound.nFreeHint = handle + 1;
}

// Copies the samples into the locked parts, never beyond either.
void CopySamples(const BYTE* samples, DWORD size, void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
  const DWORD first = bytes1 < size ? bytes1 : size;
  memcpy(part1, samples, first);
  const DWORD rest = size - first;
  if (part2 != NULL && bytes2 != 0 && rest != 0) memcpy(part2, samples + first, rest < bytes2 ? rest : bytes2);
}

// Makes the buffer of slot `handle` from the WAVE bytes; `path` is what the slot keeps.
int CreateFromImage(int handle, const BYTE* image, size_t available, const char* path) {
  KRWAVEPARTS parts;
  switch (KRWaveParse(image, available, &parts)) {
    case KRWAVE_NORIFF:
      KRErrorSetLastError(kErrorCreate);
      KRDebugDump("KRSound Warning : RIFF Header not found\n");
      return 0;
    case KRWAVE_NOWAVE:
      KRErrorSetLastError(kErrorCreate);
      KRDebugDump("KRSound Warning : WAVE Header not found\n");
      return 0;
    case KRWAVE_INCOMPLETE: return KRErrorFail(kErrorCreate);
    case KRWAVE_OK: break;
  }

  // A format chunk of 16 or 17 bytes lacks the record's last field: it is read
  // from a zeroed copy, never past the chunk.
  WAVEFORMATEX shortFormat;
  memset(&shortFormat, 0, sizeof(shortFormat));
  WAVEFORMATEX* format = reinterpret_cast<WAVEFORMATEX*>(const_cast<BYTE*>(parts.lpFormat));
  if (parts.dwFormatSize < sizeof(WAVEFORMATEX)) {
    memcpy(&shortFormat, parts.lpFormat, parts.dwFormatSize);
    format = &shortFormat;
  }

  DSBUFFERDESC description;
  memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = kSecondaryFlags;
  description.dwBufferBytes = parts.dwSampleSize;
  description.lpwfxFormat = format;
  IDirectSoundBuffer* buffer = NULL;
  HRESULT result = g_krSound.lpDirectSound->CreateSoundBuffer(&description, &buffer, NULL);
  if (FAILED(result)) return KRErrorFailDX(result, kErrorCreate);

  void* part1 = NULL;
  void* part2 = NULL;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  result = buffer->Lock(0, parts.dwSampleSize, &part1, &bytes1, &part2, &bytes2, 0);
  if (FAILED(result)) {
    buffer->Release();
    return KRErrorFailDX(result, kErrorCreate);
  }
  CopySamples(parts.lpSamples, parts.dwSampleSize, part1, bytes1, part2, bytes2);
  buffer->Unlock(part1, bytes1, part2, bytes2);

  FillSlot(handle, buffer, path);
  return handle;
}

// The full path the slot keeps; empty when it does not fit the slot.
void FullPath(const char* path, char* out) {
  const DWORD length = GetFullPathNameA(path, KRSOUND_PATH_MAX, out, NULL);
  if (length == 0 || length >= KRSOUND_PATH_MAX) out[0] = '\0';
}

}  // namespace

KRSOUNDBUFFER* KRSoundCheckedBuffer(int handle, const char* action) {
  if (!g_krSound.bStarted) return NULL;
  if (!KRHandleInRange(handle, KRSOUND_BUFFER_MAX) || g_krSound.lpBuffers[handle].lpBuffer == NULL) {
    KRHandleWarnInvalid("KRSound", action, "Buffer", handle);
    return NULL;
  }
  return &g_krSound.lpBuffers[handle];
}

void KRSoundEmptySlot(KRSOUNDBUFFER* slot) {
  slot->lpBuffer->Stop();
  slot->bPlaying = 0;
  if (slot->lp3DBuffer != NULL) slot->lp3DBuffer->Release();
  slot->lp3DBuffer = NULL;
  slot->lpBuffer->Release();
  slot->lpBuffer = NULL;
}

int KRSoundCreateBuffer(const char* path) {
  if (!g_krSound.bStarted) return KRErrorFail(kErrorNotStarted);
  const int handle = FindFreeSlot(true);
  if (handle == 0) return 0;

  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_ARCHIVE, NULL);
  if (file == INVALID_HANDLE_VALUE) return KRErrorFail(kErrorCreate);
  const DWORD size = GetFileSize(file, NULL);
  BYTE* image = NULL;
  try {
    if (size > INT32_MAX) throw std::bad_alloc();
    image = static_cast<BYTE*>(KRAllocEx(static_cast<int>(size), const_cast<char*>("KRSO:TMPBUFF")));
  } catch (const std::bad_alloc&) {
    CloseHandle(file);
    return KRErrorFail(kErrorCreate);
  }
  DWORD read = 0;
  if (!ReadFile(file, image, size, &read, NULL)) read = 0;
  CloseHandle(file);

  char fullPath[KRSOUND_PATH_MAX];
  FullPath(path, fullPath);
  const int result = CreateFromImage(handle, image, read, fullPath);
  KRFree(image);
  return result;
}

int KRSoundCreateBuffer(void* image) {
  if (!g_krSound.bStarted) return KRErrorFail(kErrorNotStarted);
  const int handle = FindFreeSlot(true);
  if (handle == 0) return 0;
  // An image in memory is trusted to hold what its RIFF size says; no image fails like a missing file.
  if (image == NULL) return KRErrorFail(kErrorCreate);
  return CreateFromImage(handle, static_cast<const BYTE*>(image), SIZE_MAX, "");
}

int KRSoundCreateBuffer(int source) {
  if (!g_krSound.bStarted) return KRErrorFail(kErrorNotStarted);
  const int handle = FindFreeSlot(false);
  if (handle == 0) return 0;
  if (!KRHandleInRange(source, KRSOUND_BUFFER_MAX) || SlotIsFree(source)) return KRErrorFail(kErrorCreate);

  const KRSOUNDBUFFER* original = &g_krSound.lpBuffers[source];
  IDirectSoundBuffer* duplicate = NULL;
  const HRESULT result = g_krSound.lpDirectSound->DuplicateSoundBuffer(original->lpBuffer, &duplicate);
  if (FAILED(result)) {
    // Loaded again from its file; a buffer from memory has no path and fails there.
    KRDebugDumpDXResult(result);
    char path[KRSOUND_PATH_MAX];
    memcpy(path, original->szPath, sizeof(path));
    return KRSoundCreateBuffer(static_cast<const char*>(path));
  }
  FillSlot(handle, duplicate, original->szPath);
  return handle;
}

void KRSoundPlayBuffer(int handle) {
  KRSOUNDBUFFER* slot = KRSoundCheckedBuffer(handle, "Play buffer");
  if (slot == NULL) return;
  slot->lpBuffer->SetCurrentPosition(0);
  slot->lpBuffer->Play(0, 0, 0);
  slot->bPlaying = 1;
}

void KRSoundStopBuffer(int handle) {
  KRSOUNDBUFFER* slot = KRSoundCheckedBuffer(handle, "Stop buffer");
  if (slot == NULL) return;
  slot->lpBuffer->Stop();
  slot->bPlaying = 0;
}

void KRSoundReleaseBuffer(int handle) {
  KRSOUNDBUFFER* slot = KRSoundCheckedBuffer(handle, "You did release");
  if (slot == NULL) return;
  KRSoundEmptySlot(slot);
  if (handle < g_krSound.nFreeHint) g_krSound.nFreeHint = handle;
}

int KRSoundUpdate(void) {
  if (!g_krSound.bStarted) return 0;
  int active = 0;
  for (int entry = 0; entry < KRSOUND_AUTOBUFFER_MAX; ++entry) {
    KRSOUNDBUFFER* slot = &g_krSound.lpAutoBuffers[entry];
    if (slot->lpBuffer == NULL || slot->bPlaying != 1) continue;
    ++active;
    DWORD status = 0;
    slot->lpBuffer->GetStatus(&status);
    if (status == DSBSTATUS_PLAYING) continue;
    slot->lpBuffer->Release();
    slot->lpBuffer = NULL;
    slot->bPlaying = 0;
  }
  return active;
}
