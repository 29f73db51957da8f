// Arbitrary bytes as ONDREL.INI in the simulated system directory: the settings
// read from it must stay in range whatever the file holds.
#include <glide.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "glide/glide_state.h"
#include "platform/sim/control.h"

namespace {

[[noreturn]] void Fault(const char* what) {
  fprintf(stderr, "settings fuzz: %s\n", what);
  abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Reset();
  sim::WriteWholeFile("C:\\WINDOWS\\SYSTEM\\ONDREL.INI", std::string(reinterpret_cast<const char*>(data), size));
  char path[MAX_PATH + 16];
  GlideSettingsPath(path, sizeof path);
  GlideSettings settings;
  std::memset(&settings, 0xA5, sizeof settings);
  ReadGlideSettings(path, &settings);
  if (std::memchr(settings.device, 0, sizeof settings.device) == nullptr) Fault("device name not terminated");
  if (!std::isfinite(settings.gammaBase)) Fault("gamma base not finite");
  for (const auto& mode : settings.modes) {
    if (mode[0] <= 0 || mode[1] <= 0) Fault("a mode without two positive numbers");
  }
  const int divisor = ReduceMemoryDivisor(settings.reduceMemory);
  if (divisor < 1 || divisor > 64 || (divisor & (divisor - 1)) != 0) Fault("divisor out of range");
  return 0;
}
