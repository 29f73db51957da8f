// Display devices and modes: the device table and its names and flags, start-up
// by index and by name, mode enumeration, memory figures, and what each failure
// leaves behind.
#include <string>
#include <vector>

#include "video/video_fixture.h"

namespace {

const GUID kSecondGuid = {0x11111111, 0x2222, 0x3333, {4, 5, 6, 7, 8, 9, 10, 11}};

sim::DisplayDevice SecondaryDevice(const std::string& description, const GUID& guid = kSecondGuid) {
  sim::DisplayDevice device;
  device.hasGuid = true;
  device.guid = guid;
  device.description = description;
  device.driverName = "sec.drv";
  device.kind = sim::DisplayDeviceKind::AttachedSecondary;
  return device;
}

KRVIDEODEVICEINFO DeviceInfo(int index) {
  KRVIDEODEVICEINFO info;
  memset(&info, 0xAB, sizeof(info));
  KRVideoGetDeviceInfo(&info, index);
  return info;
}

std::vector<sim::DisplayMode> ModesRead() {
  std::vector<sim::DisplayMode> modes;
  int count = KRVideoGetModeCount();
  for (int i = 0; i < count; ++i) {
    KRVIDEOMODEINFO mode;
    KRVideoGetModeInfo(&mode, i);
    modes.push_back({static_cast<int>(mode.dwWidth), static_cast<int>(mode.dwHeight),
                     static_cast<int>(mode.dwBitCount)});
  }
  return modes;
}

using VideoDevicesTest = VideoTest;

TEST_F(VideoDevicesTest, OneDisplayIsIndexZeroWithNameFlagsAndANullGuidAtStartup) {
  EXPECT_EQ(KRVideoGetDeviceCount(), 1);
  KRVIDEODEVICEINFO info = DeviceInfo(0);
  EXPECT_STREQ(info.szName, "Primary Display Driver(display)");
  EXPECT_EQ(info.dwFlags, unsigned(KRVIDEODEVICE_WINDOWED | KRVIDEODEVICE_GAMMA | KRVIDEODEVICE_3D));
  EXPECT_EQ(ArgumentsOf("DirectDrawEnumerateExA"), std::vector<std::string>{"ptr, NULL, 0x5"});

  sim::ClearCalls();
  ASSERT_EQ(KRVideoStartup(0), 1);
  EXPECT_EQ(KRVideoGetCurrentDevice(), 0);
  EXPECT_EQ(g_krVideo.bDefaultDevice, 1);
  EXPECT_EQ(ArgumentsOf("CoCreateInstance"),
            std::vector<std::string>{"{D7B70EE0-4340-11CF-B063-0020AFC2CD35}, NULL, 0x3, "
                                     "{6C14DB80-A733-11CE-A521-0020AF0BE560}, ptr"});
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::Initialize"), std::vector<std::string>{"NULL"});
  EXPECT_EQ(sim::CountCalls("DirectDrawEnumerateExA"), 0) << "start-up reuses the table";
  ExpectLinesInOrder({"KRVideo : Startup", "KRVideo : DirectDrawDriver = Primary Display Driver(display)",
                      "KRVideo : DirectDraw4Create"});
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 1) << "the probe objects are released";
}

TEST_F(VideoDevicesTest, FlagsComeFromTheHardwareCapabilities) {
  sim::DisplayDevice plain = SecondaryDevice("Plain");
  plain.halCaps = 0;
  plain.halCaps2 = DDCAPS2_COLORCONTROLPRIMARY;
  sim::DisplayDevice everything = SecondaryDevice("All", {0x22, 0, 0, {0}});
  everything.halCaps = DDCAPS_3D;
  everything.halCaps2 = DDCAPS2_CANRENDERWINDOWED | DDCAPS2_PRIMARYGAMMA | DDCAPS2_COLORCONTROLPRIMARY;
  sim::SetDisplayDevices({sim::DisplayDevice(), plain, everything});
  ASSERT_EQ(KRVideoGetDeviceCount(), 3);
  EXPECT_EQ(DeviceInfo(1).dwFlags, unsigned(KRVIDEODEVICE_COLORCONTROL));
  EXPECT_EQ(DeviceInfo(2).dwFlags, 0x1Eu);
  EXPECT_EQ(memcmp(&g_krVideo.devices[1].guidDevice, &kSecondGuid, sizeof(GUID)), 0);
}

