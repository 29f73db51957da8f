// The simulated DirectSound's own rules beyond what Wine shows in the dual
// tests: a lock split in two, a one-shot play reaching its end, the apply flag
// recorded, formats refused, duplicates and their memory, and the breaches it
// records instead of tidying up.
#include <gtest/gtest.h>
#include <windows.h>
#include <dsound.h>

#include <cstring>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

class SimDirectSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    leaks_.TakeBaseline();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound,
                               reinterpret_cast<void**>(&directSound_)),
              S_OK);
    ASSERT_EQ(directSound_->Initialize(nullptr), DS_OK);
  }
  void TearDown() override {
    if (directSound_ != nullptr) directSound_->Release();
    CoUninitialize();
    leaks_.ExpectNothingLeft();
  }

  // A buffer of format_.
  DSBUFFERDESC Description(DWORD bytes, DWORD flags) {
    DSBUFFERDESC description;
    memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = flags;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format_;
    return description;
  }

  IDirectSoundBuffer* Make(DWORD bytes, WORD bits = 16, DWORD flags = 0xF2) {
    format_ = {WAVE_FORMAT_PCM, 1, 22050, 22050u * bits / 8, static_cast<WORD>(bits / 8), bits, 0};
    DSBUFFERDESC description = Description(bytes, flags);
    IDirectSoundBuffer* buffer = nullptr;
    result_ = directSound_->CreateSoundBuffer(&description, &buffer, nullptr);
    return buffer;
  }

  static sim::SoundBufferState State(IDirectSoundBuffer* buffer) {
    sim::SoundBufferState state;
    EXPECT_TRUE(sim::SoundBuffer(buffer, &state));
    return state;
  }

  IDirectSound* directSound_ = nullptr;
  WAVEFORMATEX format_;
  HRESULT result_ = S_OK;
  LeakCheck leaks_;
};

TEST_F(SimDirectSoundTest, SplitLockHandsOutTwoPartsThatUnlockOnlyAsGiven) {
  IDirectSoundBuffer* buffer = Make(10);
  ASSERT_NE(buffer, nullptr);
  sim::SplitNextSoundLock(4);
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  ASSERT_EQ(buffer->Lock(0, 10, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(bytes1, 4u);
  EXPECT_EQ(bytes2, 6u);
  EXPECT_EQ(static_cast<BYTE*>(part2), static_cast<BYTE*>(part1) + 4);
  memset(part1, 1, bytes1);
  memset(part2, 2, bytes2);
  EXPECT_EQ(buffer->Lock(0, 2, &part1, &bytes1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);  // locked already
  EXPECT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_EQ(State(buffer).samples, (std::vector<BYTE>{1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));
  // Without a split, one part and no second.
  ASSERT_EQ(buffer->Lock(0, 10, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(bytes1, 10u);
  EXPECT_EQ(part2, nullptr);
  EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  buffer->Release();
}

TEST_F(SimDirectSoundTest, OneShotPlayEndsByItselfAndLoopingShowsInTheStatus) {
  IDirectSoundBuffer* buffer = Make(100);
  DWORD status = 0;
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  sim::EndSoundPlayback(buffer);
  EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(buffer->SetCurrentPosition(100), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetCurrentPosition(99), DS_OK);
  EXPECT_EQ(State(buffer).position, 99u);
  buffer->Release();
}

TEST_F(SimDirectSoundTest, FormatsDirectSoundCannotPlayAreRefused) {
  EXPECT_EQ(Make(100, 12), nullptr);
  EXPECT_EQ(result_, DSERR_BADFORMAT);
  format_.nAvgBytesPerSec = 1;
  IDirectSoundBuffer* buffer = nullptr;
  DSBUFFERDESC description = Description(100, 0);
  EXPECT_EQ(directSound_->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_BADFORMAT);
  EXPECT_EQ(buffer, nullptr);
}

TEST_F(SimDirectSoundTest, ThreeDSettersRecordTheApplyFlagAndRefuseOthers) {
  IDirectSoundBuffer* buffer = Make(100);
  IDirectSound3DBuffer* threeD = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&threeD)), S_OK);
  EXPECT_EQ(threeD->SetPosition(1, 2, 3, DS3D_DEFERRED), DS_OK);
  EXPECT_EQ(threeD->SetPosition(4, 5, 6, 2), DSERR_INVALIDPARAM);
  sim::Sound3DBufferState state;
  ASSERT_TRUE(sim::Sound3DBuffer(threeD, &state));
  EXPECT_EQ(state.position.apply, static_cast<DWORD>(DS3D_DEFERRED));
  EXPECT_EQ(state.position.vector.x, 1.0f);
  EXPECT_EQ(state.position.calls, 1);
  buffer->Release();  // the 3D interface keeps the buffer alive
  EXPECT_EQ(sim::LiveSoundBuffers(), 1);
  threeD->Release();
  EXPECT_EQ(sim::LiveSoundBuffers(), 0);

  IDirectSoundBuffer* plain = Make(100, 16, DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME);
  EXPECT_EQ(plain->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&threeD)), E_NOINTERFACE);
  EXPECT_EQ(plain->SetPan(0), DSERR_CONTROLUNAVAIL);
  plain->Release();
}

TEST_F(SimDirectSoundTest, DuplicatesShareMemoryButNotTheirState) {
  IDirectSoundBuffer* buffer = Make(8);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(directSound_->DuplicateSoundBuffer(buffer, &duplicate), DS_OK);
  EXPECT_EQ(State(duplicate).sampleMemory, State(buffer).sampleMemory);
  EXPECT_EQ(duplicate->SetVolume(-100), DS_OK);
  EXPECT_EQ(State(buffer).volume, 0);
  EXPECT_EQ(State(duplicate).format.nSamplesPerSec, 22050u);
  buffer->Release();
  EXPECT_EQ(State(duplicate).samples.size(), 8u);
  duplicate->Release();
}

TEST_F(SimDirectSoundTest, ReleasingDirectSoundUnderLiveBuffersIsABreach) {
  IDirectSoundBuffer* buffer = Make(8);
  directSound_->Release();
  directSound_ = nullptr;
  ASSERT_EQ(sim::ContractViolations().size(), 1u);
  EXPECT_EQ(sim::ContractViolations()[0], "DirectSound object released while 1 of its buffers live");
  sim::ClearContractViolations();
  buffer->Release();
}

}  // namespace
