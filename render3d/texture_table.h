// The texture table's record; a slot is in use while lpD3DTexture is set.
#ifndef KR_RENDER3D_TEXTURE_TABLE_H
#define KR_RENDER3D_TEXTURE_TABLE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#define KR3DTEXTURE_PATH_MAX 128

typedef struct KR3DTEXTURE {
  char szPath[KR3DTEXTURE_PATH_MAX];     // bitmap file's full path; written only for textures made from a file
  IDirectDrawSurface4* lpSurface;        // the texture surface
  IDirectDrawSurface4* lpSourceSurface;  // the bitmap's surface; the same object on a software device
  IDirectDrawPalette* lpPalette;         // from the bitmap's colour table, or null
  IDirect3DTexture2* lpD3DTexture;       // texture interface of lpSurface
  DWORD dwWidth;
  DWORD dwHeight;
} KR3DTEXTURE;

#endif
