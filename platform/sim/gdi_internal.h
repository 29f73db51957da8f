// Shared by the windows and GDI areas of the simulation: the window table, the
// GDI handle table (device contexts and the objects selected into them), the
// pixels a device context draws into, the multibyte table, and modules with
// their resources.
#ifndef KR_SIM_GDI_INTERNAL_H
#define KR_SIM_GDI_INTERNAL_H

#include <string>
#include <vector>

#include "sim/gdi_control.h"
#include "sim/pixel_surface.h"
#include "sim/sim_internal.h"

namespace sim::detail {

// ---- Windows ---------------------------------------------------------------------
struct WindowEntry {
  bool inUse = false;
  std::string className;  // empty for a test window
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  HINSTANCE instance = nullptr;
  WNDPROC proc = nullptr;  // null for a test window: no messages
  RECT outer{0, 0, 0, 0};  // on screen
  RECT frame{0, 0, 0, 0};  // left, top, right and bottom widths between outer rectangle and client area
  bool visible = false;
  bool topmost = false;
  bool highHandle = false;  // its handle has bit 31 set
};
// A live window made by CreateWindowExA or CreateTestWindow, else null (the desktop too).
WindowEntry* WindowEntryOf(HWND window);
RECT ClientOfWindow(const WindowEntry& window);  // on screen

// The screen as a rectangle: the current display mode's size.
RECT ScreenRect();
// The outer rectangle and the client area of a live window (the desktop
// included), both on screen; false for anything else.
bool WindowRectsOnScreen(HWND window, RECT* outer, RECT* client);
bool IsWindowShown(HWND window);
HWND DesktopWindowHandle();
// Live windows without a parent that have a procedure (test windows have none).
std::vector<HWND> TopLevelWindows();
// Messages posted to a window leave the queue when it is destroyed.
void DropMessagesOf(HWND window);
// What the system itself posts (notifications): no record entry; false for a dead window.
bool PostQuietly(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- GDI handle table ------------------------------------------------------------
enum class GdiKind { None, DeviceContext, Bitmap, Font, Palette };
// Display: a window's or the screen's (GetDC). Memory: CreateCompatibleDC.
// Pixels: CreatePixelDC, drawing into a DirectDraw surface's pixels.
enum class DcKind { Display, Memory, Pixels };

struct BitmapObject {
  PixelSurfacePtr pixels;
  bool dibSection = false;
  int bitCount = 0;            // as GetObjectA reports it
  int colorTableSize = 0;      // entries of a DIB section's colour table
  DWORD compression = 0;       // BI_RGB or BI_BITFIELDS
};

struct DeviceContextObject {
  DcKind kind = DcKind::Display;
  HWND window = nullptr;       // Display: the window, null for the whole screen
  PixelSurfacePtr pixels;      // Pixels: what it draws into
  HGDIOBJ bitmap = nullptr;    // Memory: the selected bitmap
  HGDIOBJ font = nullptr;
  COLORREF textColor = 0x000000;
  COLORREF backgroundColor = 0xFFFFFF;
  int backgroundMode = OPAQUE;
  UINT textAlign = TA_NOUPDATECP | TA_LEFT | TA_TOP;
  POINT position{0, 0};
};

struct GdiEntry {
  GdiKind kind = GdiKind::None;
  bool stock = false;  // stock objects survive DeleteObject
  // Deleted while selected into a device context: Windows frees it when the last one lets go.
  bool deleteWhenDeselected = false;
  BitmapObject bitmap;
  LOGFONTA font{};
  std::vector<PALETTEENTRY> palette;
  DeviceContextObject dc;
};

// A new handle for `entry`; null when the table is full.
void* NewGdiHandle(const GdiEntry& entry);
// The entry of a live handle of that kind, else null.
GdiEntry* GdiEntryOf(const void* handle, GdiKind kind);
// Any live handle's entry, else null.
GdiEntry* AnyGdiEntryOf(const void* handle);
// A device context freed lets go of its objects (see DeleteIfDeselected).
void FreeGdiHandle(const void* handle);
// Whether a live device context has the object selected.
bool IsSelectedAnywhere(const void* object);
// Frees an object deleted while selected, once no device context holds it.
void DeleteIfDeselected(const void* object);
DeviceContextObject* DeviceContextOf(HDC dc);

HGDIOBJ StockSystemFont();
HGDIOBJ StockDefaultPalette();
HGDIOBJ StockDefaultBitmap();  // a memory DC's 1 by 1 bitmap until another is selected

// ---- What a device context draws into --------------------------------------------
// `clip` is in the surface's coordinates; a DC's point (x, y) is the surface's
// (originX + x, originY + y).
struct Canvas {
  PixelSurface* surface = nullptr;
  int originX = 0;
  int originY = 0;
  RECT clip{0, 0, 0, 0};

  bool Contains(int surfaceX, int surfaceY) const {
    return surfaceX >= clip.left && surfaceX < clip.right && surfaceY >= clip.top && surfaceY < clip.bottom;
  }
};
// False when there is nothing to draw into (no screen yet, a destroyed window).
bool CanvasOf(const DeviceContextObject& dc, Canvas* canvas);

// 0x00BBGGRR to the pixel surfaces' 0x00RRGGBB, and back.
inline uint32_t RgbOfColorref(COLORREF color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline COLORREF ColorrefOfRgb(uint32_t rgb) { return RgbOfColorref(rgb); }

// ---- Bitmap files ----------------------------------------------------------------
struct DecodedBitmap {
  PixelSurfacePtr pixels;  // null when the bytes are no bitmap we can read
  int colorTableSize = 0;
  DWORD compression = 0;
  int bitCount = 0;  // the file's own depth; 1 and 4-bit pixels are held as 8-bit indexes
};
// A whole .bmp file, or the packed form that bitmap resources hold (header,
// colour table and pixels without the file header).
DecodedBitmap DecodeBmpFile(const std::string& bytes);
DecodedBitmap DecodePackedDib(const std::string& bytes);

// ---- Modules and resources -----------------------------------------------------
bool IsLoadedModule(HMODULE module);
// The bytes of a resource, or null; `why` says what was missing
// (ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND).
const std::string* FindResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, DWORD* why);
// A resource name or type as text: "#101" for an integer identifier.
std::string ResourceNameText(LPCSTR name);

// ---- Multibyte table -------------------------------------------------------------
// The C run-time's current table (what _setmbcp chose), for text measure.
bool IsMultibyteLeadByte(unsigned char byte);
// The system's ANSI code page (IsDBCSLeadByte, file names).
bool IsAnsiLeadByte(unsigned char byte);
int AnsiCodePage();  // what CP_ACP stands for
// A zero-ended UTF-16 text in the ANSI code page, without a record entry.
std::string WideToAnsi(const WCHAR* text);

}  // namespace sim::detail

#endif
