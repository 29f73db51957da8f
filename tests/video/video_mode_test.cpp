// Video modes: window and full screen with their window calls, the memory
// fall-backs of both surfaces with their lines, the 8-bit palette, mode changes
// in both directions, dropping the mode, and each failure's code.
#include <string>
#include <vector>

#include "video/buffer_table.h"
#include "video/video_fixture.h"

namespace {

class VideoModeTest : public VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    ASSERT_EQ(KRVideoStartup(0), 1);
    Forget();
  }

  struct Mode {
    unsigned long width, height, depth;
    int fullScreen;
    bool operator==(const Mode& o) const {
      return width == o.width && height == o.height && depth == o.depth && fullScreen == o.fullScreen;
    }
  };
  static Mode CurrentMode() {
    Mode mode = {9, 9, 9, 9};
    EXPECT_EQ(KRVideoGetVideoMode(&mode.width, &mode.height, &mode.depth, &mode.fullScreen), 1);
    return mode;
  }

  // A second display device, which runs full screen only, started instead of the first.
  static void StartOnSecondDevice() {
    KRVideoCleanup();
    sim::DisplayDevice second;
    second.hasGuid = true;
    second.guid = {0x5, 0, 0, {0}};
    second.description = "Second";
    second.kind = sim::DisplayDeviceKind::AttachedSecondary;
    sim::SetDisplayDevices({sim::DisplayDevice(), second});
    ASSERT_EQ(KRVideoGetDeviceCount(), 2);
    ASSERT_EQ(KRVideoStartup(1), 1);
  }

  static sim::SurfaceInfo Primary() { return sim::DescribeSurface(g_krVideo.lpPrimarySurface); }
  static sim::SurfaceInfo Back() { return sim::DescribeSurface(g_krVideo.lpBackBuffer); }

  // The debugger's record of every code set, in order.
  static std::vector<std::string> ErrorsReported() {
    std::vector<std::string> errors;
    for (const std::string& message : sim::DebugMessages())
      if (message.rfind("KRError ", 0) == 0) errors.push_back(message);
    return errors;
  }
};

TEST_F(VideoModeTest, WindowModeSizesTheClientAreaAtTheDesktopDepth) {
  EXPECT_EQ(CurrentMode(), (Mode{0, 0, 0, 0})) << "no mode yet";
  ASSERT_EQ(KRVideoSetVideoMode(0, 0, 0), 1);
  EXPECT_EQ(CurrentMode(), (Mode{320, 240, 16, 0}));

  EXPECT_EQ(ArgumentsOf("SetWindowPos"),
            std::vector<std::string>{WindowArg() + ", HWND_NOTOPMOST, 100, 100, 328, 267, 0x406"});
  EXPECT_EQ(ArgumentsOf("ShowWindow"), std::vector<std::string>{WindowArg() + ", 5"});
  EXPECT_EQ(ArgumentsOf("UpdateWindow"), std::vector<std::string>{WindowArg()});
  sim::WindowInfo window = sim::InspectWindow(window_);
  EXPECT_EQ(window.client.right - window.client.left, 320);
  EXPECT_EQ(window.client.bottom - window.client.top, 240);
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::SetCooperativeLevel"), std::vector<std::string>{WindowArg() + ", 0x8"});
  EXPECT_TRUE(sim::DisplayModeIsDesktop());

  ExpectLinesInOrder({"KRVideo : SetVideoyMode to 320x240x16 Window mode",
                      "KRVideo : Create primary surface on VIDEO MEMORY (LOCAL)",
                      "KRVideo : Create back buffer on VIDEO MEMORY (LOCAL)",
                      "KRVideo : Pixel format RGB565 (RRRRRGGGGGGBBBBB)"});
  EXPECT_TRUE(Primary().hasClipper);
  EXPECT_EQ(Primary().clipperWindow, window_);
  EXPECT_EQ(Primary().caps & DDSCAPS_3DDEVICE, DDSCAPS_3DDEVICE);
  EXPECT_EQ(Back().width, 320);
  EXPECT_EQ(Back().caps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE), DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  EXPECT_TRUE(Back().hasSourceKey);
  EXPECT_EQ(Back().sourceKey.dwColorSpaceLowValue, 0u);
  EXPECT_EQ(Back().sourceKey.dwColorSpaceHighValue, 0u);
  EXPECT_EQ(g_krVideo.dwShowMode, DWORD(KRVIDEO_SHOWMODE_BLIT));
}

