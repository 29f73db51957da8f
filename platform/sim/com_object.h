// The IUnknown half every simulated COM object shares: QueryInterface, AddRef
// and Release recorded as "<Interface>::Method" (QueryInterface can be made to
// fail like any call), one reference count, Hold/Drop for the references the
// simulation takes itself, which leave no record entry, and a place in the
// count of all COM objects. Also the live count of a kind of object and the
// query hooks other areas add interfaces by.
#ifndef KR_SIM_COM_OBJECT_H
#define KR_SIM_COM_OBJECT_H

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_internal.h"

namespace sim::detail {

// An object's place in the live count of its kind (what sim::LiveClippers and
// the like report). `generation` is bumped by its area's reset: an object made
// before that no longer belongs to the machine and leaves the new count alone.
class LiveTally {
 public:
  using Generation = uint32_t (*)();

  LiveTally(int& count, Generation generation) : count_(count), generation_(generation), madeIn_(generation()) {
    ++count_;
  }
  ~LiveTally() {
    if (Current()) --count_;
  }
  LiveTally(const LiveTally&) = delete;
  LiveTally& operator=(const LiveTally&) = delete;

  bool Current() const { return madeIn_ == generation_(); }

 private:
  int& count_;
  Generation generation_;
  uint32_t madeIn_;
};

template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return QueryAs(name_, iid, object); }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefAs(name_); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseAs(name_); }

  void Hold() { ++references_; }
  ULONG Drop() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  ULONG References() const { return references_; }

  // The IUnknown calls of another interface on the same object: the count is
  // shared, the record shows `interfaceName`.
  HRESULT QueryAs(const char* interfaceName, REFIID iid, void** object) {
    auto lock = LockSimulation();
    if (object != nullptr) *object = nullptr;
    if (auto failure = EnterCall(Method(interfaceName, "QueryInterface").c_str(),
                                 JoinArgs({ArgGuid(iid), ArgPointer(object)}))) {
      return AsHresult(*failure);
    }
    if (object == nullptr) return E_POINTER;
    return Answer(iid, object);
  }
  ULONG AddRefAs(const char* interfaceName) {
    auto lock = LockSimulation();
    RecordCall(Method(interfaceName, "AddRef").c_str(), "");
    return ++references_;
  }
  ULONG ReleaseAs(const char* interfaceName) {
    auto lock = LockSimulation();
    RecordCall(Method(interfaceName, "Release").c_str(), "");
    return Drop();
  }

 protected:
  // `name` is the interface as the record shows it ("IDirectDrawClipper");
  // QueryInterface hands this interface out for `iid` and for IID_IUnknown.
  ComObject(const char* name, REFIID iid)
      : name_(name), iid_(iid), live_(LiveComObjectCount(), ComObjectGeneration) {}
  virtual ~ComObject() = default;

  // QueryInterface once recorded and given somewhere to write. Objects that
  // hand out more, or send IID_IUnknown elsewhere, override it.
  virtual HRESULT Answer(REFIID iid, void** object) {
    if (iid != IID_IUnknown && iid != iid_) return E_NOINTERFACE;
    return HandOutSelf(object);
  }
  HRESULT HandOutSelf(void** object) {
    Hold();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }

 private:
  static std::string Method(const char* interfaceName, const char* method) {
    return std::string(interfaceName) + "::" + method;
  }

  const char* name_;
  const IID& iid_;
  ULONG references_ = 1;
  LiveTally live_;  // in the count of all COM objects
};

// Interfaces another simulated area adds to an object (Direct3D on a
// DirectDraw object, textures on a surface): asked in turn for identifiers the
// object does not know, each answers E_NOINTERFACE for those it does not add.
template <typename Object>
class QueryHooks {
 public:
  using Hook = HRESULT (*)(Object* object, REFIID iid, void** out);

  void Add(Hook hook) { hooks_.push_back(hook); }

  HRESULT Ask(Object* object, REFIID iid, void** out) const {
    for (Hook hook : hooks_) {
      const HRESULT result = hook(object, iid, out);
      if (result != E_NOINTERFACE) return result;
    }
    return E_NOINTERFACE;
  }

 private:
  std::vector<Hook> hooks_;
};

}  // namespace sim::detail

#endif
