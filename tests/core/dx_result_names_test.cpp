// KRErrorGetDXResultName: the name of a DirectX result, looked up in the
// caller's family first and then in every family in a fixed order.
#include "core/dx_result_names.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "dx_result_names_walk.h"

namespace {

void ExpectNames(std::initializer_list<DxName> names) { ExpectDxNames(KRErrorGetDXResultName, names); }

TEST(DxResultNames, SuccessIsDxOkOnlyWithoutAFamily) {
  ExpectNames({{0, 0, "DX_OK"}, {0, 1, "DD_OK"}, {0, 2, "D3D_OK"}, {0, 3, "DI_OK"}, {0, 4, "DS_OK"},
               {0, 5, "DP_OK"}, {0, 6, "DMUS_OK"},
               // Past the last family the number means nothing, but 0 is then found in DirectDraw.
               {0, 7, "DD_OK"}, {0, 1000, "DD_OK"}});
}

TEST(DxResultNames, FamilyNamesTheCodesItShares) {
  ExpectNames({{0x80070057, 3, "DIERR_INVALIDPARAM"}, {0x80070057, 4, "DSERR_INVALIDPARAM"},
               {0x80070057, 5, "DPERR_INVALIDPARAM"}, {0x80070057, 6, "E_INVALIDARG"},
               {0x8007000E, 5, "DPERR_NOMEMORY"}, {0x8000000A, 5, "DPERR_PENDING"},
               {0x80004002, 4, "DSERR_NOINTERFACE"}, {0x80070005, 3, "DIERR_OTHERAPPHASPRIO"},
               {1, 3, "DI_NOTATTACHED"}});
}

TEST(DxResultNames, WithoutAFamilyTheFirstFamilyInOrderNamesACode) {
  ExpectNames({{0x887601C2, 0, "DDERR_SURFACELOST"}, {0x80004005, 0, "DDERR_GENERIC"},
               {0x8007000E, 0, "DDERR_OUTOFMEMORY"}, {0x80070057, 0, "DDERR_INVALIDPARAMS"},
               {0x80004001, 0, "DDERR_UNSUPPORTED"},
               // DirectDraw and Direct3D have no names for these; DirectInput comes next.
               {0x80004002, 0, "DIERR_NOINTERFACE"}, {0x80040110, 0, "DIERR_NOAGGREGATION"},
               {0x8000000A, 0, "E_PENDING"}, {1, 0, "DI_NOTATTACHED"},
               {0x80004003, 0, "E_POINTER"}});  // only DirectMusic has it
}

TEST(DxResultNames, CodeOutsideTheGivenFamilyFallsBackToTheSearch) {
  // Direct3D has no name for E_FAIL, DirectSound none for a DirectDraw code.
  ExpectNames({{0x80004005, 2, "DDERR_GENERIC"}, {0x887601C2, 4, "DDERR_SURFACELOST"},
               {0x88770005, 1, "DPERR_ALREADYINITIALIZED"},
               // A family number past the last one searches straight away.
               {0x80004002, 7, "DIERR_NOINTERFACE"}, {0x88781101, 99, "DMUS_E_DRIVER_FAILED"}});
}

TEST(DxResultNames, UnknownCodeIsUndefinedInEveryFamily) {
  for (int family = 0; family <= 7; ++family) ExpectNames({{0x12345678, family, "DXERR_UNDEFINED"}});
  // Inside a DirectX facility, but no name has this code.
  ExpectNames({{0x887601C3, 0, "DXERR_UNDEFINED"}});
}

TEST(DxResultNames, CodeIsTheLow32BitsOfTheResult) {
  // A 64-bit long may carry the code unsigned rather than sign-extended.
  EXPECT_STREQ(KRErrorGetDXResultName(static_cast<long>(INT64_C(0x887601C2)), 0), "DDERR_SURFACELOST");
  EXPECT_STREQ(KRErrorGetDXResultName(-2005532222L, 0), "DDERR_SURFACELOST");
}

}  // namespace
