// Pixel memory shared by the simulated DirectDraw surfaces and GDI bitmaps:
// real pixels in the format they were made with, so a blit, a colour fill or
// a text drawn through a device context can be checked pixel by pixel.
#ifndef KR_SIM_PIXEL_SURFACE_H
#define KR_SIM_PIXEL_SURFACE_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace sim::detail {

// A pixel layout: 8 bits with a palette, or 15/16/24/32 bits described by masks.
struct PixelLayout {
  int bitCount = 32;
  uint32_t redMask = 0x00FF0000;
  uint32_t greenMask = 0x0000FF00;
  uint32_t blueMask = 0x000000FF;
  uint32_t alphaMask = 0;
  bool palettized = false;  // 8 bits: values index the palette

  static PixelLayout Palettized8();
  static PixelLayout Rgb555();
  static PixelLayout Rgb565();
  static PixelLayout Rgb888();   // 24 bits
  static PixelLayout Xrgb8888();  // 32 bits
};

// Colours as 0x00RRGGBB ("rgb") throughout; palettes hold 256 of them.
class PixelSurface {
 public:
  PixelSurface(int width, int height, const PixelLayout& layout);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Pitch() const { return pitch_; }  // bytes per row, a multiple of 4
  const PixelLayout& Layout() const { return layout_; }
  uint8_t* Bits() { return bytes_.data(); }
  const uint8_t* Bits() const { return bytes_.data(); }

  // The raw value of one pixel in the surface's own format.
  uint32_t Raw(int x, int y) const;
  void SetRaw(int x, int y, uint32_t value);

  // Conversions through the layout (and the palette for 8 bits): a channel of
  // n bits widens by repeating its top bits, so 5-bit 31 reads as 255.
  uint32_t Rgb(int x, int y) const;
  void SetRgb(int x, int y, uint32_t rgb);
  uint32_t RawFromRgb(uint32_t rgb) const;
  uint32_t RgbFromRaw(uint32_t raw) const;

  void Fill(const RECT& area, uint32_t raw);  // clipped to the surface

  // 8-bit surfaces: the palette they are drawn with (black until set).
  std::vector<uint32_t>& Palette() { return palette_; }
  const std::vector<uint32_t>& Palette() const { return palette_; }

 private:
  int width_;
  int height_;
  int pitch_;
  PixelLayout layout_;
  std::vector<uint8_t> bytes_;
  std::vector<uint32_t> palette_;
};

using PixelSurfacePtr = std::shared_ptr<PixelSurface>;

// ---- Device contexts on pixel memory (implemented by the GDI area) ----------
// A device context that draws into `pixels`: what DirectDraw's GetDC hands out
// and what a DIB section selected into a memory DC draws into.
HDC CreatePixelDC(const PixelSurfacePtr& pixels);
// Ends a device context made by CreatePixelDC; false when `dc` is not one.
bool DeletePixelDC(HDC dc);

}  // namespace sim::detail

#endif
