#include "support/surface_pixels.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace winsupport {

namespace {

// One colour channel of a pixel format: where its bits sit and their largest value.
struct Channel {
  int shift = 0;
  uint32_t maximum = 0;  // 0: the format has no such channel
};

Channel ChannelOf(DWORD mask) {
  Channel channel;
  if (mask == 0) return channel;
  while (((mask >> channel.shift) & 1u) == 0) ++channel.shift;
  channel.maximum = mask >> channel.shift;
  return channel;
}

uint32_t ToByte(const Channel& channel, uint32_t value) {
  uint32_t field = (value >> channel.shift) & channel.maximum;
  return channel.maximum == 0 ? 0 : field * 255u / channel.maximum;
}

uint32_t FromByte(const Channel& channel, uint32_t byte) {
  return channel.maximum == 0 ? 0 : (byte * channel.maximum / 255u) << channel.shift;
}

struct Channels {
  Channel red, green, blue;
  explicit Channels(const DDPIXELFORMAT& format)
      : red(ChannelOf(format.dwRBitMask)), green(ChannelOf(format.dwGBitMask)), blue(ChannelOf(format.dwBBitMask)) {}
  uint32_t Rgb(uint32_t value) const {
    return (ToByte(red, value) << 16) | (ToByte(green, value) << 8) | ToByte(blue, value);
  }
};

bool IsReadable(const DDPIXELFORMAT& format) {
  DWORD bits = format.dwRGBBitCount;
  return (format.dwFlags & DDPF_RGB) != 0 && (format.dwFlags & DDPF_PALETTEINDEXED8) == 0 &&
         (bits == 16 || bits == 24 || bits == 32);
}

// The surface locked for reading; Unlock on leaving.
class ReadLock {
 public:
  explicit ReadLock(IDirectDrawSurface4* surface) : surface_(surface) {
    memset(&desc_, 0, sizeof(desc_));
    desc_.dwSize = sizeof(desc_);
    locked_ = surface_ != NULL && SUCCEEDED(surface_->Lock(NULL, &desc_, DDLOCK_WAIT | DDLOCK_READONLY, NULL));
  }
  ~ReadLock() {
    if (locked_) surface_->Unlock(NULL);
  }
  ReadLock(const ReadLock&) = delete;
  ReadLock& operator=(const ReadLock&) = delete;

  bool Readable() const { return locked_ && IsReadable(desc_.ddpfPixelFormat); }
  int Width() const { return static_cast<int>(desc_.dwWidth); }
  int Height() const { return static_cast<int>(desc_.dwHeight); }
  const DDPIXELFORMAT& Format() const { return desc_.ddpfPixelFormat; }

  uint32_t RawPixel(int x, int y) const {
    const int bytes = static_cast<int>(desc_.ddpfPixelFormat.dwRGBBitCount / 8);
    const unsigned char* at = static_cast<const unsigned char*>(desc_.lpSurface) +
                              static_cast<ptrdiff_t>(y) * desc_.lPitch + static_cast<ptrdiff_t>(x) * bytes;
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return value;
  }

 private:
  IDirectDrawSurface4* surface_;
  DDSURFACEDESC2 desc_;
  bool locked_ = false;
};

}  // namespace

bool ReadPixel(IDirectDrawSurface4* surface, int x, int y, uint32_t* rgb) {
  ReadLock lock(surface);
  if (!lock.Readable() || x < 0 || y < 0 || x >= lock.Width() || y >= lock.Height()) return false;
  *rgb = Channels(lock.Format()).Rgb(lock.RawPixel(x, y));
  return true;
}

bool ReadSurface(IDirectDrawSurface4* surface, RgbImage* image) {
  *image = RgbImage();
  ReadLock lock(surface);
  if (!lock.Readable()) return false;
  const Channels channels(lock.Format());
  RgbImage read(lock.Width(), lock.Height());
  for (int y = 0; y < read.height; ++y) {
    for (int x = 0; x < read.width; ++x) read.At(x, y) = channels.Rgb(lock.RawPixel(x, y));
  }
  *image = std::move(read);
  return true;
}

uint32_t RawOfRgb(const DDPIXELFORMAT& format, uint32_t rgb) {
  const Channels channels(format);
  return FromByte(channels.red, (rgb >> 16) & 0xFFu) | FromByte(channels.green, (rgb >> 8) & 0xFFu) |
         FromByte(channels.blue, rgb & 0xFFu);
}

uint32_t RgbOfRaw(const DDPIXELFORMAT& format, uint32_t raw) { return Channels(format).Rgb(raw); }

uint32_t RgbAsStored(const DDPIXELFORMAT& format, uint32_t rgb) { return RgbOfRaw(format, RawOfRgb(format, rgb)); }

bool SurfaceFormat(IDirectDrawSurface4* surface, DDPIXELFORMAT* format) {
  memset(format, 0, sizeof(*format));
  format->dwSize = sizeof(*format);
  return surface != NULL && SUCCEEDED(surface->GetPixelFormat(format));
}

}  // namespace winsupport
