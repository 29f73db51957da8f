// Drawing the input method's state on a buffer: the mode indicator in the
// bottom-right corner, the composition coloured by attribute at the chosen
// position, and a page of up to four candidates along the bottom-left edge.
#include "video/ime_draw.h"

#include <windows.h>
// imm.h needs the Windows types first.
#include <imm.h>
#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "core/int_conversion.h"
#include "input/dbcs_cut.h"
#include "input/ime_candidate_list.h"
#include "input/ime_state.h"
#include "video/font_set.h"
#include "video/text.h"
#include "video/video_state.h"

namespace {

struct ColourTriple {
  COLORREF text;
  COLORREF background;
  int backgroundMode;
};

const int kTripleInput = 0;
const int kTripleSelected = 1;
const int kTripleOther = 2;
const int kTripleLast = 3;
const int kTripleCount = 4;

// Triple 0 for input, 1 for the conversion target and the selected candidate,
// 2 for converted text and the other candidates, 3 for every higher attribute.
const ColourTriple kTriples[kTripleCount] = {
    {0x008080FF, 0x00800000, OPAQUE},
    {0x00FF80FF, 0x00800000, OPAQUE},
    {0x00FF8080, 0x00800000, OPAQUE},
    {0x0080FF80, 0x00800000, OPAQUE},
};

const UINT kIndicatorAlignment = TA_RIGHT | TA_BOTTOM;
const UINT kCandidateAlignment = TA_UPDATECP | TA_BOTTOM;
const int kCandidatesPerPage = 4;
const int kCandidateLineSize = 128;

KR2DFONTSET g_imeFonts;
POINT g_compositionPosition = {0, 0};
ColourTriple g_triples[kTripleCount];

void ApplyTriple(HDC dc, int triple) {
  SetTextColor(dc, g_triples[triple].text);
  SetBkColor(dc, g_triples[triple].background);
  SetBkMode(dc, g_triples[triple].backgroundMode);
}

int ScreenWidth() { return static_cast<int>(g_krVideo.dwWidth); }
int ScreenHeight() { return static_cast<int>(g_krVideo.dwHeight); }

// Code page 932: full/half shape, katakana/hiragana, roman/kana input.
void DrawModeIndicator(HDC dc) {
  char indicator[8];
  DWORD mode = g_krIme.dwConversionMode;
  strcpy(indicator, (mode & IME_CMODE_FULLSHAPE) ? "\x91\x53" : "\x94\xBC");
  strcat(indicator, (mode & IME_CMODE_KATAKANA) ? "\x83\x41" : "\x82\xA0");
  strcat(indicator, (mode & IME_CMODE_ROMAN) ? "\xDB\xB0\xCF" : "\xB6\xC5");
  SetTextAlign(dc, kIndicatorAlignment);
  TextOutA(dc, ScreenWidth(), ScreenHeight(), indicator, static_cast<int>(strlen(indicator)));
}

// The attribute of the byte at `at` as a triple; bytes past the attributes read use triple 0.
int TripleOfAttribute(DWORD at) {
  if (at >= g_krIme.dwCompAttrLength) return kTripleInput;
  signed char attribute = static_cast<signed char>(g_krInput.lpCompAttr[at]);
  if (attribute < 0) return kTripleInput;
  return attribute > kTripleLast ? kTripleLast : attribute;
}

void DrawComposition(HDC dc, HGDIOBJ* previous) {
  const char* text = g_krInput.lpCompStr;
  const DWORD length = g_krIme.dwCompLength;
  if (g_krIme.dwCompAttrLength == 0) {
    // Still aligned right and bottom from the indicator: the text ends at the position.
    if (g_imeFonts.bCreated) KR2DSelectSetFont(dc, g_imeFonts.hDoubleByte, previous);
    ApplyTriple(dc, kTripleInput);
    TextOutA(dc, g_compositionPosition.x, g_compositionPosition.y, text,
             static_cast<int>(strnlen(text, length)));
    return;
  }
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, g_compositionPosition.x, g_compositionPosition.y, NULL);
  DWORD at = 0;
  while (at < length && text[at] != '\0') {
    const bool doubleByte = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < length && text[at + 1] != '\0';
    const int bytes = doubleByte ? 2 : 1;
    if (g_imeFonts.bCreated)
      KR2DSelectSetFont(dc, doubleByte ? g_imeFonts.hDoubleByte : g_imeFonts.hSingleByte, previous);
    ApplyTriple(dc, TripleOfAttribute(at));
    TextOutA(dc, 0, 0, text + at, bytes);
    at += static_cast<DWORD>(bytes);
  }
}

