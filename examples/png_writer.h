// Writes 24-bit RGB pictures as PNG files (uncompressed deflate: no library needed).
#ifndef KR_EXAMPLES_PNG_WRITER_H
#define KR_EXAMPLES_PNG_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds width * height pixels, three bytes each (red, green, blue), rows top down.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

#endif
