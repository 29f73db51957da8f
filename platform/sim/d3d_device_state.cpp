// A device's state: render, light and texture-stage states, the world, view
// and projection transforms (with real arithmetic, the library reads them
// back), the bound textures and the clip status.
#include <cstdio>

#include "sim/d3d_internal.h"

namespace sim::detail {
namespace {

constexpr DWORD kLastRenderState = 255;
constexpr DWORD kLastLightState = D3DLIGHTSTATE_COLORVERTEX;
constexpr DWORD kLastStageState = D3DTSS_BUMPENVLOFFSET;

// {1, 0, 0, 0; 0, 1, 0, 0; ...} row by row, or NULL.
std::string ArgMatrix(const D3DMATRIX* matrix) {
  if (matrix == nullptr) return "NULL";
  const D3DVALUE* values = &matrix->_11;
  std::string text = "{";
  for (int i = 0; i < 16; ++i) {
    char value[32];
    std::snprintf(value, sizeof value, "%s%g", i == 0 ? "" : (i % 4 ? ", " : "; "), static_cast<double>(values[i]));
    text += value;
  }
  return text + "}";
}

// Row vectors: a times b applies a first.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  const D3DVALUE* left = &a._11;
  const D3DVALUE* right = &b._11;
  D3DMATRIX product;
  D3DVALUE* out = &product._11;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      D3DVALUE sum = 0;
      for (int k = 0; k < 4; ++k) sum += left[row * 4 + k] * right[k * 4 + column];
      out[row * 4 + column] = sum;
    }
  }
  return product;
}

DWORD ValueIn(const std::map<DWORD, DWORD>& states, DWORD state) {
  auto found = states.find(state);
  return found == states.end() ? 0 : found->second;
}

// The shared shape of the state calls: `states` null for a stage that does not exist.
HRESULT SetState(const char* function, const std::string& stage, std::map<DWORD, DWORD>* states, DWORD last,
                 DWORD state, DWORD value) {
  auto lock = LockSimulation();
  if (auto failure = Enter(function, stage + JoinArgs({ArgDec(state), ArgHex(value)}))) return *failure;
  if (states == nullptr || state == 0 || state > last) return DDERR_INVALIDPARAMS;
  (*states)[state] = value;
  return D3D_OK;
}

HRESULT GetState(const char* function, const std::string& stage, const std::map<DWORD, DWORD>* states, DWORD last,
                 DWORD state, DWORD* value) {
  auto lock = LockSimulation();
  if (auto failure = Enter(function, stage + JoinArgs({ArgDec(state), ArgPointer(value)}))) return *failure;
  if (states == nullptr || value == nullptr || state == 0 || state > last) return DDERR_INVALIDPARAMS;
  *value = ValueIn(*states, state);
  return D3D_OK;
}

}  // namespace

HRESULT DeviceObject::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return SetState("IDirect3DDevice3::SetRenderState", "", &renderStates, kLastRenderState, state, value);
}
HRESULT DeviceObject::GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) {
  return GetState("IDirect3DDevice3::GetRenderState", "", &renderStates, kLastRenderState, state, value);
}
HRESULT DeviceObject::SetLightState(D3DLIGHTSTATETYPE state, DWORD value) {
  return SetState("IDirect3DDevice3::SetLightState", "", &lightStates, kLastLightState, state, value);
}
HRESULT DeviceObject::GetLightState(D3DLIGHTSTATETYPE state, LPDWORD value) {
  return GetState("IDirect3DDevice3::GetLightState", "", &lightStates, kLastLightState, state, value);
}
HRESULT DeviceObject::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  return SetState("IDirect3DDevice3::SetTextureStageState", ArgDec(stage) + ", ",
                  stage < kStages ? &stageStates[stage] : nullptr, kLastStageState, state, value);
}
HRESULT DeviceObject::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) {
  return GetState("IDirect3DDevice3::GetTextureStageState", ArgDec(stage) + ", ",
                  stage < kStages ? &stageStates[stage] : nullptr, kLastStageState, state, value);
}

// ---- Transforms -------------------------------------------------------------------------------------------
D3DMATRIX* DeviceObject::Transform(D3DTRANSFORMSTATETYPE state) {
  switch (state) {
    case D3DTRANSFORMSTATE_WORLD: return &world;
    case D3DTRANSFORMSTATE_VIEW: return &view;
    case D3DTRANSFORMSTATE_PROJECTION: return &projection;
  }
  return nullptr;
}

HRESULT DeviceObject::SetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::SetTransform", JoinArgs({ArgDec(state), ArgMatrix(matrix)}))) {
    return *failure;
  }
  D3DMATRIX* kept = Transform(state);
  if (kept == nullptr || matrix == nullptr) return DDERR_INVALIDPARAMS;
  *kept = *matrix;
  return D3D_OK;
}

