// Text on a buffer's device context with GDI: each run of the text in the font
// of its kind, one after the other from the pen position (TA_UPDATECP), and
// measuring the same way. Positions come in pixels or screen-relative (-1 to 1).
#include "video/text.h"

#include <korvathd.h>

#include <cstring>

#include "core/int_conversion.h"
#include "video/font_set.h"
#include "video/text_runs.h"
#include "video/video_state.h"

namespace {

// Both centring bits: TA_RIGHT is tested with TA_CENTER, so it centres too.
const UINT kCentringAlignment = TA_CENTER | TA_RIGHT;

KR2DFONTSET g_textFonts;
UINT g_alignment = 0;
COLORREF g_textColour = 0;
COLORREF g_backgroundColour = 0;
int g_backgroundMode = 0;
POINT g_pen = {0, 0};

HFONT FontOfRun(const KR2DTEXTRUN& run) {
  return run.bDoubleByte ? g_textFonts.hDoubleByte : g_textFonts.hSingleByte;
}

void DrawRuns(HDC dc, const char* text) {
  HGDIOBJ previous = NULL;
  KR2DSelectSetFont(dc, g_textFonts.hSingleByte, &previous);
  KR2DApplyTextColours(dc);
  KR2DTEXTRUNS runs;
  KR2DTEXTRUN run;
  KR2DBeginTextRuns(&runs, text, -1);
  while (KR2DNextTextRun(&runs, &run)) {
    KR2DSelectSetFont(dc, FontOfRun(run), &previous);
    // The coordinates are ignored: each run starts where the previous one ended.
    TextOutA(dc, 0, 0, run.lpText, run.nLength);
  }
  KR2DRestoreFont(dc, previous);
}

SIZE MeasureRuns(HDC dc, const char* text) {
  SIZE total = {0, 0};
  HGDIOBJ previous = NULL;
  KR2DSelectSetFont(dc, g_textFonts.hSingleByte, &previous);
  KR2DTEXTRUNS runs;
  KR2DTEXTRUN run;
  KR2DBeginTextRuns(&runs, text, -1);
  while (KR2DNextTextRun(&runs, &run)) {
    KR2DSelectSetFont(dc, FontOfRun(run), &previous);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, run.lpText, run.nLength, &size);
    total.cx = KRAddClamped(total.cx, size.cx);
    if (size.cy > total.cy) total.cy = size.cy;
  }
  KR2DRestoreFont(dc, previous);
  return total;
}

// Half the screen in pixels, the unit of screen-relative sizes; false when the
// screen is too small to have one (no mode set).
bool HalfScreen(int* halfWidth, int* halfHeight) {
  *halfWidth = static_cast<int>(g_krVideo.dwWidth / 2);
  *halfHeight = static_cast<int>(g_krVideo.dwHeight / 2);
  return *halfWidth > 0 && *halfHeight > 0;
}

int ScreenRelativeToPixel(float position, DWORD screenSize) {
  return KRFloatToInt(static_cast<float>(screenSize) * ((position + 1.0f) / 2.0f));
}

}  // namespace

void KR2DResetTextState(void) {
  g_alignment = 0;
  g_pen.x = 0;
  g_pen.y = 0;
  // Clean-up deleted the fonts already; the handles are forgotten, not deleted.
  g_textFonts.bCreated = 0;
  g_textFonts.hSingleByte = NULL;
  g_textFonts.hDoubleByte = NULL;
}

void KR2DReleaseTextFonts(void) { KR2DDeleteFontSet(&g_textFonts); }

void KR2DApplyTextColours(HDC dc) {
  SetTextColor(dc, g_textColour);
  SetBkColor(dc, g_backgroundColour);
  SetBkMode(dc, g_backgroundMode);
}

void KR2DSetFont(LOGFONTA* singleByte, LOGFONTA* doubleByte) {
  if (singleByte != NULL) g_textFonts.lfSingleByte = *singleByte;
  if (doubleByte != NULL) g_textFonts.lfDoubleByte = *doubleByte;
  g_textFonts.bChanged = 1;
}

