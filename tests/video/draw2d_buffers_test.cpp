// The 2D component's start-up and clean-up and its buffer table: buffers 1 and 2
// following the video surfaces, bitmap buffers from resources and files with
// their memory fall-backs, index limits and reuse, and the warning lines.
#include "draw2d_fixture.h"

namespace {

class Draw2DLifecycleTest : public Draw2DTest {};

TEST_F(Draw2DLifecycleTest, StartupTwiceAndCleanupUnstartedSetTheirCodes) {
  KR2DCleanup();
  EXPECT_EQ(KRErrorGetLastError(), 0x2002u);
  EXPECT_EQ(KR2DIsStarted(), 0);

  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(Logged("KR2D : Startup\r\n"), 1);
  EXPECT_EQ(KR2DStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x2001u);
  EXPECT_EQ(Logged("KR2D : Startup\r\n"), 1);

  KR2DCleanup();
  EXPECT_EQ(Logged("KR2D : Cleanup\r\n"), 1);
  EXPECT_EQ(KR2DIsStarted(), 0);
  EXPECT_EQ(g_kr2DBuffers, nullptr);
}

TEST_F(Draw2DLifecycleTest, ExhaustedHeapAtStartupLeavesTheComponentStopped) {
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(KR2DStartup(), 0);
  EXPECT_EQ(sim::PendingFailures(), 0) << "the table was never asked for";
  EXPECT_EQ(KRErrorGetLastError(), 0x2003u);
  EXPECT_EQ(KR2DIsStarted(), 0);
  EXPECT_EQ(g_kr2DBuffers, nullptr);
  EXPECT_EQ(KR2DCreateBuffer("any.bmp"), 0);

  // The heap recovers: start-up works again.
  EXPECT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(KR2DIsStarted(), 1);
}

TEST_F(Draw2DLifecycleTest, VideoSurfacesFillBuffersOneAndTwoWhileStarted) {
  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), nullptr);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), nullptr);

  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), g_krVideo.lpPrimarySurface);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), g_krVideo.lpBackBuffer);
  EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].nWidth, 0);
  EXPECT_STREQ(g_kr2DBuffers[KR2D_BUFFER_BACK].szPath, "");

  // Dropping the mode empties them: nothing can draw on a released surface.
  KRVideoRestoreVideoMode();
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), nullptr);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), nullptr);
  EXPECT_EQ(KR2DGetDC(KR2D_BUFFER_BACK), nullptr);

  // Start-up after a mode takes the current surfaces.
  ASSERT_EQ(KRVideoSetVideoMode(320, 240, 0), 1);
  KR2DCleanup();
  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), g_krVideo.lpBackBuffer);
  EXPECT_NE(KR2DGetBufferSurface(KR2D_BUFFER_BACK), nullptr);
}

TEST_F(Draw2DLifecycleTest, VideoBufferSlotsIgnoreOtherIndexesAndAStoppedComponent) {
  StartWithMode();
  IDirectDrawSurface4* back = g_krVideo.lpBackBuffer;
  KR2DSetVideoBuffer(3, back);
  KR2DSetVideoBuffer(0, back);
  EXPECT_EQ(KR2DGetBufferSurface(3), nullptr);
  KR2DCleanup();
  KR2DSetVideoBuffer(KR2D_BUFFER_BACK, back);  // no table to write into
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), nullptr);
}

TEST_F(Draw2DLifecycleTest, EmptyingAVideoSlotGivesItsLentContextBack) {
  StartWithMode();
  int contexts = sim::LiveDeviceContexts();
  HDC dc = KR2DGetDC(KR2D_BUFFER_BACK);
  ASSERT_NE(dc, nullptr);
  ASSERT_EQ(KR2DGetDC(KR2D_BUFFER_BACK), dc);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts + 1);

  KR2DSetVideoBuffer(KR2D_BUFFER_BACK, nullptr);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts);
  EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].nLockCount, 0);
  EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].hDC, nullptr);
  // The application's late release finds nothing lent.
  EXPECT_EQ(KR2DReleaseDC(dc, KR2D_BUFFER_BACK), 1);

  // Filling the slot again starts unlocked.
  KR2DSetVideoBuffer(KR2D_BUFFER_BACK, g_krVideo.lpBackBuffer);
  HDC again = KR2DGetDC(KR2D_BUFFER_BACK);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(g_kr2DBuffers[KR2D_BUFFER_BACK].nLockCount, 1);
  KR2DReleaseDC(again, KR2D_BUFFER_BACK);
}

