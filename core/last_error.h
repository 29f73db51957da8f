// Recording failures in the last-error slot (internal to the library).
#ifndef KR_LAST_ERROR_H
#define KR_LAST_ERROR_H

// Stores code and text ("<component> : <message>") and reports the text to the debugger.
void KRErrorSetLastError(unsigned long code);

// The message of a code as the text shows it, in code page 932 (never null).
const char* KRErrorGetMessage(unsigned long code);

// The name that the text shows for a code's component ("KRVideo", "Korvath", ...).
const char* KRErrorGetComponentName(unsigned long code);

// Log-and-fail: set the code and give the failure result 0, as start-up and create calls do.
inline int KRErrorFail(unsigned long code) {
  KRErrorSetLastError(code);
  return 0;
}

#endif
