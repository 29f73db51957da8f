// Printing what a probe program learns about one name, one line each:
//   NAME value          an integer (signed 64-bit decimal) or a pointer constant
//   NAME ?              the name has a value, but not an integer or pointer one
//   sizeof NAME n       the size of a record
//   result NAME value   a DirectX result code as the SDK defines it
//   result NAME -       a result name the SDK headers do not define
// The same source is built against our headers and against the SDK, so the
// two outputs can be compared line for line.
#ifndef KR_SDKCHECK_PROBE_SUPPORT_H
#define KR_SDKCHECK_PROBE_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

namespace kr_probe {

// printf's %lld is not dependable in every Windows C runtime; digits by hand are.
inline void PrintLine(const char* prefix, const char* name, const char* text) {
  if (prefix[0] != '\0') {
    std::fputs(prefix, stdout);
    std::fputc(' ', stdout);
  }
  std::fputs(name, stdout);
  std::fputc(' ', stdout);
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
}

inline void PrintNumber(const char* prefix, const char* name, long long value) {
  char text[24];
  char* end = text + sizeof text;
  char* digit = end;
  *--digit = '\0';
  unsigned long long magnitude =
      value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    *--digit = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--digit = '-';
  PrintLine(prefix, name, digit);
}

// Integers and enumerators as their value; pointer constants (INVALID_HANDLE_VALUE)
// as the integer they were made from. Anything else (a function, a record, a
// floating value) has no number to compare. The type comes as decltype((NAME))
// and the value through `read`, which is called only for numbers: a name that
// stands for a function is then never referenced, and needs no definition to link.
template <typename T, typename Read>
void PrintValue(const char* prefix, const char* name, Read read) {
  using V = std::remove_cv_t<std::remove_reference_t<T>>;
  if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
    PrintNumber(prefix, name, static_cast<long long>(read()));
  } else if constexpr (std::is_null_pointer_v<V>) {
    PrintNumber(prefix, name, 0);
  } else if constexpr (std::is_pointer_v<V> && !std::is_function_v<std::remove_pointer_t<V>>) {
    PrintNumber(prefix, name, static_cast<long long>(reinterpret_cast<std::intptr_t>(read())));
  } else {
    PrintLine(prefix, name, "?");
  }
}

template <typename T, typename Read>
void Value(const char* name, Read read) {
  PrintValue<T>("", name, read);
}

inline void Size(const char* name, std::size_t size) {
  PrintNumber("sizeof", name, static_cast<long long>(size));
}

template <typename T, typename Read>
void Result(const char* name, Read read) {
  PrintValue<T>("result", name, read);
}

inline void ResultAbsent(const char* name) {
  PrintLine("result", name, "-");
}

}  // namespace kr_probe

#endif
