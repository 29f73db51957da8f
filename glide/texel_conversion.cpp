// Channel by channel: each device channel gets the source channel scaled to its
// maximum and shifted into place. The scaling is worked out once per channel
// value into tables, so that converting a texel is a few lookups; where the
// processor has vector lanes, multiplies found exact for every channel value
// convert 8, 16 or 32 texels at a time instead.
#include "glide/texel_conversion.h"

#include <cstring>

#include "glide/texel_lanes.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define ONDREL_TEXEL_LANES 1
#endif

namespace {

uint32_t ScaleChannel(const TexelChannel& channel, uint32_t texel, uint32_t max, uint32_t shift) {
  if (channel.max == 0 || max == 0) return 0;
  return (((texel >> channel.shift) & channel.max) * max / channel.max) << shift;
}

// The colour, with the substitute only for a coloured texel that came out 0 (without a branch).
uint32_t Finish(const TexelConverter& c, uint32_t colour, uint32_t texel) {
  const uint32_t substituted = 0u - static_cast<uint32_t>(colour == 0 && (texel & c.colourMask) != 0);
  return colour | (c.substitute & substituted) | c.opaque;
}

uint32_t FromTables(const TexelConverter& c, uint32_t texel) {
  return Finish(c,
                c.channels[0][(texel >> c.shift[0]) & c.mask[0]] | c.channels[1][(texel >> c.shift[1]) & c.mask[1]] |
                    c.channels[2][(texel >> c.shift[2]) & c.mask[2]] | c.channels[3][(texel >> c.shift[3]) & c.mask[3]],
                texel);
}

// The bits the channels that lie in one byte of the texel give, by that byte's value.
void ByteTable(const TexelConverter& c, int byte, uint32_t* table) {
  for (uint32_t value = 0; value < 256; ++value) {
    const uint32_t texel = value << (8 * byte);
    table[value] = 0;
    for (int channel = 0; channel < 4; ++channel) {
      if (((c.mask[channel] << c.shift[channel]) >> (8 * byte) & 0xFF) != 0) {
        table[value] |= c.channels[channel][(texel >> c.shift[channel]) & c.mask[channel]];
      }
    }
  }
}

bool ChannelsLieInOneByte(const TexelConverter& c) {
  for (int channel = 0; channel < 4; ++channel) {
    const uint32_t bits = c.mask[channel] << c.shift[channel];
    if ((bits & 0xFF) != 0 && (bits & 0xFF00) != 0) return false;
  }
  return true;
}

enum SourceKind { kWholeTexel, kChannelTables, kByteTables };

// Stores the device value's low bytes, lowest first, whatever the host's byte order.
template <int kKind, int kStored>
void ConvertRow(const TexelConverter& c, const uint8_t* in, size_t inStep, int count, uint8_t* out) {
  const size_t outStep = static_cast<size_t>(c.deviceBytes);
  for (int x = 0; x < count; ++x, in += inStep, out += outStep) {
    uint32_t value;
    if (kKind == kWholeTexel) {
      value = c.whole[in[0]];
    } else if (kKind == kByteTables) {
      value = Finish(c, c.low[in[0]] | c.high[in[1]], in[0] | (in[1] << 8));
    } else {
      value = FromTables(c, in[0] | (in[1] << 8));
    }
    for (int i = 0; i < kStored; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

using RowConversion = void (*)(const TexelConverter&, const uint8_t*, size_t, int, uint8_t*);
template <int kKind>
RowConversion RowConversionOf(int stored) {
  const RowConversion byStored[5] = {ConvertRow<kKind, 0>, ConvertRow<kKind, 1>, ConvertRow<kKind, 2>,
                                     ConvertRow<kKind, 3>, ConvertRow<kKind, 4>};
  return byStored[stored];
}

// True when every texel converts into itself: each channel the source has lands
// unscaled at its own place, nothing is added, and the channels fill the texel.
bool ConvertsIntoItself(const TexelConverter& c) {
  if (c.deviceBytes != c.sourceBytes || c.opaque != 0) return false;
  uint32_t covered = 0;
  for (int channel = 0; channel < 4; ++channel) {
    for (uint32_t value = 0; value <= c.mask[channel]; ++value) {
      if (c.channels[channel][value] != value << c.shift[channel]) return false;
    }
    covered |= c.mask[channel] << c.shift[channel];
  }
  return covered == (1u << (8 * c.sourceBytes)) - 1;
}

// Finds the lane computation of one channel: from the texel (or the texel moved up
// a byte, for a channel in its low byte), the source bits times a multiplier,
// keeping the high 16 bits, moved left and masked to the device bits. A
// multiplier of about maximum ratio x 2^k is tried for every k, largest first,
// and kept when the computation gives the table's entry for every value of the
// channel. False when none does: the pair is then converted by the tables.
bool PlanLane(const TexelConverter& c, int channel, uint32_t deviceMax, uint32_t deviceShift, TexelLaneChannel* lane) {
  std::memset(lane, 0, sizeof *lane);
  const uint32_t sourceMax = c.mask[channel];
  if (sourceMax == 0 || deviceMax == 0) return true;  // nothing to give
  const int half = deviceShift >= 16 ? 1 : 0;
  const uint32_t shiftInHalf = deviceShift - 16 * half;
  const uint32_t deviceMask = deviceMax << shiftInHalf;
  if (deviceMask > 0xFFFF || (half == 1 && c.deviceBytes != 4)) return false;  // across the halves
  for (int up = 0; up <= 1; ++up) {
    const uint32_t sourceShift = c.shift[channel] + 8 * up;
    if (((sourceMax << sourceShift) & ~0xFFFFu) != 0) continue;  // the move up would lose bits
    for (int k = 31; k >= 0; --k) {
      const uint64_t multiplier = ((static_cast<uint64_t>(deviceMax) << k) + sourceMax - 1) / sourceMax;
      const int left = 16 + static_cast<int>(shiftInHalf) - static_cast<int>(sourceShift) - k;
      if (multiplier > 0xFFFF || left < 0 || left > 15) continue;
      bool exact = true;
      for (uint32_t value = 0; value <= sourceMax && exact; ++value) {
        const uint32_t product = ((value << sourceShift) * static_cast<uint32_t>(multiplier)) >> 16;
        const uint32_t lanes = ((product << left) & 0xFFFF) & deviceMask;
        exact = lanes == ((c.channels[channel][value] >> (16 * half)) & 0xFFFF);
      }
      if (!exact) continue;
      lane->sourceMask[up] = static_cast<uint16_t>(sourceMax << sourceShift);
      lane->multiplier = static_cast<uint16_t>(multiplier);
      lane->shifter = static_cast<uint16_t>(1u << left);
      lane->deviceMask[half] = static_cast<uint16_t>(deviceMask);
      return true;
    }
  }
  return false;
}

// True when some coloured texel has every channel come out 0: a colour channel
// turns a value other than 0 into 0, and the others can be 0.
bool SomeTexelIsSubstituted(const TexelConverter& c) {
  for (int channel = 0; channel < 4; ++channel) {
    for (uint32_t value = 1; value <= c.mask[channel]; ++value) {
      if (c.channels[channel][value] == 0 && ((value << c.shift[channel]) & c.colourMask) != 0) return true;
    }
  }
  return false;
}

// The fastest kernel this processor runs, looked up once.
TexelKernel BestKernel() {
  static const TexelKernel best = ProcessorRuns(kTexelsByAvx512) ? kTexelsByAvx512
                                  : ProcessorRuns(kTexelsByAvx2)   ? kTexelsByAvx2
                                  : ProcessorRuns(kTexelsBySse2)   ? kTexelsBySse2
                                                                   : kTexelsByTables;
  return best;
}

using LaneRows = int (*)(const TexelConverter&, const uint8_t*, size_t, int, int, uint8_t*, size_t);
LaneRows LaneRowsOf(TexelKernel kernel) {
#if ONDREL_TEXEL_LANES
  if (kernel == kTexelsByAvx512) return ConvertTexelLanesAvx512;
  if (kernel == kTexelsByAvx2) return ConvertTexelLanesAvx2;
  if (kernel == kTexelsBySse2) return ConvertTexelLanesSse2;
#endif
  (void)kernel;
  return nullptr;
}

}  // namespace

bool ProcessorRuns(TexelKernel kernel) {
  if (kernel == kTexelsByTables) return true;
#if ONDREL_TEXEL_LANES
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  if (kernel == kTexelsBySse2) return (d & bit_SSE2) != 0;
  // The wider sets need the system to save their registers: XCR0 bits 1 and 2 for
  // the 256-bit halves, and 5 to 7 for AVX-512's masks and 512-bit registers.
  if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) return false;
  unsigned low = 0, high = 0;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  if (kernel == kTexelsByAvx2) return (low & 0x06) == 0x06 && (b & bit_AVX2) != 0;
  if (kernel == kTexelsByAvx512) return (low & 0xE6) == 0xE6 && (b & bit_AVX512F) != 0 && (b & bit_AVX512BW) != 0;
#endif
  return false;
}

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

uint32_t TexelToColorRef(const TexelSource& s, uint32_t texel) {
  return ScaleChannel(s.red, texel, 255, 0) | ScaleChannel(s.green, texel, 255, 8) |
         ScaleChannel(s.blue, texel, 255, 16);
}

void MakeTexelConverter(const TexelSource& s, const KR3DTEXTUREFORMATINFO& d, TexelConverter* c) {
  std::memset(c, 0, sizeof *c);
  if (!s.converted) return;
  c->sourceBytes = s.bytes;
  c->deviceBytes = static_cast<int>(d.dwBitCount / 8);
  c->storedBytes = c->deviceBytes < 4 ? c->deviceBytes : 4;
  const TexelChannel* source[4] = {&s.red, &s.green, &s.blue, &s.alpha};
  const DWORD max[4] = {d.dwRedMax, d.dwGreenMax, d.dwBlueMax, d.dwAlphaMax};
  const DWORD shift[4] = {d.dwRedShift, d.dwGreenShift, d.dwBlueShift, d.dwAlphaShift};
  for (int channel = 0; channel < 4; ++channel) {
    c->shift[channel] = source[channel]->shift;
    c->mask[channel] = source[channel]->max;
    for (uint32_t value = 0; value <= c->mask[channel]; ++value) {
      c->channels[channel][value] =
          ScaleChannel(*source[channel], value << c->shift[channel], max[channel], shift[channel]);
    }
  }
  c->colourMask = s.colourMask;
  c->substitute = 1u << d.dwGreenShift;
  // A source without alpha is opaque: its alpha is the device maximum, and it does
  // not count when a coloured texel is kept from turning black.
  if (s.alpha.max == 0) c->opaque = d.dwAlphaMax << d.dwAlphaShift;
  if (s.bytes == 1) {
    for (uint32_t texel = 0; texel < 256; ++texel) c->whole[texel] = FromTables(*c, texel);
  }
  c->copy = ConvertsIntoItself(*c);
  c->byteTables = s.bytes == 2 && ChannelsLieInOneByte(*c);
  if (c->byteTables) {
    ByteTable(*c, 0, c->low);
    ByteTable(*c, 1, c->high);
  }
  c->substitutes = SomeTexelIsSubstituted(*c);
  // Lanes take 16-bit texels into 2- or 4-byte ones, when every channel has an exact plan.
  bool planned = c->deviceBytes == 2 || c->deviceBytes == 4;
  for (int channel = 0; channel < 4 && planned; ++channel) {
    planned = PlanLane(*c, channel, max[channel], shift[channel], &c->lanes[channel]);
  }
  c->kernel = planned && !c->copy ? BestKernel() : kTexelsByTables;
}

void ConvertTexelRows(const TexelConverter& c, const uint8_t* in, size_t inPitch, int step, int count, int rows,
                      uint8_t* out, size_t outPitch) {
  if (c.sourceBytes == 0 || count <= 0 || rows <= 0) return;
  const size_t rowBytes = static_cast<size_t>(count) * c.sourceBytes;
  if (c.copy && step == 1 && inPitch == rowBytes && outPitch == rowBytes) {
    std::memcpy(out, in, rowBytes * rows);  // rows that follow each other on both sides: one copy
    return;
  }
  const RowConversion convert = c.sourceBytes == 1 ? RowConversionOf<kWholeTexel>(c.storedBytes)
                                : c.byteTables   ? RowConversionOf<kByteTables>(c.storedBytes)
                                                 : RowConversionOf<kChannelTables>(c.storedBytes);
  const size_t inStep = static_cast<size_t>(step) * c.sourceBytes;
  // Vector lanes take the whole groups of texels at the start of every row; the tables the rest.
  const LaneRows lanes = step == 1 ? LaneRowsOf(c.kernel) : nullptr;
  const int done = lanes != nullptr ? lanes(c, in, inPitch, count, rows, out, outPitch) : 0;
  if (done == count) return;
  in += done * inStep;
  out += static_cast<size_t>(done) * c.deviceBytes;
  for (int y = 0; y < rows; ++y, in += inPitch, out += outPitch) {
    if (c.copy && step == 1) {
      std::memcpy(out, in, rowBytes);
    } else {
      convert(c, in, inStep, count - done, out);
    }
  }
}
