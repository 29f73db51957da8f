// Candidate lists cut down to the room kept for them: whole candidates only,
// with the list's own size, count and offsets made to agree.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "input/ime_candidate_list.h"

namespace {

DWORD DwordAt(const std::vector<BYTE>& bytes, size_t at) {
  DWORD value;
  memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

// A CANDIDATELIST as IMM32 lays it out: header, offsets, then the strings.
std::vector<BYTE> ListOf(const std::vector<std::string>& candidates) {
  std::vector<BYTE> list(KRIME_CANDLIST_HEADER + 4 * candidates.size());
  for (size_t i = 0; i < candidates.size(); ++i) {
    const DWORD offset = static_cast<DWORD>(list.size());
    memcpy(list.data() + KRIME_CANDLIST_HEADER + 4 * i, &offset, 4);
    list.insert(list.end(), candidates[i].begin(), candidates[i].end());
    list.push_back(0);
  }
  const DWORD size = static_cast<DWORD>(list.size()), count = static_cast<DWORD>(candidates.size());
  memcpy(list.data(), &size, 4);
  memcpy(list.data() + 8, &count, 4);
  return list;
}

TEST(ImeCandidateListTest, ACutListKeepsTheCandidatesThatFitExactly) {
  const std::vector<BYTE> list = ListOf({"ab", "cd", "ef"});
  // Room for the header, two offsets and two strings of three bytes, to the byte.
  const DWORD capacity = KRIME_CANDLIST_HEADER + 2 * 4 + 2 * 3;
  std::vector<BYTE> kept(capacity + 8, 0xEE);
  KRImeKeepCandidateList(list.data(), static_cast<DWORD>(list.size()), kept.data(), capacity);
  EXPECT_EQ(DwordAt(kept, 0), capacity);
  EXPECT_EQ(DwordAt(kept, 8), 2u);
  EXPECT_STREQ(KRImeCandidateAt(kept.data(), capacity, 0), "ab");
  EXPECT_STREQ(KRImeCandidateAt(kept.data(), capacity, 1), "cd");
  EXPECT_EQ(KRImeCandidateAt(kept.data(), capacity, 2), nullptr);
  EXPECT_EQ(kept[capacity], 0xEE) << "nothing written past the room";

  // One byte less and the second candidate no longer fits.
  std::vector<BYTE> smaller(capacity, 0xEE);
  KRImeKeepCandidateList(list.data(), static_cast<DWORD>(list.size()), smaller.data(), capacity - 1);
  EXPECT_EQ(DwordAt(smaller, 8), 1u);
  EXPECT_EQ(DwordAt(smaller, 0), static_cast<DWORD>(KRIME_CANDLIST_HEADER + 4 + 3));
}

TEST(ImeCandidateListTest, AListThatFitsIsKeptWholeAndLessThanAHeaderNotAtAll) {
  const std::vector<BYTE> list = ListOf({"x"});
  std::vector<BYTE> kept(64, 0xEE);
  KRImeKeepCandidateList(list.data(), static_cast<DWORD>(list.size()), kept.data(), 64);
  EXPECT_EQ(memcmp(kept.data(), list.data(), list.size()), 0);

  std::vector<BYTE> untouched(64, 0xEE);
  KRImeKeepCandidateList(list.data(), KRIME_CANDLIST_HEADER - 1, untouched.data(), 64);
  EXPECT_EQ(untouched, std::vector<BYTE>(64, 0xEE));
}

}  // namespace
