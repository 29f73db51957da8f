// Splitting a text into runs for its two fonts: single-byte runs of plain bytes
// and double-byte runs of double-byte characters and single-byte katakana,
// after the C run-time's multibyte table of the process's code page.
#ifndef KR_TEXT_RUNS_H
#define KR_TEXT_RUNS_H

typedef struct KR2DTEXTRUN {
  const char* lpText;  // first byte of the run
  int nLength;         // bytes in the run, at least 1
  int bDoubleByte;     // 1: draw in the double-byte font
} KR2DTEXTRUN;

// Where the splitting stands: the bytes not yet taken and the kind of the next run.
typedef struct KR2DTEXTRUNS {
  const char* lpNext;
  int nRemaining;
  int bDoubleByte;
} KR2DTEXTRUNS;

// Starts splitting the first `length` bytes of `text`; the text also ends at a
// zero byte before that. A negative length means up to the terminating zero.
void KR2DBeginTextRuns(KR2DTEXTRUNS* runs, const char* text, int length);

// Takes the next run into `run`; 0 when the text is used up.
int KR2DNextTextRun(KR2DTEXTRUNS* runs, KR2DTEXTRUN* run);

#endif
