// The process's table of kernel handles, shared by every kind of kernel
// object (files now; events and threads as they are simulated), and
// CloseHandle, which closes any of them.
#include "sim/sim_internal.h"

namespace sim::detail {
namespace {

struct KernelHandleEntry {
  KernelObject kind = KernelObject::None;
  int index = -1;
};

constexpr int kKernelHandleCount = 256;
KernelHandleEntry g_handles[kKernelHandleCount];
int g_nextSlot = 0;  // slots are handed out round the table, so a closed handle is not soon reused

// Handle values are multiples of 4, as on Windows, and never NULL.
HANDLE HandleOfSlot(int slot) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(slot + 1) * 4); }

int SlotOfHandle(HANDLE handle) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value % 4 != 0 || value / 4 > kKernelHandleCount) return -1;
  return static_cast<int>(value / 4) - 1;
}

// Every kind of kernel object, so a handle of any kind left open is seen.
int OpenKernelHandles() {
  auto lock = LockSimulation();
  int open = 0;
  for (const KernelHandleEntry& entry : g_handles) open += entry.kind != KernelObject::None ? 1 : 0;
  return open;
}

const bool kCounted = AddLiveCounter("kernel handles", OpenKernelHandles);

}  // namespace

HANDLE NewKernelHandle(KernelObject kind, int index) {
  for (int tried = 0; tried < kKernelHandleCount; ++tried) {
    const int slot = (g_nextSlot + tried) % kKernelHandleCount;
    if (g_handles[slot].kind != KernelObject::None) continue;
    g_handles[slot] = KernelHandleEntry{kind, index};
    g_nextSlot = (slot + 1) % kKernelHandleCount;
    return HandleOfSlot(slot);
  }
  return nullptr;
}

int KernelObjectIndex(HANDLE handle, KernelObject kind) {
  const int slot = SlotOfHandle(handle);
  if (slot < 0 || g_handles[slot].kind != kind) return -1;
  return g_handles[slot].index;
}

void ResetKernelHandles() {
  for (KernelHandleEntry& entry : g_handles) entry = KernelHandleEntry{};
  g_nextSlot = 0;
}

}  // namespace sim::detail

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  using namespace sim::detail;
  auto lock = LockSimulation();
  if (auto failure = EnterCall("CloseHandle", ArgHandle(hObject))) return FailWin32(*failure, FALSE);
  // INVALID_HANDLE_VALUE is also the process's own pseudo-handle, which closes without complaint.
  if (hObject == INVALID_HANDLE_VALUE) return TRUE;
  const int slot = SlotOfHandle(hObject);
  if (slot < 0 || g_handles[slot].kind == KernelObject::None) return FailWin32(ERROR_INVALID_HANDLE, FALSE);
  KernelHandleEntry& entry = g_handles[slot];
  switch (entry.kind) {
    case KernelObject::File:
      CloseFileObject(entry.index);
      break;
    case KernelObject::Thread:
      CloseThreadObject(entry.index);
      break;
    case KernelObject::None:
      break;
  }
  entry = KernelHandleEntry{};
  return TRUE;
}
