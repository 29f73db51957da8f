// Models: the file and memory readers, the three vertex builds, the table with
// its handles and warnings, and broken model data refused or built safely.
#include <cstring>
#include <string>
#include <vector>

#include "core/core_state.h"
#include "render3d/frame_fixture.h"
#include "render3d/models.h"
#include "wine/support/model_image.h"

namespace {

const unsigned long kCreateModelFailed = 0x3105;
const char kFileName[] = "C:\\work\\model.krm";

class ModelsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice());
  }

  static int CreateFromFile(const ModelDescription& m, unsigned long flags = 0) {
    sim::WriteWholeFile(kFileName, ModelBytes(m));
    return KR3DCreateModel(kFileName, flags);
  }

  static int CreateFromBytes(const std::string& bytes, unsigned long flags = 0) {
    sim::WriteWholeFile(kFileName, bytes);
    return KR3DCreateModel(kFileName, flags);
  }

  // From memory the image is a copy the test frees at once, as the caller may.
  static int CreateFromImage(const ModelDescription& m, unsigned long flags = 0) {
    std::string bytes = ModelBytes(m);
    std::vector<char> image(bytes.begin(), bytes.end());
    return KR3DCreateModel(static_cast<void*>(image.data()), flags);
  }

  static const KR3DMODEL& Slot(int handle) { return g_kr3D.lpModels[handle]; }

  static std::vector<D3DVERTEX> Vertices(int handle) {
    const KR3DMODEL& m = Slot(handle);
    return std::vector<D3DVERTEX>(m.lpVertices, m.lpVertices + m.nVertexCount);
  }

  static std::vector<D3DLVERTEX> LitVertices(int handle) {
    const KR3DMODEL& m = Slot(handle);
    const D3DLVERTEX* lit = reinterpret_cast<const D3DLVERTEX*>(m.lpVertices);
    return std::vector<D3DLVERTEX>(lit, lit + m.nVertexCount);
  }

  // Trace lines of the model's blocks: allocations and releases by tag.
  static int TraceLines(const std::string& call) {
    int count = 0;
    for (const std::string& line : LogLines())
      if (line.find(call) != std::string::npos && line.find("\"KR3D:") != std::string::npos) ++count;
    return count;
  }
  static int Allocations() { return TraceLines("KRAllocEx("); }
  static int Releases() { return TraceLines("KRFree"); }
  static bool Allocated(const std::string& tag) {
    for (const std::string& line : LogLines())
      if (line.find("KRAllocEx(") != std::string::npos && line.find("\"" + tag) != std::string::npos) return true;
    return false;
  }

  static void Trace() { g_krCore.bAllocTrace = 1; }

  // A refused model: the code, nothing held, no file left open.
  static void ExpectRefused(int handle) {
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateModelFailed);
    EXPECT_EQ(sim::OpenFileHandles(), 0);
    EXPECT_EQ(Allocations(), Releases()) << sim::DebugOutput();
    EXPECT_EQ(Slot(1).nNumVert, 0);
  }
};

void ExpectVertex(const D3DVERTEX& v, std::vector<float> expected) {
  std::vector<float> got = {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.tu, v.tv};
  EXPECT_EQ(got, expected);
}

// Every vertex, in order: position, normal, pair.
void ExpectVertices(const std::vector<D3DVERTEX>& v, const std::vector<std::vector<float>>& expected) {
  ASSERT_EQ(v.size(), expected.size());
  for (size_t i = 0; i < v.size(); ++i) ExpectVertex(v[i], expected[i]);
}

