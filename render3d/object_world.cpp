// The world matrix of an object's frame, built on the device's world transform:
// a root from its own matrix or its cache, a frame below it from the topmost
// ancestor's cache times each local matrix on the way down.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/object_renderer.h"

namespace {

// Ancestors followed at most; a deeper chain or a cycle takes the last one as its top.
const int kAncestorMax = 16;

// The world transform times `frame`'s local matrix (the local one applied
// first), read back into its cache, which is then clean.
void Descend(IDirect3DDevice3* device, KR3DFRAME* frame) {
  device->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, &frame->matLocal);
  device->GetTransform(D3DTRANSFORMSTATE_WORLD, &frame->matWorld);
  frame->bDirty = 0;
}

}  // namespace

void KR3DSetWorldTransform(IDirect3DDevice3* device, KR3DFRAME* frame) {
  KR3DFRAME* ancestors[kAncestorMax];
  int count = 0;
  for (KR3DFRAME* parent = frame->lpParent; parent != NULL && count < kAncestorMax; parent = parent->lpParent) {
    ancestors[count++] = parent;
  }

  if (count == 0) {
    // A root: a changed local matrix becomes its cache; an unchanged one is drawn from the cache.
    if (frame->bDirty) {
      device->SetTransform(D3DTRANSFORMSTATE_WORLD, &frame->matLocal);
      device->GetTransform(D3DTRANSFORMSTATE_WORLD, &frame->matWorld);
      frame->bDirty = 0;
    } else {
      device->SetTransform(D3DTRANSFORMSTATE_WORLD, &frame->matWorld);
    }
    return;
  }

  // The top's cache is taken as it is; every frame below it is rebuilt.
  device->SetTransform(D3DTRANSFORMSTATE_WORLD, &ancestors[count - 1]->matWorld);
  for (int i = count - 2; i >= 0; --i) Descend(device, ancestors[i]);
  Descend(device, frame);
}
