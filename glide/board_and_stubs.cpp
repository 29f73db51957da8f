// The board Ondrel reports, the version, the screen size, and the entry points
// that do nothing or answer a constant.
#include <cstring>

#include "glide/glide_state.h"

extern "C" {

namespace {

void ReportBoard(GrHwConfiguration* hwConfig) {
  hwConfig->num_sst = 1;
  GrSstConfig_t& sst = hwConfig->SSTs[0];
  sst.type = GR_SSTTYPE_VOODOO;
  GrVoodooConfig_t& voodoo = sst.sstBoard.VoodooConfig;
  voodoo.fbRam = 4;
  voodoo.fbiRev = 2;
  voodoo.nTexelfx = 1;
  voodoo.sliDetect = FXFALSE;
  for (GrTMUConfig_t& tmu : voodoo.tmuConfig) {
    tmu.tmuRev = 1;
    tmu.tmuRam = 8;
  }
}

}  // namespace

FxBool FX_CALL grSstQueryHardware(GrHwConfiguration* hwConfig) {
  ReportBoard(hwConfig);
  return FXTRUE;
}

FxBool FX_CALL grSstQueryBoards(GrHwConfiguration* hwConfig) {
  ReportBoard(hwConfig);
  return FXTRUE;
}

void FX_CALL grGlideGetVersion(char version[80]) {
  static const char kVersion[] = "Glide Version 2.46";
  std::memcpy(version, kVersion, sizeof kVersion);
}

FxU32 FX_CALL grSstScreenWidth(void) { return static_cast<FxU32>(g_glide.glideWidth); }
FxU32 FX_CALL grSstScreenHeight(void) { return static_cast<FxU32>(g_glide.glideHeight); }
FxBool FX_CALL grSstControl(FxU32) { return FXTRUE; }

FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t, int, int, GrTextureFormat_t, GrMipMapMode_t, GrLOD_t, GrLOD_t,
                                     GrAspectRatio_t, GrTextureClampMode_t, GrTextureClampMode_t,
                                     GrTextureFilterMode_t, GrTextureFilterMode_t) {
  return FXTRUE;
}

void FX_CALL grTexCombineFunction(GrChipID_t, GrTextureCombineFnc_t) {}
void FX_CALL guTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function) {
  grTexCombineFunction(tmu, function);
}

// ---- Nothing to do ---------------------------------------------------------------------------
void FX_CALL grAlphaControlsITRGBLighting(FxBool) {}
int FX_CALL grBufferNumPending(void) { return 0; }
void FX_CALL grCheckForRoom(FxI32) {}
void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t) {}
void FX_CALL grGlideShamelessPlug(FxBool) {}
void FX_CALL grHints(GrHint_t, FxU32) {}
void FX_CALL grLfbConstantAlpha(GrAlpha_t) {}
void FX_CALL grLfbConstantDepth(FxU16) {}
void FX_CALL grLfbWriteColorFormat(GrColorFormat_t) {}
void FX_CALL grLfbWriteColorSwizzle(FxBool, FxBool) {}
FxBool FX_CALL grLfbReadRegion(GrBuffer_t, FxU32, FxU32, FxU32, FxU32, FxU32, void*) { return FXFALSE; }
FxBool FX_CALL grLfbWriteRegion(GrBuffer_t, FxU32, FxU32, GrLfbSrcFmt_t, FxU32, FxU32, FxI32, void*) {
  return FXFALSE;
}
void FX_CALL grResetTriStats(void) {}
void FX_CALL grSstIdle(void) {}
FxBool FX_CALL grSstIsBusy(void) { return FXFALSE; }
void FX_CALL grSstPerfStats(GrSstPerfStats_t*) {}
void FX_CALL grSstResetPerfStats(void) {}
void FX_CALL grSstSelect(int) {}
FxU32 FX_CALL grSstStatus(void) { return 0; }
FxU32 FX_CALL grSstVideoLine(void) { return 0; }
FxBool FX_CALL grSstVRetraceOn(void) { return FXFALSE; }
void FX_CALL grTexDetailControl(GrChipID_t, int, FxU8, float) {}
void FX_CALL grTexDownloadMipMapLevel(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureFormat_t, FxU32,
                                      void*) {}
void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                             GrTextureFormat_t, FxU32, void*, int, int) {}
void FX_CALL grTexDownloadTable(GrChipID_t, GrTexTable_t, void*) {}
void FX_CALL grTexDownloadTablePartial(GrChipID_t, GrTexTable_t, void*, int, int) {}
void FX_CALL grTexLodBiasValue(GrChipID_t, float) {}
void FX_CALL grTexMultibase(GrChipID_t, FxBool) {}
void FX_CALL grTexMultibaseAddress(GrChipID_t, GrTexBaseRange_t, FxU32, FxU32, GrTexInfo*) {}
void FX_CALL grTexNCCTable(GrChipID_t, GrNCCTable_t) {}
void FX_CALL grTriStats(FxU32*, FxU32*) {}
void FX_CALL guAlphaSource(GrAlphaSource_t) {}
int FX_CALL guEncodeRLE16(void*, void*, FxU32, FxU32) { return 0; }
GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t, FxU8, int, int, GrTextureFormat_t, GrMipMapMode_t, GrLOD_t,
                                         GrLOD_t, GrAspectRatio_t, GrTextureClampMode_t, GrTextureClampMode_t,
                                         GrTextureFilterMode_t, GrTextureFilterMode_t, float, FxBool) {
  return 0;
}
GrMipMapId_t FX_CALL guTexCreateColorMipMap(void) { return 0; }
void FX_CALL guTexDownloadMipMap(GrMipMapId_t, const void*, const GuNccTable*) {}
void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t, GrLOD_t, const void**) {}
GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t) { return 0; }
GrMipMapInfo* FX_CALL guTexGetMipMapInfo(GrMipMapId_t) { return nullptr; }
FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t) { return 0; }
void FX_CALL guTexMemReset(void) {}
void FX_CALL guTexSource(GrMipMapId_t) {}
void FX_CALL ConvertAndDownloadRle(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureFormat_t, FxU32,
                                   FxU8*, FxI32, FxU32, FxU32, FxU32, FxU32, FxU32, FxU32, FxU16*) {}

}  // extern "C"
