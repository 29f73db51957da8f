// Moving pixels: colour fills, copies (stretched to the nearest pixel) with
// source and destination colour keys, clipping by a clipper's window, and
// page flipping of a primary surface's chain.
#include <algorithm>

#include "sim/ddraw_internal.h"
#include "sim/window_geometry.h"

namespace sim::detail {
namespace {

bool WellFormed(const RECT& rect) { return rect.left < rect.right && rect.top < rect.bottom; }

bool Inside(const RECT& rect, const PixelSurface& pixels) {
  return rect.left >= 0 && rect.top >= 0 && rect.right <= pixels.Width() && rect.bottom <= pixels.Height();
}

RECT Intersection(const RECT& a, const RECT& b) {
  RECT both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (!WellFormed(both)) both = RECT{0, 0, 0, 0};
  return both;
}

RECT WholeOf(const PixelSurface& pixels) { return RECT{0, 0, pixels.Width(), pixels.Height()}; }

// The source of a copy (Blt, BltFast): a live surface and a rectangle inside it
// (the whole surface when none is given).
HRESULT SourceOf(LPDIRECTDRAWSURFACE4 source, const RECT* sourceRect, const SurfaceObject* destination,
                 SurfaceObject** from, RECT* fromRect) {
  *from = FindSurface(source);
  if (*from == nullptr) return DDERR_INVALIDPARAMS;
  if (*from != destination) {
    if (HRESULT usable = (*from)->Usable(); FAILED(usable)) return usable;
  }
  *fromRect = sourceRect ? *sourceRect : WholeOf(*(*from)->pixels);
  if (!WellFormed(*fromRect) || !Inside(*fromRect, *(*from)->pixels)) return DDERR_INVALIDRECT;
  return DD_OK;
}

bool InKey(uint32_t raw, const DDCOLORKEY& key) {
  return raw >= key.dwColorSpaceLowValue && raw <= key.dwColorSpaceHighValue;
}

uint32_t MaskToDepth(uint32_t value, int bits) { return bits >= 32 ? value : value & ((1u << bits) - 1); }

// Where a blit onto `surface` may land. A clipper bound to a window keeps a
// blit onto the primary surface (whose coordinates are the screen's) inside
// that window's client area; other clippers only keep it on the surface.
RECT ClipArea(const SurfaceObject& surface) {
  const RECT whole = WholeOf(*surface.pixels);
  if (surface.clipper == nullptr || surface.clipper->window == nullptr || !surface.IsPrimary()) return whole;
  RECT client;
  if (!ClientRectOnScreen(surface.clipper->window, &client)) return RECT{0, 0, 0, 0};  // no window, nothing visible
  return Intersection(whole, client);
}

// Copies `from` of `source` onto `to` of `dest`, drawing only inside `visible`.
// Sizes that differ stretch to the nearest source pixel.
void Transfer(PixelSurface& dest, const RECT& to, const RECT& visible, const PixelSurface& source, const RECT& from,
              const std::optional<DDCOLORKEY>& sourceKey, const std::optional<DDCOLORKEY>& destKey) {
  // A copy within one surface reads the pixels as they were before it.
  std::optional<PixelSurface> before;
  const PixelSurface* reading = &source;
  if (&source == &dest) {
    before.emplace(source);
    reading = &*before;
  }
  const int64_t destWidth = to.right - to.left, destHeight = to.bottom - to.top;
  const int64_t sourceWidth = from.right - from.left, sourceHeight = from.bottom - from.top;
  for (LONG y = visible.top; y < visible.bottom; ++y) {
    const int sourceY = static_cast<int>(from.top + (y - to.top) * sourceHeight / destHeight);
    for (LONG x = visible.left; x < visible.right; ++x) {
      const int sourceX = static_cast<int>(from.left + (x - to.left) * sourceWidth / destWidth);
      const uint32_t raw = reading->Raw(sourceX, sourceY);
      if (sourceKey && InKey(raw, *sourceKey)) continue;
      if (destKey && !InKey(dest.Raw(x, y), *destKey)) continue;
      dest.SetRaw(x, y, raw);
    }
  }
}

std::string ArgBltFx(const DDBLTFX* fx, DWORD flags) {
  if (fx == nullptr) return "NULL";
  if (flags & DDBLT_COLORFILL) return "{fill " + ArgHex(fx->dwFillColor) + "}";
  if (flags & DDBLT_DEPTHFILL) return "{depth " + ArgHex(fx->dwFillDepth) + "}";
  return "ptr";
}

// The keys a blit uses: its own (override) or the surfaces' (DDBLT_KEYSRC, DDBLT_KEYDEST).
HRESULT KeysOf(DWORD flags, const DDBLTFX* fx, const SurfaceObject& source, const SurfaceObject& dest,
               std::optional<DDCOLORKEY>* sourceKey, std::optional<DDCOLORKEY>* destKey) {
  if (flags & DDBLT_KEYSRCOVERRIDE) {
    *sourceKey = fx->ddckSrcColorkey;
  } else if (flags & DDBLT_KEYSRC) {
    if (!source.sourceKey) return DDERR_INVALIDPARAMS;
    *sourceKey = source.sourceKey;
  }
  if (flags & DDBLT_KEYDESTOVERRIDE) {
    *destKey = fx->ddckDestColorkey;
  } else if (flags & DDBLT_KEYDEST) {
    if (!dest.destKey) return DDERR_INVALIDPARAMS;
    *destKey = dest.destKey;
  }
  return DD_OK;
}

}  // namespace

HRESULT SurfaceObject::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(
          "IDirectDrawSurface4::Blt",
          JoinArgs({ArgRect(destRect), ArgPointer(source), ArgRect(sourceRect), ArgHex(flags), ArgBltFx(fx, flags)}))) {
    return AsHresult(*failure);
  }
  constexpr DWORD kCarriedOut = DDBLT_COLORFILL | DDBLT_DEPTHFILL | DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE |
                                DDBLT_KEYDEST | DDBLT_KEYDESTOVERRIDE | DDBLT_WAIT | DDBLT_ASYNC;
  if (flags & ~kCarriedOut) return DDERR_UNSUPPORTED;  // raster operations, effects, alpha
  const bool fill = (flags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) != 0;
  const bool needsFx = fill || (flags & (DDBLT_KEYSRCOVERRIDE | DDBLT_KEYDESTOVERRIDE));
  if (needsFx && (fx == nullptr || fx->dwSize != sizeof *fx)) return DDERR_INVALIDPARAMS;
  if (HRESULT usable = Usable(); FAILED(usable)) return usable;

  const RECT to = destRect ? *destRect : WholeOf(*pixels);
  if (!WellFormed(to)) return DDERR_INVALIDRECT;
  RECT visible = to;
  if (clipper != nullptr) {
    visible = Intersection(to, ClipArea(*this));
  } else if (!Inside(to, *pixels)) {
    return DDERR_INVALIDRECT;
  }

  if (fill) {
    if ((flags & DDBLT_DEPTHFILL) && !IsDepthBuffer()) return DDERR_INVALIDPARAMS;
    const uint32_t value = (flags & DDBLT_COLORFILL) ? fx->dwFillColor : fx->dwFillDepth;
    pixels->Fill(visible, MaskToDepth(value, pixels->Layout().bitCount));
    ++uniqueness;
    return DD_OK;
  }

  SurfaceObject* from = nullptr;
  RECT fromRect;
  if (HRESULT found = SourceOf(source, sourceRect, this, &from, &fromRect); FAILED(found)) return found;
  if (!SameLayout(from->pixels->Layout(), pixels->Layout())) return DDERR_INVALIDPIXELFORMAT;
  std::optional<DDCOLORKEY> sourceKeyUsed, destKeyUsed;
  if (HRESULT keys = KeysOf(flags, fx, *from, *this, &sourceKeyUsed, &destKeyUsed); FAILED(keys)) return keys;
  Transfer(*pixels, to, visible, *from->pixels, fromRect, sourceKeyUsed, destKeyUsed);
  ++uniqueness;
  return DD_OK;
}

