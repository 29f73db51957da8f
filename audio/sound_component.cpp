// The sound component's start-up and clean-up: the two buffer tables,
// DirectSound on the main window, the primary buffer and its listener; and the
// getters of DirectSound and the primary buffer.
#include "audio/sound_state.h"

#include <korvathd.h>

#include <cstring>

#include "core/component_blocks.h"
#include "core/core_state.h"
#include "core/handle_table.h"
#include "core/last_error.h"

KRSOUNDSTATE g_krSound;

namespace {

const DWORD kPrimaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;

const KRComponentBlock kTables[] = {
    {reinterpret_cast<void**>(&g_krSound.lpBuffers), KRSOUND_BUFFER_MAX * static_cast<int>(sizeof(KRSOUNDBUFFER)),
     "KRSO:BUFFER"},
    {reinterpret_cast<void**>(&g_krSound.lpAutoBuffers),
     KRSOUND_AUTOBUFFER_MAX * static_cast<int>(sizeof(KRSOUNDBUFFER)), "KRSO:AUTOBUF"},
};

HRESULT CreateDirectSound(IDirectSound** out) {
  *out = NULL;
  HRESULT result = CoCreateInstance(CLSID_DirectSound, NULL, CLSCTX_INPROC, IID_IDirectSound,
                                    reinterpret_cast<void**>(out));
  if (FAILED(result)) return result;
  result = (*out)->Initialize(NULL);
  if (FAILED(result)) {
    (*out)->Release();
    *out = NULL;
  }
  return result;
}

// Steps whose results the component does not check: a sound component without
// a primary buffer or listener still starts; the master and listener setters
// then do nothing.
void SetUpPrimary(void) {
  g_krSound.lpDirectSound->SetCooperativeLevel(g_krCore.hWnd, DSSCL_NORMAL);
  DSBUFFERDESC description;
  memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = kPrimaryFlags;
  if (FAILED(g_krSound.lpDirectSound->CreateSoundBuffer(&description, &g_krSound.lpPrimary, NULL))) {
    g_krSound.lpPrimary = NULL;
    return;
  }
  if (FAILED(g_krSound.lpPrimary->QueryInterface(IID_IDirectSound3DListener,
                                                 reinterpret_cast<void**>(&g_krSound.lpListener)))) {
    g_krSound.lpListener = NULL;
  }
  g_krSound.lpPrimary->SetFrequency(44100);
  g_krSound.lpPrimary->SetPan(0);
}

template <typename Interface>
void ReleaseInterface(Interface** object) {
  if (*object == NULL) return;
  (*object)->Release();
  *object = NULL;
}

// A getter's object with a reference added, or null while sound is not started.
template <typename Interface>
void HandOut(Interface* object, Interface** out) {
  if (out == NULL) return;
  *out = g_krSound.bStarted ? object : NULL;
  if (*out != NULL) (*out)->AddRef();
}

}  // namespace

int KRSoundIsStarted(void) { return g_krSound.bStarted; }

int KRSoundStartup(void) {
  if (g_krSound.bStarted) return KRErrorFail(KRERR_SOUND | KRERR_ALREADYSTARTED);

  KRDebugDump("KRSound : Startup\n");
  g_krSound.nFreeHint = 1;
  if (!KRAllocateAllComponentBlocks(kTables)) return KRErrorFail(KRERR_SOUND | KRERR_STARTUPFAILED);

  KRDebugDump("KRSound : DirectSoundCreate\n");
  if (FAILED(CreateDirectSound(&g_krSound.lpDirectSound))) {
    KRFreeComponentBlocks(kTables);
    return KRErrorFail(KRERR_SOUND | KRERR_STARTUPFAILED);
  }
  g_krSound.bStarted = 1;
  SetUpPrimary();
  return 1;
}

void KRSoundCleanup(void) {
  if (!g_krSound.bStarted) {
    KRErrorSetLastError(KRERR_SOUND | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KRSound : Cleanup\n");
  for (int handle = 1; handle < KRSOUND_BUFFER_MAX; ++handle) {
    KRSOUNDBUFFER* slot = &g_krSound.lpBuffers[handle];
    if (slot->lpBuffer == NULL) continue;
    KRHandleWarnNotReleased("KRSound", "Buffer", handle);
    KRSoundEmptySlot(slot);
  }
  KRFree(g_krSound.lpBuffers);
  g_krSound.lpBuffers = NULL;
  for (int entry = 0; entry < KRSOUND_AUTOBUFFER_MAX; ++entry) {
    KRSOUNDBUFFER* slot = &g_krSound.lpAutoBuffers[entry];
    ReleaseInterface(&slot->lp3DBuffer);
    ReleaseInterface(&slot->lpBuffer);
    slot->bPlaying = 0;
  }
  KRFree(g_krSound.lpAutoBuffers);
  g_krSound.lpAutoBuffers = NULL;
  ReleaseInterface(&g_krSound.lpListener);
  ReleaseInterface(&g_krSound.lpPrimary);
  KRDebugDump("KRSound : Release DirectSound\n");
  ReleaseInterface(&g_krSound.lpDirectSound);
  g_krSound.nFreeHint = 1;
  g_krSound.bStarted = 0;
}

void KRSoundGetDirectSoundInterface(IDirectSound** out) { HandOut(g_krSound.lpDirectSound, out); }

void KRSoundGetDirectSoundBufferInterface(IDirectSoundBuffer** out) { HandOut(g_krSound.lpPrimary, out); }
