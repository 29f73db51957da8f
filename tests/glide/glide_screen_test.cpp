// The screen's open and close: settings, the calls in their order, the log
// block, the failure path from each step, and the refusals of grGlideInit.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/core_state.h"
#include "glide_fixture.h"

namespace {

using GlideScreenTest = GlideTest;

TEST_F(GlideScreenTest, OpensAWindowModeScreenAndClosesIt) {
  grGlideInit();
  EXPECT_TRUE(Logged("Ondrel info : Startup Korvath succeeded"));
  ASSERT_EQ(OpenScreen(), FXTRUE) << sim::DebugOutput();
  EXPECT_EQ(g_glide.windowOpen, 1);
  EXPECT_EQ(grSstScreenWidth(), 640u);
  EXPECT_EQ(grSstScreenHeight(), 480u);
  ASSERT_NE(Device(), nullptr);
  EXPECT_TRUE(sim::DescribeDirect3DDevice(Device()).inScene);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 1u);
  // The open ends with a second of waiting.
  EXPECT_EQ(sim::Calls().back().function, "Sleep");
  EXPECT_EQ(sim::Calls().back().arguments, "1000");
  sim::ClearCalls();
  grSstWinClose();
  EXPECT_EQ(g_glide.windowOpen, 0);
  EXPECT_EQ(g_glide.d3dDevice, nullptr);
  // The game's window is repainted and shown, also to a thread that owns it.
  std::vector<std::string> windowCalls;
  for (const std::string& name : sim::CallNames()) {
    if (name == "InvalidateRect" || name == "ShowWindow" || name == "ShowWindowAsync" || name == "UpdateWindow") {
      windowCalls.push_back(name);
    }
  }
  EXPECT_EQ(windowCalls, (std::vector<std::string>{"InvalidateRect", "ShowWindow", "ShowWindowAsync", "UpdateWindow"}));
  ExpectLinesInOrder({"Ondrel info : grSstWinClose", "Ondrel info : grSstWinClose succeeded"});
}

// Before the device is made and again at the end, the open clears the back
// buffer to black and shows it, twice (F: a black fill, S: a show, D: the device).
TEST_F(GlideScreenTest, TheOpenClearsAndShowsTwiceAroundTheDevice) {
  grGlideInit();
  sim::ClearCalls();
  ASSERT_EQ(OpenScreen(), FXTRUE);
  std::string steps;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "IDirect3D3::CreateDevice") steps += 'D';
    if (call.function != "IDirectDrawSurface4::Blt") continue;
    if (call.arguments.find("{fill 0x0}") != std::string::npos) steps += 'F';
    if (call.arguments.find(", ptr, ") != std::string::npos) steps += 'S';
  }
  ASSERT_GE(steps.size(), 9u) << steps;
  EXPECT_EQ(steps.substr(steps.size() - 9), "FSFSDFSFS") << steps;
}

TEST_F(GlideScreenTest, LogsTheOpenBlockByteForByte) {
  grGlideInit();
  sim::ClearDebugOutput();
  sim::FillScreenRgb(0xFFFFFF);
  const uint32_t desktop = sim::ScreenRaw(0, 0);
  ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, 0, GR_COLORFORMAT_RGBA, GR_ORIGIN_LOWER_LEFT, 2, 1), FXTRUE);
  const std::string dashes(60, '-');
  const std::string indent(14, ' ');
  std::vector<std::string> lines = LogLines();
  std::vector<std::string> expected = {dashes,
                                       "Ondrel info : grSstWinOpen",
                                       dashes,
                                       indent + "Screen resolution = 640 x 480",
                                       indent + "Color format = GR_COLORFORMAT_RGBA",
                                       indent + "Origin location = GR_ORIGIN_LOWER_LEFT",
                                       indent + "Number of Col buffers =  2",
                                       indent + "Number of Aux buffers =  1",
                                       indent + "Profile = C:\\WINDOWS\\SYSTEM\\ONDREL.INI",
                                       indent + "Device = Unknown",
                                       indent + "Texture reduce memory = 1/1",
                                       dashes,
                                       ""};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(expected.size())), expected);
  ExpectLinesInOrder({"Ondrel info : Number of Direct3D Devices =  2", indent + "Direct3D Device  0 --- RGB Emulation",
                      "HAL Device detected  1", indent + "GR_TEXFMT_RGB_332 --- 3",
                      indent + "GR_TEXFMT_YIQ_422 --- Not supported yet",
                      indent + "GR_TEXFMT_INTENSITY_8 --- Same GR_TEXFMT_ALPHA_8", "Ondrel info : System info",
                      indent + "Front buffer read / write passed", indent + "Back buffer read / write passed",
                      "Ondrel info : grSstWinOpen succeeded"});
  EXPECT_EQ(sim::ScreenRaw(0, 0), desktop) << "the probe puts the pixel back";
}

