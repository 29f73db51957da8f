// A 3D frame drawn with KORVATHD in window mode: two viewports cleared to two
// colours inside one scene, a triangle of screen-space vertices with a colour at
// each corner, a square textured with a checkerboard bitmap written at run time,
// and a triangle lit by a white light in a green material, all drawn on the
// library's Direct3D device; the back buffer is saved as a PNG.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

D3DTLVERTEX ScreenVertex(float x, float y, D3DCOLOR colour, float u = 0.0f, float v = 0.0f) {
  D3DTLVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.sx = x;
  vertex.sy = y;
  vertex.sz = 0.5f;
  vertex.rhw = 1.0f;
  vertex.color = colour;
  vertex.tu = u;
  vertex.tv = v;
  return vertex;
}

// A model-space vertex facing the viewer, for the lit triangle.
D3DVERTEX ModelVertex(float x, float y) {
  D3DVERTEX vertex;
  memset(&vertex, 0, sizeof(vertex));
  vertex.x = x;
  vertex.y = y;
  vertex.z = 0.5f;
  vertex.nz = -1.0f;
  return vertex;
}

D3DCOLORVALUE Colour(float red, float green, float blue) {
  D3DCOLORVALUE colour = {{red}, {green}, {blue}, {1.0f}};
  return colour;
}

// An 8 x 8 checkerboard of orange and white as a bitmap file, made into a texture.
int CreateCheckerTexture(const char* path) {
  winsupport::RgbImage image(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) image.At(x, y) = (x + y) % 2 ? 0xFFFFFF : 0xFF8000;
  return winsupport::WriteBmp(path, image) ? KR3DCreateTexture(path, -1) : 0;
}

// The square on the left: two triangles, one texel per 20 pixels, nearest texels shown as they are.
HRESULT DrawTexturedSquare(IDirect3DDevice3* device, int texture) {
  IDirect3DTexture2* texels = NULL;
  KR3DGetDirect3DTextureInterface(&texels, texture);  // no reference of ours
  if (!texels) return E_FAIL;
  const float x = 40.0f, y = 160.0f, size = 160.0f;
  const D3DCOLOR white = 0xFFFFFFFF;
  D3DTLVERTEX square[6] = {ScreenVertex(x, y, white, 0, 0),
                           ScreenVertex(x + size, y, white, 1, 0),
                           ScreenVertex(x, y + size, white, 0, 1),
                           ScreenVertex(x + size, y, white, 1, 0),
                           ScreenVertex(x + size, y + size, white, 1, 1),
                           ScreenVertex(x, y + size, white, 0, 1)};
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_NEAREST);
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_NEAREST);
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
  device->SetTexture(0, texels);
  HRESULT drawn = device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, square, 6, 0);
  device->SetTexture(0, NULL);
  return drawn;
}

// The triangle on the right in the material, lit by whatever lights the default
// viewport holds; identity transforms leave its corners in clip space.
HRESULT DrawLitTriangle(IDirect3DDevice3* device, int material) {
  DWORD handle = 0;
  KR3DGetD3DMaterialHandle(&handle, material);
  D3DMATRIX identity;
  memset(&identity, 0, sizeof(identity));
  identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
  device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
  device->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity);
  device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &identity);
  device->SetLightState(D3DLIGHTSTATE_AMBIENT, 0);
  device->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
  D3DVERTEX triangle[3] = {ModelVertex(0.45f, -0.4f), ModelVertex(0.675f, 0.5f), ModelVertex(0.9f, -0.4f)};
  return device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0);
}

// The whole target with its depth, both viewports in their colours, then on the
// default viewport the Gouraud triangle across their border, the textured square
// and the lit triangle. Clockwise on the screen, so the default culling keeps them.
bool DrawFrame(int left, int right, int texture, int material) {
  IDirect3DDevice3* device = NULL;
  KR3DGetDirect3DDeviceInterface(&device);
  if (!device) return false;
  HRESULT drawn = E_FAIL;
  if (KR3DBeginRender(0)) {
    KR3DClear(0xFF101010, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    KR3DClear(0xFF183060, 1.0f, D3DCLEAR_TARGET, left);
    KR3DClear(0xFF604018, 1.0f, D3DCLEAR_TARGET, right);
    D3DTLVERTEX triangle[3] = {ScreenVertex(320.0f, 110.0f, 0xFFFF4040),
                               ScreenVertex(420.0f, 370.0f, 0xFF40FF40),
                               ScreenVertex(220.0f, 370.0f, 0xFF4060FF)};
    drawn = device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangle, 3, 0);
    if (SUCCEEDED(drawn)) drawn = DrawTexturedSquare(device, texture);
    if (SUCCEEDED(drawn)) drawn = DrawLitTriangle(device, material);
    if (!KR3DEndRender()) drawn = E_FAIL;
  }
  device->Release();
  return SUCCEEDED(drawn);
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

  int texture = CreateCheckerTexture("render3d_checker.bmp");
  D3DMATERIAL green;
  memset(&green, 0, sizeof(green));
  green.dwSize = sizeof(green);
  green.diffuse = Colour(0.3f, 1.0f, 0.3f);
  int material = KR3DCreateMaterial(&green);
  // White, shining along +z onto the triangle's face.
  D3DLIGHT2 white;
  memset(&white, 0, sizeof(white));
  white.dwSize = sizeof(white);
  white.dltType = D3DLIGHT_DIRECTIONAL;
  white.dcvColor = Colour(1.0f, 1.0f, 1.0f);
  white.dvDirection.z = 1.0f;
  white.dwFlags = D3DLIGHT_ACTIVE;
  int light = KR3DCreateLight(&white);
  KR3DAddLight(light, 0);
  printf("texture %d, material %d, light %d\n", texture, material, light);

  bool drawn = texture && material && light && DrawFrame(left, right, texture, material);
  printf(drawn ? "drew the frame\n" : "could not draw the frame\n");
  KRVideoShow();
  bool saved = winsupport::SaveBackBufferPng(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);

  KR3DDeleteLight(light, 0);
  KR3DReleaseLight(light);
  KR3DReleaseMaterial(material);
  KR3DReleaseTexture(texture);
  KR3DReleaseViewport(right);
  KR3DReleaseViewport(left);
  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();
  winsupport::DestroyMainWindow(window);
  return drawn && saved ? 0 : 1;
}
