// Small media files of our own for the music and media tests and examples: a
// standard MIDI file, a PCM WAVE and an uncompressed AVI.
#ifndef KR_WINE_SUPPORT_MEDIA_FILES_H
#define KR_WINE_SUPPORT_MEDIA_FILES_H

#include <string>

namespace winsupport {

bool WriteRawFile(const char* path, const std::string& bytes);
// Format 0, one track: a few notes on the piano.
bool WriteMidiFile(const char* path);
// 16-bit mono PCM at 22050 Hz, a tone of the given length.
bool WriteWaveFile(const char* path, int milliseconds);
// 32 by 24 pixels, 24-bit, 10 frames a second, each frame a colour of its own.
bool WriteAviFile(const char* path, int frames);

}  // namespace winsupport

#endif
