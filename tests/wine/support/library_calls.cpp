#include "support/library_calls.h"

#include <ddraw.h>

#include "support/png_writer.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace winsupport {

KRSTARTUPINFO StartupInfo(HWND window, DWORD flags, const char* logName) {
  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  info.hWnd = window;
  info.hInstance = GetModuleHandleA(NULL);
  info.dwFlags = flags;
  strncpy(info.szDebugFileName, logName, sizeof(info.szDebugFileName) - 1);
  return info;
}

std::string ReadFileBytes(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string LastErrorText() {
  char text[KRERROR_TEXT_MAX];
  KRErrorGetLastError(text);
  return text;
}

bool SaveBackBufferPng(const char* path) {
  IDirectDrawSurface4* primary = NULL;
  IDirectDrawSurface4* back = NULL;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  bool saved = back != NULL && WriteSurfacePng(back, path);
  if (back) back->Release();
  if (primary) primary->Release();
  return saved;
}

}  // namespace winsupport
