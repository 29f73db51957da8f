// Conveniences around the library's own calls for test programs: the start-up
// record, the log file it writes and the last-error text.
#ifndef KR_WINE_SUPPORT_LIBRARY_CALLS_H
#define KR_WINE_SUPPORT_LIBRARY_CALLS_H

#include <korvathd.h>

#include <string>

namespace winsupport {

// A start-up record for `window` and this program's instance, with `flags`
// (KRSTARTUP_...) and the debug-log file name (empty: debugger output only).
KRSTARTUPINFO StartupInfo(HWND window, DWORD flags = 0, const char* logName = "");

// A file's bytes exactly (CR LF kept); empty when it cannot be read.
std::string ReadFileBytes(const char* path);

// KRErrorGetLastError's text, in code page 932.
std::string LastErrorText();

// The video component's back buffer as it is now, written as a PNG file.
bool SaveBackBufferPng(const char* path);

}  // namespace winsupport

#endif
