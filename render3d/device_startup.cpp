// The Direct3D device on a render target: chosen device and depth format, the
// display-size depth buffer, the device and its default viewport; and clean-up.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include <cstring>

#include "core/dx_result_log.h"
#include "core/last_error.h"
#include "render3d/forgotten_objects.h"
#include "render3d/render3d_state.h"
#include "video/buffer_table.h"
#include "video/surface_memory.h"
#include "video/video_state.h"

namespace {

const DWORD kHardwareRenderState = KR3D_RENDERSTATE_FILTER | KR3D_RENDERSTATE_DITHER | KR3D_RENDERSTATE_PERSPECTIVE;
const DWORD kSoftwareRenderState = KR3D_RENDERSTATE_DITHER;

const KRSURFACEMEMORYTRY kHardwareDepthMemory[] = {
    {DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM,
     "KR3D : Create Z-buffer surface on VIDEO MEMORY (LOCAL)\n"},
    {DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM,
     "KR3D : Create Z-buffer surface on VIDEO MEMORY (NON LOCAL)\n"},
};
// A software device asks once, and the line says so whatever the answer.
const KRSURFACEMEMORYTRY kSoftwareDepthMemory[] = {
    {DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, NULL},
};
const char kSoftwareDepthLine[] = "KR3D : Create Z-buffer surface on SYSTEM MEMORY\n";

IDirectDrawSurface4* CreateDepthBuffer(const DDPIXELFORMAT& format, bool hardware) {
  DDSURFACEDESC2 desc;
  memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  desc.dwWidth = g_krVideo.dwWidth;
  desc.dwHeight = g_krVideo.dwHeight;
  desc.ddpfPixelFormat = format;
  if (hardware) {
    return KRCreateSurfaceInBestMemory(g_krVideo.lpDirectDraw, &desc, kHardwareDepthMemory,
                                       int(sizeof(kHardwareDepthMemory) / sizeof(kHardwareDepthMemory[0])), NULL);
  }
  IDirectDrawSurface4* surface =
      KRCreateSurfaceInBestMemory(g_krVideo.lpDirectDraw, &desc, kSoftwareDepthMemory, 1, NULL);
  KRDebugDump("%s", kSoftwareDepthLine);
  return surface;
}

// Hangs the depth buffer on the primary surface and the back buffer. Where the
// platform lets a depth buffer hang on one surface only (the second attachment
// answers DDERR_SURFACEALREADYATTACHED), it hangs on the surface the device
// draws into: the primary for target 1, else the back buffer.
bool AttachDepthBuffer(IDirectDrawSurface4* depth, int target) {
  IDirectDrawSurface4* primary = g_krVideo.lpPrimarySurface;
  IDirectDrawSurface4* back = g_krVideo.lpBackBuffer;
  if (primary == NULL || back == NULL) return false;
  if (FAILED(primary->AddAttachedSurface(depth))) return false;
  HRESULT result = back->AddAttachedSurface(depth);
  if (result != DDERR_SURFACEALREADYATTACHED) return SUCCEEDED(result);
  if (target == KR2D_BUFFER_PRIMARY) return true;
  if (FAILED(primary->DeleteAttachedSurface(0, depth))) return false;
  return SUCCEEDED(back->AddAttachedSurface(depth));
}

// Steps from the depth buffer on; the device is already flagged as started.
int StartDevice(const KR3DSTARTUPDEVICEINFO& info, int device, int format) {
  bool hardware = g_kr3D.lpDevices[device].bHardware == 1;
  g_kr3D.dwRenderState = hardware ? kHardwareRenderState : kSoftwareRenderState;

  if ((info.dwFlags & KR3DSTARTUPDEVICE_NOZBUFFER) == 0) {
    IDirectDrawSurface4* depth = CreateDepthBuffer(g_kr3D.lpZBufferFormats[format], hardware);
    if (depth == NULL) return KRErrorFail(KRERR_3D_STARTUPDEVICE);
    if (!AttachDepthBuffer(depth, info.nTarget)) {
      depth->Release();
      return KRErrorFail(KRERR_3D_STARTUPDEVICE);
    }
    g_kr3D.lpZBuffer = depth;
  }

  KRDebugDump("KR3D : Create device\n");
  IDirectDrawSurface4* target = KR3DRenderTargetSurface(info.nTarget);
  IDirectDrawSurface4* targetSurface = NULL;
  if (target == NULL ||
      FAILED(target->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&targetSurface))) ||
      targetSurface == NULL) {
    return KRErrorFail(KRERR_3D_STARTUPDEVICE);
  }
  IDirect3DDevice3* d3dDevice = NULL;
  HRESULT result = g_kr3D.lpDirect3D->CreateDevice(g_kr3D.lpDevices[device].guid, targetSurface, &d3dDevice, NULL);
  targetSurface->Release();
  if (FAILED(result) || d3dDevice == NULL) return KRErrorFailDX(result, KRERR_3D_STARTUPDEVICE);
  g_kr3D.lpDevice = d3dDevice;

  KRDebugDump("KR3D : Create default viewport\n");
  IDirect3DViewport3* viewport = NULL;
  if (FAILED(g_kr3D.lpDirect3D->CreateViewport(&viewport, NULL)) || viewport == NULL ||
      FAILED(d3dDevice->AddViewport(viewport))) {
    if (viewport) viewport->Release();
    return KRErrorFail(KRERR_3D_STARTUPDEVICE);
  }
  g_kr3D.lpViewports[0].lpViewport = viewport;
  // The whole display; a refusal has set its own code.
  return KR3DSetViewport(0, -1.0f, -1.0f, 1.0f, 1.0f) ? 1 : 0;
}

}  // namespace

