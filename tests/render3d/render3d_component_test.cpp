// The 3D component's start-up and clean-up: the Direct3D query, the nine
// tables with their tags, the codes, and KRCleanup's line for a forgotten 3D.
#include <string>
#include <vector>

#include "core/core_state.h"
#include "render3d/render3d_fixture.h"

namespace {

const char* const kTableTags[] = {"KR3D:DEVICEI", "KR3D:ZBUFORM", "KR3D:TEXFORM", "KR3D:VIEWPOR", "KR3D:TEXTURE",
                                  "KR3D:MATERIA", "KR3D:LIGHT",   "KR3D:MODEL",   "KR3D:TLVERTE"};

// The tags of the trace lines that contain `what` ("allocated" or "KRFree"), in order.
std::vector<std::string> TracedTags(const std::vector<std::string>& lines, const std::string& what) {
  std::vector<std::string> tags;
  for (const std::string& line : lines) {
    if (line.find(what) == std::string::npos) continue;
    size_t open = line.find('"');
    size_t close = line.find('"', open + 1);
    std::string tag = line.substr(open + 1, close - open - 1);
    tag.erase(tag.find_last_not_of(' ') + 1);
    if (tag.rfind("KR3D", 0) == 0) tags.push_back(tag);
  }
  return tags;
}

class Render3DComponentTest : public Render3DTest {};

TEST_F(Render3DComponentTest, StartupQueriesDirect3DAndAllocatesTheNineTablesInOrder) {
  ASSERT_NO_FATAL_FAILURE(StartMode());
  g_krCore.bAllocTrace = 1;  // as KRSTARTUP_ALLOCTRACE sets it
  Forget();

  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(KR3DIsStarted(), 1);
  ExpectLinesInOrder({"KR3D : Startup", "KR3D : QueryInterface(IID_IDirect3D3)"});
  EXPECT_EQ(ArgumentsOf("IDirectDraw4::QueryInterface").size(), 1u);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 1);
  const std::vector<std::string> tags(std::begin(kTableTags), std::end(kTableTags));
  EXPECT_EQ(TracedTags(LogLines(), "allocated"), tags);
  for (void* table : {static_cast<void*>(g_kr3D.lpDevices), static_cast<void*>(g_kr3D.lpTLVertices)})
    EXPECT_NE(table, nullptr);
  EXPECT_EQ(g_kr3D.lpTLVertices[KR3D_TLVERTEX_MAX - 1].sx, 0.0f);
  EXPECT_EQ(g_kr3D.nAutoDevice, -1);
  EXPECT_EQ(g_kr3D.bHardwareAllowed, 1);
  EXPECT_EQ(g_kr3D.fNormalLength, 16.0f);

  Forget();
  KR3DCleanup();
  ExpectLinesInOrder({"KR3D : Cleanup", "KR3D : Release Direct3D2"});
  EXPECT_EQ(TracedTags(LogLines(), "KRFree"), tags);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
  EXPECT_EQ(KR3DIsStarted(), 0);
  EXPECT_EQ(g_kr3D.lpDirect3D, nullptr);
  EXPECT_EQ(g_kr3D.lpModels, nullptr);
}

TEST_F(Render3DComponentTest, StartingTwiceAndCleaningUpUnstartedAreRefused) {
  ASSERT_NO_FATAL_FAILURE(StartMode());
  KR3DCleanup();
  ExpectLastError(0x3002, "KR3D : 初期化されていません");
  ASSERT_EQ(KR3DStartup(), 1);
  IDirect3D3* first = g_kr3D.lpDirect3D;
  EXPECT_EQ(KR3DStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3001u);
  EXPECT_EQ(g_kr3D.lpDirect3D, first);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 1);

  // A start-up after a clean-up starts afresh.
  KR3DCleanup();
  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 1);
  KR3DCleanup();
}

TEST_F(Render3DComponentTest, FailedQueryOrNoDisplayObjectLeavesNothingStarted) {
  // Video started but its display object gone: nothing to query.
  KRVideoCleanup();
  Forget();
  EXPECT_EQ(KR3DStartup(), 0);
  ExpectLastError(0x3003, "KR3D : 初期化に失敗しました");
  EXPECT_EQ(KR3DIsStarted(), 0);

  ASSERT_EQ(KRVideoStartup(0), 1);
  sim::FailNext("IDirectDraw4::QueryInterface", E_NOINTERFACE);
  Forget();
  EXPECT_EQ(KR3DStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3003u);
  EXPECT_EQ(KR3DIsStarted(), 0);
  EXPECT_EQ(g_kr3D.lpDevices, nullptr);
  EXPECT_FALSE(Logged("KR3D : Cleanup"));
  // Unstarted: the enumerations refuse rather than touch missing tables.
  EXPECT_EQ(KR3DGetDeviceCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3002u);
}

