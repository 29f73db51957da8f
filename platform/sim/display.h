// The simulated screen, shared by the DirectDraw and GDI areas: its current
// display mode (the desktop's, or what SetDisplayMode made it) and its pixels.
#ifndef KR_SIM_DISPLAY_H
#define KR_SIM_DISPLAY_H

#include "sim/pixel_surface.h"

namespace sim::detail {

struct DisplayState {
  int width = 1024;
  int height = 768;
  int bitsPerPixel = 16;  // what GetDeviceCaps(BITSPIXEL) reports for screen DCs
  PixelLayout layout = PixelLayout::Rgb565();
  // The screen's pixels: what the primary surface shows. Remade when the mode changes.
  PixelSurfacePtr screen;
};

// The one screen; made on first use at the boot mode. Owned by the DirectDraw area.
DisplayState& Display();

}  // namespace sim::detail

#endif
