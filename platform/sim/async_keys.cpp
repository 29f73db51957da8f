// GetAsyncKeyState on keys a test holds down, at once or after a number of queries.
#include <map>

#include "sim/sim_internal.h"

namespace sim {
namespace {

// Per key: queries still answered "up" before the key goes down; -1 = up for good.
std::map<int, int> g_queriesBeforeDown;

void ResetAsyncKeys() { g_queriesBeforeDown.clear(); }

const bool kResetRegistered = detail::AddResetHook(ResetAsyncKeys);

}  // namespace

void SetAsyncKeyDown(int virtualKey, bool down) {
  auto lock = detail::LockSimulation();
  g_queriesBeforeDown[virtualKey] = down ? 0 : -1;
}

void PressAsyncKeyAfter(int virtualKey, int queries) {
  auto lock = detail::LockSimulation();
  g_queriesBeforeDown[virtualKey] = queries;
}

}  // namespace sim

extern "C" SHORT WINAPI GetAsyncKeyState(int vKey) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  RecordCall("GetAsyncKeyState", ArgDec(vKey));
  auto key = sim::g_queriesBeforeDown.find(vKey);
  if (key == sim::g_queriesBeforeDown.end() || key->second < 0) return 0;
  if (key->second > 0) {
    --key->second;
    return 0;
  }
  return static_cast<SHORT>(0x8000);
}
