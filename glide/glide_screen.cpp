// Ondrel's life cycle on KORVATHD: binding at grGlideInit, the screen open with
// its settings, device and texture formats, the close, the shutdown and the splash.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "glide/glide_state.h"

GlideScreen g_glide;

namespace {

const char kDashes[] = "------------------------------------------------------------\n";
const char kIndent[] = "              ";  // 14 spaces before every line of a block

HWND g_screenWindow;  // the window the screen was opened on: repainted at the close

// ---- Log blocks ---------------------------------------------------------------------------------
void BlockOpen(const char* title) {
  KRDebugDump("%s", kDashes);
  KRDebugDump("%s", title);
  KRDebugDump("%s", kDashes);
}
void BlockClose() { KRDebugDump("%s\n", kDashes); }
// A block without lines closes after its title.
void BlockTitleOnly(const char* title) {
  KRDebugDump("%s", kDashes);
  KRDebugDump("%s", title);
  KRDebugDump("%s\n", kDashes);
}

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void BlockLine(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  KRDebugDump("%s%s", kIndent, line);
}

const char* ColorFormatName(GrColorFormat_t format) {
  switch (format) {
    case GR_COLORFORMAT_ARGB: return "GR_COLORFORMAT_ARGB";
    case GR_COLORFORMAT_ABGR: return "GR_COLORFORMAT_ABGR";
    case GR_COLORFORMAT_RGBA: return "GR_COLORFORMAT_RGBA";
    case GR_COLORFORMAT_BGRA: return "GR_COLORFORMAT_BGRA";
  }
  return "Unknown";
}

const char* OriginName(GrOriginLocation_t origin) {
  switch (origin) {
    case GR_ORIGIN_UPPER_LEFT: return "GR_ORIGIN_UPPER_LEFT";
    case GR_ORIGIN_LOWER_LEFT: return "GR_ORIGIN_LOWER_LEFT";
  }
  return "Unknown";
}

void StartKorvath(HWND window) {
  KRSTARTUPINFO info;
  std::memset(&info, 0, sizeof info);
  info.hWnd = window;
  info.dwFlags = KRSTARTUP_DEBUGLOG;
  KRStartup(&info);
}

void ShutdownBox(const char* text) {
  MessageBoxA(nullptr, text, nullptr, MB_OK);
  ExitProcess(static_cast<UINT>(-1));
}

// ---- Resolutions -------------------------------------------------------------------------------------
struct GlideResolution {
  int code, width, height;
};
const GlideResolution kResolutions[5] = {
    {GR_RESOLUTION_512x384, 512, 384}, {GR_RESOLUTION_640x400, 640, 400}, {GR_RESOLUTION_640x480, 640, 480},
    {GR_RESOLUTION_800x600, 800, 600}, {GR_RESOLUTION_1024x768, 1024, 768}};

void FillResolutionTable() {
  std::memset(g_glide.resolutionTable, 0, sizeof g_glide.resolutionTable);
  for (int i = 0; i < 5; ++i) {
    g_glide.resolutionTable[kResolutions[i].code][0] = g_glide.settings.modes[i][0];
    g_glide.resolutionTable[kResolutions[i].code][1] = g_glide.settings.modes[i][1];
  }
}

void TakeGlideSize(GrScreenResolution_t resolution) {
  for (const GlideResolution& r : kResolutions) {
    if (r.code != resolution) continue;
    g_glide.glideWidth = r.width;
    g_glide.glideHeight = r.height;
    g_glide.xScale = static_cast<float>(g_glide.physicalWidth) / static_cast<float>(r.width);
    g_glide.yScale = static_cast<float>(g_glide.physicalHeight) / static_cast<float>(r.height);
  }
}

// ---- Texture formats ---------------------------------------------------------------------------------
struct Bits {
  DWORD red, green, blue, alpha;
};
struct FormatChoice {
  GrTextureFormat_t format;
  const char* name;
  int candidates;  // -1: not supported; -2: the entry of GR_TEXFMT_ALPHA_8
  Bits bits[4];
};
const FormatChoice kFormatChoices[] = {
    {GR_TEXFMT_RGB_332, "GR_TEXFMT_RGB_332", 3, {{3, 3, 2, 0}, {5, 6, 5, 0}, {5, 5, 5, 0}}},
    {GR_TEXFMT_YIQ_422, "GR_TEXFMT_YIQ_422", -1, {}},
    {GR_TEXFMT_ALPHA_8, "GR_TEXFMT_ALPHA_8", 4, {{0, 0, 0, 8}, {4, 4, 4, 4}, {8, 8, 8, 8}, {5, 5, 5, 1}}},
    {GR_TEXFMT_INTENSITY_8, "GR_TEXFMT_INTENSITY_8", -2, {}},
    {GR_TEXFMT_ALPHA_INTENSITY_44, "GR_TEXFMT_ALPHA_INTENSITY_44", -1, {}},
    {GR_TEXFMT_P_8, "GR_TEXFMT_P_8", 2, {{3, 3, 2, 0}, {5, 6, 5, 0}}},
    {GR_TEXFMT_ARGB_8332, "GR_TEXFMT_ARGB_8332", 4, {{3, 3, 2, 8}, {4, 4, 4, 4}, {8, 8, 8, 8}, {5, 5, 5, 1}}},
    {GR_TEXFMT_AYIQ_8422, "GR_TEXFMT_AYIQ_8422", -1, {}},
    {GR_TEXFMT_RGB_565, "GR_TEXFMT_RGB_565", 3, {{5, 6, 5, 0}, {5, 5, 5, 0}, {5, 5, 5, 1}}},
    {GR_TEXFMT_ARGB_1555, "GR_TEXFMT_ARGB_1555", 3, {{5, 5, 5, 1}, {4, 4, 4, 4}, {8, 8, 8, 8}}},
    {GR_TEXFMT_ARGB_4444, "GR_TEXFMT_ARGB_4444", 3, {{4, 4, 4, 4}, {8, 8, 8, 8}, {5, 5, 5, 1}}},
    {GR_TEXFMT_ALPHA_INTENSITY_88, "GR_TEXFMT_ALPHA_INTENSITY_88", -1, {}},
    {GR_TEXFMT_AP_88, "GR_TEXFMT_AP_88", 3, {{4, 4, 4, 4}, {8, 8, 8, 8}, {5, 5, 5, 1}}},
};

int FindDeviceFormat(const Bits& bits, int count) {
  for (int i = 0; i < count; ++i) {
    const KR3DTEXTUREFORMATINFO& f = g_glide.deviceTextureFormats[i];
    if (f.dwRedBits == bits.red && f.dwGreenBits == bits.green && f.dwBlueBits == bits.blue &&
        f.dwAlphaBits == bits.alpha && f.bPalettized == 0) {
      return i;
    }
  }
  return -1;
}

// False when a supported Glide format finds none of its candidates.
bool ChooseTextureFormats(int count) {
  std::memset(g_glide.textureFormatMap, 0, sizeof g_glide.textureFormatMap);
  BlockOpen("Ondrel info : Find optimal Direct3D texture format for Glide\n");
  bool found = true;
  for (const FormatChoice& choice : kFormatChoices) {
    int& entry = g_glide.textureFormatMap[choice.format];
    if (choice.candidates == -1) {
      entry = -1;
      BlockLine("%s --- Not supported yet\n", choice.name);
      continue;
    }
    if (choice.candidates == -2) {
      entry = g_glide.textureFormatMap[GR_TEXFMT_ALPHA_8];
      BlockLine("%s --- Same GR_TEXFMT_ALPHA_8\n", choice.name);
      continue;
    }
    entry = -1;
    for (int c = 0; c < choice.candidates && entry < 0; ++c) entry = FindDeviceFormat(choice.bits[c], count);
    if (entry < 0) {
      BlockLine("%s --- Couldn't found\n", choice.name);
      found = false;
      break;
    }
    BlockLine("%s --- %d\n", choice.name, entry);
  }
  BlockClose();
  return found;
}

// ---- Open steps -------------------------------------------------------------------------------------
void ReleaseInterface(IUnknown** object) {
  if (*object != nullptr) (*object)->Release();
  *object = nullptr;
}

void ReleaseScreenInterfaces() {
  if (g_glide.d3dDevice != nullptr) {
    KR3DEndRender();
    ReleaseInterface(reinterpret_cast<IUnknown**>(&g_glide.d3dDevice));
  }
  ReleaseInterface(reinterpret_cast<IUnknown**>(&g_glide.backSurface));
  ReleaseInterface(reinterpret_cast<IUnknown**>(&g_glide.frontSurface));
  ReleaseInterface(reinterpret_cast<IUnknown**>(&g_glide.directDraw));
}

void CleanupComponents() {
  KR3DCleanupDevice();
  KRVideoRestoreVideoMode();
  KR3DCleanup();
  KR2DCleanup();
  KRVideoCleanup();
}

FxBool FailOpen() {
  ReleaseScreenInterfaces();
  CleanupComponents();
  MessageBoxA(nullptr, "Ondrel warning : grSstWinOpen\rFailed to startup\rOndrel shutdown.", nullptr, MB_OK);
  return FXFALSE;
}

FxBool FailVideoMode() {
  KRDebugDump("Ondrel warning : Failed to change video mode\n");
  MessageBoxA(nullptr, "Ondrel warning : grSstWinOpen\rFailed to change video mode", nullptr, MB_OK);
  return FailOpen();
}

bool StartVideo() {
  const char* device = g_glide.settings.device;
  bool started;
  if (lstrcmpiA(device, "Unknown") == 0) {
    started = KRVideoStartup(0) != 0;
  } else {
    started = KRVideoStartup(const_cast<char*>(device)) != 0 || KRVideoStartup(0) != 0;
  }
  return started && KR2DStartup() != 0 && KR3DStartup() != 0;
}

// The last hardware device, or -1 (software emulation is then forced).
int ListDevices() {
  KR3DEnableHardwareMode(g_glide.settings.softwareEmulation == 0);
  const int count = KR3DGetDeviceCount();
  char title[80];
  std::snprintf(title, sizeof title, "Ondrel info : Number of Direct3D Devices = %2d\n", count);
  BlockOpen(title);
  int hardware = -1;
  for (int i = 0; i < count; ++i) {
    KR3DDEVICEINFO info;
    KR3DGetDeviceInfo(&info, i);
    BlockLine("Direct3D Device %2d --- %s\n", i, info.szName);
    if (info.bHardware) hardware = i;
  }
  BlockClose();
  if (hardware < 0) {
    g_glide.settings.softwareEmulation = 1;
    BlockTitleOnly("HAL Device not detected, Use software emulation\n");
  } else {
    std::snprintf(title, sizeof title, "HAL Device detected %2d\n", hardware);
    BlockTitleOnly(title);
  }
  return hardware;
}

void ClearAndShowTwice() {
  for (int i = 0; i < 2; ++i) {
    KRVideoClear(0, KR2D_BUFFER_BACK);
    KRVideoShow();
  }
}

int ListTextureFormats() {
  const int count = KR3DGetTextureFormatCount();
  char title[80];
  std::snprintf(title, sizeof title, "Ondrel info : Number of Texture formats = %2d\n", count);
  BlockOpen(title);
  for (int i = 0; i < count && i < KR3D_TEXTUREFORMAT_MAX; ++i) {
    KR3DTEXTUREFORMATINFO& f = g_glide.deviceTextureFormats[i];
    KR3DGetTextureFormatInfo(&f, i);
    if (f.bPalettized) {
      BlockLine("Texture format %2d --- %s\n", i, f.szName);
    } else {
      BlockLine("Texture format %2d --- %s R%2d(%3d) G%2d(%3d) B%2d(%3d) A%2d(%3d)\n", i, f.szName,
                static_cast<int>(f.dwRedShift), static_cast<int>(f.dwRedMax), static_cast<int>(f.dwGreenShift),
                static_cast<int>(f.dwGreenMax), static_cast<int>(f.dwBlueShift), static_cast<int>(f.dwBlueMax),
                static_cast<int>(f.dwAlphaShift), static_cast<int>(f.dwAlphaMax));
    }
  }
  BlockClose();
  return count < KR3D_TEXTUREFORMAT_MAX ? count : KR3D_TEXTUREFORMAT_MAX;
}

// Whether the first pixel keeps what is written to it; its old value goes back.
void ProbeSurface(IDirectDrawSurface4* surface, const char* name) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_NOSYSLOCK, nullptr))) return;
  volatile WORD* pixel = static_cast<volatile WORD*>(desc.lpSurface);
  const WORD old = *pixel;
  *pixel = 0;
  const bool zeroKept = *pixel == 0;
  *pixel = 0x00FF;
  const bool valueKept = *pixel == 0x00FF;
  *pixel = old;
  surface->Unlock(nullptr);
  BlockLine("%s buffer read / write %s\n", name, zeroKept && valueKept ? "passed" : "failed");
}

