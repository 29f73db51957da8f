// The DirectDraw object: created uninitialised by CoCreateInstance through
// IDirectDraw, used through IDirectDraw4 once Initialize has bound it to a
// device. Both interfaces share one reference count.
#include <cstring>

#include "sim/ddraw_internal.h"

namespace sim::detail {
namespace {

QueryHooks<IDirectDraw4>& DirectDrawHooks() {
  static QueryHooks<IDirectDraw4> hooks;
  return hooks;
}

// Software emulation: what the HEL record reports on every device.
constexpr DWORD kEmulationCaps = DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY;

bool CapsRecordSizeOk(const DDCAPS* caps) { return caps == nullptr || caps->dwSize == sizeof(DDCAPS); }

void FillCaps(DDCAPS* caps, DWORD flags, DWORD flags2, DWORD total, DWORD free) {
  if (caps == nullptr) return;
  const DWORD size = caps->dwSize;
  std::memset(caps, 0, sizeof *caps);
  caps->dwSize = size;
  caps->dwCaps = flags;
  caps->dwCaps2 = flags2;
  caps->dwVidMemTotal = total;
  caps->dwVidMemFree = free;
  caps->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                         DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY |
                         DDSCAPS_LOCALVIDMEM | DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER;
}

bool ModeMatches(const DisplayMode& mode, DWORD width, DWORD height, DWORD bitsPerPixel) {
  // A 5-5-5 mode is a 16-bit mode to DirectDraw.
  const DWORD bits = mode.bitsPerPixel == 15 ? 16 : static_cast<DWORD>(mode.bitsPerPixel);
  return static_cast<DWORD>(mode.width) == width && static_cast<DWORD>(mode.height) == height && bits == bitsPerPixel;
}

class DirectDrawObject;

// IDirectDraw: what CoCreateInstance hands out. Only what the first interface
// and the fourth share is carried out; methods with the first version's
// records are not.
class DirectDrawV1 final : public IDirectDraw {
 public:
  explicit DirectDrawV1(DirectDrawObject& object) : object_(object) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Compact() override;
  HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* palette,
                                          IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                          IUnknown* outer) override {
    return RecordUnsupported("IDirectDraw::CreateSurface",
                             JoinArgs({ArgPointer(desc), ArgPointer(surface), ArgPointer(outer)}));
  }
  HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE surface, LPDIRECTDRAWSURFACE* duplicate) override {
    return RecordUnsupported("IDirectDraw::DuplicateSurface", JoinArgs({ArgPointer(surface), ArgPointer(duplicate)}));
  }
  HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                                             LPDDENUMMODESCALLBACK callback) override {
    return RecordUnsupported("IDirectDraw::EnumDisplayModes",
                             JoinArgs({ArgHex(flags), ArgPointer(desc), ArgPointer(context),
                                       ArgPointer(reinterpret_cast<const void*>(callback))}));
  }
  HRESULT STDMETHODCALLTYPE EnumSurfaces(DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                                         LPDDENUMSURFACESCALLBACK callback) override {
    return RecordUnsupported("IDirectDraw::EnumSurfaces",
                             JoinArgs({ArgHex(flags), ArgPointer(desc), ArgPointer(context),
                                       ArgPointer(reinterpret_cast<const void*>(callback))}));
  }
  HRESULT STDMETHODCALLTYPE FlipToGDISurface() override;
  HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS hal, LPDDCAPS hel) override;
  HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC desc) override {
    return RecordUnsupported("IDirectDraw::GetDisplayMode", ArgPointer(desc));
  }
  HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD count, LPDWORD codes) override;
  HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE* surface) override {
    return RecordUnsupported("IDirectDraw::GetGDISurface", ArgPointer(surface));
  }
  HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD frequency) override;
  HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD line) override;
  HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(BOOL* inBlank) override;
  HRESULT STDMETHODCALLTYPE Initialize(GUID* guid) override;
  HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
  HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD flags, HANDLE event) override;

 private:
  DirectDrawObject& object_;
};

