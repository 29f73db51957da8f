// The device list and the depth-buffer formats of a device: which devices the
// display depth and the hardware switch let in, the automatic choices, full
// tables, careless drivers and failures.
#include <cstring>
#include <string>
#include <vector>

#include "render3d/render3d_fixture.h"

namespace {

class DeviceEnumerationTest : public Render3DTest {
 protected:
  void StartWithDevices(const std::vector<sim::Direct3DDeviceType>& devices = sim::StandardDirect3DDevices()) {
    sim::SetDirect3DDevices(devices);
    ASSERT_NO_FATAL_FAILURE(StartMode());
    ASSERT_EQ(KR3DStartup(), 1);
  }
};

typedef std::vector<std::string> Names;

TEST_F(DeviceEnumerationTest, BootMachineListsSoftwareAndHardwareAndPicksTheHardware) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices());
  EXPECT_EQ(KR3DGetDeviceCount(), 2);
  EXPECT_EQ(DeviceNames(), (Names{"RGB Emulation", "Direct3D HAL"}));
  EXPECT_EQ(DeviceInfo(kSoftwareDevice).bHardware, 0);
  EXPECT_EQ(DeviceInfo(kHardwareDevice).bHardware, 1);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), kHardwareDevice);
  EXPECT_EQ(g_kr3D.bAutoDeviceHardware, 1);
  // The GUID of each entry is the one enumerated.
  EXPECT_TRUE(g_kr3D.lpDevices[kHardwareDevice].guid == IID_IDirect3DHALDevice);
}

TEST_F(DeviceEnumerationTest, AutomaticChoiceAcrossRampRgbHardwareAndMmx) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices({Device("Ramp Emulation", false, D3DCOLOR_MONO),
                                            Device("RGB Emulation", false), Device("Direct3D HAL", true),
                                            Device("MMX Emulation", false)}));
  EXPECT_EQ(KR3DGetDeviceCount(), 4);
  EXPECT_EQ(DeviceNames(), (Names{"Ramp Emulation", "RGB Emulation", "Direct3D HAL", "MMX Emulation"}));
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 2);

  // Hidden hardware is left out of the table altogether.
  KR3DEnableHardwareMode(0);
  EXPECT_EQ(KR3DGetDeviceCount(), 3);
  EXPECT_EQ(DeviceNames(), (Names{"Ramp Emulation", "RGB Emulation", "MMX Emulation"}));
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 1);
}

TEST_F(DeviceEnumerationTest, MmxIsNeverChosenAndTheTestIsCaseSensitive) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices({Device("Fast MMX device", false)}));
  EXPECT_EQ(KR3DGetDeviceCount(), 1);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), -1);
  sim::SetDirect3DDevices({Device("Fast mmx device", false)});
  EXPECT_EQ(KR3DGetDeviceCount(), 1);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 0);
}

TEST_F(DeviceEnumerationTest, WithinOneClassTheLastRgbDeviceWinsAndSoftwareNeverDisplacesHardware) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices({Device("HAL one", true), Device("RGB soft", false),
                                            Device("HAL two", true), Device("Ramp HAL", true, D3DCOLOR_MONO),
                                            Device("RGB soft two", false)}));
  EXPECT_EQ(KR3DGetDeviceCount(), 5);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 2);  // the mono hardware device after it does not displace it

  sim::SetDirect3DDevices({Device("Ramp", false, D3DCOLOR_MONO), Device("Ramp two", false, D3DCOLOR_MONO)});
  EXPECT_EQ(KR3DGetDeviceCount(), 2);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 0);  // the first pick stays: neither is RGB
}

TEST_F(DeviceEnumerationTest, OnlyDevicesRenderingAtTheDisplayDepthAreListed) {
  ASSERT_NO_FATAL_FAILURE(
      StartWithDevices({Device("Only 32", true, D3DCOLOR_RGB, DDBD_32), Device("Also 16", false, D3DCOLOR_RGB,
                                                                               DDBD_16 | DDBD_32)}));
  EXPECT_EQ(KR3DGetDeviceCount(), 1);
  EXPECT_EQ(DeviceNames(), (Names{"Also 16"}));
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 0);
}

TEST_F(DeviceEnumerationTest, EightBitFullScreenModeTakesEightBitDevicesAndTheLastRgbOne) {
  sim::SetDirect3DDevices({Device("RGB 8", false, D3DCOLOR_RGB, DDBD_8), Device("HAL 16", true),
                           Device("RGB 8 too", false, D3DCOLOR_RGB, DDBD_8)});
  ASSERT_NO_FATAL_FAILURE(StartMode(640, 480, 8));
  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(KR3DGetDeviceCount(), 2);
  EXPECT_EQ(DeviceNames(), (Names{"RGB 8", "RGB 8 too"}));
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 1);
}

