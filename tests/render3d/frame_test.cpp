// Frames: scene begin with its render states per device kind, nested and failed
// scenes, viewport clears, render targets, the transforms and their copies,
// the render-state word, and calls that have no device or viewport to act on.
#include <cstring>
#include <string>
#include <vector>

#include "render3d/frame_fixture.h"

namespace {

const unsigned long kRenderTargetFailed = 0x3004;

class FrameCallsTest : public FrameTest {
 protected:
  IDirect3DDevice3* Device() const { return g_kr3D.lpDevice; }
};

TEST_F(FrameCallsTest, SceneBeginSetsSixStatesInOrderForEachDeviceKind) {
  struct Kind {
    int device;
    const char* name;
    DWORD onOff[2];  // dithering, perspective
    DWORD filter;
  };
  const Kind kinds[] = {{kHardwareDevice, "hardware", {1, 1}, D3DFILTER_LINEAR},
                        {kSoftwareDevice, "software", {1, 0}, D3DFILTER_NEAREST}};
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    // A new mode for each: the depth buffer stays on the old back buffer after device clean-up.
    ASSERT_NO_FATAL_FAILURE(StartMode());
    // Device start-up replaces whatever word was set before it.
    KR3DSetRenderState(0xFF, 1);
    ASSERT_NO_FATAL_FAILURE(StartDevice(kind.device));
    ASSERT_EQ(KR3DBeginRender(0), 1);
    EXPECT_EQ(DeviceCallNames(), (std::vector<std::string>{"BeginScene", "SetCurrentViewport", "SetRenderState",
                                                           "SetRenderState", "SetRenderState", "SetRenderState",
                                                           "SetRenderState", "SetRenderState"}));
    EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderState"),
              (std::vector<std::string>{StateArg(D3DRENDERSTATE_ZENABLE, 1),
                                        StateArg(D3DRENDERSTATE_SPECULARENABLE, 0),
                                        StateArg(D3DRENDERSTATE_DITHERENABLE, kind.onOff[0]),
                                        StateArg(D3DRENDERSTATE_TEXTUREPERSPECTIVE, kind.onOff[1]),
                                        StateArg(D3DRENDERSTATE_TEXTUREMIN, kind.filter),
                                        StateArg(D3DRENDERSTATE_TEXTUREMAG, kind.filter)}));
    sim::Direct3DDeviceInfo device = sim::DescribeDirect3DDevice(Device());
    EXPECT_TRUE(device.inScene);
    EXPECT_EQ(device.currentViewport, ViewportInterface(0));
    EXPECT_EQ(KR3DEndRender(), 1);
    EXPECT_FALSE(sim::DescribeDirect3DDevice(Device()).inScene);
    KR3DCleanup();
  }
}

TEST_F(FrameCallsTest, RenderStateWordChangesOnlyItsBitsAndActsAtTheNextScene) {
  StartModeAndDevice();
  ASSERT_EQ(g_kr3D.dwRenderState, 7u);
  KR3DSetRenderState(KR3D_RENDERSTATE_DITHER, 0);
  EXPECT_EQ(g_kr3D.dwRenderState, 5u) << "filtering and perspective stay";
  KR3DSetRenderState(0, 0);
  KR3DSetRenderState(0, 1);
  EXPECT_EQ(g_kr3D.dwRenderState, 5u);
  KR3DSetRenderState(0x100 | KR3D_RENDERSTATE_DITHER, 1);
  EXPECT_EQ(g_kr3D.dwRenderState, 0x107u) << "other bits are kept, without effect";
  KR3DSetRenderState(KR3D_RENDERSTATE_DITHER, 0);
  EXPECT_EQ(DeviceCalls(), 0) << "the word alone changes";

  ASSERT_EQ(KR3DBeginRender(0), 1);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_DITHERENABLE), 0u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 1u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREMAG), DWORD(D3DFILTER_LINEAR));
  // Inside the scene a change waits for the next begin.
  KR3DSetRenderState(KR3D_RENDERSTATE_FILTER | KR3D_RENDERSTATE_PERSPECTIVE, 0);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREMIN), DWORD(D3DFILTER_LINEAR));
  ASSERT_EQ(KR3DEndRender(), 1);
  ASSERT_EQ(KR3DBeginRender(0), 1);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREMIN), DWORD(D3DFILTER_NEAREST));
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREMAG), DWORD(D3DFILTER_NEAREST));
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 0u);
  ASSERT_EQ(KR3DEndRender(), 1);
}

