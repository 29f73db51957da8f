// The 3D start-up and device of the real KORVATHD.DLL on Wine's Direct3D: the
// lists Wine offers, the device on the back buffer with and without a depth
// buffer, clean-up and a second start-up on the same mode, and a quiet log.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "render3d_wine_fixture.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;

KR3DSTARTUPDEVICEINFO DeviceOn(int target, DWORD flags = 0) {
  KR3DSTARTUPDEVICEINFO info;
  info.nTarget = target;
  info.nDevice = -1;
  info.nZBufferFormat = -1;
  info.dwFlags = flags;
  return info;
}

// The depth buffer hanging on a surface, or null (the reference is the caller's).
IDirectDrawSurface4* AttachedDepthBuffer(IDirectDrawSurface4* surface) {
  DDSCAPS2 caps;
  memset(&caps, 0, sizeof(caps));
  caps.dwCaps = DDSCAPS_ZBUFFER;
  IDirectDrawSurface4* depth = nullptr;
  if (FAILED(surface->GetAttachedSurface(&caps, &depth))) return nullptr;
  return depth;
}

// Clears colour and depth through a viewport of the caller's own on the
// library's device: only a device whose target carries the depth buffer takes both.
HRESULT ClearTargetAndDepth(IDirect3DDevice3* device) {
  IDirect3D3* direct3D = nullptr;
  KR3DGetDirect3DInterface(&direct3D);
  if (direct3D == nullptr) return E_FAIL;
  IDirect3DViewport3* viewport = nullptr;
  HRESULT result = direct3D->CreateViewport(&viewport, NULL);
  if (SUCCEEDED(result)) result = device->AddViewport(viewport);
  if (SUCCEEDED(result)) {
    D3DVIEWPORT2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwWidth = kClientWidth;
    desc.dwHeight = kClientHeight;
    desc.dvClipX = -1.0f;
    desc.dvClipY = 1.0f;
    desc.dvClipWidth = 2.0f;
    desc.dvClipHeight = 2.0f;
    desc.dvMaxZ = 1.0f;
    result = viewport->SetViewport2(&desc);
  }
  if (SUCCEEDED(result)) {
    D3DRECT rect = {{0}, {0}, {kClientWidth}, {kClientHeight}};
    result = viewport->Clear2(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  }
  if (viewport) {
    device->DeleteViewport(viewport);
    viewport->Release();
  }
  direct3D->Release();
  return result;
}

class Render3DOnWindows : public Render3DWineTest {
 protected:
  static void Surfaces(IDirectDrawSurface4** primary, IDirectDrawSurface4** back) {
    KRVideoGetDirectDrawSurfaceInterface(primary, back);
  }
};

TEST_F(Render3DOnWindows, WineListsAHardwareDeviceItsDepthFormatsAndTextureFormats) {
  StartUpTo3D();
  int count = KR3DGetDeviceCount();
  ASSERT_GE(count, 1);
  int automatic = KR3DGetAutoDetectedDevice();
  ASSERT_GE(automatic, 0);
  ASSERT_LT(automatic, count);
  KR3DDEVICEINFO device;
  memset(&device, 0, sizeof(device));
  KR3DGetDeviceInfo(&device, automatic);
  EXPECT_EQ(device.bHardware, 1);
  EXPECT_GT(strlen(device.szName), 0u);
  EXPECT_LT(strlen(device.szName), sizeof(device.szName));

  int formats = KR3DGetZBufferFormatCount(-1);
  ASSERT_GE(formats, 1);
  int automaticFormat = KR3DGetAutoDetectedZBufferFormat(-1);
  ASSERT_GE(automaticFormat, 0);
  ASSERT_LT(automaticFormat, formats);
  for (int i = 0; i < formats; ++i) {
    KR3DZBUFFERFORMATINFO format;
    memset(&format, 0, sizeof(format));
    KR3DGetZBufferFormatInfo(&format, i);
    char expected[32];
    snprintf(expected, sizeof(expected), "%d BITS", static_cast<int>(format.dwBitDepth));
    EXPECT_STREQ(format.szName, expected);
    EXPECT_GT(format.dwBitDepth, 0u);
  }

  // Texture formats belong to a started device.
  EXPECT_EQ(KR3DGetTextureFormatCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3103u);
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_BACK);
  ASSERT_EQ(KR3DStartupDevice(&info), 1);
  int textureFormats = KR3DGetTextureFormatCount();
  ASSERT_GE(textureFormats, 1);
  bool sawRgb565 = false;
  for (int i = 0; i < textureFormats; ++i) {
    KR3DCORETEXTUREFORMATINFO format;
    memset(&format, 0, sizeof(format));
    KR3DCoreGetTextureFormatInfo(&format, i);
    EXPECT_EQ(format.dwBitCount, format.ddpf.dwRGBBitCount);
    char prefix[16];
    snprintf(prefix, sizeof(prefix), "%2d BITS ", static_cast<int>(format.dwBitCount));
    EXPECT_EQ(std::string(format.szName).compare(0, strlen(prefix), prefix), 0) << format.szName;
    if (strcmp(format.szName, "16 BITS RGB  565 ") == 0) {
      sawRgb565 = true;
      EXPECT_EQ(format.dwRedShift, 11u);
      EXPECT_EQ(format.dwGreenMax, 63u);
    }
  }
  EXPECT_TRUE(sawRgb565);
  KR3DCleanupDevice();
  KR3DCleanup();
}

