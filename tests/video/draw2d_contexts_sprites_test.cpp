// Device contexts lent by the buffer table (counted, given back by the last
// release or when the buffer goes), and colour-keyed sprite blits, singly and
// in batches, checked on the pixels.
#include <climits>
#include <cstdio>

#include "draw2d_fixture.h"

namespace {

const uint32_t kBlue = 0x0000FF;
const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlack = 0x000000;

// Flags as the call record writes them.
std::string HexText(DWORD flags) {
  char text[16];
  snprintf(text, sizeof(text), "0x%X", static_cast<unsigned>(flags));
  return text;
}

class Draw2DContextTest : public Draw2DTest {
 protected:
  void SetUp() override {
    Draw2DTest::SetUp();
    StartWithMode();
    WriteBmpFile("dot.bmp", Plain(4, 4, kRed));
    ASSERT_EQ(KR2DCreateBuffer("dot.bmp"), 3);
    contexts_ = sim::LiveDeviceContexts();
    Forget();
  }

  int contexts_ = 0;
};

TEST_F(Draw2DContextTest, NestedCallsShareOneContextGivenBackByTheLastRelease) {
  HDC dc = KR2DGetDC(3);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(KR2DGetDC(3), dc);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::GetDC"), 1);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 2);

  EXPECT_EQ(KR2DReleaseDC(dc, 3), 1);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_ + 1) << "still lent after the first release";
  EXPECT_EQ(KR2DReleaseDC(dc, 3), 1);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::ReleaseDC"), 1);

  // A release with nothing lent changes nothing.
  EXPECT_EQ(KR2DReleaseDC(dc, 3), 1);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 0);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::ReleaseDC"), 1);
}

TEST_F(Draw2DContextTest, ContextOfAnotherBufferIsNotGivenBack) {
  HDC buffer = KR2DGetDC(3);
  HDC back = KR2DGetDC(KR2D_BUFFER_BACK);
  ASSERT_NE(buffer, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(KR2DReleaseDC(back, 3), 1);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 1);
  EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].nLockCount, 1);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_ + 2);
  KR2DReleaseDC(back, KR2D_BUFFER_BACK);
  KR2DReleaseDC(buffer, 3);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
}

TEST_F(Draw2DContextTest, IndexesWithoutASurfaceLendNothing) {
  HDC dc = KR2DGetDC(3);
  for (int buffer : {0, -1, 33, 4, 32}) {
    EXPECT_EQ(KR2DGetDC(buffer), nullptr) << buffer;
    EXPECT_EQ(KR2DReleaseDC(dc, buffer), 1) << buffer;
  }
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::GetDC"), 1);
  KR2DReleaseDC(dc, 3);

  KR2DCleanup();
  EXPECT_EQ(KR2DGetDC(KR2D_BUFFER_BACK), nullptr);
  EXPECT_EQ(KR2DReleaseDC(dc, KR2D_BUFFER_BACK), 1);
}

TEST_F(Draw2DContextTest, FailuresOfTheSurfaceLogTheirDirectXName) {
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_SURFACELOST);
  EXPECT_EQ(KR2DGetDC(3), nullptr);
  EXPECT_EQ(Logged("DDERR_SURFACELOST\r\n"), 1);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 0);

  HDC dc = KR2DGetDC(3);
  ASSERT_NE(dc, nullptr);
  sim::FailNext("IDirectDrawSurface4::ReleaseDC", DDERR_INVALIDPARAMS);
  EXPECT_EQ(KR2DReleaseDC(dc, 3), 0);
  EXPECT_EQ(Logged("DDERR_INVALIDPARAMS\r\n"), 1);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 0);
}

TEST_F(Draw2DContextTest, ReleasingALentBufferGivesItsContextBackAndTheNextStartsUnlocked) {
  ASSERT_NE(KR2DGetDC(3), nullptr);
  ASSERT_NE(KR2DGetDC(3), nullptr);
  KR2DReleaseBuffer(3);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);

  ASSERT_EQ(KR2DCreateBuffer("dot.bmp"), 3);
  EXPECT_EQ(g_kr2DBuffers[3].nLockCount, 0);
  EXPECT_EQ(g_kr2DBuffers[3].hDC, nullptr);
  int gets = sim::CountCalls("IDirectDrawSurface4::GetDC");
  HDC dc = KR2DGetDC(3);
  EXPECT_NE(dc, nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::GetDC"), gets + 1) << "a fresh context of the new surface";
  KR2DReleaseDC(dc, 3);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
}