class DirectDrawObject final : public ComObject<IDirectDraw4> {
 public:
  DirectDrawObject()
      : ComObject("IDirectDraw4", IID_IDirectDraw4),
        live_(LiveDirectDrawCount(), DirectDrawGeneration),
        state_(std::make_shared<DirectDrawState>()) {
    state_->object = this;
  }

  ~DirectDrawObject() override {
    state_->alive = false;
    state_->object = nullptr;
    if (!live_.Current()) return;
    // An exclusive program that goes away gives the display back to the desktop.
    if (ExclusiveOwner() == state_.get()) SetExclusiveOwner(nullptr);
    LeaveDisplayMode(state_.get());
  }

  IDirectDraw* V1() { return &v1_; }

  // ---- Shared by both interfaces; `function` names the one called ----
  HRESULT DoInitialize(const char* function, GUID* guid) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, guid ? ArgGuid(*guid) : "NULL")) return AsHresult(*failure);
    if (state_->device >= 0) return DDERR_ALREADYINITIALIZED;
    const int device = FindDevice(guid);
    if (device < 0) return DDERR_INVALIDDIRECTDRAWGUID;
    state_->device = device;
    return DD_OK;
  }

  HRESULT DoGetCaps(const char* function, LPDDCAPS hal, LPDDCAPS hel) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, JoinArgs({ArgPointer(hal), ArgPointer(hel)}))) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if ((hal == nullptr && hel == nullptr) || !CapsRecordSizeOk(hal) || !CapsRecordSizeOk(hel)) {
      return DDERR_INVALIDPARAMS;
    }
    const DisplayDevice& device = DeviceAt(state_->device);
    FillCaps(hal, device.halCaps, device.halCaps2, device.videoMemoryTotal, FreeVideoMemory(state_->device));
    FillCaps(hel, kEmulationCaps, 0, 0, 0);
    return DD_OK;
  }

  HRESULT DoSetCooperativeLevel(const char* function, HWND window, DWORD flags) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, JoinArgs({ArgHandle(window), ArgHex(flags)}))) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    // Exclusive and full screen go together, and exactly one of normal and exclusive is asked.
    if (exclusive != ((flags & DDSCL_FULLSCREEN) != 0) || normal == exclusive) return DDERR_INVALIDPARAMS;
    if (exclusive && window == nullptr) return DDERR_INVALIDPARAMS;
    if (exclusive && ExclusiveOwner() != nullptr && ExclusiveOwner() != state_.get()) {
      return DDERR_EXCLUSIVEMODEALREADYSET;
    }
    if (exclusive) {
      SetExclusiveOwner(state_.get());
    } else if (ExclusiveOwner() == state_.get()) {
      SetExclusiveOwner(nullptr);
      LeaveDisplayMode(state_.get());
    }
    state_->level = flags;
    state_->window = window;
    NoteCooperativeLevel(window, flags);
    return DD_OK;
  }

  HRESULT DoSetDisplayMode(const char* function, const std::string& arguments, DWORD width, DWORD height,
                           DWORD bitsPerPixel, DWORD flags) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    constexpr DWORD kStandardVgaMode = 0x1;
    if (flags & ~kStandardVgaMode) return DDERR_INVALIDPARAMS;
    if (!(state_->level & DDSCL_EXCLUSIVE) || ExclusiveOwner() != state_.get()) return DDERR_NOEXCLUSIVEMODE;
    for (const DisplayMode& mode : DeviceAt(state_->device).modes) {
      if (!ModeMatches(mode, width, height, bitsPerPixel)) continue;
      EnterDisplayMode(mode, state_.get());
      return DD_OK;
    }
    return DDERR_INVALIDMODE;
  }

  HRESULT DoRestoreDisplayMode(const char* function) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, "")) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    LeaveDisplayMode(state_.get());
    return DD_OK;
  }

  // Shows the page GDI draws in again, if the object's flipping chain has moved it away.
  HRESULT DoFlipToGDISurface(const char* function) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, "")) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    for (SurfaceObject* surface : LiveSurfaceList()) {
      if (surface->owner != state_ || !surface->IsPrimary() || surface->backBuffers.empty()) continue;
      for (size_t step = 0; step <= surface->backBuffers.size() && surface->pixels != surface->gdiPixels; ++step) {
        RotateChain(surface);
      }
    }
    return DD_OK;
  }

  HRESULT DoCreateClipper(const char* function, DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    auto lock = LockSimulation();
    if (clipper != nullptr) *clipper = nullptr;
    if (auto failure = EnterCall(function, JoinArgs({ArgHex(flags), ArgPointer(clipper), ArgPointer(outer)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (clipper == nullptr || flags != 0) return DDERR_INVALIDPARAMS;
    *clipper = new ClipperObject();
    return DD_OK;
  }

  HRESULT DoCreatePalette(const char* function, DWORD flags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* palette,
                          IUnknown* outer) {
    auto lock = LockSimulation();
    if (palette != nullptr) *palette = nullptr;
    if (auto failure =
            EnterCall(function, JoinArgs({ArgHex(flags), ArgPointer(table), ArgPointer(palette), ArgPointer(outer)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (palette == nullptr || table == nullptr) return DDERR_INVALIDPARAMS;
    // Palettes of 256 or 16 entries; 1 and 2-bit palettes are not simulated.
    const DWORD size = flags & (DDPCAPS_8BIT | DDPCAPS_4BIT);
    if (size == (DDPCAPS_8BIT | DDPCAPS_4BIT)) return DDERR_INVALIDPARAMS;
    if (size == 0) return DDERR_UNSUPPORTED;
    *palette = new PaletteObject(flags, table);
    return DD_OK;
  }

  // A call that always succeeds once the object is initialised.
  HRESULT Plain(const char* function, const std::string& arguments) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, arguments)) return AsHresult(*failure);
    return state_->device < 0 ? DDERR_NOTINITIALIZED : DD_OK;
  }

  HRESULT DoGetFourCCCodes(const char* function, LPDWORD count, LPDWORD codes) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall(function, JoinArgs({ArgPointer(count), ArgPointer(codes)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (count == nullptr) return DDERR_INVALIDPARAMS;
    *count = 0;  // no FourCC formats
    return DD_OK;
  }

  HRESULT DoGetMonitorFrequency(const char* function, LPDWORD frequency) {
    const HRESULT result = Plain(function, ArgPointer(frequency));
    if (FAILED(result)) return result;
    if (frequency == nullptr) return DDERR_INVALIDPARAMS;
    *frequency = 60;
    return DD_OK;
  }

  HRESULT DoGetScanLine(const char* function, LPDWORD line) {
    const HRESULT result = Plain(function, ArgPointer(line));
    if (FAILED(result)) return result;
    if (line == nullptr) return DDERR_INVALIDPARAMS;
    *line = 0;
    return DD_OK;
  }

  HRESULT DoGetVerticalBlankStatus(const char* function, BOOL* inBlank) {
    const HRESULT result = Plain(function, ArgPointer(inBlank));
    if (FAILED(result)) return result;
    if (inBlank == nullptr) return DDERR_INVALIDPARAMS;
    *inBlank = FALSE;
    return DD_OK;
  }

  // ---- IDirectDraw4 ----
  HRESULT STDMETHODCALLTYPE Compact() override { return Plain("IDirectDraw4::Compact", ""); }
  HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override {
    return DoCreateClipper("IDirectDraw4::CreateClipper", flags, clipper, outer);
  }
  HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* palette,
                                          IUnknown* outer) override {
    return DoCreatePalette("IDirectDraw4::CreatePalette", flags, table, palette, outer);
  }

  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                          IUnknown* outer) override {
    auto lock = LockSimulation();
    if (surface != nullptr) *surface = nullptr;
    if (auto failure = EnterCall("IDirectDraw4::CreateSurface",
                                 JoinArgs({ArgSurfaceDesc(desc), ArgPointer(surface), ArgPointer(outer)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateSurfaceFor(state_, desc, surface);
  }

  HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE4 surface, LPDIRECTDRAWSURFACE4* duplicate) override {
    return RecordUnsupported("IDirectDraw4::DuplicateSurface", JoinArgs({ArgPointer(surface), ArgPointer(duplicate)}));
  }

  HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                             LPDDENUMMODESCALLBACK2 callback) override {
    auto lock = LockSimulation();
    if (auto failure = EnterCall("IDirectDraw4::EnumDisplayModes",
                                 JoinArgs({ArgHex(flags), ArgSurfaceDesc(desc), ArgPointer(context),
                                           ArgPointer(reinterpret_cast<const void*>(callback))}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (callback == nullptr || (desc != nullptr && desc->dwSize != sizeof *desc)) return DDERR_INVALIDPARAMS;
    const std::vector<DisplayMode> modes = DeviceAt(state_->device).modes;  // the callback may reconfigure
    for (const DisplayMode& mode : modes) {
      DDSURFACEDESC2 described;
      DescribeMode(mode, &described);
      if (desc != nullptr) {
        // Only the fields the caller set narrow the list.
        if ((desc->dwFlags & DDSD_WIDTH) && desc->dwWidth != described.dwWidth) continue;
        if ((desc->dwFlags & DDSD_HEIGHT) && desc->dwHeight != described.dwHeight) continue;
        if ((desc->dwFlags & DDSD_PIXELFORMAT) &&
            desc->ddpfPixelFormat.dwRGBBitCount != described.ddpfPixelFormat.dwRGBBitCount) {
          continue;
        }
      }
      if (callback(&described, context) == DDENUMRET_CANCEL && !EnumerationIgnoresStop()) break;
    }
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE EnumSurfaces(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                         LPDDENUMSURFACESCALLBACK2 callback) override {
    return RecordUnsupported("IDirectDraw4::EnumSurfaces",
                             JoinArgs({ArgHex(flags), ArgSurfaceDesc(desc), ArgPointer(context),
                                       ArgPointer(reinterpret_cast<const void*>(callback))}));
  }

  HRESULT STDMETHODCALLTYPE FlipToGDISurface() override { return DoFlipToGDISurface("IDirectDraw4::FlipToGDISurface"); }
  HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS hal, LPDDCAPS hel) override {
    return DoGetCaps("IDirectDraw4::GetCaps", hal, hel);
  }

  HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) override {
    auto lock = LockSimulation();
    if (auto failure = EnterCall("IDirectDraw4::GetDisplayMode", ArgPointer(desc))) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (desc == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
    DescribeMode(CurrentDisplayMode(), desc);
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD count, LPDWORD codes) override {
    return DoGetFourCCCodes("IDirectDraw4::GetFourCCCodes", count, codes);
  }

  HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE4* surface) override {
    auto lock = LockSimulation();
    if (surface != nullptr) *surface = nullptr;
    if (auto failure = EnterCall("IDirectDraw4::GetGDISurface", ArgPointer(surface))) return AsHresult(*failure);
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    for (SurfaceObject* candidate : LiveSurfaceList()) {
      if (candidate->owner != state_ || !candidate->IsPrimary()) continue;
      candidate->Hold();
      *surface = candidate;
      return DD_OK;
    }
    return DDERR_NOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD frequency) override {
    return DoGetMonitorFrequency("IDirectDraw4::GetMonitorFrequency", frequency);
  }
  HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD line) override {
    return DoGetScanLine("IDirectDraw4::GetScanLine", line);
  }
  HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(BOOL* inBlank) override {
    return DoGetVerticalBlankStatus("IDirectDraw4::GetVerticalBlankStatus", inBlank);
  }
  HRESULT STDMETHODCALLTYPE Initialize(GUID* guid) override { return DoInitialize("IDirectDraw4::Initialize", guid); }
  HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override {
    return DoRestoreDisplayMode("IDirectDraw4::RestoreDisplayMode");
  }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
    return DoSetCooperativeLevel("IDirectDraw4::SetCooperativeLevel", window, flags);
  }
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                           DWORD flags) override {
    return DoSetDisplayMode(
        "IDirectDraw4::SetDisplayMode",
        JoinArgs({ArgDec(width), ArgDec(height), ArgDec(bitsPerPixel), ArgDec(refreshRate), ArgHex(flags)}), width,
        height, bitsPerPixel, flags);
  }
  HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD flags, HANDLE event) override {
    return Plain("IDirectDraw4::WaitForVerticalBlank", JoinArgs({ArgHex(flags), ArgHandle(event)}));
  }

  HRESULT STDMETHODCALLTYPE GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) override {
    auto lock = LockSimulation();
    if (auto failure = EnterCall("IDirectDraw4::GetAvailableVidMem", JoinArgs({caps ? ArgHex(caps->dwCaps) : "NULL",
                                                                               ArgPointer(total), ArgPointer(free)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (caps == nullptr || (total == nullptr && free == nullptr)) return DDERR_INVALIDPARAMS;
    if (caps->dwCaps & DDSCAPS_SYSTEMMEMORY) return DDERR_INVALIDCAPS;
    // Non-local (AGP) memory is not counted as the card's own.
    const bool nonLocal = (caps->dwCaps & DDSCAPS_NONLOCALVIDMEM) != 0;
    if (total != nullptr) *total = nonLocal ? 0 : DeviceAt(state_->device).videoMemoryTotal;
    if (free != nullptr) *free = nonLocal ? 0 : FreeVideoMemory(state_->device);
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE GetSurfaceFromDC(HDC dc, LPDIRECTDRAWSURFACE4* surface) override {
    auto lock = LockSimulation();
    if (surface != nullptr) *surface = nullptr;
    if (auto failure = EnterCall("IDirectDraw4::GetSurfaceFromDC", JoinArgs({ArgHandle(dc), ArgPointer(surface)}))) {
      return AsHresult(*failure);
    }
    if (state_->device < 0) return DDERR_NOTINITIALIZED;
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    for (SurfaceObject* candidate : LiveSurfaceList()) {
      if (candidate->owner != state_ || dc == nullptr || candidate->dc != dc) continue;
      candidate->Hold();
      *surface = candidate;
      return DD_OK;
    }
    return DDERR_NOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override {
    const HRESULT result = Plain("IDirectDraw4::RestoreAllSurfaces", "");
    if (FAILED(result)) return result;
    for (SurfaceObject* surface : LiveSurfaceList()) {
      if (surface->owner == state_) RestoreSurface(surface);
    }
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override {
    const HRESULT result = Plain("IDirectDraw4::TestCooperativeLevel", "");
    if (FAILED(result)) return result;
    if ((state_->level & DDSCL_EXCLUSIVE) && ExclusiveOwner() != state_.get()) return DDERR_NOEXCLUSIVEMODE;
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceIdentifier(struct tagDDDEVICEIDENTIFIER* identifier, DWORD flags) override {
    return RecordUnsupported("IDirectDraw4::GetDeviceIdentifier", JoinArgs({ArgPointer(identifier), ArgHex(flags)}));
  }

 private:
  // Both interfaces hand out the one object; other areas add theirs by hooks.
  HRESULT Answer(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDirectDraw4) return HandOutSelf(object);
    if (iid == IID_IDirectDraw) {
      Hold();
      *object = V1();
      return S_OK;
    }
    return DirectDrawHooks().Ask(this, iid, object);
  }

  LiveTally live_;
  DirectDrawStatePtr state_;
  DirectDrawV1 v1_{*this};
};

HRESULT DirectDrawV1::QueryInterface(REFIID riid, void** object) {
  return object_.QueryAs("IDirectDraw", riid, object);
}
ULONG DirectDrawV1::AddRef() { return object_.AddRefAs("IDirectDraw"); }
ULONG DirectDrawV1::Release() { return object_.ReleaseAs("IDirectDraw"); }
HRESULT DirectDrawV1::Compact() { return object_.Plain("IDirectDraw::Compact", ""); }
HRESULT DirectDrawV1::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  return object_.DoCreateClipper("IDirectDraw::CreateClipper", flags, clipper, outer);
}
HRESULT DirectDrawV1::CreatePalette(DWORD flags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* palette, IUnknown* outer) {
  return object_.DoCreatePalette("IDirectDraw::CreatePalette", flags, table, palette, outer);
}
HRESULT DirectDrawV1::FlipToGDISurface() { return object_.DoFlipToGDISurface("IDirectDraw::FlipToGDISurface"); }
HRESULT DirectDrawV1::GetCaps(LPDDCAPS hal, LPDDCAPS hel) {
  return object_.DoGetCaps("IDirectDraw::GetCaps", hal, hel);
}
HRESULT DirectDrawV1::GetFourCCCodes(LPDWORD count, LPDWORD codes) {
  return object_.DoGetFourCCCodes("IDirectDraw::GetFourCCCodes", count, codes);
}
HRESULT DirectDrawV1::GetMonitorFrequency(LPDWORD frequency) {
  return object_.DoGetMonitorFrequency("IDirectDraw::GetMonitorFrequency", frequency);
}
HRESULT DirectDrawV1::GetScanLine(LPDWORD line) { return object_.DoGetScanLine("IDirectDraw::GetScanLine", line); }
HRESULT DirectDrawV1::GetVerticalBlankStatus(BOOL* inBlank) {
  return object_.DoGetVerticalBlankStatus("IDirectDraw::GetVerticalBlankStatus", inBlank);
}
HRESULT DirectDrawV1::Initialize(GUID* guid) { return object_.DoInitialize("IDirectDraw::Initialize", guid); }
HRESULT DirectDrawV1::RestoreDisplayMode() { return object_.DoRestoreDisplayMode("IDirectDraw::RestoreDisplayMode"); }
HRESULT DirectDrawV1::SetCooperativeLevel(HWND window, DWORD flags) {
  return object_.DoSetCooperativeLevel("IDirectDraw::SetCooperativeLevel", window, flags);
}
HRESULT DirectDrawV1::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  return object_.DoSetDisplayMode("IDirectDraw::SetDisplayMode",
                                  JoinArgs({ArgDec(width), ArgDec(height), ArgDec(bitsPerPixel)}), width, height,
                                  bitsPerPixel, 0);
}
HRESULT DirectDrawV1::WaitForVerticalBlank(DWORD flags, HANDLE event) {
  return object_.Plain("IDirectDraw::WaitForVerticalBlank", JoinArgs({ArgHex(flags), ArgHandle(event)}));
}

}  // namespace

int& LiveDirectDrawCount() {
  static int count = 0;
  return count;
}

HRESULT CreateDirectDrawObject(REFIID iid, void** object) {
  auto lock = LockSimulation();
  auto* created = new DirectDrawObject();
  // The factory's query is the creation itself, not a call of the program's.
  HRESULT result = E_NOINTERFACE;
  if (iid == IID_IUnknown || iid == IID_IDirectDraw4) {
    *object = static_cast<IDirectDraw4*>(created);
    result = S_OK;
  } else if (iid == IID_IDirectDraw) {
    *object = created->V1();
    result = S_OK;
  }
  if (FAILED(result)) delete created;
  return result;
}

void HoldDirectDraw(IDirectDraw4* directDraw) { static_cast<DirectDrawObject*>(directDraw)->Hold(); }

void AddDirectDrawQueryHook(DirectDrawQueryHook hook) {
  auto lock = LockSimulation();
  DirectDrawHooks().Add(hook);
}

}  // namespace sim::detail

namespace sim {

int LiveDirectDrawObjects() {
  auto lock = detail::LockSimulation();
  return detail::LiveDirectDrawCount();
}

namespace {
const bool kCounted = detail::AddLiveCounter("DirectDraw objects", LiveDirectDrawObjects);
}  // namespace

}  // namespace sim
