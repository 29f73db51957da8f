// Materials and lights of the real KORVATHD.DLL under Wine's Direct3D: an
// emissive material colours an untransformed triangle by itself, a diffuse one
// shows only while a light is attached to the default viewport, and device
// clean-up releases what was left with its warnings.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <korvathd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "render3d_wine_fixture.h"
#include "support/surface_pixels.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;
const D3DCOLOR kBackground = 0xFF0000FF;  // blue: neither material shows any

D3DCOLORVALUE Colour(float red, float green, float blue) {
  D3DCOLORVALUE colour;
  colour.r = red;
  colour.g = green;
  colour.b = blue;
  colour.a = 1.0f;
  return colour;
}

D3DMATERIAL Material(D3DCOLORVALUE diffuse, D3DCOLORVALUE emissive) {
  D3DMATERIAL desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.diffuse = diffuse;
  desc.emissive = emissive;
  return desc;
}

// White, shining along +z: onto the triangle, whose normal faces the viewer.
D3DLIGHT2 WhiteLight() {
  D3DLIGHT2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dltType = D3DLIGHT_DIRECTIONAL;
  desc.dcvColor = Colour(1.0f, 1.0f, 1.0f);
  desc.dvDirection.z = 1.0f;
  desc.dwFlags = D3DLIGHT_ACTIVE;
  return desc;
}

D3DVERTEX Vertex(float x, float y) {
  D3DVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.x = x;
  vertex.y = y;
  vertex.z = 0.5f;
  vertex.nz = -1.0f;
  return vertex;
}

D3DMATRIX Identity() {
  D3DMATRIX matrix;
  memset(&matrix, 0, sizeof(matrix));
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
  return matrix;
}

class Render3DLightsOnWindows : public Render3DWineTest {
 protected:
  // One frame on the default viewport: the background, then a lit triangle around
  // the centre in `material`; the colours read back near the centre.
  void DrawTriangle(int material, uint32_t* centre, int* spread) {
    DWORD handle = 0;
    KR3DGetD3DMaterialHandle(&handle, material);
    D3DVERTEX triangle[3] = {Vertex(-0.5f, -0.4f), Vertex(0.0f, 0.5f), Vertex(0.5f, -0.4f)};
    D3DMATRIX identity = Identity();
    ASSERT_EQ(KR3DBeginRender(0), 1);
    KR3DClear(kBackground, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    ASSERT_EQ(device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &identity), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device_->SetLightState(D3DLIGHTSTATE_AMBIENT, 0), D3D_OK);
    ASSERT_EQ(device_->SetLightState(D3DLIGHTSTATE_MATERIAL, handle), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0), D3D_OK);
    ASSERT_EQ(KR3DEndRender(), 1);

    // The centre lies well inside the triangle whatever the clip volume's scale.
    ASSERT_TRUE(winsupport::ReadPixel(back_, kClientWidth / 2, kClientHeight / 2, centre));
    *spread = 0;
    for (int dy = -6; dy <= 6; dy += 3) {
      for (int dx = -6; dx <= 6; dx += 3) {
        uint32_t around = 0;
        ASSERT_TRUE(winsupport::ReadPixel(back_, kClientWidth / 2 + dx, kClientHeight / 2 + dy, &around));
        *spread = std::max(*spread, winsupport::ColourDistance(around, *centre));
      }
    }
  }
};

TEST_F(Render3DLightsOnWindows, AnEmissiveMaterialColoursATriangleWithoutLight) {
  StartDevice();
  D3DMATERIAL red = Material(Colour(0, 0, 0), Colour(1, 0, 0));
  int material = KR3DCreateMaterial(&red);
  ASSERT_EQ(material, 1);
  DWORD handle = 0;
  KR3DGetD3DMaterialHandle(&handle, material);
  EXPECT_NE(handle, 0u);

  uint32_t centre = 0;
  int spread = 0;
  ASSERT_NO_FATAL_FAILURE(DrawTriangle(material, &centre, &spread));
  EXPECT_LE(winsupport::ColourDistance(centre, 0xFF0000), 8) << std::hex << centre;
  EXPECT_LE(spread, 8);

  // A new description under the same device handle.
  D3DMATERIAL green = Material(Colour(0, 0, 0), Colour(0, 1, 0));
  KR3DSetMaterial(material, &green);
  DWORD after = 0;
  KR3DGetD3DMaterialHandle(&after, material);
  EXPECT_EQ(after, handle);
  ASSERT_NO_FATAL_FAILURE(DrawTriangle(material, &centre, &spread));
  EXPECT_LE(winsupport::ColourDistance(centre, 0x00FF00), 8) << std::hex << centre;
  KR3DReleaseMaterial(material);
}

