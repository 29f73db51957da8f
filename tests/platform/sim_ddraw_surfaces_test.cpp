// The simulated DirectDraw's surfaces: where they are placed, the primary
// surface and its flipping chain, references, losing and restoring, locks and
// device contexts, colour keys and attachments.
#include "platform/sim/gdi_control.h"
#include "tests/platform/sim_ddraw_fixture.h"

namespace {

using namespace ddraw_test;

using SimDirectDrawSurfaces = SimDirectDrawTest;

TEST_F(SimDirectDrawSurfaces, TheWindowModePrimarySurfaceIsTheScreen) {
  sim::SetDesktopMode(800, 600, 32);
  IDirectDraw4* object = Keep(Open());
  IDirectDrawSurface4* primary = nullptr;
  EXPECT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DDERR_NOCOOPERATIVELEVELSET);
  ASSERT_EQ(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 sized = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, kPrimaryLocal);
  sized.dwWidth = sized.dwHeight = 16;
  EXPECT_EQ(object->CreateSurface(&sized, &primary, nullptr), DDERR_INVALIDPARAMS) << "the screen sets the size";
  ASSERT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DD_OK);

  DDSURFACEDESC2 desc = Desc(0, 0);
  ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 800u);
  EXPECT_EQ(desc.dwHeight, 600u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(desc.ddsCaps.dwCaps, kPrimaryLocal | DDSCAPS_VISIBLE);

  RECT corner = Rect(790, 590, 800, 600);
  ASSERT_EQ(Fill(primary, 0x00FF00, &corner), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(799, 599), 0x00FF00u);
  EXPECT_EQ(sim::ScreenRgb(789, 599), 0u);

  IDirectDrawSurface4* second = nullptr;
  EXPECT_EQ(Primary(object, kPrimaryLocal, 0, &second), DDERR_PRIMARYSURFACEALREADYEXISTS);
}

TEST_F(SimDirectDrawSurfaces, EveryRungOfTheMemoryLadderIsReachable) {
  IDirectDraw4* object = OpenWindowed();
  const DWORD ladder[] = {kPrimaryLocal, (kPrimaryLocal & ~DDSCAPS_LOCALVIDMEM) | DDSCAPS_NONLOCALVIDMEM,
                          kPrimaryLocal & ~DDSCAPS_LOCALVIDMEM,
                          DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY};
  ASSERT_EQ(ladder[1], 0x20006200u);
  ASSERT_EQ(ladder[2], 0x6200u);
  ASSERT_EQ(ladder[3], 0x2A00u);

  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  IDirectDrawSurface4* surface = nullptr;
  EXPECT_EQ(Primary(object, ladder[0], 0, &surface), DDERR_OUTOFVIDEOMEMORY);
  ASSERT_EQ(Primary(object, ladder[1], 0, &surface), DD_OK);
  EXPECT_EQ(sim::LastCreatedSurface().memory, sim::SurfaceMemory::NonLocalVideo);
  EXPECT_EQ(sim::LastCreatedSurface().caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM),
            DWORD(DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM));
  surface->Release();
  Forget(surface);

  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::NonLocalVideo, false);
  EXPECT_EQ(Primary(object, ladder[1], 0, &surface), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(Primary(object, ladder[2], 0, &surface), DDERR_OUTOFVIDEOMEMORY);
  ASSERT_EQ(Primary(object, ladder[3], 0, &surface), DD_OK);
  DDSCAPS2 caps = {};
  ASSERT_EQ(surface->GetCaps(&caps), DD_OK);
  EXPECT_EQ(caps.dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY), DWORD(DDSCAPS_SYSTEMMEMORY));
  EXPECT_TRUE(caps.dwCaps & DDSCAPS_3DDEVICE);

  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::System, false);
  IDirectDrawSurface4* offscreen = nullptr;
  EXPECT_EQ(Offscreen(object, kOffscreenSystem, 8, 8, &offscreen), DDERR_OUTOFMEMORY);
  EXPECT_EQ(Offscreen(object, DDSCAPS_OFFSCREENPLAIN, 8, 8, &offscreen), DDERR_OUTOFMEMORY)
      << "nowhere left to fall back to";
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, true);
  ASSERT_EQ(Offscreen(object, DDSCAPS_OFFSCREENPLAIN, 8, 8, &offscreen), DD_OK);
  EXPECT_EQ(sim::DescribeSurface(offscreen).memory, sim::SurfaceMemory::LocalVideo);
}

