// Writes 3DF texture files for the tests: every 3DF file a test or the fuzz
// corpus uses comes from here. The defaults make a well-formed 256 x 256
// "rgb565" file holding one level; each field can be bent into a malformed form.
#ifndef KR_TESTS_SUPPORT_TDF_WRITER_H
#define KR_TESTS_SUPPORT_TDF_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>

struct TdfWriter {
  std::string signature = "3df v1.0";  // the 8 bytes before the line end
  std::string format = "rgb565";
  std::string lodLine = LodLine(1, 256);
  std::string aspectLine = AspectLine(1, 1);
  std::string lineEnd = "\n";        // "\r\n" for CR LF files
  bool aspectLineEnded = true;       // false: the file ends inside the aspect line
  std::string texels = Texels(256 * 256 * 2);
  size_t cutAt = std::string::npos;  // the file ends after this many bytes

  static std::string LodLine(int smallEdge, int largeEdge) {
    return "lod range: " + std::to_string(smallEdge) + " " + std::to_string(largeEdge);
  }
  static std::string AspectLine(int widthPart, int heightPart) {
    return "aspect ratio: " + std::to_string(widthPart) + " " + std::to_string(heightPart);
  }
  // Texel bytes in a pattern that shows where each came from.
  static std::string Texels(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
  }

  std::string Header() const {
    return signature + lineEnd + format + lineEnd + lodLine + lineEnd + aspectLine + (aspectLineEnded ? lineEnd : "");
  }
  std::string Bytes() const { return (Header() + texels).substr(0, cutAt); }
};

#endif
