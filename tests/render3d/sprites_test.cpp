// Sprites: the scene set-up in order, the vertices of a rectangle, textures that
// name nothing, the batch skipping entries, the fast batch's strip decoded into
// its triangles for 1, 2, 8192 and more rectangles, empty counts, failures
// logged by name, and no device.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "render3d/objects_fixture.h"
#include "support/strip_triangles.h"

namespace {

class SpritesTest : public ObjectsTest {
 protected:
  bool DrawsInAScene() const override { return false; }

  static std::vector<std::string> SetUpCalls(bool withTexture) {
    std::vector<std::string> calls = {"BeginScene",     "SetCurrentViewport", "SetRenderState", "SetRenderState",
                                      "SetRenderState", "SetRenderState",     "SetClipStatus"};
    if (withTexture) calls.push_back("SetTexture");
    return calls;
  }

  static std::vector<std::string> Then(std::vector<std::string> calls, const std::vector<std::string>& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
  }

  static void ExpectRectangle(const D3DTLVERTEX* v, float x0, float y0, float x1, float y1, float u0, float v0,
                              float u1, float v1) {
    const float expected[4][4] = {{x0, y0, u0, v0}, {x1, y0, u1, v0}, {x0, y1, u0, v1}, {x1, y1, u1, v1}};
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(v[i].sx, expected[i][0]);
      EXPECT_EQ(v[i].sy, expected[i][1]);
      EXPECT_FLOAT_EQ(v[i].tu, expected[i][2]);
      EXPECT_FLOAT_EQ(v[i].tv, expected[i][3]);
      EXPECT_EQ(v[i].sz, 1.0f);
      EXPECT_EQ(v[i].rhw, 1.0f);
      EXPECT_EQ(v[i].color, 0x00000000u) << "black: ADD leaves the texel as it is";
      EXPECT_EQ(v[i].specular, 0u);
    }
  }

  // Twice the signed area of a triangle on the screen.
  static float Winding(const std::vector<D3DTLVERTEX>& v, const std::array<WORD, 3>& t) {
    return (v[t[1]].sx - v[t[0]].sx) * (v[t[2]].sy - v[t[0]].sy) -
           (v[t[2]].sx - v[t[0]].sx) * (v[t[1]].sy - v[t[0]].sy);
  }

  // `count` rectangles of 2 x 2 texels, 3 pixels apart in rows of 100.
  static std::vector<KR3DDRAWSPRITEFAST> Rectangles(int count) {
    std::vector<KR3DDRAWSPRITEFAST> sprites;
    for (int i = 0; i < count; ++i) sprites.push_back({i % 4, 0, 2, 2, (i % 100) * 3, (i / 100) * 3});
    return sprites;
  }

  // Each draw of the fast batch holds exactly two triangles per rectangle, the
  // rectangle's own, in order and all of one winding.
  static void ExpectSeparateRectangles(const sim::Direct3DDraw& draw, int rectangles) {
    EXPECT_EQ(Kind(draw),
              (std::vector<DWORD>{1, D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, D3DDP_WAIT, DWORD(4 * rectangles)}));
    EXPECT_EQ(draw.indices.size(), static_cast<size_t>(6 * rectangles - 2));
    std::vector<std::array<WORD, 3>> triangles = StripTriangles(draw.indices);
    ASSERT_EQ(triangles.size(), static_cast<size_t>(2 * rectangles));
    std::vector<D3DTLVERTEX> vertices = draw.Vertices<D3DTLVERTEX>();
    const float winding = Winding(vertices, triangles[0]);
    EXPECT_NE(winding, 0.0f);
    for (int r = 0; r < rectangles; ++r) {
      std::array<WORD, 3> first = triangles[2 * r], second = triangles[2 * r + 1];
      std::sort(first.begin(), first.end());
      std::sort(second.begin(), second.end());
      const WORD base = static_cast<WORD>(4 * r);
      ASSERT_EQ(first, (std::array<WORD, 3>{base, WORD(base + 1), WORD(base + 2)})) << "rectangle " << r;
      ASSERT_EQ(second, (std::array<WORD, 3>{WORD(base + 1), WORD(base + 2), WORD(base + 3)})) << "rectangle " << r;
      ASSERT_EQ(Winding(vertices, triangles[2 * r]), winding) << "rectangle " << r;
      ASSERT_EQ(Winding(vertices, triangles[2 * r + 1]), winding) << "rectangle " << r;
    }
  }
};