// A context the surface refused to take back is still the surface's: it is
// given back again before the next lending, so the buffer lends on.
TEST_F(Draw2DContextTest, AContextTheSurfaceRefusedIsGivenBackBeforeTheNextLending) {
  HDC dc = KR2DGetDC(3);
  ASSERT_NE(dc, nullptr);
  sim::FailNext("IDirectDrawSurface4::ReleaseDC", DDERR_GENERIC);
  EXPECT_EQ(KR2DReleaseDC(dc, 3), 0);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_ + 1) << "the surface still lends it";

  HDC again = KR2DGetDC(3);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_ + 1) << "the old context went back before the new one came";
  EXPECT_EQ(KR2DReleaseDC(again, 3), 1);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
  EXPECT_TRUE(sim::ContractViolations().empty());
}

TEST_F(Draw2DContextTest, ReleasingALentBufferGivesTheContextBackBeforeTheSurface) {
  HDC dc = KR2DGetDC(3);
  ASSERT_NE(dc, nullptr);
  sim::ClearCalls();
  KR2DReleaseBuffer(3);
  const std::vector<std::string> calls = sim::CallNames();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], "IDirectDrawSurface4::ReleaseDC");
  EXPECT_EQ(calls[1], "IDirectDrawSurface4::Release");
  EXPECT_TRUE(sim::ContractViolations().empty());
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
}

// Without the give-back the surface would go with its context out: the strict
// simulation reports it, as a surface that refuses the context shows.
TEST_F(Draw2DContextTest, ASurfaceReleasedWithItsContextOutIsReported) {
  ASSERT_NE(KR2DGetDC(3), nullptr);
  sim::FailNext("IDirectDrawSurface4::ReleaseDC", DDERR_GENERIC);
  KR2DReleaseBuffer(3);
  const std::vector<std::string> violations = sim::ContractViolations();
  ASSERT_EQ(violations.size(), 1u);
  EXPECT_NE(violations[0].find("released with its device context"), std::string::npos) << violations[0];
  EXPECT_NE(violations[0].find("4x4"), std::string::npos) << violations[0];
  sim::ClearContractViolations();
  leaks_.Allow("device contexts", 1);
}

// Buffers 1 and 2 are the video mode's surfaces: a context lent on them goes
// back before a mode change or a clean-up releases them.
TEST_F(Draw2DContextTest, ContextsLentOnTheVideoSurfacesGoBackBeforeTheyAreReleased) {
  struct Ending {
    const char* what;
    void (*end)();
  };
  const Ending endings[] = {
      {"a window mode change", [] { ASSERT_EQ(KRVideoSetVideoMode(800, 600, 0), 1); }},
      {"a full-screen mode change", [] { ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1); }},
      {"restoring the mode", [] { KRVideoRestoreVideoMode(); }},
      {"the video clean-up", [] { KRVideoCleanup(); }},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.what);
    if (!KRVideoIsStarted()) {
      ASSERT_EQ(KRVideoStartup(0), 1);
    }
    if (g_krVideo.lpBackBuffer == nullptr) {
      ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
    }
    const int contexts = sim::LiveDeviceContexts();
    ASSERT_NE(KR2DGetDC(KR2D_BUFFER_PRIMARY), nullptr);
    ASSERT_NE(KR2DGetDC(KR2D_BUFFER_BACK), nullptr);
    ASSERT_NE(KR2DGetDC(KR2D_BUFFER_BACK), nullptr);
    ASSERT_NO_FATAL_FAILURE(ending.end());
    EXPECT_EQ(sim::ContractViolations(), std::vector<std::string>{});
    EXPECT_EQ(sim::LiveDeviceContexts(), contexts);
    EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].nLockCount, 0);
    EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].hDC, nullptr);
  }
}

