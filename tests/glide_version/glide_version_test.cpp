// grGlideInit against a KORVATHD that reports other versions or refuses its
// validation: a program of its own, in which these stand-ins take the place of
// the library's KRGetVersion and KRValidateKRSystems (our KORVATHD always
// reports 0.71 and validates). The process end shows the last message box.
#include <gtest/gtest.h>
#include <glide.h>
#include <korvathd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"

namespace {

KRVERSIONINFO g_version = {0, 71, 655};
int g_valid = 1;

}  // namespace

int KRGetVersion(KRVERSIONINFO* info) {
  *info = g_version;
  return 1;
}

int KRValidateKRSystems(void) { return g_valid; }

// The process ends as the simulation's own end does, telling first what the box said.
extern "C" void WINAPI ExitProcess(UINT code) {
  std::string text = sim::MessageBoxes().empty() ? "(no box)" : sim::MessageBoxes().back().text;
  for (char& c : text) c = c == '\r' ? '|' : c;
  std::fprintf(stderr, "box: %s owner %s\n", text.c_str(), sim::MessageBoxes().back().owner ? "set" : "none");
  std::fflush(stderr);
  std::_Exit(static_cast<int>(code) & 0xFF);
}

namespace {

void InitWith(DWORD major, DWORD minor, int valid) {
  sim::Reset();
  g_version = {major, minor, 1};
  g_valid = valid;
  sim::SetActiveWindowForTest(sim::CreateTestWindow());
  grGlideInit();
}

TEST(GlideVersionDeathTest, AKorvathBefore070EndsTheProcess) {
  EXPECT_EXIT(InitWith(0, 69, 1), ::testing::ExitedWithCode(255),
              "box: To must upgrade the KORVATH.DLL\\|Ondrel shutdown. owner none");
}

TEST(GlideVersionDeathTest, AFailedValidationEndsTheProcess) {
  EXPECT_EXIT(InitWith(0, 70, 0), ::testing::ExitedWithCode(255),
              "box: Failed to initialize the KORVATH systems\\|Ondrel shutdown. owner none");
}

TEST(GlideVersionTest, Version070AndAnyLaterMajorAreAccepted) {
  InitWith(0, 70, 1);
  InitWith(1, 0, 1);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_NE(sim::DebugOutput().find("Ondrel info : Startup Korvath succeeded"), std::string::npos);
  KRCleanup();
}

}  // namespace
