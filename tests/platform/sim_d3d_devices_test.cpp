// The simulated Direct3D object and its devices: one Direct3D per DirectDraw
// object, the configured device list and formats, what CreateDevice refuses,
// what a device holds, and where a depth buffer may hang.
#include <string>
#include <vector>

#include "tests/platform/sim_d3d_fixture.h"

namespace {

using d3d_test::kOffscreenLocal;
using d3d_test::kTargetLocal;
using d3d_test::kTargetSystem;

class SimDirect3DDevices : public d3d_test::SimDirect3DTest {};

struct Listed {
  std::vector<std::string> names;
  std::vector<DWORD> hardwareModels;
  int stopAfter = 0;
};

HRESULT CALLBACK ListDevice(GUID*, LPSTR, LPSTR name, LPD3DDEVICEDESC hardware, LPD3DDEVICEDESC, LPVOID context) {
  auto* listed = static_cast<Listed*>(context);
  listed->names.push_back(name);
  listed->hardwareModels.push_back(hardware->dcmColorModel);
  return static_cast<int>(listed->names.size()) == listed->stopAfter ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

HRESULT CALLBACK ListFormat(LPDDPIXELFORMAT format, LPVOID context) {
  static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
  return D3DENUMRET_OK;
}

TEST_F(SimDirect3DDevices, Direct3DIsPartOfItsDirectDrawObjectAndKeepsItAlive) {
  IDirectDraw4* directDraw = Open();
  Keep(directDraw);
  IDirect3D3* direct3D = Direct3D(directDraw);
  IDirect3D3* again = Direct3D(directDraw);
  EXPECT_EQ(again, direct3D) << "one Direct3D per DirectDraw object";
  EXPECT_EQ(sim::Direct3DReferences(direct3D), 2);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 1);

  Forget(directDraw);
  EXPECT_EQ(directDraw->Release(), 1u) << "Direct3D holds it";
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 1);
  Forget(again);
  again->Release();
  Forget(direct3D);
  EXPECT_EQ(direct3D->Release(), 0u);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
}

TEST_F(SimDirect3DDevices, EnumeratesTheConfiguredDevicesAndTheirDepthFormats) {
  IDirect3D3* direct3D = Direct3D(OpenWindowed());
  Listed boot;
  ASSERT_EQ(direct3D->EnumDevices(ListDevice, &boot), D3D_OK);
  EXPECT_EQ(boot.names, (std::vector<std::string>{"RGB Emulation", "Direct3D HAL"}));
  EXPECT_EQ(boot.hardwareModels, (std::vector<DWORD>{0, D3DCOLOR_RGB}));

  sim::Direct3DDeviceType mmx = sim::StandardDirect3DDevices()[0];
  mmx.guid = IID_IDirect3DMMXDevice;
  mmx.name = "MMX Emulation";
  mmx.depthFormats = {sim::DepthFormat(16), sim::DepthFormat(32, 8)};
  std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
  devices.push_back(mmx);
  sim::SetDirect3DDevices(devices);
  Listed stopped;
  stopped.stopAfter = 2;
  direct3D->EnumDevices(ListDevice, &stopped);
  EXPECT_EQ(stopped.names.size(), 2u) << "D3DENUMRET_CANCEL stops the enumeration";

  std::vector<DDPIXELFORMAT> formats;
  ASSERT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3DMMXDevice, ListFormat, &formats), D3D_OK);
  ASSERT_EQ(formats.size(), 2u);
  EXPECT_EQ(formats[1].dwFlags, DWORD(DDPF_ZBUFFER | DDPF_STENCILBUFFER));
  EXPECT_EQ(formats[1].dwZBufferBitDepth, 32u);
  EXPECT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3DRefDevice, ListFormat, &formats), DDERR_INVALIDPARAMS);

  sim::FailNext("IDirect3D3::EnumDevices", DDERR_GENERIC);
  Listed none;
  EXPECT_EQ(direct3D->EnumDevices(ListDevice, &none), DDERR_GENERIC);
  EXPECT_TRUE(none.names.empty());
}

TEST_F(SimDirect3DDevices, CreateDeviceRefusesTargetsAndDepthBuffersTheDeviceCannotUse) {
  IDirectDraw4* directDraw = OpenWindowed();
  IDirect3D3* direct3D = Direct3D(directDraw);
  IDirect3DDevice3* device = nullptr;
  IDirectDrawSurface4* plain = Offscreen(directDraw, 32, 16, kOffscreenLocal);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, plain, &device, nullptr), DDERR_INVALIDCAPS);
  IDirectDrawSurface4* system = Offscreen(directDraw, 32, 16, kTargetSystem);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, system, &device, nullptr), D3DERR_SURFACENOTINVIDMEM);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRefDevice, system, &device, nullptr), DDERR_INVALIDPARAMS)
      << "no such device";
  EXPECT_EQ(device, nullptr);
  Device(direct3D, IID_IDirect3DRGBDevice, system);

  // A hardware device wants its depth buffer in display memory, a software one in system memory.
  IDirectDrawSurface4* local = Offscreen(directDraw, 32, 16, kTargetLocal);
  ASSERT_EQ(local->AddAttachedSurface(DepthBuffer(directDraw, 32, 16, DDSCAPS_SYSTEMMEMORY)), DD_OK);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, local, &device, nullptr), D3DERR_ZBUFF_NEEDS_VIDEOMEMORY);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, local, &device, nullptr), D3D_OK);
  Keep(device);
  IDirectDrawSurface4* withVideoDepth = Offscreen(directDraw, 32, 16, kTargetSystem);
  ASSERT_EQ(withVideoDepth->AddAttachedSurface(DepthBuffer(directDraw, 32, 16, DDSCAPS_VIDEOMEMORY)), DD_OK);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, withVideoDepth, &device, nullptr),
            D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY);

  sim::MarkSurfaceLost(local);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, local, &device, nullptr), DDERR_SURFACELOST);
  sim::FailNext("IDirect3D3::CreateDevice", D3DERR_INVALID_DEVICE);
  EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, system, &device, nullptr), D3DERR_INVALID_DEVICE);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 2);
}

