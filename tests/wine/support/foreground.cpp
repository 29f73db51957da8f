#include "support/foreground.h"

#include "support/main_window.h"

namespace winsupport {

namespace {
const char kMutexName[] = "KORVATHD tests: foreground turn";
const DWORD kLongestWait = 100000;  // below the tests' time-out
const DWORD kPause = 200;
}  // namespace

ForegroundTurn::ForegroundTurn() : mutex_(CreateMutexA(NULL, FALSE, kMutexName)), held_(false) {
  if (mutex_ == NULL) return;
  // Abandoned: a test holding the turn crashed; the turn is ours all the same.
  DWORD waited = WaitForSingleObject(mutex_, kLongestWait);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ForegroundTurn::~ForegroundTurn() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_ != NULL) CloseHandle(mutex_);
}

bool InFront(HWND window, bool (*attempt)(), int tries) {
  for (int i = 0; i < tries; ++i) {
    SetForegroundWindow(window);
    SetFocus(window);
    PumpMessages();
    if (attempt()) return true;
    Sleep(kPause);
  }
  return false;
}

}  // namespace winsupport
