// sim::Reset: every area of the simulation back to its boot state.
#include "sim/sim_internal.h"

namespace sim {

void Reset() {
  auto lock = detail::LockSimulation();
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
