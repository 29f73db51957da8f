// 2D drawing of the real KORVATHD.DLL under Wine: a window-mode 640x480 back
// buffer, a bitmap buffer loaded from a BMP file and drawn as a colour-keyed
// sprite, and GDI text through the font set. Pixels are read back with Lock.
#include <gtest/gtest.h>
#include <korvathd.h>

#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kWidth = 640;
const int kHeight = 480;

// A 24-bit bottom-up BMP file of `width` x `height` pixels given top row first as 0x00RRGGBB.
void WriteBmp(const char* name, int width, int height, const std::vector<uint32_t>& pixels) {
  int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  memset(&file, 0, sizeof(file));
  memset(&info, 0, sizeof(info));
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  for (int y = height - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(rowBytes), '\0');
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = pixels[static_cast<size_t>(y * width + x)];
      row[static_cast<size_t>(x * 3 + 0)] = static_cast<char>(rgb & 0xFF);
      row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>((rgb >> 8) & 0xFF);
      row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    bytes += row;
  }
  std::ofstream(name, std::ios::binary) << bytes;
}

// A copy of a surface's colour bits (unused bits cleared: Wine sets them) with its pixel format.
struct PixelCopy {
  int width = 0;
  int height = 0;
  DWORD redMask = 0, greenMask = 0, blueMask = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

PixelCopy ReadSurface(IDirectDrawSurface4* surface) {
  PixelCopy copy;
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  HRESULT result = surface->Lock(NULL, &desc, DDLOCK_WAIT | DDLOCK_READONLY, NULL);
  EXPECT_EQ(result, DD_OK);
  if (FAILED(result)) return copy;
  copy.width = static_cast<int>(desc.dwWidth);
  copy.height = static_cast<int>(desc.dwHeight);
  copy.redMask = desc.ddpfPixelFormat.dwRBitMask;
  copy.greenMask = desc.ddpfPixelFormat.dwGBitMask;
  copy.blueMask = desc.ddpfPixelFormat.dwBBitMask;
  int bytesPerPixel = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
  uint32_t colourBits = copy.redMask | copy.greenMask | copy.blueMask;
  copy.pixels.resize(static_cast<size_t>(copy.width * copy.height));
  for (int y = 0; y < copy.height; ++y) {
    const unsigned char* row = static_cast<const unsigned char*>(desc.lpSurface) + y * desc.lPitch;
    for (int x = 0; x < copy.width; ++x) {
      uint32_t value = 0;
      memcpy(&value, row + x * bytesPerPixel, static_cast<size_t>(bytesPerPixel));
      copy.pixels[static_cast<size_t>(y * copy.width + x)] = value & colourBits;
    }
  }
  surface->Unlock(NULL);
  return copy;
}

class Draw2DOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "KRDraw2DTest";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowExA(0, "KRDraw2DTest", "2D", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window_, nullptr);

    KRSTARTUPINFO info;
    memset(&info, 0, sizeof(info));
    info.hWnd = window_;
    info.hInstance = GetModuleHandleA(NULL);
    ASSERT_EQ(KRStartup(&info), 1);
    ASSERT_EQ(KRVideoStartup(0), 1);
    ASSERT_EQ(KR2DStartup(), 1);
    ASSERT_EQ(KRVideoSetVideoMode(kWidth, kHeight, 0), 1);
    IDirectDrawSurface4* primary = NULL;
    KRVideoGetDirectDrawSurfaceInterface(&primary, &back_);
    if (primary) primary->Release();
    ASSERT_NE(back_, nullptr);
  }

  void TearDown() override {
    if (back_) back_->Release();
    KR2DCleanup();
    KRVideoCleanup();
    KRCleanup();
    if (window_) DestroyWindow(window_);
  }

  // Pixels that differ from `background` in a rectangle (right and bottom excluded).
  static int ChangedPixels(const PixelCopy& copy, uint32_t background, int left, int top, int right, int bottom) {
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (copy.At(x, y) != background) ++changed;
      }
    }
    return changed;
  }

  HWND window_ = NULL;
  IDirectDrawSurface4* back_ = NULL;
};

