// Shared by the files of the simulated DirectSound: the DirectSound object
// (dsound_object.cpp) and its buffers with their 3D interfaces
// (dsound_buffer.cpp).
#ifndef KR_SIM_DSOUND_INTERNAL_H
#define KR_SIM_DSOUND_INTERNAL_H

#include <windows.h>
#include <dsound.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/com_object.h"
#include "sim/dsound_control.h"
#include "sim/sim_internal.h"

namespace sim::detail {

// Back to the boot machine (run by sim::Reset).
void ResetDirectSound();
uint32_t DirectSoundGeneration();
int& LiveSoundBufferCount();

// A new buffer of the description (checked by the caller) and of the format
// record read from it (empty for a primary buffer), one reference.
// `ownerBuffers` counts the live buffers of the DirectSound object that made them.
IDirectSoundBuffer* NewSoundBuffer(const DSBUFFERDESC& description, const std::vector<BYTE>& format,
                                   std::shared_ptr<int> ownerBuffers);
// A second buffer over the sample memory of `source`; null unless `source` is
// a live secondary buffer.
IDirectSoundBuffer* DuplicateSimSoundBuffer(IDirectSoundBuffer* source, std::shared_ptr<int> ownerBuffers);
bool IsLiveSoundBuffer(IDirectSoundBuffer* buffer);
void ForgetSoundBuffers();

std::string ArgVector(D3DVALUE x, D3DVALUE y, D3DVALUE z);
std::string ArgFloat(double value);

}  // namespace sim::detail

#endif
