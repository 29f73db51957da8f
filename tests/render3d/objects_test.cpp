// Objects: the calls and values of one object in both array forms, chains,
// handle variables read at every draw, free slots, objects without a model or
// frame, world matrices along frame chains, sphere mapping, normal lines,
// the normal switch, and calls without a device.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render3d/objects_fixture.h"

namespace {

const float kPi = 3.14159265f;

class ObjectRenderTest : public ObjectsTest {};

TEST_F(ObjectRenderTest, OneObjectMakesItsCallsInOrderWithItsValues) {
  int model = Model(), texture = Texture(), material = Material();
  TestObject object = Object(&model, &texture, &material, KR3DOBJECT_TRANSLUCENT | KR3DOBJECT_ZBUFFER,
                                Translation(1, 2, 3));
  object.dwSrcBlend = D3DBLEND_ONE;
  object.dwDestBlend = D3DBLEND_ZERO;
  object.dwTextureBlend = D3DTBLEND_DECAL;
  Forget();
  KR3DRender(&object);

  EXPECT_EQ(DeviceCallNames(),
            (std::vector<std::string>{"SetRenderState", "SetRenderState", "SetRenderState", "SetTexture",
                                      "SetLightState", "SetRenderState", "SetRenderState", "SetRenderState",
                                      "SetTransform", "GetTransform", "DrawIndexedPrimitive"}));
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderState"),
            (std::vector<std::string>{StateArg(D3DRENDERSTATE_ZENABLE, 1), StateArg(D3DRENDERSTATE_ZWRITEENABLE, 0),
                                      StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1),
                                      StateArg(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE),
                                      StateArg(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO),
                                      StateArg(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL)}));
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 1u);
  const sim::Direct3DDraw& draw = draws[0];
  EXPECT_EQ(Kind(draw), (std::vector<DWORD>{1, D3DPT_TRIANGLELIST, D3DFVF_VERTEX, D3DDP_DONOTUPDATEEXTENTS, 4}));
  EXPECT_EQ(draw.indices, (std::vector<WORD>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(draw.texture, TextureInterface(texture));
  EXPECT_EQ(draw.material, MaterialHandle(material));
  EXPECT_NE(draw.material, 0u);
  EXPECT_TRUE(SameMatrix(draw.world, Translation(1, 2, 3)));
  // Nothing is restored afterwards.
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ZWRITEENABLE), 0u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
}

TEST_F(ObjectRenderTest, PerIndexFormDrawsOneVertexPerIndexWithoutIndices) {
  int model = Model(SquareModel(), 0);
  TestObject object = Object(&model);
  KR3DRender(&object);
  const std::vector<std::string> states = ArgumentsOf("IDirect3DDevice3::SetRenderState");
  EXPECT_EQ(std::vector<std::string>(states.begin(), states.begin() + 3),
            (std::vector<std::string>{StateArg(D3DRENDERSTATE_ZENABLE, 0), StateArg(D3DRENDERSTATE_ZWRITEENABLE, 1),
                                      StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 0)}));
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(Kind(draws[0]), (std::vector<DWORD>{0, D3DPT_TRIANGLELIST, D3DFVF_VERTEX, D3DDP_DONOTUPDATEEXTENTS, 6}));
  EXPECT_EQ(draws[0].texture, nullptr);
  EXPECT_EQ(draws[0].material, 0u);
}

TEST_F(ObjectRenderTest, ArrayFormDecidesTheDrawNotTheBuildFlags) {
  int model = Model(SquareModel(), KR3DMODEL_INDEXED);
  KR3DBuildModelLVertex(model);  // one vertex per index; the build flags still say indexed
  TestObject object = Object(&model);
  KR3DRender(&object);
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_FALSE(draws[0].indexed);
  EXPECT_EQ(draws[0].vertexCount, 6u);
}