TEST_F(ModelsTest, BothReadersGiveTheFlatFormWithEachCornersOwnPair) {
  for (bool fromFile : {true, false}) {
    SCOPED_TRACE(fromFile ? "file" : "memory");
    ModelDescription m = SquareModel();
    int handle = fromFile ? CreateFromFile(m) : CreateFromImage(m);
    ASSERT_EQ(handle, 1);
    const KR3DMODEL& slot = Slot(handle);
    EXPECT_EQ(slot.nNumVert, 4);
    EXPECT_EQ(slot.nNumVertIdx, 6);
    EXPECT_EQ(slot.nNumTexUV, 6);
    EXPECT_EQ(slot.dwBuildFlags, 0u);
    EXPECT_EQ(slot.nVertexForm, KR3DMODEL_FORM_PER_INDEX);
    // Corner c takes the position its index names, pair c, and its triangle's normal.
    ExpectVertices(Vertices(handle), {{0, 0, 0, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 1, 0}, {1, 1, 0, 0, 0, 1, 1, 1},
                                      {0, 0, 0, 0, 0, 1, 0.25f, 0.25f}, {1, 1, 0, 0, 0, 1, 0.5f, 0.5f},
                                      {0, 1, 0, 0, 0, 1, 0.75f, 0.75f}});
    EXPECT_EQ(sim::OpenFileHandles(), 0);
    EXPECT_FALSE(Logged("nNumVert    4"));
    KR3DReleaseModel(handle);
  }
  // The file goes through the calls the format asks for: read access, shared reading, an existing file.
  std::vector<std::string> opens = ArgumentsOf("CreateFileA");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_NE(opens[0].find("0x80000000, 0x1, "), std::string::npos) << opens[0];
}

TEST_F(ModelsTest, IndexedFormKeepsTheFileNormalsAndLogsTheCounts) {
  int handle = CreateFromFile(SquareModel(), KR3DMODEL_INDEXED);
  ASSERT_EQ(handle, 1);
  EXPECT_EQ(Slot(handle).nVertexForm, KR3DMODEL_FORM_PER_VERTEX);
  ExpectVertices(Vertices(handle), {{0, 0, 0, 0.6f, 0, 0.8f, 0, 0}, {1, 0, 0, 0, 0.6f, 0.8f, 1, 0},
                                    {1, 1, 0, -0.6f, 0, 0.8f, 1, 1}, {0, 1, 0, 0, -0.6f, 0.8f, 0.25f, 0.25f}});
  ExpectLinesInOrder({"nNumVert    4", "nNumVertIdx 6"});

  // Rebuilding flat replaces the array; the flags follow the last build.
  KR3DBuildModelVertex(handle, 0);
  EXPECT_EQ(Slot(handle).dwBuildFlags, 0u);
  EXPECT_EQ(Slot(handle).nVertexCount, 6);
  KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, ModelsWithoutPairsBuildZeroPairsAndGreyPreLitVertices) {
  int handle = CreateFromImage(SquareModel(false), KR3DMODEL_INDEXED);
  ASSERT_EQ(handle, 1);
  EXPECT_EQ(Slot(handle).lpTexUV, nullptr);
  for (const D3DVERTEX& v : Vertices(handle)) EXPECT_TRUE(v.tu == 0 && v.tv == 0);
  KR3DBuildModelVertex(handle, 0);
  for (const D3DVERTEX& v : Vertices(handle)) EXPECT_TRUE(v.tu == 0 && v.tv == 0);

  KR3DBuildModelLVertex(handle);
  EXPECT_EQ(Slot(handle).dwBuildFlags, 0u);
  std::vector<D3DLVERTEX> lit = LitVertices(handle);
  ASSERT_EQ(lit.size(), 6u);
  for (const D3DLVERTEX& v : lit) {
    EXPECT_EQ(v.color, 0x00666666u);
    EXPECT_EQ(v.specular, 0u);
    EXPECT_TRUE(v.tu == 0 && v.tv == 0);
  }
  EXPECT_EQ(lit[5].x, 0.0f);
  EXPECT_EQ(lit[5].y, 1.0f);
  KR3DReleaseModel(handle);
}

