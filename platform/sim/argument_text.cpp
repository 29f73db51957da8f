// Arguments of recorded calls as text.
#include <cinttypes>
#include <cstdio>

#include "sim/sim_internal.h"

namespace sim::detail {
namespace {

// Longer data is cut, so that a binary write does not flood the record.
constexpr size_t kMaxQuotedBytes = 4096;

std::string Quote(const char* data, size_t size) {
  std::string text = "\"";
  const size_t shown = size < kMaxQuotedBytes ? size : kMaxQuotedBytes;
  for (size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\t') {
      text += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    } else {
      text += static_cast<char>(c);  // backslashes of paths and code page 932 bytes stay as they are
    }
  }
  text += "\"";
  if (shown < size) text += "...";
  return text;
}

}  // namespace

std::string ArgString(const char* text) {
  if (text == nullptr) return "NULL";
  return Quote(text, std::char_traits<char>::length(text));
}

std::string ArgBytes(const void* data, size_t size) {
  if (data == nullptr) return "NULL";
  return Quote(static_cast<const char*>(data), size);
}

std::string ArgHex(uint64_t flags) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%" PRIX64, flags);
  return text;
}

std::string ArgDec(int64_t value) { return std::to_string(value); }

std::string ArgCode(uint64_t code) {
  if (code < 0x10000) return std::to_string(code);
  char text[24];
  std::snprintf(text, sizeof text, "0x%08" PRIX64, code);
  return text;
}

std::string ArgHandle(const void* handle) {
  if (handle == nullptr) return "NULL";
  if (handle == INVALID_HANDLE_VALUE) return "INVALID_HANDLE_VALUE";
  return ArgHex(reinterpret_cast<uintptr_t>(handle));
}

std::string ArgPointer(const void* pointer) { return pointer == nullptr ? "NULL" : "ptr"; }

std::string ArgGuid(REFGUID guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08" PRIX32 "-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

std::string JoinArgs(std::initializer_list<std::string> arguments) {
  std::string text;
  bool first = true;
  for (const std::string& argument : arguments) {
    if (!first) text += ", ";
    text += argument;
    first = false;
  }
  return text;
}

}  // namespace sim::detail