TEST_F(Draw2DLifecycleTest, CleanupReleasesForgottenBuffersInOrderAndLentContexts) {
  StartWithMode();
  WriteBmpFile("dot.bmp", Plain(2, 2, 0x808080));
  for (int i = 3; i <= 7; ++i) ASSERT_EQ(KR2DCreateBuffer("dot.bmp"), i);
  KR2DReleaseBuffer(3);
  KR2DReleaseBuffer(5);
  KR2DReleaseBuffer(6);
  int contexts = sim::LiveDeviceContexts();
  ASSERT_NE(KR2DGetDC(7), nullptr);
  ASSERT_NE(KR2DGetDC(KR2D_BUFFER_PRIMARY), nullptr);
  int surfaces = sim::LiveSurfaces();
  sim::ClearDebugOutput();

  KR2DCleanup();
  EXPECT_NE(sim::DebugOutput().find("KR2D : Cleanup\r\n"
                                    "KR2D Warning : You didn't release Buffer(4).\r\n"
                                    "KR2D Warning : You didn't release Buffer(7).\r\n"),
            std::string::npos)
      << sim::DebugOutput();
  EXPECT_EQ(Logged("You didn't release"), 2);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces - 2);
  // No context is still out on any surface.
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts);

  // A new start-up has an empty table.
  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(KR2DGetBufferSurface(4), nullptr);
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 3);
}

class Draw2DBufferTest : public Draw2DTest {
 protected:
  void SetUp() override {
    Draw2DTest::SetUp();
    StartWithMode();
    sim::ClearDebugOutput();
    gdiObjects_ = sim::LiveGdiObjects();
    contexts_ = sim::LiveDeviceContexts();
  }

  int gdiObjects_ = 0;
  int contexts_ = 0;
};

TEST_F(Draw2DBufferTest, ThirtyBuffersFillThreeToThirtyTwoThenTheTableIsFull) {
  WriteBmpFile("dot.bmp", Plain(1, 1, 0xFFFFFF));
  for (int expected = 3; expected <= 32; ++expected) ASSERT_EQ(KR2DCreateBuffer("dot.bmp"), expected);
  int loads = sim::CountCalls("LoadImageA");

  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x2100u);
  EXPECT_EQ(LastErrorText(), "KR2D : Bufferを生成に失敗しました");
  EXPECT_EQ(Logged("KR2D Warning : Could not create Buffer(Maximumed out).\r\n"), 1);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), loads) << "a full table loads nothing";

  // Indexes are reused lowest first.
  KR2DReleaseBuffer(9);
  KR2DReleaseBuffer(5);
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 5);
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 9);
}

TEST_F(Draw2DBufferTest, BufferHoldsTheBitmapWithABlackSourceKey) {
  std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,  //
                                  0x000000, 0xFFFFFF, 0xFF00FF};
  WriteBmpFile("three.bmp", Image(3, 2, pixels));
  int buffer = KR2DCreateBuffer("three.bmp");
  ASSERT_EQ(buffer, 3);

  const KR2DBUFFER& entry = g_kr2DBuffers[buffer];
  EXPECT_EQ(entry.nWidth, 3);
  EXPECT_EQ(entry.nHeight, 2);
  EXPECT_EQ(entry.nLockCount, 0);
  EXPECT_STREQ(entry.szPath, "C:\\work\\three.bmp");
  sim::SurfaceInfo info = sim::DescribeSurface(entry.lpSurface);
  EXPECT_EQ((std::vector<int>{info.width, info.height, info.references}), (std::vector<int>{3, 2, 1}));
  EXPECT_TRUE(info.hasSourceKey);
  EXPECT_EQ(info.sourceKey.dwColorSpaceLowValue, 0u);
  EXPECT_EQ(info.sourceKey.dwColorSpaceHighValue, 0u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(sim::SurfaceRgb(entry.lpSurface, x, y), pixels[static_cast<size_t>(y * 3 + x)]) << x << "," << y;

  // The bitmap and the copying contexts are gone; only the surface stays.
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects_);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
}

