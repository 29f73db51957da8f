// The input-method manager (IMM32): an application window's input context and
// what the input method reports through it (host build).
#pragma once

#include <windef.h>

DECLARE_HANDLE(HIMC);

// ImmGetCompositionStringA: which string.
#define GCS_COMPSTR 0x0008
#define GCS_COMPATTR 0x0010
#define GCS_RESULTSTR 0x0800

// Attribute bytes of the composition string.
#define ATTR_INPUT 0x00
#define ATTR_TARGET_CONVERTED 0x01
#define ATTR_CONVERTED 0x02
#define ATTR_TARGET_NOTCONVERTED 0x03
#define ATTR_INPUT_ERROR 0x04

// Conversion-mode bits.
#define IME_CMODE_NATIVE 0x0001
#define IME_CMODE_KATAKANA 0x0002
#define IME_CMODE_FULLSHAPE 0x0008
#define IME_CMODE_ROMAN 0x0010

// WM_IME_NOTIFY notifications.
#define IMN_CHANGECANDIDATE 0x0003
#define IMN_CLOSECANDIDATE 0x0004
#define IMN_OPENCANDIDATE 0x0005
#define IMN_SETCONVERSIONMODE 0x0006
#define IMN_SETSENTENCEMODE 0x0007
#define IMN_SETOPENSTATUS 0x0008

// Error values ImmGetCompositionStringA gives instead of a length.
#define IMM_ERROR_NODATA (-1)
#define IMM_ERROR_GENERAL (-2)

// A candidate list: the header, dwCount offsets, then the zero-terminated
// strings, each offset counted from the start of the record.
typedef struct tagCANDIDATELIST {
  DWORD dwSize;
  DWORD dwStyle;
  DWORD dwCount;
  DWORD dwSelection;
  DWORD dwPageStart;
  DWORD dwPageSize;
  DWORD dwOffset[1];
} CANDIDATELIST, *PCANDIDATELIST, *LPCANDIDATELIST;

#ifdef __cplusplus
extern "C" {
#endif

HIMC WINAPI ImmGetContext(HWND hWnd);
BOOL WINAPI ImmReleaseContext(HWND hWnd, HIMC hIMC);
LONG WINAPI ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen);
DWORD WINAPI ImmGetCandidateListA(HIMC hIMC, DWORD dwIndex, LPCANDIDATELIST lpCandList, DWORD dwBufLen);
BOOL WINAPI ImmGetConversionStatus(HIMC hIMC, LPDWORD lpfdwConversion, LPDWORD lpfdwSentence);
BOOL WINAPI ImmGetOpenStatus(HIMC hIMC);

#ifdef __cplusplus
}
#endif
