// Materials: creation in its three steps with the device handle kept through
// set and release, the full table, each failing step, handles naming no
// material, and the calls without a started device.
#include <cstring>
#include <string>
#include <vector>

#include "render3d/frame_fixture.h"

namespace {

const unsigned long kCreateMaterialFailed = 0x3106;

D3DMATERIAL Material(float red, float green, float blue) {
  D3DMATERIAL desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.diffuse.r = red;
  desc.diffuse.g = green;
  desc.diffuse.b = blue;
  desc.diffuse.a = 1.0f;
  desc.power = 4.0f;
  return desc;
}

DWORD DeviceHandleOf(int handle) {
  DWORD out = 0xDEADBEEF;
  KR3DGetD3DMaterialHandle(&out, handle);
  return out;
}

class MaterialsTest : public FrameTest {
 protected:
  // The calls the library made on materials, by name, in order.
  static std::vector<std::string> MaterialCalls() {
    std::vector<std::string> names;
    for (const std::string& name : sim::CallNames())
      if (name == "IDirect3D3::CreateMaterial" || name.rfind("IDirect3DMaterial3::", 0) == 0) names.push_back(name);
    return names;
  }
};

TEST_F(MaterialsTest, CreationDescribesTheMaterialAndItsDeviceHandleOutlivesSetAndRelease) {
  StartModeAndDevice();
  D3DMATERIAL red = Material(1, 0, 0);
  int handle = KR3DCreateMaterial(&red);
  ASSERT_EQ(handle, 1);
  EXPECT_EQ(MaterialCalls(), (std::vector<std::string>{"IDirect3D3::CreateMaterial", "IDirect3DMaterial3::SetMaterial",
                                                       "IDirect3DMaterial3::GetHandle"}));
  IDirect3DMaterial3* material = g_kr3D.lpMaterials[handle].lpD3DMaterial;
  EXPECT_EQ(sim::Direct3DReferences(material), 1) << "the slot owns one reference";
  D3DMATERIAL given = sim::Direct3DMaterialData(material);
  EXPECT_EQ(memcmp(&given, &red, sizeof(red)), 0);
  const DWORD deviceHandle = DeviceHandleOf(handle);
  EXPECT_NE(deviceHandle, 0u);
  EXPECT_EQ(deviceHandle, g_kr3D.lpMaterials[handle].hD3DMaterial);

  D3DMATERIAL blue = Material(0, 0, 1);
  ASSERT_EQ(KR3DCreateMaterial(&blue), 2);
  EXPECT_NE(DeviceHandleOf(2), deviceHandle) << "each material has its own device handle";

  Forget();
  KR3DSetMaterial(handle, &blue);
  given = sim::Direct3DMaterialData(material);
  EXPECT_EQ(given.diffuse.b, 1.0f);
  EXPECT_EQ(given.diffuse.r, 0.0f);
  EXPECT_EQ(DeviceHandleOf(handle), deviceHandle) << "set keeps the device handle";
  EXPECT_EQ(MaterialCalls(), (std::vector<std::string>{"IDirect3DMaterial3::SetMaterial"}));

  // A description the material refuses is not reported; the old one stays.
  D3DMATERIAL wrongSize = Material(0, 1, 0);
  wrongSize.dwSize = 4;
  KR3DSetMaterial(handle, &wrongSize);
  EXPECT_EQ(sim::Direct3DMaterialData(material).diffuse.b, 1.0f);
  EXPECT_TRUE(LogLines().empty());

  KR3DReleaseMaterial(handle);
  EXPECT_EQ(g_kr3D.lpMaterials[handle].lpD3DMaterial, nullptr);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 1);
  EXPECT_EQ(DeviceHandleOf(handle), deviceHandle) << "a released slot still gives the handle it had";

  Forget();
  KR3DSetMaterial(handle, &red);
  EXPECT_TRUE(Logged("KR3D Warning : Set material to NULL Material(1)."));
  EXPECT_EQ(g_kr3D.lpMaterials[handle].lpD3DMaterial, nullptr);
  EXPECT_TRUE(MaterialCalls().empty());
  KR3DReleaseMaterial(2);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
}

