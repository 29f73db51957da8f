// The COM library: per-thread initialisation and object creation from a
// class registry that tests (and the simulation's own DirectX classes) fill.
#include <map>
#include <thread>
#include <utility>
#include <vector>

#include "sim/sim_internal.h"

extern "C" const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace sim {
namespace {

struct ComClass {
  CLSID clsid;
  ComFactory factory;
};

std::vector<ComClass> g_testClasses;     // emptied by Reset
std::vector<ComClass> g_builtinClasses;  // kept across Reset
std::map<std::thread::id, int> g_initializeDepth;
int g_liveObjects = 0;
uint32_t g_objectGeneration = 1;

// Initialisations not yet balanced, over every thread.
int InitializationsOfAllThreads() {
  auto lock = detail::LockSimulation();
  int total = 0;
  for (const auto& [thread, depth] : g_initializeDepth) total += depth;
  return total;
}

const ComFactory* FindClass(REFCLSID clsid) {
  // The latest registration wins, and a test's wins over the simulation's own.
  for (auto it = g_testClasses.rbegin(); it != g_testClasses.rend(); ++it) {
    if (it->clsid == clsid) return &it->factory;
  }
  for (auto it = g_builtinClasses.rbegin(); it != g_builtinClasses.rend(); ++it) {
    if (it->clsid == clsid) return &it->factory;
  }
  return nullptr;
}

}  // namespace

namespace detail {

void RegisterBuiltinComClass(REFCLSID clsid, ComFactory factory) {
  auto lock = LockSimulation();
  g_builtinClasses.push_back(ComClass{clsid, std::move(factory)});
}

void ResetCom() {
  g_testClasses.clear();
  g_initializeDepth.clear();
  g_liveObjects = 0;
  ++g_objectGeneration;
}

int& LiveComObjectCount() { return g_liveObjects; }
uint32_t ComObjectGeneration() { return g_objectGeneration; }

}  // namespace detail

// Counts the calling thread's initialisations, as COM keeps them per thread.
int ComInitializeDepth() {
  auto lock = detail::LockSimulation();
  auto found = g_initializeDepth.find(std::this_thread::get_id());
  return found == g_initializeDepth.end() ? 0 : found->second;
}

void RegisterComClass(REFCLSID clsid, ComFactory factory) {
  auto lock = detail::LockSimulation();
  g_testClasses.push_back(ComClass{clsid, std::move(factory)});
}

int LiveComObjects() {
  auto lock = detail::LockSimulation();
  return g_liveObjects;
}

namespace {
const bool kInitializationsCounted = detail::AddLiveCounter("COM initialisations", InitializationsOfAllThreads);
const bool kObjectsCounted = detail::AddLiveCounter("COM objects", LiveComObjects);
}  // namespace

}  // namespace sim

using namespace sim::detail;

extern "C" HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CoInitialize", ArgPointer(pvReserved))) return AsHresult(*failure);
  if (pvReserved != nullptr) return E_INVALIDARG;
  int& depth = sim::g_initializeDepth[std::this_thread::get_id()];
  return ++depth == 1 ? S_OK : S_FALSE;
}

// The last uninitialisation unloads the servers: objects still alive would
// then call into unloaded code when they are released.
extern "C" void WINAPI CoUninitialize(void) {
  auto lock = LockSimulation();
  RecordCall("CoUninitialize", "");
  auto found = sim::g_initializeDepth.find(std::this_thread::get_id());
  if (found == sim::g_initializeDepth.end() || found->second == 0) {
    RecordContractViolation("CoUninitialize without a CoInitialize on this thread");
    return;
  }
  --found->second;
  if (sim::InitializationsOfAllThreads() == 0 && sim::g_liveObjects > 0) {
    RecordContractViolation("CoUninitialize ended COM with " + std::to_string(sim::g_liveObjects) +
                            " COM object(s) still referenced");
  }
}

extern "C" HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                                           LPVOID* ppv) {
  auto lock = LockSimulation();
  if (ppv != nullptr) *ppv = nullptr;
  const std::string arguments =
      JoinArgs({ArgGuid(rclsid), ArgHandle(pUnkOuter), ArgHex(dwClsContext), ArgGuid(riid), ArgPointer(ppv)});
  if (auto failure = EnterCall("CoCreateInstance", arguments)) {
    return AsHresult(*failure);
  }
  if (ppv == nullptr) return E_POINTER;
  if (sim::ComInitializeDepth() == 0) return CO_E_NOTINITIALIZED;
  const sim::ComFactory* factory = sim::FindClass(rclsid);
  // Every simulated class is an in-process server.
  if (factory == nullptr || !(dwClsContext & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  const HRESULT result = (*factory)(riid, ppv);
  if (FAILED(result)) *ppv = nullptr;
  return result;
}
