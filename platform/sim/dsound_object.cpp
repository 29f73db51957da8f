// The DirectSound object: initialisation on the default device, cooperative
// level, buffer creation with the description and format checked as
// DirectSound checks them, duplication; and its COM class (registered by the
// reset that dsound_identifiers.cpp hooks in).
#include "sim/dsound_internal.h"

#include <mmreg.h>

#include <cstddef>
#include <cstdio>
#include <vector>

namespace sim {
namespace {

uint32_t g_generation = 1;
bool g_classRegistered = false;

int& LiveDirectSoundCount() {
  static int count = 0;
  return count;
}

std::string ArgDescription(LPCDSBUFFERDESC description) {
  if (description == nullptr) return "NULL";
  char text[256];
  std::snprintf(text, sizeof text, "{size %lu, flags 0x%lX, bytes %lu, reserved %lu, format ",
                static_cast<unsigned long>(description->dwSize), static_cast<unsigned long>(description->dwFlags),
                static_cast<unsigned long>(description->dwBufferBytes),
                static_cast<unsigned long>(description->dwReserved));
  std::string result = text;
  const WAVEFORMATEX* format = description->lpwfxFormat;
  if (format == nullptr) return result + "NULL}";
  std::snprintf(text, sizeof text, "{tag %u, channels %u, rate %lu, bytes/s %lu, align %u, bits %u}}",
                format->wFormatTag, format->nChannels, static_cast<unsigned long>(format->nSamplesPerSec),
                static_cast<unsigned long>(format->nAvgBytesPerSec), format->nBlockAlign, format->wBitsPerSample);
  return result + text;
}

// What DirectSound plays: 1 or 2 channels of 8- or 16-bit PCM or of IEEE
// float in whole bytes up to 64 bits, with block alignment and byte rate that
// follow from them.
bool IsPlayable(const WAVEFORMATEX& format) {
  if (format.wFormatTag == WAVE_FORMAT_PCM) {
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
  } else if (format.wFormatTag != WAVE_FORMAT_IEEE_FLOAT || format.wBitsPerSample % 8 != 0 ||
             format.wBitsPerSample == 0 || format.wBitsPerSample > 64) {
    return false;
  }
  if (format.nChannels < 1 || format.nChannels > 2) return false;
  if (format.nSamplesPerSec < DSBFREQUENCY_MIN || format.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
  if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
  return format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

// The record as DirectSound copies it: PCM's first 16 bytes (its cbSize is
// ignored and reads as 0), any other format's 18 bytes and the cbSize bytes
// they announce, so that a record shorter than it claims is read past its end.
std::vector<BYTE> ReadFormat(const WAVEFORMATEX& format) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&format);
  if (format.wFormatTag == WAVE_FORMAT_PCM) {
    std::vector<BYTE> record(bytes, bytes + offsetof(WAVEFORMATEX, cbSize));
    record.resize(sizeof(WAVEFORMATEX), 0);
    return record;
  }
  return std::vector<BYTE>(bytes, bytes + sizeof(WAVEFORMATEX) + format.cbSize);
}

HRESULT CheckDescription(const DSBUFFERDESC& description, const std::vector<BYTE>& format) {
  if (description.dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
  // The primary buffer's size and format are DirectSound's own; what is given is ignored.
  if (description.dwFlags & DSBCAPS_PRIMARYBUFFER) return DS_OK;
  if (description.lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
  if (description.dwBufferBytes < DSBSIZE_MIN || description.dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  if (!IsPlayable(*reinterpret_cast<const WAVEFORMATEX*>(format.data()))) return DSERR_BADFORMAT;
  return DS_OK;
}

class DirectSoundObject : public detail::ComObject<IDirectSound> {
 public:
  DirectSoundObject() : ComObject("IDirectSound", IID_IDirectSound), live_(LiveDirectSoundCount(), Generation) {}
  ~DirectSoundObject() override {
    if (*buffers_ > 0 && live_.Current()) {
      detail::RecordContractViolation("DirectSound object released while " + std::to_string(*buffers_) +
                                      " of its buffers live");
    }
  }

  HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER out,
                                              IUnknown* outer) override {
    auto lock = detail::LockSimulation();
    if (out != nullptr) *out = nullptr;
    if (auto failure = detail::EnterCall("IDirectSound::CreateSoundBuffer",
                                         detail::JoinArgs({ArgDescription(description), detail::ArgPointer(out),
                                                           detail::ArgHandle(outer)}))) {
      return detail::AsHresult(*failure);
    }
    if (description == nullptr || out == nullptr) return DSERR_INVALIDPARAM;
    if (outer != nullptr) return DSERR_NOAGGREGATION;
    if (!initialized_) return DSERR_UNINITIALIZED;
    const bool primary = (description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
    std::vector<BYTE> format;
    if (!primary && description->lpwfxFormat != nullptr) format = ReadFormat(*description->lpwfxFormat);
    const HRESULT checked = CheckDescription(*description, format);
    if (FAILED(checked)) return checked;
    *out = detail::NewSoundBuffer(*description, format, buffers_);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER out) override {
    auto lock = detail::LockSimulation();
    if (out != nullptr) *out = nullptr;
    if (auto failure = detail::EnterCall("IDirectSound::DuplicateSoundBuffer",
                                         detail::JoinArgs({detail::ArgHandle(original), detail::ArgPointer(out)}))) {
      return detail::AsHresult(*failure);
    }
    if (original == nullptr || out == nullptr) return DSERR_INVALIDPARAM;
    if (!initialized_) return DSERR_UNINITIALIZED;
    *out = detail::DuplicateSimSoundBuffer(original, buffers_);
    return *out == nullptr ? DSERR_INVALIDCALL : DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectSound::SetCooperativeLevel",
                                         detail::JoinArgs({detail::ArgHandle(window), detail::ArgDec(level)}))) {
      return detail::AsHresult(*failure);
    }
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    if (!initialized_) return DSERR_UNINITIALIZED;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Initialize(const GUID* device) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectSound::Initialize",
                                         device == nullptr ? std::string("NULL") : detail::ArgGuid(*device))) {
      return detail::AsHresult(*failure);
    }
    if (initialized_) return DSERR_ALREADYINITIALIZED;
    if (device != nullptr) return DSERR_NODRIVER;  // only the default device exists
    initialized_ = true;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS) override { return Unsupported("GetCaps"); }
  HRESULT STDMETHODCALLTYPE Compact() override { return Unsupported("Compact"); }
  HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return Unsupported("GetSpeakerConfig"); }
  HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return Unsupported("SetSpeakerConfig"); }

 private:
  static uint32_t Generation() { return g_generation; }

  static HRESULT Unsupported(const char* method) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall((std::string("IDirectSound::") + method).c_str(), "")) {
      return detail::AsHresult(*failure);
    }
    return DSERR_UNSUPPORTED;
  }

  bool initialized_ = false;
  std::shared_ptr<int> buffers_ = std::make_shared<int>(0);  // its buffers still alive
  detail::LiveTally live_;
};

