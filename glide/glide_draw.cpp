// Glide vertices into transformed-and-lit Direct3D vertices, the draw calls,
// the buffer clear, the render buffer and the swap with its two text lines.
#include <cmath>
#include <cstdio>

#include "glide/glide_state.h"

int g_trianglesThisFrame;

namespace {

const int kMaxVertices = 4096;
const DWORD kVertexFormat = D3DFVF_TLVERTEX;  // 0x1C4
const DWORD kClipped = D3DDP_DONOTUPDATEEXTENTS;
const DWORD kUnclipped = D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS;

D3DTLVERTEX g_tlVertices[kMaxVertices];
WORD g_polygonIndices[kMaxVertices];

float g_framesPerSecond;
DWORD g_lastSwapTime;
DWORD g_nextRateUpdate;
bool g_rateStarted;

// Glide games add a large bias to snap coordinates: keep the fraction below 4096.
float Unsnap(float v) {
  if (v >= 4096.0f && v < 2147483648.0f) {
    return v - static_cast<float>(static_cast<int32_t>(v) & static_cast<int32_t>(0xFFFFF000u));
  }
  return v;
}

// 0 to 255, NaN as 0, then truncated.
DWORD Channel(float v) {
  if (!(v > 0.0f)) return 0;
  return v >= 255.0f ? 255 : static_cast<DWORD>(v);
}

void ConvertGlideVertex(const GrVertex& v, D3DTLVERTEX* out) {
  const GlideStateRecord& r = g_glideState;
  const bool scale = g_glide.settings.scaleFix != 0;
  const float x = Unsnap(v.x);
  const float y = Unsnap(v.y);
  out->sx = scale ? x * g_glide.xScale : x;
  if (r.originLocation == GR_ORIGIN_LOWER_LEFT) {
    out->sy = static_cast<float>(g_glide.physicalHeight) - (scale ? y * g_glide.yScale : y);
  } else {
    out->sy = scale ? y * g_glide.yScale : y;
  }
  // Positive finite oow gives Direct3D the perspective Glide textures with.
  const float perspective = v.oow > 0.0f && std::isfinite(v.oow) ? v.oow : 1.0f;
  switch (r.depthBufferMode) {
    case GR_DEPTHBUFFER_ZBUFFER:
      out->sz = v.ooz / 65535.0f;
      out->rhw = perspective;
      break;
    case GR_DEPTHBUFFER_WBUFFER:
      out->sz = 0.0f;
      out->rhw = v.oow;
      break;
    default:
      out->rhw = perspective;
      break;
  }

  const DWORD a = Channel(v.a);
  const DWORD red = Channel(v.r);
  const DWORD green = Channel(v.g);
  const DWORD blue = Channel(v.b);
  const DWORD c = r.constantColor;
  const FxU32 colourLocal = r.colorCombineLocal;
  const FxU32 alphaLocal = r.alphaCombineLocal;
  if (colourLocal == 0 && alphaLocal == 0) {
    out->color = (a << 24) | (red << 16) | (green << 8) | blue;
  } else if (colourLocal == 0 && alphaLocal == 1) {
    out->color = (red << 16) | (green << 8) | blue | (c & 0xFF000000u);
  } else if (colourLocal == 1 && alphaLocal == 0) {
    out->color = (c & 0x00FFFFFFu) | (a << 24);
  } else if (colourLocal == 1 && alphaLocal == 1) {
    out->color = c;
  }
  if (r.colorCombineFunction == GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA) {
    const DWORD s = a | (a << 8);
    out->specular = (s << 16) | s;
  } else {
    out->specular = 0;
  }
  if (v.oow == 0.0f) {
    out->tu = out->tv = 0.0f;
  } else {
    out->tu = (v.tmuvtx[0].sow / v.oow + 0.2f) / 256.0f;
    out->tv = (v.tmuvtx[0].tow / v.oow + 0.2f) / 256.0f;
  }
}

// The list calls fill the array backwards for a lower-left origin, keeping the winding.
void ConvertList(int n, const GrVertex* const* vertices) {
  const bool reverse = g_glideState.originLocation == GR_ORIGIN_LOWER_LEFT;
  for (int i = 0; i < n; ++i) ConvertGlideVertex(*vertices[i], &g_tlVertices[reverse ? n - 1 - i : i]);
}

void ConvertArray(int n, const GrVertex* vlist) {
  const bool reverse = g_glideState.originLocation == GR_ORIGIN_LOWER_LEFT;
  for (int i = 0; i < n; ++i) ConvertGlideVertex(vlist[i], &g_tlVertices[reverse ? n - 1 - i : i]);
}

void Draw(D3DPRIMITIVETYPE primitive, int count, DWORD flags, int triangles) {
  TextureBeforeDraw();
  g_glide.d3dDevice->DrawPrimitive(primitive, kVertexFormat, g_tlVertices, static_cast<DWORD>(count), flags);
  TextureAfterDraw();
  g_trianglesThisFrame += triangles;
}

void DrawVertexList(int n, const GrVertex* vlist, DWORD flags) {
  if (!GlideDeviceReady() || n < 3 || n > kMaxVertices) return;
  ConvertArray(n, vlist);
  Draw(D3DPT_TRIANGLEFAN, n, flags, n / 3);
}

void DrawIndexed(int n, const int* ilist, const GrVertex* vlist) {
  if (!GlideDeviceReady() || n < 3 || n > kMaxVertices) return;
  // Every vertex an index names is converted, however far into the list it lies.
  int count = n;
  for (int i = 0; i < n; ++i) {
    if (ilist[i] < 0 || ilist[i] >= kMaxVertices) return;
    if (ilist[i] + 1 > count) count = ilist[i] + 1;
  }
  for (int i = 0; i < count; ++i) ConvertGlideVertex(vlist[i], &g_tlVertices[i]);
  const bool reverse = g_glideState.originLocation == GR_ORIGIN_LOWER_LEFT;
  for (int i = 0; i < n; ++i) g_polygonIndices[i] = static_cast<WORD>(ilist[reverse ? n - 1 - i : i] & 0xFFFF);
  TextureBeforeDraw();
  g_glide.d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, kVertexFormat, g_tlVertices, static_cast<DWORD>(count),
                                          g_polygonIndices, static_cast<DWORD>(n), kUnclipped);
  TextureAfterDraw();
  g_trianglesThisFrame += n / 3;
}

