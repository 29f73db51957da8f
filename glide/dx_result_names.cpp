// Ondrel's own copy of the DirectX result-name lookup, with the three families it meets.
#define KR_DXNAMES_THREE_FAMILIES
#define KR_DXNAMES_FUNCTION OndrelDXResultName
#include "core/dx_result_names.cpp"
