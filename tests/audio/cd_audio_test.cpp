// CD audio: the MCI commands, play lists across notifications, activation,
// and every failure code.
#include <korvathd.h>

#include "audio/music_state.h"
#include "tests/audio/audio_fixture.h"

namespace {

// Lengths as MCI gives them: minutes, seconds, frames from the lowest byte.
constexpr DWORD kLength1 = 0x000A0203;  // 3:02.10
constexpr DWORD kLength2 = 0x00000104;
constexpr DWORD kLength3 = 0x00050005;

class CdAudioTest : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    sim::SetCdDrive({kLength1, kLength2, kLength3});
    ASSERT_EQ(KRMusicStartup(), 1);
    ClearRecords();
  }
  static std::vector<std::string> Mci() { return CallsOf("mciSendCommandA"); }
  std::string Window() const { return HandleText(g_krMusic.hWnd); }
  // The playing track ends and the window hears of it.
  static void EndTrack() {
    ASSERT_TRUE(sim::EndCdTrack());
    Pump();
  }
  static DWORD PlayingTrack() { return sim::InspectCd().from & 0xFF; }
};

TEST_F(CdAudioTest, TheFirstPlayOpensTheDeviceAndPlaysTheTrackToItsEnd) {
  EXPECT_EQ(KRMusicPlayCDAudio(2, 1), 1);
  EXPECT_EQ(Mci(), (std::vector<std::string>{"mciSendCommandA(0, 0x803, 0x2002, {0x0, \"cdaudio\", NULL, NULL})",
                                             "mciSendCommandA(1, 0x80D, 0x402, {0x0, 10})",
                                             "mciSendCommandA(1, 0x814, 0x112, {0x0, 1, 2})",
                                             "mciSendCommandA(1, 0x806, 0xD, {" + Window() + ", 0x2, 0x10402})"}));
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PLAYING);
  EXPECT_EQ(sim::InspectCd().notifyWindow, g_krMusic.hWnd);
  EXPECT_TRUE(LogLines().empty()) << "no MCI text for a play that worked";
}

TEST_F(CdAudioTest, ATrackPlaysTheGivenNumberOfTimesThenStops) {
  ASSERT_EQ(KRMusicPlayCDAudio(3, 2), 1);
  EndTrack();
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PLAYING);
  EXPECT_EQ(PlayingTrack(), 3u);
  EXPECT_EQ(sim::CountCalls("mciSendCommandA"), 6) << "status and play once more";
  EndTrack();
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_STOPPED);
  EXPECT_EQ(sim::InspectCd().mode, sim::CdInfo::Stopped);
  EXPECT_NE(Mci().back().find(", 0x808, 0x2, "), std::string::npos) << "stopped with MCI_STOP";
}

TEST_F(CdAudioTest, APlayListWithoutLoopCountGoesRoundWithoutEnd) {
  int tracks[] = {2, 1, 0, 3};
  ASSERT_EQ(KRMusicPlayIndexedCDAudio(tracks, 0), 1);
  std::vector<DWORD> played{PlayingTrack()};
  for (int end = 0; end < 5; ++end) {
    EndTrack();
    played.push_back(PlayingTrack());
  }
  EXPECT_EQ(played, (std::vector<DWORD>{2, 1, 2, 1, 2, 1}));
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PLAYING);
}

TEST_F(CdAudioTest, ListsLongerThanTheTableAreCutAndANullListIsRefused) {
  std::vector<int> tracks(80, 1);
  tracks.push_back(0);
  ASSERT_EQ(KRMusicPlayIndexedCDAudio(tracks.data(), 1), 1);
  EXPECT_EQ(g_krMusic.lpCDTracks[62], 1);
  EXPECT_EQ(g_krMusic.lpCDTracks[63], 0);
  KRMusicStopCDAudio();
  ClearRecords();
  EXPECT_EQ(KRMusicPlayIndexedCDAudio(nullptr, 1), 0);
  EXPECT_EQ(Code(), 0x6101u);
  EXPECT_TRUE(Mci().empty());
}

TEST_F(CdAudioTest, DeactivationPausesAndActivationResumesToTheTrackEnd) {
  int tracks[] = {1, 2, 0};
  ASSERT_EQ(KRMusicPlayIndexedCDAudio(tracks, 1), 1);
  sim::ClearCalls();
  sim::SendActivateApp(false);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PAUSED);
  EXPECT_EQ(Pump(), 1) << "the pause aborts the play's notification";
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PAUSED) << "an aborted play moves nothing on";
  sim::SendActivateApp(true);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PLAYING);
  // The last play goes to the track's end, without a from.
  EXPECT_EQ(Mci(), (std::vector<std::string>{"mciSendCommandA(1, 0x809, 0x2, {0x0})",
                                             "mciSendCommandA(1, 0x814, 0x112, {0x0, 1, 1})",
                                             "mciSendCommandA(1, 0x806, 0x9, {" + Window() + ", 0x0, 0xA020301})"}));
  EndTrack();
  EXPECT_EQ(PlayingTrack(), 2u) << "the list goes on";

  // A CD the application paused itself is resumed by activation too.
  ASSERT_EQ(KRMusicPauseCDAudio(), 1);
  sim::SendActivateApp(true);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PLAYING);
}