TEST_F(VideoModeTest, FullScreenTakesTheDisplayWithAFlippingChain) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 32), 1);
  EXPECT_EQ(ArgumentsOf("SetWindowPos"),
            std::vector<std::string>{WindowArg() + ", HWND_TOPMOST, 0, 0, 640, 480, 0x400"});
  EXPECT_EQ(sim::CountCalls("ShowWindow"), 0);
  EXPECT_EQ(sim::CooperativeLevel(), DWORD(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
  EXPECT_EQ(sim::CurrentDisplayMode(), (sim::DisplayMode{640, 480, 32}));
  EXPECT_EQ(Primary().backBufferCount, 1);
  EXPECT_FALSE(Primary().hasClipper);
  EXPECT_EQ(sim::LiveClippers(), 0);
  ExpectLinesInOrder({"KRVideo : SetVideoyMode to 640x480x32 Full screen mode",
                      "KRVideo : Create primary surface on VIDEO MEMORY (LOCAL)",
                      "KRVideo : Create back buffer from primary surface",
                      "KRVideo : Pixel format RGB888 (RRRRRRRRGGGGGGGGBBBBBBBB)"});
  EXPECT_TRUE(Back().hasSourceKey);
  EXPECT_EQ(CurrentMode(), (Mode{640, 480, 32, 1}));
  // Both pages of the chain were cleared and shown.
  EXPECT_EQ(g_krVideo.dwShowMode, DWORD(KRVIDEO_SHOWMODE_FLIP));
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 2);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Blt"), 2);
}

TEST_F(VideoModeTest, OtherDevicesRunFullScreenAt16Bits) {
  ASSERT_NO_FATAL_FAILURE(StartOnSecondDevice());
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  EXPECT_EQ(CurrentMode(), (Mode{640, 480, 16, 1}));
  EXPECT_TRUE(Logged("KRVideo : SetVideoyMode to 640x480x16 Full screen mode"));
}

TEST_F(VideoModeTest, TheTwoArgumentFormKeepsTheKindOfMode) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
  ASSERT_EQ(KRVideoSetVideoMode(800, 600), 1);
  EXPECT_EQ(CurrentMode(), (Mode{800, 600, 16, 1}));
  EXPECT_EQ(sim::CurrentDisplayMode(), (sim::DisplayMode{800, 600, 16}));

  ASSERT_EQ(KRVideoSetVideoMode(320, 240, 0), 1);
  ASSERT_EQ(KRVideoSetVideoMode(400, 300), 1);
  EXPECT_EQ(CurrentMode(), (Mode{400, 300, 16, 0}));
}

TEST_F(VideoModeTest, FullScreenToWindowRestoresTheDisplayModeFirst) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 32), 1);
  Forget();
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  int restore = FirstCall("IDirectDraw4::RestoreDisplayMode");
  ASSERT_GE(restore, 0);
  EXPECT_LT(restore, FirstCall("SetWindowPos"));
  EXPECT_TRUE(sim::DisplayModeIsDesktop());
  ExpectLinesInOrder({"KRVideo : Release back buffer", "KRVideo : Release primary surface",
                      "KRVideo : SetVideoyMode to 640x480x16 Window mode"});
  EXPECT_EQ(ArgumentsOf("SetWindowPos").at(0), WindowArg() + ", HWND_NOTOPMOST, 0, 0, 648, 507, 0x406");
  EXPECT_EQ(sim::LiveSurfaces(), 2);
}

