// The library's generated resources as the simulated KORVATHD.DLL carries
// them: each with its format, counts, sizes and shape; byte for byte the files
// the resource compiler embeds; and each loads through the library's own
// model and texture calls.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render3d/frame_fixture.h"
#include "render3d/render3d_state.h"
#include "wine/support/splash_resource_checks.h"

namespace {

HMODULE Library() { return sim::LoadedModule("KORVATHD.DLL"); }

std::string Resource(LPCSTR type, unsigned id) { return sim::ResourceBytes(Library(), type, MAKEINTRESOURCEA(id)); }

std::string GeneratedFile(const std::string& name) {
  std::ifstream in(std::string(KR_RESOURCE_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

using GeneratedResources = KRTest;

TEST_F(GeneratedResources, EachHasItsFormatCountsSizesAndShape) {
  for (const auto& wave : splashres::kWaves) {
    SCOPED_TRACE(wave.id);
    splashres::ExpectWave(Resource("WAVE", wave.id), wave.dataBytes);
  }
  for (const auto& model : splashres::kModels) {
    SCOPED_TRACE(model.id);
    splashres::ExpectModel(Resource("KRMODEL", model.id), model);
  }
  splashres::ExpectEmblem(Resource(RT_BITMAP, 101));
  splashres::ExpectBanner(Resource(RT_BITMAP, 110));
}

TEST_F(GeneratedResources, TheTableHoldsWhatTheResourceCompilerEmbeds) {
  for (const auto& wave : splashres::kWaves) {
    EXPECT_EQ(Resource("WAVE", wave.id), GeneratedFile("wave_" + std::to_string(wave.id) + ".wav"));
  }
  for (const auto& model : splashres::kModels) {
    EXPECT_EQ(Resource("KRMODEL", model.id), GeneratedFile("model_" + std::to_string(model.id) + ".krm"));
  }
  // A bitmap resource is its file without the 14-byte file header.
  for (unsigned id : splashres::kBitmaps) {
    const std::string file = GeneratedFile("bitmap_" + std::to_string(id) + ".bmp");
    ASSERT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(Resource(RT_BITMAP, id), file.substr(14));
  }
  // Nothing else, and only the library has them.
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceA(Library(), MAKEINTRESOURCEA(111), RT_BITMAP), nullptr);
}

class GeneratedResourcesInTheLibrary : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice());
  }
};

TEST_F(GeneratedResourcesInTheLibrary, ModelsLoadFromMemoryAndBitmapsAsTextures) {
  int expected = 1;
  for (const auto& model : splashres::kModels) {
    std::string bytes = Resource("KRMODEL", model.id);
    std::vector<char> image(bytes.begin(), bytes.end());
    const int handle = KR3DCreateModel(static_cast<void*>(image.data()), 0);
    ASSERT_EQ(handle, expected++) << model.id;
    const KR3DMODEL& slot = g_kr3D.lpModels[handle];
    EXPECT_EQ(slot.nNumVert, int(model.numVert));
    EXPECT_EQ(slot.nNumVertIdx, int(model.numVertIdx));
    ASSERT_EQ(slot.nVertexCount, int(model.numVertIdx)) << "one vertex per index";
    // Flat normals: the camera on -z sees the front of every flat model's triangles.
    if (model.flat) {
      for (int v = 0; v < slot.nVertexCount; ++v) {
        EXPECT_FLOAT_EQ(slot.lpVertices[v].nz, -1.0f);
      }
    }
  }
  for (unsigned id : splashres::kBitmaps) {
    const int texture = KR3DCreateTexture(MAKEINTRESOURCEA(id), -1);
    ASSERT_NE(texture, 0) << id;
    EXPECT_EQ(g_kr3D.lpTextures[texture].dwWidth, 256u);
    EXPECT_EQ(g_kr3D.lpTextures[texture].dwHeight, 256u);
    KR3DReleaseTexture(texture);
  }
  for (int handle = 1; handle < expected; ++handle) KR3DReleaseModel(handle);
}

}  // namespace
