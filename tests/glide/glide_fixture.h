// Shared by Ondrel's host tests: the game's window made active, an ONDREL.INI
// in the system directory (window mode, no splash), and a screen open on it.
#ifndef KR_TESTS_GLIDE_GLIDE_FIXTURE_H
#define KR_TESTS_GLIDE_GLIDE_FIXTURE_H

#include <glide.h>

#include <string>
#include <vector>

#include "glide/glide_state.h"
#include "platform/sim/d3d_control.h"
#include "render3d/render3d_state.h"
#include "video/video_fixture.h"

class GlideTest : public VideoTest {
 protected:
  static constexpr const char* kIniPath = "C:\\WINDOWS\\SYSTEM\\ONDREL.INI";
  static constexpr const char* kWindowMode = "[Video]\n16BPP=0\n[Splash]\nNoSplash=1\n";

  void SetUp() override {
    KRTest::SetUp();
    window_ = sim::CreateTestWindow();
    sim::SetActiveWindowForTest(window_);
    WriteIni(kWindowMode);
  }

  void TearDown() override {
    if (g_glide.windowOpen) grSstWinClose();
    VideoTest::TearDown();
  }

  static void WriteIni(const std::string& text) { sim::WriteWholeFile(kIniPath, text); }

  // grGlideInit and a window-mode screen; the record and log start empty after it.
  void Open(GrScreenResolution_t resolution = GR_RESOLUTION_640x480, GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT,
            int auxBuffers = 1, GrColorFormat_t colorFormat = GR_COLORFORMAT_ARGB) {
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(0, resolution, 0, colorFormat, origin, 2, auxBuffers), FXTRUE) << sim::DebugOutput();
    Forget();
  }

  // The default screen, the log and the record kept; with grGlideInit first.
  static FxBool OpenScreen() {
    return grSstWinOpen(0, GR_RESOLUTION_640x480, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
  }
  static FxBool InitAndOpen() {
    grGlideInit();
    return OpenScreen();
  }

  static void Forget() {
    sim::ClearCalls();
    sim::ClearDebugOutput();
    sim::ClearDirect3DRecord();
  }

  static IDirect3DDevice3* Device() { return g_glide.d3dDevice; }
  static DWORD RenderState(D3DRENDERSTATETYPE state) { return sim::Direct3DRenderState(Device(), state); }
  static DWORD StageState(D3DTEXTURESTAGESTATETYPE state) {
    return sim::Direct3DTextureStageState(Device(), 0, state);
  }

  // The last draw the device accepted and its vertices.
  static sim::Direct3DDraw LastDraw() {
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    EXPECT_FALSE(draws.empty());
    return draws.empty() ? sim::Direct3DDraw{} : draws.back();
  }
  static std::vector<D3DTLVERTEX> LastVertices() { return LastDraw().Vertices<D3DTLVERTEX>(); }

  // The default viewport's rectangle as {x, y, width, height}.
  static std::vector<DWORD> ViewportRect() {
    sim::Direct3DViewportInfo info = sim::DescribeDirect3DViewport(g_kr3D.lpViewports[0].lpViewport);
    return {info.data.dwX, info.data.dwY, info.data.dwWidth, info.data.dwHeight};
  }

  // Whether the devices answer that they w-buffer (the boot devices do not, as under Wine).
  static void SetWBuffering(bool on) {
    std::vector<sim::Direct3DDeviceType> devices = sim::Direct3DDevices();
    for (sim::Direct3DDeviceType& device : devices) {
      for (D3DDEVICEDESC* desc : {&device.hardware, &device.software}) {
        desc->dpcTriCaps.dwRasterCaps = on ? D3DPRASTERCAPS_WBUFFER : 0;
      }
    }
    sim::SetDirect3DDevices(devices);
  }

  // Every device offers exactly these texture formats.
  static void SetTextureFormats(const std::vector<DDPIXELFORMAT>& formats) {
    std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
    for (sim::Direct3DDeviceType& device : devices) device.textureFormats = formats;
    sim::SetDirect3DDevices(devices);
  }

  static std::string Indented(const std::string& line) { return std::string(14, ' ') + line; }

  static GrVertex Vertex(float x, float y) {
    GrVertex v = {};
    v.x = x;
    v.y = y;
    v.oow = 1.0f;
    return v;
  }
};

#endif
