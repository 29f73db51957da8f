#include "support/bmp_writer.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace winsupport {

bool WriteBmp(const char* path, const RgbImage& image) {
  if (!image.IsWhole()) return false;
  const size_t rowBytes = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * image.height);
  info.biSize = sizeof(info);
  info.biWidth = image.width;
  info.biHeight = image.height;  // positive: rows bottom up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;

  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  for (int y = image.height - 1; y >= 0; --y) {
    std::string row(rowBytes, '\0');
    for (int x = 0; x < image.width; ++x) {
      uint32_t rgb = image.At(x, y);
      row[static_cast<size_t>(x) * 3 + 0] = static_cast<char>(rgb & 0xFF);  // blue, green, red
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    bytes += row;
  }
  FILE* out = fopen(path, "wb");
  if (out == NULL) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return fclose(out) == 0 && written;
}

}  // namespace winsupport