TEST_F(GlideScreenTest, LogsTheFormatChoiceOfEveryGlideFormat) {
  ASSERT_EQ(InitAndOpen(), FXTRUE);
  const std::string dashes(60, '-');
  const std::string indent(14, ' ');
  // The boot device's formats: 555, 1555, 4444, 565, 888, 8888.
  const std::vector<std::string> block = {
      dashes,
      "Ondrel info : Find optimal Direct3D texture format for Glide",
      dashes,
      indent + "GR_TEXFMT_RGB_332 --- 3",
      indent + "GR_TEXFMT_YIQ_422 --- Not supported yet",
      indent + "GR_TEXFMT_ALPHA_8 --- 2",
      indent + "GR_TEXFMT_INTENSITY_8 --- Same GR_TEXFMT_ALPHA_8",
      indent + "GR_TEXFMT_ALPHA_INTENSITY_44 --- Not supported yet",
      indent + "GR_TEXFMT_P_8 --- 3",
      indent + "GR_TEXFMT_ARGB_8332 --- 2",
      indent + "GR_TEXFMT_AYIQ_8422 --- Not supported yet",
      indent + "GR_TEXFMT_RGB_565 --- 3",
      indent + "GR_TEXFMT_ARGB_1555 --- 1",
      indent + "GR_TEXFMT_ARGB_4444 --- 2",
      indent + "GR_TEXFMT_ALPHA_INTENSITY_88 --- Not supported yet",
      indent + "GR_TEXFMT_AP_88 --- 2",
      dashes,
      ""};
  std::vector<std::string> lines = LogLines();
  auto at = std::search(lines.begin(), lines.end(), block.begin(), block.end());
  EXPECT_NE(at, lines.end()) << sim::DebugOutput();
  ExpectLinesInOrder({indent + "Texture format  3 --- 16 BITS RGB  565  R11( 31) G 5( 63) B 0( 31) A 0(  0)",
                      indent + "Front buffer pitch = 2048", indent + "Back buffer pitch = 1280", indent + "Can use texture on SYSTEM MEMORY"});
}

TEST_F(GlideScreenTest, APalettisedFormatIsListedByItsNameAlone) {
  std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
  devices.back().textureFormats.push_back(sim::PaletteFormat(8));
  sim::SetDirect3DDevices(devices);
  ASSERT_EQ(InitAndOpen(), FXTRUE);
  EXPECT_TRUE(Logged(Indented("Texture format  6 ---  8 BITS RGB  PALETTE"))) << sim::DebugOutput();
}

TEST_F(GlideScreenTest, ListsOnlyTheDevicesFormatsAndTellsWhenItCannotTextureFromSystemMemory) {
  std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
  devices.back().hardware.dwDevCaps &= ~static_cast<DWORD>(D3DDEVCAPS_TEXTURESYSTEMMEMORY);
  sim::SetDirect3DDevices(devices);
  Open();
  EXPECT_EQ(g_glide.canTextureFromSystemMemory, 0);
  grSstWinClose();
  grGlideInit();
  sim::ClearDebugOutput();
  ASSERT_EQ(OpenScreen(), FXTRUE);
  const std::string indent(14, ' ');
  EXPECT_TRUE(Logged(indent + "Can't use texture on SYSTEM MEMORY"));
  EXPECT_TRUE(Logged(indent + "Texture format  5 --- 32 BITS RGBA 8888 R16(255) G 8(255) B 0(255) A24(255)"));
  for (const std::string& line : LogLines()) EXPECT_EQ(line.find("Texture format  6"), std::string::npos);
}

