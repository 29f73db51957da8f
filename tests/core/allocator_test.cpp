// Tagged allocator and its trace lines.
#include "support/kr_test.h"

#include <climits>
#include <new>
#include <string>
#include <vector>

#include "core/core_state.h"

namespace {

class AllocatorTest : public KRTest {
 protected:
  void StartTracing() {
    StartLibrary(KRSTARTUP_ALLOCTRACE);
    sim::ClearDebugOutput();
  }
  static char* Tag(const char* text) { return const_cast<char*>(text); }
};

// A block's trace line and its release line: untagged blocks show twelve blanks,
// a null tag is an empty one, a long tag is printed whole but stored cut.
TEST_F(AllocatorTest, TraceLinesPairABlockWithItsRelease) {
  const struct {
    int size;
    const char* tag;
    bool tagged;
    const char* lines;
  } cases[] = {
      {100, "KRIN:KEYBUFF", true,
       "KR : KRAllocEx(01 00 00 00, \"KRIN:KEYBUFF\")      100 bytes allocated\r\n"
       "KR : KRFree   (01 00 00 00, \"KRIN:KEYBUFF\")\r\n"},
      {5, nullptr, false,
       "KR : KRAlloc  (01 00 00 00, \"            \")        5 bytes allocated\r\n"
       "KR : KRFree   (01 00 00 00, \"            \")\r\n"},
      {1, "ABCDEFGHIJKLMNO", true,
       "KR : KRAllocEx(01 00 00 00, \"ABCDEFGHIJKLMNO\")        1 bytes allocated\r\n"
       "KR : KRFree   (01 00 00 00, \"ABCDEFGHIJKL\")\r\n"},
      {2, nullptr, true,
       "KR : KRAllocEx(01 00 00 00, \"            \")        2 bytes allocated\r\n"
       "KR : KRFree   (01 00 00 00, \"            \")\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    StartTracing();
    KRFree(c.tagged ? KRAllocEx(c.size, Tag(c.tag)) : KRAlloc(c.size));
    EXPECT_EQ(sim::DebugOutput(), c.lines);
    KRCleanup();
  }
}

TEST_F(AllocatorTest, EachReleaseLineNamesItsOwnBlock) {
  StartTracing();
  void* first = KRAllocEx(4, Tag("KRVI:MODEINF"));
  void* second = KRAlloc(4);
  void* third = KRAllocEx(4, Tag("KR2D:BUFFER"));
  sim::ClearDebugOutput();
  KRFree(first);  // before the blocks made after it
  KRFree(third);
  KRFree(second);
  EXPECT_EQ(sim::DebugOutput(),
            "KR : KRFree   (01 00 00 00, \"KRVI:MODEINF\")\r\n"
            "KR : KRFree   (03 00 00 00, \"KR2D:BUFFER \")\r\n"
            "KR : KRFree   (02 00 00 00, \"            \")\r\n");
}

TEST_F(AllocatorTest, SerialBytesAreWrittenLowestFirst) {
  StartTracing();
  for (int i = 1; i < 256; ++i) KRFree(KRAlloc(1));
  sim::ClearDebugOutput();
  KRFree(KRAllocEx(1, Tag("KR3D:TEXTURE")));
  EXPECT_NE(sim::DebugOutput().find("KRAllocEx(00 01 00 00, \"KR3D:TEXTURE\")"), std::string::npos);
  EXPECT_NE(sim::DebugOutput().find("KRFree   (00 01 00 00, \"KR3D:TEXTURE\")"), std::string::npos);
}

TEST_F(AllocatorTest, ZeroSizedBlocksAreDistinctAndUsable) {
  void* a = KRAllocEx(0, Tag("KRLI:BUFFER"));
  void* b = KRAllocEx(0, Tag("KRLI:BUFFER"));
  EXPECT_NE(a, nullptr);
  EXPECT_NE(a, b);
  KRFree(a);
  KRFree(b);
}

// A block is one heap block of its size plus 16, handed out 16 bytes in, behind a
// header of serial and tag; so it keeps the heap's alignment.
TEST_F(AllocatorTest, BlocksLieBehindASixteenByteHeaderInOneHeapBlock) {
  StartLibrary();
  sim::ClearCalls();
  char* full = static_cast<char*>(KRAllocEx(1000, Tag("KRVI:MODEINF")));
  char* padded = static_cast<char*>(KRAllocEx(8, Tag("KRLI:BUFFER")));
  memset(full, 0x5A, 1000);  // the sanitizer build catches a short block
  memset(padded, 0x5A, 8);

  DWORD serial = 0;
  memcpy(&serial, full - 16, sizeof(serial));
  EXPECT_EQ(serial, 1u);
  EXPECT_EQ(std::string(full - 12, 12), "KRVI:MODEINF") << "a 12-character tag fills the field";
  memcpy(&serial, padded - 16, sizeof(serial));
  EXPECT_EQ(serial, 2u);
  EXPECT_EQ(std::string(padded - 12, 12), std::string("KRLI:BUFFER\0", 12)) << "shorter tags are NUL-padded";

  const uintptr_t blocks[] = {reinterpret_cast<uintptr_t>(full), reinterpret_cast<uintptr_t>(padded)};
  KRFree(full);
  KRFree(padded);
  std::vector<std::string> allocations, releases;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "HeapAlloc") allocations.push_back(call.arguments);
    if (call.function == "HeapFree") releases.push_back(call.arguments);
  }
  EXPECT_EQ(allocations, (std::vector<std::string>{"0x140000, 0x0, 1016", "0x140000, 0x0, 24"}));
  ASSERT_EQ(releases.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const std::string prefix = "0x140000, 0x0, ";
    ASSERT_EQ(releases[i].rfind(prefix, 0), 0u) << releases[i];
    uintptr_t heapBlock = static_cast<uintptr_t>(std::stoull(releases[i].substr(prefix.size()), nullptr, 16));
    EXPECT_EQ(blocks[i] - heapBlock, 16u);
  }
}

