#include "support/png_writer.h"

#include <cstdio>
#include <vector>

#include "support/surface_pixels.h"

namespace winsupport {

namespace {

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks of at most 65535 bytes.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t offset = 0;
  do {
    size_t length = raw.size() - offset;
    if (length > 65535) length = 65535;
    bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(offset),
               raw.begin() + static_cast<ptrdiff_t>(offset + length));
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePng(const char* path, const RgbImage& image) {
  if (!image.IsWhole()) return false;
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(image.width));
  PutBigEndian(header, static_cast<uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, no interlace
  PutChunk(png, "IHDR", header);

  std::vector<uint8_t> rows;
  rows.reserve(static_cast<size_t>(image.height) * (static_cast<size_t>(image.width) * 3 + 1));
  for (int y = 0; y < image.height; ++y) {
    rows.push_back(0);  // no filter
    for (int x = 0; x < image.width; ++x) {
      uint32_t rgb = image.At(x, y);
      rows.push_back(static_cast<uint8_t>(rgb >> 16));
      rows.push_back(static_cast<uint8_t>(rgb >> 8));
      rows.push_back(static_cast<uint8_t>(rgb));
    }
  }
  PutChunk(png, "IDAT", StoredZlib(rows));
  PutChunk(png, "IEND", {});

  FILE* file = fopen(path, "wb");
  if (file == NULL) return false;
  bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
  return fclose(file) == 0 && written;
}

bool WriteSurfacePng(IDirectDrawSurface4* surface, const char* path) {
  RgbImage image;
  return ReadSurface(surface, &image) && WritePng(path, image);
}

}  // namespace winsupport
