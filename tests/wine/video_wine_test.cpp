// The video component of the real KORVATHD.DLL on Wine's DirectDraw: devices and
// modes, window mode in a real window with pixels read back, full screen where
// the virtual display allows it, and the log lines of a whole session.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;

std::string ReadFileBytes(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string LastErrorText() {
  char text[KRERROR_TEXT_MAX];
  KRErrorGetLastError(text);
  return text;
}

// A top-level window with a 640 by 480 client area, the way a game makes its main window.
HWND CreateMainWindow() {
  WNDCLASSA windowClass;
  memset(&windowClass, 0, sizeof(windowClass));
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "KRVideoWineTest";
  windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
  RegisterClassA(&windowClass);
  RECT outer = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExA(0, "KRVideoWineTest", "video test", WS_OVERLAPPEDWINDOW, 20, 20,
                                outer.right - outer.left, outer.bottom - outer.top, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class VideoOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    KRCleanup();
    DestroyWindow(window_);
  }

  void StartLibrary(DWORD flags = 0, const char* logName = "") {
    KRSTARTUPINFO info;
    memset(&info, 0, sizeof(info));
    info.hWnd = window_;
    info.hInstance = GetModuleHandleA(NULL);
    info.dwFlags = flags;
    strncpy(info.szDebugFileName, logName, sizeof(info.szDebugFileName) - 1);
    ASSERT_EQ(KRStartup(&info), 1);
  }

  HWND window_ = nullptr;
};

// The pixel a colour reference becomes in a surface's format (byte scaled down to each channel).
DWORD ExpectedPixel(const DDPIXELFORMAT& format, DWORD colour) {
  DWORD masks[3] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  DWORD bytes[3] = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
  DWORD pixel = 0;
  for (int channel = 0; channel < 3; ++channel) {
    DWORD mask = masks[channel];
    if (mask == 0) continue;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    DWORD maximum = mask >> shift;
    pixel |= (bytes[channel] * maximum / 255) << shift;
  }
  return pixel;
}

// Reads one pixel (and the surface's format) through Lock.
bool ReadPixel(IDirectDrawSurface4* surface, int x, int y, DWORD* pixel, DDPIXELFORMAT* format) {
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  if (FAILED(surface->Lock(NULL, &desc, DDLOCK_WAIT | DDLOCK_READONLY, NULL))) return false;
  const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
  DWORD bytesPerPixel = desc.ddpfPixelFormat.dwRGBBitCount / 8;
  DWORD value = 0;
  memcpy(&value, row + x * bytesPerPixel, bytesPerPixel);
  surface->Unlock(NULL);
  // Only the colour channels: the unused top byte of 32-bit pixels is the driver's.
  const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
  *pixel = value & (pf.dwRBitMask | pf.dwGBitMask | pf.dwBBitMask);
  *format = desc.ddpfPixelFormat;
  return true;
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
  DWORD pixel = 0;
  DDPIXELFORMAT format;
  ASSERT_TRUE(ReadPixel(back, 17, 11, &pixel, &format));
  EXPECT_EQ(pixel, ExpectedPixel(format, colour));

  EXPECT_EQ(KRVideoShow(), 1);
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  DWORD shown = 0;
  ASSERT_TRUE(ReadPixel(primary, origin.x, origin.y, &shown, &format));
  EXPECT_EQ(shown, ExpectedPixel(format, colour));
  ASSERT_TRUE(ReadPixel(primary, origin.x + kClientWidth - 1, origin.y + kClientHeight - 1, &shown, &format));
  EXPECT_EQ(shown, ExpectedPixel(format, colour));

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
  DWORD pixel = 0;
  DDPIXELFORMAT format;
  ASSERT_TRUE(ReadPixel(primary, 5, 5, &pixel, &format));
  EXPECT_EQ(pixel, ExpectedPixel(format, colour));
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
