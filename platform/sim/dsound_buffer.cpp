// Sound buffers: real sample memory (shared by duplicates) that Lock hands
// out, play state, volume, pan and frequency as DirectSound keeps them, and
// the 3D interfaces: the listener of a primary buffer and the 3D buffer of a
// secondary one, which record what they are given with its apply flag.
#include "sim/dsound_internal.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace sim {
namespace {

class SoundBufferObject;

std::vector<SoundBufferObject*> g_buffers;  // live buffers of the current machine
DWORD g_nextLockSplit = 0;                  // 0: the next lock is not split

uint32_t Generation() { return detail::DirectSoundGeneration(); }

class SoundBufferObject : public detail::ComObject<IDirectSoundBuffer> {
 public:
  SoundBufferObject(const DSBUFFERDESC& description, const std::vector<BYTE>& format,
                    std::shared_ptr<std::vector<BYTE>> samples, std::shared_ptr<int> ownerBuffers)
      : ComObject("IDirectSoundBuffer", IID_IDirectSoundBuffer),
        samples_(std::move(samples)),
        ownerBuffers_(std::move(ownerBuffers)),
        live_(detail::LiveSoundBufferCount(), Generation) {
    description_ = description;
    description_.lpwfxFormat = nullptr;  // the caller's record is gone after the call
    state_.descriptionSize = description.dwSize;
    state_.flags = description.dwFlags;
    state_.bufferBytes = description.dwBufferBytes;
    state_.reserved = description.dwReserved;
    if (!format.empty()) {
      state_.formatRecord = format;
      std::memcpy(&state_.format, format.data(), sizeof(WAVEFORMATEX));
      state_.frequency = state_.format.nSamplesPerSec;
    } else {
      // The primary buffer's own format until SetFormat.
      state_.format = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
      state_.frequency = 22050;
    }
    ++*ownerBuffers_;
    g_buffers.push_back(this);
  }
  ~SoundBufferObject() override {
    if (!live_.Current()) return;
    --*ownerBuffers_;
    g_buffers.erase(std::remove(g_buffers.begin(), g_buffers.end(), this), g_buffers.end());
    if (state_.locked) detail::RecordContractViolation("sound buffer released while locked");
  }

  bool Primary() const { return (state_.flags & DSBCAPS_PRIMARYBUFFER) != 0; }
  bool Has(DWORD control) const { return (state_.flags & control) != 0; }

  SoundBufferState Snapshot() const {
    SoundBufferState state = state_;
    state.samples = *samples_;
    state.sampleMemory = samples_->data();
    return state;
  }

  SoundBufferObject* Duplicate(std::shared_ptr<int> ownerBuffers) {
    auto* copy = new SoundBufferObject(description_, state_.formatRecord, samples_, std::move(ownerBuffers));
    copy->state_.format = state_.format;
    copy->state_.frequency = state_.frequency;
    copy->state_.duplicate = true;
    return copy;
  }

  void EndPlayback() { state_.playing = state_.looping = false; }

  SoundListenerState listener;
  Sound3DBufferState threeD;

