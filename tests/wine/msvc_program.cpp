// A program built as the platform's usual compiler (MSVC) builds one: clang in that
// compiler's mode, no C run-time, import libraries from llvm-dlltool, linked by lld-link.
// It reaches KORVATHD only through that compiler's names and checks every result; its
// exit code is the number of failed checks.
#include <windows.h>
#include <korvathd.h>

// The constructor as that compiler's callers may use it: it hands the object back.
#if defined(_WIN64)
#define KR_MATRIX_CONSTRUCTOR "??0KR3DMATRIX@@QEAA@XZ"
#define KR_COLOUR_CONSTRUCTOR "??0KR3DCOLORRGB@@QEAA@MMM@Z"
#define KR_MEMBER
#else
#define KR_MATRIX_CONSTRUCTOR "??0KR3DMATRIX@@QAE@XZ"
#define KR_COLOUR_CONSTRUCTOR "??0KR3DCOLORRGB@@QAE@MMM@Z"
#define KR_MEMBER __thiscall
#endif
extern "C" __declspec(dllimport) KR3DMATRIX* KR_MEMBER ConstructMatrix(void* self) __asm__(KR_MATRIX_CONSTRUCTOR);
extern "C" __declspec(dllimport) KR3DCOLORRGB* KR_MEMBER ConstructColour(void* self, float r, float g, float b)
    __asm__(KR_COLOUR_CONSTRUCTOR);

// What that compiler's run-time would otherwise supply.
extern "C" int _fltused = 0;
extern "C" void* memset(void* to, int value, size_t size) {
  for (size_t i = 0; i < size; ++i) static_cast<char*>(to)[i] = static_cast<char>(value);
  return to;
}
extern "C" void* memcpy(void* to, const void* from, size_t size) {
  for (size_t i = 0; i < size; ++i) static_cast<char*>(to)[i] = static_cast<const char*>(from)[i];
  return to;
}