TEST_F(Draw2DContextTest, CleaningUpWithContextsLentGivesThemBack) {
  ASSERT_NE(KR2DGetDC(3), nullptr);
  ASSERT_NE(KR2DGetDC(KR2D_BUFFER_BACK), nullptr);
  KRCleanup();
  EXPECT_EQ(sim::ContractViolations(), std::vector<std::string>{});
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_) << "every lent context is back";
  EXPECT_EQ(sim::LiveSurfaces(), 0);
}

class Draw2DSpriteTest : public Draw2DTest {
 protected:
  void SetUp() override {
    Draw2DTest::SetUp();
    StartWithMode();
    back_ = g_krVideo.lpBackBuffer;
    sim::FillSurfaceRgb(back_, kBlue);
    sim::ClearCalls();  // the mode's clears and shows
  }

  // Whether the back buffer still shows blue everywhere outside a rectangle.
  bool BlueOutside(int left, int top, int right, int bottom) {
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        bool inside = x >= left && x < right && y >= top && y < bottom;
        if (!inside && sim::SurfaceRgb(back_, x, y) != kBlue) return false;
      }
    return true;
  }

  IDirectDrawSurface4* back_ = nullptr;
};

TEST_F(Draw2DSpriteTest, BlackSourcePixelsLeaveTheDestination) {
  // 4x2: a black column and a black pixel among red and green.
  std::vector<uint32_t> pixels = {kBlack, kRed, kRed,   kGreen,  //
                                  kBlack, kRed, kBlack, kGreen};
  WriteBmpFile("ship.bmp", Image(4, 2, pixels));
  int ship = KR2DCreateBuffer("ship.bmp");
  ASSERT_EQ(ship, 3);

  KR2DDrawSprite(0, 0, 4, 2, ship, 100, 50, KR2D_BUFFER_BACK);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      uint32_t source = pixels[static_cast<size_t>(y * 4 + x)];
      EXPECT_EQ(sim::SurfaceRgb(back_, 100 + x, 50 + y), source == kBlack ? kBlue : source) << x << "," << y;
    }
  EXPECT_TRUE(BlueOutside(100, 50, 104, 52));
  // One blit that keys on the source and waits for the destination.
  int blits = 0;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function != "IDirectDrawSurface4::Blt") continue;
    ++blits;
    EXPECT_NE(call.arguments.find(HexText(DDBLT_KEYSRC | DDBLT_WAIT)), std::string::npos)
        << call.arguments;
  }
  EXPECT_EQ(blits, 1);
}

TEST_F(Draw2DSpriteTest, SpriteCopiesItsSourceRectangleAtItsOwnSize) {
  std::vector<uint32_t> pixels(16, kRed);
  pixels[static_cast<size_t>(2 * 4 + 3)] = kGreen;  // x 3, y 2
  WriteBmpFile("tiles.bmp", Image(4, 4, pixels));
  ASSERT_EQ(KR2DCreateBuffer("tiles.bmp"), 3);

  KR2DDrawSprite(2, 1, 2, 2, 3, 10, 20, KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::SurfaceRgb(back_, 10, 20), kRed);
  EXPECT_EQ(sim::SurfaceRgb(back_, 11, 21), kGreen);
  EXPECT_TRUE(BlueOutside(10, 20, 12, 22));
}

TEST_F(Draw2DSpriteTest, BatchDrawsInArrayOrderEachFromItsOwnSource) {
  WriteBmpFile("red.bmp", Plain(2, 2, kRed));
  WriteBmpFile("green.bmp", Plain(2, 2, kGreen));
  int red = KR2DCreateBuffer("red.bmp");
  int green = KR2DCreateBuffer("green.bmp");
  ASSERT_EQ(red, 3);
  ASSERT_EQ(green, 4);

  KR2DDRAWSPRITE batch[] = {
      {0, 0, 2, 2, red, 10, 10},
      {0, 0, 2, 2, green, 30, 10},
      {0, 0, 1, 1, green, 11, 11},   // drawn after the red one, over it
      {0, 0, 2, 2, 20, 50, 50},      // a free source: skipped
  };
  KR2DDrawSpriteBatch(batch, 4, KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::SurfaceRgb(back_, 10, 10), kRed);
  EXPECT_EQ(sim::SurfaceRgb(back_, 11, 11), kGreen);
  EXPECT_EQ(sim::SurfaceRgb(back_, 31, 11), kGreen);
  EXPECT_EQ(sim::SurfaceRgb(back_, 50, 50), kBlue);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt"), 3);

  // Only `count` entries are drawn.
  sim::FillSurfaceRgb(back_, kBlue);
  KR2DDrawSpriteBatch(batch, 1, KR2D_BUFFER_BACK);
  EXPECT_TRUE(BlueOutside(10, 10, 12, 12));
}

