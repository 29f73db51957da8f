// Clippers: bound to a window, they keep blits onto the primary surface
// inside that window's client area (see ddraw_blit.cpp).
#include "sim/ddraw_internal.h"

namespace sim {

namespace detail {

int& LiveClipperCount() {
  static int count = 0;
  return count;
}

ClipperObject::ClipperObject()
    : ComObject("IDirectDrawClipper", IID_IDirectDrawClipper), live_(LiveClipperCount(), DirectDrawGeneration) {}

HRESULT ClipperObject::SetHWnd(DWORD flags, HWND newWindow) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawClipper::SetHWnd", JoinArgs({ArgHex(flags), ArgHandle(newWindow)}))) {
    return AsHresult(*failure);
  }
  if (flags != 0) return DDERR_INVALIDPARAMS;
  window = newWindow;
  return DD_OK;
}

HRESULT ClipperObject::GetHWnd(HWND* out) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawClipper::GetHWnd", ArgPointer(out))) return AsHresult(*failure);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = window;
  return DD_OK;
}

HRESULT ClipperObject::IsClipListChanged(BOOL* changed) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawClipper::IsClipListChanged", ArgPointer(changed))) {
    return AsHresult(*failure);
  }
  if (changed == nullptr) return DDERR_INVALIDPARAMS;
  *changed = FALSE;
  return DD_OK;
}

HRESULT ClipperObject::Initialize(LPDIRECTDRAW directDraw, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("IDirectDrawClipper::Initialize", JoinArgs({ArgPointer(directDraw), ArgHex(flags)}))) {
    return AsHresult(*failure);
  }
  return DDERR_ALREADYINITIALIZED;
}

// Explicit clip lists (regions) are not simulated: clippers follow a window.
HRESULT ClipperObject::GetClipList(LPRECT rect, struct _RGNDATA* clipList, LPDWORD size) {
  return RecordUnsupported("IDirectDrawClipper::GetClipList",
                           JoinArgs({ArgRect(rect), ArgPointer(clipList), ArgPointer(size)}));
}

HRESULT ClipperObject::SetClipList(struct _RGNDATA* clipList, DWORD flags) {
  return RecordUnsupported("IDirectDrawClipper::SetClipList", JoinArgs({ArgPointer(clipList), ArgHex(flags)}));
}

}  // namespace detail

int LiveClippers() {
  auto lock = detail::LockSimulation();
  return detail::LiveClipperCount();
}

namespace {
const bool kCounted = detail::AddLiveCounter("clippers", LiveClippers);
}  // namespace

}  // namespace sim