TEST_F(GlideScreenTest, AMissingSettingsFileGivesTheDefaults) {
  WriteIni("");
  char path[300];
  GlideSettingsPath(path, sizeof path);
  EXPECT_STREQ(path, "C:\\WINDOWS\\SYSTEM\\ONDREL.INI");
  GlideSettings s;
  ReadGlideSettings("C:\\NOWHERE\\ONDREL.INI", &s);
  EXPECT_STREQ(s.device, "Unknown");
  EXPECT_EQ(s.videoBitsPerPixel, 16);
  EXPECT_EQ(s.modes[0][0], 512);
  EXPECT_EQ(s.modes[4][1], 768);
  EXPECT_EQ((std::vector<int>{s.noSplash, s.noSound, s.reduceMemory}), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(s.gammaBase, 0.0f);
}

TEST_F(GlideScreenTest, ReadsIntegersLikeAtoiAndModesWithAFallback) {
  WriteIni(
      "[video]\nGAMMABASE=50\n16BPP=\nNoFog= 7x\nScaleFix=99999999999\nNoVsync=-99999999999\n640x480=800x600\n"
      "800x600=bad\n1024x768=0x5\n512x384=640x480\n640x400=1024x768\n[Texture]\nReduceMemory=2\n");
  GlideSettings s;
  ReadGlideSettings(kIniPath, &s);
  EXPECT_FLOAT_EQ(s.gammaBase, 0.5f);
  EXPECT_EQ(s.videoBitsPerPixel, 0);  // an empty key is 0
  EXPECT_EQ(s.noFog, 7);
  EXPECT_EQ(s.scaleFix, 2147483647);
  EXPECT_EQ(s.noVsync, -2147483647 - 1);
  // modes[3] is unparsable: the Glide size.
  EXPECT_EQ((std::vector<int>{s.modes[0][0], s.modes[0][1], s.modes[1][0], s.modes[1][1], s.modes[2][0], s.modes[2][1],
                              s.modes[3][0], s.modes[4][0], s.modes[4][1]}),
            (std::vector<int>{640, 480, 1024, 768, 800, 600, 800, 1024, 768}));
  EXPECT_EQ(s.reduceMemory, 2);
  std::vector<int> divisors;
  for (int setting : {2, 6, 7, 0, -1}) divisors.push_back(ReduceMemoryDivisor(setting));
  EXPECT_EQ(divisors, (std::vector<int>{4, 64, 1, 1, 1}));
}

TEST_F(GlideScreenTest, AResolutionWithoutAModeFailsAsTheVideoModeWithoutAskingKorvath) {
  for (GrScreenResolution_t resolution : {GR_RESOLUTION_320x200, 16, -1}) {
    grGlideInit();
    sim::ClearCalls();
    sim::ClearDebugOutput();
    EXPECT_EQ(grSstWinOpen(0, resolution, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1), FXFALSE);
    EXPECT_TRUE(Logged("Ondrel warning : Failed to change video mode"));
    EXPECT_EQ(sim::CountCalls("IDirectDraw4::SetCooperativeLevel"), 1) << "only the video start-up's";
    std::vector<sim::MessageBoxRecord> boxes = sim::MessageBoxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[boxes.size() - 2].text, "Ondrel warning : grSstWinOpen\rFailed to change video mode");
    EXPECT_EQ(boxes.back().text, "Ondrel warning : grSstWinOpen\rFailed to startup\rOndrel shutdown.");
    EXPECT_TRUE(boxes.back().captionWasNull);
    EXPECT_EQ(boxes.back().owner, nullptr);
    EXPECT_EQ(g_glide.windowOpen, 0);
  }
}

