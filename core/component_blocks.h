// The fixed blocks a component allocates at start-up and frees at clean-up:
// where each block's pointer lives, its size in bytes and its allocation tag.
#ifndef KR_CORE_COMPONENT_BLOCKS_H
#define KR_CORE_COMPONENT_BLOCKS_H

struct KRComponentBlock {
  void** slot;
  int size;
  const char* tag;
};

// Allocates each block zeroed, in order. False when the heap runs out; the
// blocks made before stay allocated (free them with KRFreeComponentBlocks).
bool KRAllocateComponentBlocks(const KRComponentBlock* blocks, int count);

// Frees each block that is there and sets its pointer to null.
void KRFreeComponentBlocks(const KRComponentBlock* blocks, int count);

// All blocks or none: what was made before the heap ran out is freed again.
bool KRAllocateAllComponentBlocks(const KRComponentBlock* blocks, int count);

template <int N>
bool KRAllocateComponentBlocks(const KRComponentBlock (&blocks)[N]) {
  return KRAllocateComponentBlocks(blocks, N);
}

template <int N>
void KRFreeComponentBlocks(const KRComponentBlock (&blocks)[N]) {
  KRFreeComponentBlocks(blocks, N);
}

template <int N>
bool KRAllocateAllComponentBlocks(const KRComponentBlock (&blocks)[N]) {
  return KRAllocateAllComponentBlocks(blocks, N);
}

#endif
