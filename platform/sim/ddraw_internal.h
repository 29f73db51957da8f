// Shared by the files of the simulated DirectDraw: the objects behind the
// interfaces, the devices, the display mode and the pixel-format helpers.
//
// The objects are plain C++ classes implementing the SDK interfaces. Their
// state is open to the simulation's own files (and to later areas such as
// Direct3D, which draw into a surface's pixels); references taken by the
// simulation itself go through Hold/Drop, never through the recorded AddRef
// and Release.
#ifndef KR_SIM_DDRAW_INTERNAL_H
#define KR_SIM_DDRAW_INTERNAL_H

#include <ddraw.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/com_object.h"
#include "sim/ddraw_control.h"
#include "sim/display.h"
#include "sim/pixel_surface.h"
#include "sim/sim_internal.h"

namespace sim::detail {

// ---- Argument text ------------------------------------------------------------------
std::string ArgRect(const RECT* rect);                   // {0, 0, 640, 480} or NULL
std::string ArgSurfaceDesc(const DDSURFACEDESC2* desc);  // {flags 0x7, caps 0x840, 64x32}
std::string ArgColorKey(const DDCOLORKEY* key);          // {0x0, 0x0} or NULL

// A method the simulation does not carry out: recorded, then DDERR_UNSUPPORTED
// (or the armed failure).
HRESULT RecordUnsupported(const char* function, const std::string& arguments);

// ---- Pixel formats ----------------------------------------------------------------------
PixelLayout LayoutOfDepth(int bitsPerPixel);   // 8, 15 (5-5-5), 16 (5-6-5), 24, 32
int DepthOfLayout(const PixelLayout& layout);  // 15 for 5-5-5
bool SameLayout(const PixelLayout& a, const PixelLayout& b);
// A depth buffer's layout: its bit count without colour masks.
PixelLayout DepthBufferLayout(int bits);
void DescribeLayout(const PixelLayout& layout, bool depthBuffer, DDPIXELFORMAT* format);
// False when the format is none the simulation can hold.
bool LayoutOfPixelFormat(const DDPIXELFORMAT& format, PixelLayout* layout);
void DescribeMode(const DisplayMode& mode, DDSURFACEDESC2* desc);

// ---- Devices (ddraw_devices.cpp) ---------------------------------------------------------
int DeviceCount();
// The device a DirectDraw object is initialised with: null is the primary display driver.
int FindDevice(const GUID* guid);  // -1 when no device has that GUID
const DisplayDevice& DeviceAt(int index);
// Local display memory taken by live surfaces of the device.
void TakeVideoMemory(int device, DWORD bytes);
void GiveBackVideoMemory(int device, DWORD bytes);
DWORD FreeVideoMemory(int device);
// Makes CLSID_DirectDraw creatable; done once, after static initialisation.
void RegisterDirectDrawClass();

// Bumped by sim::Reset: objects made before it no longer touch the simulation's state.
uint32_t DirectDrawGeneration();

// ---- Display mode and cooperative level (ddraw_display.cpp) ----------------------------------
// Switches the screen to `mode` (from the desktop or another mode): new black
// pixels, and every display-memory surface and primary surface is lost.
void EnterDisplayMode(const DisplayMode& mode, const void* owner);
// Back to the desktop's mode and pixels, if `owner` changed the mode.
void LeaveDisplayMode(const void* owner);
const void* DisplayModeOwner();
const void* ExclusiveOwner();
void SetExclusiveOwner(const void* owner);
void NoteCooperativeLevel(HWND window, DWORD flags);
// Marks the surfaces a mode change loses.
void LoseSurfacesOfModeChange();

// ---- Objects -----------------------------------------------------------------------------------
// What a DirectDraw object's children need of it; kept alive by them after the object is gone.
struct DirectDrawState {
  int device = -1;  // -1 until Initialize
  DWORD level = 0;  // cooperative level flags, 0 before SetCooperativeLevel
  HWND window = nullptr;
  bool alive = true;
  IDirectDraw4* object = nullptr;
};
using DirectDrawStatePtr = std::shared_ptr<DirectDrawState>;

HRESULT CreateDirectDrawObject(REFIID iid, void** object);
// A reference on a live DirectDraw object without a record entry (a surface's GetDDInterface).
void HoldDirectDraw(IDirectDraw4* directDraw);
int& LiveDirectDrawCount();

class ClipperObject final : public ComObject<IDirectDrawClipper> {
 public:
  ClipperObject();
  HRESULT STDMETHODCALLTYPE GetClipList(LPRECT rect, struct _RGNDATA* clipList, LPDWORD size) override;
  HRESULT STDMETHODCALLTYPE GetHWnd(HWND* window) override;
  HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW directDraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE IsClipListChanged(BOOL* changed) override;
  HRESULT STDMETHODCALLTYPE SetClipList(struct _RGNDATA* clipList, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

  HWND window = nullptr;

 private:
  LiveTally live_;
};
int& LiveClipperCount();

class PaletteObject final : public ComObject<IDirectDrawPalette> {
 public:
  PaletteObject(DWORD caps, const PALETTEENTRY* entries);
  HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD caps) override;
  HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
  HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW directDraw, DWORD flags, LPPALETTEENTRY table) override;
  HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) override;

  DWORD caps;
  PALETTEENTRY entries[256];  // a 16-entry palette keeps the rest black

  DWORD Size() const { return (caps & DDPCAPS_8BIT) ? 256 : 16; }

 private:
  LiveTally live_;
};
int& LivePaletteCount();