TEST_F(VideoModeTest, OtherDevicesAskedForWindowModeRestoreTheDisplayModeFirst) {
  ASSERT_NO_FATAL_FAILURE(StartOnSecondDevice());
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 32), 1);
  sim::ClearCalls();

  // Depth 0 asks for window mode, which this device turns into full screen at 16 bits.
  ASSERT_EQ(KRVideoSetVideoMode(800, 600, 0), 1);
  int restore = FirstCall("IDirectDraw4::RestoreDisplayMode");
  ASSERT_GE(restore, 0);
  EXPECT_LT(restore, FirstCall("SetWindowPos"));
  EXPECT_LT(restore, FirstCall("IDirectDraw4::SetDisplayMode"));
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::SetDisplayMode"), std::vector<std::string>{"800, 600, 16, 0, 0x0"});
  EXPECT_EQ(CurrentMode().fullScreen, 1);
}

TEST_F(VideoModeTest, SizesBeyondTheIntRangeAskForTheLargestWindow) {
  // At the screen's origin, so that the largest outer size still fits the window's rectangle.
  ASSERT_TRUE(SetWindowPos(window_, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  sim::ClearCalls();
  EXPECT_EQ(KRVideoSetVideoMode(0xFFFFFFFFul, 0x7FFFFFFFul, 0), 0) << "no back buffer is that large";
  EXPECT_EQ(ArgumentsOf("SetWindowPos"),
            std::vector<std::string>{WindowArg() + ", HWND_NOTOPMOST, 0, 0, 2147483647, 2147483647, 0x406"});

  sim::ClearCalls();
  EXPECT_EQ(KRVideoSetVideoMode(0xFFFFFFFFul, 0x80000000ul, 16), 0) << "no display mode is that large";
  EXPECT_EQ(ArgumentsOf("SetWindowPos"),
            std::vector<std::string>{WindowArg() + ", HWND_TOPMOST, 0, 0, 2147483647, 2147483647, 0x400"});
}

TEST_F(VideoModeTest, WindowToFullScreenLeavesTheChangeToSetDisplayMode) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  sim::ClearCalls();
  ASSERT_EQ(KRVideoSetVideoMode(800, 600, 8), 1);
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::RestoreDisplayMode"), 0);
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::SetDisplayMode"), std::vector<std::string>{"800, 600, 8, 0, 0x0"});
  EXPECT_EQ(sim::LiveClippers(), 0) << "the window's clipper went with its primary surface";
}

TEST_F(VideoModeTest, EachSurfaceFallsBackThroughTheFourMemories) {
  struct Rung {
    const char* refused;  // the capabilities that fail on the way to this rung
    const char* memory;
  };
  const char* kPrimaryCaps[] = {"caps 0x10006200", "caps 0x20006200", "caps 0x6200"};
  const char* kBackCaps[] = {"caps 0x10006040", "caps 0x20006040", "caps 0x6040"};
  const char* kMemories[] = {"VIDEO MEMORY (LOCAL)", "VIDEO MEMORY (NON LOCAL)", "VIDEO MEMORY", "SYSTEM MEMORY"};
  for (int rung = 0; rung < 4; ++rung) {
    SCOPED_TRACE(kMemories[rung]);
    for (int refused = 0; refused < rung; ++refused) {
      sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFVIDEOMEMORY, kPrimaryCaps[refused]);
      sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFVIDEOMEMORY, kBackCaps[refused]);
    }
    sim::ClearDebugOutput();
    ASSERT_EQ(KRVideoSetVideoMode(320, 240, 0), 1);
    EXPECT_EQ(sim::PendingFailures(), 0);
    ExpectLinesInOrder({std::string("KRVideo : Create primary surface on ") + kMemories[rung],
                        std::string("KRVideo : Create back buffer on ") + kMemories[rung]});
  }
  EXPECT_EQ(Back().memory, sim::SurfaceMemory::System);
}

TEST_F(VideoModeTest, FullScreenChainsFallBackWithTheFlipCapabilities) {
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::LocalVideo, false);
  sim::SetSurfaceMemoryAvailable(sim::SurfaceMemory::NonLocalVideo, false);
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
  EXPECT_TRUE(Logged("KRVideo : Create primary surface on SYSTEM MEMORY"));
  const std::vector<std::string> kTries = {
      "{flags 0x21, caps 0x10006218, backbuffers 1}, ptr, NULL",
      "{flags 0x21, caps 0x20006218, backbuffers 1}, ptr, NULL",
      "{flags 0x21, caps 0x6218, backbuffers 1}, ptr, NULL",
      "{flags 0x21, caps 0x2A18, backbuffers 1}, ptr, NULL",
  };
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::CreateSurface"), kTries);
}