TEST_F(SimDirectDrawSurfaces, ContradictoryMemoryCapsAreRefused) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* surface = nullptr;
  EXPECT_EQ(Offscreen(object, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY, 8, 8, &surface),
            DDERR_INVALIDCAPS);
  EXPECT_EQ(Offscreen(object, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_LOCALVIDMEM, 8, 8, &surface), DDERR_INVALIDCAPS);
  EXPECT_EQ(Offscreen(object, kOffscreenLocal | DDSCAPS_NONLOCALVIDMEM, 8, 8, &surface), DDERR_INVALIDCAPS);
  DDSURFACEDESC2 unsized = Desc(DDSD_CAPS | DDSD_WIDTH, kOffscreenLocal);
  unsized.dwWidth = 8;
  EXPECT_EQ(object->CreateSurface(&unsized, &surface, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(sim::LiveSurfaces(), 0);
}

TEST_F(SimDirectDrawSurfaces, DisplayMemoryIsTakenBySurfacesAndGivenBack) {
  sim::DisplayDevice small;
  small.videoMemoryTotal = 64 * 1024;
  small.videoMemoryFree = 16 * 1024;
  sim::SetDisplayDevices({small});
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* surface = Offscreen(object, 64, 32, kOffscreenLocal);  // 64 * 2 * 32 bytes
  EXPECT_EQ(sim::VideoMemoryFree(0), 16u * 1024 - 4096);
  DDCAPS hal = {};
  hal.dwSize = sizeof hal;
  ASSERT_EQ(object->GetCaps(&hal, nullptr), DD_OK);
  EXPECT_EQ(hal.dwVidMemFree, 16u * 1024 - 4096);
  EXPECT_EQ(hal.dwVidMemTotal, 64u * 1024);

  IDirectDrawSurface4* large = nullptr;
  EXPECT_EQ(Offscreen(object, kOffscreenLocal, 128, 64, &large), DDERR_OUTOFVIDEOMEMORY) << "16 KiB do not fit";
  ASSERT_EQ(Offscreen(object, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 128, 64, &large), DD_OK);
  EXPECT_EQ(sim::DescribeSurface(large).memory, sim::SurfaceMemory::NonLocalVideo);

  EXPECT_EQ(surface->Release(), 0u);
  Forget(surface);
  EXPECT_EQ(sim::VideoMemoryFree(0), 16u * 1024);
}

TEST_F(SimDirectDrawSurfaces, AFlippingChainNeedsExclusiveModeAndKeepsItsBackBuffer) {
  IDirectDraw4* windowed = OpenWindowed();
  IDirectDrawSurface4* primary = nullptr;
  EXPECT_EQ(Primary(windowed, kPrimaryLocal | kFlipping, 1, &primary), DDERR_NOEXCLUSIVEMODE);
  windowed->Release();
  Forget(windowed);

  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  EXPECT_EQ(Primary(object, kPrimaryLocal | DDSCAPS_FLIP, 1, &primary), DDERR_INVALIDCAPS);
  EXPECT_EQ(Primary(object, kPrimaryLocal | kFlipping, 0, &primary), DDERR_INVALIDPARAMS);
  const DWORD freeBefore = sim::VideoMemoryFree(0);
  ASSERT_EQ(Primary(object, kPrimaryLocal | kFlipping, 1, &primary), DD_OK);
  Forget(primary);
  EXPECT_EQ(sim::LiveSurfaces(), 2);
  EXPECT_EQ(freeBefore - sim::VideoMemoryFree(0), 640u * 480 * 2) << "only the back buffer takes memory";

  DDSCAPS2 wanted = {DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface4* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&wanted, &back), DD_OK);
  DDSCAPS2 caps = {};
  back->GetCaps(&caps);
  EXPECT_EQ(caps.dwCaps,
            DWORD(DDSCAPS_BACKBUFFER | kFlipping | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM));
  primary->GetCaps(&caps);
  EXPECT_TRUE(caps.dwCaps & DDSCAPS_FRONTBUFFER);
  EXPECT_EQ(sim::DescribeSurface(primary).backBufferCount, 1);
  wanted.dwCaps = DDSCAPS_ZBUFFER;
  IDirectDrawSurface4* none = nullptr;
  EXPECT_EQ(primary->GetAttachedSurface(&wanted, &none), DDERR_NOTFOUND);

  // The library's order: its reference on the back buffer first, then the primary surface.
  EXPECT_EQ(back->Release(), 1u) << "the chain still holds it";
  EXPECT_EQ(sim::LiveSurfaces(), 2);
  EXPECT_EQ(primary->Release(), 0u);
  EXPECT_EQ(sim::LiveSurfaces(), 0);
  EXPECT_EQ(sim::VideoMemoryFree(0), freeBefore);
}