TEST_F(GlideScreenTest, AFailedDeviceStartShowsBothBoxesAndCleansUp) {
  grGlideInit();
  sim::FailNext("IDirect3D3::CreateDevice", DDERR_GENERIC, "", 2);
  EXPECT_EQ(OpenScreen(), FXFALSE);
  EXPECT_TRUE(Logged("Ondrel warning : Couldn't startup device"));
  std::vector<sim::MessageBoxRecord> boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "Ondrel warning : grSstWinOpen\rFailed to initialize 3D Device");
  EXPECT_EQ(boxes[0].owner, window_);
  EXPECT_EQ(boxes[1].owner, window_);
  EXPECT_EQ(boxes[1].text, LastErrorText());
  EXPECT_EQ(boxes[2].owner, nullptr);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
}

TEST_F(GlideScreenTest, ADeviceWithoutAFourBitAlphaFormatFailsTheOpenAtAlpha8) {
  SetTextureFormats({sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F)});
  EXPECT_EQ(InitAndOpen(), FXFALSE);
  EXPECT_TRUE(Logged(Indented("GR_TEXFMT_ALPHA_8 --- Couldn't found")));
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  EXPECT_EQ(sim::MessageBoxes().back().text, "Ondrel warning : grSstWinOpen\rFailed to startup\rOndrel shutdown.");
}

TEST_F(GlideScreenTest, A565And5551DeviceMapsEachGlideFormatToItsFirstCandidate) {
  SetTextureFormats({sim::RgbFormat(16, 0xF800, 0x07E0, 0x001F), sim::RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000)});
  Open();
  std::vector<int> chosen;
  for (int format : {GR_TEXFMT_RGB_332, GR_TEXFMT_P_8, GR_TEXFMT_ALPHA_8, GR_TEXFMT_INTENSITY_8, GR_TEXFMT_ARGB_8332,
                     GR_TEXFMT_YIQ_422, GR_TEXFMT_RSVD0, GR_TEXFMT_RSVD1}) {
    chosen.push_back(g_glide.textureFormatMap[format]);
  }
  EXPECT_EQ(chosen, (std::vector<int>{0, 0, 1, 1, 1, -1, 0, 0}));
}

TEST_F(GlideScreenTest, AnOpenWhileOpenClosesFirstAndAReopenWorks) {
  Open();
  ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_800x600, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 0), FXTRUE);
  EXPECT_TRUE(Logged("Ondrel info : grSstWinClose succeeded"));
  EXPECT_EQ(grSstScreenWidth(), 800u);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 1);
  // No aux buffer: the device starts without a depth buffer.
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).depthBuffer, nullptr);
  grSstWinClose();
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
}

TEST_F(GlideScreenTest, TheCloseRepaintsTheWindowAndTheShutdownMovesItBack) {
  RECT before;
  GetWindowRect(window_, &before);
  Open();
  grGlideShutdown();
  EXPECT_EQ(g_glide.windowOpen, 0);
  EXPECT_EQ(ArgumentsOf("InvalidateRect").size(), 1u);
  EXPECT_EQ(sim::CountCalls("UpdateWindow"), 1);
  RECT after;
  GetWindowRect(window_, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(sim::CountCalls("MoveWindow"), 1);
}

TEST_F(GlideScreenTest, AnOpenOnTheGamesWindowRestartsKorvathThere) {
  grGlideInit();
  sim::TestWindowLayout layout;
  layout.highHandle = true;  // the 32-bit handle widens sign-extended
  HWND other = sim::CreateTestWindow(layout);
  const FxU32 handle = static_cast<FxU32>(reinterpret_cast<uintptr_t>(other));
  ASSERT_EQ(grSstWinOpen(handle, GR_RESOLUTION_640x480, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1), FXTRUE);
  EXPECT_EQ(g_krCore.hWnd, other);
  grSstWinClose();
  KRCleanup();
  DestroyWindow(other);
}

}  // namespace

