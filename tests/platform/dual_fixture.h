// Fixture of the platform tests that run twice: on the host against the
// simulation and on Windows (the win64 build under Wine) against the real
// system, so that the simulation is held to what Windows does.
// Host: every test starts on a freshly booted simulated machine and must leave
// nothing behind. Windows: nothing to reset; each test works in a fresh folder
// of its own, as the simulation's empty current directory.
#ifndef KR_TESTS_PLATFORM_DUAL_FIXTURE_H
#define KR_TESTS_PLATFORM_DUAL_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#ifdef _WIN32
#include <filesystem>
#include <string>
#else
#include "platform/sim/control.h"
#include "support/leak_check.h"
#endif

class DualTest : public ::testing::Test {
 protected:
#ifdef _WIN32
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    home_ = std::filesystem::current_path();
    folder_ = home_ / "dual-scratch" / (std::string(test->test_suite_name()) + "." + test->name());
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);  // left over by an earlier run that crashed
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
#else
  void SetUp() override {
    sim::Reset();
    leaks_.TakeBaseline();
  }
  // Windows would not tidy up after the test either.
  void TearDown() override { leaks_.ExpectNothingLeft(); }
#endif

  // Wine stands in for Windows in the win64 build; where it is known to differ
  // from Windows, a test skips there and says why.
  static bool OnWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
  }

 private:
#ifdef _WIN32
  std::filesystem::path home_;
  std::filesystem::path folder_;
#else
  LeakCheck leaks_;
#endif
};

#endif
