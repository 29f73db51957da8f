// WAVE images for the sound tests, built chunk by chunk so that a test can
// give any chunk any size, order or padding, and any RIFF size.
#ifndef KR_TESTS_AUDIO_WAVE_BYTES_H
#define KR_TESTS_AUDIO_WAVE_BYTES_H

#include <cstdint>
#include <string>

namespace wavebytes {

inline std::string Word(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

inline std::string Half(uint16_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

// A chunk with its pad byte when the size is odd.
inline std::string Chunk(const std::string& id, const std::string& data) {
  std::string chunk = id + Word(static_cast<uint32_t>(data.size())) + data;
  if (data.size() % 2 != 0) chunk += '\x7E';
  return chunk;
}

// The PCM format record's first 16 bytes, `extra` bytes more (cbSize first).
inline std::string PcmFormat(uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 16, size_t extra = 2) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  std::string format = Half(1) + Half(channels) + Word(rate) + Word(rate * align) + Half(align) + Half(bits);
  return format + std::string(extra, '\0');
}

// An IEEE-float format record (mono, 22050 Hz, 32 bits) whose cbSize announces
// `announced` bytes after its 18, of which it holds `held`.
inline std::string FloatFormat(uint16_t announced, size_t held) {
  const std::string format = Half(3) + Half(1) + Word(22050) + Word(88200) + Half(4) + Half(32) + Half(announced);
  return format + std::string(held, '\x11');
}

// "RIFF", the RIFF size (the body's length + 4 unless given), "WAVE", the body.
inline std::string Riff(const std::string& body, int64_t riffSize = -1, const std::string& form = "WAVE") {
  const uint32_t size = riffSize < 0 ? static_cast<uint32_t>(body.size() + 4) : static_cast<uint32_t>(riffSize);
  return "RIFF" + Word(size) + form + body;
}

// Sample bytes 0, 1, 2, ... (mod 251), `count` of them.
inline std::string Samples(size_t count) {
  std::string samples(count, '\0');
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<char>(i % 251);
  return samples;
}

// The usual image: a 18-byte PCM format and `count` sample bytes.
inline std::string Wave(size_t count = 64) { return Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(count))); }

}  // namespace wavebytes

#endif
