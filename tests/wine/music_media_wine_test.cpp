// Music, CD audio and media through the real KORVATHD.DLL under Wine: Wine's
// DirectMusic ports and loader, its MCI without a CD drive, and DirectShow
// rendering our own files (through GStreamer) with a real message loop.
#include <gtest/gtest.h>
#include <korvathd.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/media_files.h"

namespace {

using namespace winsupport;

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class MusicMediaOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMainWindow(320, 240, "music and media");
    ASSERT_NE(window_, nullptr);
    // A log of each test's own: the tests run side by side in one folder.
    log_ = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".log";
    remove(log_.c_str());
    KRSTARTUPINFO info = StartupInfo(window_, KRSTARTUP_DEBUGLOG, log_.c_str());
    ASSERT_EQ(KRStartup(&info), 1);
  }
  void TearDown() override {
    KRCleanup();
    DestroyMainWindow(window_);
    remove(log_.c_str());
  }
  // Runs the message loop for `milliseconds`, as a game's main loop would.
  static void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
      PumpMessages();
      Sleep(10);
    }
  }

  // Runs the message loop until the media window has had `wanted` graph
  // notifications, or for at most `limit` milliseconds; returns how many came.
  static int PumpUntilNotified(int wanted, DWORD limit) {
    HWND media = FindWindowA("KRMEDIA_CALLBACK", nullptr);
    int notified = 0;
    const DWORD start = GetTickCount();
    while (notified < wanted && GetTickCount() - start < limit) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.hwnd == media && message.message == WM_USER) ++notified;
        DispatchMessageA(&message);
      }
      Sleep(10);
    }
    return notified;
  }

  std::string log_;
  HWND window_ = nullptr;
};

TEST_F(MusicMediaOnWine, StartupAttachesAPortAndListsTheOutputPorts) {
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_NE(KRErrorGetLastError(), 0x6003u) << "the default port was attached";
  const int count = KRMusicGetPortCount();
  EXPECT_GE(count, 1);
  for (int index = 0; index < count; ++index) {
    KRMUSICPORTINFO info;
    memset(&info, 0, sizeof(info));
    KRMusicGetPortInfo(&info, index);
    EXPECT_GT(strlen(info.szName), 0u);
    printf("port %d: %s (%lu channel groups)\n", index, info.szName, static_cast<unsigned long>(info.dwMaxChannelGroups));
  }
  EXPECT_EQ(KRMusicSelectPort(count - 1), 1);
  KRMusicCleanup();
}

TEST_F(MusicMediaOnWine, OurMidiFileLoadsByRelativeAndFullPathPlaysAndStops) {
  ASSERT_TRUE(WriteMidiFile("wine_song.mid"));
  ASSERT_EQ(KRMusicStartup(), 1);
  const int relative = KRMusicCreateBuffer("wine_song.mid");
  EXPECT_EQ(relative, 1);
  char full[MAX_PATH];
  ASSERT_GT(GetFullPathNameA("wine_song.mid", MAX_PATH, full, nullptr), 0u);
  EXPECT_EQ(KRMusicCreateBuffer(full), 2);
  EXPECT_EQ(KRMusicCreateBuffer("no_such_song.mid"), 0);
  KRMusicPlayBuffer(relative, 1);
  PumpFor(200);
  KRMusicStopBuffer();
  KRMusicReleaseBuffer(2);
  KRMusicReleaseBuffer(relative);
  KRMusicCleanup();
  remove("wine_song.mid");
}

TEST_F(MusicMediaOnWine, WithoutACdDriveThePlayLogsTheMciTextAndCleansMusicUp) {
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_EQ(KRMusicGetCDAudioTrackCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x6104u);
  EXPECT_EQ(KRMusicPlayCDAudio(1, 1), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x6003u);
  EXPECT_EQ(KRMusicStartup(), 1) << "the failed open cleaned the component up";
  KRMusicCleanup();
  KRCleanup();
  char text[256] = "";
  mciGetErrorStringA(MCIERR_CANNOT_LOAD_DRIVER, text, sizeof(text));
  const std::string log = ReadFileBytes(log_.c_str());
  EXPECT_NE(log.find(std::string(text) + "\r\nKRMusic : Cleanup\r\n"), std::string::npos) << log;
}

TEST_F(MusicMediaOnWine, OurAviAndWaveRenderLoopFromTheirFirstPlayAndPlayOnce) {
  ASSERT_TRUE(WriteWaveFile("wine_sound.wav", 250));
  ASSERT_TRUE(WriteAviFile("wine_video.avi", 5));
  WriteRawFile("wine_garbage.avi", "this is not a media file at all");
  ASSERT_EQ(KRMediaStartup(), 1);
  const int wave = KRMediaCreateBuffer("wine_sound.wav");
  const int avi = KRMediaCreateBuffer("wine_video.avi");
  EXPECT_EQ(wave, 1);
  EXPECT_EQ(avi, 2);
  EXPECT_EQ(KRMediaCreateBuffer("wine_garbage.avi"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x5100u);
  EXPECT_EQ(KRMediaCreateBuffer("wine_missing.avi"), 0);

  // Looped on its first play, each file restarts at every end: the ends keep coming.
  for (int handle : {wave, avi}) {
    ASSERT_EQ(KRMediaPlay(handle, KRMEDIA_PLAY_LOOP), 1);
    EXPECT_EQ(PumpUntilNotified(3, 20000), 3) << "buffer " << handle;
    EXPECT_EQ(KRMediaStop(), 1);
  }
  // Each file played once: its end is notified.
  ASSERT_EQ(KRMediaPlay(wave, 0), 1);
  EXPECT_EQ(PumpUntilNotified(1, 20000), 1);
  ASSERT_EQ(KRMediaPlay(avi, 0), 1);
  EXPECT_EQ(PumpUntilNotified(1, 20000), 1);
  // Half a second of video in a loop: each end rewinds and runs it again, and it ends again.
  ASSERT_EQ(KRMediaPlay(avi, KRMEDIA_PLAY_LOOP), 1);
  EXPECT_EQ(PumpUntilNotified(2, 20000), 2);
  EXPECT_EQ(KRMediaPause(), 0) << "a loop does not pause";
  EXPECT_EQ(KRMediaStop(), 1);
  KRMediaReleaseBuffer(avi);
  KRMediaReleaseBuffer(wave);
  KRMediaCleanup();
  KRCleanup();
  // Every end came through the window procedure.
  const std::string log = ReadFileBytes(log_.c_str());
  EXPECT_GE(Count(log, "KRMedia : WM_GRAPHNOTIFY"), 4) << log;
  remove("wine_sound.wav");
  remove("wine_video.avi");
  remove("wine_garbage.avi");
}

}  // namespace
