// The splash sequences on the scripted clock: what each frame draws at the
// phase boundaries, the sounds played once in their windows, Escape, sound
// off, missing module and resources, WM_QUIT, the tick count's wrap, the
// order of release, and what the sequences leave behind.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/core_state.h"
#include "render3d/frame_fixture.h"
#include "render3d/render3d_state.h"

namespace {

const DWORD kLoaded = 50000;  // the tick count when loading ends
const float kPi = 3.14159265f;

class SplashTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice());
  }

  static void StartSound() {
    ASSERT_EQ(KRSoundStartup(), 1);
    Forget();
  }

  // Loading ends at `start`; the frames then read `start + t` for each t
  // given; after those the clock runs on in steps of a minute, so a sequence
  // that missed its end still ends.
  static void FramesAt(const std::vector<DWORD>& times, DWORD start = kLoaded) {
    std::vector<uint32_t> ticks = {start};
    for (DWORD t : times) ticks.push_back(start + t);
    sim::ScriptTickCounts(ticks);
    sim::SetTickStep(60000);
  }

  // The draws of each frame: one per object.
  static std::vector<std::vector<sim::Direct3DDraw>> FrameDraws() {
    std::vector<std::vector<sim::Direct3DDraw>> frames;
    const std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    for (size_t i = 0; i < draws.size(); ++i) {
      if (i % 4 == 0) frames.emplace_back();
      frames.back().push_back(draws[i]);
    }
    return frames;
  }

  // The number of the frame (counted by the message each frame removes) in
  // which each call of `function` (with `argumentsContain`) came.
  static std::vector<int> FramesOf(const std::string& function, const std::string& argumentsContain = "") {
    std::vector<int> frames;
    int frame = -1;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function == "PeekMessageA") ++frame;
      if (call.function == function && call.arguments.find(argumentsContain) != std::string::npos) {
        frames.push_back(frame);
      }
    }
    return frames;
  }

  static void ExpectTranslation(const D3DMATRIX& m, float x, float y, float z) {
    EXPECT_NEAR(m._41, x, 1e-3);
    EXPECT_NEAR(m._42, y, 1e-3);
    EXPECT_NEAR(m._43, z, 1e-3);
    EXPECT_FLOAT_EQ(m._44, 1.0f);
  }

  static void ExpectIdentityRotation(const D3DMATRIX& m) {
    EXPECT_FLOAT_EQ(m._11, 1.0f);
    EXPECT_FLOAT_EQ(m._22, 1.0f);
    EXPECT_FLOAT_EQ(m._33, 1.0f);
    EXPECT_FLOAT_EQ(m._12 + m._13 + m._21 + m._23 + m._31 + m._32, 0.0f);
  }

  static float Emissive(const sim::Direct3DDraw& draw) {
    EXPECT_FLOAT_EQ(draw.materialData.emissive.r, draw.materialData.emissive.g);
    EXPECT_FLOAT_EQ(draw.materialData.emissive.r, draw.materialData.emissive.b);
    return draw.materialData.emissive.r;
  }

  // Nothing of a sequence is left: every object it made is released (the
  // device may still hold the last texture it drew with).
  static void ExpectAllReleased() {
    for (int t = 1; t < KR3D_TEXTURE_MAX; ++t) EXPECT_EQ(g_kr3D.lpTextures[t].lpD3DTexture, nullptr) << t;
    EXPECT_LE(sim::LiveDirect3DTextures(), 1);
    EXPECT_EQ(sim::LiveDirect3DMaterials(), 0);
    EXPECT_EQ(sim::LiveDirect3DLights(), 0);
    EXPECT_EQ(sim::LiveDirect3DViewports(), 1) << "the default viewport only";
    for (int m = 1; m < KR3D_MODEL_MAX; ++m) EXPECT_EQ(g_kr3D.lpModels[m].nNumVert, 0) << m;
  }

  static std::vector<std::string> Warnings() {
    std::vector<std::string> warnings;
    for (const std::string& line : LogLines()) {
      if (line.find("Warning") != std::string::npos) warnings.push_back(line);
    }
    return warnings;
  }
};

