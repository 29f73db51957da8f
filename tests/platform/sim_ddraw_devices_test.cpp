// The simulated DirectDraw's devices, objects, display modes and cooperative levels.
#include <string>

#include "tests/platform/sim_ddraw_fixture.h"

namespace {

using namespace ddraw_test;

const GUID kSecondGuid = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};
const GUID kVoodooGuid = {0xAAAAAAAA, 0xBBBB, 0xCCCC, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}};
const GUID kDetachedGuid = {0x12345678, 0x9ABC, 0xDEF0, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}};

struct Reported {
  bool hasGuid;
  GUID guid;
  std::string description;
  std::string driver;
  HMONITOR monitor;
};

struct Enumeration {
  std::vector<Reported> devices;
  size_t stopAfter = 100;
};

BOOL CALLBACK Collect(GUID* guid, LPSTR description, LPSTR driver, LPVOID context, HMONITOR monitor) {
  auto* seen = static_cast<Enumeration*>(context);
  seen->devices.push_back(Reported{guid != nullptr, guid ? *guid : GUID{}, description, driver, monitor});
  return seen->devices.size() < seen->stopAfter;
}

sim::DisplayDevice Device(const GUID& guid, const char* description, sim::DisplayDeviceKind kind) {
  sim::DisplayDevice device;
  device.hasGuid = true;
  device.guid = guid;
  device.description = description;
  device.driverName = "drv";
  device.kind = kind;
  return device;
}

// The machine of a Glide player: a 2D card, a second monitor, a 3D-only card, one monitor unplugged.
void FourDevices() {
  sim::DisplayDevice voodoo = Device(kVoodooGuid, "3Dfx Voodoo", sim::DisplayDeviceKind::NonDisplay);
  voodoo.halCaps = DDCAPS_3D;
  voodoo.halCaps2 = 0;
  voodoo.videoMemoryTotal = voodoo.videoMemoryFree = 4 * 1024 * 1024;
  sim::SetDisplayDevices({sim::DisplayDevice{},
                          Device(kSecondGuid, "Second Monitor", sim::DisplayDeviceKind::AttachedSecondary),
                          Device(kDetachedGuid, "Unplugged", sim::DisplayDeviceKind::DetachedSecondary), voodoo});
}

using SimDirectDrawDevices = SimDirectDrawTest;

TEST_F(SimDirectDrawDevices, TheBootMachineHasOnlyThePrimaryDisplayDriverWithoutGuid) {
  Enumeration seen;
  ASSERT_EQ(DirectDrawEnumerateExA(Collect, &seen, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES), DD_OK);
  ASSERT_EQ(seen.devices.size(), 1u);
  EXPECT_FALSE(seen.devices[0].hasGuid);
  EXPECT_EQ(seen.devices[0].description, "Primary Display Driver");
  EXPECT_EQ(seen.devices[0].driver, "display");
  EXPECT_EQ(seen.devices[0].monitor, nullptr);
  EXPECT_EQ(sim::Calls().back().arguments, "ptr, ptr, 0x5");
}

