// What the simulated Direct3D's tests share: the DirectDraw fixture, and the
// steps the library takes to get Direct3D, a render target with its depth
// buffer, a device and a viewport.
#ifndef KR_TESTS_SIM_D3D_FIXTURE_H
#define KR_TESTS_SIM_D3D_FIXTURE_H

#include <d3d.h>

#include "tests/platform/sim_ddraw_fixture.h"

namespace d3d_test {

using ddraw_test::kOffscreenLocal;
using ddraw_test::kOffscreenSystem;

constexpr DWORD kTargetLocal = kOffscreenLocal | DDSCAPS_3DDEVICE;
constexpr DWORD kTargetSystem = kOffscreenSystem | DDSCAPS_3DDEVICE;

inline D3DMATRIX Identity() {
  D3DMATRIX matrix = {};
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
  return matrix;
}

class SimDirect3DTest : public ddraw_test::SimDirectDrawTest {
 protected:
  IDirect3D3* Direct3D(IDirectDraw4* directDraw) {
    IDirect3D3* direct3D = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D)), S_OK);
    return Keep(direct3D);
  }

  IDirectDrawSurface4* DepthBuffer(IDirectDraw4* directDraw, int width, int height, DWORD memory) {
    return Formatted(directDraw, DDSCAPS_ZBUFFER | memory, width, height, sim::DepthFormat(16));
  }

  IDirect3DDevice3* Device(IDirect3D3* direct3D, REFCLSID type, IDirectDrawSurface4* target) {
    IDirect3DDevice3* device = nullptr;
    EXPECT_EQ(direct3D->CreateDevice(type, target, &device, nullptr), D3D_OK);
    return Keep(device);
  }

  // Created, added to the device and given the rectangle.
  IDirect3DViewport3* Viewport(IDirect3D3* direct3D, IDirect3DDevice3* device, DWORD x, DWORD y, DWORD width,
                               DWORD height) {
    IDirect3DViewport3* viewport = nullptr;
    EXPECT_EQ(direct3D->CreateViewport(&viewport, nullptr), D3D_OK);
    Keep(viewport);
    EXPECT_EQ(device->AddViewport(viewport), D3D_OK);
    D3DVIEWPORT2 data = {};
    data.dwSize = sizeof data;
    data.dwX = x;
    data.dwY = y;
    data.dwWidth = width;
    data.dwHeight = height;
    data.dvClipX = -1.0f;
    data.dvClipY = 1.0f;
    data.dvClipWidth = data.dvClipHeight = 2.0f;
    data.dvMaxZ = 1.0f;
    EXPECT_EQ(viewport->SetViewport2(&data), D3D_OK);
    return viewport;
  }

  // A frame ready to draw as the library sets one up: a hardware device on a
  // 64x32 target in display memory with a depth buffer, a viewport over all
  // of it made current.
  struct Frame {
    IDirectDraw4* directDraw;
    IDirect3D3* direct3D;
    IDirectDrawSurface4* target;
    IDirectDrawSurface4* depth;
    IDirect3DDevice3* device;
    IDirect3DViewport3* viewport;
  };
  Frame OpenFrame() {
    Frame frame = {};
    frame.directDraw = OpenWindowed();
    frame.direct3D = Direct3D(frame.directDraw);
    frame.target = Offscreen(frame.directDraw, 64, 32, kTargetLocal);
    frame.depth = DepthBuffer(frame.directDraw, 64, 32, DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(frame.target->AddAttachedSurface(frame.depth), DD_OK);
    frame.device = Device(frame.direct3D, IID_IDirect3DHALDevice, frame.target);
    frame.viewport = Viewport(frame.direct3D, frame.device, 0, 0, 64, 32);
    EXPECT_EQ(frame.device->SetCurrentViewport(frame.viewport), D3D_OK);
    return frame;
  }
};

}  // namespace d3d_test

#endif