HRESULT SurfaceObject::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD transfer) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::BltFast", JoinArgs({ArgDec(x), ArgDec(y), ArgPointer(source),
                                                                         ArgRect(sourceRect), ArgHex(transfer)}))) {
    return AsHresult(*failure);
  }
  constexpr DWORD kDoNotWait = 0x20;
  if (transfer & ~(DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY | DDBLTFAST_WAIT | kDoNotWait)) {
    return DDERR_INVALIDPARAMS;
  }
  if (clipper != nullptr) return DDERR_BLTFASTCANTCLIP;
  if (HRESULT usable = Usable(); FAILED(usable)) return usable;
  SurfaceObject* from = nullptr;
  RECT fromRect;
  if (HRESULT found = SourceOf(source, sourceRect, this, &from, &fromRect); FAILED(found)) return found;
  const LONG left = static_cast<LONG>(x), top = static_cast<LONG>(y);
  const RECT to{left, top, left + (fromRect.right - fromRect.left), top + (fromRect.bottom - fromRect.top)};
  if (left < 0 || top < 0 || !Inside(to, *pixels)) return DDERR_INVALIDRECT;
  if (!SameLayout(from->pixels->Layout(), pixels->Layout())) return DDERR_INVALIDPIXELFORMAT;
  const DWORD keyFlags = ((transfer & DDBLTFAST_SRCCOLORKEY) ? DDBLT_KEYSRC : 0) |
                         ((transfer & DDBLTFAST_DESTCOLORKEY) ? DDBLT_KEYDEST : 0);
  std::optional<DDCOLORKEY> sourceKeyUsed, destKeyUsed;
  if (HRESULT keys = KeysOf(keyFlags, nullptr, *from, *this, &sourceKeyUsed, &destKeyUsed); FAILED(keys)) {
    return keys;
  }
  Transfer(*pixels, to, to, *from->pixels, fromRect, sourceKeyUsed, destKeyUsed);
  ++uniqueness;
  return DD_OK;
}

void RotateChain(SurfaceObject* front) {
  std::vector<SurfaceObject*> pages{front};
  pages.insert(pages.end(), front->backBuffers.begin(), front->backBuffers.end());
  PixelSurfacePtr shownBefore = front->pixels;
  for (size_t i = 0; i + 1 < pages.size(); ++i) pages[i]->pixels = pages[i + 1]->pixels;
  pages.back()->pixels = shownBefore;
  for (SurfaceObject* page : pages) {
    page->ApplyPalette();
    ++page->uniqueness;
  }
  Display().screen = front->pixels;
}

HRESULT SurfaceObject::Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawSurface4::Flip", JoinArgs({ArgPointer(target), ArgHex(flags)}))) {
    return AsHresult(*failure);
  }
  if (!IsPrimary() || backBuffers.empty()) return DDERR_NOTFLIPPABLE;
  // Flipping to a named page is only the plain flip with one back buffer here.
  if (target != nullptr && FindSurface(target) != backBuffers.front()) return DDERR_INVALIDPARAMS;
  if (HRESULT usable = Usable(); FAILED(usable)) return usable;
  for (SurfaceObject* back : backBuffers) {
    if (HRESULT usable = back->Usable(); FAILED(usable)) return usable;
  }
  if (ExclusiveOwner() != owner.get()) return DDERR_NOEXCLUSIVEMODE;
  RotateChain(this);
  return DD_OK;
}

}  // namespace sim::detail
