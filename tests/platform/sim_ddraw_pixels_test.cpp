// The simulated DirectDraw's pixels: colour fills, copies, stretches and
// colour keys at every depth, clipping to a window, page flips and palettes.
#include <vector>

#include "platform/sim/gdi_control.h"
#include "tests/platform/sim_ddraw_fixture.h"

namespace {

using namespace ddraw_test;

using SimDirectDrawPixels = SimDirectDrawTest;

// Depths as the desktop can run them, with a pixel value of each that uses every byte the depth has.
struct Depth {
  int bits;
  uint32_t sample;
};
const Depth kDepths[] = {{8, 0xA5}, {15, 0x7ABC}, {16, 0xF81F}, {24, 0xA1B2C3}, {32, 0xA1B2C3D4}};

TEST_F(SimDirectDrawPixels, ColourFillsWriteTheRawValueAtEveryDepth) {
  for (const Depth& depth : kDepths) {
    SCOPED_TRACE(depth.bits);
    sim::SetDesktopMode(640, 480, depth.bits);
    IDirectDraw4* object = OpenWindowed();
    IDirectDrawSurface4* surface = Offscreen(object, 6, 4);
    ASSERT_EQ(Fill(surface, 0xFFFFFFFF), DD_OK);
    const uint32_t all = depth.bits >= 32 ? 0xFFFFFFFF : (1u << (depth.bits == 15 ? 16 : depth.bits)) - 1;
    EXPECT_EQ(sim::SurfaceRaw(surface, 5, 3), all) << "the value is cut to the pixel's size";
    RECT inner = Rect(1, 1, 3, 2);
    ASSERT_EQ(Fill(surface, depth.sample, &inner), DD_OK);
    EXPECT_EQ(RawRow(surface, 0, 1, 4), (Raws{all, depth.sample, depth.sample, all})) << "right edge excluded";
    EXPECT_EQ(sim::SurfaceRaw(surface, 1, 2), all) << "bottom edge excluded";
  }
}

TEST_F(SimDirectDrawPixels, SourceKeysLeaveTheDestinationWhereTheSourceIsKeyed) {
  for (const Depth& depth : kDepths) {
    SCOPED_TRACE(depth.bits);
    sim::SetDesktopMode(640, 480, depth.bits);
    IDirectDraw4* object = OpenWindowed();
    IDirectDrawSurface4* sprite = Offscreen(object, 3, 1);
    IDirectDrawSurface4* target = Offscreen(object, 3, 1);
    const uint32_t row[] = {0, depth.sample, 1};  // black: the key
    for (int x = 0; x < 3; ++x) sim::SetSurfaceRaw(sprite, x, 0, row[x]);
    ASSERT_EQ(Fill(target, 2), DD_OK);
    DDCOLORKEY black = {0, 0};
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &black), DD_OK);
    ASSERT_EQ(target->Blt(nullptr, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(RawRow(target, 0, 0, 3), (Raws{2, depth.sample, 1}));

    ASSERT_EQ(target->Blt(nullptr, sprite, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(sim::SurfaceRaw(target, 0, 0), 0u) << "without DDBLT_KEYSRC black is copied";
  }
}

TEST_F(SimDirectDrawPixels, AKeyRangeSkipsEveryValueInsideIt) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* sprite = Offscreen(object, 4, 1);
  IDirectDrawSurface4* target = Offscreen(object, 4, 1);
  for (int x = 0; x < 4; ++x) sim::SetSurfaceRaw(sprite, x, 0, 0x10 + x);
  DDCOLORKEY range = {0x11, 0x12};
  ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range), DD_OK);
  ASSERT_EQ(target->BltFast(0, 0, sprite, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
  // The middle two skipped: a new surface's memory, 0xBAADF00D.
  EXPECT_EQ(RawRow(target, 0, 0, 4), (Raws{0x10, 0xBAAD, 0xF00D, 0x13}));

  IDirectDrawSurface4* unkeyed = Offscreen(object, 4, 1);
  EXPECT_EQ(target->Blt(nullptr, unkeyed, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS)
      << "DDBLT_KEYSRC needs a key on the source";
}

TEST_F(SimDirectDrawPixels, CopiesTakeRectanglesAndDifferentSizesStretchToTheNearestPixel) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* source = Offscreen(object, 2, 2);
  IDirectDrawSurface4* target = Offscreen(object, 8, 8);
  for (int i = 0; i < 4; ++i) sim::SetSurfaceRaw(source, i % 2, i / 2, static_cast<uint32_t>(i + 1));

  RECT one = Rect(1, 0, 2, 2);
  RECT at = Rect(5, 5, 6, 7);
  ASSERT_EQ(target->Blt(&at, source, &one, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(sim::SurfaceRaw(target, 5, 5), 2u);
  EXPECT_EQ(sim::SurfaceRaw(target, 5, 6), 4u);
  EXPECT_EQ(sim::SurfaceRaw(target, 4, 5), 0xF00Du);

  RECT big = Rect(0, 0, 4, 4);
  ASSERT_EQ(target->Blt(&big, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(sim::SurfaceRaw(target, 0, 0), 1u);
  EXPECT_EQ(sim::SurfaceRaw(target, 1, 1), 1u);
  EXPECT_EQ(sim::SurfaceRaw(target, 2, 1), 2u);
  EXPECT_EQ(sim::SurfaceRaw(target, 3, 3), 4u);
  EXPECT_EQ(sim::SurfaceRaw(target, 4, 0), 0xF00Du);

  // Within one surface the copy reads what was there before.
  RECT left = Rect(0, 0, 3, 1), shifted = Rect(1, 0, 4, 1);
  ASSERT_EQ(target->Blt(&shifted, target, &left, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(RawRow(target, 1, 0, 3), (Raws{1, 1, 2}));
}

TEST_F(SimDirectDrawPixels, RectanglesOffTheSurfaceAndMismatchedFormatsAreRefused) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* source = Offscreen(object, 4, 4);
  IDirectDrawSurface4* target = Offscreen(object, 4, 4);
  RECT off = Rect(2, 2, 5, 4);
  RECT inverted = Rect(3, 0, 1, 2);
  RECT empty = Rect(1, 1, 1, 3);
  EXPECT_EQ(Fill(target, 1, &off), DDERR_INVALIDRECT);
  EXPECT_EQ(Fill(target, 1, &inverted), DDERR_INVALIDRECT);
  EXPECT_EQ(Fill(target, 1, &empty), DDERR_INVALIDRECT);
  EXPECT_EQ(target->Blt(nullptr, source, &off, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(target->BltFast(1, 1, source, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  EXPECT_EQ(sim::SurfaceRaw(target, 2, 2), 0xF00Du) << "nothing drawn";

  DDBLTFX wrongSize = {};
  wrongSize.dwSize = 100;  // a 32-bit program's record on a 64-bit host
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &wrongSize),
            sizeof(DDBLTFX) == 100 ? DD_OK : DDERR_INVALIDPARAMS);
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS) << "no source";

  DDSURFACEDESC2 desc = FormatDesc(kOffscreenSystem, 4, 4, sim::RgbFormat(32, 0xFF0000, 0xFF00, 0xFF));
  IDirectDrawSurface4* wide = nullptr;
  ASSERT_EQ(object->CreateSurface(&desc, &wide, nullptr), DD_OK);
  Keep(wide);
  EXPECT_EQ(target->Blt(nullptr, wide, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(SimDirectDrawPixels, AClipperKeepsBlitsToThePrimarySurfaceInsideItsWindow) {
  HWND window = sim::CreateTestWindow();  // client area (104, 123) to (744, 603) on screen
  const RECT client = sim::InspectWindow(window).client;
  ASSERT_EQ(client.left, 104);
  ASSERT_EQ(client.top, 123);
  IDirectDraw4* object = OpenWindowed(window);
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DD_OK);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(object->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
  ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
  EXPECT_EQ(clipper->Release(), 1u) << "the surface holds the clipper";
  EXPECT_EQ(sim::DescribeSurface(primary).clipperWindow, window);

  IDirectDrawSurface4* back = Offscreen(object, 640, 480);
  sim::FillSurfaceRgb(back, 0xFF0000);
  sim::FillScreenRgb(0x00FF00);
  // A destination reaching past the window's right and bottom edges: only the client area changes.
  RECT to = Rect(client.left + 600, client.top + 400, client.left + 700, client.top + 520);
  RECT from = Rect(0, 0, 100, 120);
  ASSERT_EQ(primary->Blt(&to, back, &from, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(client.left + 600, client.top + 400), 0xFF0000u);
  EXPECT_EQ(sim::ScreenRgb(client.right - 1, client.bottom - 1), 0xFF0000u);
  EXPECT_EQ(sim::ScreenRgb(client.right, client.bottom - 1), 0x00FF00u);
  EXPECT_EQ(sim::ScreenRgb(client.right - 1, client.bottom), 0x00FF00u);
  EXPECT_EQ(sim::ScreenRgb(client.left + 599, client.top + 400), 0x00FF00u);

  // A colour fill of the whole primary surface is clipped the same way.
  ASSERT_EQ(Fill(primary, 0), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(client.left, client.top), 0u);
  EXPECT_EQ(sim::ScreenRgb(client.left - 1, client.top), 0x00FF00u);

  // Without the clipper the same rectangle is off the screen's surface only if it leaves the screen.
  ASSERT_EQ(primary->SetClipper(nullptr), DD_OK);
  EXPECT_EQ(sim::LiveClippers(), 0);
  RECT offScreen = Rect(1000, 700, 1100, 820);
  EXPECT_EQ(primary->Blt(&offScreen, back, &from, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(primary->BltFast(0, 0, back, &from, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0xFF0000u);
  DestroyWindow(window);
}

TEST_F(SimDirectDrawPixels, BltFastRefusesASurfaceWithAClipper) {
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* source = Offscreen(object, 4, 4);
  IDirectDrawSurface4* target = Offscreen(object, 4, 4);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(object->CreateClipper(0, &clipper, nullptr), DD_OK);
  target->SetClipper(clipper);
  clipper->Release();
  EXPECT_EQ(target->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
  EXPECT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_F(SimDirectDrawPixels, FlipsSwapThePagesOfTheChain) {
  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal | kFlipping, 1, &primary), DD_OK);
  IDirectDrawSurface4* back = BackBufferOf(primary);
  ASSERT_EQ(Fill(back, 0xF800), DD_OK);  // red in 5-6-5
  EXPECT_EQ(sim::ScreenRgb(10, 10), 0u);

  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(10, 10), 0xFF0000u);
  EXPECT_EQ(sim::SurfaceRgb(primary, 10, 10), 0xFF0000u);
  EXPECT_EQ(sim::SurfaceRgb(back, 10, 10), 0u) << "the page shown before is drawn on next";

  ASSERT_EQ(Fill(back, 0x07E0), DD_OK);
  ASSERT_EQ(primary->Flip(back, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(10, 10), 0x00FF00u);

  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  ASSERT_EQ(object->FlipToGDISurface(), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(10, 10), 0x00FF00u) << "the page GDI draws in is the one made first";

  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  HDC dc = nullptr;
  ASSERT_EQ(back->GetDC(&dc), DD_OK);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY) << "a page in use cannot move";
  back->ReleaseDC(dc);
}

TEST_F(SimDirectDrawPixels, AnInjectedStillDrawingFlipChangesNothingAndTheNextSucceeds) {
  IDirectDraw4* object = OpenFullScreen(640, 480, 16);
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal | kFlipping, 1, &primary), DD_OK);
  IDirectDrawSurface4* back = BackBufferOf(primary);
  Fill(back, 0xFFFF);
  sim::FailNext("IDirectDrawSurface4::Flip", DDERR_WASSTILLDRAWING);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0u);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0xFFFFFFu);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Flip"), 2);
  EXPECT_EQ(sim::Calls().back().arguments, "NULL, 0x1");
}

TEST_F(SimDirectDrawPixels, EightBitSurfacesShowTheirPaletteAndFollowItsChanges) {
  sim::SetDesktopMode(640, 480, 8);
  IDirectDraw4* object = OpenWindowed();
  IDirectDrawSurface4* primary = nullptr;
  ASSERT_EQ(Primary(object, kPrimaryLocal, 0, &primary), DD_OK);
  PALETTEENTRY entries[256] = {};
  entries[7] = PALETTEENTRY{0xFF, 0x80, 0x00, 0};
  IDirectDrawPalette* palette = nullptr;
  EXPECT_EQ(object->CreatePalette(DDPCAPS_ALLOW256, entries, &palette, nullptr), DDERR_UNSUPPORTED);
  ASSERT_EQ(object->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  EXPECT_EQ(palette->Release(), 1u);
  ASSERT_EQ(Fill(primary, 7), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0xFF8000u);

  PALETTEENTRY blue = {0x00, 0x00, 0xFF, 0};
  ASSERT_EQ(palette->SetEntries(0, 7, 1, &blue), DD_OK);
  EXPECT_EQ(sim::ScreenRgb(0, 0), 0x0000FFu) << "the screen shows the new entry";
  PALETTEENTRY read[2] = {};
  ASSERT_EQ(palette->GetEntries(0, 6, 2, read), DD_OK);
  EXPECT_EQ(read[1].peBlue, 0xFF);
  EXPECT_EQ(palette->GetEntries(0, 255, 2, read), DDERR_INVALIDPARAMS);
  EXPECT_EQ(palette->SetEntries(0, 256, 1, &blue), DDERR_INVALIDPARAMS);

  sim::SetDesktopMode(640, 480, 16);
  IDirectDraw4* wide = OpenWindowed();
  IDirectDrawSurface4* sixteen = Offscreen(wide, 4, 4);
  EXPECT_EQ(sixteen->SetPalette(palette), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(sim::LivePalettes(), 1);
  EXPECT_EQ(primary->Release(), 0u);
  Forget(primary);
  EXPECT_EQ(sim::LivePalettes(), 0) << "the last holder took the palette with it";
}

// A 16-entry palette reads only 16 entries from its table and fits no 8-bit surface.
TEST_F(SimDirectDrawPixels, SixteenEntryPalettesReadSixteenEntriesAndFitNoEightBitSurface) {
  sim::SetDesktopMode(640, 480, 8);
  IDirectDraw4* object = OpenWindowed();
  std::vector<PALETTEENTRY> table(16, PALETTEENTRY{0x10, 0x20, 0x30, 0});  // exactly 16: ASan sees any over-read
  IDirectDrawPalette* palette = nullptr;
  EXPECT_EQ(object->CreatePalette(DDPCAPS_8BIT | DDPCAPS_4BIT, table.data(), &palette, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(object->CreatePalette(DDPCAPS_4BIT, table.data(), &palette, nullptr), DD_OK);
  PALETTEENTRY read[16] = {};
  ASSERT_EQ(palette->GetEntries(0, 0, 16, read), DD_OK);
  EXPECT_EQ(read[15].peBlue, 0x30);
  EXPECT_EQ(palette->GetEntries(0, 15, 2, read), DDERR_INVALIDPARAMS);
  DWORD caps = 0;
  ASSERT_EQ(palette->GetCaps(&caps), DD_OK);
  EXPECT_EQ(caps, DWORD(DDPCAPS_4BIT));

  IDirectDrawSurface4* eight = Offscreen(object, 4, 4);
  EXPECT_EQ(eight->SetPalette(palette), DDERR_INVALIDPIXELFORMAT);
  IDirectDrawPalette* attached = nullptr;
  EXPECT_EQ(eight->GetPalette(&attached), DDERR_NOPALETTEATTACHED);
  EXPECT_EQ(palette->Release(), 0u);
  EXPECT_EQ(sim::LivePalettes(), 0);
}

}  // namespace
