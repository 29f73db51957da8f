// KR3DMATRIX: building, combining and applying 4x4 transforms (row vectors).
#include <korvathd.h>

#include <cmath>

namespace {

typedef float Elements[4][4];  // [row][column]

float D3DMATRIX::* const kElements[4][4] = {
    {&D3DMATRIX::_11, &D3DMATRIX::_12, &D3DMATRIX::_13, &D3DMATRIX::_14},
    {&D3DMATRIX::_21, &D3DMATRIX::_22, &D3DMATRIX::_23, &D3DMATRIX::_24},
    {&D3DMATRIX::_31, &D3DMATRIX::_32, &D3DMATRIX::_33, &D3DMATRIX::_34},
    {&D3DMATRIX::_41, &D3DMATRIX::_42, &D3DMATRIX::_43, &D3DMATRIX::_44},
};

void Read(const D3DMATRIX& m, Elements out) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out[i][j] = m.*kElements[i][j];
}

void Write(D3DMATRIX& m, const Elements in) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m.*kElements[i][j] = in[i][j];
}

struct Vector3 {
  double x, y, z;
};

Vector3 Difference(const D3DVECTOR& a, const D3DVECTOR& b) {
  return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vector3& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A zero-length vector gives non-finite components; the caller's degenerate view stays visible.
Vector3 Normalized(const Vector3& v) {
  double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length};
}

D3DVECTOR MakeVector(float x, float y, float z) {
  D3DVECTOR v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

}  // namespace

// Elements stay unset: static matrices keep their zero bytes.
KR3DMATRIX::KR3DMATRIX() {}

KR3DMATRIX& KR3DMATRIX::operator=(const KR3DMATRIX& m) {
  Elements e;
  Read(m, e);
  Write(*this, e);
  return *this;
}

// Both operands are read in full before the shared result is written, so either may be the
// shared result itself: a * b * c multiplies correctly.
KR3DMATRIX& KR3DMATRIX::operator*(const KR3DMATRIX& m) {
  static KR3DMATRIX result;
  Elements a, b, r;
  Read(*this, a);
  Read(m, b);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(a[i][k]) * b[k][j];
      r[i][j] = float(sum);
    }
  }
  Write(result, r);
  return result;
}

void KR3DMATRIX::SetZero() {
  Elements zero = {};
  Write(*this, zero);
}

void KR3DMATRIX::SetIdentity() {
  SetZero();
  _11 = _22 = _33 = _44 = 1.0f;
}

void KR3DMATRIX::SetTranslate(float x, float y, float z) {
  SetIdentity();
  _41 = x;
  _42 = y;
  _43 = z;
}

void KR3DMATRIX::SetTranslate(D3DVECTOR v) { SetTranslate(v.x, v.y, v.z); }

void KR3DMATRIX::SetScale(float x, float y, float z) {
  SetIdentity();
  _11 = x;
  _22 = y;
  _33 = z;
}

void KR3DMATRIX::SetScale(float s) { SetScale(s, s, s); }

void KR3DMATRIX::SetScale(D3DVECTOR v) { SetScale(v.x, v.y, v.z); }

// Positive angles turn +y toward +z (X), +z toward +x (Y) and +x toward +y (Z).
void KR3DMATRIX::SetRotateX(float a) {
  SetIdentity();
  _22 = float(std::cos(a));
  _23 = float(std::sin(a));
  _32 = -_23;
  _33 = _22;
}

void KR3DMATRIX::SetRotateY(float a) {
  SetIdentity();
  _11 = float(std::cos(a));
  _31 = float(std::sin(a));
  _13 = -_31;
  _33 = _11;
}

void KR3DMATRIX::SetRotateZ(float a) {
  SetIdentity();
  _11 = float(std::cos(a));
  _12 = float(std::sin(a));
  _21 = -_12;
  _22 = _11;
}

// Nine element formulas, not the product of the three single-axis rotations; the two agree
// only while at most one angle is non-zero.
void KR3DMATRIX::SetRotateXYZ(float x, float y, float z) {
  double cx = std::cos(x), sx = std::sin(x);
  double cy = std::cos(y), sy = std::sin(y);
  double cz = std::cos(z), sz = std::sin(z);
  SetIdentity();
  _11 = float(cy * cz);
  _12 = float(sz);
  _13 = float(-sy);
  _21 = float(-sz);
  _22 = float(cx * cz);
  _23 = float(sx);
  _31 = float(sy);
  _32 = float(-sx);
  _33 = float(cx * cy);
}

