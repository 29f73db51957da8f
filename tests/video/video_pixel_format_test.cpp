// Channel layouts: colour references to pixel values in 8, 15, 16, 24 and
// 32-bit formats, the layout's picture, and masks that are empty or full.
#include <string>
#include <utility>
#include <vector>

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

// Each layout's picture and colour references with the pixel values they give.
TEST_F(VideoPixelFormatTest, LayoutsPictureAndConvertEachChannel) {
  const struct {
    DWORD red, green, blue;  // all 0: the fixed 3-3-2 layout of 8-bit modes
    const char* picture;
    std::vector<std::pair<DWORD, DWORD>> pixels;  // colour reference, pixel
  } cases[] = {
      {0xF800, 0x07E0, 0x001F, "RRRRRGGGGGGBBBBB", {{0x00FFFFFF, 0xFFFF}, {0x00808080, 0x7BEF}, {0x000000FF, 0xF800},
                                                    {0xFF000000, 0}}},  // the top byte is not a channel
      {0x7C00, 0x03E0, 0x001F, "RRRRRGGGGGBBBBB", {{0x00808080, 0x3DEF}, {0x00FF0000, 0x001F}}},
      {0, 0, 0, "RRRGGGBB", {{0x00FFFFFF, 0xFF}, {0x00808080, 0x6D}, {0x000000FF, 0xE0}}},
      {0xFF0000, 0x00FF00, 0x0000FF, "RRRRRRRRGGGGGGGGBBBBBBBB", {{0x000000FF, 0x00FF0000}, {0x00123456, 0x00563412}}},
      // Blue on top: the picture shows the order of the pixel's bits.
      {0x0000FF, 0x00FF00, 0xFF0000, "BBBBBBBBGGGGGGGGRRRRRRRR", {{0x00123456, 0x00123456}}},
      // Gaps between channels show as underscores.
      {0xF0000000, 0x00F00000, 0x0000000F, "RRRR____GGGG________________BBBB", {{0x00FFFFFF, 0xF0F0000F}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picture);
    if (c.red | c.green | c.blue) {
      KRVideoSetLayoutFromMasks(c.red, c.green, c.blue);
    } else {
      KRVideoSetPalettizedLayout();
    }
    EXPECT_EQ(Picture(), c.picture);
    for (const auto& pixel : c.pixels) EXPECT_EQ(KRVideoColorToPixel(pixel.first), pixel.second) << pixel.first;
    if (c.red == 0xF800) {
      EXPECT_EQ(g_krVideo.nGreenShift, 5);
      EXPECT_EQ(g_krVideo.nGreenMax, 63);
    }
  }
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
