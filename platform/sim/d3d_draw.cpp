// Drawing: nothing is rasterised; every draw the device accepts is recorded
// with a copy of its vertices and indices and the state it was made in, and
// every clear with its rectangles.
#include "sim/d3d_internal.h"

namespace sim::detail {
namespace {

std::vector<Direct3DDraw> g_draws;
std::vector<Direct3DClear> g_clears;

// Bytes per vertex of a vertex format; 0 for a format Direct3D refuses
// (reserved bits, no position, a normal on a transformed vertex, more than 8 texture sets).
DWORD VertexSize(DWORD format) {
  if (format & (D3DFVF_RESERVED0 | D3DFVF_RESERVED2)) return 0;
  const DWORD position = format & D3DFVF_POSITION_MASK;
  const DWORD textureSets = (format & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if ((position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) || textureSets > 8) return 0;
  if (position == D3DFVF_XYZRHW && (format & D3DFVF_NORMAL)) return 0;
  DWORD size = position == D3DFVF_XYZ ? 12 : 16;
  if (format & D3DFVF_NORMAL) size += 12;
  if (format & D3DFVF_RESERVED1) size += 4;
  if (format & D3DFVF_DIFFUSE) size += 4;
  if (format & D3DFVF_SPECULAR) size += 4;
  return size + 8 * textureSets;
}

// What both draws check and record; `indices` null for DrawPrimitive.
HRESULT Draw(DeviceObject& device, D3DPRIMITIVETYPE primitive, DWORD format, const void* vertices, DWORD count,
             const WORD* indices, DWORD indexCount, DWORD flags) {
  const bool indexed = indices != nullptr || indexCount != 0;
  const DWORD size = VertexSize(format);
  if (primitive < D3DPT_POINTLIST || primitive > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDPRIMITIVETYPE;
  if (size == 0) return D3DERR_INVALIDVERTEXFORMAT;
  if (vertices == nullptr || count == 0 || (indexed && (indices == nullptr || indexCount == 0))) {
    return DDERR_INVALIDPARAMS;
  }
  for (DWORD i = 0; i < indexCount; ++i) {
    if (indices[i] >= count) return DDERR_INVALIDPARAMS;  // would read past the vertices
  }
  if (device.target->lost) return DDERR_SURFACELOST;
  // Windows draws only inside a scene; Wine draws anyway, so the call succeeds and the fault is noted.
  if (!device.inScene) {
    const char* method = indexed ? "IDirect3DDevice3::DrawIndexedPrimitive" : "IDirect3DDevice3::DrawPrimitive";
    RecordContractViolation(std::string(method) + " outside BeginScene and EndScene");
  }
  Direct3DDraw draw = device.Snapshot();
  draw.indexed = indexed;
  draw.primitive = primitive;
  draw.vertexFormat = format;
  draw.flags = flags;
  draw.vertexCount = count;
  draw.vertexSize = size;
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  draw.vertexBytes.assign(bytes, bytes + static_cast<size_t>(size) * count);
  if (indexed) draw.indices.assign(indices, indices + indexCount);
  g_draws.push_back(std::move(draw));
  return D3D_OK;
}

}  // namespace

Direct3DDraw DeviceObject::Snapshot() const {
  Direct3DDraw draw;
  draw.device = const_cast<DeviceObject*>(this);
  draw.inScene = inScene;
  draw.renderStates = renderStates;
  draw.stage0States = stageStates[0];
  draw.world = world;
  draw.view = view;
  draw.projection = projection;
  draw.texture = textures[0];
  auto material = lightStates.find(D3DLIGHTSTATE_MATERIAL);
  draw.material = material == lightStates.end() ? 0 : material->second;
  for (const MaterialObject* object : LiveList<MaterialObject>()) {
    if (draw.material != 0 && object->handle == draw.material) draw.materialData = object->data;
  }
  draw.viewport = current;
  if (current != nullptr) {
    draw.viewportData = current->data;
    for (const LightObject* light : current->lights) draw.lights.push_back(light->data);
  }
  return draw;
}

HRESULT DeviceObject::DrawPrimitive(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices, DWORD count,
                                    DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::DrawPrimitive", JoinArgs({ArgDec(primitive), ArgHex(format),
                                                                        ArgPointer(vertices), ArgDec(count),
                                                                        ArgHex(flags)}))) {
    return *failure;
  }
  return Draw(*this, primitive, format, vertices, count, nullptr, 0, flags);
}

HRESULT DeviceObject::DrawIndexedPrimitive(D3DPRIMITIVETYPE primitive, DWORD format, LPVOID vertices, DWORD count,
                                           WORD* indices, DWORD indexCount, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter("IDirect3DDevice3::DrawIndexedPrimitive",
                           JoinArgs({ArgDec(primitive), ArgHex(format), ArgPointer(vertices), ArgDec(count),
                                     ArgPointer(indices), ArgDec(indexCount), ArgHex(flags)}))) {
    return *failure;
  }
  if (indices == nullptr || indexCount == 0) return DDERR_INVALIDPARAMS;
  return Draw(*this, primitive, format, vertices, count, indices, indexCount, flags);
}

void RecordClear(Direct3DClear clear) { g_clears.push_back(std::move(clear)); }

void ResetDirect3DRecord() {
  g_draws.clear();
  g_clears.clear();
}

}  // namespace sim::detail

namespace sim {

std::vector<Direct3DDraw> Direct3DDraws() {
  auto lock = detail::LockSimulation();
  return detail::g_draws;
}

std::vector<Direct3DClear> Direct3DClears() {
  auto lock = detail::LockSimulation();
  return detail::g_clears;
}

void ClearDirect3DRecord() {
  auto lock = detail::LockSimulation();
  detail::ResetDirect3DRecord();
}

}  // namespace sim
