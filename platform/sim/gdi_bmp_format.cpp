// The .bmp format: reading a file or a bitmap resource into pixels (1, 4 and
// 8-bit with a colour table, 16, 24 and 32 bits, rows either way up), and
// writing one for tests.
#include <cstring>
#include <stdexcept>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 32768;  // more is a damaged header, not a picture

uint32_t Read16(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8;
}

uint32_t Read32(const std::string& bytes, size_t at) { return Read16(bytes, at) | Read16(bytes, at + 2) << 16; }

int RowBytes(int width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// The info header, masks, colour table and pixels starting at `dib`; the
// pixels at `pixelOffset` when given (a file says where), else right after
// the colour table (a resource packs them there).
detail::DecodedBitmap DecodeDib(const std::string& bytes, size_t dib, size_t pixelOffset) {
  detail::DecodedBitmap decoded;
  if (bytes.size() < dib + kInfoHeaderSize) return decoded;
  const uint32_t headerSize = Read32(bytes, dib);
  const int width = static_cast<int32_t>(Read32(bytes, dib + 4));
  const int signedHeight = static_cast<int32_t>(Read32(bytes, dib + 8));
  const uint32_t planes = Read16(bytes, dib + 12);
  const int bitCount = static_cast<int>(Read16(bytes, dib + 14));
  const uint32_t compression = Read32(bytes, dib + 16);
  const uint32_t colorsUsed = Read32(bytes, dib + 32);
  const bool topDown = signedHeight < 0;
  const int height = topDown ? -signedHeight : signedHeight;

  if (headerSize < kInfoHeaderSize || bytes.size() < dib + headerSize || planes != 1) return decoded;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return decoded;
  const bool indexed = bitCount == 1 || bitCount == 4 || bitCount == 8;
  if (!indexed && bitCount != 16 && bitCount != 24 && bitCount != 32) return decoded;
  const bool bitfields = compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32);
  if (compression != BI_RGB && !bitfields) return decoded;

  detail::PixelLayout layout = indexed          ? detail::PixelLayout::Palettized8()
                               : bitCount == 16 ? detail::PixelLayout::Rgb555()
                               : bitCount == 24 ? detail::PixelLayout::Rgb888()
                                                : detail::PixelLayout::Xrgb8888();
  // The masks end a longer header, or follow the basic one.
  size_t colorTable = dib + headerSize;
  if (bitfields) {
    const size_t masks = headerSize >= kInfoHeaderSize + 12 ? dib + kInfoHeaderSize : dib + headerSize;
    if (bytes.size() < masks + 12) return decoded;
    layout.redMask = Read32(bytes, masks);
    layout.greenMask = Read32(bytes, masks + 4);
    layout.blueMask = Read32(bytes, masks + 8);
    if (headerSize < kInfoHeaderSize + 12) colorTable += 12;
  }
  const size_t colors = indexed ? (colorsUsed == 0 ? size_t{1} << bitCount : colorsUsed) : colorsUsed;
  if (colors > 256 || bytes.size() < colorTable + colors * 4) return decoded;
  if (pixelOffset == 0) pixelOffset = colorTable + colors * 4;

  const size_t rowBytes = static_cast<size_t>(RowBytes(width, bitCount));
  if (pixelOffset > bytes.size() || bytes.size() - pixelOffset < rowBytes * static_cast<size_t>(height)) {
    return decoded;
  }
  auto pixels = std::make_shared<detail::PixelSurface>(width, height, layout);
  if (indexed) {
    for (size_t i = 0; i < colors; ++i) {
      const size_t at = colorTable + i * 4;  // blue, green, red, reserved
      pixels->Palette()[i] = static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
                             static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
                             static_cast<uint8_t>(bytes[at]);
    }
    decoded.colorTableSize = static_cast<int>(colors);
  }
  for (int row = 0; row < height; ++row) {
    const int fileRow = topDown ? row : height - 1 - row;
    const char* line = bytes.data() + pixelOffset + static_cast<size_t>(fileRow) * rowBytes;
    if (bitCount >= 8) {
      std::memcpy(pixels->Bits() + static_cast<size_t>(row) * pixels->Pitch(), line, rowBytes);
      continue;
    }
    // Leftmost pixel in the highest bits of its byte.
    const int perByte = 8 / bitCount;
    for (int x = 0; x < width; ++x) {
      const int shift = (perByte - 1 - x % perByte) * bitCount;
      pixels->SetRaw(x, row, (static_cast<uint8_t>(line[x / perByte]) >> shift) & ((1u << bitCount) - 1));
    }
  }
  decoded.pixels = pixels;
  decoded.compression = bitfields ? BI_BITFIELDS : BI_RGB;
  decoded.bitCount = bitCount;
  return decoded;
}

