// The simulated file system's own side: path mapping into the sandbox, its
// handles, and reset. What Windows does with files (dispositions, sharing,
// access, contents) is tested on both in files_dual_test.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

class SimFiles : public StrictSimTest {
 protected:
  static HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  // Expects the open to fail with `error` and to leave no handle behind.
  static void ExpectOpenFails(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD error) {
    const int openBefore = sim::OpenFileHandles();
    EXPECT_EQ(Open(name, access, share, disposition), INVALID_HANDLE_VALUE) << name;
    EXPECT_EQ(GetLastError(), error) << name;
    EXPECT_EQ(sim::OpenFileHandles(), openBefore);
  }
};

// ---- Path mapping ---------------------------------------------------------------

// Drive paths in lower case with either separator; relative names against the
// current directory; no way above the drive.
TEST_F(SimFiles, DrivePathsAndRelativeNamesMapIntoTheSandbox) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Dir\\F.TXT", "/c/dir/f.txt"},        {"c:/dir\\\\f.txt", "/c/dir/f.txt"},
      {"D:\\Data\\x.bin", "/d/data/x.bin"},      {"krdebug.txt", "/c/work/krdebug.txt"},
      {"sub\\a.txt", "/c/work/sub/a.txt"},        {"C:drive-relative.txt", "/c/work/drive-relative.txt"},
      {"\\rooted.txt", "/c/rooted.txt"},          {"..\\up.txt", "/c/up.txt"},
      {".\\a\\..\\b.txt", "/c/work/b.txt"},      {"C:\\..\\..\\top.txt", "/c/top.txt"}};
  for (const auto& c : cases) EXPECT_EQ(sim::HostPath(c.first), sim::FileRoot() + c.second) << c.first;
}

TEST_F(SimFiles, ShiftJisTrailBytesAreNeitherSeparatorsNorCapitals) {
  // In code page 932 "ソ" is 83 5C (a backslash as trail byte) and "ア" is 83 41 (an "A").
  const std::string root = sim::FileRoot();
  EXPECT_EQ(sim::HostPath("C:\\\x83\x5C\\\x83\x41.TXT"), root + "/c/\x83\x5C/\x83\x41.txt");

  sim::MakeDirectory("C:\\\x83\x5C");
  HANDLE file = Open("C:\\\x83\x5C\\\x83\x41.txt", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(sim::FileExists("c:\\\x83\x5C\\\x83\x41.TXT"));
}

// Names with forbidden characters map to no host path at all; the opens are
// in the tests run on Windows too (files_dual_test.cpp).
TEST_F(SimFiles, NamesWithForbiddenCharactersHaveNoHostPath) {
  EXPECT_EQ(sim::HostPath("C:\\a?b.txt"), "");
  EXPECT_THROW(sim::WriteWholeFile("C:\\bad<name", "x"), std::invalid_argument);
}

// The machine has no network and no drive but C: (Wine answers
// ERROR_FILE_NOT_FOUND for a missing drive, Windows ERROR_PATH_NOT_FOUND).
TEST_F(SimFiles, NetworkNamesAndMissingDrivesAreNotFound) {
  ExpectOpenFails("\\\\server\\share\\f.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_PATH_NOT_FOUND);
  for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING}) {
    SCOPED_TRACE(disposition);
    ExpectOpenFails("E:\\krdebug.txt", GENERIC_WRITE, 0, disposition, ERROR_PATH_NOT_FOUND);
  }
  EXPECT_FALSE(std::filesystem::exists(sim::HostPath("E:\\")));
}

// ---- Handles ---------------------------------------------------------------------------------

