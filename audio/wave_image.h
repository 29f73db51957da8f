// RIFF WAVE images: the header check and the chunk walk that finds the format
// and the samples. Reads nothing outside the bytes it is given.
#ifndef KR_AUDIO_WAVE_IMAGE_H
#define KR_AUDIO_WAVE_IMAGE_H

#include <windows.h>

#include <cstddef>

enum KRWAVERESULT {
  KRWAVE_OK,
  KRWAVE_NORIFF,      // under 4 bytes, or the first word is not "RIFF"
  KRWAVE_NOWAVE,      // under 12 bytes, or the form type is not "WAVE"
  KRWAVE_INCOMPLETE,  // no "data", no "fmt ", a "fmt " under 16 bytes, or one
                      // that announces more bytes (cbSize) than it holds
};

typedef struct KRWAVEPARTS {
  const BYTE* lpFormat;  // data of the last "fmt " chunk
  DWORD dwFormatSize;
  const BYTE* lpSamples;  // data of the last "data" chunk
  DWORD dwSampleSize;
} KRWAVEPARTS;

// Walks the chunks from offset 12 up to 8 + RIFF size or `available`,
// whichever is less (an image in memory passes SIZE_MAX: its RIFF size is
// trusted). A chunk that does not fit ends the walk.
KRWAVERESULT KRWaveParse(const BYTE* image, size_t available, KRWAVEPARTS* parts);

#endif
