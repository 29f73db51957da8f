// Text: a device context's colours, background mode, alignment and current
// position, and TextOutA and GetTextExtentPoint32A with a cell font. Every
// character is a cell of the selected font's size (two for a double-byte
// character of the run-time's code page), drawn as a frame with a pattern of
// its character code inside, so that text visibly changes the pixels of its box.
#include <cstdlib>
#include <vector>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

std::vector<TextRun> g_runs;

void ResetTextRuns() { g_runs.clear(); }

const bool kResetRegistered = detail::AddResetHook(ResetTextRuns);

struct Cell {
  int width;
  int height;
};

// lfWidth, else half of lfHeight, else the system font's 8 by 16; GDI takes
// sizes without their sign.
Cell CellOfFont(const LOGFONTA& font) {
  const int64_t height = std::llabs(static_cast<int64_t>(font.lfHeight));
  const int64_t width = std::llabs(static_cast<int64_t>(font.lfWidth));
  Cell cell{8, 16};
  if (height != 0) cell.height = static_cast<int>(height);
  if (width != 0) {
    cell.width = static_cast<int>(width);
  } else if (height != 0) {
    cell.width = static_cast<int>(height / 2 > 0 ? height / 2 : 1);
  }
  return cell;
}

const LOGFONTA& FontOf(const detail::DeviceContextObject& dc) {
  static const LOGFONTA kSystemFont{};
  const detail::GdiEntry* font = detail::GdiEntryOf(dc.font, detail::GdiKind::Font);
  return font ? font->font : kSystemFont;
}

// One character: its code (lead byte high for a double-byte one) and its cells.
struct Character {
  unsigned code;
  int cells;
};

// A lead byte without its trail byte is a character of its own.
std::vector<Character> Characters(const char* text, int count) {
  std::vector<Character> characters;
  for (int i = 0; i < count; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (detail::IsMultibyteLeadByte(byte) && i + 1 < count) {
      characters.push_back({(static_cast<unsigned>(byte) << 8) | static_cast<unsigned char>(text[i + 1]), 2});
      ++i;
    } else {
      characters.push_back({byte, 1});
    }
  }
  return characters;
}

int CellCount(const std::vector<Character>& characters) {
  int cells = 0;
  for (const Character& character : characters) cells += character.cells;
  return cells;
}

// Blanks have no ink; other characters show their cell's frame and a pattern
// that differs from code to code.
bool IsInk(unsigned code, int x, int y, int width, int height) {
  if (code == 0x20 || code == 0x8140) return false;  // the space and the ideographic space
  if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return true;
  const uint32_t pattern = code * 2654435761u;
  return (pattern >> ((x * 5 + y * 3) % 29)) & 1;
}

void Draw(const detail::Canvas& canvas, const std::vector<Character>& characters, int left, int top,
          const Cell& cell, const detail::DeviceContextObject& dc) {
  auto put = [&](int x, int y, uint32_t rgb) {
    const int surfaceX = canvas.originX + x, surfaceY = canvas.originY + y;
    if (canvas.Contains(surfaceX, surfaceY)) canvas.surface->SetRgb(surfaceX, surfaceY, rgb);
  };
  const int width = CellCount(characters) * cell.width;
  if (dc.backgroundMode == OPAQUE) {
    const uint32_t background = detail::RgbOfColorref(dc.backgroundColor);
    for (int y = 0; y < cell.height; ++y) {
      for (int x = 0; x < width; ++x) put(left + x, top + y, background);
    }
  }
  const uint32_t ink = detail::RgbOfColorref(dc.textColor);
  int x0 = left;
  for (const Character& character : characters) {
    const int glyphWidth = character.cells * cell.width;
    for (int y = 0; y < cell.height; ++y) {
      for (int x = 0; x < glyphWidth; ++x) {
        if (IsInk(character.code, x, y, glyphWidth, cell.height)) put(x0 + x, top + y, ink);
      }
    }
    x0 += glyphWidth;
  }
}

}  // namespace

std::vector<TextRun> TextRuns() {
  auto lock = detail::LockSimulation();
  return g_runs;
}

void ClearTextRuns() {
  auto lock = detail::LockSimulation();
  g_runs.clear();
}

}  // namespace sim

using namespace sim::detail;

namespace {

std::string ArgColor(COLORREF color) { return ArgHex(color); }

}  // namespace

extern "C" COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetTextColor", JoinArgs({ArgHandle(hdc), ArgColor(color)}))) {
    return FailWin32(*failure, static_cast<COLORREF>(CLR_INVALID));
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<COLORREF>(CLR_INVALID));
  const COLORREF previous = dc->textColor;
  dc->textColor = color;
  return previous;
}

extern "C" COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetBkColor", JoinArgs({ArgHandle(hdc), ArgColor(color)}))) {
    return FailWin32(*failure, static_cast<COLORREF>(CLR_INVALID));
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<COLORREF>(CLR_INVALID));
  const COLORREF previous = dc->backgroundColor;
  dc->backgroundColor = color;
  return previous;
}

