#include "core/component_cleanup.h"

#include <korvathd.h>

#include "audio/media_state.h"
#include "audio/music_state.h"
#include "audio/sound_state.h"
#include "core/lists.h"
#include "input/input_state.h"
#include "network/network_state.h"
#include "render3d/render3d_state.h"
#include "video/buffer_table.h"
#include "video/video_state.h"

namespace {

struct KRComponentEntry {
  const char* warningLine;
  int (*isStarted)(void);
  void (*cleanup)(void);
};

// The order is fixed: lists, network, media, sound, music, input, 3D, 2D, video.
// A component joins the table with one line, at its place in that order.
const KRComponentEntry kComponents[] = {
    {"KR Warining : You didn't cleanup KRList\n", KRListIsStarted, KRListCleanup},
    {"KR Warining : You didn't cleanup KRNetwork\n", KRNetworkIsStarted, KRNetworkCleanup},
    {"KR Warining : You didn't cleanup KRMedia\n", KRMediaIsStarted, KRMediaCleanup},
    {"KR Warining : You didn't cleanup KRSound\n", KRSoundIsStarted, KRSoundCleanup},
    {"KR Warining : You didn't cleanup KRMusic\n", KRMusicIsStarted, KRMusicCleanup},
    {"KR Warining : You didn't cleanup KRInput\n", KRInputIsStarted, KRInputCleanup},
    {"KR Warining : You didn't cleanup KR3D\n", KR3DIsStarted, KR3DCleanup},
    {"KR Warining : You didn't cleanup KR2D\n", KR2DIsStarted, KR2DCleanup},
    {"KR Warining : You didn't cleanup KRVideo\n", KRVideoIsStarted, KRVideoCleanup},
};

}  // namespace

void KRCleanupStartedComponents(void) {
  for (const KRComponentEntry& component : kComponents) {
    if (!component.isStarted()) continue;
    KRDebugDump("%s", component.warningLine);
    component.cleanup();
  }
}
