// Pointer-sized integers of the Windows API for the host build.
// They follow the pointer width, as on 32-bit and 64-bit Windows.
#pragma once

#include <stdint.h>

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef ULONG_PTR SIZE_T;