TEST_F(DeviceEnumerationTest, DepthOutsideTheMapAcceptsNoDevice) {
  // DirectDraw reports 5-5-5 modes as 16 bits, so the depth is set in the video state itself.
  ASSERT_NO_FATAL_FAILURE(StartMode());
  g_krVideo.dwDepth = 15;
  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(KR3DGetDeviceCount(), 0);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), -1);
  // No device: no depth formats either, and the choice is format 0.
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);
  EXPECT_EQ(KR3DGetAutoDetectedZBufferFormat(-1), 0);
  EXPECT_EQ(sim::CountCalls("IDirect3D3::EnumZBufferFormats"), 0);
}

TEST_F(DeviceEnumerationTest, FullTableStopsAt32EvenWhenTheDriverGoesOn) {
  std::vector<sim::Direct3DDeviceType> devices;
  for (int i = 0; i < 40; ++i) devices.push_back(Device("RGB " + std::to_string(i), false));
  ASSERT_NO_FATAL_FAILURE(StartWithDevices(devices));
  EXPECT_EQ(KR3DGetDeviceCount(), KR3D_DEVICE_MAX);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), 31);
  sim::SetEnumerationIgnoresStop(true);
  EXPECT_EQ(KR3DGetDeviceCount(), KR3D_DEVICE_MAX);
  EXPECT_EQ(DeviceInfo(31).szName, std::string("RGB 31"));
}

TEST_F(DeviceEnumerationTest, LongNameIsCutTo255Characters) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices({Device(std::string(300, 'n'), false)}));
  ASSERT_EQ(KR3DGetDeviceCount(), 1);
  EXPECT_EQ(std::string(DeviceInfo(0).szName), std::string(255, 'n'));
}

TEST_F(DeviceEnumerationTest, InfoOutsideTheListLeavesTheRecordUntouched) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices());
  ASSERT_EQ(KR3DGetDeviceCount(), 2);
  for (int index : {-1, 2, 1000}) {
    KR3DDEVICEINFO info;
    memset(&info, 0xAB, sizeof(info));
    KR3DDEVICEINFO before = info;
    KR3DGetDeviceInfo(&info, index);
    EXPECT_EQ(memcmp(&info, &before, sizeof(info)), 0) << index;
    ExpectLastError(0x3005, "KR3D : 不正な値です");
  }
}

TEST_F(DeviceEnumerationTest, FailedEnumerationEmptiesTheList) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices());
  ASSERT_EQ(KR3DGetDeviceCount(), 2);
  sim::FailNext("IDirect3D3::EnumDevices", DDERR_GENERIC, "", 2);
  EXPECT_EQ(KR3DGetDeviceCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);
  EXPECT_EQ(g_kr3D.nDeviceCount, 0);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), -1);  // its own enumeration fails too
  KR3DDEVICEINFO info;
  memset(&info, 0, sizeof(info));
  KR3DGetDeviceInfo(&info, 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
  EXPECT_EQ(g_kr3D.lpDevices[1].bHardware, 0);
}

TEST_F(DeviceEnumerationTest, AutomaticDeviceEnumeratesOnlyWhenNoneIsKnown) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices());
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), kHardwareDevice);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), kHardwareDevice);
  EXPECT_EQ(sim::CountCalls("IDirect3D3::EnumDevices"), 1);
}

TEST_F(DeviceEnumerationTest, CallsBeforeStartupAreRefused) {
  ASSERT_NO_FATAL_FAILURE(StartMode());
  EXPECT_EQ(KR3DGetDeviceCount(), 0);
  ExpectLastError(0x3002, "KR3D : 初期化されていません");
  KRErrorSetLastError(0);
  EXPECT_EQ(KR3DGetAutoDetectedDevice(), -1);
  EXPECT_EQ(KRErrorGetLastError(), 0x3002u);
  KRErrorSetLastError(0);
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3002u);
  EXPECT_EQ(KR3DGetAutoDetectedZBufferFormat(0), 0);
  KR3DZBUFFERFORMATINFO info;
  memset(&info, 0, sizeof(info));
  KR3DGetZBufferFormatInfo(&info, 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
}

// ---- Depth-buffer formats ------------------------------------------------------------------

class ZBufferFormatTest : public DeviceEnumerationTest {
 protected:
  // One software device with these depth formats (each plain, no stencil).
  void StartWithDepths(const std::vector<int>& depths) {
    sim::Direct3DDeviceType device = Device("RGB Emulation", false);
    device.depthFormats.clear();
    for (int depth : depths) device.depthFormats.push_back(sim::DepthFormat(depth));
    ASSERT_NO_FATAL_FAILURE(StartWithDevices({device}));
  }
};

TEST_F(ZBufferFormatTest, PlainFormatsAreListedWithNamesAndStencilFormatsAreNot) {
  ASSERT_NO_FATAL_FAILURE(StartWithDevices());
  EXPECT_EQ(KR3DGetZBufferFormatCount(kHardwareDevice), 3);  // 16, 32, 32 with stencil, 24
  EXPECT_EQ(ZBufferDepths(), (std::vector<DWORD>{16, 32, 24}));
  EXPECT_STREQ(ZBufferFormatInfo(0).szName, "16 BITS");
  EXPECT_STREQ(ZBufferFormatInfo(2).szName, "24 BITS");
  EXPECT_EQ(g_kr3D.lpZBufferFormats[1].dwZBitMask, 0xFFFFFFFFu);  // the whole format is kept
  EXPECT_EQ(KR3DGetAutoDetectedZBufferFormat(kHardwareDevice), 1);
}