TEST_F(SimDirectDrawDevices, SecondaryAndNonDisplayDevicesNeedTheirFlags) {
  FourDevices();
  Enumeration plain;
  DirectDrawEnumerateExA(Collect, &plain, 0);
  ASSERT_EQ(plain.devices.size(), 1u);

  Enumeration asTheLibraryAsks;
  DirectDrawEnumerateExA(Collect, &asTheLibraryAsks, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
  ASSERT_EQ(asTheLibraryAsks.devices.size(), 3u);
  EXPECT_EQ(asTheLibraryAsks.devices[1].description, "Second Monitor");
  EXPECT_TRUE(asTheLibraryAsks.devices[1].guid == kSecondGuid);
  EXPECT_NE(asTheLibraryAsks.devices[1].monitor, nullptr) << "a second monitor has a monitor handle";
  EXPECT_EQ(asTheLibraryAsks.devices[2].description, "3Dfx Voodoo");
  EXPECT_EQ(asTheLibraryAsks.devices[2].monitor, nullptr);

  Enumeration everything;
  DirectDrawEnumerateExA(Collect, &everything, 7);
  ASSERT_EQ(everything.devices.size(), 4u);
  EXPECT_EQ(everything.devices[2].description, "Unplugged");
}

TEST_F(SimDirectDrawDevices, ACallbackAnsweringZeroEndsTheEnumeration) {
  FourDevices();
  Enumeration seen;
  seen.stopAfter = 2;
  EXPECT_EQ(DirectDrawEnumerateExA(Collect, &seen, 7), DD_OK);
  EXPECT_EQ(seen.devices.size(), 2u);
}

TEST_F(SimDirectDrawDevices, RefusedEnumerationsReportNothing) {
  Enumeration seen;
  EXPECT_EQ(DirectDrawEnumerateExA(nullptr, &seen, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(DirectDrawEnumerateExA(Collect, &seen, 8), DDERR_INVALIDPARAMS);
  sim::FailNext("DirectDrawEnumerateExA", DDERR_GENERIC);
  EXPECT_EQ(DirectDrawEnumerateExA(Collect, &seen, 0), DDERR_GENERIC);
  EXPECT_TRUE(seen.devices.empty());
}

TEST_F(SimDirectDrawDevices, TheObjectIsUninitialisedUntilInitialize) {
  IDirectDraw* first = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IDirectDraw,
                             reinterpret_cast<void**>(&first)),
            S_OK);
  IDirectDraw4* object = nullptr;
  ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&object)), S_OK);
  EXPECT_EQ(first->Release(), 1u) << "both interfaces count on one object";
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 1);

  DDCAPS hal = {};
  hal.dwSize = sizeof hal;
  EXPECT_EQ(object->GetCaps(&hal, nullptr), DDERR_NOTINITIALIZED);
  EXPECT_EQ(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DDERR_NOTINITIALIZED);
  DDSURFACEDESC2 desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
  IDirectDrawSurface4* surface = nullptr;
  EXPECT_EQ(object->CreateSurface(&desc, &surface, nullptr), DDERR_NOTINITIALIZED);

  GUID unknown = kSecondGuid;
  EXPECT_EQ(object->Initialize(&unknown), DDERR_INVALIDDIRECTDRAWGUID);
  EXPECT_EQ(object->Initialize(nullptr), DD_OK) << "a refused GUID leaves the object uninitialised";
  EXPECT_EQ(object->Initialize(nullptr), DDERR_ALREADYINITIALIZED);
  EXPECT_EQ(object->GetCaps(&hal, nullptr), DD_OK);

  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
}

