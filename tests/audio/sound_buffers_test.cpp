// Sound buffers: what DirectSound receives from a file or an image, the WAVE
// walk's pads, repeats and bounds, header errors, the free-slot hint,
// duplicates with their fall-back, play, stop and release, and calls while
// sound is not started.
#include <string>
#include <vector>

#include "core/core_state.h"
#include "core/last_error.h"
#include "tests/audio/sound_fixture.h"

namespace {

using namespace wavebytes;

const unsigned long kCreateFailed = KRERR_SOUND | 0x100;
const HRESULT kGeneric = static_cast<HRESULT>(0x80004005);

class SoundBufferTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    StartSound();
    ClearError();
  }

  // The last-error slot back at 0, so a test sees which calls set a code.
  static void ClearError() {
    KRErrorSetLastError(0);
    sim::ClearDebugOutput();
  }

  static int FromFile(const std::string& name, const std::string& bytes) {
    sim::WriteWholeFile(name, bytes);
    return KRSoundCreateBuffer(name.c_str());
  }

  static std::string SampleBytes(int handle) {
    const std::vector<BYTE> samples = BufferState(handle).samples;
    return std::string(samples.begin(), samples.end());
  }
};

// ---- What DirectSound receives ----------------------------------------------------------

TEST_F(SoundBufferTest, FileBecomesAStatic3DBufferWithItsFormatAndSamples) {
  const std::string samples = Samples(100);
  const int heapBefore = sim::LiveHeapBlocks();
  ASSERT_EQ(FromFile("C:\\snd\\tone.wav", Riff(Chunk("fmt ", PcmFormat(2, 11025, 8)) + Chunk("data", samples))), 1);
  const sim::SoundBufferState state = BufferState(1);
  EXPECT_EQ((std::vector<size_t>{state.descriptionSize, state.flags, state.bufferBytes, state.reserved,
                                 state.format.nChannels, state.format.nSamplesPerSec, state.format.wBitsPerSample}),
            (std::vector<size_t>{sizeof(DSBUFFERDESC), 0xF2, 100, 0, 2, 11025, 8}));
  EXPECT_EQ(SampleBytes(1), samples);
  EXPECT_FALSE(state.locked);
  EXPECT_STREQ(g_krSound.lpBuffers[1].szPath, "C:\\snd\\tone.wav");
  EXPECT_NE(g_krSound.lpBuffers[1].lp3DBuffer, nullptr);
  EXPECT_EQ(g_krSound.lpBuffers[1].bPlaying, 0);
  EXPECT_EQ(g_krSound.lpBuffers[1].fVolume, 0.0f);
  EXPECT_EQ(g_krSound.nFreeHint, 2);
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);  // the temporary copy is given back
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});

  const std::vector<std::string> names = SoundCallNames();
  EXPECT_EQ(names, (std::vector<std::string>{"IDirectSound::CreateSoundBuffer", "IDirectSoundBuffer::Lock",
                                             "IDirectSoundBuffer::Unlock", "IDirectSoundBuffer::QueryInterface"}));
  EXPECT_EQ(SoundCalls()[1].substr(0, SoundCalls()[1].find(", ptr")), "IDirectSoundBuffer::Lock(0, 100");
  EXPECT_NE(SoundCalls()[1].find(", 0x0)"), std::string::npos);
}

TEST_F(SoundBufferTest, FileIsOpenedForSharedReadingAndAllocatedUnderItsTag) {
  sim::WriteWholeFile("a.wav", Wave());
  g_krCore.bAllocTrace = 1;
  ASSERT_EQ(KRSoundCreateBuffer(static_cast<const char*>("a.wav")), 1);
  g_krCore.bAllocTrace = 0;
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("\"KRSO:TMPBUFF\")      110 bytes allocated"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("KRFree"), std::string::npos) << lines[1];
  const std::string open = LastArgumentsOf("CreateFileA");
  EXPECT_EQ(open.substr(0, open.find(", NULL")), "\"a.wav\", 0x80000000, 0x1");
  EXPECT_NE(open.find(", 3, 0x20, NULL"), std::string::npos) << open;
  EXPECT_STREQ(g_krSound.lpBuffers[1].szPath, "C:\\work\\a.wav");
}

