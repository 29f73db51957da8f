// Master and buffer volume, and the 3D settings of the listener and of each
// buffer: one DirectSound call each, its result not checked. The apply flag
// goes to DirectSound unchanged; deferred settings are never committed here.
#include <korvathd.h>

#include <cmath>

#include "audio/sound_state.h"
#include "core/int_conversion.h"

namespace {

const double kPi = 3.14159265358979323846;

// DirectSound refuses volumes outside its range and keeps the old one.
LONG ClampVolume(int volume) {
  if (volume < DSBVOLUME_MIN) return DSBVOLUME_MIN;
  if (volume > DSBVOLUME_MAX) return DSBVOLUME_MAX;
  return volume;
}

IDirectSound3DListener* Listener(void) { return g_krSound.bStarted ? g_krSound.lpListener : NULL; }

IDirectSound3DBuffer* Buffer3D(int handle, const char* action) {
  KRSOUNDBUFFER* slot = KRSoundCheckedBuffer(handle, action);
  return slot == NULL ? NULL : slot->lp3DBuffer;
}

}  // namespace

// A volume that is not a number is no volume: it changes nothing.
void KRSoundSetMasterVolume(float volume) {
  if (!g_krSound.bStarted || g_krSound.lpPrimary == NULL || std::isnan(volume)) return;
  // The curve is periodic: below -1 it would climb back towards full volume.
  double scale = volume;
  if (scale > 0.0) scale = 0.0;
  if (scale < -1.0) scale = -1.0;
  const double curve = sin((scale + 1.0) * kPi / 2.0) - 1.0;
  g_krSound.lpPrimary->SetVolume(KRFloatToInt(curve * 10000.0));
}

void KRSoundSetBufferVolume(int handle, float volume) {
  KRSOUNDBUFFER* slot = KRSoundCheckedBuffer(handle, "Set buffer volume to");
  if (slot == NULL || std::isnan(volume)) return;
  slot->fVolume = volume;
  slot->lpBuffer->SetVolume(ClampVolume(KRFloatToInt(static_cast<double>(volume) * 10000.0)));
}

void KRSoundSetListenerPosition(float x, float y, float z, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DListener* listener = Listener()) listener->SetPosition(x, y, z, apply);
}

void KRSoundSetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                   KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DListener* listener = Listener()) {
    listener->SetOrientation(frontX, frontY, frontZ, topX, topY, topZ, apply);
  }
}

void KRSoundSetListenerDistanceFactor(float factor, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DListener* listener = Listener()) listener->SetDistanceFactor(factor, apply);
}

void KRSoundSetListenerRolloffFactor(float factor, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DListener* listener = Listener()) listener->SetRolloffFactor(factor, apply);
}

void KRSoundSetListenerDopplerFactor(float factor, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DListener* listener = Listener()) listener->SetDopplerFactor(factor, apply);
}

void KRSoundSetBufferPosition(int handle, float x, float y, float z, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DBuffer* buffer = Buffer3D(handle, "Set buffer position to")) buffer->SetPosition(x, y, z, apply);
}

void KRSoundSetBufferOrientation(int handle, float x, float y, float z, KRSOUNDAPPLYTYPE apply) {
  if (IDirectSound3DBuffer* buffer = Buffer3D(handle, "Set buffer orientation to")) {
    buffer->SetConeOrientation(x, y, z, apply);
  }
}
