// The screen: the desktop's mode, the mode a full-screen program sets in its
// place, the screen's pixels, and who holds the exclusive cooperative level.
#include "sim/ddraw_internal.h"

namespace sim {
namespace {

DisplayMode g_desktop{1024, 768, 16};
DisplayMode g_current{1024, 768, 16};
const void* g_modeOwner = nullptr;        // the DirectDraw object whose SetDisplayMode is in effect
detail::PixelSurfacePtr g_desktopPixels;  // the desktop's screen, kept while another mode shows
const void* g_exclusiveOwner = nullptr;
DWORD g_lastLevel = 0;
HWND g_lastLevelWindow = nullptr;

void ShowOnScreen(const DisplayMode& mode, detail::PixelSurfacePtr pixels) {
  detail::DisplayState& display = detail::Display();
  display.width = mode.width;
  display.height = mode.height;
  display.layout = detail::LayoutOfDepth(mode.bitsPerPixel);
  display.bitsPerPixel = display.layout.bitCount;
  if (!pixels || pixels->Width() != mode.width || pixels->Height() != mode.height ||
      !detail::SameLayout(pixels->Layout(), display.layout)) {
    pixels = std::make_shared<detail::PixelSurface>(mode.width, mode.height, display.layout);
  }
  display.screen = std::move(pixels);
  g_current = mode;
}

}  // namespace

namespace detail {

DisplayState& Display() {
  static DisplayState display;
  if (!display.screen) {
    display.layout = LayoutOfDepth(g_current.bitsPerPixel);
    display.width = g_current.width;
    display.height = g_current.height;
    display.bitsPerPixel = display.layout.bitCount;
    display.screen = std::make_shared<PixelSurface>(display.width, display.height, display.layout);
  }
  return display;
}

void EnterDisplayMode(const DisplayMode& mode, const void* owner) {
  if (g_modeOwner == nullptr) g_desktopPixels = Display().screen;
  g_modeOwner = owner;
  ShowOnScreen(mode, nullptr);
  LoseSurfacesOfModeChange();
}

void LeaveDisplayMode(const void* owner) {
  if (g_modeOwner == nullptr || g_modeOwner != owner) return;
  g_modeOwner = nullptr;
  ShowOnScreen(g_desktop, std::move(g_desktopPixels));
  g_desktopPixels.reset();
  LoseSurfacesOfModeChange();
}

const void* DisplayModeOwner() { return g_modeOwner; }
const void* ExclusiveOwner() { return g_exclusiveOwner; }
void SetExclusiveOwner(const void* owner) { g_exclusiveOwner = owner; }

void NoteCooperativeLevel(HWND window, DWORD flags) {
  g_lastLevelWindow = window;
  g_lastLevel = flags;
}

// Display memory is given to the new mode: what was in it, and the primary, is gone.
void LoseSurfacesOfModeChange() {
  for (SurfaceObject* surface : LiveSurfaceList()) {
    if (surface->IsPrimary() || surface->memory != SurfaceMemory::System) surface->lost = true;
  }
}

}  // namespace detail

void SetDesktopMode(int width, int height, int bitsPerPixel) {
  auto lock = detail::LockSimulation();
  g_desktop = DisplayMode{width, height, bitsPerPixel};
  g_modeOwner = nullptr;
  g_desktopPixels.reset();
  ShowOnScreen(g_desktop, nullptr);
  detail::LoseSurfacesOfModeChange();
}

DisplayMode DesktopMode() {
  auto lock = detail::LockSimulation();
  return g_desktop;
}

DisplayMode CurrentDisplayMode() {
  auto lock = detail::LockSimulation();
  return g_current;
}

bool DisplayModeIsDesktop() {
  auto lock = detail::LockSimulation();
  return g_modeOwner == nullptr;
}

DWORD CooperativeLevel() {
  auto lock = detail::LockSimulation();
  return g_lastLevel;
}

HWND CooperativeWindow() {
  auto lock = detail::LockSimulation();
  return g_lastLevelWindow;
}

bool ExclusiveModeHeld() {
  auto lock = detail::LockSimulation();
  return g_exclusiveOwner != nullptr;
}

uint32_t ScreenRgb(int x, int y) {
  auto lock = detail::LockSimulation();
  return detail::Display().screen->Rgb(x, y);
}

uint32_t ScreenRaw(int x, int y) {
  auto lock = detail::LockSimulation();
  return detail::Display().screen->Raw(x, y);
}

void FillScreenRgb(uint32_t rgb) {
  auto lock = detail::LockSimulation();
  detail::PixelSurface& screen = *detail::Display().screen;
  screen.Fill(RECT{0, 0, screen.Width(), screen.Height()}, screen.RawFromRgb(rgb));
}

}  // namespace sim
