// Log lines of failed DirectX calls: the result's symbolic name, alone on its line
// ("DDERR_SURFACELOST") or behind a device prefix ("Keyboard : DIERR_NOTACQUIRED").
//
//   Query, present and draw calls only log, then return their usual result:
//     if (FAILED(result)) { KRDebugDumpDXResult(result); return 0; }
//   Start-up and create calls also record a last-error code and give 0:
//     if (FAILED(result)) return KRErrorFailDX(result, KRERR_3D | 0x101);
//     if (FAILED(result)) return KRErrorFailDX(result, KRERR_INPUT | KRERR_STARTUPFAILED, "Keyboard : %s\n");
#ifndef KR_DX_RESULT_LOG_H
#define KR_DX_RESULT_LOG_H

#include <windows.h>

// Writes the result's name through `format`, which holds exactly one "%s" and
// ends in "\n". Names are looked up with no family, as every caller does.
void KRDebugDumpDXResult(HRESULT result, const char* format = "%s\n");

// The line of KRDebugDumpDXResult, then the last-error `code`; returns 0.
int KRErrorFailDX(HRESULT result, unsigned long code, const char* format = "%s\n");

#endif
