// The DirectX splash: one textured square flown in four times from the
// corners, a flash with a sound at 3 s, a fade from 4 s to 5 s.
#include <windows.h>
#include <d3d.h>

#include <korvathd.h>

#include <cmath>
#include <cstring>

#include "render3d/splash_resources.h"
#include "render3d/splash_sequence.h"

namespace {

const DWORD kDuration = 5000;
const DWORD kFlashAt = 3000;
const DWORD kFadeAt = 4000;
const float kPi = 3.14159265f;

// The handle variables stay here while the objects point at them.
struct DirectXSplash {
  int nSound;
  int bSoundPending;
  int nModel;
  int nTexture;
  int nMaterial;
  int nLight;
  D3DMATERIAL material;
  D3DLIGHT2 light;
  KR3DSPLASHOBJECT objects[KR3D_SPLASH_OBJECTS];
};
DirectXSplash g_splash;

void DescribeMaterial(D3DMATERIAL* m) {
  memset(m, 0, sizeof(*m));
  m->dwSize = sizeof(*m);
  m->dwRampSize = 16;
}

int Load(void) {
  if (!KRSplashBeginLoading()) return 0;
  const HMODULE module = g_kr3DSplash.hModule;
  g_splash.nSound = 0;
  if (g_kr3DSplash.bSoundOn) {
    g_splash.nSound = KRSplashLoadSound(module, 102, "KR3D:SP1WAV1");
    g_splash.bSoundPending = 1;
  }
  g_splash.nModel = KRSplashLoadModel(module, 103, "KR3D:SP1KRM1");
  g_splash.nTexture = KR3DCreateTexture(MAKEINTRESOURCEA(101), -1);
  DescribeMaterial(&g_splash.material);
  g_splash.nMaterial = KR3DCreateMaterial(&g_splash.material);
  KRSplashDescribeLight(&g_splash.light, 1.5f, 1.5f, 0.2f, -25.0f, 100.0f);
  g_splash.nLight = KRSplashCreateLight(&g_splash.light);
  for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) {
    KR3DSPLASHOBJECTDESC desc;
    desc.vStart.x = (i & 1) ? 50.0f : -50.0f;
    desc.vStart.y = (i & 2) ? 50.0f : -50.0f;
    desc.vStart.z = -130.0f;
    desc.vEnd.x = 0.0f;
    desc.vEnd.y = 0.0f;
    desc.vEnd.z = 20.0f;
    desc.dwFlags = KR3DOBJECT_TRANSLUCENT | KR3DOBJECT_ZBUFFER;
    desc.dwSrcBlend = D3DBLEND_ONE;
    desc.dwDestBlend = D3DBLEND_ONE;
    desc.lpModel = &g_splash.nModel;
    desc.lpTexture = &g_splash.nTexture;
    desc.lpMaterial = &g_splash.nMaterial;
    KRSplashFillObject(&g_splash.objects[i], desc);
  }
  KRSplashFinishLoading();
  return 1;
}

// From 3 s on object 0 stays in place and the others wait behind the camera.
void Gather(void) {
  static const D3DVECTOR kBehindTheCamera = {0.0f, 0.0f, -1000.0f};
  for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) {
    KR3DSPLASHOBJECT& object = g_splash.objects[i];
    object.obj.frame.matLocal.SetIdentity();
    KRSplashSetTranslation(&object.obj.frame.matLocal, i == 0 ? object.vEnd : kBehindTheCamera);
  }
}

void Step(DWORD t) {
  float emissive;
  if (t < kFlashAt) {
    emissive = (1.0f - std::cos(float(t) / float(kFlashAt) * kPi / 2)) / 4;
    for (KR3DSPLASHOBJECT& object : g_splash.objects) {
      KRSplashSetTranslation(&object.obj.frame.matLocal, KRSplashFlight(object, t, float(kFlashAt)));
    }
  } else if (t < kFadeAt) {
    emissive = 1.0f;
    if (g_kr3DSplash.bSoundOn && g_splash.bSoundPending) {
      KRSoundPlayBuffer(g_splash.nSound);
      g_splash.bSoundPending = 0;
    }
    Gather();
  } else {
    emissive = std::cos(float(t - kFadeAt) / 1000.0f * kPi / 2);
    Gather();
  }
  g_splash.material.emissive.r = emissive;
  g_splash.material.emissive.g = emissive;
  g_splash.material.emissive.b = emissive;
  KR3DSetMaterial(g_splash.nMaterial, &g_splash.material);
}

void Release(void) {
  if (g_kr3DSplash.bSoundOn) KRSoundReleaseBuffer(g_splash.nSound);
  KR3DReleaseModel(g_splash.nModel);
  KR3DReleaseTexture(g_splash.nTexture);
  KR3DReleaseMaterial(g_splash.nMaterial);
  KRSplashReleaseLightAndViewport(g_splash.nLight);
}

}  // namespace

int KR3DSplashDirectX(void) {
  const KR3DSPLASHSEQUENCE sequence = {"KR3D : Splash DirectX\n", Load, kDuration, Step, Release, g_splash.objects};
  return KRSplashShow(sequence);
}
