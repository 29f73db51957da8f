// The WAVE walk alone: where it starts and ends, pads, repeats and chunks that
// do not fit, on exactly sized copies so that ASan sees any read outside.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/wave_image.h"
#include "tests/audio/wave_bytes.h"

namespace {

using namespace wavebytes;

struct Walk {
  KRWAVERESULT result;
  KRWAVEPARTS parts;
  std::vector<BYTE> bytes;  // the copy the parts point into

  size_t FormatOffset() const { return static_cast<size_t>(parts.lpFormat - bytes.data()); }
  size_t SamplesOffset() const { return static_cast<size_t>(parts.lpSamples - bytes.data()); }
};

// Parses an exactly sized heap copy of `image`; `available` defaults to its size.
Walk Parse(const std::string& image, size_t available = static_cast<size_t>(-1), bool all = false) {
  Walk walk;
  walk.bytes.assign(image.begin(), image.end());
  const size_t given = all ? SIZE_MAX : (available == static_cast<size_t>(-1) ? image.size() : available);
  walk.result = KRWaveParse(walk.bytes.data(), given, &walk.parts);
  return walk;
}

TEST(WaveImage, CanonicalImageGivesFormatAndSamples) {
  const Walk walk = Parse(Wave(10));
  ASSERT_EQ(walk.result, KRWAVE_OK);
  EXPECT_EQ(walk.FormatOffset(), 20u);
  EXPECT_EQ(walk.parts.dwFormatSize, 18u);
  EXPECT_EQ(walk.SamplesOffset(), 46u);
  EXPECT_EQ(walk.parts.dwSampleSize, 10u);
}

TEST(WaveImage, HeaderChecksComeBeforeAnyChunk) {
  EXPECT_EQ(Parse("").result, KRWAVE_NORIFF);
  EXPECT_EQ(Parse("RIF").result, KRWAVE_NORIFF);
  EXPECT_EQ(Parse("riff" + Word(4) + "WAVE").result, KRWAVE_NORIFF);
  EXPECT_EQ(Parse("RIFF").result, KRWAVE_NOWAVE);
  EXPECT_EQ(Parse("RIFF" + Word(4) + "WAV").result, KRWAVE_NOWAVE);
  EXPECT_EQ(Parse("RIFF" + Word(4) + "wave").result, KRWAVE_NOWAVE);
  EXPECT_EQ(Parse("RIFF" + Word(4) + "WAVE").result, KRWAVE_INCOMPLETE);
  // Fewer bytes available than the image holds count as missing.
  EXPECT_EQ(Parse(Wave(), 11).result, KRWAVE_NOWAVE);
  EXPECT_EQ(Parse(Wave(), 3).result, KRWAVE_NORIFF);
}

TEST(WaveImage, PadBytesAreSkippedAndTheLastChunksWin) {
  const std::string body = Chunk("ab  ", "x") + Chunk("fmt ", PcmFormat(1, 8000, 8, 1)) + Chunk("data", "12345") +
                           Chunk("data", "abc") + Chunk("fmt ", PcmFormat());
  const Walk walk = Parse(Riff(body));
  ASSERT_EQ(walk.result, KRWAVE_OK);
  EXPECT_EQ(walk.parts.dwFormatSize, 18u);
  EXPECT_EQ(walk.parts.dwSampleSize, 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(walk.parts.lpSamples), 3), "abc");
  EXPECT_EQ(walk.FormatOffset(), Riff(body).size() - 18);
}

TEST(WaveImage, TheWalkEndsAtTheRiffSizeOrTheBytesWhicheverIsLess) {
  const std::string head = Chunk("fmt ", PcmFormat()) + Chunk("data", "1234");
  const std::string image = Riff(head + Chunk("data", "abcdef"), static_cast<int64_t>(head.size() + 4));
  EXPECT_EQ(Parse(image).parts.dwSampleSize, 4u);
  EXPECT_EQ(Parse(image, 0, true).parts.dwSampleSize, 4u);  // memory: the RIFF size alone
  const std::string longer = Riff(head + Chunk("data", "abcdef"), 100000);
  EXPECT_EQ(Parse(longer).parts.dwSampleSize, 6u);
  EXPECT_EQ(Parse(longer, longer.size() - 1).parts.dwSampleSize, 4u);  // the last chunk no longer fits
}

