// Tagged allocator and its trace lines.
#include "support/kr_test.h"

#include <climits>
#include <new>

#include "core/core_state.h"

namespace {

class AllocatorTest : public KRTest {
 protected:
  void StartTracing() {
    KRSTARTUPINFO info = StartupInfo(KRSTARTUP_ALLOCTRACE);
    ASSERT_EQ(KRStartup(&info), 1);
    sim::ClearDebugOutput();
  }
  static char* Tag(const char* text) { return const_cast<char*>(text); }
};

TEST_F(AllocatorTest, TraceLinesPairABlockWithItsRelease) {
  StartTracing();
  void* block = KRAllocEx(100, Tag("KRIN:KEYBUFF"));
  KRFree(block);
  EXPECT_EQ(sim::DebugOutput(),
            "KR : KRAllocEx(01 00 00 00, \"KRIN:KEYBUFF\")      100 bytes allocated\r\n"
            "KR : KRFree   (01 00 00 00, \"KRIN:KEYBUFF\")\r\n");
  KRCleanup();
}

TEST_F(AllocatorTest, UntaggedBlocksShowTwelveBlanks) {
  StartTracing();
  KRFree(KRAlloc(5));
  EXPECT_EQ(sim::DebugOutput(),
            "KR : KRAlloc  (01 00 00 00, \"            \")        5 bytes allocated\r\n"
            "KR : KRFree   (01 00 00 00, \"            \")\r\n");
  KRCleanup();
}

TEST_F(AllocatorTest, LongTagIsPrintedWholeButStoredCut) {
  StartTracing();
  KRFree(KRAllocEx(1, Tag("ABCDEFGHIJKLMNO")));
  EXPECT_EQ(sim::DebugOutput(),
            "KR : KRAllocEx(01 00 00 00, \"ABCDEFGHIJKLMNO\")        1 bytes allocated\r\n"
            "KR : KRFree   (01 00 00 00, \"ABCDEFGHIJKL\")\r\n");
  KRCleanup();
}

TEST_F(AllocatorTest, NullTagIsAnEmptyTag) {
  StartTracing();
  KRFree(KRAllocEx(2, nullptr));
  EXPECT_EQ(sim::DebugOutput(),
            "KR : KRAllocEx(01 00 00 00, \"            \")        2 bytes allocated\r\n"
            "KR : KRFree   (01 00 00 00, \"            \")\r\n");
  KRCleanup();
}

TEST_F(AllocatorTest, SerialBytesAreWrittenLowestFirst) {
  StartTracing();
  for (int i = 1; i < 256; ++i) KRFree(KRAlloc(1));
  sim::ClearDebugOutput();
  KRFree(KRAllocEx(1, Tag("KR3D:TEXTURE")));
  EXPECT_NE(sim::DebugOutput().find("KRAllocEx(00 01 00 00, \"KR3D:TEXTURE\")"), std::string::npos);
  EXPECT_NE(sim::DebugOutput().find("KRFree   (00 01 00 00, \"KR3D:TEXTURE\")"), std::string::npos);
  KRCleanup();
}

TEST_F(AllocatorTest, ZeroSizedBlocksAreDistinctAndUsable) {
  void* a = KRAllocEx(0, Tag("KRLI:BUFFER"));
  void* b = KRAllocEx(0, Tag("KRLI:BUFFER"));
  EXPECT_NE(a, nullptr);
  EXPECT_NE(a, b);
  KRFree(a);
  KRFree(b);
}

TEST_F(AllocatorTest, BlocksHoldTheirSizeAndAreAligned) {
  char* block = static_cast<char*>(KRAllocEx(1000, Tag("KRVI:MODEINF")));
  memset(block, 0x5A, 1000);  // the sanitizer build catches a short block
  EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
  KRFree(block);
}

TEST_F(AllocatorTest, WithoutTracingNothingIsWrittenButSerialsAdvance) {
  KRSTARTUPINFO info = StartupInfo();
  ASSERT_EQ(KRStartup(&info), 1);
  sim::ClearDebugOutput();
  KRFree(KRAlloc(1));
  KRFree(KRAllocEx(1, Tag("X")));
  EXPECT_EQ(sim::DebugOutput(), "");
  EXPECT_EQ(g_krCore.dwAllocSerial, 3u);
  KRCleanup();
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
  KRCleanup();
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
  KRCleanup();
}

}  // namespace
