// The surfaces of a video mode: the primary surface (with its clipper in window
// mode), the back buffer, and the palette of 8-bit modes. Both surfaces carry
// DDSCAPS_3DDEVICE, which the Direct3D device needs on its render target.
#include <windows.h>
#include <ddraw.h>

#include <korvathd.h>

#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "core/core_state.h"
#include "video/buffer_table.h"
#include "video/surface_memory.h"
#include "video/video_state.h"
#include "video/video_surfaces.h"

namespace {

const DWORD kPrimaryCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE;
const DWORD kFlipChainCaps = DDSCAPS_FLIP | DDSCAPS_COMPLEX;
const DWORD kBackBufferCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
const DWORD kFullScreenCooperation = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;

const KRSURFACEMEMORYTRY kWindowPrimaryTries[] = {
    {kPrimaryCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM,
     "KRVideo : Create primary surface on VIDEO MEMORY (LOCAL)\n"},
    {kPrimaryCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM,
     "KRVideo : Create primary surface on VIDEO MEMORY (NON LOCAL)\n"},
    {kPrimaryCaps | DDSCAPS_VIDEOMEMORY, "KRVideo : Create primary surface on VIDEO MEMORY\n"},
    {kPrimaryCaps | DDSCAPS_SYSTEMMEMORY, "KRVideo : Create primary surface on SYSTEM MEMORY\n"},
};

const KRSURFACEMEMORYTRY kFullScreenPrimaryTries[] = {
    {kPrimaryCaps | kFlipChainCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM,
     "KRVideo : Create primary surface on VIDEO MEMORY (LOCAL)\n"},
    {kPrimaryCaps | kFlipChainCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM,
     "KRVideo : Create primary surface on VIDEO MEMORY (NON LOCAL)\n"},
    {kPrimaryCaps | kFlipChainCaps | DDSCAPS_VIDEOMEMORY, "KRVideo : Create primary surface on VIDEO MEMORY\n"},
    {kPrimaryCaps | kFlipChainCaps | DDSCAPS_SYSTEMMEMORY, "KRVideo : Create primary surface on SYSTEM MEMORY\n"},
};

const KRSURFACEMEMORYTRY kBackBufferTries[] = {
    {kBackBufferCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM,
     "KRVideo : Create back buffer on VIDEO MEMORY (LOCAL)\n"},
    {kBackBufferCaps | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM,
     "KRVideo : Create back buffer on VIDEO MEMORY (NON LOCAL)\n"},
    {kBackBufferCaps | DDSCAPS_VIDEOMEMORY, "KRVideo : Create back buffer on VIDEO MEMORY\n"},
    {kBackBufferCaps | DDSCAPS_SYSTEMMEMORY, "KRVideo : Create back buffer on SYSTEM MEMORY\n"},
};

const int kTryCount = 4;

// The palette: the system's twenty static colours at both ends, kept by
// Direct3D (read-only); the 236 between are the application's.
const int kPaletteSize = 256;
const int kStaticColourCount = 20;
const int kStaticLowCount = 10;
const int kStaticHighStart = 246;
const BYTE kStaticEntryFlags = 0x40;  // D3DPAL_READONLY
const BYTE kFreeEntryFlags = 0x01;    // PC_RESERVED

int FailSurface(void) { return KRErrorFail(KRERR_VIDEO | KRERR_FAILED); }

void PrepareSurfaceDesc(DDSURFACEDESC2* desc, DWORD flags) {
  memset(desc, 0, sizeof(*desc));
  desc->dwSize = sizeof(*desc);
  desc->dwFlags = flags;
}

int CreateWindowPrimarySurface(IDirectDraw4* directDraw) {
  if (FAILED(directDraw->SetCooperativeLevel(g_krCore.hWnd, DDSCL_NORMAL))) return FailSurface();
  DDSURFACEDESC2 desc;
  PrepareSurfaceDesc(&desc, DDSD_CAPS);
  g_krVideo.lpPrimarySurface =
      KRCreateSurfaceInBestMemory(directDraw, &desc, kWindowPrimaryTries, kTryCount, NULL);
  if (g_krVideo.lpPrimarySurface == NULL) return FailSurface();

  // The clipper keeps blits to the primary surface inside the visible part of the window.
  if (FAILED(directDraw->CreateClipper(0, &g_krVideo.lpClipper, NULL)) || g_krVideo.lpClipper == NULL)
    return FailSurface();
  if (FAILED(g_krVideo.lpClipper->SetHWnd(0, g_krCore.hWnd))) return FailSurface();
  if (FAILED(g_krVideo.lpPrimarySurface->SetClipper(g_krVideo.lpClipper))) return FailSurface();
  return 1;
}

int CreateFullScreenPrimarySurface(IDirectDraw4* directDraw) {
  if (FAILED(directDraw->SetCooperativeLevel(g_krCore.hWnd, kFullScreenCooperation))) return FailSurface();
  if (FAILED(directDraw->SetDisplayMode(g_krVideo.dwWidth, g_krVideo.dwHeight, g_krVideo.dwDepth, 0, 0)))
    return FailSurface();
  DDSURFACEDESC2 desc;
  PrepareSurfaceDesc(&desc, DDSD_CAPS | DDSD_BACKBUFFERCOUNT);
  desc.dwBackBufferCount = 1;
  g_krVideo.lpPrimarySurface =
      KRCreateSurfaceInBestMemory(directDraw, &desc, kFullScreenPrimaryTries, kTryCount, NULL);
  if (g_krVideo.lpPrimarySurface == NULL) return FailSurface();
  return 1;
}

IDirectDrawSurface4* AttachedBackBuffer(void) {
  KRDebugDump("KRVideo : Create back buffer from primary surface\n");
  IDirectDrawSurface4* back = NULL;
  HRESULT result = DDERR_NOTFOUND;
  if (g_krVideo.lpPrimarySurface != NULL) {
    DDSCAPS2 caps;
    memset(&caps, 0, sizeof(caps));
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = g_krVideo.lpPrimarySurface->GetAttachedSurface(&caps, &back);
  }
  if (FAILED(result) || back == NULL) {
    KRDebugDumpDXResult(result);
    return NULL;
  }
  return back;
}

IDirectDrawSurface4* OffscreenBackBuffer(IDirectDraw4* directDraw) {
  DDSURFACEDESC2 desc;
  PrepareSurfaceDesc(&desc, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT);
  desc.dwWidth = g_krVideo.dwWidth;
  desc.dwHeight = g_krVideo.dwHeight;
  return KRCreateSurfaceInBestMemory(directDraw, &desc, kBackBufferTries, kTryCount, NULL);
}

// The twenty static colours of the system palette.
void FillPaletteEntries(PALETTEENTRY* entries) {
  PALETTEENTRY system[kStaticColourCount];
  memset(system, 0, sizeof(system));
  GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, kStaticColourCount, system);

