// The splash sequences' resources. A sound or model is created from a copy
// of its resource; the creates read the image without knowing its length, so
// only an image that holds what its header announces reaches them.
#include "render3d/splash_resources.h"

#include <korvathd.h>

#include <cstdint>
#include <cstring>

namespace {

uint32_t ReadU32(const unsigned char* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// A RIFF image announces 8 + its RIFF size bytes.
bool WaveFits(const unsigned char* bytes, DWORD size) {
  return size >= 8 && 8 + uint64_t(ReadU32(bytes + 4)) <= size;
}

// A model image announces 64 bytes of header and its three arrays.
bool ModelFits(const unsigned char* bytes, DWORD size) {
  if (size < 64) return false;
  const uint64_t vertices = ReadU32(bytes + 16);
  const uint64_t pairs = ReadU32(bytes + 20);
  const uint64_t indices = uint64_t(bytes[24]) | uint64_t(bytes[25]) << 8;
  return 64 + 24 * vertices + 8 * pairs + 2 * indices <= size;
}

template <typename Create>
int LoadResourceCopy(HMODULE module, int id, const char* type, const char* tag,
                     bool (*fits)(const unsigned char*, DWORD), Create create) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = found != NULL ? LoadResource(module, found) : NULL;
  const void* data = loaded != NULL ? LockResource(loaded) : NULL;
  if (data == NULL) return 0;
  const DWORD size = SizeofResource(module, found);
  int handle = 0;
  if (fits(static_cast<const unsigned char*>(data), size)) {
    void* block = KRAllocEx(int(size), const_cast<char*>(tag));
    if (block != NULL) {
      memcpy(block, data, size);
      handle = create(block);
      KRFree(block);
    }
  }
  FreeResource(loaded);
  return handle;
}

}  // namespace

int KRSplashLoadSound(HMODULE module, int id, const char* tag) {
  return LoadResourceCopy(module, id, "WAVE", tag, WaveFits, [](void* image) { return KRSoundCreateBuffer(image); });
}

int KRSplashLoadModel(HMODULE module, int id, const char* tag) {
  return LoadResourceCopy(module, id, "KRMODEL", tag, ModelFits,
                          [](void* image) { return KR3DCreateModel(image, 0); });
}
