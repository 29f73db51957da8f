// Media playback: buffers with a graph each, the play states, looping on the
// end of the stream, full screen, bad handles and the clean-up.
#include <korvathd.h>

#include "audio/media_state.h"
#include "tests/audio/audio_fixture.h"

namespace {

class MediaTest : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    sim::WriteWholeFile("intro.avi", AviBytes());
    sim::WriteWholeFile("voice.wav", WaveBytes());
    sim::WriteWholeFile("junk.avi", "garbage bytes");
  }
  void Start() {
    ASSERT_EQ(KRMediaStartup(), 1);
    ClearRecords();
  }
  // The graph of the buffer made n-th (the start-up graph is the first).
  static sim::GraphInfo Graph(size_t index) { return sim::InspectGraphs().at(index); }
  static std::vector<std::string> VideoAndControl() {
    std::vector<std::string> calls;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind("IVideoWindow::", 0) == 0 || call.function.rfind("IMediaControl::", 0) == 0 ||
          call.function.rfind("IMediaEventEx::", 0) == 0 || call.function.rfind("IMediaPosition::", 0) == 0) {
        calls.push_back(call.function + "(" + call.arguments + ")");
      }
    }
    return calls;
  }
};

TEST_F(MediaTest, StartupMakesTheGraphTheWindowAndTheTable) {
  ASSERT_EQ(KRMediaStartup(), 1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRMediaStartup", "MediaControlCreate"}));
  EXPECT_EQ(sim::LiveFilterGraphs(), 1);
  EXPECT_EQ(sim::InspectWindow(g_krMedia.hWnd).className, "KRMEDIA_CALLBACK");
  EXPECT_FALSE(sim::InspectWindow(g_krMedia.hWnd).visible);
  EXPECT_EQ(KRMediaStartup(), 0);
  EXPECT_EQ(Code(), 0x5001u);
  ClearRecords();
  KRMediaCleanup();
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRMedia : Cleanup"});
  EXPECT_EQ(sim::LiveFilterGraphs(), 0);
  EXPECT_FALSE(KRMediaIsStarted());
}

TEST_F(MediaTest, AFailedGraphOrAnExhaustedHeapAtStartupLeavesItUnstarted) {
  const int heapBefore = sim::LiveHeapBlocks();
  const int tableBytes = KRMEDIA_BUFFER_MAX * static_cast<int>(sizeof(KRMEDIABUFFER)) + 16;
  sim::FailNext("CoCreateInstance", REGDB_E_CLASSNOTREG);
  EXPECT_EQ(KRMediaStartup(), 0);
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", " + std::to_string(tableBytes));
  EXPECT_EQ(KRMediaStartup(), 0);
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(Code(), 0x5003u);
  EXPECT_FALSE(KRMediaIsStarted());
  EXPECT_EQ(sim::LiveWindows(), 1) << "only the application's";
  EXPECT_EQ(sim::LiveFilterGraphs(), 0);
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  // The calls after a failed start-up find nothing half made.
  EXPECT_EQ(KRMediaCreateBuffer("intro.avi"), 0);
  EXPECT_EQ(Code(), 0x5002u);
  KRMediaCleanup();
  KRCleanup();
  EXPECT_EQ(sim::LiveFilterGraphs(), 0);
}

TEST_F(MediaTest, EachBufferRendersIntoAGraphOfItsOwn) {
  Start();
  EXPECT_EQ(KRMediaCreateBuffer("intro.avi"), 1);
  EXPECT_EQ(KRMediaCreateBuffer("voice.wav"), 2);
  ASSERT_EQ(sim::LiveFilterGraphs(), 3);
  EXPECT_EQ(Graph(1).files, std::vector<std::string>{"intro.avi"});
  EXPECT_EQ(Graph(2).files, std::vector<std::string>{"voice.wav"});
  EXPECT_TRUE(Graph(0).files.empty()) << "the start-up graph renders nothing";
  std::vector<std::string> queries;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "IFilterGraph::QueryInterface") queries.push_back(call.arguments.substr(1, 8));
  }
  EXPECT_EQ(queries, (std::vector<std::string>{"56A868B1", "56A868B2", "56A868B4", "56A868B1", "56A868B2", "56A868B4"}));
}

TEST_F(MediaTest, FailedCreationsSetTheCodeAndKeepNoGraph) {
  Start();
  const std::string longPath(2049, 'a');
  for (const char* path : {"junk.avi", "missing.avi", longPath.c_str()}) {
    KRErrorSetLastError(0);
    EXPECT_EQ(KRMediaCreateBuffer(path), 0);
    EXPECT_EQ(Code(), 0x5100u);
    EXPECT_EQ(sim::LiveFilterGraphs(), 1);
  }
  EXPECT_EQ(sim::CountCalls("IGraphBuilder::RenderFile"), 2) << "a path past 2048 characters never reaches a graph";
  EXPECT_EQ(KRMediaCreateBuffer(longPath.substr(1).c_str()), 0);
  EXPECT_EQ(sim::CountCalls("IGraphBuilder::RenderFile"), 3) << "one of exactly 2048 does";
  for (const char* step : {"CoCreateInstance", "IFilterGraph::QueryInterface"}) {
    for (int skip = 0; skip < (std::string(step) == "CoCreateInstance" ? 1 : 3); ++skip) {
      SCOPED_TRACE(std::string(step) + " " + std::to_string(skip));
      KRErrorSetLastError(0);
      const char* iids[] = {"56A868B1", "56A868B2", "56A868B4"};
      sim::FailNext(step, E_NOINTERFACE, std::string(step) == "CoCreateInstance" ? "" : iids[skip]);
      EXPECT_EQ(KRMediaCreateBuffer("intro.avi"), 0);
      EXPECT_EQ(Code(), 0x5100u);
      EXPECT_EQ(sim::LiveFilterGraphs(), 1);
    }
  }
  EXPECT_EQ(KRMediaCreateBuffer("intro.avi"), 1) << "the slot stayed free";
}

