// The render list: buckets chosen at filing, the four state groups and bucket
// order of KR3DRenderAll, filing order, accumulation until cleared, the empty
// list, a full bucket, released objects, and filing without a device.
#include <string>
#include <vector>

#include "render3d/objects_fixture.h"

namespace {

class RenderListTest : public ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    model_ = Model();
    KR3DClearOrderList();
  }

  // An object told apart in the draws by the x of its world matrix.
  TestObject Numbered(int number, DWORD flags) {
    return Object(&model_, nullptr, nullptr, flags, Translation(static_cast<float>(number)));
  }

  // The numbers of the objects drawn, in order.
  static std::vector<int> DrawnNumbers() {
    std::vector<int> numbers;
    for (const sim::Direct3DDraw& draw : sim::Direct3DDraws()) numbers.push_back(static_cast<int>(draw.world._41));
    return numbers;
  }

  int model_ = 0;
};

const DWORD kT = KR3DOBJECT_TRANSLUCENT;
const DWORD kZ = KR3DOBJECT_ZBUFFER;

TEST_F(RenderListTest, ChainIsFiledInOrderAndDrawnByBucketWithTheBucketsStates) {
  // Other bits of the flags play no part.
  const DWORD flags[] = {kT, kZ, 0x10, kT | kZ, kZ | 0x80, 0, kT | kZ};
  std::vector<TestObject> objects;
  for (int i = 0; i < 7; ++i) objects.push_back(Numbered(i + 1, flags[i]));
  for (int i = 0; i + 1 < 7; ++i) objects[i].lpNext = &objects[i + 1];
  KR3DOrderObject(&objects[0]);
  Forget();
  KR3DRenderAll();

  EXPECT_EQ(DrawnNumbers(), (std::vector<int>{2, 5, 4, 7, 3, 6, 1}));
  struct Expected {
    DWORD z, zWrite, blend;
  };
  const Expected byDraw[] = {{1, 1, 0}, {1, 1, 0}, {1, 0, 1}, {1, 0, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1}};
  std::vector<sim::Direct3DDraw> draws = sim::Direct3DDraws();
  ASSERT_EQ(draws.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(draws[i].RenderState(D3DRENDERSTATE_ZENABLE), byDraw[i].z);
    EXPECT_EQ(draws[i].RenderState(D3DRENDERSTATE_ZWRITEENABLE), byDraw[i].zWrite);
    EXPECT_EQ(draws[i].RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), byDraw[i].blend);
  }
  // The objects set no depth or blend-enable state of their own.
  std::vector<std::string> states = ArgumentsOf("IDirect3DDevice3::SetRenderState");
  EXPECT_EQ(states.size(), 8u + 3u * 7u);
}

TEST_F(RenderListTest, EmptyListSetsTheFourGroupsAndLeavesDepthOffAndBlendingOn) {
  KR3DRenderAll();
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  EXPECT_EQ(ArgumentsOf("IDirect3DDevice3::SetRenderState"),
            (std::vector<std::string>{
                StateArg(D3DRENDERSTATE_ZENABLE, 1), StateArg(D3DRENDERSTATE_ZWRITEENABLE, 1),
                StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 0), StateArg(D3DRENDERSTATE_ZWRITEENABLE, 0),
                StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1), StateArg(D3DRENDERSTATE_ZENABLE, 0),
                StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 0), StateArg(D3DRENDERSTATE_ALPHABLENDENABLE, 1)}));
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ZENABLE), 0u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ZWRITEENABLE), 0u);
  EXPECT_EQ(DeviceState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
}

TEST_F(RenderListTest, ListAccumulatesUntilClearedAndKeepsTheBucketOfFiling) {
  TestObject a = Numbered(1, kZ), b = Numbered(2, 0);
  KR3DOrderObject(&a);
  KR3DOrderObject(&b);
  KR3DOrderObject(&a);  // filed twice, drawn twice
  a.dwFlags = 0;        // no move to another bucket
  KR3DRenderAll();
  KR3DRenderAll();
  EXPECT_EQ(DrawnNumbers(), (std::vector<int>{1, 1, 2, 1, 1, 2}));

  sim::ClearDirect3DRecord();
  KR3DOrderObject(&b);  // appended to what is there
  KR3DRenderAll();
  EXPECT_EQ(DrawnNumbers(), (std::vector<int>{1, 1, 2, 2}));

  sim::ClearDirect3DRecord();
  KR3DClearOrderList();
  KR3DRenderAll();
  EXPECT_TRUE(sim::Direct3DDraws().empty());
  KR3DOrderObject(nullptr);
  KR3DRenderAll();
  EXPECT_TRUE(sim::Direct3DDraws().empty());
}

TEST_F(RenderListTest, FullBucketDropsFurtherObjectsAndOthersStillTakeThem) {
  std::vector<TestObject> objects;
  for (int i = 0; i < 1030; ++i) objects.push_back(Numbered(i, kZ));
  for (TestObject& object : objects) KR3DOrderObject(&object);
  TestObject other = Numbered(5000, 0);
  KR3DOrderObject(&other);
  Forget();
  KR3DRenderAll();
  std::vector<int> numbers = DrawnNumbers();
  ASSERT_EQ(numbers.size(), 1025u);
  EXPECT_EQ(numbers[1023], 1023);
  EXPECT_EQ(numbers[1024], 5000);
  EXPECT_EQ(sim::DebugOutput(), "");
}

TEST_F(RenderListTest, ObjectsOfAReleasedModelAreSkippedWhenTheListIsDrawnAgain) {
  int released = Model();
  TestObject gone = Object(&released, nullptr, nullptr, kZ), kept = Numbered(3, kZ);
  gone.lpNext = &kept;
  KR3DOrderObject(&gone);
  KR3DReleaseModel(released);
  KR3DRenderAll();
  EXPECT_EQ(DrawnNumbers(), (std::vector<int>{3}));
}

class RenderListWithoutDeviceTest : public FrameTest {};

TEST_F(RenderListWithoutDeviceTest, FilingWorksBeforeTheDeviceAndIsDrawnOnceItIsThere) {
  KR3DClearOrderList();
  ASSERT_NO_FATAL_FAILURE(StartMode());
  int model = 0;
  tagKR3DOBJECT object;
  memset(static_cast<void*>(&object), 0, sizeof(object));
  object.lpModel = &model;
  object.lpFrame = &object.frame;
  object.frame.bDirty = 1;
  object.frame.matLocal.SetTranslate(4, 0, 0);
  KR3DOrderObject(&object);
  KR3DRenderAll();
  EXPECT_EQ(DeviceCalls(), 0);

  ASSERT_NO_FATAL_FAILURE(StartDevice());
  std::string bytes = ModelBytes(SquareModel());
  std::vector<char> image(bytes.begin(), bytes.end());
  model = KR3DCreateModel(static_cast<void*>(image.data()), KR3DMODEL_INDEXED);
  ASSERT_EQ(KR3DBeginRender(0), 1);
  KR3DRenderAll();
  ASSERT_EQ(sim::Direct3DDraws().size(), 1u);
  EXPECT_EQ(sim::Direct3DDraws()[0].world._41, 4.0f);
  EXPECT_EQ(KR3DEndRender(), 1);
}

}  // namespace
