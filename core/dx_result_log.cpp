// Log lines of failed DirectX calls.
#include "core/dx_result_log.h"

#include <korvathd.h>

#include "core/dx_result_names.h"
#include "core/last_error.h"

namespace {

// No family: the tables are searched in their fixed order, so a shared COM code
// gets the same name whichever component logs it.
const int kAnyFamily = 0;

}  // namespace

void KRDebugDumpDXResult(HRESULT result, const char* format) {
  KRDebugDump(format, KRErrorGetDXResultName(result, kAnyFamily));
}

int KRErrorFailDX(HRESULT result, unsigned long code, const char* format) {
  KRDebugDumpDXResult(result, format);
  return KRErrorFail(code);
}
