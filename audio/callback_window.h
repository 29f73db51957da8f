// The hidden windows the music and media components receive notifications in.
#ifndef KR_CALLBACK_WINDOW_H
#define KR_CALLBACK_WINDOW_H

#include <windows.h>

// Registers the class `name` and makes a hidden window of it titled `name`.
// Neither result is checked: a class left from an earlier start-up serves again.
HWND KRCreateCallbackWindow(const char* name, WNDPROC proc);

#endif
