// Ondrel's frame-buffer locks and 3DF files on the real KORVATHD.DLL under Wine:
// the copy against the back buffer read directly, a write lock's pixels on the
// surface, and a 3DF file written here loaded, downloaded and drawn.
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "glide_wine_fixture.h"
#include "support/tdf_writer.h"

namespace {

const char kLogFile[] = "glide_files_log.txt";

// The front and back buffer handed out by KORVATHD, released at the end of its scope.
struct BackBuffer {
  IDirectDrawSurface4* front = nullptr;
  IDirectDrawSurface4* back = nullptr;
  BackBuffer() { KRVideoGetDirectDrawSurfaceInterface(&front, &back); }
  ~BackBuffer() {
    if (front != nullptr) front->Release();
    if (back != nullptr) back->Release();
  }
};

class GlideFilesWineTest : public GlideWineTest {
 protected:
  void SetUp() override {
    GlideWineTest::SetUp();
    if (HasFatalFailure()) return;
    // Ondrel's lines to a file of ours, so a refused surface lock can be read back.
    KRDebugCleanup();
    KRDebugStartup(kLogFile);
  }

  static std::string LogText() {
    std::ifstream in(kLogFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The name of a refused DirectDraw call in the log, or empty.
  static std::string LoggedResultName() {
    std::istringstream lines(LogText());
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("DDERR_", 0) == 0 || line.rfind("DXERR_", 0) == 0 || line.rfind("D3DERR_", 0) == 0 ||
          line.rfind("DSERR_", 0) == 0)
        return line.substr(0, line.find('\r'));
    }
    return "";
  }

  // A clear and a flat triangle in the open scene.
  static void DrawScene() {
    grBufferClear(0x00000080, 0, 0);
    GrVertex a = Vertex(100, 100, 0xFF0000), b = Vertex(300, 100, 0xFF0000), c = Vertex(100, 300, 0xFF0000);
    grDrawTriangle(&a, &b, &c);
  }