TEST_F(ObjectRenderTest, ChainDrawsEachObjectWithItsOwnHandlesReadAtEveryDraw) {
  int square = Model(), flat = Model(SquareModel(), 0);
  int first = Texture(), second = Texture(8, 8), material = Material();
  TestObject a = Object(&square, &first, &material, KR3DOBJECT_ZBUFFER);
  TestObject b = Object(&flat, nullptr, nullptr, KR3DOBJECT_TRANSLUCENT);
  TestObject c = Object(&square, &second, &material, 0);
  a.lpNext = &b;
  b.lpNext = &c;
  KR3DRender(&a);
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].texture, TextureInterface(first));
  EXPECT_EQ(draws[0].material, MaterialHandle(material));
  EXPECT_EQ(draws[0].RenderState(D3DRENDERSTATE_ZENABLE), 1u);
  EXPECT_EQ(draws[1].texture, nullptr);
  EXPECT_EQ(draws[1].material, 0u);
  EXPECT_EQ(draws[1].RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(draws[1].RenderState(D3DRENDERSTATE_ZWRITEENABLE), 0u);
  EXPECT_FALSE(draws[1].indexed);
  EXPECT_EQ(draws[2].texture, TextureInterface(second));
  EXPECT_EQ(draws[2].RenderState(D3DRENDERSTATE_ZENABLE), 0u);

  // The variables, not their values at filing, name what is drawn.
  sim::ClearDirect3DRecord();
  first = second;
  square = flat;
  KR3DRender(&a);
  draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].texture, TextureInterface(second));
  EXPECT_FALSE(draws[0].indexed);
}

TEST_F(ObjectRenderTest, FreeAndOutOfRangeSlotsGiveNoTextureAndMaterialZero) {
  int model = Model(), released = Texture(), material = Material();
  KR3DReleaseTexture(released);
  KR3DReleaseMaterial(material);
  ASSERT_NE(MaterialHandle(material), 0u) << "the released slot keeps its stale handle";
  const int handles[] = {0, -1, 128, 1000, released};
  for (int handle : handles) {
    SCOPED_TRACE(handle);
    sim::ClearDirect3DRecord();
    int texture = handle, materialHandle = handle == released ? material : handle;
    TestObject object = Object(&model, &texture, &materialHandle);
    KR3DRender(&object);
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].texture, nullptr);
    EXPECT_EQ(draws[0].material, 0u);
  }
}

TEST_F(ObjectRenderTest, ObjectWithoutAModelOrFrameGetsItsStatesAndIsPassedOver) {
  int model = Model(), texture = Texture(), material = Material();
  int released = Model();
  KR3DReleaseModel(released);
  int outside[] = {0, -3, 128, released, model + 5};
  std::vector<TestObject> objects;
  for (int& handle : outside) objects.push_back(Object(&handle, &texture, &material));
  objects.push_back(Object(nullptr, &texture, &material));
  TestObject frameless = Object(&model, &texture, &material);
  frameless.lpFrame = nullptr;
  objects.push_back(frameless);
  for (size_t i = 0; i + 1 < objects.size(); ++i) objects[i].lpNext = &objects[i + 1];
  KR3DShowNormal(1, 2.0f);
  Forget();

  KR3DRender(&objects[0]);
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTexture"), static_cast<int>(objects.size()));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetLightState"), static_cast<int>(objects.size()));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderState"), 6 * static_cast<int>(objects.size()));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTransform"), 0);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::GetRenderState"), 0);
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).texture, TextureInterface(texture));
  EXPECT_EQ(sim::DebugOutput(), "");

  Forget();
  KR3DRenderFast(&objects[0]);
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTexture"), static_cast<int>(objects.size()));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetRenderState"), 6 * static_cast<int>(objects.size()));
}

TEST_F(ObjectRenderTest, NullChainAndNoDeviceMakeNoDeviceCall) {
  KR3DRender(nullptr);
  KR3DRenderFast(nullptr);
  EXPECT_EQ(DeviceCalls(), 0);
}

class ObjectWithoutDeviceTest : public FrameTest {};

TEST_F(ObjectWithoutDeviceTest, RenderCallsReachNoDevice) {
  int model = 1, texture = 1;
  tagKR3DOBJECT object;
  memset(static_cast<void*>(&object), 0, sizeof(object));
  object.lpModel = &model;
  object.lpTexture = &texture;
  object.lpFrame = &object.frame;
  ForEachStateWithoutADevice([&](const char* state) {
    SCOPED_TRACE(state);
    Forget();
    KR3DRender(&object);
    KR3DRenderFast(&object);
    KR3DRenderAll();
    EXPECT_EQ(DeviceCalls(), 0);
  });
}

// ---- World matrices ------------------------------------------------------------------------------------------------

