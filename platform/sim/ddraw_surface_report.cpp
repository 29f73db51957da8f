// What tests see of the surfaces: their description, their pixels, and
// losing them as another program taking the display would.
#include "sim/ddraw_internal.h"

namespace sim {

namespace detail {

SurfaceInfo DescribeSurfaceObject(const SurfaceObject& surface) {
  SurfaceInfo info;
  info.surface = const_cast<SurfaceObject*>(&surface);
  info.live = true;
  info.caps = surface.caps;
  info.memory = surface.memory;
  info.width = surface.pixels->Width();
  info.height = surface.pixels->Height();
  info.bitsPerPixel = surface.pixels->Layout().bitCount;
  info.references = static_cast<int>(surface.References());
  info.backBufferCount = static_cast<int>(surface.backBuffers.size());
  info.lost = surface.lost;
  info.hasSourceKey = surface.sourceKey.has_value();
  if (surface.sourceKey) info.sourceKey = *surface.sourceKey;
  info.hasClipper = surface.clipper != nullptr;
  info.clipperWindow = surface.clipper ? surface.clipper->window : nullptr;
  info.hasPalette = surface.palette != nullptr;
  return info;
}

}  // namespace detail

int LiveSurfaces() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(detail::LiveSurfaceList().size());
}

namespace {
const bool kCounted = detail::AddLiveCounter("surfaces", LiveSurfaces);
}  // namespace

std::vector<SurfaceInfo> Surfaces() {
  auto lock = detail::LockSimulation();
  std::vector<SurfaceInfo> infos;
  for (const detail::SurfaceObject* surface : detail::LiveSurfaceList())
    infos.push_back(detail::DescribeSurfaceObject(*surface));
  return infos;
}

SurfaceInfo LastCreatedSurface() {
  auto lock = detail::LockSimulation();
  for (const detail::SurfaceObject* surface : detail::LiveSurfaceList()) {
    if (surface->serial == detail::LastCreatedSerial()) return detail::DescribeSurfaceObject(*surface);
  }
  SurfaceInfo gone = detail::LastCreatedSnapshot();
  gone.live = false;
  gone.references = 0;
  return gone;
}

SurfaceInfo DescribeSurface(IDirectDrawSurface4* surface) {
  auto lock = detail::LockSimulation();
  const detail::SurfaceObject* found = detail::FindSurface(surface);
  return found ? detail::DescribeSurfaceObject(*found) : SurfaceInfo{};
}

uint32_t SurfaceRgb(IDirectDrawSurface4* surface, int x, int y) {
  auto lock = detail::LockSimulation();
  const detail::SurfaceObject* found = detail::FindSurface(surface);
  return found ? found->pixels->Rgb(x, y) : 0;
}

void SetSurfaceRgb(IDirectDrawSurface4* surface, int x, int y, uint32_t rgb) {
  auto lock = detail::LockSimulation();
  if (detail::SurfaceObject* found = detail::FindSurface(surface)) found->pixels->SetRgb(x, y, rgb);
}

uint32_t SurfaceRaw(IDirectDrawSurface4* surface, int x, int y) {
  auto lock = detail::LockSimulation();
  const detail::SurfaceObject* found = detail::FindSurface(surface);
  return found ? found->pixels->Raw(x, y) : 0;
}

void SetSurfaceRaw(IDirectDrawSurface4* surface, int x, int y, uint32_t raw) {
  auto lock = detail::LockSimulation();
  if (detail::SurfaceObject* found = detail::FindSurface(surface)) found->pixels->SetRaw(x, y, raw);
}

void FillSurfaceRgb(IDirectDrawSurface4* surface, uint32_t rgb) {
  auto lock = detail::LockSimulation();
  detail::SurfaceObject* found = detail::FindSurface(surface);
  if (found == nullptr) return;
  detail::PixelSurface& pixels = *found->pixels;
  pixels.Fill(RECT{0, 0, pixels.Width(), pixels.Height()}, pixels.RawFromRgb(rgb));
}

void MarkSurfaceLost(IDirectDrawSurface4* surface) {
  auto lock = detail::LockSimulation();
  if (detail::SurfaceObject* found = detail::FindSurface(surface)) found->lost = true;
}

void MarkAllSurfacesLost() {
  auto lock = detail::LockSimulation();
  for (detail::SurfaceObject* surface : detail::LiveSurfaceList()) surface->lost = true;
}

}  // namespace sim
