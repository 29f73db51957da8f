// A font set: one font for single-byte runs of a text and one for double-byte
// runs, made from their descriptions only when a description changed.
#ifndef KR_FONT_SET_H
#define KR_FONT_SET_H

#include <windows.h>

typedef struct KR2DFONTSET {
  int bCreated;  // both fonts were made from the descriptions
  int bChanged;  // a description changed since the fonts were made
  LOGFONTA lfSingleByte;
  LOGFONTA lfDoubleByte;
  HFONT hSingleByte;
  HFONT hDoubleByte;
} KR2DFONTSET;

// Makes the fonts anew when a description changed, deleting the old ones.
void KR2DRealizeFontSet(KR2DFONTSET* set);

// Deletes the fonts (when made) and marks the set not created. The descriptions
// and the changed flag stay, so the set can be realised again later.
void KR2DDeleteFontSet(KR2DFONTSET* set);

// Selects `font` into `dc`, remembering the context's own font at the first
// selection in *previous. A font that was not made leaves the selection.
void KR2DSelectSetFont(HDC dc, HFONT font, HGDIOBJ* previous);
// Selects the remembered font again, when one was selected at all.
void KR2DRestoreFont(HDC dc, HGDIOBJ previous);

#endif