// A pre-lit array after an indexed build is one vertex per index: the slot says so,
// while the build flags still name the indexed form.
TEST_F(ModelsTest, PreLitBuildIsWhiteWithPairsAndRecordsItsOwnForm) {
  Trace();
  int handle = CreateFromFile(SquareModel(), KR3DMODEL_INDEXED);
  ASSERT_EQ(handle, 1);
  KR3DBuildModelLVertex(handle);
  EXPECT_TRUE(Allocated("KR3D:D3DLVER"));
  const KR3DMODEL& slot = Slot(handle);
  EXPECT_EQ(slot.dwBuildFlags, DWORD(KR3DMODEL_INDEXED));
  EXPECT_EQ(slot.nVertexForm, KR3DMODEL_FORM_PER_INDEX);
  EXPECT_EQ(slot.nVertexCount, 6);
  std::vector<D3DLVERTEX> lit = LitVertices(handle);
  EXPECT_EQ(lit[4].color, 0x00FFFFFFu);
  EXPECT_EQ(lit[4].tu, 0.5f);
  EXPECT_EQ(lit[4].x, 1.0f);
  KR3DReleaseModel(handle);
  EXPECT_EQ(Allocations(), Releases());
}

TEST_F(ModelsTest, MagicIsComparedWithoutCaseAndAnyOtherCharacterIsRefused) {
  ModelDescription lower = SquareModel();
  lower.magic = "krmodel0000";
  int handle = CreateFromFile(lower);
  EXPECT_EQ(handle, 1);
  KR3DReleaseModel(handle);
  handle = CreateFromImage(lower);
  EXPECT_EQ(handle, 1);
  KR3DReleaseModel(handle);

  Trace();
  ModelDescription wrong = SquareModel();
  wrong.magic = "KRMODEL0001";
  ExpectRefused(CreateFromFile(wrong));
  ExpectRefused(CreateFromImage(wrong));
  EXPECT_EQ(Allocations(), 0);
}

TEST_F(ModelsTest, MissingFileIsRefused) {
  EXPECT_EQ(KR3DCreateModel("C:\\work\\none.krm", 0), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateModelFailed);
}

// A file cut at any point fails as a short read does: what was allocated is freed,
// the file is closed, and an array that cannot be there is never allocated.
TEST_F(ModelsTest, FilesCutShortFreeEveryBlockAndCloseTheFile) {
  const std::string whole = ModelBytes(SquareModel());
  struct Cut {
    size_t length;
    std::vector<std::string> allocated;
  };
  const std::vector<Cut> cuts = {
      {20, {}},                                      // inside the counts
      {25, {}},                                      // the index count half there
      {64 + 20, {}},                                 // inside the positions
      {64 + 48 + 4, {"KR3D:VERT"}},                  // inside the normals
      {64 + 96 + 8, {"KR3D:VERT", "KR3D:NORM"}},     // inside the pairs
      {whole.size() - 1, {"KR3D:VERT", "KR3D:NORM", "KR3D:TXUV"}},  // inside the indices
  };
  Trace();
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.length);
    sim::ClearDebugOutput();
    ExpectRefused(CreateFromBytes(whole.substr(0, cut.length)));
    EXPECT_EQ(Allocations(), int(cut.allocated.size()));
    for (const std::string& tag : cut.allocated) EXPECT_TRUE(Allocated(tag)) << tag;
  }
  // The whole file has all four arrays' blocks.
  sim::ClearDebugOutput();
  EXPECT_GT(CreateFromBytes(whole), 0);
  for (const char* tag : {"KR3D:VERT", "KR3D:NORM", "KR3D:TXUV", "KR3D:VERTIDX"}) EXPECT_TRUE(Allocated(tag)) << tag;
}

TEST_F(ModelsTest, CountsBeyondTheFileOrAnIntAreRefusedWithoutAllocating) {
  Trace();
  std::vector<ModelDescription> lies(4, SquareModel());
  lies[0].numVert = 0xFFFFFFFF;
  lies[1].numTexUV = 0x7FFFFFFF;
  lies[2].numVertIdx = 0xFFFF;
  lies[3].numVert = 0x15555556;  // 12 x count just beyond an int
  for (const ModelDescription& m : lies) {
    sim::ClearDebugOutput();
    ExpectRefused(CreateFromFile(m));
  }
  // In memory the sizes a model can have are bounded by an int.
  for (int i : {0, 1, 3}) {
    sim::ClearDebugOutput();
    ExpectRefused(CreateFromImage(lies[i]));
    EXPECT_EQ(Allocations(), 0);
  }
}

