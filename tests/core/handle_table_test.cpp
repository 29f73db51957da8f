// Fixed handle tables: range checks and free-slot search from handle 1 or from
// a later first handle, and the warning lines every table writes.
#include "support/kr_test.h"

#include <vector>

#include "core/handle_table.h"

namespace {

class HandleTableTest : public KRTest {};

const int kTableSize = 33;

TEST_F(HandleTableTest, RangeStartsAtTheFirstHandleAndEndsBeforeTheTableSize) {
  for (int handle : {-1, 0, 33, 34}) EXPECT_FALSE(KRHandleInRange(handle, kTableSize)) << handle;
  for (int handle : {1, 2, 32}) EXPECT_TRUE(KRHandleInRange(handle, kTableSize)) << handle;

  for (int handle : {-1, 0, 1, 2, 33}) EXPECT_FALSE(KRHandleInRange(handle, 3, kTableSize)) << handle;
  for (int handle : {3, 4, 32}) EXPECT_TRUE(KRHandleInRange(handle, 3, kTableSize)) << handle;
}

TEST_F(HandleTableTest, SearchAsksOnlyForSlotsOfTheRangeAndTakesTheLowestFree) {
  std::vector<bool> free(kTableSize + 1, true);  // one slot past the end: must never be taken
  std::vector<int> asked;
  auto isFree = [&](int handle) {
    asked.push_back(handle);
    return static_cast<bool>(free[static_cast<size_t>(handle)]);
  };

  // Slots 0 to 2 are free too, but a table from 3 never hands them out.
  EXPECT_EQ(KRHandleFindFree(3, kTableSize, isFree), 3);
  EXPECT_EQ(asked, std::vector<int>{3});

  for (int handle = 1; handle < kTableSize; ++handle) free[static_cast<size_t>(handle)] = false;
  free[9] = free[5] = true;
  EXPECT_EQ(KRHandleFindFree(3, kTableSize, isFree), 5);
  EXPECT_EQ(KRHandleFindFree(kTableSize, isFree), 5);

  free[9] = free[5] = false;
  asked.clear();
  EXPECT_EQ(KRHandleFindFree(3, kTableSize, isFree), 0);
  EXPECT_EQ(asked.front(), 3);
  EXPECT_EQ(asked.back(), 32);
  EXPECT_EQ(asked.size(), 30u);
  asked.clear();
  EXPECT_EQ(KRHandleFindFree(kTableSize, isFree), 0) << "slot 0 is free but never a handle";
  EXPECT_EQ(asked.front(), 1);
  EXPECT_EQ(asked.size(), 32u);
}

TEST_F(HandleTableTest, WarningsReadAsEachComponentWritesThem) {
  KRHandleWarnInvalid("KR3D", "You did release", "Texture", 5);
  KRHandleWarnInvalid("KRList", "You released", "List", -1);
  KRHandleWarnInvalid("KRSound", "Play buffer", "Buffer", 64);
  KRHandleWarnInvalid("KRSound", "Set buffer volume to", "Buffer", 0);
  KRHandleWarnInvalid("KR2D", "You did release", "Buffer", 2);
  EXPECT_EQ(sim::DebugOutput(),
            "KR3D Warning : You did release NULL or ills Texture(5).\r\n"
            "KRList Warning : You released NULL or ills List(-1).\r\n"
            "KRSound Warning : Play buffer NULL or ills Buffer(64).\r\n"
            "KRSound Warning : Set buffer volume to NULL or ills Buffer(0).\r\n"
            "KR2D Warning : You did release NULL or ills Buffer(2).\r\n");
  EXPECT_EQ(KRErrorGetLastError(), 0u) << "a bad handle is not an error";

  sim::ClearDebugOutput();
  KRHandleWarnTableFull("KR3D", "Viewport");
  KRHandleWarnNotReleased("KRMedia", "Buffer", 31);
  EXPECT_EQ(sim::DebugOutput(),
            "KR3D Warning : Could not create Viewport(Maximumed out).\r\n"
            "KRMedia Warning : You didn't release Buffer(31).\r\n");
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

TEST_F(HandleTableTest, FullTableFailureSetsTheCodeThenWarnsAndGivesNoHandle) {
  EXPECT_EQ(KRHandleFailTableFull("KRList", "List", KRERR_LIST | 0x100), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0x9100u);
  const std::vector<std::string> messages = sim::DebugMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("KRError \"Korvath : ", 0), 0u) << messages[0];
  EXPECT_EQ(messages[1], "KRList Warning : Could not create List(Maximumed out).\r\n");
}

}  // namespace
