// The simulated file system: path mapping, dispositions, sharing, access
// rights and handles, as Windows has them.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/sim/control.h"

namespace {

class SimFiles : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }

  static HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  static bool Write(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
  }

  static std::string Read(HANDLE file, DWORD count) {
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), count, &read, nullptr)) return "<failed>";
    bytes.resize(read);
    return bytes;
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

TEST_F(SimFiles, DrivePathsMapIntoTheSandboxInLowerCaseWithEitherSeparator) {
  const std::string root = sim::FileRoot();
  EXPECT_EQ(sim::HostPath("C:\\Dir\\F.TXT"), root + "/c/dir/f.txt");
  EXPECT_EQ(sim::HostPath("c:/dir\\\\f.txt"), root + "/c/dir/f.txt");
  EXPECT_EQ(sim::HostPath("D:\\Data\\x.bin"), root + "/d/data/x.bin");
}

TEST_F(SimFiles, RelativeNamesResolveAgainstTheCurrentDirectory) {
  const std::string root = sim::FileRoot();
  EXPECT_EQ(sim::HostPath("krdebug.txt"), root + "/c/work/krdebug.txt");
  EXPECT_EQ(sim::HostPath("sub\\a.txt"), root + "/c/work/sub/a.txt");
  EXPECT_EQ(sim::HostPath("C:drive-relative.txt"), root + "/c/work/drive-relative.txt");
  EXPECT_EQ(sim::HostPath("\\rooted.txt"), root + "/c/rooted.txt");
  EXPECT_EQ(sim::HostPath("..\\up.txt"), root + "/c/up.txt");
  EXPECT_EQ(sim::HostPath(".\\a\\..\\b.txt"), root + "/c/work/b.txt");
  EXPECT_EQ(sim::HostPath("C:\\..\\..\\top.txt"), root + "/c/top.txt");  // no way above the drive
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

TEST_F(SimFiles, NamesWithForbiddenCharactersAreRefused) {
  EXPECT_EQ(sim::HostPath("C:\\a?b.txt"), "");
  ExpectOpenFails("C:\\work\\a|b.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_INVALID_NAME);
  ExpectOpenFails("what*.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_INVALID_NAME);
  ExpectOpenFails("", GENERIC_READ, 0, OPEN_EXISTING, ERROR_PATH_NOT_FOUND);
  ExpectOpenFails("\\\\server\\share\\f.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_PATH_NOT_FOUND);
  EXPECT_THROW(sim::WriteWholeFile("C:\\bad<name", "x"), std::invalid_argument);
}

TEST_F(SimFiles, NamesDifferingInCaseOnlyAreTheSameFile) {
  HANDLE file = Open("C:\\Work\\Log.TXT", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Write(file, "abc"));
  CloseHandle(file);

  file = Open("log.txt", GENERIC_READ, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Read(file, 10), "abc");
  CloseHandle(file);
}

// ---- Dispositions -------------------------------------------------------------------

TEST_F(SimFiles, CreateNewMakesAFileButNeverOpensAnExistingOne) {
  HANDLE file = Open("new.txt", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);

  sim::WriteWholeFile("old.txt", "keep");
  ExpectOpenFails("old.txt", GENERIC_WRITE, 0, CREATE_NEW, ERROR_FILE_EXISTS);
  EXPECT_EQ(sim::ReadWholeFile("old.txt"), "keep");
}

TEST_F(SimFiles, CreateAlwaysTruncatesAnExistingFileAndSaysSo) {
  sim::WriteWholeFile("C:\\work\\krdebug.txt", "old contents");
  HANDLE file = Open("C:\\work\\krdebug.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);

  file = Open("fresh.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
}

TEST_F(SimFiles, OpenAlwaysKeepsContentsAndCreatesWhenMissing) {
  sim::WriteWholeFile("kept.txt", "12345");
  HANDLE file = Open("kept.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Read(file, 10), "12345");
  CloseHandle(file);

  file = Open("made.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
  EXPECT_TRUE(sim::FileExists("made.txt"));
}

TEST_F(SimFiles, OpenExistingAndTruncateExistingNeedTheFile) {
  ExpectOpenFails("absent.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_FILE_NOT_FOUND);
  ExpectOpenFails("absent.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(sim::FileExists("absent.txt"));

  sim::WriteWholeFile("full.txt", "data");
  HANDLE file = Open("full.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(sim::ReadWholeFile("full.txt"), "");
}

TEST_F(SimFiles, TruncateExistingWithoutWriteAccessOrAnUnknownDispositionIsAParameterError) {
  sim::WriteWholeFile("full.txt", "data");
  ExpectOpenFails("full.txt", GENERIC_READ, 0, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER);
  ExpectOpenFails("full.txt", GENERIC_READ, 0, 0, ERROR_INVALID_PARAMETER);
  ExpectOpenFails("full.txt", GENERIC_READ, 0, 6, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(sim::ReadWholeFile("full.txt"), "data");
}

TEST_F(SimFiles, AMissingFolderIsPathNotFoundWhateverTheDisposition) {
  for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING}) {
    SCOPED_TRACE(disposition);
    ExpectOpenFails("C:\\nowhere\\krdebug.txt", GENERIC_WRITE, 0, disposition, ERROR_PATH_NOT_FOUND);
    ExpectOpenFails("E:\\krdebug.txt", GENERIC_WRITE, 0, disposition, ERROR_PATH_NOT_FOUND);
  }
  EXPECT_FALSE(std::filesystem::exists(sim::HostPath("C:\\nowhere")));
}

TEST_F(SimFiles, AFileUsedAsAFolderIsPathNotFound) {
  sim::WriteWholeFile("plain.txt", "x");
  ExpectOpenFails("plain.txt\\inner.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND);
}

TEST_F(SimFiles, AFolderCannotBeOpenedAsAFile) {
  ExpectOpenFails("C:\\Windows\\System", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED);
  ExpectOpenFails("C:\\work\\", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_ACCESS_DENIED);
  ExpectOpenFails("C:\\work\\newdir\\", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND);
}

// ---- Sharing ----------------------------------------------------------------------------

TEST_F(SimFiles, AFileOpenWithoutSharingCannotBeOpenedAgainUntilClosed) {
  HANDLE log = Open("krdebug.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(log, INVALID_HANDLE_VALUE);
  ExpectOpenFails("KRDEBUG.TXT", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                  ERROR_SHARING_VIOLATION);
  ExpectOpenFails("krdebug.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS,
                  ERROR_SHARING_VIOLATION);

  ASSERT_TRUE(CloseHandle(log));
  HANDLE again = Open("krdebug.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

TEST_F(SimFiles, ASharingViolationDoesNotTruncate) {
  sim::WriteWholeFile("busy.txt", "in use");
  HANDLE reader = Open("busy.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ExpectOpenFails("busy.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(sim::ReadWholeFile("busy.txt"), "in use");
  CloseHandle(reader);
}

TEST_F(SimFiles, EachSideMustShareWhatTheOtherUses) {
  sim::WriteWholeFile("shared.txt", "x");
  HANDLE readerSharingAll = Open("shared.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  ASSERT_NE(readerSharingAll, INVALID_HANDLE_VALUE);
  // A second reader that shares only reading is fine: the first one does not write.
  HANDLE readerSharingRead = Open("shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(readerSharingRead, INVALID_HANDLE_VALUE);
  // A writer is refused, although it shares everything: the second reader does not share writing.
  ExpectOpenFails("shared.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                  ERROR_SHARING_VIOLATION);
  // A writer that does not share reading is refused by the readers' mere presence.
  CloseHandle(readerSharingRead);
  ExpectOpenFails("shared.txt", GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING, ERROR_SHARING_VIOLATION);
  HANDLE writer = Open("shared.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  CloseHandle(writer);
  CloseHandle(readerSharingAll);
}

TEST_F(SimFiles, AnOpenWithoutDataAccessIsNotASharingConflict) {
  HANDLE exclusive = Open("locked.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  HANDLE query = Open("locked.txt", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_NE(query, INVALID_HANDLE_VALUE);
  CloseHandle(query);
  CloseHandle(exclusive);
}

// ---- Access rights and handles -------------------------------------------------------------

TEST_F(SimFiles, WritingNeedsWriteAccessAndReadingReadAccess) {
  sim::WriteWholeFile("data.bin", "abc");
  HANDLE reader = Open("data.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  DWORD written = 99;
  EXPECT_FALSE(WriteFile(reader, "zz", 2, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(FlushFileBuffers(reader));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  HANDLE writer = Open("data.bin", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  char buffer[4];
  DWORD read = 99;
  EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(FlushFileBuffers(writer));

  CloseHandle(reader);
  CloseHandle(writer);
  EXPECT_EQ(sim::ReadWholeFile("data.bin"), "abc");
}

TEST_F(SimFiles, BadHandlesAreRefusedEverywhere) {
  HANDLE file = Open("gone.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_TRUE(CloseHandle(file));
  char byte = 0;
  DWORD count = 0;
  LONG high = 0;
  for (HANDLE bad : {file, INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr),
                     reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1235))}) {
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

TEST_F(SimFiles, SynchronousCallsNeedTheirCountAndNoOverlappedRecord) {
  HANDLE file = Open("a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  OVERLAPPED overlapped = {};
  DWORD count = 0;
  EXPECT_FALSE(WriteFile(file, "x", 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WriteFile(file, "x", 1, &count, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WriteFile(file, nullptr, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOACCESS));
  EXPECT_TRUE(WriteFile(file, nullptr, 0, &count, nullptr));
  CloseHandle(file);
  EXPECT_EQ(sim::ReadWholeFile("a.txt"), "");
}

// ---- Contents and the file pointer ------------------------------------------------------------

TEST_F(SimFiles, BytesWrittenAreOnDiskAtOnceAndReadBackFromTheStart) {
  HANDLE file = Open("log.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_TRUE(Write(file, "line\r\n"));
  EXPECT_EQ(sim::ReadWholeFile("log.txt"), "line\r\n");  // no buffering between calls
  EXPECT_EQ(Read(file, 4), "");                           // at the end: success with nothing
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  EXPECT_EQ(Read(file, 100), "line\r\n");
  CloseHandle(file);
}

TEST_F(SimFiles, FilePointerMovesRelativeToEachOrigin) {
  sim::WriteWholeFile("nums.txt", "0123456789");
  HANDLE file = Open("nums.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(Read(file, 1), "5");
  EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
  EXPECT_EQ(Read(file, 5), "89");
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(file);
}

TEST_F(SimFiles, MovingBeforeTheStartFailsAndLeavesThePointer) {
  sim::WriteWholeFile("nums.txt", "0123456789");
  HANDLE file = Open("nums.txt", GENERIC_READ, 0, OPEN_EXISTING);
  SetFilePointer(file, 4, nullptr, FILE_BEGIN);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(Read(file, 1), "4");
  CloseHandle(file);
}

TEST_F(SimFiles, WritingPastTheEndFillsTheGapWithZeros) {
  HANDLE file = Open("gap.bin", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  ASSERT_TRUE(Write(file, "x"));
  EXPECT_EQ(GetFileSize(file, nullptr), 4u);
  CloseHandle(file);
  EXPECT_EQ(sim::ReadWholeFile("gap.bin"), std::string("\0\0\0x", 4));
}

TEST_F(SimFiles, LargeOffsetsNeedTheHighHalf) {
  HANDLE file = Open("big.bin", GENERIC_WRITE, 0, CREATE_NEW);
  LONG high = 1;  // 4 GiB + 16
  EXPECT_EQ(SetFilePointer(file, 16, &high, FILE_BEGIN), 16u);
  EXPECT_EQ(high, 1);
  high = -1;      // a 64-bit distance of -16 from 4 GiB + 16
  EXPECT_EQ(SetFilePointer(file, -16, &high, FILE_CURRENT), 0u);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  DWORD sizeHigh = 7;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 0u);
  EXPECT_EQ(sizeHigh, 0u);
  CloseHandle(file);
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