TEST_F(SoundBufferTest, ImageInMemoryIsReadInPlaceAndLeavesThePathEmpty) {
  std::string image = Wave(30);
  const int handle = KRSoundCreateBuffer(static_cast<void*>(&image[0]));
  ASSERT_EQ(handle, 1);
  image.assign(image.size(), '\0');  // the caller may free it at once
  EXPECT_EQ(SampleBytes(1), Samples(30));
  EXPECT_STREQ(g_krSound.lpBuffers[1].szPath, "");
}

TEST_F(SoundBufferTest, LockSplitInTwoReceivesTheRestInItsSecondPart) {
  sim::SplitNextSoundLock(7);
  ASSERT_EQ(FromMemory(Wave(40)), 1);
  EXPECT_EQ(SampleBytes(1), Samples(40));
}

TEST_F(SoundBufferTest, OddChunkBeforeTheFormatIsSkippedWithItsPad) {
  const std::string body = Chunk("LIST", "odd") + Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(10));
  ASSERT_EQ(FromMemory(Riff(body)), 1);
  EXPECT_EQ(BufferState(1).format.nSamplesPerSec, 22050u);
  EXPECT_EQ(SampleBytes(1), Samples(10));
}

TEST_F(SoundBufferTest, TheLastFormatAndDataChunksCount) {
  const std::string body = Chunk("fmt ", PcmFormat(2, 8000, 8)) + Chunk("data", std::string(20, 'a')) +
                           Chunk("fmt ", PcmFormat(1, 44100, 16)) + Chunk("data", std::string(12, 'b'));
  ASSERT_EQ(FromMemory(Riff(body)), 1);
  EXPECT_EQ(BufferState(1).format.nSamplesPerSec, 44100u);
  EXPECT_EQ(SampleBytes(1), std::string(12, 'b'));
}

TEST_F(SoundBufferTest, ShortFormatChunksAreReadFromAZeroedRecord) {
  for (size_t extra : {0, 1}) {
    SCOPED_TRACE(extra);
    // The byte after a 16-byte format would be cbSize; here it is the next chunk's.
    const std::string body = Chunk("fmt ", PcmFormat(1, 22050, 16, extra)) + Chunk("data", Samples(8));
    const int handle = FromMemory(Riff(body));
    ASSERT_NE(handle, 0);
    EXPECT_EQ(BufferState(handle).format.wBitsPerSample, 16);
  }
}

TEST_F(SoundBufferTest, FileEndsTheWalkWhereItsBytesEnd) {
  // The RIFF size claims far more than the file holds; the chunks read count.
  std::string file = Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(16)) + Chunk("data", Samples(9)), 5000);
  file.resize(file.size() - 4);  // the second data chunk no longer fits
  ASSERT_EQ(FromFile("short.wav", file), 1);
  EXPECT_EQ(SampleBytes(1), Samples(16));
}

TEST_F(SoundBufferTest, RiffSizeEndsTheWalkBeforeTheFileDoes) {
  const std::string head = Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(16));
  const std::string file = Riff(head + Chunk("data", Samples(9)), static_cast<int64_t>(head.size() + 4));
  ASSERT_EQ(FromFile("riff.wav", file), 1);
  EXPECT_EQ(SampleBytes(1), Samples(16));
  ASSERT_EQ(FromMemory(file), 2);
  EXPECT_EQ(SampleBytes(2), Samples(16));
}

TEST_F(SoundBufferTest, HugeChunkSizesEndTheWalkWithoutWrapping) {
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF8u, 0x7FFFFFFFu}) {
    SCOPED_TRACE(size);
    const std::string body = Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(8)) + "JUNK" + Word(size) + "xxxx";
    const std::string file = Riff(body);
    EXPECT_EQ(FromFile("huge.wav", file), 1);
    KRSoundReleaseBuffer(1);
  }
}

// ---- Header errors and incomplete images ---------------------------------------------------