TEST_F(ModelsTest, ZeroCountsGiveAHandleWhoseSlotStaysFreeAndIsTakenCleanly) {
  Trace();
  ModelDescription empty;
  int first = CreateFromFile(empty);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(Slot(1).nNumVert, 0);
  EXPECT_EQ(Slot(1).lpVertices, nullptr);  // a free slot is not built
  // The same handle again: the blocks the first one held are freed on the way.
  int second = CreateFromImage(SquareModel());
  EXPECT_EQ(second, 1);
  KR3DReleaseModel(second);
  EXPECT_EQ(Allocations(), Releases());
}

// No release call reaches a model without vertices, so the component's clean-up frees its blocks.
TEST_F(ModelsTest, BlocksOfAModelWithoutVerticesGoWithTheComponent) {
  const int before = sim::LiveHeapBlocks();
  ModelDescription empty;
  ASSERT_EQ(CreateFromFile(empty), 1);
  ASSERT_GT(sim::LiveHeapBlocks(), before);
  KR3DCleanup();
  EXPECT_EQ(sim::LiveHeapBlocks(), before - 9);  // the model's blocks and the nine tables
}

// Every index must name a vertex; no valid model is refused for it.
TEST_F(ModelsTest, IndexBeyondTheVerticesIsRefusedByBothReaders) {
  Trace();
  ModelDescription m = SquareModel();
  m.indices[4] = 4;
  ExpectRefused(CreateFromFile(m));
  ExpectRefused(CreateFromImage(m));
  m.indices[4] = 3;
  int handle = CreateFromFile(m);
  EXPECT_EQ(handle, 1);
  KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, IncompleteTriangleIsZeroedInThePerIndexForms) {
  ModelDescription m = SquareModel();
  m.indices.push_back(1);
  m.texUV.insert(m.texUV.end(), {9, 9});
  int handle = CreateFromImage(m);
  ASSERT_EQ(handle, 1);
  std::vector<D3DVERTEX> v = Vertices(handle);
  ASSERT_EQ(v.size(), 7u);
  ExpectVertex(v[6], {0, 0, 0, 0, 0, 0, 0, 0});
  ExpectVertex(v[5], {0, 1, 0, 0, 0, 1, 0.75f, 0.75f});
  KR3DBuildModelLVertex(handle);
  std::vector<D3DLVERTEX> lit = LitVertices(handle);
  ASSERT_EQ(lit.size(), 7u);
  EXPECT_EQ(lit[6].color, 0u);
  EXPECT_EQ(lit[6].tu, 0.0f);
  EXPECT_EQ(lit[5].color, 0x00FFFFFFu);
  KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, PairsTheModelDoesNotHaveCountAsAbsent) {
  ModelDescription m = SquareModel();
  m.texUV.resize(4);  // two pairs for four vertices and six corners
  int handle = CreateFromFile(m, KR3DMODEL_INDEXED);
  ASSERT_EQ(handle, 1);
  std::vector<D3DVERTEX> v = Vertices(handle);
  EXPECT_EQ(v[1].tu, 1.0f);
  EXPECT_TRUE(v[2].tu == 0 && v[2].tv == 0 && v[3].tu == 0 && v[3].tv == 0);
  KR3DBuildModelVertex(handle, 0);
  v = Vertices(handle);
  for (int c = 2; c < 6; ++c) EXPECT_TRUE(v[c].tu == 0 && v[c].tv == 0) << c;
  KR3DBuildModelLVertex(handle);
  EXPECT_EQ(LitVertices(handle)[5].color, 0x00FFFFFFu);  // the model has pairs
  KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, TriangleWithoutAreaGetsAZeroNormal) {
  ModelDescription m = SquareModel();
  m.indices = {0, 1, 1, 0, 2, 3};
  int handle = CreateFromImage(m);
  ASSERT_EQ(handle, 1);
  std::vector<D3DVERTEX> v = Vertices(handle);
  for (int c = 0; c < 3; ++c) EXPECT_TRUE(v[c].nx == 0 && v[c].ny == 0 && v[c].nz == 0) << c;
  EXPECT_EQ(v[3].nz, 1.0f);
  KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, FullTableRefusesBeforeOpeningAndReleasedHandleIsReused) {
  sim::WriteWholeFile(kFileName, ModelBytes(SquareModel()));
  for (int expected = 1; expected < KR3D_MODEL_MAX; ++expected) ASSERT_EQ(KR3DCreateModel(kFileName, 0), expected);
  Forget();
  EXPECT_EQ(KR3DCreateModel(kFileName, 0), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateModelFailed);
  EXPECT_TRUE(Logged("KR3D Warning : Could not create Model(Maximumed out)."));
  EXPECT_EQ(sim::CountCalls("CreateFileA"), 0);
  KR3DReleaseModel(5);
  EXPECT_EQ(KR3DCreateModel(kFileName, 0), 5);
  for (int handle = 1; handle < KR3D_MODEL_MAX; ++handle) KR3DReleaseModel(handle);
}