// Nothing records an open scene: the device's refusals come back as log lines,
// without a last-error code.
TEST_F(FrameCallsTest, NestedAndFailedScenesReportTheDeviceResultOnly) {
  StartModeAndDevice();
  const unsigned long codeBefore = KRErrorGetLastError();
  ASSERT_EQ(KR3DBeginRender(0), 1);
  EXPECT_EQ(KR3DBeginRender(0), 0);
  EXPECT_TRUE(Logged("D3DERR_SCENE_IN_SCENE"));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetCurrentViewport"), 1);
  EXPECT_EQ(KR3DEndRender(), 1);
  EXPECT_EQ(KR3DEndRender(), 0);
  EXPECT_TRUE(Logged("D3DERR_SCENE_NOT_IN_SCENE"));

  Forget();
  sim::FailNext("IDirect3DDevice3::BeginScene", DDERR_SURFACELOST);
  EXPECT_EQ(KR3DBeginRender(0), 0);
  EXPECT_TRUE(Logged("DDERR_SURFACELOST"));
  EXPECT_EQ(DeviceCallNames(), std::vector<std::string>{"BeginScene"});

  // A refused viewport leaves the scene begun and sets no states.
  Forget();
  sim::FailNext("IDirect3DDevice3::SetCurrentViewport", D3DERR_VIEWPORTHASNODEVICE);
  EXPECT_EQ(KR3DBeginRender(0), 0);
  EXPECT_TRUE(Logged("D3DERR_VIEWPORTHASNODEVICE"));
  EXPECT_TRUE(sim::DescribeDirect3DDevice(Device()).inScene);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderState"), 0);

  sim::FailNext("IDirect3DDevice3::EndScene", DDERR_SURFACELOST);
  EXPECT_EQ(KR3DEndRender(), 0);
  EXPECT_EQ(KR3DEndRender(), 1);
  EXPECT_EQ(KRErrorGetLastError(), codeBefore);
}

