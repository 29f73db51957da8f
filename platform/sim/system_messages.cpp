// FormatMessageA from the system's message table, in English, worded and
// ended with CR LF as Windows words them.
#include <cstring>

#include "sim/sim_internal.h"

namespace {

struct SystemMessage {
  DWORD id;
  const char* text;
};

// Win32 error codes and the HRESULTs of COM that the simulation reports.
constexpr SystemMessage kSystemMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
    {ERROR_INVALID_FUNCTION, "Incorrect function.\r\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file.\r\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command.\r\n"},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation.\r\n"},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process.\r\n"},
    {ERROR_FILE_EXISTS, "The file exists.\r\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
    {ERROR_DISK_FULL, "There is not enough space on the disk.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small.\r\n"},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {ERROR_NEGATIVE_SEEK, "An attempt was made to move the file pointer before the beginning of the file.\r\n"},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists.\r\n"},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long.\r\n"},
    {ERROR_NOACCESS, "Invalid access to memory location.\r\n"},
    {ERROR_INVALID_USER_BUFFER, "The supplied user buffer is not valid for the requested operation.\r\n"},
    {ERROR_RESOURCE_LANG_NOT_FOUND, "The specified resource language ID cannot be found in the image file.\r\n"},
    {static_cast<DWORD>(E_NOTIMPL), "Not implemented\r\n"},
    {static_cast<DWORD>(E_NOINTERFACE), "No such interface supported\r\n"},
    {static_cast<DWORD>(E_POINTER), "Invalid pointer\r\n"},
    {static_cast<DWORD>(E_ABORT), "Operation aborted\r\n"},
    {static_cast<DWORD>(E_FAIL), "Unspecified error\r\n"},
    {static_cast<DWORD>(E_UNEXPECTED), "Catastrophic failure\r\n"},
    {static_cast<DWORD>(CLASS_E_NOAGGREGATION), "Class does not support aggregation (or class object is remote)\r\n"},
    {static_cast<DWORD>(REGDB_E_CLASSNOTREG), "Class not registered\r\n"},
    {static_cast<DWORD>(CO_E_NOTINITIALIZED), "CoInitialize has not been called.\r\n"},
};

const char* SystemMessageText(DWORD id) {
  // An HRESULT made from a Win32 code reads as that code.
  const DWORD win32Facility = static_cast<DWORD>(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, 0));
  if ((id & 0xFFFF0000u) == win32Facility) id &= 0xFFFFu;
  for (const SystemMessage& message : kSystemMessages) {
    if (message.id == id) return message.text;
  }
  return nullptr;
}

// The table is English: neutral and English requests are served, others are not there.
bool IsServedLanguage(DWORD languageId) {
  const DWORD primary = PRIMARYLANGID(languageId);
  return primary == LANG_NEUTRAL || primary == LANG_ENGLISH;
}

}  // namespace

extern "C" DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                                       LPSTR lpBuffer, DWORD nSize, va_list* Arguments) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("FormatMessageA",
                               JoinArgs({ArgHex(dwFlags), ArgHandle(lpSource), ArgCode(dwMessageId),
                                         ArgHex(dwLanguageId), ArgPointer(lpBuffer), ArgDec(nSize),
                                         ArgPointer(Arguments)}))) {
    return FailWin32<DWORD>(*failure, 0);
  }
  // Only the system's table is simulated; its texts have no inserts to fill.
  const DWORD served = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || (dwFlags & ~served) != 0 || lpBuffer == nullptr) {
    return FailWin32<DWORD>(ERROR_INVALID_PARAMETER, 0);
  }
  if (!IsServedLanguage(dwLanguageId)) return FailWin32<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND, 0);
  const char* text = SystemMessageText(dwMessageId);
  if (text == nullptr) return FailWin32<DWORD>(ERROR_MR_MID_NOT_FOUND, 0);

  const size_t length = std::strlen(text);
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    // lpBuffer is really where to store the address of the new block; nSize its least size.
    const size_t bytes = length + 1 > nSize ? length + 1 : nSize;
    char* block = static_cast<char*>(AllocateLocal(bytes, false));
    if (block == nullptr) return FailWin32<DWORD>(ERROR_NOT_ENOUGH_MEMORY, 0);
    std::memcpy(block, text, length + 1);
    *reinterpret_cast<LPSTR*>(lpBuffer) = block;
  } else {
    if (length + 1 > nSize) return FailWin32<DWORD>(ERROR_INSUFFICIENT_BUFFER, 0);
    std::memcpy(lpBuffer, text, length + 1);
  }
  return static_cast<DWORD>(length);
}
