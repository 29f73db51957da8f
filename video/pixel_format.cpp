// The channel layout of the mode's pixels: how colour references (0x00BBGGRR)
// become pixel values, and the layout's picture in the log.
#include <windows.h>

#include <korvathd.h>

#include <cstdint>
#include <cstring>

#include "video/pixel_format.h"
#include "video/video_state.h"

namespace {

const int kPixelBits = 32;

struct Channel {
  int bits;
  int shift;
  int maximum;
};

// Shift: zero bits below the lowest set bit; bits: the set bits. An empty mask
// is a channel the format lacks: nothing, at shift 0.
Channel ChannelFromMask(DWORD mask) {
  Channel channel = {0, 0, 0};
  if (mask == 0) return channel;
  while (((mask >> channel.shift) & 1u) == 0) ++channel.shift;
  for (DWORD rest = mask; rest != 0; rest &= rest - 1) ++channel.bits;
  // 2^bits - 1 without overflowing at 32 bits.
  uint32_t maximum = channel.bits >= kPixelBits ? 0xFFFFFFFFu : (uint32_t(1) << channel.bits) - 1u;
  channel.maximum = static_cast<int>(maximum);
  return channel;
}

void StoreLayout(const Channel& red, const Channel& green, const Channel& blue) {
  g_krVideo.nRedBits = red.bits;
  g_krVideo.nRedShift = red.shift;
  g_krVideo.nRedMax = red.maximum;
  g_krVideo.nGreenBits = green.bits;
  g_krVideo.nGreenShift = green.shift;
  g_krVideo.nGreenMax = green.maximum;
  g_krVideo.nBlueBits = blue.bits;
  g_krVideo.nBlueShift = blue.shift;
  g_krVideo.nBlueMax = blue.maximum;
}

// One channel's share of a pixel: the byte scaled to the channel's range
// (dropping the remainder), moved to its place.
uint32_t ChannelValue(uint32_t byte, int maximum, int shift) {
  uint64_t scaled = uint64_t(byte) * static_cast<uint32_t>(maximum) / 255u;
  if (shift < 0 || shift >= kPixelBits) return 0;
  return static_cast<uint32_t>(scaled << shift);
}

void DrawChannel(char* picture, char letter, int bits, int shift) {
  for (int bit = 0; bit < bits; ++bit) {
    int position = kPixelBits - 1 - shift - bit;
    if (position >= 0 && position < kPixelBits) picture[position] = letter;
  }
}

}  // namespace

void KRVideoSetPalettizedLayout(void) {
  const Channel red = {3, 5, 7};
  const Channel green = {3, 2, 7};
  const Channel blue = {2, 0, 3};
  StoreLayout(red, green, blue);
}

void KRVideoSetLayoutFromMasks(DWORD redMask, DWORD greenMask, DWORD blueMask) {
  StoreLayout(ChannelFromMask(redMask), ChannelFromMask(greenMask), ChannelFromMask(blueMask));
}

DWORD KRVideoColorToPixel(DWORD colour) {
  uint32_t red = colour & 0xFF;
  uint32_t green = (colour >> 8) & 0xFF;
  uint32_t blue = (colour >> 16) & 0xFF;
  return ChannelValue(red, g_krVideo.nRedMax, g_krVideo.nRedShift) |
         ChannelValue(green, g_krVideo.nGreenMax, g_krVideo.nGreenShift) |
         ChannelValue(blue, g_krVideo.nBlueMax, g_krVideo.nBlueShift);
}

void KRVideoGetLayoutPicture(char picture[33]) {
  char full[kPixelBits + 1];
  memset(full, '_', kPixelBits);
  full[kPixelBits] = '\0';
  DrawChannel(full, 'R', g_krVideo.nRedBits, g_krVideo.nRedShift);
  DrawChannel(full, 'G', g_krVideo.nGreenBits, g_krVideo.nGreenShift);
  DrawChannel(full, 'B', g_krVideo.nBlueBits, g_krVideo.nBlueShift);
  const char* used = full;
  while (*used == '_') ++used;
  strcpy(picture, used);
}

void KRVideoLogPixelFormat(void) {
  char picture[kPixelBits + 1];
  KRVideoGetLayoutPicture(picture);
  KRDebugDump("KRVideo : Pixel format RGB%d%d%d (%s)\n", g_krVideo.nRedBits, g_krVideo.nGreenBits,
              g_krVideo.nBlueBits, picture);
}
