// Our Windows headers against the SDK: Windows widths and the 64-bit Windows
// sizes of records, whatever the host's long is.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <type_traits>

namespace {

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4, "unsigned widths");
static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(HRESULT) == 4, "32-bit even on LP64");
static_assert(sizeof(BOOL) == 4 && sizeof(INT) == 4 && sizeof(UINT) == 4, "int widths");
static_assert(sizeof(WCHAR) == 2, "UTF-16 code units");
static_assert(std::is_signed<LONG>::value && std::is_signed<HRESULT>::value, "signed");
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
                  sizeof(LRESULT) == sizeof(void*) && sizeof(UINT_PTR) == sizeof(void*) &&
                  sizeof(LONG_PTR) == sizeof(void*) && sizeof(SIZE_T) == sizeof(void*),
              "pointer-sized");
static_assert(std::is_signed<LPARAM>::value && !std::is_signed<WPARAM>::value, "signedness of message parameters");
static_assert(sizeof(GUID) == 16 && sizeof(RECT) == 16 && sizeof(POINT) == 8 && sizeof(SIZE) == 8, "records");
static_assert(!std::is_same<HWND, HINSTANCE>::value && !std::is_same<HWND, HDC>::value, "distinct handle types");
static_assert(std::is_same<HMODULE, HINSTANCE>::value && std::is_same<HLOCAL, HANDLE>::value, "handle aliases");
static_assert(std::is_same<REFIID, const IID&>::value, "GUIDs by reference in C++");
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(SECURITY_ATTRIBUTES) == 24 && sizeof(OVERLAPPED) == 32, "64-bit Windows sizes");
#endif

TEST(SdkTypes, HresultMacrosTreatSuccessCodesAsSuccess) {
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_TRUE(FAILED(CO_E_NOTINITIALIZED));
  EXPECT_EQ(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_ACCESS_DENIED), E_ACCESSDENIED);
}

TEST(SdkTypes, LanguageIdentifiersPackPrimaryAndSublanguage) {
  EXPECT_EQ(LANG_USER_DEFAULT, 0x400);
  EXPECT_EQ(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 0x411);
  EXPECT_EQ(PRIMARYLANGID(0x411), LANG_JAPANESE);
  EXPECT_EQ(SUBLANGID(0x411), SUBLANG_DEFAULT);
}

TEST(SdkTypes, GuidsCompareByAllSixteenBytes) {
  const GUID a = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  GUID b = a;
  EXPECT_TRUE(IsEqualGUID(a, b));
  EXPECT_TRUE(a == b);
  b.Data4[7] = 12;
  EXPECT_FALSE(IsEqualGUID(a, b));
  EXPECT_TRUE(a != b);
  EXPECT_EQ(IID_IUnknown.Data4[0], 0xC0);
  EXPECT_EQ(IID_IUnknown.Data4[7], 0x46);
}

TEST(SdkTypes, InvalidValuesAreAllBitsSet) {
  EXPECT_EQ(reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE), -1);
  EXPECT_EQ(INVALID_FILE_SIZE, 0xFFFFFFFFu);
  EXPECT_EQ(INVALID_SET_FILE_POINTER, 0xFFFFFFFFu);
}

}  // namespace
