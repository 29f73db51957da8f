// Tagged allocator: every block carries a 16-byte header with its serial number
// and owner tag, so that an allocation trace can pair each block with its release.
#include <korvathd.h>

#include <climits>
#include <cstring>
#include <new>

#include "core/core_state.h"

namespace {

const int kTagLength = 12;

struct KRALLOCHEADER {
  DWORD dwSerial;
  char szTag[kTagLength];  // NUL-padded; a 12-character tag has no terminator
};
static_assert(sizeof(KRALLOCHEADER) == 16, "the block header is 16 bytes");

// Allocates size + header bytes from the process heap. An exhausted heap throws
// the out-of-memory exception, as do sizes no block can have (negative, or
// overflowing with the header).
KRALLOCHEADER* AllocateBlock(int size) {
  if (size < 0 || size > INT_MAX - static_cast<int>(sizeof(KRALLOCHEADER))) throw std::bad_alloc();
  void* memory = HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size) + sizeof(KRALLOCHEADER));
  if (memory == NULL) throw std::bad_alloc();
  KRALLOCHEADER* header = static_cast<KRALLOCHEADER*>(memory);
  memset(header, 0, sizeof(*header));
  return header;
}

// The serial number as the trace shows it: four bytes, lowest first.
struct SerialBytes {
  unsigned b0, b1, b2, b3;
};
SerialBytes BytesOf(DWORD serial) {
  return {serial & 0xFF, (serial >> 8) & 0xFF, (serial >> 16) & 0xFF, (serial >> 24) & 0xFF};
}

void* Finish(KRALLOCHEADER* header) {
  header->dwSerial = g_krCore.dwAllocSerial++;
  return header + 1;
}

}  // namespace

void* KRAllocEx(int size, char* tag) {
  const char* label = tag ? tag : "";  // a null tag is an empty tag
  KRALLOCHEADER* header = AllocateBlock(size);
  if (g_krCore.bAllocTrace) {
    SerialBytes s = BytesOf(g_krCore.dwAllocSerial);
    KRDebugDump("KR : KRAllocEx(%02x %02x %02x %02x, \"%-12s\") %8d bytes allocated\n", s.b0, s.b1, s.b2,
                s.b3, label, size);
  }
  void* block = Finish(header);
  for (int i = 0; i < kTagLength && label[i] != '\0'; ++i) header->szTag[i] = label[i];
  return block;
}

void* KRAlloc(int size) {
  KRALLOCHEADER* header = AllocateBlock(size);
  if (g_krCore.bAllocTrace) {
    SerialBytes s = BytesOf(g_krCore.dwAllocSerial);
    KRDebugDump("KR : KRAlloc  (%02x %02x %02x %02x, \"            \") %8d bytes allocated\n", s.b0, s.b1,
                s.b2, s.b3, size);
  }
  return Finish(header);
}

void KRFree(void* block) {
  if (block == NULL) return;
  KRALLOCHEADER* header = static_cast<KRALLOCHEADER*>(block) - 1;
  if (g_krCore.bAllocTrace) {
    char tag[kTagLength + 1];
    memcpy(tag, header->szTag, kTagLength);
    tag[kTagLength] = '\0';
    SerialBytes s = BytesOf(header->dwSerial);
    KRDebugDump("KR : KRFree   (%02x %02x %02x %02x, \"%-12s\")\n", s.b0, s.b1, s.b2, s.b3, tag);
  }
  HeapFree(GetProcessHeap(), 0, header);
}
