// The thread's message queue: posting, peeking, getting, dispatching, sending.
#include <vector>

#include "tests/platform/dual_fixture.h"

namespace {

struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK QueueProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) {
    g_seen.push_back(Seen{window, message, wParam, lParam});
    return static_cast<LRESULT>(message - WM_USER + 100);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

constexpr char kClass[] = "KRQueueTest";

class DualMessageQueue : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    g_seen.clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = QueueProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    window_ = MakeWindow(nullptr);
    ASSERT_NE(window_, nullptr);
    Drain();
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Drain();
    UnregisterClassA(kClass, GetModuleHandleA(nullptr));
    DualTest::TearDown();
  }

  static HWND MakeWindow(HWND parent) {
    return CreateWindowExA(0, kClass, "", parent != nullptr ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  // Whatever the system itself queued for the thread, and anything a test left.
  static void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // The messages of ours (WM_USER and up) still queued, in the order they come out.
  static std::vector<UINT> TakeOurs(HWND filter = nullptr) {
    std::vector<UINT> taken;
    MSG message;
    while (PeekMessageA(&message, filter, WM_USER, WM_USER + 100, PM_REMOVE)) taken.push_back(message.message);
    return taken;
  }

  HWND window_ = nullptr;
};

TEST_F(DualMessageQueue, PostedMessagesComeOutInOrderAndStayUntilRemoved) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 1, 11, 12));
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 2, 21, 22));

  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 100, PM_NOREMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
  EXPECT_EQ(message.hwnd, window_);
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1)) << "a peek without removal leaves it first";
  EXPECT_EQ(message.wParam, 11u);
  EXPECT_EQ(message.lParam, 12);
  EXPECT_TRUE(g_seen.empty()) << "posting and peeking call no procedure";

  ASSERT_TRUE(GetMessageA(&message, window_, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST_F(DualMessageQueue, FiltersSelectByWindowAndRange) {
  HWND child = MakeWindow(window_);
  ASSERT_NE(child, nullptr);
  HWND other = MakeWindow(nullptr);
  ASSERT_NE(other, nullptr);
  PostMessageA(other, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);
  PostMessageA(child, WM_USER + 3, 0, 0);
  PostMessageA(window_, WM_USER + 4, 0, 0);
  PostMessageA(window_, WM_USER + 5, 0, 0);

  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE)) << "a range of one message";
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(TakeOurs(window_), (std::vector<UINT>{WM_USER + 3, WM_USER + 4})) << "a window and its children";
  EXPECT_EQ(TakeOurs(reinterpret_cast<HWND>(-1)), (std::vector<UINT>{WM_USER + 2})) << "only thread messages";
  EXPECT_EQ(TakeOurs(), (std::vector<UINT>{WM_USER + 1}));
  DestroyWindow(other);
}

TEST_F(DualMessageQueue, DispatchCallsTheProcedureAndSendDoesNotQueue) {
  EXPECT_EQ(SendMessageA(window_, WM_USER + 7, 1, 2), 107);
  ASSERT_EQ(g_seen.size(), 1u);
  EXPECT_EQ(g_seen[0].wParam, 1u);
  EXPECT_TRUE(TakeOurs().empty());

  PostMessageA(window_, WM_USER + 3, 5, 6);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&message), 103);
  ASSERT_EQ(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[1].window, window_);
  EXPECT_EQ(g_seen[1].lParam, 6);

  PostMessageA(nullptr, WM_USER + 4, 0, 0);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&message), 0) << "a thread message goes to no procedure";
  EXPECT_EQ(g_seen.size(), 2u);
}

TEST_F(DualMessageQueue, QuitComesAfterPostedMessagesAndOnlyOnce) {
  PostQuitMessage(7);
  PostMessageA(window_, WM_USER + 1, 0, 0);
  MSG message;
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "taken once";
}

TEST_F(DualMessageQueue, DestroyedWindowsLoseTheirMessagesAndTakeNoMore) {
  PostMessageA(window_, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);
  HWND gone = window_;
  ASSERT_TRUE(DestroyWindow(window_));
  EXPECT_EQ(TakeOurs(), (std::vector<UINT>{WM_USER + 2}));

  SetLastError(0);
  EXPECT_FALSE(PostMessageA(gone, WM_USER + 3, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  SetLastError(0);
  EXPECT_EQ(SendMessageA(gone, WM_USER + 3, 0, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_TRUE(g_seen.empty());
}

}  // namespace