TEST_F(Draw2DSpriteTest, SpritesWithoutSourceDestinationOrEntriesDrawNothing) {
  WriteBmpFile("red.bmp", Plain(2, 2, kRed));
  ASSERT_EQ(KR2DCreateBuffer("red.bmp"), 3);
  KR2DDRAWSPRITE one[] = {{0, 0, 2, 2, 3, 0, 0}};

  for (int buffer : {0, -1, 33, 5}) {
    KR2DDrawSprite(0, 0, 2, 2, buffer, 0, 0, KR2D_BUFFER_BACK);
    KR2DDrawSprite(0, 0, 2, 2, 3, 0, 0, buffer);
    KR2DDrawSpriteBatch(one, 1, buffer);
  }
  KR2DDrawSpriteBatch(nullptr, 3, KR2D_BUFFER_BACK);
  KR2DDrawSpriteBatch(one, 0, KR2D_BUFFER_BACK);
  KR2DDrawSpriteBatch(one, -2, KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt"), 0);

  KR2DCleanup();
  KR2DDrawSprite(0, 0, 2, 2, 3, 0, 0, KR2D_BUFFER_BACK);
  KR2DDrawSpriteBatch(one, 1, KR2D_BUFFER_BACK);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt"), 0);
  EXPECT_TRUE(BlueOutside(0, 0, 0, 0));
}

TEST_F(Draw2DSpriteTest, RectanglesPastTheIntRangeStopAtItsEnds) {
  WriteBmpFile("red.bmp", Plain(2, 2, kRed));
  ASSERT_EQ(KR2DCreateBuffer("red.bmp"), 3);
  KR2DDrawSprite(INT_MAX - 2, INT_MIN + 2, 5, -5, 3, INT_MAX - 1, INT_MIN + 1, KR2D_BUFFER_BACK);
  KR2DDRAWSPRITE batch[] = {{INT_MAX, 0, INT_MAX, 1, 3, INT_MIN, INT_MAX}};
  KR2DDrawSpriteBatch(batch, 1, KR2D_BUFFER_BACK);

  std::vector<std::string> blits = ArgumentsOf("IDirectDrawSurface4::Blt");
  ASSERT_EQ(blits.size(), 2u);
  EXPECT_EQ(blits[0].rfind("{2147483646, -2147483647, 2147483647, -2147483648}, ptr, "
                           "{2147483645, -2147483646, 2147483647, -2147483648}, ",
                           0),
            0u)
      << blits[0];
  EXPECT_EQ(blits[1].rfind("{-2147483648, 2147483647, -1, 2147483647}, ptr, {2147483647, 0, 2147483647, 1}, ", 0),
            0u)
      << blits[1];
  EXPECT_TRUE(BlueOutside(0, 0, 0, 0)) << "the surface refuses such rectangles";
}

TEST_F(Draw2DSpriteTest, BackBufferAsSourceIsKeyedOnBlackToo) {
  WriteBmpFile("canvas.bmp", Plain(4, 4, kGreen));
  int canvas = KR2DCreateBuffer("canvas.bmp");
  ASSERT_EQ(canvas, 3);
  sim::SetSurfaceRgb(back_, 0, 0, kBlack);
  KR2DDrawSprite(0, 0, 2, 1, KR2D_BUFFER_BACK, 0, 0, canvas);
  IDirectDrawSurface4* surface = KR2DGetBufferSurface(canvas);
  EXPECT_EQ(sim::SurfaceRgb(surface, 0, 0), kGreen);
  EXPECT_EQ(sim::SurfaceRgb(surface, 1, 0), kBlue);
}

}  // namespace
