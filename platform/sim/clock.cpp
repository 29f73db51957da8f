// GetTickCount and Sleep on a virtual clock: Sleep advances it instead of
// waiting, so timing code runs instantly and deterministically.
#include <deque>
#include <thread>

#include "sim/sim_internal.h"

namespace sim {
namespace {

uint32_t g_now = kTickCountAtBoot;
std::deque<uint32_t> g_scriptedTicks;
uint32_t g_tickStep = 0;

}  // namespace

namespace detail {

void ResetClock() {
  g_now = kTickCountAtBoot;
  g_scriptedTicks.clear();
  g_tickStep = 0;
}

}  // namespace detail

uint32_t Now() {
  auto lock = detail::LockSimulation();
  return g_now;
}

void SetNow(uint32_t milliseconds) {
  auto lock = detail::LockSimulation();
  g_now = milliseconds;
}

void AdvanceClock(uint32_t milliseconds) {
  auto lock = detail::LockSimulation();
  g_now += milliseconds;  // wraps after 49.7 days, like the tick count
}

void ScriptTickCounts(std::vector<uint32_t> answers) {
  auto lock = detail::LockSimulation();
  g_scriptedTicks.assign(answers.begin(), answers.end());
}

void SetTickStep(uint32_t milliseconds) {
  auto lock = detail::LockSimulation();
  g_tickStep = milliseconds;
}

}  // namespace sim

extern "C" DWORD WINAPI GetTickCount(void) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  RecordCall("GetTickCount", "");
  if (!sim::g_scriptedTicks.empty()) {
    sim::g_now = sim::g_scriptedTicks.front();
    sim::g_scriptedTicks.pop_front();
  } else {
    sim::g_now += sim::g_tickStep;
  }
  return sim::g_now;
}

extern "C" void WINAPI Sleep(DWORD dwMilliseconds) {
  using namespace sim::detail;
  {
    auto lock = LockSimulation();
    RecordCall("Sleep", ArgDec(dwMilliseconds));
    sim::g_now += dwMilliseconds;
  }
  // A thread that polls a flag with short sleeps must still let the other run.
  std::this_thread::yield();
}