  // ---- IDirectSoundBuffer ------------------------------------------------------------
  HRESULT STDMETHODCALLTYPE GetVolume(LPLONG volume) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetVolume", detail::ArgPointer(volume))) return *failure;
    if (volume == nullptr) return DSERR_INVALIDPARAM;
    if (!Has(DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = state_.volume;
    return DS_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPan(LPLONG pan) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetPan", detail::ArgPointer(pan))) return *failure;
    if (pan == nullptr) return DSERR_INVALIDPARAM;
    if (!Has(DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = state_.pan;
    return DS_OK;
  }
  HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD frequency) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetFrequency", detail::ArgPointer(frequency))) return *failure;
    if (frequency == nullptr) return DSERR_INVALIDPARAM;
    if (!Has(DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    *frequency = state_.frequency;
    return DS_OK;
  }
  HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetStatus", detail::ArgPointer(status))) return *failure;
    if (status == nullptr) return DSERR_INVALIDPARAM;
    *status = (state_.playing ? DSBSTATUS_PLAYING : 0) | (state_.looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("GetCurrentPosition", detail::JoinArgs({detail::ArgPointer(play),
                                                                     detail::ArgPointer(write)}))) {
      return *failure;
    }
    if (play != nullptr) *play = state_.position;
    if (write != nullptr) *write = state_.position;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                                 LPDWORD bytes2, DWORD flags) override {
    auto lock = detail::LockSimulation();
    const std::string arguments =
        detail::JoinArgs({detail::ArgDec(offset), detail::ArgDec(bytes), detail::ArgPointer(part1),
                          detail::ArgPointer(bytes1), detail::ArgPointer(part2), detail::ArgPointer(bytes2),
                          detail::ArgHex(flags)});
    if (auto failure = Enter("Lock", arguments)) return *failure;
    if (part1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
    if (Primary()) return DSERR_PRIOLEVELNEEDED;  // only DSSCL_WRITEPRIMARY may write the primary
    const DWORD size = static_cast<DWORD>(samples_->size());
    if (flags & DSBLOCK_ENTIREBUFFER) {
      offset = 0;
      bytes = size;
    }
    if (offset >= size || bytes == 0 || bytes > size || state_.locked) return DSERR_INVALIDPARAM;
    DWORD first = std::min(bytes, size - offset);
    if (g_nextLockSplit != 0 && g_nextLockSplit < first) first = g_nextLockSplit;
    g_nextLockSplit = 0;
    const DWORD rest = bytes - first;
    if (rest != 0 && (part2 == nullptr || bytes2 == nullptr)) return DSERR_INVALIDPARAM;
    *part1 = samples_->data() + offset;
    *bytes1 = first;
    lockedParts_[0] = *part1;
    lockedParts_[1] = nullptr;
    if (part2 != nullptr) *part2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    if (rest != 0) {
      // A split lock goes on after the first part, wrapping at the ring's end.
      *part2 = samples_->data() + (offset + first) % size;
      *bytes2 = rest;
      lockedParts_[1] = *part2;
    }
    lockedBytes_[0] = first;
    lockedBytes_[1] = rest;
    state_.locked = true;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Unlock", detail::JoinArgs({detail::ArgHandle(part1), detail::ArgDec(bytes1),
                                                         detail::ArgHandle(part2), detail::ArgDec(bytes2)}))) {
      return *failure;
    }
    if (!state_.locked || part1 != lockedParts_[0] || part2 != lockedParts_[1] || bytes1 > lockedBytes_[0] ||
        bytes2 > lockedBytes_[1]) {
      return DSERR_INVALIDPARAM;
    }
    state_.locked = false;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Play(DWORD reserved1, DWORD priority, DWORD flags) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Play", detail::JoinArgs({detail::ArgDec(reserved1), detail::ArgDec(priority),
                                                       detail::ArgHex(flags)}))) {
      return *failure;
    }
    if (reserved1 != 0 || priority != 0) return DSERR_INVALIDPARAM;
    if (Primary() && !(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    state_.playing = true;
    state_.looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetCurrentPosition", detail::ArgDec(position))) return *failure;
    if (Primary()) return DSERR_INVALIDCALL;
    if (position >= samples_->size()) return DSERR_INVALIDPARAM;
    state_.position = position;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetVolume", detail::ArgDec(volume))) return *failure;
    if (!Has(DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;  // the old volume stays
    state_.volume = volume;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetPan", detail::ArgDec(pan))) return *failure;
    if (Primary() || !Has(DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    state_.pan = pan;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("SetFrequency", detail::ArgDec(frequency))) return *failure;
    if (Primary() || !Has(DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency != 0 && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) return DSERR_INVALIDPARAM;
    state_.frequency = frequency == 0 ? state_.format.nSamplesPerSec : frequency;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Stop() override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Stop", "")) return *failure;
    state_.playing = state_.looping = false;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS) override { return Unsupported("GetCaps"); }
  HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return Unsupported("GetFormat"); }
  HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter("Initialize", "")) return *failure;
    return DSERR_ALREADYINITIALIZED;
  }
  HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX) override { return Unsupported("SetFormat"); }
  HRESULT STDMETHODCALLTYPE Restore() override { return Unsupported("Restore"); }

 protected:
  HRESULT Answer(REFIID iid, void** object) override;

 private:
  std::optional<HRESULT> Enter(const char* method, const std::string& arguments) {
    if (auto failure = detail::EnterCall((std::string("IDirectSoundBuffer::") + method).c_str(), arguments)) {
      return detail::AsHresult(*failure);
    }
    return std::nullopt;
  }
  HRESULT Unsupported(const char* method) {
    auto lock = detail::LockSimulation();
    if (auto failure = Enter(method, "")) return *failure;
    return DSERR_UNSUPPORTED;
  }

  DSBUFFERDESC description_;
  SoundBufferState state_;
  std::shared_ptr<std::vector<BYTE>> samples_;
  std::shared_ptr<int> ownerBuffers_;
  void* lockedParts_[2] = {nullptr, nullptr};
  DWORD lockedBytes_[2] = {0, 0};
  detail::LiveTally live_;
};

