// KR3DMATRIX: every member against hand-worked values, the shared product and Transform's w.
#include <gtest/gtest.h>
#include <korvathd.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

const float kPi = 3.14159265358979f;
const double kTolerance = 1e-6;

// Matrices of static storage are only zero-initialised: the constructor must not touch them.
KR3DMATRIX gStaticMatrix;

float D3DMATRIX::* const kElements[16] = {
    &D3DMATRIX::_11, &D3DMATRIX::_12, &D3DMATRIX::_13, &D3DMATRIX::_14,
    &D3DMATRIX::_21, &D3DMATRIX::_22, &D3DMATRIX::_23, &D3DMATRIX::_24,
    &D3DMATRIX::_31, &D3DMATRIX::_32, &D3DMATRIX::_33, &D3DMATRIX::_34,
    &D3DMATRIX::_41, &D3DMATRIX::_42, &D3DMATRIX::_43, &D3DMATRIX::_44,
};

// 16 elements, row by row (_11, _12, ... _44).
KR3DMATRIX Rows(std::initializer_list<float> values) {
  KR3DMATRIX m;
  int i = 0;
  for (float value : values) m.*kElements[i++] = value;
  return m;
}

// 1 to 16, row by row: every element distinct.
KR3DMATRIX Counting() {
  return Rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
}

// -1 to -16, row by row.
KR3DMATRIX& Negative() {
  static KR3DMATRIX m = Rows({-1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13, -14, -15, -16});
  return m;
}

void ExpectRows(const KR3DMATRIX& m, const std::vector<float>& expected) {
  int i = 0;
  for (float value : expected) {
    SCOPED_TRACE("_" + std::to_string(i / 4 + 1) + std::to_string(i % 4 + 1));
    EXPECT_NEAR(m.*kElements[i], value, kTolerance);
    ++i;
  }
}

void ExpectSame(const KR3DMATRIX& m, const KR3DMATRIX& expected) {
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE("_" + std::to_string(i / 4 + 1) + std::to_string(i % 4 + 1));
    EXPECT_NEAR(m.*kElements[i], expected.*kElements[i], kTolerance);
  }
}

void ExpectVector(const D3DVECTOR& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, kTolerance);
  EXPECT_NEAR(v.y, y, kTolerance);
  EXPECT_NEAR(v.z, z, kTolerance);
}

D3DVECTOR Vector(float x, float y, float z) { return D3DVECTOR{x, y, z}; }

// A member call applied to the counting matrix, and every element it must leave.
struct SetCase {
  const char* what;
  void (*set)(KR3DMATRIX&);
  std::vector<float> rows;
};
void ExpectEachFromCounting(const std::vector<SetCase>& cases) {
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.what);
    KR3DMATRIX m = Counting();
    c.set(m);
    ExpectRows(m, c.rows);
  }
}

