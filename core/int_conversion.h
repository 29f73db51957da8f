// Numbers from the application turned into pixel positions and sizes. Values
// beyond the int range stop at its ends and NaN gives 0, so that neither a
// float conversion nor a sum of position and size is ever undefined.
#ifndef KR_CORE_INT_CONVERSION_H
#define KR_CORE_INT_CONVERSION_H

#include <climits>
#include <cmath>
#include <cstdint>

// Truncated toward zero like a cast, clamped to the int range; NaN gives 0.
inline int KRFloatToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return INT_MAX;
  if (value <= -2147483649.0) return INT_MIN;
  return static_cast<int>(value);
}

inline int KRClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// a + b, clamped to the int range instead of overflowing.
inline int KRAddClamped(int a, int b) { return KRClampToInt(static_cast<int64_t>(a) + b); }

#endif
