// Frame-buffer locks on a window-mode screen: the checks in their order, the
// copy against the surface's pixels, the write-back, failed surface locks and
// allocations, and copies never left behind by a close or an open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "glide_fixture.h"

namespace {

class FrameBufferTest : public GlideTest {
 protected:
  static GrLfbInfo_t Untouched() {
    GrLfbInfo_t info;
    std::memset(&info, 0xAB, sizeof info);
    return info;
  }
  static bool IsUntouched(const GrLfbInfo_t& info) {
    const GrLfbInfo_t fresh = Untouched();
    return std::memcmp(&info, &fresh, sizeof info) == 0;
  }
  static FxBool Lock(GrLock_t type, GrBuffer_t buffer, GrLfbInfo_t* info,
                     GrLfbWriteMode_t mode = GR_LFBWRITEMODE_565, GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT) {
    return grLfbLock(type, buffer, mode, origin, FXFALSE, info);
  }
  static int BytesPerPixel(IDirectDrawSurface4* surface) { return sim::DescribeSurface(surface).bitsPerPixel / 8; }
  // The pixel at x, y of a copy laid out at the given stride, as the surface's raw value.
  static uint32_t CopyRaw(const GrLfbInfo_t& info, int bytes, int x, int y) {
    uint32_t raw = 0;
    std::memcpy(&raw, static_cast<const char*>(info.lfbPtr) + size_t(y) * info.strideInBytes + size_t(x) * bytes,
                size_t(bytes));
    return raw;
  }
  static void SetCopyRaw(const GrLfbInfo_t& info, int bytes, int x, int y, uint32_t raw) {
    std::memcpy(static_cast<char*>(info.lfbPtr) + size_t(y) * info.strideInBytes + size_t(x) * bytes, &raw,
                size_t(bytes));
  }
  static std::vector<std::string> LockFlags() {
    std::vector<std::string> flags;
    for (const std::string& arguments : ArgumentsOf("IDirectDrawSurface4::Lock")) {
      const std::string tail = arguments.substr(arguments.rfind(", 0x") + 2);
      flags.push_back(tail.substr(0, tail.find(',')));
    }
    return flags;
  }
  static uint32_t Mask(int bytes) { return bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1; }

  GrLfbInfo_t info_ = Untouched();  // what a lock fills in
};

// ---- The checks, in their order ------------------------------------------------------------

TEST_F(FrameBufferTest, RefusalsComeBeforeAnyAllocationOrSurfaceLock) {
  Open();
  struct Refused {
    GrBuffer_t buffer;
    GrLfbWriteMode_t mode;
    GrOriginLocation_t origin;
  };
  const Refused refused[] = {
      {GR_BUFFER_DEPTHBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_DEPTHBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ZA16, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_LOWER_LEFT},
      {GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_LOWER_LEFT},
      {GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_ALPHABUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT},
      {GR_BUFFER_TRIPLEBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT},
      {7, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT},
      {-1, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT},
  };
  for (const Refused& r : refused) {
    GrLfbInfo_t info = Untouched();
    EXPECT_EQ(Lock(GR_LFB_WRITE_ONLY, r.buffer, &info, r.mode, r.origin), FXFALSE) << r.buffer << " " << r.mode;
    EXPECT_TRUE(IsUntouched(info));
  }
  EXPECT_EQ(sim::CountCalls("HeapAlloc"), 0);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Lock"), 0);
  EXPECT_EQ(g_glide.lfbLocked[0] + g_glide.lfbLocked[1], 0);
}

TEST_F(FrameBufferTest, AnyWriteModeCountsAs565AndTheGameIsTold565) {
  Open();
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_, GR_LFBWRITEMODE_ANY), FXTRUE);
  EXPECT_EQ(info_.writeMode, GR_LFBWRITEMODE_565);
  EXPECT_EQ(info_.origin, GR_ORIGIN_UPPER_LEFT);
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
}

