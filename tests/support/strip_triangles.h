// The triangles an indexed triangle strip draws, each in the strip's drawing
// order (odd positions swapped back so that all share the strip's winding);
// triangles with a repeated index have no area and are left out.
#ifndef KR_TESTS_SUPPORT_STRIP_TRIANGLES_H
#define KR_TESTS_SUPPORT_STRIP_TRIANGLES_H

#include <array>
#include <cstddef>
#include <vector>

template <typename Index>
std::vector<std::array<Index, 3>> StripTriangles(const std::vector<Index>& strip) {
  std::vector<std::array<Index, 3>> triangles;
  for (size_t k = 2; k < strip.size(); ++k) {
    Index a = strip[k - 2], b = strip[k - 1], c = strip[k];
    if (a == b || b == c || a == c) continue;
    if (k % 2 == 1) std::swap(a, b);  // the triangle that starts at an odd position
    triangles.push_back({a, b, c});
  }
  return triangles;
}

#endif
