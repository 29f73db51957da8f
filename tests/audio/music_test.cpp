// The music component: start-up and clean-up, ports, segments.
#include <korvathd.h>

#include "audio/music_state.h"
#include "tests/audio/audio_fixture.h"

namespace {

constexpr char kSynth[] = "{58C2B4D0-46E7-11D1-89AC-00A0C9054129}";
constexpr char kMapper[] = "{1B1D3A00-0001-0002-0102-030405060708}";

sim::MusicPortScript Port(uint32_t id, const std::u16string& name, DWORD portClass = 1, DWORD groups = 1) {
  sim::MusicPortScript port;
  port.guid = GUID{id, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  port.description = name;
  port.portClass = portClass;
  port.maxChannelGroups = groups;
  return port;
}

class MusicTest : public AudioTest {
 protected:
  void Start() {
    ASSERT_EQ(KRMusicStartup(), 1);
    ClearRecords();
  }
  static std::vector<std::string> PerformanceCalls() { return NamesOf("IDirectMusicPerformance::"); }
};

TEST_F(MusicTest, StartupMakesTheObjectsAttachesThePortAndSetsTheSearchDirectory) {
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRMusic : Startup", "KRMusic : CreateLoader",
                                                  "KRMusic : DirectMusicCreate", "KRMusic : CreatePerformance",
                                                  "KRMusic : SelectPort"}));
  const sim::WindowInfo window = sim::InspectWindow(g_krMusic.hWnd);
  EXPECT_EQ(window.className, "KRMUSIC_CALLBACK");
  EXPECT_EQ(window.title, "KRMUSIC_CALLBACK");
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(sim::InspectMusic().ports, 1);
  EXPECT_EQ(sim::InspectMusic().searchDirectory, "C:\\work");
  EXPECT_EQ(CallsOf("IDirectMusic::SetDirectSound"),
            (std::vector<std::string>{"IDirectMusic::SetDirectSound(NULL, " + HandleText(window_) + ")"}));
  EXPECT_EQ(CallsOf("IDirectMusic::CreatePort"),
            (std::vector<std::string>{"IDirectMusic::CreatePort(" + std::string(kSynth) + ", {32, 0x2, 0, 1}, ptr, NULL)"}));
  EXPECT_EQ(CallsOf("IDirectMusicPerformance::AssignPChannelBlock").size(), 1u);
  EXPECT_EQ(Code(), 0u);
  EXPECT_EQ(KRMusicStartup(), 0);
  EXPECT_EQ(Code(), 0x6001u);
  KRMusicCleanup();
  EXPECT_EQ(sim::LiveMusicObjects(), 0);
  EXPECT_FALSE(KRMusicIsStarted());
}

TEST_F(MusicTest, AFailedCreationLeavesTheComponentStartedForTheCleanup) {
  for (const char* failing : {"KRMUSIC_LOADER", "KRMUSIC_MUSIC", "KRMUSIC_PERFORMANCE", "Init"}) {
    SCOPED_TRACE(failing);
    const std::string which = failing;
    if (which == "KRMUSIC_LOADER") sim::FailNext("CoCreateInstance", E_OUTOFMEMORY, "{D2AC2892");
    if (which == "KRMUSIC_MUSIC") sim::FailNext("CoCreateInstance", E_OUTOFMEMORY, "{636B9F10");
    if (which == "KRMUSIC_PERFORMANCE") sim::FailNext("CoCreateInstance", E_OUTOFMEMORY, "{D2AC2881");
    if (which == "Init") sim::FailNext("IDirectMusicPerformance::Init", E_FAIL);
    EXPECT_EQ(KRMusicStartup(), 0);
    EXPECT_EQ(Code(), 0x6003u);
    EXPECT_TRUE(KRMusicIsStarted());
    EXPECT_EQ(KRMusicStartup(), 0);
    EXPECT_EQ(Code(), 0x6001u);
    // Nothing that needs the missing objects runs.
    EXPECT_EQ(KRMusicCreateBuffer("a.mid"), 0);
    EXPECT_EQ(KRMusicSelectPort(0), 0);
    KRMusicStopBuffer();
    sim::ClearDebugOutput();
    KRCleanup();
    EXPECT_TRUE(Logged("KR Warining : You didn't cleanup KRMusic"));
    EXPECT_FALSE(KRMusicIsStarted());
    EXPECT_EQ(sim::LiveMusicObjects(), 0);
    EXPECT_EQ(sim::PendingFailures(), 0);
    EXPECT_TRUE(sim::ContractViolations().empty());
    KRSTARTUPINFO info = StartupInfo();
    info.hWnd = window_;
    ASSERT_EQ(KRStartup(&info), 1);
  }
}

