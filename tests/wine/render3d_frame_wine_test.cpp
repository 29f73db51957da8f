// A 3D frame on the real KORVATHD.DLL under Wine's Direct3D: a viewport over
// part of the back buffer cleared inside a scene, a screen-space triangle drawn
// on the library's device, and the pixels read back; the frame calls' refusals.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <korvathd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/library_calls.h"
#include "support/surface_pixels.h"
#include "support/main_window.h"
#include "render3d_wine_fixture.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;

// Signed distance of (px, py) from the edge a->b, positive on the triangle's inner side
// for a triangle wound clockwise on screen.
double EdgeDistance(const D3DTLVERTEX& a, const D3DTLVERTEX& b, double px, double py) {
  double ex = b.sx - a.sx, ey = b.sy - a.sy;
  double length = std::sqrt(ex * ex + ey * ey);
  return ((px - a.sx) * ey - (py - a.sy) * ex) / length * -1.0;
}

// Inside minus margin > 0: well inside; < 0: well outside; near 0: on an edge.
double InsideBy(const D3DTLVERTEX* t, double px, double py) {
  double d = EdgeDistance(t[0], t[1], px, py);
  d = std::min(d, EdgeDistance(t[1], t[2], px, py));
  return std::min(d, EdgeDistance(t[2], t[0], px, py));
}

D3DTLVERTEX ScreenVertex(float x, float y, D3DCOLOR colour) {
  D3DTLVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.sx = x;
  vertex.sy = y;
  vertex.sz = 0.5f;
  vertex.rhw = 1.0f;
  vertex.color = colour;
  vertex.specular = 0;
  return vertex;
}

using Render3DFrameOnWindows = Render3DWineTest;

