// What only the simulation's queue can show: its record, injected failures,
// a wait that could never end, and the user switching applications.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/control.h"
#include "support/leak_check.h"

namespace {

std::vector<std::pair<HWND, WPARAM>> g_activations;

LRESULT CALLBACK ActivationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATEAPP) g_activations.push_back({window, wParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

class SimMessageQueue : public StrictSimTest {
 protected:
  void SetUp() override {
    StrictSimTest::SetUp();
    g_activations.clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ActivationProc;
    windowClass.lpszClassName = "Activation";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
  }
  static HWND Make(HWND parent) {
    return CreateWindowExA(0, "Activation", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 1, 1, parent, nullptr, nullptr,
                           nullptr);
  }
};

TEST_F(SimMessageQueue, ActivationReachesEveryTopLevelWindowWithAProcedure) {
  HWND first = Make(nullptr);
  HWND child = Make(first);
  HWND second = Make(nullptr);
  HWND application = sim::CreateTestWindow();  // the application's own window has no procedure here
  sim::SendActivateApp(false);
  sim::SendActivateApp(true);
  using Seen = std::vector<std::pair<HWND, WPARAM>>;
  EXPECT_EQ(g_activations, (Seen{{first, FALSE}, {second, FALSE}, {first, TRUE}, {second, TRUE}}));
  EXPECT_NE(child, nullptr);
  EXPECT_EQ(sim::QueuedMessages(), 0) << "sent, not posted";
  DestroyWindow(first);
  DestroyWindow(second);
  DestroyWindow(application);
}

TEST_F(SimMessageQueue, WaitingOnAnEmptyQueueIsAFaultNotAHang) {
  MSG message;
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), -1);
  ASSERT_EQ(sim::ContractViolations().size(), 1u);
  EXPECT_NE(sim::ContractViolations()[0].find("GetMessageA"), std::string::npos);
  sim::ClearContractViolations();
}

TEST_F(SimMessageQueue, CallsAreRecordedAndCanBeMadeToFail) {
  HWND window = Make(nullptr);
  sim::FailNext("PostMessageA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(PostMessageA(window, WM_USER, 1, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(sim::QueuedMessages(), 0);
  ASSERT_TRUE(PostMessageA(window, WM_USER, 1, 2));
  EXPECT_EQ(sim::QueuedMessages(), 1);

  sim::FailNext("PeekMessageA", ERROR_INVALID_PARAMETER);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(sim::QueuedMessages(), 1) << "a failed peek takes nothing";
  sim::AdvanceClock(5);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.time, sim::kTickCountAtBoot) << "stamped when posted";
  DispatchMessageA(&message);
  EXPECT_EQ(sim::CountCalls("DispatchMessageA"), 1);
  EXPECT_TRUE(TranslateMessage(&(message.message = WM_KEYDOWN, message)));
  EXPECT_FALSE(TranslateMessage(&(message.message = WM_USER, message)));
  DestroyWindow(window);
}

TEST_F(SimMessageQueue, ResetEmptiesTheQueueAndForgetsQuit) {
  PostMessageA(nullptr, WM_USER, 0, 0);
  PostQuitMessage(3);
  sim::Reset();
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SimMessageQueue, AnInvertedRangeSelectsWhatLiesOutsideIt) {
  PostMessageA(nullptr, WM_USER + 5, 0, 0);
  PostMessageA(nullptr, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 9, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 8, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 8, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 9));
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER + 8, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(sim::QueuedMessages(), 1);
}

}  // namespace
