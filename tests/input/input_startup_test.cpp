// Input start-up and clean-up: the calls and lines in order, every failing
// step of the keyboard and the mouse, DirectInput and heap failures.
#include <ostream>
#include <string>
#include <vector>

#include "input/ime_state.h"
#include "tests/input/input_fixture.h"

namespace {

const unsigned long kStartupFailed = KRERR_INPUT | KRERR_STARTUPFAILED;
const HRESULT kGeneric = static_cast<HRESULT>(0x80004005);

std::vector<std::string> MethodNames(const std::vector<std::string>& calls) {
  std::vector<std::string> names;
  for (const std::string& call : calls) names.push_back(call.substr(0, call.find('(')));
  return names;
}

TEST_F(InputTest, StartupMakesDirectInputThenKeyboardMouseAndJoysticksInOrder) {
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(KRInputIsStarted(), 1);

  const std::vector<std::string> device = {
      "IDirectInputA::CreateDevice",        "IDirectInputDevice2A::QueryInterface",
      "IDirectInputDevice2A::Release",      "IDirectInputDevice2A::SetDataFormat",
      "IDirectInputDevice2A::SetCooperativeLevel", "IDirectInputDevice2A::Acquire"};
  std::vector<std::string> expected = {"IDirectInputA::Initialize"};
  expected.insert(expected.end(), device.begin(), device.end());
  expected.insert(expected.end(), device.begin(), device.end());
  expected.push_back("IDirectInputA::EnumDevices");
  const std::vector<std::string> calls = InputCalls();
  EXPECT_EQ(MethodNames(calls), expected);
  ASSERT_EQ(calls.size(), expected.size());
  EXPECT_EQ(calls[0], "IDirectInputA::Initialize(0x400000, 0x500)");
  EXPECT_NE(calls[4].find("\"Keyboard\", c_dfDIKeyboard"), std::string::npos) << calls[4];
  EXPECT_NE(calls[5].find("\"Keyboard\", " + WindowText() + ", 0x6"), std::string::npos) << calls[5];
  EXPECT_NE(calls[10].find("\"Mouse\", c_dfDIMouse"), std::string::npos) << calls[10];
  EXPECT_NE(calls[11].find("\"Mouse\", " + WindowText() + ", 0x5"), std::string::npos) << calls[11];
  EXPECT_EQ(calls[13].substr(0, calls[13].find(',')), "IDirectInputA::EnumDevices(4");
  EXPECT_NE(calls[13].find(", 0x1)"), std::string::npos) << calls[13];
  EXPECT_EQ(sim::AcquiredInputDevices(sim::InputDeviceKind::Keyboard), 1);
  EXPECT_EQ(sim::AcquiredInputDevices(sim::InputDeviceKind::Mouse), 1);
  EXPECT_EQ(sim::LiveInputDevices(), 2);

  sim::ClearDebugOutput();
  KRInputCleanup();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRInput : Cleanup", "KRInput : Release DirectInput"}));
  EXPECT_EQ(KRInputIsStarted(), 0);
  EXPECT_EQ(sim::LiveInputDevices(), 0);
  EXPECT_EQ(sim::LiveDirectInputObjects(), 0);
}

TEST_F(InputTest, StartupLinesAndTheSixZeroedBlocks) {
  const int heapBefore = sim::LiveHeapBlocks();
  sim::ClearDebugOutput();
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"KRInput : Startup", "KRInput : DirectInputCreate"}));
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore + 6);
  for (int i = 0; i < KRINPUT_CHARBUFFER_MAX; ++i) ASSERT_EQ(g_krInput.lpCharBuffer[i], 0u);
  for (int i = 0; i < KRINPUT_CANDLIST_SIZE; ++i) ASSERT_EQ(g_krInput.lpCandList[i], 0);
  for (int i = 2; i < KRINPUT_DEVICE_MAX; ++i) ASSERT_EQ(g_krInput.lpDevices[i], nullptr);
  KRInputCleanup();
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  EXPECT_EQ(g_krInput.lpCharBuffer, nullptr);
  EXPECT_EQ(g_krInput.lpImeString, nullptr);
}

TEST_F(InputTest, StartupClearsTheInputMethodFlags) {
  g_krIme.bImeOpen = 1;
  g_krIme.bRedraw = 1;
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(g_krIme.bImeOpen, 0);
  EXPECT_EQ(g_krIme.bRedraw, 0);
}

TEST_F(InputTest, SecondStartupAndCleanupWhileStoppedOnlySetCodes) {
  ASSERT_EQ(KRInputStartup(), 1);
  IDirectInputA* first = g_krInput.lpDirectInput;
  sim::ClearDebugOutput();
  EXPECT_EQ(KRInputStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_INPUT | KRERR_ALREADYSTARTED));
  EXPECT_EQ(g_krInput.lpDirectInput, first);
  EXPECT_EQ(InputLogLines(), std::vector<std::string>{});

  KRInputCleanup();
  sim::ClearDebugOutput();
  KRInputCleanup();
  EXPECT_EQ(KRErrorGetLastError(), static_cast<unsigned long>(KRERR_INPUT | KRERR_NOTSTARTED));
  EXPECT_EQ(InputLogLines(), std::vector<std::string>{});
}

TEST_F(InputTest, LibraryCleanupWarnsAndCleansUpInput) {
  ASSERT_EQ(KRInputStartup(), 1);
  sim::ClearDebugOutput();
  KRCleanup();
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "KR Warining : You didn't cleanup KRInput");
  EXPECT_EQ(lines[1], "KRInput : Cleanup");
  EXPECT_EQ(KRInputIsStarted(), 0);
}

