// The splash sequences' resources: taken from the library's own module,
// copied into a tagged block, created from it, and both given back at once.
#ifndef KR_RENDER3D_SPLASH_RESOURCES_H
#define KR_RENDER3D_SPLASH_RESOURCES_H

#include <windows.h>

// The handle of the created object; 0 when the resource is missing or too
// short for what its own header says it holds.
int KRSplashLoadSound(HMODULE module, int id, const char* tag);
int KRSplashLoadModel(HMODULE module, int id, const char* tag);

#endif