TEST_F(SpritesTest, SpriteIsASceneOfItsOwnWithTheStatesLeftSet) {
  const int texture = Texture(64, 32);
  Forget();
  KR3DDrawSprite(16, 8, 32, 16, texture, 100, 50, 0);
  EXPECT_EQ(DeviceCallNames(), Then(SetUpCalls(true), {"DrawPrimitive", "EndScene"}));
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderState"),
            (std::vector<std::string>{StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1),
                                      StateArg(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE),
                                      StateArg(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE),
                                      StateArg(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_ADD)}));
  sim::Direct3DDeviceInfo device = sim::DescribeDirect3DDevice(g_kr3D.lpDevice);
  EXPECT_EQ(device.clipStatus.dwFlags, static_cast<DWORD>(D3DCLIPSTATUS_EXTENTS2));
  EXPECT_EQ(device.clipStatus.dwStatus, 0u);
  EXPECT_EQ(device.clipStatus.minx, 2048.0f);
  EXPECT_EQ(device.clipStatus.maxx, 0.0f);
  EXPECT_EQ(device.clipStatus.miny, 2048.0f);
  EXPECT_EQ(device.clipStatus.maxy, 0.0f);
  EXPECT_EQ(device.clipStatus.minz, 0.0f);
  EXPECT_EQ(device.clipStatus.maxz, 0.0f);
  EXPECT_FALSE(device.inScene);
  EXPECT_EQ(device.currentViewport, ViewportInterface(0));
  EXPECT_EQ(device.texture, TextureInterface(texture));
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_TEXTUREMAPBLEND), static_cast<DWORD>(D3DTBLEND_ADD));

  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_TRUE(draws[0].inScene);
  EXPECT_EQ(Kind(draws[0]), (std::vector<DWORD>{0, D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, D3DDP_WAIT, 4}));
  EXPECT_EQ(draws[0].texture, TextureInterface(texture));
  std::vector<D3DTLVERTEX> v = draws[0].Vertices<D3DTLVERTEX>();
  ASSERT_EQ(v.size(), 4u);
  ExpectRectangle(v.data(), 100, 50, 132, 66, 0.25f, 0.25f, 0.75f, 0.75f);
  EXPECT_EQ(sim::DebugOutput(), "");
}

TEST_F(SpritesTest, TextureThatNamesNothingMakesNoDeviceCall) {
  const int released = Texture();
  KR3DReleaseTexture(released);
  KR3DDRAWSPRITEFAST one = {0, 0, 1, 1, 0, 0};
  const int handles[] = {0, -1, 128, 5000, released};
  for (int handle : handles) {
    SCOPED_TRACE(handle);
    Forget();
    KR3DDrawSprite(0, 0, 1, 1, handle, 0, 0, 0);
    KR3DDrawSpriteFastBatch(&one, 1, handle, 0);
    EXPECT_EQ(DeviceCalls(), 0);
  }
}

TEST_F(SpritesTest, BatchSkipsEntriesWithoutTextureAndBindsEachOnesOwn) {
  const int first = Texture(4, 4), gone = Texture(), third = Texture(8, 2);
  KR3DReleaseTexture(gone);
  std::vector<KR3DDRAWSPRITE> sprites = {{0, 0, 4, 4, first, 10, 20},
                                         {0, 0, 4, 4, gone, 30, 40},
                                         {0, 0, 1, 1, 0, 0, 0},
                                         {2, 1, 4, 1, third, 7, 9}};
  Forget();
  KR3DDrawSpriteBatch(sprites.data(), static_cast<int>(sprites.size()), 0);
  EXPECT_EQ(DeviceCallNames(),
            Then(SetUpCalls(false), {"SetTexture", "DrawPrimitive", "SetTexture", "DrawPrimitive", "EndScene"}));
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].texture, TextureInterface(first));
  EXPECT_EQ(draws[1].texture, TextureInterface(third));
  ExpectRectangle(draws[0].Vertices<D3DTLVERTEX>().data(), 10, 20, 14, 24, 0, 0, 1, 1);
  ExpectRectangle(draws[1].Vertices<D3DTLVERTEX>().data(), 7, 9, 11, 10, 0.25f, 0.5f, 0.75f, 1.0f);
}

TEST_F(SpritesTest, EmptyCountsMakeAnEmptyScene) {
  const int texture = Texture();
  KR3DDRAWSPRITEFAST fast = {0, 0, 1, 1, 0, 0};
  KR3DDRAWSPRITE entry = {0, 0, 1, 1, texture, 0, 0};
  for (int count : {0, -1, -100}) {
    SCOPED_TRACE(count);
    Forget();
    KR3DDrawSpriteBatch(&entry, count, 0);
    EXPECT_EQ(DeviceCallNames(), Then(SetUpCalls(false), {"EndScene"}));
    Forget();
    KR3DDrawSpriteFastBatch(&fast, count, texture, 0);
    EXPECT_EQ(DeviceCallNames(), Then(SetUpCalls(true), {"EndScene"}));
  }
}