SoundBufferObject* FindBuffer(const void* buffer) {
  for (SoundBufferObject* candidate : g_buffers) {
    if (static_cast<const IDirectSoundBuffer*>(candidate) == buffer) return candidate;
  }
  return nullptr;
}

// A 3D interface of a buffer: its own COM object that holds the buffer alive.
template <typename Interface>
class Sound3DObject : public detail::ComObject<Interface> {
 public:
  Sound3DObject(const char* name, REFIID iid, SoundBufferObject* owner)
      : detail::ComObject<Interface>(name, iid), owner_(owner), name_(name) {
    owner_->Hold();
  }
  ~Sound3DObject() override { owner_->Drop(); }

  SoundBufferObject* Owner() const { return owner_; }

 protected:
  // Records "<name>::<method>(arguments)" and stores the value unless a failure is armed.
  HRESULT Set(const char* method, Sound3DValue& value, const D3DVECTOR& vector, const D3DVECTOR& second,
              float factor, DWORD apply, const std::string& arguments) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall((std::string(name_) + "::" + method).c_str(),
                                         detail::JoinArgs({arguments, detail::ArgDec(apply)}))) {
      return detail::AsHresult(*failure);
    }
    if (apply != DS3D_IMMEDIATE && apply != DS3D_DEFERRED) return DSERR_INVALIDPARAM;
    value.vector = vector;
    value.second = second;
    value.factor = factor;
    value.apply = apply;
    ++value.calls;
    return DS_OK;
  }
  HRESULT Unsupported(const char* method) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall((std::string(name_) + "::" + method).c_str(), "")) {
      return detail::AsHresult(*failure);
    }
    return DSERR_UNSUPPORTED;
  }
  // Copies a stored value out (as Wine does, deferred ones too).
  HRESULT Get(const char* method, const void* out) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall((std::string(name_) + "::" + method).c_str(), detail::ArgPointer(out))) {
      return detail::AsHresult(*failure);
    }
    return out == nullptr ? DSERR_INVALIDPARAM : DS_OK;
  }

 private:
  SoundBufferObject* owner_;
  const char* name_;
};

D3DVECTOR Vector(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  D3DVECTOR vector;
  vector.x = x;
  vector.y = y;
  vector.z = z;
  return vector;
}

class ListenerObject : public Sound3DObject<IDirectSound3DListener> {
 public:
  explicit ListenerObject(SoundBufferObject* owner)
      : Sound3DObject("IDirectSound3DListener", IID_IDirectSound3DListener, owner) {}