TEST_F(FrameBufferTest, ASecondLockOfABufferIsRefusedAndTheFirstHolds) {
  Open();
  GrLfbInfo_t first = Untouched(), second = Untouched(), front = Untouched();
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, &first), FXTRUE);
  const int blocks = sim::LiveHeapBlocks();
  EXPECT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &second), FXFALSE);
  EXPECT_TRUE(IsUntouched(second));
  EXPECT_EQ(sim::LiveHeapBlocks(), blocks);
  // The other buffer has its own lock.
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, &front), FXTRUE);
  EXPECT_NE(front.lfbPtr, first.lfbPtr);
  const int bytes = BytesPerPixel(g_glide.backSurface);
  SetCopyRaw(first, bytes, 3, 2, 0x123456 & Mask(bytes));
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(sim::SurfaceRaw(g_glide.backSurface, 3, 2), 0x123456 & Mask(bytes));
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);  // nothing left to unlock
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
  EXPECT_EQ(sim::LiveHeapBlocks(), blocks - 1);
}

// ---- The copy ------------------------------------------------------------------------------

TEST_F(FrameBufferTest, TheCopyHoldsTheWholeSurfaceAtItsPitchInOneTaggedBlock) {
  Open();
  for (GrBuffer_t buffer : {GR_BUFFER_FRONTBUFFER, GR_BUFFER_BACKBUFFER}) {
    IDirectDrawSurface4* surface = buffer == GR_BUFFER_FRONTBUFFER ? g_glide.frontSurface : g_glide.backSurface;
    const LONG pitch = buffer == GR_BUFFER_FRONTBUFFER ? g_glide.frontDesc.lPitch : g_glide.backDesc.lPitch;
    const int bytes = BytesPerPixel(surface);
    sim::SetSurfaceRaw(surface, 0, 0, 0x0A0B0C & Mask(bytes));
    sim::SetSurfaceRaw(surface, 639, 0, 0x112233 & Mask(bytes));
    sim::SetSurfaceRaw(surface, 17, 240, 0x445566 & Mask(bytes));
    sim::SetSurfaceRaw(surface, 639, 479, 0x778899 & Mask(bytes));
    Forget();
    GrLfbInfo_t info = Untouched();
    ASSERT_EQ(Lock(GR_LFB_READ_ONLY, buffer, &info), FXTRUE);
    EXPECT_EQ(info.size, FxI32(sizeof(GrLfbInfo_t)));
    EXPECT_EQ(info.strideInBytes, FxU32(pitch));
    EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_565);
    EXPECT_EQ(info.origin, GR_ORIGIN_UPPER_LEFT);
    for (const auto& xy : std::vector<std::pair<int, int>>{{0, 0}, {639, 0}, {17, 240}, {639, 479}, {5, 5}}) {
      EXPECT_EQ(CopyRaw(info, bytes, xy.first, xy.second), sim::SurfaceRaw(surface, xy.first, xy.second))
          << buffer << " " << xy.first << "," << xy.second;
    }
    // One block of pitch x height bytes, tagged for the frame buffer, and one read-only lock.
    const std::vector<std::string> allocs = ArgumentsOf("HeapAlloc");
    EXPECT_EQ(allocs.size(), 1u);
    for (const std::string& alloc : allocs) {
      EXPECT_NE(alloc.find(", " + std::to_string(pitch * 480 + 16)), std::string::npos) << alloc;
    }
    EXPECT_EQ(std::string(static_cast<const char*>(info.lfbPtr) - 12, 8), std::string("LfbLock\0", 8));
    EXPECT_EQ(LockFlags(), std::vector<std::string>{"0x11"});  // DDLOCK_WAIT | DDLOCK_READONLY
    EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Unlock"), 1);
    EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, buffer), FXTRUE);
  }
}

TEST_F(FrameBufferTest, AReadLockChangesNothingOnTheSurface) {
  Open();
  const int bytes = BytesPerPixel(g_glide.backSurface);
  sim::FillSurfaceRgb(g_glide.backSurface, 0x336699);
  const uint32_t before = sim::SurfaceRaw(g_glide.backSurface, 10, 10);
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  SetCopyRaw(info_, bytes, 10, 10, ~before & Mask(bytes));
  Forget();
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Lock"), 0);
  EXPECT_EQ(sim::SurfaceRaw(g_glide.backSurface, 10, 10), before);
  EXPECT_EQ(sim::CountCalls("HeapFree"), 1);
}

