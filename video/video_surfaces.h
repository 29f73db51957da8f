// The primary surface, the back buffer and the 8-bit palette of the current mode.
#ifndef KR_VIDEO_SURFACES_H
#define KR_VIDEO_SURFACES_H

// Each returns 1, or 0 with last error 0x1004 (the caller reports the mode change).
int KRVideoCreatePrimarySurface(void);
int KRVideoCreateBackBuffer(void);

// Each logs its line even when there is nothing to release.
void KRVideoReleasePrimarySurface(void);
void KRVideoReleaseBackBuffer(void);

// 8-bit modes: the twenty static colours, set on both surfaces. 1, or 0 when
// the palette cannot be made.
int KRVideoCreatePrimaryPalette(void);
// Releases the palette with its line, if there is one.
void KRVideoReleasePrimaryPalette(void);

#endif
