// Ondrel's copy of the result-name lookup, built from the same source with only
// the DirectDraw, Direct3D and DirectSound tables.
#define KR_DXNAMES_THREE_FAMILIES
#define KR_DXNAMES_FUNCTION ThreeFamilyDXResultName
#include "core/dx_result_names.cpp"

#include <gtest/gtest.h>

#include "dx_result_names_walk.h"

namespace {

void ExpectNames(std::initializer_list<DxName> names) { ExpectDxNames(ThreeFamilyDXResultName, names); }

TEST(ThreeFamilyDxResultNames, OnlyDirectDrawDirect3DAndDirectSoundHoldNames) {
  const size_t expected[kFamilyCount] = {107, 52, 0, 17, 0, 0};
  for (int i = 0; i < kFamilyCount; ++i) {
    EXPECT_EQ(WalkDxNameTable(kFamilyTables[i]).size(), expected[i]) << "family " << i + 1;
  }
}

TEST(ThreeFamilyDxResultNames, SharedCodesFallToDirectSound) {
  ExpectNames({{0x80004002, 0, "DSERR_NOINTERFACE"}, {0x80040110, 0, "DSERR_NOAGGREGATION"},
               {0x80070057, 0, "DDERR_INVALIDPARAMS"}, {0x80070057, 4, "DSERR_INVALIDPARAM"},
               // The missing family's own table answers nothing, so the search decides.
               {0x80070057, 3, "DDERR_INVALIDPARAMS"}, {0, 3, "DD_OK"}});
}

TEST(ThreeFamilyDxResultNames, CodesOfTheMissingFamiliesAreUndefined) {
  // DI_NOTATTACHED, E_PENDING and DPERR_PENDING, DPERR_ALREADYINITIALIZED, DMUS_E_DRIVER_FAILED, E_POINTER.
  ExpectNames({{1, 0, "DXERR_UNDEFINED"}, {0x8000000A, 0, "DXERR_UNDEFINED"}, {0x88770005, 5, "DXERR_UNDEFINED"},
               {0x88781101, 6, "DXERR_UNDEFINED"}, {0x80004003, 0, "DXERR_UNDEFINED"}});
}

TEST(ThreeFamilyDxResultNames, KeptFamiliesAnswerAsInKorvathd) {
  ExpectNames({{0, 0, "DX_OK"}, {0, 1, "DD_OK"}, {0, 4, "DS_OK"}, {0, 8, "DD_OK"},
               {0x887601C2, 0, "DDERR_SURFACELOST"}, {0x88760817, 2, "D3DERR_STENCILBUFFER_NOTPRESENT"},
               {0x88780096, 0, "DSERR_BUFFERLOST"}, {0x12345678, 0, "DXERR_UNDEFINED"}});
}

}  // namespace
