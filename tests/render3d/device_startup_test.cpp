// The device start-up on a render target and its clean-up: choices, the depth
// buffer's memory and attachment, each failure row, forgotten objects, and
// every reference given back.
#include <cstring>
#include <string>
#include <vector>

#include "render3d/render3d_fixture.h"
#include "video/buffer_table.h"

namespace {

const char kLocalLine[] = "KR3D : Create Z-buffer surface on VIDEO MEMORY (LOCAL)";
const char kNonLocalLine[] = "KR3D : Create Z-buffer surface on VIDEO MEMORY (NON LOCAL)";
const char kSystemLine[] = "KR3D : Create Z-buffer surface on SYSTEM MEMORY";
const char kStolenViewportLine[] = "KR3D Warning : Default viewport has been released by another.";

class DeviceStartupTest : public Render3DTest {
 protected:
  void SetUp() override {
    Render3DTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartUpTo3D());
    Forget();
  }

  // The depth buffer hanging on a surface (compared only), or null.
  static IDirectDrawSurface4* AttachedDepth(IDirectDrawSurface4* surface) {
    DDSCAPS2 caps;
    memset(&caps, 0, sizeof(caps));
    caps.dwCaps = DDSCAPS_ZBUFFER;
    IDirectDrawSurface4* depth = nullptr;
    if (FAILED(surface->GetAttachedSurface(&caps, &depth))) return nullptr;
    depth->Release();
    return depth;
  }

  // A start-up that fails after the display-mode test: 0 with 0x3101, device left started.
  static void ExpectLateFailure(KR3DSTARTUPDEVICEINFO info) {
    EXPECT_EQ(KR3DStartupDevice(&info), 0);
    EXPECT_EQ(KRErrorGetLastError(), 0x3101u);
    EXPECT_EQ(g_kr3D.bDeviceStarted, 1);
  }
};

TEST_F(DeviceStartupTest, AutomaticHardwareDeviceOnTheBackBufferOfARestoredDisplay) {
  sim::MarkAllSurfacesLost();
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, 2), 1);  // 2 = count: automatic
  EXPECT_EQ(g_krVideo.lpPrimarySurface->IsLost(), DD_OK);
  EXPECT_EQ(g_krVideo.lpBackBuffer->IsLost(), DD_OK);
  ExpectLinesInOrder({"KR3D : StartupDevice", kLocalLine, "KR3D : Create device", "KR3D : Create default viewport"});
  EXPECT_EQ(g_kr3D.nCurrentDevice, kHardwareDevice);
  EXPECT_EQ(g_kr3D.dwRenderState, 7u);

  sim::Direct3DDeviceInfo device = sim::DescribeDirect3DDevice(g_kr3D.lpDevice);
  EXPECT_TRUE(device.hardware);
  EXPECT_EQ(device.target, g_krVideo.lpBackBuffer);
  EXPECT_EQ(device.depthBuffer, g_kr3D.lpZBuffer);
  ASSERT_EQ(device.viewports.size(), 1u);
  EXPECT_EQ(device.viewports[0], g_kr3D.lpViewports[0].lpViewport);

  sim::SurfaceInfo depth = sim::DescribeSurface(g_kr3D.lpZBuffer);
  EXPECT_EQ(depth.width, 640);
  EXPECT_EQ(depth.height, 480);
  EXPECT_EQ(depth.bitsPerPixel, 32);  // the automatic format of the boot list: 16, 32, 24 gives 32
  EXPECT_EQ(depth.memory, sim::SurfaceMemory::LocalVideo);

  sim::Direct3DViewportInfo viewport = sim::DescribeDirect3DViewport(g_kr3D.lpViewports[0].lpViewport);
  EXPECT_EQ(viewport.data.dwWidth, 640u);
  EXPECT_EQ(viewport.data.dwHeight, 480u);
  // The queried target interface went back.
  EXPECT_EQ(sim::DescribeSurface(g_krVideo.lpBackBuffer).references, 2);  // the video's and the device's
}

TEST_F(DeviceStartupTest, AFormatNamedByIndexIsTakenEvenWhereTheChoiceWouldDiffer) {
  // The boot list is 16, 32, 24 bits: the automatic choice is index 1, so index 0 must stay 16 bits.
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, kHardwareDevice, 0), 1);
  EXPECT_EQ(sim::DescribeSurface(g_kr3D.lpZBuffer).bitsPerPixel, 16);
}

TEST_F(DeviceStartupTest, SoftwareDeviceAsksSystemMemoryAndDithersOnly) {
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, kSoftwareDevice, 3), 1);  // 3 = count: automatic
  EXPECT_TRUE(Logged(kSystemLine));
  EXPECT_FALSE(Logged(kLocalLine));
  EXPECT_EQ(g_kr3D.dwRenderState, 2u);
  EXPECT_FALSE(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).hardware);
  EXPECT_EQ(sim::DescribeSurface(g_kr3D.lpZBuffer).memory, sim::SurfaceMemory::System);
}