TEST_F(MaterialsTest, HandlesAreReusedLowestFirstUntilTheTableIsFull) {
  StartModeAndDevice();
  D3DMATERIAL grey = Material(0.5f, 0.5f, 0.5f);
  for (int expected = 1; expected < KR3D_MATERIAL_MAX; ++expected) ASSERT_EQ(KR3DCreateMaterial(&grey), expected);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 127);

  Forget();
  EXPECT_EQ(KR3DCreateMaterial(&grey), 0);
  ExpectLastError(kCreateMaterialFailed, "KR3D : Materialの生成に失敗しました");
  EXPECT_TRUE(Logged("KR3D Warning : Could not create Material(Maximumed out)."));
  EXPECT_TRUE(MaterialCalls().empty());

  KR3DReleaseMaterial(40);
  KR3DReleaseMaterial(7);
  EXPECT_EQ(KR3DCreateMaterial(&grey), 7);
  EXPECT_EQ(KR3DCreateMaterial(&grey), 40);
  for (int handle = 1; handle < KR3D_MATERIAL_MAX; ++handle) KR3DReleaseMaterial(handle);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
}

// Whichever step fails, its result is logged by name, the material goes and the slot stays empty.
TEST_F(MaterialsTest, EachFailingStepLogsItsResultAndLeavesNothingBehind) {
  StartModeAndDevice();
  struct Step {
    const char* function;
    HRESULT result;
    const char* name;
  };
  const Step steps[] = {
      {"IDirect3D3::CreateMaterial", DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
      {"IDirect3DMaterial3::SetMaterial", DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
      {"IDirect3DMaterial3::GetHandle", DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT"},
  };
  D3DMATERIAL green = Material(0, 1, 0);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.function);
    KRErrorSetLastError(0);
    Forget();
    sim::FailNext(step.function, step.result);
    EXPECT_EQ(KR3DCreateMaterial(&green), 0);
    ExpectLastError(kCreateMaterialFailed, "KR3D : Materialの生成に失敗しました");
    EXPECT_TRUE(Logged(step.name));
    EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
    EXPECT_EQ(g_kr3D.lpMaterials[1].lpD3DMaterial, nullptr);
  }

  // The platform's own refusal: a description whose size is not a D3DMATERIAL's.
  Forget();
  green.dwSize = sizeof(green) - 4;
  EXPECT_EQ(KR3DCreateMaterial(&green), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateMaterialFailed);
  EXPECT_TRUE(Logged("DDERR_INVALIDPARAMS"));
  EXPECT_EQ(sim::CountCalls("IDirect3DMaterial3::GetHandle"), 0);
  EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);

  green.dwSize = sizeof(green);
  EXPECT_EQ(KR3DCreateMaterial(&green), 1) << "the slot is free again";
}

// Set and release warn and touch nothing; the range is tested before any slot is read.
TEST_F(MaterialsTest, HandlesNamingNoMaterialOnlyWarn) {
  StartModeAndDevice();
  D3DMATERIAL white = Material(1, 1, 1);
  for (int handle : {3, 0, -1, KR3D_MATERIAL_MAX, 100000}) {
    SCOPED_TRACE(handle);
    KRErrorSetLastError(0);
    Forget();
    KR3DSetMaterial(handle, &white);
    KR3DReleaseMaterial(handle);
    ExpectLinesInOrder({"KR3D Warning : Set material to NULL Material(" + std::to_string(handle) + ").",
                        "KR3D Warning : You did release NULL or ills Material(" + std::to_string(handle) + ")."});
    EXPECT_EQ(KRErrorGetLastError(), 0u) << "warnings set no code";
    EXPECT_TRUE(MaterialCalls().empty());
  }
  // Outside the table there is no handle to give; an empty slot gives what it holds.
  for (int handle : {0, -1, KR3D_MATERIAL_MAX, 100000}) EXPECT_EQ(DeviceHandleOf(handle), 0u) << handle;
  EXPECT_EQ(DeviceHandleOf(3), 0u);
  KR3DGetD3DMaterialHandle(nullptr, 3);  // nowhere to store: nothing happens
}

// Without a started device nothing reaches the platform: creation fails with its
// own code and the other calls act as on an empty slot.
TEST_F(MaterialsTest, WithoutAStartedDeviceNothingReachesThePlatform) {
  D3DMATERIAL white = Material(1, 1, 1);
  auto expectNothingReached = [&](const char* state) {
    SCOPED_TRACE(state);
    KRErrorSetLastError(0);
    Forget();
    EXPECT_EQ(KR3DCreateMaterial(&white), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateMaterialFailed);
    KR3DSetMaterial(1, &white);
    KR3DReleaseMaterial(1);
    ExpectLinesInOrder({"KR3D Warning : Set material to NULL Material(1).",
                        "KR3D Warning : You did release NULL or ills Material(1)."});
    EXPECT_EQ(DeviceHandleOf(1), 0u);
    EXPECT_EQ(DeviceCalls(), 0);
  };
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  expectNothingReached("3D not started");
  ASSERT_EQ(KR3DStartup(), 1);
  expectNothingReached("no device started");
  StartDevice();
  KR3DCleanupDevice();
  expectNothingReached("device cleaned up");
}

}  // namespace