TEST_F(Render3DComponentTest, ExhaustedHeapUndoesTheStartup) {
  ASSERT_NO_FATAL_FAILURE(StartMode());
  // The last table, the screen-space vertices: 32768 vertices of 32 bytes and the block header.
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, "1048592");
  EXPECT_EQ(KR3DStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3003u);
  EXPECT_EQ(KR3DIsStarted(), 0);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
  EXPECT_EQ(g_kr3D.lpDevices, nullptr);
  // And a later start-up works.
  ASSERT_EQ(KR3DStartup(), 1);
  KR3DCleanup();
}

TEST_F(Render3DComponentTest, HardwareModeIsResetByStartupAndSurvivesTheDevice) {
  ASSERT_NO_FATAL_FAILURE(StartMode());
  KR3DEnableHardwareMode(0);  // before start-up: no effect
  ASSERT_EQ(KR3DStartup(), 1);
  EXPECT_EQ(KR3DGetDeviceCount(), 2);
  KR3DEnableHardwareMode(0);
  EXPECT_EQ(KR3DGetDeviceCount(), 1);
  ASSERT_EQ(KR2DStartup(), 1);
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  ASSERT_GT(KR3DGetTextureFormatCount(), 0);
  KR3DCleanupDevice();
  EXPECT_EQ(g_kr3D.bHardwareAllowed, 0);
  EXPECT_EQ(KR3DGetDeviceCount(), 1);
  KR3DEnableHardwareMode(5);
  EXPECT_EQ(KR3DGetDeviceCount(), 2);

  // After the clean-up the getters answer with their code and read no freed table.
  ASSERT_GT(KR3DGetZBufferFormatCount(-1), 0);
  KR3DCleanup();
  DeviceInfo(0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
  KRErrorSetLastError(0);
  ZBufferFormatInfo(0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
  KRErrorSetLastError(0);
  KR3DTEXTUREFORMATINFO format;
  KR3DGetTextureFormatInfo(&format, 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x3005u);
}

TEST_F(Render3DComponentTest, KRCleanupCleansAForgotten3DBetweenInputAnd2D) {
  ASSERT_NO_FATAL_FAILURE(StartUpTo3D());
  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  Forget();
  KRCleanup();
  ExpectLinesInOrder({"KR Warining : You didn't cleanup KR3D", "KR3D : Release Direct3DDevice2", "KR3D : Cleanup",
                      "KR3D : Release Direct3D2", "KR Warining : You didn't cleanup KR2D",
                      "KR Warining : You didn't cleanup KRVideo"});
  EXPECT_EQ(KR3DIsStarted(), 0);
  EXPECT_EQ(sim::LiveDirect3DDevices(), 0);
  EXPECT_EQ(sim::LiveDirect3DObjects(), 0);
}

TEST_F(Render3DComponentTest, GettersAddAReferenceOrHandOutNull) {
  IDirect3D3* direct3D = reinterpret_cast<IDirect3D3*>(0x1);
  IDirect3DDevice3* device = reinterpret_cast<IDirect3DDevice3*>(0x1);
  KR3DGetDirect3DInterface(&direct3D);
  KR3DGetDirect3DDeviceInterface(&device);
  EXPECT_EQ(direct3D, nullptr);
  EXPECT_EQ(device, nullptr);
  KR3DGetDirect3DInterface(nullptr);

  ASSERT_NO_FATAL_FAILURE(StartUpTo3D());
  int held = sim::Direct3DReferences(g_kr3D.lpDirect3D);
  KR3DGetDirect3DInterface(&direct3D);
  ASSERT_EQ(direct3D, g_kr3D.lpDirect3D);
  EXPECT_EQ(sim::Direct3DReferences(direct3D), held + 1);
  direct3D->Release();
  EXPECT_EQ(sim::Direct3DReferences(g_kr3D.lpDirect3D), held);

  ASSERT_EQ(StartDeviceOn(KR2D_BUFFER_BACK), 1);
  EXPECT_EQ(sim::Direct3DReferences(g_kr3D.lpDevice), 1);
  KR3DGetDirect3DDeviceInterface(&device);
  ASSERT_EQ(device, g_kr3D.lpDevice);
  EXPECT_EQ(sim::Direct3DReferences(device), 2);
  device->Release();
}

}  // namespace