TEST_F(MusicTest, TheCleanupReleasesForgottenSegmentsBeforeThePortAndClosesDown) {
  Start();
  sim::WriteWholeFile("a.mid", MidiBytes());
  ASSERT_EQ(KRMusicCreateBuffer("a.mid"), 1);
  ASSERT_EQ(KRMusicCreateBuffer("a.mid"), 2);
  ClearRecords();
  KRMusicCleanup();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRMusic : Cleanup", "KRMusic Warning : You didn't release Buffer(1).",
                                                  "KRMusic Warning : You didn't release Buffer(2).",
                                                  "KRMusic : Release DirectMusic"}));
  EXPECT_EQ(PerformanceCalls(), (std::vector<std::string>{"IDirectMusicPerformance::Stop",
                                                          "IDirectMusicPerformance::RemovePort",
                                                          "IDirectMusicPerformance::CloseDown",
                                                          "IDirectMusicPerformance::Release"}));
  EXPECT_FALSE(IsWindow(g_krMusic.hWnd));
  EXPECT_EQ(sim::LiveMusicObjects(), 0);
  KRMusicCleanup();
  EXPECT_EQ(Code(), 0x6002u);
}

TEST_F(MusicTest, PortsOfOutputClassAreListedWithTheirNamesInTheAnsiCodePage) {
  sim::MusicPortScript broken = Port(4, u"Broken");
  broken.result = E_FAIL;
  sim::MusicPortScript partial = Port(5, u"Partial");
  partial.result = S_FALSE;
  // "音源" in UTF-16, and a description that fills all 128 characters.
  const std::u16string japanese = u"\u97F3\u6E90 Port";
  const std::u16string longName(DMUS_MAX_DESCRIPTION, u'\u3042');
  sim::SetMusicPorts({Port(1, u"Input", 0), broken, Port(2, japanese, 1, 16), partial, Port(3, longName, 1, 7)});
  Start();
  EXPECT_EQ(KRMusicGetPortCount(), 2);
  EXPECT_EQ(sim::CountCalls("IDirectMusic::EnumPort"), 32) << "every index is asked";
  KRMUSICPORTINFO info;
  memset(&info, 0x55, sizeof(info));
  KRMusicGetPortInfo(&info, 0);
  EXPECT_STREQ(info.szName, "\x89\xB9\x8C\xB9 Port");
  EXPECT_EQ(info.dwMaxChannelGroups, 16u);
  KRMusicGetPortInfo(&info, 1);
  EXPECT_EQ(strlen(info.szName), 254u) << "of 128 double-byte characters, 127 and the zero fit";
  EXPECT_EQ(info.dwMaxChannelGroups, 7u);
  EXPECT_EQ(Code(), 0u);

  KRMUSICPORTINFO untouched;
  memset(&untouched, 0x55, sizeof(untouched));
  KRMusicGetPortInfo(&untouched, 2);
  EXPECT_EQ(Code(), 0x6005u);
  KRErrorSetLastError(0);
  KRMusicGetPortInfo(&untouched, -1);
  EXPECT_EQ(Code(), 0x6005u);
  EXPECT_EQ(static_cast<unsigned char>(untouched.szName[0]), 0x55);
  EXPECT_EQ(KRMusicGetAutoDetectedPort(), 0);

  // Listed again with a shorter name in the slot, nothing of the long one is left.
  sim::SetMusicPorts({Port(2, u"Short", 1, 16)});
  EXPECT_EQ(KRMusicGetPortCount(), 1);
  KRMusicGetPortInfo(&info, 0);
  KRMUSICPORTINFO expected;
  memset(&expected, 0, sizeof(expected));
  strcpy(expected.szName, "Short");
  expected.dwMaxChannelGroups = 16;
  EXPECT_EQ(memcmp(&info, &expected, sizeof(info)), 0);
}