class WorldTransformTest : public ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    model_ = Model();
  }
  // The world matrix the object was drawn with.
  D3DMATRIX DrawnWith(tagKR3DOBJECT* object) {
    sim::ClearDirect3DRecord();
    KR3DRender(object);
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    EXPECT_EQ(draws.size(), 1u);
    return draws.empty() ? D3DMATRIX() : draws[0].world;
  }
  static KR3DFRAME Frame(const KR3DMATRIX& local, KR3DFRAME* parent, int dirty = 0) {
    KR3DFRAME frame;
    memset(static_cast<void*>(&frame), 0, sizeof(frame));
    frame.matLocal = local;
    frame.lpParent = parent;
    frame.bDirty = dirty;
    return frame;
  }
  int model_ = 0;
};

TEST_F(WorldTransformTest, RootDirtyTakesItsLocalMatrixCleanOneItsCache) {
  TestObject object = Object(&model_, nullptr, nullptr, 0, Translation(5));
  EXPECT_TRUE(SameMatrix(DrawnWith(&object), Translation(5)));
  EXPECT_TRUE(SameMatrix(object.frame.matWorld, Translation(5)));
  EXPECT_EQ(object.frame.bDirty, 0);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::GetTransform"), 1);

  // A change without the flag is not seen.
  object.frame.matLocal = Translation(9);
  Forget();
  EXPECT_TRUE(SameMatrix(DrawnWith(&object), Translation(5)));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::GetTransform"), 0);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::SetTransform"), 1);

  object.frame.bDirty = 7;
  EXPECT_TRUE(SameMatrix(DrawnWith(&object), Translation(9)));
  EXPECT_EQ(object.frame.bDirty, 0);
}

TEST_F(WorldTransformTest, ChildOfARootIsItsLocalTimesTheRootsCacheWhateverTheFlagsSay) {
  KR3DMATRIX rootWorld;
  rootWorld.SetRotateZ(kPi / 2);
  KR3DFRAME root = Frame(Translation(100), nullptr, 1);  // dirty, but only its cache counts
  root.matWorld = rootWorld;
  TestObject object = Object(&model_, nullptr, nullptr, 0, Translation(1, 2, 3));
  object.frame.lpParent = &root;
  object.frame.bDirty = 0;
  const KR3DMATRIX expected = Product(Translation(1, 2, 3), rootWorld);
  ExpectNear(DrawnWith(&object), expected);
  ExpectNear(object.frame.matWorld, expected);
  EXPECT_EQ(object.frame.bDirty, 0);
  EXPECT_EQ(root.bDirty, 1);
  EXPECT_TRUE(SameMatrix(root.matWorld, rootWorld));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::MultiplyTransform"), 1);
}

