// A 3D frame drawn with KORVATHD in window mode: two viewports cleared to two
// colours inside one scene, a triangle of screen-space vertices with a colour at
// each corner drawn on the library's Direct3D device, and the back buffer saved
// as a PNG.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

D3DTLVERTEX ScreenVertex(float x, float y, D3DCOLOR colour) {
  D3DTLVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.sx = x;
  vertex.sy = y;
  vertex.sz = 0.5f;
  vertex.rhw = 1.0f;
  vertex.color = colour;
  return vertex;
}

// The whole target with its depth, both viewports in their colours, then the
// triangle across their border on the default viewport. Clockwise on the
// screen, so the default culling keeps it.
bool DrawFrame(int left, int right) {
  if (!KR3DBeginRender(0)) return false;
  KR3DClear(0xFF101010, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
  KR3DClear(0xFF183060, 1.0f, D3DCLEAR_TARGET, left);
  KR3DClear(0xFF604018, 1.0f, D3DCLEAR_TARGET, right);
  D3DTLVERTEX triangle[3] = {ScreenVertex(320.0f, 90.0f, 0xFFFF4040),
                             ScreenVertex(500.0f, 390.0f, 0xFF40FF40),
                             ScreenVertex(140.0f, 390.0f, 0xFF4060FF)};
  IDirect3DDevice3* device = NULL;
  KR3DGetDirect3DDeviceInterface(&device);
  HRESULT drawn = E_FAIL;
  if (device) {
    drawn = device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangle, 3, 0);
    device->Release();
  }
  return KR3DEndRender() && SUCCEEDED(drawn);
}

bool SaveBackBuffer(const char* path) {
  IDirectDrawSurface4* primary = NULL;
  IDirectDrawSurface4* back = NULL;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  bool saved = back != NULL && winsupport::WriteSurfacePng(back, path);
  if (back) back->Release();
  if (primary) primary->Release();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = argc > 1 ? argv[1] : "render3d_demo.png";
  HWND window = winsupport::CreateMainWindow(kWidth, kHeight, "KORVATHD 3D demo");
  KRSTARTUPINFO info = winsupport::StartupInfo(window, KRSTARTUP_DEBUGLOG, "krdebug3d.txt");
  KRStartup(&info);

  if (!KRVideoStartup(0) || !KR2DStartup() || !KRVideoSetVideoMode(kWidth, kHeight, 0) || !KR3DStartup()) {
    printf("could not start video, 2D and 3D (last error 0x%04lx)\n", KRErrorGetLastError());
    KRCleanup();
    return 1;
  }
  KR3DSTARTUPDEVICEINFO deviceInfo = {KR2D_BUFFER_BACK, -1, -1, 0};
  if (!KR3DStartupDevice(&deviceInfo)) {
    printf("could not start the 3D device (last error 0x%04lx)\n", KRErrorGetLastError());
    KRCleanup();
    return 1;
  }
  KR3DDEVICEINFO device;
  memset(&device, 0, sizeof(device));
  KR3DGetDeviceInfo(&device, KR3DGetAutoDetectedDevice());
  printf("3D device: %s (%s)\n", device.szName, device.bHardware ? "hardware" : "software");

  // The left and the right half of the screen, each with a margin.
  int left = KR3DCreateViewport(-0.95f, -0.9f, -0.02f, 0.9f);
  int right = KR3DCreateViewport(0.02f, -0.9f, 0.95f, 0.9f);
  printf("viewports: %d and %d\n", left, right);

  bool drawn = DrawFrame(left, right);
  printf(drawn ? "drew the frame\n" : "could not draw the frame\n");
  KRVideoShow();
  bool saved = SaveBackBuffer(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);

  KR3DReleaseViewport(right);
  KR3DReleaseViewport(left);
  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();
  winsupport::DestroyMainWindow(window);
  return drawn && saved ? 0 : 1;
}