TEST_F(VideoDevicesTest, BadIndexesFailWithTheirCodes) {
  EXPECT_EQ(KRVideoStartup(1), 0);
  ExpectLastError(0x1003, "KRVideo : 初期化に失敗しました");
  EXPECT_EQ(KRVideoStartup(-1), 0);
  EXPECT_EQ(KRVideoIsStarted(), 0);

  for (int index : {1, -1, KRVIDEO_DEVICE_MAX}) {
    KRErrorSetLastError(0);
    KRVIDEODEVICEINFO info = DeviceInfo(index);
    ExpectLastError(0x1005, "KRVideo : 不正な値です");
    EXPECT_EQ(static_cast<unsigned char>(info.szName[0]), 0xABu) << "record untouched";
  }
}

TEST_F(VideoDevicesTest, NamesCompareWholeAndCaseSensitively) {
  sim::SetDisplayDevices({sim::DisplayDevice(), SecondaryDevice("Voodoo")});
  EXPECT_EQ(KRVideoStartup(const_cast<char*>("Voodoo")), 0);
  ExpectLastError(0x1100, "KRVideo : 指定されたDeviceが見つかりません");
  EXPECT_EQ(KRVideoStartup(const_cast<char*>("voodoo(sec.drv)")), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x1100u);

  ASSERT_EQ(KRVideoStartup(const_cast<char*>("Voodoo(sec.drv)")), 1);
  EXPECT_EQ(KRVideoGetCurrentDevice(), 1);
  EXPECT_EQ(g_krVideo.bDefaultDevice, 0);
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::Initialize").back(), "{11111111-2222-3333-0405-060708090A0B}");
  // A second start-up keeps the first device, also after a new enumeration.
  EXPECT_EQ(KRVideoStartup(0), 0);
  ExpectLastError(0x1001, "KRVideo : 既に初期化されています");
  EXPECT_EQ(KRVideoGetDeviceCount(), 2);
  EXPECT_EQ(KRVideoGetCurrentDevice(), 1);
}

TEST_F(VideoDevicesTest, NoDeviceAtAllAsksForANewerDirectDraw) {
  sim::SetDisplayDevices({});
  EXPECT_EQ(KRVideoStartup(const_cast<char*>("Primary Display Driver(display)")), 0);
  ExpectLastError(0x1102, "KRVideo : DirectDrawのバージョンアップが必要です");
}

TEST_F(VideoDevicesTest, AFailedEnumerationKeepsTheLastTable) {
  sim::SetDisplayDevices({sim::DisplayDevice(), SecondaryDevice("Second")});
  ASSERT_EQ(KRVideoGetDeviceCount(), 2);
  sim::FailNext("DirectDrawEnumerateExA", DDERR_GENERIC);
  EXPECT_EQ(KRVideoGetDeviceCount(), 0);
  ExpectLastError(0x1004, "KRVideo : 不明なエラーが発生しました");
  EXPECT_STREQ(DeviceInfo(1).szName, "Second(sec.drv)");
  ASSERT_EQ(KRVideoStartup(1), 1);
}

TEST_F(VideoDevicesTest, ADeviceThatCannotBeMadeIsLeftOut) {
  const GUID brokenGuid = {0x0B, 0, 0, {0}};
  sim::SetDisplayDevices(
      {sim::DisplayDevice(), SecondaryDevice("Broken", brokenGuid), SecondaryDevice("Third")});
  sim::FailNext("IDirectDraw4::Initialize", DDERR_INVALIDDIRECTDRAWGUID, "{0000000B");
  ASSERT_EQ(KRVideoGetDeviceCount(), 2);
  EXPECT_STREQ(DeviceInfo(1).szName, "Third(sec.drv)");
  EXPECT_EQ(g_krVideo.devices[2].szName[0], '\0');
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
}

