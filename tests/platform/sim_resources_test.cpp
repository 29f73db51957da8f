// The simulated modules' resources (FindResourceA and its companions), the
// scripted tick count and the keys a test holds down.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"
#include "support/leak_check.h"

namespace {

using SimResources = StrictSimTest;

std::string Read(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return "<none>";
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = LockResource(loaded);
  if (data == nullptr) return "<unlocked>";
  std::string bytes(static_cast<const char*>(data), SizeofResource(module, found));
  EXPECT_FALSE(FreeResource(loaded)) << "nothing to free on 32-bit Windows";
  return bytes;
}

TEST_F(SimResources, TheLibraryCarriesTheGeneratedResourcesByTypeNameAndId) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  HRSRC wave = FindResourceA(library, MAKEINTRESOURCEA(102), "WAVE");
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(SizeofResource(library, wave), 44u + 23524u);
  EXPECT_EQ(FindResourceA(library, "#102", "wave"), wave) << "types compare without case; #n is the id";
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(103), "KRMODEL").substr(0, 11), "KRMODEL0000");
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(110), RT_BITMAP).size(), 66600u) << "bitmaps without their file header";
  // The same data handle every time: the bytes live with the module.
  EXPECT_EQ(LoadResource(library, wave), LoadResource(library, wave));
}

TEST_F(SimResources, MissingTypesAndNamesSayWhichIsMissing) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  EXPECT_EQ(FindResourceA(library, MAKEINTRESOURCEA(999), "WAVE"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_RESOURCE_NAME_NOT_FOUND});
  EXPECT_EQ(FindResourceA(library, MAKEINTRESOURCEA(102), "MIDI"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_RESOURCE_TYPE_NOT_FOUND});
  // Null is the executable, which carries none of the library's.
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(102), "WAVE"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_RESOURCE_TYPE_NOT_FOUND});
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_TRUE(sim::ContractViolations().empty());
}

TEST_F(SimResources, TestsReplaceAndRemoveResourcesUntilTheNextReset) {
  HMODULE library = sim::LoadedModule("KORVATHD.DLL");
  const std::string original = sim::ResourceBytes(library, "WAVE", MAKEINTRESOURCEA(104));
  sim::SetResource(library, "wave", MAKEINTRESOURCEA(104), "short");
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(104), "WAVE"), "short");
  sim::SetResource(sim::ExecutableModule(), "DATA", "TABLE", "xyz");
  EXPECT_EQ(Read(nullptr, "table", "data"), "xyz");
  EXPECT_TRUE(sim::RemoveResource(library, "WAVE", MAKEINTRESOURCEA(105)));
  EXPECT_FALSE(sim::RemoveResource(library, "WAVE", MAKEINTRESOURCEA(105)));
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(105), "WAVE"), "<none>");
  EXPECT_THROW(sim::SetResource(reinterpret_cast<HMODULE>(0x7000), "WAVE", "X", ""), std::invalid_argument);
  sim::Reset();
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(104), "WAVE"), original);
  EXPECT_EQ(Read(library, MAKEINTRESOURCEA(105), "WAVE").size(), 44u + 69270u);
  EXPECT_EQ(Read(nullptr, "TABLE", "DATA"), "<none>");
}

TEST_F(SimResources, HandlesThatAreNotResourcesBreakTheContract) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  int notAResource = 0;
  HRSRC bogus = reinterpret_cast<HRSRC>(&notAResource);
  EXPECT_EQ(LoadResource(library, bogus), nullptr);
  EXPECT_EQ(SizeofResource(library, bogus), 0u);
  EXPECT_EQ(LockResource(&notAResource), nullptr);
  // A resource of one module given with another module.
  HRSRC wave = FindResourceA(library, MAKEINTRESOURCEA(102), "WAVE");
  EXPECT_EQ(LoadResource(GetModuleHandleA(nullptr), wave), nullptr);
  EXPECT_EQ(sim::ContractViolations().size(), 4u);
  sim::ClearContractViolations();
}

TEST_F(SimResources, InjectedFailuresReachEachCall) {
  HMODULE library = GetModuleHandleA("KORVATHD.DLL");
  sim::FailNext("FindResourceA", ERROR_NOT_ENOUGH_MEMORY, "MAKEINTRESOURCE(103)");
  EXPECT_EQ(FindResourceA(library, MAKEINTRESOURCEA(103), "KRMODEL"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_ENOUGH_MEMORY});
  HRSRC model = FindResourceA(library, MAKEINTRESOURCEA(103), "KRMODEL");
  ASSERT_NE(model, nullptr);
  EXPECT_NE(sim::Calls().back().arguments.find("\"KRMODEL\""), std::string::npos);
  sim::FailNext("LoadResource", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(LoadResource(library, model), nullptr);
  sim::FailNext("SizeofResource", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(SizeofResource(library, model), 0u);
  EXPECT_EQ(SizeofResource(library, model), 220u);
}

using SimScriptedInput = StrictSimTest;

TEST_F(SimScriptedInput, TickCountsFollowTheScriptThenTheStep) {
  sim::ScriptTickCounts({500, 0xFFFFFFF0u});
  EXPECT_EQ(GetTickCount(), 500u);
  EXPECT_EQ(sim::Now(), 500u) << "the clock follows the script";
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u) << "no step: the clock stands";
  sim::SetTickStep(16);
  EXPECT_EQ(GetTickCount(), 0u) << "wraps like the tick count";
  EXPECT_EQ(GetTickCount(), 16u);
  sim::Reset();
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot);
  EXPECT_EQ(GetTickCount(), sim::kTickCountAtBoot) << "the step is gone with the reset";
}

TEST_F(SimScriptedInput, KeysGoDownAtOnceOrAfterQueries) {
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  sim::SetAsyncKeyDown(VK_ESCAPE, true);
  EXPECT_LT(GetAsyncKeyState(VK_ESCAPE), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0) << "other keys stay up";
  sim::PressAsyncKeyAfter(VK_ESCAPE, 2);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  EXPECT_LT(GetAsyncKeyState(VK_ESCAPE), 0);
  EXPECT_LT(GetAsyncKeyState(VK_ESCAPE), 0);
  sim::SetAsyncKeyDown(VK_ESCAPE, false);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  sim::SetAsyncKeyDown(VK_ESCAPE, true);
  sim::Reset();
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
}

}  // namespace
