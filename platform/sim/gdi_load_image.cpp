// LoadImageA for bitmaps: from a module's bitmap resources or from a .bmp
// file in the sandbox, as a DIB section in the file's own format or as a
// bitmap in the screen's format.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "sim/display.h"
#include "sim/gdi_internal.h"

using namespace sim::detail;

namespace {

struct Loaded {
  DecodedBitmap bitmap;
  DWORD error = ERROR_SUCCESS;
};

Loaded FromFile(LPCSTR name) {
  Loaded loaded;
  if (IS_INTRESOURCE(name)) {
    loaded.error = ERROR_FILE_NOT_FOUND;
    return loaded;
  }
  const MappedPath path = MapWindowsPath(name);
  struct stat info;
  if (path.error != ERROR_SUCCESS) {
    loaded.error = path.error;
  } else if (stat(path.host.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    loaded.error = ERROR_FILE_NOT_FOUND;
  } else {
    std::ifstream in(path.host, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    loaded.bitmap = DecodeBmpFile(bytes.str());
    if (loaded.bitmap.pixels == nullptr) loaded.error = ERROR_INVALID_DATA;
  }
  return loaded;
}

Loaded FromResource(HINSTANCE module, LPCSTR name) {
  Loaded loaded;
  // A null module would mean the system's own bitmaps, which this machine has none of.
  const std::string* bytes = nullptr;
  if (module == nullptr || !IsLoadedModule(module)) {
    loaded.error = ERROR_RESOURCE_TYPE_NOT_FOUND;
  } else {
    bytes = FindResourceBytes(module, RT_BITMAP, name, &loaded.error);
  }
  if (bytes == nullptr) return loaded;
  // A test may have registered the whole file: the resource is what follows its file header.
  loaded.bitmap = bytes->compare(0, 2, "BM") == 0 ? DecodeBmpFile(*bytes) : DecodePackedDib(*bytes);
  if (loaded.bitmap.pixels == nullptr) loaded.error = ERROR_INVALID_DATA;
  return loaded;
}

// Nearest-neighbour, as a bitmap loaded at another size than its own.
PixelSurfacePtr Scaled(const PixelSurfacePtr& pixels, int width, int height) {
  auto scaled = std::make_shared<PixelSurface>(width, height, pixels->Layout());
  scaled->Palette() = pixels->Palette();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      scaled->SetRaw(x, y, pixels->Raw(x * pixels->Width() / width, y * pixels->Height() / height));
    }
  }
  return scaled;
}

// A bitmap that is not a DIB section has the screen's format.
PixelSurfacePtr InScreenFormat(const PixelSurfacePtr& pixels) {
  const DisplayState& display = Display();
  auto converted = std::make_shared<PixelSurface>(pixels->Width(), pixels->Height(), display.layout);
  if (display.layout.palettized && display.screen) converted->Palette() = display.screen->Palette();
  for (int y = 0; y < pixels->Height(); ++y) {
    for (int x = 0; x < pixels->Width(); ++x) converted->SetRgb(x, y, pixels->Rgb(x, y));
  }
  return converted;
}

std::string ArgImageName(LPCSTR name) {
  return IS_INTRESOURCE(name) ? "MAKEINTRESOURCE(" + ArgDec(reinterpret_cast<uintptr_t>(name)) + ")"
                              : ArgString(name);
}

}  // namespace

extern "C" HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("LoadImageA", JoinArgs({ArgHandle(hInst), ArgImageName(name), ArgDec(type),
                                                       ArgDec(cx), ArgDec(cy), ArgHex(fuLoad)}))) {
    return FailWin32(*failure, static_cast<HANDLE>(nullptr));
  }
  if (type != IMAGE_BITMAP) return FailWin32(ERROR_NOT_SUPPORTED, static_cast<HANDLE>(nullptr));
  if (name == nullptr || cx < 0 || cy < 0) return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  const Loaded loaded = (fuLoad & LR_LOADFROMFILE) ? FromFile(name) : FromResource(hInst, name);
  if (loaded.bitmap.pixels == nullptr) return FailWin32(loaded.error, static_cast<HANDLE>(nullptr));

  GdiEntry entry;
  entry.kind = GdiKind::Bitmap;
  BitmapObject& bitmap = entry.bitmap;
  bitmap.pixels = loaded.bitmap.pixels;
  // A size of 0 is the bitmap's own.
  const int width = cx ? cx : bitmap.pixels->Width();
  const int height = cy ? cy : bitmap.pixels->Height();
  if (width != bitmap.pixels->Width() || height != bitmap.pixels->Height()) {
    bitmap.pixels = Scaled(bitmap.pixels, width, height);
  }
  if (fuLoad & LR_CREATEDIBSECTION) {
    bitmap.dibSection = true;
    bitmap.colorTableSize = loaded.bitmap.colorTableSize;
    bitmap.compression = loaded.bitmap.compression;
  } else {
    bitmap.pixels = InScreenFormat(bitmap.pixels);
  }
  // A DIB section reports its file's depth, also where 1 and 4-bit pixels are held as bytes.
  bitmap.bitCount = bitmap.dibSection && loaded.bitmap.bitCount != 0 ? loaded.bitmap.bitCount
                                                                      : bitmap.pixels->Layout().bitCount;
  HANDLE handle = NewGdiHandle(entry);
  if (handle == nullptr) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HANDLE>(nullptr));
  return handle;
}
