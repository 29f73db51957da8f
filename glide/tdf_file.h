// The 3DF texture file: a text header of four lines, then the texel data.
#ifndef ONDREL_GLIDE_TDF_FILE_H
#define ONDREL_GLIDE_TDF_FILE_H

#include <cstdint>

// What the header says, in the Glide codes the game is given.
struct TdfHeader {
  uint32_t width;
  uint32_t height;
  int32_t smallLod;
  int32_t largeLod;
  int32_t aspectRatio;
  int32_t format;
  uint32_t memRequired;   // the file's size less the header
  uint32_t headerLength;  // where the texel data begins
};

// Reads and logs the header of the file; false, with the file closed and
// `header` untouched, when the file is missing, its header is refused or its
// texel data is shorter than the largest level.
bool TdfReadHeader(const char* fileName, TdfHeader* header);

// Reads the texel data behind an accepted header into `data` in one read;
// true only when exactly header.memRequired bytes came.
bool TdfReadTexels(const char* fileName, const TdfHeader& header, void* data);

#endif
