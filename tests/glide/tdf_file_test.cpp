// The 3DF header reader and the texel read, on files the 3DF writer makes in
// the simulated sandbox.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glide/tdf_file.h"
#include "support/kr_test.h"
#include "support/tdf_writer.h"

namespace {

const char kFile[] = "C:\\work\\wall.3df";
const std::string kDashes(60, '-');

class TdfFileTest : public KRTest {
 protected:
  // Writes the file, reads its header and checks that no handle stays open.
  bool Read(const TdfWriter& writer, TdfHeader* header) {
    sim::WriteWholeFile(kFile, writer.Bytes());
    sim::ClearDebugOutput();
    const bool accepted = TdfReadHeader(kFile, header);
    EXPECT_EQ(sim::OpenFileHandles(), 0);
    return accepted;
  }
  bool Accepts(const TdfWriter& writer) {
    TdfHeader header;
    return Read(writer, &header);
  }
  TdfHeader Header(const TdfWriter& writer) {
    TdfHeader header = {};
    EXPECT_TRUE(Read(writer, &header)) << writer.Header();
    return header;
  }
  static TdfWriter WithFormat(const std::string& name) {
    TdfWriter w;
    w.format = name;
    return w;
  }
  static TdfWriter WithAspect(const std::string& line) {
    TdfWriter w;
    w.aspectLine = line;
    return w;
  }
  static TdfWriter WithLod(const std::string& line) {
    TdfWriter w;
    w.lodLine = line;
    return w;
  }
};

// ---- An accepted file ----------------------------------------------------------------

TEST_F(TdfFileTest, AWellFormedFileGivesItsFieldsAndLogsTheWholeBlock) {
  TdfWriter w;
  const TdfHeader h = Header(w);
  // Width, height, GR_LOD_1, GR_LOD_256, aspect, format, header length, bytes.
  EXPECT_EQ((std::vector<size_t>{h.width, h.height, static_cast<size_t>(h.smallLod), static_cast<size_t>(h.largeLod),
                                 static_cast<size_t>(h.aspectRatio), static_cast<size_t>(h.format), h.headerLength,
                                 h.memRequired}),
            (std::vector<size_t>{256, 256, 8, 0, 3, 10, w.Header().size(), 256 * 256 * 2}));
  EXPECT_EQ(LogText(), kDashes + "\n" +
                                         "Ondrel info : Filename = C:\\work\\wall.3df\n"
                                         "Ondrel info : 3DF Header = 3df v1.0\n"
                                         "                  Format = rgb565\n"
                                         "                  Lod range = lod range: 1 256\n"
                                         "                  Aspect ratio = aspect ratio: 1 1\n"
                                         "                  Mem required = 131072 Bytes\n" +
                                         kDashes + "\n\n");
}

TEST_F(TdfFileTest, MemRequiredIsTheFileSizeLessTheHeaderAndHoldsAtLeastTheLargestLevel) {
  struct Level {
    const char* format;
    int largeEdge, widthPart, heightPart;
    size_t bytes;  // of the largest level at its published size
  };
  const Level levels[] = {{"rgb565", 256, 1, 1, 256 * 256 * 2}, {"p8", 256, 1, 1, 256 * 256},
                          {"argb4444", 8, 1, 8, 1 * 8 * 2},     {"argb1555", 16, 4, 1, 16 * 4 * 2},
                          {"p8", 1, 8, 1, 1}};  // no side below one texel
  for (const Level& l : levels) {
    TdfWriter w;
    w.format = l.format;
    w.lodLine = TdfWriter::LodLine(1, l.largeEdge);
    w.aspectLine = TdfWriter::AspectLine(l.widthPart, l.heightPart);
    w.texels = TdfWriter::Texels(l.bytes + 3);
    EXPECT_EQ(Header(w).memRequired, l.bytes + 3) << l.format << " " << l.largeEdge;
    w.texels = TdfWriter::Texels(l.bytes);
    EXPECT_EQ(Header(w).memRequired, l.bytes) << l.format << " " << l.largeEdge;
    // Fewer would let the game's download read past what it loaded.
    w.texels = TdfWriter::Texels(l.bytes - 1);
    EXPECT_FALSE(Accepts(w)) << l.format << " " << l.largeEdge;
    EXPECT_EQ(LogText().find("Mem required"), std::string::npos);
  }
}

TEST_F(TdfFileTest, TheSignatureIsCheckedOnItsFirstFiveBytesInEitherCase) {
  TdfWriter w;
  for (const char* accepted : {"3DF V1.0", "3Df v9.9", "3df vxyz"}) {
    w.signature = accepted;
    EXPECT_TRUE(Accepts(w)) << accepted;
  }
  for (const char* refused : {"3df-v1.0", "3dfv1.00", "4df v1.0", "3df\0v1.0"}) {
    w.signature = std::string(refused, 8);
    EXPECT_FALSE(Accepts(w)) << refused;
  }
}

TEST_F(TdfFileTest, TheNinthByteIsNotLookedAtAndIsLoggedAsTheEndOfTheHeader) {
  TdfWriter w;
  w.signature = "3df v1.0X";  // the ninth byte takes the place of the line feed
  w.lineEnd = "\n";
  std::string bytes = w.Bytes();
  bytes.erase(9, 1);  // drop the writer's line feed after the X
  sim::WriteWholeFile(kFile, bytes);
  TdfHeader h;
  EXPECT_TRUE(TdfReadHeader(kFile, &h));
  EXPECT_NE(LogText().find("3DF Header = 3df v1.0\n"), std::string::npos);
}

// ---- Formats -------------------------------------------------------------------------

TEST_F(TdfFileTest, FourFormatsAreAcceptedAsWholeNamesInAnyCase) {
  const std::vector<std::pair<std::string, int>> formats = {
      {"p8", 5}, {"rgb565", 10}, {"argb1555", 11}, {"argb4444", 12}, {"P8", 5}, {"RGB565", 10}, {"ArGb4444", 12}};
  for (const auto& f : formats) EXPECT_EQ(Header(WithFormat(f.first)).format, f.second) << f.first;
}

TEST_F(TdfFileTest, OtherFormatNamesAreRefusedAfterTheirLogLine) {
  for (const char* name : {"yiq422", "alpha8", "i8", "ai44", "argb8332", "ayiq8422", "ai88", "rgb332", "rgb565\r",
                           "rgb565 ", " rgb565", "rgb56", "rgb5655", ""}) {
    EXPECT_FALSE(Accepts(WithFormat(name))) << name;
    const std::string log = LogText();
    EXPECT_NE(sim::DebugOutput().find("                  Format = " + std::string(name)), std::string::npos) << name;
    EXPECT_EQ(log.find("Lod range"), std::string::npos) << name;
    EXPECT_EQ(log.find(kDashes + "\n\n"), std::string::npos) << name;  // no closing frame
  }
}

TEST_F(TdfFileTest, ACrLfFileIsRefused) {
  TdfWriter w;
  w.lineEnd = "\r\n";
  EXPECT_FALSE(Accepts(w));
}

// ---- Level-of-detail and aspect lines ----------------------------------------------------

TEST_F(TdfFileTest, EdgesBecomeLevelsOfDetailAndAnythingElseLevelZeroOrARefusal) {
  const std::vector<std::pair<int, int>> edges = {{1, 8},  {2, 7},   {4, 6},   {8, 5},  {16, 4}, {32, 3},
                                                  {64, 2}, {128, 1}, {256, 0}, {0, 0},  {3, 0},  {512, 0}};
  for (const auto& e : edges) {
    const TdfHeader h = Header(WithLod(TdfWriter::LodLine(e.first, 1)));
    EXPECT_EQ(h.smallLod, e.second) << e.first;
    EXPECT_EQ(h.largeLod, 8);
    // The largest edge sizes what the game downloads: only a level's edge will do.
    if (e.second != 0 || e.first == 256) {
      EXPECT_EQ(Header(WithLod(TdfWriter::LodLine(1, e.first))).largeLod, e.second) << e.first;
    } else {
      EXPECT_FALSE(Accepts(WithLod(TdfWriter::LodLine(1, e.first)))) << e.first;
    }
  }
  for (int edge : {300, -256, 255, 257, -1}) EXPECT_FALSE(Accepts(WithLod(TdfWriter::LodLine(1, edge)))) << edge;
}

TEST_F(TdfFileTest, ThePublishedRatiosGiveTheirCodesAndSizesWithinTheLargestEdge) {
  struct Ratio {
    int w, h, code;
    uint32_t width, height;
  };
  const Ratio ratios[] = {{8, 1, 0, 256, 32}, {4, 1, 1, 256, 64},  {2, 1, 2, 256, 128}, {1, 1, 3, 256, 256},
                          {1, 2, 4, 128, 256}, {1, 4, 5, 64, 256}, {1, 8, 6, 32, 256}};
  for (const Ratio& r : ratios) {
    const TdfHeader h = Header(WithAspect(TdfWriter::AspectLine(r.w, r.h)));
    EXPECT_EQ(h.aspectRatio, r.code) << r.w << " " << r.h;
    EXPECT_EQ(h.width, r.width) << r.w << " " << r.h;
    EXPECT_EQ(h.height, r.height) << r.w << " " << r.h;
  }
  TdfWriter small = WithAspect(TdfWriter::AspectLine(1, 8));
  small.lodLine = TdfWriter::LodLine(1, 8);
  EXPECT_EQ(Header(small).width, 1u);
  EXPECT_EQ(Header(small).height, 8u);
}

TEST_F(TdfFileTest, OtherRatiosAreRefused) {
  for (const auto& pair : std::vector<std::pair<int, int>>{{2, 2}, {3, 1}, {1, 3}, {16, 1}, {1, 16}, {0, 0}, {-1, 1}}) {
    EXPECT_FALSE(Accepts(WithAspect(TdfWriter::AspectLine(pair.first, pair.second)))) << pair.first << " " << pair.second;
  }
}

TEST_F(TdfFileTest, BothPrefixesAreComparedExactlyAndNeedTwoNumbers) {
  EXPECT_TRUE(Accepts(WithLod("lod range:1 256")));
  EXPECT_TRUE(Accepts(WithLod("lod range: 1   256  trailing")));
  EXPECT_TRUE(Accepts(WithAspect("aspect ratio:1 1")));
  for (const char* lod : {"LOD range: 1 256", "lod range 1 256", "lod  range: 1 256", "lod range: 256", "lod range: a b",
                          "lod range:", ""}) {
    EXPECT_FALSE(Accepts(WithLod(lod))) << lod;
  }
  for (const char* aspect : {"Aspect ratio: 1 1", "aspect ratio 1 1", "aspect ratio: 1", "aspect ratio: 1 x",
                             "aspect ratio:", ""}) {
    EXPECT_FALSE(Accepts(WithAspect(aspect))) << aspect;
  }
}

TEST_F(TdfFileTest, EachLineIsLoggedBeforeItsCheck) {
  EXPECT_FALSE(Accepts(WithAspect("aspect ratio: 3 3")));
  const std::string log = LogText();
  EXPECT_NE(log.find("                  Lod range = lod range: 1 256\n"), std::string::npos);
  EXPECT_NE(log.find("                  Aspect ratio = aspect ratio: 3 3\n"), std::string::npos);
  EXPECT_EQ(log.find("Mem required"), std::string::npos);
}

// ---- Lines cut short or too long, files cut short ----------------------------------------------

TEST_F(TdfFileTest, ALineHolds255CharactersAndNoMore) {
  const std::string lod = TdfWriter::LodLine(1, 256);
  EXPECT_TRUE(Accepts(WithLod(lod + std::string(255 - lod.size(), ' '))));
  EXPECT_FALSE(Accepts(WithLod(lod + std::string(256 - lod.size(), ' '))));
  EXPECT_FALSE(Accepts(WithFormat(std::string(1000, 'a'))));
  EXPECT_EQ(LogText().find("Format ="), std::string::npos);  // an unread line is not logged
}

TEST_F(TdfFileTest, AFileEndingInsideTheHeaderIsRefused) {
  TdfWriter w;
  w.texels.clear();
  w.aspectLineEnded = false;
  EXPECT_FALSE(Accepts(w));
  const std::string header = TdfWriter().Header();
  for (size_t cut : {size_t(0), size_t(5), size_t(8), size_t(9), size_t(12), header.size() - 1}) {
    TdfWriter c;
    c.cutAt = cut;
    EXPECT_FALSE(Accepts(c)) << cut;
  }
  // The reader stops at the end of the file: the signature, three format bytes and the read that found nothing.
  TdfWriter inFormat;
  inFormat.cutAt = 12;
  sim::WriteWholeFile(kFile, inFormat.Bytes());
  sim::ClearCalls();
  TdfHeader h;
  EXPECT_FALSE(TdfReadHeader(kFile, &h));
  EXPECT_EQ(sim::CountCalls("ReadFile"), 5);
}

TEST_F(TdfFileTest, AShortSignatureIsLoggedAsFarAsItWentAndRefused) {
  TdfWriter w;
  w.cutAt = 5;
  EXPECT_FALSE(Accepts(w));
  EXPECT_EQ(LogText(),
            kDashes + "\nOndrel info : Filename = C:\\work\\wall.3df\nOndrel info : 3DF Header = 3df v\n");
}

TEST_F(TdfFileTest, AMissingOrUnreadableFileIsRefusedWithoutALogLineAndTheHeaderUntouched) {
  TdfHeader h;
  memset(&h, 0x5A, sizeof(h));
  EXPECT_FALSE(TdfReadHeader("C:\\work\\missing.3df", &h));
  EXPECT_EQ(LogText(), "");
  sim::WriteWholeFile(kFile, TdfWriter().Bytes());
  sim::FailNext("GetFileSize", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(TdfReadHeader(kFile, &h));
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  EXPECT_FALSE(Read(WithAspect("aspect ratio: 5 5"), &h));
  EXPECT_EQ(h.width, 0x5A5A5A5Au);
  EXPECT_EQ(h.format, 0x5A5A5A5A);
}

TEST_F(TdfFileTest, TheFileIsOpenedForSharedReadingOfAnExistingFile) {
  sim::WriteWholeFile(kFile, TdfWriter().Bytes());
  sim::ClearCalls();
  TdfHeader h;
  ASSERT_TRUE(TdfReadHeader(kFile, &h));
  const std::vector<sim::CallRecord> calls = sim::Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].function, "CreateFileA");
  EXPECT_NE(calls[0].arguments.find("0x80000000, 0x1, NULL, 3,"), std::string::npos) << calls[0].arguments;
  // Lines are read a byte at a time: the signature, then one read per header byte.
  EXPECT_EQ(sim::CountCalls("ReadFile"), int(1 + h.headerLength - 9));
  EXPECT_EQ(sim::CountCalls("CloseHandle"), 1);
}

