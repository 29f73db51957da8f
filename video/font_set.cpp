#include "video/font_set.h"

void KR2DRealizeFontSet(KR2DFONTSET* set) {
  if (!set->bChanged) return;
  KR2DDeleteFontSet(set);
  // A font that cannot be made stays null; drawing then keeps the context's font.
  set->hSingleByte = CreateFontIndirectA(&set->lfSingleByte);
  set->hDoubleByte = CreateFontIndirectA(&set->lfDoubleByte);
  set->bCreated = 1;
  set->bChanged = 0;
}

void KR2DDeleteFontSet(KR2DFONTSET* set) {
  if (set->bCreated) {
    if (set->hSingleByte != NULL) DeleteObject(set->hSingleByte);
    if (set->hDoubleByte != NULL) DeleteObject(set->hDoubleByte);
  }
  set->bCreated = 0;
  set->hSingleByte = NULL;
  set->hDoubleByte = NULL;
}

void KR2DSelectSetFont(HDC dc, HFONT font, HGDIOBJ* previous) {
  if (font == NULL) return;
  HGDIOBJ old = SelectObject(dc, font);
  if (*previous == NULL) *previous = old;
}

void KR2DRestoreFont(HDC dc, HGDIOBJ previous) {
  if (previous != NULL) SelectObject(dc, previous);
}
