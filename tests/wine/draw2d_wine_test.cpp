// 2D drawing of the real KORVATHD.DLL under Wine: a window-mode 640x480 back
// buffer, a bitmap buffer loaded from a BMP file and drawn as a colour-keyed
// sprite, and GDI text through the font set. Pixels are read back with Lock.
#include <gtest/gtest.h>
#include <korvathd.h>

#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "support/bmp_writer.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/surface_pixels.h"

namespace {

using namespace winsupport;

const int kWidth = 640;
const int kHeight = 480;
const uint32_t kBlack = 0x000000;
const uint32_t kRed = 0xFF0000;
const uint32_t kBlue = 0x0000FF;

class Draw2DOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMainWindow(kWidth, kHeight, "2D");
    ASSERT_NE(window_, nullptr);
    KRSTARTUPINFO info = StartupInfo(window_);
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
    DestroyMainWindow(window_);
  }

  RgbImage ReadBackBuffer() {
    RgbImage image;
    EXPECT_TRUE(ReadSurface(back_, &image));
    return image;
  }

  // Pixels that differ from `background` in a rectangle (right and bottom excluded).
  static int ChangedPixels(const RgbImage& image, uint32_t background, int left, int top, int right, int bottom) {
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (image.At(x, y) != background) ++changed;
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
  RgbImage sprite(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) sprite.At(x, y) = x < 4 ? kBlack : kRed;
  sprite.At(6, 2) = kBlack;
  ASSERT_TRUE(WriteBmp("draw2d_sprite.bmp", sprite));

  int buffer = KR2DCreateBuffer("draw2d_sprite.bmp");
  ASSERT_EQ(buffer, 3);
  KRVideoClear(0x00FF0000, KR2D_BUFFER_BACK);  // blue
  KR2DDrawSprite(0, 0, w, h, buffer, 100, 50, KR2D_BUFFER_BACK);

  RgbImage image = ReadBackBuffer();
  ASSERT_EQ(image.width, kWidth);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      EXPECT_EQ(image.At(100 + x, 50 + y), sprite.At(x, y) == kBlack ? kBlue : kRed) << x << "," << y;
    }
  }
  EXPECT_EQ(image.At(99, 50), kBlue);
  EXPECT_EQ(image.At(108, 50), kBlue);
  EXPECT_EQ(image.At(104, 54), kBlue);
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

  RgbImage image = ReadBackBuffer();
  EXPECT_GT(ChangedPixels(image, kBlack, 100, 200, 100 + size.cx, 200 + size.cy), 20);
  const int margin = 4;
  int outside = ChangedPixels(image, kBlack, 0, 0, kWidth, kHeight) -
                ChangedPixels(image, kBlack, 100 - margin, 200 - margin, 100 + size.cx + margin, 200 + size.cy + margin);
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

  RgbImage image = ReadBackBuffer();
  int left = 320 - size.cx / 2;
  int middle = 100 + size.cy / 2;
  EXPECT_EQ(image.At(left - 1, middle), kBlue);
  EXPECT_NE(image.At(left, middle), kBlue);
  EXPECT_NE(image.At(left + size.cx - 1, middle), kBlue);
  EXPECT_EQ(image.At(left + size.cx, middle), kBlue);
}

}  // namespace
