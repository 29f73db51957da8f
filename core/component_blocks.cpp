// Allocation and release of a component's fixed blocks.
#include "core/component_blocks.h"

#include <korvathd.h>

#include <cstring>
#include <new>

bool KRAllocateComponentBlocks(const KRComponentBlock* blocks, int count) {
  try {
    for (int i = 0; i < count; ++i) {
      *blocks[i].slot = KRAllocEx(blocks[i].size, const_cast<char*>(blocks[i].tag));
      memset(*blocks[i].slot, 0, static_cast<size_t>(blocks[i].size));
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void KRFreeComponentBlocks(const KRComponentBlock* blocks, int count) {
  for (int i = 0; i < count; ++i) {
    KRFree(*blocks[i].slot);  // nothing for a block never made
    *blocks[i].slot = NULL;
  }
}

bool KRAllocateAllComponentBlocks(const KRComponentBlock* blocks, int count) {
  if (KRAllocateComponentBlocks(blocks, count)) return true;
  KRFreeComponentBlocks(blocks, count);
  return false;
}
