// The last-error message table. This file is compiled with code page 932 as its
// execution character set, so the Japanese texts below are stored as Shift-JIS.
#include "core/last_error.h"

#include <korvathd.h>

#include <cstddef>

namespace {

struct KRErrorText {
  unsigned long code;
  const char* text;
};

// Failures common to every component, by the low twelve bits.
const char* const kCommonMessages[] = {
    NULL,
    "既に初期化されています",      // 1 already started
    "初期化されていません",        // 2 not started
    "初期化に失敗しました",        // 3 start-up failed
    "不明なエラーが発生しました",  // 4 failed
    "不正な値です",                // 5 invalid value
};

// Failures of one component, by the whole code.
const KRErrorText kSpecificMessages[] = {
    {0x1100, "指定されたDeviceが見つかりません"},
    {0x1101, "画面モードの切り替えに失敗しました"},
    {0x1102, "DirectDrawのバージョンアップが必要です"},
    {0x2100, "Bufferを生成に失敗しました"},
    {0x3100, "Textureの生成に失敗しました"},
    {0x3101, "Deviceの初期化に失敗しました"},
    {0x3102, "Deviceは既に初期化されています"},
    {0x3103, "Deviceは初期化されていません"},
    {0x3104, "Viewportの設定に失敗しました"},
    {0x3105, "Modelの生成に失敗しました"},
    {0x3106, "Materialの生成に失敗しました"},
    {0x3107, "Lightの生成に失敗しました"},
    {0x3108, "Viewportの生成に失敗しました"},
    {0x4100, "Bufferの生成に失敗しました"},
    {0x5100, "Bufferの生成に失敗しました"},
    {0x6101, "再生に失敗しました"},
    {0x6102, "停止に失敗しました"},
    {0x6103, "一時停止に失敗しました"},
    {0x6104, "トラック数の取得に失敗しました"},
    {0x6105, "ボリュームの設定に失敗しました"},
    {0x6106, "ボリュームの取得に失敗しました"},
    {0x8100, "Sessionの作成に失敗しました"},
    {0x8101, "Sessionへの参加に失敗しました"},
    {0x9100, "Listの作成に失敗しました"},
};

const char kUndefinedMessage[] = "定義されていないエラー番号です";

// Music and lists have no name of their own and show "Korvath" like the core.
const KRErrorText kComponentNames[] = {
    {KRERR_VIDEO, "KRVideo"},   {KRERR_2D, "KR2D"},       {KRERR_3D, "KR3D"},
    {KRERR_SOUND, "KRSound"},   {KRERR_MEDIA, "KRMedia"}, {KRERR_INPUT, "KRInput"},
    {KRERR_NETWORK, "KRNetwork"}, {KRERR_DEBUG, "KRDebug"},
};

}  // namespace

const char* KRErrorGetComponentName(unsigned long code) {
  for (const KRErrorText& name : kComponentNames) {
    if (name.code == (code & 0xF000)) return name.text;
  }
  return "Korvath";
}

const char* KRErrorGetMessage(unsigned long code) {
  unsigned long failure = code & 0xFFF;
  if (failure >= KRERR_ALREADYSTARTED && failure <= KRERR_INVALIDVALUE) return kCommonMessages[failure];
  for (const KRErrorText& message : kSpecificMessages) {
    if (message.code == code) return message.text;
  }
  return kUndefinedMessage;
}
