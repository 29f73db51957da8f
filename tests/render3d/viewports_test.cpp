// Viewports: rectangles from screen units on several display sizes, the one
// clip volume, handles and the full table, failures of the platform, and
// handles or states that name no viewport.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render3d/frame_fixture.h"

namespace {

const unsigned long kInvalidValue = 0x3005;
const unsigned long kSetViewportFailed = 0x3104;
const unsigned long kCreateViewportFailed = 0x3108;

struct Corners {
  float x1, y1, x2, y2;
};

struct RectangleCase {
  Corners corners;
  std::vector<DWORD> rectangle;  // x, y, width, height
};

struct DisplayCase {
  unsigned long width, height;
  std::vector<RectangleCase> cases;
};

class ViewportsTest : public FrameTest {};

// Each position is (size + size * unit) / 2 truncated toward zero, so an odd size
// loses its half pixel and a position a little left of the edge is still 0.
TEST_F(ViewportsTest, RectanglesFollowTheDisplaySizeAndShareOneClipVolume) {
  const std::vector<DisplayCase> displays = {
      {640, 480,
       {{{-1, -1, 1, 1}, {0, 0, 640, 480}},
        {{0, 0, 1, 1}, {320, 240, 320, 240}},
        {{-0.5f, -0.5f, 0.5f, 0.5f}, {160, 120, 320, 240}},
        {{-0.999f, -1, 1, 0}, {0, 0, 640, 240}},
        {{-1.001f, -1, 1, 1}, {0, 0, 640, 480}}}},
      {333, 217,
       {{{-1, -1, 1, 1}, {0, 0, 333, 217}},
        {{0, 0, 1, 1}, {166, 108, 167, 109}},
        {{-0.5f, -0.5f, 0.5f, 0.5f}, {83, 54, 166, 108}},
        {{-0.999f, -1, 1, 0}, {0, 0, 333, 108}}}},
      {800, 600,
       {{{-1, -1, 1, 1}, {0, 0, 800, 600}},
        {{0, 0, 1, 1}, {400, 300, 400, 300}},
        {{-0.5f, -0.5f, 0.5f, 0.5f}, {200, 150, 400, 300}},
        {{-0.999f, -1, 1, 0}, {0, 0, 800, 300}}}},
  };
  for (const DisplayCase& display : displays) {
    SCOPED_TRACE(std::to_string(display.width) + "x" + std::to_string(display.height));
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice(display.width, display.height));
    // The default viewport covers the whole display.
    EXPECT_EQ(Rectangle(0), (std::vector<DWORD>{0, 0, DWORD(display.width), DWORD(display.height)}));
    for (const RectangleCase& c : display.cases) {
      int handle = KR3DCreateViewport(c.corners.x1, c.corners.y1, c.corners.x2, c.corners.y2);
      ASSERT_EQ(handle, 1);
      EXPECT_EQ(Rectangle(handle), c.rectangle) << c.corners.x1 << ", " << c.corners.y1;
      const D3DVIEWPORT2& kept = g_kr3D.lpViewports[handle].desc;
      sim::Direct3DViewportInfo given = sim::DescribeDirect3DViewport(ViewportInterface(handle));
      EXPECT_EQ(memcmp(&kept, &given.data, sizeof(kept)), 0) << "the table keeps what the platform was given";
      EXPECT_EQ(kept.dwSize, sizeof(D3DVIEWPORT2));
      EXPECT_EQ((std::vector<float>{kept.dvClipX, kept.dvClipY, kept.dvClipWidth, kept.dvClipHeight, kept.dvMinZ,
                                    kept.dvMaxZ}),
                (std::vector<float>{-1.0f, 0.75f, 2.0f, 1.5f, 0.0f, 1.0f}));
      KR3DReleaseViewport(handle);
    }
    // The next size needs a new mode: the device and the component go first.
    KR3DCleanup();
  }
}

TEST_F(ViewportsTest, SetMovesAViewportAndAFailedSetKeepsTheNewDescription) {
  StartModeAndDevice();
  int handle = KR3DCreateViewport(-1, -1, 0, 0);
  ASSERT_EQ(handle, 1);
  EXPECT_EQ(KR3DSetViewport(handle, 0, 0, 1, 1), 1);
  EXPECT_EQ(Rectangle(handle), (std::vector<DWORD>{320, 240, 320, 240}));
  EXPECT_EQ(KR3DSetViewport(0, -1, -1, 0, 1), 1) << "the default viewport may be set too";
  EXPECT_EQ(Rectangle(0), (std::vector<DWORD>{0, 0, 320, 480}));

  sim::FailNext("IDirect3DViewport3::SetViewport2", DDERR_INVALIDPARAMS);
  EXPECT_EQ(KR3DSetViewport(handle, -0.5f, -0.5f, 0.5f, 0.5f), 0);
  ExpectLastError(kSetViewportFailed, "KR3D : Viewportの設定に失敗しました");
  EXPECT_EQ(Rectangle(handle), (std::vector<DWORD>{320, 240, 320, 240})) << "the platform kept the old one";
  const D3DVIEWPORT2& kept = g_kr3D.lpViewports[handle].desc;
  EXPECT_EQ(kept.dwX, 160u);
  EXPECT_EQ(kept.dwWidth, 320u);
  // Corners far off the screen stop at the int range's ends, and so does the size; NaN counts as 0.
  const float inf = INFINITY;
  const struct {
    Corners corners;
    std::vector<DWORD> rectangle;
  } far[] = {{{-inf, -inf, inf, inf}, {0x80000000u, 0x80000000u, 0x7FFFFFFFu, 0x7FFFFFFFu}},
             {{-6.8e6f, NAN, 1, 1}, {0x80000000u, 0, 0x7FFFFFFFu, 480}},
             {{1, 1, -inf, -1e7f}, {640, 480, 0x80000000u, 0x80000000u}}};
  for (const auto& c : far) {
    EXPECT_EQ(KR3DSetViewport(handle, c.corners.x1, c.corners.y1, c.corners.x2, c.corners.y2), 1);
    EXPECT_EQ(Rectangle(handle), c.rectangle) << c.corners.x1;
  }
  KR3DReleaseViewport(handle);
}