namespace {

// The failure path from each start-up step: FXFALSE, the closing box, and
// KORVATHD's components cleaned up (those never started included) with nothing live.
struct FailingStep {
  const char* function;
  int64_t code;
  const char* arguments;
};

class GlideOpenFailureTest : public GlideTest, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(GlideOpenFailureTest, TakesTheFailurePathAndLeavesNothingLive) {
  grGlideInit();
  sim::FailNext(GetParam().function, GetParam().code, GetParam().arguments, 4);
  EXPECT_EQ(OpenScreen(), FXFALSE);
  EXPECT_EQ(sim::MessageBoxes().back().text, "Ondrel warning : grSstWinOpen\rFailed to startup\rOndrel shutdown.");
  EXPECT_EQ(g_glide.windowOpen, 0);
  EXPECT_EQ(g_glide.d3dDevice, nullptr);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  EXPECT_EQ(sim::LiveDirectDrawObjects(), 0);
  EXPECT_EQ(sim::LiveSurfaces(), 0);
  sim::ClearContractViolations();
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, GlideOpenFailureTest,
    ::testing::Values(FailingStep{"CoCreateInstance", REGDB_E_CLASSNOTREG, ""},
                      FailingStep{"IDirectDraw4::SetCooperativeLevel", DDERR_GENERIC, ""},
                      FailingStep{"IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, ""},
                      FailingStep{"IDirect3D3::CreateDevice", DDERR_GENERIC, ""}));

TEST_F(GlideScreenTest, AMissingTextureFormatLogsCouldntFound) {
  SetTextureFormats({});
  EXPECT_EQ(InitAndOpen(), FXFALSE);
  EXPECT_TRUE(Logged(Indented("GR_TEXFMT_RGB_332 --- Couldn't found")));
  EXPECT_FALSE(Logged(Indented("GR_TEXFMT_YIQ_422 --- Not supported yet")));
}

TEST_F(GlideScreenTest, SettingsChooseTheDeviceTheDepthAndTheShowMode) {
  WriteIni("[Video]\nDevice=unknown\n16BPP=0\nNoVsync=1\n[Splash]\nNoSplash=1\n");
  Open();
  EXPECT_EQ(g_krVideo.dwShowMode, static_cast<DWORD>(KRVIDEO_SHOWMODE_BLIT));
  grSstWinClose();
  WriteIni("[Video]\nDevice=No such card\n16BPP=0\n[Splash]\nNoSplash=1\n");
  ASSERT_EQ(OpenScreen(), FXTRUE);
  EXPECT_TRUE(Logged(Indented("Device = No such card")));
}

TEST_F(GlideScreenTest, SoftwareEmulationListsOnlyTheSoftwareDevices) {
  WriteIni("[Video]\n16BPP=0\nSoftwareEmulation=1\n[Splash]\nNoSplash=1\n");
  ASSERT_EQ(InitAndOpen(), FXTRUE);
  EXPECT_TRUE(Logged("Ondrel info : Number of Direct3D Devices =  1"));
  EXPECT_FALSE(Logged("HAL Device detected  1"));
}

// What the game set on the texture unit before a close is gone after the next open.
TEST_F(GlideScreenTest, AnOpenStartsTheTextureUnitAfresh) {
  Open();
  g_tmu.minFilter = g_tmu.magFilter = g_tmu.mipMapMode = 1;
  g_tmu.rgbFunction = g_tmu.alphaFunction = GR_COMBINE_FUNCTION_BLEND;
  g_tmu.rgbFactor = g_tmu.alphaFactor = GR_COMBINE_FACTOR_ONE;
  g_tmu.sourceAddress = 64;
  g_tmu.boundAddress = 64;
  g_tmu.evenOdd = 2;
  grSstWinClose();
  ASSERT_EQ(OpenScreen(), FXTRUE);
  EXPECT_EQ((std::vector<long long>{g_tmu.minFilter + g_tmu.magFilter + g_tmu.mipMapMode, g_tmu.rgbFunction,
                                    g_tmu.alphaFunction, g_tmu.rgbFactor, g_tmu.alphaFactor, g_tmu.sourceAddress,
                                    g_tmu.boundAddress, g_tmu.evenOdd}),
            (std::vector<long long>{0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
                                    GR_COMBINE_FACTOR_ZERO, 0, -1, 1}));
}

TEST_F(GlideScreenTest, TheLastHardwareDeviceIsUsedAndWithoutOneSoftwareEmulationIsForced) {
  std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
  devices.push_back(devices.back());
  devices.back().guid.Data1 ^= 1;
  sim::SetDirect3DDevices(devices);
  ASSERT_EQ(InitAndOpen(), FXTRUE);
  EXPECT_TRUE(Logged("HAL Device detected  2"));
  EXPECT_EQ(sim::DescribeDirect3DDevice(Device()).type, devices.back().guid);
  grSstWinClose();
  devices.resize(1);
  sim::SetDirect3DDevices(devices);
  Open();
  EXPECT_EQ(g_glide.settings.softwareEmulation, 1);
  EXPECT_EQ(g_glide.canTextureFromSystemMemory, 1);
}

}  // namespace

namespace {

// The splash sequences run on the virtual clock: every tick read moves it a second on.
void ClockRunsInSeconds() { sim::SetTickStep(1000); }

TEST_F(GlideScreenTest, TheOpenPlaysTheSplashWithSoundUnlessTheSettingsSayNo) {
  WriteIni("[Video]\n16BPP=0\n");
  ClockRunsInSeconds();
  ASSERT_EQ(InitAndOpen(), FXTRUE) << sim::DebugOutput();
  ExpectLinesInOrder({"KRSound : Startup", "KR3D : Splash Tarnwick", "KRSound : Cleanup",
                      "Ondrel info : grSstWinOpen succeeded"});
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 0) << "sound is cleaned up after the splash";
  EXPECT_FALSE(sim::Direct3DDraws().empty());
  EXPECT_EQ(g_tmu.boundAddress, -1);
  grSstWinClose();

