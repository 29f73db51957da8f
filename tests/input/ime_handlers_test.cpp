// The input-method handlers: what each message copies out of the input
// context, the result text and its hand-out, and every cut and error path.
#include <string>

#include "input/ime_fixture.h"

using namespace std::string_literals;

namespace {

std::string CandidateBytes(size_t size) { return std::string(reinterpret_cast<const char*>(g_krInput.lpCandList), size); }

std::string Repeat(const std::string& part, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

TEST_F(ImeTest, CompositionCopiesReadingAttributesAndModes) {
  sim::SetImeModes(window_, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, 8);
  sim::SetImeComposition(window_, "か", std::string(2, '\0'));
  EXPECT_EQ(KRInputOnImeComposition(0, kCompositionChange), 1);
  EXPECT_EQ(ImeComposition(), "か");
  EXPECT_EQ(g_krInput.lpCompStr[2], '\0');
  EXPECT_EQ(ImeAttributes(), std::string(2, '\0'));
  EXPECT_EQ(g_krIme.dwConversionMode, static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
  EXPECT_EQ(g_krIme.dwSentenceMode, 8u);
  EXPECT_EQ(KR2DDrawImeReq(), 1);

  // Without the attribute flag none are read.
  sim::SetImeComposition(window_, "かa", std::string(3, '\1'));
  KRInputOnImeComposition(0, GCS_COMPSTR);
  EXPECT_EQ(ImeComposition(), "かa");
  EXPECT_EQ(g_krIme.dwCompAttrLength, 0u);
  EXPECT_EQ(sim::LiveImeContexts(), 0);

  EXPECT_EQ(KRInputOnImeStartComposition(0, 0), 0);
  EXPECT_EQ(g_krIme.dwCompLength, 0u);
  KRInputOnImeComposition(0, kCompositionChange);
  EXPECT_EQ(KRInputOnImeEndComposition(0, 0), 0);
  EXPECT_EQ(g_krIme.dwCompLength, 0u);
  EXPECT_EQ(g_krIme.dwCompAttrLength, 0u);
}

TEST_F(ImeTest, ResultIsQueuedAndHandedOutWithoutRedraw) {
  sim::SetImeResult(window_, "漢字");
  EXPECT_EQ(KRInputOnImeComposition(0, GCS_RESULTSTR), 1);
  EXPECT_EQ(KRInputGetChar(), 0xFFFFu);
  EXPECT_EQ(KRInputGetChar(), 0u);
  EXPECT_EQ(g_krIme.dwCompLength, 0u);
  EXPECT_EQ(KR2DDrawImeReq(), 0);
  EXPECT_EQ(TakeImeStrings(), "漢字");
  EXPECT_EQ(TakeImeStrings(), "");
  EXPECT_EQ(sim::CountCalls("ImmGetContext"), sim::CountCalls("ImmReleaseContext"));
}

TEST_F(ImeTest, ResultAndNewCompositionInOneMessage) {
  sim::SetImeResult(window_, "変換");
  sim::SetImeComposition(window_, "あ", "\x00\x00"s);
  KRInputOnImeComposition(0, GCS_RESULTSTR | kCompositionChange);
  EXPECT_EQ(ImeComposition(), "あ");
  EXPECT_EQ(KR2DDrawImeReq(), 1);
  EXPECT_EQ(KRInputGetChar(), 0xFFFFu);
  EXPECT_EQ(TakeImeStrings(), "変換");
  EXPECT_EQ(sim::CountCalls("ImmGetContext"), 2);
  EXPECT_EQ(sim::CountCalls("ImmReleaseContext"), 2);
}

TEST_F(ImeTest, ImeStringsAreCutAndTheRestMovedToTheFront) {
  Result("0123456789");
  EXPECT_EQ(TakeImeStrings(4), "012");
  EXPECT_EQ(TakeImeStrings(1), "");
  EXPECT_EQ(TakeImeStrings(7), "345678");
  EXPECT_EQ(TakeImeStrings(), "9");

  // Two results in a row collect in order; a bad size or buffer takes nothing.
  Result("ab");
  Result("cd");
  char out[4] = "xyz";
  KRInputGetImeStrings(out, 0);
  KRInputGetImeStrings(out, -5);
  KRInputGetImeStrings(nullptr, 10);
  EXPECT_STREQ(out, "xyz");
  EXPECT_EQ(TakeImeStrings(), "abcd");
}

TEST_F(ImeTest, CollectedTextKeepsWholeCharactersWithin1023Bytes) {
  Result(std::string(1000, 'a'));
  // 23 bytes are free: "漢" fits eleven times, the twelfth would be split.
  Result(Repeat("漢", 12));
  EXPECT_EQ(TakeImeStrings(), std::string(1000, 'a') + Repeat("漢", 11));

  // Full: a further result appends nothing, though its code is still queued.
  Result(std::string(1023, 'b'));
  Result("c");
  EXPECT_EQ(TakeImeStrings(), std::string(1023, 'b'));
}

TEST_F(ImeTest, OverlongStringsAreKeptToWholeCharacters) {
  // 550 double-byte characters: 1022 bytes are kept, 1023 would end on a lead byte.
  Compose(Repeat("あ", 550), std::string(1100, '\1'));
  EXPECT_EQ(ImeComposition(), Repeat("あ", 511));
  EXPECT_EQ(g_krInput.lpCompStr[1022], '\0');
  EXPECT_EQ(ImeAttributes(), std::string(1022, '\1'));

  Compose("a" + Repeat("あ", 550), std::string(1101, '\2'));
  EXPECT_EQ(g_krIme.dwCompLength, 1023u);
  // Fewer attributes than text: the count IMM32 gives.
  Compose("abcd", "\1\1");
  EXPECT_EQ(ImeAttributes(), "\1\1");

  Result(std::string(5000, 'r'));
  EXPECT_EQ(TakeImeStrings(), std::string(1023, 'r'));

  // Up to a mebibyte is read and cut; anything longer is not read at all.
  const size_t mebibyte = size_t{1} << 20;
  Compose(std::string(mebibyte, 'c'), "");
  EXPECT_EQ(ImeComposition(), std::string(1023, 'c'));
  Compose(std::string(mebibyte + 1, 'd'), "");
  EXPECT_EQ(ImeComposition(), "");
}

TEST_F(ImeTest, ErrorValuesCountAsNoBytes) {
  sim::SetImeResult(window_, "結果");
  sim::FailNext("ImmGetCompositionStringA", IMM_ERROR_GENERAL, "GCS_RESULTSTR");
  KRInputOnImeComposition(0, GCS_RESULTSTR);
  EXPECT_EQ(KRInputGetChar(), 0xFFFFu);
  EXPECT_EQ(TakeImeStrings(), "");

  // The size is known but the read itself fails.
  Compose("かな", "\0\0\0\0"s);
  EXPECT_EQ(g_krIme.dwCompAttrLength, 4u);
  sim::FailNext("ImmGetCompositionStringA", IMM_ERROR_NODATA, "GCS_COMPSTR, ptr");
  KRInputOnImeComposition(0, kCompositionChange);
  EXPECT_EQ(ImeComposition(), "");
  EXPECT_EQ(g_krInput.lpCompStr[0], '\0');
  EXPECT_EQ(g_krIme.dwCompAttrLength, 0u);

  sim::FailNext("ImmGetCompositionStringA", IMM_ERROR_GENERAL, "GCS_COMPATTR");
  KRInputOnImeComposition(0, kCompositionChange);
  EXPECT_EQ(ImeComposition(), "かな");
  EXPECT_EQ(g_krIme.dwCompAttrLength, 0u);
  EXPECT_EQ(sim::PendingFailures(), 0);

  // A size no input method could mean is not allocated: nothing is read.
  sim::FailNext("ImmGetCompositionStringA", 0x7FFFFFFF, "GCS_COMPSTR, NULL");
  KRInputOnImeComposition(0, kCompositionChange);
  EXPECT_EQ(ImeComposition(), "");
  EXPECT_EQ(sim::PendingFailures(), 0);

  // The modes stay when they cannot be read.
  sim::SetImeModes(window_, IME_CMODE_KATAKANA, 0);
  KRInputOnImeComposition(0, GCS_COMPSTR);
  sim::SetImeModes(window_, IME_CMODE_ROMAN, 0);
  sim::FailNext("ImmGetConversionStatus", ERROR_INVALID_HANDLE);
  KRInputOnImeComposition(0, GCS_COMPSTR);
  EXPECT_EQ(g_krIme.dwConversionMode, static_cast<DWORD>(IME_CMODE_KATAKANA));
}

TEST_F(ImeTest, NoContextReadsNothingAndGivesNothingBack) {
  sim::SetImeResult(window_, "x");
  sim::FailNext("ImmGetContext", ERROR_INVALID_HANDLE, "", 2);
  EXPECT_EQ(KRInputOnImeComposition(0, GCS_RESULTSTR | kCompositionChange), 1);
  EXPECT_EQ(KRInputGetChar(), 0xFFFFu);
  EXPECT_EQ(TakeImeStrings(), "");
  EXPECT_EQ(sim::CountCalls("ImmReleaseContext"), 0);
  EXPECT_EQ(sim::CountCalls("ImmGetCompositionStringA"), 0);
}

TEST_F(ImeTest, NotificationsOpenChangeAndCloseTheCandidates) {
  sim::SetImeCandidateList(window_, sim::CandidateListBytes({"漢字", "感じ", "幹事"}, 1));
  sim::SetImeModes(window_, IME_CMODE_FULLSHAPE, 0);
  EXPECT_EQ(KRInputOnImeNotify(IMN_OPENCANDIDATE, 0), 1);
  EXPECT_EQ(g_krIme.bCandidateOpen, 1);
  EXPECT_EQ(g_krIme.dwConversionMode, static_cast<DWORD>(IME_CMODE_FULLSHAPE));
  const CANDIDATELIST* list = reinterpret_cast<const CANDIDATELIST*>(g_krInput.lpCandList);
  EXPECT_EQ(list->dwCount, 3u);
  EXPECT_EQ(list->dwSelection, 1u);
  EXPECT_STREQ(reinterpret_cast<const char*>(g_krInput.lpCandList) + list->dwOffset[1], "感じ");

  sim::SetImeCandidateList(window_, sim::CandidateListBytes({"a", "b"}, 0));
  g_krIme.bRedraw = 0;
  EXPECT_EQ(KRInputOnImeNotify(IMN_CHANGECANDIDATE, 0), 1);
  EXPECT_EQ(list->dwCount, 2u);
  EXPECT_EQ(KR2DDrawImeReq(), 1);

  g_krIme.bRedraw = 0;
  EXPECT_EQ(KRInputOnImeNotify(IMN_CLOSECANDIDATE, 0), 1);
  EXPECT_EQ(g_krIme.bCandidateOpen, 0);
  EXPECT_EQ(list->dwCount, 2u);  // the list stays
  EXPECT_EQ(KR2DDrawImeReq(), 1);
  EXPECT_EQ(KRInputOnImeNotify(IMN_CHANGECANDIDATE, 0), 1);
  EXPECT_EQ(g_krIme.bCandidateOpen, 0) << "a change does not open the closed candidates";

  // Conversion and sentence changes, and unknown ones, are not handled.
  g_krIme.bRedraw = 0;
  sim::ClearCalls();
  EXPECT_EQ(KRInputOnImeNotify(IMN_SETCONVERSIONMODE, 0), 0);
  EXPECT_EQ(KRInputOnImeNotify(IMN_SETSENTENCEMODE, 0), 0);
  EXPECT_EQ(KRInputOnImeNotify(0x10F, 0), 0);
  EXPECT_EQ(KR2DDrawImeReq(), 0);
  EXPECT_TRUE(sim::Calls().empty());
}

TEST_F(ImeTest, OpenStatusFollowsTheInputMethod) {
  sim::SetImeOpenStatus(window_, true);
  sim::SetImeModes(window_, IME_CMODE_ROMAN, 0);
  EXPECT_EQ(KRInputOnImeNotify(IMN_SETOPENSTATUS, 0), 1);
  EXPECT_EQ(g_krIme.bImeOpen, 1);
  EXPECT_EQ(g_krIme.dwConversionMode, static_cast<DWORD>(IME_CMODE_ROMAN));
  EXPECT_EQ(KR2DDrawImeReq(), 1);
  sim::SetImeOpenStatus(window_, false);
  KRInputOnImeNotify(IMN_SETOPENSTATUS, 0);
  EXPECT_EQ(g_krIme.bImeOpen, 0);
}

TEST_F(ImeTest, OverlongCandidateListKeepsTheLeadingCandidatesThatFit) {
  std::vector<std::string> candidates;
  for (int i = 0; i < 100; ++i) candidates.push_back(std::string(28, 'a') + std::to_string(10 + i));
  sim::SetImeCandidateList(window_, sim::CandidateListBytes(candidates, 3));
  KRInputOnImeNotify(IMN_OPENCANDIDATE, 0);
  // 24 header bytes, then 4 for each offset and 31 for each string: 57 fit in 2048.
  const CANDIDATELIST* list = reinterpret_cast<const CANDIDATELIST*>(g_krInput.lpCandList);
  ASSERT_EQ(list->dwCount, 57u);
  EXPECT_EQ(list->dwSize, 24u + 57u * 35u);
  EXPECT_EQ(list->dwSelection, 3u);
  for (DWORD i = 0; i < list->dwCount; ++i) {
    ASSERT_LT(list->dwOffset[i], list->dwSize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(g_krInput.lpCandList) + list->dwOffset[i]), candidates[i]);
  }
}

TEST_F(ImeTest, NoListOrAFailedReadKeepsTheOldList) {
  const std::string old = sim::CandidateListBytes({"one", "two"}, 0);
  sim::SetImeCandidateList(window_, old);
  KRInputOnImeNotify(IMN_OPENCANDIDATE, 0);

  sim::SetImeCandidateList(window_, "");
  KRInputOnImeNotify(IMN_CHANGECANDIDATE, 0);
  EXPECT_EQ(CandidateBytes(old.size()), old);

  sim::SetImeCandidateList(window_, sim::CandidateListBytes({"three"}, 0));
  sim::FailNext("ImmGetCandidateListA", ERROR_INVALID_HANDLE, "ptr");
  KRInputOnImeNotify(IMN_CHANGECANDIDATE, 0);
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(CandidateBytes(old.size()), old);

  // Fewer bytes than a list header are no list.
  sim::SetImeCandidateList(window_, "short");
  KRInputOnImeNotify(IMN_CHANGECANDIDATE, 0);
  EXPECT_EQ(CandidateBytes(old.size()), old);
}

TEST_F(ImeTest, HandlersThatDoNothingAnswerZero) {
  sim::ClearCalls();
  EXPECT_EQ(KRInputOnImeSetContext(1, 0xC000000F), 0);
  EXPECT_EQ(KRInputOnImeCompositionFull(0, 0), 0);
  EXPECT_EQ(KRInputOnImeControl(0, 0), 0);
  EXPECT_EQ(KRInputOnInputLangChange(0, 0), 0);
  EXPECT_TRUE(sim::Calls().empty());
  EXPECT_EQ(KR2DDrawImeReq(), 0);
}

TEST_F(ImeTest, StartupClearsLengthsAndFlagsButKeepsModesAndCandidateFlag) {
  sim::SetImeOpenStatus(window_, true);
  sim::SetImeModes(window_, IME_CMODE_KATAKANA, 0);
  sim::SetImeComposition(window_, "abc", "\0\0\0"s);
  sim::SetImeCandidateList(window_, sim::CandidateListBytes({"x"}, 0));
  KRInputOnImeNotify(IMN_SETOPENSTATUS, 0);
  KRInputOnImeNotify(IMN_OPENCANDIDATE, 0);
  KRInputOnImeComposition(0, kCompositionChange);
  KRInputCleanup();
  ASSERT_EQ(KRInputStartup(), 1);
  EXPECT_EQ(g_krIme.dwCompLength, 0u);
  EXPECT_EQ(g_krIme.dwCompAttrLength, 0u);
  EXPECT_EQ(g_krIme.bImeOpen, 0);
  EXPECT_EQ(KR2DDrawImeReq(), 0);
  EXPECT_EQ(g_krIme.bCandidateOpen, 1);
  EXPECT_EQ(g_krIme.dwConversionMode, static_cast<DWORD>(IME_CMODE_KATAKANA));
}

// Messages before input is started (or after its clean-up) change nothing.
class ImeNotStartedTest : public KRTest {};

TEST_F(ImeNotStartedTest, HandlersChangeNothingAndAnswerAsUsual) {
  HWND window = sim::CreateTestWindow();
  KRSTARTUPINFO info = StartupInfo();
  info.hWnd = window;
  ASSERT_EQ(KRStartup(&info), 1);
  sim::SetImeResult(window, "x");
  sim::SetImeComposition(window, "y", "\0"s);
  sim::SetImeOpenStatus(window, true);
  sim::ClearCalls();
  EXPECT_EQ(KRInputOnImeStartComposition(0, 0), 0);
  EXPECT_EQ(KRInputOnImeComposition(0, GCS_RESULTSTR | GCS_COMPSTR | GCS_COMPATTR), 1);
  EXPECT_EQ(KRInputOnImeEndComposition(0, 0), 0);
  EXPECT_EQ(KRInputOnImeNotify(IMN_OPENCANDIDATE, 0), 1);
  EXPECT_EQ(KRInputOnImeNotify(IMN_SETOPENSTATUS, 0), 1);
  EXPECT_EQ(KRInputOnImeNotify(IMN_SETCONVERSIONMODE, 0), 0);
  EXPECT_TRUE(sim::Calls().empty());
  EXPECT_EQ(g_krIme.bImeOpen, 0);
  EXPECT_EQ(g_krIme.bCandidateOpen, 0);
  EXPECT_EQ(KR2DDrawImeReq(), 0);
  char out[8] = "stale";
  KRInputGetImeStrings(out, sizeof(out));
  EXPECT_STREQ(out, "");
  KRCleanup();
  DestroyWindow(window);
}

}  // namespace
