// LocalAlloc / LocalFree, with the live blocks counted so that tests can tell
// a system buffer was given back.
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "sim/sim_internal.h"

namespace sim {
namespace {

std::unordered_set<void*> g_liveBlocks;

}  // namespace

namespace detail {

void* AllocateLocal(size_t bytes, bool zeroed) {
  auto lock = LockSimulation();
  void* block = zeroed ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (block != nullptr) g_liveBlocks.insert(block);
  if (block != nullptr && !zeroed) FillAsFresh(block, bytes);
  return block;
}

void FillAsFresh(void* memory, size_t bytes) {
  static const uint8_t kPattern[4] = {0x0D, 0xF0, 0xAD, 0xBA};  // 0xBAADF00D, little-endian
  uint8_t* at = static_cast<uint8_t*>(memory);
  for (size_t i = 0; i < bytes; ++i) at[i] = kPattern[i % 4];
}

void ResetLocalMemory() {
  for (void* block : g_liveBlocks) std::free(block);
  g_liveBlocks.clear();
}

}  // namespace detail

int LiveLocalBlocks() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(g_liveBlocks.size());
}

namespace {
const bool kCounted = detail::AddLiveCounter("local blocks", LiveLocalBlocks);
}  // namespace

}  // namespace sim

extern "C" HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("LocalAlloc", JoinArgs({ArgHex(uFlags), ArgDec(static_cast<int64_t>(uBytes))}))) {
    return FailWin32<HLOCAL>(*failure, nullptr);
  }
  // Only fixed blocks are simulated: their handle is their address.
  if ((uFlags & ~static_cast<UINT>(LMEM_ZEROINIT)) != 0) return FailWin32<HLOCAL>(ERROR_INVALID_PARAMETER, nullptr);
  void* block = AllocateLocal(uBytes, (uFlags & LMEM_ZEROINIT) != 0);
  if (block == nullptr) return FailWin32<HLOCAL>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  return block;
}

extern "C" HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("LocalFree", ArgHandle(hMem))) return FailWin32(*failure, hMem);
  if (hMem == nullptr) return nullptr;
  if (sim::g_liveBlocks.erase(hMem) == 0) return FailWin32(ERROR_INVALID_HANDLE, hMem);
  std::free(hMem);
  return nullptr;
}
