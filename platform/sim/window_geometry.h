// Window geometry, owned by the windows area and read by DirectDraw's clipper
// (a blit to the primary surface lands only in the clipper window's client area).
#ifndef KR_SIM_WINDOW_GEOMETRY_H
#define KR_SIM_WINDOW_GEOMETRY_H

#include <windows.h>

namespace sim::detail {

// The window's client area in screen coordinates; false when `window` is not a window.
bool ClientRectOnScreen(HWND window, RECT* rect);

}  // namespace sim::detail

#endif
