// The process's code pages: the run-time's multibyte table and the system's
// ANSI code page, 932 at boot.
#include <gtest/gtest.h>
#include <mbctype.h>
#include <windows.h>

#include <cerrno>

#include "platform/sim/control.h"
#include "platform/sim/gdi_control.h"

namespace {

class SimMultibyte : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimMultibyte, CodePage932HasItsLeadBytesAndHalfWidthKatakana) {
  EXPECT_EQ(_getmbcp(), 932);
  for (unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu}) EXPECT_NE(_ismbblead(lead), 0) << std::hex << lead;
  for (unsigned other : {0x80u, 0xA0u, 0xA1u, 0xDFu, 0xFDu, 0x41u, 0x5Cu}) {
    EXPECT_EQ(_ismbblead(other), 0) << std::hex << other;
  }
  for (unsigned kana : {0xA1u, 0xA5u, 0xA6u, 0xDFu}) EXPECT_NE(_ismbbkana(kana), 0) << std::hex << kana;
  for (unsigned other : {0xA0u, 0xE0u, 0x81u, 0x41u}) EXPECT_EQ(_ismbbkana(other), 0) << std::hex << other;
  EXPECT_NE(_ismbbtrail(0x5C), 0) << "a backslash can end a double-byte character";
  EXPECT_EQ(_ismbbtrail(0x7F), 0);
  // The table itself, as the run-time's macros read it: byte + 1.
  EXPECT_EQ(_mbctype[0x82 + 1] & _M1, _M1);
  EXPECT_EQ(_mbctype[0xB1 + 1] & (_MS | _MP), _MS);
  EXPECT_EQ(_mbctype[0xA1 + 1] & (_MS | _MP), _MP);
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
  EXPECT_FALSE(IsDBCSLeadByte(0xA1));
}

TEST_F(SimMultibyte, ASingleByteSystemHasNoLeadBytesOrKatakana) {
  sim::SetAnsiCodePage(1252);
  EXPECT_EQ(_getmbcp(), 1252);
  EXPECT_EQ(_ismbblead(0x82), 0);
  EXPECT_EQ(_ismbbkana(0xB1), 0);
  EXPECT_FALSE(IsDBCSLeadByte(0x82));
  sim::Reset();
  EXPECT_EQ(_getmbcp(), 932);
  EXPECT_NE(_ismbblead(0x82), 0);
}

// The run-time's table can be switched apart from the system's code page.
TEST_F(SimMultibyte, SetmbcpChangesOnlyTheRunTimesTable) {
  ASSERT_EQ(_setmbcp(1252), 0);
  EXPECT_EQ(_ismbblead(0x82), 0);
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
  ASSERT_EQ(_setmbcp(_MB_CP_ANSI), 0);
  EXPECT_EQ(_getmbcp(), 932);
  ASSERT_EQ(_setmbcp(_MB_CP_SBCS), 0);
  EXPECT_EQ(_getmbcp(), 0);
  EXPECT_EQ(_ismbblead(0x82), 0);

  errno = 0;
  EXPECT_EQ(_setmbcp(12345), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(_getmbcp(), 0) << "a refused code page changes nothing";
  sim::FailNext("_setmbcp", ENOMEM);
  EXPECT_EQ(_setmbcp(932), -1);
  EXPECT_EQ(errno, ENOMEM);
  EXPECT_EQ(_getmbcp(), 0);
}

}  // namespace
