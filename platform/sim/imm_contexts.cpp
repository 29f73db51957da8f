// The simulated input-method manager: one input context per live window, with
// the strings, candidate list, open status and modes a test scripted for it.
// Reads copy real bytes, since the caller keeps what it reads.
#include <imm.h>

#include <cstring>
#include <map>

#include "sim/gdi_internal.h"
#include "sim/imm_control.h"
#include "sim/sim_internal.h"

namespace sim {
namespace {

const uintptr_t kFirstContextHandle = 0x7100;

struct ImeContext {
  HIMC handle = nullptr;
  std::string composition;
  std::string attributes;
  std::string result;
  std::string candidateList;
  bool open = false;
  DWORD conversion = 0;
  DWORD sentence = 0;
  int lent = 0;  // ImmGetContext calls not yet balanced by ImmReleaseContext
};

std::map<HWND, ImeContext> g_contexts;
uintptr_t g_nextHandle = kFirstContextHandle;

void ResetImm() {
  g_contexts.clear();
  g_nextHandle = kFirstContextHandle;
}
const bool kResetRegistered = detail::AddResetHook(ResetImm);
const bool kCounted = detail::AddLiveCounter("input-method contexts", LiveImeContexts);

// The window's context, made on first use; null for a null or unknown window.
ImeContext* ContextOfWindow(HWND window) {
  if (window == nullptr || detail::WindowEntryOf(window) == nullptr) return nullptr;
  ImeContext& context = g_contexts[window];
  if (context.handle == nullptr) {
    context.handle = reinterpret_cast<HIMC>(g_nextHandle);
    g_nextHandle += 4;
  }
  return &context;
}

ImeContext* ContextOfHandle(HIMC handle) {
  if (handle == nullptr) return nullptr;
  for (auto& entry : g_contexts)
    if (entry.second.handle == handle) return &entry.second;
  return nullptr;
}

ImeContext& ScriptedContext(HWND window) {
  ImeContext* context = ContextOfWindow(window);
  if (context == nullptr) {
    // A test scripting a window that does not exist is a mistake in the test.
    static ImeContext ignored;
    detail::RecordContractViolation("input-method script for a window that does not exist");
    return ignored;
  }
  return *context;
}

std::string IndexName(DWORD index) {
  switch (index) {
    case GCS_COMPSTR: return "GCS_COMPSTR";
    case GCS_COMPATTR: return "GCS_COMPATTR";
    case GCS_RESULTSTR: return "GCS_RESULTSTR";
    default: return detail::ArgHex(index);
  }
}

const std::string* StringOf(const ImeContext& context, DWORD index) {
  switch (index) {
    case GCS_COMPSTR: return &context.composition;
    case GCS_COMPATTR: return &context.attributes;
    case GCS_RESULTSTR: return &context.result;
    default: return nullptr;
  }
}

void PutDword(std::string* bytes, size_t at, DWORD value) { memcpy(&(*bytes)[at], &value, sizeof(value)); }

}  // namespace

void SetImeComposition(HWND window, const std::string& text, const std::string& attributes) {
  auto lock = detail::LockSimulation();
  ImeContext& context = ScriptedContext(window);
  context.composition = text;
  context.attributes = attributes;
}

void SetImeResult(HWND window, const std::string& text) {
  auto lock = detail::LockSimulation();
  ScriptedContext(window).result = text;
}

void SetImeCandidateList(HWND window, const std::string& bytes) {
  auto lock = detail::LockSimulation();
  ScriptedContext(window).candidateList = bytes;
}

void SetImeOpenStatus(HWND window, bool open) {
  auto lock = detail::LockSimulation();
  ScriptedContext(window).open = open;
}

void SetImeModes(HWND window, DWORD conversion, DWORD sentence) {
  auto lock = detail::LockSimulation();
  ImeContext& context = ScriptedContext(window);
  context.conversion = conversion;
  context.sentence = sentence;
}

std::string CandidateListBytes(const std::vector<std::string>& candidates, DWORD selection, DWORD pageStart,
                               DWORD pageSize) {
  const size_t header = offsetof(CANDIDATELIST, dwOffset);
  std::string bytes(header + 4 * candidates.size(), '\0');
  for (size_t i = 0; i < candidates.size(); ++i) {
    PutDword(&bytes, header + 4 * i, static_cast<DWORD>(bytes.size()));
    bytes += candidates[i];
    bytes += '\0';
  }
  PutDword(&bytes, offsetof(CANDIDATELIST, dwSize), static_cast<DWORD>(bytes.size()));
  PutDword(&bytes, offsetof(CANDIDATELIST, dwStyle), 1);  // IME_CAND_READ
  PutDword(&bytes, offsetof(CANDIDATELIST, dwCount), static_cast<DWORD>(candidates.size()));
  PutDword(&bytes, offsetof(CANDIDATELIST, dwSelection), selection);
  PutDword(&bytes, offsetof(CANDIDATELIST, dwPageStart), pageStart);
  PutDword(&bytes, offsetof(CANDIDATELIST, dwPageSize), pageSize);
  return bytes;
}

int LiveImeContexts() {
  auto lock = detail::LockSimulation();
  int lent = 0;
  for (const auto& entry : g_contexts) lent += entry.second.lent;
  return lent;
}

}  // namespace sim

