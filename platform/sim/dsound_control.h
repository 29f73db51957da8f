// Test control of the simulated DirectSound (host build only): what a sound
// buffer, the primary buffer's listener and a buffer's 3D interface hold now,
// a lock split in two parts, a one-shot play reaching its end, and counts of
// what the library made. Nothing is mixed or played.
#ifndef KR_SIM_DSOUND_CONTROL_H
#define KR_SIM_DSOUND_CONTROL_H

#include <windows.h>
#include <d3dtypes.h>

// Not dsound.h: control.h reaches files that define the identifiers of other areas.
struct IDirectSoundBuffer;
struct IDirectSound3DListener;
struct IDirectSound3DBuffer;

#include <vector>

namespace sim {

// A buffer as DirectSound holds it. `samples` are the bytes of its sample
// memory, which duplicates share (`sampleMemory` tells shared memory apart).
struct SoundBufferState {
  // The description as given, and the format it pointed to.
  DWORD descriptionSize = 0;
  DWORD flags = 0;
  DWORD bufferBytes = 0;
  DWORD reserved = 0;
  WAVEFORMATEX format = {};
  std::vector<BYTE> formatRecord;  // as read: 18 bytes, and for other than PCM the cbSize bytes after them
  std::vector<BYTE> samples;
  const void* sampleMemory = nullptr;
  LONG volume = 0;
  LONG pan = 0;
  DWORD frequency = 0;
  DWORD position = 0;  // play cursor
  bool playing = false;
  bool looping = false;
  bool locked = false;
  bool duplicate = false;
};

// The values of the last call of each 3D setter and the apply flag it came with.
struct Sound3DValue {
  D3DVECTOR vector = {};
  D3DVECTOR second = {};  // the top vector of the listener's orientation
  float factor = 0.0f;
  DWORD apply = 0;
  int calls = 0;
};

struct SoundListenerState {
  Sound3DValue position;
  Sound3DValue orientation;
  Sound3DValue distanceFactor;
  Sound3DValue rolloffFactor;
  Sound3DValue dopplerFactor;
  int commits = 0;
};

struct Sound3DBufferState {
  Sound3DValue position;
  Sound3DValue coneOrientation;
};

// False when `buffer` is not a live simulated buffer.
bool SoundBuffer(IDirectSoundBuffer* buffer, SoundBufferState* out);
// The listener and 3D values belong to the buffer behind the interface.
bool SoundListener(IDirectSound3DListener* listener, SoundListenerState* out);
bool Sound3DBuffer(IDirectSound3DBuffer* buffer, Sound3DBufferState* out);

// The next Lock of a secondary buffer hands out its bytes in two parts, the
// first `firstPartBytes` long (as a lock across the ring's end would).
void SplitNextSoundLock(DWORD firstPartBytes);
// A one-shot play of `buffer` reaches its end: it stops by itself.
void EndSoundPlayback(IDirectSoundBuffer* buffer);

int LiveDirectSoundObjects();
int LiveSoundBuffers();  // primary and secondary buffers, duplicates included

}  // namespace sim

#endif