struct Antialiased {
  Antialiased() {
    GlideRenderState(D3DRENDERSTATE_ANTIALIAS, D3DANTIALIAS_SORTINDEPENDENT);
    GlideRenderState(D3DRENDERSTATE_EDGEANTIALIAS, 1);
  }
  ~Antialiased() {
    GlideRenderState(D3DRENDERSTATE_ANTIALIAS, 0);
    GlideRenderState(D3DRENDERSTATE_EDGEANTIALIAS, 0);
  }
};

}  // namespace

void ResetFrameRate() { g_trianglesThisFrame = 0; }

extern "C" {

void FX_CALL grDrawPoint(const GrVertex* a) {
  if (!GlideDeviceReady()) return;
  ConvertList(1, &a);
  Draw(D3DPT_POINTLIST, 1, kClipped, 0);
}

void FX_CALL grDrawLine(const GrVertex* a, const GrVertex* b) {
  if (!GlideDeviceReady()) return;
  const GrVertex* list[] = {a, b};
  ConvertList(2, list);
  Draw(D3DPT_LINELIST, 2, kClipped, 0);
}

void FX_CALL grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c) {
  if (!GlideDeviceReady()) return;
  const GrVertex* list[] = {a, b, c};
  ConvertList(3, list);
  Draw(D3DPT_TRIANGLELIST, 3, kUnclipped, 1);
}

void FX_CALL guDrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c) {
  if (!GlideDeviceReady()) return;
  const GrVertex* list[] = {a, b, c};
  ConvertList(3, list);
  Draw(D3DPT_TRIANGLELIST, 3, kClipped, 1);
}