TEST_F(WorldTransformTest, DeepChainMultipliesDownFromTheTopsCacheAndCleansEveryFrameBelowIt) {
  KR3DMATRIX top;
  top.SetRotateX(0.3f);
  KR3DMATRIX rotY;
  rotY.SetRotateY(0.7f);
  KR3DFRAME root = Frame(Identity(), nullptr, 1);
  root.matWorld = top;
  KR3DFRAME middle = Frame(rotY, &root, 1);
  KR3DFRAME lower = Frame(Translation(0, 4, 0), &middle, 0);
  TestObject object = Object(&model_, nullptr, nullptr, 0, Translation(2));
  object.frame.lpParent = &lower;

  const KR3DMATRIX middleWorld = Product(rotY, top);
  const KR3DMATRIX lowerWorld = Product(Translation(0, 4, 0), middleWorld);
  const KR3DMATRIX objectWorld = Product(Translation(2), lowerWorld);
  ExpectNear(DrawnWith(&object), objectWorld);
  ExpectNear(middle.matWorld, middleWorld);
  ExpectNear(lower.matWorld, lowerWorld);
  ExpectNear(object.frame.matWorld, objectWorld);
  EXPECT_EQ((std::vector<int>{middle.bDirty, lower.bDirty, object.frame.bDirty}), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(root.bDirty, 1) << "the top is only read";
  EXPECT_TRUE(SameMatrix(root.matWorld, top));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::MultiplyTransform"), 3);
}

TEST_F(WorldTransformTest, ChainDeeperThanSixteenStartsAtTheSixteenthAncestor) {
  // 20 ancestors, each a translation by 1 with a cache of its own index x 1000.
  std::vector<KR3DFRAME> chain(20);
  for (int i = 0; i < 20; ++i) {
    chain[i] = Frame(Translation(1), i + 1 < 20 ? &chain[i + 1] : nullptr, 0);
    chain[i].matWorld = Translation(1000.0f * static_cast<float>(i));
  }
  TestObject object = Object(&model_, nullptr, nullptr, 0, Translation(1));
  object.frame.lpParent = &chain[0];
  // Ancestor 15 (the sixteenth) is the top; fifteen frames below it and the object's add 1 each.
  D3DMATRIX world = DrawnWith(&object);
  EXPECT_FLOAT_EQ(world._41, 15000.0f + 16.0f);
  EXPECT_FLOAT_EQ(chain[14].matWorld._41, 15001.0f);
  EXPECT_FLOAT_EQ(chain[16].matWorld._41, 16000.0f) << "above the top nothing changes";
}

TEST_F(WorldTransformTest, CycleEndsAfterSixteenAncestors) {
  KR3DFRAME a = Frame(Translation(1), nullptr, 0);
  KR3DFRAME b = Frame(Translation(1), &a, 0);
  a.lpParent = &b;
  a.matWorld = Translation(0);
  b.matWorld = Translation(0);
  TestObject object = Object(&model_, nullptr, nullptr, 0, Translation(1));
  object.lpFrame = &a;
  // Ancestors b, a, b, ... ; the sixteenth is a, fifteen translations below it, then a's own.
  D3DMATRIX world = DrawnWith(&object);
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::MultiplyTransform"), 16);
  EXPECT_FLOAT_EQ(world._41, 16.0f);
}

// ---- Sphere mapping ----------------------------------------------------------------------------------------------

class SphereMapTest : public ObjectsTest {
 protected:
  static std::vector<D3DVERTEX> Drawn() {
    std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
    EXPECT_FALSE(draws.empty());
    return draws.empty() ? std::vector<D3DVERTEX>() : draws.back().Vertices<D3DVERTEX>();
  }
  static void ExpectMapped(const D3DVERTEX& v, const D3DMATRIX& m, float nx, float ny, float nz) {
    EXPECT_NEAR(v.tu, (nx * m._11 + ny * m._21 + nz * m._31 + 1.0f) * 0.5f, 1e-6);
    EXPECT_NEAR(v.tv, (1.0f - (nx * m._12 + ny * m._22 + nz * m._32)) * 0.5f, 1e-6);
  }
};

TEST_F(SphereMapTest, ZeroViewGivesHalfEverywherePastSixteenBitsOfVertices) {
  ModelDescription large = SquareModel(false);
  large.positions.resize(3 * 65537);
  large.normals.resize(3 * 65537);
  int model = Model(large);
  TestObject object = Object(&model, nullptr, nullptr, 0, Translation(3));
  object.dwOptions = KR3DOBJECT_ENVMAP;
  KR3DRender(&object);
  const std::vector<D3DVERTEX> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 65537u);
  for (const D3DVERTEX& v : drawn) {
    ASSERT_FLOAT_EQ(v.tu, 0.5f);
    ASSERT_FLOAT_EQ(v.tv, 0.5f);
  }
}

TEST_F(SphereMapTest, ViewTimesLocalMapsTheNormalsIntoTheSharedArray) {
  KR3DMATRIX view;
  view.SetRotateY(0.4f);
  KR3DSetViewMatrix(&view);
  KR3DMATRIX local;
  local.SetRotateX(0.9f);
  const KR3DMATRIX m = Product(view, local);
  KR3DMATRIX parentWorld;
  parentWorld.SetRotateZ(1.2f);
  KR3DFRAME parent;
  memset(static_cast<void*>(&parent), 0, sizeof(parent));
  parent.matWorld = parentWorld;

  int model = Model();
  const ModelDescription square = SquareModel();
  TestObject mapped = Object(&model, nullptr, nullptr, 0, local);
  mapped.dwOptions = KR3DOBJECT_ENVMAP;
  mapped.frame.lpParent = &parent;  // the world matrix plays no part
  KR3DRender(&mapped);
  std::vector<D3DVERTEX> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ExpectMapped(drawn[i], m, square.normals[3 * i], square.normals[3 * i + 1], square.normals[3 * i + 2]);
  }

  // A second object of the same model, without sphere mapping, sees them too.
  TestObject plain = Object(&model);
  KR3DRender(&plain);
  std::vector<D3DVERTEX> second = Drawn();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(second[i].tu == drawn[i].tu && second[i].tv == drawn[i].tv) << i;
  // A rebuild brings the loaded pairs back.
  KR3DBuildModelVertex(model, KR3DMODEL_INDEXED);
  EXPECT_EQ(g_kr3D.lpModels[model].lpVertices[1].tu, 1.0f);
}