void Put16(std::string& bytes, uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}

}  // namespace

namespace detail {

DecodedBitmap DecodeBmpFile(const std::string& bytes) {
  if (bytes.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return DecodedBitmap{};
  const size_t pixelOffset = Read32(bytes, 10);
  if (pixelOffset < kFileHeaderSize + kInfoHeaderSize) return DecodedBitmap{};
  return DecodeDib(bytes, kFileHeaderSize, pixelOffset);
}

DecodedBitmap DecodePackedDib(const std::string& bytes) { return DecodeDib(bytes, 0, 0); }

}  // namespace detail

std::string EncodeBmp(const BmpImage& image) {
  const int bitCount = image.bitCount;
  const bool indexed = bitCount == 1 || bitCount == 4 || bitCount == 8;
  if (!indexed && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    throw std::invalid_argument("EncodeBmp: 1, 4, 8, 16, 24 or 32 bits");
  }
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
    throw std::invalid_argument("EncodeBmp: width times height pixels");
  }
  const uint32_t colors = indexed ? static_cast<uint32_t>(image.palette.size()) : 0;
  const int rowBytes = RowBytes(image.width, bitCount);
  const uint32_t pixelOffset = static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize + colors * 4);
  const uint32_t imageSize = static_cast<uint32_t>(rowBytes * image.height);

  std::string bytes = "BM";
  Put32(bytes, pixelOffset + imageSize);
  Put32(bytes, 0);
  Put32(bytes, pixelOffset);
  Put32(bytes, kInfoHeaderSize);
  Put32(bytes, static_cast<uint32_t>(image.width));
  Put32(bytes, static_cast<uint32_t>(image.topDown ? -image.height : image.height));
  Put16(bytes, 1);
  Put16(bytes, static_cast<uint32_t>(bitCount));
  Put32(bytes, BI_RGB);
  Put32(bytes, imageSize);
  Put32(bytes, 2835);  // 72 dots per inch
  Put32(bytes, 2835);
  Put32(bytes, colors);
  Put32(bytes, 0);
  for (uint32_t rgb : image.palette) {
    if (indexed) Put32(bytes, rgb & 0xFFFFFF);  // blue, green, red, 0 in the file
  }
  for (int fileRow = 0; fileRow < image.height; ++fileRow) {
    const int row = image.topDown ? fileRow : image.height - 1 - fileRow;
    std::string line(bitCount < 8 ? static_cast<size_t>(rowBytes) : 0, '\0');
    for (int column = 0; column < image.width; ++column) {
      const uint32_t value = image.pixels[static_cast<size_t>(row) * image.width + column];
      if (bitCount < 8) {
        const int perByte = 8 / bitCount;
        const uint32_t index = value & ((1u << bitCount) - 1);
        line[column / perByte] = static_cast<char>(line[column / perByte] |
                                                   (index << ((perByte - 1 - column % perByte) * bitCount)));
        continue;
      }
      switch (bitCount) {
        case 8: line += static_cast<char>(value & 0xFF); break;
        case 16:
          Put16(line, ((value >> 9) & 0x7C00) | ((value >> 6) & 0x03E0) | ((value >> 3) & 0x001F));
          break;
        case 24:
          Put16(line, value & 0xFFFF);
          line += static_cast<char>((value >> 16) & 0xFF);
          break;
        default: Put32(line, value & 0xFFFFFF); break;
      }
    }
    line.resize(static_cast<size_t>(rowBytes), '\0');
    bytes += line;
  }
  return bytes;
}

}  // namespace sim
