// Presentation: show by blit into the window and by flip, show modes, clearing
// each kind of buffer, lost surfaces, the interface getters, and calls made
// with nothing to act on.
#include <string>
#include <vector>

#include "video/buffer_table.h"
#include "video/presentation.h"
#include "video/video_fixture.h"

namespace {

const uint32_t kRed = 0xFF0000;      // as the screen reports colours, 0x00RRGGBB
const DWORD kRedReference = 0x0000FF;  // as the library takes them, 0x00BBGGRR

class VideoPresentationTest : public VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    ASSERT_EQ(KRVideoStartup(0), 1);
  }
  void SetMode(unsigned long width, unsigned long height, unsigned long depth) {
    ASSERT_EQ(KRVideoSetVideoMode(width, height, depth), 1);
    Forget();
  }
  RECT Client() const { return sim::InspectWindow(window_).client; }
};

TEST_F(VideoPresentationTest, WindowModeBlitsTheBackBufferIntoTheClientArea) {
  SetMode(320, 240, 0);
  sim::FillScreenRgb(0x0000FF);
  KRVideoClear(kRedReference, KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 319, 239), kRed);
  EXPECT_EQ(KRVideoShow(), 1);

  RECT client = Client();
  EXPECT_EQ(ArgumentsOf("ClientToScreen").size(), 1u);
  std::vector<std::string> blits = ArgumentsOf("IDirectDrawSurface4::Blt");
  ASSERT_EQ(blits.size(), 2u);  // the clear, then the show
  EXPECT_EQ(blits[1].find("{104, 123, 424, 363}, ptr, {0, 0, 320, 240}, 0x1000000"), 0u) << blits[1];
  EXPECT_EQ(sim::ScreenRgb(client.left, client.top), kRed);
  EXPECT_EQ(sim::ScreenRgb(client.right - 1, client.bottom - 1), kRed);
  EXPECT_EQ(sim::ScreenRgb(client.right, client.top), 0x0000FFu) << "nothing beyond the client area";
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 0);
}

TEST_F(VideoPresentationTest, ShowModesInWindowAndFullScreen) {
  SetMode(320, 240, 0);
  EXPECT_EQ(KRVideoSetShowMode(KRVIDEO_SHOWMODE_FLIP), 0);
  EXPECT_EQ(g_krVideo.dwShowMode, DWORD(KRVIDEO_SHOWMODE_BLIT));
  EXPECT_EQ(KRVideoSetShowMode(0), 1);
  EXPECT_EQ(g_krVideo.dwShowMode, DWORD(KRVIDEO_SHOWMODE_BLIT));

  SetMode(640, 480, 16);
  EXPECT_EQ(KRVideoSetShowMode(6), 1);
  KRVideoShow();
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 1) << "bit 0x2 flips";
  EXPECT_EQ(KRVideoSetShowMode(KRVIDEO_SHOWMODE_BLIT), 1);
  sim::ClearCalls();
  KRVideoClear(kRedReference, KR2D_BUFFER_BACK);
  KRVideoShow();
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 0);
  // The window covers the screen from 0, 0; its client area starts inside the frame.
  std::vector<std::string> blits = ArgumentsOf("IDirectDrawSurface4::Blt");
  ASSERT_EQ(blits.size(), 2u);
  EXPECT_EQ(blits[1].find("{4, 23, 644, 503}, ptr, {0, 0, 640, 480}"), 0u) << blits[1];
}

TEST_F(VideoPresentationTest, FullScreenFlipsUntilTheChainIsFree) {
  SetMode(640, 480, 16);
  KRVideoClear(kRedReference, KR2D_BUFFER_BACK);
  EXPECT_EQ(KRVideoShow(), 1);
  EXPECT_EQ(ArgumentsOf("IDirectDrawSurface4::Flip"), std::vector<std::string>{"NULL, 0x1"});
  EXPECT_EQ(sim::ScreenRgb(639, 479), kRed);

  sim::ClearCalls();
  sim::FailNext("IDirectDrawSurface4::Flip", DDERR_WASSTILLDRAWING, "", 2);
  EXPECT_EQ(KRVideoShow(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 3);

  sim::ClearCalls();
  sim::FailNext("IDirectDrawSurface4::Flip", DDERR_SURFACELOST);
  EXPECT_EQ(KRVideoShow(), 1) << "other failures end the call, reported as success";
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 1);
  EXPECT_EQ(sim::DebugOutput(), "");
}

TEST_F(VideoPresentationTest, ClearFillsTheSurfaceABufferIndexNames) {
  SetMode(320, 240, 0);
  KRVideoClear(kRedReference, KR2D_BUFFER_PRIMARY);
  RECT client = Client();
  EXPECT_EQ(sim::ScreenRgb(client.left, client.top), kRed);
  EXPECT_EQ(sim::ScreenRgb(client.left - 1, client.top), 0u) << "the window's clipper keeps the fill inside";
  EXPECT_EQ(ArgumentsOf("IDirectDrawSurface4::Blt").at(0).find("NULL, NULL, NULL, 0x1000400"), 0u);

  // A bitmap buffer of the 2D component.
  ASSERT_EQ(KR2DStartup(), 1);
  sim::BmpImage image;
  image.width = 8;
  image.height = 4;
  image.pixels.assign(32, 0x00FF00);
  sim::WriteWholeFile("tile.bmp", sim::EncodeBmp(image));
  int buffer = KR2DCreateBuffer("tile.bmp");
  ASSERT_EQ(buffer, 3);
  KRVideoClear(0x00FF0000, buffer);
  EXPECT_EQ(sim::SurfaceRgb(KR2DGetBufferSurface(buffer), 7, 3), 0x0000FFu);

  // Indexes that name no surface fill nothing.
  sim::ClearCalls();
  for (int none : {0, -1, 4, 32, 33, 1000}) KRVideoClear(kRedReference, none);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt"), 0);
  KR2DReleaseBuffer(buffer);
  KR2DCleanup();
}

