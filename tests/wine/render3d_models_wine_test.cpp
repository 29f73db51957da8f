// Models in the real KORVATHD.DLL: a model file read through Windows' own file
// calls, the same model from memory, and broken files refused with 0x3105.
#include <gtest/gtest.h>
#include <windows.h>
#include <korvathd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/model_image.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;
const unsigned long kCreateModelFailed = 0x3105;
const char kLogName[] = "render3d_models_wine.log";

void WriteFileBytes(const char* path, const std::string& bytes) {
  FILE* file = fopen(path, "wb");
  ASSERT_NE(file, nullptr) << path;
  ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  fclose(file);
}

class ModelsOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = winsupport::CreateMainWindow(kClientWidth, kClientHeight, "3D models test");
    ASSERT_NE(window_, nullptr);
    DeleteFileA(kLogName);
    KRSTARTUPINFO info = winsupport::StartupInfo(window_, KRSTARTUP_DEBUGLOG, kLogName);
    ASSERT_EQ(KRStartup(&info), 1);
    ASSERT_EQ(KRVideoStartup(0), 1);
    ASSERT_EQ(KRVideoSetVideoMode(kClientWidth, kClientHeight, 0), 1);
    ASSERT_EQ(KR2DStartup(), 1);
    ASSERT_EQ(KR3DStartup(), 1);
    KR3DSTARTUPDEVICEINFO device = {KR2D_BUFFER_BACK, -1, -1, 0};
    ASSERT_EQ(KR3DStartupDevice(&device), 1);
  }
  void TearDown() override {
    KRCleanup();
    winsupport::DestroyMainWindow(window_);
  }

  static std::string Log() { return winsupport::ReadFileBytes(kLogName); }

  HWND window_ = nullptr;
};

TEST_F(ModelsOnWindows, ModelFileLoadsThroughTheFileCallsAndBadOnesAreRefused) {
  const std::string square = ModelBytes(SquareModel());
  WriteFileBytes("model_square.krm", square);
  int handle = KR3DCreateModel("model_square.krm", KR3DMODEL_INDEXED);
  EXPECT_EQ(handle, 1) << std::hex << KRErrorGetLastError();
  // Closed again: the file can be replaced at once.
  EXPECT_TRUE(DeleteFileA("model_square.krm"));

  ModelDescription wrong = SquareModel();
  wrong.magic = "KRMODEL0001";
  WriteFileBytes("model_wrong.krm", ModelBytes(wrong));
  WriteFileBytes("model_cut.krm", square.substr(0, 64 + 48 + 4));
  for (const char* bad : {"model_wrong.krm", "model_cut.krm", "model_missing.krm"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(KR3DCreateModel(bad, 0), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateModelFailed);
  }
  EXPECT_TRUE(DeleteFileA("model_wrong.krm"));
  EXPECT_TRUE(DeleteFileA("model_cut.krm"));

  // The same model from memory takes the next handle; the caller's copy may go at once.
  std::vector<char> image(square.begin(), square.end());
  int fromMemory = KR3DCreateModel(static_cast<void*>(image.data()), 0);
  EXPECT_EQ(fromMemory, 2);
  image.clear();
  KR3DReleaseModel(handle);
  KR3DReleaseModel(handle);
  KR3DCleanupDevice();  // the memory model is left for the clean-up
  KRCleanup();          // closes the log

  const std::string log = Log();
  EXPECT_NE(log.find("nNumVert    4\r\nnNumVertIdx 6\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("KR3D Warning : You did release NULL or ills Modell(1).\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("KR3D Warning : You didn't release Model(2).\r\n"), std::string::npos) << log;
}

}  // namespace
