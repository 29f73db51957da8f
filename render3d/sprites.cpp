// Screen-space sprites: rectangles of a texture drawn in pixels through the
// device, each call in a scene of its own on the default viewport with additive
// blending; the states are left as set.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "core/dx_result_log.h"
#include "render3d/object_renderer.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"

namespace {

// Under D3DTBLEND_ADD the vertex colour is added to the texel: black leaves the texel as it is.
const D3DCOLOR kSpriteColour = 0x00000000;

// Clip extents reset to empty: minima above any screen, maxima at 0.
const D3DVALUE kEmptyExtentMin = 2048.0f;

// Rectangles per draw call of the fast batch; more go in further calls of the same scene.
const int kFastBatchMax = 8192;
const int kFastVertexMax = 4 * kFastBatchMax;
// 0 1 2 3, then per further rectangle a link of two repeated indices and its four.
const int kFastIndexMax = 6 * kFastBatchMax - 2;

D3DTLVERTEX g_fastVertices[kFastVertexMax];
WORD g_fastIndices[kFastIndexMax];
bool g_fastIndicesBuilt = false;

// Every rectangle starts at an even strip position, so all keep one winding; the
// triangles between two rectangles have no area.
void BuildFastIndices(void) {
  if (g_fastIndicesBuilt) return;
  int at = 0;
  for (int r = 0; r < kFastBatchMax; ++r) {
    const WORD first = static_cast<WORD>(4 * r);
    if (r > 0) {
      g_fastIndices[at++] = static_cast<WORD>(first - 1);
      g_fastIndices[at++] = first;
    }
    for (WORD corner = 0; corner < 4; ++corner) g_fastIndices[at++] = static_cast<WORD>(first + corner);
  }
  g_fastIndicesBuilt = true;
}

// The slot of a texture the single call and the fast batch can draw; null otherwise.
KR3DTEXTURE* DrawableTexture(int texture) {
  KR3DTEXTURE* slot = KR3DDeviceReady() ? KR3DTextureSlot(texture) : NULL;
  return slot != NULL && slot->lpSurface != NULL ? slot : NULL;
}

IDirect3DDevice3* BeginSpriteScene(IDirect3DTexture2* texture, bool bindTexture) {
  IDirect3DDevice3* device = g_kr3D.lpDevice;
  device->BeginScene();
  KR3DVIEWPORT* viewport = KR3DFindViewport(0);
  device->SetCurrentViewport(viewport != NULL ? viewport->lpViewport : NULL);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  device->SetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_ADD);
  D3DCLIPSTATUS clip;
  clip.dwFlags = D3DCLIPSTATUS_EXTENTS2;
  clip.dwStatus = 0;
  clip.minx = kEmptyExtentMin;
  clip.maxx = 0.0f;
  clip.miny = kEmptyExtentMin;
  clip.maxy = 0.0f;
  clip.minz = 0.0f;
  clip.maxz = 0.0f;
  device->SetClipStatus(&clip);
  if (bindTexture) device->SetTexture(0, texture);
  return device;
}

void LogFailure(HRESULT result) {
  if (FAILED(result)) KRDebugDumpDXResult(result);
}

void EndSpriteScene(IDirect3DDevice3* device) { LogFailure(device->EndScene()); }

