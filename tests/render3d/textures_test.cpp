// Textures: the automatic format choice, surfaces and Load by device kind,
// palettes from colour tables, texels after conversion into every format,
// each failing step, names from resources and files, the table and release.
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/ddraw_control.h"
#include "platform/sim/gdi_control.h"
#include "render3d/frame_fixture.h"

namespace {

const unsigned long kCreateTextureFailed = 0x3100;
const unsigned long kUntouched = 0x7777;

DDPIXELFORMAT Rgb(int bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
  return sim::RgbFormat(bits, red, green, blue, alpha);
}
const DDPIXELFORMAT k555 = Rgb(16, 0x7C00, 0x03E0, 0x001F);
const DDPIXELFORMAT k1555 = Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
const DDPIXELFORMAT k4444 = Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
const DDPIXELFORMAT k565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT k888 = Rgb(24, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT kX888 = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT k8888 = Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
const DDPIXELFORMAT k332 = Rgb(8, 0xE0, 0x1C, 0x03);
const DDPIXELFORMAT kPal8 = sim::PaletteFormat(8);
const DDPIXELFORMAT kPal4 = sim::PaletteFormat(4);

// Some drivers list palette formats without DDPF_RGB.
DDPIXELFORMAT PaletteOnly(DDPIXELFORMAT format) {
  format.dwFlags &= ~DWORD(DDPF_RGB);
  return format;
}

DDPIXELFORMAT Yuv16() {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof(format);
  format.dwFlags = DDPF_YUV;
  format.dwRGBBitCount = 16;
  return format;
}

// The simulated surface describes every palette format with DDPF_RGB set, as the
// listing of its devices does; that flag alone does not make another format.
bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  const DWORD palettes = DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8;
  const DWORD ignored = ((a.dwFlags | b.dwFlags) & palettes) ? DWORD(DDPF_RGB) : 0;
  return (a.dwFlags & ~ignored) == (b.dwFlags & ~ignored) && a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
         a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask && a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

// A channel of 8 bits cut to the mask's width and put in its place.
DWORD Pack(uint32_t value8, DWORD mask) {
  int shift = 0, bits = 0;
  while (shift < 32 && !((mask >> shift) & 1)) ++shift;
  for (int bit = 0; bit < 32; ++bit) bits += (mask >> bit) & 1;
  if (bits == 0) return 0;
  return ((value8 >> (8 - bits)) << shift) & mask;
}

DWORD Expected(uint32_t rgb, const DDPIXELFORMAT& format) {
  return Pack((rgb >> 16) & 0xFF, format.dwRBitMask) | Pack((rgb >> 8) & 0xFF, format.dwGBitMask) |
         Pack(rgb & 0xFF, format.dwBBitMask);
}

const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x89ABCD};

class TextureTest : public FrameTest {
 protected:
  // Both devices offer `formats`; the device starts on the back buffer.
  void StartWith(const std::vector<DDPIXELFORMAT>& formats, int device = kHardwareDevice) {
    std::vector<sim::Direct3DDeviceType> devices = sim::StandardDirect3DDevices();
    for (sim::Direct3DDeviceType& type : devices) type.textureFormats = formats;
    sim::SetDirect3DDevices(devices);
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice(640, 480, device));
  }

  // A DIB section from a .bmp file of the sandbox, as the application would load one.
  static HBITMAP Load(const sim::BmpImage& image) {
    sim::WriteWholeFile("picture.bmp", sim::EncodeBmp(image));
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(NULL, "picture.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    EXPECT_NE(bitmap, nullptr);
    return bitmap;
  }

  static sim::BmpImage TrueColour(int width = 3, int height = 2) {
    sim::BmpImage image;
    image.width = width;
    image.height = height;
    image.bitCount = 24;
    for (int i = 0; i < width * height; ++i) image.pixels.push_back(kColours[i % kColours.size()]);
    return image;
  }

  // A bitmap of 1, 4 or 8 bits with a colour table of `entries`; pixel i has index i mod entries.
  static sim::BmpImage Indexed(int entries, int bitCount = 8, int width = 4, int height = 2) {
    sim::BmpImage image;
    image.width = width;
    image.height = height;
    image.bitCount = bitCount;
    for (int i = 0; i < entries; ++i) image.palette.push_back((0x010203u * static_cast<uint32_t>(i) ^ 0x00804020u) & 0xFFFFFF);
    for (int i = 0; i < width * height; ++i) image.pixels.push_back(static_cast<uint32_t>(i % entries));
    return image;
  }

  static const KR3DTEXTURE& Slot(int handle) { return g_kr3D.lpTextures[handle]; }

  static DDPIXELFORMAT FormatOf(int handle) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(format);
    EXPECT_EQ(Slot(handle).lpSurface->GetPixelFormat(&format), DD_OK);
    return format;
  }

