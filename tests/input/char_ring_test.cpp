// The typed-character ring: both forms of the handlers, the key table, a full
// ring, wrap-around and flush.
#include <vector>

#include "tests/input/input_fixture.h"

namespace {

class CharRingTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartInput());
  }

  static std::vector<unsigned int> ReadAll() {
    std::vector<unsigned int> codes;
    for (unsigned int code = KRInputGetChar(); code != 0; code = KRInputGetChar()) codes.push_back(code);
    return codes;
  }
};

TEST_F(CharRingTest, CharactersInBothFormsQueueOncePerMessage) {
  EXPECT_EQ(KRInputGetChar(), 0u);
  KRInputOnChar(0x61u, 0x001E0001L);
  KRInputOnChar(0x62u, 5u, 0x1Eu);  // the repeat count does not multiply
  EXPECT_EQ(KRInputGetChar(), 0x61u);
  EXPECT_EQ(KRInputGetChar(), 0x62u);
  EXPECT_EQ(KRInputGetChar(), 0u);
}

// A release is bit 31 of the 32-bit lParam (bit 15 of the message-map flags),
// also where long is wider and the value is positive.
TEST_F(CharRingTest, ReleasesAreNotQueued) {
  KRInputOnChar(0x61u, static_cast<long>(0xC01E0001u));
  KRInputOnChar(0x62u, 1u, 0xC01Eu);
  KRInputOnChar(0x63u, 0x401E0001L);  // bit 30 (previously down) alone is a repeat
  KRInputOnChar(0x64u, 1u, 0x401Eu);
  EXPECT_EQ(ReadAll(), (std::vector<unsigned int>{0x63u, 0x64u}));
}

TEST_F(CharRingTest, KeyTableInBothForms) {
  const unsigned int keys[] = {VK_RIGHT, VK_LEFT, VK_UP, VK_DOWN, VK_DELETE, VK_SHIFT, VK_CONTROL};
  const unsigned int codes[] = {KRCHAR_RIGHT, KRCHAR_LEFT, KRCHAR_UP,     KRCHAR_DOWN,
                                KRCHAR_DELETE, KRCHAR_SHIFT, KRCHAR_CONTROL};
  std::vector<unsigned int> expected;
  for (size_t i = 0; i < sizeof(keys) / sizeof(keys[0]); ++i) {
    KRInputOnKeyDown(keys[i], 1u, 0u);
    KRInputOnKeyDown(keys[i], static_cast<long>(0xC0000001u));  // flags are not looked at
    expected.push_back(codes[i]);
    expected.push_back(codes[i]);
  }
  for (unsigned int key = VK_F1; key <= VK_F12; ++key) {
    KRInputOnKeyDown(key, 0L);
    expected.push_back(key + 0x13);
  }
  KRInputOnKeyDown(0x41u, 0L);  // the A key queues nothing; its character message does
  KRInputOnKeyDown(0x6Fu, 1u, 0u);
  KRInputOnKeyDown(0x7Cu, 1u, 0u);
  EXPECT_EQ(ReadAll(), expected);
  EXPECT_EQ(expected[14], static_cast<unsigned int>(KRCHAR_F1));
  EXPECT_EQ(expected.back(), 0x8Eu);
}

TEST_F(CharRingTest, FullRingKeeps1023AndDropsTheRest) {
  for (unsigned int i = 0; i < 1100; ++i) KRInputOnChar(0x100u + i, 0L);
  EXPECT_EQ(g_krInput.dwCharWrite, 1023u);
  for (unsigned int i = 0; i < 1023; ++i) ASSERT_EQ(KRInputGetChar(), 0x100u + i);
  EXPECT_EQ(KRInputGetChar(), 0u);
  // Reading made room again.
  KRInputOnChar(0x41u, 0L);
  EXPECT_EQ(KRInputGetChar(), 0x41u);
}

TEST_F(CharRingTest, PositionsWrapAround) {
  for (unsigned int i = 0; i < 1000; ++i) KRInputOnChar(0x31u, 0L);
  EXPECT_EQ(ReadAll().size(), 1000u);
  for (unsigned int i = 0; i < 100; ++i) KRInputOnChar(0x200u + i, 0L);
  EXPECT_EQ(g_krInput.dwCharWrite, 76u);
  const std::vector<unsigned int> codes = ReadAll();
  ASSERT_EQ(codes.size(), 100u);
  for (unsigned int i = 0; i < 100; ++i) EXPECT_EQ(codes[i], 0x200u + i);
  // Across the wrap the ring still holds at most 1023.
  for (unsigned int i = 0; i < 1100; ++i) KRInputOnChar(0x300u, 0L);
  EXPECT_EQ(ReadAll().size(), 1023u);
}

// Flush moves the positions only; character 0 reads like an empty ring.
TEST_F(CharRingTest, FlushAndCharacterZero) {
  KRInputOnChar(0x61u, 0L);
  KRInputOnChar(0x62u, 0L);
  KRInputFlushCharBuffer();
  EXPECT_EQ(KRInputGetChar(), 0u);
  EXPECT_EQ(g_krInput.lpCharBuffer[0], 0x61u);

  KRInputOnChar(0u, 0L);
  KRInputOnChar(0x63u, 0L);
  EXPECT_EQ(KRInputGetChar(), 0u);
  EXPECT_EQ(KRInputGetChar(), 0x63u);
}

}  // namespace
