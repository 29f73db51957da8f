// The real KORVATHD.DLL's own resources: found by type and id with their
// sizes and properties, byte for byte the generated files, and loaded through
// the library's model and texture calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <korvathd.h>

#include <string>
#include <vector>

#include "render3d_wine_fixture.h"
#include "support/library_calls.h"
#include "support/splash_resource_checks.h"

namespace {

std::string Resource(LPCSTR type, unsigned id) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(id), type);
  if (found == NULL) return "";
  const void* data = LockResource(LoadResource(library, found));
  return data ? std::string(static_cast<const char*>(data), SizeofResource(library, found)) : "";
}

// The build's folder seen from Wine, where the generator wrote the files.
std::string GeneratedFile(const std::string& name) {
  return winsupport::ReadFileBytes((std::string("Z:") + KR_RESOURCE_DIR + "/" + name).c_str());
}

TEST(ResourcesOnWindows, TheDllCarriesTheGeneratedFilesWithTheirProperties) {
  ASSERT_NE(GetModuleHandleA("KORVATHD.DLL"), nullptr);
  for (const auto& wave : splashres::kWaves) {
    SCOPED_TRACE(wave.id);
    const std::string bytes = Resource("WAVE", wave.id);
    splashres::ExpectWave(bytes, wave.dataBytes);
    EXPECT_EQ(bytes, GeneratedFile("wave_" + std::to_string(wave.id) + ".wav"));
  }
  for (const auto& model : splashres::kModels) {
    SCOPED_TRACE(model.id);
    const std::string bytes = Resource("KRMODEL", model.id);
    splashres::ExpectModel(bytes, model);
    EXPECT_EQ(bytes, GeneratedFile("model_" + std::to_string(model.id) + ".krm"));
  }
  splashres::ExpectEmblem(Resource(RT_BITMAP, 101));
  splashres::ExpectBanner(Resource(RT_BITMAP, 110));
  for (unsigned id : splashres::kBitmaps) {
    EXPECT_EQ(Resource(RT_BITMAP, id), GeneratedFile("bitmap_" + std::to_string(id) + ".bmp").substr(14));
  }
  // Of the language the library declares.
  EXPECT_NE(FindResourceExA(GetModuleHandleA("KORVATHD.DLL"), "WAVE", MAKEINTRESOURCEA(102),
                            MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)),
            nullptr);
}

using ResourcesInTheLibraryOnWindows = Render3DWineTest;

TEST_F(ResourcesInTheLibraryOnWindows, ModelsLoadFromMemoryAndBitmapsAsTextures) {
  ASSERT_NO_FATAL_FAILURE(StartDevice());
  int expected = 1;
  for (const auto& model : splashres::kModels) {
    std::string bytes = Resource("KRMODEL", model.id);
    std::vector<char> image(bytes.begin(), bytes.end());
    EXPECT_EQ(KR3DCreateModel(static_cast<void*>(image.data()), 0), expected++) << model.id;
  }
  for (unsigned id : splashres::kBitmaps) {
    const int texture = KR3DCreateTexture(MAKEINTRESOURCEA(id), -1);
    EXPECT_NE(texture, 0) << id << " " << std::hex << KRErrorGetLastError();
    KR3DReleaseTexture(texture);
  }
  for (int handle = 1; handle < expected; ++handle) KR3DReleaseModel(handle);
}

}  // namespace