TEST_F(SimDirectDrawSurfaces, ABackBufferStillHeldOutlivesItsChain) {
  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal | kFlipping, 1, &primary), DD_OK);
  Forget(primary);
  IDirectDrawSurface4* back = BackBufferOf(primary);
  EXPECT_EQ(primary->Release(), 0u);
  EXPECT_EQ(sim::LiveSurfaces(), 1) << "a forgotten back buffer shows as a leak";
  EXPECT_EQ(sim::DescribeSurface(back).references, 1);
}

TEST_F(SimDirectDrawSurfaces, LostSurfacesRefuseWorkUntilRestored) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* surface = Offscreen(object, 8, 8, kOffscreenLocal);
  IDirectDrawSurface4* other = Offscreen(object, 8, 8, kOffscreenLocal);
  EXPECT_EQ(surface->IsLost(), DD_OK);
  sim::MarkSurfaceLost(surface);
  EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(other->IsLost(), DD_OK);
  EXPECT_EQ(Fill(surface, 1), DDERR_SURFACELOST);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST) << "a lost source too";
  HDC dc = nullptr;
  EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
  EXPECT_TRUE(sim::DescribeSurface(surface).lost);

  EXPECT_EQ(surface->Restore(), DD_OK);
  EXPECT_EQ(surface->IsLost(), DD_OK);
  EXPECT_EQ(Fill(surface, 1), DD_OK);

  sim::MarkAllSurfacesLost();
  EXPECT_EQ(other->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(object->RestoreAllSurfaces(), DD_OK);
  EXPECT_EQ(surface->IsLost(), DD_OK);
  EXPECT_EQ(other->IsLost(), DD_OK);
}

