// Glide vertices into transformed-and-lit Direct3D vertices, the draw calls,
// the buffer clear, the render buffer and the swap with its two text lines.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <utility>

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

// Pairs and quadruples of floats that GCC and clang keep in one SSE register
// (the 32-bit build without SSE computes them lane by lane).
typedef float Float2 __attribute__((vector_size(8)));
typedef int32_t Int2 __attribute__((vector_size(8)));
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));
typedef uint32_t Unsigned4 __attribute__((vector_size(16)));
typedef uint64_t Unsigned2x64 __attribute__((vector_size(16)));

enum DepthRule { kDepthKept, kDepthZ, kDepthW, kDepthOfW };

// What the state record makes of every vertex, worked out when the state changes.
struct VertexRule {
  Float2 scale;   // x and y; 1 without ScaleFix; y negated for a lower-left origin
  Float2 offset;  // -0 (adding it changes nothing), or physicalHeight for a lower-left origin's y
  bool lowerLeft;
  DepthRule depth;
  DWORD iteratedMask;  // bytes of the colour taken from the vertex
  DWORD constantPart;  // bytes taken from the constant colour
  DWORD keptMask;      // all of it for combinations without a rule: the entry keeps its colour
  DWORD specularMask;  // the vertex alpha in all four bytes, or nothing
};
VertexRule g_rule;

// The vertex position, scaled, and flipped for a lower-left origin. Glide games add a
// large bias to snap coordinates: keep the fraction below 4096 (for values from 4096
// up to 2^31; the others stay). (Vectors stay inside functions: the 32-bit build passes none.)
inline __attribute__((always_inline)) void Position(const GrVertex& vertex, const VertexRule& rule,
                                                    D3DTLVERTEX* out) {
  const Float2 v = {vertex.x, vertex.y};
  const Float2 low = {4096.0f, 4096.0f}, high = {2147483648.0f, 2147483648.0f};
  const Int2 biased = (v >= low) & (v < high);
  const Float2 convertible = reinterpret_cast<Float2>(reinterpret_cast<Int2>(v) & biased);  // the others as 0
  const Int2 bias = __builtin_convertvector(convertible, Int2) & static_cast<int32_t>(0xFFFFF000u);
  const Float2 position = (v - __builtin_convertvector(bias, Float2)) * rule.scale + rule.offset;
  out->sx = position[0];
  out->sy = position[1];
}

// The vertex colour as ARGB: each channel 0 to 255, NaN as 0, then truncated;
// the clamps are masks, not branches.
inline __attribute__((always_inline)) DWORD IteratedColour(const GrVertex& v) {
  Float4 rgbz, gbza;  // r g b ooz, g b ooz a: one load each
  std::memcpy(&rgbz, reinterpret_cast<const char*>(&v) + offsetof(GrVertex, r), sizeof rgbz);
  std::memcpy(&gbza, reinterpret_cast<const char*>(&v) + offsetof(GrVertex, g), sizeof gbza);
  const Float4 brga = __builtin_shufflevector(rgbz, gbza, 2, 0, 4, 7);
  const Float4 zero = {0.0f, 0.0f, 0.0f, 0.0f}, top = {255.0f, 255.0f, 255.0f, 255.0f};
  const Float4 low = brga > zero ? brga : zero;
  const Float4 clamped = low < top ? low : top;
  // Each 64-bit half holds two channels 32 bits apart (b and r, g and a): shifting it
  // by 16 puts the upper one two bytes above the lower; then the g-a pair goes one
  // byte above the b-r pair.
  const Unsigned2x64 halves = reinterpret_cast<Unsigned2x64>(__builtin_convertvector(clamped, Int4));
  const Unsigned4 pairs = reinterpret_cast<Unsigned4>(halves | (halves >> 16));
  const Unsigned4 bgra = pairs | (__builtin_shufflevector(pairs, pairs, 2, 3, 0, 1) << 8);
  return bgra[0];
}

// Positive finite oow gives Direct3D the perspective Glide textures with.
float Perspective(float oow) { return oow > 0.0f && oow < INFINITY ? oow : 1.0f; }

// The depth rule is a compile-time constant here, chosen once per draw (WithDepthRule).
template <typename Depth>
inline __attribute__((always_inline)) void ConvertGlideVertex(Depth, const VertexRule& rule, const GrVertex& v,
                                                              D3DTLVERTEX* out) {
  Position(v, rule, out);
  const float oow = v.oow;
  if constexpr (Depth::value == kDepthOfW) {
    out->sz = WBufferDepth(oow);
    out->rhw = oow;
  } else if constexpr (Depth::value == kDepthW) {
    out->sz = 0.0f;
    out->rhw = oow;
  } else if constexpr (Depth::value == kDepthZ) {
    out->sz = v.ooz / 65535.0f;
    out->rhw = Perspective(oow);
  } else {
    out->rhw = Perspective(oow);
  }
  const DWORD iterated = IteratedColour(v);
  out->color = (iterated & rule.iteratedMask) | rule.constantPart | (out->color & rule.keptMask);
  out->specular = ((iterated >> 24) * 0x01010101u) & rule.specularMask;
  const Float2 st = {v.tmuvtx[0].sow, v.tmuvtx[0].tow};
  const Float2 uv = (st / oow + 0.2f) / 256.0f;
  const Int2 given = Float2{oow, oow} != Float2{0.0f, 0.0f};  // a zero oow gives 0
  const Float2 texel = reinterpret_cast<Float2>(reinterpret_cast<Int2>(uv) & given);
  out->tu = texel[0];
  out->tv = texel[1];
}

template <DepthRule rule>
using DepthConstant = std::integral_constant<DepthRule, rule>;

