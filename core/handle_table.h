// Fixed handle tables: a component keeps its objects in an array whose slot 0 is
// never handed out, so handle 0 can mean failure and handles run 1..tableSize-1.
// A table may reserve more leading slots: the 2D buffer table hands out 3..32
// itself (1 and 2 are the video's surfaces), so it passes first = 3.
#ifndef KR_HANDLE_TABLE_H
#define KR_HANDLE_TABLE_H

// True when `handle` names a slot from `first` (at least 1) up to tableSize-1.
inline bool KRHandleInRange(int handle, int first, int tableSize) {
  return handle >= first && handle < tableSize;
}

inline bool KRHandleInRange(int handle, int tableSize) { return KRHandleInRange(handle, 1, tableSize); }

// The first handle from `first` upward whose slot `isFree(handle)` accepts, or 0
// when every slot is taken. Lowest first, so a released handle is the next one reused.
template <typename IsFree>
int KRHandleFindFree(int first, int tableSize, IsFree isFree) {
  for (int handle = first; handle < tableSize; ++handle) {
    if (isFree(handle)) return handle;
  }
  return 0;
}

template <typename IsFree>
int KRHandleFindFree(int tableSize, IsFree isFree) {
  return KRHandleFindFree(1, tableSize, isFree);
}

// The warnings every table writes. `component` is the log name ("KR3D",
// "KRList"), `object` what the table holds ("Texture", "Buffer").

// A bad handle given to a release, set, play or stop call; the call then does nothing.
// "<component> Warning : <action> NULL or ills <object>(<handle>).\n", e.g.
//   KRHandleWarnInvalid("KR3D", "You did release", "Texture", 5)
//   KRHandleWarnInvalid("KRSound", "Set buffer volume to", "Buffer", 70)
void KRHandleWarnInvalid(const char* component, const char* action, const char* object, int handle);

// Every slot in use: "<component> Warning : Could not create <object>(Maximumed out).\n".
void KRHandleWarnTableFull(const char* component, const char* object);

// A slot still in use at the component's clean-up, which then releases it:
// "<component> Warning : You didn't release <object>(<handle>).\n".
void KRHandleWarnNotReleased(const char* component, const char* object, int handle);

// The usual full-table failure of a create call: last-error `code`, then the
// warning above; returns 0 (no handle).
int KRHandleFailTableFull(const char* component, const char* object, unsigned long code);

#endif