void TakeScreenInterfaces() {
  KRVideoGetDirectDrawInterface(&g_glide.directDraw);
  KRVideoGetDirectDrawSurfaceInterface(&g_glide.frontSurface, &g_glide.backSurface);
  KR3DGetDirect3DDeviceInterface(&g_glide.d3dDevice);
  BlockOpen("Ondrel info : System info\n");
  DDSURFACEDESC2* descs[2] = {&g_glide.frontDesc, &g_glide.backDesc};
  IDirectDrawSurface4* surfaces[2] = {g_glide.frontSurface, g_glide.backSurface};
  for (int i = 0; i < 2; ++i) {
    std::memset(descs[i], 0, sizeof *descs[i]);
    descs[i]->dwSize = sizeof *descs[i];
    if (surfaces[i] != nullptr) surfaces[i]->GetSurfaceDesc(descs[i]);
  }
  BlockLine("Front buffer pitch = %d\n", static_cast<int>(g_glide.frontDesc.lPitch));
  BlockLine("Back buffer pitch = %d\n", static_cast<int>(g_glide.backDesc.lPitch));
  if (g_glide.frontSurface != nullptr) ProbeSurface(g_glide.frontSurface, "Front");
  if (g_glide.backSurface != nullptr) ProbeSurface(g_glide.backSurface, "Back");

  D3DDEVICEDESC hardware, software;
  std::memset(&hardware, 0, sizeof hardware);
  std::memset(&software, 0, sizeof software);
  hardware.dwSize = software.dwSize = sizeof(D3DDEVICEDESC);
  if (g_glide.d3dDevice != nullptr) g_glide.d3dDevice->GetCaps(&hardware, &software);
  const D3DDEVICEDESC& used = g_glide.settings.softwareEmulation ? software : hardware;
  g_glide.canTextureFromSystemMemory = (used.dwDevCaps & D3DDEVCAPS_TEXTURESYSTEMMEMORY) ? 1 : 0;
  BlockLine("%s", g_glide.canTextureFromSystemMemory ? "Can use texture on SYSTEM MEMORY\n"
                                                     : "Can't use texture on SYSTEM MEMORY\n");
  g_glide.deviceWBuffers = (used.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_WBUFFER) ? 1 : 0;
  BlockClose();
}

