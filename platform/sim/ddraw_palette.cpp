// Palettes of 256 or 16 entries: an 8-bit surface shows its pixel values through
// the palette attached to it, so changing entries changes what it shows.
#include <cstring>

#include "sim/ddraw_internal.h"

namespace sim {

namespace detail {
namespace {

void ShowChangedEntries(const PaletteObject* palette) {
  for (SurfaceObject* surface : LiveSurfaceList()) {
    if (surface->palette == palette) surface->ApplyPalette();
  }
}

bool RangeOk(const PaletteObject& palette, DWORD first, DWORD count) {
  return first < palette.Size() && count <= palette.Size() - first;
}

}  // namespace

int& LivePaletteCount() {
  static int count = 0;
  return count;
}

PaletteObject::PaletteObject(DWORD paletteCaps, const PALETTEENTRY* table)
    : ComObject("IDirectDrawPalette", IID_IDirectDrawPalette),
      caps(paletteCaps),
      live_(LivePaletteCount(), DirectDrawGeneration) {
  // Only as many entries as the palette holds are read from the caller's table.
  std::memset(entries, 0, sizeof entries);
  std::memcpy(entries, table, Size() * sizeof(PALETTEENTRY));
}

HRESULT PaletteObject::GetCaps(LPDWORD out) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawPalette::GetCaps", ArgPointer(out))) return AsHresult(*failure);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = caps;
  return DD_OK;
}

HRESULT PaletteObject::GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY out) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawPalette::GetEntries",
                               JoinArgs({ArgHex(flags), ArgDec(base), ArgDec(count), ArgPointer(out)}))) {
    return AsHresult(*failure);
  }
  if (flags != 0 || out == nullptr || !RangeOk(*this, base, count)) return DDERR_INVALIDPARAMS;
  std::memcpy(out, entries + base, count * sizeof(PALETTEENTRY));
  return DD_OK;
}

HRESULT PaletteObject::SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY in) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawPalette::SetEntries",
                               JoinArgs({ArgHex(flags), ArgDec(first), ArgDec(count), ArgPointer(in)}))) {
    return AsHresult(*failure);
  }
  if (flags != 0 || in == nullptr || !RangeOk(*this, first, count)) return DDERR_INVALIDPARAMS;
  std::memcpy(entries + first, in, count * sizeof(PALETTEENTRY));
  ShowChangedEntries(this);
  return DD_OK;
}

HRESULT PaletteObject::Initialize(LPDIRECTDRAW directDraw, DWORD flags, LPPALETTEENTRY table) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawPalette::Initialize",
                               JoinArgs({ArgPointer(directDraw), ArgHex(flags), ArgPointer(table)}))) {
    return AsHresult(*failure);
  }
  return DDERR_ALREADYINITIALIZED;
}

}  // namespace detail

int LivePalettes() {
  auto lock = detail::LockSimulation();
  return detail::LivePaletteCount();
}

namespace {
const bool kCounted = detail::AddLiveCounter("palettes", LivePalettes);
}  // namespace

}  // namespace sim
