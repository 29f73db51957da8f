// Shared by the files of the simulated platform: the call record and fault
// injection that every simulated function goes through, the text of call
// arguments, the lock over the simulation's state, and the pieces of state
// that one area hands to another (kernel handles, local memory, the sandbox).
//
// Adding a function: take the lock, then EnterCall (or RecordCall when the
// function cannot fail), fail with the returned code if there is one, then
// do the work. COM methods use the name "Interface::Method".
#ifndef KR_SIM_INTERNAL_H
#define KR_SIM_INTERNAL_H

#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>

#include "sim/control.h"

namespace sim::detail {

// One lock over the whole simulation: besides the application's thread the
// library runs a network enumeration thread. Recursive, because COM factories
// and simulated objects call back into the simulation.
[[nodiscard]] std::unique_lock<std::recursive_mutex> LockSimulation();

// ---- Call record and fault injection ----------------------------------------
// Records the call; when an armed failure matches it, consumes one of its
// repetitions and returns its code: the function must then fail with it and
// do nothing else.
std::optional<int64_t> EnterCall(const char* function, const std::string& arguments);
// For functions that have no way to fail (GetTickCount, Sleep, ...).
void RecordCall(const char* function, const std::string& arguments);

// The last error without a record entry: the simulation's own failures.
void SetLastErrorQuietly(DWORD code);

// Win32-style failure: the last error is set and the function's failure value returned.
template <typename Result>
Result FailWin32(int64_t code, Result failureValue) {
  SetLastErrorQuietly(static_cast<DWORD>(code));
  return failureValue;
}
// COM-style failure: the armed code is the HRESULT (given as 0x80004005 or as -2147467259).
inline HRESULT AsHresult(int64_t code) { return static_cast<HRESULT>(static_cast<uint32_t>(code)); }

// ---- Argument text ------------------------------------------------------------
// Readable and stable from run to run, so tests can match parts of it.
std::string ArgString(const char* text);               // "text" (control characters escaped) or NULL
std::string ArgBytes(const void* data, size_t size);   // data written or sent, quoted like a string
std::string ArgHex(uint64_t flags);                    // flags and masks: 0x40000000
std::string ArgDec(int64_t value);                     // counts, sizes, enumerations
std::string ArgCode(uint64_t code);                    // error codes: 5, 0x80004005
std::string ArgHandle(const void* handle);             // handles and objects: NULL, 0x4, INVALID_HANDLE_VALUE
std::string ArgPointer(const void* pointer);           // out-parameters: NULL or ptr (the address is noise)
std::string ArgGuid(REFGUID guid);                     // {6C14DB80-A733-11CE-A521-0020AF0BE560}
std::string JoinArgs(std::initializer_list<std::string> arguments);

// ---- Back to boot, per area (sim::Reset runs them all) ----------------------------
void ResetCallRecord();
void ResetDebugOutput();
void ResetLastError();
void ResetLocalMemory();
void ResetClock();
void ResetMessageBoxes();
void ResetFiles();
void ResetSandbox();
void ResetKernelHandles();
void ResetCom();
// Later areas register their reset instead of being listed in sim::Reset:
//   const bool kRegistered = sim::detail::AddResetHook(ResetDirectDraw);
bool AddResetHook(void (*reset)());

// ---- Strictness (what sim::LeakReport checks) --------------------------------------
// A breach of the platform's contract that Windows would not tidy up after
// (a surface released with its device context still lent, COM uninitialised
// under live objects): recorded for sim::ContractViolations, state left as it is.
void RecordContractViolation(std::string what);
// A count of live things for sim::LiveCounts, under `name`; registered once per
// area at static initialisation, like a reset hook:
//   const bool kCounted = sim::detail::AddLiveCounter("clippers", sim::LiveClippers);
bool AddLiveCounter(const char* name, int (*count)());

// ---- Enumerations ------------------------------------------------------------------
// Whether enumerations go on after their callback asked to stop (sim::SetEnumerationIgnoresStop).
bool EnumerationIgnoresStop();

// ---- Kernel handles (shared by every kind of kernel object) ---------------------
enum class KernelObject { None, File, Thread };
// A new handle for object `index` of its area's table; NULL when all handles are in use.
HANDLE NewKernelHandle(KernelObject kind, int index);
// The object's index, or -1 unless `handle` is a live handle of that kind.
int KernelObjectIndex(HANDLE handle, KernelObject kind);
// The close operation of each kind, run by CloseHandle.
void CloseFileObject(int index);
void CloseThreadObject(int index);

// ---- Fresh memory -----------------------------------------------------------------
// What Windows' debug heap leaves in a block nobody has written yet (0xBAADF00D),
// so that a read of memory the library never set shows on every build, not only
// under a sanitizer. Heap and local blocks and new surfaces' pixels start so.
void FillAsFresh(void* memory, size_t bytes);

// ---- Local memory -----------------------------------------------------------------
// A block that LocalFree accepts, made without a record entry (FormatMessageA's buffer).
void* AllocateLocal(size_t bytes, bool zeroed);

// ---- File sandbox -------------------------------------------------------------------
struct MappedPath {
  DWORD error = ERROR_SUCCESS;  // why the name cannot be a path, else ERROR_SUCCESS
  std::string host;             // <root>/c/dir/file
  bool endsWithSeparator = false;
};
MappedPath MapWindowsPath(const char* windowsPath);
const std::string& SandboxRoot();  // made on first use

// ---- COM classes provided by the simulation itself (DirectX and the like) --------
// They survive sim::Reset; a class registered by a test takes precedence.
void RegisterBuiltinComClass(REFCLSID clsid, ComFactory factory);
// Every simulated COM object (ComObject) is counted while it lives; Reset starts
// a new generation, whose count objects made before it leave alone.
int& LiveComObjectCount();
uint32_t ComObjectGeneration();

}  // namespace sim::detail

#endif
