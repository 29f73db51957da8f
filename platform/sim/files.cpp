// Files: CreateFileA and the calls on its handles, on real files in the
// sandbox, with Windows' dispositions, sharing rules and error codes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "sim/sim_internal.h"

namespace sim {
namespace {

struct OpenFile {
  bool inUse = false;
  int fd = -1;
  DWORD access = 0;
  DWORD share = 0;
  std::string hostPath;  // mapped in lower case, so one file has one name
};

constexpr int kMaxOpenFiles = 64;
OpenFile g_files[kMaxOpenFiles];

// A limit a test set on the next ReadFile (a read that succeeds with fewer
// bytes, as a file shrinking between two opens gives); none when negative.
int64_t g_nextReadLimit = -1;

DWORD Win32ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC: return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_ACCESS_DENIED;
  }
}

bool IsDirectory(const std::string& hostPath) {
  struct stat info;
  return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Windows refuses an open when either side's access is not allowed by the
// other side's share mode.
bool ConflictsWithOpenHandles(const std::string& hostPath, DWORD access, DWORD share) {
  for (const OpenFile& open : g_files) {
    if (!open.inUse || open.hostPath != hostPath) continue;
    if ((access & GENERIC_READ) && !(open.share & FILE_SHARE_READ)) return true;
    if ((access & GENERIC_WRITE) && !(open.share & FILE_SHARE_WRITE)) return true;
    if ((open.access & GENERIC_READ) && !(share & FILE_SHARE_READ)) return true;
    if ((open.access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) return true;
  }
  return false;
}

int FreeFileSlot() {
  for (int slot = 0; slot < kMaxOpenFiles; ++slot) {
    if (!g_files[slot].inUse) return slot;
  }
  return -1;
}

// Why Windows refuses to open the file, in the order it checks; ERROR_SUCCESS when it may go ahead.
DWORD RefusalOfOpen(const char* name, const detail::MappedPath& path, bool isDirectory, bool exists, DWORD access,
                    DWORD share, DWORD disposition) {
  if (name == nullptr || disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return ERROR_INVALID_PARAMETER;
  if (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE)) return ERROR_INVALID_PARAMETER;
  if (path.error != ERROR_SUCCESS) return path.error;
  if (isDirectory) return ERROR_ACCESS_DENIED;
  if (!IsDirectory(path.host.substr(0, path.host.rfind('/')))) return ERROR_PATH_NOT_FOUND;
  // A name ending in a separator names a folder: no file can be made or opened under it.
  if (path.endsWithSeparator) {
    const bool creates = disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    return exists || creates ? ERROR_INVALID_NAME : ERROR_FILE_NOT_FOUND;
  }
  if (!exists && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)) return ERROR_FILE_NOT_FOUND;
  if (exists && disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
  if (exists && ConflictsWithOpenHandles(path.host, access, share)) return ERROR_SHARING_VIOLATION;
  return ERROR_SUCCESS;
}

// Windows dereferences the count's address unless an OVERLAPPED record is
// given (older versions crash); refusing the call is the sound answer.
bool CountOrOverlappedGiven(const DWORD* count, const OVERLAPPED* overlapped) {
  return count != nullptr || overlapped != nullptr;
}

// On a handle opened without FILE_FLAG_OVERLAPPED an OVERLAPPED record only
// gives the offset: the call completes at once and the file pointer ends after it.
bool SeekToOverlappedOffset(const OpenFile& file, const OVERLAPPED* overlapped) {
  if (overlapped == nullptr) return true;
  const uint64_t offset = (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
  return lseek(file.fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

OpenFile* FileOfHandle(HANDLE handle) {
  const int slot = detail::KernelObjectIndex(handle, detail::KernelObject::File);
  return slot < 0 ? nullptr : &g_files[slot];
}

}  // namespace

namespace detail {

void CloseFileObject(int index) {
  OpenFile& file = g_files[index];
  close(file.fd);
  file = OpenFile{};
}

void ResetFiles() {
  sim::g_nextReadLimit = -1;
  for (OpenFile& file : g_files) {
    if (file.inUse) close(file.fd);
    file = OpenFile{};
  }
}

}  // namespace detail

void LimitNextReadFile(uint32_t maxBytes) {
  auto lock = detail::LockSimulation();
  g_nextReadLimit = maxBytes;
}

int OpenFileHandles() {
  auto lock = detail::LockSimulation();
  int open = 0;
  for (const OpenFile& file : g_files) open += file.inUse ? 1 : 0;
  return open;
}

namespace {
const bool kCounted = detail::AddLiveCounter("open files", OpenFileHandles);
}  // namespace

}  // namespace sim

using namespace sim::detail;

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                                     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CreateFileA", JoinArgs({ArgString(lpFileName), ArgHex(dwDesiredAccess),
                                                        ArgHex(dwShareMode), ArgPointer(lpSecurityAttributes),
                                                        ArgDec(dwCreationDisposition), ArgHex(dwFlagsAndAttributes),
                                                        ArgHandle(hTemplateFile)}))) {
    return FailWin32(*failure, INVALID_HANDLE_VALUE);
  }
  const MappedPath path = MapWindowsPath(lpFileName);
  struct stat info;
  const bool exists = path.error == ERROR_SUCCESS && stat(path.host.c_str(), &info) == 0;
  const DWORD refusal = sim::RefusalOfOpen(lpFileName, path, exists && S_ISDIR(info.st_mode), exists,
                                           dwDesiredAccess, dwShareMode, dwCreationDisposition);
  if (refusal != ERROR_SUCCESS) return FailWin32(refusal, INVALID_HANDLE_VALUE);
  const int slot = sim::FreeFileSlot();
  if (slot < 0) return FailWin32(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);

  // The host file is always opened for reading and writing: access is checked here, per handle.
  int flags = O_RDWR | O_CLOEXEC;
  if (!exists) {
    flags |= O_CREAT | O_EXCL;
  } else if (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING) {
    flags |= O_TRUNC;
  }
  const int fd = open(path.host.c_str(), flags, 0666);
  if (fd < 0) return FailWin32(sim::Win32ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
  HANDLE handle = NewKernelHandle(KernelObject::File, slot);
  if (handle == nullptr) {
    close(fd);
    return FailWin32(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);
  }
  sim::g_files[slot] = sim::OpenFile{true, fd, dwDesiredAccess, dwShareMode, path.host};

  const bool reportsExisting =
      exists && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
  SetLastErrorQuietly(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  auto lock = LockSimulation();
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  if (auto failure = EnterCall("WriteFile", JoinArgs({ArgHandle(hFile), ArgBytes(lpBuffer, nNumberOfBytesToWrite),
                                                      ArgDec(nNumberOfBytesToWrite), ArgPointer(lpNumberOfBytesWritten),
                                                      ArgPointer(lpOverlapped)}))) {
    return FailWin32(*failure, FALSE);
  }
  sim::OpenFile* file = sim::FileOfHandle(hFile);
  if (file == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (!sim::CountOrOverlappedGiven(lpNumberOfBytesWritten, lpOverlapped)) {
    return FailWin32(ERROR_INVALID_PARAMETER, FALSE);
  }
  if (!(file->access & GENERIC_WRITE)) return FailWin32(ERROR_ACCESS_DENIED, FALSE);
  if (lpBuffer == nullptr && nNumberOfBytesToWrite != 0) return FailWin32(ERROR_INVALID_USER_BUFFER, FALSE);
  if (!sim::SeekToOverlappedOffset(*file, lpOverlapped)) return FailWin32(sim::Win32ErrorFromErrno(errno), FALSE);

  const char* bytes = static_cast<const char*>(lpBuffer);
  DWORD written = 0;
  while (written < nNumberOfBytesToWrite) {
    const ssize_t n = write(file->fd, bytes + written, nNumberOfBytesToWrite - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = written;
      return FailWin32(sim::Win32ErrorFromErrno(n < 0 ? errno : ENOSPC), FALSE);
    }
    written += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = written;
  return TRUE;
}

extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  auto lock = LockSimulation();
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  if (auto failure = EnterCall("ReadFile", JoinArgs({ArgHandle(hFile), ArgPointer(lpBuffer),
                                                     ArgDec(nNumberOfBytesToRead), ArgPointer(lpNumberOfBytesRead),
                                                     ArgPointer(lpOverlapped)}))) {
    return FailWin32(*failure, FALSE);
  }
  sim::OpenFile* file = sim::FileOfHandle(hFile);
  if (file == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (!sim::CountOrOverlappedGiven(lpNumberOfBytesRead, lpOverlapped)) {
    return FailWin32(ERROR_INVALID_PARAMETER, FALSE);
  }
  if (!(file->access & GENERIC_READ)) return FailWin32(ERROR_ACCESS_DENIED, FALSE);
  if (lpBuffer == nullptr && nNumberOfBytesToRead != 0) return FailWin32(ERROR_NOACCESS, FALSE);
  if (!sim::SeekToOverlappedOffset(*file, lpOverlapped)) return FailWin32(sim::Win32ErrorFromErrno(errno), FALSE);

  if (sim::g_nextReadLimit >= 0 && nNumberOfBytesToRead > sim::g_nextReadLimit) {
    nNumberOfBytesToRead = static_cast<DWORD>(sim::g_nextReadLimit);
  }
  sim::g_nextReadLimit = -1;
  char* bytes = static_cast<char*>(lpBuffer);
  DWORD read = 0;
  while (read < nNumberOfBytesToRead) {
    const ssize_t n = ::read(file->fd, bytes + read, nNumberOfBytesToRead - read);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = read;
      return FailWin32(sim::Win32ErrorFromErrno(errno), FALSE);
    }
    if (n == 0) break;  // end of file: success with fewer bytes
    read += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = read;
  return TRUE;
}

// Every write has already reached the host's file, so there is nothing to
// flush; what is checked is whether Windows would accept the call.
extern "C" BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("FlushFileBuffers", ArgHandle(hFile))) return FailWin32(*failure, FALSE);
  sim::OpenFile* file = sim::FileOfHandle(hFile);
  if (file == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  if (!(file->access & GENERIC_WRITE)) return FailWin32(ERROR_ACCESS_DENIED, FALSE);
  return TRUE;
}

extern "C" DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetFileSize", JoinArgs({ArgHandle(hFile), ArgPointer(lpFileSizeHigh)}))) {
    return FailWin32(*failure, INVALID_FILE_SIZE);
  }
  sim::OpenFile* file = sim::FileOfHandle(hFile);
  if (file == nullptr) return FailWin32(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
  struct stat info;
  if (fstat(file->fd, &info) != 0) return FailWin32(sim::Win32ErrorFromErrno(errno), INVALID_FILE_SIZE);
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  const DWORD low = static_cast<DWORD>(size);
  // A size whose low half looks like the failure value: callers tell them apart by the last error.
  if (low == INVALID_FILE_SIZE) SetLastErrorQuietly(NO_ERROR);
  return low;
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                                       DWORD dwMoveMethod) {
  auto lock = LockSimulation();
  const std::string high = lpDistanceToMoveHigh ? "&" + ArgDec(*lpDistanceToMoveHigh) : "NULL";
  if (auto failure = EnterCall("SetFilePointer",
                               JoinArgs({ArgHandle(hFile), ArgDec(lDistanceToMove), high, ArgDec(dwMoveMethod)}))) {
    return FailWin32(*failure, INVALID_SET_FILE_POINTER);
  }
  sim::OpenFile* file = sim::FileOfHandle(hFile);
  if (file == nullptr) return FailWin32(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);

  // With a high half the distance is a signed 64-bit value; without, the signed 32-bit one.
  const int64_t distance =
      lpDistanceToMoveHigh
          ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                 static_cast<uint32_t>(lDistanceToMove))
          : lDistanceToMove;
  int64_t base = 0;
  if (dwMoveMethod == FILE_CURRENT) {
    base = lseek(file->fd, 0, SEEK_CUR);
  } else if (dwMoveMethod == FILE_END) {
    struct stat info;
    base = fstat(file->fd, &info) == 0 ? info.st_size : 0;
  } else if (dwMoveMethod != FILE_BEGIN) {
    return FailWin32(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  const int64_t position = base + distance;
  if (position < 0) return FailWin32(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
  if (lpDistanceToMoveHigh == nullptr && position > 0xFFFFFFFF) {
    return FailWin32(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  if (lseek(file->fd, position, SEEK_SET) < 0) {
    return FailWin32(sim::Win32ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
  }
  if (lpDistanceToMoveHigh != nullptr) *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
  const DWORD low = static_cast<DWORD>(position);
  if (low == INVALID_SET_FILE_POINTER) SetLastErrorQuietly(NO_ERROR);
  return low;
}
