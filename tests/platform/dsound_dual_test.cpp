// DirectSound 6 as Windows has it: the object needs Initialize before it makes
// buffers; descriptions and formats (PCM and IEEE float) are checked; the
// primary buffer refuses frequency and pan and hands out the listener; a
// secondary buffer's bytes are locked, shared by a duplicate, played once and
// stopped; volumes outside the range are refused and the old one stays.
#include <windows.h>
#include <dsound.h>
#include <mmreg.h>
#include <objbase.h>

#include <cstring>

#include "tests/platform/dual_fixture.h"

namespace {

class DualDirectSound : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound,
                               reinterpret_cast<void**>(&directSound_)),
              S_OK);
  }
  void TearDown() override {
    if (buffer_ != nullptr) buffer_->Release();
    if (directSound_ != nullptr) directSound_->Release();
    CoUninitialize();
    DualTest::TearDown();
  }

  void Initialize() {
    ASSERT_EQ(directSound_->Initialize(nullptr), DS_OK);
    ASSERT_EQ(directSound_->SetCooperativeLevel(GetDesktopWindow(), DSSCL_NORMAL), DS_OK);
  }

  // A mono 16-bit 22050 Hz description of `bytes` sample bytes.
  DSBUFFERDESC Secondary(DWORD bytes) {
    memset(&format_, 0, sizeof(format_));
    format_.wFormatTag = WAVE_FORMAT_PCM;
    format_.nChannels = 1;
    format_.nSamplesPerSec = 22050;
    format_.wBitsPerSample = 16;
    format_.nBlockAlign = 2;
    format_.nAvgBytesPerSec = 44100;
    DSBUFFERDESC description;
    memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = 0xF2;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format_;
    return description;
  }

  static DSBUFFERDESC Primary() {
    DSBUFFERDESC description;
    memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
    return description;
  }

  IDirectSound* directSound_ = nullptr;
  IDirectSoundBuffer* buffer_ = nullptr;
  WAVEFORMATEX format_;
};

TEST_F(DualDirectSound, BuffersOnlyAfterInitialize) {
  DSBUFFERDESC description = Secondary(100);
  EXPECT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DSERR_UNINITIALIZED);
  EXPECT_EQ(buffer_, nullptr);
  Initialize();
  EXPECT_EQ(directSound_->Initialize(nullptr), DSERR_ALREADYINITIALIZED);
  ASSERT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DS_OK);
}

TEST_F(DualDirectSound, DescriptionsAreChecked) {
  Initialize();
  DSBUFFERDESC description = Secondary(100);
  description.dwSize = 16;
  EXPECT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DSERR_INVALIDPARAM);
  description = Secondary(2);
  EXPECT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DSERR_INVALIDPARAM);
  description = Secondary(100);
  description.lpwfxFormat = nullptr;
  EXPECT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer_, nullptr);

  // IEEE float plays too, its record followed by the cbSize bytes it announces;
  // ADPCM does not.
  BYTE record[sizeof(WAVEFORMATEX) + 22] = {};
  WAVEFORMATEX* format = reinterpret_cast<WAVEFORMATEX*>(record);
  *format = {2, 1, 22050, 44100, 2, 16, 22};
  description.lpwfxFormat = format;
  EXPECT_TRUE(FAILED(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr)));
  *format = {WAVE_FORMAT_IEEE_FLOAT, 1, 22050, 66150, 3, 24, 22};
  ASSERT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DS_OK);
}

TEST_F(DualDirectSound, PrimaryRefusesFrequencyAndPanAndHandsOutTheListener) {
  Initialize();
  DSBUFFERDESC description = Primary();
  ASSERT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DS_OK);
  EXPECT_EQ(buffer_->SetFrequency(44100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(buffer_->SetPan(0), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(buffer_->SetVolume(-2928), DS_OK);
  EXPECT_EQ(buffer_->SetVolume(-20000), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer_->SetVolume(1), DSERR_INVALIDPARAM);
  LONG volume = 1;
  EXPECT_EQ(buffer_->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -2928);

  IDirectSound3DListener* listener = nullptr;
  ASSERT_EQ(buffer_->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)), S_OK);
  IDirectSound3DBuffer* notThere = nullptr;
  EXPECT_EQ(buffer_->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&notThere)), E_NOINTERFACE);
  EXPECT_EQ(listener->SetPosition(1.0f, 2.0f, -3.0f, DS3D_IMMEDIATE), DS_OK);
  EXPECT_EQ(listener->SetDistanceFactor(0.5f, DS3D_IMMEDIATE), DS_OK);
  D3DVECTOR position;
  EXPECT_EQ(listener->GetPosition(&position), DS_OK);
  EXPECT_EQ(position.z, -3.0f);
  D3DVALUE factor = 0.0f;
  EXPECT_EQ(listener->GetDistanceFactor(&factor), DS_OK);
  EXPECT_EQ(factor, 0.5f);
  listener->Release();
}

TEST_F(DualDirectSound, SecondaryBytesAreLockedSharedByADuplicateAndPlayedOnce) {
  Initialize();
  DSBUFFERDESC description = Secondary(44100);  // a second of sound
  ASSERT_EQ(directSound_->CreateSoundBuffer(&description, &buffer_, nullptr), DS_OK);
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  ASSERT_EQ(buffer_->Lock(0, 44100, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(bytes1, 44100u);
  EXPECT_EQ(bytes2, 0u);
  memset(part1, 0x5A, bytes1);
  EXPECT_EQ(buffer_->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_EQ(buffer_->Lock(44100, 4, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);

  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(directSound_->DuplicateSoundBuffer(buffer_, &duplicate), DS_OK);
  ASSERT_EQ(duplicate->Lock(0, 16, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(static_cast<BYTE*>(part1)[15], 0x5A);
  EXPECT_EQ(duplicate->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  IDirectSound3DBuffer* threeD = nullptr;
  ASSERT_EQ(duplicate->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&threeD)), S_OK);
  EXPECT_EQ(threeD->SetConeOrientation(0.0f, 1.0f, 0.0f, DS3D_IMMEDIATE), DS_OK);
  D3DVECTOR cone;
  EXPECT_EQ(threeD->GetConeOrientation(&cone), DS_OK);
  EXPECT_EQ(cone.y, 1.0f);
  threeD->Release();
  duplicate->Release();

  EXPECT_EQ(buffer_->SetCurrentPosition(0), DS_OK);
  EXPECT_EQ(buffer_->Play(0, 0, 0), DS_OK);
  DWORD status = 0;
  EXPECT_EQ(buffer_->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, static_cast<DWORD>(DSBSTATUS_PLAYING));
  EXPECT_EQ(buffer_->Stop(), DS_OK);
  EXPECT_EQ(buffer_->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(buffer_->SetVolume(-5000), DS_OK);
  EXPECT_EQ(buffer_->SetVolume(-10001), DSERR_INVALIDPARAM);
  LONG volume = 0;
  EXPECT_EQ(buffer_->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -5000);
}

}  // namespace