// "n.candidate", at most 127 bytes and never ending on half a character.
int FormatCandidateLine(char* line, int number, const char* candidate) {
  int prefix = snprintf(line, kCandidateLineSize, "%d.", number);
  int room = kCandidateLineSize - 1 - prefix;
  int kept = KRDbcsCutLength(candidate, static_cast<int>(strnlen(candidate, kCandidateLineSize)), room);
  memcpy(line + prefix, candidate, static_cast<size_t>(kept));
  line[prefix + kept] = '\0';
  return prefix + kept;
}

DWORD ListField(const BYTE* list, size_t offset) {
  DWORD value;
  memcpy(&value, list + offset, sizeof(value));
  return value;
}

// The page holding the selection, from a multiple of 4; dwPageStart plays no part.
void DrawCandidatePage(HDC dc, HGDIOBJ* previous) {
  const BYTE* list = g_krInput.lpCandList;
  const DWORD count = ListField(list, offsetof(CANDIDATELIST, dwCount));
  const DWORD selection = ListField(list, offsetof(CANDIDATELIST, dwSelection));
  const DWORD first = selection - selection % kCandidatesPerPage;
  const DWORD end = count - first < static_cast<DWORD>(kCandidatesPerPage) ? count : first + kCandidatesPerPage;
  SetTextAlign(dc, kCandidateAlignment);
  MoveToEx(dc, 0, ScreenHeight(), NULL);
  if (g_imeFonts.bCreated) KR2DSelectSetFont(dc, g_imeFonts.hDoubleByte, previous);
  int number = 0;
  for (DWORD index = first; index < end && first < count; ++index) {
    ++number;  // numbered by position, also past a candidate that cannot be read
    const char* candidate = KRImeCandidateAt(list, KRINPUT_CANDLIST_SIZE, index);
    if (candidate == NULL) continue;
    char line[kCandidateLineSize];
    int length = FormatCandidateLine(line, number, candidate);
    ApplyTriple(dc, index == selection ? kTripleSelected : kTripleOther);
    TextOutA(dc, 0, 0, line, length);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, "  ", 2);
  }
}

}  // namespace

void KR2DResetImeDrawState(void) {
  // Clean-up deleted the fonts already; the handles are forgotten, not deleted.
  g_imeFonts.bCreated = 0;
  g_imeFonts.hSingleByte = NULL;
  g_imeFonts.hDoubleByte = NULL;
  memcpy(g_triples, kTriples, sizeof(g_triples));
}

void KR2DReleaseImeFonts(void) { KR2DDeleteFontSet(&g_imeFonts); }

int KR2DDrawImeReq(void) { return g_krIme.bRedraw; }

void KR2DSetImeTextPosition(int x, int y) {
  g_compositionPosition.x = x;
  g_compositionPosition.y = y;
}

void KR2DSetImeTextFont(LOGFONTA* singleByte, LOGFONTA* doubleByte) {
  if (singleByte != NULL) g_imeFonts.lfSingleByte = *singleByte;
  if (doubleByte != NULL) g_imeFonts.lfDoubleByte = *doubleByte;
  g_imeFonts.bChanged = 1;
}

void KR2DSetImeTextFontSize(float width, float height) {
  g_imeFonts.lfSingleByte.lfWidth = KRFloatToInt(static_cast<float>(g_krVideo.dwWidth) * width);
  g_imeFonts.lfSingleByte.lfHeight = KRFloatToInt(static_cast<float>(g_krVideo.dwHeight) * height);
  g_imeFonts.bChanged = 1;
}

int KR2DDrawIme(int buffer) {
  // Without input's buffers the input method counts as closed, whatever the flag says.
  if (g_krIme.bImeOpen && KRImeHasBuffers()) {
    HDC dc = KR2DGetDC(buffer);
    if (dc == NULL) return 0;
    DrawModeIndicator(dc);
    KR2DRealizeFontSet(&g_imeFonts);
    if (g_krIme.dwCompLength != 0) {
      HGDIOBJ previous = NULL;
      if (g_imeFonts.bCreated) KR2DSelectSetFont(dc, g_imeFonts.hSingleByte, &previous);
      KR2DApplyTextColours(dc);
      DrawComposition(dc, &previous);
      if (g_krIme.bCandidateOpen) DrawCandidatePage(dc, &previous);
      KR2DRestoreFont(dc, previous);
    }
    KR2DReleaseDC(dc, buffer);
  }
  g_krIme.bRedraw = 0;
  return 1;
}
