// Strings of the Windows API: lstrcmpA and lstrcmpiA (byte order, which is
// what callers rely on for equality), and wsprintfA with user32's rules:
// integers are 32-bit with or without "l", no floating point, at most 1024
// bytes with the zero.
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

constexpr size_t kMaxFormatted = 1024;  // with the terminating zero

// Null sorts before any string, as in Windows.
int Compare(LPCSTR a, LPCSTR b, bool ignoreCase) {
  if (a == nullptr || b == nullptr) return a == b ? 0 : (a == nullptr ? -1 : 1);
  for (;; ++a, ++b) {
    int x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (ignoreCase) {
      x = std::tolower(x);
      y = std::tolower(y);
    }
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

// One conversion: flags, width and precision go to the C library as they are;
// the size prefixes h, l and I64 are user32's.
std::string FormatWindows(const char* format, va_list arguments) {
  std::string out;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    std::string conversion = "%";
    ++p;
    while (*p != '\0' && std::strchr("-#0 +", *p)) conversion += *p++;
    while (std::isdigit(static_cast<unsigned char>(*p))) conversion += *p++;
    if (*p == '.') {
      conversion += *p++;
      while (std::isdigit(static_cast<unsigned char>(*p))) conversion += *p++;
    }
    bool isShort = false, is64 = false;
    if (*p == 'h') {
      isShort = true;
      ++p;
    } else if (*p == 'l') {
      ++p;
    } else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
      is64 = true;
      p += 3;
    }
    const char type = *p;
    if (type == '\0') break;
    char piece[kMaxFormatted + 1];  // room for one more than fits, so that a cut shows
    switch (type) {
      case 'd':
      case 'i': {
        const long long value = is64 ? va_arg(arguments, long long)
                                     : (isShort ? static_cast<short>(va_arg(arguments, int)) : va_arg(arguments, int));
        std::snprintf(piece, sizeof piece, (conversion + "lld").c_str(), value);
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        const unsigned long long value =
            is64 ? va_arg(arguments, unsigned long long)
                 : (isShort ? static_cast<unsigned short>(va_arg(arguments, unsigned))
                            : va_arg(arguments, unsigned));
        std::snprintf(piece, sizeof piece, (conversion + "ll" + type).c_str(), value);
        break;
      }
      case 'c':
        std::snprintf(piece, sizeof piece, (conversion + "c").c_str(), va_arg(arguments, int));
        break;
      case 's': {
        const char* text = va_arg(arguments, const char*);
        std::snprintf(piece, sizeof piece, (conversion + "s").c_str(), text ? text : "(null)");
        break;
      }
      default:  // "%%", and a type user32 does not know, stand for themselves
        piece[0] = type;
        piece[1] = '\0';
        break;
    }
    out += piece;
  }
  return out;
}

}  // namespace
}  // namespace sim

using namespace sim::detail;

extern "C" int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
  auto lock = LockSimulation();
  RecordCall("lstrcmpA", JoinArgs({ArgString(lpString1), ArgString(lpString2)}));
  return sim::Compare(lpString1, lpString2, false);
}

extern "C" int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
  auto lock = LockSimulation();
  RecordCall("lstrcmpiA", JoinArgs({ArgString(lpString1), ArgString(lpString2)}));
  return sim::Compare(lpString1, lpString2, true);
}

extern "C" int wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("wsprintfA", JoinArgs({ArgPointer(lpOut), ArgString(lpFmt)}))) {
    if (lpOut != nullptr) *lpOut = '\0';
    return FailWin32(*failure, 0);
  }
  if (lpOut == nullptr || lpFmt == nullptr) return FailWin32(ERROR_INVALID_PARAMETER, 0);
  va_list arguments;
  va_start(arguments, lpFmt);
  std::string text = sim::FormatWindows(lpFmt, arguments);
  va_end(arguments);
  // Cut to the buffer's 1024 bytes with the zero; a cut text answers the buffer's size.
  const bool cut = text.size() >= sim::kMaxFormatted;
  if (cut) text.resize(sim::kMaxFormatted - 1);
  std::memcpy(lpOut, text.c_str(), text.size() + 1);
  return cut ? static_cast<int>(sim::kMaxFormatted) : static_cast<int>(text.size());
}