TEST(WaveImage, ChunkThatDoesNotFitEndsTheWalk) {
  const std::string head = Chunk("fmt ", PcmFormat());
  // Its header alone: 7 bytes of a chunk header are not a chunk.
  EXPECT_EQ(Parse(Riff(head + "data" + Word(4).substr(0, 3))).result, KRWAVE_INCOMPLETE);
  // Its data one byte short.
  EXPECT_EQ(Parse(Riff(head + "data" + Word(5) + "1234")).result, KRWAVE_INCOMPLETE);
  // Exactly fitting data without its pad byte is read.
  const Walk walk = Parse(Riff(head + "data" + Word(5) + "12345"));
  ASSERT_EQ(walk.result, KRWAVE_OK);
  EXPECT_EQ(walk.parts.dwSampleSize, 5u);
}

TEST(WaveImage, SizesNearTheTopDoNotWrap) {
  const std::string head = Chunk("fmt ", PcmFormat()) + Chunk("data", "1234");
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFF7u}) {
    SCOPED_TRACE(size);
    const Walk walk = Parse(Riff(head + "JUNK" + Word(size) + "zz"));
    EXPECT_EQ(walk.result, KRWAVE_OK);
    // A RIFF size near the top is clipped by the bytes there are.
    EXPECT_EQ(Parse(Riff(head + "JUNK" + Word(2) + "zz", size)).result, KRWAVE_OK);
  }
  // In memory the RIFF size is trusted, each chunk checked against it.
  const std::string image = Riff(head + "JUNK" + Word(0xFFFFFFF0u), static_cast<int64_t>(head.size() + 12));
  EXPECT_EQ(Parse(image, 0, true).result, KRWAVE_OK);
}

TEST(WaveImage, FormatChunkUnder16BytesOrShortOfItsCbSizeIsIncomplete) {
  const std::string data = Chunk("data", "12");
  EXPECT_EQ(Parse(Riff(data + Chunk("fmt ", FloatFormat(22, 0)))).result, KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", FloatFormat(3, 2)) + data)).result, KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", FloatFormat(0xFFFF, 8)) + data)).result, KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", FloatFormat(2, 2)) + data)).result, KRWAVE_OK);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", FloatFormat(2, 3)) + data)).result, KRWAVE_OK);
  // Too short to hold cbSize, or PCM, whose cbSize DirectSound ignores.
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", FloatFormat(9, 0).substr(0, 16)) + data)).result, KRWAVE_OK);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", PcmFormat(1, 22050, 16, 0) + Half(0xFFFF)) + data)).result, KRWAVE_OK);

  EXPECT_EQ(Parse(Riff(Chunk("fmt ", PcmFormat().substr(0, 15)) + Chunk("data", "12"))).result, KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", PcmFormat().substr(0, 16)) + Chunk("data", "12"))).result, KRWAVE_OK);
  // A later short one spoils an earlier good one: the last counts.
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", PcmFormat()) + Chunk("fmt ", "1234") + Chunk("data", "12"))).result,
            KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("fmt ", PcmFormat()))).result, KRWAVE_INCOMPLETE);
  EXPECT_EQ(Parse(Riff(Chunk("data", "12"))).result, KRWAVE_INCOMPLETE);
}

TEST(WaveImage, EmptyDataChunkIsFound) {
  const Walk walk = Parse(Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", "")));
  EXPECT_EQ(walk.result, KRWAVE_OK);
  EXPECT_EQ(walk.parts.dwSampleSize, 0u);
}

}  // namespace
