#include "audio/wave_image.h"

#include <cstdint>
#include <cstring>

namespace {

DWORD ReadWord(const BYTE* at) {
  return static_cast<DWORD>(at[0]) | static_cast<DWORD>(at[1]) << 8 | static_cast<DWORD>(at[2]) << 16 |
         static_cast<DWORD>(at[3]) << 24;
}

WORD ReadHalf(const BYTE* at) { return static_cast<WORD>(at[0] | at[1] << 8); }

// A format other than PCM is read by DirectSound with the cbSize bytes it
// announces after its 18; they must lie inside the chunk. A record too short
// to hold cbSize is read from a zeroed copy, and PCM's cbSize is ignored.
bool FormatHoldsWhatItAnnounces(const BYTE* format, DWORD size) {
  if (size < sizeof(WAVEFORMATEX) || ReadHalf(format) == WAVE_FORMAT_PCM) return true;
  return sizeof(WAVEFORMATEX) + ReadHalf(format + 16) <= size;
}

bool IsId(const BYTE* at, const char* id) { return memcmp(at, id, 4) == 0; }

}  // namespace

KRWAVERESULT KRWaveParse(const BYTE* image, size_t available, KRWAVEPARTS* parts) {
  memset(parts, 0, sizeof(*parts));
  if (available < 4 || !IsId(image, "RIFF")) return KRWAVE_NORIFF;
  if (available < 12 || !IsId(image + 8, "WAVE")) return KRWAVE_NOWAVE;

  // Offsets in 64 bits: 8 + RIFF size and a chunk's end cannot wrap.
  uint64_t end = 8 + static_cast<uint64_t>(ReadWord(image + 4));
  if (end > available) end = available;
  uint64_t position = 12;
  while (position + 8 <= end) {
    const BYTE* chunk = image + position;
    const DWORD size = ReadWord(chunk + 4);
    const uint64_t dataStart = position + 8;
    if (dataStart + size > end) break;
    if (IsId(chunk, "fmt ")) {
      parts->lpFormat = chunk + 8;
      parts->dwFormatSize = size;
    } else if (IsId(chunk, "data")) {
      parts->lpSamples = chunk + 8;
      parts->dwSampleSize = size;
    }
    // Chunks are padded to an even size.
    position = dataStart + ((static_cast<uint64_t>(size) + 1) & ~static_cast<uint64_t>(1));
  }
  if (parts->lpFormat == NULL || parts->dwFormatSize < 16 || parts->lpSamples == NULL ||
      !FormatHoldsWhatItAnnounces(parts->lpFormat, parts->dwFormatSize)) {
    return KRWAVE_INCOMPLETE;
  }
  return KRWAVE_OK;
}
