// Test control of the simulated DirectDraw (host build only): the display
// devices and their modes, the desktop, which surface memories exist, and a
// look at the screen, the surfaces and the objects the library made.
// sim::Reset brings back the boot state: one primary display driver with the
// standard modes, a 1024x768 desktop at 16 bits, every memory available.
#ifndef KR_SIM_DDRAW_CONTROL_H
#define KR_SIM_DDRAW_CONTROL_H

#include <ddraw.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// ---- Display devices and their modes -------------------------------------------
// bitsPerPixel is 8 (palette), 15 (16 bits with 5-5-5 masks), 16 (5-6-5), 24 or 32.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};
bool operator==(const DisplayMode& a, const DisplayMode& b);
// 640x480, 800x600 and 1024x768, each at 8, 16 and 32 bits, in that order.
std::vector<DisplayMode> StandardDisplayModes();

// Which DirectDrawEnumerateExA flag a device needs to be reported.
enum class DisplayDeviceKind {
  Primary,            // always reported
  AttachedSecondary,  // DDENUM_ATTACHEDSECONDARYDEVICES
  DetachedSecondary,  // DDENUM_DETACHEDSECONDARYDEVICES
  NonDisplay          // DDENUM_NONDISPLAYDEVICES (a 3D-only card)
};

constexpr DWORD kStandardVideoMemory = 8 * 1024 * 1024;

// One DirectDraw device. The defaults are the machine's primary display driver,
// which is reported and initialised without a GUID.
struct DisplayDevice {
  bool hasGuid = false;
  GUID guid = {};
  std::string description = "Primary Display Driver";
  std::string driverName = "display";
  DisplayDeviceKind kind = DisplayDeviceKind::Primary;
  // What GetCaps reports in the hardware record.
  DWORD halCaps = DDCAPS_3D | DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY;
  DWORD halCaps2 = DDCAPS2_CANRENDERWINDOWED | DDCAPS2_PRIMARYGAMMA;
  DWORD videoMemoryTotal = kStandardVideoMemory;
  DWORD videoMemoryFree = kStandardVideoMemory;  // before any surface takes some
  std::vector<DisplayMode> modes = StandardDisplayModes();
};

// Replaces the machine's devices (reported in this order). Set them before
// the library makes a DirectDraw object.
void SetDisplayDevices(const std::vector<DisplayDevice>& devices);
void AddDisplayDevice(const DisplayDevice& device);
std::vector<DisplayDevice> DisplayDevices();
// Local display memory the device has left (its videoMemoryFree less what live surfaces take).
DWORD VideoMemoryFree(int deviceIndex);
// A careless driver: DirectDrawEnumerateExA, EnumDisplayModes, the Direct3D
// enumerations and DirectPlay's EnumConnections, EnumSessions and EnumPlayers
// go on calling back after the callback asked to stop (off after sim::Reset).
void SetEnumerationIgnoresStop(bool ignores);

// ---- The desktop, the display mode, the cooperative level -------------------------
// There is one screen, whichever device sets its mode. A mode change (SetDisplayMode,
// RestoreDisplayMode, an exclusive object leaving or going away) loses every primary
// surface and every surface in display memory; system-memory surfaces keep going.
// The mode Windows runs in when no program has changed it (boot: 1024x768x16).
// Setting it remakes the screen (black) and loses surfaces, as a mode change does.
void SetDesktopMode(int width, int height, int bitsPerPixel);
DisplayMode DesktopMode();
DisplayMode CurrentDisplayMode();  // what the screen shows now
bool DisplayModeIsDesktop();       // no SetDisplayMode in effect

// The last successful SetCooperativeLevel of any DirectDraw object (0 and NULL before one).
DWORD CooperativeLevel();
HWND CooperativeWindow();
bool ExclusiveModeHeld();  // a live object holds DDSCL_EXCLUSIVE

// ---- The screen's pixels ----------------------------------------------------------
// Colours are 0x00RRGGBB, converted through the screen's format (and palette at 8 bits).
uint32_t ScreenRgb(int x, int y);
uint32_t ScreenRaw(int x, int y);
void FillScreenRgb(uint32_t rgb);

// The screen's gamma ramp (IDirectDrawGammaControl of a primary surface); boot: identity, i * 257.
DDGAMMARAMP GammaRamp();

// ---- Surface memory ---------------------------------------------------------------
enum class SurfaceMemory { LocalVideo, NonLocalVideo, System };
const char* SurfaceMemoryName(SurfaceMemory memory);
// An unavailable memory refuses every surface asked of it: DDERR_OUTOFVIDEOMEMORY
// for the video memories, DDERR_OUTOFMEMORY for system memory.
// Where a request goes: DDSCAPS_LOCALVIDMEM and DDSCAPS_NONLOCALVIDMEM (with
// DDSCAPS_VIDEOMEMORY) name one memory; DDSCAPS_VIDEOMEMORY alone takes local,
// else non-local; no memory caps take local, non-local, then system memory.
// Local memory also has to fit in the device's free display memory. A plain
// DDSCAPS_VIDEOMEMORY request therefore only succeeds after LOCALVIDMEM and
// NONLOCALVIDMEM ones failed when those failures are injected: FailNext on
// "IDirectDraw4::CreateSurface" with their caps text ("caps 0x10006200}").
void SetSurfaceMemoryAvailable(SurfaceMemory memory, bool available);

// ---- Objects and surfaces -----------------------------------------------------------
int LiveDirectDrawObjects();
int LiveSurfaces();  // a flipping chain counts each of its surfaces
int LiveClippers();
int LivePalettes();

struct SurfaceInfo {
  IDirectDrawSurface4* surface = nullptr;
  bool live = false;
  DWORD caps = 0;  // as GetCaps reports them, with the memory the surface got
  SurfaceMemory memory = SurfaceMemory::System;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int references = 0;
  int backBufferCount = 0;  // the front of a flipping chain: its back buffers
  bool lost = false;
  bool hasSourceKey = false;
  DDCOLORKEY sourceKey = {};
  bool hasClipper = false;
  HWND clipperWindow = nullptr;
  bool hasPalette = false;
};
// Live surfaces in the order they were made.
std::vector<SurfaceInfo> Surfaces();
// The surface the last successful CreateSurface made, as it is now (live false once released).
SurfaceInfo LastCreatedSurface();
SurfaceInfo DescribeSurface(IDirectDrawSurface4* surface);

// Pixels of a live surface; colours 0x00RRGGBB through its format and palette.
uint32_t SurfaceRgb(IDirectDrawSurface4* surface, int x, int y);
void SetSurfaceRgb(IDirectDrawSurface4* surface, int x, int y, uint32_t rgb);
uint32_t SurfaceRaw(IDirectDrawSurface4* surface, int x, int y);
void SetSurfaceRaw(IDirectDrawSurface4* surface, int x, int y, uint32_t raw);
void FillSurfaceRgb(IDirectDrawSurface4* surface, uint32_t rgb);

// Lost surfaces: as when another program takes the display. IsLost then
// reports DDERR_SURFACELOST and drawing fails with it until Restore.
void MarkSurfaceLost(IDirectDrawSurface4* surface);
void MarkAllSurfacesLost();

}  // namespace sim

#endif
