// Last-error codes and their code page 932 texts.
#include "support/kr_test.h"

#include "core/last_error.h"

namespace {

class LastErrorTest : public KRTest {};

TEST_F(LastErrorTest, NothingIsRecordedBeforeTheFirstFailure) {
  EXPECT_EQ(KRErrorGetLastError(), 0u);
  EXPECT_EQ(LastErrorText(), "");
}

TEST_F(LastErrorTest, TextIsComponentNameAndMessage) {
  struct Case {
    unsigned long code;
    const char* text;
  } cases[] = {
      {0x3101, "KR3D : Deviceの初期化に失敗しました"},
      {0x6003, "Korvath : 初期化に失敗しました"},  // music has no name of its own
      {0x6100, "Korvath : 定義されていないエラー番号です"},
      {0x9005, "Korvath : 不正な値です"},
      {0xF001, "KRDebug : 既に初期化されています"},
      {0x7006, "KRInput : 定義されていないエラー番号です"},
      {0x1004, "KRVideo : 不明なエラーが発生しました"},
      {0x2100, "KR2D : Bufferを生成に失敗しました"},
      {0x4100, "KRSound : Bufferの生成に失敗しました"},
      {0x5003, "KRMedia : 初期化に失敗しました"},
      {0x8101, "KRNetwork : Sessionへの参加に失敗しました"},
      {0x9100, "Korvath : Listの作成に失敗しました"},
      {0xA001, "Korvath : 既に初期化されています"},  // unknown component
      {0x3109, "KR3D : 定義されていないエラー番号です"},
  };
  for (const Case& c : cases) {
    KRErrorSetLastError(c.code);
    EXPECT_EQ(KRErrorGetLastError(), c.code);
    EXPECT_EQ(LastErrorText(), c.text) << std::hex << c.code;
  }
}

TEST_F(LastErrorTest, TextIsStoredInCodePage932) {
  KRErrorSetLastError(0x0003);
  // "初期化に失敗しました" in Shift-JIS.
  const char expected[] = "Korvath : \x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
  EXPECT_EQ(LastErrorText(), expected);
}

TEST_F(LastErrorTest, SuccessDoesNotClearTheSlot) {
  KRErrorSetLastError(0x9005);
  ASSERT_EQ(KRListStartup(), 1);
  KRListCleanup();
  KRVERSIONINFO version;
  KRGetVersion(&version);
  EXPECT_EQ(KRErrorGetLastError(), 0x9005u);
  EXPECT_EQ(LastErrorText(), "Korvath : 不正な値です");
}

TEST_F(LastErrorTest, DiagnosticGoesToTheDebuggerButNotTheLogFile) {
  ASSERT_EQ(KRDebugStartup("krdebug.txt"), 1);
  sim::ClearDebugOutput();
  KRErrorSetLastError(0x3100);
  EXPECT_EQ(sim::DebugOutput(), "KRError \"KR3D : Textureの生成に失敗しました\"\n");
  EXPECT_EQ(sim::ReadWholeFile("krdebug.txt").find("KRError"), std::string::npos);
  KRDebugCleanup();
}

}  // namespace