TEST_F(SimDirectDrawDevices, CapsAreTheInitialisedDevicesInTheDirectX6Record) {
  FourDevices();
  GUID voodoo = kVoodooGuid;
  IDirectDraw4* object = Keep(Open(&voodoo));
  DDCAPS hal = {}, hel = {};
  hal.dwSize = hel.dwSize = 380;
  hal.dwCaps2 = 0xFFFFFFFF;  // every field is written, not only the ones that are set
  ASSERT_EQ(object->GetCaps(&hal, &hel), DD_OK);
  EXPECT_EQ(hal.dwSize, 380u);
  EXPECT_EQ(hal.dwCaps, DWORD(DDCAPS_3D));
  EXPECT_EQ(hal.dwCaps2, 0u);
  EXPECT_EQ(hal.dwVidMemTotal, 4u * 1024 * 1024);
  EXPECT_EQ(hal.dwVidMemFree, 4u * 1024 * 1024);
  EXPECT_FALSE(hel.dwCaps & DDCAPS_3D) << "emulation draws no 3D";
  EXPECT_EQ(hel.dwVidMemTotal, 0u);

  IDirectDraw4* primary = Keep(Open());
  ASSERT_EQ(primary->GetCaps(&hal, nullptr), DD_OK);
  EXPECT_EQ(hal.dwCaps2, DWORD(DDCAPS2_CANRENDERWINDOWED | DDCAPS2_PRIMARYGAMMA));

  hal.dwSize = 364;  // an older record
  EXPECT_EQ(primary->GetCaps(&hal, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(primary->GetCaps(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(SimDirectDrawDevices, AFailureAimedAtOneDeviceByItsGuidLeavesTheOthers) {
  FourDevices();
  sim::FailNext("IDirectDraw4::Initialize", DDERR_GENERIC, "{AAAAAAAA-BBBB-CCCC-0102-030405060708}");
  IDirectDraw4* primary = Keep(Open());
  EXPECT_NE(primary, nullptr);
  EXPECT_EQ(sim::PendingFailures(), 1);

  IDirectDraw4* object = Created();
  ASSERT_NE(object, nullptr);
  GUID voodoo = kVoodooGuid;
  EXPECT_EQ(object->Initialize(&voodoo), DDERR_GENERIC);
  object->Release();
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 1);
}

// ---- Display modes --------------------------------------------------------------------------

struct Modes {
  std::vector<DDSURFACEDESC2> seen;
  size_t stopAfter = 1000;
};

HRESULT CALLBACK CollectMode(LPDDSURFACEDESC2 desc, LPVOID context) {
  auto* modes = static_cast<Modes*>(context);
  modes->seen.push_back(*desc);
  return modes->seen.size() < modes->stopAfter ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

using SimDirectDrawModes = SimDirectDrawTest;

TEST_F(SimDirectDrawModes, ModesComeInListOrderWithTheirPixelFormats) {
  IDirectDraw4* object = Keep(Open());
  Modes modes;
  ASSERT_EQ(object->EnumDisplayModes(0, nullptr, &modes, CollectMode), DD_OK);
  ASSERT_EQ(modes.seen.size(), 9u);
  const DDSURFACEDESC2& first = modes.seen[0];
  EXPECT_EQ(first.dwWidth, 640u);
  EXPECT_EQ(first.dwHeight, 480u);
  EXPECT_EQ(first.ddpfPixelFormat.dwRGBBitCount, 8u);
  EXPECT_TRUE(first.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
  const DDSURFACEDESC2& sixteen = modes.seen[1];
  EXPECT_EQ(sixteen.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(sixteen.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(sixteen.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  EXPECT_EQ(sixteen.ddpfPixelFormat.dwBBitMask, 0x001Fu);
  EXPECT_EQ(sixteen.lPitch, 1280);
  const DDSURFACEDESC2& last = modes.seen[8];
  EXPECT_EQ(last.dwWidth, 1024u);
  EXPECT_EQ(last.ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(last.ddpfPixelFormat.dwRBitMask, 0xFF0000u);
}

TEST_F(SimDirectDrawModes, EnumerationStopsOnCancelAndFollowsTheDevicesList) {
  sim::DisplayDevice device;
  device.modes = {{320, 200, 8}, {512, 384, 15}, {640, 400, 24}};
  sim::SetDisplayDevices({device});
  IDirectDraw4* object = Keep(Open());
  Modes modes;
  modes.stopAfter = 2;
  ASSERT_EQ(object->EnumDisplayModes(0, nullptr, &modes, CollectMode), DD_OK);
  ASSERT_EQ(modes.seen.size(), 2u);
  EXPECT_EQ(modes.seen[1].dwWidth, 512u);
  EXPECT_EQ(modes.seen[1].ddpfPixelFormat.dwRGBBitCount, 16u) << "5-5-5 is a 16-bit mode";
  EXPECT_EQ(modes.seen[1].ddpfPixelFormat.dwGBitMask, 0x03E0u);

  DDSURFACEDESC2 only = Desc(DDSD_WIDTH, 0);
  only.dwWidth = 640;
  Modes narrowed;
  ASSERT_EQ(object->EnumDisplayModes(0, &only, &narrowed, CollectMode), DD_OK);
  ASSERT_EQ(narrowed.seen.size(), 1u);
  EXPECT_EQ(narrowed.seen[0].ddpfPixelFormat.dwRGBBitCount, 24u);
  EXPECT_EQ(object->EnumDisplayModes(0, nullptr, &narrowed, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(SimDirectDrawModes, CooperativeLevelsTakeOneOfNormalOrExclusiveFullScreen) {
  IDirectDraw4* object = Keep(Open());
  HWND window = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(object->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->SetCooperativeLevel(window, DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->SetCooperativeLevel(window, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->SetCooperativeLevel(nullptr, kFullScreen), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::CooperativeLevel(), 0u);

  ASSERT_EQ(object->SetCooperativeLevel(window, kFullScreen), DD_OK);
  EXPECT_EQ(sim::CooperativeLevel(), 0x13u);
  EXPECT_EQ(sim::CooperativeWindow(), window);
  EXPECT_TRUE(sim::ExclusiveModeHeld());

  IDirectDraw4* other = Keep(Open());
  EXPECT_EQ(other->SetCooperativeLevel(window, kFullScreen), DDERR_EXCLUSIVEMODEALREADYSET);
  EXPECT_EQ(other->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  EXPECT_TRUE(sim::ExclusiveModeHeld());
  EXPECT_EQ(object->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  EXPECT_FALSE(sim::ExclusiveModeHeld());
}

TEST_F(SimDirectDrawModes, OnlyAnExclusiveObjectSetsAListedMode) {
  IDirectDraw4* object = Keep(Open());
  ASSERT_EQ(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(object->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(object->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), kFullScreen), DD_OK);
  EXPECT_EQ(object->SetDisplayMode(640, 480, 24, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(object->SetDisplayMode(320, 240, 16, 0, 0), DDERR_INVALIDMODE);
  EXPECT_TRUE(sim::DisplayModeIsDesktop());

  ASSERT_EQ(object->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
  EXPECT_EQ(sim::CurrentDisplayMode(), (sim::DisplayMode{800, 600, 32}));
  EXPECT_FALSE(sim::DisplayModeIsDesktop());
  DDSURFACEDESC2 shown = Desc(0, 0);
  ASSERT_EQ(object->GetDisplayMode(&shown), DD_OK);
  EXPECT_EQ(shown.dwWidth, 800u);
  EXPECT_EQ(shown.ddpfPixelFormat.dwRGBBitCount, 32u);
}

TEST_F(SimDirectDrawModes, RestoringTheModeBringsBackTheDesktopAndItsPixels) {
  sim::SetDesktopMode(800, 600, 32);
  sim::FillScreenRgb(0x336699);
  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0u) << "a new mode starts black";
  ASSERT_EQ(object->RestoreDisplayMode(), DD_OK);
  EXPECT_EQ(sim::CurrentDisplayMode(), (sim::DisplayMode{800, 600, 32}));
  EXPECT_EQ(sim::ScreenRgb(799, 599), 0x336699u);
  EXPECT_EQ(object->RestoreDisplayMode(), DD_OK) << "nothing left to restore is no failure";
}

TEST_F(SimDirectDrawModes, LeavingExclusiveModeOrGoingAwayRestoresTheDesktop) {
  IDirectDraw4* object = OpenFullScreen(640, 480, 8);
  ASSERT_EQ(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_TRUE(sim::DisplayModeIsDesktop());

  IDirectDraw4* second = Open();
  ASSERT_EQ(second->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), kFullScreen), DD_OK);
  ASSERT_EQ(second->SetDisplayMode(1024, 768, 32, 0, 0), DD_OK);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_TRUE(sim::DisplayModeIsDesktop());
  EXPECT_FALSE(sim::ExclusiveModeHeld());
  EXPECT_EQ(sim::CurrentDisplayMode(), (sim::DisplayMode{1024, 768, 16}));
}

}  // namespace
