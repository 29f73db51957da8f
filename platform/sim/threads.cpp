// Threads over real host threads: CreateThread (suspended or not),
// SetThreadPriority, ResumeThread; CloseHandle forgets the handle while the
// thread may run on, as on Windows. Tests wait for the threads to end.
#include <condition_variable>
#include <map>
#include <memory>
#include <thread>

#include "sim/dplay_control.h"
#include "sim/sim_internal.h"

namespace sim {
namespace {

struct ThreadObject {
  bool suspended = false;
  int priority = THREAD_PRIORITY_NORMAL;
};

// Guards the start of suspended threads and the count of running ones; never
// held while the simulation's lock is taken, so a waiting thread blocks nobody.
std::mutex g_threadMutex;
std::condition_variable g_threadChanged;
int g_running = 0;

std::map<int, std::shared_ptr<ThreadObject>> g_threads;  // by handle slot index, under the simulation's lock
int g_nextThread = 1;
int g_lastPriority = THREAD_PRIORITY_NORMAL;

void ResetThreads() {
  g_threads.clear();
  g_lastPriority = THREAD_PRIORITY_NORMAL;
}

const bool kReset = detail::AddResetHook(ResetThreads);
const bool kCounted = detail::AddLiveCounter("running threads", RunningThreads);

std::shared_ptr<ThreadObject> FindThread(HANDLE handle) {
  const int index = detail::KernelObjectIndex(handle, detail::KernelObject::Thread);
  auto found = g_threads.find(index);
  return found == g_threads.end() ? nullptr : found->second;
}

}  // namespace

namespace detail {
void CloseThreadObject(int index) { g_threads.erase(index); }
}  // namespace detail

int RunningThreads() {
  std::lock_guard<std::mutex> guard(g_threadMutex);
  return g_running;
}

bool WaitForThreads(int milliseconds) {
  std::unique_lock<std::mutex> guard(g_threadMutex);
  return g_threadChanged.wait_for(guard, std::chrono::milliseconds(milliseconds), [] { return g_running == 0; });
}

int LastThreadPriority() {
  auto lock = detail::LockSimulation();
  return g_lastPriority;
}

}  // namespace sim

using namespace sim::detail;

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                                      LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                                      DWORD dwCreationFlags, LPDWORD lpThreadId) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CreateThread", JoinArgs({ArgHandle(lpThreadAttributes), ArgDec(dwStackSize),
                                                         ArgHandle(reinterpret_cast<void*>(lpStartAddress)),
                                                         ArgHandle(lpParameter), ArgHex(dwCreationFlags),
                                                         ArgPointer(lpThreadId)}))) {
    return FailWin32(*failure, static_cast<HANDLE>(nullptr));
  }
  // Windows 95 and 98 refuse a thread without somewhere to write its id.
  if (lpThreadId == nullptr) {
    RecordContractViolation("CreateThread without a thread-id pointer");
    return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  }
  const int index = sim::g_nextThread++;
  HANDLE handle = NewKernelHandle(KernelObject::Thread, index);
  if (handle == nullptr) return FailWin32(ERROR_NOT_ENOUGH_MEMORY, static_cast<HANDLE>(nullptr));
  auto object = std::make_shared<sim::ThreadObject>();
  object->suspended = (dwCreationFlags & CREATE_SUSPENDED) != 0;
  sim::g_threads[index] = object;
  *lpThreadId = static_cast<DWORD>(index);
  {
    std::lock_guard<std::mutex> guard(sim::g_threadMutex);
    ++sim::g_running;
  }
  std::thread([object, lpStartAddress, lpParameter] {
    {
      std::unique_lock<std::mutex> guard(sim::g_threadMutex);
      sim::g_threadChanged.wait(guard, [&] { return !object->suspended; });
    }
    lpStartAddress(lpParameter);
    std::lock_guard<std::mutex> guard(sim::g_threadMutex);
    --sim::g_running;
    sim::g_threadChanged.notify_all();
  }).detach();
  return handle;
}

extern "C" BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SetThreadPriority", JoinArgs({ArgHandle(hThread), ArgDec(nPriority)}))) {
    return FailWin32(*failure, FALSE);
  }
  auto object = sim::FindThread(hThread);
  if (object == nullptr) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  object->priority = nPriority;
  sim::g_lastPriority = nPriority;
  return TRUE;
}

// Returns the suspend count the thread had: 1 for a thread made suspended.
extern "C" DWORD WINAPI ResumeThread(HANDLE hThread) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("ResumeThread", ArgHandle(hThread))) return FailWin32(*failure, DWORD(-1));
  auto object = sim::FindThread(hThread);
  if (object == nullptr) return FailWin32(ERROR_INVALID_HANDLE, DWORD(-1));
  std::lock_guard<std::mutex> guard(sim::g_threadMutex);
  const DWORD previous = object->suspended ? 1 : 0;
  object->suspended = false;
  sim::g_threadChanged.notify_all();
  return previous;
}
