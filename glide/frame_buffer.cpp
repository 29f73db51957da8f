// The linear frame buffer. A lock hands the game a system-memory copy of the
// whole front or back surface; the unlock of a write lock puts the copy back.
// The game is told 5-6-5 whatever the surface holds.
#include <algorithm>
#include <cstring>
#include <new>

#include "core/int_conversion.h"
#include "glide/glide_state.h"

namespace {

// What a lock handed out (lfbPtr is the copy to write back and free) and the
// copy's size in bytes.
struct LfbCopy {
  GrLfbInfo_t info;
  int size;
};
LfbCopy g_lfbCopies[2];

bool IsColorBuffer(GrBuffer_t buffer) { return buffer == GR_BUFFER_FRONTBUFFER || buffer == GR_BUFFER_BACKBUFFER; }

IDirectDrawSurface4* SurfaceOf(GrBuffer_t buffer) {
  return buffer == GR_BUFFER_FRONTBUFFER ? g_glide.frontSurface : g_glide.backSurface;
}

LONG PitchOf(GrBuffer_t buffer) {
  return buffer == GR_BUFFER_FRONTBUFFER ? g_glide.frontDesc.lPitch : g_glide.backDesc.lPitch;
}

// The surface's memory locked whole, or null with the result's name logged.
void* LockWhole(IDirectDrawSurface4* surface, DWORD flags, DDSURFACEDESC2* desc) {
  std::memset(desc, 0, sizeof *desc);
  desc->dwSize = sizeof *desc;
  const HRESULT result = surface->Lock(nullptr, desc, DDLOCK_WAIT | flags, nullptr);
  if (FAILED(result)) {
    KRDebugDump("%s\n", OndrelDXResultName(result, 0));
    return nullptr;
  }
  return desc->lpSurface;
}

// Copies the rows both sides have, each as long as both sides' rows. The copy is
// sized by the Glide mode, the surface by itself: in window mode the front buffer
// is the desktop, which may be smaller than the mode.
void CopyRows(const DDSURFACEDESC2& surface, const LfbCopy& copy, bool toSurface) {
  const size_t stride = copy.info.strideInBytes;
  const size_t rows = stride == 0 ? 0 : std::min<size_t>(surface.dwHeight, size_t(copy.size) / stride);
  const size_t pixelBytes = surface.ddpfPixelFormat.dwRGBBitCount / 8;
  const size_t rowBytes = std::min<size_t>(stride, surface.dwWidth * pixelBytes);
  for (size_t y = 0; y < rows; ++y) {
    char* copyRow = static_cast<char*>(copy.info.lfbPtr) + y * stride;
    char* surfaceRow = static_cast<char*>(surface.lpSurface) + y * size_t(surface.lPitch);
    std::memcpy(toSurface ? surfaceRow : copyRow, toSurface ? copyRow : surfaceRow, rowBytes);
  }
}

void* AllocateCopy(int size) {
  try {
    return KRAllocEx(size, const_cast<char*>("LfbLock"));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Also for a buffer that is not locked: its record is empty then.
void FreeCopy(GrBuffer_t buffer) {
  KRFree(g_lfbCopies[buffer].info.lfbPtr);
  std::memset(&g_lfbCopies[buffer], 0, sizeof g_lfbCopies[buffer]);
  g_glide.lfbLocked[buffer] = 0;
}

}  // namespace

void ReleaseFrameBufferCopies() {
  for (GrBuffer_t buffer = GR_BUFFER_FRONTBUFFER; buffer <= GR_BUFFER_BACKBUFFER; ++buffer) {
    if (g_glide.lfbLocked[buffer]) FreeCopy(buffer);
  }
}

extern "C" {

FxBool FX_CALL grLfbLock(GrLock_t, GrBuffer_t buffer, GrLfbWriteMode_t writeMode, GrOriginLocation_t origin, FxBool,
                         GrLfbInfo_t* info) {
  if (writeMode == GR_LFBWRITEMODE_ANY) writeMode = GR_LFBWRITEMODE_565;
  if (buffer == GR_BUFFER_DEPTHBUFFER || writeMode != GR_LFBWRITEMODE_565 || origin != GR_ORIGIN_UPPER_LEFT) {
    return FXFALSE;
  }
  // The aux, alpha and triple buffers have no copy: the game would write through its own pointer.
  if (!IsColorBuffer(buffer) || g_glide.lfbLocked[buffer] || !g_glide.windowOpen) return FXFALSE;

  const LONG pitch = PitchOf(buffer);
  const int size = KRClampToInt(int64_t(pitch) * g_glide.physicalHeight);
  void* copy = AllocateCopy(size);
  if (copy == nullptr) return FXFALSE;
  GrLfbInfo_t handed;
  handed.size = sizeof(GrLfbInfo_t);
  handed.lfbPtr = copy;
  handed.strideInBytes = static_cast<FxU32>(pitch);
  handed.writeMode = GR_LFBWRITEMODE_565;
  handed.origin = GR_ORIGIN_UPPER_LEFT;
  *info = handed;
  g_lfbCopies[buffer].info = handed;
  g_lfbCopies[buffer].size = size;

  // What the surface does not cover, or a surface that cannot be read, leaves
  // zeros in the copy; the lock still holds.
  std::memset(copy, 0, static_cast<size_t>(size));
  IDirectDrawSurface4* surface = SurfaceOf(buffer);
  DDSURFACEDESC2 desc;
  if (LockWhole(surface, DDLOCK_READONLY, &desc) != nullptr) {
    CopyRows(desc, g_lfbCopies[buffer], false);
    surface->Unlock(nullptr);
  }
  g_glide.lfbLocked[buffer] = 1;
  return FXTRUE;
}

FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer) {
  if (!g_glide.windowOpen) {
    if (IsColorBuffer(buffer)) FreeCopy(buffer);  // nothing to free when it is not locked
    return FXFALSE;
  }
  if (!IsColorBuffer(buffer)) return FXTRUE;
  if (!g_glide.lfbLocked[buffer]) return FXFALSE;
  // Any nonzero type writes back: a read lock with GR_LFB_NOIDLE as well.
  if (type != 0) {
    IDirectDrawSurface4* surface = SurfaceOf(buffer);
    DDSURFACEDESC2 desc;
    if (LockWhole(surface, DDLOCK_WRITEONLY, &desc) != nullptr) {
      CopyRows(desc, g_lfbCopies[buffer], true);
      surface->Unlock(nullptr);
    }
  }
  FreeCopy(buffer);
  return FXTRUE;
}

}  // extern "C"
