// The steps both splash sequences share: loading the module, viewport and
// camera, the frame loop, and the end of the sequence.
#include "render3d/splash_sequence.h"

#include <cstring>

#include "audio/sound_state.h"
#include "render3d/render3d_state.h"

KR3DSPLASHSTATE g_kr3DSplash;

namespace {

// The splash camera: 3.14 / 3 as the field of view, not pi / 3.
const float kNearPlane = 1.0f;
const float kFarPlane = 5000.0f;
const float kFieldOfView = 1.0466667f;

}  // namespace

int KRSplashBeginLoading(void) {
  // Nothing to show on without a device.
  if (!g_kr3D.bStarted || !g_kr3D.bDeviceStarted || g_kr3D.lpDevice == NULL) return 0;
  g_kr3DSplash.hModule = GetModuleHandleA("KORVATHD.DLL");
  if (g_kr3DSplash.hModule == NULL) return 0;
  g_kr3DSplash.bSoundOn = KRSoundIsStarted();
  g_kr3DSplash.nViewport = KR3DCreateViewport(-1.0f, -1.0f, 1.0f, 1.0f);
  return 1;
}

void KRSplashFillObject(KR3DSPLASHOBJECT* object, const KR3DSPLASHOBJECTDESC& desc) {
  object->vStart = desc.vStart;
  object->vEnd = desc.vEnd;
  tagKR3DOBJECT& obj = object->obj;
  obj.dwFlags = desc.dwFlags;
  obj.dwOptions = 0;
  obj.dwSrcBlend = desc.dwSrcBlend;
  obj.dwDestBlend = desc.dwDestBlend;
  obj.dwTextureBlend = D3DTBLEND_MODULATE;
  obj.lpFrame = &obj.frame;
  obj.lpModel = desc.lpModel;
  obj.lpTexture = desc.lpTexture;
  obj.lpMaterial = desc.lpMaterial;
  obj.lpNext = NULL;
  obj.frame.matLocal.SetScale(1.0f, 1.0f, 1.0f);
  obj.frame.lpParent = NULL;
  obj.frame.bDirty = 1;
}

void KRSplashDescribeLight(D3DLIGHT2* light, float red, float green, float blue, float y, float range) {
  memset(light, 0, sizeof(*light));
  light->dwSize = sizeof(*light);
  light->dltType = D3DLIGHT_POINT;
  light->dcvColor.r = red;
  light->dcvColor.g = green;
  light->dcvColor.b = blue;
  light->dvPosition.y = y;
  light->dvPosition.z = -30.0f;
  light->dvDirection.z = 1.0f;
  light->dvRange = range;
  light->dvAttenuation2 = 1.0f;
  light->dvTheta = 1.0471976f;
  light->dvPhi = 1.0471976f;
  light->dwFlags = D3DLIGHT_ACTIVE;
}

int KRSplashCreateLight(D3DLIGHT2* desc) {
  const int light = KR3DCreateLight(desc);
  KR3DAddLight(light, g_kr3DSplash.nViewport);
  return light;
}

void KRSplashReleaseLightAndViewport(int light) {
  KR3DDeleteLight(light, g_kr3DSplash.nViewport);
  KR3DReleaseLight(light);
  KR3DReleaseViewport(g_kr3DSplash.nViewport);
}

void KRSplashFinishLoading(void) {
  g_kr3DSplash.matProjection.SetProjection(kNearPlane, kFarPlane, kFieldOfView);
  const D3DVECTOR eye = {0.0f, 0.0f, -80.0f};
  const D3DVECTOR at = {0.0f, 0.0f, 0.0f};
  const D3DVECTOR up = {0.0f, 1.0f, 0.0f};
  g_kr3DSplash.matView.SetView(eye, at, up, 0.0f);
  g_kr3DSplash.dwStartTick = GetTickCount();
}

namespace {

// Returns whether a removed message was WM_QUIT, with its exit code.
bool RunFrames(DWORD duration, void (*step)(DWORD t), KR3DSPLASHOBJECT* objects, int* quitCode) {
  bool quit = false;
  for (;;) {
    MSG message;
    if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE) && message.message == WM_QUIT) {
      quit = true;
      *quitCode = int(message.wParam);
    }
    KRVideoClear(0, 2);
    // Unsigned: the test holds across the tick count's wrap.
    const DWORD t = GetTickCount() - g_kr3DSplash.dwStartTick;
    if (t >= duration || GetAsyncKeyState(VK_ESCAPE) < 0) break;
    step(t);
    for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) objects[i].obj.frame.bDirty = 1;
    KR3DSetProjectionMatrix(&g_kr3DSplash.matProjection);
    KR3DSetViewMatrix(&g_kr3DSplash.matView);
    KR3DClearOrderList();
    for (int i = 0; i < KR3D_SPLASH_OBJECTS; ++i) KR3DOrderObject(&objects[i].obj);
    KR3DBeginRender(g_kr3DSplash.nViewport);
    KR3DClear(0, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    KR3DRenderAll();
    KR3DEndRender();
    KRVideoShow();
  }
  return quit;
}

}  // namespace

int KRSplashShow(const KR3DSPLASHSEQUENCE& sequence) {
  KRDebugDump("%s", sequence.szLogLine);
  if (!sequence.load()) return 1;
  int quitCode = 0;
  const bool quit = RunFrames(sequence.dwDuration, sequence.step, sequence.lpObjects, &quitCode);
  for (int i = 0; i < 2; ++i) {
    KRVideoClear(0, 2);
    KRVideoShow();
  }
  sequence.release();
  if (quit) PostQuitMessage(quitCode);
  return 1;
}

void KRSplashSetTranslation(KR3DMATRIX* m, const D3DVECTOR& v) {
  m->_41 = v.x;
  m->_42 = v.y;
  m->_43 = v.z;
}

D3DVECTOR KRSplashFlight(const KR3DSPLASHOBJECT& object, DWORD t, float span) {
  const D3DVECTOR& s = object.vStart;
  const D3DVECTOR& e = object.vEnd;
  const float time = float(t);
  const D3DVECTOR d = {s.x - e.x, s.y - e.y, s.z - e.z};
  D3DVECTOR v;
  v.x = e.x + d.x - time * d.x / span;
  v.y = e.y + d.y - time * d.y / span;
  v.z = e.z + d.z - time * d.z / span;
  return v;
}