TEST_F(AllocatorTest, WithoutTracingNothingIsWrittenButSerialsAdvance) {
  StartLibrary();
  sim::ClearDebugOutput();
  KRFree(KRAlloc(1));
  KRFree(KRAllocEx(1, Tag("X")));
  EXPECT_EQ(sim::DebugOutput(), "");
  EXPECT_EQ(g_krCore.dwAllocSerial, 3u);
}

TEST_F(AllocatorTest, TraceFollowsTheFlagAtEachCall) {
  StartTracing();
  void* block = KRAllocEx(8, Tag("KRSO:BUFFER"));
  KRCleanup();
  sim::ClearDebugOutput();
  KRFree(block);  // allocated while tracing, released after clean-up: no line
  EXPECT_EQ(sim::DebugOutput(), "");
  EXPECT_EQ(g_krCore.dwAllocSerial, 2u);  // the counter survives clean-up
}

TEST_F(AllocatorTest, ImpossibleSizesFailLikeAnExhaustedHeap) {
  EXPECT_THROW(KRAlloc(-1), std::bad_alloc);
  EXPECT_THROW(KRAllocEx(-16, Tag("X")), std::bad_alloc);
  EXPECT_THROW(KRAllocEx(INT_MAX, Tag("X")), std::bad_alloc);
  EXPECT_THROW(KRAlloc(INT_MAX - 15), std::bad_alloc);
  EXPECT_EQ(g_krCore.dwAllocSerial, 0u);  // no serial was handed out
}

TEST_F(AllocatorTest, ExhaustedHeapThrowsAndHandsOutNoSerial) {
  StartTracing();
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_THROW(KRAllocEx(64, Tag("KRVI:MODEINF")), std::bad_alloc);
  EXPECT_EQ(sim::DebugOutput(), "");  // no trace line for a block that never existed
  EXPECT_EQ(g_krCore.dwAllocSerial, 1u);
}

TEST_F(AllocatorTest, EveryBlockGoesBackToTheProcessHeap) {
  int before = sim::LiveHeapBlocks();
  void* a = KRAlloc(10);
  void* b = KRAllocEx(0, Tag("KRLI:NODEARY"));
  EXPECT_EQ(sim::LiveHeapBlocks(), before + 2);
  KRFree(a);
  KRFree(b);
  EXPECT_EQ(sim::LiveHeapBlocks(), before);
}

TEST_F(AllocatorTest, FreeingNullDoesNothing) {
  StartTracing();
  KRFree(nullptr);
  EXPECT_EQ(sim::DebugOutput(), "");
}

}  // namespace
