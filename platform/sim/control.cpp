// sim::Reset: every area of the simulation back to its boot state.
#include "sim/sim_internal.h"

#include <vector>

namespace sim {

namespace detail {

namespace {
std::vector<void (*)()>& ResetHooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}
}  // namespace

bool AddResetHook(void (*reset)()) {
  ResetHooks().push_back(reset);
  return true;
}

}  // namespace detail

void Reset() {
  auto lock = detail::LockSimulation();
  // Areas that registered themselves (DirectDraw, GDI, ...) go first: they may
  // hold files, handles or COM objects that the areas below then clear.
  for (void (*reset)() : detail::ResetHooks()) reset();
  detail::ResetFiles();  // closes host files before the sandbox is emptied
  detail::ResetKernelHandles();
  detail::ResetSandbox();
  detail::ResetCom();
  detail::ResetLocalMemory();
  detail::ResetClock();
  detail::ResetMessageBoxes();
  detail::ResetDebugOutput();
  detail::ResetLastError();
  detail::ResetCallRecord();
}

}  // namespace sim
