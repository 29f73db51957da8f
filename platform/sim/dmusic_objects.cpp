// DirectMusic in its published form: the music object lists scripted ports
// and makes them once it has a DirectSound (or its window), the performance
// keeps the ports added to it, the loader finds segment files in the sandbox
// and takes those with a standard MIDI header. Nothing is played.
#include <dmusici.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sim/com_object.h"
#include "sim/gdi_internal.h"

namespace sim {
namespace {

uint32_t g_generation = 1;
int g_live = 0;
bool g_classesRegistered = false;
std::vector<MusicPortScript> g_ports;
MusicInfo g_state;

uint32_t Generation() { return g_generation; }

std::string ArgWide(const WCHAR* text) { return detail::ArgString(detail::WideToAnsi(text).c_str()); }

// The objects of this area share one live count.
template <typename Interface>
class MusicObject : public detail::ComObject<Interface> {
 protected:
  MusicObject(const char* name, REFIID iid) : detail::ComObject<Interface>(name, iid), live_(g_live, Generation) {}

 private:
  detail::LiveTally live_;
};

class PortObject : public MusicObject<IDirectMusicPort> {
 public:
  PortObject() : MusicObject("IDirectMusicPort", IID_IDirectMusicPort) {}
};

class SegmentObject : public MusicObject<IDirectMusicSegment> {
 public:
  SegmentObject() : MusicObject("IDirectMusicSegment", IID_IDirectMusicSegment) {}
  HRESULT STDMETHODCALLTYPE SetRepeats(DWORD repeats) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicSegment::SetRepeats", detail::ArgHex(repeats))) {
      return detail::AsHresult(*failure);
    }
    repeats_ = repeats;
    return S_OK;
  }
  DWORD Repeats() const { return repeats_; }

 private:
  DWORD repeats_ = 0;
};

class DirectMusicObject : public MusicObject<IDirectMusic> {
 public:
  DirectMusicObject() : MusicObject("IDirectMusic", IID_IDirectMusic) {}

  HRESULT STDMETHODCALLTYPE EnumPort(DWORD index, LPDMUS_PORTCAPS caps) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusic::EnumPort",
                                         detail::JoinArgs({detail::ArgDec(index), detail::ArgPointer(caps)}))) {
      return detail::AsHresult(*failure);
    }
    if (caps == nullptr) return E_POINTER;
    if (caps->dwSize != sizeof(DMUS_PORTCAPS)) return E_INVALIDARG;
    if (index >= g_ports.size()) return S_FALSE;
    const MusicPortScript& port = g_ports[index];
    if (FAILED(port.result)) return port.result;
    std::memset(reinterpret_cast<BYTE*>(caps) + sizeof(DWORD), 0, sizeof(DMUS_PORTCAPS) - sizeof(DWORD));
    caps->guidPort = port.guid;
    caps->dwClass = port.portClass;
    caps->dwMaxChannelGroups = port.maxChannelGroups;
    // A description of the full 128 characters has no room for its zero.
    const size_t units = std::min(port.description.size(), static_cast<size_t>(DMUS_MAX_DESCRIPTION));
    std::copy_n(port.description.begin(), units, caps->wszDescription);
    return port.result;
  }

  HRESULT STDMETHODCALLTYPE CreatePort(REFCLSID guid, LPDMUS_PORTPARAMS params, LPDIRECTMUSICPORT* out,
                                       LPUNKNOWN outer) override {
    auto lock = detail::LockSimulation();
    if (out != nullptr) *out = nullptr;
    const std::string paramText =
        params == nullptr ? "NULL"
                          : "{" + detail::JoinArgs({detail::ArgDec(params->dwSize), detail::ArgHex(params->dwValidParams),
                                                    detail::ArgDec(params->dwVoices),
                                                    detail::ArgDec(params->dwChannelGroups)}) + "}";
    if (auto failure = detail::EnterCall("IDirectMusic::CreatePort",
                                         detail::JoinArgs({detail::ArgGuid(guid), paramText, detail::ArgPointer(out),
                                                           detail::ArgHandle(outer)}))) {
      return detail::AsHresult(*failure);
    }
    if (out == nullptr || params == nullptr) return E_POINTER;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (params->dwSize != sizeof(DMUS_PORTPARAMS7) && params->dwSize != sizeof(DMUS_PORTPARAMS8)) {
      return E_INVALIDARG;
    }
    if (!directSoundSet_) return DMUS_E_DSOUND_NOT_SET;
    const bool known = std::any_of(g_ports.begin(), g_ports.end(),
                                   [&](const MusicPortScript& port) { return port.guid == guid; });
    if (!known) return E_INVALIDARG;
    *out = new PortObject();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetDirectSound(struct IDirectSound* directSound, HWND window) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusic::SetDirectSound",
                                         detail::JoinArgs({detail::ArgHandle(directSound), detail::ArgHandle(window)}))) {
      return detail::AsHresult(*failure);
    }
    directSoundSet_ = true;
    return S_OK;
  }

 private:
  bool directSoundSet_ = false;
};

