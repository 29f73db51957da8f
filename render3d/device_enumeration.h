// The 3D device table's record and the enumerations the device start-up runs.
#ifndef KR_RENDER3D_DEVICE_ENUMERATION_H
#define KR_RENDER3D_DEVICE_ENUMERATION_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

typedef struct KR3DCOREDEVICEINFO {
  GUID guid;                             // as enumerated; names the device for creation
  char szName[KR3D_NAME_MAX];  // the short name, cut to 255 characters
  int bHardware;                         // 1 when accepted with its hardware description
} KR3DCOREDEVICEINFO;

#endif
