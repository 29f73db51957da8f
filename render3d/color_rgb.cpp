// KR3DCOLORRGB: a red, green, blue value of three floats.
#include <korvathd.h>

// Values stay unset: static colours keep their zero bytes.
KR3DCOLORRGB::KR3DCOLORRGB() {}

KR3DCOLORRGB::KR3DCOLORRGB(float red, float green, float blue) : r(red), g(green), b(blue) {}

KR3DCOLORRGB& KR3DCOLORRGB::operator=(const KR3DCOLORRGB& c) {
  r = c.r;
  g = c.g;
  b = c.b;
  return *this;
}
