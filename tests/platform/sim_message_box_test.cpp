// Message boxes: recorded and answered at once.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sim/control.h"

namespace {

class SimMessageBox : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

const HWND kOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));

TEST_F(SimMessageBox, EveryBoxIsRecordedWithItsOwnerTextsAndType) {
  EXPECT_EQ(MessageBoxA(kOwner, "Glide Version 2.46", "Ondrel", MB_OK | MB_ICONSTOP), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "second", nullptr, MB_OKCANCEL), IDOK);

  const std::vector<sim::MessageBoxRecord> boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, kOwner);
  EXPECT_EQ(boxes[0].text, "Glide Version 2.46");
  EXPECT_EQ(boxes[0].caption, "Ondrel");
  EXPECT_FALSE(boxes[0].captionWasNull);
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(boxes[1].owner, nullptr);
  EXPECT_EQ(boxes[1].caption, "");
  EXPECT_TRUE(boxes[1].captionWasNull);
  EXPECT_EQ(sim::Calls()[0].arguments, "0x1234, \"Glide Version 2.46\", \"Ondrel\", 0x10");
}

TEST_F(SimMessageBox, TheConfiguredAnswerHoldsForBoxesThatHaveThatButton) {
  sim::SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNOCANCEL), IDNO);
  sim::SetMessageBoxAnswer(IDRETRY);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_ABORTRETRYIGNORE), IDRETRY);
}

TEST_F(SimMessageBox, ABoxWithoutTheConfiguredButtonGivesItsDefaultButton) {
  sim::SetMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
}

TEST_F(SimMessageBox, ResetAnswersOkAgainAndForgetsTheBoxes) {
  sim::SetMessageBoxAnswer(IDCANCEL);
  MessageBoxA(nullptr, "a", "b", MB_OKCANCEL);
  sim::Reset();
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_OKCANCEL), IDOK);
}

}  // namespace