  // The log's warning lines, without the last-error lines between them.
  static std::vector<std::string> Warnings() {
    std::vector<std::string> warnings;
    for (const std::string& line : LogLines())
      if (line.rfind("KR3D Warning", 0) == 0) warnings.push_back(line);
    return warnings;
  }

  // Calls other than the debugger output.
  static std::vector<std::string> PlatformCalls() {
    std::vector<std::string> calls;
    for (const std::string& name : sim::CallNames())
      if (name != "OutputDebugStringA") calls.push_back(name);
    return calls;
  }

  static std::vector<std::string> CreateSurfaceCaps() {
    std::vector<std::string> caps;
    for (const std::string& arguments : ArgumentsOf("IDirectDraw4::CreateSurface")) {
      const size_t at = arguments.find("caps ");
      caps.push_back(at == std::string::npos ? "" : arguments.substr(at + 5, arguments.find(',', at) - at - 5));
    }
    return caps;
  }

  // What the machine holds besides the device: compared before and after a creation that fails.
  struct Holdings {
    int surfaces, palettes, textures, contexts, gdiObjects;
    bool operator==(const Holdings& o) const {
      return surfaces == o.surfaces && palettes == o.palettes && textures == o.textures && contexts == o.contexts &&
             gdiObjects == o.gdiObjects;
    }
  };
  static Holdings Held() {
    return {sim::LiveSurfaces(), sim::LivePalettes(), sim::LiveDirect3DTextures(), sim::LiveDeviceContexts(),
            sim::LiveGdiObjects()};
  }
};

struct ChoiceCase {
  const char* what;
  int depth;  // 8 or 24
  std::vector<DDPIXELFORMAT> formats;
  int chosen;  // index in formats; -1: none acceptable
};

TEST_F(TextureTest, AutomaticChoiceTakesTheNearestAcceptableDepthAtOrAbove) {
  const std::vector<ChoiceCase> cases = {
      {"boot list, 24 bits", 24, {k555, k1555, k4444, k565, kX888, k8888}, 4},
      {"only 16-bit RGB", 24, {k555, k565}, 0},
      {"24 before 32", 24, {k565, kX888, k888}, 2},
      {"a kept format below the depth is the farthest", 24, {k565, kX888}, 1},
      {"a lower one after a fitting one is skipped", 24, {kX888, k565}, 0},
      {"alpha never chosen", 24, {k8888, k1555, k565}, 2},
      {"palettised 8 for 8 bits", 8, {k565, kPal8, kX888}, 1},
      {"palettised 8 without the RGB flag", 8, {k565, PaletteOnly(kPal8), kX888}, 1},
      {"4-bit palettes, 8-bit RGB and YUV skipped", 8, {kPal4, k332, Yuv16(), k565}, 3},
      {"nothing acceptable", 24, {k8888, kPal4, Yuv16()}, -1},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(StartWith(c.formats));
    HBITMAP bitmap = Load(c.depth == 8 ? Indexed(256) : TrueColour());
    sim::ClearCalls();
    KRErrorSetLastError(kUntouched);
    const int texture = KR3DCreateTexture(bitmap, -1);
    EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::EnumTextureFormats"), 1);
    if (c.chosen < 0) {
      EXPECT_EQ(texture, 0);
      EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
      EXPECT_EQ(sim::LiveDirect3DTextures(), 0);
    } else {
      ASSERT_EQ(texture, 1);
      EXPECT_TRUE(SameFormat(FormatOf(texture), c.formats[c.chosen]));
      EXPECT_EQ(KRErrorGetLastError(), kUntouched);
      KR3DReleaseTexture(texture);
    }
    DeleteObject(bitmap);
    KR3DCleanup();
  }
}

