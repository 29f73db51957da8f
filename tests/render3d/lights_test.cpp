// Lights: creation and description (either light record by its size), the
// full table, viewport light lists with the platform's refusals, lights
// released while attached, handles naming nothing, and device clean-up of
// forgotten materials and lights.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "render3d/frame_fixture.h"

namespace {

const unsigned long kCreateLightFailed = 0x3107;

D3DLIGHT2 Light(D3DLIGHTTYPE type, float red, float green, float blue) {
  D3DLIGHT2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dltType = type;
  desc.dcvColor.r = red;
  desc.dcvColor.g = green;
  desc.dcvColor.b = blue;
  desc.dvDirection.z = 1.0f;
  desc.dwFlags = D3DLIGHT_ACTIVE;
  return desc;
}

class LightsTest : public FrameTest {
 protected:
  D3DLIGHT2 white = Light(D3DLIGHT_DIRECTIONAL, 1, 1, 1);

  static std::vector<std::string> LightCalls() {
    std::vector<std::string> names;
    for (const std::string& name : sim::CallNames())
      if (name == "IDirect3D3::CreateLight" || name.rfind("IDirect3DLight::", 0) == 0 ||
          name == "IDirect3DViewport3::AddLight" || name == "IDirect3DViewport3::DeleteLight")
        names.push_back(name);
    return names;
  }

  static std::vector<IDirect3DLight*> LightsOf(int viewport) {
    return sim::DescribeDirect3DViewport(ViewportInterface(viewport)).lights;
  }

  static bool Attached(int viewport, IDirect3DLight* light) {
    std::vector<IDirect3DLight*> lights = LightsOf(viewport);
    return std::find(lights.begin(), lights.end(), light) != lights.end();
  }
};

TEST_F(LightsTest, CreationDescribesTheLightAndSetTakesEitherRecordBySize) {
  StartModeAndDevice();
  int handle = KR3DCreateLight(&white);
  ASSERT_EQ(handle, 1);
  EXPECT_EQ(LightCalls(), (std::vector<std::string>{"IDirect3D3::CreateLight", "IDirect3DLight::SetLight"}));
  IDirect3DLight* light = g_kr3D.lpLights[handle];
  EXPECT_EQ(sim::Direct3DReferences(light), 1);
  D3DLIGHT2 given = sim::Direct3DLightData(light);
  EXPECT_EQ(memcmp(&given, &white, sizeof(white)), 0);

  // The older record: no flags.
  D3DLIGHT2 red = Light(D3DLIGHT_POINT, 1, 0, 0);
  red.dwSize = sizeof(D3DLIGHT);
  KR3DSetLight(handle, &red);
  given = sim::Direct3DLightData(light);
  EXPECT_EQ(given.dltType, D3DLIGHT_POINT);
  EXPECT_EQ(given.dcvColor.g, 0.0f);
  EXPECT_EQ(given.dwFlags, 0u) << "a D3DLIGHT carries no flags";

  // A record of neither size is refused silently, at set and at creation alike.
  Forget();
  D3DLIGHT2 odd = Light(D3DLIGHT_SPOT, 0, 0, 1);
  odd.dwSize = 12;
  KR3DSetLight(handle, &odd);
  EXPECT_EQ(sim::Direct3DLightData(light).dltType, D3DLIGHT_POINT);
  EXPECT_EQ(KR3DCreateLight(&odd), 2) << "the light is made; its description failed";
  EXPECT_EQ(sim::Direct3DLightData(g_kr3D.lpLights[2]).dltType, 0);
  EXPECT_TRUE(LogLines().empty());

  KR3DReleaseLight(1);
  KR3DReleaseLight(2);
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);
  Forget();
  KR3DSetLight(1, &white);
  EXPECT_TRUE(Logged("KR3D Warning : Set light to NULL Light(1)."));
  EXPECT_TRUE(LightCalls().empty());
}