TEST_F(CdAudioTest, SupersededAndAbortedNotificationsAreIgnored) {
  ASSERT_EQ(KRMusicPlayCDAudio(1, 0), 1);
  ASSERT_EQ(KRMusicPlayCDAudio(2, 0), 1);  // supersedes the first play
  sim::ClearCalls();
  EXPECT_EQ(Pump(), 1);
  EXPECT_TRUE(Mci().empty());
  EXPECT_EQ(KRMusicCallbackWindowProc(g_krMusic.hWnd, MM_MCINOTIFY, MCI_NOTIFY_FAILURE, 1), 0);
  EXPECT_EQ(KRMusicCallbackWindowProc(g_krMusic.hWnd, WM_USER, 0, 0), 0);
  EXPECT_EQ(KRMusicCallbackWindowProc(g_krMusic.hWnd, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1), 1);
  EXPECT_EQ(sim::CountCalls("DefWindowProcA"), 3) << "the superseded play's notification too";
  EXPECT_EQ(KRMusicStopCDAudio(), 1);
  EXPECT_EQ(KRMusicCallbackWindowProc(g_krMusic.hWnd, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1), 0)
      << "not playing: passed on";
}

TEST_F(CdAudioTest, PauseStopAndResumeAnswerOnlyInTheirStates) {
  EXPECT_EQ(KRMusicPauseCDAudio(), 0);
  EXPECT_EQ(KRMusicStopCDAudio(), 0);
  EXPECT_EQ(KRMusicPlayCDAudio(), 0);
  EXPECT_EQ(Code(), 0u);
  ASSERT_EQ(KRMusicPlayCDAudio(1, 1), 1);
  EXPECT_EQ(KRMusicPlayCDAudio(), 0) << "playing: nothing to resume";
  EXPECT_EQ(KRMusicPauseCDAudio(), 1);
  EXPECT_EQ(KRMusicPauseCDAudio(), 0);
  EXPECT_EQ(KRMusicStopCDAudio(), 1);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_STOPPED);
}

TEST_F(CdAudioTest, FailedCommandsSetTheirCodesAndOnlySomeLogTheMciText) {
  ASSERT_EQ(KRMusicPlayCDAudio(1, 1), 1);
  ClearRecords();
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x809");
  EXPECT_EQ(KRMusicPauseCDAudio(), 0);
  EXPECT_EQ(Code(), 0x6103u);
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x808");
  EXPECT_EQ(KRMusicStopCDAudio(), 0);
  EXPECT_EQ(Code(), 0x6102u);
  ASSERT_EQ(KRMusicPauseCDAudio(), 1);
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x806");
  EXPECT_EQ(KRMusicPlayCDAudio(), 0);
  EXPECT_EQ(Code(), 0x6101u);
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x814");
  EXPECT_EQ(KRMusicPlayCDAudio(), 0) << "a failed length is a failed resume";
  EXPECT_EQ(Code(), 0x6101u);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PAUSED);
  EXPECT_TRUE(LogLines().empty());

  KRErrorSetLastError(0);
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x814");
  EXPECT_EQ(KRMusicPlayCDAudio(2, 1), 0) << "the length is checked before the play";
  EXPECT_EQ(Code(), 0x6101u);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PAUSED) << "a track that did not start changes no state";

  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x814");
  EXPECT_EQ(KRMusicGetCDAudioTrackCount(), 0);
  EXPECT_EQ(Code(), 0x6104u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{
                            "There is a problem with your media device. Make sure it is working correctly or contact "
                            "the device manufacturer."});
  EXPECT_EQ(KRMusicGetCDAudioTrackCount(), 3);
}

