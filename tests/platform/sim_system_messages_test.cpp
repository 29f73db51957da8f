// The simulation's own side of local memory: FormatMessageA's buffers are
// counted as its blocks, and LocalFree refuses what it did not hand out (which
// may corrupt a Windows heap, so it is not tried there). What Windows does is
// tested on both in system_messages_dual_test.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

class SimSystemMessages : public StrictSimTest {
 protected:
  // As the debug log asks: the system's table, a buffer it allocates, the user's language.
  static DWORD FormatAllocated(DWORD id, LPSTR* text, DWORD languageId = LANG_USER_DEFAULT) {
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, id, languageId,
                          reinterpret_cast<LPSTR>(text), 0, nullptr);
  }
};

TEST_F(SimSystemMessages, AnAllocatedTextIsALocalBlockUntilLocalFree) {
  LPSTR text = nullptr;
  ASSERT_NE(FormatAllocated(ERROR_PATH_NOT_FOUND, &text), 0u);
  EXPECT_EQ(sim::LiveLocalBlocks(), 1);
  EXPECT_EQ(LocalFree(text), nullptr);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
  EXPECT_EQ(FormatAllocated(0x3106, &text), 0u);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0) << "no block for a code without text";
}

TEST_F(SimSystemMessages, LocalFreeRefusesWhatItDidNotHandOut) {
  HLOCAL block = LocalAlloc(LMEM_FIXED, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(LocalFree(block), block);  // a second release
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  int onTheStack = 0;
  EXPECT_EQ(LocalFree(&onTheStack), &onTheStack);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
