// Windows: their rectangles, SetWindowPos keeping the frame, visibility and
// topmost state.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "platform/sim/window_geometry.h"
#include "support/leak_check.h"

namespace {

class SimWindowPlacement : public StrictSimTest {
 protected:
  void TearDown() override {
    for (HWND window : made_) DestroyWindow(window);  // refused harmlessly for one gone already
    StrictSimTest::TearDown();
  }

  // A window at 50, 40, 300 by 250, whose frame is uneven so that a mixed-up side shows.
  HWND MakeWindow(bool topmost = false, bool visible = true) {
    sim::TestWindowLayout layout;
    layout.x = 50;
    layout.y = 40;
    layout.width = 300;
    layout.height = 250;
    layout.frame = RECT{3, 22, 5, 7};
    layout.topmost = topmost;
    layout.visible = visible;
    made_.push_back(sim::CreateTestWindow(layout));
    return made_.back();
  }

  std::vector<HWND> made_;
};

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

TEST_F(SimWindowPlacement, RectanglesAndClientToScreenFollowTheFrame) {
  HWND window = MakeWindow();
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window, &rect));
  ExpectRect(rect, 50, 40, 350, 290);
  ASSERT_TRUE(GetClientRect(window, &rect));
  ExpectRect(rect, 0, 0, 292, 221);
  POINT point{10, 20};
  ASSERT_TRUE(ClientToScreen(window, &point));
  EXPECT_EQ(point.x, 63);
  EXPECT_EQ(point.y, 82);
  ASSERT_TRUE(sim::detail::ClientRectOnScreen(window, &rect));
  ExpectRect(rect, 53, 62, 345, 283);
}

// The way a program sizes its client area: outer size = wanted client size
// plus what the frame takes, without moving and without touching the z-order.
TEST_F(SimWindowPlacement, ResizingWithoutMovingKeepsTheFrameAndTheZOrder) {
  HWND window = MakeWindow(/*topmost=*/true);
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int width = 320 + (outer.right - outer.left) - client.right;
  const int height = 240 + (outer.bottom - outer.top) - client.bottom;
  ASSERT_TRUE(SetWindowPos(window, HWND_NOTOPMOST, 0, 0, width, height,
                           SWP_NOSENDCHANGING | SWP_NOZORDER | SWP_NOMOVE));

  const sim::WindowInfo info = sim::InspectWindow(window);
  ExpectRect(info.window, 50, 40, 378, 309);
  ExpectRect(info.client, 53, 62, 373, 302);
  EXPECT_TRUE(info.topmost) << "SWP_NOZORDER leaves the insert-after window unused";
}

TEST_F(SimWindowPlacement, FullScreenPlacementMovesResizesAndRaisesToTopmost) {
  HWND window = MakeWindow();
  ASSERT_TRUE(SetWindowPos(window, HWND_TOPMOST, 0, 0, 640, 480, SWP_NOSENDCHANGING));
  sim::WindowInfo info = sim::InspectWindow(window);
  ExpectRect(info.window, 0, 0, 640, 480);
  ExpectRect(info.client, 3, 22, 635, 473);
  EXPECT_TRUE(info.topmost);

  ASSERT_TRUE(SetWindowPos(window, HWND_NOTOPMOST, 7, 9, 0, 0, SWP_NOSIZE));
  info = sim::InspectWindow(window);
  ExpectRect(info.window, 7, 9, 647, 489);
  EXPECT_FALSE(info.topmost);
}

TEST_F(SimWindowPlacement, AWindowSmallerThanItsFrameHasAnEmptyClientArea) {
  HWND window = MakeWindow();
  ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 4, 10, SWP_NOZORDER | SWP_NOMOVE));
  RECT client;
  GetClientRect(window, &client);
  ExpectRect(client, 0, 0, 0, 0);
}

TEST_F(SimWindowPlacement, ShowWindowAnswersWhetherTheWindowWasVisible) {
  HWND window = MakeWindow(false, /*visible=*/false);
  EXPECT_FALSE(ShowWindow(window, SW_SHOW));
  EXPECT_TRUE(sim::InspectWindow(window).visible);
  EXPECT_TRUE(ShowWindow(window, SW_SHOW));
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_TRUE(ShowWindow(window, SW_HIDE));
  EXPECT_FALSE(sim::InspectWindow(window).visible);
  ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW));
  EXPECT_TRUE(sim::InspectWindow(window).visible);
}

// A program that repaints "all windows" with a null handle: only the repaint request succeeds.
TEST_F(SimWindowPlacement, CallsOnANullOrGoneWindowFailWithInvalidWindowHandle) {
  EXPECT_TRUE(InvalidateRect(nullptr, nullptr, TRUE));
  EXPECT_FALSE(ShowWindow(nullptr, SW_SHOW));
  EXPECT_EQ(GetLastError(), 1400u);
  EXPECT_FALSE(ShowWindowAsync(nullptr, SW_SHOW));
  EXPECT_FALSE(UpdateWindow(nullptr));

  HWND window = MakeWindow();
  ASSERT_TRUE(DestroyWindow(window));
  RECT rect;
  SetLastError(0);
  EXPECT_FALSE(GetWindowRect(window, &rect));
  EXPECT_EQ(GetLastError(), 1400u);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(sim::detail::ClientRectOnScreen(window, &rect));
  EXPECT_FALSE(sim::InspectWindow(window).exists);
}

TEST_F(SimWindowPlacement, TheDesktopWindowIsTheWholeScreenAndCannotBeMoved) {
  HWND desktop = GetDesktopWindow();
  EXPECT_TRUE(IsWindow(desktop));
  RECT rect;
  ASSERT_TRUE(GetWindowRect(desktop, &rect));
  ExpectRect(rect, 0, 0, 1024, 768);
  EXPECT_FALSE(SetWindowPos(desktop, nullptr, 0, 0, 10, 10, SWP_NOZORDER));
  EXPECT_EQ(sim::LiveWindows(), 0);
}

TEST_F(SimWindowPlacement, AnArmedFailureLeavesTheWindowWhereItWas) {
  HWND window = MakeWindow();
  sim::FailNext("SetWindowPos", 5);
  EXPECT_FALSE(SetWindowPos(window, HWND_TOPMOST, 0, 0, 640, 480, 0));
  EXPECT_EQ(sim::Calls().back().arguments, "0x20004, HWND_TOPMOST, 0, 0, 640, 480, 0x0");
  EXPECT_EQ(GetLastError(), 5u);
  const sim::WindowInfo info = sim::InspectWindow(window);
  ExpectRect(info.window, 50, 40, 350, 290);
  EXPECT_FALSE(info.topmost);
}

}  // namespace
