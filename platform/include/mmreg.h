// Wave-format tags beyond PCM (host build): the ones the simulated
// DirectSound plays.
#pragma once

#include <mmsystem.h>

#define WAVE_FORMAT_IEEE_FLOAT 0x0003
