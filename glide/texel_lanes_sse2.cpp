// Texel lanes in SSE2: 8 texels a step. Built with SSE2 enabled, called only when
// the processor has it.
#include <emmintrin.h>

#include "glide/texel_lane_rows.h"

namespace {

struct Sse2 {
  using Vector = __m128i;
  static const int kLanes = 8;
  static Vector Splat(uint16_t value) { return _mm_set1_epi16(static_cast<short>(value)); }
  static Vector LoadBytes(const uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static Vector LoadWords(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static Vector ByteUp(Vector v) { return _mm_slli_epi16(v, 8); }
  static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
  static Vector AndNot(Vector notThis, Vector b) { return _mm_andnot_si128(notThis, b); }
  static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static Vector Equal(Vector a, Vector b) { return _mm_cmpeq_epi16(a, b); }
  static Vector MulHigh(Vector a, Vector b) { return _mm_mulhi_epu16(a, b); }
  static Vector MulLow(Vector a, Vector b) { return _mm_mullo_epi16(a, b); }
  static void StoreWords(uint8_t* p, Vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  // Low and high halves of 8 device texels, interleaved into texels.
  static void StoreHalves(uint8_t* p, Vector low, Vector high) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi16(low, high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi16(low, high));
  }
};

}  // namespace

// A 32-bit caller may hand over a stack aligned to 4 bytes only.
#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
int ConvertTexelLanesSse2(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                          uint8_t* out, size_t outPitch) {
  return ConvertLanes<Sse2>(converter, in, inPitch, count, rows, out, outPitch);
}
