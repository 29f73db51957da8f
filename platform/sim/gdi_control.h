// Test control of the simulated windows and GDI (host build): the application's
// windows, modules with their bitmap resources, the process's code page, .bmp
// files to load, and the text that was drawn.
#ifndef KR_SIM_GDI_CONTROL_H
#define KR_SIM_GDI_CONTROL_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// ---- Windows ------------------------------------------------------------------------
// A top-level window as the application made it before handing it over: its
// outer rectangle on screen, and the frame between that and the client area
// (left, top with the caption, right, bottom), which SetWindowPos keeps.
struct TestWindowLayout {
  int x = 100;
  int y = 100;
  int width = 648;   // outer size; the client area is 640 by 480 with the default frame
  int height = 507;
  RECT frame{4, 23, 4, 4};
  bool visible = true;
  bool topmost = false;
  std::string title = "Test window";
  bool highHandle = false;  // a handle at or above 0x80000000 as a 32-bit value
};
HWND CreateTestWindow(const TestWindowLayout& layout = TestWindowLayout{});

struct WindowInfo {
  bool exists = false;
  RECT window{0, 0, 0, 0};  // outer rectangle on screen
  RECT client{0, 0, 0, 0};  // client area on screen
  bool visible = false;
  bool topmost = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string className;  // empty for a test window
  std::string title;
  HWND parent = nullptr;
};
WindowInfo InspectWindow(HWND window);
int LiveWindows();  // made and not destroyed, the desktop not counted

// What GetCurrentDirectoryA reports (a scripted answer: files still resolve
// against C:\work); empty for C:\work itself.
void SetReportedCurrentDirectory(const std::string& windowsPath);

// ---- Messages ------------------------------------------------------------------------------
int QueuedMessages();  // posted and not yet taken from the queue
// The user switches to another application (false) or back (true): every
// top-level window with a procedure is sent WM_ACTIVATEAPP.
void SendActivateApp(bool active);

// ---- Modules and resources --------------------------------------------------------------
// Loaded at boot: the executable (GetModuleHandleA(NULL)) and "KORVATHD.DLL".
HMODULE ExecutableModule();
// A loaded module by file name ("KORVATHD.DLL"; case does not matter), or null.
HMODULE LoadedModule(const std::string& fileName);
HMODULE AddLoadedModule(const std::string& fileName);
// A bitmap resource of `module`: `name` is a name or MAKEINTRESOURCEA(id);
// `bmpBytes` a whole .bmp file or the packed form a resource file holds.
void AddBitmapResource(HMODULE module, LPCSTR name, const std::string& bmpBytes);
// Any resource: `type` and `name` are names or MAKEINTRESOURCEA(id). Set
// replaces one of the same type and name; Remove tells whether there was one.
// "KORVATHD.DLL" carries the build's generated resources after every reset.
void SetResource(HMODULE module, LPCSTR type, LPCSTR name, const std::string& bytes);
bool RemoveResource(HMODULE module, LPCSTR type, LPCSTR name);
std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name);  // throws when there is none

// ---- Keys (GetAsyncKeyState) -------------------------------------------------------------
// Up at boot. A key pressed "after n queries" answers up to its next n
// GetAsyncKeyState calls and down from then on.
void SetAsyncKeyDown(int virtualKey, bool down);
void PressAsyncKeyAfter(int virtualKey, int queries);

// ---- Code page ---------------------------------------------------------------------------
// The system's ANSI code page, and the C run-time's multibyte table made for it,
// as for a process started on that system: 932 (the boot value) or a
// single-byte page such as 1252.
void SetAnsiCodePage(int codePage);

// ---- .bmp files -----------------------------------------------------------------------
struct BmpImage {
  int width = 0;
  int height = 0;
  int bitCount = 24;      // 1, 4, 8, 16 (5-5-5), 24 or 32
  bool topDown = false;   // rows stored top row first (negative height)
  std::vector<uint32_t> palette;  // 1 to 8 bits: 0x00RRGGBB entries of the colour table
  std::vector<uint32_t> pixels;   // top row first; 1 to 8 bits: palette indexes, else 0x00RRGGBB
};
std::string EncodeBmp(const BmpImage& image);  // the bytes of a .bmp file

// ---- Text ---------------------------------------------------------------------------------
// Each TextOutA as it was drawn.
struct TextRun {
  HDC dc;
  int left;    // the text's box in the device context's coordinates
  int top;
  int width;
  int height;
  bool systemFont;  // no font was selected: `font` is all zero
  LOGFONTA font;
  COLORREF textColor;
  COLORREF backgroundColor;
  int backgroundMode;
  UINT textAlign;
  std::string text;
};
std::vector<TextRun> TextRuns();
void ClearTextRuns();

// ---- GDI objects ----------------------------------------------------------------------
int LiveDeviceContexts();  // from GetDC, CreateCompatibleDC and DirectDraw surfaces, not yet given back
int LiveGdiObjects();      // bitmaps, fonts and palettes made and not deleted (stock objects not counted)

}  // namespace sim

#endif
