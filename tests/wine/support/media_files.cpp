#include "support/media_files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace winsupport {
namespace {

void Put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}
void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void PutBig32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}
// A RIFF chunk: four-character code, size, data, padded to an even length.
std::string Chunk(const char* code, const std::string& data) {
  std::string chunk(code, 4);
  Put32(chunk, static_cast<uint32_t>(data.size()));
  chunk += data;
  if (data.size() % 2) chunk += '\0';
  return chunk;
}
std::string List(const char* type, const std::string& data) { return Chunk("LIST", std::string(type, 4) + data); }

}  // namespace

bool WriteRawFile(const char* path, const std::string& bytes) {
  FILE* file = fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

bool WriteMidiFile(const char* path) {
  std::string track;
  const unsigned char notes[] = {60, 64, 67, 72};
  for (unsigned char note : notes) {
    track += std::string("\x00\x90", 2) + static_cast<char>(note) + '\x60';  // note on at once
    track += std::string("\x60\x80", 2) + static_cast<char>(note) + '\x40';  // off a beat later (96 ticks)
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string file = "MThd";
  PutBig32(file, 6);
  file += std::string("\x00\x00\x00\x01\x00\x60", 6);  // format 0, one track, 96 ticks a beat
  file += "MTrk";
  PutBig32(file, static_cast<uint32_t>(track.size()));
  return WriteRawFile(path, file + track);
}

bool WriteWaveFile(const char* path, int milliseconds) {
  const uint32_t rate = 22050;
  const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
  std::string format;
  Put16(format, 1);  // PCM
  Put16(format, 1);
  Put32(format, rate);
  Put32(format, rate * 2);
  Put16(format, 2);
  Put16(format, 16);
  std::string data;
  for (uint32_t i = 0; i < samples; ++i) {
    Put16(data, static_cast<uint16_t>(static_cast<int16_t>(3000 * std::sin(i * 2 * 3.14159265 * 440 / rate))));
  }
  return WriteRawFile(path, Chunk("RIFF", "WAVE" + Chunk("fmt ", format) + Chunk("data", data)));
}

bool WriteAviFile(const char* path, int frames) {
  const uint32_t width = 32;
  const uint32_t height = 24;
  const uint32_t frameBytes = width * height * 3;
  std::string header;
  Put32(header, 100000);  // microseconds a frame
  Put32(header, frameBytes * 10);
  Put32(header, 0);
  Put32(header, 0x10);  // AVIF_HASINDEX
  Put32(header, static_cast<uint32_t>(frames));
  Put32(header, 0);
  Put32(header, 1);
  Put32(header, frameBytes);
  Put32(header, width);
  Put32(header, height);
  for (int i = 0; i < 4; ++i) Put32(header, 0);

  std::string stream = "vidsDIB ";
  Put32(stream, 0);
  Put32(stream, 0);  // priority and language
  Put32(stream, 0);
  Put32(stream, 1);
  Put32(stream, 10);  // 10 frames a second
  Put32(stream, 0);
  Put32(stream, static_cast<uint32_t>(frames));
  Put32(stream, frameBytes);
  Put32(stream, 0xFFFFFFFF);
  Put32(stream, 0);
  Put16(stream, 0);
  Put16(stream, 0);
  Put16(stream, width);
  Put16(stream, height);

  std::string bitmap;
  Put32(bitmap, 40);
  Put32(bitmap, width);
  Put32(bitmap, height);
  Put16(bitmap, 1);
  Put16(bitmap, 24);
  Put32(bitmap, 0);
  Put32(bitmap, frameBytes);
  for (int i = 0; i < 4; ++i) Put32(bitmap, 0);

  std::string movie;
  std::string index;
  for (int frame = 0; frame < frames; ++frame) {
    std::string pixels;
    for (uint32_t i = 0; i < width * height; ++i) {
      pixels += static_cast<char>(frame * 40);
      pixels += static_cast<char>(255 - frame * 40);
      pixels += static_cast<char>(128);
    }
    index += "00db";
    Put32(index, 0x10);  // key frame
    Put32(index, static_cast<uint32_t>(4 + movie.size()));
    Put32(index, frameBytes);
    movie += Chunk("00db", pixels);
  }
  const std::string headers = List("hdrl", Chunk("avih", header) +
                                               List("strl", Chunk("strh", stream) + Chunk("strf", bitmap)));
  return WriteRawFile(path, Chunk("RIFF", "AVI " + headers + List("movi", movie) + Chunk("idx1", index)));
}

}  // namespace winsupport