TEST_F(MediaTest, TheThirtySecondBufferSaysMaximumedOut) {
  Start();
  for (int handle = 1; handle <= 31; ++handle) ASSERT_EQ(KRMediaCreateBuffer("voice.wav"), handle);
  ClearRecords();
  EXPECT_EQ(KRMediaCreateBuffer("voice.wav"), 0);
  EXPECT_EQ(Code(), 0x5100u);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRMedia Warning : Could not create Buffer(Maximumed out)."});
  ClearRecords();
  KRMediaCleanup();
  EXPECT_EQ(LogLines().size(), 32u) << "31 warnings before the clean-up line";
  EXPECT_EQ(LogLines().back(), "KRMedia : Cleanup");
}

TEST_F(MediaTest, PlayShowsTheVideoInTheMainWindowRunsAndAsksForNotifications) {
  Start();
  const int handle = KRMediaCreateBuffer("intro.avi");
  sim::ClearCalls();
  EXPECT_EQ(KRMediaPlay(handle, 0), 1);
  EXPECT_EQ(VideoAndControl(), (std::vector<std::string>{
                                   "IVideoWindow::put_Owner(" + HandleText(window_) + ")",
                                   "IVideoWindow::put_Visible(-1)",
                                   "IMediaControl::Run()",
                                   "IMediaEventEx::SetNotifyWindow(" + HandleText(g_krMedia.hWnd) + ", 0x400, 0)",
                               }));
  EXPECT_EQ(Graph(1).state, sim::GraphInfo::Running);
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_PLAYING);

  sim::ClearCalls();
  EXPECT_EQ(KRMediaPlay(handle, KRMEDIA_PLAY_FULLSCREEN | KRMEDIA_PLAY_LOOP), 1);
  EXPECT_EQ(VideoAndControl(), (std::vector<std::string>{
                                   "IMediaControl::Stop()",
                                   "IVideoWindow::put_FullScreenMode(0)",
                                   "IVideoWindow::put_Visible(0)",
                                   "IVideoWindow::put_Owner(" + HandleText(window_) + ")",
                                   "IVideoWindow::put_Visible(0)",
                                   "IVideoWindow::put_FullScreenMode(-1)",
                                   "IMediaControl::Run()",
                                   "IMediaEventEx::SetNotifyWindow(" + HandleText(g_krMedia.hWnd) + ", 0x400, 0)",
                               }));
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_LOOPING);
  EXPECT_EQ(sim::CountCalls("IMediaPosition::put_CurrentPosition"), 0) << "play sets no position";
}

// Looped on its first play: the first run's event, queued before the window
// was named, comes with no message of its own; the end's message takes both.
TEST_F(MediaTest, ALoopRestartsAtEachEndUntilStopped) {
  Start();
  const int handle = KRMediaCreateBuffer("intro.avi");
  ASSERT_EQ(KRMediaPlay(handle, KRMEDIA_PLAY_LOOP), 1);
  const std::string take = "IMediaEventEx::GetEvent(ptr, ptr, ptr, 0)";
  for (int end = 0; end < 2; ++end) {
    ClearRecords();
    ASSERT_EQ(sim::EndMediaStreams(), 1);
    EXPECT_EQ(Graph(1).queuedEvents, end == 0 ? 2 : 1);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"KRMedia : WM_GRAPHNOTIFY"});
    std::vector<std::string> expected;
    if (end == 0) expected = {take, "IMediaEventEx::FreeEventParams(13, 0, 0)"};
    for (const char* call : {take.c_str(), "IMediaEventEx::FreeEventParams(1, 0, 0)", "IMediaControl::Stop()",
                             "IMediaPosition::put_CurrentPosition(0.000000)", "IMediaControl::Run()", take.c_str()}) {
      expected.push_back(call);
    }
    EXPECT_EQ(VideoAndControl(), expected);
    EXPECT_EQ(Graph(1).queuedEvents, 0);
    EXPECT_EQ(Graph(1).state, sim::GraphInfo::Running);
  }
  EXPECT_EQ(KRMediaPause(), 0) << "a loop does not pause";
  EXPECT_EQ(KRMediaStop(), 1);
  EXPECT_EQ(KRMediaStop(), 0);
  EXPECT_EQ(Graph(1).visible, 0);
}

