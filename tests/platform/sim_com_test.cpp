// The simulated COM library's own side: its class registry, which tests fill,
// and the contract check of initialisation. What Windows does is tested on
// both in com_dual_test.cpp.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

const CLSID kClsidThing = {0x12345678, 0x1234, 0x5678, {0x90, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67}};
const IID kIidThing = {0x87654321, 0x4321, 0x8765, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}};

// A minimal object, as a registered factory would hand out.
class Thing final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid != IID_IUnknown && riid != kIidThing) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references;
    if (left == 0) delete this;
    return left;
  }
  ULONG references = 0;
};

HRESULT MakeThing(REFIID iid, void** object) {
  Thing* thing = new Thing;
  const HRESULT result = thing->QueryInterface(iid, object);
  if (FAILED(result)) delete thing;
  return result;
}

class SimCom : public StrictSimTest {
 protected:
  static HRESULT Create(REFCLSID clsid, void** object, DWORD context = CLSCTX_INPROC_SERVER,
                        IUnknown* outer = nullptr, REFIID iid = kIidThing) {
    return CoCreateInstance(clsid, outer, context, iid, object);
  }
};

// Something that is not null, to see that failures clear the out-parameter.
void* const kGarbage = reinterpret_cast<void*>(static_cast<uintptr_t>(0xBAADF00D));

TEST_F(SimCom, InitialisationIsCountedAndRepeatsAnswerFalse) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(sim::ComInitializeDepth(), 2);
  CoUninitialize();
  EXPECT_EQ(sim::ComInitializeDepth(), 1);
  CoUninitialize();
  EXPECT_TRUE(sim::ContractViolations().empty());
  CoUninitialize();  // one too many is ignored, and held against the program
  EXPECT_EQ(sim::ComInitializeDepth(), 0);
  EXPECT_EQ(sim::ContractViolations().size(), 1u);
  sim::ClearContractViolations();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

TEST_F(SimCom, ARegisteredClassIsMadeByItsFactoryWithTheAskedInterface) {
  CoInitialize(nullptr);
  IID asked = {};
  sim::RegisterComClass(kClsidThing, [&](REFIID iid, void** object) {
    asked = iid;
    return MakeThing(iid, object);
  });
  void* object = nullptr;
  ASSERT_EQ(Create(kClsidThing, &object, CLSCTX_ALL), S_OK);
  EXPECT_TRUE(IsEqualIID(asked, kIidThing));
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(static_cast<IUnknown*>(object)->Release(), 0u);
  EXPECT_EQ(sim::Calls().back().arguments,
            "{12345678-1234-5678-90AB-CDEF01234567}, NULL, 0x17, {87654321-4321-8765-0102-030405060708}, ptr");
  CoUninitialize();
}

TEST_F(SimCom, AFactoryFailureReachesTheCallerWithNoObject) {
  CoInitialize(nullptr);
  sim::RegisterComClass(kClsidThing, MakeThing);
  const IID unknownInterface = {0xFFFF, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  void* object = kGarbage;
  EXPECT_EQ(Create(kClsidThing, &object, CLSCTX_INPROC_SERVER, nullptr, unknownInterface), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  CoUninitialize();
}

TEST_F(SimCom, TheLatestRegistrationOfAClassWins) {
  CoInitialize(nullptr);
  sim::RegisterComClass(kClsidThing, MakeThing);
  sim::RegisterComClass(kClsidThing, [](REFIID, void** object) {
    *object = nullptr;
    return E_OUTOFMEMORY;
  });
  void* object = nullptr;
  EXPECT_EQ(Create(kClsidThing, &object), E_OUTOFMEMORY);
  CoUninitialize();
}

TEST_F(SimCom, ResetForgetsRegisteredClassesAndInitialisation) {
  CoInitialize(nullptr);
  sim::RegisterComClass(kClsidThing, MakeThing);
  sim::Reset();
  EXPECT_EQ(sim::ComInitializeDepth(), 0);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  void* object = nullptr;
  EXPECT_EQ(Create(kClsidThing, &object), REGDB_E_CLASSNOTREG);
  CoUninitialize();
}

}  // namespace
