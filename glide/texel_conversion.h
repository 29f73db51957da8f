// Glide texels into device texture formats: the channels of each Glide source
// format, and one texel converted, stored or given as a GDI colour.
#ifndef ONDREL_TEXEL_CONVERSION_H
#define ONDREL_TEXEL_CONVERSION_H

#include <glide.h>
#include <korvathd.h>

#include <cstdint>

// One channel of a source texel: (texel >> shift) & max; max 0 when the format lacks it.
struct TexelChannel {
  uint32_t shift, max;
};

struct TexelSource {
  int bytes;                   // 1 or 2 bytes per texel
  TexelChannel red, green, blue, alpha;
  uint32_t colourMask;         // the bits whose being nonzero makes a texel coloured
  bool converted;              // false: the format gets a surface but no texels
};

// The layout of a Glide texture format; unknown codes are not converted.
TexelSource TexelSourceOf(GrTextureFormat_t format);
uint32_t ReadTexel(const TexelSource& source, const uint8_t* texel);
// The texel in the device format; a coloured texel never becomes black.
uint32_t ConvertTexel(const TexelSource& source, uint32_t texel, const KR3DTEXTUREFORMATINFO& device);
// Stores the device value by the format's bit count (8, 16, 24 or 32 bits).
void StoreTexel(uint32_t value, int bitCount, uint8_t* out);
// The texel's channels scaled to 8 bits, as a GDI colour (0x00BBGGRR).
uint32_t TexelToColorRef(const TexelSource& source, uint32_t texel);

#endif