TEST_F(VideoModeTest, ASurfaceThatCannotBeMadeFailsTheModeChange) {
  // No memory at all for the primary surface.
  sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, "", 4);
  EXPECT_EQ(KRVideoSetVideoMode(640, 480, 0), 0);
  ExpectLastError(0x1101, "KRVideo : 画面モードの切り替えに失敗しました");
  std::vector<std::string> errors = ErrorsReported();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "KRError \"KRVideo : 不明なエラーが発生しました\"\n") << "0x1004 first, then 0x1101";
  EXPECT_EQ(CurrentMode().width, 640u) << "the attempted mode stays stored";

  // Now the back buffer: the primary surface is made and kept until the next change.
  KRVideoRestoreVideoMode();
  for (const char* caps : {"caps 0x10006040", "caps 0x20006040", "caps 0x6040", "caps 0x2840"})
    sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, caps);
  EXPECT_EQ(KRVideoSetVideoMode(640, 480, 0), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x1101u);
  EXPECT_NE(g_krVideo.lpPrimarySurface, nullptr);
  EXPECT_EQ(g_krVideo.lpBackBuffer, nullptr);
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  EXPECT_EQ(sim::LiveSurfaces(), 2);
}

TEST_F(VideoModeTest, EachStepOfThePrimarySurfaceCanFailTheModeChange) {
  const struct {
    const char* function;
    unsigned long depth;
  } kSteps[] = {
      {"IDirectDraw4::SetCooperativeLevel", 0}, {"IDirectDraw4::CreateClipper", 0},
      {"IDirectDrawClipper::SetHWnd", 0},       {"IDirectDrawSurface4::SetClipper", 0},
      {"IDirectDraw4::SetCooperativeLevel", 16}, {"IDirectDraw4::SetDisplayMode", 16},
      {"IDirectDrawSurface4::GetAttachedSurface", 16},
  };
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.function);
    KRErrorSetLastError(0);
    sim::FailNext(step.function, DDERR_GENERIC);
    EXPECT_EQ(KRVideoSetVideoMode(640, 480, step.depth), 0);
    EXPECT_EQ(KRErrorGetLastError(), 0x1101u);
    EXPECT_EQ(sim::PendingFailures(), 0);
  }
  EXPECT_TRUE(Logged("DDERR_GENERIC")) << "a back buffer not found in the chain names its reason";
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
}

TEST_F(VideoModeTest, EightBitModesHaveTheSystemColoursAndA332Layout) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 8), 1);
  ExpectLinesInOrder({"KRVideo : Create back buffer from primary surface", "KRVideo : Create primary palette",
                      "KRVideo : Pixel format RGB332 (RRRGGGBB)"});
  EXPECT_TRUE(Primary().hasPalette);
  EXPECT_TRUE(Back().hasPalette);
  EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), 0xFFu);
  EXPECT_EQ(KRVideoColorToPixel(0x00808080), 0x6Du);

  PALETTEENTRY system[20];
  ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, system), 20u);
  const PALETTEENTRY* entries = g_krVideo.lpPaletteEntries;
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    const PALETTEENTRY* expected = i < 10 ? &system[i] : i >= 246 ? &system[i - 236] : nullptr;
    if (expected) {
      EXPECT_EQ(entries[i].peRed, expected->peRed);
      EXPECT_EQ(entries[i].peGreen, expected->peGreen);
      EXPECT_EQ(entries[i].peBlue, expected->peBlue);
      EXPECT_EQ(entries[i].peFlags, 0x40);
    } else {
      EXPECT_EQ(entries[i].peRed | entries[i].peGreen | entries[i].peBlue, 0);
      EXPECT_EQ(entries[i].peFlags, 0x01);
    }
  }
  EXPECT_EQ(entries[255].peRed, 255);  // white closes the static colours

  sim::ClearDebugOutput();
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
  ExpectLinesInOrder({"KRVideo : Release primary palette", "KRVideo : Release back buffer",
                      "KRVideo : Release primary surface"});
  EXPECT_EQ(sim::LivePalettes(), 0);
}

