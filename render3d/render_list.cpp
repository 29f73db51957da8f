// The render list: objects filed into four buckets by translucency and depth
// test, drawn bucket by bucket with the depth and blend states of the bucket.
// It lives for the life of the library; only KR3DClearOrderList empties it.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/object_renderer.h"
#include "render3d/render3d_state.h"
#include "render3d/viewports.h"

namespace {

// In storage order: opaque and translucent without depth test, then with it.
enum Bucket { kOpaque = 0, kTranslucent = 1, kOpaqueDepth = 2, kTranslucentDepth = 3, kBuckets = 4 };

struct OrderBucket {
  tagKR3DOBJECT* entries[KR3D_ORDERLIST_MAX];
  int count;
};

OrderBucket g_buckets[kBuckets];

int BucketOf(const tagKR3DOBJECT& object) {
  return ((object.dwFlags & KR3DOBJECT_TRANSLUCENT) ? 1 : 0) + ((object.dwFlags & KR3DOBJECT_ZBUFFER) ? 2 : 0);
}

// The entries filed when the bucket's turn comes, in filing order.
void RenderBucket(int bucket) {
  const int count = g_buckets[bucket].count;
  for (int i = 0; i < count; ++i) KR3DRenderObject(g_buckets[bucket].entries[i]);
}

}  // namespace

void KR3DClearOrderList(void) {
  for (int bucket = 0; bucket < kBuckets; ++bucket) g_buckets[bucket].count = 0;
}

void KR3DOrderObject(tagKR3DOBJECT* lpObject) {
  for (tagKR3DOBJECT* object = lpObject; object != NULL; object = object->lpNext) {
    OrderBucket& bucket = g_buckets[BucketOf(*object)];
    // A full bucket takes no more until the list is cleared.
    if (bucket.count < KR3D_ORDERLIST_MAX) bucket.entries[bucket.count++] = object;
  }
}

void KR3DRenderAll(void) {
  if (!KR3DDeviceReady()) return;
  IDirect3DDevice3* device = g_kr3D.lpDevice;
  device->SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
  device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  RenderBucket(kOpaqueDepth);
  device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 0);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  RenderBucket(kTranslucentDepth);
  // Depth writes stay off for the untested buckets.
  device->SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  RenderBucket(kOpaque);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  RenderBucket(kTranslucent);
}
