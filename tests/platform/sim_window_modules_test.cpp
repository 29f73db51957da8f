// The simulated machine's modules and current directory. Full path names and
// the string helpers are tested on both (full_path_dual_test.cpp,
// strings_dual_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "support/leak_check.h"

namespace {

using SimWindowModules = StrictSimTest;

TEST_F(SimWindowModules, ModulesAreFoundByFileNameWhateverTheCaseOrFolder) {
  HMODULE executable = GetModuleHandleA(nullptr);
  EXPECT_EQ(executable, sim::ExecutableModule());
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(library, executable);
  EXPECT_EQ(GetModuleHandleA("korvathd"), library) << "without an extension the name is a library's";
  EXPECT_EQ(GetModuleHandleA("C:\\Windows\\System\\KorvatHD.dll"), library);
  EXPECT_EQ(GetModuleHandleA("DDRAW.DLL"), nullptr);
  EXPECT_EQ(GetLastError(), 126u);
  HMODULE added = sim::AddLoadedModule("DDRAW.DLL");
  EXPECT_EQ(GetModuleHandleA("ddraw.dll"), added);
}

TEST_F(SimWindowModules, TheCurrentDirectoryIsTheWorkFolderOnDriveC) {
  char buffer[MAX_PATH];
  ASSERT_EQ(GetFullPathNameA(".", sizeof buffer, buffer, nullptr), 7u);
  EXPECT_STREQ(buffer, "C:\\work");
  ASSERT_NE(GetFullPathNameA("..\\..\\..\\up.bmp", sizeof buffer, buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "C:\\up.bmp") << "no way above the drive";
}

}  // namespace