TEST_F(SimDirectDrawSurfaces, AModeChangeLosesDisplayMemoryButNotSystemMemory) {
  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal | kFlipping, 1, &primary), DD_OK);
  IDirectDrawSurface4* back = BackBufferOf(primary);
  IDirectDrawSurface4* video = Offscreen(object, 8, 8, kOffscreenLocal);
  IDirectDrawSurface4* system = Offscreen(object, 8, 8, kOffscreenSystem);

  ASSERT_EQ(object->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(video->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(system->IsLost(), DD_OK);
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE) << "the chain was made for 640 by 480";

  ASSERT_EQ(object->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
  EXPECT_EQ(back->Restore(), DDERR_IMPLICITLYCREATED);
  EXPECT_EQ(primary->Restore(), DD_OK);
  EXPECT_EQ(back->IsLost(), DD_OK) << "the chain comes back whole";
  ASSERT_EQ(Fill(primary, 0xF800), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0xFF0000u) << "the restored primary surface is the new screen";
}

TEST_F(SimDirectDrawSurfaces, ALockOrALentContextMakesTheSurfaceBusy) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* surface = Offscreen(object, 8, 4);
  IDirectDrawSurface4* other = Offscreen(object, 8, 4);

  DDSURFACEDESC2 locked = Desc(0, 0);
  RECT area = Rect(2, 1, 4, 3);
  ASSERT_EQ(surface->Lock(&area, &locked, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_TRUE(locked.dwFlags & DDSD_LPSURFACE);
  EXPECT_EQ(locked.lPitch, 16);
  static_cast<uint16_t*>(locked.lpSurface)[0] = 0x1234;  // pixel (2, 1)
  DDSURFACEDESC2 again = Desc(0, 0);
  EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(Fill(surface, 0), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(sim::SurfaceRaw(surface, 2, 1), 0x1234u);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  RECT outside = Rect(4, 2, 9, 3);
  EXPECT_EQ(surface->Lock(&outside, &again, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);

  const int contexts = sim::LiveDeviceContexts();
  HDC dc = nullptr, second = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_NE(dc, nullptr);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts + 1);
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(Fill(surface, 0), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(reinterpret_cast<HDC>(0x99)), DDERR_INVALIDPARAMS);
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts);

}

// Windows does not take back what the program still has out: the surface goes,
// its lent context stays (and counts), and both breaches are recorded.
TEST_F(SimDirectDrawSurfaces, ASurfaceReleasedWithItsContextLentOrLockedKeepsThemAndReportsIt) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* lending = Offscreen(object, 8, 4);
  IDirectDrawSurface4* locked = Offscreen(object, 16, 2);
  const int contexts = sim::LiveDeviceContexts();
  HDC dc = nullptr;
  ASSERT_EQ(lending->GetDC(&dc), DD_OK);
  DDSURFACEDESC2 desc = Desc(0, 0);
  ASSERT_EQ(locked->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_TRUE(sim::ContractViolations().empty());

  EXPECT_EQ(lending->Release(), 0u);
  Forget(lending);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts + 1);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 8) << "the context still draws into the surface's memory";
  EXPECT_EQ(locked->Release(), 0u);
  Forget(locked);

  const std::vector<std::string> violations = sim::ContractViolations();
  ASSERT_EQ(violations.size(), 2u);
  EXPECT_NE(violations[0].find("device context"), std::string::npos) << violations[0];
  EXPECT_NE(violations[0].find("8x4"), std::string::npos) << violations[0];
  EXPECT_NE(violations[1].find("locked"), std::string::npos) << violations[1];
  EXPECT_NE(violations[1].find("16x2"), std::string::npos) << violations[1];
  const std::string report = sim::LeakReport(sim::LiveCounts());
  EXPECT_NE(report.find("contract violation: IDirectDrawSurface4 released with its device context"),
            std::string::npos)
      << report;

  // Both were committed on purpose: the context stays lost, as it would on Windows.
  sim::ClearContractViolations();
  leaks_.Allow("device contexts", 1);
}

TEST_F(SimDirectDrawSurfaces, ColourKeysAreSingleColoursUnlessARangeIsAsked) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* surface = Offscreen(object, 8, 8);
  DDCOLORKEY key = {};
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  DDCOLORKEY asked = {0x10, 0x20};
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &asked), DD_OK);
  ASSERT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceHighValue, 0x10u) << "one colour without DDCKEY_COLORSPACE";
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &asked), DD_OK);
  surface->GetColorKey(DDCKEY_SRCBLT, &key);
  EXPECT_EQ(key.dwColorSpaceHighValue, 0x20u);
  EXPECT_TRUE(sim::DescribeSurface(surface).hasSourceKey);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_DESTBLT, &key), DDERR_NOCOLORKEY);
  EXPECT_EQ(surface->SetColorKey(DDCKEY_SRCOVERLAY, &asked), DDERR_UNSUPPORTED);

  DDSURFACEDESC2 desc = Desc(0, 0);
  surface->GetSurfaceDesc(&desc);
  EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
}

TEST_F(SimDirectDrawSurfaces, AnAttachedDepthBufferLivesAsLongAsItsPage) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* target = Offscreen(object, 32, 16, kOffscreenLocal | DDSCAPS_3DDEVICE);
  Forget(target);
  DDSURFACEDESC2 desc = FormatDesc(DDSCAPS_ZBUFFER, 32, 16, sim::DepthFormat(16));
  IDirectDrawSurface4* depth = nullptr;
  ASSERT_EQ(object->CreateSurface(&desc, &depth, nullptr), DD_OK);
  IDirectDrawSurface4* plain = Offscreen(object, 32, 16);
  EXPECT_EQ(target->AddAttachedSurface(plain), DDERR_CANNOTATTACHSURFACE);
  ASSERT_EQ(target->AddAttachedSurface(depth), DD_OK);
  EXPECT_EQ(target->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED);
  EXPECT_EQ(depth->Release(), 1u) << "the page holds it";

  DDSCAPS2 wanted = {DDSCAPS_ZBUFFER, 0, 0, 0};
  IDirectDrawSurface4* found = nullptr;
  ASSERT_EQ(target->GetAttachedSurface(&wanted, &found), DD_OK);
  EXPECT_EQ(found, depth);
  found->Release();
  const int live = sim::LiveSurfaces();
  EXPECT_EQ(target->Release(), 0u);
  EXPECT_EQ(sim::LiveSurfaces(), live - 2);
}