TEST_F(DeviceStartupTest, ExplicitDepthFormatIsTaken) {
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, kHardwareDevice, 2), 1);  // the 24-bit format
  EXPECT_EQ(sim::DescribeSurface(g_kr3D.lpZBuffer).bitsPerPixel, 24);
}

TEST_F(DeviceStartupTest, WithoutDepthBufferNoLineAndNoSurface) {
  int surfaces = sim::LiveSurfaces();
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, -1, -1, KR3DSTARTUPDEVICE_NOZBUFFER), 1);
  EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).depthBuffer, nullptr);
  EXPECT_EQ(sim::DebugOutput().find("Z-buffer"), std::string::npos);
}

TEST_F(DeviceStartupTest, HardwareDepthBufferFallsBackToNonLocalMemory) {
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  EXPECT_TRUE(Logged(kNonLocalLine));
  EXPECT_FALSE(Logged(kLocalLine));
  EXPECT_EQ(sim::DescribeSurface(g_kr3D.lpZBuffer).memory, sim::SurfaceMemory::NonLocalVideo);
}

TEST_F(DeviceStartupTest, DepthBufferInNoMemoryFailsWithTheDeviceStarted) {
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::NonLocalVideo, false);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
  EXPECT_EQ(sim::DebugOutput().find("Z-buffer"), std::string::npos);
  EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
  EXPECT_EQ(g_kr3D.lpDevice, nullptr);
  // A retry is refused until clean-up, which finds no default viewport.
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3102u);
  KR3DCleanupDevice();
  EXPECT_TRUE(Logged(kStolenViewportLine));
  EXPECT_EQ(g_kr3D.bDeviceStarted, 0);
}

TEST_F(DeviceStartupTest, SoftwareSystemMemoryLineIsLoggedEvenWhenItFails) {
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::System, false);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK, kSoftwareDevice));
  EXPECT_TRUE(Logged(kSystemLine));
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 1);
}

TEST_F(DeviceStartupTest, FailedAttachmentReleasesTheDepthBuffer) {
  int surfaces = sim::LiveSurfaces();
  sim::FailNext("IDirectDrawSurface4::AddAttachedSurface", DDERR_GENERIC);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
  EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_FALSE(Logged("KR3D : Create device"));
}

// Where a depth buffer hangs on one surface only, it hangs on the surface the device draws into.
TEST_F(DeviceStartupTest, OneSurfaceRuleMovesTheDepthBufferToTheBackBuffer) {
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpBackBuffer), g_kr3D.lpZBuffer);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpPrimarySurface), nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::DeleteAttachedSurface"), 1);
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).depthBuffer, g_kr3D.lpZBuffer);
}

TEST_F(DeviceStartupTest, OneSurfaceRuleKeepsTheDepthBufferOnThePrimaryForTarget1) {
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_PRIMARY), 1);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpPrimarySurface), g_kr3D.lpZBuffer);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpBackBuffer), nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::DeleteAttachedSurface"), 0);
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).target, g_krVideo.lpPrimarySurface);
}

TEST_F(DeviceStartupTest, SeveralSurfacesRuleAttachesToBoth) {
  sim::SetDepthBufferAttachment(sim::DepthAttachment::SeveralSurfaces);
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpPrimarySurface), g_kr3D.lpZBuffer);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpBackBuffer), g_kr3D.lpZBuffer);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::DeleteAttachedSurface"), 0);
}

TEST_F(DeviceStartupTest, FailedMoveToTheBackBufferIsAStartupFailure) {
  sim::FailNext("IDirectDrawSurface4::DeleteAttachedSurface", DDERR_GENERIC);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
  EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
}

TEST_F(DeviceStartupTest, TargetsThatNameNoSurfaceFailAtTheDeviceStep) {
  for (int target : {0, -1, 3, 32, 33, 1000}) {
    Forget();
    ExpectLateFailure(DeviceOn(target));
    EXPECT_TRUE(Logged("KR3D : Create device")) << target;
    EXPECT_NE(g_kr3D.lpZBuffer, nullptr) << target;  // the depth buffer stays
    EXPECT_EQ(g_kr3D.lpDevice, nullptr);
    EXPECT_EQ(sim::CountCalls("IDirect3D3::CreateDevice"), 0);
    KR3DCleanupDevice();
    EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
  }
}

TEST_F(DeviceStartupTest, BitmapBufferTargetNeeds2DStarted) {
  KR2DCleanup();
  ExpectLateFailure(DeviceOn(3));
  EXPECT_EQ(sim::CountCalls("IDirect3D3::CreateDevice"), 0);
  KR3DCleanupDevice();
  // The primary surface and the back buffer come from the video component itself.
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
}

