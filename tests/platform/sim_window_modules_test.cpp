// Modules, full path names and the string helpers of the Windows API.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"

namespace {

class SimWindowModules : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }

  // The full path, and the file part as text ("<null>" when there is none).
  static std::pair<std::string, std::string> FullPath(const char* name) {
    char buffer[MAX_PATH];
    char* filePart = reinterpret_cast<char*>(1);
    const DWORD length = GetFullPathNameA(name, sizeof buffer, buffer, &filePart);
    if (length == 0 || length >= sizeof buffer) return {"<failed>", ""};
    EXPECT_EQ(length, std::strlen(buffer));
    return {buffer, filePart ? std::string(filePart) : "<null>"};
  }
};

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

TEST_F(SimWindowModules, RelativeNamesJoinTheCurrentDirectoryAndKeepTheirCase) {
  EXPECT_EQ(FullPath("Sprite.BMP"), std::make_pair(std::string("C:\\work\\Sprite.BMP"), std::string("Sprite.BMP")));
  EXPECT_EQ(FullPath("data/sub\\x.bmp").first, "C:\\work\\data\\sub\\x.bmp");
  EXPECT_EQ(FullPath(".\\a\\..\\b.bmp").first, "C:\\work\\b.bmp");
  EXPECT_EQ(FullPath("..\\..\\..\\up.bmp").first, "C:\\up.bmp");
  EXPECT_EQ(FullPath("C:rel.bmp").first, "C:\\work\\rel.bmp");
  EXPECT_EQ(FullPath("\\rooted.bmp").first, "C:\\rooted.bmp");
  EXPECT_EQ(FullPath("d:\\a\\..\\b").first, "d:\\b");
  EXPECT_EQ(FullPath("D:rel").first, "D:\\rel");
  EXPECT_EQ(FullPath("name.").first, "C:\\work\\name");
}

TEST_F(SimWindowModules, AFolderNameEndsInASeparatorAndHasNoFilePart) {
  EXPECT_EQ(FullPath("dir\\"), std::make_pair(std::string("C:\\work\\dir\\"), std::string("<null>")));
  EXPECT_EQ(FullPath("C:\\..\\.."), std::make_pair(std::string("C:\\"), std::string("<null>")));
  EXPECT_EQ(FullPath("dir\\.").first, "C:\\work\\dir");
}

TEST_F(SimWindowModules, TrailBytesOfCodePage932AreNotSeparators) {
  // "ソ" is 83 5C: its trail byte is a backslash.
  EXPECT_EQ(FullPath("\x83\x5C\\a.bmp").first, "C:\\work\\\x83\x5C\\a.bmp");
  EXPECT_EQ(FullPath("\x83\x5C").second, "\x83\x5C");
}

TEST_F(SimWindowModules, ASmallBufferGetsNothingAndTheSizeItNeeds) {
  char buffer[8] = "unset";
  EXPECT_EQ(GetFullPathNameA("abc.bmp", sizeof buffer, buffer, nullptr), 16u);  // C:\work\abc.bmp and its zero
  EXPECT_STREQ(buffer, "unset");
  char exact[16];
  EXPECT_EQ(GetFullPathNameA("abc.bmp", sizeof exact, exact, nullptr), 15u);
  EXPECT_STREQ(exact, "C:\\work\\abc.bmp");
  EXPECT_EQ(GetFullPathNameA("", sizeof exact, exact, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(SimWindowModules, LstrcmpIsExactAndLstrcmpiIgnoresCase) {
  EXPECT_EQ(lstrcmpA("KRMODEL0000", "KRMODEL0000"), 0);
  EXPECT_NE(lstrcmpA("KRMODEL0000", "krmodel0000"), 0);
  EXPECT_LT(lstrcmpA("abc", "abd"), 0);
  EXPECT_GT(lstrcmpA("abcd", "abc"), 0);
  EXPECT_LT(lstrcmpA(nullptr, ""), 0);
  EXPECT_EQ(lstrcmpiA("KRMODEL0000", "krmodel0000"), 0);
  EXPECT_NE(lstrcmpiA("KRMODEL0000", "KRMODEL000"), 0);
}

TEST_F(SimWindowModules, WsprintfFormatsAsUser32Does) {
  char line[128];
  EXPECT_EQ(wsprintfA(line, "%d.%s", 3, "\x8C\xF3\x95\xE2"), 6);
  EXPECT_STREQ(line, "3.\x8C\xF3\x95\xE2");
  const DWORD triangles = 4000000000u;
  wsprintfA(line, "Triangles per frame = %d, %lu, %04X, %-3c|, %%", 12, triangles, 0xAB, 'x');
  EXPECT_STREQ(line, "Triangles per frame = 12, 4000000000, 00AB, x  |, %");
  wsprintfA(line, "%s", static_cast<const char*>(nullptr));
  EXPECT_STREQ(line, "(null)");

  std::string longText(2000, 'a');
  std::string out(2000, '\0');
  EXPECT_EQ(wsprintfA(out.data(), "%s", longText.c_str()), 1023);
}

}  // namespace
