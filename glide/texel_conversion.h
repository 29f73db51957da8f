// Glide texels into device texture formats: the channels of each Glide source
// format, rows of texels converted by tables worked out once per format pair,
// and one texel given as a GDI colour.
#ifndef ONDREL_TEXEL_CONVERSION_H
#define ONDREL_TEXEL_CONVERSION_H

#include <glide.h>
#include <korvathd.h>

#include <cstddef>
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
// The texel's channels scaled to 8 bits, as a GDI colour (0x00BBGGRR).
uint32_t TexelToColorRef(const TexelSource& source, uint32_t texel);

// How rows of texels are converted: one texel at a time from tables, or 8 (SSE2),
// 16 (AVX2) or 32 (AVX-512) at a time in 16-bit vector lanes, when the processor
// has them.
enum TexelKernel { kTexelsByTables, kTexelsBySse2, kTexelsByAvx2, kTexelsByAvx512 };
bool ProcessorRuns(TexelKernel kernel);

// One channel as a vector lane computes it from a 16-bit texel (or from the texel
// moved up a byte, for a channel in its low byte): its source bits, times a
// multiplier keeping the high 16 bits, times a power of two keeping the low 16
// bits (a left shift), and the device mask. MakeTexelConverter picks multipliers
// that give the integer division exactly for every value of the channel; a
// channel the device lacks has masks of 0 and gives nothing.
struct TexelLaneChannel {
  uint16_t sourceMask[2];         // the channel's bits in the texel, and in the texel moved up a byte
  uint16_t multiplier, shifter;
  uint16_t deviceMask[2];         // the channel's bits in the low and the high half of the device texel
};

// Everything about converting one source format into one device format that does
// not depend on the texel. Each device channel gets the source channel scaled to
// its maximum (integer division) at its shift; a source without alpha is opaque;
// a coloured texel that would come out 0 becomes 1 << green shift instead.
struct TexelConverter {
  int sourceBytes;              // 0: the source format has no texels to convert
  int deviceBytes;              // bytes from one device texel to the next
  int storedBytes;              // bytes stored per texel: the device value's low ones, at most 4
  bool copy;                    // the device layout is the source's: texels are copied
  TexelKernel kernel;           // how rows are converted (the best this processor runs for the pair)
  uint32_t shift[4], mask[4];   // red, green, blue, alpha of the source texel
  uint32_t colourMask, substitute, opaque;
  bool substitutes;             // some coloured texel comes out 0 and takes the substitute
  uint32_t channels[4][256];    // each channel's device bits by its source value
  uint32_t whole[256];          // 8-bit sources: the device value of every texel
  bool byteTables;              // 16-bit sources whose channels each lie in one byte
  uint32_t low[256], high[256]; // then: the channels' device bits by the texel's low and high byte
  TexelLaneChannel lanes[4];    // red, green, blue, alpha, for the vector kernels
};

void MakeTexelConverter(const TexelSource& source, const KR3DTEXTUREFORMATINFO& device, TexelConverter* converter);
// Converts `rows` rows of `count` texels, every `step`-th one from each source row, into
// consecutive device texels; the rows lie `inPitch` and `outPitch` bytes apart.
void ConvertTexelRows(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int step, int count,
                      int rows, uint8_t* out, size_t outPitch);

#endif