TEST_F(SplashTest, DirectXFliesFourSquaresInThenFlashesAndFades) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  FramesAt({0, 1500, 2999, 3000, 3999, 4000, 4500, 5000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_TRUE(Logged("KR3D : Splash DirectX"));
  const auto frames = FrameDraws();
  ASSERT_EQ(frames.size(), 7u) << "the frame at 5000 ms ends the sequence";
  const std::vector<std::string> calls = sim::CallNames();
  EXPECT_EQ(std::count_if(std::find(calls.begin(), calls.end(), "GetTickCount"), calls.end(),
                          [](const std::string& call) {
                            return call.find("Resource") != std::string::npos && call != "FreeResource";
                          }),
            0)
      << "the clock starts once the last resource is in";

  // Each frame: projection and view of the splash camera, translucent additive squares.
  KR3DMATRIX projection, view;
  projection.SetProjection(1.0f, 5000.0f, 1.0466667f);
  view.SetView(D3DVECTOR{0, 0, -80}, D3DVECTOR{0, 0, 0}, D3DVECTOR{0, 1, 0}, 0.0f);
  for (const auto& frame : frames) {
    for (const sim::Direct3DDraw& draw : frame) {
      EXPECT_EQ(memcmp(&draw.projection, &projection, sizeof(D3DMATRIX)), 0);
      EXPECT_EQ(memcmp(&draw.view, &view, sizeof(D3DMATRIX)), 0);
      EXPECT_EQ(draw.RenderState(D3DRENDERSTATE_SRCBLEND), DWORD{D3DBLEND_ONE});
      EXPECT_EQ(draw.RenderState(D3DRENDERSTATE_DESTBLEND), DWORD{D3DBLEND_ONE});
      EXPECT_EQ(draw.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), DWORD{TRUE});
      EXPECT_NE(draw.texture, nullptr);
      EXPECT_EQ(draw.vertexCount, 6u);
    }
  }
  // At 0 in the corners, at 1500 half-way: (+-25, +-25, -55).
  for (int i = 0; i < 4; ++i) {
    const float sx = (i & 1) ? 1.0f : -1.0f, sy = (i & 2) ? 1.0f : -1.0f;
    ExpectTranslation(frames[0][i].world, 50 * sx, 50 * sy, -130);
    ExpectTranslation(frames[1][i].world, 25 * sx, 25 * sy, -55);
    ExpectIdentityRotation(frames[1][i].world);
  }
  // From 3000 only object 0 stays, at (0, 0, 20); the others wait behind the camera.
  for (size_t f = 3; f < frames.size(); ++f) {
    std::vector<float> depths;
    for (const auto& draw : frames[f]) depths.push_back(draw.world._43);
    std::sort(depths.begin(), depths.end());
    EXPECT_EQ(depths, (std::vector<float>{-1000, -1000, -1000, 20})) << "frame " << f;
  }
  // Emissive: rising to a quarter, 1 in the flash, falling to 0 from 4000.
  EXPECT_FLOAT_EQ(Emissive(frames[0][0]), 0.0f);
  EXPECT_NEAR(Emissive(frames[1][0]), (1 - std::cos(kPi / 4)) / 4, 1e-6);
  EXPECT_NEAR(Emissive(frames[2][0]), 0.25f, 1e-3);
  EXPECT_FLOAT_EQ(Emissive(frames[3][0]), 1.0f);
  EXPECT_FLOAT_EQ(Emissive(frames[4][0]), 1.0f);
  EXPECT_FLOAT_EQ(Emissive(frames[5][0]), 1.0f);
  EXPECT_NEAR(Emissive(frames[6][0]), std::cos(kPi / 4), 1e-6);
  // The sound once, in the first frame of the flash.
  EXPECT_EQ(FramesOf("IDirectSoundBuffer::Play"), std::vector<int>{3});
  // Every frame drawn is shown (the back buffer copied into the window), then
  // the end shows both cleared screens.
  EXPECT_EQ(FramesOf("IDirectDrawSurface4::Blt", ", ptr, "), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 7}));
  // Each frame clears viewport 0 (black, depth 1.0); the splash viewport is the one rendered in.
  const auto clears = sim::Direct3DClears();
  ASSERT_EQ(clears.size(), 7u);
  for (const auto& clear : clears) {
    EXPECT_EQ(clear.viewport, g_kr3D.lpViewports[0].lpViewport);
    EXPECT_EQ(clear.flags, DWORD{D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER});
    EXPECT_FLOAT_EQ(clear.z, 1.0f);
  }
  EXPECT_NE(frames[0][0].viewport, g_kr3D.lpViewports[0].lpViewport);
  EXPECT_TRUE(Warnings().empty()) << sim::DebugOutput();
  ExpectAllReleased();
}