TEST_F(SpritesTest, FastBatchDrawsEachRectangleAloneInOneIndexedStrip) {
  const int texture = Texture(4, 2);
  for (int count : {1, 2, 8192}) {
    SCOPED_TRACE(count);
    std::vector<KR3DDRAWSPRITEFAST> sprites = Rectangles(count);
    Forget();
    KR3DDrawSpriteFastBatch(sprites.data(), count, texture, 0);
    EXPECT_EQ(DeviceCallNames(), Then(SetUpCalls(true), {"DrawIndexedPrimitive", "EndScene"}));
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].texture, TextureInterface(texture));
    ASSERT_NO_FATAL_FAILURE(ExpectSeparateRectangles(draws[0], count));
    std::vector<D3DTLVERTEX> v = draws[0].Vertices<D3DTLVERTEX>();
    const int last = count - 1;
    ExpectRectangle(&v[4 * last], float((last % 100) * 3), float((last / 100) * 3), float((last % 100) * 3 + 2),
                    float((last / 100) * 3 + 2), (last % 4) / 4.0f, 0, (last % 4 + 2) / 4.0f, 1);
  }
}

TEST_F(SpritesTest, MoreThan8192RectanglesGoInFurtherDrawsOfTheSameScene) {
  const int texture = Texture(4, 2);
  std::vector<KR3DDRAWSPRITEFAST> sprites = Rectangles(20000);
  Forget();
  KR3DDrawSpriteFastBatch(sprites.data(), 20000, texture, 0);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::BeginScene"), 1);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::EndScene"), 1);
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 3u);
  const int runs[] = {8192, 8192, 20000 - 2 * 8192};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(draws[i].inScene);
    ASSERT_NO_FATAL_FAILURE(ExpectSeparateRectangles(draws[i], runs[i]));
  }
  // The second run starts with rectangle 8192.
  std::vector<D3DTLVERTEX> v = draws[1].Vertices<D3DTLVERTEX>();
  EXPECT_EQ(v[0].sx, float((8192 % 100) * 3));
  EXPECT_EQ(v[0].sy, float((8192 / 100) * 3));

  sim::ClearDirect3DRecord();
  KR3DDrawSpriteFastBatch(sprites.data(), 8193, texture, 0);
  draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 2u);
  ASSERT_NO_FATAL_FAILURE(ExpectSeparateRectangles(draws[1], 1));
}

TEST_F(SpritesTest, FailedDrawsAndSceneEndsWriteTheirNames) {
  const int texture = Texture();
  KR3DDRAWSPRITE entry = {0, 0, 1, 1, texture, 0, 0};
  KR3DDRAWSPRITEFAST fast[2] = {{0, 0, 1, 1, 0, 0}, {0, 0, 1, 1, 5, 5}};

  sim::FailNext("IDirect3DDevice3::DrawPrimitive", DDERR_SURFACELOST);
  KR3DDrawSprite(0, 0, 1, 1, texture, 0, 0, 0);
  sim::FailNext("IDirect3DDevice3::DrawPrimitive", D3DERR_INVALIDVERTEXTYPE);
  KR3DDrawSpriteBatch(&entry, 1, 0);
  sim::FailNext("IDirect3DDevice3::DrawIndexedPrimitive", DDERR_INVALIDPARAMS);
  KR3DDrawSpriteFastBatch(fast, 2, texture, 0);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"DDERR_SURFACELOST", "D3DERR_INVALIDVERTEXTYPE",
                                                  "DDERR_INVALIDPARAMS"}));

  // A failed scene end is written too; the device stays in its scene as the device says.
  sim::ClearDebugOutput();
  sim::FailNext("IDirect3DDevice3::EndScene", D3DERR_SCENE_NOT_IN_SCENE);
  KR3DDrawSprite(0, 0, 1, 1, texture, 0, 0, 0);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"D3DERR_SCENE_NOT_IN_SCENE"}));
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

class SpritesWithoutDeviceTest : public FrameTest {};

TEST_F(SpritesWithoutDeviceTest, SpriteCallsReachNoDevice) {
  KR3DDRAWSPRITE entry = {0, 0, 1, 1, 1, 0, 0};
  KR3DDRAWSPRITEFAST fast = {0, 0, 1, 1, 0, 0};
  ForEachStateWithoutADevice([&](const char* state) {
    SCOPED_TRACE(state);
    Forget();
    KR3DDrawSprite(0, 0, 1, 1, 1, 0, 0, 0);
    KR3DDrawSpriteBatch(&entry, 1, 0);
    KR3DDrawSpriteFastBatch(&fast, 1, 1, 0);
    EXPECT_EQ(DeviceCalls(), 0);
  });
}

}  // namespace