void KR2DSetFontSize(float width, float height) {
  LONG fontWidth = KRFloatToInt(static_cast<float>(g_krVideo.dwWidth) * width);
  LONG fontHeight = KRFloatToInt(static_cast<float>(g_krVideo.dwHeight) * height);
  g_textFonts.lfSingleByte.lfWidth = fontWidth;
  g_textFonts.lfSingleByte.lfHeight = fontHeight;
  g_textFonts.lfDoubleByte.lfWidth = fontWidth;
  g_textFonts.lfDoubleByte.lfHeight = fontHeight;
  g_textFonts.bChanged = 1;
}

void KR2DSetTextColor(unsigned long text, unsigned long background, int backgroundMode) {
  g_textColour = static_cast<COLORREF>(text);
  g_backgroundColour = static_cast<COLORREF>(background);
  g_backgroundMode = backgroundMode;
}

void KR2DSetTextAlign(unsigned int align) { g_alignment = align; }

void KR2DGetCurrentTextPosition(int* x, int* y) {
  if (x != NULL) *x = g_pen.x;
  if (y != NULL) *y = g_pen.y;
}

int KR2DTextOut(int x, int y, const char* text, int buffer) {
  if (text == NULL) return 0;
  KR2DRealizeFontSet(&g_textFonts);

  UINT alignment = g_alignment;
  if (alignment & kCentringAlignment) {
    // Measured on the back buffer whatever the target; a failed measure leaves x.
    SIZE size = {0, 0};
    if (KR2DGetTextExtentPoint32(text, &size, KR2D_BUFFER_BACK)) x = KRAddClamped(x, -(size.cx / 2));
    alignment &= ~kCentringAlignment;
  }
  alignment |= TA_UPDATECP;

  HDC dc = KR2DGetDC(buffer);
  if (dc == NULL) return 0;
  MoveToEx(dc, x, y, NULL);
  SetTextAlign(dc, alignment);
  if (g_textFonts.bCreated) {
    DrawRuns(dc, text);
  } else {
    // No font set yet: the context's own font and colours.
    TextOutA(dc, 0, 0, text, static_cast<int>(strlen(text)));
  }
  POINT position = {x, y};
  GetCurrentPositionEx(dc, &position);
  g_pen = position;
  KR2DReleaseDC(dc, buffer);
  return 1;
}

int KR2DTextOut(float x, float y, const char* text, int buffer) {
  int halfWidth, halfHeight;
  if (!HalfScreen(&halfWidth, &halfHeight)) return 0;
  return KR2DTextOut(ScreenRelativeToPixel(x, g_krVideo.dwWidth), ScreenRelativeToPixel(y, g_krVideo.dwHeight),
                     text, buffer);
}

void KR2DTextOut(const char* text, int buffer) { KR2DTextOut(0, 0, text, buffer); }

int KR2DGetTextExtentPoint32(const char* text, SIZE* size, int buffer) {
  if (text == NULL || size == NULL) return 0;
  KR2DRealizeFontSet(&g_textFonts);
  HDC dc = KR2DGetDC(buffer);
  if (dc == NULL) return 0;
  SIZE measured = {0, 0};
  if (g_textFonts.bCreated) {
    measured = MeasureRuns(dc, text);
  } else {
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &measured);
  }
  KR2DReleaseDC(dc, buffer);
  *size = measured;
  return 1;
}

int KR2DGetTextExtentPoint32(const char* text, float* width, float* height, int buffer) {
  int halfWidth, halfHeight;
  if (!HalfScreen(&halfWidth, &halfHeight)) return 0;
  SIZE size;
  if (!KR2DGetTextExtentPoint32(text, &size, buffer)) return 0;
  if (width != NULL) *width = static_cast<float>(size.cx) / static_cast<float>(halfWidth);
  if (height != NULL) *height = static_cast<float>(size.cy) / static_cast<float>(halfHeight);
  return 1;
}