  memset(entries, 0, kPaletteSize * sizeof(PALETTEENTRY));
  for (int i = 0; i < kPaletteSize; ++i) entries[i].peFlags = kFreeEntryFlags;
  for (int i = 0; i < kStaticLowCount; ++i) {
    entries[i] = system[i];
    entries[i].peFlags = kStaticEntryFlags;
  }
  for (int i = kStaticLowCount; i < kStaticColourCount; ++i) {
    PALETTEENTRY& entry = entries[kStaticHighStart + i - kStaticLowCount];
    entry = system[i];
    entry.peFlags = kStaticEntryFlags;
  }
}

}  // namespace

int KRVideoCreatePrimarySurface(void) {
  IDirectDraw4* directDraw = g_krVideo.lpDirectDraw;
  if (directDraw == NULL) return FailSurface();
  int made = g_krVideo.bFullScreen ? CreateFullScreenPrimarySurface(directDraw)
                                   : CreateWindowPrimarySurface(directDraw);
  if (!made) return 0;
  KR2DSetVideoBuffer(KR2D_BUFFER_PRIMARY, g_krVideo.lpPrimarySurface);
  return 1;
}

int KRVideoCreateBackBuffer(void) {
  IDirectDraw4* directDraw = g_krVideo.lpDirectDraw;
  if (directDraw == NULL) return FailSurface();
  g_krVideo.lpBackBuffer = g_krVideo.bFullScreen ? AttachedBackBuffer() : OffscreenBackBuffer(directDraw);
  if (g_krVideo.lpBackBuffer == NULL) return FailSurface();

  // Black is transparent when the back buffer is the source of a sprite blit.
  DDCOLORKEY black = {0, 0};
  g_krVideo.lpBackBuffer->SetColorKey(DDCKEY_SRCBLT, &black);
  KR2DSetVideoBuffer(KR2D_BUFFER_BACK, g_krVideo.lpBackBuffer);
  return 1;
}

void KRVideoReleasePrimarySurface(void) {
  if (g_krVideo.lpClipper != NULL) {
    g_krVideo.lpClipper->Release();
    g_krVideo.lpClipper = NULL;
  }
  KRDebugDump("KRVideo : Release primary surface\n");
  if (g_krVideo.lpPrimarySurface != NULL) {
    // Emptied first, so that nothing draws on a released surface.
    KR2DSetVideoBuffer(KR2D_BUFFER_PRIMARY, NULL);
    g_krVideo.lpPrimarySurface->Release();
    g_krVideo.lpPrimarySurface = NULL;
  }
}

void KRVideoReleaseBackBuffer(void) {
  KRDebugDump("KRVideo : Release back buffer\n");
  if (g_krVideo.lpBackBuffer != NULL) {
    KR2DSetVideoBuffer(KR2D_BUFFER_BACK, NULL);
    g_krVideo.lpBackBuffer->Release();
    g_krVideo.lpBackBuffer = NULL;
  }
}

int KRVideoCreatePrimaryPalette(void) {
  KRDebugDump("KRVideo : Create primary palette\n");
  PALETTEENTRY* entries = g_krVideo.lpPaletteEntries;
  if (g_krVideo.lpDirectDraw == NULL || entries == NULL) return 0;
  FillPaletteEntries(entries);
  IDirectDrawPalette* palette = NULL;
  HRESULT result = g_krVideo.lpDirectDraw->CreatePalette(DDPCAPS_8BIT, entries, &palette, NULL);
  if (FAILED(result) || palette == NULL) return 0;
  g_krVideo.lpPrimaryPalette = palette;
  if (g_krVideo.lpPrimarySurface != NULL) g_krVideo.lpPrimarySurface->SetPalette(palette);
  if (g_krVideo.lpBackBuffer != NULL) g_krVideo.lpBackBuffer->SetPalette(palette);
  return 1;
}

void KRVideoReleasePrimaryPalette(void) {
  if (g_krVideo.lpPrimaryPalette == NULL) return;
  KRDebugDump("KRVideo : Release primary palette\n");
  g_krVideo.lpPrimaryPalette->Release();
  g_krVideo.lpPrimaryPalette = NULL;
}
