// The simulated input-method manager: scripted bytes read back as IMM32 gives
// them, injected error values, and contexts that were not given back.
#include <cstring>
#include <string>

#include "platform/sim/control.h"
#include "support/leak_check.h"
#include "tests/platform/dual_fixture.h"

namespace {

class SimImm : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    window_ = sim::CreateTestWindow();
  }
  void TearDown() override {
    DestroyWindow(window_);
    DualTest::TearDown();
  }
  HWND window_ = nullptr;
};

TEST_F(SimImm, ScriptedStringsAreReadAsFarAsTheBufferHolds) {
  sim::SetImeComposition(window_, "abcdef", std::string("\x00\x01\x01", 3));
  sim::SetImeResult(window_, "xyz");
  HIMC context = ImmGetContext(window_);
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0), 6);
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPATTR, nullptr, 0), 3);
  char text[8] = {};
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, text, 4), 4);
  EXPECT_EQ(std::string(text, 4), "abcd");
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_RESULTSTR, text, sizeof(text)), 3);

  sim::FailNext("ImmGetCompositionStringA", IMM_ERROR_NODATA, "GCS_RESULTSTR");
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_RESULTSTR, nullptr, 0), IMM_ERROR_NODATA);
  EXPECT_EQ(sim::LiveImeContexts(), 1);
  ImmReleaseContext(window_, context);
  EXPECT_EQ(sim::LiveImeContexts(), 0);
}

TEST_F(SimImm, CandidateListNeedsABufferOfItsWholeSize) {
  const std::string list = sim::CandidateListBytes({"one", "two"}, 1);
  sim::SetImeCandidateList(window_, list);
  HIMC context = ImmGetContext(window_);
  const DWORD size = ImmGetCandidateListA(context, 0, nullptr, 0);
  ASSERT_EQ(size, list.size());
  std::string read(size, '\0');
  EXPECT_EQ(ImmGetCandidateListA(context, 0, reinterpret_cast<LPCANDIDATELIST>(&read[0]), size - 1), 0u);
  EXPECT_EQ(ImmGetCandidateListA(context, 0, reinterpret_cast<LPCANDIDATELIST>(&read[0]), size), size);
  const CANDIDATELIST* header = reinterpret_cast<const CANDIDATELIST*>(read.data());
  EXPECT_EQ(header->dwCount, 2u);
  EXPECT_EQ(header->dwSelection, 1u);
  EXPECT_STREQ(read.data() + header->dwOffset[1], "two");
  EXPECT_EQ(ImmGetCandidateListA(context, 1, nullptr, 0), 0u);
  ImmReleaseContext(window_, context);
}

TEST_F(SimImm, UnknownWindowsHaveNoContextAndWrongGivingBackIsABreach) {
  EXPECT_EQ(ImmGetContext(reinterpret_cast<HWND>(0x999)), nullptr);
  EXPECT_FALSE(ImmGetOpenStatus(nullptr));
  EXPECT_FALSE(ImmGetConversionStatus(nullptr, nullptr, nullptr));
  EXPECT_FALSE(ImmReleaseContext(window_, reinterpret_cast<HIMC>(0x1234)));
  EXPECT_EQ(sim::ContractViolations().size(), 1u);
  sim::ClearContractViolations();

  sim::SetImeOpenStatus(window_, true);
  sim::SetImeModes(window_, IME_CMODE_FULLSHAPE, 4);
  HIMC context = ImmGetContext(window_);
  EXPECT_TRUE(ImmGetOpenStatus(context));
  DWORD conversion = 0, sentence = 0;
  EXPECT_TRUE(ImmGetConversionStatus(context, &conversion, &sentence));
  EXPECT_EQ(conversion, static_cast<DWORD>(IME_CMODE_FULLSHAPE));
  EXPECT_EQ(sentence, 4u);
  ImmReleaseContext(window_, context);
}

}  // namespace
