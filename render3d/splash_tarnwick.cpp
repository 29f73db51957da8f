// The Tarnwick splash: four models spin into place in 1.5 s with a sound at
// the start and one at 1.5 s, then the light fades from 4 s to 4.5 s.
#include <windows.h>
#include <d3d.h>

#include <korvathd.h>

#include <cmath>
#include <cstring>

#include "render3d/splash_resources.h"
#include "render3d/splash_sequence.h"

namespace {

const DWORD kDuration = 4500;
const DWORD kArriveAt = 1500;
const DWORD kFadeAt = 4000;
const float kPi = 3.14159265f;
const int kModelIds[KR3D_SPLASH_OBJECTS] = {106, 107, 108, 109};
const char* const kModelTags[KR3D_SPLASH_OBJECTS] = {"KR3D:SP2KRM1", "KR3D:SP2KRM2", "KR3D:SP2KRM3",
                                                      "KR3D:SP2KRM4"};
const float kLightRed = 1.5f;
const float kLightGreen = 1.5f;
const float kLightBlue = 0.4f;

// The handle variables stay here while the objects point at them.
struct TarnwickSplash {
  int nSound[2];
  int bSoundPending[2];
  int nModel[KR3D_SPLASH_OBJECTS];
  int nTexture;
  int nMaterial[2];
  int nLight;
  D3DMATERIAL material[2];
  D3DLIGHT2 light;
  KR3DSPLASHOBJECT objects[KR3D_SPLASH_OBJECTS];
};
TarnwickSplash g_splash;

void DescribeMaterial(D3DMATERIAL* m) {
  memset(m, 0, sizeof(*m));
  m->dwSize = sizeof(*m);
  m->diffuse.r = 1.0f;
  m->diffuse.g = 1.0f;
  m->diffuse.b = 1.0f;
  m->dwRampSize = 16;
}

int Load(void) {
  if (!KRSplashBeginLoading()) return 0;
  const HMODULE module = g_kr3DSplash.hModule;
  g_splash.nSound[0] = g_splash.nSound[1] = 0;
  if (g_kr3DSplash.bSoundOn) {
    g_splash.nSound[0] = KRSplashLoadSound(module, 104, "KR3D:SP2WAV1");
    g_splash.bSoundPending[0] = 1;
    g_splash.nSound[1] = KRSplashLoadSound(module, 105, "KR3D:SP2WAV2");
    g_splash.bSoundPending[1] = 1;
  }
  for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) {
    g_splash.nModel[i] = KRSplashLoadModel(module, kModelIds[i], kModelTags[i]);
  }
  g_splash.nTexture = KR3DCreateTexture(MAKEINTRESOURCEA(110), -1);
  for (int i = 0; i < 2; ++i) {
    DescribeMaterial(&g_splash.material[i]);
    g_splash.nMaterial[i] = KR3DCreateMaterial(&g_splash.material[i]);
  }
  KRSplashDescribeLight(&g_splash.light, kLightRed, kLightGreen, kLightBlue, -30.0f, 130.0f);
  g_splash.nLight = KRSplashCreateLight(&g_splash.light);
  const D3DVECTOR starts[KR3D_SPLASH_OBJECTS] = {{-90, -10, 60}, {0, -10, 80}, {90, -10, 60}, {0, -40, 100}};
  const D3DVECTOR ends[KR3D_SPLASH_OBJECTS] = {{-20, 10, 0}, {0, 10, 0}, {20, 10, 0}, {0, -20, 0}};
  for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) {
    KR3DSPLASHOBJECTDESC desc;
    desc.vStart = starts[i];
    desc.vEnd = ends[i];
    desc.dwFlags = KR3DOBJECT_ZBUFFER;
    desc.dwSrcBlend = D3DBLEND_DESTCOLOR;
    desc.dwDestBlend = D3DBLEND_SRCCOLOR;
    desc.lpModel = &g_splash.nModel[i];
    // Only the banner is textured; the shapes take the first material.
    desc.lpTexture = i == 3 ? &g_splash.nTexture : NULL;
    desc.lpMaterial = &g_splash.nMaterial[i == 3 ? 1 : 0];
    KRSplashFillObject(&g_splash.objects[i], desc);
  }
  KRSplashFinishLoading();
  return 1;
}

void PlayOnce(int which) {
  if (g_kr3DSplash.bSoundOn && g_splash.bSoundPending[which]) {
    KRSoundPlayBuffer(g_splash.nSound[which]);
    g_splash.bSoundPending[which] = 0;
  }
}

void Step(DWORD t) {
  if (t < kArriveAt) {
    PlayOnce(0);
    for (KR3DSPLASHOBJECT& object : g_splash.objects) {
      KR3DMATRIX& local = object.obj.frame.matLocal;
      local.SetRotateX(-2 * kPi * float(t) / float(kArriveAt));
      KRSplashSetTranslation(&local, KRSplashFlight(object, t, float(kArriveAt)));
    }
  } else if (t < kFadeAt) {
    PlayOnce(1);
    for (KR3DSPLASHOBJECT& object : g_splash.objects) {
      object.obj.frame.matLocal.SetIdentity();
      KRSplashSetTranslation(&object.obj.frame.matLocal, object.vEnd);
    }
  } else {
    const float c = std::cos(float(t - kFadeAt) / 500.0f * kPi / 2);
    g_splash.light.dcvColor.r = kLightRed * c;
    g_splash.light.dcvColor.g = kLightGreen * c;
    g_splash.light.dcvColor.b = kLightBlue * c;
    KR3DSetLight(g_splash.nLight, &g_splash.light);
  }
}

void Release(void) {
  if (g_kr3DSplash.bSoundOn) {
    KRSoundReleaseBuffer(g_splash.nSound[0]);
    KRSoundReleaseBuffer(g_splash.nSound[1]);
  }
  for (int model : g_splash.nModel) KR3DReleaseModel(model);
  KR3DReleaseTexture(g_splash.nTexture);
  KR3DReleaseMaterial(g_splash.nMaterial[0]);
  KR3DReleaseMaterial(g_splash.nMaterial[1]);
  KRSplashReleaseLightAndViewport(g_splash.nLight);
}

}  // namespace

int KR3DSplashTarnwick(void) {
  const KR3DSPLASHSEQUENCE sequence = {"KR3D : Splash Tarnwick\n", Load, kDuration, Step, Release, g_splash.objects};
  return KRSplashShow(sequence);
}
