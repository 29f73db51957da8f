// The input-method manager as the library uses it: a window's input context,
// taken and given back, and what a context without an input method reports.
#include <windows.h>
// imm.h needs the Windows types first.
#include <imm.h>

#include "tests/platform/dual_fixture.h"

namespace {

class DualImm : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DualImm";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    window_ = CreateWindowExA(0, "DualImm", "IMM", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) DestroyWindow(window_);
    UnregisterClassA("DualImm", GetModuleHandleA(nullptr));
    DualTest::TearDown();
  }
  HWND window_ = nullptr;
};

TEST_F(DualImm, AWindowKeepsOneContextThatIsGivenBackPerTaking) {
  HIMC first = ImmGetContext(window_);
  ASSERT_NE(first, nullptr);
  HIMC second = ImmGetContext(window_);
  EXPECT_EQ(second, first);
  EXPECT_TRUE(ImmReleaseContext(window_, second));
  EXPECT_TRUE(ImmReleaseContext(window_, first));
  EXPECT_EQ(ImmGetContext(nullptr), nullptr);
}

TEST_F(DualImm, AContextWithoutCompositionReportsNoBytes) {
  HIMC context = ImmGetContext(window_);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0), 0);
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPATTR, nullptr, 0), 0);
  EXPECT_EQ(ImmGetCompositionStringA(context, GCS_RESULTSTR, nullptr, 0), 0);
  DWORD conversion = 0xDEAD, sentence = 0xBEEF;
  EXPECT_TRUE(ImmGetConversionStatus(context, &conversion, &sentence));
  EXPECT_NE(conversion, 0xDEADu);
  EXPECT_NE(sentence, 0xBEEFu);
  EXPECT_TRUE(ImmReleaseContext(window_, context));
}

}  // namespace
