// The text state's part in 2D start-up and clean-up (internal to the 2D component).
#ifndef KR_TEXT_H
#define KR_TEXT_H

#include <windows.h>

// Start-up: alignment and pen position back to 0 and the text font set not
// created. Colours and the font descriptions are kept.
void KR2DResetTextState(void);

// Clean-up: deletes the text font set's fonts. The descriptions and the
// changed flag are kept for the next start-up.
void KR2DReleaseTextFonts(void);

// Sets the stored text colour, background colour and background mode on `dc`.
void KR2DApplyTextColours(HDC dc);

#endif
