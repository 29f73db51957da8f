// The 3DF reader. The header is text read a byte at a time; anything that is
// not a header this library can load is refused, and the file is closed on
// every path.
#include "glide/tdf_file.h"

#include <cstdio>
#include <cstring>

#include "glide/glide_state.h"

namespace {

const char kFrameLine[] = "------------------------------------------------------------\n";
const char kClosingFrameLine[] = "------------------------------------------------------------\n\n";
const DWORD kSignatureLength = 9;
const char kSignaturePrefix[] = "3df v";
const int kSignaturePrefixLength = 5;
const int kLineBufferSize = 256;
const char kLodPrefix[] = "lod range:";
const size_t kLodPrefixLength = 10;
const char kAspectPrefix[] = "aspect ratio:";
const size_t kAspectPrefixLength = 13;

// Texture formats a 3DF file may hold here; the others are refused.
struct FormatName {
  const char* name;
  int32_t format;
  uint32_t bytesPerTexel;
};
const FormatName kFormats[] = {
    {"p8", GR_TEXFMT_P_8, 1},
    {"rgb565", GR_TEXFMT_RGB_565, 2},
    {"argb1555", GR_TEXFMT_ARGB_1555, 2},
    {"argb4444", GR_TEXFMT_ARGB_4444, 2},
};

HANDLE OpenForReading(const char* fileName) {
  return CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

// One header line into `line`, its line feed made the terminating zero; adds the
// bytes taken to `consumed`. False at the end of the file or when the line does
// not fit the buffer.
bool ReadLine(HANDLE file, char (&line)[kLineBufferSize], DWORD* consumed) {
  for (int length = 0;; ++length) {
    char byte = 0;
    DWORD read = 0;
    if (!ReadFile(file, &byte, 1, &read, NULL) || read != 1) return false;
    ++*consumed;
    if (byte == '\n') {
      line[length] = '\0';
      return true;
    }
    if (length == kLineBufferSize - 1) return false;  // no room left for the terminating zero
    line[length] = byte;
  }
}

const FormatName* LookUpFormat(const char* name) {
  for (const FormatName& entry : kFormats) {
    if (lstrcmpiA(name, entry.name) == 0) return &entry;
  }
  return nullptr;
}

// The level sizes a Glide texture can have: 1 to 256, powers of two.
bool IsPublishedEdge(int edge) { return edge >= 1 && edge <= 256 && (edge & (edge - 1)) == 0; }

// The bytes of the largest level as a download reads it (no side below one texel).
uint32_t LargestLevelBytes(const TdfHeader& header, uint32_t bytesPerTexel) {
  const uint32_t width = header.width > 0 ? header.width : 1;
  const uint32_t height = header.height > 0 ? header.height : 1;
  return width * height * bytesPerTexel;
}

// "prefix%d %d": the prefix exactly as written, then two numbers.
bool ReadNumberPair(const char* line, const char* prefix, size_t prefixLength, int* first, int* second) {
  if (strncmp(line, prefix, prefixLength) != 0) return false;
  return sscanf(line + prefixLength, "%d %d", first, second) == 2;
}

// The published sizes: the larger side is the largest edge, the other side that
// edge reduced by the ratio.
bool LookUpAspect(int widthPart, int heightPart, int largestEdge, TdfHeader* header) {
  for (GrAspectRatio_t code = GR_ASPECT_8x1; code <= GR_ASPECT_1x8; ++code) {
    int widthFactor = 0, heightFactor = 0;
    AspectToFactors(code, &widthFactor, &heightFactor);
    if (widthFactor != widthPart || heightFactor != heightPart) continue;
    header->aspectRatio = code;
    header->width = uint32_t(largestEdge / heightPart);
    header->height = uint32_t(largestEdge / widthPart);
    return true;
  }
  return false;
}

bool ParseHeader(HANDLE file, const char* fileName, TdfHeader* header) {
  const DWORD fileSize = GetFileSize(file, NULL);
  if (fileSize == INVALID_FILE_SIZE) return false;

  char signature[kSignatureLength] = {};
  DWORD read = 0;
  const bool signatureRead = ReadFile(file, signature, kSignatureLength, &read, NULL) && read == kSignatureLength;
  signature[kSignatureLength - 1] = '\0';
  KRDebugDump(kFrameLine);
  KRDebugDump("Ondrel info : Filename = %s\n", fileName);
  KRDebugDump("Ondrel info : 3DF Header = %s\n", signature);
  char prefix[kSignaturePrefixLength + 1] = {};
  memcpy(prefix, signature, kSignaturePrefixLength);
  if (!signatureRead || lstrcmpiA(prefix, kSignaturePrefix) != 0) return false;

  TdfHeader parsed = {};
  DWORD headerLength = kSignatureLength;
  char line[kLineBufferSize];
  if (!ReadLine(file, line, &headerLength)) return false;
  KRDebugDump("                  Format = %s\n", line);
  const FormatName* format = LookUpFormat(line);
  if (format == nullptr) return false;
  parsed.format = format->format;

  int smallEdge = 0, largeEdge = 0;
  if (!ReadLine(file, line, &headerLength)) return false;
  KRDebugDump("                  Lod range = %s\n", line);
  if (!ReadNumberPair(line, kLodPrefix, kLodPrefixLength, &smallEdge, &largeEdge)) return false;
  if (!IsPublishedEdge(largeEdge)) return false;

  int widthPart = 0, heightPart = 0;
  if (!ReadLine(file, line, &headerLength)) return false;
  KRDebugDump("                  Aspect ratio = %s\n", line);
  if (!ReadNumberPair(line, kAspectPrefix, kAspectPrefixLength, &widthPart, &heightPart)) return false;
  if (!LookUpAspect(widthPart, heightPart, largeEdge, &parsed)) return false;

  parsed.smallLod = EdgeToLod(smallEdge);
  parsed.largeLod = EdgeToLod(largeEdge);
  parsed.headerLength = headerLength;
  parsed.memRequired = fileSize - headerLength;
  // The game downloads the largest level from what was loaded: it must all be there.
  if (parsed.memRequired < LargestLevelBytes(parsed, format->bytesPerTexel)) return false;
  *header = parsed;
  return true;
}

}  // namespace

bool TdfReadHeader(const char* fileName, TdfHeader* header) {
  HANDLE file = OpenForReading(fileName);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool accepted = ParseHeader(file, fileName, header);
  CloseHandle(file);
  if (!accepted) return false;
  KRDebugDump("                  Mem required = %d Bytes\n", int(header->memRequired));
  KRDebugDump(kClosingFrameLine);
  return true;
}

bool TdfReadTexels(const char* fileName, const TdfHeader& header, void* data) {
  HANDLE file = OpenForReading(fileName);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD read = 0;
  const bool readDone = SetFilePointer(file, LONG(header.headerLength), NULL, FILE_BEGIN) == header.headerLength &&
                        ReadFile(file, data, header.memRequired, &read, NULL);
  CloseHandle(file);
  return readDone && read == header.memRequired;
}