  // A lock of the back buffer; skips the test when Wine refused the surface lock.
  void LockBack(GrLock_t type, GrLfbInfo_t* info) {
    ASSERT_EQ(grLfbLock(type, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE, info), FXTRUE);
    const std::string refused = LoggedResultName();
    if (!refused.empty()) {
      grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
      GTEST_SKIP() << "Wine refuses the back buffer's lock inside the scene: " << refused;
    }
  }
};

TEST_F(GlideFilesWineTest, AReadLockGivesTheBackBufferAtItsStrideAndChangesNothing) {
  DrawScene();
  GrLfbInfo_t info = {};
  info.size = sizeof info;
  LockBack(GR_LFB_READ_ONLY, &info);
  if (IsSkipped()) return;
  EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_565);
  BackBuffer buffer;
  DDPIXELFORMAT format = {};
  ASSERT_TRUE(winsupport::SurfaceFormat(buffer.back, &format));
  const int bytes = static_cast<int>(format.dwRGBBitCount / 8);
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(buffer.back->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
  EXPECT_EQ(info.strideInBytes, static_cast<FxU32>(desc.lPitch));
  int differing = 0;
  for (int y = 0; y < kHeight; ++y) {
    const char* row = static_cast<const char*>(info.lfbPtr) + static_cast<size_t>(y) * info.strideInBytes;
    const char* surfaceRow = static_cast<const char*>(desc.lpSurface) + static_cast<size_t>(y) * desc.lPitch;
    differing += std::memcmp(row, surfaceRow, static_cast<size_t>(kWidth * bytes)) != 0;
  }
  buffer.back->Unlock(nullptr);
  EXPECT_EQ(differing, 0) << "rows unlike the surface";
  // The triangle and the clear are in the copy, in the surface's own format.
  uint32_t inside = 0, outside = 0;
  std::memcpy(&inside, static_cast<const char*>(info.lfbPtr) + 150 * info.strideInBytes + 150 * bytes, bytes);
  std::memcpy(&outside, static_cast<const char*>(info.lfbPtr) + 400 * info.strideInBytes + 400 * bytes, bytes);
  const uint32_t mask = format.dwRBitMask | format.dwGBitMask | format.dwBBitMask;
  EXPECT_EQ(inside & mask, winsupport::RawOfRgb(format, 0xFF0000));
  EXPECT_EQ(outside & mask, winsupport::RawOfRgb(format, 0x000080));

  // The game's writes to a read lock's copy never reach the surface.
  std::memset(info.lfbPtr, 0xFF, static_cast<size_t>(info.strideInBytes) * 10);
  ASSERT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_LE(ColourDistance(Pixel(5, 5), 0x000080), 8);
}

TEST_F(GlideFilesWineTest, AWriteLockPutsExactlyTheChangedRectangleOnTheBackBuffer) {
  DrawScene();
  GrLfbInfo_t info = {};
  info.size = sizeof info;
  LockBack(GR_LFB_WRITE_ONLY, &info);
  if (IsSkipped()) return;
  BackBuffer buffer;
  DDPIXELFORMAT format = {};
  ASSERT_TRUE(winsupport::SurfaceFormat(buffer.back, &format));
  const int bytes = static_cast<int>(format.dwRGBBitCount / 8);
  const uint32_t green = winsupport::RawOfRgb(format, 0x00FF00);
  for (int y = 200; y < 240; ++y) {
    for (int x = 320; x < 400; ++x) {
      std::memcpy(static_cast<char*>(info.lfbPtr) + static_cast<size_t>(y) * info.strideInBytes + x * bytes, &green,
                  static_cast<size_t>(bytes));
    }
  }
  ASSERT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  const struct {
    int x, y;
    uint32_t rgb;
  } probes[] = {{320, 200, 0x00FF00}, {399, 239, 0x00FF00}, {360, 220, 0x00FF00}, {319, 220, 0x000080},
                {400, 220, 0x000080}, {360, 199, 0x000080}, {360, 240, 0x000080}, {150, 150, 0xFF0000}};
  for (const auto& p : probes) EXPECT_LE(ColourDistance(Pixel(p.x, p.y), p.rgb), 8) << p.x << "," << p.y;
}

// In window mode the front buffer is the desktop: a mode taller than it is read
// and written back only as far as the desktop reaches, the rest of the copy zero.
TEST_F(GlideFilesWineTest, AFrontBufferLockOfAModeTallerThanTheDesktopStaysWithinIt) {
  const int desktopHeight = GetSystemMetrics(SM_CYSCREEN);
  const int modeHeight = desktopHeight + 256;
  grSstWinClose();
  WriteIni("640x480=640x" + std::to_string(modeHeight) + "\r\n");
  ASSERT_EQ(OpenScreen(), FXTRUE);
  BackBuffer buffer;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(buffer.front->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  ASSERT_EQ(static_cast<int>(desc.dwHeight), desktopHeight);
  char* lastRow = static_cast<char*>(desc.lpSurface) + static_cast<size_t>(desktopHeight - 1) * desc.lPitch;
  std::memset(lastRow, 0x5A, 16);
  buffer.front->Unlock(nullptr);

  GrLfbInfo_t info = {};
  info.size = sizeof info;
  ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                      &info),
            FXTRUE);
  ASSERT_EQ(info.strideInBytes, static_cast<FxU32>(desc.lPitch));
  char* copy = static_cast<char*>(info.lfbPtr);
  EXPECT_EQ(std::string(copy + static_cast<size_t>(desktopHeight - 1) * info.strideInBytes, 16), std::string(16, 0x5A));
  const std::string beyond(copy + static_cast<size_t>(desktopHeight) * info.strideInBytes,
                           static_cast<size_t>(modeHeight - desktopHeight) * info.strideInBytes);
  EXPECT_EQ(beyond.find_first_not_of('\0'), std::string::npos) << "rows the desktop lacks";
  std::memset(copy + static_cast<size_t>(desktopHeight - 1) * info.strideInBytes, 0x3C,
              static_cast<size_t>(modeHeight - desktopHeight + 1) * info.strideInBytes);
  ASSERT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
  ASSERT_EQ(buffer.front->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
  EXPECT_EQ(std::string(static_cast<char*>(desc.lpSurface) + static_cast<size_t>(desktopHeight - 1) * desc.lPitch, 16),
            std::string(16, 0x3C));
  buffer.front->Unlock(nullptr);
}

TEST_F(GlideFilesWineTest, A3dfFileLoadsDownloadsAndDraws) {
  // 16 x 16 "rgb565" in four quadrants: red, green, blue, white.
  const uint16_t quadrants[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  std::string texels;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint16_t texel = quadrants[(y / 8) * 2 + x / 8];
      texels += static_cast<char>(texel & 0xFF);
      texels += static_cast<char>(texel >> 8);
    }
  }
  TdfWriter writer;
  writer.lodLine = TdfWriter::LodLine(16, 16);
  writer.texels = texels;
  {
    std::ofstream file("quadrants.3df", std::ios::binary | std::ios::trunc);
    const std::string bytes = writer.Bytes();
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  Gu3dfInfo info;
  std::memset(&info, 0, sizeof info);
  ASSERT_EQ(gu3dfGetInfo("quadrants.3df", &info), FXTRUE);
  EXPECT_EQ(info.mem_required, 512u);
  std::vector<char> data(info.mem_required);
  info.data = data.data();
  ASSERT_EQ(gu3dfLoad("quadrants.3df", &info), FXTRUE);

  GrTexInfo texture = {info.header.small_lod, info.header.large_lod, info.header.aspect_ratio, info.header.format,
                       info.data};
  grTexDownloadMipMap(GR_TMU0, 0, 3, &texture);
  grTexSource(GR_TMU0, 0, 3, &texture);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
  grBufferClear(0, 0, 0);
  TexturedQuad(0, 0, 256, 256);
  grBufferSwap(1);
  const uint32_t expected[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  const int centres[4][2] = {{64, 64}, {192, 64}, {64, 192}, {192, 192}};
  for (int q = 0; q < 4; ++q) EXPECT_LE(ColourDistance(Pixel(centres[q][0], centres[q][1]), expected[q]), 8) << q;
}

}  // namespace