TEST_F(VideoDevicesTest, TablesStopAtTheirSizes) {
  std::vector<sim::DisplayDevice> devices(1);
  for (int i = 1; i < 40; ++i) {
    GUID guid = {DWORD(i), 0, 0, {0}};
    devices.push_back(SecondaryDevice("Card" + std::to_string(i), guid));
  }
  sim::DisplayDevice& primary = devices[0];
  primary.modes.clear();
  for (int i = 0; i < 300; ++i) primary.modes.push_back({320 + i, 200, 16});
  sim::SetDisplayDevices(devices);

  EXPECT_EQ(KRVideoGetDeviceCount(), KRVIDEO_DEVICE_MAX);
  EXPECT_STREQ(DeviceInfo(31).szName, "Card31(sec.drv)");
  ASSERT_EQ(KRVideoStartup(0), 1);
  std::vector<sim::DisplayMode> modes = ModesRead();
  ASSERT_EQ(modes.size(), size_t(KRVIDEO_MODE_MAX));
  EXPECT_EQ(modes.back(), (sim::DisplayMode{320 + 255, 200, 16}));
}

TEST_F(VideoDevicesTest, EnumerationsThatGoOnAfterStopStillFillOnlyTheirTables) {
  std::vector<sim::DisplayDevice> devices(1);
  for (int i = 1; i < 40; ++i) {
    GUID guid = {DWORD(i), 0, 0, {0}};
    devices.push_back(SecondaryDevice("Card" + std::to_string(i), guid));
  }
  devices[0].modes.clear();
  for (int i = 0; i < 300; ++i) devices[0].modes.push_back({320 + i, 200, 16});
  sim::SetDisplayDevices(devices);
  sim::SetEnumerationIgnoresStop(true);
  sim::ClearCalls();

  EXPECT_EQ(KRVideoGetDeviceCount(), KRVIDEO_DEVICE_MAX);
  EXPECT_EQ(sim::CountCalls("CoCreateInstance"), KRVIDEO_DEVICE_MAX) << "no device past the table is probed";
  EXPECT_STREQ(DeviceInfo(31).szName, "Card31(sec.drv)");
  ASSERT_EQ(KRVideoStartup(0), 1);
  std::vector<sim::DisplayMode> modes = ModesRead();
  ASSERT_EQ(modes.size(), size_t(KRVIDEO_MODE_MAX));
  EXPECT_EQ(modes.back(), (sim::DisplayMode{320 + 255, 200, 16}));
}

TEST_F(VideoDevicesTest, LongNamesAreCutToTheTable) {
  sim::DisplayDevice device;
  device.description = std::string(300, 'd');
  sim::SetDisplayDevices({device});
  ASSERT_EQ(KRVideoGetDeviceCount(), 1);
  EXPECT_EQ(std::string(DeviceInfo(0).szName), std::string(KRVIDEO_DEVICENAME_MAX - 1, 'd'));
}

TEST_F(VideoDevicesTest, StartupFailuresReleaseTheDisplayObject) {
  ASSERT_EQ(KRVideoGetDeviceCount(), 1);
  sim::FailNext("CoCreateInstance", E_OUTOFMEMORY);
  EXPECT_EQ(KRVideoStartup(0), 0);
  ExpectLastError(0x1003, "KRVideo : 初期化に失敗しました");
  EXPECT_TRUE(Logged("DDERR_OUTOFMEMORY"));

  sim::FailNext("IDirectDraw4::Initialize", DDERR_INVALIDDIRECTDRAWGUID);
  EXPECT_EQ(KRVideoStartup(0), 0);
  EXPECT_TRUE(Logged("DDERR_INVALIDDIRECTDRAWGUID"));
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
  EXPECT_EQ(g_krVideo.lpDirectDraw, nullptr);
  EXPECT_EQ(KRVideoIsStarted(), 0);
  EXPECT_EQ(KRVideoStartup(0), 1);
}

TEST_F(VideoDevicesTest, ExhaustedHeapAtStartupFreesWhatWasMade) {
  ASSERT_EQ(KRVideoGetDeviceCount(), 1);
  int blocksBefore = sim::LiveHeapBlocks();
  // The palette entries are the second table: 256 entries of 4 bytes and the block header.
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", 1040");
  EXPECT_EQ(KRVideoStartup(0), 0);
  ExpectLastError(0x1003, "KRVideo : 初期化に失敗しました");
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(sim::LiveHeapBlocks(), blocksBefore);
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
  EXPECT_EQ(KRVideoIsStarted(), 0);
  EXPECT_EQ(KRVideoStartup(0), 1);
}