  HRESULT STDMETHODCALLTYPE SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
    return Set("SetPosition", State().position, Vector(x, y, z), {}, 0.0f, apply, detail::ArgVector(x, y, z));
  }
  HRESULT STDMETHODCALLTYPE SetOrientation(D3DVALUE xf, D3DVALUE yf, D3DVALUE zf, D3DVALUE xt, D3DVALUE yt,
                                           D3DVALUE zt, DWORD apply) override {
    return Set("SetOrientation", State().orientation, Vector(xf, yf, zf), Vector(xt, yt, zt), 0.0f, apply,
               detail::JoinArgs({detail::ArgVector(xf, yf, zf), detail::ArgVector(xt, yt, zt)}));
  }
  HRESULT STDMETHODCALLTYPE SetDistanceFactor(D3DVALUE factor, DWORD apply) override {
    return Set("SetDistanceFactor", State().distanceFactor, {}, {}, factor, apply, detail::ArgFloat(factor));
  }
  HRESULT STDMETHODCALLTYPE SetRolloffFactor(D3DVALUE factor, DWORD apply) override {
    return Set("SetRolloffFactor", State().rolloffFactor, {}, {}, factor, apply, detail::ArgFloat(factor));
  }
  HRESULT STDMETHODCALLTYPE SetDopplerFactor(D3DVALUE factor, DWORD apply) override {
    return Set("SetDopplerFactor", State().dopplerFactor, {}, {}, factor, apply, detail::ArgFloat(factor));
  }
  HRESULT STDMETHODCALLTYPE CommitDeferredSettings() override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectSound3DListener::CommitDeferredSettings", "")) {
      return detail::AsHresult(*failure);
    }
    ++State().commits;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetPosition(D3DVECTOR* out) override {
    const HRESULT result = Get("GetPosition", out);
    if (SUCCEEDED(result)) *out = State().position.vector;
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetOrientation(D3DVECTOR* front, D3DVECTOR* top) override {
    const HRESULT result = Get("GetOrientation", top == nullptr ? nullptr : front);
    if (SUCCEEDED(result)) {
      *front = State().orientation.vector;
      *top = State().orientation.second;
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetDistanceFactor(D3DVALUE* out) override {
    return GetFactor("GetDistanceFactor", State().distanceFactor, out);
  }
  HRESULT STDMETHODCALLTYPE GetRolloffFactor(D3DVALUE* out) override {
    return GetFactor("GetRolloffFactor", State().rolloffFactor, out);
  }
  HRESULT STDMETHODCALLTYPE GetDopplerFactor(D3DVALUE* out) override {
    return GetFactor("GetDopplerFactor", State().dopplerFactor, out);
  }

  HRESULT STDMETHODCALLTYPE GetAllParameters(LPDS3DLISTENER) override { return Unsupported("GetAllParameters"); }
  HRESULT STDMETHODCALLTYPE GetVelocity(D3DVECTOR*) override { return Unsupported("GetVelocity"); }
  HRESULT STDMETHODCALLTYPE SetAllParameters(LPCDS3DLISTENER, DWORD) override {
    return Unsupported("SetAllParameters");
  }
  HRESULT STDMETHODCALLTYPE SetVelocity(D3DVALUE, D3DVALUE, D3DVALUE, DWORD) override {
    return Unsupported("SetVelocity");
  }

 private:
  SoundListenerState& State() { return Owner()->listener; }
  HRESULT GetFactor(const char* method, const Sound3DValue& value, D3DVALUE* out) {
    const HRESULT result = Get(method, out);
    if (SUCCEEDED(result)) *out = value.factor;
    return result;
  }
};

class Buffer3DObject : public Sound3DObject<IDirectSound3DBuffer> {
 public:
  explicit Buffer3DObject(SoundBufferObject* owner)
      : Sound3DObject("IDirectSound3DBuffer", IID_IDirectSound3DBuffer, owner) {}

  HRESULT STDMETHODCALLTYPE SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
    return Set("SetPosition", Owner()->threeD.position, Vector(x, y, z), {}, 0.0f, apply,
               detail::ArgVector(x, y, z));
  }
  HRESULT STDMETHODCALLTYPE SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
    return Set("SetConeOrientation", Owner()->threeD.coneOrientation, Vector(x, y, z), {}, 0.0f, apply,
               detail::ArgVector(x, y, z));
  }
  HRESULT STDMETHODCALLTYPE GetPosition(D3DVECTOR* out) override {
    const HRESULT result = Get("GetPosition", out);
    if (SUCCEEDED(result)) *out = Owner()->threeD.position.vector;
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetConeOrientation(D3DVECTOR* out) override {
    const HRESULT result = Get("GetConeOrientation", out);
    if (SUCCEEDED(result)) *out = Owner()->threeD.coneOrientation.vector;
    return result;
  }

  HRESULT STDMETHODCALLTYPE GetAllParameters(LPDS3DBUFFER) override { return Unsupported("GetAllParameters"); }
  HRESULT STDMETHODCALLTYPE GetConeAngles(LPDWORD, LPDWORD) override { return Unsupported("GetConeAngles"); }
  HRESULT STDMETHODCALLTYPE GetConeOutsideVolume(LPLONG) override { return Unsupported("GetConeOutsideVolume"); }
  HRESULT STDMETHODCALLTYPE GetMaxDistance(D3DVALUE*) override { return Unsupported("GetMaxDistance"); }
  HRESULT STDMETHODCALLTYPE GetMinDistance(D3DVALUE*) override { return Unsupported("GetMinDistance"); }
  HRESULT STDMETHODCALLTYPE GetMode(LPDWORD) override { return Unsupported("GetMode"); }
  HRESULT STDMETHODCALLTYPE GetVelocity(D3DVECTOR*) override { return Unsupported("GetVelocity"); }
  HRESULT STDMETHODCALLTYPE SetAllParameters(LPCDS3DBUFFER, DWORD) override { return Unsupported("SetAllParameters"); }
  HRESULT STDMETHODCALLTYPE SetConeAngles(DWORD, DWORD, DWORD) override { return Unsupported("SetConeAngles"); }
  HRESULT STDMETHODCALLTYPE SetConeOutsideVolume(LONG, DWORD) override { return Unsupported("SetConeOutsideVolume"); }
  HRESULT STDMETHODCALLTYPE SetMaxDistance(D3DVALUE, DWORD) override { return Unsupported("SetMaxDistance"); }
  HRESULT STDMETHODCALLTYPE SetMinDistance(D3DVALUE, DWORD) override { return Unsupported("SetMinDistance"); }
  HRESULT STDMETHODCALLTYPE SetMode(DWORD, DWORD) override { return Unsupported("SetMode"); }
  HRESULT STDMETHODCALLTYPE SetVelocity(D3DVALUE, D3DVALUE, D3DVALUE, DWORD) override {
    return Unsupported("SetVelocity");
  }
};

// The listener comes from a primary buffer, the 3D buffer from a secondary
// one; both only with 3D control.
HRESULT SoundBufferObject::Answer(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IDirectSoundBuffer) return HandOutSelf(object);
  if (!Has(DSBCAPS_CTRL3D)) return E_NOINTERFACE;
  if (iid == IID_IDirectSound3DListener && Primary()) {
    *object = static_cast<IDirectSound3DListener*>(new ListenerObject(this));
    return S_OK;
  }
  if (iid == IID_IDirectSound3DBuffer && !Primary()) {
    *object = static_cast<IDirectSound3DBuffer*>(new Buffer3DObject(this));
    return S_OK;
  }
  return E_NOINTERFACE;
}

}  // namespace