TEST_F(Render3DFrameOnWindows, ViewportClearAndTriangleLandOnTheBackBufferOnly) {
  const char* logName = "render3d_frame_log.txt";
  remove(logName);
  StartDevice(KRSTARTUP_DEBUGLOG, logName);
  KRVideoClear(RGB(0x80, 0x80, 0x80), KR2D_BUFFER_BACK);
  winsupport::RgbImage before;
  ASSERT_TRUE(winsupport::ReadSurface(back_, &before));

  // The middle quarter: left 160, top 120, 320 x 240.
  int viewport = KR3DCreateViewport(-0.5f, -0.5f, 0.5f, 0.5f);
  ASSERT_EQ(viewport, 1);
  // Channels of 0 and 255 are exact in every pixel format.
  const D3DCOLOR clearColour = 0xFF00FFFF;
  const D3DCOLOR triangleColour = 0xFFFF0000;
  // Clockwise on the screen: the default culling drops counter-clockwise triangles.
  D3DTLVERTEX triangle[3] = {ScreenVertex(320.0f, 150.0f, triangleColour),
                             ScreenVertex(420.0f, 330.0f, triangleColour),
                             ScreenVertex(220.0f, 330.0f, triangleColour)};

  ASSERT_EQ(KR3DBeginRender(viewport), 1);
  KR3DClear(clearColour, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, viewport);
  // Nothing tracks an open scene: the device refuses the nested begin.
  EXPECT_EQ(KR3DBeginRender(viewport), 0);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangle, 3, 0), D3D_OK);
  ASSERT_EQ(KR3DEndRender(), 1);

  winsupport::RgbImage after;
  ASSERT_TRUE(winsupport::ReadSurface(back_, &after));
  ASSERT_EQ(after.width, kClientWidth);
  ASSERT_EQ(after.height, kClientHeight);
  const uint32_t cleared = clearColour & 0xFFFFFF;
  const uint32_t drawn = triangleColour & 0xFFFFFF;
  int outsideChanged = 0, clearWrong = 0, triangleWrong = 0, triangleSeen = 0;
  for (int y = 0; y < after.height; ++y) {
    for (int x = 0; x < after.width; ++x) {
      uint32_t pixel = after.At(x, y);
      if (x < 160 || x >= 480 || y < 120 || y >= 360) {
        if (pixel != before.At(x, y)) ++outsideChanged;
        continue;
      }
      // Pixels within a pixel of an edge may go either way.
      double inside = InsideBy(triangle, x + 0.5, y + 0.5);
      if (inside > 1.0) {
        ++triangleSeen;
        if (winsupport::ColourDistance(pixel, drawn) > 8) ++triangleWrong;
      } else if (inside < -1.0 && pixel != cleared) {
        ++clearWrong;
      }
    }
  }
  EXPECT_EQ(outsideChanged, 0);
  EXPECT_EQ(clearWrong, 0) << "corner pixel 0x" << std::hex << after.At(160, 120);
  EXPECT_GT(triangleSeen, 15000);
  EXPECT_EQ(triangleWrong, 0) << "centre pixel 0x" << std::hex << after.At(320, 270);

  KR3DReleaseViewport(viewport);
  KRCleanup();
  std::string log = winsupport::ReadFileBytes(logName);
  EXPECT_NE(log.find("D3DERR_SCENE_IN_SCENE\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
  remove(logName);
}

TEST_F(Render3DFrameOnWindows, DefaultViewportClearsTheWholeTarget) {
  StartDevice();
  KRVideoClear(RGB(0x80, 0x80, 0x80), KR2D_BUFFER_BACK);
  ASSERT_EQ(KR3DBeginRender(0), 1);
  KR3DClear(0xFFFF00FF, 1.0f, D3DCLEAR_TARGET, 0);
  ASSERT_EQ(KR3DEndRender(), 1);
  winsupport::RgbImage after;
  ASSERT_TRUE(winsupport::ReadSurface(back_, &after));
  int wrong = 0;
  for (uint32_t pixel : after.pixels)
    if (pixel != 0xFF00FF) ++wrong;
  EXPECT_EQ(wrong, 0);
}

TEST_F(Render3DFrameOnWindows, RenderStateWordReachesTheDeviceAtSceneBegin) {
  StartDevice();
  DWORD value = 0;
  // The automatic device is Wine's hardware device: filtering, dithering and perspective.
  ASSERT_EQ(KR3DBeginRender(0), 1);
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_TEXTUREMAG, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DFILTER_LINEAR));
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_DITHERENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_ZENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(KR3DEndRender(), 1);

  // A change waits for the next scene.
  KR3DSetRenderState(KR3D_RENDERSTATE_FILTER | KR3D_RENDERSTATE_DITHER, 0);
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_TEXTUREMAG, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DFILTER_LINEAR));
  ASSERT_EQ(KR3DBeginRender(0), 1);
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_TEXTUREMAG, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DFILTER_NEAREST));
  ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_DITHERENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 0u);
  ASSERT_EQ(KR3DEndRender(), 1);
}

TEST_F(Render3DFrameOnWindows, RenderTargetsAndTransformsOnTheDevice) {
  StartDevice();
  EXPECT_EQ(KR3DSetRenderTarget(KR2D_BUFFER_BACK), 1);
  IDirectDrawSurface4* target = nullptr;
  ASSERT_EQ(device_->GetRenderTarget(&target), DD_OK);
  EXPECT_TRUE(target == back_);
  target->Release();
  // A buffer slot nothing was made in is refused without reaching the device.
  EXPECT_EQ(KR3DSetRenderTarget(7), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3004u);

  KR3DMATRIX view;
  view.SetTranslate(0.0f, 0.0f, 80.0f);
  KR3DSetViewMatrix(&view);
  D3DMATRIX onDevice;
  memset(&onDevice, 0, sizeof(onDevice));
  ASSERT_EQ(device_->GetTransform(D3DTRANSFORMSTATE_VIEW, &onDevice), D3D_OK);
  EXPECT_EQ(onDevice._43, 80.0f);
  EXPECT_EQ(onDevice._11, 1.0f);
}

}  // namespace