TEST_F(LightsTest, FullTableAndFailedCreationLeaveNoLight) {
  StartModeAndDevice();
  sim::FailNext("IDirect3D3::CreateLight", DDERR_OUTOFMEMORY);
  EXPECT_EQ(KR3DCreateLight(&white), 0);
  ExpectLastError(kCreateLightFailed, "KR3D : Lightの生成に失敗しました");
  EXPECT_TRUE(Logged("DDERR_OUTOFMEMORY"));
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);

  for (int expected = 1; expected < KR3D_LIGHT_MAX; ++expected) ASSERT_EQ(KR3DCreateLight(&white), expected);
  KRErrorSetLastError(0);
  Forget();
  EXPECT_EQ(KR3DCreateLight(&white), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateLightFailed);
  EXPECT_TRUE(Logged("KR3D Warning : Could not create Light(Maximumed out)."));
  EXPECT_TRUE(LightCalls().empty());
  EXPECT_EQ(sim::LiveDirect3DLights(), 127);

  KR3DReleaseLight(90);
  EXPECT_EQ(KR3DCreateLight(&white), 90);
  for (int handle = 1; handle < KR3D_LIGHT_MAX; ++handle) KR3DReleaseLight(handle);
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);
}

// Adding twice or deleting a light that is not attached gets the platform's
// refusal, which is neither logged nor reported.
TEST_F(LightsTest, LightsAttachToViewportsAndThePlatformsRefusalsStaySilent) {
  StartModeAndDevice();
  int light = KR3DCreateLight(&white);
  int viewport = KR3DCreateViewport(-1, -1, 0, 0);
  ASSERT_EQ(viewport, 1);
  IDirect3DLight* object = g_kr3D.lpLights[light];
  KRErrorSetLastError(0);
  Forget();

  KR3DAddLight(light, 0);
  EXPECT_TRUE(Attached(0, object));
  EXPECT_EQ(ArgumentsOf("IDirect3DViewport3::AddLight").size(), 1u);
  KR3DAddLight(light, 0);
  KR3DAddLight(light, viewport);
  EXPECT_EQ(sim::CountCalls("IDirect3DViewport3::AddLight"), 3);
  EXPECT_EQ(LightsOf(0).size(), 1u);
  EXPECT_TRUE(LightsOf(viewport).empty()) << "a light shines in one viewport at a time";

  KR3DDeleteLight(light, viewport);
  EXPECT_TRUE(Attached(0, object)) << "deleting from another viewport leaves it where it is";
  KR3DDeleteLight(light, 0);
  EXPECT_TRUE(LightsOf(0).empty());
  KR3DDeleteLight(light, 0);
  EXPECT_EQ(sim::CountCalls("IDirect3DViewport3::DeleteLight"), 3);
  KR3DAddLight(light, viewport);
  EXPECT_TRUE(Attached(viewport, object));
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(KRErrorGetLastError(), 0u);

  KR3DDeleteLight(light, viewport);
  KR3DReleaseLight(light);
  KR3DReleaseViewport(viewport);
}

// Releasing does not detach: the viewport keeps the light until the viewport goes.
TEST_F(LightsTest, ALightReleasedWhileAttachedStaysInItsViewport) {
  StartModeAndDevice();
  int light = KR3DCreateLight(&white);
  IDirect3DLight* object = g_kr3D.lpLights[light];
  KR3DAddLight(light, 0);
  KR3DReleaseLight(light);
  EXPECT_EQ(g_kr3D.lpLights[light], nullptr);
  EXPECT_TRUE(Attached(0, object));
  EXPECT_EQ(sim::LiveDirect3DLights(), 1);

  Forget();
  KR3DDeleteLight(light, 0);
  EXPECT_TRUE(Logged("KR3D Warning : You did delete NULL or ills Light(1)."));
  EXPECT_EQ(DeviceCalls(), 0);
  EXPECT_EQ(KR3DCreateLight(&white), 1) << "the slot is free for another light";

  KR3DCleanupDevice();
  EXPECT_EQ(sim::LiveDirect3DLights(), 0) << "the default viewport let go of the released one";
}

