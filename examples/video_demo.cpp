// A frame drawn with KORVATHD's video and 2D components in window mode:
// colour-keyed sprites from a bitmap of ours and two lines of text, shown in
// the window and saved from the back buffer as a PNG.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;
const int kTile = 64;

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateDemoWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DemoWindowProc;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "KorvathdVideoDemo";
  RegisterClassA(&windowClass);
  RECT frame = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExA(0, "KorvathdVideoDemo", "KORVATHD video demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                         frame.right - frame.left, frame.bottom - frame.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

// A sprite sheet of four 64x64 tiles on black, which the sprite blits leave out.
void WriteSpriteSheet(const char* path) {
  const int width = kTile * 4, height = kTile;
  const int rowBytes = width * 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * height, 0);
  const uint8_t colours[4][3] = {{255, 200, 40}, {80, 220, 120}, {90, 160, 255}, {240, 90, 200}};
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
        if (!inside) continue;
        // BMP rows are stored bottom-up, pixels as blue, green, red.
        uint8_t* p = &pixels[static_cast<size_t>(height - 1 - y) * rowBytes + (tile * kTile + x) * 3];
        p[0] = colours[tile][2];
        p[1] = colours[tile][1];
        p[2] = colours[tile][0];
      }
    }
  }
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = fopen(path, "wb");
  if (!out) return;
  fwrite(&file, sizeof(file), 1, out);
  fwrite(&info, sizeof(info), 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  fclose(out);
}

int ChannelShift(DWORD mask) {
  int shift = 0;
  while (shift < 32 && !(mask & (1u << shift))) ++shift;
  return shift;
}

// Reads the back buffer through a lock and saves it as a PNG.
bool SaveBackBuffer(const char* path) {
  IDirectDrawSurface4* primary = NULL;
  IDirectDrawSurface4* back = NULL;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  if (!back) return false;
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  bool saved = false;
  if (SUCCEEDED(back->Lock(NULL, &desc, DDLOCK_WAIT | DDLOCK_READONLY, NULL))) {
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    int bytes = static_cast<int>(format.dwRGBBitCount) / 8;
    DWORD masks[3] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
    std::vector<uint8_t> rgb;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
      const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
      for (DWORD x = 0; x < desc.dwWidth; ++x) {
        DWORD value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<DWORD>(row[x * bytes + i]) << (8 * i);
        for (DWORD mask : masks) {
          DWORD field = (value & mask) >> ChannelShift(mask);
          DWORD top = mask >> ChannelShift(mask);
          rgb.push_back(static_cast<uint8_t>(top ? field * 255 / top : 0));
        }
      }
    }
    back->Unlock(NULL);
    saved = WritePng(path, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), rgb);
  }
  back->Release();
  if (primary) primary->Release();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = argc > 1 ? argv[1] : "video_demo.png";
  HWND window = CreateDemoWindow();

  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  info.hWnd = window;
  info.hInstance = GetModuleHandleA(NULL);
  info.dwFlags = KRSTARTUP_DEBUGLOG;
  strcpy(info.szDebugFileName, "krdebug.txt");
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

  WriteSpriteSheet("sprites.bmp");
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
  bool saved = SaveBackBuffer(pngPath);
  printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);

  KR2DReleaseBuffer(sheet);
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();
  DestroyWindow(window);
  return saved ? 0 : 1;
}