HWND WindowOf(FxU32 hWnd) {
  // A 32-bit handle widens as Windows widens it: sign-extended.
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(hWnd)));
}

void LogOpenBlock(const char* profile, GrColorFormat_t colorFormat, GrOriginLocation_t origin) {
  BlockOpen("Ondrel info : grSstWinOpen\n");
  BlockLine("Screen resolution = %d x %d\n", g_glide.physicalWidth, g_glide.physicalHeight);
  BlockLine("Color format = %s\n", ColorFormatName(colorFormat));
  BlockLine("Origin location = %s\n", OriginName(origin));
  BlockLine("Number of Col buffers = %2d\n", g_glide.colorBuffers);
  BlockLine("Number of Aux buffers = %2d\n", g_glide.auxBuffers);
  BlockLine("Profile = %s\n", profile);
  BlockLine("Device = %s\n", g_glide.settings.device);
  BlockLine("Texture reduce memory = 1/%d\n", g_glide.reduceMemoryDivisor);
  BlockClose();
}

}  // namespace

extern "C" {

void FX_CALL grGlideInit(void) {
  g_glide.appWindow = nullptr;
  g_glide.windowOpen = 0;
  g_glide.physicalWidth = g_glide.physicalHeight = 0;
  g_glide.d3dDevice = nullptr;
  g_glide.colorBuffers = g_glide.auxBuffers = 0;
  ResetFrameRate();
  g_glide.appWindow = GetActiveWindow();
  GetWindowRect(g_glide.appWindow, &g_glide.appWindowRect);

  KRVERSIONINFO version;
  std::memset(&version, 0, sizeof version);
  KRGetVersion(&version);
  if (version.dwMajorVersion == 0 && version.dwMinorVersion < 70) {
    ShutdownBox("To must upgrade the KORVATH.DLL\rOndrel shutdown.");
  }
  if (KRValidateKRSystems() == 0) ShutdownBox("Failed to initialize the KORVATH systems\rOndrel shutdown.");
  StartKorvath(g_glide.appWindow);
  KRDebugDump("Ondrel info : Startup Korvath succeeded\n");
}

void FX_CALL grGlideShutdown(void) {
  if (g_glide.windowOpen) grSstWinClose();
  KRCleanup();
  const RECT& r = g_glide.appWindowRect;
  MoveWindow(g_glide.appWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

FxBool FX_CALL grSstWinOpen(FxU32 hWnd, GrScreenResolution_t resolution, GrScreenRefresh_t,
                            GrColorFormat_t colorFormat, GrOriginLocation_t origin, int nColBuffers,
                            int nAuxBuffers) {
  if (g_glide.windowOpen) grSstWinClose();

  char profile[MAX_PATH + 16];
  GlideSettingsPath(profile, sizeof profile);
  ReadGlideSettings(profile, &g_glide.settings);
  g_glide.reduceMemoryDivisor = ReduceMemoryDivisor(g_glide.settings.reduceMemory);
  FillResolutionTable();

  g_glide.directDraw = nullptr;
  g_glide.frontSurface = g_glide.backSurface = nullptr;
  g_glide.d3dDevice = nullptr;
  g_glide.physicalWidth = g_glide.physicalHeight = 0;
  g_glide.windowOpen = 0;
  g_glide.colorBuffers = g_glide.auxBuffers = 0;
  ReleaseFrameBufferCopies();
  g_glide.lfbLocked[0] = g_glide.lfbLocked[1] = 0;
  SetDefaultGlideState(colorFormat, origin);
  ResetTmuState();

  g_screenWindow = g_glide.appWindow;
  if (hWnd != 0) {
    g_screenWindow = WindowOf(hWnd);
    KRCleanup();
    StartKorvath(g_screenWindow);
  }

  const bool known = resolution >= 0 && resolution < 16;
  if (known) {
    g_glide.physicalWidth = g_glide.resolutionTable[resolution][0];
    g_glide.physicalHeight = g_glide.resolutionTable[resolution][1];
  }
  TakeGlideSize(resolution);
  g_glide.colorBuffers = nColBuffers;
  g_glide.auxBuffers = nAuxBuffers;
  GlideStateRecord& r = g_glideState;
  r.clipMinX = r.clipMinY = 0;
  r.clipMaxX = static_cast<FxU32>(g_glide.physicalWidth);
  r.clipMaxY = static_cast<FxU32>(g_glide.physicalHeight);
  LogOpenBlock(profile, colorFormat, origin);

  if (!StartVideo()) return FailOpen();
  // No mode for this resolution: KORVATHD would take 0 x 0 as the window's own size.
  if (g_glide.physicalWidth <= 0 || g_glide.physicalHeight <= 0) return FailVideoMode();
  if (!KRVideoSetVideoMode(static_cast<unsigned long>(g_glide.physicalWidth),
                           static_cast<unsigned long>(g_glide.physicalHeight),
                           static_cast<unsigned long>(g_glide.settings.videoBitsPerPixel))) {
    return FailVideoMode();
  }
  if (g_glide.settings.noVsync) KRVideoSetShowMode(KRVIDEO_SHOWMODE_BLIT);

  const int hardware = ListDevices();
  ClearAndShowTwice();
  KR3DSTARTUPDEVICEINFO device = {KR2D_BUFFER_BACK, hardware, -1,
                                  static_cast<DWORD>(nAuxBuffers == 0 ? KR3DSTARTUPDEVICE_NOZBUFFER : 0)};
  if (!KR3DStartupDevice(&device)) {
    KRDebugDump("Ondrel warning : Couldn't startup device\n");
    KRVideoRestoreVideoMode();
    MessageBoxA(g_glide.appWindow, "Ondrel warning : grSstWinOpen\rFailed to initialize 3D Device", nullptr, MB_OK);
    char error[KRERROR_TEXT_MAX];
    KRErrorGetLastError(error);
    MessageBoxA(g_glide.appWindow, error, nullptr, MB_OK);
    return FailOpen();
  }

  const int formats = ListTextureFormats();
  if (!ChooseTextureFormats(formats)) return FailOpen();
  TakeScreenInterfaces();

  if (!g_glide.settings.noSplash) {
    if (!g_glide.settings.noSound && !KRSoundStartup()) return FailOpen();
    KR3DSplashTarnwick();
    g_tmu.boundAddress = -1;  // the splash bound textures of its own
    if (!g_glide.settings.noSound) KRSoundCleanup();
  }

  ClearAndShowTwice();
  BeginGlideScene();
  grGammaCorrectionValue(1.0f);
  grClipWindow(0, 0, static_cast<FxU32>(g_glide.glideWidth), static_cast<FxU32>(g_glide.glideHeight));
  grChromakeyMode(GR_CHROMAKEY_DISABLE);
  GrState state;
  grGlideGetState(&state);
  grGlideSetState(&state);

  g_glide.windowOpen = 1;
  BlockTitleOnly("Ondrel info : grSstWinOpen succeeded\n");
  Sleep(1000);
  return FXTRUE;
}

void FX_CALL grSstWinClose(void) {
  BlockTitleOnly("Ondrel info : grSstWinClose\n");
  ReleaseFrameBufferCopies();
  ReleaseAllTextureSlots();
  if (!g_glide.settings.noGammaControl) SetIdentityGammaRamp();
  ReleaseScreenInterfaces();
  CleanupComponents();
  InvalidateRect(g_screenWindow, nullptr, TRUE);
  ShowWindow(g_screenWindow, SW_SHOW);
  ShowWindowAsync(g_screenWindow, SW_SHOW);
  UpdateWindow(g_screenWindow);
  g_glide.windowOpen = 0;
  BlockTitleOnly("Ondrel info : grSstWinClose succeeded\n");
}

// The splash inside a running game: the scene is closed for it and the game's state
// put back after it. Only frame 0 plays, and only with sound.
void FX_CALL grSplash(float, float, float, float, FxU32 frame) {
  if (frame != 0 || !KRSoundStartup()) return;
  KR3DEndRender();
  GrState saved;
  grGlideGetState(&saved);
  KR3DSplashTarnwick();
  BeginGlideScene();
  grGlideSetState(&saved);  // also forgets the bound texture, which the splash replaced
  KRSoundCleanup();
}

}  // extern "C"