TEST_F(MusicTest, SelectionDetachesTheOldPortFirstAndBadIndicesTakeTheFirst) {
  sim::SetMusicPorts({Port(1, u"One"), Port(2, u"Two"), Port(3, u"Three")});
  Start();
  EXPECT_EQ(KRMusicSelectPort(2), 1);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRMusic : SelectPort"});
  std::vector<std::string> order;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "IDirectMusicPerformance::RemovePort" || call.function == "IDirectMusic::CreatePort") {
      order.push_back(call.function + (call.arguments.find("{00000003") != std::string::npos ? " 3" : ""));
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"IDirectMusicPerformance::RemovePort", "IDirectMusic::CreatePort 3"}));
  for (int index : {99, 3, -1}) {
    sim::ClearCalls();
    EXPECT_EQ(KRMusicSelectPort(index), 1);
    ASSERT_EQ(CallsOf("IDirectMusic::CreatePort").size(), 1u);
    EXPECT_NE(CallsOf("IDirectMusic::CreatePort")[0].find("{00000001-"), std::string::npos) << index;
  }
  EXPECT_EQ(sim::InspectMusic().ports, 1);
}

TEST_F(MusicTest, EachFailingSelectionStepLeavesNoPortAttachedOrAlive) {
  Start();
  for (const char* step : {"IDirectMusic::CreatePort", "IDirectMusicPerformance::AddPort",
                           "IDirectMusicPerformance::AssignPChannelBlock"}) {
    SCOPED_TRACE(step);
    ClearRecords();
    sim::FailNext(step, DMUS_E_NOT_INIT);
    EXPECT_EQ(KRMusicSelectPort(0), 0);
    EXPECT_EQ(Code(), 0x6003u);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRMusic : SelectPort", "DMUS_E_NOT_INIT"}));
    EXPECT_EQ(g_krMusic.lpPort, nullptr);
    EXPECT_EQ(sim::InspectMusic().ports, 0);
    EXPECT_EQ(sim::LiveMusicObjects(), 3) << "loader, music object, performance";
  }
  EXPECT_EQ(KRMusicSelectPort(0), 1);
}

TEST_F(MusicTest, WithoutAnOutputPortTheEmptyEntryIsTriedAndRefused) {
  sim::SetMusicPorts({});
  ASSERT_EQ(KRMusicStartup(), 1) << "the default port's result is not used";
  EXPECT_EQ(Code(), 0x6003u);
  EXPECT_EQ(CallsOf("IDirectMusic::CreatePort").size(), 1u);
  EXPECT_NE(CallsOf("IDirectMusic::CreatePort")[0].find("{00000000-0000-0000-0000-000000000000}"), std::string::npos);
  EXPECT_EQ(KRMusicGetPortCount(), 0);
}