TEST_F(FrameCallsTest, ClearFillsExactlyTheViewportRectangle) {
  StartModeAndDevice();
  IDirectDrawSurface4* back = g_krVideo.lpBackBuffer;
  sim::FillSurfaceRgb(back, 0x0000FF);
  const uint32_t background = sim::SurfaceRgb(back, 0, 0);
  // Left 100, top 60, 200 x 120.
  int viewport = KR3DCreateViewport(-0.6875f, -0.75f, -0.0625f, -0.25f);
  ASSERT_EQ(viewport, 1);
  ASSERT_EQ(Rectangle(viewport), (std::vector<DWORD>{100, 60, 200, 120}));

  ASSERT_EQ(KR3DBeginRender(viewport), 1);
  KR3DClear(0xFF00FF00, 0.5f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, viewport);
  std::vector<sim::Direct3DClear> clears = sim::Direct3DClears();
  ASSERT_EQ(clears.size(), 1u);
  EXPECT_EQ(clears[0].viewport, ViewportInterface(viewport));
  ASSERT_EQ(clears[0].rects.size(), 1u);
  const D3DRECT& rect = clears[0].rects[0];
  EXPECT_EQ(std::vector<LONG>({rect.x1, rect.y1, rect.x2, rect.y2}), (std::vector<LONG>{100, 60, 300, 180}));
  EXPECT_EQ(clears[0].flags, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
  EXPECT_EQ(clears[0].colour, 0xFF00FF00u);
  EXPECT_EQ(clears[0].z, 0.5f);
  EXPECT_EQ(clears[0].stencil, 0u);
  EXPECT_EQ(sim::SurfaceRgb(back, 100, 60), 0x00FF00u);
  EXPECT_EQ(sim::SurfaceRgb(back, 299, 179), 0x00FF00u);
  EXPECT_EQ(sim::SurfaceRgb(back, 99, 60), background);
  EXPECT_EQ(sim::SurfaceRgb(back, 300, 179), background);
  EXPECT_EQ(sim::SurfaceRgb(back, 100, 180), background);

  // The default viewport clears the whole target.
  sim::ClearDirect3DRecord();
  KR3DClear(0xFFFF0000, 1.0f, D3DCLEAR_TARGET, 0);
  clears = sim::Direct3DClears();
  ASSERT_EQ(clears.size(), 1u);
  EXPECT_EQ(clears[0].rects[0].x2, 640);
  EXPECT_EQ(clears[0].rects[0].y2, 480);
  EXPECT_EQ(sim::SurfaceRgb(back, 639, 479), 0xFF0000u);

  // A failed clear is a log line only.
  const unsigned long codeBefore = KRErrorGetLastError();
  Forget();
  sim::FailNext("IDirect3DViewport3::Clear2", DDERR_SURFACELOST);
  KR3DClear(0xFFFF0000, 1.0f, D3DCLEAR_TARGET, viewport);
  EXPECT_TRUE(Logged("DDERR_SURFACELOST"));
  EXPECT_EQ(KRErrorGetLastError(), codeBefore);
  ASSERT_EQ(KR3DEndRender(), 1);
  KR3DReleaseViewport(viewport);
}

// A begin or clear on a handle that names no viewport: the begun scene reports
// the device's answer to a null viewport, and nothing is cleared.
TEST_F(FrameCallsTest, ViewportHandlesNamingNoViewportAreRefused) {
  StartModeAndDevice();
  for (int handle : {9, -1, KR3D_VIEWPORT_MAX, 100000}) {
    SCOPED_TRACE(handle);
    Forget();
    EXPECT_EQ(KR3DBeginRender(handle), 0);
    EXPECT_TRUE(Logged("DDERR_INVALIDPARAMS"));
    EXPECT_EQ(DeviceCallNames(), std::vector<std::string>{"BeginScene"});
    KR3DClear(0xFFFFFFFF, 1.0f, D3DCLEAR_TARGET, handle);
    EXPECT_EQ(DeviceCalls(), 1);
    EXPECT_TRUE(sim::Direct3DClears().empty());
    EXPECT_EQ(KR3DEndRender(), 1) << "the scene was begun";
  }
}

TEST_F(FrameCallsTest, RenderTargetsAreTheVideoSurfacesOrCreatedBuffers) {
  StartModeAndDevice();
  EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_PRIMARY), 1);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).target, g_krVideo.lpPrimarySurface);
  EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_BACK), 1);
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).target, g_krVideo.lpBackBuffer);
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderTarget"), (std::vector<std::string>{"ptr, 0x0", "ptr, 0x0"}));

  // A created bitmap buffer goes to the device, which refuses a surface it cannot draw on.
  sim::BmpImage image;
  image.width = 8;
  image.height = 8;
  image.pixels.assign(64, 0x808080);
  sim::WriteWholeFile("tile.bmp", sim::EncodeBmp(image));
  const int buffer = KR2DCreateBuffer("tile.bmp");
  ASSERT_EQ(buffer, 3);
  Forget();
  EXPECT_EQ(KR3DSetRenderTarget(buffer), 0);
  ExpectLastError(kRenderTargetFailed, "KR3D : 不明なエラーが発生しました");
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderTarget"), 1);
  EXPECT_TRUE(Logged("DDERR_INVALIDCAPS"));

  Forget();
  sim::FailNext("IDirect3DDevice3::SetRenderTarget", DDERR_SURFACELOST);
  EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_BACK), 0);
  EXPECT_EQ(KRErrorGetLastError(), kRenderTargetFailed);
  EXPECT_TRUE(Logged("DDERR_SURFACELOST"));
  KR2DReleaseBuffer(buffer);
}