// Nothing is made when DirectInput itself fails; a created object that does
// not initialise is released.
TEST_F(InputTest, DirectInputCreateOrInitializeFailing) {
  const int heapBefore = sim::LiveHeapBlocks();
  for (const char* function : {"CoCreateInstance", "IDirectInputA::Initialize"}) {
    sim::FailNext(function, function[0] == 'C' ? REGDB_E_CLASSNOTREG : kGeneric);
    EXPECT_EQ(KRInputStartup(), 0) << function;
    EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
    EXPECT_EQ(KRInputIsStarted(), 0);
    EXPECT_EQ(sim::LiveDirectInputObjects(), 0);
  }
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  EXPECT_EQ(sim::CountCalls("IDirectInputA::CreateDevice"), 0);

  EXPECT_EQ(KRInputStartup(), 1);  // nothing stale stands in the way
}

TEST_F(InputTest, ExhaustedHeapReleasesWhatWasMadeAndStaysStopped) {
  const int heapBefore = sim::LiveHeapBlocks();
  const int header = 16;
  for (int size : {static_cast<int>(KRINPUT_DEVICE_MAX * sizeof(void*)), KRINPUT_CHARBUFFER_MAX * 4,
                   KRINPUT_CANDLIST_SIZE}) {
    SCOPED_TRACE(size);
    sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", " + std::to_string(size + header));
    EXPECT_EQ(KRInputStartup(), 0);
    EXPECT_EQ(sim::PendingFailures(), 0);
    EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
    EXPECT_EQ(KRInputIsStarted(), 0);
    EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(sim::LiveDirectInputObjects(), 0);
    EXPECT_EQ(g_krInput.lpDevices, nullptr);
    EXPECT_EQ(g_krInput.lpImeString, nullptr);
  }
  EXPECT_EQ(sim::CountCalls("IDirectInputA::CreateDevice"), 0);
  EXPECT_EQ(KRInputStartup(), 1);
}

// Each step of the keyboard's and the mouse's set-up, failing: its line, the
// code, and everything released.
struct DeviceStep {
  const char* function;
  const char* device;  // as the argument text names it
};

// Stable, readable test names for ctest.
void PrintTo(const DeviceStep& step, std::ostream* out) { *out << step.device << "/" << step.function; }

class InputDeviceStepTest : public InputTest, public ::testing::WithParamInterface<DeviceStep> {};

TEST_P(InputDeviceStepTest, FailingStepLogsSetsCodeAndReleasesEverything) {
  const DeviceStep& step = GetParam();
  const int heapBefore = sim::LiveHeapBlocks();
  sim::FailNext(step.function, kGeneric, std::string("\"") + step.device + "\"");
  sim::ClearDebugOutput();
  EXPECT_EQ(KRInputStartup(), 0);
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
  EXPECT_EQ(KRInputIsStarted(), 0);
  const std::vector<std::string> lines = InputLogLines();
  ASSERT_EQ(lines.size(), 5u) << sim::DebugOutput();
  EXPECT_EQ(lines[2], std::string(step.device) + " : DDERR_GENERIC");  // family-0 names: E_FAIL reads so
  EXPECT_EQ(lines[3], "KRInput : Cleanup");
  EXPECT_EQ(lines[4], "KRInput : Release DirectInput");
  EXPECT_EQ(sim::LiveInputDevices(), 0);
  EXPECT_EQ(sim::LiveDirectInputObjects(), 0);
  EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
  EXPECT_EQ(sim::AcquiredInputDevices(sim::InputDeviceKind::Keyboard), 0);
  EXPECT_EQ(sim::CountCalls("IDirectInputA::EnumDevices"), 0);
}

// Every step, for the keyboard and then the mouse.
std::vector<DeviceStep> EverySetUpStep() {
  std::vector<DeviceStep> steps;
  for (const char* device : {"Keyboard", "Mouse"}) {
    for (const char* function : {"IDirectInputA::CreateDevice", "IDirectInputDevice2A::QueryInterface",
                                 "IDirectInputDevice2A::SetDataFormat", "IDirectInputDevice2A::SetCooperativeLevel",
                                 "IDirectInputDevice2A::Acquire"}) {
      steps.push_back({function, device});
    }
  }
  return steps;
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, InputDeviceStepTest, ::testing::ValuesIn(EverySetUpStep()),
    [](const ::testing::TestParamInfo<DeviceStep>& info) {
      std::string method = info.param.function;
      return std::string(info.param.device) + method.substr(method.find("::") + 2);
    });

TEST_F(InputTest, BackgroundWindowOrMouseHeldElsewhereFailsStartup) {
  HWND other = sim::CreateTestWindow();
  sim::SetInputForegroundWindow(other);
  sim::ClearDebugOutput();
  EXPECT_EQ(KRInputStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kStartupFailed);
  EXPECT_EQ(InputLogLines().at(2), "Keyboard : DIERR_OTHERAPPHASPRIO");

  sim::SetInputForegroundWindow(window_);
  sim::SetMouseHeldElsewhere(true);
  sim::ClearDebugOutput();
  EXPECT_EQ(KRInputStartup(), 0);
  EXPECT_EQ(InputLogLines().at(2), "Mouse : DIERR_OTHERAPPHASPRIO");
  EXPECT_EQ(sim::LiveInputDevices(), 0);
  DestroyWindow(other);
}

}  // namespace