TEST_F(SphereMapTest, PerIndexFormTakesTheLoadedNormalOfEachIndex) {
  KR3DMATRIX view;
  view.SetRotateZ(0.5f);
  KR3DSetViewMatrix(&view);
  int model = Model(SquareModel(), 0);
  const ModelDescription square = SquareModel();
  TestObject object = Object(&model);
  object.dwOptions = KR3DOBJECT_ENVMAP;
  KR3DRender(&object);
  std::vector<D3DVERTEX> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const int n = square.indices[i];
    ExpectMapped(drawn[i], view, square.normals[3 * n], square.normals[3 * n + 1], square.normals[3 * n + 2]);
  }
}

// ---- Normal lines --------------------------------------------------------------------------------------------------

class NormalLinesTest : public ObjectsTest {};

TEST_F(NormalLinesTest, StartUpLeavesThemOffWithLengthSixteen) {
  EXPECT_EQ(g_kr3D.bShowNormal, 0);
  EXPECT_EQ(g_kr3D.fNormalLength, 16.0f);
  KR3DShowNormal(-4, -2.5f);  // stored as given
  EXPECT_EQ(g_kr3D.bShowNormal, -4);
  EXPECT_EQ(g_kr3D.fNormalLength, -2.5f);
}

TEST_F(NormalLinesTest, EachVertexGetsAWhiteToBlackLineWithBlendingOffAndRestored) {
  int model = Model(), texture = Texture();
  TestObject object = Object(&model, &texture, nullptr, KR3DOBJECT_TRANSLUCENT, Translation(7));
  KR3DShowNormal(1, 16.0f);
  KR3DRender(&object);
  std::vector<std::string> calls = DeviceCallNames();
  const std::vector<std::string> tail = {"DrawIndexedPrimitive", "GetRenderState", "SetRenderState", "SetTexture",
                                         "DrawPrimitive",        "DrawPrimitive",  "DrawPrimitive",  "DrawPrimitive",
                                         "SetRenderState"};
  ASSERT_GE(calls.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(calls.end() - tail.size(), calls.end()), tail);
  std::vector<std::string> states = ArgumentsOf("IDirect3DDevice3::SetRenderState");
  EXPECT_EQ(states[states.size() - 2], StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 0));
  EXPECT_EQ(states.back(), StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1));
  EXPECT_EQ(sim::DescribeDirect3DDevice(g_kr3D.lpDevice).texture, nullptr) << "the texture stays unbound";

  const ModelDescription square = SquareModel();
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 5u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const sim::Direct3DDraw& line = draws[1 + i];
    EXPECT_EQ(Kind(line), (std::vector<DWORD>{0, D3DPT_LINELIST, D3DFVF_LVERTEX, D3DDP_DONOTUPDATEEXTENTS, 2}));
    EXPECT_EQ(line.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(line.texture, nullptr);
    EXPECT_TRUE(SameMatrix(line.world, Translation(7)));
    std::vector<D3DLVERTEX> v = line.Vertices<D3DLVERTEX>();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(v[1].color, 0xFF000000u);
    EXPECT_EQ(v[0].specular, 0u);
    EXPECT_EQ(v[0].tu, 0.0f);
    const float* p = &square.positions[3 * i];
    const float* n = &square.normals[3 * i];
    EXPECT_EQ((std::vector<float>{v[0].x, v[0].y, v[0].z}), std::vector<float>(p, p + 3));
    EXPECT_FLOAT_EQ(v[1].x, p[0] + n[0] * 16.0f);
    EXPECT_FLOAT_EQ(v[1].y, p[1] + n[1] * 16.0f);
    EXPECT_FLOAT_EQ(v[1].z, p[2] + n[2] * 16.0f);
  }
}

TEST_F(NormalLinesTest, PerIndexFormDrawsOneLinePerIndexAndOpaqueBlendingComesBackOff) {
  int model = Model(SquareModel(), 0);
  TestObject object = Object(&model);
  KR3DShowNormal(1, 0.5f);
  KR3DRender(&object);
  EXPECT_EQ(sim::Direct3DDraws().size(), 7u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
}

}  // namespace
