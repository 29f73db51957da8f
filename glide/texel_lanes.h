// Texel rows converted in vector lanes, one entry point per instruction set, each
// built for its set and called only on a processor that runs it. Each converts
// the whole groups of 8 (SSE2), 16 (AVX2) or 32 (AVX-512) texels at the start of every row of
// consecutive texels and returns how many texels of a row it converted; the
// tables do the rest.
#ifndef ONDREL_TEXEL_LANES_H
#define ONDREL_TEXEL_LANES_H

#include "glide/texel_conversion.h"

#include <cstddef>

int ConvertTexelLanesSse2(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                          uint8_t* out, size_t outPitch);
int ConvertTexelLanesAvx2(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                          uint8_t* out, size_t outPitch);
int ConvertTexelLanesAvx512(const TexelConverter& converter, const uint8_t* in, size_t inPitch, int count, int rows,
                            uint8_t* out, size_t outPitch);

#endif
