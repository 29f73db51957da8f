// What the 3D tests under Wine share: a 640 x 480 main window, the library with
// video in window mode, 2D and 3D started on it, and the automatic device on
// the back buffer with the interfaces a test draws through.
#ifndef KR_TESTS_WINE_RENDER3D_WINE_FIXTURE_H
#define KR_TESTS_WINE_RENDER3D_WINE_FIXTURE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <gtest/gtest.h>

#include <korvathd.h>

#include "support/library_calls.h"
#include "support/main_window.h"

class Render3DWineTest : public ::testing::Test {
 protected:
  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 480;

  void SetUp() override {
    window_ = winsupport::CreateMainWindow(kClientWidth, kClientHeight, "3D test");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (device_) device_->Release();
    if (back_) back_->Release();
    if (primary_) primary_->Release();
    KRCleanup();
    winsupport::DestroyMainWindow(window_);
  }

  // Library, video in window mode at 640 x 480, 2D and 3D.
  void StartUpTo3D(DWORD flags = 0, const char* logName = "") {
    KRSTARTUPINFO info = winsupport::StartupInfo(window_, flags, logName);
    ASSERT_EQ(KRStartup(&info), 1);
    ASSERT_EQ(KRVideoStartup(0), 1);
    ASSERT_EQ(KRVideoSetVideoMode(kClientWidth, kClientHeight, 0), 1);
    ASSERT_EQ(KR2DStartup(), 1);
    ASSERT_EQ(KR3DStartup(), 1);
  }

  // The same, then the automatic device and depth format on the back buffer.
  void StartDevice(DWORD flags = 0, const char* logName = "") {
    ASSERT_NO_FATAL_FAILURE(StartUpTo3D(flags, logName));
    KR3DSTARTUPDEVICEINFO device = {KR2D_BUFFER_BACK, -1, -1, 0};
    ASSERT_EQ(KR3DStartupDevice(&device), 1) << std::hex << KRErrorGetLastError();
    KR3DGetDirect3DDeviceInterface(&device_);
    ASSERT_NE(device_, nullptr);
    KRVideoGetDirectDrawSurfaceInterface(&primary_, &back_);
    ASSERT_NE(back_, nullptr);
  }

  HWND window_ = nullptr;
  IDirect3DDevice3* device_ = nullptr;  // references of the test's own, given back at the end
  IDirectDrawSurface4* primary_ = nullptr;
  IDirectDrawSurface4* back_ = nullptr;
};

#endif
