// Sound start-up and clean-up: the calls and lines in order, the tables, every
// failing step, forgotten buffers, the getters, and the component's line in
// KRCleanup.
#include <string>
#include <vector>

#include "core/core_state.h"
#include "tests/audio/sound_fixture.h"

namespace {

const unsigned long kStartupFailed = KRERR_SOUND | KRERR_STARTUPFAILED;
const HRESULT kGeneric = static_cast<HRESULT>(0x80004005);
const std::string kListenerGuid = "{279AFA84-4981-11CE-A521-0020AF0BE560}";

TEST_F(SoundTest, StartupOpensDirectSoundThenThePrimaryBufferAndListener) {
  const int heapBefore = sim::LiveHeapBlocks();
  ForgetCallsAndLog();
  g_krCore.bAllocTrace = 1;
  ASSERT_EQ(KRSoundStartup(), 1);
  g_krCore.bAllocTrace = 0;
  EXPECT_EQ(KRSoundIsStarted(), 1);
  const std::string table = std::to_string(KRSOUND_BUFFER_MAX * sizeof(KRSOUNDBUFFER)) + " bytes allocated";
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "KRSound : Startup");
  EXPECT_NE(lines[1].find("\"KRSO:BUFFER \")"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("\"KRSO:AUTOBUF\")"), std::string::npos) << lines[2];
  EXPECT_NE(lines[1].find(" " + table), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(" " + table), std::string::npos) << lines[2];
  EXPECT_EQ(lines[3], "KRSound : DirectSoundCreate");
  EXPECT_EQ(sim::CountCalls("CoCreateInstance"), 1);
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function != "CoCreateInstance") continue;
    EXPECT_EQ(call.arguments.substr(0, call.arguments.find(", ptr")),
              "{47D4D946-62E8-11CF-93BC-444553540000}, NULL, 0x3, {279AFA83-4981-11CE-A521-0020AF0BE560}");
  }

  char window[32];
  snprintf(window, sizeof window, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window_)));
  const std::vector<std::string> calls = SoundCalls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_NE(calls[2].find("bytes 0, reserved 0, format NULL}"), std::string::npos) << calls[2];
  EXPECT_EQ((std::vector<std::string>{calls[0], calls[1], calls[2].substr(0, calls[2].find(" bytes")),
                                      calls[3].substr(0, calls[3].find(',')), calls[4], calls[5]}),
            (std::vector<std::string>{
                "IDirectSound::Initialize(NULL)", "IDirectSound::SetCooperativeLevel(" + std::string(window) + ", 1)",
                "IDirectSound::CreateSoundBuffer({size " + std::to_string(sizeof(DSBUFFERDESC)) + ", flags 0x91,",
                "IDirectSoundBuffer::QueryInterface(" + kListenerGuid, "IDirectSoundBuffer::SetFrequency(44100)",
                "IDirectSoundBuffer::SetPan(0)"}));

  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore + 2);
  EXPECT_EQ(g_krSound.nFreeHint, 1);
  for (int i = 0; i < KRSOUND_BUFFER_MAX; ++i) {
    ASSERT_EQ(g_krSound.lpBuffers[i].lpBuffer, nullptr);
    ASSERT_EQ(g_krSound.lpAutoBuffers[i].lpBuffer, nullptr);
    ASSERT_EQ(g_krSound.lpBuffers[i].szPath[0], '\0');
  }
  ASSERT_NE(g_krSound.lpListener, nullptr);
  EXPECT_EQ(PrimaryState().flags, 0x91u);

  sim::ClearDebugOutput();
  KRSoundCleanup();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRSound : Cleanup", "KRSound : Release DirectSound"}));
  EXPECT_EQ(KRSoundIsStarted(), 0);
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  EXPECT_EQ(sim::LiveSoundBuffers(), 0);
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 0);
  EXPECT_EQ((std::vector<const void*>{g_krSound.lpBuffers, g_krSound.lpAutoBuffers, g_krSound.lpPrimary,
                                      g_krSound.lpListener, g_krSound.lpDirectSound}),
            std::vector<const void*>(5, nullptr));
}