TEST_F(VideoModeTest, APaletteThatCannotBeMadeFailsTheModeChange) {
  sim::FailNext("IDirectDraw4::CreatePalette", DDERR_OUTOFMEMORY);
  EXPECT_EQ(KRVideoSetVideoMode(640, 480, 8), 0);
  ExpectLastError(0x1101, "KRVideo : 画面モードの切り替えに失敗しました");
  EXPECT_NE(g_krVideo.lpPrimarySurface, nullptr);
  EXPECT_NE(g_krVideo.lpBackBuffer, nullptr);
  EXPECT_FALSE(Primary().hasPalette);
}

TEST_F(VideoModeTest, ThePixelFormatLineFollowsTheDesktop) {
  const struct {
    int depth;
    const char* line;
    DWORD white;
  } kDesktops[] = {
      {15, "KRVideo : Pixel format RGB555 (RRRRRGGGGGBBBBB)", 0x7FFF},
      {24, "KRVideo : Pixel format RGB888 (RRRRRRRRGGGGGGGGBBBBBBBB)", 0xFFFFFF},
      {32, "KRVideo : Pixel format RGB888 (RRRRRRRRGGGGGGGGBBBBBBBB)", 0xFFFFFF},
  };
  for (const auto& desktop : kDesktops) {
    SCOPED_TRACE(desktop.depth);
    KRVideoRestoreVideoMode();
    sim::SetDesktopMode(1024, 768, desktop.depth);
    sim::ClearDebugOutput();
    ASSERT_EQ(KRVideoSetVideoMode(320, 240, 0), 1);
    EXPECT_TRUE(Logged(desktop.line)) << sim::DebugOutput();
    EXPECT_EQ(KRVideoColorToPixel(0x00FFFFFF), desktop.white);
  }
}

TEST_F(VideoModeTest, NothingHappensWithoutAStartedComponent) {
  KRVideoCleanup();
  sim::ClearCalls();
  EXPECT_EQ(KRVideoSetVideoMode(640, 480, 0), 0);
  ExpectLastError(0x1002, "KRVideo : 初期化されていません");
  EXPECT_EQ(sim::CountCalls("SetWindowPos"), 0);
}

TEST_F(VideoModeTest, RestoringTheVideoModeDropsItButKeepsTheCooperativeLevel) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 8), 1);
  sim::ClearDebugOutput();
  KRVideoRestoreVideoMode();
  ExpectLinesInOrder({"KRVideo : Release primary palette", "KRVideo : Release back buffer",
                      "KRVideo : Release primary surface"});
  EXPECT_TRUE(sim::DisplayModeIsDesktop());
  EXPECT_EQ(sim::CooperativeLevel(), DWORD(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
  EXPECT_EQ(CurrentMode(), (Mode{0, 0, 0, 0}));
  EXPECT_EQ(sim::LiveSurfaces(), 0);

  // Window mode has no display mode to restore.
  ASSERT_EQ(KRVideoSetVideoMode(320, 240, 0), 1);
  sim::ClearCalls();
  KRVideoRestoreVideoMode();
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::RestoreDisplayMode"), 0);
  EXPECT_EQ(sim::LiveClippers(), 0);
}

TEST_F(VideoModeTest, The2DBuffersFollowTheSurfaces) {
  ASSERT_EQ(KR2DStartup(), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), nullptr);
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), g_krVideo.lpPrimarySurface);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), g_krVideo.lpBackBuffer);
  EXPECT_EQ(Primary().references, 1) << "the table holds no reference of its own";

  KRVideoRestoreVideoMode();
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_PRIMARY), nullptr);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), nullptr);

  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 16), 1);
  EXPECT_EQ(KR2DGetBufferSurface(KR2D_BUFFER_BACK), g_krVideo.lpBackBuffer);
  KR2DCleanup();
  KRVideoCleanup();
  EXPECT_EQ(sim::LiveSurfaces(), 0);
}

}  // namespace
