// The board report, the version, the screen size and the stubs' results.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "glide_fixture.h"

namespace {

using GlideBoardTest = GlideTest;

TEST_F(GlideBoardTest, BothQueriesReportTheSameTenInts) {
  GrHwConfiguration first, second;
  std::memset(&first, 0xCD, sizeof first);
  std::memset(&second, 0xCD, sizeof second);
  EXPECT_EQ(grSstQueryHardware(&first), FXTRUE);
  EXPECT_EQ(grSstQueryBoards(&second), FXTRUE);
  EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0);
  const FxI32* words = reinterpret_cast<const FxI32*>(&first);
  const FxI32 expected[10] = {1, 0, 4, 2, 1, 0, 1, 8, 1, 8};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(words[i], expected[i]) << i;
  EXPECT_EQ(static_cast<uint32_t>(words[10]), 0xCDCDCDCDu);  // nothing else written
}

TEST_F(GlideBoardTest, TheVersionIsNineteenBytes) {
  char version[80];
  std::memset(version, 'x', sizeof version);
  grGlideGetVersion(version);
  EXPECT_STREQ(version, "Glide Version 2.46");
  EXPECT_EQ(version[19], 'x');
}

TEST_F(GlideBoardTest, ScreenSizeIsZeroBeforeAnOpen) {
  EXPECT_EQ(grSstScreenWidth(), 0u);
  EXPECT_EQ(grSstScreenHeight(), 0u);
  Open(GR_RESOLUTION_512x384);
  EXPECT_EQ(grSstScreenWidth(), 512u);
  EXPECT_EQ(grSstScreenHeight(), 384u);
}

TEST_F(GlideBoardTest, StubsAnswerTheirConstants) {
  const std::vector<long long> answers = {
      grSstControl(7), guTexChangeAttributes(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), grBufferNumPending(), grSstIsBusy(),
      grSstStatus(), grSstVideoLine(), grSstVRetraceOn(), grLfbReadRegion(0, 0, 0, 1, 1, 2, nullptr),
      grLfbWriteRegion(0, 0, 0, 0, 1, 1, 2, nullptr), guEncodeRLE16(nullptr, nullptr, 1, 1),
      guTexAllocateMemory(0, 3, 8, 8, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.0f, FXFALSE), guTexCreateColorMipMap(),
      guTexGetCurrentMipMap(0), guTexMemQueryAvail(0), grLfbLock(0, 0, 0, 0, FXFALSE, nullptr), grLfbUnlock(0, 0),
      gu3dfGetInfo("a.3df", nullptr), gu3dfLoad("a.3df", nullptr)};
  EXPECT_EQ(answers, (std::vector<long long>{FXTRUE, FXTRUE, 0, FXFALSE, 0, 0, FXFALSE, FXFALSE, FXFALSE, 0, 0, 0, 0, 0,
                                             FXFALSE, FXFALSE, FXFALSE, FXFALSE}));
  EXPECT_EQ(guTexGetMipMapInfo(0), nullptr);
  GrSstPerfStats_t stats;
  std::memset(&stats, 0xAB, sizeof stats);
  grSstPerfStats(&stats);
  EXPECT_EQ(stats.pixelsIn, 0xABABABABu);
  FxU32 processed = 5, drawn = 6;
  grTriStats(&processed, &drawn);
  EXPECT_EQ(processed + drawn, 11u);
  // The rest do nothing at all.
  sim::ClearCalls();
  grAlphaControlsITRGBLighting(FXTRUE);
  grCheckForRoom(1);
  grErrorSetCallback(nullptr);
  grGlideShamelessPlug(FXTRUE);
  grHints(0, 0);
  grLfbConstantAlpha(0);
  grLfbConstantDepth(0);
  grLfbWriteColorFormat(0);
  grLfbWriteColorSwizzle(0, 0);
  grResetTriStats();
  grSstIdle();
  grSstResetPerfStats();
  grSstSelect(0);
  grTexCombineFunction(0, 0);
  guTexCombineFunction(0, 0);
  grTexDetailControl(0, 0, 0, 0.0f);
  grTexDownloadMipMapLevel(0, 0, 0, 0, 0, 0, 0, nullptr);
  grTexDownloadMipMapLevelPartial(0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0);
  grTexDownloadTable(0, 0, nullptr);
  grTexDownloadTablePartial(0, 0, nullptr, 0, 0);
  grTexLodBiasValue(0, 0.0f);
  grTexMultibase(0, 0);
  grTexMultibaseAddress(0, 0, 0, 0, nullptr);
  grTexNCCTable(0, 0);
  guAlphaSource(0);
  guTexDownloadMipMap(0, nullptr, nullptr);
  guTexDownloadMipMapLevel(0, 0, nullptr);
  guTexMemReset();
  guTexSource(0);
  ConvertAndDownloadRle(0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, nullptr);
  EXPECT_TRUE(sim::Calls().empty());
}

}  // namespace