TEST_F(FrameBufferTest, AWriteLockPutsTheGamesPixelsOnTheSurfaceAtItsStride) {
  Open();
  const int bytes = BytesPerPixel(g_glide.backSurface);
  sim::FillSurfaceRgb(g_glide.backSurface, 0x000000);
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  for (int y = 100; y < 110; ++y)
    for (int x = 200; x < 220; ++x) SetCopyRaw(info_, bytes, x, y, uint32_t(x * 7 + y) & Mask(bytes));
  Forget();
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(LockFlags(), std::vector<std::string>{"0x21"});  // DDLOCK_WAIT | DDLOCK_WRITEONLY
  for (int y = 99; y < 111; ++y) {
    for (int x = 199; x < 221; ++x) {
      const bool inside = y >= 100 && y < 110 && x >= 200 && x < 220;
      EXPECT_EQ(sim::SurfaceRaw(g_glide.backSurface, x, y), inside ? uint32_t(x * 7 + y) & Mask(bytes) : 0u)
          << x << "," << y;
    }
  }
}

TEST_F(FrameBufferTest, AnyNonzeroTypeWritesTheCopyBackEvenUnchanged) {
  Open();
  sim::FillSurfaceRgb(g_glide.backSurface, 0x102030);
  const uint32_t before = sim::SurfaceRaw(g_glide.backSurface, 1, 1);
  // A read lock with GR_LFB_NOIDLE: what the surface got meanwhile is overwritten by the copy.
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY | GR_LFB_NOIDLE, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  sim::SetSurfaceRgb(g_glide.backSurface, 1, 1, 0xFFFFFF);
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY | GR_LFB_NOIDLE, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(sim::SurfaceRaw(g_glide.backSurface, 1, 1), before);
}

TEST_F(FrameBufferTest, AFrontBufferSmallerThanTheModeIsCopiedOnlyAsFarAsItReaches) {
  sim::SetDesktopMode(640, 480, 16);  // window mode: the front buffer is this desktop
  Open(GR_RESOLUTION_800x600);
  IDirectDrawSurface4* front = g_glide.frontSurface;
  sim::FillSurfaceRgb(front, 0xFFFFFF);
  sim::SetSurfaceRaw(front, 639, 479, 0x1234);
  GrLfbInfo_t info = Untouched();
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, &info), FXTRUE);
  ASSERT_EQ(info.strideInBytes, 1280u);
  EXPECT_EQ(CopyRaw(info, 2, 639, 479), 0x1234u);
  EXPECT_EQ(CopyRaw(info, 2, 0, 480), 0u);  // rows the desktop lacks stay zero
  EXPECT_EQ(CopyRaw(info, 2, 639, 599), 0u);
  SetCopyRaw(info, 2, 0, 479, 0x5678);
  SetCopyRaw(info, 2, 0, 599, 0x9ABC);
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
  EXPECT_EQ(sim::SurfaceRaw(front, 0, 479), 0x5678u);
  EXPECT_EQ(sim::SurfaceRaw(front, 639, 479), 0x1234u);
}

// ---- Failed surface locks and allocations --------------------------------------------------------

TEST_F(FrameBufferTest, AFailedSurfaceReadIsLoggedByNameAndTheLockStillHolds) {
  Open();
  sim::FailNext("IDirectDrawSurface4::Lock", int64_t(0x80004002));
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  EXPECT_EQ(LogText(), "DSERR_NOINTERFACE\n");
  EXPECT_NE(info_.lfbPtr, nullptr);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Unlock"), 0);
  EXPECT_EQ(g_glide.lfbLocked[GR_BUFFER_BACKBUFFER], 1);
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);

  sim::ClearDebugOutput();
  sim::FailNext("IDirectDrawSurface4::Lock", int64_t(0x88781001));  // a family Ondrel does not name
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, &info_), FXTRUE);
  EXPECT_EQ(LogText(), "DXERR_UNDEFINED\n");
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
}