TEST_F(DeviceStartupTest, FailedTargetQueryKeepsTheDepthBuffer) {
  sim::FailNext("IDirectDrawSurface4::QueryInterface", E_NOINTERFACE);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
  EXPECT_TRUE(Logged("KR3D : Create device"));
  EXPECT_NE(g_kr3D.lpZBuffer, nullptr);
  EXPECT_EQ(sim::CountCalls("IDirect3D3::CreateDevice"), 0);
}

TEST_F(DeviceStartupTest, FailedCreateDeviceLogsTheNameAndReleasesTheQueriedTarget) {
  int references = sim::DescribeSurface(g_krVideo.lpBackBuffer).references;
  sim::FailNext("IDirect3D3::CreateDevice", DDERR_INVALIDCAPS);
  ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
  ExpectLinesInOrder({"KR3D : Create device", "DDERR_INVALIDCAPS"});
  ExpectLastError(0x3101, "KR3D : Deviceの初期化に失敗しました");
  EXPECT_EQ(sim::DescribeSurface(g_krVideo.lpBackBuffer).references, references);
  EXPECT_NE(g_kr3D.lpZBuffer, nullptr);
  EXPECT_FALSE(Logged("KR3D : Create default viewport"));
  Forget();
  KR3DCleanupDevice();
  ExpectLinesInOrder({kStolenViewportLine, "KR3D : Release Direct3DDevice2"});
  EXPECT_EQ(g_kr3D.lpZBuffer, nullptr);
  EXPECT_EQ(g_kr3D.bDeviceStarted, 0);
}

TEST_F(DeviceStartupTest, FailedDefaultViewportLeavesNoViewport) {
  for (const char* failing : {"IDirect3D3::CreateViewport", "IDirect3DDevice3::AddViewport"}) {
    sim::FailNext(failing, DDERR_GENERIC);
    ExpectLateFailure(DeviceOn(KR2D_BUFFER_BACK));
    EXPECT_TRUE(Logged("KR3D : Create default viewport")) << failing;
    EXPECT_EQ(sim::LiveDirect3DViewports(), 0) << failing;
    EXPECT_EQ(g_kr3D.lpViewports[0].lpViewport, nullptr);
    EXPECT_NE(g_kr3D.lpDevice, nullptr);
    KR3DCleanupDevice();
    EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  }
}

TEST_F(DeviceStartupTest, RefusedDefaultRectangleKeepsItsOwnCode) {
  sim::FailNext("IDirect3DViewport3::SetViewport2", DDERR_GENERIC);
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3104u);
  EXPECT_NE(g_kr3D.lpViewports[0].lpViewport, nullptr);
  KR3DCleanupDevice();
  EXPECT_FALSE(Logged(kStolenViewportLine));
  EXPECT_EQ(sim::LiveDirect3DViewports(), 0);
}

TEST_F(DeviceStartupTest, RetryIsRefusedAfterTheEnumerationsRan) {
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  Forget();
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3102u);
  EXPECT_GE(sim::CountCalls("IDirect3D3::EnumDevices"), 1);
  EXPECT_GE(sim::CountCalls("IDirect3D3::EnumZBufferFormats"), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 0);
}

TEST_F(DeviceStartupTest, NoDisplayModeStartsNothing) {
  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  ASSERT_EQ(KRVideoStartup(0), 1);
  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3101u);
  EXPECT_EQ(g_kr3D.bDeviceStarted, 0);
  KR3DCleanupDevice();
  ExpectLastError(0x3103, "KR3D : Deviceは初期化されていません");
}

TEST_F(DeviceStartupTest, NoAcceptedDeviceOrNoRecordStartsNothing) {
  sim::SetDirect3DDevices({Device("Only 32", true, D3DCOLOR_RGB, DDBD_32)});
  EXPECT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3101u);
  EXPECT_EQ(g_kr3D.bDeviceStarted, 0);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 0);

  sim::SetDirect3DDevices(sim::StandardDirect3DDevices());
  Forget();
  EXPECT_EQ(KR3DStartupDevice(nullptr), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3101u);
  EXPECT_EQ(g_kr3D.bDeviceStarted, 0);
  EXPECT_EQ(sim::CountCalls("IDirect3D3::EnumDevices"), 3);  // the choices were still made
  EXPECT_EQ(g_kr3D.nDeviceCount, 2);
}

