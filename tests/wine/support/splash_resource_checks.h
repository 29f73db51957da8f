// The properties every splash resource must have, checked on its bytes as a
// module carries them: host tests check the simulated library's table, Wine
// tests the real DLL's resources.
#ifndef KR_TESTS_WINE_SUPPORT_SPLASH_RESOURCE_CHECKS_H
#define KR_TESTS_WINE_SUPPORT_SPLASH_RESOURCE_CHECKS_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace splashres {

struct WaveResource {
  unsigned id;
  uint32_t dataBytes;
};
const WaveResource kWaves[] = {{102, 23524}, {104, 45836}, {105, 69270}};

struct ModelResource {
  unsigned id;
  uint32_t numVert, numTexUV, numVertIdx, size;
  float extentX, extentY, extentZ;
  bool flat;  // a plane at z = 0 facing the camera; else closed solids
};
const ModelResource kModels[] = {
    {103, 4, 6, 6, 220, 80, 80, 0, true},
    {106, 162, 960, 960, 13552, 13.5f, 32.4f, 10, false},
    {107, 336, 1920, 1920, 27328, 14.6f, 32.4f, 10, false},
    {108, 223, 1296, 1296, 18376, 18.4f, 32.4f, 16.9f, false},
    {109, 4, 6, 6, 220, 60, 20, 0, true},
};
const unsigned kBitmaps[] = {101, 110};
const size_t kBitmapBytes = 66600;

inline uint32_t U32(const std::string& b, size_t at) {
  uint32_t v;
  memcpy(&v, b.data() + at, 4);
  return v;
}
inline uint16_t U16(const std::string& b, size_t at) {
  uint16_t v;
  memcpy(&v, b.data() + at, 2);
  return v;
}
inline float F32(const std::string& b, size_t at) {
  float v;
  memcpy(&v, b.data() + at, 4);
  return v;
}

// A canonical header, the PCM format and size the splash expects, and a tone that starts and ends silent.
inline void ExpectWave(const std::string& b, uint32_t dataBytes) {
  ASSERT_EQ(b.size(), 44u + dataBytes);
  EXPECT_EQ(b.substr(0, 4), "RIFF");
  EXPECT_EQ(U32(b, 4), b.size() - 8);
  EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(U32(b, 16), 16u);
  EXPECT_EQ(U16(b, 20), 1) << "PCM";
  EXPECT_EQ(U16(b, 22), 1) << "mono";
  EXPECT_EQ(U32(b, 24), 22050u);
  EXPECT_EQ(U32(b, 28), 44100u);
  EXPECT_EQ(U16(b, 32), 2);
  EXPECT_EQ(U16(b, 34), 16);
  EXPECT_EQ(b.substr(36, 4), "data");
  EXPECT_EQ(U32(b, 40), dataBytes);
  int peak = 0;
  for (size_t at = 44; at + 1 < b.size(); at += 2) peak = std::max(peak, std::abs(int(int16_t(U16(b, at)))));
  EXPECT_GT(peak, 4000) << "audible";
  EXPECT_LT(std::abs(int(int16_t(U16(b, 44)))), 200) << "faded in";
  EXPECT_LT(std::abs(int(int16_t(U16(b, b.size() - 2)))), 200) << "faded out";
}