HRESULT CreateDirectSoundObject(REFIID iid, void** object) {
  if (iid != IID_IDirectSound && iid != IID_IUnknown) return E_NOINTERFACE;
  *object = static_cast<IDirectSound*>(new DirectSoundObject());
  return S_OK;
}

}  // namespace

namespace detail {

void ResetDirectSound() {
  ++g_generation;
  LiveDirectSoundCount() = 0;
  LiveSoundBufferCount() = 0;
  ForgetSoundBuffers();
  if (!g_classRegistered) {
    g_classRegistered = true;
    RegisterBuiltinComClass(CLSID_DirectSound, CreateDirectSoundObject);
  }
}

uint32_t DirectSoundGeneration() { return g_generation; }

int& LiveSoundBufferCount() {
  static int count = 0;
  return count;
}

std::string ArgFloat(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string ArgVector(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  return "(" + ArgFloat(x) + ", " + ArgFloat(y) + ", " + ArgFloat(z) + ")";
}

}  // namespace detail

int LiveDirectSoundObjects() {
  auto lock = detail::LockSimulation();
  return LiveDirectSoundCount();
}

int LiveSoundBuffers() {
  auto lock = detail::LockSimulation();
  return detail::LiveSoundBufferCount();
}

namespace {
const bool kObjectsCounted = detail::AddLiveCounter("DirectSound objects", LiveDirectSoundObjects);
const bool kBuffersCounted = detail::AddLiveCounter("sound buffers", LiveSoundBuffers);
}  // namespace

}  // namespace sim
