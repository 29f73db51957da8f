// GDI objects: stock objects, fonts, selecting objects into device contexts,
// deleting them, and reading their descriptions back (GetObjectA, palettes).
#include <algorithm>
#include <cstring>

#include "sim/gdi_internal.h"

using namespace sim::detail;

namespace {

std::string ArgFont(const LOGFONTA* font) {
  if (font == nullptr) return "NULL";
  const std::string face(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
  return "{" + JoinArgs({ArgDec(font->lfHeight), ArgDec(font->lfWidth), ArgDec(font->lfWeight),
                         ArgDec(font->lfCharSet), ArgString(face.c_str())}) + "}";
}

void DescribeBitmap(const BitmapObject& bitmap, BITMAP* out) {
  const PixelSurface& pixels = *bitmap.pixels;
  *out = BITMAP{};
  out->bmWidth = pixels.Width();
  out->bmHeight = pixels.Height();
  out->bmPlanes = 1;
  out->bmBitsPixel = static_cast<WORD>(bitmap.bitCount);
  if (bitmap.dibSection) {
    out->bmWidthBytes = pixels.Pitch();
    // 1 and 4-bit sections are held one index a byte: their memory is not handed out in the wrong layout.
    out->bmBits = bitmap.bitCount >= 8 ? const_cast<uint8_t*>(pixels.Bits()) : nullptr;
  } else {
    // A device-dependent bitmap's rows are whole 16-bit words, and its bits are the driver's.
    out->bmWidthBytes = (pixels.Width() * bitmap.bitCount + 15) / 16 * 2;
  }
}

// The DIB section's memory holds the top row first, so its height is
// reported negative, as for a top-down DIB.
void DescribeDibSection(const BitmapObject& bitmap, DIBSECTION* out) {
  const PixelSurface& pixels = *bitmap.pixels;
  *out = DIBSECTION{};
  DescribeBitmap(bitmap, &out->dsBm);
  BITMAPINFOHEADER& header = out->dsBmih;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = pixels.Width();
  header.biHeight = -pixels.Height();
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitmap.bitCount);
  header.biCompression = bitmap.compression;
  header.biSizeImage = static_cast<DWORD>(pixels.Pitch()) * static_cast<DWORD>(pixels.Height());
  header.biClrUsed = static_cast<DWORD>(bitmap.colorTableSize);
  if (bitmap.compression == BI_BITFIELDS) {
    out->dsBitfields[0] = pixels.Layout().redMask;
    out->dsBitfields[1] = pixels.Layout().greenMask;
    out->dsBitfields[2] = pixels.Layout().blueMask;
  }
}

}  // namespace

extern "C" HGDIOBJ WINAPI GetStockObject(int i) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetStockObject", ArgDec(i))) return FailWin32(*failure, static_cast<HGDIOBJ>(nullptr));
  switch (i) {
    case SYSTEM_FONT: return StockSystemFont();
    case DEFAULT_PALETTE: return StockDefaultPalette();
    default: return FailWin32(ERROR_NOT_SUPPORTED, static_cast<HGDIOBJ>(nullptr));
  }
}

extern "C" HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CreateFontIndirectA", ArgFont(lplf))) {
    return FailWin32(*failure, static_cast<HFONT>(nullptr));
  }
  if (lplf == nullptr) return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HFONT>(nullptr));
  GdiEntry entry;
  entry.kind = GdiKind::Font;
  entry.font = *lplf;
  HGDIOBJ font = NewGdiHandle(entry);
  if (font == nullptr) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HFONT>(nullptr));
  return static_cast<HFONT>(font);
}

// Fonts go into any device context; bitmaps only into memory DCs, and into
// one at a time. The previous object of that kind is returned.
extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SelectObject", JoinArgs({ArgHandle(hdc), ArgHandle(h)}))) {
    return FailWin32(*failure, static_cast<HGDIOBJ>(nullptr));
  }
  DeviceContextObject* dc = DeviceContextOf(hdc);
  GdiEntry* object = AnyGdiEntryOf(h);
  if (dc == nullptr || object == nullptr) return FailWin32(ERROR_INVALID_HANDLE, static_cast<HGDIOBJ>(nullptr));
  HGDIOBJ previous = nullptr;
  switch (object->kind) {
    case GdiKind::Font:
      previous = dc->font;
      dc->font = h;
      DeleteIfDeselected(previous);
      return previous;
    case GdiKind::Bitmap:
      if (dc->kind != DcKind::Memory) return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
      if (h != dc->bitmap && !object->stock && IsSelectedAnywhere(h)) {
        return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
      }
      previous = dc->bitmap;
      dc->bitmap = h;
      DeleteIfDeselected(previous);
      return previous;
    default:
      // Palettes go through SelectPalette, device contexts into nothing.
      return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
  }
}