TEST_F(SoundBufferTest, HeaderErrorsGiveTheirWarningAndFreeTheTemporaryCopy) {
  struct Case {
    std::string bytes;
    const char* line;
  };
  const Case cases[] = {
      {"", "KRSound Warning : RIFF Header not found"},
      {"RIF", "KRSound Warning : RIFF Header not found"},
      {"RIFX" + Word(4) + "WAVE", "KRSound Warning : RIFF Header not found"},
      {"RIFF", "KRSound Warning : WAVE Header not found"},
      {"RIFF" + Word(4) + "WAV", "KRSound Warning : WAVE Header not found"},
      {Riff(Chunk("avih", "1234"), -1, "AVI "), "KRSound Warning : WAVE Header not found"},
  };
  const int heapBefore = sim::LiveHeapBlocks();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    ForgetCallsAndLog();
    ClearError();
    EXPECT_EQ(FromFile("bad.wav", test.bytes), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
    EXPECT_EQ(LogLines(), std::vector<std::string>{test.line});
    EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(SoundCalls().size(), 0u);
  }
  EXPECT_EQ(g_krSound.nFreeHint, 1);
  std::string avi = cases[5].bytes;
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<void*>(&avi[0])), 0);
  EXPECT_EQ(LogLines().back(), "KRSound Warning : WAVE Header not found");
}