TEST_F(VideoDevicesTest, ModesComeInTheOrderReportedAndOnlyWhileStarted) {
  EXPECT_EQ(KRVideoGetModeCount(), 0);
  ExpectLastError(0x1002, "KRVideo : 初期化されていません");
  ASSERT_EQ(KRVideoStartup(0), 1);
  KRVIDEOMODEINFO mode;
  KRVideoGetModeInfo(&mode, 0);
  ExpectLastError(0x1005, "KRVideo : 不正な値です");  // nothing enumerated yet

  EXPECT_EQ(ModesRead(), sim::StandardDisplayModes());
  // A failed enumeration keeps the table of the last one.
  sim::FailNext("IDirectDraw4::EnumDisplayModes", DDERR_GENERIC);
  EXPECT_EQ(KRVideoGetModeCount(), 0);
  ExpectLastError(0x1004, "KRVideo : 不明なエラーが発生しました");
  KRVideoGetModeInfo(&mode, 8);
  EXPECT_EQ(mode.dwWidth, 1024u);
  EXPECT_EQ(mode.dwBitCount, 32u);

  KRVideoCleanup();
  EXPECT_EQ(KRVideoGetModeCount(), 0);
  KRErrorSetLastError(0);
  KRVideoGetModeInfo(&mode, 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x1005u) << "no table after clean-up";
}

TEST_F(VideoDevicesTest, MemoryFiguresOfTheStartedDevice) {
  EXPECT_EQ(KRVideoGetVideoMemoryTotal(), 0);
  ExpectLastError(0x1002, "KRVideo : 初期化されていません");
  EXPECT_EQ(KRVideoGetVideoMemoryFree(), 0);

  ASSERT_EQ(KRVideoStartup(0), 1);
  EXPECT_EQ(KRVideoGetVideoMemoryTotal(), int(sim::kStandardVideoMemory));
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
  EXPECT_EQ(KRVideoGetVideoMemoryFree(), int(sim::VideoMemoryFree(0)));
  EXPECT_LT(KRVideoGetVideoMemoryFree(), int(sim::kStandardVideoMemory));

  KRErrorSetLastError(0);
  sim::FailNext("IDirectDraw4::GetCaps", DDERR_INVALIDOBJECT);
  EXPECT_EQ(KRVideoGetVideoMemoryTotal(), 0);
  EXPECT_TRUE(Logged("DDERR_INVALIDOBJECT"));
  EXPECT_EQ(KRErrorGetLastError(), 0u) << "a failed query sets no code";
}

TEST_F(VideoDevicesTest, MemoryOf2GiBAndMoreReadsAsTheLargestInt) {
  for (DWORD bytes : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    sim::DisplayDevice device;
    device.videoMemoryTotal = bytes;
    device.videoMemoryFree = bytes;
    sim::SetDisplayDevices({device});
    ASSERT_EQ(KRVideoGetDeviceCount(), 1);
    ASSERT_EQ(KRVideoStartup(0), 1);
    EXPECT_EQ(KRVideoGetVideoMemoryTotal(), 0x7FFFFFFF) << bytes;
    EXPECT_EQ(KRVideoGetVideoMemoryFree(), 0x7FFFFFFF) << bytes;
    KRVideoCleanup();
  }
}

TEST_F(VideoDevicesTest, CleanupEndsTheComponentAndAllowsANewStartup) {
  KRVideoCleanup();
  ExpectLastError(0x1002, "KRVideo : 初期化されていません");
  ASSERT_EQ(KRVideoStartup(0), 1);
  sim::ClearDebugOutput();
  KRVideoCleanup();
  ExpectLinesInOrder({"KRVideo : Release back buffer", "KRVideo : Release primary surface", "KRVideo : Cleanup",
                      "KRVideo : Release DirectDraw2"});
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::SetCooperativeLevel").back(), WindowArg() + ", 0x8");
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
  EXPECT_EQ(g_krVideo.lpModes, nullptr);
  EXPECT_EQ(g_krVideo.lpPaletteEntries, nullptr);
  EXPECT_EQ(KRVideoIsStarted(), 0);
  EXPECT_EQ(KRVideoStartup(0), 1);
}

}  // namespace