namespace {

int g_failures = 0;
char g_log[4096];

size_t Length(const char* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

void Write(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(Length(text)), &written, NULL);
}

void Check(bool ok, const char* what) {
  if (ok) return;
  Write("FAIL: ");
  Write(what);
  Write("\r\n");
  ++g_failures;
}

bool Near(float a, float b) { return a - b < 1e-5f && b - a < 1e-5f; }

bool SameBytes(const char* a, const char* b, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

bool Contains(const char* text, size_t size, const char* part) {
  size_t length = Length(part);
  for (size_t at = 0; at + length <= size; ++at) {
    if (SameBytes(text + at, part, length)) return true;
  }
  return false;
}

bool IsVector(const D3DVECTOR& v, float x, float y, float z) { return Near(v.x, x) && Near(v.y, y) && Near(v.z, z); }

D3DVECTOR Vector(float x, float y, float z) { return D3DVECTOR{{x}, {y}, {z}}; }  // each member a union of two names

void CheckCore() {
  KRVERSIONINFO version = {};
  Check(KRGetVersion(&version) == 1, "KRGetVersion returns 1");
  Check(version.dwMajorVersion == 0 && version.dwMinorVersion == 71 && version.dwBuildNumber == 655,
        "the version is 0.71.655");

  char* block = static_cast<char*>(KRAllocEx(100, const_cast<char*>("MSVC:PROGRAM")));
  Check(block != NULL, "KRAllocEx gives a block");
  if (block) {
    memset(block, 0x5A, 100);
    KRFree(block);
  }
  KRDebugDump("msvc program %d %s\n", 42, "ok");

  Check(KRListStartup() == 1, "KRListStartup");
  Check(KRListStartup() == 0, "a second KRListStartup is refused");
  Check(KRErrorGetLastError() == 0x9001, "the last error is the list's already started");
  char text[KRERROR_TEXT_MAX];
  KRErrorGetLastError(text);
  // "Korvath : " and "already started" in code page 932.
  const char expected[] = "Korvath : \x8a\xf9\x82\xc9\x8f\x89\x8a\xfa\x89\xbb\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
  Check(Length(text) == sizeof(expected) - 1 && SameBytes(text, expected, sizeof(expected)), "the last error's text");

  int list = KRListCreateList(4);
  Check(list == 1, "KRListCreateList gives list 1");
  int first = 1, second = 2;
  KRListAddTail(list, &first);
  KRListAddTail(list, &second);
  Check(KRListGetCount(list) == 2, "the list holds two");
  Check(KRListGetHead(list) == &first, "the list's head");
  Check(KRListRemoveTail(list) == &second, "the list's tail removed");
  Check(KRListIsEmpty(list) == 0, "the list is not empty");
  KRListReleaseList(list);
  KRListCleanup();
}

void CheckMatrixAndColour() {
  alignas(KR3DMATRIX) char storage[sizeof(KR3DMATRIX)];
  KR3DMATRIX* made = ConstructMatrix(storage);
  Check(made == reinterpret_cast<KR3DMATRIX*>(storage), "the matrix constructor hands back this");
  made->SetIdentity();
  Check(made->_11 == 1.0f && made->_12 == 0.0f && made->_44 == 1.0f, "SetIdentity on the returned this");

  KR3DMATRIX view;
  view.SetView(Vector(0, 0, -80), Vector(0, 0, 0), Vector(0, 1, 0), 0.0f);
  Check(Near(view._11, 1) && Near(view._22, 1) && Near(view._33, 1) && Near(view._43, 80) && Near(view._41, 0),
        "SetView looks along z from -80");

  KR3DMATRIX a;
  KR3DMATRIX b;
  a.SetTranslate(5, 0, 0);
  b.SetRotateZ(3.14159265f / 2);
  KR3DMATRIX product;
  product = a * b;
  Check(IsVector(product.Transform(0, 0, 0), 0, 5, 0), "the product moves the origin to (0, 5, 0)");
  Check(IsVector(product.Transform(Vector(1, 0, 0)), 0, 6, 0), "the product moves (1, 0, 0) to (0, 6, 0)");
  KR3DMATRIX& shared = b * a;
  Check(IsVector(shared.Transform(Vector(1, 0, 0)), 5, 1, 0), "the shared result moves (1, 0, 0) to (5, 1, 0)");
  product.Scale(2.0f);
  Check(IsVector(product.Transform(0, 0, 0), 0, 10, 0), "Scale after the product");

  alignas(KR3DCOLORRGB) char colourStorage[sizeof(KR3DCOLORRGB)];
  KR3DCOLORRGB* colour = ConstructColour(colourStorage, 0.25f, 0.5f, 0.75f);
  Check(colour == reinterpret_cast<KR3DCOLORRGB*>(colourStorage), "the colour constructor hands back this");
  KR3DCOLORRGB copy;
  copy = KR3DCOLORRGB(0.125f, 0.25f, 0.375f);
  Check(copy.r == 0.125f && copy.g == 0.25f && copy.b == 0.375f, "a colour made and assigned");
  copy = *colour;
  Check(copy.r == 0.25f && copy.g == 0.5f && copy.b == 0.75f, "the returned colour assigned");
}

// Within a step of a 5-bit channel: the desktop may have fewer bits than the colour.
bool NearColour(COLORREF got, COLORREF want) {
  for (int shift = 0; shift < 24; shift += 8) {
    int difference = static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF);
    if (difference > 8 || difference < -8) return false;
  }
  return true;
}

void CheckVideoFrame() {
  Check(KRVideoStartup(0) == 1, "KRVideoStartup");
  Check(KRVideoSetVideoMode(64, 48, 0) == 1, "KRVideoSetVideoMode in a window");
  Check(KR2DStartup() == 1, "KR2DStartup");
  const COLORREF colour = 0x00336699;
  KRVideoClear(colour, KR2D_BUFFER_BACK);
  HDC dc = KR2DGetDC(KR2D_BUFFER_BACK);
  Check(dc != NULL, "KR2DGetDC of the back buffer");
  if (dc) {
    Check(NearColour(GetPixel(dc, 3, 3), colour) && NearColour(GetPixel(dc, 63, 47), colour),
          "the cleared frame reads back");
    Check(KR2DReleaseDC(dc, KR2D_BUFFER_BACK) == 1, "KR2DReleaseDC");
  }
  KR2DCleanup();
  KRVideoCleanup();
}

void CheckLog(const char* name) {
  HANDLE file = CreateFileA(name, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  Check(file != INVALID_HANDLE_VALUE, "the debug log exists");
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD size = 0;
  ReadFile(file, g_log, sizeof(g_log), &size, NULL);
  CloseHandle(file);
  DeleteFileA(name);
  Check(Contains(g_log, size, "KRDebug info : Open msvc_program_log.txt file\r\nKRDebug : Startup\r\n"),
        "the log opens");
  Check(Contains(g_log, size, "KR : KRAllocEx(01 00 00 00, \"MSVC:PROGRAM\")      100 bytes allocated\r\n"),
        "the log traces the allocation");
  Check(Contains(g_log, size, "msvc program 42 ok\r\n"), "the log holds the program's line");
  Check(Contains(g_log, size, "KRVideo : Startup\r\n"), "the log holds the video start-up");
  const char closing[] = "KRDebug : Cleanup\r\n";
  Check(size >= sizeof(closing) - 1 && SameBytes(g_log + size - (sizeof(closing) - 1), closing, sizeof(closing) - 1),
        "the log closes");
}

}  // namespace

extern "C" int ProgramStart() {
  HWND window = CreateWindowExA(0, "STATIC", "msvc program", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
  Check(window != NULL, "a window");
  KRSTARTUPINFO info = {};
  info.hWnd = window;
  info.hInstance = GetModuleHandleA(NULL);
  info.dwFlags = KRSTARTUP_DEBUGLOG | KRSTARTUP_ALLOCTRACE;
  const char logName[] = "msvc_program_log.txt";
  memcpy(info.szDebugFileName, logName, sizeof(logName));
  Check(KRStartup(&info) == 1, "KRStartup");
  CheckCore();
  CheckMatrixAndColour();
  CheckVideoFrame();
  KRCleanup();
  CheckLog(logName);
  DestroyWindow(window);
  Write(g_failures == 0 ? "msvc program: all checks passed\r\n" : "msvc program: checks failed\r\n");
  ExitProcess(static_cast<UINT>(g_failures));
}
