// Handlers of the input-method messages: they copy what the input method
// reports for the main window's input context into the input-method state and
// ask for a redraw. Every context taken is given back in the same call.
#include <windows.h>
// imm.h needs the Windows types first.
#include <imm.h>
#include <korvathd.h>

#include <cstring>
#include <new>
#include <string>

#include "core/core_state.h"
#include "input/dbcs_cut.h"
#include "input/ime_candidate_list.h"
#include "input/ime_state.h"

namespace {

const int kTextCapacity = KRINPUT_COMPSTR_SIZE - 1;  // bytes of text before the terminator
// A size beyond any real input method's is taken as a failed read, not allocated.
const DWORD kLargestRead = 1u << 20;

// The main window's input context for the length of one handler.
class ImeContext {
 public:
  ImeContext() : window_(g_krCore.hWnd), context_(ImmGetContext(window_)) {}
  ~ImeContext() {
    if (context_ != NULL) ImmReleaseContext(window_, context_);
  }
  ImeContext(const ImeContext&) = delete;
  ImeContext& operator=(const ImeContext&) = delete;
  HIMC get() const { return context_; }

 private:
  HWND window_;
  HIMC context_;
};

// An error value in place of a length counts as no bytes.
DWORD LengthOf(LONG reported) { return reported > 0 ? static_cast<DWORD>(reported) : 0; }

// The modes change only when the input method reports them.
void ReadModes(HIMC context) {
  if (context == NULL) return;
  DWORD conversion = 0, sentence = 0;
  if (ImmGetConversionStatus(context, &conversion, &sentence)) {
    g_krIme.dwConversionMode = conversion;
    g_krIme.dwSentenceMode = sentence;
  }
}

// Reads a composition-type string into the composition text and sets its
// length. One longer than the buffer is read whole and cut at a character
// boundary, so the text never ends on half a character.
void ReadCompositionText(HIMC context, DWORD index) {
  char* text = g_krInput.lpCompStr;
  DWORD kept = 0;
  DWORD wanted = context != NULL ? LengthOf(ImmGetCompositionStringA(context, index, NULL, 0)) : 0;
  if (wanted > kLargestRead) wanted = 0;
  if (wanted > 0 && wanted <= static_cast<DWORD>(kTextCapacity)) {
    kept = LengthOf(ImmGetCompositionStringA(context, index, text, wanted));
    if (kept > wanted) kept = wanted;
  } else if (wanted > 0) {
    try {
      std::string scratch(wanted, '\0');
      DWORD read = LengthOf(ImmGetCompositionStringA(context, index, &scratch[0], wanted));
      if (read > wanted) read = wanted;
      kept = static_cast<DWORD>(KRDbcsCutLength(scratch.data(), static_cast<int>(read), kTextCapacity));
      memcpy(text, scratch.data(), kept);
    } catch (const std::bad_alloc&) {
      kept = 0;
    }
  }
  text[kept] = '\0';
  g_krIme.dwCompLength = kept;
}

// One attribute byte per kept byte of the composition text, as many as IMM32 gives.
void ReadCompositionAttributes(HIMC context) {
  DWORD wanted = g_krIme.dwCompLength;
  // A zero buffer length would ask for the size instead of reading.
  if (context == NULL || wanted == 0) return;
  DWORD read = LengthOf(ImmGetCompositionStringA(context, GCS_COMPATTR, g_krInput.lpCompAttr, wanted));
  g_krIme.dwCompAttrLength = read < wanted ? read : wanted;
}

// Candidate list 0 replaces the kept one; no list or a failed read keeps the old.
void ReadCandidateList(HIMC context) {
  if (context == NULL) return;
  DWORD size = ImmGetCandidateListA(context, 0, NULL, 0);
  if (size == 0 || size > kLargestRead) return;
  try {
    std::string scratch(size, '\0');
    DWORD read = ImmGetCandidateListA(context, 0, reinterpret_cast<LPCANDIDATELIST>(&scratch[0]), size);
    if (read == 0) return;
    if (read > size) read = size;
    KRImeKeepCandidateList(reinterpret_cast<const BYTE*>(scratch.data()), read, g_krInput.lpCandList,
                           KRINPUT_CANDLIST_SIZE);
  } catch (const std::bad_alloc&) {
    // No room to read it: the old list stays, as after a failed read.
  }
}

}  // namespace

int KRInputOnImeStartComposition(unsigned int, long) {
  if (!KRImeHasBuffers()) return 0;
  g_krIme.dwCompLength = 0;
  g_krIme.dwCompAttrLength = 0;
  return 0;
}

int KRInputOnImeComposition(unsigned int, long lParam) {
  if (!KRImeHasBuffers()) return 1;
  const DWORD changes = static_cast<DWORD>(lParam);
  if (changes & GCS_RESULTSTR) {
    {
      ImeContext context;
      ReadModes(context.get());
      ReadCompositionText(context.get(), GCS_RESULTSTR);
    }
    // Announced even when nothing could be read: the application then fetches "".
    KRInputQueueChar(KRCHAR_IMESTRING);
    KRInputAppendImeString(g_krInput.lpCompStr);
  }
  // A result alone leaves no composition and no redraw; the end message draws.
  g_krIme.dwCompLength = 0;
  g_krIme.dwCompAttrLength = 0;
  if (changes & GCS_COMPSTR) {
    ImeContext context;
    ReadModes(context.get());
    ReadCompositionText(context.get(), GCS_COMPSTR);
    if (changes & GCS_COMPATTR) ReadCompositionAttributes(context.get());
    g_krIme.bRedraw = 1;
  }
  return 1;
}

int KRInputOnImeEndComposition(unsigned int, long) {
  if (!KRImeHasBuffers()) return 0;
  g_krIme.dwCompLength = 0;
  g_krIme.dwCompAttrLength = 0;
  g_krIme.bRedraw = 1;
  return 0;
}

int KRInputOnImeNotify(unsigned int wParam, long) {
  switch (wParam) {
    case IMN_CHANGECANDIDATE:
    case IMN_OPENCANDIDATE: {
      if (!KRImeHasBuffers()) return 1;
      ImeContext context;
      ReadModes(context.get());
      ReadCandidateList(context.get());
      if (wParam == IMN_OPENCANDIDATE) g_krIme.bCandidateOpen = 1;
      g_krIme.bRedraw = 1;
      return 1;
    }
    case IMN_CLOSECANDIDATE:
      // The list stays: only the flag says it is shown.
      if (!KRImeHasBuffers()) return 1;
      g_krIme.bCandidateOpen = 0;
      g_krIme.bRedraw = 1;
      return 1;
    case IMN_SETOPENSTATUS: {
      if (!KRImeHasBuffers()) return 1;
      ImeContext context;
      if (context.get() != NULL) g_krIme.bImeOpen = ImmGetOpenStatus(context.get()) ? 1 : 0;
      ReadModes(context.get());
      g_krIme.bRedraw = 1;
      return 1;
    }
    default:
      return 0;
  }
}

int KRInputOnImeSetContext(unsigned int, long) { return 0; }
int KRInputOnImeCompositionFull(unsigned int, long) { return 0; }
int KRInputOnImeControl(unsigned int, long) { return 0; }
int KRInputOnInputLangChange(unsigned int, long) { return 0; }