void FX_CALL grDrawPolygonVertexList(int nVerts, const GrVertex vlist[]) {
  DrawVertexList(nVerts, vlist, kUnclipped);
}
void FX_CALL grDrawPlanarPolygonVertexList(int nVerts, const GrVertex vlist[]) {
  DrawVertexList(nVerts, vlist, kClipped);
}
void FX_CALL guDrawPolygonVertexListWithClip(int nVerts, const GrVertex vlist[]) {
  DrawVertexList(nVerts, vlist, kClipped);
}
void FX_CALL grDrawPolygon(int nVerts, const int ilist[], const GrVertex vlist[]) { DrawIndexed(nVerts, ilist, vlist); }
void FX_CALL grDrawPlanarPolygon(int nVerts, const int ilist[], const GrVertex vlist[]) {
  DrawIndexed(nVerts, ilist, vlist);
}

void FX_CALL grAADrawPoint(const GrVertex* a) {
  Antialiased on;
  grDrawPoint(a);
}
void FX_CALL grAADrawLine(const GrVertex* a, const GrVertex* b) {
  Antialiased on;
  grDrawLine(a, b);
}
void FX_CALL grAADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, FxBool, FxBool, FxBool) {
  Antialiased on;
  grDrawTriangle(a, b, c);
}
void FX_CALL guAADrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c) {
  Antialiased on;
  guDrawTriangleWithClip(a, b, c);
}
void FX_CALL grAADrawPolygon(int nVerts, const int ilist[], const GrVertex vlist[]) {
  Antialiased on;
  grDrawPolygon(nVerts, ilist, vlist);
}
void FX_CALL grAADrawPolygonVertexList(int nVerts, const GrVertex vlist[]) {
  Antialiased on;
  grDrawPolygonVertexList(nVerts, vlist);
}

void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t, FxU16 depth) {
  if (!GlideDeviceReady()) return;
  switch (g_glideState.depthBufferMode) {
    case GR_DEPTHBUFFER_DISABLE: KR3DClear(ColorToArgb(color), 1.0f, D3DCLEAR_TARGET, 0); break;
    case GR_DEPTHBUFFER_ZBUFFER:
    case GR_DEPTHBUFFER_WBUFFER:
      KR3DClear(ColorToArgb(color), static_cast<float>(depth & 0xFFFF) / 65535.0f,
                D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
      break;
  }
}

void FX_CALL grBufferSwap(int) {
  if (!GlideDeviceReady()) return;
  KR3DEndRender();
  const DWORD now = GetTickCount();
  // Wrap-safe: the first swap refreshes, then every 200 ms.
  if (!g_rateStarted || static_cast<int32_t>(now - g_nextRateUpdate) > 0) {
    g_nextRateUpdate = now + 200;
    if (g_rateStarted && now != g_lastSwapTime) {
      g_framesPerSecond = 1000.0f / static_cast<float>(now - g_lastSwapTime);
    }
    g_rateStarted = true;
  }
  g_lastSwapTime = now;
  char text[64];
  wsprintfA(text, "Triangles per frame = %d", g_trianglesThisFrame);
  KR2DTextOut(-1.0f, -1.0f, text, KR2D_BUFFER_BACK);
  std::snprintf(text, sizeof text, "Frames per second = %6.2f", static_cast<double>(g_framesPerSecond));
  KR2DTextOut(-1.0f, -0.9f, text, KR2D_BUFFER_BACK);
  g_trianglesThisFrame = 0;
  KRVideoShow();
  BeginGlideScene();
}

void FX_CALL grRenderBuffer(GrBuffer_t buffer) {
  g_glideState.renderBuffer = static_cast<FxU32>(buffer);
  if (!GlideDeviceReady()) return;
  if (buffer == GR_BUFFER_FRONTBUFFER) KR3DSetRenderTarget(KR2D_BUFFER_PRIMARY);
  if (buffer == GR_BUFFER_BACKBUFFER) KR3DSetRenderTarget(KR2D_BUFFER_BACK);
}

}  // extern "C"