TEST_F(Draw2DBufferTest, BitmapMemoryFallsBackFromLocalToNonLocalToSystem) {
  WriteBmpFile("dot.bmp", Plain(4, 4, 0xFFFFFF));
  int local = KR2DCreateBuffer("dot.bmp");
  ASSERT_NE(local, 0);
  sim::SurfaceInfo info = sim::DescribeSurface(g_kr2DBuffers[local].lpSurface);
  EXPECT_EQ(info.memory, sim::SurfaceMemory::LocalVideo);
  EXPECT_EQ(info.caps & DDSCAPS_3DDEVICE, 0u);
  EXPECT_NE(info.caps & DDSCAPS_OFFSCREENPLAIN, 0u);

  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  int nonLocal = KR2DCreateBuffer("dot.bmp");
  ASSERT_NE(nonLocal, 0);
  EXPECT_EQ(sim::DescribeSurface(g_kr2DBuffers[nonLocal].lpSurface).memory, sim::SurfaceMemory::NonLocalVideo);

  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::NonLocalVideo, false);
  int system = KR2DCreateBuffer("dot.bmp");
  ASSERT_NE(system, 0);
  EXPECT_EQ(sim::DescribeSurface(g_kr2DBuffers[system].lpSurface).memory, sim::SurfaceMemory::System);
  EXPECT_EQ(Logged("MEMORY"), 0) << "bitmap buffers do not log their memory";

  // No memory at all: nothing is kept, not even the loaded bitmap.
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::System, false);
  int surfaces = sim::LiveSurfaces();
  int creates = sim::CountCalls("IDirectDraw4::CreateSurface");
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x2100u);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), creates + 3);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects_);
  EXPECT_EQ(KR2DGetBufferSurface(6), nullptr);
}

TEST_F(Draw2DBufferTest, SurfaceWithoutContextForTheCopyIsReleased) {
  WriteBmpFile("dot.bmp", Plain(4, 4, 0xFFFFFF));
  int surfaces = sim::LiveSurfaces();
  sim::FailNext("IDirectDrawSurface4::GetDC", DDERR_SURFACEBUSY);
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x2100u);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects_);
  EXPECT_EQ(sim::LiveDeviceContexts(), contexts_);
  EXPECT_EQ(KR2DGetBufferSurface(3), nullptr);
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 3);
}

TEST_F(Draw2DBufferTest, ApplicationResourceWinsOverAFileOfTheSameName) {
  AddBitmapResource("SHIP", Plain(2, 2, 0xFF0000));
  WriteBmpFile("SHIP", Plain(2, 2, 0x00FF00));
  int buffer = KR2DCreateBuffer("SHIP");
  ASSERT_EQ(buffer, 3);
  EXPECT_EQ(sim::SurfaceRgb(g_kr2DBuffers[buffer].lpSurface, 1, 1), 0xFF0000u);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 1);
  // The path is what the system makes of the name, resource or not.
  EXPECT_STREQ(g_kr2DBuffers[buffer].szPath, "C:\\work\\SHIP");

  // A name that is only a file is loaded from the file.
  sim::MakeDirectory("C:\\art");
  WriteBmpFile("C:\\art\\rock.bmp", Plain(2, 2, 0x0000FF));
  buffer = KR2DCreateBuffer("C:\\art\\rock.bmp");
  ASSERT_EQ(buffer, 4);
  EXPECT_EQ(sim::SurfaceRgb(g_kr2DBuffers[buffer].lpSurface, 0, 0), 0x0000FFu);
  EXPECT_STREQ(g_kr2DBuffers[buffer].szPath, "C:\\art\\rock.bmp");
}

