// Window classes and the messages of a window's creation and destruction; on the
// host also the simulation's own: only those messages, and the frame of a style.
#include <vector>

#include "tests/platform/dual_fixture.h"
#ifndef _WIN32
#include "platform/sim/gdi_control.h"
#endif

namespace {

struct Message {
  HWND window;
  UINT message;
  LPVOID createParams;
};
std::vector<Message> g_messages;
int g_otherMessages = 0;
LRESULT g_answerToCreate = 0;

bool IsLifeMessage(UINT message) {
  return message == WM_NCCREATE || message == WM_CREATE || message == WM_DESTROY || message == WM_NCDESTROY;
}

// Windows sends more on the way (sizes, activation); the life messages are what the tests follow.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLifeMessage(message)) {
    LPVOID params = nullptr;
    if (message == WM_NCCREATE || message == WM_CREATE) {
      params = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    }
    g_messages.push_back(Message{window, message, params});
  } else {
    ++g_otherMessages;
  }
  if (message == WM_CREATE) return g_answerToCreate;
  return DefWindowProcA(window, message, wParam, lParam);
}

class DualWindowClasses : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    g_messages.clear();
    g_otherMessages = 0;
    g_answerToCreate = 0;
  }
  void TearDown() override {
    for (const char* name : registered_) UnregisterClassA(name, GetModuleHandleA(nullptr));
    DualTest::TearDown();
  }

  ATOM Register(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    const ATOM atom = RegisterClassA(&windowClass);
    if (atom != 0) registered_.push_back(name);
    return atom;
  }

  static std::vector<UINT> MessagesSeen() {
    std::vector<UINT> seen;
    for (const Message& message : g_messages) seen.push_back(message.message);
    return seen;
  }

 private:
  std::vector<const char*> registered_;
};

TEST_F(DualWindowClasses, TheProcedureSeesItsWindowCreatedAndDestroyed) {
  ASSERT_NE(Register("KRMEDIA_CALLBACK"), 0);
  int tag = 0;
  HWND window = CreateWindowExA(0, "KRMEDIA_CALLBACK", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), &tag);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));

  EXPECT_EQ(MessagesSeen(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  ASSERT_EQ(g_messages.size(), 4u);
  EXPECT_EQ(g_messages[0].createParams, &tag);
  EXPECT_EQ(g_messages[1].createParams, &tag);
  EXPECT_EQ(g_messages[1].window, window);
  EXPECT_EQ(g_messages[3].window, window);
}

TEST_F(DualWindowClasses, AProcedureThatRefusesCreationLeavesNoWindow) {
  ASSERT_NE(Register("Refusing"), 0);
  g_answerToCreate = -1;
  EXPECT_EQ(CreateWindowExA(0, "Refusing", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  ASSERT_FALSE(g_messages.empty());
  EXPECT_FALSE(IsWindow(g_messages.front().window));
  EXPECT_EQ(g_messages.back().message, static_cast<UINT>(WM_NCDESTROY)) << "the half-made window is destroyed";
}

TEST_F(DualWindowClasses, ClassNamesIgnoreCaseAndAreRegisteredOnce) {
  const ATOM atom = Register("KRMUSIC_CALLBACK");
  ASSERT_NE(atom, 0);
  EXPECT_EQ(Register("krmusic_callback"), 0);
  EXPECT_EQ(GetLastError(), 1410u);

  HWND window = CreateWindowExA(0, "KrMusic_Callback", "music", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(UnregisterClassA("KRMUSIC_CALLBACK", GetModuleHandleA(nullptr)));
  EXPECT_EQ(GetLastError(), 1412u);
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA(MAKEINTRESOURCEA(atom), GetModuleHandleA(nullptr)));
  EXPECT_FALSE(UnregisterClassA("KRMUSIC_CALLBACK", GetModuleHandleA(nullptr)));
}

TEST_F(DualWindowClasses, AWindowOfAnUnknownClassIsNotMade) {
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  if (OnWine()) GTEST_SKIP() << "Wine reports ERROR_CLASS_DOES_NOT_EXIST (1411)";
  EXPECT_EQ(GetLastError(), 1407u) << "ERROR_CANNOT_FIND_WND_CLASS";
}

TEST_F(DualWindowClasses, ChildrenSitInTheParentsClientAreaAndGoWithIt) {
  ASSERT_NE(Register("Child"), 0);
  HWND parent = CreateWindowExA(0, "Child", "", WS_POPUP | WS_VISIBLE, 100, 110, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
  ASSERT_NE(parent, nullptr);
  HWND child = CreateWindowExA(0, "Child", "", WS_CHILD | WS_VISIBLE, 5, 6, 20, 10, parent, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(child, nullptr);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(child, &rect));
  EXPECT_EQ(rect.left, 105);
  EXPECT_EQ(rect.top, 116);
  EXPECT_EQ(rect.right, 125);
  EXPECT_EQ(rect.bottom, 126);
  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
}

}  // namespace

namespace {

TEST_F(DualWindowClasses, FindWindowFindsATopLevelWindowByClassAndTitle) {
  ASSERT_NE(Register("KRFIND_TEST"), 0);
  HWND first = CreateWindowExA(0, "KRFIND_TEST", "first", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND second = CreateWindowExA(0, "KRFIND_TEST", "second", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FindWindowA("KRFIND_TEST", "second"), second);
  EXPECT_EQ(FindWindowA("krfind_test", "FIRST"), first) << "neither name minds case";
  EXPECT_EQ(FindWindowA(nullptr, "second"), second);
  const HWND any = FindWindowA("KRFIND_TEST", nullptr);
  EXPECT_TRUE(any == first || any == second);
  EXPECT_EQ(FindWindowA("KRFIND_TEST", "third"), nullptr);
  DestroyWindow(first);
  DestroyWindow(second);
  EXPECT_EQ(FindWindowA("KRFIND_TEST", nullptr), nullptr);
}

}  // namespace

#ifndef _WIN32
namespace {

// Of the messages Windows sends on the way, the simulation sends only the four of creation and destruction.
TEST_F(DualWindowClasses, TheSimulationsWindowIsMadeHiddenOfItsClassWithOnlyItsLifeMessages) {
  ASSERT_NE(Register("KRMEDIA_CALLBACK"), 0);
  HWND window = CreateWindowExA(0, "KRMEDIA_CALLBACK", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                sim::ExecutableModule(), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(sim::InspectWindow(window).visible) << "no WS_VISIBLE: a hidden window";
  EXPECT_EQ(sim::InspectWindow(window).className, "KRMEDIA_CALLBACK");
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(g_messages.size(), 4u);
  EXPECT_EQ(g_otherMessages, 0);
}

TEST_F(DualWindowClasses, TheSimulationsStyledWindowHasTheFrameOfItsStyle) {
  ASSERT_NE(Register("Framed"), 0);
  HWND window = CreateWindowExA(0, "Framed", "", WS_OVERLAPPEDWINDOW, 10, 20, 200, 100, nullptr, nullptr, nullptr,
                                nullptr);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{192, 73}));  // borders 4, caption 19
  HWND popup = CreateWindowExA(0, "Framed", "", WS_POPUP, 10, 20, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(GetClientRect(popup, &client));
  EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{200, 100}));
  DestroyWindow(popup);
  DestroyWindow(window);
}

}  // namespace
#endif