// Calls convert with the depth rule as a constant, so that the vertices do not ask it.
template <typename Convert>
inline __attribute__((always_inline)) void WithDepthRule(Convert convert) {
  switch (g_rule.depth) {
    case kDepthOfW: convert(DepthConstant<kDepthOfW>()); break;
    case kDepthW: convert(DepthConstant<kDepthW>()); break;
    case kDepthZ: convert(DepthConstant<kDepthZ>()); break;
    case kDepthKept: convert(DepthConstant<kDepthKept>()); break;
  }
}

// Converts n vertices, vertex(i) the game's i-th, into the array from entry 0 on,
// or backwards from entry n - 1.
template <typename VertexAt>
inline __attribute__((always_inline)) void ConvertVertices(int n, bool reverse, VertexAt vertex) {
  const VertexRule rule = g_rule;  // a copy the stores to the array cannot change
  D3DTLVERTEX* first = reverse ? &g_tlVertices[n - 1] : g_tlVertices;
  const int step = reverse ? -1 : 1;
  WithDepthRule([=](auto depth) __attribute__((always_inline)) {
    D3DTLVERTEX* out = first;
    for (int i = 0; i < n; ++i, out += step) ConvertGlideVertex(depth, rule, vertex(i), out);
  });
}

// The list calls fill the array backwards for a lower-left origin, keeping the winding.
void ConvertList(int n, const GrVertex* const* vertices) {
  ConvertVertices(n, g_rule.lowerLeft, [=](int i) -> const GrVertex& { return *vertices[i]; });
}

void ConvertArray(int n, const GrVertex* vlist, bool reverse) {
  ConvertVertices(n, reverse, [=](int i) -> const GrVertex& { return vlist[i]; });
}

inline __attribute__((always_inline)) void ConvertTriangle(const GrVertex* a, const GrVertex* b,
                                                           const GrVertex* c) {
  const VertexRule rule = g_rule;  // a copy the stores to the array cannot change
  if (rule.lowerLeft) std::swap(a, c);
  WithDepthRule([=](auto depth) __attribute__((always_inline)) {
    ConvertGlideVertex(depth, rule, *a, &g_tlVertices[0]);
    ConvertGlideVertex(depth, rule, *b, &g_tlVertices[1]);
    ConvertGlideVertex(depth, rule, *c, &g_tlVertices[2]);
  });
}

inline __attribute__((always_inline)) void Draw(D3DPRIMITIVETYPE primitive, int count, DWORD flags, int triangles) {
  TextureBeforeDraw();
  g_glide.d3dDevice->DrawPrimitive(primitive, kVertexFormat, g_tlVertices, static_cast<DWORD>(count), flags);
  g_trianglesThisFrame += triangles;
}

void DrawVertexList(int n, const GrVertex* vlist, DWORD flags) {
  if (!GlideDeviceReady() || n < 3 || n > kMaxVertices) return;
  ConvertArray(n, vlist, g_rule.lowerLeft);
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
  ConvertArray(count, vlist, false);
  const bool reverse = g_glideState.originLocation == GR_ORIGIN_LOWER_LEFT;
  for (int i = 0; i < n; ++i) g_polygonIndices[i] = static_cast<WORD>(ilist[reverse ? n - 1 - i : i] & 0xFFFF);
  TextureBeforeDraw();
  g_glide.d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, kVertexFormat, g_tlVertices, static_cast<DWORD>(count),
                                          g_polygonIndices, static_cast<DWORD>(n), kUnclipped);
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

void ChooseVertexRule() {
  const GlideStateRecord& r = g_glideState;
  VertexRule& rule = g_rule;
  const bool scale = g_glide.settings.scaleFix != 0;
  rule.lowerLeft = r.originLocation == GR_ORIGIN_LOWER_LEFT;
  const float yScale = scale ? g_glide.yScale : 1.0f;
  // physicalHeight - y as physicalHeight + (-y), the same float.
  rule.scale = Float2{scale ? g_glide.xScale : 1.0f, rule.lowerLeft ? -yScale : yScale};
  rule.offset = Float2{-0.0f, rule.lowerLeft ? static_cast<float>(g_glide.physicalHeight) : -0.0f};
  switch (r.depthBufferMode) {
    case GR_DEPTHBUFFER_ZBUFFER: rule.depth = kDepthZ; break;
    case GR_DEPTHBUFFER_WBUFFER: rule.depth = g_glide.deviceWBuffers ? kDepthW : kDepthOfW; break;
    default: rule.depth = kDepthKept; break;
  }
  // Bytes from the vertex, from the constant colour, or (other combinations) kept.
  DWORD iterated = 0, constant = 0, kept = 0;
  const FxU32 colourLocal = r.colorCombineLocal, alphaLocal = r.alphaCombineLocal;
  if (colourLocal > GR_COMBINE_LOCAL_CONSTANT || alphaLocal > GR_COMBINE_LOCAL_CONSTANT) {
    kept = 0xFFFFFFFFu;
  } else {
    (colourLocal == GR_COMBINE_LOCAL_ITERATED ? iterated : constant) |= 0x00FFFFFFu;
    (alphaLocal == GR_COMBINE_LOCAL_ITERATED ? iterated : constant) |= 0xFF000000u;
  }
  rule.iteratedMask = iterated;
  rule.constantPart = r.constantColor & constant;
  rule.keptMask = kept;
  rule.specularMask = r.colorCombineFunction == GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA ? 0xFFFFFFFFu : 0;
}

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
  ConvertTriangle(a, b, c);
  Draw(D3DPT_TRIANGLELIST, 3, kUnclipped, 1);
}

void FX_CALL guDrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c) {
  if (!GlideDeviceReady()) return;
  ConvertTriangle(a, b, c);
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
