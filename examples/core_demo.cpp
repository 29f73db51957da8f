// A start-up and clean-up of KORVATHD: the version, a debug log with the
// allocation trace, a list, a last error, and what the log file then holds.
#include <korvathd.h>

#include <cstdio>
#include <cstring>

namespace {

void PrintFile(const char* name) {
  FILE* file = fopen(name, "rb");
  if (!file) {
    printf("(no %s)\n", name);
    return;
  }
  char buffer[512];
  size_t count;
  while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0) fwrite(buffer, 1, count, stdout);
  fclose(file);
}

}  // namespace

int main() {
  KRVERSIONINFO version;
  KRGetVersion(&version);
  printf("KORVATHD version %lu.%lu build %lu\n", static_cast<unsigned long>(version.dwMajorVersion),
         static_cast<unsigned long>(version.dwMinorVersion), static_cast<unsigned long>(version.dwBuildNumber));

  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  info.hWnd = GetDesktopWindow();
  info.hInstance = GetModuleHandleA(NULL);
  info.dwFlags = KRSTARTUP_DEBUGLOG | KRSTARTUP_ALLOCTRACE;
  strcpy(info.szDebugFileName, "krdebug.txt");
  if (!KRStartup(&info)) return 1;

  KRListStartup();
  int list = KRListCreateList(4);
  static const char* words[] = {"alpha", "beta", "gamma"};
  for (const char* word : words) KRListAddTail(list, const_cast<char*>(word));
  printf("list %d holds:", list);
  KRListSetCurrentPosition(list, 0);
  while (void* word = KRListGetNext(list)) printf(" %s", static_cast<const char*>(word));
  printf("\n");

  KRListCreateList(0);  // refused: a list needs room for one element
  char text[KRERROR_TEXT_MAX];
  KRErrorGetLastError(text);
  printf("last error 0x%04lx: %s\n", KRErrorGetLastError(), text);

  KRDebugDump("core_demo : cleaning up (the list component is left started on purpose)\n");
  KRCleanup();

  printf("---- krdebug.txt ----\n");
  PrintFile("krdebug.txt");
  return 0;
}
