// The code pages of the process: the system's ANSI code page (IsDBCSLeadByte)
// and the C run-time's multibyte table (_setmbcp, _ismbblead, _mbctype),
// which starts as the ANSI page. Code page 932 is the one double-byte page:
// lead bytes 0x81-0x9F and 0xE0-0xFC, trail bytes 0x40-0x7E and 0x80-0xFC,
// single-byte katakana 0xA1-0xDF; the single-byte pages have no lead bytes.
#include <mbctype.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "sim/gdi_internal.h"

unsigned char _mbctype[257];

namespace sim {
namespace {

constexpr int kBootCodePage = 932;
const int kSingleByteCodePages[] = {437, 850, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

int g_ansiCodePage = kBootCodePage;
int g_multibyteCodePage = kBootCodePage;

bool IsJapaneseLeadByte(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsKnownCodePage(int codePage) {
  if (codePage == 932) return true;
  for (int page : kSingleByteCodePages) {
    if (page == codePage) return true;
  }
  return false;
}

// The table is indexed by byte + 1, so that EOF (-1) reads entry 0.
void FillTable(int codePage) {
  std::memset(_mbctype, 0, sizeof _mbctype);
  if (codePage != 932) return;
  for (unsigned c = 0; c < 256; ++c) {
    unsigned char bits = 0;
    if (IsJapaneseLeadByte(c)) bits |= _M1;
    if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC)) bits |= _M2;
    // Half-width katakana: the punctuation first (0xA1-0xA5), then the letters.
    if (c >= 0xA1 && c <= 0xA5) bits |= _MP;
    if (c >= 0xA6 && c <= 0xDF) bits |= _MS;
    _mbctype[c + 1] = bits;
  }
}

// OEM: the console's page, 932 on a Japanese system and 437 elsewhere.
int CodePageOfArgument(int argument) {
  switch (argument) {
    case _MB_CP_ANSI:
    case _MB_CP_LOCALE: return g_ansiCodePage;
    case _MB_CP_OEM: return g_ansiCodePage == 932 ? 932 : 437;
    default: return argument;
  }
}

void ResetCodePages() {
  g_ansiCodePage = g_multibyteCodePage = kBootCodePage;
  FillTable(kBootCodePage);
}

const bool kTableFilled = (FillTable(kBootCodePage), true);
const bool kResetRegistered = detail::AddResetHook(ResetCodePages);

}  // namespace

namespace detail {

bool IsMultibyteLeadByte(unsigned char byte) { return (_mbctype[byte + 1] & _M1) != 0; }

int AnsiCodePage() { return g_ansiCodePage; }

bool IsAnsiLeadByte(unsigned char byte) { return g_ansiCodePage == 932 && IsJapaneseLeadByte(byte); }

}  // namespace detail

void SetAnsiCodePage(int codePage) {
  auto lock = detail::LockSimulation();
  if (!IsKnownCodePage(codePage)) throw std::invalid_argument("unknown code page " + std::to_string(codePage));
  g_ansiCodePage = g_multibyteCodePage = codePage;
  FillTable(codePage);
}

}  // namespace sim

using namespace sim::detail;

// 0 (_MB_CP_SBCS) leaves the table without multibyte characters; an unknown
// code page changes nothing. Armed failures are errno values.
extern "C" int _setmbcp(int _CodePage) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("_setmbcp", ArgDec(_CodePage))) {
    errno = static_cast<int>(*failure);
    return -1;
  }
  const int codePage = sim::CodePageOfArgument(_CodePage);
  if (codePage != _MB_CP_SBCS && !sim::IsKnownCodePage(codePage)) {
    errno = EINVAL;
    return -1;
  }
  sim::g_multibyteCodePage = codePage;
  sim::FillTable(codePage);
  return 0;
}

extern "C" int _getmbcp(void) {
  auto lock = LockSimulation();
  RecordCall("_getmbcp", "");
  return sim::g_multibyteCodePage;
}

// The run-time answers with the table's bit, not with 1.
extern "C" int _ismbblead(unsigned int _C) {
  auto lock = LockSimulation();
  RecordCall("_ismbblead", ArgHex(_C));
  return _mbctype[(_C & 0xFF) + 1] & _M1;
}

extern "C" int _ismbbtrail(unsigned int _C) {
  auto lock = LockSimulation();
  RecordCall("_ismbbtrail", ArgHex(_C));
  return _mbctype[(_C & 0xFF) + 1] & _M2;
}

extern "C" int _ismbbkana(unsigned int _C) {
  auto lock = LockSimulation();
  RecordCall("_ismbbkana", ArgHex(_C));
  if (sim::g_multibyteCodePage != 932) return 0;
  return _mbctype[(_C & 0xFF) + 1] & (_MS | _MP);
}

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) {
  auto lock = LockSimulation();
  RecordCall("IsDBCSLeadByte", ArgHex(TestChar));
  return IsAnsiLeadByte(TestChar) ? TRUE : FALSE;
}