TEST_F(Draw2DOnWindows, SpriteKeepsTheBackBufferUnderItsBlackPixels) {
  // 8x4: the left half black, the right half red, with one black pixel inside the red.
  const int w = 8, h = 4;
  std::vector<uint32_t> sprite(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) sprite[static_cast<size_t>(y * w + x)] = x < 4 ? 0x000000 : 0xFF0000;
  sprite[static_cast<size_t>(2 * w + 6)] = 0x000000;
  WriteBmp("draw2d_sprite.bmp", w, h, sprite);

  int buffer = KR2DCreateBuffer("draw2d_sprite.bmp");
  ASSERT_EQ(buffer, 3);
  KRVideoClear(0x00FF0000, KR2D_BUFFER_BACK);  // blue
  KR2DDrawSprite(0, 0, w, h, buffer, 100, 50, KR2D_BUFFER_BACK);

  PixelCopy copy = ReadSurface(back_);
  ASSERT_EQ(copy.width, kWidth);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool black = sprite[static_cast<size_t>(y * w + x)] == 0;
      EXPECT_EQ(copy.At(100 + x, 50 + y), black ? copy.blueMask : copy.redMask) << x << "," << y;
    }
  }
  EXPECT_EQ(copy.At(99, 50), copy.blueMask);
  EXPECT_EQ(copy.At(108, 50), copy.blueMask);
  EXPECT_EQ(copy.At(104, 54), copy.blueMask);
  KR2DReleaseBuffer(buffer);
  remove("draw2d_sprite.bmp");
}

TEST_F(Draw2DOnWindows, TextChangesPixelsOnlyInsideItsMeasuredBox) {
  LOGFONTA font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = -20;
  font.lfWeight = FW_BOLD;
  strcpy(font.lfFaceName, "Tahoma");
  KR2DSetFont(&font, &font);
  KR2DSetTextColor(0x00FFFFFF, 0, TRANSPARENT);
  KRVideoClear(0, KR2D_BUFFER_BACK);

  const char* text = "Korvath 2D";
  SIZE size = {0, 0};
  ASSERT_EQ(KR2DGetTextExtentPoint32(text, &size, KR2D_BUFFER_BACK), 1);
  ASSERT_GT(size.cx, 20);
  ASSERT_GT(size.cy, 10);
  ASSERT_EQ(KR2DTextOut(100, 200, text, KR2D_BUFFER_BACK), 1);

  // The pen stops where the measured width ends.
  int penX = 0, penY = 0;
  KR2DGetCurrentTextPosition(&penX, &penY);
  EXPECT_EQ(penX, 100 + size.cx);
  EXPECT_EQ(penY, 200);

  PixelCopy copy = ReadSurface(back_);
  EXPECT_GT(ChangedPixels(copy, 0, 100, 200, 100 + size.cx, 200 + size.cy), 20);
  const int margin = 4;
  int outside = ChangedPixels(copy, 0, 0, 0, kWidth, kHeight) -
                ChangedPixels(copy, 0, 100 - margin, 200 - margin, 100 + size.cx + margin, 200 + size.cy + margin);
  EXPECT_EQ(outside, 0);
}

TEST_F(Draw2DOnWindows, CentredTextStartsHalfItsWidthLeftOfX) {
  LOGFONTA font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = -16;
  strcpy(font.lfFaceName, "Tahoma");
  KR2DSetFont(&font, &font);
  KR2DSetTextColor(0x00FFFFFF, 0, OPAQUE);  // the opaque background fills the whole box
  KR2DSetTextAlign(TA_RIGHT);              // centres, like TA_CENTER
  KRVideoClear(0x00FF0000, KR2D_BUFFER_BACK);

  const char* text = "centre";
  SIZE size = {0, 0};
  ASSERT_EQ(KR2DGetTextExtentPoint32(text, &size, KR2D_BUFFER_BACK), 1);
  ASSERT_EQ(KR2DTextOut(320, 100, text, KR2D_BUFFER_BACK), 1);

  PixelCopy copy = ReadSurface(back_);
  int left = 320 - size.cx / 2;
  int middle = 100 + size.cy / 2;
  EXPECT_EQ(copy.At(left - 1, middle), copy.blueMask);
  EXPECT_NE(copy.At(left, middle), copy.blueMask);
  EXPECT_NE(copy.At(left + size.cx - 1, middle), copy.blueMask);
  EXPECT_EQ(copy.At(left + size.cx, middle), copy.blueMask);
}

}  // namespace