  // NoSound: the splash plays silently; NoSplash: neither.
  for (const char* setting : {"NoSound", "NoSplash"}) {
    WriteIni(std::string("[Video]\n16BPP=0\n[Splash]\n") + setting + "=1\n");
    sim::ClearDebugOutput();
    ASSERT_EQ(OpenScreen(), FXTRUE);
    EXPECT_EQ(Logged("KR3D : Splash Tarnwick"), std::string(setting) == "NoSound") << setting;
    EXPECT_FALSE(Logged("KRSound : Startup"));
    grSstWinClose();
  }
}

TEST_F(GlideScreenTest, SoundThatCannotStartFailsTheOpen) {
  WriteIni("[Video]\n16BPP=0\n");
  grGlideInit();
  // Sound already started by the game: a second start-up is refused.
  ASSERT_EQ(KRSoundStartup(), 1);
  EXPECT_EQ(OpenScreen(), FXFALSE);
  EXPECT_FALSE(Logged("KR3D : Splash Tarnwick"));
  EXPECT_EQ(g_glide.windowOpen, 0);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  ASSERT_FALSE(sim::MessageBoxes().empty());
  EXPECT_EQ(sim::MessageBoxes().back().text, "Ondrel warning : grSstWinOpen\rFailed to startup\rOndrel shutdown.");
  KRSoundCleanup();
}

TEST_F(GlideScreenTest, ASplashRequestPlaysOnlyFrameZeroAndPutsTheGamesStateBack) {
  Open();
  ClockRunsInSeconds();
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grFogColorValue(0x00123456);
  GrState before;
  grGlideGetState(&before);

  grSplash(0, 0, 640, 480, 1);
  EXPECT_FALSE(Logged("KR3D : Splash Tarnwick")) << "only frame 0 plays";

  grSplash(10, 10, 100, 100, 0);
  ExpectLinesInOrder({"KRSound : Startup", "KR3D : Splash Tarnwick", "KRSound : Cleanup"});
  GrState after;
  grGlideGetState(&after);
  EXPECT_EQ(memcmp(&before, &after, sizeof before), 0);
  // The scene is open again with the game's states on the device.
  EXPECT_TRUE(sim::DescribeDirect3DDevice(Device()).inScene);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 1u);
  EXPECT_EQ(g_tmu.boundAddress, -1);
  EXPECT_EQ(sim::LiveDirectSoundObjects(), 0);

  // Without sound nothing happens at all.
  ASSERT_EQ(KRSoundStartup(), 1);
  Forget();
  grSplash(0, 0, 640, 480, 0);
  EXPECT_FALSE(Logged("KR3D : Splash Tarnwick"));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::EndScene"), 0);
  KRSoundCleanup();
}

}  // namespace