TEST_F(VideoPresentationTest, ClearRectFillsOnlyItsRectangle) {
  SetMode(320, 240, 0);
  RECT area = {10, 20, 30, 40};
  KRVideoClearRect(&area, kRedReference);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 10, 20), kRed);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 29, 39), kRed);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 30, 39), 0u);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 9, 20), 0u);
  KRVideoClearRect(NULL, kRedReference);
  EXPECT_EQ(sim::SurfaceRgb(g_krVideo.lpBackBuffer, 0, 0), kRed);
}

TEST_F(VideoPresentationTest, LostSurfacesAreReportedAndRestored) {
  SetMode(640, 480, 16);
  EXPECT_EQ(KRVideoIsLost(), 0);
  sim::MarkAllSurfacesLost();
  EXPECT_EQ(KRVideoIsLost(), 1);
  // Neither show nor clear notices; both report success.
  EXPECT_EQ(KRVideoShow(), 1);
  KRVideoClear(kRedReference, KR2D_BUFFER_BACK);
  EXPECT_EQ(KRErrorGetLastError(), 0u);

  sim::ClearCalls();
  EXPECT_EQ(KRVideoRestore(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Restore"), 2);
  EXPECT_EQ(KRVideoIsLost(), 0);
  EXPECT_FALSE(sim::DescribeSurface(g_krVideo.lpBackBuffer).lost);
}

TEST_F(VideoPresentationTest, RestoreTakesTheBackBufferBeforeThePrimarySurface) {
  SetMode(320, 240, 0);
  sim::MarkAllSurfacesLost();
  // The record does not tell the two Restore calls apart; failing the first one does.
  sim::FailNext("IDirectDrawSurface4::Restore", DDERR_GENERIC);
  EXPECT_EQ(KRVideoRestore(), 1) << "a failed restore is not reported";
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Restore"), 2);
  EXPECT_TRUE(sim::DescribeSurface(g_krVideo.lpBackBuffer).lost) << "the back buffer's came first";
  EXPECT_FALSE(sim::DescribeSurface(g_krVideo.lpPrimarySurface).lost);
}

TEST_F(VideoPresentationTest, FlipToGDIAndTheGettersHandOutReferences) {
  SetMode(640, 480, 16);
  EXPECT_EQ(KRVideoFlipToGDI(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::FlipToGDISurface"), 1);

  IDirectDraw4* directDraw = nullptr;
  KRVideoGetDirectDrawInterface(&directDraw);
  EXPECT_EQ(directDraw, g_krVideo.lpDirectDraw);
  EXPECT_EQ(directDraw->Release(), 1u);

  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  int before = sim::DescribeSurface(g_krVideo.lpBackBuffer).references;
  KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
  EXPECT_EQ(primary, g_krVideo.lpPrimarySurface);
  EXPECT_EQ(back, g_krVideo.lpBackBuffer);
  EXPECT_EQ(sim::DescribeSurface(back).references, before + 1);
  primary->Release();
  back->Release();
}

TEST_F(VideoPresentationTest, WithNothingToActOnCallsDoNothingSafely) {
  auto expectNothing = [&](const char* when) {
    SCOPED_TRACE(when);
    sim::ClearCalls();
    EXPECT_EQ(KRVideoShow(), 1);
    EXPECT_EQ(KRVideoRestore(), 1);
    KRVideoClear(kRedReference, KR2D_BUFFER_PRIMARY);
    KRVideoClear(kRedReference, KR2D_BUFFER_BACK);
    KRVideoClearRect(NULL, kRedReference);
    EXPECT_EQ(KRVideoIsLost(), 0);
    IDirectDrawSurface4* primary = reinterpret_cast<IDirectDrawSurface4*>(1);
    IDirectDrawSurface4* back = reinterpret_cast<IDirectDrawSurface4*>(1);
    KRVideoGetDirectDrawSurfaceInterface(&primary, &back);
    EXPECT_EQ(primary, nullptr);
    EXPECT_EQ(back, nullptr);
    EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt") + sim::CountCalls("IDirectDrawSurface4::Flip") +
                  sim::CountCalls("IDirectDrawSurface4::Restore"),
              0);
  };
  expectNothing("started, no mode");
  EXPECT_EQ(KRVideoFlipToGDI(), 1);

  KRVideoCleanup();
  expectNothing("not started");
  sim::ClearCalls();
  EXPECT_EQ(KRVideoFlipToGDI(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::FlipToGDISurface"), 0);
  IDirectDraw4* directDraw = reinterpret_cast<IDirectDraw4*>(1);
  KRVideoGetDirectDrawInterface(&directDraw);
  EXPECT_EQ(directDraw, nullptr);
}

}  // namespace
