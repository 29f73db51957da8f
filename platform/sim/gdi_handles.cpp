// The GDI handle table: device contexts, bitmaps, fonts and palettes share it,
// as in GDI, and the stock objects are made at boot.
#include "sim/gdi_internal.h"

namespace sim {
namespace {

constexpr int kMaxGdiHandles = 4096;
constexpr uintptr_t kFirstGdiHandle = 0x01000000;

detail::GdiEntry g_entries[kMaxGdiHandles];
int g_nextSlot = 0;  // handed out round the table, so a deleted object's handle is not soon reused
HGDIOBJ g_systemFont = nullptr;
HGDIOBJ g_defaultPalette = nullptr;
HGDIOBJ g_defaultBitmap = nullptr;

void* HandleOfSlot(int slot) { return reinterpret_cast<void*>(kFirstGdiHandle + static_cast<uintptr_t>(slot) * 4); }

int SlotOfHandle(const void* handle) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value < kFirstGdiHandle || (value - kFirstGdiHandle) % 4 != 0) return -1;
  const uintptr_t slot = (value - kFirstGdiHandle) / 4;
  return slot < kMaxGdiHandles ? static_cast<int>(slot) : -1;
}

// The twenty colours Windows reserves in every palette: ten at the start and
// ten at the end of the system palette.
constexpr uint32_t kStaticColours[20] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

HGDIOBJ NewStockObject(detail::GdiEntry entry) {
  entry.stock = true;
  return detail::NewGdiHandle(entry);
}

void MakeStockObjects() {
  detail::GdiEntry font;
  font.kind = detail::GdiKind::Font;
  g_systemFont = NewStockObject(font);

  detail::GdiEntry palette;
  palette.kind = detail::GdiKind::Palette;
  for (uint32_t rgb : kStaticColours) {
    palette.palette.push_back(PALETTEENTRY{static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8),
                                           static_cast<BYTE>(rgb), 0});
  }
  g_defaultPalette = NewStockObject(palette);

  // A memory DC starts with a monochrome bitmap of one pixel, black on white.
  detail::GdiEntry bitmap;
  bitmap.kind = detail::GdiKind::Bitmap;
  bitmap.bitmap.pixels = std::make_shared<detail::PixelSurface>(1, 1, detail::PixelLayout::Palettized8());
  bitmap.bitmap.pixels->Palette()[1] = 0xFFFFFF;
  bitmap.bitmap.bitCount = 1;
  g_defaultBitmap = NewStockObject(bitmap);
}

void EnsureStockObjects() {
  if (g_systemFont == nullptr) MakeStockObjects();
}

void ResetGdiHandles() {
  for (detail::GdiEntry& entry : g_entries) entry = detail::GdiEntry{};
  g_nextSlot = 0;
  g_systemFont = g_defaultPalette = g_defaultBitmap = nullptr;
  MakeStockObjects();
}

const bool kResetRegistered = detail::AddResetHook(ResetGdiHandles);

}  // namespace

namespace detail {

void* NewGdiHandle(const GdiEntry& entry) {
  for (int tried = 0; tried < kMaxGdiHandles; ++tried) {
    const int slot = (g_nextSlot + tried) % kMaxGdiHandles;
    if (g_entries[slot].kind != GdiKind::None) continue;
    g_entries[slot] = entry;
    g_nextSlot = (slot + 1) % kMaxGdiHandles;
    return HandleOfSlot(slot);
  }
  return nullptr;
}

GdiEntry* AnyGdiEntryOf(const void* handle) {
  const int slot = SlotOfHandle(handle);
  return slot >= 0 && g_entries[slot].kind != GdiKind::None ? &g_entries[slot] : nullptr;
}

GdiEntry* GdiEntryOf(const void* handle, GdiKind kind) {
  GdiEntry* entry = AnyGdiEntryOf(handle);
  return entry != nullptr && entry->kind == kind ? entry : nullptr;
}

void FreeGdiHandle(const void* handle) {
  GdiEntry* entry = AnyGdiEntryOf(handle);
  if (entry == nullptr) return;
  const bool isDeviceContext = entry->kind == GdiKind::DeviceContext;
  const HGDIOBJ font = entry->dc.font;
  const HGDIOBJ bitmap = entry->dc.bitmap;
  *entry = GdiEntry{};
  if (isDeviceContext) {
    DeleteIfDeselected(font);
    DeleteIfDeselected(bitmap);
  }
}

void DeleteIfDeselected(const void* object) {
  GdiEntry* entry = AnyGdiEntryOf(object);
  if (entry != nullptr && entry->deleteWhenDeselected && !IsSelectedAnywhere(object)) *entry = GdiEntry{};
}

DeviceContextObject* DeviceContextOf(HDC dc) {
  GdiEntry* entry = GdiEntryOf(dc, GdiKind::DeviceContext);
  return entry ? &entry->dc : nullptr;
}

bool IsSelectedAnywhere(const void* object) {
  for (const GdiEntry& entry : g_entries) {
    if (entry.kind == GdiKind::DeviceContext && (entry.dc.font == object || entry.dc.bitmap == object)) return true;
  }
  return false;
}

HGDIOBJ StockSystemFont() {
  EnsureStockObjects();
  return g_systemFont;
}

HGDIOBJ StockDefaultPalette() {
  EnsureStockObjects();
  return g_defaultPalette;
}

HGDIOBJ StockDefaultBitmap() {
  EnsureStockObjects();
  return g_defaultBitmap;
}

}  // namespace detail

int LiveDeviceContexts() {
  auto lock = detail::LockSimulation();
  int live = 0;
  for (const detail::GdiEntry& entry : g_entries) live += entry.kind == detail::GdiKind::DeviceContext ? 1 : 0;
  return live;
}

int LiveGdiObjects() {
  auto lock = detail::LockSimulation();
  int live = 0;
  for (const detail::GdiEntry& entry : g_entries) {
    live += entry.kind != detail::GdiKind::None && entry.kind != detail::GdiKind::DeviceContext && !entry.stock;
  }
  return live;
}

namespace {
const bool kContextsCounted = detail::AddLiveCounter("device contexts", LiveDeviceContexts);
const bool kObjectsCounted = detail::AddLiveCounter("GDI objects", LiveGdiObjects);
}  // namespace

}  // namespace sim
