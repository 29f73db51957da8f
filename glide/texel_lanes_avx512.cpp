// Texel lanes in AVX-512 (its 16-bit operations): 32 texels a step. Built with
// AVX-512BW enabled, called only when the processor and the system run it.
#include <immintrin.h>

#include "glide/texel_lane_rows.h"

namespace {

struct Avx512 {
  using Vector = __m512i;
  static const int kLanes = 32;
  static Vector Splat(uint16_t value) { return _mm512_set1_epi16(static_cast<short>(value)); }
  static Vector LoadBytes(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static Vector LoadWords(const uint8_t* p) { return _mm512_loadu_si512(p); }
  static Vector ByteUp(Vector v) { return _mm512_slli_epi16(v, 8); }
  static Vector And(Vector a, Vector b) { return _mm512_and_si512(a, b); }
  // Not `notThis`, and `b`, as a three-input logic table (0x0C: A clear, B set): the
  // compiler's own and-not warns of an uninitialised vector that it never reads.
  static Vector AndNot(Vector notThis, Vector b) { return _mm512_ternarylogic_epi32(notThis, b, b, 0x0C); }
  static Vector Or(Vector a, Vector b) { return _mm512_or_si512(a, b); }
  static Vector Equal(Vector a, Vector b) { return _mm512_movm_epi16(_mm512_cmpeq_epi16_mask(a, b)); }
  static Vector MulHigh(Vector a, Vector b) { return _mm512_mulhi_epu16(a, b); }
  static Vector MulLow(Vector a, Vector b) { return _mm512_mullo_epi16(a, b); }
  static void StoreWords(uint8_t* p, Vector v) { _mm512_storeu_si512(p, v); }
  // Low and high halves of 32 device texels, interleaved into texels. The unpacks
  // work within each 128-bit quarter; the permutes put the quarters in order.
  static void StoreHalves(uint8_t* p, Vector low, Vector high) {
    const Vector first = _mm512_unpacklo_epi16(low, high);
    const Vector second = _mm512_unpackhi_epi16(low, high);
    const Vector firstOrder = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
    const Vector secondOrder = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
    _mm512_storeu_si512(p, _mm512_permutex2var_epi64(first, firstOrder, second));
    _mm512_storeu_si512(p + 64, _mm512_permutex2var_epi64(first, secondOrder, second));
  }
};

}  // namespace

// A 32-bit caller may hand over a stack aligned to 4 bytes only.
#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
int ConvertTexelLanesAvx512(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                            uint8_t* out, size_t outPitch) {
  return ConvertLanes<Avx512>(converter, in, inPitch, count, rows, out, outPitch);
}
