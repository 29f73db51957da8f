// What the object renderers, the render list and the sprites share: the slots an
// object's handle variables name, and the one-object renderer.
#ifndef KR_RENDER3D_OBJECT_RENDERER_H
#define KR_RENDER3D_OBJECT_RENDERER_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/model_table.h"
#include "render3d/texture_table.h"

// The texture slot under `handle` (1 to 127) while the table exists, used or
// free; null otherwise.
KR3DTEXTURE* KR3DTextureSlot(int handle);

// The texture interface the variable names; null for a null variable or a free slot.
IDirect3DTexture2* KR3DObjectTexture(const int* handle);

// The device handle of the material the variable names; 0 for a null variable
// or a free slot (a released slot may keep a stale handle).
D3DMATERIALHANDLE KR3DObjectMaterial(const int* handle);

// The model the variable names when it is in use and has a built vertex array; else null.
KR3DMODEL* KR3DObjectModel(const int* handle);

// Leaves the device's world transform at the matrix `frame` is drawn with,
// rebuilding the caches of the frames on the way.
void KR3DSetWorldTransform(IDirect3DDevice3* device, KR3DFRAME* frame);

// Depth test, then depth writes before blending, by the object's flags.
void KR3DSetObjectDepthAndBlend(IDirect3DDevice3* device, const tagKR3DOBJECT* object);

// The object's source and destination blend factors and its texture blend.
void KR3DSetObjectBlendFactors(IDirect3DDevice3* device, const tagKR3DOBJECT* object);

// Texture, material, blend factors, world transform, draw and normal lines of one
// object; the depth and blend-enable states stay as the caller set them.
void KR3DRenderObject(tagKR3DOBJECT* object);

#endif
