// Sound of the real KORVATHD.DLL under Wine (ALSA's null device stands in for
// a sound card): start-up and clean-up lines, buffers from a WAVE file and
// from memory, float formats and those short of their cbSize, header errors,
// the full table, duplicates, play, stop and release without warnings, the
// master volume and the listener read back.
#include <windows.h>
#include <dsound.h>

#include <gtest/gtest.h>
#include <korvathd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "tests/audio/wave_bytes.h"

namespace {

using namespace winsupport;

class SoundOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    // A log of each test's own: the tests run side by side in one folder.
    log_ = std::string("sound_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    remove(log_.c_str());
    KRSTARTUPINFO info = StartupInfo(GetDesktopWindow(), KRSTARTUP_DEBUGLOG, log_.c_str());
    ASSERT_EQ(KRStartup(&info), 1);
    ASSERT_EQ(KRSoundStartup(), 1);
    errorBefore_ = KRErrorGetLastError();
  }
  void TearDown() override {
    KRCleanup();
    remove(log_.c_str());
  }

  // The log so far, its lines ending in CR LF.
  std::string Log() const { return ReadFileBytes(log_.c_str()); }
  std::string OpenLine() const { return "KRDebug info : Open " + log_ + " file\r\n"; }

  static void WriteFile(const char* name, const std::string& bytes) {
    FILE* file = fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }

  static int FromMemory(std::string image) { return KRSoundCreateBuffer(static_cast<void*>(&image[0])); }

  std::string log_;
  unsigned long errorBefore_ = 0;
};

