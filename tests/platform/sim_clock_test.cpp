// The virtual clock behind GetTickCount and Sleep.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sim/control.h"

namespace {

class SimClock : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimClock, StartsAtBootTimeAndStandsStillWithoutSleep) {
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot);
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot);
  EXPECT_NE(sim::kTickCountAtBoot, 0u);
}

TEST_F(SimClock, SleepAdvancesTheClockInsteadOfWaiting) {
  Sleep(1);
  Sleep(0);
  Sleep(250);
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot + 251);
  EXPECT_EQ(sim::Calls()[2].arguments, "250");
}

TEST_F(SimClock, TestsCanSetAndAdvanceTheClock) {
  sim::SetNow(5000);
  sim::AdvanceClock(16);
  EXPECT_EQ(sim::Now(), 5016u);
  EXPECT_EQ(GetTickCount(), 5016u);
}

TEST_F(SimClock, TheTickCountWrapsAfterFortyNineDays) {
  sim::SetNow(0xFFFFFFF0u);
  Sleep(0x20);
  EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST_F(SimClock, ResetGoesBackToBootTime) {
  Sleep(1000);
  sim::Reset();
  EXPECT_EQ(sim::Now(), sim::kTickCountAtBoot);
}

}  // namespace
