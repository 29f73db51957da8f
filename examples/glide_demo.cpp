// Our Glide program on glide2x.dll: a textured floor and wall in linear table fog
// behind an alpha-blended pane, the wall's texture from a 3DF file it writes.
// After grBufferSwap it reads the frame through a read lock of the back buffer
// and saves it as a PNG.
#include <windows.h>
#include <ddraw.h>

#include <glide.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "glide_scene.h"
#include "support/main_window.h"
#include "support/png_writer.h"
#include "support/surface_pixels.h"

namespace {

// The back buffer's real pixel format, asked of KORVATHD: Glide is told 5-6-5
// whatever the surface holds.
bool BackBufferFormat(DDPIXELFORMAT* format) {
  IDirectDrawSurface4* front = nullptr;
  IDirectDrawSurface4* back = nullptr;
  KRVideoGetDirectDrawSurfaceInterface(&front, &back);
  const bool known = back != nullptr && winsupport::SurfaceFormat(back, format);
  if (front != nullptr) front->Release();
  if (back != nullptr) back->Release();
  return known;
}

// The frame through a read lock of the back buffer, converted by that format.
bool ReadFrame(winsupport::RgbImage* image) {
  DDPIXELFORMAT format;
  if (!BackBufferFormat(&format)) return false;
  GrLfbInfo_t info;
  std::memset(&info, 0, sizeof info);
  info.size = sizeof info;
  if (!grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info)) {
    return false;
  }
  const size_t bytes = format.dwRGBBitCount / 8;
  *image = winsupport::RgbImage(640, 480);
  for (int y = 0; y < image->height; ++y) {
    const unsigned char* row = static_cast<const unsigned char*>(info.lfbPtr) + size_t(y) * info.strideInBytes;
    for (int x = 0; x < image->width; ++x) {
      uint32_t raw = 0;
      std::memcpy(&raw, row + size_t(x) * bytes, bytes);
      image->At(x, y) = winsupport::RgbOfRaw(format, raw);
    }
  }
  grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = argc > 1 ? argv[1] : "glide_demo.png";
  HWND window = winsupport::CreateMainWindow(640, 480, "Glide demo");
  if (window == nullptr) return 1;
  SetActiveWindow(window);
  grGlideInit();
  GrHwConfiguration board;
  grSstQueryHardware(&board);
  char version[80];
  grGlideGetVersion(version);
  printf("%s, %d board(s)\n", version, static_cast<int>(board.num_sst));
  if (!grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480, 0,
                    GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1)) {
    printf("grSstWinOpen failed\n");
    grGlideShutdown();
    return 1;
  }
  if (!glidescene::SetUpScene()) {
    printf("could not load bricks.3df\n");
    grGlideShutdown();
    return 1;
  }
  const std::vector<glidescene::SceneQuad> quads = glidescene::SceneQuads();
  int triangles = 0;
  for (int frame = 0; frame < 2; ++frame) {
    grBufferClear(0x00708090, 0, 0xFFFF);
    triangles = glidescene::DrawScene(quads);
    grBufferSwap(1);
  }
  printf("%d triangles per frame\n", triangles);
  winsupport::RgbImage frame;
  const bool saved = ReadFrame(&frame) && winsupport::WritePng(pngPath, frame);
  printf(saved ? "saved the frame read through the frame buffer as %s\n" : "could not save %s\n", pngPath);
  grSstWinClose();
  grGlideShutdown();
  winsupport::DestroyMainWindow(window);
  return saved ? 0 : 1;
}
