// The gamma ramp of the screen, set through the gamma control of a primary
// surface. The ramp changes no pixel here; tests read it back.
#include <cstring>

#include "sim/ddraw_internal.h"

namespace sim {
namespace {

DDGAMMARAMP IdentityRamp() {
  DDGAMMARAMP ramp;
  for (int i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = static_cast<WORD>(i * 257);
  return ramp;
}

DDGAMMARAMP g_ramp = IdentityRamp();

class GammaControlObject final : public detail::ComObject<IDirectDrawGammaControl> {
 public:
  explicit GammaControlObject(detail::SurfaceObject* surface)
      : ComObject("IDirectDrawGammaControl", IID_IDirectDrawGammaControl), surface_(surface) {
    surface_->Hold();
  }
  ~GammaControlObject() override { surface_->Drop(); }

  HRESULT STDMETHODCALLTYPE GetGammaRamp(DWORD flags, LPDDGAMMARAMP ramp) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectDrawGammaControl::GetGammaRamp",
                                         detail::JoinArgs({detail::ArgHex(flags), detail::ArgPointer(ramp)}))) {
      return detail::AsHresult(*failure);
    }
    if (flags != 0 || ramp == nullptr) return DDERR_INVALIDPARAMS;
    *ramp = g_ramp;
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE SetGammaRamp(DWORD flags, LPDDGAMMARAMP ramp) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IDirectDrawGammaControl::SetGammaRamp",
                                         detail::JoinArgs({detail::ArgHex(flags), detail::ArgPointer(ramp)}))) {
      return detail::AsHresult(*failure);
    }
    constexpr DWORD kCalibrate = 0x1;
    if ((flags & ~kCalibrate) != 0 || ramp == nullptr) return DDERR_INVALIDPARAMS;
    if (surface_->lost) return DDERR_SURFACELOST;
    // Only hardware with a gamma-capable primary surface changes its ramp.
    const int device = surface_->owner->device;
    if (device < 0 || device >= detail::DeviceCount() || !(detail::DeviceAt(device).halCaps2 & DDCAPS2_PRIMARYGAMMA)) {
      return DDERR_UNSUPPORTED;
    }
    g_ramp = *ramp;
    return DD_OK;
  }

 private:
  // The control stands for an interface of the surface: IUnknown leads back to the surface.
  HRESULT Answer(REFIID iid, void** object) override {
    if (iid == IID_IDirectDrawGammaControl) return HandOutSelf(object);
    if (iid == IID_IUnknown || iid == IID_IDirectDrawSurface4) {
      surface_->Hold();
      *object = static_cast<IDirectDrawSurface4*>(surface_);
      return S_OK;
    }
    return E_NOINTERFACE;
  }

  detail::SurfaceObject* surface_;
};

}  // namespace

namespace detail {

IDirectDrawGammaControl* MakeGammaControl(SurfaceObject* surface) { return new GammaControlObject(surface); }

void ResetGammaRamp() { g_ramp = IdentityRamp(); }

}  // namespace detail

DDGAMMARAMP GammaRamp() {
  auto lock = detail::LockSimulation();
  return g_ramp;
}

}  // namespace sim
