// The COM library as Windows has it: initialisation per thread, and creating
// an object of a class the system provides (DirectDraw) or does not know.
#include <ddraw.h>
#include <objbase.h>

#include <thread>

#include "tests/platform/dual_fixture.h"

namespace {

const CLSID kClsidUnknown = {0x12345678, 0x1234, 0x5678, {0x90, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67}};
const IID kIidUnknown = {0x87654321, 0x4321, 0x8765, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}};

// Something that is not null, to see that failures clear the out-parameter.
void* const kGarbage = reinterpret_cast<void*>(static_cast<uintptr_t>(0xBAADF00D));

class DualCom : public DualTest {
 protected:
  static HRESULT CreateDirectDraw(void** object, DWORD context = CLSCTX_INPROC_SERVER, IUnknown* outer = nullptr,
                                  REFIID iid = IID_IDirectDraw) {
    return CoCreateInstance(CLSID_DirectDraw, outer, context, iid, object);
  }
};

// An outer object that is never asked for anything: aggregation is refused first.
class Outer final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

TEST_F(DualCom, InitialisationIsCountedAndRepeatsAnswerFalse) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "one call is still to be balanced";
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

TEST_F(DualCom, TheReservedArgumentMustBeNull) {
  if (OnWine()) GTEST_SKIP() << "Wine accepts and ignores the reserved argument";
  int reserved = 0;
  EXPECT_EQ(CoInitialize(&reserved), E_INVALIDARG);
  EXPECT_EQ(CoInitialize(nullptr), S_OK) << "the refused call initialised nothing";
  CoUninitialize();
}

TEST_F(DualCom, CreationNeedsInitialisation) {
  void* object = kGarbage;
  EXPECT_EQ(CreateDirectDraw(&object), CO_E_NOTINITIALIZED);
  EXPECT_EQ(object, nullptr);
}

TEST_F(DualCom, InitialisationBelongsToTheThread) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  HRESULT otherCreate = S_OK;
  HRESULT otherInit = E_FAIL;
  HRESULT otherSecondInit = E_FAIL;
  std::thread([&] {
    void* object = kGarbage;
    otherCreate = CreateDirectDraw(&object);
    otherInit = CoInitialize(nullptr);
    otherSecondInit = CoInitialize(nullptr);
    CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(otherCreate, CO_E_NOTINITIALIZED);
  EXPECT_EQ(otherInit, S_OK);
  EXPECT_EQ(otherSecondInit, S_FALSE);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "this thread's count is its own";
  CoUninitialize();
  CoUninitialize();
}

TEST_F(DualCom, AKnownClassIsMadeWithTheAskedInterface) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IDirectDraw* object = nullptr;
  ASSERT_EQ(CreateDirectDraw(reinterpret_cast<void**>(&object), CLSCTX_ALL), S_OK);
  ASSERT_NE(object, nullptr);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  ASSERT_NE(unknown, nullptr);
  unknown->Release();
  object->Release();
  CoUninitialize();
}

TEST_F(DualCom, AnInterfaceTheClassLacksGivesNoObject) {
  if (OnWine()) GTEST_SKIP() << "Wine's DirectDraw class factory crashes on an interface it lacks";
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  void* object = kGarbage;
  EXPECT_EQ(CreateDirectDraw(&object, CLSCTX_INPROC_SERVER, nullptr, kIidUnknown), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  CoUninitialize();
}

TEST_F(DualCom, UnknownClassesAndOtherContextsAreNotRegistered) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  void* object = kGarbage;
  EXPECT_EQ(CoCreateInstance(kClsidUnknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(CreateDirectDraw(&object, CLSCTX_LOCAL_SERVER), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  CoUninitialize();
}

TEST_F(DualCom, AggregationAndAMissingOutParameterAreRefused) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  Outer outer;
  void* object = kGarbage;
  EXPECT_EQ(CreateDirectDraw(&object, CLSCTX_INPROC_SERVER, &outer), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CreateDirectDraw(nullptr), E_POINTER);
  CoUninitialize();
}

}  // namespace