TEST_F(TextureTest, AFormatGivenByIndexIsTakenAsItIsAlphaIncluded) {
  ASSERT_NO_FATAL_FAILURE(StartWith({k565, k4444, kX888}));
  HBITMAP bitmap = Load(TrueColour());
  // Before the format list is read, every index asks for the automatic choice.
  int texture = KR3DCreateTexture(bitmap, 1);
  ASSERT_EQ(texture, 1);
  EXPECT_TRUE(SameFormat(FormatOf(texture), kX888));
  ASSERT_EQ(KR3DGetTextureFormatCount(), 3);
  sim::ClearCalls();
  texture = KR3DCreateTexture(bitmap, 1);
  ASSERT_EQ(texture, 2);
  EXPECT_TRUE(SameFormat(FormatOf(texture), k4444));
  EXPECT_EQ(sim::CountCalls("IDirect3DDevice3::EnumTextureFormats"), 0);
  texture = KR3DCreateTexture(bitmap, 3);  // one past the list
  ASSERT_EQ(texture, 3);
  EXPECT_TRUE(SameFormat(FormatOf(texture), kX888));
  DeleteObject(bitmap);
}

TEST_F(TextureTest, HardwareDeviceLoadsAVideoMemoryTextureFromASystemCopy) {
  ASSERT_NO_FATAL_FAILURE(StartWith({k565}));
  HBITMAP bitmap = Load(TrueColour());
  // The local display memory refuses: the non-local one takes the texture.
  sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFVIDEOMEMORY, "caps 0x14005000");
  const int texture = KR3DCreateTexture(bitmap, -1);
  ASSERT_EQ(texture, 1);
  EXPECT_EQ(CreateSurfaceCaps(), (std::vector<std::string>{"0x14005000", "0x24005000", "0x1800"}));
  for (const std::string& arguments : ArgumentsOf("IDirectDraw4::CreateSurface")) {
    EXPECT_NE(arguments.find("{flags 0x1007"), std::string::npos) << arguments;
    EXPECT_NE(arguments.find("3x2"), std::string::npos) << arguments;
  }
  const KR3DTEXTURE& slot = Slot(texture);
  EXPECT_NE(slot.lpSurface, slot.lpSourceSurface);
  EXPECT_EQ(slot.lpPalette, nullptr);
  EXPECT_EQ(slot.dwWidth, 3u);
  EXPECT_EQ(slot.dwHeight, 2u);
  EXPECT_EQ(sim::CountCalls("IDirect3DTexture2::Load"), 1);
  const sim::SurfaceInfo shown = sim::DescribeSurface(slot.lpSurface);
  EXPECT_EQ(shown.caps & (DDSCAPS_TEXTURE | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_ALLOCONLOAD),
            DWORD(DDSCAPS_TEXTURE | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_ALLOCONLOAD));
  EXPECT_EQ(sim::DescribeSurface(slot.lpSourceSurface).caps & DDSCAPS_SYSTEMMEMORY, DWORD(DDSCAPS_SYSTEMMEMORY));
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(sim::SurfaceRaw(slot.lpSurface, i % 3, i / 3), Expected(kColours[i], k565)) << "texel " << i;
  }
  EXPECT_EQ(sim::LiveDeviceContexts(), 0);
  DeleteObject(bitmap);

  IDirect3DTexture2* given = reinterpret_cast<IDirect3DTexture2*>(1);
  const int references = sim::Direct3DReferences(slot.lpD3DTexture);
  KR3DGetDirect3DTextureInterface(&given, texture);
  EXPECT_EQ(given, slot.lpD3DTexture);
  EXPECT_EQ(sim::Direct3DReferences(given), references) << "the getter adds no reference";

  const int surfaces = sim::LiveSurfaces();
  KR3DReleaseTexture(texture);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces - 2);
  EXPECT_EQ(sim::LiveDirect3DTextures(), 0);
  EXPECT_EQ(Slot(texture).lpD3DTexture, nullptr);
  EXPECT_EQ(Slot(texture).dwWidth, 3u) << "the size stays";
  KR3DGetDirect3DTextureInterface(&given, texture);
  EXPECT_EQ(given, nullptr);
}

