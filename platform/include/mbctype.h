// The C run-time's multibyte character table (host build): which bytes of the
// process's multibyte code page lead a double-byte character, may trail one,
// or are single-byte katakana. Served by the simulation in platform/sim.
#pragma once

// Bits of _mbctype[byte + 1].
#define _MS 0x01  // single-byte character of the multibyte code page (alphanumeric katakana)
#define _MP 0x02  // single-byte punctuation of the multibyte code page
#define _M1 0x04  // lead byte
#define _M2 0x08  // trail byte

#define _KANJI_CP 932

// Special arguments of _setmbcp.
#define _MB_CP_SBCS 0
#define _MB_CP_OEM -2
#define _MB_CP_ANSI -3
#define _MB_CP_LOCALE -4

extern "C" {

extern unsigned char _mbctype[257];

// The new code page's table, or -1 (errno EINVAL) for a code page the table cannot hold.
int _setmbcp(int _CodePage);
int _getmbcp(void);
int _ismbblead(unsigned int _C);
int _ismbbtrail(unsigned int _C);
int _ismbbkana(unsigned int _C);

}  // extern "C"