// Stock objects are never deleted. An object still selected into a device
// context is deleted once it is deselected or its DC goes (Windows NT; the
// documentation's refusal is Windows 95's).
extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("DeleteObject", ArgHandle(ho))) return FailWin32(*failure, FALSE);
  GdiEntry* object = AnyGdiEntryOf(ho);
  if (object == nullptr || object->kind == GdiKind::DeviceContext) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (object->stock) return TRUE;
  if (IsSelectedAnywhere(ho)) {
    object->deleteWhenDeselected = true;
    return TRUE;
  }
  FreeGdiHandle(ho);
  return TRUE;
}

// Bitmaps give a BITMAP, or a DIBSECTION when there is room for one and the
// bitmap is a DIB section; fonts their LOGFONTA (cut to the room given);
// palettes their number of entries. Without a buffer: the size it needs.
extern "C" int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetObjectA", JoinArgs({ArgHandle(h), ArgDec(c), ArgPointer(pv)}))) {
    return FailWin32(*failure, 0);
  }
  GdiEntry* object = AnyGdiEntryOf(h);
  if (object == nullptr || object->kind == GdiKind::DeviceContext) return FailWin32(ERROR_INVALID_HANDLE, 0);
  switch (object->kind) {
    case GdiKind::Bitmap: {
      const BitmapObject& bitmap = object->bitmap;
      const int full = bitmap.dibSection ? static_cast<int>(sizeof(DIBSECTION)) : static_cast<int>(sizeof(BITMAP));
      if (pv == nullptr) return full;
      if (bitmap.dibSection && c >= static_cast<int>(sizeof(DIBSECTION))) {
        DescribeDibSection(bitmap, static_cast<DIBSECTION*>(pv));
        return sizeof(DIBSECTION);
      }
      if (c >= static_cast<int>(sizeof(BITMAP))) {
        DescribeBitmap(bitmap, static_cast<BITMAP*>(pv));
        return sizeof(BITMAP);
      }
      return FailWin32(ERROR_INVALID_PARAMETER, 0);
    }
    case GdiKind::Font: {
      if (pv == nullptr) return sizeof(LOGFONTA);
      const int copied = std::min(c, static_cast<int>(sizeof(LOGFONTA)));
      if (copied <= 0) return FailWin32(ERROR_INVALID_PARAMETER, 0);
      std::memcpy(pv, &object->font, static_cast<size_t>(copied));
      return copied;
    }
    case GdiKind::Palette: {
      if (pv == nullptr) return sizeof(WORD);
      if (c < static_cast<int>(sizeof(WORD))) return FailWin32(ERROR_INVALID_PARAMETER, 0);
      const WORD count = static_cast<WORD>(object->palette.size());
      std::memcpy(pv, &count, sizeof count);
      return sizeof(WORD);
    }
    default:
      return FailWin32(ERROR_INVALID_HANDLE, 0);
  }
}

// Without a buffer: how many entries the palette has.
extern "C" UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetPaletteEntries", JoinArgs({ArgHandle(hpal), ArgDec(iStart), ArgDec(cEntries),
                                                              ArgPointer(pPalEntries)}))) {
    return FailWin32(*failure, 0u);
  }
  const GdiEntry* palette = GdiEntryOf(hpal, GdiKind::Palette);
  if (palette == nullptr) return FailWin32(ERROR_INVALID_HANDLE, 0u);
  const size_t size = palette->palette.size();
  if (pPalEntries == nullptr) return static_cast<UINT>(size);
  if (iStart >= size) return 0;
  const UINT copied = static_cast<UINT>(std::min<size_t>(cEntries, size - iStart));
  std::copy_n(palette->palette.begin() + iStart, copied, pPalEntries);
  return copied;
}
