// Volume and 3D sound: the master curve and its clamp, the buffer volume and
// its clamp, the apply flag handed on unchanged, the cone orientation, and bad
// handles.
#include <cmath>
#include <string>
#include <vector>

#include "tests/audio/sound_fixture.h"

namespace {

class SoundVolumeTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    StartSound();
    ASSERT_EQ(FromMemory(wavebytes::Wave()), 1);
    sim::ClearCalls();
  }

  static LONG MasterFor(float volume) {
    KRSoundSetMasterVolume(volume);
    return PrimaryState().volume;
  }

  static sim::SoundListenerState Listener() {
    sim::SoundListenerState state;
    EXPECT_TRUE(sim::SoundListener(g_krSound.lpListener, &state));
    return state;
  }

  static sim::Sound3DBufferState Buffer3D(int handle) {
    sim::Sound3DBufferState state;
    EXPECT_TRUE(sim::Sound3DBuffer(g_krSound.lpBuffers[handle].lp3DBuffer, &state));
    return state;
  }
};

TEST_F(SoundVolumeTest, MasterCurveFollowsTheTable) {
  EXPECT_EQ(MasterFor(-0.25f), -761);
  EXPECT_EQ(MasterFor(-0.5f), -2928);
  EXPECT_EQ(MasterFor(-0.75f), -6173);
  EXPECT_EQ(MasterFor(-1.0f), -10000);
  EXPECT_EQ(MasterFor(0.0f), 0);
  EXPECT_EQ(MasterFor(-0.1f), -123);  // truncated toward zero: -123.1
  EXPECT_EQ(SoundCalls()[0], "IDirectSoundBuffer::SetVolume(-761)");
}

TEST_F(SoundVolumeTest, MasterVolumeIsClampedToItsScale) {
  EXPECT_EQ(MasterFor(0.5f), 0);
  MasterFor(-0.5f);
  // Below -1 the curve would climb again (-4 would be full volume): silence instead.
  EXPECT_EQ(MasterFor(-4.0f), -10000);
  MasterFor(-0.5f);
  EXPECT_EQ(MasterFor(-2.0f), -10000);
  EXPECT_EQ(MasterFor(std::nanf("")), -10000) << "not a number changes nothing";
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::SetVolume"), 5);
}

TEST_F(SoundVolumeTest, BufferVolumeIsLinearClampedAndTheFloatKept) {
  KRSoundSetBufferVolume(1, -0.5f);
  EXPECT_EQ(BufferState(1).volume, -5000);
  EXPECT_EQ(g_krSound.lpBuffers[1].fVolume, -0.5f);
  KRSoundSetBufferVolume(1, -0.7f);
  EXPECT_EQ(BufferState(1).volume, -6999);  // the float's exact product, -6999.9998..., truncated
  KRSoundSetBufferVolume(1, -2.5f);
  EXPECT_EQ(BufferState(1).volume, -10000);
  EXPECT_EQ(g_krSound.lpBuffers[1].fVolume, -2.5f);
  KRSoundSetBufferVolume(1, 0.25f);
  KRSoundSetBufferVolume(1, -std::nanf(""));  // changes nothing
  EXPECT_EQ(BufferState(1).volume, 0);
  EXPECT_EQ(g_krSound.lpBuffers[1].fVolume, 0.25f);
  EXPECT_EQ(SoundCalls(), (std::vector<std::string>{
                              "IDirectSoundBuffer::SetVolume(-5000)", "IDirectSoundBuffer::SetVolume(-6999)",
                              "IDirectSoundBuffer::SetVolume(-10000)", "IDirectSoundBuffer::SetVolume(0)"}));
  EXPECT_EQ(PrimaryState().volume, 0);  // the primary is left alone
}

TEST_F(SoundVolumeTest, ListenerSettersPassValuesAndTheApplyFlagUnchanged) {
  KRSoundSetListenerPosition(1.5f, -2.0f, 3.25f, KRSOUNDAPPLY_DEFERRED);
  KRSoundSetListenerOrientation(0, 0, 1, 0, 1, 0, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDistanceFactor(0.5f, KRSOUNDAPPLY_DEFERRED);
  KRSoundSetListenerRolloffFactor(2.0f, KRSOUNDAPPLY_IMMEDIATE);
  KRSoundSetListenerDopplerFactor(3.0f, KRSOUNDAPPLY_DEFERRED);
  EXPECT_EQ(SoundCalls(), (std::vector<std::string>{"IDirectSound3DListener::SetPosition((1.5, -2, 3.25), 1)",
                                                    "IDirectSound3DListener::SetOrientation((0, 0, 1), (0, 1, 0), 0)",
                                                    "IDirectSound3DListener::SetDistanceFactor(0.5, 1)",
                                                    "IDirectSound3DListener::SetRolloffFactor(2, 0)",
                                                    "IDirectSound3DListener::SetDopplerFactor(3, 1)"}));
  const sim::SoundListenerState listener = Listener();
  EXPECT_EQ(listener.position.apply, 1u);
  EXPECT_EQ(listener.orientation.second.y, 1.0f);
  EXPECT_EQ(listener.distanceFactor.factor, 0.5f);
  EXPECT_EQ(listener.rolloffFactor.factor, 2.0f);
  EXPECT_EQ(listener.dopplerFactor.factor, 3.0f);
  EXPECT_EQ(listener.commits, 0);  // deferred settings wait for a commit nobody makes
}

TEST_F(SoundVolumeTest, BufferPositionAndConeOrientationGoToThe3DBuffer) {
  KRSoundSetBufferPosition(1, 4.0f, 5.0f, -6.0f, KRSOUNDAPPLY_DEFERRED);
  KRSoundSetBufferOrientation(1, 0.0f, 1.0f, 0.0f, KRSOUNDAPPLY_IMMEDIATE);
  EXPECT_EQ(SoundCalls(), (std::vector<std::string>{"IDirectSound3DBuffer::SetPosition((4, 5, -6), 1)",
                                                    "IDirectSound3DBuffer::SetConeOrientation((0, 1, 0), 0)"}));
  const sim::Sound3DBufferState state = Buffer3D(1);
  EXPECT_EQ(state.position.vector.z, -6.0f);
  EXPECT_EQ(state.position.apply, 1u);
  EXPECT_EQ(state.coneOrientation.vector.y, 1.0f);
  EXPECT_EQ(state.coneOrientation.apply, 0u);
}

TEST_F(SoundVolumeTest, BadHandlesOfTheBufferSettersOnlyWarn) {
  KRSoundReleaseBuffer(1);
  ForgetCallsAndLog();
  for (int handle : {64, 0, 1}) {
    KRSoundSetBufferVolume(handle, -0.5f);
    KRSoundSetBufferPosition(handle, 1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
    KRSoundSetBufferOrientation(handle, 1, 2, 3, KRSOUNDAPPLY_IMMEDIATE);
  }
  EXPECT_EQ(CallsBesidesLog(), 0u);
  std::vector<std::string> expected;
  for (const char* handle : {"64", "0", "1"}) {
    for (const char* what : {"volume", "position", "orientation"}) {
      expected.push_back(std::string("KRSound Warning : Set buffer ") + what + " to NULL or ills Buffer(" + handle +
                         ").");
    }
  }
  EXPECT_EQ(LogLines(), expected);
  EXPECT_EQ(g_krSound.lpBuffers[1].fVolume, 0.0f);
}

}  // namespace