TEST_F(SoundTest, SecondStartupAndCleanupWhileStoppedOnlySetCodes) {
  KRSoundCleanup();
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_SOUND | KRERR_NOTSTARTED));
  ASSERT_EQ(KRSoundStartup(), 1);
  IDirectSound* first = g_krSound.lpDirectSound;
  ForgetCallsAndLog();
  EXPECT_EQ(KRSoundStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_SOUND | KRERR_ALREADYSTARTED));
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  EXPECT_EQ(CallsBesidesLog(), 0u);
  EXPECT_EQ(g_krSound.lpDirectSound, first);
  EXPECT_EQ(KRSoundIsStarted(), 1);
}

TEST_F(SoundTest, DirectSoundThatCannotBeMadeOrInitialisedLeavesNothing) {
  const int heapBefore = sim::LiveHeapBlocks();
  for (const char* step : {"CoCreateInstance", "IDirectSound::Initialize"}) {
    SCOPED_TRACE(step);
    sim::FailNext(step, kGeneric);
    sim::ClearDebugOutput();
    EXPECT_EQ(KRSoundStartup(), 0);
    EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRSound : Startup", "KRSound : DirectSoundCreate"}));
    EXPECT_EQ(KRSoundIsStarted(), 0);
    EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(sim::LiveDirectSoundObjects(), 0);
    EXPECT_EQ(g_krSound.lpBuffers, nullptr);
    EXPECT_EQ(g_krSound.lpAutoBuffers, nullptr);
    EXPECT_EQ(g_krSound.lpDirectSound, nullptr);
    EXPECT_EQ(sim::CountCalls("IDirectSound::SetCooperativeLevel"), 0);
  }
  // Nothing stale stands in the way, and the calls that follow a failure are harmless.
  EXPECT_EQ(KRSoundCreateBuffer(static_cast<const char*>("a.wav")), 0);
  KRSoundCleanup();
  EXPECT_EQ(KRSoundStartup(), 1);
}

TEST_F(SoundTest, ExhaustedHeapStopsStartupBeforeDirectSound) {
  const int heapBefore = sim::LiveHeapBlocks();
  const int tableBytes = KRSOUND_BUFFER_MAX * static_cast<int>(sizeof(KRSOUNDBUFFER)) + 16;
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", " + std::to_string(tableBytes));
  EXPECT_EQ(KRSoundStartup(), 0);
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
  EXPECT_EQ(KRSoundIsStarted(), 0);
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  EXPECT_EQ(sim::CountCalls("CoCreateInstance"), 0);
}

TEST_F(SoundTest, WithoutAPrimaryBufferStartupStillSucceedsAndAsksNoListener) {
  sim::FailNext("IDirectSound::CreateSoundBuffer", DSERR_ALLOCATED);
  sim::ClearDebugOutput();
  ASSERT_EQ(KRSoundStartup(), 1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRSound : Startup", "KRSound : DirectSoundCreate"}));
  EXPECT_EQ(g_krSound.lpPrimary, nullptr);
  EXPECT_EQ(g_krSound.lpListener, nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::QueryInterface"), 0);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::SetFrequency"), 0);

  sim::ClearCalls();
  KRSoundSetMasterVolume(-0.5f);
  KRSoundSetListenerPosition(1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
  IDirectSoundBuffer* primary = reinterpret_cast<IDirectSoundBuffer*>(1);
  KRSoundGetDirectSoundBufferInterface(&primary);
  EXPECT_EQ(primary, nullptr);
  EXPECT_EQ(CallsBesidesLog(), 0u);
  // Buffers are still made.
  EXPECT_EQ(FromMemory(wavebytes::Wave()), 1);
}

TEST_F(SoundTest, WithoutAListenerThePrimaryIsStillSetUpAndListenerSettersDoNothing) {
  sim::FailNext("IDirectSoundBuffer::QueryInterface", E_NOINTERFACE);
  ASSERT_EQ(KRSoundStartup(), 1);
  EXPECT_NE(g_krSound.lpPrimary, nullptr);
  EXPECT_EQ(g_krSound.lpListener, nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::SetFrequency"), 1);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::SetPan"), 1);
  sim::ClearCalls();
  KRSoundSetListenerPosition(1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerOrientation(0, 0, 1, 0, 1, 0, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDistanceFactor(1, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerRolloffFactor(1, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDopplerFactor(1, KRSOUNDAPPLY_IMMEDIATE);
  EXPECT_EQ(CallsBesidesLog(), 0u);
  KRSoundSetMasterVolume(-1.0f);
  EXPECT_EQ(PrimaryState().volume, -10000);
}

TEST_F(SoundTest, CleanupWarnsOfForgottenBuffersInHandleOrderThenReleasesTheRest) {
  StartSound();
  const std::string image = wavebytes::Wave();
  for (int i = 0; i < 5; ++i) ASSERT_EQ(FromMemory(image), i + 1);
  KRSoundReleaseBuffer(2);
  KRSoundReleaseBuffer(4);
  KRSoundPlayBuffer(3);
  ForgetCallsAndLog();
  KRSoundCleanup();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRSound : Cleanup", "KRSound Warning : You didn't release Buffer(1).",
                                                  "KRSound Warning : You didn't release Buffer(3).",
                                                  "KRSound Warning : You didn't release Buffer(5).",
                                                  "KRSound : Release DirectSound"}));
  const std::vector<std::string> perBuffer = {"IDirectSoundBuffer::Stop", "IDirectSound3DBuffer::Release",
                                              "IDirectSoundBuffer::Release"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), perBuffer.begin(), perBuffer.end());
  expected.push_back("IDirectSound3DListener::Release");
  expected.push_back("IDirectSoundBuffer::Release");
  expected.push_back("IDirectSound::Release");
  EXPECT_EQ(SoundCallNames(), expected);
  EXPECT_EQ(sim::LiveSoundBuffers(), 0);
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 0);
}

