// Model images for tests and examples: a model described by its arrays, written
// out in the library's model format (also as a file's bytes).
#ifndef KR_TESTS_WINE_SUPPORT_MODEL_IMAGE_H
#define KR_TESTS_WINE_SUPPORT_MODEL_IMAGE_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ModelDescription {
  std::vector<float> positions;  // x, y, z per vertex
  std::vector<float> normals;    // x, y, z per vertex
  std::vector<float> texUV;      // tu, tv per pair
  std::vector<uint16_t> indices;
  std::string magic = "KRMODEL0000";
  // Header counts other than the arrays' own (a header that lies).
  int64_t numVert = -1, numTexUV = -1, numVertIdx = -1;
};

// A unit square in the z = 0 plane, two triangles; normals lean so that they
// differ from the flat ones, six pairs, one per corner.
inline ModelDescription SquareModel(bool withPairs = true) {
  ModelDescription m;
  m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  m.normals = {0.6f, 0, 0.8f, 0, 0.6f, 0.8f, -0.6f, 0, 0.8f, 0, -0.6f, 0.8f};
  if (withPairs) m.texUV = {0, 0, 1, 0, 1, 1, 0.25f, 0.25f, 0.5f, 0.5f, 0.75f, 0.75f};
  m.indices = {0, 1, 2, 0, 2, 3};
  return m;
}

inline void AppendBytes(std::string* out, const void* data, size_t size) {
  out->append(static_cast<const char*>(data), size);
}

inline void AppendCount(std::string* out, uint32_t value, size_t size) {
  unsigned char bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  out->append(reinterpret_cast<const char*>(bytes), size);
}

// The model's bytes: 16 magic bytes, the three counts, 0xFF up to byte 64, the arrays.
inline std::string ModelBytes(const ModelDescription& m) {
  std::string out = m.magic;
  out.resize(16, '\0');
  AppendCount(&out, uint32_t(m.numVert >= 0 ? m.numVert : int64_t(m.positions.size() / 3)), 4);
  AppendCount(&out, uint32_t(m.numTexUV >= 0 ? m.numTexUV : int64_t(m.texUV.size() / 2)), 4);
  AppendCount(&out, uint32_t(m.numVertIdx >= 0 ? m.numVertIdx : int64_t(m.indices.size())), 2);
  out.resize(64, '\xFF');
  AppendBytes(&out, m.positions.data(), m.positions.size() * sizeof(float));
  AppendBytes(&out, m.normals.data(), m.normals.size() * sizeof(float));
  AppendBytes(&out, m.texUV.data(), m.texUV.size() * sizeof(float));
  AppendBytes(&out, m.indices.data(), m.indices.size() * sizeof(uint16_t));
  return out;
}

#endif
