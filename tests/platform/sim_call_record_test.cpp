// The call record and fault injection that tests of the library build on.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

class SimCallRecord : public StrictSimTest {
 protected:
  static HANDLE CreateLog(const char* name) {
    return CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH, nullptr);
  }
};

TEST_F(SimCallRecord, CallsAreRecordedInOrderWithReadableArguments) {
  HANDLE log = CreateLog("C:\\work\\krdebug.txt");
  DWORD written = 0;
  WriteFile(log, "KRDebug : Startup\r\n", 19, &written, nullptr);
  FlushFileBuffers(log);
  CloseHandle(log);
  OutputDebugStringA("done\n");

  const std::vector<sim::CallRecord> calls = sim::Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].function, "CreateFileA");
  EXPECT_EQ(calls[0].arguments, "\"C:\\work\\krdebug.txt\", 0x40000000, 0x0, NULL, 2, 0x80000000, NULL");
  EXPECT_EQ(calls[1].function, "WriteFile");
  EXPECT_EQ(calls[1].arguments, "0x4, \"KRDebug : Startup\\r\\n\", 19, ptr, NULL");
  EXPECT_EQ(calls[2].arguments, "0x4");
  EXPECT_EQ(calls[3].function, "CloseHandle");
  EXPECT_EQ(calls[4].arguments, "\"done\\n\"");
  EXPECT_EQ(sim::CallNames(), (std::vector<std::string>{"CreateFileA", "WriteFile", "FlushFileBuffers",
                                                        "CloseHandle", "OutputDebugStringA"}));
}

TEST_F(SimCallRecord, WrittenDataIsRecordedByItsCountNotItsTerminator) {
  HANDLE log = CreateLog("a.txt");
  DWORD written = 0;
  WriteFile(log, "ab\0cd", 4, &written, nullptr);
  CloseHandle(log);
  EXPECT_EQ(sim::Calls()[1].arguments, "0x4, \"ab\\x00c\", 4, ptr, NULL");
}

TEST_F(SimCallRecord, CountAndClearLeaveTheSimulatedStateAlone) {
  OutputDebugStringA("a");
  OutputDebugStringA("b");
  GetTickCount();
  EXPECT_EQ(sim::CountCalls("OutputDebugStringA"), 2);
  EXPECT_EQ(sim::CountCalls("GetTickCount"), 1);
  EXPECT_EQ(sim::CountCalls("Sleep"), 0);

  sim::ClearCalls();
  EXPECT_TRUE(sim::Calls().empty());
  EXPECT_EQ(sim::DebugOutput(), "ab");
}

