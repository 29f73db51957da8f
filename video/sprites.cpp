// Sprites: rectangles copied between buffers at their own size, with the
// source's colour key (black on bitmap buffers and the back buffer).
//
// A source or destination index that names no surface, or a stopped component,
// draws nothing; so does a batch with no entries.
#include <korvathd.h>

#include "core/int_conversion.h"
#include "video/buffer_table.h"

namespace {

void BlitSprite(IDirectDrawSurface4* destination, int srcX, int srcY, int width, int height, int srcBuffer,
                int dstX, int dstY) {
  IDirectDrawSurface4* source = KR2DGetBufferSurface(srcBuffer);
  if (source == NULL) return;
  // A rectangle reaching past the int range stops at its end; the blit then refuses it.
  RECT to = {dstX, dstY, KRAddClamped(dstX, width), KRAddClamped(dstY, height)};
  RECT from = {srcX, srcY, KRAddClamped(srcX, width), KRAddClamped(srcY, height)};
  // A failed blit leaves the destination as it was; nothing is reported.
  destination->Blt(&to, source, &from, DDBLT_KEYSRC | DDBLT_WAIT, NULL);
}

}  // namespace

void KR2DDrawSprite(int srcX, int srcY, int width, int height, int srcBuffer, int dstX, int dstY, int dstBuffer) {
  IDirectDrawSurface4* destination = KR2DGetBufferSurface(dstBuffer);
  if (destination == NULL) return;
  BlitSprite(destination, srcX, srcY, width, height, srcBuffer, dstX, dstY);
}

void KR2DDrawSpriteBatch(KR2DDRAWSPRITE* sprites, int count, int dstBuffer) {
  if (sprites == NULL || count <= 0) return;
  IDirectDrawSurface4* destination = KR2DGetBufferSurface(dstBuffer);
  if (destination == NULL) return;
  for (int i = 0; i < count; ++i) {
    const KR2DDRAWSPRITE& sprite = sprites[i];
    BlitSprite(destination, sprite.nSrcX, sprite.nSrcY, sprite.nWidth, sprite.nHeight, sprite.nSrcBuffer,
               sprite.nDstX, sprite.nDstY);
  }
}
