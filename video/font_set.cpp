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
