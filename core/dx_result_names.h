// Symbolic names of DirectX result codes, for log lines of failed calls.
#ifndef KR_DX_RESULT_NAMES_H
#define KR_DX_RESULT_NAMES_H

// Families: 0 none, 1 DirectDraw, 2 Direct3D, 3 DirectInput, 4 DirectSound,
// 5 DirectPlay, 6 DirectMusic. Never returns null.
const char* KRErrorGetDXResultName(long result, int family);

#endif