extern "C" int WINAPI SetBkMode(HDC hdc, int mode) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetBkMode", JoinArgs({ArgHandle(hdc), ArgDec(mode)}))) return FailWin32(*failure, 0);
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, 0);
  if (mode != TRANSPARENT && mode != OPAQUE) return FailWin32(ERROR_INVALID_PARAMETER, 0);
  const int previous = dc->backgroundMode;
  dc->backgroundMode = mode;
  return previous;
}

extern "C" UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetTextAlign", JoinArgs({ArgHandle(hdc), ArgHex(align)}))) {
    return FailWin32(*failure, static_cast<UINT>(GDI_ERROR));
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<UINT>(GDI_ERROR));
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

extern "C" UINT WINAPI GetTextAlign(HDC hdc) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetTextAlign", ArgHandle(hdc))) {
    return FailWin32(*failure, static_cast<UINT>(GDI_ERROR));
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<UINT>(GDI_ERROR));
  return dc->textAlign;
}

extern "C" BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("MoveToEx", JoinArgs({ArgHandle(hdc), ArgDec(x), ArgDec(y), ArgPointer(lppt)}))) {
    return FailWin32(*failure, FALSE);
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (lppt != nullptr) *lppt = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

extern "C" BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetCurrentPositionEx", JoinArgs({ArgHandle(hdc), ArgPointer(lppt)}))) {
    return FailWin32(*failure, FALSE);
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (lppt == nullptr) return FailWin32(ERROR_INVALID_PARAMETER, FALSE);
  *lppt = dc->position;
  return TRUE;
}

// The reference point is (x, y), or the current position with TA_UPDATECP;
// the alignment says where on the text's box it lies. With TA_UPDATECP the
// current position then moves past the text: right of it when aligned left,
// left of it when aligned right, not at all when centred.
extern "C" BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("TextOutA", JoinArgs({ArgHandle(hdc), ArgDec(x), ArgDec(y),
                                                     ArgBytes(lpString, c > 0 ? static_cast<size_t>(c) : 0),
                                                     ArgDec(c)}))) {
    return FailWin32(*failure, FALSE);
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (c < 0 || (lpString == nullptr && c > 0)) return FailWin32(ERROR_INVALID_PARAMETER, FALSE);

  const LOGFONTA& font = sim::FontOf(*dc);
  const sim::Cell cell = sim::CellOfFont(font);
  const std::vector<sim::Character> characters = sim::Characters(lpString, c);
  const int width = sim::CellCount(characters) * cell.width;
  const int ascent = cell.height - cell.height / 4;
  const UINT align = dc->textAlign;
  const bool updatesPosition = (align & TA_UPDATECP) != 0;
  const POINT reference = updatesPosition ? dc->position : POINT{x, y};

  int left = reference.x;
  if ((align & TA_CENTER) == TA_CENTER) {
    left -= width / 2;
  } else if (align & TA_RIGHT) {
    left -= width;
  }
  int top = reference.y;
  if ((align & TA_BASELINE) == TA_BASELINE) {
    top -= ascent;
  } else if (align & TA_BOTTOM) {
    top -= cell.height;
  }

  Canvas canvas;
  if (CanvasOf(*dc, &canvas)) sim::Draw(canvas, characters, left, top, cell, *dc);
  if (updatesPosition && (align & TA_CENTER) != TA_CENTER) {
    dc->position.x = (align & TA_RIGHT) ? reference.x - width : reference.x + width;
  }
  const bool systemFont = GdiEntryOf(dc->font, GdiKind::Font) == nullptr || dc->font == StockSystemFont();
  sim::g_runs.push_back(sim::TextRun{hdc, left, top, width, cell.height, systemFont, systemFont ? LOGFONTA{} : font,
                                     dc->textColor, dc->backgroundColor, dc->backgroundMode, align,
                                     std::string(lpString ? lpString : "", static_cast<size_t>(c))});
  return TRUE;
}

// The text's cells side by side, one cell high; an empty text is 0 wide and still a cell high.
extern "C" BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetTextExtentPoint32A",
                               JoinArgs({ArgHandle(hdc), ArgBytes(lpString, c > 0 ? static_cast<size_t>(c) : 0),
                                         ArgDec(c), ArgPointer(psizl)}))) {
    return FailWin32(*failure, FALSE);
  }
  const DeviceContextObject* dc = DeviceContextOf(hdc);
  if (dc == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (c < 0 || psizl == nullptr || (lpString == nullptr && c > 0)) return FailWin32(ERROR_INVALID_PARAMETER, FALSE);
  const sim::Cell cell = sim::CellOfFont(sim::FontOf(*dc));
  psizl->cx = sim::CellCount(sim::Characters(lpString, c)) * cell.width;
  psizl->cy = cell.height;
  return TRUE;
}
