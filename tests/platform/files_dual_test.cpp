// Files as Windows has them: dispositions, sharing, access rights, contents and
// the file pointer. Relative names only: each test starts in an empty folder.
#include <string>

#include "tests/platform/dual_fixture.h"

namespace {

class DualFiles : public DualTest {
 protected:
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

  static void WriteWholeFile(const char* name, const std::string& bytes) {
    HANDLE file = Open(name, GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    EXPECT_TRUE(Write(file, bytes));
    CloseHandle(file);
  }

  static std::string ReadWholeFile(const char* name) {
    HANDLE file = Open(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes = Read(file, 4096);
    CloseHandle(file);
    return bytes;
  }

  static bool FileExists(const char* name) {
    HANDLE file = Open(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }

  // Expects the open to fail with `error`; a handle opened against expectation is closed again.
  static void ExpectOpenFails(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD error) {
    HANDLE file = Open(name, access, share, disposition);
    EXPECT_EQ(GetLastError(), error) << name;
    EXPECT_EQ(file, INVALID_HANDLE_VALUE) << name;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

// ---- Names ------------------------------------------------------------------------------

TEST_F(DualFiles, NamesWithForbiddenCharactersOrNoNameAreRefused) {
  ExpectOpenFails("a|b.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_INVALID_NAME);
  ExpectOpenFails("what*.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_INVALID_NAME);
  ExpectOpenFails("", GENERIC_READ, 0, OPEN_EXISTING, ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(FileExists("a|b.txt"));
}

TEST_F(DualFiles, NamesDifferingInCaseOnlyAreTheSameFile) {
  HANDLE file = Open("Log.TXT", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Write(file, "abc"));
  CloseHandle(file);

  file = Open("log.txt", GENERIC_READ, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Read(file, 10), "abc");
  CloseHandle(file);
}

// ---- Dispositions -------------------------------------------------------------------

TEST_F(DualFiles, CreateNewMakesAFileButNeverOpensAnExistingOne) {
  HANDLE file = Open("new.txt", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);

  WriteWholeFile("old.txt", "keep");
  ExpectOpenFails("old.txt", GENERIC_WRITE, 0, CREATE_NEW, ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadWholeFile("old.txt"), "keep");
}

TEST_F(DualFiles, CreateAlwaysTruncatesAnExistingFileAndSaysSo) {
  WriteWholeFile("krdebug.txt", "old contents");
  HANDLE file = Open("krdebug.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);

  file = Open("fresh.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
}

TEST_F(DualFiles, OpenAlwaysKeepsContentsAndCreatesWhenMissing) {
  WriteWholeFile("kept.txt", "12345");
  HANDLE file = Open("kept.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Read(file, 10), "12345");
  CloseHandle(file);

  file = Open("made.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
  EXPECT_TRUE(FileExists("made.txt"));
}

TEST_F(DualFiles, OpenExistingAndTruncateExistingNeedTheFile) {
  ExpectOpenFails("absent.txt", GENERIC_READ, 0, OPEN_EXISTING, ERROR_FILE_NOT_FOUND);
  ExpectOpenFails("absent.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(FileExists("absent.txt"));

  WriteWholeFile("full.txt", "data");
  HANDLE file = Open("full.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(ReadWholeFile("full.txt"), "");
}

TEST_F(DualFiles, AnUnknownDispositionIsAParameterError) {
  WriteWholeFile("full.txt", "data");
  ExpectOpenFails("full.txt", GENERIC_READ, 0, 0, ERROR_INVALID_PARAMETER);
  ExpectOpenFails("full.txt", GENERIC_READ, 0, 6, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ReadWholeFile("full.txt"), "data");
}

TEST_F(DualFiles, TruncateExistingNeedsWriteAccess) {
  if (OnWine()) GTEST_SKIP() << "Wine opens the file for reading and truncates it; Windows requires GENERIC_WRITE";
  WriteWholeFile("full.txt", "data");
  ExpectOpenFails("full.txt", GENERIC_READ, 0, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ReadWholeFile("full.txt"), "data");
}

TEST_F(DualFiles, AMissingFolderIsPathNotFoundWhateverTheDisposition) {
  for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING}) {
    SCOPED_TRACE(disposition);
    ExpectOpenFails("nowhere\\krdebug.txt", GENERIC_WRITE, 0, disposition, ERROR_PATH_NOT_FOUND);
    ExpectOpenFails("C:\\nowhere\\krdebug.txt", GENERIC_WRITE, 0, disposition, ERROR_PATH_NOT_FOUND);
  }
  EXPECT_FALSE(FileExists("nowhere"));
}

TEST_F(DualFiles, AFileUsedAsAFolderIsPathNotFound) {
  WriteWholeFile("plain.txt", "x");
  ExpectOpenFails("plain.txt\\inner.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND);
}

TEST_F(DualFiles, AFolderCannotBeOpenedAsAFile) {
  ExpectOpenFails(".", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED);
  ExpectOpenFails(".\\", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_ACCESS_DENIED);
  ExpectOpenFails("..\\", GENERIC_WRITE, 0, OPEN_ALWAYS, ERROR_ACCESS_DENIED);
}

// A name ending in a separator is a folder's: a file cannot be made under it,
// nor found, and an existing file's name cannot end in one.
TEST_F(DualFiles, ANameEndingInASeparatorNamesNoFile) {
  for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS}) {
    SCOPED_TRACE(disposition);
    ExpectOpenFails("newdir\\", GENERIC_WRITE, 0, disposition, ERROR_INVALID_NAME);
    ExpectOpenFails("newdir/", GENERIC_WRITE, 0, disposition, ERROR_INVALID_NAME);
  }
  for (DWORD disposition : {OPEN_EXISTING, TRUNCATE_EXISTING}) {
    SCOPED_TRACE(disposition);
    ExpectOpenFails("newdir\\", GENERIC_WRITE, 0, disposition, ERROR_FILE_NOT_FOUND);
  }
  ExpectOpenFails("nowhere\\newdir\\", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND);
  WriteWholeFile("plain.txt", "x");
  ExpectOpenFails("plain.txt\\", GENERIC_READ, 0, OPEN_EXISTING, ERROR_INVALID_NAME);
  ExpectOpenFails("plain.txt\\", GENERIC_WRITE, 0, CREATE_ALWAYS, ERROR_INVALID_NAME);
  EXPECT_EQ(ReadWholeFile("plain.txt"), "x");
  EXPECT_FALSE(FileExists("newdir"));
}

// ---- Sharing ----------------------------------------------------------------------------

TEST_F(DualFiles, AFileOpenWithoutSharingCannotBeOpenedAgainUntilClosed) {
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

TEST_F(DualFiles, ASharingViolationDoesNotTruncate) {
  WriteWholeFile("busy.txt", "in use");
  HANDLE reader = Open("busy.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ExpectOpenFails("busy.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Read(reader, 100), "in use");
  CloseHandle(reader);
}

TEST_F(DualFiles, EachSideMustShareWhatTheOtherUses) {
  WriteWholeFile("shared.txt", "x");
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

TEST_F(DualFiles, AnOpenWithoutDataAccessIsNotASharingConflict) {
  HANDLE exclusive = Open("locked.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  HANDLE query = Open("locked.txt", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_NE(query, INVALID_HANDLE_VALUE);
  CloseHandle(query);
  CloseHandle(exclusive);
}

// ---- Access rights and handles -------------------------------------------------------------

TEST_F(DualFiles, WritingNeedsWriteAccessAndReadingReadAccess) {
  WriteWholeFile("data.bin", "abc");
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
  EXPECT_EQ(ReadWholeFile("data.bin"), "abc");
}

// Only handles that cannot belong to anything: a Windows process reuses closed
// handle values at once, and a made-up value may be some other object's.
TEST_F(DualFiles, NullAndInvalidHandlesAreRefused) {
  char byte = 0;
  DWORD count = 0;
  LONG high = 0;
  for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    SCOPED_TRACE(bad == nullptr ? "NULL" : "INVALID_HANDLE_VALUE");
    SetLastError(0);
    EXPECT_FALSE(WriteFile(bad, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
    EXPECT_FALSE(FlushFileBuffers(bad));
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(SetFilePointer(bad, 0, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  }
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  // INVALID_HANDLE_VALUE is also the process's own pseudo-handle: closing it does nothing and succeeds.
  EXPECT_TRUE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST_F(DualFiles, NoBufferIsRefusedUnlessNothingIsMoved) {
  HANDLE file = Open("a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  DWORD count = 0;
  EXPECT_FALSE(WriteFile(file, nullptr, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_TRUE(WriteFile(file, nullptr, 0, &count, nullptr));
  ASSERT_TRUE(Write(file, "abc"));
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  EXPECT_FALSE(ReadFile(file, nullptr, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOACCESS)) << "the fault of writing into nothing";
  EXPECT_EQ(count, 0u);
  CloseHandle(file);
  EXPECT_EQ(ReadWholeFile("a.txt"), "abc");
}

// On a handle opened without FILE_FLAG_OVERLAPPED the record only says where:
// the call completes at once and the file pointer ends after the bytes moved.
TEST_F(DualFiles, AnOverlappedRecordOnAnOrdinaryHandleGivesTheOffset) {
  HANDLE file = Open("a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_TRUE(Write(file, "abcd"));
  OVERLAPPED at = {};
  at.Offset = 1;
  char bytes[3] = {};
  DWORD count = 0;
  ASSERT_TRUE(ReadFile(file, bytes, 2, &count, &at));
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(bytes, "bc");
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 3u);
  at.Offset = 0;
  ASSERT_TRUE(WriteFile(file, "Z", 1, &count, &at));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 1u);
  CloseHandle(file);
  EXPECT_EQ(ReadWholeFile("a.txt"), "Zbcd");
}

// ---- Contents and the file pointer ------------------------------------------------------------

TEST_F(DualFiles, BytesWrittenAreOnDiskAtOnceAndReadBackFromTheStart) {
  HANDLE file = Open("log.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  ASSERT_TRUE(Write(file, "line\r\n"));
  EXPECT_EQ(ReadWholeFile("log.txt"), "line\r\n");  // no buffering between calls
  EXPECT_EQ(Read(file, 4), "");                      // at the end: success with nothing
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  EXPECT_EQ(Read(file, 100), "line\r\n");
  CloseHandle(file);
}

TEST_F(DualFiles, FilePointerMovesRelativeToEachOrigin) {
  WriteWholeFile("nums.txt", "0123456789");
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

TEST_F(DualFiles, MovingBeforeTheStartFailsAndLeavesThePointer) {
  WriteWholeFile("nums.txt", "0123456789");
  HANDLE file = Open("nums.txt", GENERIC_READ, 0, OPEN_EXISTING);
  SetFilePointer(file, 4, nullptr, FILE_BEGIN);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(Read(file, 1), "4");
  CloseHandle(file);
}

TEST_F(DualFiles, WritingPastTheEndFillsTheGapWithZeros) {
  HANDLE file = Open("gap.bin", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  ASSERT_TRUE(Write(file, "x"));
  EXPECT_EQ(GetFileSize(file, nullptr), 4u);
  CloseHandle(file);
  EXPECT_EQ(ReadWholeFile("gap.bin"), std::string("\0\0\0x", 4));
}

TEST_F(DualFiles, LargeOffsetsNeedTheHighHalf) {
  HANDLE file = Open("big.bin", GENERIC_WRITE, 0, CREATE_NEW);
  LONG high = 1;  // 4 GiB + 16
  EXPECT_EQ(SetFilePointer(file, 16, &high, FILE_BEGIN), 16u);
  EXPECT_EQ(high, 1);
  high = -1;      // a 64-bit distance of -16 from 4 GiB + 16
  EXPECT_EQ(SetFilePointer(file, -16, &high, FILE_CURRENT), 0u);
  EXPECT_EQ(high, 1);
  DWORD sizeHigh = 7;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 0u);
  EXPECT_EQ(sizeHigh, 0u);
  CloseHandle(file);
}

TEST_F(DualFiles, APositionPastFourGibibytesNeedsTheHighHalfToBeReported) {
  if (OnWine()) GTEST_SKIP() << "Wine answers the low half; Windows fails the call";
  HANDLE file = Open("big.bin", GENERIC_WRITE, 0, CREATE_NEW);
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(file);
}

}  // namespace