class PerformanceObject : public MusicObject<IDirectMusicPerformance> {
 public:
  PerformanceObject() : MusicObject("IDirectMusicPerformance", IID_IDirectMusicPerformance) {}
  ~PerformanceObject() override {
    if (initialized_) detail::RecordContractViolation("IDirectMusicPerformance released without CloseDown");
    DropPorts();
  }

  HRESULT STDMETHODCALLTYPE Init(IDirectMusic** music, struct IDirectSound* directSound, HWND window) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::Init",
                                         detail::JoinArgs({detail::ArgPointer(music), detail::ArgHandle(directSound),
                                                           detail::ArgHandle(window)}))) {
      return detail::AsHresult(*failure);
    }
    if (initialized_) return DMUS_E_ALREADY_INITED;
    initialized_ = true;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE PlaySegment(IDirectMusicSegment* segment, DWORD flags, REFERENCE_TIME start,
                                        IDirectMusicSegmentState** state) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::PlaySegment",
                                         detail::JoinArgs({detail::ArgHandle(segment), detail::ArgHex(flags),
                                                           detail::ArgDec(start), detail::ArgPointer(state)}))) {
      return detail::AsHresult(*failure);
    }
    if (segment == nullptr) return E_POINTER;
    if (!initialized_) return DMUS_E_NOT_INIT;
    g_state.playing = true;
    g_state.repeats = static_cast<SegmentObject*>(segment)->Repeats();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* state, MUSIC_TIME time,
                                 DWORD flags) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::Stop",
                                         detail::JoinArgs({detail::ArgHandle(segment), detail::ArgHandle(state),
                                                           detail::ArgDec(time), detail::ArgHex(flags)}))) {
      return detail::AsHresult(*failure);
    }
    g_state.playing = false;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CloseDown() override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::CloseDown", "")) {
      return detail::AsHresult(*failure);
    }
    DropPorts();
    initialized_ = false;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE AddPort(IDirectMusicPort* port) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::AddPort", detail::ArgHandle(port))) {
      return detail::AsHresult(*failure);
    }
    if (!initialized_) return DMUS_E_NOT_INIT;
    if (port == nullptr) return E_POINTER;
    if (Has(port)) return E_INVALIDARG;
    static_cast<PortObject*>(port)->Hold();
    ports_.push_back(static_cast<PortObject*>(port));
    g_state.ports = static_cast<int>(ports_.size());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE RemovePort(IDirectMusicPort* port) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::RemovePort", detail::ArgHandle(port))) {
      return detail::AsHresult(*failure);
    }
    if (port == nullptr) return E_POINTER;
    if (!Has(port)) return E_INVALIDARG;
    ports_.erase(std::find(ports_.begin(), ports_.end(), port));
    g_state.ports = static_cast<int>(ports_.size());
    static_cast<PortObject*>(port)->Drop();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE AssignPChannelBlock(DWORD block, IDirectMusicPort* port, DWORD group) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicPerformance::AssignPChannelBlock",
                                         detail::JoinArgs({detail::ArgDec(block), detail::ArgHandle(port),
                                                           detail::ArgDec(group)}))) {
      return detail::AsHresult(*failure);
    }
    if (port == nullptr) return E_POINTER;
    if (!Has(port) || group == 0) return E_INVALIDARG;
    return S_OK;
  }

 private:
  bool Has(IDirectMusicPort* port) const {
    return std::find(ports_.begin(), ports_.end(), port) != ports_.end();
  }
  void DropPorts() {
    for (PortObject* port : ports_) port->Drop();
    ports_.clear();
    g_state.ports = 0;
  }

  bool initialized_ = false;
  std::vector<PortObject*> ports_;
};

bool HasMidiHeader(const std::string& hostPath) {
  std::ifstream file(hostPath, std::ios::binary);
  char header[4] = {};
  return file.read(header, 4) && std::memcmp(header, "MThd", 4) == 0;
}

class LoaderObject : public MusicObject<IDirectMusicLoader> {
 public:
  LoaderObject() : MusicObject("IDirectMusicLoader", IID_IDirectMusicLoader) {}