TEST_F(MusicTest, ALongCurrentDirectoryIsNotGivenToTheLoader) {
  sim::SetReportedCurrentDirectory("C:\\" + std::string(124, 'd'));  // 127 characters: fits
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectMusicLoader::SetSearchDirectory"), 1);
  KRMusicCleanup();
  sim::SetReportedCurrentDirectory("C:\\" + std::string(125, 'd'));
  ASSERT_EQ(KRMusicStartup(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectMusicLoader::SetSearchDirectory"), 1) << "no second call";
}

TEST_F(MusicTest, SegmentsLoadByRelativeAndFullPathIntoTheFirstFreeSlot) {
  Start();
  sim::MakeDirectory("C:\\music");
  sim::WriteWholeFile("C:\\music\\full.mid", MidiBytes());
  sim::WriteWholeFile("rel.mid", MidiBytes());
  sim::WriteWholeFile("noise.mid", "not a MIDI file");
  EXPECT_EQ(KRMusicCreateBuffer("rel.mid"), 1);
  EXPECT_EQ(KRMusicCreateBuffer("C:\\music\\full.mid"), 2);
  EXPECT_STREQ(g_krMusic.lpBuffers[1].szPath, "C:\\work\\rel.mid");
  EXPECT_STREQ(g_krMusic.lpBuffers[2].szPath, "C:\\music\\full.mid");
  const std::vector<std::string> gets = CallsOf("IDirectMusicLoader::GetObject");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_NE(gets[0].find("{" + std::to_string(sizeof(DMUS_OBJECTDESC)) + ", 0x12, {D2AC2882-B39B-11D1-8704-00600893B1BD}, \"rel.mid\"}"),
            std::string::npos);
  EXPECT_NE(gets[1].find(", 0x32, "), std::string::npos) << "a full path is marked as one";

  ClearRecords();
  EXPECT_EQ(KRMusicCreateBuffer("missing.mid"), 0);
  EXPECT_EQ(KRMusicCreateBuffer("noise.mid"), 0);
  EXPECT_EQ(Code(), 0u) << "a loader miss sets no code";
  EXPECT_TRUE(LogLines().empty());
  KRMusicReleaseBuffer(1);
  EXPECT_EQ(KRMusicCreateBuffer("rel.mid"), 1) << "the lowest free slot";

  // A drive without a backslash or slash after it is relative to that drive's directory.
  ClearRecords();
  KRMusicCreateBuffer("C:rel.mid");
  KRMusicCreateBuffer("C:/music/full.mid");
  KRMusicCreateBuffer("\\\\server\\music\\full.mid");
  const std::vector<std::string> more = CallsOf("IDirectMusicLoader::GetObject");
  ASSERT_EQ(more.size(), 3u);
  EXPECT_NE(more[0].find(", 0x12, "), std::string::npos) << more[0];
  EXPECT_NE(more[1].find(", 0x32, "), std::string::npos) << more[1];
  EXPECT_NE(more[2].find(", 0x32, "), std::string::npos) << more[2];
}

TEST_F(MusicTest, PathsTooLongForTheRecordsGiveNoSegmentOrAnEmptyFullPath) {
  Start();
  const std::string directory = "C:\\" + std::string(120, 'p');
  sim::MakeDirectory(directory);
  sim::WriteWholeFile(directory + "\\song.mid", MidiBytes());
  EXPECT_EQ(KRMusicCreateBuffer((directory + "\\song.mid").c_str()), 1);
  EXPECT_STREQ(g_krMusic.lpBuffers[1].szPath, "") << "133 characters do not fit";
  const std::string tooLong(300, 'x');
  EXPECT_EQ(KRMusicCreateBuffer(tooLong.c_str()), 0);
  EXPECT_EQ(Code(), 0u);
  EXPECT_EQ(sim::CountCalls("IDirectMusicLoader::GetObject"), 1) << "the loader is not asked";
  EXPECT_EQ(KRMusicCreateBuffer((directory + "\\song.mid").c_str()), 2);
}

TEST_F(MusicTest, AFullTableSaysMaximumedOut) {
  Start();
  sim::WriteWholeFile("a.mid", MidiBytes());
  for (int handle = 1; handle <= 63; ++handle) ASSERT_EQ(KRMusicCreateBuffer("a.mid"), handle);
  ClearRecords();
  EXPECT_EQ(KRMusicCreateBuffer("a.mid"), 0);
  EXPECT_EQ(Code(), 0x6100u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRMusic Warning : Could not create Buffer(Maximumed out)."});
  EXPECT_EQ(sim::CountCalls("IDirectMusicLoader::GetObject"), 0);
  for (int handle = 1; handle <= 63; ++handle) KRMusicReleaseBuffer(handle);
}

TEST_F(MusicTest, PlaySetsRepeatsAndStopStopsAllMusic) {
  Start();
  sim::WriteWholeFile("a.mid", MidiBytes());
  const int handle = KRMusicCreateBuffer("a.mid");
  ClearRecords();
  KRMusicPlayBuffer(handle, 3);
  EXPECT_EQ(sim::InspectMusic().repeats, 3u);
  KRMusicPlayBuffer(handle, 0);
  EXPECT_EQ(sim::InspectMusic().repeats, 0xFFFFFFFFu);
  KRMusicPlayBuffer(handle, -5);
  EXPECT_EQ(sim::InspectMusic().repeats, 0xFFFFFFFFu);
  const std::vector<std::string> plays = CallsOf("IDirectMusicPerformance::PlaySegment");
  ASSERT_EQ(plays.size(), 3u);
  EXPECT_NE(plays[0].find(", 0x8, 0, NULL)"), std::string::npos);
  EXPECT_TRUE(sim::InspectMusic().playing);
  KRMusicStopBuffer();
  EXPECT_EQ(CallsOf("IDirectMusicPerformance::Stop"),
            std::vector<std::string>{"IDirectMusicPerformance::Stop(NULL, NULL, 0, 0x0)"});
  EXPECT_FALSE(sim::InspectMusic().playing);
  KRMusicPlayBuffer(handle, 1);
  KRMusicReleaseBuffer(handle);
  EXPECT_TRUE(sim::InspectMusic().playing) << "release does not stop";
}

TEST_F(MusicTest, BadHandlesOnlyWarn) {
  Start();
  for (int handle : {0, 64, -1, 5}) {
    KRMusicPlayBuffer(handle, 1);
    KRMusicReleaseBuffer(handle);
  }
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "KRMusic Warning : Play buffer NULL or ills Buffer(0).",
                            "KRMusic Warning : You did release NULL or ills Buffer(0).",
                            "KRMusic Warning : Play buffer NULL or ills Buffer(64).",
                            "KRMusic Warning : You did release NULL or ills Buffer(64).",
                            "KRMusic Warning : Play buffer NULL or ills Buffer(-1).",
                            "KRMusic Warning : You did release NULL or ills Buffer(-1).",
                            "KRMusic Warning : Play buffer NULL or ills Buffer(5).",
                            "KRMusic Warning : You did release NULL or ills Buffer(5).",
                        }));
  EXPECT_EQ(Code(), 0u);
  EXPECT_EQ(sim::CountCalls("IDirectMusicPerformance::PlaySegment"), 0);
}

TEST_F(MusicTest, BeforeStartupCallsRefuseWithNotStarted) {
  KRMUSICPORTINFO info;
  KRMusicGetPortInfo(&info, 0);
  EXPECT_EQ(Code(), 0x6002u);
  for (int (*call)() : {+[] { return KRMusicSelectPort(0); }, +[] { return KRMusicCreateBuffer("a.mid"); },
                        +[] { return KRMusicPlayCDAudio(1, 1); }, +[] { return KRMusicPlayCDAudio(); },
                        +[] { return KRMusicPlayIndexedCDAudio(nullptr, 1); }}) {
    KRErrorSetLastError(0);
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(Code(), 0x6002u);
  }
  KRErrorSetLastError(0);
  EXPECT_EQ(KRMusicGetPortCount(), 0);
  KRMusicPlayBuffer(1, 1);
  KRMusicStopBuffer();
  KRMusicReleaseBuffer(1);
  EXPECT_EQ(Code(), 0u);
  EXPECT_TRUE(LogLines().empty());
  EXPECT_TRUE(sim::Calls().empty() || sim::CountCalls("mciSendCommandA") == 0);
}

}  // namespace
