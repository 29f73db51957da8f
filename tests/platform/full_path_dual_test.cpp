// GetFullPathNameA: names joined to the current directory and its drive,
// dots resolved, the file part and the size asked for.
#include <cstring>
#include <string>
#include <utility>

#include "tests/platform/dual_fixture.h"

namespace {

class DualFullPath : public DualTest {
 protected:
  void SetUp() override {
    DualTest::SetUp();
    current_ = FullPath(".").first;
    ASSERT_GE(current_.size(), 4u);
    ASSERT_EQ(current_.substr(1, 2), ":\\");
    parent_ = current_.substr(0, current_.rfind('\\') + 1);
  }

  // The full path, and the file part as text ("<null>" when there is none).
  static std::pair<std::string, std::string> FullPath(const std::string& name) {
    char buffer[MAX_PATH];
    char* filePart = reinterpret_cast<char*>(1);
    const DWORD length = GetFullPathNameA(name.c_str(), sizeof buffer, buffer, &filePart);
    if (length == 0 || length >= sizeof buffer) return {"<failed>", ""};
    EXPECT_EQ(length, std::strlen(buffer));
    return {buffer, filePart ? std::string(filePart) : "<null>"};
  }

  std::string Drive() const { return current_.substr(0, 2); }
  std::string OtherDrive() const { return current_[0] == 'C' ? "D:" : "C:"; }

  std::string current_;  // the current directory, without a final separator
  std::string parent_;   // its parent, with a final separator
};

TEST_F(DualFullPath, RelativeNamesJoinTheCurrentDirectoryAndKeepTheirCase) {
  EXPECT_EQ(FullPath("Sprite.BMP"), std::make_pair(current_ + "\\Sprite.BMP", std::string("Sprite.BMP")));
  EXPECT_EQ(FullPath("data/sub\\x.bmp").first, current_ + "\\data\\sub\\x.bmp");
  EXPECT_EQ(FullPath(".\\a\\..\\b.bmp").first, current_ + "\\b.bmp");
  EXPECT_EQ(FullPath("..\\up.bmp").first, parent_ + "up.bmp");
  EXPECT_EQ(FullPath("name.").first, current_ + "\\name");
}

TEST_F(DualFullPath, DriveRelativeAndRootedNames) {
  EXPECT_EQ(FullPath(Drive() + "rel.bmp").first, current_ + "\\rel.bmp");
  EXPECT_EQ(FullPath(OtherDrive() + "rel").first, OtherDrive() + "\\rel");
  EXPECT_EQ(FullPath("\\rooted.bmp").first, Drive() + "\\rooted.bmp");
  EXPECT_EQ(FullPath("d:\\a\\..\\b").first, "d:\\b");
  EXPECT_EQ(FullPath("C:\\..\\..\\top.bmp").first, "C:\\top.bmp") << "no way above the drive";
}

TEST_F(DualFullPath, AFolderNameEndsInASeparatorAndHasNoFilePart) {
  EXPECT_EQ(FullPath("dir\\"), std::make_pair(current_ + "\\dir\\", std::string("<null>")));
  EXPECT_EQ(FullPath("C:\\..\\.."), std::make_pair(std::string("C:\\"), std::string("<null>")));
  EXPECT_EQ(FullPath("dir\\.").first, current_ + "\\dir");
}

TEST_F(DualFullPath, ASmallBufferGetsNothingAndTheSizeItNeeds) {
  const std::string expected = current_ + "\\abc.bmp";
  char buffer[8] = "unset";
  EXPECT_EQ(GetFullPathNameA("abc.bmp", sizeof buffer, buffer, nullptr), expected.size() + 1) << "with its zero";
  EXPECT_STREQ(buffer, "unset") << "nothing written";
  std::string exact(expected.size() + 1, '\0');
  EXPECT_EQ(GetFullPathNameA("abc.bmp", static_cast<DWORD>(exact.size()), exact.data(), nullptr), expected.size());
  EXPECT_STREQ(exact.c_str(), expected.c_str());
}

TEST_F(DualFullPath, AnEmptyNameHasNoFullPathAndSetsNoError) {
  char buffer[MAX_PATH] = "unset";
  SetLastError(ERROR_FILE_EXISTS);
  EXPECT_EQ(GetFullPathNameA("", sizeof buffer, buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
}

}  // namespace

namespace {

TEST_F(DualFullPath, TheCurrentDirectoryIsWhatDotMakesWhole) {
  char full[MAX_PATH];
  const DWORD fullLength = GetFullPathNameA(".", MAX_PATH, full, nullptr);
  ASSERT_GT(fullLength, 0u);
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), fullLength + 1) << "the size it needs, with the zero";
  char directory[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryA(fullLength, directory), fullLength + 1) << "no room for the zero";
  ASSERT_EQ(GetCurrentDirectoryA(MAX_PATH, directory), fullLength);
  EXPECT_STREQ(directory, full);
}

}  // namespace
