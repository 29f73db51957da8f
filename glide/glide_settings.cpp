// ONDREL.INI in the system directory: every key read in the file's order, text
// keys with their default text, integer keys through the default as decimal text.
#include <climits>
#include <cstdio>
#include <cstring>

#include "glide/glide_state.h"

namespace {

const int kTextSize = 256;

// Leading decimal digits after optional blanks and a sign, as atoi reads them;
// beyond the int range the value saturates instead of overflowing.
int DecimalValue(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '-' || *text == '+') negative = *text++ == '-';
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

void ReadText(const char* section, const char* key, const char* defaultText, char* out, const char* path) {
  GetPrivateProfileStringA(section, key, defaultText, out, kTextSize, path);
}

int ReadInteger(const char* section, const char* key, int defaultValue, const char* path) {
  char defaultText[16];
  std::snprintf(defaultText, sizeof defaultText, "%d", defaultValue);
  char text[kTextSize];
  ReadText(section, key, defaultText, text, path);
  return DecimalValue(text);
}

// "%dx%d" with two positive numbers, else the Glide size itself.
void ReadMode(const char* key, int glideWidth, int glideHeight, int* mode, const char* path) {
  char text[kTextSize];
  ReadText("Video", key, key, text, path);
  int width = 0;
  int height = 0;
  if (std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0) {
    mode[0] = width;
    mode[1] = height;
  } else {
    mode[0] = glideWidth;
    mode[1] = glideHeight;
  }
}

}  // namespace

void GlideSettingsPath(char* path, int size) {
  char directory[MAX_PATH] = "";
  const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) directory[0] = '\0';
  const size_t used = std::strlen(directory);
  const bool endsInSlash = used > 0 && directory[used - 1] == '\\';
  std::snprintf(path, static_cast<size_t>(size), "%s%sONDREL.INI", directory, endsInSlash ? "" : "\\");
}

void ReadGlideSettings(const char* path, GlideSettings* s) {
  ReadText("Video", "Device", "Unknown", s->device, path);
  s->noGammaControl = ReadInteger("Video", "NoGammaControl", 0, path);
  s->gammaBase = static_cast<float>(ReadInteger("Video", "GammaBase", 0, path)) / 100.0f;
  ReadMode("512x384", 512, 384, s->modes[0], path);
  ReadMode("640x400", 640, 400, s->modes[1], path);
  ReadMode("640x480", 640, 480, s->modes[2], path);
  ReadMode("800x600", 800, 600, s->modes[3], path);
  ReadMode("1024x768", 1024, 768, s->modes[4], path);
  s->videoBitsPerPixel = ReadInteger("Video", "16BPP", 16, path);
  ReadInteger("Video", "24BPP", 24, path);
  s->noFog = ReadInteger("Video", "NoFog", 0, path);
  s->scaleFix = ReadInteger("Video", "ScaleFix", 0, path);
  s->noVsync = ReadInteger("Video", "NoVsync", 0, path);
  ReadInteger("Video", "Stereo", 0, path);
  s->softwareEmulation = ReadInteger("Video", "SoftwareEmulation", 0, path);
  ReadInteger("Video", "UVFix", 0, path);
  s->noSplash = ReadInteger("Splash", "NoSplash", 0, path);
  s->noSound = ReadInteger("Splash", "NoSound", 0, path);
  s->reduceMemory = ReadInteger("Texture", "ReduceMemory", 0, path);
}

int ReduceMemoryDivisor(int reduceMemory) {
  return reduceMemory >= 1 && reduceMemory <= 6 ? 1 << reduceMemory : 1;
}