TEST_F(DeviceStartupTest, StartupEmptiesTheObjectTablesButNotTheViewports) {
  g_kr3D.lpModels[5].nNumVert = 7;
  g_kr3D.lpMaterials[9].hD3DMaterial = 3;
  g_kr3D.lpViewports[4].desc.dwX = 11;
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  EXPECT_EQ(g_kr3D.lpModels[5].nNumVert, 0);
  EXPECT_EQ(g_kr3D.lpMaterials[9].hD3DMaterial, 0u);
  EXPECT_EQ(g_kr3D.lpViewports[4].desc.dwX, 11u);
  g_kr3D.lpViewports[4].desc.dwX = 0;
}

class DeviceCleanupTest : public DeviceStartupTest {
 protected:
  void SetUp() override {
    DeviceStartupTest::SetUp();
    ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  }

  // A texture in the table's slot, as texture creation leaves one.
  static void PutTexture(int handle) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F);
    KR3DTEXTURE& slot = g_kr3D.lpTextures[handle];
    ASSERT_EQ(g_krVideo.lpDirectDraw->CreateSurface(&desc, &slot.lpSurface, NULL), DD_OK);
    ASSERT_EQ(slot.lpSurface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&slot.lpD3DTexture)),
              S_OK);
  }

  static void PutModel(int handle) {
    KR3DMODEL& model = g_kr3D.lpModels[handle];
    model.nNumVert = 3;
    model.nNumVertIdx = 3;
    model.lpPositions = static_cast<D3DVECTOR*>(KRAllocEx(36, const_cast<char*>("KR3D:VERT")));
    model.lpNormals = static_cast<D3DVECTOR*>(KRAllocEx(36, const_cast<char*>("KR3D:NORM")));
    model.lpIndices = static_cast<WORD*>(KRAllocEx(6, const_cast<char*>("KR3D:VERTIDX")));
  }
};

TEST_F(DeviceCleanupTest, ForgottenObjectsAreReleasedTableByTableWithAWarningEach) {
  ASSERT_EQ(KR3DCreateViewport(-1, -1, 0, 0), 1);
  ASSERT_NO_FATAL_FAILURE(PutTexture(7));
  ASSERT_NO_FATAL_FAILURE(PutTexture(3));
  ASSERT_EQ(g_kr3D.lpDirect3D->CreateMaterial(&g_kr3D.lpMaterials[2].lpD3DMaterial, NULL), D3D_OK);
  ASSERT_EQ(g_kr3D.lpDirect3D->CreateLight(&g_kr3D.lpLights[4], NULL), D3D_OK);
  ASSERT_NO_FATAL_FAILURE(PutModel(2));
  Forget();

  KR3DCleanupDevice();
  ExpectLinesInOrder({"KR3D Warning : You didn't release Viewport(1).", "KR3D Warning : You didn't release Texture(3).",
                      "KR3D Warning : You didn't release Texture(7).",
                      "KR3D Warning : You didn't release Material(2).", "KR3D Warning : You didn't release Light(4).",
                      "KR3D Warning : You didn't release Model(2).", "KR3D : Release Direct3DDevice2"});
  EXPECT_FALSE(Logged(kStolenViewportLine));
  EXPECT_EQ(sim::LiveDirect3DViewports(), 0);
  EXPECT_EQ(sim::LiveDirect3DTextures(), 0);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  EXPECT_EQ(g_kr3D.lpModels[2].nNumVert, 0);
  EXPECT_EQ(g_kr3D.lpModels[2].lpPositions, nullptr);
  EXPECT_EQ(g_kr3D.lpTextures[3].lpSurface, nullptr);
}

TEST_F(DeviceCleanupTest, DepthBufferStaysAttachedUntilTheVideoReleasesItsSurfaces) {
  IDirectDrawSurface4* depth = g_kr3D.lpZBuffer;
  int surfaces = sim::LiveSurfaces();
  Forget();
  KR3DCleanupDevice();
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::DeleteAttachedSurface"), 0);
  EXPECT_EQ(AttachedDepth(g_krVideo.lpBackBuffer), depth);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(g_kr3D.nAutoDevice, -1);
  EXPECT_EQ(g_kr3D.lpDevice, nullptr);

  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  EXPECT_EQ(sim::LiveSurfaces(), 0);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
}

TEST_F(DeviceCleanupTest, StolenDefaultViewportIsWarnedAbout) {
  IDirect3DViewport3* viewport = g_kr3D.lpViewports[0].lpViewport;
  g_kr3D.lpDevice->DeleteViewport(viewport);
  viewport->Release();
  g_kr3D.lpViewports[0].lpViewport = nullptr;
  KR3DCleanupDevice();
  EXPECT_TRUE(Logged(kStolenViewportLine));
  EXPECT_EQ(KR3DIsStarted(), 1);
}

TEST_F(DeviceCleanupTest, DeviceStartsAgainAfterCleanup) {
  KR3DCleanupDevice();
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  // The first depth buffer still hangs on the back buffer, so the new one asks to be moved there too.
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).viewports.size(), 1u);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 1);
}

}  // namespace
