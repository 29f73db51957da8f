// What device clean-up gives back on the application's behalf.
#ifndef KR_RENDER3D_FORGOTTEN_OBJECTS_H
#define KR_RENDER3D_FORGOTTEN_OBJECTS_H

// Every viewport, texture, material, light and model still in use (handles 1
// to 127, table by table in that order), each after its warning line.
void KR3DReleaseForgottenObjects(void);

#endif
