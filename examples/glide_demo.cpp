// Our Glide program on glide2x.dll: a textured floor and wall in linear table fog
// behind an alpha-blended pane. After grBufferSwap it reads the back buffer
// through KORVATHD's getter and saves it as a PNG.
#include <windows.h>

#include <glide.h>
#include <korvathd.h>

#include <cstdio>

#include "glide_scene.h"
#include "support/library_calls.h"
#include "support/main_window.h"

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
  glidescene::SetUpScene();
  const std::vector<glidescene::SceneQuad> quads = glidescene::SceneQuads();
  int triangles = 0;
  for (int frame = 0; frame < 2; ++frame) {
    grBufferClear(0x00708090, 0, 0xFFFF);
    triangles = glidescene::DrawScene(quads);
    grBufferSwap(1);
  }
  printf("%d triangles per frame\n", triangles);
  const bool saved = winsupport::SaveBackBufferPng(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);
  grSstWinClose();
  grGlideShutdown();
  winsupport::DestroyMainWindow(window);
  return saved ? 0 : 1;
}
