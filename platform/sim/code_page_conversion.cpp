// MultiByteToWideChar and WideCharToMultiByte between UTF-16 and the ANSI
// code page (932 or a single-byte page) or UTF-8, converted for real by the
// host's iconv. What a page cannot express becomes '?' (U+30FB, the
// Japanese middle dot, coming the other way from code page 932), as Windows does.
#include <iconv.h>

#include <cstring>
#include <string>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

std::string IconvName(UINT codePage) {
  if (codePage == CP_UTF8) return "UTF-8";
  // The OEM code page goes with the ANSI one: 932 on Japanese systems, else the US 437.
  if (codePage == CP_OEMCP) return detail::AnsiCodePage() == 932 ? "CP932" : "CP437";
  return "CP" + std::to_string(codePage == CP_ACP ? detail::AnsiCodePage() : static_cast<int>(codePage));
}

// Converts unit by unit where iconv stops, so one bad character costs only itself.
// False when the code page is unknown.
bool Convert(const std::string& from, const std::string& to, const char* bytes, size_t size, size_t unit,
             const std::string& replacement, std::string* out, bool* replaced) {
  iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = size;
  std::string buffer(size * 4 + 16, '\0');
  while (inLeft > 0) {
    char* at = &buffer[0];
    size_t outLeft = buffer.size();
    const size_t result = iconv(converter, &in, &inLeft, &at, &outLeft);
    out->append(buffer.data(), buffer.size() - outLeft);
    if (result != static_cast<size_t>(-1)) break;
    // A character the target cannot express, or bytes that are no character.
    const size_t skip = inLeft < unit ? inLeft : unit;
    in += skip;
    inLeft -= skip;
    out->append(replacement);
    *replaced = true;
  }
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  iconv_close(converter);
  return true;
}

}  // namespace

namespace detail {

std::string WideToAnsi(const WCHAR* text) {
  std::string bytes;
  if (text == nullptr) return bytes;
  size_t units = 0;
  while (text[units] != 0) ++units;
  bool replaced = false;
  Convert("UTF-16LE", IconvName(CP_ACP), reinterpret_cast<const char*>(text), units * 2, 2, "?", &bytes, &replaced);
  return bytes;
}

}  // namespace detail
}  // namespace sim

using namespace sim::detail;

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                          LPWSTR lpWideCharStr, int cchWideChar) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("MultiByteToWideChar",
                               JoinArgs({ArgDec(CodePage), ArgHex(dwFlags),
                                         cbMultiByte < 0 ? ArgString(lpMultiByteStr)
                                                         : ArgBytes(lpMultiByteStr, static_cast<size_t>(cbMultiByte)),
                                         ArgDec(cbMultiByte), ArgPointer(lpWideCharStr), ArgDec(cchWideChar)}))) {
    return FailWin32(*failure, 0);
  }
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
      (lpWideCharStr == nullptr && cchWideChar != 0)) {
    return FailWin32(ERROR_INVALID_PARAMETER, 0);
  }
  // -1: up to and including the terminating zero.
  const size_t size = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  std::string wide;
  bool replaced = false;
  const UINT page = CodePage == CP_ACP ? static_cast<UINT>(AnsiCodePage()) : CodePage;
  const std::string replacement = page == 932 ? std::string("\xFB\x30", 2) : std::string("?\0", 2);
  if (!sim::Convert(sim::IconvName(CodePage), "UTF-16LE", lpMultiByteStr, size, 1, replacement, &wide, &replaced)) {
    return FailWin32(ERROR_INVALID_PARAMETER, 0);
  }
  if (replaced && (dwFlags & MB_ERR_INVALID_CHARS)) return FailWin32(ERROR_NO_UNICODE_TRANSLATION, 0);
  const int units = static_cast<int>(wide.size() / 2);
  if (cchWideChar == 0) return units;
  if (units > cchWideChar) return FailWin32(ERROR_INSUFFICIENT_BUFFER, 0);
  std::memcpy(lpWideCharStr, wide.data(), wide.size());
  return units;
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                          LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                          LPBOOL lpUsedDefaultChar) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("WideCharToMultiByte",
                               JoinArgs({ArgDec(CodePage), ArgHex(dwFlags), ArgPointer(lpWideCharStr),
                                         ArgDec(cchWideChar), ArgPointer(lpMultiByteStr), ArgDec(cbMultiByte),
                                         ArgString(lpDefaultChar), ArgPointer(lpUsedDefaultChar)}))) {
    return FailWin32(*failure, 0);
  }
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
      (lpMultiByteStr == nullptr && cbMultiByte != 0)) {
    return FailWin32(ERROR_INVALID_PARAMETER, 0);
  }
  size_t units = 0;
  if (cchWideChar < 0) {
    while (lpWideCharStr[units] != 0) ++units;
    ++units;
  } else {
    units = static_cast<size_t>(cchWideChar);
  }
  std::string bytes;
  bool replaced = false;
  const std::string replacement = lpDefaultChar != nullptr ? std::string(lpDefaultChar) : "?";
  if (!sim::Convert("UTF-16LE", sim::IconvName(CodePage), reinterpret_cast<const char*>(lpWideCharStr),
                    units * 2, 2, replacement, &bytes, &replaced)) {
    return FailWin32(ERROR_INVALID_PARAMETER, 0);
  }
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = replaced ? TRUE : FALSE;
  const int size = static_cast<int>(bytes.size());
  if (cbMultiByte == 0) return size;
  if (size > cbMultiByte) return FailWin32(ERROR_INSUFFICIENT_BUFFER, 0);
  std::memcpy(lpMultiByteStr, bytes.data(), bytes.size());
  return size;
}