TEST_F(FrameBufferTest, AFailedWriteBackDropsTheGamesWritesAndStillUnlocks) {
  Open();
  const int bytes = BytesPerPixel(g_glide.backSurface);
  sim::FillSurfaceRgb(g_glide.backSurface, 0x000000);
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  SetCopyRaw(info_, bytes, 4, 4, Mask(bytes));
  const int blocks = sim::LiveHeapBlocks();
  sim::ClearDebugOutput();
  sim::FailNext("IDirectDrawSurface4::Lock", int64_t(DDERR_SURFACELOST));
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(LogText(), "DDERR_SURFACELOST\n");
  EXPECT_EQ(sim::SurfaceRaw(g_glide.backSurface, 4, 4), 0u);
  EXPECT_EQ(sim::LiveHeapBlocks(), blocks - 1);
  EXPECT_EQ(g_glide.lfbLocked[GR_BUFFER_BACKBUFFER], 0);
}

TEST_F(FrameBufferTest, AFailedCopyAllocationFailsTheLockAndMarksNothing) {
  Open();
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXFALSE);
  EXPECT_TRUE(IsUntouched(info_));
  EXPECT_EQ(g_glide.lfbLocked[GR_BUFFER_BACKBUFFER], 0);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Lock"), 0);
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
  EXPECT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);  // the next one is free to succeed
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
}

// ---- Other buffers, no screen, close and reopen ---------------------------------------------------

TEST_F(FrameBufferTest, OtherBuffersRefuseTheLockButTheirUnlockSucceeds) {
  Open();
  for (GrBuffer_t buffer : {GR_BUFFER_AUXBUFFER, GR_BUFFER_ALPHABUFFER, GR_BUFFER_TRIPLEBUFFER}) {
    GrLfbInfo_t info = Untouched();
    EXPECT_EQ(Lock(GR_LFB_WRITE_ONLY, buffer, &info), FXFALSE) << buffer;
    EXPECT_TRUE(IsUntouched(info));
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, buffer), FXTRUE) << buffer;
  }
  EXPECT_EQ(sim::CountCalls("HeapAlloc"), 0);
}

TEST_F(FrameBufferTest, WithNoScreenTheLockAllocatesNothingAndTheUnlockFails) {
  grGlideInit();
  Forget();
  EXPECT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXFALSE);
  EXPECT_TRUE(IsUntouched(info_));
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
  EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER), FXFALSE);
  EXPECT_EQ(sim::CountCalls("HeapAlloc"), 0);
}

TEST_F(FrameBufferTest, AnUnlockWithNoScreenFreesTheOutstandingCopy) {
  Open();
  // A copy already given back is not given back again.
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, &info_), FXTRUE);
  ASSERT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, &info_), FXTRUE);
  const int blocks = sim::LiveHeapBlocks();
  g_glide.windowOpen = 0;  // as though the screen had gone without the close's clean-up
  const int freesBefore = sim::CountCalls("HeapFree");
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER), FXFALSE);
  EXPECT_EQ(sim::LiveHeapBlocks(), blocks - 1);
  EXPECT_EQ(g_glide.lfbLocked[GR_BUFFER_FRONTBUFFER], 0);
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER), FXFALSE);
  EXPECT_EQ(sim::LiveHeapBlocks(), blocks - 1);
  EXPECT_EQ(sim::CountCalls("HeapFree"), freesBefore + 1);
  EXPECT_EQ(sim::CountCalls("IDirectDrawSurface4::Lock"), 3);  // the front's read only: nothing written back
  g_glide.windowOpen = 1;
}

TEST_F(FrameBufferTest, CloseAndReopenFreeOutstandingCopies) {
  Open();
  const int blocks = sim::LiveHeapBlocks();
  GrLfbInfo_t front = Untouched(), back = Untouched();
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, &front), FXTRUE);
  ASSERT_EQ(Lock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, &back), FXTRUE);
  grSstWinClose();
  EXPECT_EQ(g_glide.lfbLocked[0] + g_glide.lfbLocked[1], 0);
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);

  ASSERT_EQ(OpenScreen(), FXTRUE);
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &back), FXTRUE);
  // An open over an open screen closes it first, and the copy goes with it.
  ASSERT_EQ(OpenScreen(), FXTRUE);
  EXPECT_EQ(g_glide.lfbLocked[GR_BUFFER_BACKBUFFER], 0);
  ASSERT_EQ(Lock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, &back), FXTRUE);
  grGlideShutdown();
  EXPECT_LE(sim::LiveHeapBlocks(), blocks);
}

}  // namespace
