// A 3D frame drawn with KORVATHD in window mode: two viewports cleared to two
// colours inside one scene, a triangle of screen-space vertices with a colour at
// each corner, a square textured with a checkerboard bitmap written at run time,
// and a cube from a model file written at run time, textured with the same
// checkerboard, lit by a white light in a green material and filed through the
// render list; over it a row of sprites; the back buffer is saved as a PNG.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/model_image.h"
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

// A cube of side 2 around the origin: four vertices per face with the face's
// normal and the whole texture on each face, two triangles per face.
ModelDescription Cube() {
  ModelDescription m;
  const float faces[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
  for (int f = 0; f < 6; ++f) {
    const float* n = faces[f];
    // Two directions across the face, at right angles to its normal.
    const float a[3] = {n[1] != 0 ? 1.0f : n[2] != 0 ? 1.0f : 0.0f, 0, n[0] != 0 ? 1.0f : 0.0f};
    const float b[3] = {n[1] * a[2] - n[2] * a[1], n[2] * a[0] - n[0] * a[2], n[0] * a[1] - n[1] * a[0]};
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const uint16_t first = static_cast<uint16_t>(m.positions.size() / 3);
    for (const auto& c : corners) {
      for (int k = 0; k < 3; ++k) m.positions.push_back(n[k] + c[0] * a[k] + c[1] * b[k]);
      m.normals.insert(m.normals.end(), n, n + 3);
      m.texUV.push_back((c[0] + 1) / 2);
      m.texUV.push_back((1 - c[1]) / 2);
    }
    const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
    for (uint16_t i : order) m.indices.push_back(static_cast<uint16_t>(first + i));
  }
  return m;
}

// The cube as a model file of ours, read back by the library.
int CreateCubeModel(const char* path) {
  const std::string bytes = ModelBytes(Cube());
  FILE* file = fopen(path, "wb");
  if (!file) return 0;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  fclose(file);
  return written ? KR3DCreateModel(path, KR3DMODEL_INDEXED) : 0;
}

// The camera on -z looking at the origin; the cube turned to show three faces,
// on the right of the screen, lit by whatever lights the default viewport holds.
void FileCube(tagKR3DOBJECT* cube, int* model, int* texture, int* material) {
  D3DVECTOR from = {{0.0f}, {0.0f}, {-4.0f}}, at = {{0.0f}, {0.0f}, {0.0f}}, up = {{0.0f}, {1.0f}, {0.0f}};
  KR3DMATRIX view, projection;
  view.SetView(from, at, up, 0.0f);
  projection.SetProjection(1.0f, 100.0f, 1.5707963f);
  KR3DSetViewMatrix(&view);
  KR3DSetProjectionMatrix(&projection);

  memset(static_cast<void*>(cube), 0, sizeof(*cube));
  cube->dwFlags = KR3DOBJECT_ZBUFFER;
  cube->dwSrcBlend = D3DBLEND_ONE;
  cube->dwDestBlend = D3DBLEND_ZERO;
  cube->dwTextureBlend = D3DTBLEND_MODULATE;
  cube->lpModel = model;
  cube->lpTexture = texture;
  cube->lpMaterial = material;
  cube->frame.matLocal.SetScale(0.8f);
  cube->frame.matLocal.RotateY(0.6f);
  cube->frame.matLocal.RotateX(0.45f);
  cube->frame.matLocal.Translate(3.4f, 0.1f, 0.0f);
  cube->frame.bDirty = 1;
  cube->lpFrame = &cube->frame;
  KR3DClearOrderList();
  KR3DOrderObject(cube);
}

// A 32 x 32 sprite: a ring of light on black, which additive blending lays over the picture.
int CreateRingTexture(const char* path) {
  winsupport::RgbImage image(32, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int dx = 2 * x - 31, dy = 2 * y - 31, r2 = dx * dx + dy * dy;
      const bool ring = r2 > 18 * 18 && r2 < 28 * 28;
      image.At(x, y) = ring ? 0x60C0FF : 0x000000;
    }
  }
  return winsupport::WriteBmp(path, image) ? KR3DCreateTexture(path, -1) : 0;
}

// Seven rings in a row along the bottom, in one draw call, after the frame's scene.
void DrawSpriteRow(int rings) {
  KR3DDRAWSPRITEFAST row[7];
  for (int i = 0; i < 7; ++i) {
    KR3DDRAWSPRITEFAST sprite = {0, 0, 32, 32, 128 + 56 * i, 420};
    row[i] = sprite;
  }
  KR3DDrawSpriteFastBatch(row, 7, rings, 0);
}

// The whole target with its depth, both viewports in their colours, then on the
// default viewport the Gouraud triangle across their border and the textured
// square (clockwise on the screen, so the default culling keeps them), then the
// render list with the cube (its hidden faces go by the depth test).
bool DrawFrame(int left, int right, int texture) {
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
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    KR3DRenderAll();
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
  // White, shining along +z and a little down and to the right, onto the cube's faces.
  D3DLIGHT2 white;
  memset(&white, 0, sizeof(white));
  white.dwSize = sizeof(white);
  white.dltType = D3DLIGHT_DIRECTIONAL;
  white.dcvColor = Colour(1.0f, 1.0f, 1.0f);
  white.dvDirection.x = -0.3f;
  white.dvDirection.y = -0.4f;
  white.dvDirection.z = 0.866f;
  white.dwFlags = D3DLIGHT_ACTIVE;
  int light = KR3DCreateLight(&white);
  KR3DAddLight(light, 0);
  printf("texture %d, material %d, light %d\n", texture, material, light);

  int model = CreateCubeModel("render3d_cube.krm");
  int rings = CreateRingTexture("render3d_ring.bmp");
  printf("model %d, sprite texture %d\n", model, rings);
  tagKR3DOBJECT cube;
  FileCube(&cube, &model, &texture, &material);

  bool drawn = texture && material && light && model && rings && DrawFrame(left, right, texture);
  if (drawn) DrawSpriteRow(rings);
  printf(drawn ? "drew the frame\n" : "could not draw the frame\n");
  KRVideoShow();
  bool saved = winsupport::SaveBackBufferPng(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);

  KR3DDeleteLight(light, 0);
  KR3DReleaseLight(light);
  KR3DReleaseMaterial(material);
  KR3DReleaseTexture(rings);
  KR3DReleaseModel(model);
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
