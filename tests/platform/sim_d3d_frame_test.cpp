// The frame calls of the simulated Direct3D device: scenes, viewports and
// clears, transforms, states and render targets.
#include "tests/platform/sim_d3d_fixture.h"

namespace {

using d3d_test::kOffscreenLocal;
using d3d_test::kTargetLocal;

class SimDirect3DFrame : public d3d_test::SimDirect3DTest {};

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX matrix = d3d_test::Identity();
  matrix._41 = x;
  matrix._42 = y;
  matrix._43 = z;
  return matrix;
}

// A quarter turn about z: x goes to y.
D3DMATRIX QuarterTurn() {
  D3DMATRIX matrix = d3d_test::Identity();
  matrix._11 = 0.0f;
  matrix._12 = 1.0f;
  matrix._21 = -1.0f;
  matrix._22 = 0.0f;
  return matrix;
}

TEST_F(SimDirect3DFrame, ScenesDoNotNestAndNeedATargetThatIsThere) {
  Frame frame = OpenFrame();
  EXPECT_EQ(frame.device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
  ASSERT_EQ(frame.device->BeginScene(), D3D_OK);
  EXPECT_EQ(frame.device->BeginScene(), D3DERR_SCENE_IN_SCENE);
  EXPECT_TRUE(sim::DescribeDirect3DDevice(frame.device).inScene);
  EXPECT_EQ(frame.device->EndScene(), D3D_OK);
  EXPECT_EQ(frame.device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);

  sim::MarkSurfaceLost(frame.target);
  EXPECT_EQ(frame.device->BeginScene(), DDERR_SURFACELOST);
  ASSERT_EQ(frame.target->Restore(), DD_OK);
  EXPECT_EQ(frame.device->BeginScene(), D3D_OK);
  EXPECT_EQ(frame.device->EndScene(), D3D_OK);
}

TEST_F(SimDirect3DFrame, AViewportServesOneDeviceThatHoldsIt) {
  Frame frame = OpenFrame();
  IDirect3DViewport3* viewport = nullptr;
  ASSERT_EQ(frame.direct3D->CreateViewport(&viewport, nullptr), D3D_OK);
  Keep(viewport);
  D3DVIEWPORT2 data = {};
  data.dwSize = sizeof data;
  data.dwWidth = 16;
  data.dwHeight = 8;
  EXPECT_EQ(viewport->SetViewport2(&data), D3DERR_VIEWPORTHASNODEVICE);
  EXPECT_EQ(frame.device->SetCurrentViewport(viewport), DDERR_INVALIDPARAMS) << "not added";
  EXPECT_EQ(frame.device->DeleteViewport(viewport), DDERR_INVALIDPARAMS) << "not added";

  ASSERT_EQ(frame.device->AddViewport(viewport), D3D_OK);
  EXPECT_EQ(frame.device->AddViewport(viewport), DDERR_INVALIDPARAMS) << "already added";
  EXPECT_EQ(sim::Direct3DReferences(viewport), 2);
  D3DVIEWPORT2 read = {};
  read.dwSize = sizeof read;
  EXPECT_EQ(viewport->GetViewport2(&read), D3DERR_VIEWPORTDATANOTSET);
  data.dwSize = 0;
  EXPECT_EQ(viewport->SetViewport2(&data), DDERR_INVALIDPARAMS);
  data.dwSize = sizeof data;
  ASSERT_EQ(viewport->SetViewport2(&data), D3D_OK);
  ASSERT_EQ(viewport->GetViewport2(&read), D3D_OK);
  EXPECT_EQ(read.dwWidth, 16u);

  ASSERT_EQ(frame.device->SetCurrentViewport(viewport), D3D_OK);
  EXPECT_EQ(sim::Direct3DReferences(viewport), 3);
  ASSERT_EQ(frame.device->DeleteViewport(viewport), D3D_OK);
  EXPECT_EQ(sim::Direct3DReferences(viewport), 1) << "deleting the current viewport lets go of both";
  IDirect3DViewport3* current = nullptr;
  EXPECT_EQ(frame.device->GetCurrentViewport(&current), D3DERR_NOCURRENTVIEWPORT);

  // A device that goes takes its viewports with it; they stay usable objects.
  EXPECT_EQ(frame.device->AddViewport(viewport), D3D_OK);
  Forget(frame.device);
  frame.device->Release();
  EXPECT_EQ(sim::DescribeDirect3DViewport(viewport).device, nullptr);
  EXPECT_EQ(viewport->SetViewport2(&data), D3DERR_VIEWPORTHASNODEVICE);
}

TEST_F(SimDirect3DFrame, ClearFillsTheTargetInsideTheViewportAndIsRecorded) {
  Frame frame = OpenFrame();
  IDirect3DViewport3* inner = Viewport(frame.direct3D, frame.device, 8, 4, 16, 8);
  D3DRECT all = {{0}, {0}, {64}, {32}};
  ASSERT_EQ(inner->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 0.5f, 0), D3D_OK);
  EXPECT_EQ(sim::SurfaceRgb(frame.target, 8, 4), 0x00FF00u);
  EXPECT_EQ(sim::SurfaceRgb(frame.target, 23, 11), 0x00FF00u);
  EXPECT_EQ(sim::SurfaceRaw(frame.target, 24, 11), 0xF00Du) << "outside the viewport: as the memory was";
  EXPECT_EQ(sim::SurfaceRaw(frame.target, 7, 4), 0xBAADu);

  const std::vector<sim::Direct3DClear> clears = sim::Direct3DClears();
  ASSERT_EQ(clears.size(), 1u);
  EXPECT_EQ(clears[0].viewport, inner);
  EXPECT_EQ(clears[0].device, frame.device);
  ASSERT_EQ(clears[0].rects.size(), 1u);
  EXPECT_EQ(clears[0].rects[0].x2, 64);
  EXPECT_EQ(clears[0].flags, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
  EXPECT_EQ(clears[0].colour, 0xFF00FF00u);
  EXPECT_FLOAT_EQ(clears[0].z, 0.5f);

  EXPECT_EQ(inner->Clear2(0, &all, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_INVALIDPARAMS);
  IDirectDrawSurface4* withoutDepth = Offscreen(frame.directDraw, 8, 8, kTargetLocal);
  IDirect3DDevice3* bare = Device(frame.direct3D, IID_IDirect3DHALDevice, withoutDepth);
  IDirect3DViewport3* onBare = Viewport(frame.direct3D, bare, 0, 0, 8, 8);
  EXPECT_EQ(onBare->Clear2(1, &all, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_ZBUFFER_NOTPRESENT);
  EXPECT_EQ(sim::Direct3DRenderState(bare, D3DRENDERSTATE_ZENABLE), DWORD(D3DZB_FALSE));
  EXPECT_EQ(sim::Direct3DClears().size(), 1u);
}

TEST_F(SimDirect3DFrame, MultiplyTransformPutsTheGivenMatrixFirst) {
  Frame frame = OpenFrame();
  D3DMATRIX world = {};
  ASSERT_EQ(frame.device->GetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
  EXPECT_EQ(world._11, 1.0f);
  EXPECT_EQ(world._41, 0.0f);

  D3DMATRIX move = Translation(5, 0, 0);
  D3DMATRIX turn = QuarterTurn();
  ASSERT_EQ(frame.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &move), D3D_OK);
  ASSERT_EQ(frame.device->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, &turn), D3D_OK);
  ASSERT_EQ(frame.device->GetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
  // turn × move: the origin is turned (staying put), then moved to (5, 0, 0).
  EXPECT_FLOAT_EQ(world._41, 5.0f);
  EXPECT_FLOAT_EQ(world._42, 0.0f);
  EXPECT_FLOAT_EQ(world._12, 1.0f);
  EXPECT_FLOAT_EQ(world._21, -1.0f);

  D3DMATRIX view = Translation(0, 0, 80);
  ASSERT_EQ(frame.device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
  ASSERT_EQ(frame.device->MultiplyTransform(D3DTRANSFORMSTATE_VIEW, &move), D3D_OK);
  EXPECT_FLOAT_EQ(sim::Direct3DTransform(frame.device, D3DTRANSFORMSTATE_VIEW)._41, 5.0f);
  EXPECT_FLOAT_EQ(sim::Direct3DTransform(frame.device, D3DTRANSFORMSTATE_VIEW)._43, 80.0f);
  EXPECT_EQ(sim::Direct3DTransform(frame.device, D3DTRANSFORMSTATE_PROJECTION)._44, 1.0f);

  EXPECT_EQ(frame.device->SetTransform(D3DTRANSFORMSTATE_VIEW, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(frame.device->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(frame.device->GetTransform(D3DTRANSFORMSTATE_WORLD, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(frame.device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(4), &move), DDERR_INVALIDPARAMS);
  EXPECT_FLOAT_EQ(sim::Direct3DTransform(frame.device, D3DTRANSFORMSTATE_VIEW)._41, 5.0f) << "left as it was";
}

TEST_F(SimDirect3DFrame, StatesReadBackFromDirect3DsDefaults) {
  Frame frame = OpenFrame();
  DWORD value = 0xDEAD;
  ASSERT_EQ(frame.device->GetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(sim::Direct3DRenderState(frame.device, D3DRENDERSTATE_ZWRITEENABLE), 1u);
  EXPECT_EQ(sim::Direct3DRenderState(frame.device, D3DRENDERSTATE_TEXTUREMAPBLEND), DWORD(D3DTBLEND_MODULATE));
  ASSERT_EQ(frame.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE), D3D_OK);
  ASSERT_EQ(frame.device->GetRenderState(D3DRENDERSTATE_DITHERENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(frame.device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(0), 1), DDERR_INVALIDPARAMS);
  EXPECT_EQ(frame.device->GetRenderState(D3DRENDERSTATE_ZENABLE, nullptr), DDERR_INVALIDPARAMS);

  EXPECT_EQ(sim::Direct3DTextureStageState(frame.device, 0, D3DTSS_MINFILTER), DWORD(D3DTFN_POINT));
  ASSERT_EQ(frame.device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR), D3D_OK);
  EXPECT_EQ(sim::Direct3DTextureStageState(frame.device, 0, D3DTSS_MINFILTER), DWORD(D3DTFN_LINEAR));
  EXPECT_EQ(sim::Direct3DTextureStageState(frame.device, 1, D3DTSS_MINFILTER), DWORD(D3DTFN_POINT));
  EXPECT_EQ(frame.device->SetTextureStageState(8, D3DTSS_MINFILTER, D3DTFN_LINEAR), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTextureStageState"), 2);

  ASSERT_EQ(frame.device->SetLightState(D3DLIGHTSTATE_MATERIAL, 7), D3D_OK);
  ASSERT_EQ(frame.device->GetLightState(D3DLIGHTSTATE_MATERIAL, &value), D3D_OK);
  EXPECT_EQ(value, 7u);
  sim::FailNext("IDirect3DDevice3::SetRenderState", DDERR_GENERIC);
  EXPECT_EQ(frame.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FALSE), DDERR_GENERIC);
  EXPECT_EQ(sim::Direct3DRenderState(frame.device, D3DRENDERSTATE_DITHERENABLE), 1u);
}

TEST_F(SimDirect3DFrame, ANewRenderTargetBringsItsOwnDepthBuffer) {
  Frame frame = OpenFrame();
  EXPECT_EQ(frame.device->SetRenderTarget(Offscreen(frame.directDraw, 64, 32, kOffscreenLocal), 0), DDERR_INVALIDCAPS);
  IDirectDrawSurface4* other = Offscreen(frame.directDraw, 32, 16, kTargetLocal);
  EXPECT_EQ(frame.device->SetRenderTarget(other, 0), D3D_OK);
  EXPECT_EQ(sim::DescribeDirect3DDevice(frame.device).depthBuffer, nullptr);
  EXPECT_EQ(sim::DescribeSurface(frame.target).references, 1) << "the old target is let go";

  IDirectDrawSurface4* depth = DepthBuffer(frame.directDraw, 32, 16, DDSCAPS_VIDEOMEMORY);
  ASSERT_EQ(other->AddAttachedSurface(depth), DD_OK);
  ASSERT_EQ(frame.device->SetRenderTarget(other, 0), D3D_OK);
  EXPECT_EQ(sim::DescribeDirect3DDevice(frame.device).depthBuffer, depth);
  IDirectDrawSurface4* current = nullptr;
  ASSERT_EQ(frame.device->GetRenderTarget(&current), D3D_OK);
  EXPECT_EQ(current, other);
  current->Release();
}

}  // namespace

namespace {

// The legacy filter states land on stage 0's filters as DirectX 6 maps them.
TEST_F(SimDirect3DFrame, LegacyFilterStatesSetStageZerosFilters) {
  Frame frame = OpenFrame();
  auto stage = [&](D3DTEXTURESTAGESTATETYPE state) { return sim::Direct3DTextureStageState(frame.device, 0, state); };
  const DWORD expected[6][3] = {{D3DTFN_POINT, D3DTFP_NONE, D3DTFG_POINT},   {D3DTFN_LINEAR, D3DTFP_NONE, D3DTFG_LINEAR},
                                {D3DTFN_POINT, D3DTFP_POINT, D3DTFG_POINT},  {D3DTFN_LINEAR, D3DTFP_POINT, D3DTFG_LINEAR},
                                {D3DTFN_POINT, D3DTFP_LINEAR, D3DTFG_POINT}, {D3DTFN_LINEAR, D3DTFP_LINEAR, D3DTFG_LINEAR}};
  for (DWORD filter = D3DFILTER_NEAREST; filter <= D3DFILTER_LINEARMIPLINEAR; ++filter) {
    ASSERT_EQ(frame.device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, filter), D3D_OK);
    ASSERT_EQ(frame.device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, filter % 2 == 1 ? D3DFILTER_NEAREST : D3DFILTER_LINEAR), D3D_OK);
    EXPECT_EQ(stage(D3DTSS_MINFILTER), expected[filter - 1][0]) << filter;
    EXPECT_EQ(stage(D3DTSS_MIPFILTER), expected[filter - 1][1]) << filter;
    EXPECT_EQ(stage(D3DTSS_MAGFILTER), expected[filter - 1][2]) << filter;
  }
}

}  // namespace
