// The end-of-test check of the host tests: the simulation's live counts are
// taken when a test starts and must be back there when it ends, with no
// contract violation recorded in between. The simulated heap keeps every block
// in its own registry, so LeakSanitizer never sees what the library leaks:
// this check is the leak check.
#ifndef KR_TESTS_SUPPORT_LEAK_CHECK_H
#define KR_TESTS_SUPPORT_LEAK_CHECK_H

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/control.h"

class LeakCheck {
 public:
  // After sim::Reset, before the test makes anything.
  void TakeBaseline() { baseline_ = sim::LiveCounts(); }

  // A test that leaves `extra` of a count behind on purpose (as Windows keeps a
  // context lent on a released surface) says so before the check.
  void Allow(const std::string& counter, int extra) {
    for (auto& [name, count] : baseline_) {
      if (name == counter) {
        count += extra;
        return;
      }
    }
    ADD_FAILURE() << "no live counter named " << counter;
  }

  // Once everything the test made should be gone.
  void ExpectNothingLeft() const {
    EXPECT_EQ(sim::LeakReport(baseline_), "") << "left behind by the test";
  }

 private:
  std::vector<std::pair<std::string, int>> baseline_;
};

// The simulation's own tests that make objects through the platform calls:
// a freshly booted machine, and nothing left behind.
class StrictSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    leaks_.TakeBaseline();
  }
  void TearDown() override { leaks_.ExpectNothingLeft(); }

  LeakCheck leaks_;
};

#endif