TEST_F(SimDirect3DDevices, ADeviceHoldsItsTargetItsDepthBufferAndDirect3D) {
  IDirectDraw4* directDraw = OpenWindowed();
  IDirect3D3* direct3D = Direct3D(directDraw);
  IDirectDrawSurface4* target = Offscreen(directDraw, 64, 32, kTargetLocal);
  IDirectDrawSurface4* depth = DepthBuffer(directDraw, 64, 32, DDSCAPS_VIDEOMEMORY);
  ASSERT_EQ(target->AddAttachedSurface(depth), DD_OK);
  const int surfacesBefore = sim::LiveSurfaces() - 2;
  IDirect3DDevice3* device = nullptr;
  ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &device, nullptr), D3D_OK);

  const sim::Direct3DDeviceInfo info = sim::DescribeDirect3DDevice(device);
  EXPECT_TRUE(info.hardware);
  EXPECT_EQ(info.target, target);
  EXPECT_EQ(info.depthBuffer, depth) << "the target's attached depth buffer";
  EXPECT_EQ(sim::DescribeSurface(target).references, 2);
  EXPECT_EQ(sim::Direct3DRenderState(device, D3DRENDERSTATE_ZENABLE), DWORD(D3DZB_TRUE));

  // The library may let go of everything but the device, which goes on working.
  for (IUnknown* object : {static_cast<IUnknown*>(depth), static_cast<IUnknown*>(target),
                           static_cast<IUnknown*>(direct3D)}) {
    Forget(object);
    object->Release();
  }
  IDirectDrawSurface4* current = nullptr;
  ASSERT_EQ(device->GetRenderTarget(&current), D3D_OK);
  EXPECT_EQ(current, target);
  current->Release();
  IDirect3D3* owner = nullptr;
  ASSERT_EQ(device->GetDirect3D(&owner), D3D_OK);
  EXPECT_EQ(owner, direct3D);
  owner->Release();
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(sim::LiveSurfaces(), surfacesBefore);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
}

TEST_F(SimDirect3DDevices, ADepthBufferHangsOnOneSurfaceUnlessTheMachineAllowsSeveral) {
  IDirectDraw4* directDraw = OpenWindowed();
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(directDraw, DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE, 0, &primary), DD_OK);
  IDirectDrawSurface4* back = Offscreen(directDraw, 64, 32, kTargetLocal);
  IDirectDrawSurface4* depth = DepthBuffer(directDraw, 64, 32, DDSCAPS_VIDEOMEMORY);
  EXPECT_EQ(primary->AddAttachedSurface(depth), DD_OK) << "a primary surface of any size";
  EXPECT_EQ(back->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED) << "Wine's rule";

  sim::SetDepthBufferAttachment(sim::DepthAttachment::SeveralSurfaces);
  EXPECT_EQ(back->AddAttachedSurface(depth), DD_OK);
  EXPECT_EQ(back->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED) << "twice on one surface";
  IDirectDrawSurface4* smaller = Offscreen(directDraw, 16, 8, kTargetSystem);
  EXPECT_EQ(smaller->AddAttachedSurface(depth), DD_OK) << "3D surfaces of any size, as on Wine";
  IDirectDrawSurface4* plain = Offscreen(directDraw, 64, 32, kOffscreenLocal);
  EXPECT_EQ(plain->AddAttachedSurface(depth), DDERR_CANNOTATTACHSURFACE) << "not 3D-capable";
  EXPECT_EQ(sim::DescribeSurface(depth).references, 4);
}

TEST_F(SimDirect3DDevices, CapsAndTextureFormatsComeFromTheDeviceType) {
  IDirectDraw4* directDraw = OpenWindowed();
  std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
  devices[1].textureFormats = {sim::PaletteFormat(8), sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F)};
  sim::SetDirect3DDevices(devices);
  IDirect3D3* direct3D = Direct3D(directDraw);
  IDirect3DDevice3* device = Device(direct3D, IID_IDirect3DHALDevice, Offscreen(directDraw, 8, 8, kTargetLocal));

  D3DDEVICEDESC hardware = {};
  D3DDEVICEDESC software = {};
  EXPECT_EQ(device->GetCaps(&hardware, &software), DDERR_INVALIDPARAMS) << "sizes not set";
  hardware.dwSize = software.dwSize = sizeof(D3DDEVICEDESC);
  ASSERT_EQ(device->GetCaps(&hardware, &software), D3D_OK);
  EXPECT_EQ(hardware.dcmColorModel, DWORD(D3DCOLOR_RGB));
  EXPECT_EQ(software.dcmColorModel, 0u);
  EXPECT_EQ(hardware.dwDeviceRenderBitDepth, DWORD(DDBD_16 | DDBD_24 | DDBD_32));

  std::vector<DDPIXELFORMAT> formats;
  ASSERT_EQ(device->EnumTextureFormats(ListFormat, &formats), D3D_OK);
  ASSERT_EQ(formats.size(), 2u);
  EXPECT_EQ(formats[0].dwFlags, DWORD(DDPF_RGB | DDPF_PALETTEINDEXED8));
  EXPECT_EQ(formats[1].dwGBitMask, 0x07E0u);
}

}  // namespace