namespace detail {

IDirectSoundBuffer* NewSoundBuffer(const DSBUFFERDESC& description, const std::vector<BYTE>& format,
                                   std::shared_ptr<int> ownerBuffers) {
  auto samples = std::make_shared<std::vector<BYTE>>(description.dwBufferBytes, 0);
  return new SoundBufferObject(description, format, std::move(samples), std::move(ownerBuffers));
}

IDirectSoundBuffer* DuplicateSimSoundBuffer(IDirectSoundBuffer* source, std::shared_ptr<int> ownerBuffers) {
  SoundBufferObject* original = FindBuffer(source);
  if (original == nullptr || original->Primary()) return nullptr;
  return original->Duplicate(std::move(ownerBuffers));
}

bool IsLiveSoundBuffer(IDirectSoundBuffer* buffer) { return FindBuffer(buffer) != nullptr; }

void ForgetSoundBuffers() {
  g_buffers.clear();
  g_nextLockSplit = 0;
}

}  // namespace detail

bool SoundBuffer(IDirectSoundBuffer* buffer, SoundBufferState* out) {
  auto lock = detail::LockSimulation();
  SoundBufferObject* found = FindBuffer(buffer);
  if (found == nullptr) return false;
  *out = found->Snapshot();
  return true;
}

bool SoundListener(IDirectSound3DListener* listener, SoundListenerState* out) {
  auto lock = detail::LockSimulation();
  auto* object = dynamic_cast<ListenerObject*>(listener);
  if (object == nullptr || FindBuffer(static_cast<IDirectSoundBuffer*>(object->Owner())) == nullptr) return false;
  *out = object->Owner()->listener;
  return true;
}

bool Sound3DBuffer(IDirectSound3DBuffer* buffer, Sound3DBufferState* out) {
  auto lock = detail::LockSimulation();
  auto* object = dynamic_cast<Buffer3DObject*>(buffer);
  if (object == nullptr || FindBuffer(static_cast<IDirectSoundBuffer*>(object->Owner())) == nullptr) return false;
  *out = object->Owner()->threeD;
  return true;
}

void SplitNextSoundLock(DWORD firstPartBytes) {
  auto lock = detail::LockSimulation();
  g_nextLockSplit = firstPartBytes;
}

void EndSoundPlayback(IDirectSoundBuffer* buffer) {
  auto lock = detail::LockSimulation();
  if (SoundBufferObject* found = FindBuffer(buffer)) found->EndPlayback();
}

}  // namespace sim
