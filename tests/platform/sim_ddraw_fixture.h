// What the simulated DirectDraw's tests share: a booted machine with COM
// initialised, the few steps the library takes to get an object and surfaces,
// and at the end the check that nothing was left behind.
#ifndef KR_TESTS_SIM_DDRAW_FIXTURE_H
#define KR_TESTS_SIM_DDRAW_FIXTURE_H

#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/d3d_control.h"
#include "platform/sim/ddraw_control.h"
#include "support/leak_check.h"

namespace ddraw_test {

constexpr DWORD kOffscreenLocal = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
constexpr DWORD kOffscreenSystem = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
constexpr DWORD kPrimaryLocal = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
constexpr DWORD kFlipping = DDSCAPS_FLIP | DDSCAPS_COMPLEX;
constexpr DWORD kFullScreen = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;

inline DDSURFACEDESC2 Desc(DWORD flags, DWORD caps) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = flags;
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

// A surface of that size in the given pixel format.
inline DDSURFACEDESC2 FormatDesc(DWORD caps, DWORD width, DWORD height, const DDPIXELFORMAT& format) {
  DDSURFACEDESC2 desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT, caps);
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat = format;
  return desc;
}

// The raw values of `count` pixels along row y from x, to compare as one list.
using Raws = std::vector<uint32_t>;
inline Raws RawRow(IDirectDrawSurface4* surface, int x, int y, int count) {
  Raws row;
  for (int i = 0; i < count; ++i) row.push_back(sim::SurfaceRaw(surface, x + i, y));
  return row;
}

inline RECT Rect(LONG left, LONG top, LONG right, LONG bottom) { return RECT{left, top, right, bottom}; }

class SimDirectDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    leaks_.TakeBaseline();
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
  }

  void TearDown() override {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) (*it)->Release();
    CoUninitialize();
    leaks_.ExpectNothingLeft();
  }

  // A DirectDraw object as the library makes one: IDirectDraw from COM, then
  // IDirectDraw4, initialised on the device of `guid` (null: the primary driver).
  IDirectDraw4* Open(GUID* guid = nullptr) {
    IDirectDraw4* object = Created();
    if (object != nullptr) {
      EXPECT_EQ(object->Initialize(guid), DD_OK);
    }
    return object;
  }

  // The same object not yet initialised.
  static IDirectDraw4* Created() {
    IDirectDraw* first = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectDraw,
                               reinterpret_cast<void**>(&first)),
              S_OK);
    if (first == nullptr) return nullptr;
    IDirectDraw4* object = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&object)), S_OK);
    first->Release();
    return object;
  }

  // Released at the end of the test unless the test releases it itself (then call Forget).
  template <typename Interface>
  Interface* Keep(Interface* object) {
    if (object != nullptr) held_.push_back(object);
    return object;
  }
  void Forget(IUnknown* object) {
    for (auto it = held_.begin(); it != held_.end(); ++it) {
      if (*it == object) {
        held_.erase(it);
        return;
      }
    }
  }

  IDirectDraw4* OpenWindowed(HWND window = nullptr) {
    IDirectDraw4* object = Keep(Open());
    EXPECT_EQ(object->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    return object;
  }

  IDirectDraw4* OpenFullScreen(int width, int height, int bitsPerPixel) {
    IDirectDraw4* object = Keep(Open());
    EXPECT_EQ(object->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), kFullScreen), DD_OK);
    EXPECT_EQ(object->SetDisplayMode(width, height, bitsPerPixel, 0, 0), DD_OK);
    return object;
  }

  HRESULT Offscreen(IDirectDraw4* object, DWORD caps, int width, int height, IDirectDrawSurface4** surface) {
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, caps);
    desc.dwWidth = width;
    desc.dwHeight = height;
    const HRESULT result = object->CreateSurface(&desc, surface, nullptr);
    Keep(*surface);
    return result;
  }

  // A surface of that size in that pixel format.
  IDirectDrawSurface4* Formatted(IDirectDraw4* object, DWORD caps, int width, int height, const DDPIXELFORMAT& format) {
    DDSURFACEDESC2 desc = FormatDesc(caps, width, height, format);
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(object->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return Keep(surface);
  }

  IDirectDrawSurface4* Offscreen(IDirectDraw4* object, int width, int height, DWORD caps = kOffscreenSystem) {
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(Offscreen(object, caps, width, height, &surface), DD_OK);
    return surface;
  }

  HRESULT Primary(IDirectDraw4* object, DWORD caps, int backBuffers, IDirectDrawSurface4** surface) {
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS | (backBuffers ? DDSD_BACKBUFFERCOUNT : 0), caps);
    desc.dwBackBufferCount = backBuffers;
    const HRESULT result = object->CreateSurface(&desc, surface, nullptr);
    Keep(*surface);
    return result;
  }

  IDirectDrawSurface4* BackBufferOf(IDirectDrawSurface4* primary) {
    DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface4* back = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    return Keep(back);
  }

  LeakCheck leaks_;

  static HRESULT Fill(IDirectDrawSurface4* surface, DWORD raw, RECT* rect = nullptr) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = raw;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }

 private:
  std::vector<IUnknown*> held_;
};

}  // namespace ddraw_test

#endif