TEST_F(CdAudioTest, TheTrackCountNeedsAnOpenDeviceAndTheVolumeAlwaysFails) {
  EXPECT_EQ(KRMusicGetCDAudioTrackCount(), 0);
  EXPECT_EQ(Code(), 0x6104u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Invalid MCI device ID. Use the ID returned when opening the MCI device."});
  int volume = 7;
  EXPECT_EQ(KRMusicGetCDAudioVolume(&volume), 0);
  EXPECT_EQ(Code(), 0x6106u);
  EXPECT_EQ(volume, 7);
  EXPECT_EQ(KRMusicSetCDAudioVolume(0xFFFF), 0);
  EXPECT_EQ(Code(), 0x6105u);
  EXPECT_EQ(sim::CountCalls("auxGetVolume") + sim::CountCalls("auxSetVolume"), 0);
}

// No call selects an auxiliary device; were one selected, both volume calls
// would go to it and succeed whatever it answered.
TEST_F(CdAudioTest, ASelectedAuxiliaryDeviceTakesBothVolumeCalls) {
  g_krMusic.nCDAuxDevice = 2;
  sim::ClearCalls();
  int volume = 7;
  EXPECT_EQ(KRMusicGetCDAudioVolume(&volume), 1);
  EXPECT_EQ(volume, 0) << "the device filled nothing";
  EXPECT_EQ(KRMusicSetCDAudioVolume(0xFFFF), 1);
  const std::vector<sim::CallRecord> calls = sim::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].function, "auxGetVolume");
  EXPECT_EQ(calls[0].arguments.rfind("2, ", 0), 0u) << calls[0].arguments;
  EXPECT_EQ(calls[1].function, "auxSetVolume");
  EXPECT_EQ(calls[1].arguments, "2, 0xFFFF");
  g_krMusic.nCDAuxDevice = -1;
}

TEST_F(CdAudioTest, WithoutADriveThePlayLogsTheTextAndCleansTheMusicUp) {
  sim::RemoveCdDrive();
  sim::WriteWholeFile("a.mid", MidiBytes());
  ASSERT_EQ(KRMusicCreateBuffer("a.mid"), 1);
  ClearRecords();
  EXPECT_EQ(KRMusicPlayCDAudio(1, 1), 0);
  EXPECT_EQ(Code(), 0x6003u) << "the clean-up that followed set nothing";
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "There is an undetectable problem in loading the specified device driver.");
  EXPECT_EQ(lines[1], "KRMusic : Cleanup");
  EXPECT_FALSE(KRMusicIsStarted());
  EXPECT_EQ(sim::LiveMusicObjects(), 0);
  // After it every call refuses without touching the freed tables.
  int tracks[] = {1, 0};
  EXPECT_EQ(KRMusicPlayIndexedCDAudio(tracks, 1), 0);
  EXPECT_EQ(Code(), 0x6002u);
  EXPECT_EQ(KRMusicPlayCDAudio(), 0);
  EXPECT_EQ(KRMusicCreateBuffer("a.mid"), 0);
  ASSERT_EQ(KRMusicStartup(), 1) << "and the component starts again";
}

TEST_F(CdAudioTest, AFailedTimeFormatClosesTheOpenedDeviceInTheCleanup) {
  sim::FailNext("mciSendCommandA", MCIERR_OUTOFRANGE, "0x80D");
  EXPECT_EQ(KRMusicPlayCDAudio(1, 1), 0);
  EXPECT_EQ(Code(), 0x6003u);
  EXPECT_EQ(sim::OpenCdDevices(), 0);
  EXPECT_FALSE(KRMusicIsStarted());
  EXPECT_EQ(LogLines()[0], "The specified parameter is out of range for the specified command.");
}

TEST_F(CdAudioTest, AFailedCloseEndsTheCleanupStillStarted) {
  ASSERT_EQ(KRMusicPlayCDAudio(1, 1), 1);
  ClearRecords();
  sim::FailNext("mciSendCommandA", MCIERR_HARDWARE, "0x804");
  KRMusicCleanup();
  EXPECT_EQ(Code(), 0x6004u);
  EXPECT_TRUE(KRMusicIsStarted());
  EXPECT_TRUE(IsWindow(g_krMusic.hWnd));
  EXPECT_EQ(LogLines().size(), 2u) << "the clean-up line and the MCI text";
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_STOPPED);
  KRMusicCleanup();
  EXPECT_FALSE(KRMusicIsStarted());
  EXPECT_EQ(sim::OpenCdDevices(), 0);
}

TEST_F(CdAudioTest, TheCdStateSurvivesARestart) {
  ASSERT_EQ(KRMusicPlayCDAudio(1, 1), 1);
  ASSERT_EQ(KRMusicPauseCDAudio(), 1);
  KRMusicCleanup();
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_STOPPED) << "the clean-up stopped the open CD";
  EXPECT_EQ(g_krMusic.wCDDevice, 0u) << "and closed it";
  ASSERT_EQ(KRMusicStartup(), 1);
  g_krMusic.nCDState = KRMUSIC_CD_PAUSED;
  KRMusicCleanup();
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_EQ(g_krMusic.nCDState, KRMUSIC_CD_PAUSED) << "not reset by the start-up";
  g_krMusic.nCDState = KRMUSIC_CD_STOPPED;
}

}  // namespace