// Handles outside the tables or naming empty slots are never read past the
// tables. Adding never warns; deleting warns about the light only.
TEST_F(LightsTest, HandlesNamingNothingTouchNoPlatformObject) {
  StartModeAndDevice();
  int light = KR3DCreateLight(&white);
  ASSERT_EQ(light, 1);
  const std::vector<int> badLights = {5, 0, -1, KR3D_LIGHT_MAX, 100000};
  const std::vector<int> badViewports = {7, -1, KR3D_VIEWPORT_MAX, 100000};
  KRErrorSetLastError(0);
  Forget();

  for (int bad : badLights) {
    KR3DAddLight(bad, 0);
    KR3DDeleteLight(bad, 0);
    KR3DDeleteLight(bad, 7);
    KR3DSetLight(bad, &white);
    KR3DReleaseLight(bad);
    const std::string number = "(" + std::to_string(bad) + ").";
    ExpectLinesInOrder({"KR3D Warning : You did delete NULL or ills Light" + number,
                        "KR3D Warning : You did delete NULL or ills Light" + number,
                        "KR3D Warning : Set light to NULL Light" + number,
                        "KR3D Warning : You did release NULL or ills Light" + number});
  }
  EXPECT_EQ(LogLines().size(), badLights.size() * 4);
  Forget();
  for (int bad : badViewports) {
    KR3DAddLight(light, bad);
    KR3DDeleteLight(light, bad);
  }
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(DeviceCalls(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

TEST_F(LightsTest, WithoutAStartedDeviceNothingReachesThePlatform) {
  auto expectNothingReached = [&](const char* state) {
    SCOPED_TRACE(state);
    KRErrorSetLastError(0);
    Forget();
    EXPECT_EQ(KR3DCreateLight(&white), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateLightFailed);
    KR3DSetLight(1, &white);
    KR3DAddLight(1, 0);
    KR3DDeleteLight(1, 0);
    KR3DReleaseLight(1);
    ExpectLinesInOrder({"KR3D Warning : Set light to NULL Light(1).", "KR3D Warning : You did delete NULL or ills Light(1).",
                        "KR3D Warning : You did release NULL or ills Light(1)."});
    EXPECT_EQ(DeviceCalls(), 0);
  };
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  expectNothingReached("3D not started");
  ASSERT_EQ(KR3DStartup(), 1);
  expectNothingReached("no device started");
}

// Clean-up releases what the application left through the release calls, each
// after its warning, materials before lights, and the attached light with its viewport.
TEST_F(LightsTest, DeviceCleanupReleasesForgottenMaterialsAndLights) {
  StartModeAndDevice();
  D3DMATERIAL grey;
  memset(&grey, 0, sizeof(grey));
  grey.dwSize = sizeof(grey);
  ASSERT_EQ(KR3DCreateMaterial(&grey), 1);
  ASSERT_EQ(KR3DCreateMaterial(&grey), 2);
  ASSERT_EQ(KR3DCreateLight(&white), 1);
  ASSERT_EQ(KR3DCreateLight(&white), 2);
  ASSERT_EQ(KR3DCreateLight(&white), 3);
  KR3DReleaseMaterial(1);
  KR3DReleaseLight(2);
  KR3DAddLight(3, 0);
  Forget();

  KR3DCleanupDevice();
  ExpectLinesInOrder({"KR3D Warning : You didn't release Material(2).", "KR3D Warning : You didn't release Light(1).",
                      "KR3D Warning : You didn't release Light(3)."});
  EXPECT_FALSE(Logged("KR3D Warning : You didn't release Material(1)."));
  EXPECT_FALSE(Logged("KR3D Warning : You didn't release Light(2)."));
  EXPECT_EQ(sim::CountCalls("IDirect3DViewport3::DeleteLight"), 0) << "release does not detach";
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
  EXPECT_EQ(sim::LiveDirect3DLights(), 0);
}

}  // namespace
