// A top-level window with a client area of a given size, the way a game makes its
// main window. It stands at (20, 20), away from the screen's origin, so a test
// sees that full screen moves it there.
#ifndef KR_WINE_SUPPORT_MAIN_WINDOW_H
#define KR_WINE_SUPPORT_MAIN_WINDOW_H

#include <windows.h>

namespace winsupport {

// Creates, shows and paints the window; null when the system refuses it.
HWND CreateMainWindow(int clientWidth, int clientHeight, const char* title);

// Dispatches every message waiting for this thread's windows.
void PumpMessages();

// Destroys the window (null is ignored) and dispatches what that sends.
void DestroyMainWindow(HWND window);

}  // namespace winsupport

#endif
