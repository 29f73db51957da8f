// The six result-name tables of KORVATHD, read back entry by entry: how many
// names each family holds and of which kinds, and that the walk sees every
// entry the source writes.
#define KR_DXNAMES_FUNCTION TablesTestDXResultName
#include "core/dx_result_names.cpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dx_result_names_walk.h"

namespace {

// A kind of name: a whole name, or a prefix when it ends in '_'.
struct NameKind {
  std::string pattern;
  int count;
};

struct FamilyContent {
  const char* family;
  size_t total;
  std::vector<NameKind> kinds;  // each name counts under the first kind it fits
};

// Family number n is kFamilyTables[n - 1].
const FamilyContent kContents[kFamilyCount] = {
    {"DirectDraw", 107, {{"DD_OK", 1}, {"DDERR_", 106}}},
    {"Direct3D", 52, {{"D3D_OK", 1}, {"D3DERR_", 51}}},
    {"DirectInput", 34, {{"DI_OK", 1}, {"DI_", 6}, {"DIERR_", 26}, {"E_PENDING", 1}}},
    {"DirectSound", 17, {{"DS_OK", 1}, {"DSERR_", 16}}},
    {"DirectPlay", 58, {{"DP_OK", 1}, {"DPERR_", 57}}},
    {"DirectMusic", 63,
     {{"DMUS_OK", 1}, {"DMUS_S_", 5}, {"DMUS_E_", 55}, {"E_INVALIDARG", 1}, {"E_POINTER", 1}}},
};

bool Fits(const std::string& name, const std::string& pattern) {
  if (pattern.back() == '_') return name.compare(0, pattern.size(), pattern) == 0;
  return name == pattern;
}

TEST(DxResultNameTables, EachFamilyHoldsItsNamesOnce) {
  for (int i = 0; i < kFamilyCount; ++i) {
    const FamilyContent& content = kContents[i];
    SCOPED_TRACE(content.family);
    const auto entries = WalkDxNameTable(kFamilyTables[i]);
    EXPECT_EQ(entries.size(), content.total);

    std::vector<int> counts(content.kinds.size(), 0);
    std::set<std::string> names;
    for (const auto& entry : entries) {
      const std::string& name = entry.second;
      size_t kind = 0;
      while (kind < content.kinds.size() && !Fits(name, content.kinds[kind].pattern)) ++kind;
      if (kind < content.kinds.size()) {
        ++counts[kind];
      } else {
        ADD_FAILURE() << name << " is not a name of this family";
      }
      // A name under two codes would be a misspelt or misplaced entry.
      EXPECT_TRUE(names.insert(name).second) << name << " appears twice";
    }
    for (size_t kind = 0; kind < content.kinds.size(); ++kind) {
      EXPECT_EQ(counts[kind], content.kinds[kind].count) << content.kinds[kind].pattern;
    }
  }
}

TEST(DxResultNameTables, SuccessCodeIsTheFamilysOwnOk) {
  const char* expected[kFamilyCount] = {"DD_OK", "D3D_OK", "DI_OK", "DS_OK", "DP_OK", "DMUS_OK"};
  for (int i = 0; i < kFamilyCount; ++i) EXPECT_STREQ(kFamilyTables[i](0), expected[i]);
}

TEST(DxResultNameTables, WalkReachesEveryEntryOfTheSource) {
  const std::vector<DxSourceEntry> written = ReadDxSourceEntries();
  size_t walked = 0;
  std::set<std::pair<uint32_t, std::string>> found;
  for (DxNameTable table : kFamilyTables) {
    for (const auto& entry : WalkDxNameTable(table)) {
      found.insert(entry);
      ++walked;
    }
  }
  // One line per entry, in the one form the value check reads.
  EXPECT_EQ(written.size(), walked);
  for (const DxSourceEntry& entry : written) {
    EXPECT_EQ(found.count({entry.code, entry.name}), 1u) << std::hex << entry.code << " " << entry.name;
  }
}

}  // namespace
