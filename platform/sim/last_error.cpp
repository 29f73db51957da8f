// GetLastError / SetLastError: one code per thread, as on Windows.
#include "sim/sim_internal.h"

namespace sim::detail {
namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

}  // namespace

void SetLastErrorQuietly(DWORD code) { t_lastError = code; }

void ResetLastError() { t_lastError = ERROR_SUCCESS; }

}  // namespace sim::detail

extern "C" DWORD WINAPI GetLastError(void) {
  using namespace sim::detail;
  RecordCall("GetLastError", "");
  return t_lastError;
}

extern "C" void WINAPI SetLastError(DWORD dwErrCode) {
  using namespace sim::detail;
  RecordCall("SetLastError", ArgCode(dwErrCode));
  t_lastError = dwErrCode;
}