HRESULT DeviceObject::GetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::GetTransform", JoinArgs({ArgDec(state), ArgPointer(matrix)}))) {
    return *failure;
  }
  D3DMATRIX* kept = Transform(state);
  if (kept == nullptr || matrix == nullptr) return DDERR_INVALIDPARAMS;
  *matrix = *kept;
  return D3D_OK;
}

// The given matrix is applied first: it goes on the left of the current one.
HRESULT DeviceObject::MultiplyTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::MultiplyTransform", JoinArgs({ArgDec(state), ArgMatrix(matrix)}))) {
    return *failure;
  }
  D3DMATRIX* kept = Transform(state);
  if (kept == nullptr || matrix == nullptr) return DDERR_INVALIDPARAMS;
  *kept = Multiply(*matrix, *kept);
  return D3D_OK;
}

// ---- Textures and clip status ------------------------------------------------------------------------------
HRESULT DeviceObject::SetTexture(DWORD stage, LPDIRECT3DTEXTURE2 texture) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::SetTexture", JoinArgs({ArgDec(stage), ArgHandle(texture)}))) {
    return *failure;
  }
  TextureObject* bound = FindLive<TextureObject>(texture);
  if (stage >= kStages || (texture != nullptr && bound == nullptr)) return DDERR_INVALIDPARAMS;
  if (bound != nullptr) bound->Hold();
  if (textures[stage] != nullptr) textures[stage]->Drop();
  textures[stage] = bound;
  return D3D_OK;
}

HRESULT DeviceObject::GetTexture(DWORD stage, LPDIRECT3DTEXTURE2* texture) {
  auto lock = LockSimulation();
  if (texture != nullptr) *texture = nullptr;
  if (auto failure = Enter("IDirect3DDevice3::GetTexture", JoinArgs({ArgDec(stage), ArgPointer(texture)}))) {
    return *failure;
  }
  if (stage >= kStages || texture == nullptr) return DDERR_INVALIDPARAMS;
  if (textures[stage] != nullptr) textures[stage]->Hold();
  *texture = textures[stage];
  return D3D_OK;
}

HRESULT DeviceObject::SetClipStatus(LPD3DCLIPSTATUS status) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::SetClipStatus",
                           status ? JoinArgs({ArgHex(status->dwFlags), ArgHex(status->dwStatus)}) : "NULL")) {
    return *failure;
  }
  if (status == nullptr) return DDERR_INVALIDPARAMS;
  clipStatus = *status;
  return D3D_OK;
}

HRESULT DeviceObject::GetClipStatus(LPD3DCLIPSTATUS status) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::GetClipStatus", ArgPointer(status))) return *failure;
  if (status == nullptr) return DDERR_INVALIDPARAMS;
  *status = clipStatus;
  return D3D_OK;
}

}  // namespace sim::detail

// ---- What tests read ----------------------------------------------------------------------------------------
namespace sim {
namespace {

template <typename Read>
auto ReadDevice(IDirect3DDevice3* device, Read read) {
  auto lock = detail::LockSimulation();
  const detail::DeviceObject* found = detail::FindLive<detail::DeviceObject>(device);
  return read(found);
}

}  // namespace

DWORD Direct3DRenderState(IDirect3DDevice3* device, D3DRENDERSTATETYPE state) {
  return ReadDevice(device, [&](auto* found) { return found ? detail::ValueIn(found->renderStates, state) : 0; });
}
DWORD Direct3DLightState(IDirect3DDevice3* device, D3DLIGHTSTATETYPE state) {
  return ReadDevice(device, [&](auto* found) { return found ? detail::ValueIn(found->lightStates, state) : 0; });
}
DWORD Direct3DTextureStageState(IDirect3DDevice3* device, DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
  return ReadDevice(device, [&](auto* found) {
    return found && stage < detail::DeviceObject::kStages ? detail::ValueIn(found->stageStates[stage], state) : 0;
  });
}
D3DMATRIX Direct3DTransform(IDirect3DDevice3* device, D3DTRANSFORMSTATETYPE state) {
  return ReadDevice(device, [&](auto* found) {
    const D3DMATRIX* kept = found ? const_cast<detail::DeviceObject*>(found)->Transform(state) : nullptr;
    return kept ? *kept : D3DMATRIX{};
  });
}

Direct3DDeviceInfo DescribeDirect3DDevice(IDirect3DDevice3* device) {
  return ReadDevice(device, [](const detail::DeviceObject* found) {
    Direct3DDeviceInfo info;
    if (found == nullptr) return info;
    info.live = true;
    info.type = found->type;
    info.hardware = found->hardware;
    info.target = found->target;
    info.depthBuffer = found->depthBuffer;
    info.inScene = found->inScene;
    info.viewports.assign(found->viewports.begin(), found->viewports.end());
    info.currentViewport = found->current;
    info.texture = found->textures[0];
    info.clipStatus = found->clipStatus;
    return info;
  });
}

}  // namespace sim
