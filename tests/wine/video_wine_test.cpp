// The video component of the real KORVATHD.DLL on Wine's DirectDraw: devices and
// modes, window mode in a real window with pixels read back, full screen where
// the virtual display allows it, and the log lines of a whole session.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/surface_pixels.h"

namespace {

using namespace winsupport;

const int kClientWidth = 640;
const int kClientHeight = 480;

class VideoOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMainWindow(kClientWidth, kClientHeight, "video test");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    KRCleanup();
    DestroyMainWindow(window_);
  }

  void StartLibrary(DWORD flags = 0, const char* logName = "") {
    KRSTARTUPINFO info = StartupInfo(window_, flags, logName);
    ASSERT_EQ(KRStartup(&info), 1);
  }

  HWND window_ = nullptr;
};

// The colour reference as a surface of this format holds it, read back as RGB.
uint32_t Expected(IDirectDrawSurface4* surface, DWORD colour) {
  DDPIXELFORMAT format;
  EXPECT_TRUE(SurfaceFormat(surface, &format));
  return RgbAsStored(format, RgbOfColorRef(colour));
}

TEST_F(VideoOnWindows, DevicesModesAndMemoryAreListed) {
  StartLibrary();
  int devices = KRVideoGetDeviceCount();
  ASSERT_GE(devices, 1);
  KRVIDEODEVICEINFO device;
  memset(&device, 0, sizeof(device));
  KRVideoGetDeviceInfo(&device, 0);
  EXPECT_GT(strlen(device.szName), 2u);
  EXPECT_EQ(device.szName[strlen(device.szName) - 1], ')') << device.szName;
  EXPECT_EQ(device.dwFlags & 0x01u, 0u);

  EXPECT_EQ(KRVideoStartup(const_cast<char*>("no such display(none)")), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x1100u);
  EXPECT_EQ(LastErrorText(), "KRVideo : 指定されたDeviceが見つかりません");
  ASSERT_EQ(KRVideoStartup(device.szName), 1);
  EXPECT_EQ(KRVideoGetCurrentDevice(), 0);
  int modes = KRVideoGetModeCount();
  ASSERT_GE(modes, 1);
  EXPECT_LE(modes, KRVIDEO_MODE_MAX);
  KRVIDEOMODEINFO mode;
  memset(&mode, 0, sizeof(mode));
  KRVideoGetModeInfo(&mode, 0);
  EXPECT_GT(mode.dwWidth, 0u);
  EXPECT_GT(mode.dwHeight, 0u);
  EXPECT_GT(mode.dwBitCount, 0u);
  // Wine reports about 4 GiB; an int cannot hold 2 GiB or more, which reads as the largest int.
  IDirectDraw4* directDraw = nullptr;
  KRVideoGetDirectDrawInterface(&directDraw);
  ASSERT_NE(directDraw, nullptr);
  DDCAPS hardware, software;
  memset(&hardware, 0, sizeof(hardware));
  memset(&software, 0, sizeof(software));
  hardware.dwSize = software.dwSize = sizeof(DDCAPS);
  ASSERT_EQ(directDraw->GetCaps(&hardware, &software), DD_OK);
  directDraw->Release();
  auto asInt = [](DWORD bytes) { return bytes >= 0x80000000u ? 0x7FFFFFFF : static_cast<int>(bytes); };
  EXPECT_EQ(KRVideoGetVideoMemoryTotal(), asInt(hardware.dwVidMemTotal));
  EXPECT_GT(KRVideoGetVideoMemoryTotal(), 0);
  EXPECT_GT(KRVideoGetVideoMemoryFree(), 0);

  KRVideoGetModeInfo(&mode, modes);
  EXPECT_EQ(KRErrorGetLastError(), 0x1005u);
  EXPECT_EQ(LastErrorText(), "KRVideo : 不正な値です");
  KRVideoCleanup();
}

TEST_F(VideoOnWindows, WindowModeSizesTheClientAreaClearsAndBlitsIntoTheWindow) {
  StartLibrary();
  ASSERT_EQ(KRVideoStartup(0), 1);
  ASSERT_EQ(KRVideoSetVideoMode(320, 200, 0), 1);
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right - client.left, 320);
  EXPECT_EQ(client.bottom - client.top, 200);

  ASSERT_EQ(KRVideoSetVideoMode(kClientWidth, kClientHeight, 0), 1);
  PumpMessages();
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right - client.left, kClientWidth);
  EXPECT_EQ(client.bottom - client.top, kClientHeight);

  unsigned long width = 0, height = 0, depth = 0;
  int fullScreen = -1;
  EXPECT_EQ(KRVideoGetVideoMode(&width, &height, &depth, &fullScreen), 1);
  EXPECT_EQ(width, 640u);
  EXPECT_EQ(height, 480u);
  HDC screen = GetDC(NULL);
  EXPECT_EQ(depth, static_cast<unsigned long>(GetDeviceCaps(screen, BITSPIXEL)));
  ReleaseDC(NULL, screen);
  EXPECT_EQ(fullScreen, 0);
  // A window has no flipping chain: flip is refused and blit stays.
  EXPECT_EQ(KRVideoSetShowMode(KRVIDEO_SHOWMODE_FLIP), 0);
  EXPECT_EQ(KRVideoIsLost(), 0);

  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  ASSERT_NE(primary, nullptr);
  ASSERT_NE(back, nullptr);

  const DWORD colour = 0x00336699;  // red 0x99, green 0x66, blue 0x33
  KRVideoClear(colour, KR2D_BUFFER_BACK);
  uint32_t pixel = 0;
  ASSERT_TRUE(ReadPixel(back, 17, 11, &pixel));
  EXPECT_EQ(pixel, Expected(back, colour));

  EXPECT_EQ(KRVideoShow(), 1);
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  ASSERT_TRUE(ReadPixel(primary, origin.x, origin.y, &pixel));
  EXPECT_EQ(pixel, Expected(primary, colour));
  ASSERT_TRUE(ReadPixel(primary, origin.x + kClientWidth - 1, origin.y + kClientHeight - 1, &pixel));
  EXPECT_EQ(pixel, Expected(primary, colour));

  back->Release();
  primary->Release();
  EXPECT_EQ(KRVideoRestore(), 1);
  KRVideoRestoreVideoMode();
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  EXPECT_EQ(width + height + depth, 0u);
  KRVideoCleanup();
}

