// The 3D component's global state: start-up, enumerations, device, frame state.
#ifndef KR_RENDER3D_STATE_H
#define KR_RENDER3D_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/device_enumeration.h"
#include "render3d/material_table.h"
#include "render3d/model_table.h"
#include "render3d/texture_table.h"
#include "render3d/viewport_table.h"

typedef struct KR3DSTATE {
  int bStarted;
  IDirect3D3* lpDirect3D;          // queried from the display object; null when not started
  IDirect3DDevice3* lpDevice;      // null before creation and after clean-up
  IDirectDrawSurface4* lpZBuffer;  // null when the device runs without one
  int bHardwareAllowed;            // hardware devices take part in the next device enumeration
  int nAutoDevice;                 // -1 when none is known
  int bAutoDeviceHardware;

  int nDeviceCount;
  int nZBufferFormatCount;
  int nTextureFormatCount;

  // Allocated by KR3DStartup, freed by KR3DCleanup, in this order.
  KR3DCOREDEVICEINFO* lpDevices;                    // KR3D_DEVICE_MAX, "KR3D:DEVICEI"
  DDPIXELFORMAT* lpZBufferFormats;                  // KR3D_ZBUFFERFORMAT_MAX, "KR3D:ZBUFORM"
  KR3DCORETEXTUREFORMATINFO* lpTextureFormats;      // KR3D_TEXTUREFORMAT_MAX, "KR3D:TEXFORM"
  KR3DVIEWPORT* lpViewports;                        // KR3D_VIEWPORT_MAX, "KR3D:VIEWPOR"
  KR3DTEXTURE* lpTextures;                          // KR3D_TEXTURE_MAX, "KR3D:TEXTURE"
  KR3DMATERIAL* lpMaterials;                        // KR3D_MATERIAL_MAX, "KR3D:MATERIA"
  IDirect3DLight** lpLights;                        // KR3D_LIGHT_MAX, "KR3D:LIGHT"
  KR3DMODEL* lpModels;                              // KR3D_MODEL_MAX, "KR3D:MODEL"
  D3DTLVERTEX* lpTLVertices;                        // KR3D_TLVERTEX_MAX, "KR3D:TLVERTE"

  int bDeviceStarted;
  int nCurrentDevice;  // device index of the last KR3DStartupDevice; -1 before the first

  DWORD dwRenderState;       // KR3D_RENDERSTATE_... applied at every scene begin
  KR3DMATRIX matView;        // last view matrix given; all zero until then; survives clean-up
  KR3DMATRIX matProjection;  // last projection matrix given; likewise

  int bShowNormal;     // draw vertex normals after every model
  float fNormalLength; // length factor of the normal lines
} KR3DSTATE;

extern KR3DSTATE g_kr3D;

// 1 while the 3D component is started (KRCleanup cleans up what is left started).
int KR3DIsStarted(void);

// The surface a render-target index names: 1 the primary surface, 2 the back
// buffer, 3 to 32 a buffer the 2D component made; null for anything else.
IDirectDrawSurface4* KR3DRenderTargetSurface(int target);

#endif