int KR3DStartupDevice(KR3DSTARTUPDEVICEINFO* info) {
  KRDebugDump("KR3D : StartupDevice\n");
  int device = info ? info->nDevice : -1;
  int format = info ? info->nZBufferFormat : -1;

  // Both enumerations run before any test, so even a refused call rebuilds the tables.
  int deviceCount = KR3DGetDeviceCount();
  if (device < 0 || device >= deviceCount) device = KR3DGetAutoDetectedDevice();
  int formatCount = KR3DGetZBufferFormatCount(device);
  if (format < 0 || format >= formatCount) format = KR3DGetAutoDetectedZBufferFormat(device);

  if (g_kr3D.bDeviceStarted) return KRErrorFail(KRERR_3D_DEVICESTARTED);
  if (g_krVideo.dwWidth == 0) return KRErrorFail(KRERR_3D_STARTUPDEVICE);
  // No device accepted (or no 3D component), or no record naming a target: nothing to start.
  if (info == NULL || device < 0 || !g_kr3D.bStarted) return KRErrorFail(KRERR_3D_STARTUPDEVICE);

  g_kr3D.nCurrentDevice = device;
  KRVideoRestore();
  memset(g_kr3D.lpTextures, 0, sizeof(KR3DTEXTURE) * KR3D_TEXTURE_MAX);
  memset(g_kr3D.lpMaterials, 0, sizeof(KR3DMATERIAL) * KR3D_MATERIAL_MAX);
  memset(g_kr3D.lpLights, 0, sizeof(IDirect3DLight*) * KR3D_LIGHT_MAX);
  memset(g_kr3D.lpModels, 0, sizeof(KR3DMODEL) * KR3D_MODEL_MAX);
  g_kr3D.bDeviceStarted = 1;

  return StartDevice(*info, device, format);
}

void KR3DCleanupDevice(void) {
  if (!g_kr3D.bDeviceStarted) {
    KRErrorSetLastError(KRERR_3D_DEVICENOTSTARTED);
    return;
  }

  KR3DVIEWPORT& defaultViewport = g_kr3D.lpViewports[0];
  if (defaultViewport.lpViewport) {
    if (g_kr3D.lpDevice) g_kr3D.lpDevice->DeleteViewport(defaultViewport.lpViewport);
    defaultViewport.lpViewport->Release();
    defaultViewport.lpViewport = NULL;
  } else {
    KRDebugDump("KR3D Warning : Default viewport has been released by another.\n");
  }

  KR3DReleaseForgottenObjects();

  // Not detached: the primary surface and the back buffer hold it until the video component releases them.
  if (g_kr3D.lpZBuffer) g_kr3D.lpZBuffer->Release();
  g_kr3D.lpZBuffer = NULL;

  KRDebugDump("KR3D : Release Direct3DDevice2\n");
  if (g_kr3D.lpDevice) g_kr3D.lpDevice->Release();
  g_kr3D.lpDevice = NULL;

  g_kr3D.nAutoDevice = -1;
  g_kr3D.bDeviceStarted = 0;
}

void KR3DGetDirect3DInterface(IDirect3D3** out) {
  if (out == NULL) return;
  *out = g_kr3D.lpDirect3D;
  if (*out) (*out)->AddRef();
}

void KR3DGetDirect3DDeviceInterface(IDirect3DDevice3** out) {
  if (out == NULL) return;
  *out = g_kr3D.lpDevice;
  if (*out) (*out)->AddRef();
}
