// Device clean-up's sweep over the object tables: one line per table below,
// each naming how a slot in use is recognised and how it is given back.
#include "render3d/forgotten_objects.h"

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <korvathd.h>

#include "render3d/render3d_state.h"

namespace {

template <typename Interface>
void ReleaseInterface(Interface** slot) {
  if (*slot) (*slot)->Release();
  *slot = NULL;
}

bool ViewportInUse(int handle) { return g_kr3D.lpViewports[handle].lpViewport != NULL; }
bool TextureInUse(int handle) { return g_kr3D.lpTextures[handle].lpD3DTexture != NULL; }
bool MaterialInUse(int handle) { return g_kr3D.lpMaterials[handle].lpD3DMaterial != NULL; }
bool LightInUse(int handle) { return g_kr3D.lpLights[handle] != NULL; }
bool ModelInUse(int handle) { return g_kr3D.lpModels[handle].nNumVert != 0; }

struct KR3DOBJECTTABLE {
  const char* szName;  // as the warning line names the object
  int nMax;
  bool (*inUse)(int handle);
  void (*release)(int handle);
};

const KR3DOBJECTTABLE kObjectTables[] = {
    {"Viewport", KR3D_VIEWPORT_MAX, ViewportInUse, KR3DReleaseViewport},
    {"Texture", KR3D_TEXTURE_MAX, TextureInUse, KR3DReleaseTexture},
    {"Material", KR3D_MATERIAL_MAX, MaterialInUse, KR3DReleaseMaterial},
    {"Light", KR3D_LIGHT_MAX, LightInUse, KR3DReleaseLight},
    {"Model", KR3D_MODEL_MAX, ModelInUse, KR3DReleaseModel},
};

}  // namespace

void KR3DReleaseForgottenObjects(void) {
  for (const KR3DOBJECTTABLE& table : kObjectTables) {
    for (int handle = 1; handle < table.nMax; ++handle) {
      if (!table.inUse(handle)) continue;
      KRDebugDump("KR3D Warning : You didn't release %s(%d).\n", table.szName, handle);
      table.release(handle);
    }
  }
}
