// Handle lists: up to 32 doubly linked lists of the application's pointers.
// Each list takes all its nodes from one pool allocated at creation and recycles
// them through a free chain, so adding and removing never touches the heap.
//
// Only start-up, clean-up, creation and release report bad input. Every other
// call quietly does nothing (null or 0) for a handle that is out of range or
// free, or before start-up, rather than reading a table that is not there.
#include <korvathd.h>

#include <climits>
#include <cstring>

#include "core/handle_table.h"
#include "core/last_error.h"
#include "core/lists.h"

namespace {

const unsigned long kListCreateFailed = KRERR_LIST | 0x100;
const char kComponent[] = "KRList";
const char kObject[] = "List";

struct KRLISTNODE {
  void* data;  // the caller's pointer; null while the node is on the free chain
  KRLISTNODE* prev;
  KRLISTNODE* next;
};

struct KRLIST {
  int capacity;  // nodes in the pool; 0 marks a free record
  int count;     // elements in the list
  KRLISTNODE* nodePool;
  KRLISTNODE* head;
  KRLISTNODE* current;  // position for walking and inserting, or null
  KRLISTNODE* tail;
  KRLISTNODE* freeChain;  // nodes not in the list, chained through next
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(KRLISTNODE) == 12, "a list node is three 32-bit fields");
static_assert(sizeof(KRLIST) == 28, "a list record is seven 32-bit fields");
#endif

char kTableTag[] = "KRLI:BUFFER";
char kPoolTag[] = "KRLI:NODEARY";

int g_listStarted = 0;
KRLIST* g_lists = nullptr;  // KRLIST_MAX records while started; record 0 is never used

// The record behind a handle the caller may use, or null.
KRLIST* ListInUse(int handle) {
  if (!g_listStarted || !KRHandleInRange(handle, KRLIST_MAX)) return nullptr;
  KRLIST* list = &g_lists[handle];
  return list->capacity != 0 ? list : nullptr;
}

// Empties the list: every node cleared and chained in pool order as the free chain.
void ResetPool(KRLIST* list) {
  KRLISTNODE* pool = list->nodePool;
  memset(pool, 0, sizeof(KRLISTNODE) * static_cast<size_t>(list->capacity));
  for (int i = 0; i < list->capacity; ++i) {
    pool[i].prev = (i > 0) ? &pool[i - 1] : nullptr;
    pool[i].next = (i + 1 < list->capacity) ? &pool[i + 1] : nullptr;
  }
  list->count = 0;
  list->head = nullptr;
  list->current = nullptr;
  list->tail = nullptr;
  list->freeChain = pool;
}

void ReleaseRecord(KRLIST* list) {
  KRFree(list->nodePool);
  memset(list, 0, sizeof(*list));
}

// Takes the first node of the free chain; the caller has checked that the list is not full.
KRLISTNODE* TakeNode(KRLIST* list, void* data) {
  KRLISTNODE* node = list->freeChain;
  list->freeChain = node->next;
  if (list->freeChain) list->freeChain->prev = nullptr;
  node->data = data;
  return node;
}

void GiveNodeBack(KRLIST* list, KRLISTNODE* node) {
  node->data = nullptr;
  node->prev = nullptr;
  node->next = list->freeChain;
  if (list->freeChain) list->freeChain->prev = node;
  list->freeChain = node;
}

bool WarnIfFull(KRLIST* list, int handle) {
  if (list->count < list->capacity) return false;
  // The same text serves every add and insert.
  KRDebugDump("KRList Warning : Could not add head to List(%d). (Maximumed out).\n", handle);
  return true;
}

// Links a new element between two neighbours; a null neighbour means that end of the list.
void* LinkBetween(KRLIST* list, void* data, KRLISTNODE* prev, KRLISTNODE* next) {
  KRLISTNODE* node = TakeNode(list, data);
  node->prev = prev;
  node->next = next;
  if (prev) prev->next = node; else list->head = node;
  if (next) next->prev = node; else list->tail = node;
  ++list->count;
  return data;
}

// Unlinks an element and gives its node back. Removing the current element passes
// the position on to its next element, so a walk can go on after a removal.
void* Unlink(KRLIST* list, KRLISTNODE* node) {
  void* data = node->data;
  if (node->prev) node->prev->next = node->next; else list->head = node->next;
  if (node->next) node->next->prev = node->prev; else list->tail = node->prev;
  if (list->current == node) list->current = node->next;
  GiveNodeBack(list, node);
  --list->count;
  return data;
}

}  // namespace

int KRListIsStarted(void) { return g_listStarted; }

int KRListStartup(void) {
  if (g_listStarted) return KRErrorFail(KRERR_LIST | KRERR_ALREADYSTARTED);
  KRDebugDump("KRList : Startup\n");
  // Allocate before raising the flag: an exhausted heap throws, and must not leave
  // the component started without a table.
  g_lists = static_cast<KRLIST*>(KRAllocEx(static_cast<int>(sizeof(KRLIST) * KRLIST_MAX), kTableTag));
  memset(g_lists, 0, sizeof(KRLIST) * KRLIST_MAX);
  g_listStarted = 1;
  return 1;
}

