// The ordered record of platform calls and the failures armed against them.
#include <algorithm>
#include <utility>
#include <vector>

#include "sim/sim_internal.h"

namespace sim {
namespace {

struct ArmedFailure {
  std::string function;
  int64_t code;
  std::string argumentsContain;
  int remaining;
  int passing;  // matching calls still let through before the first failure
};

std::vector<CallRecord> g_calls;
std::vector<ArmedFailure> g_armed;  // matched in the order they were armed

}  // namespace

namespace detail {

std::unique_lock<std::recursive_mutex> LockSimulation() {
  static std::recursive_mutex mutex;
  return std::unique_lock<std::recursive_mutex>(mutex);
}

void RecordCall(const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  g_calls.push_back(CallRecord{function, arguments});
}

std::optional<int64_t> EnterCall(const char* function, const std::string& arguments) {
  auto lock = LockSimulation();
  RecordCall(function, arguments);
  for (auto it = g_armed.begin(); it != g_armed.end(); ++it) {
    if (it->function != function) continue;
    if (arguments.find(it->argumentsContain) == std::string::npos) continue;
    if (it->passing > 0) {
      --it->passing;
      return std::nullopt;
    }
    const int64_t code = it->code;
    if (--it->remaining == 0) g_armed.erase(it);
    return code;
  }
  return std::nullopt;
}

void ResetCallRecord() {
  g_calls.clear();
  g_armed.clear();
}

}  // namespace detail

std::vector<CallRecord> Calls() {
  auto lock = detail::LockSimulation();
  return g_calls;
}

std::vector<std::string> CallNames() {
  auto lock = detail::LockSimulation();
  std::vector<std::string> names;
  names.reserve(g_calls.size());
  for (const CallRecord& call : g_calls) names.push_back(call.function);
  return names;
}

int CountCalls(const std::string& function) {
  auto lock = detail::LockSimulation();
  return static_cast<int>(std::count_if(g_calls.begin(), g_calls.end(),
                                        [&](const CallRecord& call) { return call.function == function; }));
}

void ClearCalls() {
  auto lock = detail::LockSimulation();
  g_calls.clear();
}

void FailNext(const std::string& function, int64_t code, const std::string& argumentsContain, int times) {
  FailAfter(0, function, code, argumentsContain, times);
}

void FailAfter(int passing, const std::string& function, int64_t code, const std::string& argumentsContain,
               int times) {
  if (times <= 0) return;
  auto lock = detail::LockSimulation();
  g_armed.push_back(ArmedFailure{function, code, argumentsContain, times, passing < 0 ? 0 : passing});
}

int PendingFailures() {
  auto lock = detail::LockSimulation();
  int pending = 0;
  for (const ArmedFailure& failure : g_armed) pending += failure.remaining;
  return pending;
}

}  // namespace sim
