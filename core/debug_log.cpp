// Debug log: every line goes to the debugger output and, while a log file is
// open, to the file with CR LF line ends, flushed at once.
#include <korvathd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/last_error.h"

namespace {

const int kFormatBufferSize = 1024;
const int kConvertedBufferSize = 2 * kFormatBufferSize;  // every byte may become two

DWORD g_started = 0;
DWORD g_convertLineEnds = 1;  // set at load: lines are converted until a start-up without file
HANDLE g_file = INVALID_HANDLE_VALUE;

// Replaces every CR and every LF by CR LF; returns the bytes written, without the NUL.
DWORD ConvertLineEnds(const char* text, char* out) {
  DWORD count = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\r' || *p == '\n') {
      out[count++] = '\r';
      out[count++] = '\n';
    } else {
      out[count++] = *p;
    }
  }
  out[count] = '\0';
  return count;
}

// Logs the system's text for an error code, if the system has one.
void DumpSystemMessage(DWORD errorCode) {
  char* message = NULL;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, errorCode,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&message), 0,
                                NULL);
  if (length == 0 || message == NULL) return;
  KRDebugDump("KRDebug info : %s\n", message);
  LocalFree(message);
}

}  // namespace

int KRDebugStartup(const char* fileName) {
  if (g_started) return KRErrorFail(KRERR_DEBUG | KRERR_ALREADYSTARTED);
  if (fileName == NULL) fileName = "";

  g_convertLineEnds = 0;
  g_file = INVALID_HANDLE_VALUE;
  g_started = 1;

  if (fileName[0] != '\0') {
    g_file = CreateFileA(fileName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH, NULL);
    if (g_file != INVALID_HANDLE_VALUE) {
      g_convertLineEnds = 1;
      KRDebugDump("KRDebug info : Open %s file\n", fileName);
    } else {
      DWORD error = GetLastError();
      KRDebugDump("KRDebug info : Couldn't open %s file\n", fileName);
      DumpSystemMessage(error);
    }
  }
  KRDebugDump("KRDebug : Startup\n");
  return 1;
}

void KRDebugDump(const char* format, ...) {
  char text[kFormatBufferSize];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);  // cuts at 1023 characters, always terminated
  va_end(args);

  if (!g_convertLineEnds) {
    OutputDebugStringA(text);
    return;
  }

  char converted[kConvertedBufferSize];
  DWORD count = ConvertLineEnds(text, converted);
  if (g_file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(g_file, converted, count, &written, NULL);  // a failed write still reaches the debugger
    FlushFileBuffers(g_file);
  }
  OutputDebugStringA(converted);
}

void KRDebugCleanup(void) {
  if (!g_started) {
    KRErrorSetLastError(KRERR_DEBUG | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KRDebug : Cleanup\n");
  if (g_file != INVALID_HANDLE_VALUE) {
    FlushFileBuffers(g_file);
    CloseHandle(g_file);
    g_file = INVALID_HANDLE_VALUE;
    // The name is always krdebug.txt here, whatever the file was called.
    KRDebugDump("KRDebug info : Close krdebug.txt file\n");
  }
  g_file = INVALID_HANDLE_VALUE;
  g_started = 0;
}
