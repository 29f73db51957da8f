// KR3DRenderFast: its calls, the screen-space vertices on two display sizes,
// texture pairs present, absent and too few, the vertex limit, frames untouched.
#include <cmath>
#include <string>
#include <vector>

#include "render3d/objects_fixture.h"

namespace {

class RenderFastTest : public ObjectsTest {
 protected:
  // A view and projection that move, scale and divide, so that every step shows.
  void SetCamera() {
    KR3DMATRIX view;
    view.SetTranslate(0, 0, 3);
    KR3DMATRIX projection;
    projection.SetProjection(1.0f, 10.0f, 1.2f);
    KR3DSetViewMatrix(&view);
    KR3DSetProjectionMatrix(&projection);
    view_ = view;
    projection_ = projection;
  }

  // Where the library's own mapping puts a model position of an object at `local`.
  D3DVECTOR Projected(KR3DMATRIX local, const float* position) {
    D3DVECTOR p = local.Transform(position[0], position[1], position[2]);
    p = view_.Transform(p);
    p = projection_.Transform(p);
    return p;
  }

  static std::vector<D3DTLVERTEX> Drawn() {
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    EXPECT_EQ(draws.size(), 1u);
    return draws.empty() ? std::vector<D3DTLVERTEX>() : draws.back().Vertices<D3DTLVERTEX>();
  }

  void ExpectScreenVertices(float halfWidth, float halfHeight) {
    SetCamera();
    int model = Model(), texture = Texture();
    KR3DMATRIX local;
    local.SetRotateY(0.5f);
    TestObject object = Object(&model, &texture, nullptr, 0, local);
    Forget();
    KR3DRenderFast(&object);
    const ModelDescription square = SquareModel();
    std::vector<D3DTLVERTEX> drawn = Drawn();
    ASSERT_EQ(drawn.size(), 6u);
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      const D3DVECTOR p = Projected(local, &square.positions[3 * square.indices[i]]);
      EXPECT_FLOAT_EQ(drawn[i].sx, (p.x + 1.0f) * halfWidth);
      EXPECT_FLOAT_EQ(drawn[i].sy, (1.0f - p.y) * halfHeight);
      EXPECT_FLOAT_EQ(drawn[i].sz, p.z);
      EXPECT_EQ(drawn[i].rhw, 1.0f);
      EXPECT_EQ(drawn[i].color, 0x00FFFFFFu);
      EXPECT_EQ(drawn[i].specular, 0u);
      EXPECT_EQ(drawn[i].tu, square.texUV[2 * i]);
      EXPECT_EQ(drawn[i].tv, square.texUV[2 * i + 1]);
    }
  }

  // A model of three vertices and `indices` indices going round them.
  int LongModel(int indices) {
    ModelDescription m;
    m.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    for (int i = 0; i < indices; ++i) m.indices.push_back(static_cast<uint16_t>(i % 3));
    return Model(m);
  }

  KR3DMATRIX view_, projection_;
};

TEST_F(RenderFastTest, StatesThenOneUnclippedScreenSpaceDrawWithoutMaterialOrTransform) {
  int model = Model(), texture = Texture();
  TestObject object = Object(&model, &texture, nullptr, KR3DOBJECT_ZBUFFER | KR3DOBJECT_TRANSLUCENT);
  object.frame.bDirty = 1;
  Forget();
  KR3DRenderFast(&object);
  EXPECT_EQ(DeviceCallNames(), (std::vector<std::string>{"SetTexture", "SetRenderState", "SetRenderState",
                                                         "SetRenderState", "SetRenderState", "SetRenderState",
                                                         "SetRenderState", "DrawPrimitive"}));
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderState"),
            (std::vector<std::string>{StateArg(D3DRENDERSTATE_ZENABLE, 1), StateArg(D3DRENDERSTATE_ZWRITEENABLE, 0),
                                      StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1),
                                      StateArg(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA),
                                      StateArg(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA),
                                      StateArg(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATE)}));
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(Kind(draws[0]), (std::vector<DWORD>{0, D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, D3DDP_DONOTCLIP, 6}));
  EXPECT_EQ(draws[0].texture, TextureInterface(texture));
  EXPECT_EQ(object.frame.bDirty, 1) << "no frame is touched";
  EXPECT_EQ(object.frame.matWorld._11, 0.0f);
}

TEST_F(RenderFastTest, MapsOntoHalfTheDisplay) { ExpectScreenVertices(320.0f, 240.0f); }

class RenderFastLargeDisplayTest : public RenderFastTest {
 protected:
  unsigned long DisplayWidth() const override { return 800; }
  unsigned long DisplayHeight() const override { return 600; }
};

TEST_F(RenderFastLargeDisplayTest, MapsOntoHalfTheDisplay) { ExpectScreenVertices(400.0f, 300.0f); }

TEST_F(RenderFastTest, WithoutPairsOrBeyondThemTheBufferKeepsItsTextureCoordinates) {
  int plain = Model(SquareModel(false));
  TestObject object = Object(&plain);
  KR3DRenderFast(&object);
  for (const D3DTLVERTEX& v : Drawn()) {
    EXPECT_EQ(v.tu, 0.0f) << "zero right after start-up";
    EXPECT_EQ(v.tv, 0.0f);
  }

  int paired = Model();
  object.lpModel = &paired;
  KR3DRenderFast(&object);
  sim::ClearDirect3DRecord();
  object.lpModel = &plain;
  KR3DRenderFast(&object);
  const ModelDescription square = SquareModel();
  std::vector<D3DTLVERTEX> kept = Drawn();
  ASSERT_EQ(kept.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(kept[i].tu, square.texUV[2 * i]) << i;

  // Four pairs for six indices: the last two positions keep what they held.
  ModelDescription fewer = SquareModel();
  fewer.texUV = {0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f, 1.0f};
  int short_pairs = Model(fewer);
  object.lpModel = &short_pairs;
  sim::ClearDirect3DRecord();
  KR3DRenderFast(&object);
  std::vector<D3DTLVERTEX> partly = Drawn();
  ASSERT_EQ(partly.size(), 6u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(partly[i].tv, fewer.texUV[2 * i + 1]) << i;
  for (int i = 4; i < 6; ++i) EXPECT_EQ(partly[i].tv, square.texUV[2 * i + 1]) << i;
}

TEST_F(RenderFastTest, VertexLimitWarnsAtExactlyItAndDrawsNoMore) {
  struct Case {
    int indices;
    DWORD drawn;
    bool warned;
  };
  const Case cases[] = {{32767, 32767, false}, {32768, 32768, true}, {32769, 32768, true}, {40000, 32768, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.indices);
    int model = LongModel(c.indices);
    TestObject object = Object(&model);
    Forget();
    KR3DRenderFast(&object);
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertexCount, c.drawn);
    EXPECT_EQ(Logged("KR3D Warning : TLVertices over"), c.warned);
    KR3DReleaseModel(model);
  }
}

TEST_F(RenderFastTest, ChainBindsEachObjectsTexture) {
  int model = Model(), first = Texture(), second = Texture();
  TestObject a = Object(&model, &first), b = Object(&model, &second), c = Object(&model);
  a.lpNext = &b;
  b.lpNext = &c;
  KR3DRenderFast(&a);
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].texture, TextureInterface(first));
  EXPECT_EQ(draws[1].texture, TextureInterface(second));
  EXPECT_EQ(draws[2].texture, nullptr);
}

}  // namespace