class SurfaceObject final : public ComObject<IDirectDrawSurface4> {
 public:
  SurfaceObject(DirectDrawStatePtr owner, PixelSurfacePtr pixels, DWORD caps, SurfaceMemory memory);
  ~SurfaceObject() override;

  HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE4 surface) override;
  HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT rect) override;
  HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags,
                                LPDDBLTFX fx) override;
  HRESULT STDMETHODCALLTYPE BltBatch(struct _DDBLTBATCH* batch, DWORD count, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                    DWORD transfer) override;
  HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE4 surface) override;
  HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID context, LPDDENUMSURFACESCALLBACK2 callback) override;
  HRESULT STDMETHODCALLTYPE EnumOverlayZOrders(DWORD flags, LPVOID context,
                                               LPDDENUMSURFACESCALLBACK2 callback) override;
  HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* surface) override;
  HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 caps) override;
  HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
  HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
  HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG x, LPLONG y) override;
  HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE* palette) override;
  HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
  HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW directDraw, LPDDSURFACEDESC2 desc) override;
  HRESULT STDMETHODCALLTYPE IsLost() override;
  HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE Restore() override;
  HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG x, LONG y) override;
  HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;
  HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;
  HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT sourceRect, LPDIRECTDRAWSURFACE4 dest, LPRECT destRect, DWORD flags,
                                          struct _DDOVERLAYFX* fx) override;
  HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD flags, LPDIRECTDRAWSURFACE4 reference) override;
  HRESULT STDMETHODCALLTYPE GetDDInterface(LPVOID* directDraw) override;
  HRESULT STDMETHODCALLTYPE PageLock(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE PageUnlock(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetSurfaceDesc(LPDDSURFACEDESC2 desc, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID tag, LPVOID data, DWORD size, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID tag, LPVOID buffer, LPDWORD size) override;
  HRESULT STDMETHODCALLTYPE FreePrivateData(REFGUID tag) override;
  HRESULT STDMETHODCALLTYPE GetUniquenessValue(LPDWORD value) override;
  HRESULT STDMETHODCALLTYPE ChangeUniquenessValue() override;

  // Lost, locked or lending a device context: what stops drawing on it.
  HRESULT Usable() const;
  bool IsPrimary() const { return (caps & DDSCAPS_PRIMARYSURFACE) != 0; }
  bool IsDepthBuffer() const { return (caps & DDSCAPS_ZBUFFER) != 0; }
  // Copies the attached palette's colours into the pixels' palette (8-bit surfaces).
  void ApplyPalette();
  void FillDescription(DDSURFACEDESC2* desc) const;

  DirectDrawStatePtr owner;
  PixelSurfacePtr pixels;
  DWORD caps;
  SurfaceMemory memory;
  DWORD videoMemoryTaken = 0;               // local display memory, given back when the surface goes
  uint64_t serial;                          // creation order
  std::vector<SurfaceObject*> backBuffers;  // front of a flipping chain: holds a reference on each
  PixelSurfacePtr gdiPixels;                // front of a flipping chain: the memory GDI draws in
  SurfaceObject* front = nullptr;           // a chain's back buffer: its front, without a reference
  std::vector<SurfaceObject*> attached;     // AddAttachedSurface: a reference on each
  ClipperObject* clipper = nullptr;
  PaletteObject* palette = nullptr;
  std::optional<DDCOLORKEY> sourceKey;
  std::optional<DDCOLORKEY> destKey;
  bool lost = false;
  bool locked = false;
  HDC dc = nullptr;
  DWORD uniqueness = 1;

 private:
  // The gamma control of a primary surface, then what other areas add.
  HRESULT Answer(REFIID iid, void** object) override;

  uint32_t generation_;
};

// Restore without a record entry: DDERR_WRONGMODE for a primary surface of another display mode.
HRESULT RestoreSurface(SurfaceObject* surface);
// Moves a flipping chain's pixel memory one step: the first back buffer's is shown.
void RotateChain(SurfaceObject* front);

// The gamma control of a primary surface (ddraw_gamma.cpp): a separate object holding the surface.
IDirectDrawGammaControl* MakeGammaControl(SurfaceObject* surface);
void ResetGammaRamp();

// Live surfaces in creation order.
std::vector<SurfaceObject*>& LiveSurfaceList();
// The simulation's own object behind `surface`; null for anything else.
SurfaceObject* FindSurface(IDirectDrawSurface4* surface);

// CreateSurface of a DirectDraw object (ddraw_surface_create.cpp).
HRESULT CreateSurfaceFor(const DirectDrawStatePtr& owner, DDSURFACEDESC2* desc, IDirectDrawSurface4** surface);
void ResetSurfaceCreation();
// The last surface CreateSurface made: its serial, and what it was like then.
uint64_t LastCreatedSerial();
const SurfaceInfo& LastCreatedSnapshot();
// What sim::DescribeSurface reports (ddraw_surface_report.cpp).
SurfaceInfo DescribeSurfaceObject(const SurfaceObject& surface);

// ---- Interfaces other simulated areas add --------------------------------------------------
// Direct3D on a DirectDraw object, textures on a surface: QueryInterface asks
// these for identifiers it does not know; a hook answers E_NOINTERFACE for others.
using DirectDrawQueryHook = QueryHooks<IDirectDraw4>::Hook;
using SurfaceQueryHook = QueryHooks<IDirectDrawSurface4>::Hook;
void AddDirectDrawQueryHook(DirectDrawQueryHook hook);
void AddSurfaceQueryHook(SurfaceQueryHook hook);

}  // namespace sim::detail

#endif
