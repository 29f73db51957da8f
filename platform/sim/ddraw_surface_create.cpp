// CreateSurface: what a surface description asks for, which memory it gets
// (the test may take any memory away, so every fall-back is reachable), and
// the primary surface with its flipping chain on the screen's pixels.
#include <algorithm>

#include "sim/ddraw_internal.h"

namespace sim {
namespace {

constexpr DWORD kMemoryCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_NONLOCALVIDMEM;

bool g_memoryAvailable[3] = {true, true, true};
uint64_t g_nextSerial = 1;
uint64_t g_lastCreatedSerial = 0;
SurfaceInfo g_lastCreated;  // as it was made, for once it is gone

bool& Available(SurfaceMemory memory) { return g_memoryAvailable[static_cast<int>(memory)]; }

DWORD CapsOfMemory(SurfaceMemory memory) {
  switch (memory) {
    case SurfaceMemory::LocalVideo: return DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    case SurfaceMemory::NonLocalVideo: return DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM;
    case SurfaceMemory::System: return DDSCAPS_SYSTEMMEMORY;
  }
  return 0;
}

// The memories a request may be placed in, in the order DirectDraw tries them.
std::vector<SurfaceMemory> Candidates(DWORD caps) {
  if (caps & DDSCAPS_SYSTEMMEMORY) return {SurfaceMemory::System};
  if (caps & DDSCAPS_LOCALVIDMEM) return {SurfaceMemory::LocalVideo};
  if (caps & DDSCAPS_NONLOCALVIDMEM) return {SurfaceMemory::NonLocalVideo};
  if (caps & DDSCAPS_VIDEOMEMORY) return {SurfaceMemory::LocalVideo, SurfaceMemory::NonLocalVideo};
  return {SurfaceMemory::LocalVideo, SurfaceMemory::NonLocalVideo, SurfaceMemory::System};
}

HRESULT CheckMemoryCaps(DWORD caps) {
  const bool video = (caps & DDSCAPS_VIDEOMEMORY) != 0;
  const bool local = (caps & DDSCAPS_LOCALVIDMEM) != 0;
  const bool nonLocal = (caps & DDSCAPS_NONLOCALVIDMEM) != 0;
  if ((caps & DDSCAPS_SYSTEMMEMORY) && (video || local || nonLocal)) return DDERR_INVALIDCAPS;
  if ((local || nonLocal) && !video) return DDERR_INVALIDCAPS;
  if (local && nonLocal) return DDERR_INVALIDCAPS;
  return DD_OK;
}

struct Request {
  int width = 0;
  int height = 0;
  detail::PixelLayout layout;
  int backBuffers = 0;
};

// A new page holds whatever its memory held before, never zeros to rely on.
detail::PixelSurfacePtr FreshPixels(const Request& request) {
  auto pixels = std::make_shared<detail::PixelSurface>(request.width, request.height, request.layout);
  detail::FillAsFresh(pixels->Bits(), static_cast<size_t>(pixels->Pitch()) * static_cast<size_t>(pixels->Height()));
  return pixels;
}

HRESULT PrimaryRequest(const detail::DirectDrawState& owner, const DDSURFACEDESC2& desc, Request* request) {
  const DWORD caps = desc.ddsCaps.dwCaps;
  if (owner.level == 0) return DDERR_NOCOOPERATIVELEVELSET;
  for (detail::SurfaceObject* surface : detail::LiveSurfaceList()) {
    if (surface->owner.get() == &owner && surface->IsPrimary()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
  }
  // The primary surface is the screen: its size and format are not the caller's to choose.
  if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
  const bool flip = (caps & DDSCAPS_FLIP) != 0;
  const bool complex = (caps & DDSCAPS_COMPLEX) != 0;
  const bool counted = (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0;
  if (flip || complex || counted) {
    if (!flip || !complex) return DDERR_INVALIDCAPS;
    if (!counted || desc.dwBackBufferCount == 0) return DDERR_INVALIDPARAMS;
    // Page flipping belongs to exclusive full-screen programs.
    if (!(owner.level & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
    request->backBuffers = static_cast<int>(desc.dwBackBufferCount);
  }
  const detail::DisplayState& display = detail::Display();
  request->width = display.width;
  request->height = display.height;
  request->layout = display.layout;
  return DD_OK;
}

HRESULT OffscreenRequest(const DDSURFACEDESC2& desc, Request* request) {
  const DWORD caps = desc.ddsCaps.dwCaps;
  if (caps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER)) return DDERR_INVALIDCAPS;
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > 16384 || desc.dwHeight > 16384) {
    return DDERR_INVALIDPARAMS;
  }
  request->width = static_cast<int>(desc.dwWidth);
  request->height = static_cast<int>(desc.dwHeight);
  if (desc.dwFlags & DDSD_PIXELFORMAT) {
    if (!detail::LayoutOfPixelFormat(desc.ddpfPixelFormat, &request->layout)) return DDERR_INVALIDPIXELFORMAT;
    const bool depthFormat = (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) != 0;
    if (depthFormat != ((caps & DDSCAPS_ZBUFFER) != 0)) return DDERR_INVALIDPIXELFORMAT;
  } else if (caps & DDSCAPS_ZBUFFER) {
    return DDERR_INVALIDPIXELFORMAT;  // a depth buffer names its depth
  } else {
    request->layout = detail::Display().layout;
  }
  return DD_OK;
}

DWORD BytesOf(const Request& request) {
  const DWORD pitch = static_cast<DWORD>(((request.width * request.layout.bitCount / 8) + 3) & ~3);
  return pitch * static_cast<DWORD>(request.height);
}

}  // namespace

namespace detail {

std::vector<SurfaceObject*>& LiveSurfaceList() {
  static std::vector<SurfaceObject*> surfaces;
  return surfaces;
}

SurfaceObject* FindSurface(IDirectDrawSurface4* surface) {
  if (surface == nullptr) return nullptr;
  for (SurfaceObject* candidate : LiveSurfaceList()) {
    if (static_cast<IDirectDrawSurface4*>(candidate) == surface) return candidate;
  }
  return nullptr;
}

uint64_t LastCreatedSerial() { return g_lastCreatedSerial; }
const SurfaceInfo& LastCreatedSnapshot() { return g_lastCreated; }

void ResetSurfaceCreation() {
  // Surfaces the program still holds keep working, but no longer belong to the machine.
  LiveSurfaceList().clear();
  for (bool& available : g_memoryAvailable) available = true;
  g_lastCreatedSerial = 0;
  g_lastCreated = SurfaceInfo{};
}

HRESULT CreateSurfaceFor(const DirectDrawStatePtr& owner, DDSURFACEDESC2* desc, IDirectDrawSurface4** surface) {
  if (desc == nullptr || surface == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
  const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
  if (HRESULT check = CheckMemoryCaps(caps); FAILED(check)) return check;
  DDSURFACEDESC2 asked = *desc;
  asked.ddsCaps.dwCaps = caps;

  Request request;
  const bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
  if (HRESULT check = primary ? PrimaryRequest(*owner, asked, &request) : OffscreenRequest(asked, &request);
      FAILED(check)) {
    return check;
  }

  // The primary surface's own page is the screen, already there; every other page takes memory.
  const DWORD bytes = BytesOf(request) * static_cast<DWORD>(primary ? request.backBuffers : 1);
  const std::vector<SurfaceMemory> candidates = Candidates(caps);
  std::optional<SurfaceMemory> placed;
  for (SurfaceMemory memory : candidates) {
    if (!Available(memory)) continue;
    if (memory == SurfaceMemory::LocalVideo && bytes > FreeVideoMemory(owner->device)) continue;
    placed = memory;
    break;
  }
  if (!placed) return candidates.back() == SurfaceMemory::System ? DDERR_OUTOFMEMORY : DDERR_OUTOFVIDEOMEMORY;

  const DWORD kept = (caps & ~kMemoryCaps) | CapsOfMemory(*placed);
  SurfaceObject* made = nullptr;
  if (primary) {
    const DWORD chainCaps = request.backBuffers > 0 ? DDSCAPS_FRONTBUFFER : 0;
    made = new SurfaceObject(owner, Display().screen, kept | DDSCAPS_VISIBLE | chainCaps, *placed);
    made->gdiPixels = made->pixels;
    const DWORD backCaps = (kept & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER;
    for (int i = 0; i < request.backBuffers; ++i) {
      auto pixels = FreshPixels(request);
      auto* back = new SurfaceObject(owner, pixels, backCaps, *placed);
      back->front = made;
      made->backBuffers.push_back(back);  // the chain's reference, the one the back buffer was made with
    }
  } else {
    auto pixels = FreshPixels(request);
    made = new SurfaceObject(owner, pixels, kept, *placed);
  }
  if (*placed == SurfaceMemory::LocalVideo) {
    // Each page holds its own share, given back when that page goes.
    const DWORD page = BytesOf(request);
    for (SurfaceObject* back : made->backBuffers) back->videoMemoryTaken = page;
    if (!primary) made->videoMemoryTaken = page;
    TakeVideoMemory(owner->device, bytes);
  }
  if (asked.dwFlags & DDSD_CKSRCBLT) made->sourceKey = asked.ddckCKSrcBlt;
  if (asked.dwFlags & DDSD_CKDESTBLT) made->destKey = asked.ddckCKDestBlt;

  g_lastCreatedSerial = made->serial;
  g_lastCreated = DescribeSurfaceObject(*made);
  *surface = made;
  return DD_OK;
}

SurfaceObject::SurfaceObject(DirectDrawStatePtr ownerState, PixelSurfacePtr pixelMemory, DWORD surfaceCaps,
                             SurfaceMemory surfaceMemory)
    : ComObject("IDirectDrawSurface4", IID_IDirectDrawSurface4),
      owner(std::move(ownerState)),
      pixels(std::move(pixelMemory)),
      caps(surfaceCaps),
      memory(surfaceMemory),
      serial(g_nextSerial++),
      generation_(DirectDrawGeneration()) {
  LiveSurfaceList().push_back(this);
}

// Windows does not take back what the program still has out: a lent device
// context stays alive (and counted), a lock stays held; both are recorded.
SurfaceObject::~SurfaceObject() {
  if (generation_ == DirectDrawGeneration()) {
    const std::string which = std::to_string(pixels->Width()) + "x" + std::to_string(pixels->Height()) +
                              " surface #" + std::to_string(serial);
    if (dc != nullptr) {
      RecordContractViolation("IDirectDrawSurface4 released with its device context " + ArgHandle(dc) +
                              " still lent (" + which + ")");
    }
    if (locked) RecordContractViolation("IDirectDrawSurface4 released while locked (" + which + ")");
  }
  for (SurfaceObject* back : backBuffers) {
    back->front = nullptr;
    back->Drop();
  }
  for (SurfaceObject* child : attached) child->Drop();
  if (clipper != nullptr) clipper->Drop();
  if (palette != nullptr) palette->Drop();
  if (front != nullptr) {
    auto& chain = front->backBuffers;
    chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
  }
  if (generation_ != DirectDrawGeneration()) return;
  auto& live = LiveSurfaceList();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  if (videoMemoryTaken > 0 && owner->device >= 0) GiveBackVideoMemory(owner->device, videoMemoryTaken);
}

}  // namespace detail

const char* SurfaceMemoryName(SurfaceMemory memory) {
  switch (memory) {
    case SurfaceMemory::LocalVideo: return "local video memory";
    case SurfaceMemory::NonLocalVideo: return "non-local video memory";
    case SurfaceMemory::System: return "system memory";
  }
  return "?";
}

void SetSurfaceMemoryAvailable(SurfaceMemory memory, bool available) {
  auto lock = detail::LockSimulation();
  Available(memory) = available;
}

}  // namespace sim
