// Looking up viewports for the frame calls, and the readiness test every call
// that reaches the Direct3D device makes first.
#ifndef KR_RENDER3D_VIEWPORTS_H
#define KR_RENDER3D_VIEWPORTS_H

#include "render3d/viewport_table.h"

// 1 while a device is started and was created: a start-up that failed after it
// set the started flag leaves no device to call.
int KR3DDeviceReady(void);

// The entry in use under `viewport` (0 the default viewport), or null for a
// handle outside the table, an empty slot or no ready device.
KR3DVIEWPORT* KR3DFindViewport(int viewport);

#endif