TEST_F(SplashTest, TarnwickSpinsTheModelsInAndFadesTheLight) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  FramesAt({0, 375, 750, 1500, 3999, 4000, 4250, 4499, 4500});
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  EXPECT_TRUE(Logged("KR3D : Splash Tarnwick"));
  const auto frames = FrameDraws();
  ASSERT_EQ(frames.size(), 8u);
  const D3DVECTOR starts[4] = {{-90, -10, 60}, {0, -10, 80}, {90, -10, 60}, {0, -40, 100}};
  const D3DVECTOR ends[4] = {{-20, 10, 0}, {0, 10, 0}, {20, 10, 0}, {0, -20, 0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(frames[1][i].world._23, -1.0f, 1e-5) << "a quarter turn back about x at 375 ms";
    const sim::Direct3DDraw& half = frames[2][i];
    // Half a turn about x at 750 ms, half-way between start and end.
    EXPECT_NEAR(half.world._22, -1.0f, 1e-5);
    EXPECT_NEAR(half.world._33, -1.0f, 1e-5);
    EXPECT_FLOAT_EQ(half.world._11, 1.0f);
    ExpectTranslation(half.world, (starts[i].x + ends[i].x) / 2, (starts[i].y + ends[i].y) / 2,
                      (starts[i].z + ends[i].z) / 2);
    ExpectTranslation(frames[0][i].world, starts[i].x, starts[i].y, starts[i].z);
    for (size_t f = 3; f < frames.size(); ++f) {
      ExpectIdentityRotation(frames[f][i].world);
      ExpectTranslation(frames[f][i].world, ends[i].x, ends[i].y, ends[i].z);
    }
    EXPECT_EQ(frames[0][i].RenderState(D3DRENDERSTATE_SRCBLEND), DWORD{D3DBLEND_DESTCOLOR});
    EXPECT_EQ(frames[0][i].RenderState(D3DRENDERSTATE_DESTBLEND), DWORD{D3DBLEND_SRCCOLOR});
    EXPECT_EQ(frames[0][i].texture != nullptr, i == 3) << "only the banner is textured";
    EXPECT_FLOAT_EQ(frames[0][i].materialData.diffuse.r, 1.0f);
  }
  // The light: unchanged until 4000, then fading with cos.
  for (size_t f = 0; f < frames.size(); ++f) {
    ASSERT_EQ(frames[f][0].lights.size(), 1u);
  }
  const D3DLIGHT2 first = frames[0][0].lights[0];
  EXPECT_FLOAT_EQ(first.dcvColor.r, 1.5f);
  EXPECT_FLOAT_EQ(first.dcvColor.b, 0.4f);
  EXPECT_FLOAT_EQ(first.dvRange, 130.0f);
  EXPECT_FLOAT_EQ(frames[4][0].lights[0].dcvColor.g, 1.5f);
  EXPECT_FLOAT_EQ(frames[5][0].lights[0].dcvColor.r, 1.5f) << "cos(0) at 4000";
  const D3DLIGHT2 fading = frames[6][0].lights[0];
  EXPECT_NEAR(fading.dcvColor.r, 1.5f * std::cos(kPi / 4), 1e-5);
  EXPECT_NEAR(fading.dcvColor.g, 1.5f * std::cos(kPi / 4), 1e-5);
  EXPECT_NEAR(fading.dcvColor.b, 0.4f * std::cos(kPi / 4), 1e-5);
  // Sound 1 in the first frame, sound 2 in the first frame from 1500.
  EXPECT_EQ(FramesOf("IDirectSoundBuffer::Play"), (std::vector<int>{0, 3}));
  EXPECT_TRUE(Warnings().empty()) << sim::DebugOutput();
  ExpectAllReleased();
}

TEST_F(SplashTest, ASoundWithoutAFrameInItsWindowIsSkipped) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  FramesAt({2000, 4000, 6000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_EQ(FrameDraws().size(), 2u);
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::Play"), 0);
  // Made, and released, all the same.
  EXPECT_EQ(sim::CountCalls("IDirectSound::CreateSoundBuffer"), 1);
  EXPECT_EQ(sim::LiveSoundBuffers(), 1) << "the primary buffer only";
}

TEST_F(SplashTest, EscapeHeldAtTheStartEndsBeforeAnythingIsDrawn) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  sim::SetAsyncKeyDown(VK_ESCAPE, true);
  FramesAt({0});
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(sim::CountCalls("IDirectSoundBuffer::Play"), 0);
  ExpectAllReleased();
  EXPECT_EQ(sim::LiveSoundBuffers(), 1);
}

TEST_F(SplashTest, EscapeDuringTheSequenceEndsItAtTheNextFrame) {
  sim::PressAsyncKeyAfter(VK_ESCAPE, 2);
  FramesAt({0, 100, 200, 300});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_EQ(FrameDraws().size(), 2u);
  ExpectAllReleased();
}

