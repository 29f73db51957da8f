// What the simulated Direct3D device draws with and what it records: draws
// with their vertices and state, refused draws, textures, materials, lights.
#include <cstring>

#include "tests/platform/sim_d3d_fixture.h"

namespace {

class SimDirect3DDraws : public d3d_test::SimDirect3DTest {
 protected:
  IDirectDrawSurface4* TextureSurface(IDirectDraw4* directDraw, int width, int height, DWORD memory,
                                      const DDPIXELFORMAT& format = sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F)) {
    return Formatted(directDraw, DDSCAPS_TEXTURE | memory, width, height, format);
  }

  IDirect3DTexture2* TextureOf(IDirectDrawSurface4* surface) {
    IDirect3DTexture2* texture = nullptr;
    EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture)), S_OK);
    return Keep(texture);
  }
};

D3DTLVERTEX Screen(float x, float y) {
  D3DTLVERTEX vertex = {};
  vertex.sx = x;
  vertex.sy = y;
  vertex.rhw = 1.0f;
  vertex.color = 0xFFFFFFFF;
  return vertex;
}

TEST_F(SimDirect3DDraws, DrawsAreRecordedWithTheirVerticesAndTheStateOfTheMoment) {
  Frame frame = OpenFrame();
  IDirect3DTexture2* texture = TextureOf(TextureSurface(frame.directDraw, 8, 8, DDSCAPS_VIDEOMEMORY));
  ASSERT_EQ(frame.device->BeginScene(), D3D_OK);
  frame.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  frame.device->SetTexture(0, texture);
  frame.device->SetLightState(D3DLIGHTSTATE_MATERIAL, 3);
  D3DMATRIX world = d3d_test::Identity();
  world._41 = 7.0f;
  frame.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  D3DTLVERTEX triangle[3] = {Screen(0, 0), Screen(10, 0), Screen(0, 10)};
  ASSERT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangle, 3, D3DDP_DONOTCLIP), D3D_OK);
  triangle[1].sx = 99.0f;  // the record keeps a copy

  frame.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  frame.device->SetTexture(0, nullptr);
  D3DVERTEX model[4] = {};
  model[3].x = 2.0f;
  WORD indices[6] = {0, 1, 2, 1, 3, 2};
  ASSERT_EQ(frame.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, model, 4, indices, 6,
                                               D3DDP_DONOTUPDATEEXTENTS),
            D3D_OK);
  ASSERT_EQ(frame.device->EndScene(), D3D_OK);

  const std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 2u);
  const sim::Direct3DDraw& first = draws[0];
  EXPECT_FALSE(first.indexed);
  EXPECT_EQ(first.primitive, D3DPT_TRIANGLELIST);
  EXPECT_EQ(first.flags, DWORD(D3DDP_DONOTCLIP));
  EXPECT_EQ(first.vertexSize, sizeof(D3DTLVERTEX));
  const std::vector<D3DTLVERTEX> screen = first.Vertices<D3DTLVERTEX>();
  ASSERT_EQ(screen.size(), 3u);
  EXPECT_EQ(screen[1].sx, 10.0f);
  EXPECT_EQ(first.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(first.texture, texture);
  EXPECT_EQ(first.material, 3u);
  EXPECT_EQ(first.world._41, 7.0f);
  EXPECT_EQ(first.viewport, frame.viewport);
  EXPECT_EQ(first.viewportData.dwWidth, 64u);
  EXPECT_TRUE(first.inScene);

  const sim::Direct3DDraw& second = draws[1];
  EXPECT_TRUE(second.indexed);
  EXPECT_EQ(second.vertexSize, sizeof(D3DVERTEX));
  EXPECT_EQ(second.Vertices<D3DVERTEX>()[3].x, 2.0f);
  EXPECT_EQ(second.indices, (std::vector<WORD>{0, 1, 2, 1, 3, 2}));
  EXPECT_EQ(second.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(second.texture, nullptr);
}

TEST_F(SimDirect3DDraws, RefusedDrawsLeaveNoRecord) {
  Frame frame = OpenFrame();
  ASSERT_EQ(frame.device->BeginScene(), D3D_OK);
  D3DTLVERTEX quad[4] = {Screen(0, 0), Screen(1, 0), Screen(0, 1), Screen(1, 1)};
  // The vertex type of the older interfaces is no vertex format: 3 has a reserved bit.
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DVT_TLVERTEX, quad, 4, D3DDP_WAIT),
            D3DERR_INVALIDVERTEXFORMAT);
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, quad, 4, 0), D3DERR_INVALIDVERTEXFORMAT);
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_NORMAL, quad, 4, 0),
            D3DERR_INVALIDVERTEXFORMAT);
  EXPECT_EQ(frame.device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(0), D3DFVF_TLVERTEX, quad, 4, 0),
            D3DERR_INVALIDPRIMITIVETYPE);
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, nullptr, 4, 0), DDERR_INVALIDPARAMS);
  WORD pastTheEnd[3] = {0, 1, 4};
  EXPECT_EQ(frame.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, quad, 4, pastTheEnd, 3, 0),
            DDERR_INVALIDPARAMS);
  sim::FailNext("IDirect3DDevice3::DrawPrimitive", DDERR_SURFACEBUSY);
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0), DDERR_SURFACEBUSY);
  sim::MarkSurfaceLost(frame.target);
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0), DDERR_SURFACELOST);
  frame.device->EndScene();
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::DrawPrimitive"), 7);
}