using namespace sim;

extern "C" HIMC WINAPI ImmGetContext(HWND hWnd) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmGetContext", detail::ArgHandle(hWnd))) return detail::FailWin32<HIMC>(*code, nullptr);
  ImeContext* context = ContextOfWindow(hWnd);
  if (context == nullptr) return nullptr;
  ++context->lent;
  return context->handle;
}

extern "C" BOOL WINAPI ImmReleaseContext(HWND hWnd, HIMC hIMC) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmReleaseContext", detail::JoinArgs({detail::ArgHandle(hWnd), detail::ArgHandle(hIMC)})))
    return detail::FailWin32(*code, FALSE);
  ImeContext* context = ContextOfWindow(hWnd);
  if (context == nullptr || context->handle != hIMC || context->lent == 0) {
    detail::RecordContractViolation("ImmReleaseContext of a context that was not taken for that window");
    return FALSE;
  }
  --context->lent;
  return TRUE;
}

// An injected failure is the error value the call gives instead of a length.
extern "C" LONG WINAPI ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmGetCompositionStringA",
                                    detail::JoinArgs({detail::ArgHandle(hIMC), IndexName(dwIndex),
                                                      detail::ArgPointer(lpBuf), detail::ArgDec(dwBufLen)})))
    return static_cast<LONG>(*code);
  ImeContext* context = ContextOfHandle(hIMC);
  const std::string* text = context != nullptr ? StringOf(*context, dwIndex) : nullptr;
  if (text == nullptr) return IMM_ERROR_GENERAL;
  if (dwBufLen == 0) return static_cast<LONG>(text->size());
  if (lpBuf == nullptr) return IMM_ERROR_GENERAL;
  const size_t copied = text->size() < dwBufLen ? text->size() : dwBufLen;
  memcpy(lpBuf, text->data(), copied);
  return static_cast<LONG>(copied);
}

// Size 0 stands for failure, as when the buffer is too small or no list exists.
extern "C" DWORD WINAPI ImmGetCandidateListA(HIMC hIMC, DWORD dwIndex, LPCANDIDATELIST lpCandList, DWORD dwBufLen) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmGetCandidateListA",
                                    detail::JoinArgs({detail::ArgHandle(hIMC), detail::ArgDec(dwIndex),
                                                      detail::ArgPointer(lpCandList), detail::ArgDec(dwBufLen)})))
    return detail::FailWin32<DWORD>(*code, 0);
  ImeContext* context = ContextOfHandle(hIMC);
  if (context == nullptr || dwIndex != 0) return 0;
  const std::string& bytes = context->candidateList;
  if (dwBufLen == 0) return static_cast<DWORD>(bytes.size());
  if (lpCandList == nullptr || dwBufLen < bytes.size()) return 0;
  memcpy(lpCandList, bytes.data(), bytes.size());
  return static_cast<DWORD>(bytes.size());
}

extern "C" BOOL WINAPI ImmGetConversionStatus(HIMC hIMC, LPDWORD lpfdwConversion, LPDWORD lpfdwSentence) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmGetConversionStatus", detail::ArgHandle(hIMC))) return detail::FailWin32(*code, FALSE);
  ImeContext* context = ContextOfHandle(hIMC);
  if (context == nullptr) return FALSE;
  if (lpfdwConversion != nullptr) *lpfdwConversion = context->conversion;
  if (lpfdwSentence != nullptr) *lpfdwSentence = context->sentence;
  return TRUE;
}

extern "C" BOOL WINAPI ImmGetOpenStatus(HIMC hIMC) {
  auto lock = detail::LockSimulation();
  if (auto code = detail::EnterCall("ImmGetOpenStatus", detail::ArgHandle(hIMC))) return detail::FailWin32(*code, FALSE);
  ImeContext* context = ContextOfHandle(hIMC);
  return context != nullptr && context->open ? TRUE : FALSE;
}
