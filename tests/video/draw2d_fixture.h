// Shared fixture of the 2D tests: the video fixture's started library (with
// the executable as its instance), the video component started on device 0,
// and helpers for bitmaps, buffers and the debug output.
#ifndef KR_TESTS_VIDEO_DRAW2D_FIXTURE_H
#define KR_TESTS_VIDEO_DRAW2D_FIXTURE_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/ddraw_control.h"
#include "platform/sim/gdi_control.h"
#include "video/buffer_table.h"
#include "video/video_fixture.h"
#include "video/video_state.h"

// A font request of `face` at `height` pixels.
inline LOGFONTA Font(const char* face, LONG height, BYTE charSet = ANSI_CHARSET) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfCharSet = charSet;
  strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

class Draw2DTest : public VideoTest {
 protected:
  // Instead of VideoTest::SetUp: the same start, with the executable's module as the instance.
  void SetUp() override {
    KRTest::SetUp();
    KRSTARTUPINFO info = StartupInfo();
    info.hInstance = reinterpret_cast<HINSTANCE>(sim::ExecutableModule());
    ASSERT_NO_FATAL_FAILURE(StartOnTestWindow(info));
    ASSERT_EQ(KRVideoStartup(0), 1);
  }

  void TearDown() override {
    if (KR2DIsStarted()) KR2DCleanup();
    if (KRVideoIsStarted()) KRVideoCleanup();
    VideoTest::TearDown();
  }

  // 2D started and a 640x480 window mode set (16 bits, the simulated desktop's depth).
  static void StartWithMode() {
    ASSERT_EQ(KR2DStartup(), 1);
    ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  }

  // A bitmap of `width` x `height` pixels, 0x00RRGGBB, top row first.
  static sim::BmpImage Image(int width, int height, const std::vector<uint32_t>& pixels) {
    sim::BmpImage image;
    image.width = width;
    image.height = height;
    image.pixels = pixels;
    return image;
  }
  static sim::BmpImage Plain(int width, int height, uint32_t rgb) {
    return Image(width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), rgb));
  }

  static void WriteBmpFile(const std::string& name, const sim::BmpImage& image) {
    sim::WriteWholeFile(name, sim::EncodeBmp(image));
  }
  static void AddBitmapResource(LPCSTR name, const sim::BmpImage& image) {
    sim::AddBitmapResource(sim::ExecutableModule(), name, sim::EncodeBmp(image));
  }

  static int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
  }
  // How often `line` was logged (the video fixture's Logged only says whether).
  static int Logged(const std::string& line) { return Occurrences(sim::DebugOutput(), line); }
};

#endif
