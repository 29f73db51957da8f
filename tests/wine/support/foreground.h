// Tests that need their window in front. All Wine processes of a run share one
// wineserver and so one foreground window: such tests take turns through a
// named mutex, and bring their window to the front again until it stays.
#ifndef KR_WINE_SUPPORT_FOREGROUND_H
#define KR_WINE_SUPPORT_FOREGROUND_H

#include <windows.h>

namespace winsupport {

// Holds the foreground turn from construction to destruction.
class ForegroundTurn {
 public:
  ForegroundTurn();
  ~ForegroundTurn();
  ForegroundTurn(const ForegroundTurn&) = delete;
  ForegroundTurn& operator=(const ForegroundTurn&) = delete;
  bool Held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_;
};

// Brings `window` to the front and runs `attempt` until it returns true, at
// most `tries` times: a window made by another test program meanwhile may
// have taken the front.
bool InFront(HWND window, bool (*attempt)(), int tries = 10);

}  // namespace winsupport

#endif
