// Shared by the host tests of the 3D start-up, the enumerations and the device
// start-up: the video component started on the simulated display, helpers to
// describe the machine's 3D devices and to start the component and the device.
#ifndef KR_TESTS_RENDER3D_RENDER3D_FIXTURE_H
#define KR_TESTS_RENDER3D_RENDER3D_FIXTURE_H

#include <d3d.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/d3d_control.h"
#include "render3d/render3d_state.h"
#include "video/video_fixture.h"
#include "video/video_state.h"

class Render3DTest : public VideoTest {
 protected:
  // The boot device list: device 0 emulates in software, device 1 is the hardware device.
  static constexpr int kSoftwareDevice = 0;
  static constexpr int kHardwareDevice = 1;

  void SetUp() override {
    VideoTest::SetUp();
    ASSERT_EQ(KRVideoStartup(0), 1);
  }

  // A window mode (the desktop's depth, 16 bits at boot) or a full-screen mode of `depth`.
  static void StartMode(unsigned long width = 640, unsigned long height = 480, unsigned long depth = 0) {
    ASSERT_EQ(KRVideoSetVideoMode(width, height, depth), 1);
  }

  // 2D and 3D on a 640 x 480 window mode.
  static void StartUpTo3D() {
    ASSERT_NO_FATAL_FAILURE(StartMode());
    ASSERT_EQ(KR2DStartup(), 1);
    ASSERT_EQ(KR3DStartup(), 1);
  }

  static KR3DSTARTUPDEVICEINFO DeviceOn(int target, int device = -1, int format = -1, DWORD flags = 0) {
    KR3DSTARTUPDEVICEINFO info = {target, device, format, flags};
    return info;
  }

  // Starts the device as DeviceOn describes it; KR3DStartupDevice's result.
  static int StartDeviceOn(int target, int device = -1, int format = -1, DWORD flags = 0) {
    KR3DSTARTUPDEVICEINFO info = DeviceOn(target, device, format, flags);
    return KR3DStartupDevice(&info);
  }

  // A 3D device for the simulated machine; each gets a GUID of its own.
  static sim::Direct3DDeviceType Device(const std::string& name, bool hardware,
                                        D3DCOLORMODEL colourModel = D3DCOLOR_RGB,
                                        DWORD renderDepths = DDBD_16 | DDBD_24 | DDBD_32) {
    static DWORD serial = 0x5EED0000;
    sim::Direct3DDeviceType type;
    type.guid.Data1 = ++serial;
    type.description = name + " (description)";
    type.name = name;
    D3DDEVICEDESC described = sim::DeviceDescription(colourModel, renderDepths, DDBD_16 | DDBD_24 | DDBD_32);
    D3DDEVICEDESC empty = {};
    empty.dwSize = sizeof(empty);
    type.hardware = hardware ? described : empty;
    type.software = hardware ? empty : described;
    type.depthFormats = {sim::DepthFormat(16)};
    type.textureFormats = {sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F)};
    return type;
  }

  static KR3DDEVICEINFO DeviceInfo(int index) {
    KR3DDEVICEINFO info;
    memset(&info, 0, sizeof(info));
    KR3DGetDeviceInfo(&info, index);
    return info;
  }

  // The names of the listed devices, in table order.
  static std::vector<std::string> DeviceNames() {
    std::vector<std::string> names;
    for (int i = 0; i < g_kr3D.nDeviceCount; ++i) names.push_back(DeviceInfo(i).szName);
    return names;
  }

  static KR3DZBUFFERFORMATINFO ZBufferFormatInfo(int index) {
    KR3DZBUFFERFORMATINFO info;
    memset(&info, 0, sizeof(info));
    KR3DGetZBufferFormatInfo(&info, index);
    return info;
  }

  // The depth of every listed depth-buffer format, in table order.
  static std::vector<DWORD> ZBufferDepths() {
    std::vector<DWORD> depths;
    for (int i = 0; i < g_kr3D.nZBufferFormatCount; ++i) depths.push_back(ZBufferFormatInfo(i).dwBitDepth);
    return depths;
  }
};

#endif