// Only 1, 2 and buffers the 2D component made (and still holds) are targets.
TEST_F(FrameCallsTest, TargetsNamingNoSurfaceAreRefusedBeforeTheDevice) {
  StartModeAndDevice();
  for (int target : {0, -1, 4, KR2D_BUFFER_MAX, 100000}) {
    SCOPED_TRACE(target);
    Forget();
    EXPECT_EQ(KR3DSetRenderTarget(target), 0);
    EXPECT_EQ(KRErrorGetLastError(), kRenderTargetFailed);
    EXPECT_EQ(DeviceCalls(), 0);
  }
  KR2DCleanup();
  Forget();
  EXPECT_EQ(KR3DSetRenderTarget(3), 0);
  EXPECT_EQ(DeviceCalls(), 0);
  EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_BACK), 1) << "the video surfaces need no 2D";
}

TEST_F(FrameCallsTest, TransformsPassThePointerOnAndKeepCopiesOfRealMatrices) {
  D3DMATRIX zero;
  memset(&zero, 0, sizeof(zero));
  EXPECT_TRUE(SameMatrix(g_kr3D.matView, zero)) << "zero until the first call";
  EXPECT_TRUE(SameMatrix(g_kr3D.matProjection, zero));
  StartModeAndDevice();

  KR3DMATRIX view;
  view.SetTranslate(1, 2, 3);
  KR3DSetViewMatrix(&view);
  KR3DMATRIX projection;
  projection.SetScale(2);
  KR3DSetProjectionMatrix(&projection);
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetTransform"),
            (std::vector<std::string>{"2, {1, 0, 0, 0; 0, 1, 0, 0; 0, 0, 1, 0; 1, 2, 3, 1}",
                                      "3, {2, 0, 0, 0; 0, 2, 0, 0; 0, 0, 2, 0; 0, 0, 0, 1}"}));
  EXPECT_TRUE(SameMatrix(g_kr3D.matView, view));
  EXPECT_TRUE(SameMatrix(g_kr3D.matProjection, projection));
  EXPECT_TRUE(SameMatrix(sim::Direct3DTransform(Device(), D3DTRANSFORMSTATE_VIEW), view));

  // A null matrix is passed on too; the device's refusal is not looked at and the copies stay.
  Forget();
  KR3DSetViewMatrix(NULL);
  KR3DSetProjectionMatrix(NULL);
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetTransform"), (std::vector<std::string>{"2, NULL", "3, NULL"}));
  EXPECT_TRUE(SameMatrix(g_kr3D.matView, view));
  EXPECT_TRUE(SameMatrix(g_kr3D.matProjection, projection));

  // The copies outlive the device.
  KR3DCleanupDevice();
  EXPECT_TRUE(SameMatrix(g_kr3D.matView, view));
}

// Before a device exists (or when its start-up failed before creating it) the
// frame calls make no device call; the matrix setters still keep their copies.
TEST_F(FrameCallsTest, WithoutADeviceFrameCallsReachNothing) {
  KR3DMATRIX view;
  view.SetTranslate(4, 5, 6);
  auto expectNothingReached = [&view](const char* state) {
    SCOPED_TRACE(state);
    Forget();
    EXPECT_EQ(KR3DBeginRender(0), 0);
    EXPECT_EQ(KR3DEndRender(), 0);
    KR3DClear(0xFFFFFFFF, 1.0f, D3DCLEAR_TARGET, 0);
    EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_BACK), 0);
    EXPECT_EQ(KRErrorGetLastError(), kRenderTargetFailed);
    KR3DSetViewMatrix(&view);
    KR3DSetProjectionMatrix(&view);
    EXPECT_TRUE(SameMatrix(g_kr3D.matView, view));
    EXPECT_TRUE(SameMatrix(g_kr3D.matProjection, view));
    EXPECT_EQ(DeviceCalls(), 0);
    view.Translate(1, 0, 0);
  };

  ForEachStateWithoutADevice(expectNothingReached);
}

}  // namespace