TEST_F(TextureTest, SoftwareDeviceUsesOneSurfaceWithTwoReferencesAndNoLoad) {
  ASSERT_NO_FATAL_FAILURE(StartWith({k565}, kSoftwareDevice));
  HBITMAP bitmap = Load(TrueColour());
  const int surfaces = sim::LiveSurfaces();
  const int texture = KR3DCreateTexture(bitmap, -1);
  ASSERT_EQ(texture, 1);
  EXPECT_EQ(CreateSurfaceCaps(), (std::vector<std::string>{"0x1800"}));
  EXPECT_EQ(Slot(texture).lpSurface, Slot(texture).lpSourceSurface);
  EXPECT_EQ(sim::CountCalls("IDirect3DTexture2::Load"), 0);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces + 1);
  EXPECT_EQ(sim::SurfaceRaw(Slot(texture).lpSurface, 2, 1), Expected(kColours[5], k565));
  KR3DReleaseTexture(texture);
  EXPECT_EQ(sim::LiveSurfaces(), surfaces) << "both references given back";
  DeleteObject(bitmap);
}

// 24-bit bitmaps into every format a texture can get, given by index: each channel keeps its top bits, alpha stays 0.
TEST_F(TextureTest, TrueColourTexelsConvertIntoEveryRgbFormat) {
  const std::vector<DDPIXELFORMAT> formats = {k565, k555, k1555, k4444, k888, kX888, k8888, k332};
  for (int device : {kHardwareDevice, kSoftwareDevice}) {
    ASSERT_NO_FATAL_FAILURE(StartWith(formats, device));
    ASSERT_EQ(KR3DGetTextureFormatCount(), static_cast<int>(formats.size()));
    HBITMAP bitmap = Load(TrueColour());
    for (size_t f = 0; f < formats.size(); ++f) {
      SCOPED_TRACE("format " + std::to_string(f) + (device == kHardwareDevice ? " hardware" : " software"));
      const int texture = KR3DCreateTexture(bitmap, static_cast<int>(f));
      ASSERT_NE(texture, 0);
      for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(sim::SurfaceRaw(Slot(texture).lpSurface, i % 3, i / 3), Expected(kColours[i], formats[f]))
            << "texel " << i;
      }
      EXPECT_EQ(Slot(texture).lpPalette, nullptr);
    }
    EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreatePalette"), 0);
    DeleteObject(bitmap);
    KR3DCleanup();
  }
}

