// The process heap: HeapAlloc / HeapFree, with live blocks counted so tests can
// tell that a component gave back everything it allocated.
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "sim/sim_internal.h"

namespace sim {
namespace {

// An address of our own: no real heap stands behind the handle.
HANDLE const kProcessHeap = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x00140000));

// Live blocks survive sim::Reset: the library may still hold them.
std::unordered_map<void*, size_t>& LiveBlocks() {
  static std::unordered_map<void*, size_t> blocks;
  return blocks;
}

}  // namespace

int LiveHeapBlocks() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(LiveBlocks().size());
}

namespace {
const bool kCounted = detail::AddLiveCounter("heap blocks", LiveHeapBlocks);
}  // namespace

}  // namespace sim

extern "C" HANDLE WINAPI GetProcessHeap(void) {
  sim::detail::RecordCall("GetProcessHeap", "");
  return sim::kProcessHeap;
}

extern "C" LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("HeapAlloc", JoinArgs({ArgHandle(hHeap), ArgHex(dwFlags), ArgDec(static_cast<int64_t>(dwBytes))}))) {
    return FailWin32<LPVOID>(*failure, nullptr);
  }
  if (hHeap != sim::kProcessHeap) return FailWin32<LPVOID>(ERROR_INVALID_HANDLE, nullptr);
  // Like a real heap, a request beyond what a process could have fails with NULL.
  if (dwBytes > (static_cast<SIZE_T>(1) << 40)) return FailWin32<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  void* block = (dwFlags & HEAP_ZERO_MEMORY) ? std::calloc(dwBytes ? dwBytes : 1, 1) : std::malloc(dwBytes ? dwBytes : 1);
  if (block == nullptr) return FailWin32<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  if (!(dwFlags & HEAP_ZERO_MEMORY)) FillAsFresh(block, dwBytes);
  sim::LiveBlocks()[block] = dwBytes;
  return block;
}

extern "C" BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("HeapFree", JoinArgs({ArgHandle(hHeap), ArgHex(dwFlags), ArgHandle(lpMem)}))) {
    return FailWin32(*failure, FALSE);
  }
  if (lpMem == nullptr) return TRUE;
  if (hHeap != sim::kProcessHeap || sim::LiveBlocks().erase(lpMem) == 0) return FailWin32(ERROR_INVALID_PARAMETER, FALSE);
  std::free(lpMem);
  return TRUE;
}
