// Channel layouts: colour references to pixel values in 8, 15, 16, 24 and
// 32-bit formats, the layout's picture, and masks that are empty or full.
#include <string>

#include "support/kr_test.h"
#include "video/pixel_format.h"
#include "video/video_state.h"

namespace {

std::string Picture() {
  char picture[33];
  KRVideoGetLayoutPicture(picture);
  return picture;
}

using VideoPixelFormatTest = KRTest;

TEST_F(VideoPixelFormatTest, SixteenBitLayouts) {
  KRVideoSetLayoutFromMasks(0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(Picture(), "RRRRRGGGGGGBBBBB");
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0xFFFFu);
  EXPECT_EQ(KRVideoColorToPixel(0x00808080), 0x7BEFu);
  EXPECT_EQ(KRVideoColorToPixel(0x000000FF), 0xF800u);
  EXPECT_EQ(KRVideoColorToPixel(0xFF000000), 0u) << "the top byte is not a channel";
  EXPECT_EQ(g_krVideo.nGreenShift, 5);
  EXPECT_EQ(g_krVideo.nGreenMax, 63);

  KRVideoSetLayoutFromMasks(0x7C00, 0x03E0, 0x001F);
  EXPECT_EQ(Picture(), "RRRRRGGGGGBBBBB");
  EXPECT_EQ(KRVideoColorToPixel(0x00808080), 0x3DEFu);
  EXPECT_EQ(KRVideoColorToPixel(0x00FF0000), 0x001Fu);
}

TEST_F(VideoPixelFormatTest, EightBitLayoutIsFixed332) {
  KRVideoSetPalettizedLayout();
  EXPECT_EQ(Picture(), "RRRGGGBB");
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0xFFu);
  EXPECT_EQ(KRVideoColorToPixel(0x00808080), 0x6Du);
  EXPECT_EQ(KRVideoColorToPixel(0x000000FF), 0xE0u);
}

TEST_F(VideoPixelFormatTest, TwentyFourAndThirtyTwoBitLayoutsKeepEachByte) {
  KRVideoSetLayoutFromMasks(0xFF0000, 0x00FF00, 0x0000FF);
  EXPECT_EQ(Picture(), "RRRRRRRRGGGGGGGGBBBBBBBB");
  EXPECT_EQ(KRVideoColorToPixel(0x000000FF), 0x00FF0000u);
  EXPECT_EQ(KRVideoColorToPixel(0x00123456), 0x00563412u);

  // Blue on top: the picture shows the order of the pixel's bits.
  KRVideoSetLayoutFromMasks(0x0000FF, 0x00FF00, 0xFF0000);
  EXPECT_EQ(Picture(), "BBBBBBBBGGGGGGGGRRRRRRRR");
  EXPECT_EQ(KRVideoColorToPixel(0x00123456), 0x00123456u);
}

TEST_F(VideoPixelFormatTest, GapsBetweenChannelsShowAsUnderscores) {
  KRVideoSetLayoutFromMasks(0xF0000000, 0x00F00000, 0x0000000F);
  EXPECT_EQ(Picture(), "RRRR____GGGG________________BBBB");
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0xF0F0000Fu);
}

TEST_F(VideoPixelFormatTest, AnEmptyMaskContributesNothing) {
  KRVideoSetLayoutFromMasks(0, 0x00FF00, 0);
  EXPECT_EQ(g_krVideo.nRedBits, 0);
  EXPECT_EQ(g_krVideo.nRedMax, 0);
  EXPECT_EQ(g_krVideo.nRedShift, 0);
  EXPECT_EQ(Picture(), "GGGGGGGG________");
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0xFF00u);

  KRVideoSetLayoutFromMasks(0, 0, 0);
  EXPECT_EQ(Picture(), "");
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0u);
}

TEST_F(VideoPixelFormatTest, AFullMaskScalesWithoutOverflow) {
  KRVideoSetLayoutFromMasks(0xFFFFFFFF, 0, 0);
  EXPECT_EQ(g_krVideo.nRedBits, 32);
  EXPECT_EQ(static_cast<DWORD>(g_krVideo.nRedMax), 0xFFFFFFFFu);
  EXPECT_EQ(Picture(), std::string(32, 'R'));
  EXPECT_EQ(KRVideoColorToPixel(0x000000FF), 0xFFFFFFFFu);
  EXPECT_EQ(KRVideoColorToPixel(0x00000080), 0x80808080u);
}

}  // namespace
