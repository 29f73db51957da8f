// Test control of the simulated input-method manager (host build only): one
// input context per window, holding what the input method would report
// through it. Reads fail by injection: FailNext("ImmGetCompositionStringA",
// IMM_ERROR_GENERAL, "GCS_RESULTSTR") makes that read give the error value.
#ifndef KR_SIM_IMM_CONTROL_H
#define KR_SIM_IMM_CONTROL_H

#include <imm.h>
#include <windows.h>

#include <string>
#include <vector>

namespace sim {

// The context of an existing window is made at the first of these or at the
// first ImmGetContext; null and unknown windows have none.
void SetImeComposition(HWND window, const std::string& text, const std::string& attributes);
void SetImeResult(HWND window, const std::string& text);
// The bytes ImmGetCandidateListA gives for list 0; empty: no list (size 0).
void SetImeCandidateList(HWND window, const std::string& bytes);
void SetImeOpenStatus(HWND window, bool open);
void SetImeModes(HWND window, DWORD conversion, DWORD sentence);

// A well-formed CANDIDATELIST record: header, offsets, strings.
std::string CandidateListBytes(const std::vector<std::string>& candidates, DWORD selection, DWORD pageStart = 0,
                               DWORD pageSize = 9);

// Contexts taken with ImmGetContext and not given back with ImmReleaseContext.
int LiveImeContexts();

}  // namespace sim

#endif