TEST_F(SimDirect3DDraws, ADrawOutsideAScenePassesAsOnWineButIsAContractViolation) {
  Frame frame = OpenFrame();
  D3DLVERTEX line[2] = {};
  EXPECT_EQ(frame.device->DrawPrimitive(D3DPT_LINELIST, D3DFVF_LVERTEX, line, 2, 0), D3D_OK);
  ASSERT_EQ(sim::Direct3DDraws().size(), 1u);
  EXPECT_FALSE(sim::Direct3DDraws()[0].inScene);
  EXPECT_EQ(sim::Direct3DDraws()[0].vertexSize, sizeof(D3DLVERTEX));
  ASSERT_EQ(sim::ContractViolations().size(), 1u);
  EXPECT_NE(sim::ContractViolations()[0].find("outside BeginScene"), std::string::npos);
  sim::ClearContractViolations();
}

TEST_F(SimDirect3DDraws, ATextureIsTheThirdInterfaceOfATextureSurface) {
  Frame frame = OpenFrame();
  IDirect3DTexture2* none = nullptr;
  EXPECT_EQ(frame.target->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&none)), E_NOINTERFACE);
  IDirectDrawSurface4* system = TextureSurface(frame.directDraw, 8, 4, DDSCAPS_SYSTEMMEMORY);
  IDirectDrawSurface4* video = TextureSurface(frame.directDraw, 8, 4, DDSCAPS_VIDEOMEMORY);
  IDirect3DTexture2* source = TextureOf(system);
  EXPECT_EQ(TextureOf(system), source) << "one texture per surface";
  IDirect3DTexture2* loaded = TextureOf(video);

  sim::SetSurfaceRgb(system, 3, 2, 0xFF0000);
  ASSERT_EQ(loaded->Load(source), D3D_OK);
  EXPECT_EQ(sim::SurfaceRgb(video, 3, 2), 0xFF0000u);
  IDirect3DTexture2* other = TextureOf(TextureSurface(frame.directDraw, 4, 4, DDSCAPS_SYSTEMMEMORY));
  EXPECT_EQ(loaded->Load(other), D3DERR_TEXTURE_LOAD_FAILED) << "another size";

  // A bound texture stays with the device after the caller let go of it and its surface.
  ASSERT_EQ(frame.device->SetTexture(0, loaded), D3D_OK);
  const int surfaces = sim::LiveSurfaces();
  Forget(loaded);
  loaded->Release();
  Forget(video);
  video->Release();
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  IDirect3DTexture2* bound = nullptr;
  ASSERT_EQ(frame.device->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, loaded);
  bound->Release();
  ASSERT_EQ(frame.device->SetTexture(0, nullptr), D3D_OK);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces - 1);
  EXPECT_EQ(frame.device->SetTexture(0, reinterpret_cast<IDirect3DTexture2*>(system)), DDERR_INVALIDPARAMS);
}

