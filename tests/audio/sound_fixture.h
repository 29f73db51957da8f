// Shared by the sound component's host tests: a started library on a test
// window, sound not yet started, WAVE files in the sandbox, and readers of the
// log, the DirectSound calls and the buffers DirectSound holds.
#ifndef KR_TESTS_AUDIO_SOUND_FIXTURE_H
#define KR_TESTS_AUDIO_SOUND_FIXTURE_H

#include <string>
#include <vector>

#include "audio/sound_state.h"
#include "platform/sim/dsound_control.h"
#include "support/started_library_test.h"
#include "tests/audio/wave_bytes.h"

class SoundTest : public StartedLibraryTest {
 protected:

  void StartSound() {
    ASSERT_EQ(KRSoundStartup(), 1);
    ForgetCallsAndLog();
  }

  // The log's lines without their line ends and without the last-error diagnostics.
  static std::vector<std::string> LogLines() { return DebugOutputLines(true); }

  // The DirectSound calls, "Interface::Method(arguments)", in order.
  static std::vector<std::string> SoundCalls() {
    std::vector<std::string> calls;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind("IDirectSound", 0) == 0) calls.push_back(call.function + "(" + call.arguments + ")");
    }
    return calls;
  }

  // Platform calls other than the log's own output.
  static size_t CallsBesidesLog() {
    return sim::Calls().size() - static_cast<size_t>(sim::CountCalls("OutputDebugStringA"));
  }

  static std::vector<std::string> SoundCallNames() {
    std::vector<std::string> names;
    for (const std::string& call : SoundCalls()) names.push_back(call.substr(0, call.find('(')));
    return names;
  }

  // A buffer from the image in memory.
  static int FromMemory(std::string image) { return KRSoundCreateBuffer(static_cast<void*>(&image[0])); }

  static sim::SoundBufferState BufferState(int handle) {
    sim::SoundBufferState state;
    EXPECT_TRUE(sim::SoundBuffer(g_krSound.lpBuffers[handle].lpBuffer, &state)) << "handle " << handle;
    return state;
  }

  static sim::SoundBufferState PrimaryState() {
    sim::SoundBufferState state;
    EXPECT_TRUE(sim::SoundBuffer(g_krSound.lpPrimary, &state));
    return state;
  }

  // Fills handles 1 to 63 from memory.
  static void FillTable() {
    const std::string image = wavebytes::Wave(8);
    for (int handle = 1; handle < KRSOUND_BUFFER_MAX; ++handle) ASSERT_EQ(FromMemory(image), handle);
  }

};

#endif
