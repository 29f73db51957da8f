#include "sim/pixel_surface.h"

#include <algorithm>

namespace sim::detail {

namespace {

int LowestBit(uint32_t mask) {
  int shift = 0;
  while (shift < 32 && !(mask & (1u << shift))) ++shift;
  return shift;
}

int BitCount(uint32_t mask) {
  int count = 0;
  for (; mask; mask &= mask - 1) ++count;
  return count;
}

// Takes an 8-bit channel value into a field of `mask`.
uint32_t PackChannel(uint32_t value8, uint32_t mask) {
  int bits = BitCount(mask);
  if (bits == 0) return 0;
  uint32_t field = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (field << LowestBit(mask)) & mask;
}

// Widens a field of `mask` to 8 bits by repeating its top bits.
uint32_t UnpackChannel(uint32_t raw, uint32_t mask) {
  int bits = BitCount(mask);
  if (bits == 0) return 0;
  uint32_t field = (raw & mask) >> LowestBit(mask);
  if (bits >= 8) return field >> (bits - 8);
  uint32_t value = 0;
  for (int filled = 0; filled < 8; filled += bits) value = (value << bits) | field;
  int total = ((8 + bits - 1) / bits) * bits;
  return (value >> (total - 8)) & 0xFF;
}

}  // namespace

PixelLayout PixelLayout::Palettized8() {
  PixelLayout layout;
  layout.bitCount = 8;
  layout.redMask = layout.greenMask = layout.blueMask = 0;
  layout.palettized = true;
  return layout;
}
PixelLayout PixelLayout::Rgb555() { return {16, 0x7C00, 0x03E0, 0x001F, 0, false}; }
PixelLayout PixelLayout::Rgb565() { return {16, 0xF800, 0x07E0, 0x001F, 0, false}; }
PixelLayout PixelLayout::Rgb888() { return {24, 0xFF0000, 0x00FF00, 0x0000FF, 0, false}; }
PixelLayout PixelLayout::Xrgb8888() { return {32, 0xFF0000, 0x00FF00, 0x0000FF, 0, false}; }

PixelSurface::PixelSurface(int width, int height, const PixelLayout& layout)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pitch_(((std::max(width, 0) * layout.bitCount / 8) + 3) & ~3),
      layout_(layout),
      bytes_(static_cast<size_t>(pitch_) * static_cast<size_t>(height_), 0),
      palette_(layout.palettized ? 256 : 0, 0) {}

uint32_t PixelSurface::Raw(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = bytes_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * (layout_.bitCount / 8);
  switch (layout_.bitCount) {
    case 8: return p[0];
    case 16: return p[0] | (p[1] << 8);
    case 24: return p[0] | (p[1] << 8) | (p[2] << 16);
    default: return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
}

void PixelSurface::SetRaw(int x, int y, uint32_t value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = bytes_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * (layout_.bitCount / 8);
  for (int i = 0; i < layout_.bitCount / 8; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t PixelSurface::RgbFromRaw(uint32_t raw) const {
  if (layout_.palettized) return palette_[raw & 0xFF] & 0xFFFFFF;
  return (UnpackChannel(raw, layout_.redMask) << 16) | (UnpackChannel(raw, layout_.greenMask) << 8) |
         UnpackChannel(raw, layout_.blueMask);
}

uint32_t PixelSurface::RawFromRgb(uint32_t rgb) const {
  uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  if (layout_.palettized) {
    // The nearest palette entry, as GDI maps colours onto a palette.
    uint32_t best = 0;
    long bestDistance = -1;
    for (uint32_t i = 0; i < palette_.size(); ++i) {
      long dr = static_cast<long>((palette_[i] >> 16) & 0xFF) - static_cast<long>(r);
      long dg = static_cast<long>((palette_[i] >> 8) & 0xFF) - static_cast<long>(g);
      long db = static_cast<long>(palette_[i] & 0xFF) - static_cast<long>(b);
      long distance = dr * dr + dg * dg + db * db;
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    return best;
  }
  return PackChannel(r, layout_.redMask) | PackChannel(g, layout_.greenMask) | PackChannel(b, layout_.blueMask);
}

uint32_t PixelSurface::Rgb(int x, int y) const { return RgbFromRaw(Raw(x, y)); }
void PixelSurface::SetRgb(int x, int y, uint32_t rgb) { SetRaw(x, y, RawFromRgb(rgb)); }

void PixelSurface::Fill(const RECT& area, uint32_t raw) {
  int left = std::max<int>(area.left, 0), top = std::max<int>(area.top, 0);
  int right = std::min<int>(area.right, width_), bottom = std::min<int>(area.bottom, height_);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) SetRaw(x, y, raw);
}

}  // namespace sim::detail
