// Device contexts lent out by the buffer table (internal to the 2D component).
#ifndef KR_DEVICE_CONTEXTS_H
#define KR_DEVICE_CONTEXTS_H

#include "video/buffer_table.h"

// Gives a device context that is still lent out (or that the surface refused to
// take back) to the entry's surface and clears the lock count, so the surface
// can be released or replaced safely.
void KR2DGiveBackLentDC(KR2DBUFFER* entry);

#endif