TEST_F(TextureTest, ColourTablesBecomePalettesSizedByTheSurface) {
  struct PaletteCase {
    const char* what;
    DDPIXELFORMAT format;
    int entries;
    DWORD caps;
    bool attached;
    int bitCount;
  };
  const std::vector<PaletteCase> cases = {
      {"256 entries, 8-bit palettised", kPal8, 256, DDPCAPS_8BIT, true, 8},
      {"a short table still fills an 8-bit palette", kPal8, 16, DDPCAPS_8BIT, true, 8},
      {"RGB surface, 16 entries", k565, 16, DDPCAPS_4BIT, false, 8},
      {"RGB surface, 17 entries", k565, 17, DDPCAPS_8BIT, false, 8},
      {"4-bit bitmap, 8-bit palettised", kPal8, 16, DDPCAPS_8BIT, true, 4},
      {"4-bit bitmap, RGB surface", k565, 16, DDPCAPS_4BIT, false, 4},
      {"1-bit bitmap, RGB surface", k565, 2, DDPCAPS_4BIT, false, 1},
  };
  for (int device : {kHardwareDevice, kSoftwareDevice}) {
    for (const PaletteCase& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (device == kHardwareDevice ? ", hardware" : ", software"));
      ASSERT_NO_FATAL_FAILURE(StartWith({c.format}, device));
      const sim::BmpImage image = Indexed(c.entries, c.bitCount);
      HBITMAP bitmap = Load(image);
      const int texture = KR3DCreateTexture(bitmap, -1);
      ASSERT_EQ(texture, 1);
      const KR3DTEXTURE& slot = Slot(texture);
      ASSERT_NE(slot.lpPalette, nullptr) << "kept even when no surface takes it";
      DWORD caps = 0;
      EXPECT_EQ(slot.lpPalette->GetCaps(&caps), DD_OK);
      EXPECT_EQ(caps, c.caps);
      const int size = caps == DDPCAPS_8BIT ? 256 : 16;
      std::vector<PALETTEENTRY> entries(size);
      ASSERT_EQ(slot.lpPalette->GetEntries(0, 0, size, entries.data()), DD_OK);
      for (int i = 0; i < size; ++i) {
        const uint32_t rgb = i < c.entries ? image.palette[i] : 0;
        const uint32_t got = (entries[i].peRed << 16) | (entries[i].peGreen << 8) | entries[i].peBlue;
        EXPECT_EQ(got, rgb) << "entry " << i;
        EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
      }
      EXPECT_EQ(sim::DescribeSurface(slot.lpSurface).hasPalette, c.attached);
      EXPECT_EQ(sim::DescribeSurface(slot.lpSourceSurface).hasPalette, c.attached);
      for (int i = 0; i < 8; ++i) {
        const DWORD raw = sim::SurfaceRaw(slot.lpSurface, i % 4, i / 4);
        if (c.attached) {
          EXPECT_EQ(raw, DWORD(i % c.entries)) << "indexes kept, texel " << i;
          EXPECT_EQ(sim::SurfaceRgb(slot.lpSurface, i % 4, i / 4), image.palette[i % c.entries]);
        } else {
          EXPECT_EQ(raw, Expected(image.palette[i % c.entries], c.format)) << "texel " << i;
        }
      }
      sim::ClearCalls();
      KR3DReleaseTexture(texture);
      EXPECT_EQ(sim::CallNames(), (std::vector<std::string>{"IDirectDrawSurface4::Release", "IDirectDrawSurface4::Release",
                                                            "IDirectDrawPalette::Release", "IDirect3DTexture2::Release"}));
      EXPECT_EQ(sim::LivePalettes(), 0);
      DeleteObject(bitmap);
      KR3DCleanup();
    }
  }
}

struct FailureCase {
  const char* function;
  const char* argumentsContain;
  int device;
  int64_t code;
  int passing = 0;  // matching calls that succeed first
};