// Load carries the indexes and the colours the source's palette shows, so a texture in
// display memory shows the same picture without a palette of its own.
TEST_F(SimDirect3DDraws, LoadingAPalettisedTextureCarriesItsColours) {
  Frame frame = OpenFrame();
  IDirectDrawSurface4* system = TextureSurface(frame.directDraw, 4, 4, DDSCAPS_SYSTEMMEMORY, sim::PaletteFormat(8));
  IDirectDrawSurface4* video = TextureSurface(frame.directDraw, 4, 4, DDSCAPS_VIDEOMEMORY, sim::PaletteFormat(8));
  PALETTEENTRY entries[256] = {};
  entries[5] = PALETTEENTRY{0x12, 0x34, 0x56, 0};
  IDirectDrawPalette* palette = nullptr;
  ASSERT_EQ(frame.directDraw->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
  ASSERT_EQ(system->SetPalette(palette), DD_OK);
  palette->Release();
  sim::SetSurfaceRaw(system, 1, 2, 5);
  ASSERT_EQ(TextureOf(video)->Load(TextureOf(system)), D3D_OK);
  EXPECT_EQ(sim::SurfaceRaw(video, 1, 2), 5u);
  EXPECT_EQ(sim::SurfaceRgb(video, 1, 2), 0x123456u);
  IDirect3DTexture2* rgb = TextureOf(TextureSurface(frame.directDraw, 4, 4, DDSCAPS_SYSTEMMEMORY));
  EXPECT_EQ(TextureOf(video)->Load(rgb), D3DERR_TEXTURE_LOAD_FAILED) << "another format";
}

TEST_F(SimDirect3DDraws, MaterialsKeepTheirHandleAndLightsShineInOneViewport) {
  Frame frame = OpenFrame();
  IDirect3DMaterial3* material = nullptr;
  ASSERT_EQ(frame.direct3D->CreateMaterial(&material, nullptr), D3D_OK);
  Keep(material);
  D3DMATERIAL data = {};
  EXPECT_EQ(material->SetMaterial(&data), DDERR_INVALIDPARAMS) << "size not set";
  data.dwSize = sizeof data;
  data.diffuse.r = 0.5f;
  ASSERT_EQ(material->SetMaterial(&data), D3D_OK);
  D3DMATERIALHANDLE handle = 0;
  ASSERT_EQ(material->GetHandle(frame.device, &handle), D3D_OK);
  EXPECT_NE(handle, 0u);
  data.diffuse.r = 1.0f;
  material->SetMaterial(&data);
  D3DMATERIALHANDLE again = 0;
  material->GetHandle(frame.device, &again);
  EXPECT_EQ(again, handle);
  EXPECT_EQ(sim::Direct3DMaterialData(material).diffuse.r, 1.0f);
  EXPECT_EQ(material->GetHandle(nullptr, &again), DDERR_INVALIDPARAMS);

  IDirect3DLight* light = nullptr;
  ASSERT_EQ(frame.direct3D->CreateLight(&light, nullptr), D3D_OK);
  Keep(light);
  D3DLIGHT2 point = {};
  point.dwSize = sizeof point;
  point.dltType = D3DLIGHT_POINT;
  point.dwFlags = D3DLIGHT_ACTIVE;
  ASSERT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&point)), D3D_OK);
  EXPECT_EQ(sim::Direct3DLightData(light).dwFlags, DWORD(D3DLIGHT_ACTIVE));

  IDirect3DViewport3* second = Viewport(frame.direct3D, frame.device, 0, 0, 8, 8);
  ASSERT_EQ(frame.viewport->AddLight(light), D3D_OK);
  EXPECT_EQ(frame.viewport->AddLight(light), D3DERR_LIGHTHASVIEWPORT);
  EXPECT_EQ(second->AddLight(light), D3DERR_LIGHTHASVIEWPORT);
  EXPECT_EQ(second->DeleteLight(light), DDERR_INVALIDPARAMS);
  EXPECT_EQ(sim::Direct3DReferences(light), 2);
  ASSERT_EQ(frame.viewport->DeleteLight(light), D3D_OK);
  EXPECT_EQ(frame.viewport->DeleteLight(light), DDERR_INVALIDPARAMS);
  ASSERT_EQ(second->AddLight(light), D3D_OK);
  EXPECT_EQ(sim::DescribeDirect3DViewport(second).lights.size(), 1u);
  // The viewport's release lets go of its lights.
  Forget(second);
  frame.device->DeleteViewport(second);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_EQ(sim::Direct3DReferences(light), 1);
}

}  // namespace
