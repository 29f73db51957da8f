// The texture formats of the started device, each with a display name and its
// channel layout, as Ondrel matches Glide texture formats against them.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstdio>
#include <cstring>

#include "core/last_error.h"
#include "render3d/render3d_state.h"

namespace {

const DWORD kPaletteFlags = DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXEDTO8 | DDPF_PALETTEINDEXED8 |
                            DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2;
const int kMaskBits = 32;

// Position of the next format; the callback gets no context pointer.
int g_textureCounter = 0;

struct KR3DCHANNEL {
  DWORD dwBits;
  DWORD dwShift;
  DWORD dwMax;
};

// Bits, position of the lowest bit (32 for an empty mask) and largest value of a channel mask.
KR3DCHANNEL ChannelOf(DWORD mask) {
  KR3DCHANNEL channel = {0, 0, 0};
  while (channel.dwShift < kMaskBits && ((mask >> channel.dwShift) & 1) == 0) ++channel.dwShift;
  for (int bit = 0; bit < kMaskBits; ++bit) channel.dwBits += (mask >> bit) & 1;
  // In 64 bits so that a full 32-bit mask does not overflow.
  channel.dwMax = static_cast<DWORD>((1ull << channel.dwBits) - 1);
  return channel;
}

void StoreChannel(const KR3DCHANNEL& channel, DWORD* bits, DWORD* shift, DWORD* max) {
  *bits = channel.dwBits;
  *shift = channel.dwShift;
  *max = channel.dwMax;
}

// "RGB " keeps its trailing space so that names line up; palettised formats derive
// no alpha, so an RGB palette shows "RGB ".
const char* TypeWord(DWORD flags, DWORD alphaBits) {
  if (flags & DDPF_RGB) return alphaBits != 0 ? "RGBA" : "RGB ";
  if (flags & DDPF_YUV) return "YUV";
  return "";
}

void DescribeFormat(const DDPIXELFORMAT& format, KR3DCORETEXTUREFORMATINFO* entry) {
  entry->ddpf = format;
  entry->dwBitCount = format.dwRGBBitCount;

  char channels[48];  // four 32-bit counts at most
  if (format.dwRGBBitCount <= 8 && (format.dwFlags & kPaletteFlags) != 0) {
    // The channel fields stay 0: a palette index has no channels of its own.
    entry->bPalettized = 1;
    snprintf(channels, sizeof(channels), "PALETTE");
  } else {
    entry->bPalettized = 0;
    KR3DCHANNEL red = ChannelOf(format.dwRBitMask);
    KR3DCHANNEL green = ChannelOf(format.dwGBitMask);
    KR3DCHANNEL blue = ChannelOf(format.dwBBitMask);
    KR3DCHANNEL alpha = {0, 0, 0};
    if (format.dwRGBAlphaBitMask != 0) alpha = ChannelOf(format.dwRGBAlphaBitMask);
    StoreChannel(red, &entry->dwRedBits, &entry->dwRedShift, &entry->dwRedMax);
    StoreChannel(green, &entry->dwGreenBits, &entry->dwGreenShift, &entry->dwGreenMax);
    StoreChannel(blue, &entry->dwBlueBits, &entry->dwBlueShift, &entry->dwBlueMax);
    StoreChannel(alpha, &entry->dwAlphaBits, &entry->dwAlphaShift, &entry->dwAlphaMax);
    if (alpha.dwBits >= 1) {
      snprintf(channels, sizeof(channels), "%lu%lu%lu%lu", static_cast<unsigned long>(red.dwBits),
               static_cast<unsigned long>(green.dwBits), static_cast<unsigned long>(blue.dwBits),
               static_cast<unsigned long>(alpha.dwBits));
    } else {
      snprintf(channels, sizeof(channels), "%lu%lu%lu ", static_cast<unsigned long>(red.dwBits),
               static_cast<unsigned long>(green.dwBits), static_cast<unsigned long>(blue.dwBits));
    }
  }
  snprintf(entry->szName, sizeof(entry->szName), "%2d BITS %s %s", static_cast<int>(format.dwRGBBitCount),
           TypeWord(format.dwFlags, entry->dwAlphaBits), channels);
}

HRESULT CALLBACK KR3DEnumTextureFormatCallback(DDPIXELFORMAT* format, void* /*context*/) {
  if (g_textureCounter >= KR3D_TEXTUREFORMAT_MAX) return D3DENUMRET_CANCEL;  // a driver that ignored the stop
  if (format == NULL) return D3DENUMRET_OK;
  DescribeFormat(*format, &g_kr3D.lpTextureFormats[g_textureCounter]);
  ++g_textureCounter;
  return g_textureCounter < KR3D_TEXTUREFORMAT_MAX ? D3DENUMRET_OK : D3DENUMRET_CANCEL;
}

void EmptyTable(void) {
  g_textureCounter = 0;
  g_kr3D.nTextureFormatCount = 0;
  if (g_kr3D.lpTextureFormats)
    memset(g_kr3D.lpTextureFormats, 0, sizeof(KR3DCORETEXTUREFORMATINFO) * KR3D_TEXTUREFORMAT_MAX);
}

bool InRange(int index) { return index >= 0 && index < g_kr3D.nTextureFormatCount; }

}  // namespace

int KR3DGetTextureFormatCount(void) {
  EmptyTable();
  // Formats belong to a created device; without one there is nothing to ask.
  if (g_kr3D.lpDevice == NULL) return KRErrorFail(KRERR_3D_DEVICENOTSTARTED);

  HRESULT result = g_kr3D.lpDevice->EnumTextureFormats(KR3DEnumTextureFormatCallback, NULL);
  if (FAILED(result)) {
    EmptyTable();
    return KRErrorFail(KRERR_3D | KRERR_FAILED);
  }
  g_kr3D.nTextureFormatCount = g_textureCounter;
  return g_textureCounter;
}

void KR3DGetTextureFormatInfo(KR3DTEXTUREFORMATINFO* info, int index) {
  if (!InRange(index)) {
    KRErrorSetLastError(KRERR_3D | KRERR_INVALIDVALUE);
    return;
  }
  // The exported record is the entry without its leading pixel format.
  const KR3DCORETEXTUREFORMATINFO& entry = g_kr3D.lpTextureFormats[index];
  memcpy(info->szName, entry.szName, sizeof(info->szName));
  info->dwBitCount = entry.dwBitCount;
  info->dwRedBits = entry.dwRedBits;
  info->dwRedShift = entry.dwRedShift;
  info->dwRedMax = entry.dwRedMax;
  info->dwGreenBits = entry.dwGreenBits;
  info->dwGreenShift = entry.dwGreenShift;
  info->dwGreenMax = entry.dwGreenMax;
  info->dwBlueBits = entry.dwBlueBits;
  info->dwBlueShift = entry.dwBlueShift;
  info->dwBlueMax = entry.dwBlueMax;
  info->dwAlphaBits = entry.dwAlphaBits;
  info->dwAlphaShift = entry.dwAlphaShift;
  info->dwAlphaMax = entry.dwAlphaMax;
  info->bPalettized = entry.bPalettized;
}

void KR3DCoreGetTextureFormatInfo(KR3DCORETEXTUREFORMATINFO* info, int index) {
  if (!InRange(index)) {
    KRErrorSetLastError(KRERR_3D | KRERR_INVALIDVALUE);
    return;
  }
  *info = g_kr3D.lpTextureFormats[index];
}
