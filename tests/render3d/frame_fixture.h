// Shared by the host tests of viewports and frames: video, 2D and 3D started in
// a window mode on the simulated display, the device started on the back
// buffer, and quick looks at the device and the viewports the library made.
#ifndef KR_TESTS_RENDER3D_FRAME_FIXTURE_H
#define KR_TESTS_RENDER3D_FRAME_FIXTURE_H

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render3d/render3d_fixture.h"

class FrameTest : public Render3DTest {
 protected:
  void SetUp() override {
    Render3DTest::SetUp();
    ASSERT_EQ(KR2DStartup(), 1);
  }

  // A window mode of the given size with the 3D component started, no device yet.
  void StartMode(unsigned long width = 640, unsigned long height = 480) {
    ASSERT_EQ(KRVideoSetVideoMode(width, height, 0), 1);
    ASSERT_EQ(KR3DStartup(), 1);
  }

  // The device (automatic: the hardware device) on the back buffer with its depth buffer;
  // the call record and debugger output start empty after it.
  void StartDevice(int device = -1) {
    ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK, device), 1) << std::hex << KRErrorGetLastError();
    ASSERT_NE(g_kr3D.lpDevice, nullptr);
    Forget();
  }

  // A mode and a device at once.
  void StartModeAndDevice(unsigned long width = 640, unsigned long height = 480, int device = -1) {
    ASSERT_NO_FATAL_FAILURE(StartMode(width, height));
    ASSERT_NO_FATAL_FAILURE(StartDevice(device));
  }

  // Runs `check(state)` in each state that has no device to draw with: a mode set
  // without 3D, 3D started without a device, and a device start-up that failed
  // at creation (started, but with no device).
  template <typename Check>
  static void ForEachStateWithoutADevice(Check check) {
    ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
    check("3D not started");
    ASSERT_EQ(KR3DStartup(), 1);
    check("no device started");

    sim::FailNext("IDirect3D3::CreateDevice", DDERR_GENERIC);
    ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 0);
    ASSERT_EQ(g_kr3D.bDeviceStarted, 1);
    check("device start-up failed at creation");
  }

  static void Forget() {
    VideoTest::Forget();
    sim::ClearDirect3DRecord();
  }

  static IDirect3DViewport3* ViewportInterface(int handle) { return g_kr3D.lpViewports[handle].lpViewport; }

  // The rectangle a viewport's interface was last given, as {x, y, width, height}.
  static std::vector<DWORD> Rectangle(int handle) {
    sim::Direct3DViewportInfo info = sim::DescribeDirect3DViewport(ViewportInterface(handle));
    EXPECT_TRUE(info.live && info.dataSet) << "viewport " << handle;
    return {info.data.dwX, info.data.dwY, info.data.dwWidth, info.data.dwHeight};
  }

  static DWORD DeviceState(D3DRENDERSTATETYPE state) { return sim::Direct3DRenderState(g_kr3D.lpDevice, state); }

  // The calls of the device since the record was cleared, without the interface's name.
  static std::vector<std::string> DeviceCallNames() {
    std::vector<std::string> names;
    for (const std::string& name : sim::CallNames())
      if (name.rfind("IDirect3DDevice3::", 0) == 0) names.push_back(name.substr(18));
    return names;
  }

  // "state, 0xvalue" as the call record shows a SetRenderState.
  static std::string StateArg(D3DRENDERSTATETYPE state, DWORD value) {
    char text[32];
    snprintf(text, sizeof(text), "%d, 0x%X", static_cast<int>(state), static_cast<unsigned>(value));
    return text;
  }

  static bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return memcmp(&a, &b, sizeof(a)) == 0; }

  // Every device call the library made, by name only.
  static int DeviceCalls() {
    int count = 0;
    for (const std::string& name : sim::CallNames())
      if (name.rfind("IDirect3D", 0) == 0) ++count;
    return count;
  }
};

#endif
