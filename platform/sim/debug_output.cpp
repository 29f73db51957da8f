// OutputDebugStringA: what the library writes to the debugger, kept for tests;
// the call leaves a fixed code in the last error, as Windows may change it.
#include <vector>

#include "sim/sim_internal.h"

namespace sim {
namespace {

std::vector<std::string> g_messages;

}  // namespace

namespace detail {

void ResetDebugOutput() { g_messages.clear(); }

}  // namespace detail

std::string DebugOutput() {
  auto lock = detail::LockSimulation();
  std::string all;
  for (const std::string& message : g_messages) all += message;
  return all;
}

std::vector<std::string> DebugMessages() {
  auto lock = detail::LockSimulation();
  return g_messages;
}

void ClearDebugOutput() {
  auto lock = detail::LockSimulation();
  g_messages.clear();
}

}  // namespace sim

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  RecordCall("OutputDebugStringA", ArgString(lpOutputString));
  if (lpOutputString != nullptr) sim::g_messages.push_back(lpOutputString);
  SetLastErrorQuietly(sim::kLastErrorAfterDebugOutput);
}
