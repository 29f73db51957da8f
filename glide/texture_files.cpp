// 3DF texture files: the header into the game's Gu3dfInfo, and the texel data
// into its buffer. The palette or NCC table of the record is never touched.
#include "glide/glide_state.h"
#include "glide/tdf_file.h"

namespace {

void FillInfo(const TdfHeader& header, Gu3dfInfo* info) {
  info->header.width = header.width;
  info->header.height = header.height;
  info->header.small_lod = header.smallLod;
  info->header.large_lod = header.largeLod;
  info->header.aspect_ratio = header.aspectRatio;
  info->header.format = header.format;
  info->mem_required = header.memRequired;
}

}  // namespace

extern "C" {

FxBool FX_CALL gu3dfGetInfo(const char* filename, Gu3dfInfo* info) {
  TdfHeader header;
  if (!TdfReadHeader(filename, &header)) return FXFALSE;
  FillInfo(header, info);
  return FXTRUE;
}

FxBool FX_CALL gu3dfLoad(const char* filename, Gu3dfInfo* info) {
  TdfHeader header;
  if (!TdfReadHeader(filename, &header)) return FXFALSE;
  FillInfo(header, info);
  return TdfReadTexels(filename, header, info->data) ? FXTRUE : FXFALSE;
}

}  // extern "C"