TEST_F(ModelsTest, BadHandlesWarnOnReleaseAndAreIgnoredByTheBuilds) {
  int handle = CreateFromImage(SquareModel(), KR3DMODEL_INDEXED);
  ASSERT_EQ(handle, 1);
  KR3DReleaseModel(handle);
  EXPECT_EQ(Slot(1).nNumVertIdx, 6);  // count and flags stay
  EXPECT_EQ(Slot(1).dwBuildFlags, DWORD(KR3DMODEL_INDEXED));
  EXPECT_EQ(Slot(1).lpPositions, nullptr);
  Forget();
  for (int bad : {0, 128, 1, -1}) KR3DReleaseModel(bad);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KR3D Warning : You did release NULL or ills Modell(0).",
                                                  "KR3D Warning : You did release NULL or ills Modell(128).",
                                                  "KR3D Warning : You did release NULL or ills Modell(1).",
                                                  "KR3D Warning : You did release NULL or ills Modell(-1)."}));
  Forget();
  for (int bad : {0, 1, 127, 128, -5, 100000}) {
    KR3DBuildModelVertex(bad, KR3DMODEL_INDEXED);
    KR3DBuildModelLVertex(bad);
  }
  EXPECT_EQ(sim::DebugOutput(), "");
  EXPECT_EQ(Slot(1).lpVertices, nullptr);
}

TEST_F(ModelsTest, DeviceCleanUpReleasesForgottenModels) {
  ASSERT_EQ(CreateFromImage(SquareModel()), 1);
  ASSERT_EQ(CreateFromFile(SquareModel()), 2);
  KR3DReleaseModel(1);
  Forget();
  KR3DCleanupDevice();
  EXPECT_TRUE(Logged("KR3D Warning : You didn't release Model(2)."));
  EXPECT_FALSE(Logged("KR3D Warning : You didn't release Model(1)."));
  EXPECT_EQ(Slot(2).lpVertices, nullptr);
}

class ModelsUnstartedTest : public FrameTest {};

TEST_F(ModelsUnstartedTest, BeforeThe3DComponentNothingIsReadOrTouched) {
  sim::WriteWholeFile(kFileName, ModelBytes(SquareModel()));
  Forget();
  EXPECT_EQ(KR3DCreateModel(kFileName, 0), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateModelFailed);
  std::string bytes = ModelBytes(SquareModel());
  EXPECT_EQ(KR3DCreateModel(static_cast<void*>(&bytes[0]), 0), 0);
  KR3DBuildModelVertex(1, 0);
  KR3DBuildModelLVertex(1);
  KR3DReleaseModel(1);
  // Only the debugger hears of it: the error lines and the release warning.
  for (const std::string& name : sim::CallNames()) EXPECT_EQ(name, "OutputDebugStringA");
  EXPECT_EQ(LogLines().back(), "KR3D Warning : You did release NULL or ills Modell(1).");
}

}  // namespace
