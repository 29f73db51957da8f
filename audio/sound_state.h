// The sound component's global state: DirectSound, the primary buffer with its
// listener, and the two buffer tables.
#ifndef KR_AUDIO_SOUND_STATE_H
#define KR_AUDIO_SOUND_STATE_H

#include <windows.h>
#include <dsound.h>

#define KRSOUND_PATH_MAX 128

// One buffer slot; a null lpBuffer marks a free slot. The slot owns one
// reference on each interface.
typedef struct KRSOUNDBUFFER {
  char szPath[KRSOUND_PATH_MAX];     // full path of the WAVE file; empty for a buffer from memory
  IDirectSoundBuffer* lpBuffer;
  IDirectSound3DBuffer* lp3DBuffer;  // null when the buffer would not give one
  int bPlaying;                      // 1 from play until stop or release
  float fVolume;                     // the last volume given, as given
} KRSOUNDBUFFER;

typedef struct KRSOUNDSTATE {
  int bStarted;
  int nFreeHint;                     // the lowest handle that may be free
  KRSOUNDBUFFER* lpBuffers;          // KRSOUND_BUFFER_MAX slots, "KRSO:BUFFER"
  KRSOUNDBUFFER* lpAutoBuffers;      // KRSOUND_AUTOBUFFER_MAX slots, "KRSO:AUTOBUF"
  IDirectSound* lpDirectSound;
  IDirectSoundBuffer* lpPrimary;
  IDirectSound3DListener* lpListener;
} KRSOUNDSTATE;

extern KRSOUNDSTATE g_krSound;

// 1 while sound is started (KRCleanup cleans up what is left started).
int KRSoundIsStarted(void);

// The slot of a handle from 1 to 63 that holds a buffer; otherwise null after
// the warning "KRSound Warning : <action> NULL or ills Buffer(<handle>).\n".
// Null without a line while sound is not started.
KRSOUNDBUFFER* KRSoundCheckedBuffer(int handle, const char* action);

// Stops and empties a slot: its interfaces released, its playing flag cleared.
void KRSoundEmptySlot(KRSOUNDBUFFER* slot);

#endif