TEST_F(SimCallRecord, AnInjectedFailureMatchesOnlyCallsWhoseArgumentsContainTheText) {
  sim::FailNext("CreateFileA", ERROR_ACCESS_DENIED, "locked.txt");
  EXPECT_EQ(sim::PendingFailures(), 1);

  HANDLE other = CreateLog("free.txt");
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(sim::PendingFailures(), 1);

  EXPECT_EQ(CreateLog("C:\\work\\locked.txt"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_FALSE(sim::FileExists("locked.txt"));  // a failed call does none of its work
  EXPECT_EQ(sim::OpenFileHandles(), 1);
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 2);  // failed calls are recorded too

  HANDLE now = CreateLog("locked.txt");
  EXPECT_NE(now, INVALID_HANDLE_VALUE);
  CloseHandle(now);
  CloseHandle(other);
}

TEST_F(SimCallRecord, AFailureArmedForSeveralCallsFailsThatManyThenStops) {
  sim::FailNext("LocalAlloc", ERROR_NOT_ENOUGH_MEMORY, "", 2);
  EXPECT_EQ(sim::PendingFailures(), 2);
  EXPECT_EQ(LocalAlloc(LPTR, 8), nullptr);
  EXPECT_EQ(sim::PendingFailures(), 1);
  EXPECT_EQ(LocalAlloc(LPTR, 8), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HLOCAL block = LocalAlloc(LPTR, 8);
  EXPECT_NE(block, nullptr);
  LocalFree(block);
  EXPECT_EQ(sim::PendingFailures(), 0);

  // Armed to fail after one success: the first call passes, the second fails.
  sim::FailAfter(1, "LocalAlloc", ERROR_NOT_ENOUGH_MEMORY);
  block = LocalAlloc(LPTR, 8);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(sim::PendingFailures(), 1);
  EXPECT_EQ(LocalAlloc(LPTR, 8), nullptr);
  EXPECT_EQ(sim::PendingFailures(), 0);
  LocalFree(block);
}

TEST_F(SimCallRecord, FailuresArmedForOneFunctionDoNotTouchAnother) {
  sim::FailNext("WriteFile", ERROR_DISK_FULL);
  sim::FailNext("Interface::Method", E_FAIL);
  HANDLE log = CreateLog("a.txt");
  EXPECT_NE(log, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FlushFileBuffers(log));
  EXPECT_EQ(sim::PendingFailures(), 2);

  DWORD written = 5;
  EXPECT_FALSE(WriteFile(log, "abc", 3, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(sim::ReadWholeFile("a.txt"), "");
  EXPECT_EQ(sim::PendingFailures(), 1);
  CloseHandle(log);
}

TEST_F(SimCallRecord, OverlappingArmedFailuresAreConsumedInTheOrderArmed) {
  sim::FailNext("CreateFileA", ERROR_PATH_NOT_FOUND, "debug");
  sim::FailNext("CreateFileA", ERROR_SHARING_VIOLATION, "krdebug");
  EXPECT_EQ(CreateLog("krdebug.txt"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(CreateLog("krdebug.txt"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(sim::PendingFailures(), 0);
}

TEST_F(SimCallRecord, NothingIsArmedForNoRepetitions) {
  sim::FailNext("CreateFileA", ERROR_ACCESS_DENIED, "", 0);
  sim::FailNext("CreateFileA", ERROR_ACCESS_DENIED, "", -1);
  EXPECT_EQ(sim::PendingFailures(), 0);
  HANDLE log = CreateLog("a.txt");
  EXPECT_NE(log, INVALID_HANDLE_VALUE);
  CloseHandle(log);
}

TEST_F(SimCallRecord, ComFunctionsReturnTheArmedCodeAsTheirResult) {
  sim::FailNext("CoInitialize", E_OUTOFMEMORY);
  EXPECT_EQ(CoInitialize(nullptr), E_OUTOFMEMORY);
  EXPECT_EQ(sim::ComInitializeDepth(), 0);

  // The code may be armed as the unsigned HRESULT or as its negative value.
  sim::FailNext("CoInitialize", -2147467259);  // E_FAIL
  EXPECT_EQ(CoInitialize(nullptr), E_FAIL);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);

  sim::FailNext("CoCreateInstance", 0x80004002);  // E_NOINTERFACE
  void* object = reinterpret_cast<void*>(static_cast<uintptr_t>(0xDEAD));
  EXPECT_EQ(CoCreateInstance(IID_IUnknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  CoUninitialize();
}

TEST_F(SimCallRecord, FunctionsThatCannotFailLeaveArmedFailuresPending) {
  sim::FailNext("GetTickCount", ERROR_ACCESS_DENIED);
  sim::FailNext("Sleep", ERROR_ACCESS_DENIED);
  sim::FailNext("CoUninitialize", E_FAIL);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot);
  Sleep(1);
  CoUninitialize();
  EXPECT_EQ(sim::PendingFailures(), 3);
}

TEST_F(SimCallRecord, EveryFailingWin32FunctionGivesItsDocumentedFailureValue) {
  HANDLE file = CreateLog("a.txt");
  char buffer[8];
  DWORD count = 0;
  LPSTR text = nullptr;
  const DWORD code = 1234;
  for (const char* function : {"WriteFile", "ReadFile", "FlushFileBuffers", "GetFileSize", "SetFilePointer",
                               "CloseHandle", "LocalFree", "FormatMessageA", "MessageBoxA"}) {
    sim::FailNext(function, code);
  }
  EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
  EXPECT_FALSE(ReadFile(file, buffer, 1, &count, nullptr));
  EXPECT_FALSE(FlushFileBuffers(file));
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(sim::OpenFileHandles(), 1);  // the failed close kept the handle
  HLOCAL block = LocalAlloc(LMEM_FIXED, 4);
  EXPECT_EQ(LocalFree(block), block);
  EXPECT_EQ(sim::LiveLocalBlocks(), 1);
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 2, 0,
                           reinterpret_cast<LPSTR>(&text), 0, nullptr),
            0u);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), 0);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_EQ(GetLastError(), code);
  EXPECT_EQ(sim::PendingFailures(), 0);

  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(LocalFree(block), nullptr);
}

// Kept per thread: last_error_clock_dual_test.cpp.
TEST_F(SimCallRecord, LastErrorCallsAreRecorded) {
  SetLastError(ERROR_FILE_EXISTS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(sim::Calls()[0].arguments, "80");
  EXPECT_EQ(sim::CountCalls("GetLastError"), 2);
}

TEST_F(SimCallRecord, DebugOutputKeepsEachMessageAndTheirConcatenation) {
  OutputDebugStringA("KR : Startup\r\n");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("");
  OutputDebugStringA("KRError \"x\"\n");
  EXPECT_EQ(sim::DebugMessages(), (std::vector<std::string>{"KR : Startup\r\n", "", "KRError \"x\"\n"}));
  EXPECT_EQ(sim::DebugOutput(), "KR : Startup\r\nKRError \"x\"\n");
  EXPECT_EQ(sim::Calls()[1].arguments, "NULL");

  sim::ClearDebugOutput();
  EXPECT_EQ(sim::DebugOutput(), "");
  EXPECT_EQ(sim::CountCalls("OutputDebugStringA"), 4);
}

}  // namespace
