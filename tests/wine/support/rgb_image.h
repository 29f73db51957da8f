// A picture as 0x00RRGGBB pixels, rows top down: what surfaces are read into and
// what the BMP and PNG writers take.
#ifndef KR_WINE_SUPPORT_RGB_IMAGE_H
#define KR_WINE_SUPPORT_RGB_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace winsupport {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height entries

  RgbImage() = default;
  RgbImage(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // Holds exactly width * height pixels of a non-empty size.
  bool IsWhole() const { return width > 0 && height > 0 && pixels.size() == static_cast<size_t>(width) * height; }
};

}  // namespace winsupport

#endif
