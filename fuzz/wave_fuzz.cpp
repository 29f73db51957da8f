// Arbitrary bytes as a WAVE file in the sandbox and, when they hold all that
// their RIFF size claims, as a WAVE image in memory: a buffer holding exactly
// the last "data" chunk's bytes, or 0 with code 0x4100 and at most one line;
// whatever happens, no file stays open and no block stays allocated. The walk
// itself runs on an exactly sized copy, so any read outside it is caught.
#include <windows.h>

#include <korvathd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound_state.h"
#include "audio/wave_image.h"
#include "platform/sim/control.h"

namespace {

const char kFileName[] = "C:\\work\\fuzz.wav";

void Check(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "wave reader: %s\n", what);
  abort();
}

void StartLibrary() {
  sim::Reset();
  KRSTARTUPINFO info;
  memset(&info, 0, sizeof(info));
  info.hWnd = sim::CreateTestWindow();
  Check(KRStartup(&info) == 1, "KRStartup");
  Check(KRSoundStartup() == 1, "KRSoundStartup");
}

// The walk on its own: whatever it finds lies inside the bytes.
KRWAVERESULT Walk(const uint8_t* data, size_t size, std::vector<BYTE>* samples) {
  std::vector<BYTE> copy(data, data + size);
  KRWAVEPARTS parts;
  const KRWAVERESULT result = KRWaveParse(copy.data(), copy.size(), &parts);
  const BYTE* end = copy.data() + copy.size();
  if (result == KRWAVE_OK) {
    Check(parts.lpFormat >= copy.data() + 20 && parts.lpFormat + parts.dwFormatSize <= end, "format outside");
    Check(parts.lpSamples >= copy.data() + 20 && parts.lpSamples + parts.dwSampleSize <= end, "samples outside");
    Check(parts.dwFormatSize >= 16, "short format accepted");
    samples->assign(parts.lpSamples, parts.lpSamples + parts.dwSampleSize);
  }
  return result;
}

// One create call's outcome: the buffer's samples are the walk's, or it failed as it must.
void CheckCreated(int handle, KRWAVERESULT walked, const std::vector<BYTE>& samples, int heapBefore) {
  Check(sim::LiveHeapBlocks() == heapBefore, "a block stays allocated");
  if (handle == 0) {
    Check(KRErrorGetLastError() == (KRERR_SOUND | 0x100), "a failed create without its code");
    return;
  }
  Check(walked == KRWAVE_OK, "a buffer from bytes the walk refuses");
  sim::SoundBufferState state;
  Check(sim::SoundBuffer(g_krSound.lpBuffers[handle].lpBuffer, &state), "no buffer behind the handle");
  Check(state.samples == samples, "the buffer's samples differ from the data chunk");
  KRSoundReleaseBuffer(handle);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartLibrary();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::ClearCalls();
  sim::ClearDebugOutput();
  std::vector<BYTE> samples;
  const KRWAVERESULT walked = Walk(data, size, &samples);

  sim::WriteWholeFile(kFileName, std::string(reinterpret_cast<const char*>(data), size));
  const int heapBefore = sim::LiveHeapBlocks();
  CheckCreated(KRSoundCreateBuffer(kFileName), walked, samples, heapBefore);
  Check(sim::OpenFileHandles() == 0, "the file stays open");

  // The memory form trusts the RIFF size and reads the 12 header bytes: only
  // images that hold both go there.
  if (size >= 12) {
    uint32_t riffSize;
    memcpy(&riffSize, data + 4, 4);
    if (riffSize >= 4 && 8 + uint64_t(riffSize) <= size) {
      std::vector<BYTE> image(data, data + 8 + size_t(riffSize));
      CheckCreated(KRSoundCreateBuffer(static_cast<void*>(image.data())), walked, samples, heapBefore);
    }
  }
  int lines = 0;
  for (const std::string& message : sim::DebugMessages()) lines += message.rfind("KRError ", 0) != 0;
  Check(lines <= 2, "more than one line per create call");
  Check(g_krSound.nFreeHint == 1, "the hint moved");
  return 0;
}