// The platform difference the device start-up works around.
TEST_F(Render3DOnWindows, WineHangsADepthBufferOnOneSurfaceOnly) {
  StartUpTo3D();
  IDirectDraw4* directDraw = nullptr;
  KRVideoGetDirectDrawInterface(&directDraw);
  ASSERT_NE(directDraw, nullptr);
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  Surfaces(&primary, &back);

  // A depth buffer of the format the device start-up would choose.
  KR3DZBUFFERFORMATINFO depthInfo;
  memset(&depthInfo, 0, sizeof(depthInfo));
  KR3DGetZBufferFormatInfo(&depthInfo, KR3DGetAutoDetectedZBufferFormat(-1));
  ASSERT_GT(depthInfo.dwBitDepth, 0u);
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = kClientWidth;
  desc.dwHeight = kClientHeight;
  desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
  desc.ddpfPixelFormat.dwZBufferBitDepth = depthInfo.dwBitDepth;
  desc.ddpfPixelFormat.dwZBitMask = depthInfo.dwBitDepth >= 32 ? 0xFFFFFFFFu : (1u << depthInfo.dwBitDepth) - 1;
  IDirectDrawSurface4* depth = nullptr;
  ASSERT_EQ(directDraw->CreateSurface(&desc, &depth, NULL), DD_OK);

  EXPECT_EQ(primary->AddAttachedSurface(depth), DD_OK);
  EXPECT_EQ(back->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED);
  EXPECT_EQ(primary->DeleteAttachedSurface(0, depth), DD_OK);
  EXPECT_EQ(back->AddAttachedSurface(depth), DD_OK);
  EXPECT_EQ(back->DeleteAttachedSurface(0, depth), DD_OK);

  depth->Release();
  back->Release();
  primary->Release();
  directDraw->Release();
  KR3DCleanup();
}

TEST_F(Render3DOnWindows, DeviceOnTheBackBufferCarriesTheDepthBuffer) {
  StartUpTo3D();
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_BACK);
  ASSERT_EQ(KR3DStartupDevice(&info), 1) << KRErrorGetLastError();

  IDirect3DDevice3* device = nullptr;
  KR3DGetDirect3DDeviceInterface(&device);
  ASSERT_NE(device, nullptr);
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  Surfaces(&primary, &back);
  ASSERT_NE(back, nullptr);

  // Wine lets the depth buffer hang on one surface only: it must be the device's.
  IDirectDrawSurface4* depth = AttachedDepthBuffer(back);
  ASSERT_NE(depth, nullptr);
  depth->Release();
  EXPECT_EQ(AttachedDepthBuffer(primary), nullptr);
  IDirectDrawSurface4* target = nullptr;
  ASSERT_EQ(device->GetRenderTarget(&target), DD_OK);
  EXPECT_TRUE(target == back);
  target->Release();
  EXPECT_EQ(ClearTargetAndDepth(device), D3D_OK);

  // A second start-up without clean-up is refused.
  EXPECT_EQ(KR3DStartupDevice(&info), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3102u);

  back->Release();
  primary->Release();
  device->Release();
  KR3DCleanupDevice();
  KR3DCleanup();
}

