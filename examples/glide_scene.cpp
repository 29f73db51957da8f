// The demo scene through the Glide entry points only.
#include "glide_scene.h"

#include <cstring>
#include <fstream>
#include <string>

#include "support/tdf_writer.h"

namespace glidescene {
namespace {

const float kWidth = 640.0f;
const float kHorizon = 200.0f;

// A point of the world (x across, y up, z into the screen) projected as a Glide game does.
GrVertex Project(float x, float y, float z, float s, float t, float r, float g, float b, float a) {
  const float focal = 320.0f;
  GrVertex v;
  std::memset(&v, 0, sizeof v);
  const float oow = 1.0f / z;
  v.x = kWidth / 2 + x * focal * oow;
  v.y = kHorizon + 40.0f - y * focal * oow;
  v.oow = oow;
  v.ooz = 65535.0f * (1.0f - 1.0f / z);
  v.r = r;
  v.g = g;
  v.b = b;
  v.a = a;
  v.tmuvtx[0].sow = s * oow;
  v.tmuvtx[0].tow = t * oow;
  return v;
}

void Bricks(uint16_t* texels) {
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool mortar = (y % 16) < 2 || ((x + ((y / 16) % 2) * 16) % 32) < 2;
      const int shade = (x * 7 + y * 13) % 6;
      texels[y * 64 + x] = mortar ? 0xC618 : static_cast<uint16_t>(((20 + shade) << 11) | ((12 + shade) << 5) | 6);
    }
  }
}

// The bricks as a 3DF file, read back as a game reads its textures.
bool LoadBricks(const char* path, Gu3dfInfo* info) {
  static uint16_t texels[64 * 64];
  Bricks(texels);
  TdfWriter writer;
  writer.lodLine = TdfWriter::LodLine(64, 64);
  writer.texels.assign(reinterpret_cast<const char*>(texels), sizeof texels);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const std::string bytes = writer.Bytes();
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  static uint16_t loaded[64 * 64];
  if (!gu3dfGetInfo(path, info) || info->mem_required != sizeof loaded) return false;
  info->data = loaded;
  return gu3dfLoad(path, info) != FXFALSE;
}

}  // namespace

bool SetUpScene() {
  Gu3dfInfo wall;
  if (!LoadBricks("bricks.3df", &wall)) return false;
  GrTexInfo info = {wall.header.small_lod, wall.header.large_lod, wall.header.aspect_ratio, wall.header.format,
                    wall.data};
  grTexDownloadMipMap(GR_TMU0, 0, 3, &info);
  grTexSource(GR_TMU0, 0, 3, &info);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
  grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
  static GrFog_t fog[GR_FOG_TABLE_SIZE];
  // Wine fogs transformed vertices by their depth (sz, 0 to 1), so the range is given in depth.
  guFogGenerateLinear(fog, 0.3f, 1.0f);
  grFogTable(fog);
  grFogColorValue(0x00708090);
  grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
  grDepthBufferFunction(GR_CMP_LESS);
  grDepthMask(FXTRUE);
  grCullMode(GR_CULL_DISABLE);
  return true;
}

std::vector<SceneQuad> SceneQuads() {
  std::vector<SceneQuad> quads;
  // Floor: y = -1, z from 1.5 to 13, tiles of one texture each; wall at z = 13.
  for (int row = 0; row < 12; ++row) {
    const float z0 = 1.5f + row * 1.0f, z1 = z0 + 1.0f;
    for (int column = -3; column < 3; ++column) {
      const float x0 = column * 1.0f, x1 = x0 + 1.0f;
      SceneQuad q;
      q.textured = true;
      q.blended = false;
      q.v[0] = Project(x0, -1, z0, 0, 256, 255, 255, 255, 255);
      q.v[1] = Project(x1, -1, z0, 256, 256, 255, 255, 255, 255);
      q.v[2] = Project(x1, -1, z1, 256, 0, 255, 255, 255, 255);
      q.v[3] = Project(x0, -1, z1, 0, 0, 255, 255, 255, 255);
      quads.push_back(q);
    }
  }
  for (int row = 0; row < 3; ++row) {
    for (int column = -4; column < 4; ++column) {
      const float x0 = column * 1.5f, x1 = x0 + 1.5f, y0 = -1.0f + row * 1.5f, y1 = y0 + 1.5f;
      SceneQuad q;
      q.textured = true;
      q.blended = false;
      q.v[0] = Project(x0, y1, 13.5f, 0, 0, 255, 255, 255, 255);
      q.v[1] = Project(x1, y1, 13.5f, 256, 0, 255, 255, 255, 255);
      q.v[2] = Project(x1, y0, 13.5f, 256, 256, 255, 255, 255, 255);
      q.v[3] = Project(x0, y0, 13.5f, 0, 256, 255, 255, 255, 255);
      quads.push_back(q);
    }
  }
  // The pane: a half-transparent blue-green sheet near the viewer.
  SceneQuad pane;
  pane.textured = false;
  pane.blended = true;
  pane.v[0] = Project(-0.9f, 0.6f, 2.2f, 0, 0, 40, 200, 220, 110);
  pane.v[1] = Project(0.9f, 0.6f, 2.2f, 0, 0, 40, 200, 220, 110);
  pane.v[2] = Project(0.9f, -0.8f, 2.2f, 0, 0, 40, 200, 220, 110);
  pane.v[3] = Project(-0.9f, -0.8f, 2.2f, 0, 0, 40, 200, 220, 110);
  quads.push_back(pane);
  return quads;
}

int DrawScene(const std::vector<SceneQuad>& quads) {
  int triangles = 0;
  bool textured = false, blended = true, first = true;
  for (const SceneQuad& q : quads) {
    if (first || q.textured != textured) {
      guColorCombineFunction(q.textured ? GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB : GR_COLORCOMBINE_ITRGB);
      textured = q.textured;
    }
    if (first || q.blended != blended) {
      grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                     GR_COMBINE_OTHER_ITERATED, FXFALSE);
      if (q.blended) {
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        grFogMode(GR_FOG_DISABLE);
      } else {
        grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
        grFogMode(GR_FOG_WITH_TABLE);
      }
      blended = q.blended;
    }
    first = false;
    grDrawPolygonVertexList(4, q.v);
    triangles += 2;
  }
  return triangles;
}

}  // namespace glidescene
