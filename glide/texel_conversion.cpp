// Channel by channel: each device channel gets the source channel scaled to its
// maximum and shifted into place.
#include "glide/texel_conversion.h"

namespace {

uint32_t ScaleChannel(const TexelChannel& channel, uint32_t texel, uint32_t max, uint32_t shift) {
  if (channel.max == 0 || max == 0) return 0;
  return (((texel >> channel.shift) & channel.max) * max / channel.max) << shift;
}

}  // namespace

TexelSource TexelSourceOf(GrTextureFormat_t format) {
  switch (format) {
    case GR_TEXFMT_RGB_332: return {1, {5, 7}, {2, 7}, {0, 3}, {0, 0}, 0xFF, true};
    case GR_TEXFMT_ALPHA_8: return {1, {0, 0}, {0, 0}, {0, 0}, {0, 255}, 0, true};
    case GR_TEXFMT_ARGB_8332: return {2, {5, 7}, {2, 7}, {0, 3}, {8, 255}, 0xFF, true};
    case GR_TEXFMT_RGB_565: return {2, {11, 31}, {5, 63}, {0, 31}, {0, 0}, 0xFFFF, true};
    case GR_TEXFMT_ARGB_1555: return {2, {10, 31}, {5, 31}, {0, 31}, {15, 1}, 0x7FFF, true};
    case GR_TEXFMT_ARGB_4444: return {2, {8, 15}, {4, 15}, {0, 15}, {12, 15}, 0x0FFF, true};
  }
  // Intensity, palette and alpha-palette texels have device formats but are not converted.
  return {1, {0, 0}, {0, 0}, {0, 0}, {0, 0}, 0, false};
}

uint32_t ReadTexel(const TexelSource& source, const uint8_t* texel) {
  return source.bytes == 1 ? texel[0] : static_cast<uint32_t>(texel[0] | (texel[1] << 8));
}

uint32_t ConvertTexel(const TexelSource& s, uint32_t texel, const KR3DTEXTUREFORMATINFO& d) {
  uint32_t colour = ScaleChannel(s.red, texel, d.dwRedMax, d.dwRedShift) |
                    ScaleChannel(s.green, texel, d.dwGreenMax, d.dwGreenShift) |
                    ScaleChannel(s.blue, texel, d.dwBlueMax, d.dwBlueShift);
  // A source without alpha is opaque: its alpha is the device maximum, and it does
  // not count when a coloured texel is kept from turning black.
  const bool sourceHasAlpha = s.alpha.max != 0;
  const uint32_t alpha = sourceHasAlpha ? ScaleChannel(s.alpha, texel, d.dwAlphaMax, d.dwAlphaShift)
                                        : d.dwAlphaMax << d.dwAlphaShift;
  if (sourceHasAlpha) colour |= alpha;
  if ((texel & s.colourMask) != 0 && colour == 0) colour = 1u << d.dwGreenShift;
  return sourceHasAlpha ? colour : colour | alpha;
}

void StoreTexel(uint32_t value, int bitCount, uint8_t* out) {
  const int bytes = bitCount / 8;
  for (int i = 0; i < bytes && i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t TexelToColorRef(const TexelSource& s, uint32_t texel) {
  return ScaleChannel(s.red, texel, 255, 0) | ScaleChannel(s.green, texel, 255, 8) |
         ScaleChannel(s.blue, texel, 255, 16);
}