TEST_F(MediaTest, AStreamPlayedOnceStaysInItsStateAtTheEnd) {
  Start();
  const int handle = KRMediaCreateBuffer("voice.wav");
  ASSERT_EQ(KRMediaPlay(handle, 0), 1);
  ASSERT_EQ(sim::EndMediaStreams(), 1);
  sim::ClearCalls();
  Pump();
  EXPECT_EQ(sim::CountCalls("IMediaControl::Run"), 0);
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_PLAYING);
  // A notification with no event waiting takes nothing and does nothing.
  EXPECT_EQ(KRMediaCallbackWindowProc(g_krMedia.hWnd, WM_USER, 0, 0), 1);
  EXPECT_EQ(sim::CountCalls("IMediaEventEx::FreeEventParams"), 2) << "the first run's event and the end";
  EXPECT_EQ(KRMediaCallbackWindowProc(g_krMedia.hWnd, WM_ACTIVATEAPP, 0, 0), 0);
  EXPECT_EQ(KRMediaPause(), 1);
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_PAUSED);
  EXPECT_EQ(Graph(1).state, sim::GraphInfo::Paused);
  EXPECT_EQ(KRMediaPause(), 0);
  EXPECT_EQ(KRMediaStop(), 1);
}

TEST_F(MediaTest, BadHandlesChangeNothing) {
  Start();
  const int handle = KRMediaCreateBuffer("voice.wav");
  ASSERT_EQ(KRMediaPlay(handle, 0), 1);
  ClearRecords();
  for (int bad : {0, 32, -3, 5}) {
    EXPECT_EQ(KRMediaPlay(bad, 0), 0);
    KRMediaReleaseBuffer(bad);
  }
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "KRMedia Warning : Play buffer NULL or ills Buffer(0).",
                            "KRMedia Warning : You did release NULL or ills Buffer(0).",
                            "KRMedia Warning : Play buffer NULL or ills Buffer(32).",
                            "KRMedia Warning : You did release NULL or ills Buffer(32).",
                            "KRMedia Warning : Play buffer NULL or ills Buffer(-3).",
                            "KRMedia Warning : You did release NULL or ills Buffer(-3).",
                            "KRMedia Warning : Play buffer NULL or ills Buffer(5).",
                            "KRMedia Warning : You did release NULL or ills Buffer(5).",
                        }));
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_PLAYING);
  EXPECT_EQ(g_krMedia.nCurrentBuffer, handle);
  EXPECT_TRUE(VideoAndControl().empty());
}

TEST_F(MediaTest, ReleasingThePlayingBufferStopsItFirst) {
  Start();
  const int handle = KRMediaCreateBuffer("intro.avi");
  ASSERT_EQ(KRMediaPlay(handle, KRMEDIA_PLAY_LOOP), 1);
  ASSERT_EQ(sim::EndMediaStreams(), 1);
  KRMediaReleaseBuffer(handle);
  EXPECT_EQ(g_krMedia.nPlayState, KRMEDIA_STATE_STOPPED);
  EXPECT_EQ(g_krMedia.lpMediaEvent, nullptr);
  EXPECT_EQ(sim::LiveFilterGraphs(), 1);
  Pump();  // the end of stream posted before: nothing left to restart
  EXPECT_EQ(KRMediaStop(), 0);
  EXPECT_EQ(KRMediaPause(), 0);
}

TEST_F(MediaTest, CleanupWhileLoopingStopsFirstAndALateEndReachesNothing) {
  Start();
  ASSERT_EQ(KRMediaPlay(KRMediaCreateBuffer("intro.avi"), KRMEDIA_PLAY_LOOP), 1);
  ClearRecords();
  KRMediaCleanup();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRMedia Warning : You didn't release Buffer(1).",
                                                  "KRMedia : Cleanup"}));
  EXPECT_EQ(NamesOf("IMediaControl::").front(), "IMediaControl::Stop");
  EXPECT_FALSE(IsWindow(g_krMedia.hWnd));
  EXPECT_EQ(sim::LiveFilterGraphs(), 0);
  EXPECT_EQ(sim::EndMediaStreams(), 0);
  EXPECT_EQ(Pump(), 0);
}

TEST_F(MediaTest, BeforeStartupAndAfterCleanupNothingHappens) {
  for (int round = 0; round < 2; ++round) {
    KRErrorSetLastError(0);
    EXPECT_EQ(KRMediaCreateBuffer("intro.avi"), 0);
    EXPECT_EQ(Code(), 0x5002u);
    EXPECT_EQ(KRMediaPlay(1, 0), 0);
    EXPECT_EQ(KRMediaStop(), 0);
    EXPECT_EQ(KRMediaPause(), 0);
    KRMediaReleaseBuffer(1);
    EXPECT_EQ(sim::LiveFilterGraphs(), 0);
    ASSERT_EQ(KRMediaStartup(), 1);
    KRMediaCleanup();
  }
  KRMediaCleanup();
  EXPECT_EQ(Code(), 0x5002u);
  for (const std::string& line : LogLines()) EXPECT_EQ(line.find("Warning"), std::string::npos) << line;
}

}  // namespace