TEST_F(ZBufferFormatTest, AutomaticFormatSearchesFromIndexOne) {
  struct Case {
    std::vector<int> depths;
    int expected;
  };
  const Case cases[] = {{{16, 24, 32}, 2}, {{24, 16, 32}, 1}, {{32, 24}, 0}, {{16}, 0},
                        {{}, 0},           {{24, 32, 16}, 2}, {{8, 16}, 1},
                        {{24, 32, 32}, 1}, {{24, 24}, 0}};
  ASSERT_NO_FATAL_FAILURE(StartWithDepths({}));
  sim::Direct3DDeviceType device = sim::Direct3DDevices()[0];
  for (const Case& c : cases) {
    // Every call enumerates the formats afresh, so they may change between calls.
    device.depthFormats.clear();
    for (int depth : c.depths) device.depthFormats.push_back(sim::DepthFormat(depth));
    sim::SetDirect3DDevices({device});
    EXPECT_EQ(KR3DGetAutoDetectedZBufferFormat(-1), c.expected) << ::testing::PrintToString(c.depths);
    EXPECT_EQ(g_kr3D.nZBufferFormatCount, static_cast<int>(c.depths.size()));
  }
}

TEST_F(ZBufferFormatTest, DeviceArgumentNamesTheDeviceOrFallsBackToTheAutomaticOne) {
  sim::Direct3DDeviceType software = Device("RGB Emulation", false);
  software.depthFormats = {sim::DepthFormat(16)};
  sim::Direct3DDeviceType hardware = Device("HAL", true);
  hardware.depthFormats = {sim::DepthFormat(24), sim::DepthFormat(32)};
  ASSERT_NO_FATAL_FAILURE(StartWithDevices({software, hardware}));
  EXPECT_EQ(KR3DGetZBufferFormatCount(0), 1);
  EXPECT_EQ(KR3DGetZBufferFormatCount(1), 2);
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), 2);
  EXPECT_EQ(KR3DGetZBufferFormatCount(2), 2);
  // An index names a position in a fresh device enumeration; -1 takes the known choice.
  EXPECT_EQ(sim::CountCalls("IDirect3D3::EnumDevices"), 3);
}

TEST_F(ZBufferFormatTest, FullTableStopsAt32EvenWhenTheDriverGoesOn) {
  ASSERT_NO_FATAL_FAILURE(StartWithDepths(std::vector<int>(40, 16)));
  sim::SetEnumerationIgnoresStop(true);
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), KR3D_ZBUFFERFORMAT_MAX);
}

TEST_F(ZBufferFormatTest, FailedEnumerationOrNoDeviceEmptiesTheList) {
  ASSERT_NO_FATAL_FAILURE(StartWithDepths({16, 24}));
  ASSERT_EQ(KR3DGetZBufferFormatCount(-1), 2);
  sim::FailNext("IDirect3D3::EnumZBufferFormats", DDERR_GENERIC);
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);
  EXPECT_EQ(g_kr3D.nZBufferFormatCount, 0);
  EXPECT_EQ(g_kr3D.lpZBufferFormats[0].dwZBufferBitDepth, 0u);

  ASSERT_EQ(KR3DGetZBufferFormatCount(-1), 2);
  sim::SetDirect3DDevices({Device("Only 32", false, D3DCOLOR_RGB, DDBD_32)});
  ASSERT_EQ(KR3DGetDeviceCount(), 0);
  sim::ClearCalls();
  KRErrorSetLastError(0);
  EXPECT_EQ(KR3DGetZBufferFormatCount(-1), 0);
  EXPECT_EQ(sim::CountCalls("IDirect3D3::EnumZBufferFormats"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);
  EXPECT_EQ(g_kr3D.nZBufferFormatCount, 0);
  EXPECT_EQ(g_kr3D.lpZBufferFormats[1].dwZBufferBitDepth, 0u);
  EXPECT_EQ(KR3DGetAutoDetectedZBufferFormat(-1), 0);
}

TEST_F(ZBufferFormatTest, InfoOutsideTheListLeavesTheRecordUntouched) {
  ASSERT_NO_FATAL_FAILURE(StartWithDepths({16}));
  ASSERT_EQ(KR3DGetZBufferFormatCount(-1), 1);
  KR3DZBUFFERFORMATINFO info;
  memset(&info, 0xAB, sizeof(info));
  KR3DZBUFFERFORMATINFO before = info;
  KR3DGetZBufferFormatInfo(&info, 1);
  EXPECT_EQ(memcmp(&info, &before, sizeof(info)), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
}

}  // namespace
