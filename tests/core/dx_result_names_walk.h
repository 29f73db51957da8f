// Test-only view of the DirectX result-name tables. The including test compiles
// core/dx_result_names.cpp into itself, which gives it the file's private
// kFamilyTables; these helpers read the tables back by probing and the source
// by its `case` lines, so a name added or dropped shows up in the counts; and
// the check of a list of lookups, for every build of the lookup.
#ifndef KR_TESTS_CORE_DX_RESULT_NAMES_WALK_H
#define KR_TESTS_CORE_DX_RESULT_NAMES_WALK_H

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <map>
#include <regex>
#include <string>
#include <vector>

using DxNameTable = const char* (*)(uint32_t code);

// Code -> name of every entry a table answers for. Results live in the success
// codes, the general COM codes and the DirectX facilities, so the walk probes
// every code whose upper half is one of those.
inline std::map<uint32_t, std::string> WalkDxNameTable(DxNameTable table) {
  static const uint32_t kUpperHalves[] = {0x0000, 0x0878, 0x8000, 0x8004,
                                          0x8007, 0x8876, 0x8877, 0x8878};
  std::map<uint32_t, std::string> entries;
  for (uint32_t upper : kUpperHalves) {
    for (uint32_t lower = 0; lower <= 0xFFFF; ++lower) {
      const uint32_t code = upper << 16 | lower;
      if (const char* name = table(code)) entries[code] = name;
    }
  }
  return entries;
}

struct DxSourceEntry {
  uint32_t code;
  std::string name;
};

// Every entry line of core/dx_result_names.cpp as written there, one
// `case 0x887601C2: return "DDERR_SURFACELOST";` per line. Empty if the file
// cannot be found from this header's own path.
inline std::vector<DxSourceEntry> ReadDxSourceEntries() {
  std::string here = __FILE__;
  const std::string::size_type tests = here.rfind("tests/core/");
  if (tests == std::string::npos) return {};
  // A compiler cache makes the path relative to the build folder, one above where the tests run.
  const std::string root = here[0] == '/' ? here.substr(0, tests) : "../" + here.substr(0, tests);
  std::ifstream source(root + "core/dx_result_names.cpp");

  static const std::regex kEntry(R"re(^\s*case 0x([0-9A-F]{8}): return "(\w+)";$)re");
  std::vector<DxSourceEntry> entries;
  std::string line;
  std::smatch match;
  while (std::getline(source, line)) {
    if (std::regex_match(line, match, kEntry)) {
      entries.push_back({static_cast<uint32_t>(std::stoul(match[1], nullptr, 16)), match[2]});
    }
  }
  return entries;
}

// A code (as a 32-bit HRESULT, negative for failures), the family asked, the name expected.
struct DxName {
  uint32_t code;
  int family;
  const char* name;
};

inline void ExpectDxNames(const char* (*lookup)(long, int), std::initializer_list<DxName> names) {
  for (const DxName& n : names) {
    EXPECT_STREQ(lookup(static_cast<int32_t>(n.code), n.family), n.name) << std::hex << n.code << " in " << n.family;
  }
}

#endif