TEST_F(SimDirectDrawSurfaces, RequestedPixelFormatsAreKept) {
  IDirectDraw4* object = OpenWindowed();
  DDSURFACEDESC2 desc = FormatDesc(kOffscreenSystem, 4, 4, sim::RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000));
  IDirectDrawSurface4* surface = nullptr;
  ASSERT_EQ(object->CreateSurface(&desc, &surface, nullptr), DD_OK);
  Keep(surface);
  DDPIXELFORMAT kept = {};
  ASSERT_EQ(surface->GetPixelFormat(&kept), DD_OK);
  EXPECT_EQ(kept.dwRGBAlphaBitMask, 0xF000u);
  EXPECT_EQ(kept.dwRBitMask, 0x0F00u);
  sim::SetSurfaceRgb(surface, 0, 0, 0xFF00FF);
  EXPECT_EQ(sim::SurfaceRaw(surface, 0, 0), 0x0F0Fu);

  desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
  IDirectDrawSurface4* refused = nullptr;
  EXPECT_EQ(object->CreateSurface(&desc, &refused, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(SimDirectDrawSurfaces, ThePrimarySurfacesGammaControlSetsTheScreensRamp) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DD_OK);
  IDirectDrawGammaControl* gamma = nullptr;
  IDirectDrawSurface4* offscreen = Offscreen(object, 4, 4);
  EXPECT_EQ(offscreen->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&gamma)), E_NOINTERFACE);
  ASSERT_EQ(primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&gamma)), S_OK);
  EXPECT_EQ(sim::DescribeSurface(primary).references, 2) << "the control holds its surface";

  DDGAMMARAMP ramp = {};
  ASSERT_EQ(gamma->GetGammaRamp(0, &ramp), DD_OK);
  EXPECT_EQ(ramp.green[255], 65535);
  for (int i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = static_cast<WORD>(i * 128);
  ASSERT_EQ(gamma->SetGammaRamp(0, &ramp), DD_OK);
  EXPECT_EQ(sim::GammaRamp().blue[255], 255 * 128);
  EXPECT_EQ(gamma->Release(), 0u);
  EXPECT_EQ(sim::DescribeSurface(primary).references, 1);
}

TEST_F(SimDirectDrawSurfaces, HardwareWithoutPrimaryGammaKeepsItsRamp) {
  sim::DisplayDevice device;
  device.halCaps2 = DDCAPS2_CANRENDERWINDOWED;
  sim::SetDisplayDevices({device});
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DD_OK);
  IDirectDrawGammaControl* gamma = nullptr;
  ASSERT_EQ(primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&gamma)), S_OK);
  DDGAMMARAMP dark = {};
  EXPECT_EQ(gamma->SetGammaRamp(0, &dark), DDERR_UNSUPPORTED);
  EXPECT_EQ(sim::GammaRamp().red[1], 257);
  gamma->Release();
}

TEST_F(SimDirectDrawSurfaces, InjectedFailuresLeaveNothingBehind) {
  IDirectDraw4* object = OpenWindowed();
  sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFVIDEOMEMORY, "caps 0x10004040");
  IDirectDrawSurface4* surface = reinterpret_cast<IDirectDrawSurface4*>(0x1);
  EXPECT_EQ(Offscreen(object, kOffscreenLocal, 8, 8, &surface), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(surface, nullptr) << "the out-parameter is cleared";
  EXPECT_EQ(sim::LiveSurfaces(), 0);
  ASSERT_EQ(Offscreen(object, (kOffscreenLocal & ~DDSCAPS_LOCALVIDMEM) | DDSCAPS_NONLOCALVIDMEM, 8, 8, &surface),
            DD_OK);
  EXPECT_EQ(sim::Calls().back().arguments, "{flags 0x7, caps 0x20004040, 8x8}, ptr, NULL");
}

}  // namespace