TEST_F(ViewportsTest, HandlesAreReusedLowestFirstUntilTheTableIsFull) {
  StartModeAndDevice();
  const int viewportsBefore = sim::LiveDirect3DViewports();
  ASSERT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 1);
  ASSERT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 2);
  IDirect3DViewport3* first = ViewportInterface(1);
  KR3DReleaseViewport(1);
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::DeleteViewport").size(), 1u);
  EXPECT_FALSE(sim::DescribeDirect3DViewport(first).live) << "released by the device and by the table";
  EXPECT_EQ(ViewportInterface(1), nullptr);
  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 1);

  for (int expected = 3; expected < KR3D_VIEWPORT_MAX; ++expected)
    ASSERT_EQ(KR3DCreateViewport(-1, -1, 1, 1), expected);
  EXPECT_EQ(sim::LiveDirect3DViewports(), viewportsBefore + 127);

  // A full table writes a warning and leaves the last code as it was.
  EXPECT_EQ(KR3DSetViewport(KR3D_VIEWPORT_MAX, 0, 0, 1, 1), 0);
  ASSERT_EQ(KRErrorGetLastError(), kInvalidValue);
  Forget();
  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 0);
  EXPECT_TRUE(Logged("KR3D Warning : Could not create Viewport(Maximumed out)."));
  EXPECT_EQ(KRErrorGetLastError(), kInvalidValue);
  EXPECT_EQ(DeviceCalls(), 0);

  for (int handle = 1; handle < KR3D_VIEWPORT_MAX; ++handle) KR3DReleaseViewport(handle);
  EXPECT_EQ(sim::LiveDirect3DViewports(), viewportsBefore);
}

TEST_F(ViewportsTest, FailedCreationsLeaveNoViewportBehind) {
  StartModeAndDevice();
  const int viewportsBefore = sim::LiveDirect3DViewports();

  sim::FailNext("IDirect3D3::CreateViewport", DDERR_OUTOFMEMORY);
  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 0);
  ExpectLastError(kCreateViewportFailed, "KR3D : Viewportの生成に失敗しました");
  EXPECT_TRUE(Logged("DDERR_OUTOFMEMORY"));

  Forget();
  sim::FailNext("IDirect3DDevice3::AddViewport", DDERR_INVALIDOBJECT);
  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateViewportFailed);
  EXPECT_TRUE(Logged("DDERR_INVALIDOBJECT"));
  EXPECT_EQ(sim::LiveDirect3DViewports(), viewportsBefore);

  // A refused rectangle: the new viewport comes off the device and goes; its code replaces 0x3104.
  Forget();
  sim::FailNext("IDirect3DViewport3::SetViewport2", DDERR_INVALIDPARAMS);
  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateViewportFailed);
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::DeleteViewport").size(), 1u);
  EXPECT_EQ(ViewportInterface(1), nullptr);
  EXPECT_EQ(sim::LiveDirect3DViewports(), viewportsBefore);

  EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 1) << "the slot is free again";
  KR3DReleaseViewport(1);
}

// The default viewport belongs to the device; handles outside the table act as
// empty slots: a warning each, nothing read or written beyond the table.
TEST_F(ViewportsTest, HandlesNamingNoViewportOnlyWarn) {
  StartModeAndDevice();
  for (int handle : {5, -1, KR3D_VIEWPORT_MAX, 100000}) {
    SCOPED_TRACE(handle);
    Forget();
    EXPECT_EQ(KR3DSetViewport(handle, 0, 0, 1, 1), 0);
    ExpectLastError(kInvalidValue, "KR3D : 不正な値です");
    EXPECT_TRUE(Logged("KR3D Warning : Set viewport to NULL Viewport(" + std::to_string(handle) + ")."));
    KR3DReleaseViewport(handle);
    EXPECT_TRUE(Logged("KR3D Warning : You did release NULL or ills Viewport(" + std::to_string(handle) + ")."));
    EXPECT_EQ(DeviceCalls(), 0);
  }

  Forget();
  KR3DReleaseViewport(0);
  EXPECT_TRUE(Logged("KR3D Warning : You did release NULL or ills Viewport(0)."));
  EXPECT_EQ(DeviceCalls(), 0);
  EXPECT_EQ(KR3DBeginRender(0), 1) << "the default viewport stays usable";
  EXPECT_EQ(KR3DEndRender(), 1);
}

// Without a device to add them to, viewport calls make no platform call: not
// before the device is started, not when its start-up failed before the device
// existed, not with the 3D component stopped.
TEST_F(ViewportsTest, WithoutADeviceViewportCallsReachNothing) {
  auto expectNothingReached = [this](const char* state) {
    SCOPED_TRACE(state);
    Forget();
    EXPECT_EQ(KR3DCreateViewport(-1, -1, 1, 1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateViewportFailed);
    EXPECT_EQ(KR3DSetViewport(0, -1, -1, 1, 1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kInvalidValue);
    EXPECT_TRUE(Logged("KR3D Warning : Set viewport to NULL Viewport(0)."));
    KR3DReleaseViewport(1);
    EXPECT_TRUE(Logged("KR3D Warning : You did release NULL or ills Viewport(1)."));
    EXPECT_EQ(DeviceCalls(), 0);
  };

  ForEachStateWithoutADevice(expectNothingReached);
}

}  // namespace
