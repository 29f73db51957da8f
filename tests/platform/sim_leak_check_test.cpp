// The simulation's strictness: live counts with their report, contract
// violations, and the last error that debugger output leaves behind.
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sim/control.h"
#include "platform/sim/ddraw_control.h"
#include "platform/sim/gdi_control.h"
#include "support/leak_check.h"

namespace {

class SimLeakCheck : public StrictSimTest {
 protected:
  static bool Names(const std::string& report, const std::string& line) {
    return report.find(line) != std::string::npos;
  }
  static void ExpectNamed(const std::string& report, std::initializer_list<const char*> lines) {
    for (const char* line : lines) EXPECT_TRUE(Names(report, line)) << line << " missing from:\n" << report;
  }

  static IDirectDraw4* MakeDirectDraw() {
    IDirectDraw4* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectDraw4,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
  }
};

TEST_F(SimLeakCheck, EachKindLeftBehindIsNamedUntilItIsGivenBack) {
  const std::vector<std::pair<std::string, int>> start = sim::LiveCounts();
  EXPECT_EQ(sim::LeakReport(start), "");

  void* block = HeapAlloc(GetProcessHeap(), 0, 16);
  HLOCAL local = LocalAlloc(LMEM_FIXED, 8);
  HANDLE file = CreateFileA("left.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HWND window = sim::CreateTestWindow();
  LOGFONTA font = {};
  font.lfHeight = 12;
  HFONT made = CreateFontIndirectA(&font);
  HDC screen = GetDC(nullptr);
  ASSERT_NE(block, nullptr);
  // Not asked to be zeroed: the debug heap's fill, as a read of unset memory would see it.
  EXPECT_EQ(*static_cast<uint32_t*>(block), 0xBAADF00Du);
  EXPECT_EQ(*static_cast<uint32_t*>(local), 0xBAADF00Du);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_NE(made, nullptr);

  const std::string report = sim::LeakReport(start);
  ExpectNamed(report, {"heap blocks: 0 at the start, 1 now", "local blocks: 0 at the start, 1 now",
                       "open files: 0 at the start, 1 now", "kernel handles: 0 at the start, 1 now",
                       "windows: 0 at the start, 1 now", "GDI objects: 0 at the start, 1 now",
                       "device contexts: 0 at the start, 1 now"});
  EXPECT_FALSE(Names(report, "surfaces")) << report;

  HeapFree(GetProcessHeap(), 0, block);
  LocalFree(local);
  CloseHandle(file);
  DestroyWindow(window);
  DeleteObject(made);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(sim::LeakReport(start), "");
}

TEST_F(SimLeakCheck, DirectDrawObjectsAndSurfacesAreCounted) {
  const std::vector<std::pair<std::string, int>> start = sim::LiveCounts();
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IDirectDraw4* object = MakeDirectDraw();
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Initialize(nullptr), DD_OK);
  ASSERT_EQ(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(object->CreateSurface(&desc, &primary, nullptr), DD_OK);
  IDirectDrawGammaControl* gamma = nullptr;
  ASSERT_EQ(primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&gamma)), S_OK);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(object->CreateClipper(0, &clipper, nullptr), DD_OK);

  const std::string report = sim::LeakReport(start);
  ExpectNamed(report, {"COM initialisations: 0 at the start, 1 now", "DirectDraw objects: 0 at the start, 1 now",
                       "surfaces: 0 at the start, 1 now", "clippers: 0 at the start, 1 now",
                       "COM objects: 0 at the start, 4 now"});

  // The gamma control holds the surface: the surface stays, and both objects count.
  primary->Release();
  clipper->Release();
  object->Release();
  const std::string held = sim::LeakReport(start);
  ExpectNamed(held, {"surfaces: 0 at the start, 1 now", "COM objects: 0 at the start, 2 now"});
  EXPECT_FALSE(Names(held, "DirectDraw objects")) << held;
  EXPECT_FALSE(Names(held, "clippers")) << held;
  gamma->Release();
  CoUninitialize();
  EXPECT_EQ(sim::LeakReport(start), "");
}

TEST_F(SimLeakCheck, UninitialisingComUnderLiveObjectsOrWithoutInitialisingIsAViolation) {
  CoUninitialize();
  ASSERT_EQ(sim::ContractViolations().size(), 1u);
  EXPECT_NE(sim::ContractViolations()[0].find("without a CoInitialize"), std::string::npos);
  EXPECT_EQ(sim::ComInitializeDepth(), 0);
  sim::ClearContractViolations();

  // Nested initialisations: only the last uninitialisation ends COM.
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  ASSERT_EQ(CoInitialize(nullptr), S_FALSE);
  IDirectDraw4* object = MakeDirectDraw();
  CoUninitialize();
  EXPECT_TRUE(sim::ContractViolations().empty());
  CoUninitialize();
  ASSERT_EQ(sim::ContractViolations().size(), 1u);
  EXPECT_EQ(sim::ContractViolations()[0], "CoUninitialize ended COM with 1 COM object(s) still referenced");
  EXPECT_TRUE(Names(sim::LeakReport(sim::LiveCounts()),
                    "contract violation: CoUninitialize ended COM with 1 COM object(s) still referenced\n"));

  object->Release();
  sim::ClearContractViolations();
}

TEST_F(SimLeakCheck, ResetForgetsViolations) {
  CoUninitialize();
  ASSERT_FALSE(sim::ContractViolations().empty());
  sim::Reset();
  EXPECT_TRUE(sim::ContractViolations().empty());
}

TEST_F(SimLeakCheck, DebuggerOutputLeavesItsOwnCodeInTheLastError) {
  SetLastError(ERROR_ACCESS_DENIED);
  OutputDebugStringA("line\n");
  EXPECT_EQ(GetLastError(), sim::kLastErrorAfterDebugOutput);
  EXPECT_NE(sim::kLastErrorAfterDebugOutput, static_cast<DWORD>(ERROR_SUCCESS));

  // The code has a system message, so a log line written with it shows the mistake plainly.
  char* text = nullptr;
  ASSERT_NE(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                           sim::kLastErrorAfterDebugOutput, LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&text), 0,
                           nullptr),
            0u);
  EXPECT_STREQ(text, "Incorrect function.\r\n");
  LocalFree(text);
}

}  // namespace