struct Vec {
  double x, y, z;
};
inline Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The model format with the counts, size and extents of the table above; unit
// normals, indices in range, one texture pair per index inside the bitmap, no
// triangle without area. Flat models face the camera on -z with every
// triangle; solids are closed and every triangle faces out of its part, so
// culling keeps what the camera sees.
inline void ExpectModel(const std::string& b, const ModelResource& m) {
  ASSERT_EQ(b.size(), m.size) << m.id;
  EXPECT_EQ(std::string(b.c_str()), "KRMODEL0000");
  for (size_t at = 11; at < 16; ++at) EXPECT_EQ(b[at], '\0');
  ASSERT_EQ(U32(b, 16), m.numVert);
  ASSERT_EQ(U32(b, 20), m.numTexUV);
  ASSERT_EQ(U16(b, 24), m.numVertIdx);
  for (size_t at = 26; at < 64; ++at) EXPECT_EQ(uint8_t(b[at]), 0xFF) << "reserved byte " << at;
  ASSERT_EQ(64 + 24 * m.numVert + 8 * m.numTexUV + 2 * m.numVertIdx, m.size);
  ASSERT_EQ(m.numVertIdx % 3, 0u);

  std::vector<Vec> p(m.numVert);
  Vec lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
  for (uint32_t i = 0; i < m.numVert; ++i) {
    p[i] = {F32(b, 64 + 12 * i), F32(b, 68 + 12 * i), F32(b, 72 + 12 * i)};
    const size_t n = 64 + 12 * m.numVert + 12 * i;
    const Vec normal{F32(b, n), F32(b, n + 4), F32(b, n + 8)};
    EXPECT_NEAR(Dot(normal, normal), 1.0, 1e-5) << "normal of vertex " << i;
    if (m.flat) {
      EXPECT_EQ(normal.z, -1.0);
    }
  }
  const size_t pairs = 64 + 24 * m.numVert;
  for (uint32_t i = 0; i < m.numTexUV; ++i) {
    const float tu = F32(b, pairs + 8 * i), tv = F32(b, pairs + 8 * i + 4);
    EXPECT_TRUE(tu >= 0 && tu <= 1 && tv >= 0 && tv <= 1) << "pair " << i;
  }
  const size_t idx = pairs + 8 * m.numTexUV;
  std::vector<uint16_t> index(m.numVertIdx);
  std::vector<bool> used(m.numVert, false);
  for (uint32_t i = 0; i < m.numVertIdx; ++i) {
    index[i] = U16(b, idx + 2 * i);
    ASSERT_LT(index[i], m.numVert);
    used[index[i]] = true;
    const Vec v = p[index[i]];
    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
  }
  EXPECT_LE(std::count(used.begin(), used.end(), false), 1) << "at most one unused vertex";
  EXPECT_NEAR(hi.x - lo.x, m.extentX, 0.01);
  EXPECT_NEAR(hi.y - lo.y, m.extentY, 0.01);
  EXPECT_NEAR(hi.z - lo.z, m.extentZ, 0.01);

  // Every directed edge once; in a closed, consistently wound solid its reverse also once.
  std::map<std::pair<int, int>, int> edges;
  std::vector<int> part(m.numVert);
  std::iota(part.begin(), part.end(), 0);
  auto root = [&](int v) {
    while (part[v] != v) v = part[v] = part[part[v]];
    return v;
  };
  std::vector<Vec> faceNormals;
  for (uint32_t t = 0; t < m.numVertIdx; t += 3) {
    const int a = index[t], c1 = index[t + 1], c2 = index[t + 2];
    const Vec normal = Cross(Sub(p[c1], p[a]), Sub(p[c2], p[a]));
    EXPECT_GT(std::sqrt(Dot(normal, normal)), 1e-4) << "triangle " << t / 3 << " has no area";
    if (m.flat) {
      EXPECT_LT(normal.z, 0) << "triangle " << t / 3 << " faces away from the camera";
    }
    faceNormals.push_back(normal);
    ++edges[{a, c1}];
    ++edges[{c1, c2}];
    ++edges[{c2, a}];
    part[root(c1)] = root(a);
    part[root(c2)] = root(a);
  }
  if (m.flat) return;
  for (const auto& edge : edges) {
    EXPECT_EQ(edge.second, 1) << "edge " << edge.first.first << "-" << edge.first.second;
    const auto reverse = edges.find({edge.first.second, edge.first.first});
    EXPECT_TRUE(reverse != edges.end() && reverse->second == 1)
        << "edge " << edge.first.first << "-" << edge.first.second << " is open or wound against its neighbour";
  }
  // Closed and consistently wound: positive volume means the faces point out.
  std::map<int, double> volume;
  for (uint32_t t = 0; t < m.numVertIdx; t += 3) {
    volume[root(index[t])] += Dot(p[index[t]], Cross(p[index[t + 1]], p[index[t + 2]])) / 6;
  }
  for (const auto& solid : volume) EXPECT_GT(solid.second, 1.0) << "part of vertex " << solid.first;
}

// The packed form of a 256 x 256 bitmap of 8 bits with 256 colours, bottom-up, uncompressed.
inline void ExpectBitmapFormat(const std::string& b) {
  ASSERT_EQ(b.size(), kBitmapBytes);
  EXPECT_EQ(U32(b, 0), 40u);
  EXPECT_EQ(int32_t(U32(b, 4)), 256);
  EXPECT_EQ(int32_t(U32(b, 8)), 256) << "bottom-up";
  EXPECT_EQ(U16(b, 12), 1);
  EXPECT_EQ(U16(b, 14), 8);
  EXPECT_EQ(U32(b, 16), 0u) << "BI_RGB";
  EXPECT_EQ(U32(b, 32), 256u);
}

// Brightness (0 to 255) of displayed row `row` (0 = top), averaged over the row.
inline double RowBrightness(const std::string& b, int row) {
  const size_t pixels = 40 + 1024 + size_t(255 - row) * 256;
  double sum = 0;
  for (int x = 0; x < 256; ++x) {
    const size_t entry = 40 + 4 * uint8_t(b[pixels + x]);
    sum += (uint8_t(b[entry]) + uint8_t(b[entry + 1]) + uint8_t(b[entry + 2])) / 3.0;
  }
  return sum / 256;
}

inline double Brightness(const std::string& b, int fromRow, int toRow) {
  double sum = 0;
  for (int row = fromRow; row < toRow; ++row) sum += RowBrightness(b, row);
  return sum / (toRow - fromRow);
}

// 101: a bright emblem on black (drawn additively, so black adds nothing).
inline void ExpectEmblem(const std::string& b) {
  ASSERT_NO_FATAL_FAILURE(ExpectBitmapFormat(b));
  EXPECT_EQ(RowBrightness(b, 0), 0) << "black edge";
  EXPECT_EQ(RowBrightness(b, 255), 0) << "black edge";
  EXPECT_GT(RowBrightness(b, 128), 40) << "bright middle";
}

// 110: bright in its displayed top third (v from 0 to 1/3), dark below.
inline void ExpectBanner(const std::string& b) {
  ASSERT_NO_FATAL_FAILURE(ExpectBitmapFormat(b));
  EXPECT_GT(Brightness(b, 0, 85), 120);
  EXPECT_LT(Brightness(b, 86, 256), 20);
}

}  // namespace splashres

#endif
