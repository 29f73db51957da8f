// The material table's record. The light table holds bare IDirect3DLight
// pointers; a slot of either is in use while its interface is set.
#ifndef KR_RENDER3D_MATERIAL_TABLE_H
#define KR_RENDER3D_MATERIAL_TABLE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

typedef struct KR3DMATERIAL {
  IDirect3DMaterial3* lpD3DMaterial;
  D3DMATERIALHANDLE hD3DMaterial;  // the material's handle on the device, fetched at creation
} KR3DMATERIAL;

#endif