// ---- The texel read ----------------------------------------------------------------------

class TdfTexelsTest : public TdfFileTest {
 protected:
  void SetUp() override {
    TdfFileTest::SetUp();
    writer_.lodLine = TdfWriter::LodLine(1, 16);
    writer_.texels = TdfWriter::Texels(1000);
    header_ = Header(writer_);
    data_.assign(1100, '#');
  }
  bool Load() {
    const bool loaded = TdfReadTexels(kFile, header_, &data_[0]);
    EXPECT_EQ(sim::OpenFileHandles(), 0);
    return loaded;
  }
  TdfWriter writer_;
  TdfHeader header_ = {};
  std::string data_;
};

TEST_F(TdfTexelsTest, TheBytesAfterTheHeaderAreReadInOneRead) {
  sim::ClearCalls();
  EXPECT_TRUE(Load());
  EXPECT_EQ(data_.substr(0, 1000), writer_.texels);
  EXPECT_EQ(data_.substr(1000), std::string(100, '#'));
  EXPECT_EQ(sim::CountCalls("ReadFile"), 1);
  EXPECT_EQ(sim::CountCalls("SetFilePointer"), 1);
}

TEST_F(TdfTexelsTest, AShortOrFailedReadFailsTheLoad) {
  sim::LimitNextReadFile(999);
  EXPECT_FALSE(Load());
  EXPECT_EQ(data_.substr(0, 999), writer_.texels.substr(0, 999));  // what there was is read
  const std::pair<const char*, DWORD> failures[] = {{"ReadFile", ERROR_ACCESS_DENIED},
                                                     {"SetFilePointer", ERROR_NEGATIVE_SEEK},
                                                     {"CreateFileA", ERROR_SHARING_VIOLATION}};
  for (const auto& failure : failures) {
    sim::FailNext(failure.first, failure.second);
    EXPECT_FALSE(Load()) << failure.first;
  }
}

TEST_F(TdfTexelsTest, AFileThatGrewAfterItsHeaderWasReadGivesOnlyMemRequiredBytes) {
  sim::WriteWholeFile(kFile, writer_.Bytes() + "EXTRA");
  EXPECT_TRUE(Load());
  EXPECT_EQ(data_.substr(1000), std::string(100, '#'));
}

}  // namespace