// Top left, top right, bottom left, bottom right; texel coordinates over the
// texture's size, no half-pixel offset. Sums in floating point cannot overflow.
void RectangleVertices(const KR3DTEXTURE& texture, int srcX, int srcY, int width, int height, int destX, int destY,
                       D3DTLVERTEX* v) {
  const float w = static_cast<float>(texture.dwWidth);
  const float h = static_cast<float>(texture.dwHeight);
  const float left = static_cast<float>(destX), top = static_cast<float>(destY);
  const float right = left + static_cast<float>(width), bottom = top + static_cast<float>(height);
  const float u0 = static_cast<float>(srcX) / w, v0 = static_cast<float>(srcY) / h;
  const float u1 = (static_cast<float>(srcX) + static_cast<float>(width)) / w;
  const float v1 = (static_cast<float>(srcY) + static_cast<float>(height)) / h;
  const float corners[4][4] = {{left, top, u0, v0}, {right, top, u1, v0}, {left, bottom, u0, v1},
                               {right, bottom, u1, v1}};
  for (int i = 0; i < 4; ++i) {
    v[i].sx = corners[i][0];
    v[i].sy = corners[i][1];
    v[i].sz = 1.0f;
    v[i].rhw = 1.0f;
    v[i].color = kSpriteColour;
    v[i].specular = 0;
    v[i].tu = corners[i][2];
    v[i].tv = corners[i][3];
  }
}

void DrawRectangle(IDirect3DDevice3* device, const KR3DTEXTURE& texture, int srcX, int srcY, int width, int height,
                   int destX, int destY) {
  D3DTLVERTEX vertices[4];
  RectangleVertices(texture, srcX, srcY, width, height, destX, destY, vertices);
  LogFailure(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, vertices, 4, D3DDP_WAIT));
}

// Up to kFastBatchMax rectangles in one indexed strip.
void DrawFastRun(IDirect3DDevice3* device, const KR3DTEXTURE& texture, const KR3DDRAWSPRITEFAST* sprites,
                 int count) {
  for (int i = 0; i < count; ++i) {
    const KR3DDRAWSPRITEFAST& s = sprites[i];
    RectangleVertices(texture, s.nSrcX, s.nSrcY, s.nWidth, s.nHeight, s.nDestX, s.nDestY, &g_fastVertices[4 * i]);
  }
  LogFailure(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, g_fastVertices,
                                          static_cast<DWORD>(4 * count), g_fastIndices,
                                          static_cast<DWORD>(6 * count - 2), D3DDP_WAIT));
}

}  // namespace

void KR3DDrawSprite(int nSrcX, int nSrcY, int nWidth, int nHeight, int nTexture, int nDestX, int nDestY,
                    int /*nReserved*/) {
  KR3DTEXTURE* texture = DrawableTexture(nTexture);
  if (texture == NULL) return;
  IDirect3DDevice3* device = BeginSpriteScene(texture->lpD3DTexture, true);
  DrawRectangle(device, *texture, nSrcX, nSrcY, nWidth, nHeight, nDestX, nDestY);
  EndSpriteScene(device);
}

void KR3DDrawSpriteBatch(KR3DDRAWSPRITE* lpSprites, int nCount, int /*nReserved*/) {
  if (!KR3DDeviceReady()) return;
  IDirect3DDevice3* device = BeginSpriteScene(NULL, false);
  for (int i = 0; i < nCount; ++i) {
    const KR3DDRAWSPRITE& s = lpSprites[i];
    KR3DTEXTURE* texture = KR3DTextureSlot(s.nTexture);
    if (texture == NULL || texture->lpD3DTexture == NULL) continue;
    device->SetTexture(0, texture->lpD3DTexture);
    DrawRectangle(device, *texture, s.nSrcX, s.nSrcY, s.nWidth, s.nHeight, s.nDestX, s.nDestY);
  }
  EndSpriteScene(device);
}

void KR3DDrawSpriteFastBatch(KR3DDRAWSPRITEFAST* lpSprites, int nCount, int nTexture, int /*nReserved*/) {
  KR3DTEXTURE* texture = DrawableTexture(nTexture);
  if (texture == NULL) return;
  BuildFastIndices();
  IDirect3DDevice3* device = BeginSpriteScene(texture->lpD3DTexture, true);
  for (int done = 0; done < nCount; done += kFastBatchMax) {
    const int run = nCount - done < kFastBatchMax ? nCount - done : kFastBatchMax;
    DrawFastRun(device, *texture, lpSprites + done, run);
  }
  EndSpriteScene(device);
}
