// The simulation's own side of the code pages: the system's code page as tests
// set it (932 at boot), the run-time's table read directly, and injected
// failures. What Windows does is tested on both in code_page_dual_test.cpp.
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

// The table itself, as the run-time's macros read it (byte + 1); the lead
// bytes and katakana are tested on both in code_page_dual_test.cpp.
TEST_F(SimMultibyte, TheTableOf932IsReadAtTheBytePlusOne) {
  EXPECT_EQ(_mbctype[0x82 + 1] & _M1, _M1);
  EXPECT_EQ(_mbctype[0xB1 + 1] & (_MS | _MP), _MS);
  EXPECT_EQ(_mbctype[0xA1 + 1] & (_MS | _MP), _MP);
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

TEST_F(SimMultibyte, AnArmedFailureOfSetmbcpChangesNothing) {
  ASSERT_EQ(_setmbcp(_MB_CP_SBCS), 0);
  sim::FailNext("_setmbcp", ENOMEM);
  EXPECT_EQ(_setmbcp(932), -1);
  EXPECT_EQ(errno, ENOMEM);
  EXPECT_EQ(_getmbcp(), 0);
}

}  // namespace
