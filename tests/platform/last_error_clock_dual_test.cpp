// The last error, kept per thread, and the tick count that Sleep moves on.
#include <atomic>
#include <thread>

#include "tests/platform/dual_fixture.h"

namespace {

using DualLastError = DualTest;

// Starting and joining a thread are calls that may set this thread's last
// error themselves, so each side reads its own while the other is running.
TEST_F(DualLastError, EachThreadHasItsOwn) {
  std::atomic<int> step{0};
  DWORD otherAtStart = 1;
  DWORD otherAfterMine = 0;
  std::thread other([&] {
    otherAtStart = GetLastError();
    SetLastError(ERROR_DISK_FULL);
    step = 1;
    while (step != 2) std::this_thread::yield();
    otherAfterMine = GetLastError();
  });
  while (step != 1) std::this_thread::yield();
  SetLastError(ERROR_FILE_EXISTS);
  step = 2;
  const DWORD mine = GetLastError();
  other.join();
  EXPECT_EQ(otherAtStart, 0u) << "a new thread starts without an error";
  EXPECT_EQ(otherAfterMine, static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(mine, static_cast<DWORD>(ERROR_FILE_EXISTS));
}

using DualClock = DualTest;

TEST_F(DualClock, SleepMovesTheTickCountOnByAboutTheTimeSlept) {
  const DWORD start = GetTickCount();
  EXPECT_NE(start, 0u);
  Sleep(50);
  const DWORD slept = GetTickCount() - start;
  // The tick count moves in steps of up to 16 ms on Windows.
  EXPECT_GE(slept, 50u - 16u);
  EXPECT_LT(slept, 1000u);
}

}  // namespace