TEST_F(SplashTest, WithoutSoundNoBufferIsMadePlayedOrReleased) {
  FramesAt({0, 1500, 3000, 4500});
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  EXPECT_EQ(FrameDraws().size(), 3u);
  for (const std::string& args : ArgumentsOf("FindResourceA")) {
    EXPECT_EQ(args.find("\"WAVE\""), std::string::npos) << "no sound resource taken";
  }
  EXPECT_EQ(sim::CountCalls("IDirectSound::CreateSoundBuffer"), 0);
  EXPECT_TRUE(Warnings().empty()) << "no release of a sound that was never made";
}

TEST_F(SplashTest, WithoutTheLibrarysModuleNothingIsMade) {
  sim::FailNext("GetModuleHandleA", ERROR_MOD_NOT_FOUND, "KORVATHD.DLL");
  const int viewports = sim::LiveDirect3DViewports();
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_TRUE(Logged("KR3D : Splash DirectX"));
  EXPECT_EQ(sim::CountCalls("FindResourceA"), 0);
  EXPECT_EQ(sim::CountCalls("GetTickCount"), 0);
  EXPECT_EQ(sim::LiveDirect3DViewports(), viewports);
}

TEST_F(SplashTest, WithoutAStartedDeviceOnlyTheLineIsWritten) {
  KR3DCleanupDevice();
  Forget();
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KR3D : Splash Tarnwick"});
  EXPECT_EQ(sim::CountCalls("FindResourceA"), 0);
  EXPECT_EQ(sim::CountCalls("PeekMessageA"), 0);
}

TEST_F(SplashTest, MissingResourcesLeaveTheirHandlesZeroAndTheSequenceRuns) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  HMODULE library = sim::LoadedModule("KORVATHD.DLL");
  ASSERT_TRUE(sim::RemoveResource(library, "WAVE", MAKEINTRESOURCEA(102)));
  ASSERT_TRUE(sim::RemoveResource(library, "KRMODEL", MAKEINTRESOURCEA(103)));
  ASSERT_TRUE(sim::RemoveResource(library, RT_BITMAP, MAKEINTRESOURCEA(101)));
  FramesAt({0, 3000, 5000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectSound::CreateSoundBuffer"), 0);
  EXPECT_EQ(sim::CountCalls("FreeResource"), 0) << "nothing was loaded";
  // The release calls for the missing handles write their warnings.
  ExpectLinesInOrder({"KRSound Warning : You did release NULL or ills Buffer(0).",
                      "KR3D Warning : You did release NULL or ills Modell(0)."});
  ExpectAllReleased();
}

TEST_F(SplashTest, ResourcesShorterThanTheirHeadersSayAreNotCreated) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  HMODULE library = sim::LoadedModule("KORVATHD.DLL");
  std::string wave = sim::ResourceBytes(library, "WAVE", MAKEINTRESOURCEA(104));
  sim::SetResource(library, "WAVE", MAKEINTRESOURCEA(104), wave.substr(0, wave.size() - 1));
  std::string model = sim::ResourceBytes(library, "KRMODEL", MAKEINTRESOURCEA(107));
  sim::SetResource(library, "KRMODEL", MAKEINTRESOURCEA(107), model.substr(0, model.size() - 1));
  sim::SetResource(library, "KRMODEL", MAKEINTRESOURCEA(108), model.substr(0, 20));
  sim::SetResource(library, "WAVE", MAKEINTRESOURCEA(105), "RIFF");
  g_krCore.bAllocTrace = 1;
  FramesAt({0, 5000});
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  EXPECT_EQ(sim::CountCalls("IDirectSound::CreateSoundBuffer"), 0);
  int modelBlocks = 0;
  for (const std::string& line : LogLines()) {
    EXPECT_EQ(line.find("SP2WAV"), std::string::npos) << "no block for a short sound";
    if (line.find("KRAllocEx") != std::string::npos && line.find("KR3D:SP2KRM") != std::string::npos) ++modelBlocks;
  }
  EXPECT_EQ(modelBlocks, 2) << "models 106 and 109 only";
  EXPECT_EQ(sim::CountCalls("FreeResource"), 6) << "each resource that was found goes back";
  ExpectAllReleased();
}

