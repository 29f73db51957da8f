// Fixed handle tables: a component keeps its objects in an array whose slot 0 is
// never handed out, so handle 0 can mean failure and handles run 1..tableSize-1.
#ifndef KR_HANDLE_TABLE_H
#define KR_HANDLE_TABLE_H

// True when `handle` names a slot that a table of `tableSize` slots hands out.
inline bool KRHandleInRange(int handle, int tableSize) {
  return handle >= 1 && handle < tableSize;
}

// The first handle from 1 upward whose slot `isFree(handle)` accepts, or 0 when
// every slot is taken. Lowest first, so a released handle is the next one reused.
template <typename IsFree>
int KRHandleFindFree(int tableSize, IsFree isFree) {
  for (int handle = 1; handle < tableSize; ++handle) {
    if (isFree(handle)) return handle;
  }
  return 0;
}

#endif
