// FormatMessageA from the system's table, and the local memory its buffers live in.
#include <string>

#include "tests/platform/dual_fixture.h"

namespace {

class DualSystemMessages : public DualTest {
 protected:
  // As the debug log asks: the system's table, a buffer it allocates, the user's language.
  static DWORD FormatAllocated(DWORD id, LPSTR* text, DWORD languageId = LANG_USER_DEFAULT) {
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, id, languageId,
                          reinterpret_cast<LPSTR>(text), 0, nullptr);
  }

  static std::string Text(DWORD id) {
    LPSTR text = nullptr;
    if (FormatAllocated(id, &text) == 0) return "<none>";
    std::string copy = text;
    LocalFree(text);
    return copy;
  }
};

TEST_F(DualSystemMessages, SystemTextComesInABufferThatLocalFreeGivesBack) {
  LPSTR text = nullptr;
  const DWORD length = FormatAllocated(ERROR_PATH_NOT_FOUND, &text);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(length, std::string(text).size());
  EXPECT_EQ(LocalFree(text), nullptr);
}

// Wine words its texts apart from Windows ("Access denied." for "Access is
// denied.") and has none for some COM codes.
TEST_F(DualSystemMessages, TheTextsAreWordedAsWindowsWordsThem) {
  if (OnWine()) GTEST_SKIP() << "Wine's texts are worded differently";
  EXPECT_EQ(Text(ERROR_PATH_NOT_FOUND), "The system cannot find the path specified.\r\n");
  EXPECT_EQ(Text(ERROR_ACCESS_DENIED), "Access is denied.\r\n");
  EXPECT_EQ(Text(static_cast<DWORD>(E_ACCESSDENIED)), "Access is denied.\r\n") << "read as its Win32 code";
  EXPECT_EQ(Text(static_cast<DWORD>(CO_E_NOTINITIALIZED)), "CoInitialize has not been called.\r\n");
}

TEST_F(DualSystemMessages, TheBufferIsAtLeastTheSizeAsked) {
  LPSTR text = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPSTR>(&text), 256, nullptr);
  ASSERT_GT(length, 2u);
  EXPECT_EQ(std::string(text), Text(ERROR_ACCESS_DENIED));
  text[255] = 'x';  // inside the block (AddressSanitizer would object otherwise)
  LocalFree(text);
}

TEST_F(DualSystemMessages, EveryErrorTheFilesReportHasAText) {
  for (DWORD code : {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_TOO_MANY_OPEN_FILES,
                     ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY, ERROR_SHARING_VIOLATION,
                     ERROR_FILE_EXISTS, ERROR_INVALID_PARAMETER, ERROR_DISK_FULL, ERROR_INVALID_NAME,
                     ERROR_NEGATIVE_SEEK, ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE, ERROR_NOACCESS,
                     ERROR_INVALID_USER_BUFFER}) {
    SCOPED_TRACE(code);
    LPSTR text = nullptr;
    const DWORD length = FormatAllocated(code, &text);
    ASSERT_GT(length, 2u);
    EXPECT_EQ(std::string(text).substr(length - 2), "\r\n");
    LocalFree(text);
  }
}

TEST_F(DualSystemMessages, AnHresultMadeFromAWin32CodeReadsAsThatCode) {
  EXPECT_EQ(Text(static_cast<DWORD>(E_ACCESSDENIED)), Text(ERROR_ACCESS_DENIED));
  const HRESULT sharing = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Text(static_cast<DWORD>(sharing)), Text(ERROR_SHARING_VIOLATION));
}

TEST_F(DualSystemMessages, AnUnknownCodeHasNoTextAndAllocatesNothing) {
  LPSTR text = nullptr;
  EXPECT_EQ(FormatAllocated(0x3106, &text), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(text, nullptr);
}

TEST_F(DualSystemMessages, OnlyNeutralAndEnglishTextsAreThere) {
  if (OnWine()) GTEST_SKIP() << "Wine carries the texts in every language it is translated to";
  LPSTR text = nullptr;
  EXPECT_EQ(FormatAllocated(ERROR_ACCESS_DENIED, &text, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
  EXPECT_NE(FormatAllocated(ERROR_ACCESS_DENIED, &text, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 0u);
  LocalFree(text);
}

TEST_F(DualSystemMessages, TheCallersBufferMustHoldTheTextAndItsTerminator) {
  const std::string expected = Text(ERROR_ACCESS_DENIED);
  const DWORD length = static_cast<DWORD>(expected.size());
  std::string buffer(length + 1, '\0');
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer.data(), length,
                           nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer.data(), length + 1,
                           nullptr),
            length);
  EXPECT_STREQ(buffer.c_str(), expected.c_str());
}

TEST_F(DualSystemMessages, WithoutASourceThereIsNothingToFormat) {
  char buffer[64];
  EXPECT_EQ(FormatMessageA(0, "text", 0, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DualSystemMessages, LocalAllocZeroesOnRequestAndHandsOutEmptyBlocks) {
  auto* zeroed = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(zeroed, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(zeroed[i], 0) << i;
  HLOCAL empty1 = LocalAlloc(LMEM_FIXED, 0);
  HLOCAL empty2 = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(empty1, nullptr);
  EXPECT_NE(empty1, empty2);
  EXPECT_EQ(LocalFree(zeroed), nullptr);
  EXPECT_EQ(LocalFree(empty1), nullptr);
  EXPECT_EQ(LocalFree(empty2), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
