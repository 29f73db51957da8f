// The matrix and colour members imported from the real KORVATHD.DLL: class members cross the
// DLL boundary, including the product's shared result that lives inside the DLL.
#include <gtest/gtest.h>
#include <korvathd.h>

namespace {

const float kPi = 3.14159265358979f;
const double kTolerance = 1e-6;

D3DVECTOR Vector(float x, float y, float z) { return D3DVECTOR{{x}, {y}, {z}}; }  // each member a union of two names

void ExpectVector(const D3DVECTOR& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, kTolerance);
  EXPECT_NEAR(v.y, y, kTolerance);
  EXPECT_NEAR(v.z, z, kTolerance);
}

TEST(MatrixOnWindows, ViewAndProjectionBuiltInTheDllTransformAPoint) {
  KR3DMATRIX view;
  view.SetView(Vector(0, 0, -80), Vector(0, 0, 0), Vector(0, 1, 0), 0.0f);
  EXPECT_NEAR(view._43, 80.0f, kTolerance);
  KR3DMATRIX projection;
  projection.SetProjection(1.0f, 2.0f, kPi / 2);
  EXPECT_NEAR(projection._34, 0.7071068f, kTolerance);
  EXPECT_EQ(projection._44, 1.0f);

  // The origin lies 80 ahead: z' = 80 Q - Q, w = 80 s + 1.
  KR3DMATRIX both;
  both = view * projection;
  D3DVECTOR origin = both.Transform(Vector(0, 0, 0));
  EXPECT_NEAR(origin.x, 0.0f, kTolerance);
  EXPECT_NEAR(origin.z, 1.4142136 * 79 / (0.7071068 * 80 + 1), 1e-5);
}

TEST(MatrixOnWindows, TheSharedProductResultIsOneObjectInsideTheDll) {
  KR3DMATRIX a;
  KR3DMATRIX b;
  a.SetTranslate(5, 0, 0);
  b.SetRotateZ(kPi / 2);
  KR3DMATRIX& shared = a * b;
  ExpectVector(shared.Transform(0, 0, 0), 0, 5, 0);

  KR3DMATRIX m;
  m.SetIdentity();
  m.Scale(2, 3, 4);  // overwrites the shared result from inside the DLL
  EXPECT_NEAR(shared._22, 3.0f, kTolerance);
  EXPECT_NEAR(shared._41, 0.0f, kTolerance);
  EXPECT_EQ(&(b * a), &shared);
  m.SetScale(2, 3, 4);
  m.Translate(1, 1, 1);
  EXPECT_NEAR(shared._41, 1.0f, kTolerance);
  EXPECT_NEAR(shared._11, 2.0f, kTolerance);

  KR3DMATRIX chained;
  chained = a * b * b;  // two quarter turns after the translation
  ExpectVector(chained.Transform(0, 0, 0), -5, 0, 0);
}

TEST(MatrixOnWindows, ColourMembersComeFromTheDll) {
  KR3DCOLORRGB colour(0.25f, 0.5f, 0.75f);
  KR3DCOLORRGB copy;
  copy = colour;
  EXPECT_EQ(copy.r, 0.25f);
  EXPECT_EQ(copy.g, 0.5f);
  EXPECT_EQ(copy.b, 0.75f);
}

}  // namespace
