// A frame drawn with KORVATHD's video and 2D components in window mode:
// colour-keyed sprites from a bitmap of ours and two lines of text, shown in
// the window and saved from the back buffer as a PNG.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"

namespace {

using namespace winsupport;

const int kWidth = 640;
const int kHeight = 480;
const int kTile = 64;

// A sprite sheet of four 64x64 tiles on black, which the sprite blits leave out.
bool WriteSpriteSheet(const char* path) {
  const uint32_t colours[4] = {0xFFC828, 0x50DC78, 0x5AA0FF, 0xF05AC8};
  RgbImage sheet(kTile * 4, kTile);
  for (int tile = 0; tile < 4; ++tile) {
    for (int y = 0; y < kTile; ++y) {
      for (int x = 0; x < kTile; ++x) {
        int dx = x - kTile / 2, dy = y - kTile / 2;
        bool inside = false;
        switch (tile) {
          case 0: inside = dx * dx + dy * dy < 28 * 28; break;                      // disc
          case 1: inside = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) < 28; break;   // diamond
          case 2: inside = dx * dx + dy * dy < 28 * 28 && dx * dx + dy * dy > 16 * 16; break;  // ring
          default: inside = (dx < 0 ? -dx : dx) < 26 && (dy < 0 ? -dy : dy) < 26 && ((x / 8 + y / 8) % 2); break;
        }
        if (inside) sheet.At(tile * kTile + x, y) = colours[tile];
      }
    }
  }
  return WriteBmp(path, sheet);
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = argc > 1 ? argv[1] : "video_demo.png";
  HWND window = CreateMainWindow(kWidth, kHeight, "KORVATHD video demo");

  KRSTARTUPINFO info = StartupInfo(window, KRSTARTUP_DEBUGLOG, "krdebug.txt");
  KRStartup(&info);

  KRVIDEODEVICEINFO device;
  printf("display devices: %d\n", KRVideoGetDeviceCount());
  KRVideoGetDeviceInfo(&device, 0);
  printf("device 0: %s\n", device.szName);
  if (!KRVideoStartup(0) || !KR2DStartup() || !KRVideoSetVideoMode(kWidth, kHeight, 0)) {
    printf("could not set the video mode (last error 0x%04lx)\n", KRErrorGetLastError());
    KRCleanup();
    return 1;
  }
  unsigned long width, height, depth;
  int fullScreen;
  KRVideoGetVideoMode(&width, &height, &depth, &fullScreen);
  printf("video mode: %lux%lux%lu %s\n", width, height, depth, fullScreen ? "full screen" : "window");

  if (!WriteSpriteSheet("sprites.bmp")) printf("could not write sprites.bmp\n");
  int sheet = KR2DCreateBuffer("sprites.bmp");
  printf("sprite sheet: buffer %d\n", sheet);

  KRVideoClear(RGB(24, 32, 72), KR2D_BUFFER_BACK);
  std::vector<KR2DDRAWSPRITE> sprites;
  for (int i = 0; i < 24; ++i) {
    KR2DDRAWSPRITE sprite = {(i % 4) * kTile, 0, kTile, kTile, sheet, 40 + (i % 8) * 72, 150 + (i / 8) * 90};
    sprites.push_back(sprite);
  }
  KR2DDrawSpriteBatch(sprites.data(), static_cast<int>(sprites.size()), KR2D_BUFFER_BACK);

  LOGFONTA font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = 28;
  font.lfWeight = FW_BOLD;
  strcpy(font.lfFaceName, "Tahoma");
  KR2DSetFont(&font, &font);
  KR2DSetTextColor(RGB(255, 255, 255), 0, TRANSPARENT);
  KR2DSetTextAlign(TA_CENTER);
  KR2DTextOut(kWidth / 2, 40, "KORVATHD 0.71 build 655", KR2D_BUFFER_BACK);
  KR2DSetTextColor(RGB(255, 220, 120), 0, TRANSPARENT);
  KR2DTextOut(0.0f, -0.65f, "sprites with a black colour key", KR2D_BUFFER_BACK);

  KRVideoShow();
  bool saved = SaveBackBufferPng(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);

  KR2DReleaseBuffer(sheet);
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();
  DestroyMainWindow(window);
  return saved ? 0 : 1;
}