TEST_F(Render3DLightsOnWindows, ADiffuseMaterialShowsWhileALightIsAttachedToTheViewport) {
  StartDevice();
  D3DMATERIAL green = Material(Colour(0, 1, 0), Colour(0, 0, 0));
  int material = KR3DCreateMaterial(&green);
  ASSERT_EQ(material, 1);
  D3DLIGHT2 white = WhiteLight();
  int light = KR3DCreateLight(&white);
  ASSERT_EQ(light, 1);

  uint32_t centre = 0;
  int spread = 0;
  ASSERT_NO_FATAL_FAILURE(DrawTriangle(material, &centre, &spread));
  EXPECT_LE(winsupport::ColourDistance(centre, 0x000000), 8) << "unlit: " << std::hex << centre;

  KR3DAddLight(light, 0);
  KR3DAddLight(light, 0);  // attached already: refused, nothing changes
  ASSERT_NO_FATAL_FAILURE(DrawTriangle(material, &centre, &spread));
  EXPECT_LE(winsupport::ColourDistance(centre, 0x00FF00), 8) << "lit: " << std::hex << centre;
  EXPECT_LE(spread, 8) << "a directional light lights a flat triangle evenly";

  KR3DDeleteLight(light, 0);
  ASSERT_NO_FATAL_FAILURE(DrawTriangle(material, &centre, &spread));
  EXPECT_LE(winsupport::ColourDistance(centre, 0x000000), 8) << "deleted: " << std::hex << centre;

  KR3DReleaseLight(light);
  KR3DReleaseMaterial(material);
}

// What the library relies on from the platform, as the simulation answers it:
// both light records by size, one non-zero device handle per material. (Wine
// also takes records of other sizes, which Windows refuses and the simulation
// refuses with it.)
TEST_F(Render3DLightsOnWindows, PlatformChecksRecordSizesAndHandsOutMaterialHandles) {
  StartDevice();
  IDirect3D3* direct3D = nullptr;
  KR3DGetDirect3DInterface(&direct3D);
  ASSERT_NE(direct3D, nullptr);
  IDirect3DMaterial3* material = nullptr;
  ASSERT_EQ(direct3D->CreateMaterial(&material, nullptr), D3D_OK);
  D3DMATERIAL desc = Material(Colour(1, 1, 1), Colour(0, 0, 0));
  EXPECT_EQ(material->SetMaterial(&desc), D3D_OK);
  D3DMATERIALHANDLE first = 0, again = 0;
  ASSERT_EQ(material->GetHandle(device_, &first), D3D_OK);
  EXPECT_NE(first, 0u);
  ASSERT_EQ(material->GetHandle(device_, &again), D3D_OK);
  EXPECT_EQ(again, first);
  material->Release();

  IDirect3DLight* light = nullptr;
  ASSERT_EQ(direct3D->CreateLight(&light, nullptr), D3D_OK);
  D3DLIGHT2 white = WhiteLight();
  EXPECT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&white)), D3D_OK);
  white.dwSize = sizeof(D3DLIGHT);
  EXPECT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&white)), D3D_OK);
  D3DLIGHT read;
  memset(&read, 0, sizeof(read));
  read.dwSize = sizeof(read);
  ASSERT_EQ(light->GetLight(&read), D3D_OK);
  EXPECT_EQ(read.dltType, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(read.dvDirection.z, 1.0f);
  light->Release();
  direct3D->Release();
}

TEST_F(Render3DLightsOnWindows, DeviceCleanupReleasesLeftoversWithTheirWarnings) {
  const char* logName = "render3d_lights_log.txt";
  remove(logName);
  StartDevice(KRSTARTUP_DEBUGLOG, logName);
  D3DMATERIAL grey = Material(Colour(0.5f, 0.5f, 0.5f), Colour(0, 0, 0));
  D3DLIGHT2 white = WhiteLight();
  ASSERT_EQ(KR3DCreateMaterial(&grey), 1);
  ASSERT_EQ(KR3DCreateMaterial(&grey), 2);
  ASSERT_EQ(KR3DCreateLight(&white), 1);
  ASSERT_EQ(KR3DCreateLight(&white), 2);
  KR3DReleaseMaterial(1);
  KR3DAddLight(2, 0);  // attached when the device goes
  KR3DReleaseLight(5);

  KR3DCleanupDevice();
  KR3DReleaseMaterial(2);  // released by the clean-up: the slot is empty
  KRCleanup();
  std::string log = winsupport::ReadFileBytes(logName);
  const size_t material = log.find("KR3D Warning : You didn't release Material(2).\r\n");
  const size_t light1 = log.find("KR3D Warning : You didn't release Light(1).\r\n");
  const size_t light2 = log.find("KR3D Warning : You didn't release Light(2).\r\n");
  EXPECT_NE(material, std::string::npos) << log;
  EXPECT_EQ(log.find("You didn't release Material(1)"), std::string::npos) << log;
  EXPECT_TRUE(material < light1 && light1 < light2) << log;
  EXPECT_NE(log.find("KR3D Warning : You did release NULL or ills Light(5).\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("KR3D Warning : You did release NULL or ills Material(2).\r\n"), std::string::npos) << log;
  remove(logName);
}

}  // namespace
