// Reading a DirectDraw surface back as 0x00RRGGBB through Lock: each channel is
// taken with the surface's mask and scaled up to 8 bits, so bits outside the
// masks (the unused top byte of 32-bit pixels, which Wine fills) never show.
// Only RGB surfaces are read; a palette surface reads as a failure.
#ifndef KR_WINE_SUPPORT_SURFACE_PIXELS_H
#define KR_WINE_SUPPORT_SURFACE_PIXELS_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "support/rgb_image.h"

namespace winsupport {

// The pixel at (x, y); false when the surface cannot be locked, is not RGB or
// (x, y) lies outside it.
bool ReadPixel(IDirectDrawSurface4* surface, int x, int y, uint32_t* rgb);

// The whole surface; false (and an empty image) as ReadPixel.
bool ReadSurface(IDirectDrawSurface4* surface, RgbImage* image);

// What `rgb` reads back as from a surface of this format: each channel cut to
// the mask's width and scaled up again (unchanged with 8-bit channels).
uint32_t RgbAsStored(const DDPIXELFORMAT& format, uint32_t rgb);

// The surface's own pixel format; false when it cannot tell.
bool SurfaceFormat(IDirectDrawSurface4* surface, DDPIXELFORMAT* format);

// Distance of one 0x00RRGGBB colour from another: the largest channel difference.
inline int ColourDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    const int magnitude = difference < 0 ? -difference : difference;
    if (magnitude > largest) largest = magnitude;
  }
  return largest;
}

// A Windows colour reference (0x00BBGGRR) as 0x00RRGGBB.
inline uint32_t RgbOfColorRef(uint32_t colour) {
  return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

}  // namespace winsupport

#endif
