// Texel lanes in AVX2: 16 texels a step. Built with AVX2 enabled, called only when
// the processor and the system run it.
#include <immintrin.h>

#include "glide/texel_lane_rows.h"

namespace {

struct Avx2 {
  using Vector = __m256i;
  static const int kLanes = 16;
  static Vector Splat(uint16_t value) { return _mm256_set1_epi16(static_cast<short>(value)); }
  static Vector LoadBytes(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static Vector LoadWords(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static Vector ByteUp(Vector v) { return _mm256_slli_epi16(v, 8); }
  static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
  static Vector AndNot(Vector notThis, Vector b) { return _mm256_andnot_si256(notThis, b); }
  static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
  static Vector Equal(Vector a, Vector b) { return _mm256_cmpeq_epi16(a, b); }
  static Vector MulHigh(Vector a, Vector b) { return _mm256_mulhi_epu16(a, b); }
  static Vector MulLow(Vector a, Vector b) { return _mm256_mullo_epi16(a, b); }
  static void StoreWords(uint8_t* p, Vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  // Low and high halves of 16 device texels, interleaved into texels. The unpacks
  // work within each 128-bit half, giving texels 0-3 with 8-11 and 4-7 with 12-15.
  static void StoreHalves(uint8_t* p, Vector low, Vector high) {
    const Vector first = _mm256_unpacklo_epi16(low, high);
    const Vector second = _mm256_unpackhi_epi16(low, high);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 32), _mm256_permute2x128_si256(first, second, 0x31));
  }
};

}  // namespace

// A 32-bit caller may hand over a stack aligned to 4 bytes only.
#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
int ConvertTexelLanesAvx2(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                          uint8_t* out, size_t outPitch) {
  return ConvertLanes<Avx2>(converter, in, inPitch, count, rows, out, outPitch);
}