TEST_F(SoundOnWindows, StartupAndCleanupWriteTheirLinesAndMasterVolumeReadsBack) {
  IDirectSoundBuffer* primary = NULL;
  KRSoundGetDirectSoundBufferInterface(&primary);
  ASSERT_NE(primary, nullptr);
  LONG volume = 1;
  KRSoundSetMasterVolume(-0.5f);
  EXPECT_EQ(primary->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -2928);
  KRSoundSetMasterVolume(-4.0f);  // clamped: silence, not full volume again
  EXPECT_EQ(primary->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -10000);
  KRSoundSetMasterVolume(0.5f);
  KRSoundSetMasterVolume(std::nanf(""));  // changes nothing
  EXPECT_EQ(primary->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, 0);

  IDirectSound3DListener* listener = NULL;
  ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)), S_OK);
  KRSoundSetListenerPosition(1.0f, 2.0f, -3.0f, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerOrientation(0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDistanceFactor(0.5f, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerRolloffFactor(2.0f, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDopplerFactor(3.0f, KRSOUNDAPPLY_IMMEDIATE);
  D3DVECTOR position;
  D3DVECTOR front;
  D3DVECTOR top;
  D3DVALUE factor = 0.0f;
  EXPECT_EQ(listener->GetPosition(&position), DS_OK);
  EXPECT_EQ(position.x, 1.0f);
  EXPECT_EQ(position.z, -3.0f);
  EXPECT_EQ(listener->GetOrientation(&front, &top), DS_OK);
  EXPECT_EQ(front.z, 1.0f);
  EXPECT_EQ(top.y, 1.0f);
  EXPECT_EQ(listener->GetDistanceFactor(&factor), DS_OK);
  EXPECT_EQ(factor, 0.5f);
  EXPECT_EQ(listener->GetRolloffFactor(&factor), DS_OK);
  EXPECT_EQ(factor, 2.0f);
  EXPECT_EQ(listener->GetDopplerFactor(&factor), DS_OK);
  EXPECT_EQ(factor, 3.0f);
  listener->Release();
  primary->Release();

  KRSoundCleanup();
  KRDebugCleanup();
  EXPECT_EQ(Log(),
            OpenLine() +
                "KRDebug : Startup\r\n"
                "KRSound : Startup\r\n"
                "KRSound : DirectSoundCreate\r\n"
                "KRSound : Cleanup\r\n"
                "KRSound : Release DirectSound\r\n"
                "KRDebug : Cleanup\r\n");
  EXPECT_EQ(KRErrorGetLastError(), errorBefore_);
}

TEST_F(SoundOnWindows, BuffersFromAFileMemoryAndADuplicatePlayStopAndRelease) {
  WriteFile("tone.wav", wavebytes::Wave(22050));
  const int fromFile = KRSoundCreateBuffer(static_cast<const char*>("tone.wav"));
  ASSERT_EQ(fromFile, 1);
  ASSERT_EQ(FromMemory(wavebytes::Wave(4410)), 2);
  ASSERT_EQ(KRSoundCreateBuffer(fromFile), 3);
  for (int handle = 1; handle <= 3; ++handle) {
    KRSoundSetBufferVolume(handle, -0.25f);
    KRSoundSetBufferVolume(handle, -2.5f);  // clamped, not refused
    KRSoundSetBufferPosition(handle, 1.0f, 0.0f, 5.0f, KRSOUNDAPPLY_DEFERRED);
    KRSoundSetBufferOrientation(handle, 0.0f, 0.0f, -1.0f, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundPlayBuffer(handle);
  }
  KRSoundStopBuffer(2);
  KRSoundPlayBuffer(2);
  for (int handle = 1; handle <= 3; ++handle) KRSoundReleaseBuffer(handle);
  EXPECT_EQ(FromMemory(wavebytes::Wave(100)), 1);  // the lowest free handle again
  KRSoundReleaseBuffer(1);
  KRSoundCleanup();
  KRDebugCleanup();
  EXPECT_EQ(Log().find("Warning"), std::string::npos) << Log();
  EXPECT_EQ(KRErrorGetLastError(), errorBefore_);
}

// Copied to the end of a readable page: DirectSound reading past it would crash.
class ImageBeforeAGuardPage {
 public:
  explicit ImageBeforeAGuardPage(const std::string& image) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    page_ = system.dwPageSize;
    pages_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(pages_ + page_, page_, PAGE_NOACCESS, &old);
    memcpy(pages_ + page_ - image.size(), image.data(), image.size());
    at_ = pages_ + page_ - image.size();
  }
  ~ImageBeforeAGuardPage() { VirtualFree(pages_, 0, MEM_RELEASE); }
  void* Image() const { return at_; }

 private:
  DWORD page_ = 0;
  BYTE* pages_ = nullptr;
  BYTE* at_ = nullptr;
};

TEST_F(SoundOnWindows, FloatFormatsPlayUnlessTheyAnnounceMoreThanTheirChunkHolds) {
  using namespace wavebytes;
  const int handle = FromMemory(Riff(Chunk("fmt ", FloatFormat(2, 2)) + Chunk("data", Samples(64))));
  EXPECT_EQ(handle, 1);
  KRSoundReleaseBuffer(handle);
  // An 18-byte format announcing 22 bytes more, as the image's last bytes; the
  // same from a file announcing 65535; no image at all.
  const ImageBeforeAGuardPage image(Riff(Chunk("data", Samples(64)) + Chunk("fmt ", FloatFormat(22, 0))));
  WriteFile("cbsize.wav", Riff(Chunk("fmt ", FloatFormat(0xFFFF, 0)) + Chunk("data", Samples(64))));
  // Each must set the create's code over the 0x4001 of a second start-up.
  const auto refused = [](int result) {
    const bool failed = result == 0 && KRErrorGetLastError() == static_cast<unsigned long>(KRERR_SOUND | 0x100);
    KRSoundStartup();
    return failed;
  };
  KRSoundStartup();
  EXPECT_TRUE(refused(KRSoundCreateBuffer(image.Image())));
  EXPECT_TRUE(refused(KRSoundCreateBuffer(static_cast<const char*>("cbsize.wav"))));
  EXPECT_TRUE(refused(KRSoundCreateBuffer(static_cast<void*>(nullptr))));
  remove("cbsize.wav");
}

TEST_F(SoundOnWindows, HeaderErrorsAndTheFullTable) {
  WriteFile("avi.wav", wavebytes::Riff(wavebytes::Chunk("avih", "1234"), -1, "AVI "));
  WriteFile("text.wav", "not a sound file");
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("text.wav")), 0);
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_SOUND | 0x100));
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("avi.wav")), 0);
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("missing.wav")), 0);

  const std::string image = wavebytes::Wave(64);
  for (int handle = 1; handle < KRSOUND_BUFFER_MAX; ++handle) ASSERT_EQ(FromMemory(image), handle);
  EXPECT_EQ(FromMemory(image), 0);  // silent: the hint is past the table
  KRSoundReleaseBuffer(5);
  EXPECT_EQ(FromMemory(image), 5);
  EXPECT_EQ(FromMemory(image), 0);
  for (int handle = 1; handle < KRSOUND_BUFFER_MAX; ++handle) KRSoundReleaseBuffer(handle);
  KRSoundReleaseBuffer(64);
  KRSoundCleanup();
  KRDebugCleanup();
  EXPECT_EQ(Log(),
            OpenLine() +
                "KRDebug : Startup\r\n"
                "KRSound : Startup\r\n"
                "KRSound : DirectSoundCreate\r\n"
                "KRSound Warning : RIFF Header not found\r\n"
                "KRSound Warning : WAVE Header not found\r\n"
                "KRSound Warning : Could not create Buffer(Maximumed out).\r\n"
                "KRSound Warning : You did release NULL or ills Buffer(64).\r\n"
                "KRSound : Cleanup\r\n"
                "KRSound : Release DirectSound\r\n"
                "KRDebug : Cleanup\r\n");
}

}  // namespace
