// Arbitrary bytes as what the input method reports: a composition string, its
// attributes, a result string and candidate list 0 go through the handlers,
// then KR2DDrawIme draws them on the simulated back buffer. The kept state must
// stay within its buffers and every input context must be given back.
//
// Input: one byte of flags (conversion mode, which messages), then four fields,
// each a 16-bit little-endian length and that many bytes: composition,
// attributes, result, candidate list (a field cut short takes what is left).
#include <windows.h>
// imm.h needs the Windows types first.
#include <imm.h>
#include <korvathd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/ime_candidate_list.h"
#include "input/ime_state.h"
#include "platform/sim/control.h"

namespace {

[[noreturn]] void Fault(const char* what) {
  fprintf(stderr, "input-method fuzz: %s\n", what);
  abort();
}

void Check(bool holds, const char* what) {
  if (!holds) Fault(what);
}

HWND g_window = NULL;

void StartLibrary() {
  sim::Reset();
  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  g_window = sim::CreateTestWindow();
  info.hWnd = g_window;
  info.hInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
  Check(KRStartup(&info) == 1, "KRStartup");
  Check(KRVideoStartup(0) == 1, "KRVideoStartup");
  Check(KR2DStartup() == 1, "KR2DStartup");
  Check(KRVideoSetVideoMode(640, 480, 0) == 1, "KRVideoSetVideoMode");
  sim::SetInputForegroundWindow(g_window);
  Check(KRInputStartup() == 1, "KRInputStartup");
  KR2DSetImeTextPosition(100, 100);
}

std::string TakeField(const uint8_t** data, size_t* size) {
  if (*size < 2) return std::string();
  size_t length = static_cast<size_t>((*data)[0]) | static_cast<size_t>((*data)[1]) << 8;
  *data += 2;
  *size -= 2;
  if (length > *size) length = *size;
  std::string field(reinterpret_cast<const char*>(*data), length);
  *data += length;
  *size -= length;
  return field;
}

void CheckKeptState() {
  Check(g_krIme.dwCompLength <= KRINPUT_COMPSTR_SIZE - 1, "composition past its buffer");
  Check(g_krInput.lpCompStr[g_krIme.dwCompLength] == '\0', "composition not terminated");
  Check(g_krIme.dwCompAttrLength <= g_krIme.dwCompLength, "more attributes than composition");
  Check(strlen(g_krInput.lpImeString) <= KRINPUT_IMESTRING_SIZE - 1, "result text past its buffer");
  const CANDIDATELIST* list = reinterpret_cast<const CANDIDATELIST*>(g_krInput.lpCandList);
  for (DWORD i = 0; i < list->dwCount && i < 4096; ++i) {
    const char* candidate = KRImeCandidateAt(g_krInput.lpCandList, KRINPUT_CANDLIST_SIZE, i);
    if (candidate == NULL) continue;
    Check(candidate + strlen(candidate) < reinterpret_cast<const char*>(g_krInput.lpCandList) + KRINPUT_CANDLIST_SIZE,
          "candidate past the list");
  }
  Check(sim::LiveImeContexts() == 0, "an input context was not given back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = false;
  if (!started) {
    StartLibrary();
    started = true;
  }
  // The records of calls and drawn text would only grow from input to input.
  sim::ClearCalls();
  sim::ClearDebugOutput();
  sim::ClearTextRuns();
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  ++data;
  --size;
  const std::string composition = TakeField(&data, &size);
  const std::string attributes = TakeField(&data, &size);
  const std::string result = TakeField(&data, &size);
  const std::string candidates = TakeField(&data, &size);

  sim::SetImeModes(g_window, flags & 0x1B, 0);
  sim::SetImeOpenStatus(g_window, (flags & 0x80) == 0);
  sim::SetImeComposition(g_window, composition, attributes);
  sim::SetImeResult(g_window, result);
  sim::SetImeCandidateList(g_window, candidates);

  KRInputOnImeNotify(IMN_SETOPENSTATUS, 0);
  KRInputOnImeStartComposition(0, 0);
  long changes = GCS_COMPSTR;
  if (flags & 0x20) changes |= GCS_COMPATTR;
  if (flags & 0x40) changes |= GCS_RESULTSTR;
  KRInputOnImeComposition(0, changes);
  KRInputOnImeNotify((flags & 0x04) ? IMN_CHANGECANDIDATE : IMN_OPENCANDIDATE, 0);
  CheckKeptState();

  Check(KR2DDrawIme(KR2D_BUFFER_BACK) == 1, "drawing failed");
  Check(KR2DDrawImeReq() == 0, "the redraw request stays");
  // Candidate lines (drawn bottom-aligned from the current position) hold at
  // most 127 bytes; the composition is drawn whole and may be longer.
  for (const sim::TextRun& run : sim::TextRuns())
    if (run.textAlign == (TA_UPDATECP | TA_BOTTOM))
      Check(run.text.size() <= 127, "a candidate line past 127 bytes");

  char out[64];
  KRInputGetImeStrings(out, sizeof(out));
  Check(strlen(out) < sizeof(out), "hand-out past its buffer");
  // Keep the result text from filling for good.
  if (flags & 0x01) {
    char rest[KRINPUT_IMESTRING_SIZE];
    KRInputGetImeStrings(rest, sizeof(rest));
  }
  return 0;
}