// _44 stays 1, so a point at depth z gets w = s * z + 1.
void KR3DMATRIX::SetProjection(float nearPlane, float farPlane, float fov) {
  float c = float(std::cos(fov / 2.0));
  float s = float(std::sin(fov / 2.0));
  float q = float(s / (1.0 - double(nearPlane) / farPlane));
  SetIdentity();
  _11 = c;
  _22 = c;
  _33 = q;
  _34 = s;
  _43 = -q * nearPlane;
}

// Look-at view: right = up x view first, then the true up = view x right.
void KR3DMATRIX::SetView(const D3DVECTOR& from, const D3DVECTOR& at, const D3DVECTOR& up, float roll) {
  Vector3 view = Normalized(Difference(at, from));
  Vector3 upIn = {up.x, up.y, up.z};
  Vector3 right = Cross(upIn, view);
  Vector3 trueUp = Normalized(Cross(view, right));
  right = Normalized(right);

  SetIdentity();
  _11 = float(right.x);
  _21 = float(right.y);
  _31 = float(right.z);
  _12 = float(trueUp.x);
  _22 = float(trueUp.y);
  _32 = float(trueUp.z);
  _13 = float(view.x);
  _23 = float(view.y);
  _33 = float(view.z);
  _41 = float(-Dot(right, from));
  _42 = float(-Dot(trueUp, from));
  _43 = float(-Dot(view, from));

  if (roll != 0.0f) {
    KR3DMATRIX rotation;
    rotation.SetRotateZ(-roll);
    *this = rotation * *this;
  }
}

// The post-multiplying members apply their step after what this matrix already does; each
// goes through the shared product.
void KR3DMATRIX::Translate(float x, float y, float z) {
  KR3DMATRIX step;
  step.SetTranslate(x, y, z);
  *this = *this * step;
}

void KR3DMATRIX::Translate(D3DVECTOR v) { Translate(v.x, v.y, v.z); }

void KR3DMATRIX::Scale(float x, float y, float z) {
  KR3DMATRIX step;
  step.SetScale(x, y, z);
  *this = *this * step;
}

void KR3DMATRIX::Scale(float s) { Scale(s, s, s); }

void KR3DMATRIX::Scale(D3DVECTOR v) { Scale(v.x, v.y, v.z); }

void KR3DMATRIX::RotateX(float a) {
  KR3DMATRIX step;
  step.SetRotateX(a);
  *this = *this * step;
}

void KR3DMATRIX::RotateY(float a) {
  KR3DMATRIX step;
  step.SetRotateY(a);
  *this = *this * step;
}

void KR3DMATRIX::RotateZ(float a) {
  KR3DMATRIX step;
  step.SetRotateZ(a);
  *this = *this * step;
}

void KR3DMATRIX::Transpose() {
  Elements e, t;
  Read(*this, e);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) t[i][j] = e[j][i];
  Write(*this, t);
}

// Divides by w only when it is not 0: a point at infinity comes back undivided.
D3DVECTOR KR3DMATRIX::Transform(float x, float y, float z) {
  float tx = float(double(x) * _11 + double(y) * _21 + double(z) * _31 + _41);
  float ty = float(double(x) * _12 + double(y) * _22 + double(z) * _32 + _42);
  float tz = float(double(x) * _13 + double(y) * _23 + double(z) * _33 + _43);
  float w = float(double(x) * _14 + double(y) * _24 + double(z) * _34 + _44);
  if (w != 0.0f) {
    tx /= w;
    ty /= w;
    tz /= w;
  }
  return MakeVector(tx, ty, tz);
}

D3DVECTOR KR3DMATRIX::Transform(D3DVECTOR v) { return Transform(v.x, v.y, v.z); }

void KR3DMATRIX::CopyRotate(KR3DMATRIX& m) {
  _11 = m._11;
  _12 = m._12;
  _13 = m._13;
  _21 = m._21;
  _22 = m._22;
  _23 = m._23;
  _31 = m._31;
  _32 = m._32;
  _33 = m._33;
}

void KR3DMATRIX::CopyScale(KR3DMATRIX& m) {
  _11 = m._11;
  _22 = m._22;
  _33 = m._33;
}

void KR3DMATRIX::CopyTranslate(KR3DMATRIX& m) {
  _41 = m._41;
  _42 = m._42;
  _43 = m._43;
}