// Every step that can fail: 0x3100, nothing left behind, the slot still free.
TEST_F(TextureTest, EachFailingStepGivesBackWhatWasMade) {
  const std::vector<FailureCase> cases = {
      {"GetObjectA", "", kHardwareDevice, ERROR_INVALID_HANDLE},
      {"IDirect3DDevice3::EnumTextureFormats", "", kHardwareDevice, DDERR_GENERIC},
      {"IDirectDraw4::CreateSurface", "caps 0x", kHardwareDevice, DDERR_OUTOFVIDEOMEMORY},  // both video tries
      {"IDirectDraw4::CreateSurface", "caps 0x1800", kHardwareDevice, DDERR_OUTOFMEMORY},
      {"IDirectDraw4::CreateSurface", "caps 0x1800", kSoftwareDevice, DDERR_OUTOFMEMORY},
      {"IDirectDraw4::CreatePalette", "", kHardwareDevice, DDERR_OUTOFMEMORY},
      {"IDirectDraw4::CreatePalette", "", kSoftwareDevice, DDERR_OUTOFMEMORY},
      {"IDirectDrawSurface4::GetDC", "", kHardwareDevice, DDERR_SURFACEBUSY},
      {"IDirectDrawSurface4::GetDC", "", kSoftwareDevice, DDERR_SURFACEBUSY},
      {"IDirectDrawSurface4::QueryInterface", "", kHardwareDevice, E_NOINTERFACE},
      {"IDirectDrawSurface4::QueryInterface", "", kSoftwareDevice, E_NOINTERFACE},
      {"IDirectDrawSurface4::QueryInterface", "", kHardwareDevice, E_NOINTERFACE, 1},  // the system copy's
      {"IDirect3DTexture2::Load", "", kHardwareDevice, D3DERR_TEXTURE_LOAD_FAILED},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(std::string(c.function) + " " + c.argumentsContain +
                 (c.device == kHardwareDevice ? " hardware" : " software") + " after " + std::to_string(c.passing));
    ASSERT_NO_FATAL_FAILURE(StartWith({kPal8}, c.device));
    HBITMAP bitmap = Load(Indexed(256));
    const Holdings before = Held();
    sim::FailAfter(c.passing, c.function, c.code, c.argumentsContain,
                   std::string(c.argumentsContain) == "caps 0x" ? 2 : 1);
    KRErrorSetLastError(0);
    sim::ClearCalls();
    EXPECT_EQ(KR3DCreateTexture(bitmap, -1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
    EXPECT_EQ(sim::PendingFailures(), 0);
    // Without a format there is nothing to make a surface of.
    if (std::string(c.function) == "IDirect3DDevice3::EnumTextureFormats") {
      EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 0);
    }
    EXPECT_TRUE(Held() == before) << "surfaces, palettes, textures, device contexts or GDI objects left";
    EXPECT_EQ(sim::LiveDirect3DTextures(), 0);
    EXPECT_EQ(KR3DCreateTexture(bitmap, -1), 1) << "the slot stayed free";
    DeleteObject(bitmap);
    KR3DCleanup();
  }
}

TEST_F(TextureTest, NamesComeFromTheLibrarysResourcesThenFiles) {
  ASSERT_NO_FATAL_FAILURE(StartWith({k565}));
  HMODULE library = sim::LoadedModule("KORVATHD.DLL");
  sim::AddBitmapResource(library, "LOGO", sim::EncodeBmp(TrueColour()));
  sim::AddBitmapResource(library, MAKEINTRESOURCEA(101), sim::EncodeBmp(Indexed(16)));
  // The application's own resources are never searched.
  sim::AddBitmapResource(sim::ExecutableModule(), "MINE", sim::EncodeBmp(TrueColour()));
  sim::WriteWholeFile("art\\wall.bmp", sim::EncodeBmp(TrueColour(2, 2)));
  const int gdiObjects = sim::LiveGdiObjects();

  int texture = KR3DCreateTexture("LOGO", -1);
  ASSERT_EQ(texture, 1);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 1);
  EXPECT_NE(ArgumentsOf("LoadImageA")[0].find("0x2000"), std::string::npos);
  EXPECT_STREQ(Slot(texture).szPath, "") << "written only for files";

  texture = KR3DCreateTexture(MAKEINTRESOURCEA(101), -1);
  ASSERT_EQ(texture, 2);
  EXPECT_STREQ(Slot(texture).szPath, "");
  EXPECT_EQ(Slot(texture).dwWidth, 4u);

  sim::ClearCalls();
  texture = KR3DCreateTexture("art\\wall.bmp", -1);
  ASSERT_EQ(texture, 3);
  ASSERT_EQ(sim::CountCalls("LoadImageA"), 2);
  EXPECT_NE(ArgumentsOf("LoadImageA")[1].find("0x2010"), std::string::npos);
  char full[MAX_PATH];
  ASSERT_GT(GetFullPathNameA("art\\wall.bmp", sizeof(full), full, NULL), 0u);
  EXPECT_STREQ(Slot(texture).szPath, full);
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects) << "every bitmap deleted";

  // Nothing by that name: no handle and no code; a number never becomes a file name.
  for (LPCSTR missing : std::vector<LPCSTR>{"MINE", "nothing.bmp", MAKEINTRESOURCEA(202)}) {
    sim::ClearCalls();
    KRErrorSetLastError(kUntouched);
    EXPECT_EQ(KR3DCreateTexture(missing, -1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kUntouched);
    EXPECT_EQ(sim::CountCalls("LoadImageA"), IS_INTRESOURCE(missing) ? 1 : 2);
  }
  // No name at all asks nothing of the platform.
  sim::ClearCalls();
  EXPECT_EQ(KR3DCreateTexture(static_cast<const char*>(NULL), -1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kUntouched);
  EXPECT_EQ(sim::CountCalls("LoadImageA"), 0);

  // A bitmap that loads but makes no texture is deleted all the same.
  sim::FailNext("IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, "", 3);
  EXPECT_EQ(KR3DCreateTexture("art\\wall.bmp", -1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
  EXPECT_EQ(sim::LiveGdiObjects(), gdiObjects);
}

TEST_F(TextureTest, FullTableRefusesAndAReleasedHandleComesBackFirst) {
  ASSERT_NO_FATAL_FAILURE(StartWith({k565}, kSoftwareDevice));
  HBITMAP bitmap = Load(TrueColour(1, 1));
  for (int handle = 1; handle < KR3D_TEXTURE_MAX; ++handle) ASSERT_EQ(KR3DCreateTexture(bitmap, -1), handle);
  Forget();
  EXPECT_EQ(KR3DCreateTexture(bitmap, -1), 0);
  EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
  EXPECT_EQ(Warnings(), (std::vector<std::string>{"KR3D Warning : Could not create Texture(Maximumed out)."}));
  EXPECT_EQ(sim::CountCalls("IDirectDraw4::CreateSurface"), 0);

  KR3DReleaseTexture(5);
  EXPECT_EQ(KR3DCreateTexture(bitmap, -1), 5);
  DeleteObject(bitmap);

  Forget();
  const int surfaces = sim::LiveSurfaces();
  for (int bad : {0, KR3D_TEXTURE_MAX, -1}) KR3DReleaseTexture(bad);
  KR3DReleaseTexture(9);
  KR3DReleaseTexture(9);
  EXPECT_EQ(Warnings(), (std::vector<std::string>{"KR3D Warning : You did release NULL or ills Texture(0).",
                                                  "KR3D Warning : You did release NULL or ills Texture(128).",
                                                  "KR3D Warning : You did release NULL or ills Texture(-1).",
                                                  "KR3D Warning : You did release NULL or ills Texture(9)."}));
  EXPECT_EQ(sim::LiveSurfaces(), surfaces - 1);

  for (int bad : {KR3D_TEXTURE_MAX, 0}) {
    IDirect3DTexture2* given = reinterpret_cast<IDirect3DTexture2*>(1);
    KR3DGetDirect3DTextureInterface(&given, bad);
    EXPECT_EQ(given, nullptr) << bad;
  }
}

TEST_F(TextureTest, CleanUpOfTheDeviceReleasesForgottenTexturesWithTheirWarnings) {
  ASSERT_NO_FATAL_FAILURE(StartWith({kPal8}));
  HBITMAP bitmap = Load(Indexed(256));
  ASSERT_EQ(KR3DCreateTexture(bitmap, -1), 1);
  ASSERT_EQ(KR3DCreateTexture(bitmap, -1), 2);
  KR3DReleaseTexture(1);
  DeleteObject(bitmap);
  Forget();
  KR3DCleanupDevice();
  EXPECT_FALSE(Logged("KR3D Warning : You didn't release Texture(1)."));
  ExpectLinesInOrder({"KR3D Warning : You didn't release Texture(2)."});
  EXPECT_EQ(sim::LiveDirect3DTextures(), 0);
  EXPECT_EQ(sim::LivePalettes(), 0);
  EXPECT_EQ(Slot(2).lpSurface, nullptr);
}

// Before the component or the device: 0 with the call's own code, no platform call; the
// other calls act as on an empty slot.
TEST_F(TextureTest, WithoutAStartedDeviceNothingIsAskedOfThePlatform) {
  ASSERT_EQ(KRVideoSetVideoMode(640, 480, 0), 1);
  HBITMAP bitmap = Load(TrueColour());
  sim::WriteWholeFile("tile.bmp", sim::EncodeBmp(TrueColour()));
  for (int stage = 0; stage < 2; ++stage) {
    SCOPED_TRACE(stage == 0 ? "before KR3DStartup" : "before KR3DStartupDevice");
    if (stage == 1) {
      ASSERT_EQ(KR3DStartup(), 1);
    }
    Forget();
    KRErrorSetLastError(0);
    EXPECT_EQ(KR3DCreateTexture(bitmap, -1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
    KRErrorSetLastError(0);
    EXPECT_EQ(KR3DCreateTexture("tile.bmp", -1), 0);
    EXPECT_EQ(KRErrorGetLastError(), kCreateTextureFailed);
    EXPECT_EQ(PlatformCalls(), std::vector<std::string>{});
    KR3DReleaseTexture(1);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"KR3D Warning : You did release NULL or ills Texture(1)."}));
    IDirect3DTexture2* given = reinterpret_cast<IDirect3DTexture2*>(1);
    KR3DGetDirect3DTextureInterface(&given, 1);
    EXPECT_EQ(given, nullptr);
  }
  DeleteObject(bitmap);
}

}  // namespace
