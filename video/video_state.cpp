// The video component's one global state record; all zero at load.
#include "video/video_state.h"

KRVIDEOSTATE g_krVideo;
