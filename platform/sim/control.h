// Test control of the simulated platform (host build only).
// Tests reset the simulation, inject failures, and read back what the
// library did: the ordered call record, debugger output, files, message boxes.
#ifndef KR_SIM_CONTROL_H
#define KR_SIM_CONTROL_H

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// Back to the state of a freshly booted machine: no calls recorded, no failures
// armed, clock at its start value, COM uninitialised, an empty file sandbox.
void Reset();

// ---- Call record ----------------------------------------------------------
// Every platform function and method appends one record: its name (as
// "CreateFileA" or "IDirectDrawSurface4::Blt") and its arguments as text.
struct CallRecord {
  std::string function;
  std::string arguments;
};
std::vector<CallRecord> Calls();
std::vector<std::string> CallNames();
int CountCalls(const std::string& function);
void ClearCalls();

// ---- Fault injection ------------------------------------------------------
// The next `times` calls of `function` whose argument text contains
// `argumentsContain` (any call when empty) fail with `code`. What "fail"
// means is the function's own: an HRESULT for COM calls, the documented
// failure value plus SetLastError(code) for Win32 calls.
void FailNext(const std::string& function, int64_t code,
              const std::string& argumentsContain = "", int times = 1);
// As FailNext, after the first `passing` matching calls have succeeded.
void FailAfter(int passing, const std::string& function, int64_t code,
               const std::string& argumentsContain = "", int times = 1);
// Number of armed failures not yet consumed.
int PendingFailures();

// ---- Debugger output (OutputDebugStringA) ---------------------------------
// Windows may change the thread's last error while it sends a debug string; the
// simulation always sets it to this code (used nowhere else), so a program that
// logs a line between a failure and its GetLastError reads this instead.
constexpr DWORD kLastErrorAfterDebugOutput = ERROR_INVALID_FUNCTION;
std::string DebugOutput();                  // everything, concatenated
std::vector<std::string> DebugMessages();   // one entry per call
void ClearDebugOutput();

// ---- Clock (GetTickCount, Sleep) ------------------------------------------
// The tick count after Reset: not 0, so code that takes 0 for "never" is caught.
constexpr uint32_t kTickCountAtBoot = 10000;
uint32_t Now();
void SetNow(uint32_t milliseconds);
void AdvanceClock(uint32_t milliseconds);
// Scripted GetTickCount: each call takes the next answer (the clock is set to
// it); when they are used up, each call first advances the clock by the step
// (0 at boot: the clock stands still), so the frames of a loop land at chosen times.
void ScriptTickCounts(std::vector<uint32_t> answers);
void SetTickStep(uint32_t milliseconds);

// ---- Message boxes (MessageBoxA) -------------------------------------------
struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;  // empty for a null caption
  bool captionWasNull;
  UINT type;
};
std::vector<MessageBoxRecord> MessageBoxes();
void SetMessageBoxAnswer(int answer);  // IDOK unless set

// ---- Files ----------------------------------------------------------------
// Windows paths map into a sandbox folder on the host: "C:\dir\f.txt" to
// <root>/c/dir/f.txt, relative names to the current directory C:\work.
std::string FileRoot();
std::string HostPath(const std::string& windowsPath);
bool FileExists(const std::string& windowsPath);
std::string ReadWholeFile(const std::string& windowsPath);
void WriteWholeFile(const std::string& windowsPath, const std::string& bytes);
void MakeDirectory(const std::string& windowsPath);
int OpenFileHandles();  // handles made by CreateFileA and not yet closed
// The next ReadFile succeeds with at most this many bytes.
void LimitNextReadFile(uint32_t maxBytes);

// ---- System directory, active window (GetSystemDirectoryA, GetActiveWindow) ----
// The system directory is "C:\\WINDOWS\\SYSTEM" after Reset; GetPrivateProfileStringA
// reads INI files from the sandbox. No window is active after Reset.
void SetSystemDirectory(const std::string& windowsPath);
void SetActiveWindowForTest(HWND window);

// ---- Local memory (LocalAlloc, LocalFree, FormatMessageA's buffers) --------
int LiveLocalBlocks();  // blocks handed out and not yet given back with LocalFree

// ---- Process heap (HeapAlloc, HeapFree) ------------------------------------
int LiveHeapBlocks();  // blocks allocated and not yet freed, across resets

// ---- COM ------------------------------------------------------------------
int ComInitializeDepth();  // successful CoInitialize calls not yet balanced
using ComFactory = std::function<HRESULT(REFIID iid, void** object)>;
void RegisterComClass(REFCLSID clsid, ComFactory factory);
int LiveComObjects();  // every simulated COM object not yet released, of any kind

// ---- Strictness: contract violations and the leak check -------------------------
// What the program did that Windows holds against it rather than tidying up,
// one readable line each: a surface released with its device context still
// lent or while locked (the context stays alive), COM uninitialised while COM
// objects live, CoUninitialize without a CoInitialize. Cleared by Reset.
std::vector<std::string> ContractViolations();
// For a test that commits a violation on purpose, once it has checked it.
void ClearContractViolations();
// Every registered count of live things (heap blocks, open files, windows,
// surfaces, device contexts, ...) with its name, as it is now.
std::vector<std::pair<std::string, int>> LiveCounts();
// Empty when no contract was violated and every count is back at `baseline`
// (LiveCounts at the start of a test); else one line per violation and one per
// count that differs, naming it.
std::string LeakReport(const std::vector<std::pair<std::string, int>>& baseline);

}  // namespace sim

// The control of each further area of the simulation.
#include "sim/d3d_control.h"
#include "sim/ddraw_control.h"
#include "sim/dinput_control.h"
#include "sim/dsound_control.h"
#include "sim/dplay_control.h"
#include "sim/gdi_control.h"
#include "sim/imm_control.h"
#include "sim/media_control.h"

#endif
