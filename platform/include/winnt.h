// Base types, language identifiers and access rights of the Windows API (host build).
// Widths are those of Windows: LONG and HRESULT are 32-bit even where long is not.
#pragma once

#include <stdint.h>

#include <basetsd.h>
#include <guiddef.h>

typedef char CHAR;
typedef int16_t SHORT;
typedef int32_t LONG;
typedef char16_t WCHAR;  // UTF-16 code unit; the host's wchar_t is 32-bit
typedef void* HANDLE;
typedef HANDLE* LPHANDLE;
typedef void* PVOID;
typedef LONG* PLONG;
typedef LONG HRESULT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;

typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

// Handles of distinct types, so that a window cannot be passed for a device context.
#define DECLARE_HANDLE(name) \
  struct name##__ {          \
    int unused;              \
  };                         \
  typedef struct name##__* name

// Language identifiers: primary language in bits 0-9, sublanguage above.
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_JAPANESE 0x11
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define LANG_USER_DEFAULT (MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT))

// Access rights and sharing of files.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
