// Input-method drawing's part in 2D start-up and clean-up (internal to the 2D component).
#ifndef KR_IME_DRAW_H
#define KR_IME_DRAW_H

// Start-up: the input-method font set not created, the colour triples set.
// The font descriptions and the composition position are kept.
void KR2DResetImeDrawState(void);

// Clean-up: deletes the input-method font set's fonts.
void KR2DReleaseImeFonts(void);

#endif
