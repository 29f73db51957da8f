// Each splash sequence once in the real DLL, in window mode at 640 x 480 with
// sound: it returns 1 after its duration without a warning or a last-error
// code; a watcher thread copies the window from the screen in each phase and
// finds content where the objects are; both buffers are black afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <korvathd.h>

#include <string>
#include <vector>

#include "render3d_wine_fixture.h"
#include "support/library_calls.h"
#include "support/screen_watcher.h"
#include "support/surface_pixels.h"

namespace {

const char kLogName[] = "splash_wine.log";

struct Spot {
  int x, y;
};

// Something drawn near the spot: a pixel of the 9 x 9 square around it is not black.
bool LitNear(const winsupport::RgbImage& image, Spot spot) {
  for (int y = spot.y - 4; y <= spot.y + 4; ++y) {
    for (int x = spot.x - 4; x <= spot.x + 4; ++x) {
      if ((image.At(x, y) & 0xF0F0F0) != 0) return true;
    }
  }
  return false;
}

bool AllBlack(const winsupport::RgbImage& image) {
  for (uint32_t pixel : image.pixels) {
    if (pixel != 0) return false;
  }
  return image.IsWhole();
}

class SplashOnWindows : public Render3DWineTest {
 protected:
  void SetUp() override {
    Render3DWineTest::SetUp();
    DeleteFileA(kLogName);
    ASSERT_NO_FATAL_FAILURE(StartDevice(KRSTARTUP_DEBUGLOG, kLogName));
    ASSERT_EQ(KRSoundStartup(), 1) << std::hex << KRErrorGetLastError();
    before_ = KRErrorGetLastError();
  }

  // Runs a sequence with captures at `delays` (ms after the call starts).
  std::vector<winsupport::RgbImage> Show(int (*sequence)(void), const std::vector<DWORD>& delays,
                                         DWORD* lasted) {
    winsupport::ScreenWatcher watcher(window_, delays);
    EXPECT_TRUE(watcher.Start());
    const DWORD start = GetTickCount();
    EXPECT_EQ(sequence(), 1);
    *lasted = GetTickCount() - start;
    return watcher.Finish();
  }

  void ExpectCleanEnd() {
    EXPECT_EQ(KRErrorGetLastError(), before_);
    const std::string log = winsupport::ReadFileBytes(kLogName);
    EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
    winsupport::RgbImage back;
    ASSERT_TRUE(winsupport::ReadSurface(back_, &back));
    EXPECT_TRUE(AllBlack(back)) << "back buffer";
    winsupport::RgbImage screen;
    ASSERT_TRUE(winsupport::CaptureClientArea(window_, &screen));
    EXPECT_TRUE(AllBlack(screen)) << "the window on the screen";
  }

  unsigned long before_ = 0;
};

TEST_F(SplashOnWindows, DirectXFliesInFlashesAndEndsBlack) {
  DWORD lasted = 0;
  // Flying (at 1 s the squares pass the camera's plane), in the flash (one square in the middle), fading.
  const auto images = Show(KR3DSplashDirectX, {1000, 3500, 4400}, &lasted);
  EXPECT_GE(lasted, 5000u);
  EXPECT_LT(lasted, 9000u);
  ASSERT_TRUE(images[1].IsWhole());
  EXPECT_TRUE(LitNear(images[1], {320, 240})) << "the emblem's middle";
  EXPECT_FALSE(LitNear(images[1], {10, 10})) << "black beyond the square";
  for (const auto& image : images) EXPECT_TRUE(image.IsWhole());
  ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd());
}

TEST_F(SplashOnWindows, TarnwickPlacesItsModelsAndEndsBlack) {
  DWORD lasted = 0;
  const auto images = Show(KR3DSplashTarnwick, {700, 2500}, &lasted);
  EXPECT_GE(lasted, 4500u);
  EXPECT_LT(lasted, 8500u);
  ASSERT_TRUE(images[1].IsWhole());
  // In place: the middle shape above the centre, the banner below it.
  EXPECT_TRUE(LitNear(images[1], {320, 188})) << "object 1";
  EXPECT_TRUE(LitNear(images[1], {320, 344})) << "the banner";
  EXPECT_FALSE(LitNear(images[1], {10, 10}));
  ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd());
}

}  // namespace