TEST_F(SoundBufferTest, IncompleteImagesFailQuietlyWithoutDirectSound) {
  const std::string cases[] = {
      Riff(Chunk("fmt ", PcmFormat())),
      Riff(Chunk("data", Samples(8))),
      Riff(Chunk("fmt ", PcmFormat(1, 22050, 16, 0).substr(0, 15)) + Chunk("data", Samples(8))),
      Riff(""),
      // The format announces bytes beyond its chunk, here beyond the image.
      Riff(Chunk("data", Samples(8)) + Chunk("fmt ", FloatFormat(22, 0))),
      Riff(Chunk("fmt ", FloatFormat(0xFFFF, 4)) + Chunk("data", Samples(8))),
  };
  const int heapBefore = sim::LiveHeapBlocks();
  for (const std::string& image : cases) {
    sim::ClearCalls();
    EXPECT_EQ(FromFile("part.wav", image), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
    ClearError();
    EXPECT_EQ(FromMemory(image), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
    ClearError();
    EXPECT_EQ(SoundCalls().size(), 0u);
    EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  }
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<void*>(nullptr)), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(g_krSound.nFreeHint, 1);
  EXPECT_EQ(g_krSound.lpBuffers[1].lpBuffer, nullptr);
}

TEST_F(SoundBufferTest, FloatFormatReachesDirectSoundWithTheBytesItAnnounces) {
  ASSERT_EQ(FromFile("float.wav", Riff(Chunk("fmt ", FloatFormat(2, 2)) + Chunk("data", Samples(8)))), 1);
  const sim::SoundBufferState state = BufferState(1);
  EXPECT_EQ(state.format.wFormatTag, 3);
  EXPECT_EQ(state.formatRecord.size(), 20u);
  EXPECT_EQ(state.formatRecord.back(), 0x11);
  EXPECT_EQ(SampleBytes(1), Samples(8));
}

TEST_F(SoundBufferTest, FileThatCannotBeOpenedFailsWithoutALine) {
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("missing.wav")), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

TEST_F(SoundBufferTest, RefusedCreateOrLockLogsTheResultAndLeavesTheSlotFree) {
  const int heapBefore = sim::LiveHeapBlocks();
  sim::FailNext("IDirectSound::CreateSoundBuffer", DSERR_BADFORMAT);
  EXPECT_EQ(FromFile("a.wav", Wave()), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DSERR_BADFORMAT"});
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);

  ClearError();
  sim::FailNext("IDirectSoundBuffer::Lock", DSERR_BUFFERLOST);
  EXPECT_EQ(FromMemory(Wave()), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DSERR_BUFFERLOST"});
  EXPECT_EQ(sim::LiveSoundBuffers(), 1);  // the primary alone
  EXPECT_EQ(g_krSound.nFreeHint, 1);

  // A format DirectSound itself refuses.
  sim::ClearDebugOutput();
  EXPECT_EQ(FromMemory(Riff(Chunk("fmt ", PcmFormat(1, 22050, 12)) + Chunk("data", Samples(8)))), 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DSERR_BADFORMAT"});
  EXPECT_EQ(FromMemory(Wave()), 1);
}

TEST_F(SoundBufferTest, BufferWithout3DInterfaceIsKeptAndIts3DSettersCallNothing) {
  sim::FailNext("IDirectSoundBuffer::QueryInterface", E_NOINTERFACE);
  ASSERT_EQ(FromMemory(Wave()), 1);
  EXPECT_EQ(g_krSound.lpBuffers[1].lp3DBuffer, nullptr);
  sim::ClearCalls();
  KRSoundSetBufferPosition(1, 1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetBufferOrientation(1, 0, 0, 1, KRSOUNDAPPLY_IMMEDIATE);
  EXPECT_EQ(CallsBesidesLog(), 0u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  KRSoundPlayBuffer(1);
  EXPECT_TRUE(BufferState(1).playing);
  KRSoundReleaseBuffer(1);
  EXPECT_EQ(sim::LiveSoundBuffers(), 1);
}

TEST_F(SoundBufferTest, LongFullPathLeavesThePathEmpty) {
  const std::string folder = "C:\\" + std::string(110, 'd');
  sim::MakeDirectory(folder);
  const std::string fits = folder + "\\" + std::string(13, 'f');   // 127 characters
  const std::string over = folder + "\\" + std::string(14, 'f');   // 128 characters
  ASSERT_EQ(fits.size(), 127u);
  ASSERT_EQ(FromFile(fits, Wave()), 1);
  EXPECT_EQ(std::string(g_krSound.lpBuffers[1].szPath), fits);
  ASSERT_EQ(FromFile(over, Wave()), 2);
  EXPECT_STREQ(g_krSound.lpBuffers[2].szPath, "");
}

// ---- The free-slot hint ----------------------------------------------------------------------

TEST_F(SoundBufferTest, FullTableGivesItsThreeAnswers) {
  FillTable();
  EXPECT_EQ(g_krSound.nFreeHint, 64);
  ForgetCallsAndLog();
  // The hint past the table: 0 without code or line, and the file is not even opened.
  EXPECT_EQ(FromMemory(Wave()), 0);
  EXPECT_EQ(FromFile("a.wav", Wave()), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  // A duplicate gets the code, still without a line.
  EXPECT_EQ(KRSoundCreateBuffer(1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});

  KRSoundReleaseBuffer(5);
  EXPECT_EQ(g_krSound.nFreeHint, 5);
  EXPECT_EQ(FromMemory(Wave()), 5);
  // The search from 6 finds nothing.
  ClearError();
  EXPECT_EQ(FromMemory(Wave()), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRSound Warning : Could not create Buffer(Maximumed out)."});
  ClearError();
  EXPECT_EQ(FromFile("a.wav", Wave()), 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRSound Warning : Could not create Buffer(Maximumed out)."});
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  ClearError();
  EXPECT_EQ(KRSoundCreateBuffer(1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(sim::CountCalls("IDirectSound::DuplicateSoundBuffer"), 0);
}

TEST_F(SoundBufferTest, ReleaseLowersTheHintOnlyBelowIt) {
  for (int i = 1; i <= 4; ++i) ASSERT_EQ(FromMemory(Wave()), i);
  KRSoundReleaseBuffer(3);
  EXPECT_EQ(g_krSound.nFreeHint, 3);
  KRSoundReleaseBuffer(4);
  EXPECT_EQ(g_krSound.nFreeHint, 3);
  EXPECT_EQ(FromMemory(Wave()), 3);
  EXPECT_EQ(g_krSound.nFreeHint, 4);
  EXPECT_EQ(FromMemory(Wave()), 4);
}

// ---- Duplicates ----------------------------------------------------------------------------------

TEST_F(SoundBufferTest, DuplicateSharesTheSamplesAndCopiesThePath) {
  ASSERT_EQ(FromFile("a.wav", Wave(24)), 1);
  KRSoundSetBufferVolume(1, -0.5f);
  KRSoundPlayBuffer(1);
  sim::ClearCalls();
  ASSERT_EQ(KRSoundCreateBuffer(1), 2);
  EXPECT_EQ(SoundCallNames(), (std::vector<std::string>{"IDirectSound::DuplicateSoundBuffer",
                                                        "IDirectSoundBuffer::QueryInterface"}));
  EXPECT_EQ(BufferState(2).sampleMemory, BufferState(1).sampleMemory);
  EXPECT_TRUE(BufferState(2).duplicate);
  EXPECT_STREQ(g_krSound.lpBuffers[2].szPath, g_krSound.lpBuffers[1].szPath);
  EXPECT_NE(g_krSound.lpBuffers[2].lp3DBuffer, nullptr);
  EXPECT_EQ(g_krSound.lpBuffers[2].bPlaying, 0);
  EXPECT_EQ(g_krSound.lpBuffers[2].fVolume, 0.0f);
  EXPECT_EQ(g_krSound.nFreeHint, 3);
  KRSoundReleaseBuffer(1);
  EXPECT_EQ(SampleBytes(2), Samples(24));  // the samples outlive their first buffer
}

TEST_F(SoundBufferTest, RefusedDuplicateReloadsTheSourceFile) {
  ASSERT_EQ(FromFile("a.wav", Wave(24)), 1);
  sim::ClearCalls();
  sim::FailNext("IDirectSound::DuplicateSoundBuffer", DSERR_ALLOCATED);
  ASSERT_EQ(KRSoundCreateBuffer(1), 2);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DSERR_ALLOCATED"});
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 1);
  EXPECT_NE(BufferState(2).sampleMemory, BufferState(1).sampleMemory);
  EXPECT_EQ(SampleBytes(2), Samples(24));
  EXPECT_STREQ(g_krSound.lpBuffers[2].szPath, "C:\\work\\a.wav");
}

TEST_F(SoundBufferTest, RefusedDuplicateOfABufferFromMemoryFails) {
  ASSERT_EQ(FromMemory(Wave()), 1);
  sim::FailNext("IDirectSound::DuplicateSoundBuffer", DSERR_INVALIDCALL);
  EXPECT_EQ(KRSoundCreateBuffer(1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DSERR_INVALIDCALL"});
  EXPECT_EQ(g_krSound.nFreeHint, 2);
}

TEST_F(SoundBufferTest, DuplicateOfABadSourceFailsWithoutDirectSound) {
  ASSERT_EQ(FromMemory(Wave()), 1);
  sim::ClearCalls();
  for (int source : {0, 2, 63, 64, -1, 1000000}) {
    SCOPED_TRACE(source);
    ClearError();
    EXPECT_EQ(KRSoundCreateBuffer(source), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateFailed);
  }
  EXPECT_EQ(SoundCalls().size(), 0u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(g_krSound.nFreeHint, 2);
}

// ---- Play, stop, release -----------------------------------------------------------------------

TEST_F(SoundBufferTest, PlayRewindsStopDoesNotAndTheFlagOutlivesANaturalEnd) {
  ASSERT_EQ(FromMemory(Wave(64)), 1);
  IDirectSoundBuffer* buffer = g_krSound.lpBuffers[1].lpBuffer;
  buffer->SetCurrentPosition(30);
  sim::ClearCalls();
  KRSoundPlayBuffer(1);
  EXPECT_EQ(SoundCalls(), (std::vector<std::string>{"IDirectSoundBuffer::SetCurrentPosition(0)",
                                                    "IDirectSoundBuffer::Play(0, 0, 0x0)"}));
  EXPECT_TRUE(BufferState(1).playing);
  EXPECT_FALSE(BufferState(1).looping);
  EXPECT_EQ(g_krSound.lpBuffers[1].bPlaying, 1);

  sim::EndSoundPlayback(buffer);
  EXPECT_EQ(g_krSound.lpBuffers[1].bPlaying, 1);

  KRSoundPlayBuffer(1);
  buffer->SetCurrentPosition(20);
  sim::ClearCalls();
  KRSoundStopBuffer(1);
  EXPECT_EQ(SoundCalls(), std::vector<std::string>{"IDirectSoundBuffer::Stop()"});
  EXPECT_FALSE(BufferState(1).playing);
  EXPECT_EQ(BufferState(1).position, 20u);
  EXPECT_EQ(g_krSound.lpBuffers[1].bPlaying, 0);

  KRSoundPlayBuffer(1);
  sim::ClearCalls();
  KRSoundReleaseBuffer(1);
  EXPECT_EQ(SoundCallNames(), (std::vector<std::string>{"IDirectSoundBuffer::Stop", "IDirectSound3DBuffer::Release",
                                                        "IDirectSoundBuffer::Release"}));
  EXPECT_EQ(g_krSound.lpBuffers[1].lpBuffer, nullptr);
  EXPECT_EQ(g_krSound.lpBuffers[1].lp3DBuffer, nullptr);
  EXPECT_EQ(g_krSound.lpBuffers[1].bPlaying, 0);
  EXPECT_EQ(sim::LiveSoundBuffers(), 1);
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

TEST_F(SoundBufferTest, BadHandlesOnlyWarn) {
  ASSERT_EQ(FromMemory(Wave()), 1);
  KRSoundReleaseBuffer(1);
  sim::ClearCalls();
  for (int handle : {0, 64, -1, 1}) {
    KRSoundReleaseBuffer(handle);
    KRSoundPlayBuffer(handle);
    KRSoundStopBuffer(handle);
  }
  EXPECT_EQ(CallsBesidesLog(), 0u);
  const std::vector<std::string> lines = LogLines();
  std::vector<std::string> expected;
  for (const char* handle : {"0", "64", "-1", "1"}) {
    for (const char* what : {"You did release", "Play buffer", "Stop buffer"}) {
      expected.push_back(std::string("KRSound Warning : ") + what + " NULL or ills Buffer(" + handle + ").");
    }
  }
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(g_krSound.nFreeHint, 1);
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

TEST_F(SoundBufferTest, UpdateFindsNothingInTheAutomaticTable) {
  ASSERT_EQ(FromMemory(Wave()), 1);
  KRSoundPlayBuffer(1);
  EXPECT_EQ(KRSoundUpdate(), 0);
  EXPECT_TRUE(BufferState(1).playing);
}

TEST_F(SoundBufferTest, UpdateReleasesFinishedAutomaticBuffersAndCountsTheActive) {
  // Nothing in the library fills the table; a test puts buffers there itself.
  ASSERT_EQ(FromMemory(Wave()), 1);
  ASSERT_EQ(FromMemory(Wave()), 2);
  ASSERT_EQ(FromMemory(Wave()), 3);
  for (int i = 1; i <= 3; ++i) {
    std::swap(g_krSound.lpAutoBuffers[i * 10], g_krSound.lpBuffers[i]);
    g_krSound.lpAutoBuffers[i * 10].lpBuffer->Play(0, 0, i == 2 ? DSBPLAY_LOOPING : 0);
    g_krSound.lpAutoBuffers[i * 10].bPlaying = i == 3 ? 0 : 1;
  }
  sim::EndSoundPlayback(g_krSound.lpAutoBuffers[10].lpBuffer);
  EXPECT_EQ(KRSoundUpdate(), 2);
  EXPECT_EQ(g_krSound.lpAutoBuffers[10].lpBuffer, nullptr);  // ended
  EXPECT_EQ(g_krSound.lpAutoBuffers[10].bPlaying, 0);
  EXPECT_EQ(g_krSound.lpAutoBuffers[20].lpBuffer, nullptr);  // looping is not "exactly playing"
  EXPECT_NE(g_krSound.lpAutoBuffers[30].lpBuffer, nullptr);  // never flagged
  EXPECT_EQ(KRSoundUpdate(), 0);
  // The 3D interfaces the automatic table never releases.
  for (int i = 1; i <= 2; ++i) {
    g_krSound.lpAutoBuffers[i * 10].lp3DBuffer->Release();
    g_krSound.lpAutoBuffers[i * 10].lp3DBuffer = NULL;
  }
}

// ---- Before start-up and after clean-up -----------------------------------------------------

TEST_F(SoundTest, CallsWithoutStartedSoundDoNothing) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) {
      StartSound();
      ASSERT_EQ(FromMemory(wavebytes::Wave()), 1);
      KRSoundCleanup();
    }
    ForgetCallsAndLog();
    sim::WriteWholeFile("a.wav", wavebytes::Wave());
    std::string image = wavebytes::Wave();
    EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("a.wav")), 0);
    EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_SOUND | KRERR_NOTSTARTED));
    KRErrorGetLastError();
    EXPECT_EQ(KRSoundCreateBuffer(static_cast<void*>(&image[0])), 0);
    EXPECT_EQ(KRSoundCreateBuffer(1), 0);
    EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_SOUND | KRERR_NOTSTARTED));
    KRSoundPlayBuffer(1);
    KRSoundStopBuffer(1);
    KRSoundReleaseBuffer(1);
    KRSoundSetMasterVolume(-0.5f);
    KRSoundSetBufferVolume(1, -0.5f);
    KRSoundSetBufferPosition(1, 1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetBufferOrientation(1, 1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetListenerPosition(1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetListenerOrientation(0, 0, 1, 0, 1, 0, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetListenerDistanceFactor(2, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetListenerRolloffFactor(2, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetListenerDopplerFactor(2, KRSOUNDAPPLY_IMMEDIATE);
    EXPECT_EQ(KRSoundUpdate(), 0);
    EXPECT_EQ(CallsBesidesLog(), 0u);
    EXPECT_EQ(LogLines(), std::vector<std::string>{});
  }
}

}  // namespace