TEST_F(Draw2DBufferTest, IntegerResourceIdNamesNoFile) {
  AddBitmapResource(MAKEINTRESOURCEA(101), Plain(3, 1, 0x00FF00));
  int buffer = KR2DCreateBuffer(MAKEINTRESOURCEA(101));
  ASSERT_EQ(buffer, 3);
  EXPECT_EQ(g_kr2DBuffers[buffer].nWidth, 3);
  EXPECT_STREQ(g_kr2DBuffers[buffer].szPath, "");

  int loads = sim::CountCalls("LoadImageA");
  EXPECT_EQ(KR2DCreateBuffer(MAKEINTRESOURCEA(102)), 0);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), loads + 1) << "only the resource is tried";
  EXPECT_EQ(sim::CountCalls("GetFullPathNameA"), 0);
}

TEST_F(Draw2DBufferTest, MissingBitmapOrNullNameReturnsZeroWithoutACode) {
  EXPECT_EQ(KR2DCreateBuffer("nowhere.bmp"), 0);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 2);
  EXPECT_EQ(KR2DCreateBuffer(nullptr), 0);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 2);
  EXPECT_EQ(KRErrorGetLastError(), 0u);
  EXPECT_EQ(sim::LiveSurfaces(), 2) << "the video's two surfaces only";
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects_);
}

TEST_F(Draw2DBufferTest, PathIsCutTo127CharactersAndEmptyWhenItCannotBeResolved) {
  std::string name = "C:\\" + std::string(140, 'p') + ".bmp";
  WriteBmpFile(name, Plain(1, 1, 0xFFFFFF));
  int buffer = KR2DCreateBuffer(name.c_str());
  ASSERT_EQ(buffer, 3);
  EXPECT_EQ(std::string(g_kr2DBuffers[buffer].szPath), name.substr(0, KR2DBUFFER_PATH_MAX - 1));

  sim::FailNext("GetFullPathNameA", ERROR_INVALID_NAME);
  buffer = KR2DCreateBuffer(name.c_str());
  ASSERT_EQ(buffer, 4);
  EXPECT_STREQ(g_kr2DBuffers[buffer].szPath, "");
}

TEST_F(Draw2DBufferTest, ReleasingVideoBuffersOrBadIndexesOnlyWarns) {
  WriteBmpFile("dot.bmp", Plain(1, 1, 0xFFFFFF));
  ASSERT_EQ(KR2DCreateBuffer("dot.bmp"), 3);
  IDirectDrawSurface4* primary = g_krVideo.lpPrimarySurface;
  IDirectDrawSurface4* back = g_krVideo.lpBackBuffer;
  int surfaces = sim::LiveSurfaces();

  for (int buffer : {1, 2, 0, 33, -1, 10}) KR2DReleaseBuffer(buffer);
  for (const char* line : {"(1)", "(2)", "(0)", "(33)", "(-1)", "(10)"}) {
    EXPECT_EQ(Logged(std::string("KR2D Warning : You did release NULL or ills Buffer") + line + ".\r\n"), 1)
        << line;
  }
  EXPECT_EQ(sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), primary);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), back);

  KR2DReleaseBuffer(3);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces - 1);
  KR2DReleaseBuffer(3);  // a second release is of a free index
  EXPECT_EQ(Logged("Buffer(3).\r\n"), 1);
}

TEST_F(Draw2DBufferTest, CreateBufferBeforeStartupSetsNotStarted) {
  KR2DCleanup();
  WriteBmpFile("dot.bmp", Plain(1, 1, 0xFFFFFF));
  EXPECT_EQ(KR2DCreateBuffer("dot.bmp"), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x2002u);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 0);
  KR2DReleaseBuffer(3);
  EXPECT_EQ(Logged("KR2D Warning : You did release NULL or ills Buffer(3).\r\n"), 1);
}

}  // namespace