TEST(MatrixLayout, SixteenFloatsRowByRowAndStaticMatricesStayZero) {
  EXPECT_EQ(sizeof(KR3DMATRIX), 64u);
  EXPECT_EQ(offsetof(D3DMATRIX, _14), 12u);
  EXPECT_EQ(offsetof(D3DMATRIX, _41), 48u);
  EXPECT_EQ(offsetof(D3DMATRIX, _44), 60u);
  ExpectRows(gStaticMatrix, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  static KR3DMATRIX local;
  ExpectRows(local, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(MatrixSet, ZeroIdentityTranslateAndScaleReplaceEveryElement) {
  ExpectEachFromCounting({
      {"zero", [](KR3DMATRIX& m) { m.SetZero(); }, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"identity", [](KR3DMATRIX& m) { m.SetIdentity(); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"translate", [](KR3DMATRIX& m) { m.SetTranslate(1, 2, 3); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
      {"translate by vector", [](KR3DMATRIX& m) { m.SetTranslate(Vector(-4, 5, -6)); },
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -4, 5, -6, 1}},
      {"scale", [](KR3DMATRIX& m) { m.SetScale(2, 3, 4); }, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}},
      {"uniform scale", [](KR3DMATRIX& m) { m.SetScale(5); }, {5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1}},
      {"scale by vector", [](KR3DMATRIX& m) { m.SetScale(Vector(6, 7, 8)); },
       {6, 0, 0, 0, 0, 7, 0, 0, 0, 0, 8, 0, 0, 0, 0, 1}},
  });
}

// cos(pi/6) = 0.8660254, sin(pi/6) = 0.5.
TEST(MatrixSet, SingleAxisRotationsHaveTheirSigns) {
  static const float c = 0.8660254f;
  ExpectEachFromCounting({
      {"x", [](KR3DMATRIX& m) { m.SetRotateX(kPi / 6); }, {1, 0, 0, 0, 0, c, 0.5f, 0, 0, -0.5f, c, 0, 0, 0, 0, 1}},
      {"y", [](KR3DMATRIX& m) { m.SetRotateY(kPi / 6); }, {c, 0, -0.5f, 0, 0, 1, 0, 0, 0.5f, 0, c, 0, 0, 0, 0, 1}},
      {"z", [](KR3DMATRIX& m) { m.SetRotateZ(kPi / 6); }, {c, 0.5f, 0, 0, -0.5f, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
  });
  KR3DMATRIX m;

  // A quarter turn takes +y to +z about X, +z to +x about Y, +x to +y about Z.
  m.SetRotateX(kPi / 2);
  ExpectVector(m.Transform(0, 1, 0), 0, 0, 1);
  m.SetRotateY(kPi / 2);
  ExpectVector(m.Transform(0, 0, 1), 1, 0, 0);
  m.SetRotateZ(kPi / 2);
  ExpectVector(m.Transform(1, 0, 0), 0, 1, 0);
}

// x = pi/3, y = pi/6, z = pi/4: cx 0.5, sx 0.8660254, cy 0.8660254, sy 0.5, cz = sz = 0.7071068.
TEST(MatrixSet, RotateXYZIsItsNineFormulasNotAProduct) {
  KR3DMATRIX m = Counting();
  m.SetRotateXYZ(kPi / 3, kPi / 6, kPi / 4);
  ExpectRows(m, {0.6123724f, 0.7071068f, -0.5f, 0, -0.7071068f, 0.3535534f, 0.8660254f, 0,
                 0.5f, -0.8660254f, 0.4330127f, 0, 0, 0, 0, 1});

  KR3DMATRIX single;
  m.SetRotateXYZ(0, 0, 0);
  ExpectRows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  m.SetRotateXYZ(0.7f, 0, 0);
  single.SetRotateX(0.7f);
  ExpectSame(m, single);
  m.SetRotateXYZ(0, 0.7f, 0);
  single.SetRotateY(0.7f);
  ExpectSame(m, single);
  m.SetRotateXYZ(0, 0, 0.7f);
  single.SetRotateZ(0.7f);
  ExpectSame(m, single);

  // With two angles the product has _21 = sx * sy; the formulas keep -sin z = 0.
  KR3DMATRIX product;
  product.SetRotateX(kPi / 3);
  product.RotateY(kPi / 6);
  m.SetRotateXYZ(kPi / 3, kPi / 6, 0);
  EXPECT_NEAR(product._21, 0.4330127f, kTolerance);
  EXPECT_NEAR(m._21, 0.0f, kTolerance);
}

TEST(MatrixSet, ProjectionRoundsToFloatAndKeepsW) {
  KR3DMATRIX m = Counting();
  m.SetProjection(1.0f, 2.0f, kPi / 2);
  ExpectRows(m, {0.7071068f, 0, 0, 0, 0, 0.7071068f, 0, 0, 0, 0, 1.4142136f, 0.7071068f, 0, 0,
                 -1.4142136f, 1});

  // fov pi/3: c 0.8660254, s 0.5, Q = 0.5 / (1 - 10/1000) = 0.5050505.
  m.SetProjection(10.0f, 1000.0f, kPi / 3);
  ExpectRows(m, {0.8660254f, 0, 0, 0, 0, 0.8660254f, 0, 0, 0, 0, 0.5050505f, 0.5f, 0, 0,
                 -5.0505051f, 1});
}

TEST(MatrixSet, ViewLooksAlongItsDirectionWithRightFromUpCrossView) {
  KR3DMATRIX m = Counting();
  m.SetView(Vector(0, 0, -80), Vector(0, 0, 0), Vector(0, 1, 0), 0.0f);
  ExpectRows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 80, 1});
  m.SetView(Vector(3, 4, -80), Vector(3, 4, 0), Vector(0, 1, 0), 0.0f);
  ExpectRows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -3, -4, 80, 1});

  // From +x looking at the origin: view (-1, 0, 0), right = up x view = (0, 0, 1).
  m.SetView(Vector(10, 0, 0), Vector(0, 0, 0), Vector(0, 1, 0), 0.0f);
  ExpectRows(m, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 10, 1});
  ExpectVector(m.Transform(10, 0, 0), 0, 0, 0);
  ExpectVector(m.Transform(0, 0, 5), 5, 0, 10);

  // An up vector off the perpendicular is straightened: up' = view x right.
  m.SetView(Vector(0, 0, 0), Vector(0, 0, 1), Vector(0, 1, 1), 0.0f);
  ExpectRows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(MatrixSet, ViewRollTurnsByMinusRollFirst) {
  KR3DMATRIX m;
  m.SetView(Vector(0, 0, -80), Vector(0, 0, 0), Vector(0, 1, 0), kPi / 2);
  ExpectRows(m, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 80, 1});
  ExpectVector(m.Transform(1, 0, 0), 0, -1, 80);

  // R(-roll) times the view, not the view times R: the two differ off the z axis.
  m.SetView(Vector(10, 0, 0), Vector(0, 0, 0), Vector(0, 1, 0), kPi / 2);
  ExpectRows(m, {0, -1, 0, 0, 0, 0, -1, 0, 1, 0, 0, 0, 0, 0, 10, 1});
}

TEST(MatrixPostMultiply, StepsApplyAfterWhatTheMatrixAlreadyDoes) {
  KR3DMATRIX m;
  m.SetIdentity();
  m.Translate(5, 0, 0);
  m.RotateZ(kPi / 2);
  ExpectVector(m.Transform(0, 0, 0), 0, 5, 0);

  m.SetTranslate(0, 1, 0);
  m.RotateX(kPi / 2);
  ExpectVector(m.Transform(0, 0, 0), 0, 0, 1);
  m.SetTranslate(0, 0, 1);
  m.RotateY(kPi / 2);
  ExpectVector(m.Transform(0, 0, 0), 1, 0, 0);

  m.SetScale(2);
  m.Translate(1, 2, 3);
  ExpectVector(m.Transform(1, 1, 1), 3, 4, 5);
  m.SetScale(2);
  m.Translate(Vector(1, 2, 3));
  ExpectVector(m.Transform(1, 1, 1), 3, 4, 5);
}

TEST(MatrixPostMultiply, ScaleOfATranslationScalesItAndEveryOverloadAgrees) {
  ExpectEachFromCounting({
      {"scale", [](KR3DMATRIX& m) { m.SetTranslate(1, 2, 3), m.Scale(2, 2, 2); },
       {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 1}},
      {"uniform", [](KR3DMATRIX& m) { m.SetTranslate(1, 2, 3), m.Scale(2); },
       {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 1}},
      {"vector", [](KR3DMATRIX& m) { m.SetTranslate(1, 2, 3), m.Scale(Vector(2, 3, 4)); },
       {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 2, 6, 12, 1}},
      // SetScale replaces the translation instead.
      {"set scale", [](KR3DMATRIX& m) { m.SetTranslate(1, 2, 3), m.SetScale(Vector(2, 2, 2)); },
       {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}},
  });
}

// A is 1..16; B doubles x, swaps y and z and adds w to x.
TEST(MatrixProduct, RowTimesColumnInTheOrderGiven) {
  KR3DMATRIX a = Counting();
  KR3DMATRIX b = Rows({2, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
  KR3DMATRIX ab;
  ab = a * b;
  ExpectRows(ab, {6, 3, 2, 4, 18, 7, 6, 8, 30, 11, 10, 12, 42, 15, 14, 16});
  KR3DMATRIX ba;
  ba = b * a;
  ExpectRows(ba, {2, 4, 6, 8, 9, 10, 11, 12, 5, 6, 7, 8, 14, 16, 18, 20});
  ExpectSame(a, Counting());  // operands unchanged
}

TEST(MatrixProduct, OneSharedResultThatTheNextProductOverwrites) {
  KR3DMATRIX a = Counting();
  KR3DMATRIX b = Rows({2, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
  KR3DMATRIX& shared = a * b;
  KR3DMATRIX kept;
  kept = shared;
  EXPECT_EQ(&(b * a), &shared);
  ExpectRows(shared, {2, 4, 6, 8, 9, 10, 11, 12, 5, 6, 7, 8, 14, 16, 18, 20});
  ExpectRows(kept, {6, 3, 2, 4, 18, 7, 6, 8, 30, 11, 10, 12, 42, 15, 14, 16});

  // The post-multiplying members and a rolled view go through the same product.
  KR3DMATRIX m;
  m.SetIdentity();
  m.Translate(1, 2, 3);
  ExpectSame(shared, m);
  m.SetView(Vector(0, 0, -80), Vector(0, 0, 0), Vector(0, 1, 0), kPi / 2);
  ExpectSame(shared, m);
}

TEST(MatrixProduct, ChainedProductUsesTheSharedResultAsAnOperandSafely) {
  KR3DMATRIX a = Counting();
  KR3DMATRIX b = Rows({2, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
  KR3DMATRIX abb;
  abb = a * b * b;
  ExpectRows(abb, {16, 2, 3, 4, 44, 6, 7, 8, 72, 10, 11, 12, 100, 14, 15, 16});
  KR3DMATRIX squared;
  squared = b * (a * b);  // the shared result as right operand
  ExpectRows(squared, {12, 6, 4, 8, 30, 11, 10, 12, 18, 7, 6, 8, 48, 18, 16, 20});
}

TEST(MatrixTransform, DividesByWOnlyWhenItIsNotZero) {
  KR3DMATRIX m;
  m.SetTranslate(1, 2, 3);
  ExpectVector(m.Transform(0, 0, 0), 1, 2, 3);
  ExpectVector(m.Transform(Vector(1, 1, 1)), 2, 3, 4);

  // w = z + 1.
  m.SetIdentity();
  m._34 = 1;
  ExpectVector(m.Transform(2, 3, -1), 2, 3, -1);  // w 0: undivided
  ExpectVector(m.Transform(2, 3, 1), 1, 1.5f, 0.5f);
  ExpectVector(m.Transform(2, 3, -3), -1, -1.5f, 1.5f);

  // Projection: w = s * z + 1 with s = 0.7071068.
  m.SetProjection(1.0f, 2.0f, kPi / 2);
  ExpectVector(m.Transform(0, 0, 2), 0, 0, 0.5857864f);
  ExpectVector(m.Transform(Vector(1, 1, 1)), 0.4142136f, 0.4142136f, 0);
}

TEST(MatrixCopy, AssignmentTransposeAndPartialCopies) {
  KR3DMATRIX m;
  KR3DMATRIX& self = (m = Counting());
  EXPECT_EQ(&self, &m);
  ExpectSame(m, Counting());

  m.Transpose();
  ExpectRows(m, {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16});

  ExpectEachFromCounting({
      {"rotate", [](KR3DMATRIX& m) { m.CopyRotate(Negative()); },
       {-1, -2, -3, 4, -5, -6, -7, 8, -9, -10, -11, 12, 13, 14, 15, 16}},
      {"scale", [](KR3DMATRIX& m) { m.CopyScale(Negative()); },
       {-1, 2, 3, 4, 5, -6, 7, 8, 9, 10, -11, 12, 13, 14, 15, 16}},
      {"translate", [](KR3DMATRIX& m) { m.CopyTranslate(Negative()); },
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -13, -14, -15, 16}},
  });
}

}  // namespace
