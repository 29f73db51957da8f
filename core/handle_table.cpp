// The warnings of fixed handle tables.
#include "core/handle_table.h"

#include <korvathd.h>

#include "core/last_error.h"

void KRHandleWarnInvalid(const char* component, const char* action, const char* object, int handle) {
  KRDebugDump("%s Warning : %s NULL or ills %s(%d).\n", component, action, object, handle);
}

void KRHandleWarnTableFull(const char* component, const char* object) {
  KRDebugDump("%s Warning : Could not create %s(Maximumed out).\n", component, object);
}

void KRHandleWarnNotReleased(const char* component, const char* object, int handle) {
  KRDebugDump("%s Warning : You didn't release %s(%d).\n", component, object, handle);
}

int KRHandleFailTableFull(const char* component, const char* object, unsigned long code) {
  KRErrorSetLastError(code);
  KRHandleWarnTableFull(component, object);
  return 0;
}
