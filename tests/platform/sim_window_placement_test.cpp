// Windows: their rectangles, SetWindowPos keeping the frame, visibility and
// topmost state, classes and the messages of creation and destruction.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "platform/sim/window_geometry.h"

namespace {

class SimWindowPlacement : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }

  // A window at 50, 40, 300 by 250, whose frame is uneven so that a mixed-up side shows.
  static HWND MakeWindow(bool topmost = false, bool visible = true) {
    sim::TestWindowLayout layout;
    layout.x = 50;
    layout.y = 40;
    layout.width = 300;
    layout.height = 250;
    layout.frame = RECT{3, 22, 5, 7};
    layout.topmost = topmost;
    layout.visible = visible;
    return sim::CreateTestWindow(layout);
  }
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

// ---- Classes and messages ---------------------------------------------------------

struct Message {
  HWND window;
  UINT message;
  LPVOID createParams;
};
std::vector<Message> g_messages;
LRESULT g_answerToCreate = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LPVOID params = nullptr;
  if (message == WM_NCCREATE || message == WM_CREATE) {
    params = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
  }
  g_messages.push_back(Message{window, message, params});
  if (message == WM_CREATE) return g_answerToCreate;
  return DefWindowProcA(window, message, wParam, lParam);
}

class SimWindowClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    g_messages.clear();
    g_answerToCreate = 0;
  }

  static ATOM Register(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = sim::ExecutableModule();
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass);
  }
};

TEST_F(SimWindowClasses, TheProcedureSeesItsWindowCreatedAndDestroyed) {
  ASSERT_NE(Register("KRMEDIA_CALLBACK"), 0);
  int tag = 0;
  HWND window = CreateWindowExA(0, "KRMEDIA_CALLBACK", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                sim::ExecutableModule(), &tag);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(sim::InspectWindow(window).visible) << "no WS_VISIBLE: a hidden window";
  EXPECT_EQ(sim::InspectWindow(window).className, "KRMEDIA_CALLBACK");
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));

  ASSERT_EQ(g_messages.size(), 4u);
  EXPECT_EQ(g_messages[0].message, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(g_messages[0].createParams, &tag);
  EXPECT_EQ(g_messages[1].message, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(g_messages[1].window, window);
  EXPECT_EQ(g_messages[2].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(g_messages[3].message, static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(SimWindowClasses, AProcedureThatRefusesCreationLeavesNoWindow) {
  ASSERT_NE(Register("Refusing"), 0);
  g_answerToCreate = -1;
  EXPECT_EQ(CreateWindowExA(0, "Refusing", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(sim::LiveWindows(), 0);
}

TEST_F(SimWindowClasses, ClassNamesIgnoreCaseAndAreRegisteredOnce) {
  const ATOM atom = Register("KRMUSIC_CALLBACK");
  ASSERT_NE(atom, 0);
  EXPECT_EQ(Register("krmusic_callback"), 0);
  EXPECT_EQ(GetLastError(), 1410u);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), 1407u);

  HWND window = CreateWindowExA(0, "KrMusic_Callback", "music", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(UnregisterClassA("KRMUSIC_CALLBACK", nullptr));
  EXPECT_EQ(GetLastError(), 1412u);
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA(MAKEINTRESOURCEA(atom), nullptr));
  EXPECT_FALSE(UnregisterClassA("KRMUSIC_CALLBACK", nullptr));
}

TEST_F(SimWindowClasses, AStyledWindowHasTheFrameOfItsStyle) {
  ASSERT_NE(Register("Framed"), 0);
  HWND window = CreateWindowExA(0, "Framed", "", WS_OVERLAPPEDWINDOW, 10, 20, 200, 100, nullptr, nullptr, nullptr,
                                nullptr);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  ExpectRect(client, 0, 0, 192, 73);  // a sizing border of 4 and a caption of 19

  HWND popup = CreateWindowExA(0, "Framed", "", WS_POPUP, 10, 20, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(GetClientRect(popup, &client));
  ExpectRect(client, 0, 0, 200, 100);
}

TEST_F(SimWindowClasses, ChildrenSitInTheParentsClientAreaAndGoWithIt) {
  ASSERT_NE(Register("Child"), 0);
  HWND parent = sim::CreateTestWindow();
  HWND child = CreateWindowExA(0, "Child", "", WS_CHILD | WS_VISIBLE, 5, 6, 20, 10, parent, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(child, nullptr);
  RECT rect;
  GetWindowRect(child, &rect);
  ExpectRect(rect, 109, 129, 129, 139);
  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(sim::LiveWindows(), 0);
}

}  // namespace