TEST_F(VideoOnWindows, SessionLogHasTheVideoLinesInOrder) {
  const char* name = "video_session_log.txt";
  remove(name);
  StartLibrary(KRSTARTUP_DEBUGLOG, name);
  ASSERT_EQ(KRVideoStartup(0), 1);
  KRVIDEODEVICEINFO device;
  KRVideoGetDeviceInfo(&device, 0);
  ASSERT_EQ(KRVideoSetVideoMode(kClientWidth, kClientHeight, 0), 1);
  unsigned long width, height, depth;
  int fullScreen;
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  KRVideoCleanup();
  KRCleanup();

  std::string log = ReadFileBytes(name);
  char modeLine[96];
  snprintf(modeLine, sizeof(modeLine), "KRVideo : SetVideoyMode to 640x480x%lu Window mode\r\n", depth);
  const std::string expectedInOrder[] = {
      "KRVideo : Startup\r\n",
      std::string("KRVideo : DirectDrawDriver = ") + device.szName + "\r\n",
      "KRVideo : DirectDraw4Create\r\n",
      modeLine,
      "KRVideo : Create primary surface on ",
      "KRVideo : Create back buffer on ",
      "KRVideo : Pixel format RGB",
      "KRVideo : Release back buffer\r\n",
      "KRVideo : Release primary surface\r\n",
      "KRVideo : Cleanup\r\n",
      "KRVideo : Release DirectDraw2\r\n",
  };
  size_t position = 0;
  for (const std::string& line : expectedInOrder) {
    size_t found = log.find(line, position);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << position << ": " << line << "\n" << log;
    position = found + line.size();
  }
  if (depth == 32 || depth == 24) {
    EXPECT_NE(log.find("KRVideo : Pixel format RGB888 (RRRRRRRRGGGGGGGGBBBBBBBB)\r\n"), std::string::npos) << log;
  }
  remove(name);
}

// Xvfb has one display mode, so full screen is tried at the desktop's own size and depth.
TEST_F(VideoOnWindows, FullScreenFlipsAndReturnsToTheWindow) {
  StartLibrary();
  ASSERT_EQ(KRVideoStartup(0), 1);
  const unsigned long screenWidth = static_cast<unsigned long>(GetSystemMetrics(SM_CXSCREEN));
  const unsigned long screenHeight = static_cast<unsigned long>(GetSystemMetrics(SM_CYSCREEN));
  HDC screen = GetDC(NULL);
  const unsigned long screenDepth = static_cast<unsigned long>(GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(NULL, screen);
  if (KRVideoSetVideoMode(screenWidth, screenHeight, screenDepth) != 1) {
    unsigned long code = KRErrorGetLastError();
    KRVideoCleanup();
    GTEST_SKIP() << "exclusive full screen " << screenWidth << "x" << screenHeight << "x" << screenDepth
                 << " is not available on this display (last error 0x" << std::hex << code << ")";
  }
  unsigned long width = 0, height = 0, depth = 0;
  int fullScreen = 0;
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  EXPECT_EQ(fullScreen, 1);
  EXPECT_EQ(width, screenWidth);
  EXPECT_EQ(depth, screenDepth);
  // Full screen keeps the flip that every mode change asks for.
  EXPECT_EQ(KRVideoSetShowMode(KRVIDEO_SHOWMODE_FLIP), 1);
  RECT windowRect;
  GetWindowRect(window_, &windowRect);
  EXPECT_EQ(windowRect.left, 0);
  EXPECT_EQ(windowRect.top, 0);

  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  ASSERT_NE(primary, nullptr);
  ASSERT_NE(back, nullptr);
  const DWORD colour = 0x0000FF00;
  KRVideoClear(colour, KR2D_BUFFER_BACK);
  EXPECT_EQ(KRVideoShow(), 1);
  // After the flip the cleared page is the visible one.
  uint32_t pixel = 0;
  ASSERT_TRUE(ReadPixel(primary, 5, 5, &pixel));
  EXPECT_EQ(pixel, Expected(primary, colour));
  back->Release();
  primary->Release();

  // The two-argument form keeps full screen and depth.
  ASSERT_EQ(KRVideoSetVideoMode(screenWidth, screenHeight), 1);
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  EXPECT_EQ(fullScreen, 1);
  EXPECT_EQ(depth, screenDepth);

  // Back to window mode: the display mode is restored first.
  ASSERT_EQ(KRVideoSetVideoMode(kClientWidth, kClientHeight, 0), 1);
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  EXPECT_EQ(fullScreen, 0);
  EXPECT_EQ(KRVideoFlipToGDI(), 1);
  KRVideoCleanup();
}

}  // namespace
