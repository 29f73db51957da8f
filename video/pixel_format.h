// The channel layout of the current mode's pixels, kept in g_krVideo.
#ifndef KR_PIXEL_FORMAT_H
#define KR_PIXEL_FORMAT_H

#include <windows.h>

// 8-bit modes: red 3 bits at 5, green 3 bits at 2, blue 2 bits at 0.
void KRVideoSetPalettizedLayout(void);

// Other depths: from the pixel format's channel masks.
void KRVideoSetLayoutFromMasks(DWORD redMask, DWORD greenMask, DWORD blueMask);

// The layout as letters, one per bit, from the highest used bit down to bit 0,
// as "RRRRRGGGGGGBBBBB" ('_' for unused bits between channels).
void KRVideoGetLayoutPicture(char picture[33]);

// "KRVideo : Pixel format RGB565 (RRRRRGGGGGGBBBBB)".
void KRVideoLogPixelFormat(void);

#endif
