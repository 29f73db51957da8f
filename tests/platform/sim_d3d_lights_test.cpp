// Materials and lights of the simulated Direct3D: descriptions checked by
// size, material handles, and the light list of a viewport with its refusals.
#include "tests/platform/sim_d3d_fixture.h"

namespace {

class SimDirect3DLights : public d3d_test::SimDirect3DTest {
 protected:
  IDirect3DMaterial3* Material(IDirect3D3* direct3D) {
    IDirect3DMaterial3* material = nullptr;
    EXPECT_EQ(direct3D->CreateMaterial(&material, nullptr), D3D_OK);
    return Keep(material);
  }
  IDirect3DLight* Light(IDirect3D3* direct3D) {
    IDirect3DLight* light = nullptr;
    EXPECT_EQ(direct3D->CreateLight(&light, nullptr), D3D_OK);
    return Keep(light);
  }
};

TEST_F(SimDirect3DLights, MaterialsCheckTheRecordSizeAndKeepOneHandle) {
  Frame frame = OpenFrame();
  IDirect3DMaterial3* material = Material(frame.direct3D);
  D3DMATERIAL desc = {};
  desc.dwSize = sizeof desc;
  desc.diffuse.g = 1.0f;
  ASSERT_EQ(material->SetMaterial(&desc), D3D_OK);
  D3DMATERIAL wrong = desc;
  wrong.dwSize = sizeof wrong - 4;
  wrong.diffuse.g = 0.5f;
  EXPECT_EQ(material->SetMaterial(&wrong), DDERR_INVALIDPARAMS);
  EXPECT_EQ(material->SetMaterial(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::Direct3DMaterialData(material).diffuse.g, 1.0f) << "a refused record changes nothing";
  D3DMATERIAL read = {};
  EXPECT_EQ(material->GetMaterial(&read), DDERR_INVALIDPARAMS) << "no size given";
  read.dwSize = sizeof read;
  ASSERT_EQ(material->GetMaterial(&read), D3D_OK);
  EXPECT_EQ(read.diffuse.g, 1.0f);

  D3DMATERIALHANDLE first = 0, again = 0, other = 0;
  ASSERT_EQ(material->GetHandle(frame.device, &first), D3D_OK);
  EXPECT_NE(first, 0u);
  ASSERT_EQ(material->GetHandle(frame.device, &again), D3D_OK);
  EXPECT_EQ(again, first);
  EXPECT_EQ(Material(frame.direct3D)->GetHandle(frame.device, &other), D3D_OK);
  EXPECT_NE(other, first);
  EXPECT_EQ(material->GetHandle(nullptr, &again), DDERR_INVALIDPARAMS) << "no device";
  EXPECT_EQ(material->GetHandle(frame.device, nullptr), DDERR_INVALIDPARAMS);

  sim::FailNext("IDirect3DMaterial3::GetHandle", DDERR_GENERIC);
  EXPECT_EQ(material->GetHandle(frame.device, &again), DDERR_GENERIC);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 2);
}

TEST_F(SimDirect3DLights, LightsTakeEitherRecordBySize) {
  Frame frame = OpenFrame();
  IDirect3DLight* light = Light(frame.direct3D);
  D3DLIGHT2 full = {};
  full.dwSize = sizeof full;
  full.dltType = D3DLIGHT_SPOT;
  full.dvRange = 9.0f;
  full.dwFlags = D3DLIGHT_ACTIVE;
  ASSERT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&full)), D3D_OK);
  EXPECT_EQ(sim::Direct3DLightData(light).dwFlags, static_cast<DWORD>(D3DLIGHT_ACTIVE));

  // The older record ends before the flags, which it leaves cleared.
  D3DLIGHT2 older = full;
  older.dwSize = sizeof(D3DLIGHT);
  older.dltType = D3DLIGHT_POINT;
  ASSERT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&older)), D3D_OK);
  D3DLIGHT2 now = sim::Direct3DLightData(light);
  EXPECT_EQ(now.dltType, D3DLIGHT_POINT);
  EXPECT_EQ(now.dvRange, 9.0f);
  EXPECT_EQ(now.dwFlags, 0u);

  D3DLIGHT2 odd = full;
  odd.dwSize = sizeof(D3DLIGHT) + 2;
  EXPECT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&odd)), DDERR_INVALIDPARAMS);
  EXPECT_EQ(light->SetLight(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::Direct3DLightData(light).dltType, D3DLIGHT_POINT);

  D3DLIGHT read = {};
  read.dwSize = sizeof read;
  ASSERT_EQ(light->GetLight(&read), D3D_OK);
  EXPECT_EQ(read.dwSize, sizeof(D3DLIGHT));
  EXPECT_EQ(read.dvRange, 9.0f);
}

// A light shines in one viewport at a time; the viewport holds it until it is
// deleted or the viewport goes, also after its creator released it.
TEST_F(SimDirect3DLights, AViewportHoldsItsLightsAndRefusesTwiceOrNotAttached) {
  Frame frame = OpenFrame();
  IDirect3DViewport3* other = Viewport(frame.direct3D, frame.device, 0, 0, 8, 8);
  IDirect3DLight* light = Light(frame.direct3D);

  EXPECT_EQ(frame.viewport->DeleteLight(light), DDERR_INVALIDPARAMS) << "not attached";
  ASSERT_EQ(frame.viewport->AddLight(light), D3D_OK);
  EXPECT_EQ(sim::Direct3DReferences(light), 2);
  EXPECT_EQ(frame.viewport->AddLight(light), D3DERR_LIGHTHASVIEWPORT);
  EXPECT_EQ(other->AddLight(light), D3DERR_LIGHTHASVIEWPORT);
  EXPECT_EQ(other->DeleteLight(light), DDERR_INVALIDPARAMS) << "attached elsewhere";
  EXPECT_EQ(frame.viewport->AddLight(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::DescribeDirect3DViewport(frame.viewport).lights, std::vector<IDirect3DLight*>{light});

  ASSERT_EQ(frame.viewport->DeleteLight(light), D3D_OK);
  EXPECT_EQ(sim::Direct3DReferences(light), 1);
  ASSERT_EQ(other->AddLight(light), D3D_OK) << "free to go elsewhere";

  Forget(light);
  EXPECT_EQ(light->Release(), 1u);
  EXPECT_EQ(sim::LiveDirect3DLights(), 1) << "the viewport keeps it";
  Forget(other);
  frame.device->DeleteViewport(other);
  other->Release();
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);
}

}  // namespace