TEST_F(SoundTest, StartupAfterCleanupBeginsWithEmptyTablesAndTheHintAtOne) {
  StartSound();
  ASSERT_EQ(FromMemory(wavebytes::Wave()), 1);
  ASSERT_EQ(FromMemory(wavebytes::Wave()), 2);
  KRSoundCleanup();
  ASSERT_EQ(KRSoundStartup(), 1);
  EXPECT_EQ(g_krSound.nFreeHint, 1);
  EXPECT_EQ(g_krSound.lpBuffers[1].lpBuffer, nullptr);
  EXPECT_EQ(FromMemory(wavebytes::Wave()), 1);
}

TEST_F(SoundTest, KRCleanupCleansUpAStartedSoundComponentWithItsLine) {
  StartSound();
  ASSERT_EQ(FromMemory(wavebytes::Wave()), 1);
  KRCleanup();
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "KR Warining : You didn't cleanup KRSound");
  EXPECT_EQ(lines[1], "KRSound : Cleanup");
  EXPECT_EQ(lines[2], "KRSound Warning : You didn't release Buffer(1).");
  EXPECT_EQ(KRSoundIsStarted(), 0);
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 0);
}

TEST_F(SoundTest, GettersHandOutDirectSoundAndThePrimaryWithAReference) {
  IDirectSound* directSound = reinterpret_cast<IDirectSound*>(1);
  IDirectSoundBuffer* primary = reinterpret_cast<IDirectSoundBuffer*>(1);
  KRSoundGetDirectSoundInterface(&directSound);
  KRSoundGetDirectSoundBufferInterface(&primary);
  EXPECT_EQ(directSound, nullptr);
  EXPECT_EQ(primary, nullptr);

  StartSound();
  ASSERT_EQ(FromMemory(wavebytes::Wave()), 1);
  KRSoundGetDirectSoundInterface(&directSound);
  KRSoundGetDirectSoundBufferInterface(&primary);
  EXPECT_EQ(directSound, g_krSound.lpDirectSound);
  EXPECT_EQ(primary, g_krSound.lpPrimary);  // the primary, not a buffer of the table
  EXPECT_EQ(sim::CountCalls("IDirectSound::AddRef"), 1);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::AddRef"), 1);
  KRSoundCleanup();
  // The caller's references keep both alive until it lets them go.
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 1);
  EXPECT_EQ(primary->Release(), 0u);
  EXPECT_EQ(directSound->Release(), 0u);

  KRSoundGetDirectSoundInterface(&directSound);
  EXPECT_EQ(directSound, nullptr);
  KRSoundGetDirectSoundInterface(NULL);  // nowhere to store: nothing happens
}

}  // namespace
