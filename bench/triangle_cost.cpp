// Draws triangles through Ondrel on the simulated platform, for callgrind to
// count: `triangle_cost triangles N` calls grDrawTriangle N times inside
// DrawTriangles, `triangle_cost fans N` draws N 4-vertex fans inside DrawFans.
// The state is a game's usual one: w-buffer mode, a texture modulated by
// iterated colour and alpha. library_cost.py runs it and sums Ondrel's share.
#include <glide.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sim/control.h"
#include "platform/sim/d3d_control.h"
#include "platform/sim/gdi_control.h"

namespace {

const int kBatch = 1000;  // draws between two clears of the simulation's record
GrVertex g_vertices[4];

GrVertex Vertex(float x, float y, float w) {
  GrVertex v = {};
  v.x = x + 786432.0f;  // the snap bias games add
  v.y = y + 786432.0f;
  v.r = 200.0f;
  v.g = 100.0f;
  v.b = 50.0f;
  v.a = 255.0f;
  v.oow = 1.0f / w;
  v.tmuvtx[0].sow = x * v.oow;
  v.tmuvtx[0].tow = y * v.oow;
  return v;
}

__attribute__((noinline)) void DrawTriangles(int n) {
  for (int i = 0; i < n; ++i) grDrawTriangle(&g_vertices[0], &g_vertices[1], &g_vertices[2]);
}

__attribute__((noinline)) void DrawFans(int n) {
  for (int i = 0; i < n; ++i) grDrawPolygonVertexList(4, g_vertices);
}

bool OpenScreen() {
  sim::Reset();
  sim::SetActiveWindowForTest(sim::CreateTestWindow());
  sim::WriteWholeFile("C:\\WINDOWS\\SYSTEM\\ONDREL.INI", "[Video]\n16BPP=0\n[Splash]\nNoSplash=1\n");
  grGlideInit();
  if (!grSstWinOpen(0, GR_RESOLUTION_640x480, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1)) return false;
  static FxU16 texels[16 * 16];
  for (FxU16& texel : texels) texel = 0xF81F;
  GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels};
  grTexDownloadMipMap(GR_TMU0, 0, 3, &info);
  grTexSource(GR_TMU0, 0, 3, &info);
  guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
  grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_ITERATED, FXFALSE);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthBufferFunction(GR_CMP_LESS);
  g_vertices[0] = Vertex(10, 10, 20);
  g_vertices[1] = Vertex(300, 20, 40);
  g_vertices[2] = Vertex(290, 400, 80);
  g_vertices[3] = Vertex(20, 380, 60);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool fans = argc > 1 && std::strcmp(argv[1], "fans") == 0;
  const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (argc < 2 || (!fans && std::strcmp(argv[1], "triangles") != 0) || count <= 0) {
    std::fprintf(stderr, "usage: triangle_cost triangles|fans COUNT\n");
    return 2;
  }
  if (!OpenScreen()) {
    std::fprintf(stderr, "triangle_cost: the screen did not open\n");
    return 1;
  }
  for (int done = 0; done < count; done += kBatch) {
    const int n = count - done < kBatch ? count - done : kBatch;
    if (fans) {
      DrawFans(n);
    } else {
      DrawTriangles(n);
    }
    sim::ClearDirect3DRecord();
  }
  grSstWinClose();
  grGlideShutdown();
  return 0;
}
