// Arbitrary bytes as a 3DF file in the sandbox: gu3dfGetInfo accepts or refuses
// them; an accepted header with a modest mem_required is loaded into a buffer
// exactly that long and downloaded from there with the header's level, ratio and
// format, as a game does, so a read past it is caught. No file stays open, no
// block stays allocated, and a refusal leaves the record as it was.
#include <glide.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/control.h"

namespace {

const char kFileName[] = "C:\\work\\fuzz.3df";
const uint32_t kLoadLimit = 1 << 20;
const FxU32 kEvenAndOddLevels = 3;

void Check(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "3DF reader: %s\n", what);
  abort();
}

// A window-mode Glide screen, open for the whole run, to download into.
void OpenScreen() {
  HWND window = sim::CreateTestWindow();
  sim::SetActiveWindowForTest(window);
  sim::WriteWholeFile("C:\\WINDOWS\\SYSTEM\\ONDREL.INI", "[Video]\n16BPP=0\n[Splash]\nNoSplash=1\n");
  grGlideInit();
  Check(grSstWinOpen(0, GR_RESOLUTION_640x480, 0, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) == FXTRUE,
        "grSstWinOpen");
}

void Download(const Gu3dfInfo& info) {
  GrTexInfo texture = {info.header.small_lod, info.header.large_lod, info.header.aspect_ratio, info.header.format,
                       info.data};
  grTexDownloadMipMap(GR_TMU0, 0, kEvenAndOddLevels, &texture);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sim::Reset();
  OpenScreen();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::ClearCalls();
  sim::ClearDebugOutput();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sim::WriteWholeFile(kFileName, bytes);
  const int heapBefore = sim::LiveHeapBlocks();

  Gu3dfInfo info;
  memset(&info, 0xA5, sizeof info);
  const Gu3dfInfo before = info;
  const FxBool accepted = gu3dfGetInfo(kFileName, &info);
  Check(sim::OpenFileHandles() == 0, "the file stays open after the header");
  if (!accepted) {
    Check(memcmp(&info, &before, sizeof info) == 0, "a refused file changed the record");
    return 0;
  }
  Check(info.data == before.data, "the header read set the data pointer");
  Check(info.mem_required <= size, "more texels than the file holds");
  Check(info.header.aspect_ratio >= GR_ASPECT_8x1 && info.header.aspect_ratio <= GR_ASPECT_1x8, "aspect out of range");
  Check(info.header.small_lod >= GR_LOD_256 && info.header.small_lod <= GR_LOD_1, "small lod out of range");
  Check(info.header.large_lod >= GR_LOD_256 && info.header.large_lod <= GR_LOD_1, "large lod out of range");

  if (info.mem_required <= kLoadLimit) {
    std::vector<uint8_t> texels(info.mem_required);
    info.data = texels.data();
    Check(gu3dfLoad(kFileName, &info) == FXTRUE, "an accepted file does not load");
    // A header with nothing after it needs no texels: the buffer is empty and
    // its data pointer may be null, which memcmp must not be given.
    Check(info.mem_required == 0 ||
              memcmp(texels.data(), data + (size - info.mem_required), info.mem_required) == 0,
          "the texels are not the file's last bytes");
    Check(sim::OpenFileHandles() == 0, "the file stays open after the load");
    Download(info);
  }
  Check(sim::LiveHeapBlocks() == heapBefore, "a block stays allocated");
  return 0;
}
