// The machine's DirectDraw devices: their list (test-configurable), their
// enumeration, the display memory their surfaces take, and the DirectDraw COM
// class. The DirectDraw identifiers are defined here, so any program that
// names CLSID_DirectDraw or enumerates devices links this file and its reset.
// The identifiers ddraw.h declares are defined by this file alone.
#define INITGUID
#include "sim/ddraw_internal.h"

#include <utility>

namespace sim {
namespace {

struct DeviceEntry {
  DisplayDevice device;
  DWORD videoMemoryUsed = 0;
};

std::vector<DeviceEntry> g_devices{DeviceEntry{}};
uint32_t g_generation = 1;
bool g_classRegistered = false;
bool g_enumerationIgnoresStop = false;

bool Reported(DisplayDeviceKind kind, DWORD flags) {
  switch (kind) {
    case DisplayDeviceKind::Primary: return true;
    case DisplayDeviceKind::AttachedSecondary: return (flags & DDENUM_ATTACHEDSECONDARYDEVICES) != 0;
    case DisplayDeviceKind::DetachedSecondary: return (flags & DDENUM_DETACHEDSECONDARYDEVICES) != 0;
    case DisplayDeviceKind::NonDisplay: return (flags & DDENUM_NONDISPLAYDEVICES) != 0;
  }
  return false;
}

// Secondary monitors have a monitor handle of their own; the primary display
// driver and cards without a display are reported without one.
HMONITOR MonitorOf(DisplayDeviceKind kind, int index) {
  if (kind != DisplayDeviceKind::AttachedSecondary) return nullptr;
  return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10000 + index));
}

void ResetDirectDraw() {
  ++g_generation;
  g_devices.assign(1, DeviceEntry{});
  g_enumerationIgnoresStop = false;
  detail::ResetSurfaceCreation();
  detail::ResetGammaRamp();
  detail::LiveDirectDrawCount() = 0;
  detail::LiveClipperCount() = 0;
  detail::LivePaletteCount() = 0;
  SetDesktopMode(1024, 768, 16);
  detail::SetExclusiveOwner(nullptr);
  detail::NoteCooperativeLevel(nullptr, 0);
  detail::RegisterDirectDrawClass();
}

const bool kResetRegistered = detail::AddResetHook(ResetDirectDraw);

}  // namespace

namespace detail {

int DeviceCount() { return static_cast<int>(g_devices.size()); }

int FindDevice(const GUID* guid) {
  for (size_t i = 0; i < g_devices.size(); ++i) {
    const DisplayDevice& device = g_devices[i].device;
    if (guid == nullptr ? !device.hasGuid : (device.hasGuid && device.guid == *guid)) return static_cast<int>(i);
  }
  return -1;
}

const DisplayDevice& DeviceAt(int index) { return g_devices.at(static_cast<size_t>(index)).device; }

void TakeVideoMemory(int device, DWORD bytes) { g_devices.at(static_cast<size_t>(device)).videoMemoryUsed += bytes; }

void GiveBackVideoMemory(int device, DWORD bytes) {
  DWORD& used = g_devices.at(static_cast<size_t>(device)).videoMemoryUsed;
  used = bytes > used ? 0 : used - bytes;
}

DWORD FreeVideoMemory(int device) {
  const DeviceEntry& entry = g_devices.at(static_cast<size_t>(device));
  return entry.videoMemoryUsed >= entry.device.videoMemoryFree ? 0
                                                               : entry.device.videoMemoryFree - entry.videoMemoryUsed;
}

// Registered at run time rather than by a static initialiser: the COM class
// registry is itself built by static initialisation, in an order we do not control.
void RegisterDirectDrawClass() {
  if (g_classRegistered) return;
  g_classRegistered = true;
  RegisterBuiltinComClass(CLSID_DirectDraw, CreateDirectDrawObject);
}

uint32_t DirectDrawGeneration() { return g_generation; }

bool EnumerationIgnoresStop() { return g_enumerationIgnoresStop; }

}  // namespace detail

bool operator==(const DisplayMode& a, const DisplayMode& b) {
  return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel;
}

std::vector<DisplayMode> StandardDisplayModes() {
  std::vector<DisplayMode> modes;
  for (const auto& size : {std::pair<int, int>{640, 480}, {800, 600}, {1024, 768}}) {
    for (int bits : {8, 16, 32}) modes.push_back(DisplayMode{size.first, size.second, bits});
  }
  return modes;
}

void SetDisplayDevices(const std::vector<DisplayDevice>& devices) {
  auto lock = detail::LockSimulation();
  g_devices.clear();
  for (const DisplayDevice& device : devices) g_devices.push_back(DeviceEntry{device});
}

void AddDisplayDevice(const DisplayDevice& device) {
  auto lock = detail::LockSimulation();
  g_devices.push_back(DeviceEntry{device});
}

std::vector<DisplayDevice> DisplayDevices() {
  auto lock = detail::LockSimulation();
  std::vector<DisplayDevice> devices;
  for (const DeviceEntry& entry : g_devices) devices.push_back(entry.device);
  return devices;
}

DWORD VideoMemoryFree(int deviceIndex) {
  auto lock = detail::LockSimulation();
  return detail::FreeVideoMemory(deviceIndex);
}

void SetEnumerationIgnoresStop(bool ignores) {
  auto lock = detail::LockSimulation();
  g_enumerationIgnoresStop = ignores;
}

}  // namespace sim

using namespace sim::detail;

extern "C" HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA lpCallback, LPVOID lpContext, DWORD dwFlags) {
  auto lock = LockSimulation();
  RegisterDirectDrawClass();
  if (auto failure = EnterCall(
          "DirectDrawEnumerateExA",
          JoinArgs({ArgPointer(reinterpret_cast<const void*>(lpCallback)), ArgPointer(lpContext), ArgHex(dwFlags)}))) {
    return AsHresult(*failure);
  }
  constexpr DWORD kKnownFlags =
      DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES;
  if (lpCallback == nullptr || (dwFlags & ~kKnownFlags) != 0) return DDERR_INVALIDPARAMS;

  // The callback may create DirectDraw objects; it works on copies of the list's texts.
  const std::vector<sim::DisplayDevice> devices = sim::DisplayDevices();
  for (size_t i = 0; i < devices.size(); ++i) {
    const sim::DisplayDevice& device = devices[i];
    if (!sim::Reported(device.kind, dwFlags)) continue;
    GUID guid = device.guid;
    std::string description = device.description;
    std::string driverName = device.driverName;
    const BOOL goOn = lpCallback(device.hasGuid ? &guid : nullptr, description.data(), driverName.data(), lpContext,
                                 sim::MonitorOf(device.kind, static_cast<int>(i)));
    if (!goOn && !EnumerationIgnoresStop()) break;
  }
  return DD_OK;
}
