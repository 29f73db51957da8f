// KR3DCOLORRGB: three floats in the order red, green, blue.
#include <gtest/gtest.h>
#include <korvathd.h>

#include <cstddef>

namespace {

KR3DCOLORRGB gStaticColour;  // static storage: the constructor leaves the zero bytes

TEST(ColourRGB, LayoutConstructionAndAssignment) {
  EXPECT_EQ(sizeof(KR3DCOLORRGB), 12u);
  EXPECT_EQ(offsetof(KR3DCOLORRGB, g), 4u);
  EXPECT_EQ(offsetof(KR3DCOLORRGB, b), 8u);
  EXPECT_EQ(gStaticColour.r, 0.0f);
  EXPECT_EQ(gStaticColour.g, 0.0f);
  EXPECT_EQ(gStaticColour.b, 0.0f);

  KR3DCOLORRGB colour(0.25f, 0.5f, 0.75f);
  EXPECT_EQ(colour.r, 0.25f);
  EXPECT_EQ(colour.g, 0.5f);
  EXPECT_EQ(colour.b, 0.75f);

  KR3DCOLORRGB copy(1, 1, 1);
  KR3DCOLORRGB& self = (copy = colour);
  EXPECT_EQ(&self, &copy);
  EXPECT_EQ(copy.r, 0.25f);
  EXPECT_EQ(copy.g, 0.5f);
  EXPECT_EQ(copy.b, 0.75f);
}

}  // namespace