void KRListCleanup(void) {
  if (!g_listStarted) {
    KRErrorSetLastError(KRERR_LIST | KRERR_NOTSTARTED);
    return;
  }
  KRDebugDump("KRList : Cleanup\n");
  for (int handle = 1; handle < KRLIST_MAX; ++handle) {
    if (g_lists[handle].capacity == 0) continue;
    KRHandleWarnNotReleased(kComponent, "Buffer", handle);  // "Buffer", not "List", in this line
    ReleaseRecord(&g_lists[handle]);
  }
  KRFree(g_lists);
  g_lists = nullptr;
  g_listStarted = 0;
}

int KRListCreateList(int capacity) {
  if (!g_listStarted) return KRErrorFail(KRERR_LIST | KRERR_NOTSTARTED);
  // The allocator takes the pool's size in bytes as an int.
  const int maxCapacity = INT_MAX / static_cast<int>(sizeof(KRLISTNODE));
  if (capacity < 1 || capacity > maxCapacity) return KRErrorFail(KRERR_LIST | KRERR_INVALIDVALUE);

  int handle = KRHandleFindFree(KRLIST_MAX, [](int h) { return g_lists[h].capacity == 0; });
  if (handle == 0) return KRHandleFailTableFull(kComponent, kObject, kListCreateFailed);

  // The pool first: should the heap throw, the record is still free.
  void* pool = KRAllocEx(capacity * static_cast<int>(sizeof(KRLISTNODE)), kPoolTag);
  KRLIST* list = &g_lists[handle];
  list->capacity = capacity;
  list->nodePool = static_cast<KRLISTNODE*>(pool);
  ResetPool(list);
  return handle;
}

void KRListReleaseList(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) {
    // Before start-up there is no table to release from: stay silent, like every other call.
    if (g_listStarted) KRHandleWarnInvalid(kComponent, "You released", kObject, handle);
    return;
  }
  // The data pointers are the caller's; only the pool is ours.
  ReleaseRecord(list);
}

void KRListAddHead(int handle, void* data) {
  KRLIST* list = ListInUse(handle);
  if (!list || WarnIfFull(list, handle)) return;
  LinkBetween(list, data, nullptr, list->head);
}

void KRListAddTail(int handle, void* data) {
  KRLIST* list = ListInUse(handle);
  if (!list || WarnIfFull(list, handle)) return;
  LinkBetween(list, data, list->tail, nullptr);
}

void* KRListRemoveHead(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) return nullptr;
  if (list->count == 0) {
    KRDebugDump("KRList Warning : You removed head node from empty List(%d).\n", handle);
    return nullptr;
  }
  return Unlink(list, list->head);
}

void* KRListRemoveTail(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) return nullptr;
  if (list->count == 0) {
    KRDebugDump("KRList Warning : You removed tail node from empty List(%d).\n", handle);
    return nullptr;
  }
  return Unlink(list, list->tail);
}

void* KRListGetHead(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) return nullptr;
  if (list->count == 0) {
    KRDebugDump("KRList Warning : You got head node from empty List(%d).\n", handle);
    return nullptr;
  }
  return list->head->data;
}

void* KRListGetTail(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) return nullptr;
  if (list->count == 0) {
    KRDebugDump("KRList Warning : You got tail node from empty List(%d).\n", handle);
    return nullptr;
  }
  return list->tail->data;
}

void KRListRemoveAll(int handle) {
  KRLIST* list = ListInUse(handle);
  if (list) ResetPool(list);
}

void KRListSetCurrentPosition(int handle, int position) {
  KRLIST* list = ListInUse(handle);
  if (!list) return;
  if (position == 0) list->current = list->head;
  if (position == -1) list->current = list->tail;
}

void* KRListGetNext(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list || !list->current) return nullptr;
  void* data = list->current->data;
  list->current = list->current->next;
  return data;
}

void* KRListGetPrev(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list || !list->current) return nullptr;
  void* data = list->current->data;
  list->current = list->current->prev;
  return data;
}

void* KRListGetCurrentElement(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list || !list->current) return nullptr;
  return list->current->data;
}

void* KRListRemoveCurrentElement(int handle) {
  KRLIST* list = ListInUse(handle);
  if (!list) return nullptr;
  if (list->count == 0) {
    KRDebugDump("KRList Warning : You removed current node from empty List(%d).\n", handle);
    return nullptr;
  }
  if (!list->current) return nullptr;
  return Unlink(list, list->current);
}

void* KRListInsertBefore(int handle, void* data) {
  KRLIST* list = ListInUse(handle);
  if (!list || WarnIfFull(list, handle) || !list->current) return nullptr;
  return LinkBetween(list, data, list->current->prev, list->current);
}

void* KRListInsertAfter(int handle, void* data) {
  KRLIST* list = ListInUse(handle);
  if (!list || WarnIfFull(list, handle) || !list->current) return nullptr;
  return LinkBetween(list, data, list->current, list->current->next);
}

void KRListFind(int handle, void* data) {
  KRLIST* list = ListInUse(handle);
  if (!list) return;
  KRLISTNODE* node = list->head;
  while (node && node->data != data) node = node->next;
  list->current = node;
}

void KRListFindIndex(int handle, int index) {
  KRLIST* list = ListInUse(handle);
  if (!list) return;
  if (index < 0 || index >= list->count) {
    list->current = nullptr;
    return;
  }
  KRLISTNODE* node = list->head;
  for (int step = 0; step < index; ++step) node = node->next;
  list->current = node;
}

int KRListGetCount(int handle) {
  KRLIST* list = ListInUse(handle);
  return list ? list->count : 0;
}

int KRListIsEmpty(int handle) {
  KRLIST* list = ListInUse(handle);
  return (!list || list->count == 0) ? 1 : 0;
}
