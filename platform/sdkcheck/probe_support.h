// Printing what a probe program learns about one name, one line each:
//   NAME value          an integer (signed 64-bit decimal) or a pointer constant
//   NAME ?              the name has a value, but not an integer or pointer one
//   NAME !              the headers do not declare the name
//   sizeof NAME n       the size of a record (sizeof NAME ! when not declared)
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

// What a name means when the headers do not declare it. The generated source
// declares each probed name in a namespace of fallbacks made visible by a
// using-directive: the qualified lookup ::NAME finds the headers' own NAME
// when there is one and the fallback only otherwise, so a missing name prints
// a line instead of stopping the compile.
struct Absent {};

template <typename T>
using Bare = std::remove_cv_t<std::remove_reference_t<T>>;

// Integers and enumerators, and pointer constants such as INVALID_HANDLE_VALUE.
template <typename T>
constexpr bool kIsNumber = std::is_integral_v<Bare<T>> || std::is_enum_v<Bare<T>> ||
                           std::is_null_pointer_v<Bare<T>> ||
                           (std::is_pointer_v<Bare<T>> && !std::is_function_v<std::remove_pointer_t<Bare<T>>>);

template <typename T>
long long AsInteger(const T& value) {
  if constexpr (std::is_pointer_v<T> && !std::is_function_v<std::remove_pointer_t<T>>) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(value));
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    return static_cast<long long>(value);
  } else {
    return 0;  // null pointers; nothing else is ever asked
  }
}

inline void PrintLine(const char* kind, const char* name, const char* text) {
  if (kind[0] != '\0') {
    std::fputs(kind, stdout);
    std::fputc(' ', stdout);
  }
  std::fputs(name, stdout);
  std::fputc(' ', stdout);
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
}

// printf's %lld is not dependable in every Windows C runtime; digits by hand are.
inline void Number(const char* kind, const char* name, long long value) {
  char text[24];
  char* digit = text + sizeof text;
  *--digit = '\0';
  unsigned long long magnitude =
      value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    *--digit = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--digit = '-';
  PrintLine(kind, name, digit);
}

// Called in place of Number when the value is no number: a function, a record,
// a floating value - or the fallback of a name the headers lack.
template <typename T>
void NotANumber(const char* kind, const char* name) {
  PrintLine(kind, name, std::is_same_v<Bare<T>, Absent> ? "!" : "?");
}

template <typename T>
void Size(const char* name) {
  if constexpr (std::is_same_v<T, Absent>) {
    PrintLine("sizeof", name, "!");
  } else {
    Number("sizeof", name, static_cast<long long>(sizeof(T)));
  }
}

}  // namespace kr_probe

#endif
