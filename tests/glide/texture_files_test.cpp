// gu3dfGetInfo and gu3dfLoad: the header into the game's record, the texels
// into its buffer; the table and, for the header alone, the data pointer stay.
#include <gtest/gtest.h>
#include <glide.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/kr_test.h"
#include "support/tdf_writer.h"

namespace {

const char kFile[] = "C:\\work\\wall.3df";

class TextureFilesTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    std::memset(&info_, 0x5A, sizeof info_);
  }
  Gu3dfInfo info_;
};

TEST_F(TextureFilesTest, GetInfoFillsTheHeaderAndMemRequiredOnly) {
  TdfWriter w;
  w.aspectLine = TdfWriter::AspectLine(1, 2);
  w.format = "argb1555";
  w.lodLine = TdfWriter::LodLine(8, 128);
  w.texels = TdfWriter::Texels(64 * 128 * 2 + 32 * 64 * 2);
  sim::WriteWholeFile(kFile, w.Bytes());
  Gu3dfInfo before = info_;
  ASSERT_EQ(gu3dfGetInfo(kFile, &info_), FXTRUE);
  const Gu3dfHeader& header = info_.header;
  EXPECT_EQ((std::vector<long long>{header.width, header.height, header.small_lod, header.large_lod,
                                    header.aspect_ratio, header.format}),
            (std::vector<long long>{64, 128, GR_LOD_8, GR_LOD_128, GR_ASPECT_1x2, GR_TEXFMT_ARGB_1555}));
  EXPECT_EQ(info_.mem_required, w.texels.size());
  EXPECT_EQ(std::memcmp(&info_.table, &before.table, sizeof info_.table), 0);
  EXPECT_EQ(info_.data, before.data);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

TEST_F(TextureFilesTest, ARefusedFileLeavesTheRecordAlone) {
  TdfWriter unconverted;
  unconverted.format = "argb8332";  // refused although a download converts it
  TdfWriter shortOfItsLevel;        // 256 x 256 texels announced, 8 there
  shortOfItsLevel.texels = TdfWriter::Texels(16);
  for (const TdfWriter& w : {unconverted, shortOfItsLevel}) {
    sim::WriteWholeFile(kFile, w.Bytes());
    const Gu3dfInfo before = info_;
    const int blocks = sim::LiveHeapBlocks();
    EXPECT_EQ(gu3dfGetInfo(kFile, &info_), FXFALSE);
    EXPECT_EQ(gu3dfLoad(kFile, &info_), FXFALSE);
    EXPECT_EQ(gu3dfGetInfo("C:\\work\\none.3df", &info_), FXFALSE);
    EXPECT_EQ(std::memcmp(&info_, &before, sizeof info_), 0);
    EXPECT_EQ(sim::LiveHeapBlocks(), blocks);
    EXPECT_EQ(sim::OpenFileHandles(), 0);
  }
}

TEST_F(TextureFilesTest, LoadReadsTheTexelsBehindTheHeaderIntoTheData) {
  TdfWriter w;
  w.lodLine = TdfWriter::LodLine(1, 32);
  w.texels = TdfWriter::Texels(4096);
  sim::WriteWholeFile(kFile, w.Bytes());
  std::vector<char> data(4100, '#');
  info_.data = data.data();
  ASSERT_EQ(gu3dfLoad(kFile, &info_), FXTRUE);
  EXPECT_EQ(info_.mem_required, 4096u);
  EXPECT_EQ(info_.header.format, GR_TEXFMT_RGB_565);
  EXPECT_EQ(std::string(data.data(), 4096), w.texels);
  EXPECT_EQ(std::string(data.data() + 4096, 4), "####");
  EXPECT_EQ(info_.data, data.data());
  // The header is read (and logged) again before the texels.
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 2);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

TEST_F(TextureFilesTest, LoadFailsOnAShortRead) {
  sim::WriteWholeFile(kFile, TdfWriter().Bytes());
  std::vector<char> data(256 * 256 * 2);
  info_.data = data.data();
  sim::FailNext("ReadFile", ERROR_ACCESS_DENIED, ", 131072,");
  EXPECT_EQ(gu3dfLoad(kFile, &info_), FXFALSE);
  EXPECT_EQ(info_.mem_required, 131072u);  // the header was taken all the same
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

}  // namespace
