// Cutting text of the process's code page without splitting a double-byte character.
#ifndef KR_DBCS_CUT_H
#define KR_DBCS_CUT_H

// The longest prefix of the first `length` bytes of `text` that holds at most
// `limit` bytes and ends on a character boundary. A lead byte whose trail byte
// lies past `length` counts as a character of its own.
int KRDbcsCutLength(const char* text, int length, int limit);

#endif