// Windows soon hands a closed handle's value out again, and a made-up value may
// be another object's; here neither is anything (see the next test).
TEST_F(SimFiles, ClosedAndMadeUpHandlesAreRefusedEverywhere) {
  HANDLE file = Open("gone.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_TRUE(CloseHandle(file));
  char byte = 0;
  DWORD count = 0;
  LONG high = 0;
  for (HANDLE bad : {file, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1235))}) {
    SetLastError(0);
    EXPECT_FALSE(WriteFile(bad, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
    EXPECT_FALSE(FlushFileBuffers(bad));
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(SetFilePointer(bad, 0, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

TEST_F(SimFiles, AClosedHandleIsNotReusedByTheNextOpen) {
  HANDLE first = Open("a.txt", GENERIC_WRITE, 0, CREATE_NEW);
  CloseHandle(first);
  HANDLE second = Open("b.txt", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_NE(second, first);
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_TRUE(CloseHandle(second));
}

TEST_F(SimFiles, OpenHandlesAreCountedUntilClosed) {
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  HANDLE a = Open("a.txt", GENERIC_WRITE, 0, CREATE_NEW);
  HANDLE b = Open("b.txt", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_EQ(sim::OpenFileHandles(), 2);
  CloseHandle(a);
  EXPECT_EQ(sim::OpenFileHandles(), 1);
  CloseHandle(b);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

// Without an OVERLAPPED record Windows writes the count through its pointer
// (Windows 7 and later crash on a null one; Wine lets it pass): refused here.
TEST_F(SimFiles, ACallWithoutCountOrOverlappedRecordIsRefused) {
  HANDLE file = Open("a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  char byte = 0;
  EXPECT_FALSE(WriteFile(file, "x", 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(ReadFile(file, &byte, 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  OVERLAPPED atStart = {};
  EXPECT_TRUE(WriteFile(file, "x", 1, nullptr, &atStart)) << "with a record the count may be left out";
  CloseHandle(file);
  EXPECT_EQ(sim::ReadWholeFile("a.txt"), "x");
}

// ---- Reset ------------------------------------------------------------------------------------

TEST_F(SimFiles, ResetEmptiesTheDisksBackToTheBootFoldersAndClosesHandles) {
  sim::WriteWholeFile("C:\\Games\\save.dat", "x");
  sim::WriteWholeFile("D:\\data.bin", "y");
  HANDLE open = Open("krdebug.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  const std::string root = sim::FileRoot();

  sim::Reset();

  EXPECT_EQ(sim::FileRoot(), root);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
  EXPECT_FALSE(CloseHandle(open));
  EXPECT_FALSE(sim::FileExists("C:\\Games\\save.dat"));
  EXPECT_FALSE(sim::FileExists("krdebug.txt"));
  EXPECT_FALSE(std::filesystem::exists(root + "/d"));
  EXPECT_TRUE(std::filesystem::is_directory(sim::HostPath("C:\\work")));
  EXPECT_TRUE(std::filesystem::is_directory(sim::HostPath("C:\\Windows\\System")));
  // The log file can be created again without a sharing violation from before.
  HANDLE again = Open("krdebug.txt", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

}  // namespace

// ---- Short reads ----------------------------------------------------------------

TEST_F(SimFiles, ALimitedReadSucceedsWithFewerBytesOnceAndResetForgetsIt) {
  sim::WriteWholeFile("C:\\work\\short.bin", "abcdef");
  HANDLE file = Open("C:\\work\\short.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char bytes[6] = {};
  DWORD read = 99;
  sim::LimitNextReadFile(2);
  EXPECT_TRUE(ReadFile(file, bytes, 6, &read, nullptr));
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(std::string(bytes, 2), "ab");
  EXPECT_TRUE(ReadFile(file, bytes, 6, &read, nullptr));  // the limit went with the first read
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(std::string(bytes, 4), "cdef");
  sim::LimitNextReadFile(0);
  sim::Reset();  // closes the file and drops the limit
  sim::WriteWholeFile("C:\\work\\short.bin", "abcdef");
  file = Open("C:\\work\\short.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_TRUE(ReadFile(file, bytes, 6, &read, nullptr));
  EXPECT_EQ(read, 6u);
  CloseHandle(file);
}
