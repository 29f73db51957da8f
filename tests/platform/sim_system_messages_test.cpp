// FormatMessageA from the system's table and the local memory its buffers live in.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/sim/control.h"

namespace {

class SimSystemMessages : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }

  // As the debug log asks: the system's table, a buffer it allocates, the user's language.
  static DWORD FormatAllocated(DWORD id, LPSTR* text, DWORD languageId = LANG_USER_DEFAULT) {
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, id, languageId,
                          reinterpret_cast<LPSTR>(text), 0, nullptr);
  }
};

TEST_F(SimSystemMessages, SystemTextComesInABufferThatLocalFreeGivesBack) {
  LPSTR text = nullptr;
  const DWORD length = FormatAllocated(ERROR_PATH_NOT_FOUND, &text);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "The system cannot find the path specified.\r\n");
  EXPECT_EQ(length, std::string(text).size());
  EXPECT_EQ(sim::LiveLocalBlocks(), 1);

  EXPECT_EQ(LocalFree(text), nullptr);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
}

TEST_F(SimSystemMessages, TheBufferIsAtLeastTheSizeAsked) {
  LPSTR text = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPSTR>(&text), 256, nullptr);
  ASSERT_EQ(length, 19u);
  EXPECT_STREQ(text, "Access is denied.\r\n");
  text[255] = 'x';  // inside the block (AddressSanitizer would object otherwise)
  LocalFree(text);
}

TEST_F(SimSystemMessages, EveryErrorTheFilesReportHasAText) {
  for (DWORD code : {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_TOO_MANY_OPEN_FILES,
                     ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY, ERROR_SHARING_VIOLATION,
                     ERROR_FILE_EXISTS, ERROR_INVALID_PARAMETER, ERROR_DISK_FULL, ERROR_INVALID_NAME,
                     ERROR_NEGATIVE_SEEK, ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE, ERROR_NOACCESS}) {
    SCOPED_TRACE(code);
    LPSTR text = nullptr;
    const DWORD length = FormatAllocated(code, &text);
    ASSERT_GT(length, 2u);
    EXPECT_EQ(std::string(text).substr(length - 2), "\r\n");
    LocalFree(text);
  }
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
}

TEST_F(SimSystemMessages, AnHresultMadeFromAWin32CodeReadsAsThatCode) {
  LPSTR text = nullptr;
  ASSERT_NE(FormatAllocated(static_cast<DWORD>(E_ACCESSDENIED), &text), 0u);
  EXPECT_STREQ(text, "Access is denied.\r\n");
  LocalFree(text);
  ASSERT_NE(FormatAllocated(static_cast<DWORD>(CO_E_NOTINITIALIZED), &text), 0u);
  EXPECT_STREQ(text, "CoInitialize has not been called.\r\n");
  LocalFree(text);
}

TEST_F(SimSystemMessages, AnUnknownCodeHasNoTextAndAllocatesNothing) {
  LPSTR text = nullptr;
  EXPECT_EQ(FormatAllocated(0x3106, &text), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
}

TEST_F(SimSystemMessages, OnlyNeutralAndEnglishTextsAreThere) {
  LPSTR text = nullptr;
  EXPECT_EQ(FormatAllocated(ERROR_ACCESS_DENIED, &text, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
  EXPECT_NE(FormatAllocated(ERROR_ACCESS_DENIED, &text, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 0u);
  LocalFree(text);
}

TEST_F(SimSystemMessages, TheCallersBufferMustHoldTheTextAndItsTerminator) {
  char buffer[20];  // "Access is denied.\r\n" is 19 characters
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, 19, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, 20, nullptr), 19u);
  EXPECT_STREQ(buffer, "Access is denied.\r\n");
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
}

TEST_F(SimSystemMessages, OnlyTheSystemTableIsServed) {
  char buffer[64];
  EXPECT_EQ(FormatMessageA(0, "text", 0, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
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

TEST_F(SimSystemMessages, LocalAllocZeroesOnRequestAndHandsOutEmptyBlocks) {
  auto* zeroed = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(zeroed, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(zeroed[i], 0) << i;
  HLOCAL empty1 = LocalAlloc(LMEM_FIXED, 0);
  HLOCAL empty2 = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(empty1, nullptr);
  EXPECT_NE(empty1, empty2);
  EXPECT_EQ(sim::LiveLocalBlocks(), 3);
  LocalFree(zeroed);
  LocalFree(empty1);
  LocalFree(empty2);
  EXPECT_EQ(sim::LiveLocalBlocks(), 0);
}

}  // namespace
