// Strictness: the contract violations the areas record, the live counters they
// register, and the report that compares those counters with a baseline.
#include <utility>
#include <vector>

#include "sim/sim_internal.h"

namespace sim {
namespace {

struct LiveCounter {
  const char* name;
  int (*count)();
};

// Filled by static initialisers, so built on first use.
std::vector<LiveCounter>& Counters() {
  static std::vector<LiveCounter> counters;
  return counters;
}

std::vector<std::string> g_violations;

void ResetViolations() { g_violations.clear(); }

const bool kResetRegistered = detail::AddResetHook(ResetViolations);

}  // namespace

namespace detail {

void RecordContractViolation(std::string what) {
  auto lock = LockSimulation();
  g_violations.push_back(std::move(what));
}

bool AddLiveCounter(const char* name, int (*count)()) {
  Counters().push_back(LiveCounter{name, count});
  return true;
}

}  // namespace detail

std::vector<std::string> ContractViolations() {
  auto lock = detail::LockSimulation();
  return g_violations;
}

void ClearContractViolations() {
  auto lock = detail::LockSimulation();
  g_violations.clear();
}

std::vector<std::pair<std::string, int>> LiveCounts() {
  auto lock = detail::LockSimulation();
  std::vector<std::pair<std::string, int>> counts;
  for (const LiveCounter& counter : Counters()) counts.emplace_back(counter.name, counter.count());
  return counts;
}

std::string LeakReport(const std::vector<std::pair<std::string, int>>& baseline) {
  std::string report;
  for (const std::string& violation : ContractViolations()) report += "contract violation: " + violation + "\n";
  for (const auto& [name, now] : LiveCounts()) {
    int before = 0;  // a counter the baseline does not know started from nothing
    for (const auto& [baseName, baseCount] : baseline) {
      if (baseName == name) before = baseCount;
    }
    if (now != before) {
      report += name + ": " + std::to_string(before) + " at the start, " + std::to_string(now) + " now\n";
    }
  }
  return report;
}

}  // namespace sim
