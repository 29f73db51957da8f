// sim::Reset: one call brings every area back to a freshly booted machine.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "platform/sim/control.h"

namespace {

TEST(SimReset, EveryAreaIsBackToBoot) {
  sim::Reset();
  OutputDebugStringA("line\n");
  sim::FailNext("CreateFileA", ERROR_ACCESS_DENIED, "never");
  sim::AdvanceClock(100);
  MessageBoxA(nullptr, "a", "b", MB_OK);
  sim::SetMessageBoxAnswer(IDCANCEL);
  CoInitialize(nullptr);
  LocalAlloc(LPTR, 32);  // left for Reset to give back
  HANDLE file = CreateFileA("a.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  SetLastError(ERROR_DISK_FULL);

  sim::Reset();

  EXPECT_TRUE(sim::Calls().empty());
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_TRUE(sim::DebugMessages().empty());
  EXPECT_EQ(sim::Now(), sim::kTickCountAtBoot);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_OKCANCEL), IDOK);
  EXPECT_EQ(sim::ComInitializeDepth(), 0);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  EXPECT_FALSE(sim::FileExists("a.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(CloseHandle(file));
}

}  // namespace
