// DirectDraw's pixel-format records and the simulation's pixel layouts, and
// the text of DirectDraw arguments in the call record.
#include <cstring>

#include "sim/ddraw_internal.h"

namespace sim::detail {

std::string ArgRect(const RECT* rect) {
  if (rect == nullptr) return "NULL";
  return "{" + ArgDec(rect->left) + ", " + ArgDec(rect->top) + ", " + ArgDec(rect->right) + ", " +
         ArgDec(rect->bottom) + "}";
}

std::string ArgSurfaceDesc(const DDSURFACEDESC2* desc) {
  if (desc == nullptr) return "NULL";
  std::string text = "{flags " + ArgHex(desc->dwFlags);
  if (desc->dwFlags & DDSD_CAPS) text += ", caps " + ArgHex(desc->ddsCaps.dwCaps);
  if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) {
    text += ", " + ArgDec(desc->dwWidth) + "x" + ArgDec(desc->dwHeight);
  }
  if (desc->dwFlags & DDSD_BACKBUFFERCOUNT) text += ", backbuffers " + ArgDec(desc->dwBackBufferCount);
  if (desc->dwFlags & DDSD_PIXELFORMAT) {
    text += ", format " + ArgHex(desc->ddpfPixelFormat.dwFlags) + " " + ArgDec(desc->ddpfPixelFormat.dwRGBBitCount);
  }
  return text + "}";
}

std::string ArgColorKey(const DDCOLORKEY* key) {
  if (key == nullptr) return "NULL";
  return "{" + ArgHex(key->dwColorSpaceLowValue) + ", " + ArgHex(key->dwColorSpaceHighValue) + "}";
}

HRESULT RecordUnsupported(const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
  return DDERR_UNSUPPORTED;
}

PixelLayout LayoutOfDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 8: return PixelLayout::Palettized8();
    case 15: return PixelLayout::Rgb555();
    case 24: return PixelLayout::Rgb888();
    case 32: return PixelLayout::Xrgb8888();
    default: return PixelLayout::Rgb565();
  }
}

int DepthOfLayout(const PixelLayout& layout) {
  if (layout.bitCount == 16 && layout.greenMask == PixelLayout::Rgb555().greenMask) return 15;
  return layout.bitCount;
}

bool SameLayout(const PixelLayout& a, const PixelLayout& b) {
  return a.bitCount == b.bitCount && a.palettized == b.palettized && a.redMask == b.redMask &&
         a.greenMask == b.greenMask && a.blueMask == b.blueMask && a.alphaMask == b.alphaMask;
}

PixelLayout DepthBufferLayout(int bits) { return PixelLayout{bits, 0, 0, 0, 0, false}; }

void DescribeLayout(const PixelLayout& layout, bool depthBuffer, DDPIXELFORMAT* format) {
  std::memset(format, 0, sizeof *format);
  format->dwSize = sizeof *format;
  if (depthBuffer) {
    format->dwFlags = DDPF_ZBUFFER;
    format->dwZBufferBitDepth = static_cast<DWORD>(layout.bitCount);
    format->dwZBitMask = layout.bitCount >= 32 ? 0xFFFFFFFFu : (1u << layout.bitCount) - 1;
    return;
  }
  format->dwRGBBitCount = static_cast<DWORD>(layout.bitCount);
  if (layout.palettized) {
    format->dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    return;
  }
  format->dwFlags = DDPF_RGB | (layout.alphaMask ? DDPF_ALPHAPIXELS : 0);
  format->dwRBitMask = layout.redMask;
  format->dwGBitMask = layout.greenMask;
  format->dwBBitMask = layout.blueMask;
  format->dwRGBAlphaBitMask = layout.alphaMask;
}

bool LayoutOfPixelFormat(const DDPIXELFORMAT& format, PixelLayout* layout) {
  if (format.dwSize != sizeof format) return false;
  if (format.dwFlags & DDPF_ZBUFFER) {
    const DWORD bits = format.dwZBufferBitDepth;
    if (bits != 16 && bits != 24 && bits != 32) return false;
    *layout = DepthBufferLayout(static_cast<int>(bits));
    return true;
  }
  if (format.dwFlags & DDPF_PALETTEINDEXED8) {
    *layout = PixelLayout::Palettized8();
    return true;
  }
  if (!(format.dwFlags & DDPF_RGB)) return false;
  const DWORD bits = format.dwRGBBitCount;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const DWORD alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
  *layout = PixelLayout{static_cast<int>(bits), format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, alpha, false};
  return true;
}

void DescribeMode(const DisplayMode& mode, DDSURFACEDESC2* desc) {
  std::memset(desc, 0, sizeof *desc);
  desc->dwSize = sizeof *desc;
  desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = static_cast<DWORD>(mode.width);
  desc->dwHeight = static_cast<DWORD>(mode.height);
  const PixelLayout layout = LayoutOfDepth(mode.bitsPerPixel);
  desc->lPitch = static_cast<LONG>(((mode.width * layout.bitCount / 8) + 3) & ~3);
  DescribeLayout(layout, false, &desc->ddpfPixelFormat);
}

}  // namespace sim::detail