TEST_F(SplashTest, ACopiedBlockPerResourceFreedAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  g_krCore.bAllocTrace = 1;
  FramesAt({5000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  const std::vector<std::string> lines = LogLines();
  for (const char* tag : {"KR3D:SP1WAV1", "KR3D:SP1KRM1"}) {
    size_t at = 0;
    while (at < lines.size() && lines[at].find(tag) == std::string::npos) ++at;
    ASSERT_LT(at + 1, lines.size()) << tag;
    EXPECT_NE(lines[at].find("KRAllocEx"), std::string::npos);
    // Freed before the next block of the sequence is allocated.
    size_t next = at + 1;
    while (next < lines.size() && lines[next].find("KRFree") == std::string::npos) ++next;
    ASSERT_LT(next, lines.size());
    EXPECT_NE(lines[next].find(tag), std::string::npos) << lines[next];
  }
}

TEST_F(SplashTest, ARemovedQuitIsPostedAgainAfterReleasingOtherMessagesAreGone) {
  PostMessageA(NULL, WM_USER, 1, 2);
  PostQuitMessage(7);
  PostMessageA(NULL, WM_USER, 3, 4);
  FramesAt({0, 100, 200, 300, 400, 5000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_EQ(sim::CountCalls("DispatchMessageA"), 0);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, UINT{WM_QUIT});
  EXPECT_EQ(message.wParam, WPARAM{7});
  EXPECT_FALSE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE));
  // Posted after everything was released.
  const std::vector<std::string> names = sim::CallNames();
  const auto quit = std::find(names.rbegin(), names.rend(), "PostQuitMessage");
  ASSERT_NE(quit, names.rbegin() + (names.rend() - names.rbegin() - 1)) << "posted again";
  EXPECT_NE(std::find(quit, names.rend(), "IDirect3DViewport3::Release"), names.rend()) << "after releasing";
}

TEST_F(SplashTest, TheEndIsFoundAcrossTheTickCountsWrap) {
  const DWORD start = 0xFFFFFFFFu - 2000;
  FramesAt({0, 2500, 4999, 5000}, start);
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  EXPECT_EQ(FrameDraws().size(), 3u);
}

TEST_F(SplashTest, ReleasingClearsBothScreensThenReleasesInOrder) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  FramesAt({0, 4500});
  EXPECT_EQ(KR3DSplashTarnwick(), 1);
  // From the last frame on.
  const std::vector<std::string> names = sim::CallNames();
  const auto lastFrame = std::find(names.rbegin(), names.rend(), "PeekMessageA").base();
  std::vector<std::string> order;
  for (const std::string& name : std::vector<std::string>(lastFrame, names.end())) {
    if (name == "IDirectSoundBuffer::Release" || name == "IDirect3DTexture2::Release" ||
        name == "IDirect3DMaterial3::Release" || name == "IDirect3DViewport3::DeleteLight" ||
        name == "IDirect3DLight::Release" || name == "IDirect3DViewport3::Release") {
      if (order.empty() || order.back() != name) order.push_back(name);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"IDirectSoundBuffer::Release", "IDirect3DTexture2::Release",
                                             "IDirect3DMaterial3::Release", "IDirect3DViewport3::DeleteLight",
                                             "IDirect3DLight::Release", "IDirect3DViewport3::Release"}));
  ExpectAllReleased();
}

TEST_F(SplashTest, TheCameraAndTheRenderListStayBehind) {
  FramesAt({0, 5000});
  EXPECT_EQ(KR3DSplashDirectX(), 1);
  KR3DMATRIX view;
  view.SetView(D3DVECTOR{0, 0, -80}, D3DVECTOR{0, 0, 0}, D3DVECTOR{0, 1, 0}, 0.0f);
  const D3DMATRIX kept = sim::Direct3DTransform(g_kr3D.lpDevice, D3DTRANSFORMSTATE_VIEW);
  EXPECT_EQ(memcmp(&kept, &view, sizeof(D3DMATRIX)), 0);
  // The list still names the splash objects, whose handles are released: rendering it must not crash.
  sim::ClearDirect3DRecord();
  ASSERT_EQ(KR3DBeginRender(0), 1);
  KR3DRenderAll();
  KR3DClearOrderList();
  KR3DRenderAll();
  KR3DEndRender();
  EXPECT_TRUE(sim::Direct3DDraws().empty()) << "released models draw nothing";
}

TEST_F(SplashTest, BothSequencesMayRunAgainInAnyOrder) {
  ASSERT_NO_FATAL_FAILURE(StartSound());
  for (int round = 0; round < 2; ++round) {
    FramesAt({0, 5000});
    EXPECT_EQ(KR3DSplashTarnwick(), 1);
    FramesAt({0, 5000});
    EXPECT_EQ(KR3DSplashDirectX(), 1);
  }
  EXPECT_EQ(sim::Direct3DDraws().size(), 16u);
  EXPECT_TRUE(Warnings().empty()) << sim::DebugOutput();
  ExpectAllReleased();
}

}  // namespace