TEST_F(Render3DOnWindows, DeviceOnThePrimarySurfaceKeepsTheDepthBufferThere) {
  StartUpTo3D();
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_PRIMARY);
  ASSERT_EQ(KR3DStartupDevice(&info), 1) << KRErrorGetLastError();
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  Surfaces(&primary, &back);
  IDirectDrawSurface4* depth = AttachedDepthBuffer(primary);
  EXPECT_NE(depth, nullptr);
  if (depth) depth->Release();
  EXPECT_EQ(AttachedDepthBuffer(back), nullptr);
  back->Release();
  primary->Release();
  KR3DCleanup();
}

TEST_F(Render3DOnWindows, DeviceWithoutDepthBufferHasNoneAttached) {
  StartUpTo3D();
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_BACK, KR3DSTARTUPDEVICE_NOZBUFFER);
  ASSERT_EQ(KR3DStartupDevice(&info), 1) << KRErrorGetLastError();
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  Surfaces(&primary, &back);
  EXPECT_EQ(AttachedDepthBuffer(back), nullptr);
  EXPECT_EQ(AttachedDepthBuffer(primary), nullptr);
  IDirect3DDevice3* device = nullptr;
  KR3DGetDirect3DDeviceInterface(&device);
  ASSERT_NE(device, nullptr);
  EXPECT_NE(ClearTargetAndDepth(device), D3D_OK);
  device->Release();
  back->Release();
  primary->Release();
  KR3DCleanupDevice();
  KR3DCleanup();
}

TEST_F(Render3DOnWindows, CleanedUpDeviceStartsAgainOnTheSameMode) {
  StartUpTo3D();
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_BACK);
  ASSERT_EQ(KR3DStartupDevice(&info), 1);
  KR3DCleanupDevice();
  IDirect3DDevice3* device = reinterpret_cast<IDirect3DDevice3*>(1);
  KR3DGetDirect3DDeviceInterface(&device);
  EXPECT_EQ(device, nullptr);

  ASSERT_EQ(KR3DStartupDevice(&info), 1) << KRErrorGetLastError();
  KR3DGetDirect3DDeviceInterface(&device);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(ClearTargetAndDepth(device), D3D_OK);
  device->Release();
  KR3DCleanupDevice();
  KR3DCleanup();

  // The whole component comes back too.
  ASSERT_EQ(KR3DStartup(), 1);
  ASSERT_EQ(KR3DStartupDevice(&info), 1) << KRErrorGetLastError();
  KR3DCleanup();
}

TEST_F(Render3DOnWindows, SessionLogHasTheLinesInOrderAndNoWarnings) {
  const char* name = "render3d_device_log.txt";
  remove(name);
  StartUpTo3D(KRSTARTUP_DEBUGLOG, name);
  KR3DSTARTUPDEVICEINFO info = DeviceOn(KR2D_BUFFER_BACK);
  ASSERT_EQ(KR3DStartupDevice(&info), 1);
  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();

  std::string log = winsupport::ReadFileBytes(name);
  const std::string expectedInOrder[] = {
      "KR3D : Startup\r\n",
      "KR3D : QueryInterface(IID_IDirect3D3)\r\n",
      "KR3D : StartupDevice\r\n",
      "KR3D : Create Z-buffer surface on ",
      "KR3D : Create device\r\n",
      "KR3D : Create default viewport\r\n",
      "KR3D : Release Direct3DDevice2\r\n",
      "KR3D : Cleanup\r\n",
      "KR3D : Release Direct3D2\r\n",
  };
  size_t position = 0;
  for (const std::string& line : expectedInOrder) {
    size_t found = log.find(line, position);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << position << ": " << line << "\n" << log;
    position = found + line.size();
  }
  EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
  EXPECT_EQ(log.find("Warining"), std::string::npos) << log;
  remove(name);
}

}  // namespace