  HRESULT STDMETHODCALLTYPE GetObject(LPDMUS_OBJECTDESC desc, REFIID iid, LPVOID* out) override {
    auto lock = detail::LockSimulation();
    if (out != nullptr) *out = nullptr;
    const std::string descText =
        desc == nullptr ? "NULL"
                        : "{" + detail::JoinArgs({detail::ArgDec(desc->dwSize), detail::ArgHex(desc->dwValidData),
                                                  detail::ArgGuid(desc->guidClass), ArgWide(desc->wszFileName)}) +
                              "}";
    if (auto failure = detail::EnterCall("IDirectMusicLoader::GetObject",
                                         detail::JoinArgs({descText, detail::ArgGuid(iid), detail::ArgPointer(out)}))) {
      return detail::AsHresult(*failure);
    }
    if (desc == nullptr || out == nullptr) return E_POINTER;
    if (desc->dwSize != sizeof(DMUS_OBJECTDESC) || (desc->dwValidData & DMUS_OBJ_FILENAME) == 0) return E_INVALIDARG;
    if (iid != IID_IDirectMusicSegment && iid != IID_IUnknown) return E_NOINTERFACE;
    // A name that is not marked as a full path is looked for in the search directory.
    std::string name = detail::WideToAnsi(desc->wszFileName);
    if ((desc->dwValidData & DMUS_OBJ_FULLPATH) == 0 && !searchDirectory_.empty()) {
      name = searchDirectory_ + "\\" + name;
    }
    const detail::MappedPath mapped = detail::MapWindowsPath(name.c_str());
    if (mapped.error != ERROR_SUCCESS || !HasFile(mapped.host)) return DMUS_E_LOADER_FAILEDOPEN;
    if (!HasMidiHeader(mapped.host)) return DMUS_E_LOADER_FORMATNOTSUPPORTED;
    *out = static_cast<IDirectMusicSegment*>(new SegmentObject());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSearchDirectory(REFGUID guid, WCHAR* path, BOOL clear) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectMusicLoader::SetSearchDirectory",
                                         detail::JoinArgs({detail::ArgGuid(guid), ArgWide(path), detail::ArgDec(clear)}))) {
      return detail::AsHresult(*failure);
    }
    if (path == nullptr) return E_POINTER;
    searchDirectory_ = detail::WideToAnsi(path);
    g_state.searchDirectory = searchDirectory_;
    return S_OK;
  }

 private:
  static bool HasFile(const std::string& hostPath) { return std::ifstream(hostPath, std::ios::binary).good(); }

  std::string searchDirectory_;
};

template <typename Object, typename Interface>
HRESULT Make(REFIID iid, REFIID own, void** object) {
  if (iid != own && iid != IID_IUnknown) return E_NOINTERFACE;
  *object = static_cast<Interface*>(new Object());
  return S_OK;
}

void RegisterClasses() {
  if (g_classesRegistered) return;
  g_classesRegistered = true;
  detail::RegisterBuiltinComClass(CLSID_DirectMusic, [](REFIID iid, void** object) {
    return Make<DirectMusicObject, IDirectMusic>(iid, IID_IDirectMusic, object);
  });
  detail::RegisterBuiltinComClass(CLSID_DirectMusicPerformance, [](REFIID iid, void** object) {
    return Make<PerformanceObject, IDirectMusicPerformance>(iid, IID_IDirectMusicPerformance, object);
  });
  detail::RegisterBuiltinComClass(CLSID_DirectMusicLoader, [](REFIID iid, void** object) {
    return Make<LoaderObject, IDirectMusicLoader>(iid, IID_IDirectMusicLoader, object);
  });
}

void ResetMusic() {
  ++g_generation;
  g_live = 0;
  g_ports = BootMusicPorts();
  g_state = MusicInfo{};
  RegisterClasses();
}

const bool kResetRegistered = detail::AddResetHook(ResetMusic);

}  // namespace

std::vector<MusicPortScript> BootMusicPorts() {
  MusicPortScript synth;
  synth.guid = GUID{0x58C2B4D0, 0x46E7, 0x11D1, {0x89, 0xAC, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
  synth.description = u"Microsoft Synthesizer";
  synth.maxChannelGroups = 1000;
  MusicPortScript mapper;
  mapper.guid = GUID{0x1B1D3A00, 0x0001, 0x0002, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}};
  mapper.description = u"Microsoft MIDI Mapper [Emulated]";
  return {synth, mapper};
}

void SetMusicPorts(const std::vector<MusicPortScript>& ports) {
  auto lock = detail::LockSimulation();
  g_ports = ports;
}

MusicInfo InspectMusic() {
  auto lock = detail::LockSimulation();
  return g_state;
}

int LiveMusicObjects() {
  auto lock = detail::LockSimulation();
  return g_live;
}

namespace {
const bool kCounted = detail::AddLiveCounter("music objects", LiveMusicObjects);
}  // namespace

}  // namespace sim
