// D3DX math against hand-worked values: row vectors, left-handed projections,
// quaternion order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/d3d9/MatrixMath.h"
#include "platform/d3dx/d3dx9math.h"

namespace {

constexpr float kEps = 1e-5f;
const float kHalfPi = D3DX_PI / 2;

void ExpectVec(const D3DXVECTOR3& v, float x, float y, float z, float eps = kEps) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = kEps) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i << j;
}

// The same rotation: q and -q are equal as rotations.
void ExpectSameRotation(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float eps = kEps) {
  const float sign = D3DXQuaternionDot(&a, &b) < 0 ? -1.0f : 1.0f;
  EXPECT_NEAR(a.x, sign * b.x, eps);
  EXPECT_NEAR(a.y, sign * b.y, eps);
  EXPECT_NEAR(a.z, sign * b.z, eps);
  EXPECT_NEAR(a.w, sign * b.w, eps);
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, const D3DXVECTOR3& p) {
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &p, &m);
  return out;
}

TEST(Matrices, RowVectorsComposeLeftToRight) {
  D3DXMATRIX t, s, ts;
  D3DXMatrixTranslation(&t, 1, 2, 3);
  D3DXMatrixScaling(&s, 2, 2, 2);
  D3DXMatrixMultiply(&ts, &t, &s);  // translate, then scale
  ExpectVec(Apply(ts, D3DXVECTOR3(1, 0, 0)), 4, 4, 6);
  EXPECT_EQ(ts._41, 2.0f);
  // Operators and an out argument that aliases an input give the same product.
  D3DXMATRIX aliased = t;
  D3DXMatrixMultiply(&aliased, &aliased, &s);
  EXPECT_TRUE(aliased == t * s);
  D3DXMATRIX transposed;
  D3DXMatrixTranspose(&transposed, &t);
  EXPECT_EQ(transposed._14, 1.0f);
  EXPECT_EQ(transposed._34, 3.0f);
  EXPECT_EQ(transposed._41, 0.0f);
}

TEST(Matrices, InverseTimesMatrixIsIdentityAndSingularFails) {
  D3DXMATRIX r, s, t, m, inverse, product, identity;
  D3DXMatrixRotationYawPitchRoll(&r, 0.3f, -1.1f, 2.0f);
  D3DXMatrixScaling(&s, 2, 3, 4);
  D3DXMatrixTranslation(&t, -5, 7, 11);
  m = s * r * t;
  float det = 0;
  ASSERT_NE(D3DXMatrixInverse(&inverse, &det, &m), nullptr);
  EXPECT_NEAR(det, 24.0f, 1e-3f);
  EXPECT_NEAR(D3DXMatrixDeterminant(&m), 24.0f, 1e-3f);
  D3DXMatrixMultiply(&product, &inverse, &m);
  ExpectMatrixNear(product, *D3DXMatrixIdentity(&identity));

  D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 0, 1);
  float untouched = -7;
  EXPECT_EQ(D3DXMatrixInverse(&inverse, &untouched, &singular), nullptr);
  EXPECT_EQ(untouched, -7.0f);
}

TEST(Matrices, AxisRotationsAreLeftHanded) {
  D3DXMATRIX x, y, z;
  D3DXMatrixRotationX(&x, kHalfPi);
  D3DXMatrixRotationY(&y, kHalfPi);
  D3DXMatrixRotationZ(&z, kHalfPi);
  ExpectVec(Apply(x, D3DXVECTOR3(0, 1, 0)), 0, 0, 1);
  ExpectVec(Apply(y, D3DXVECTOR3(0, 0, 1)), 1, 0, 0);
  ExpectVec(Apply(z, D3DXVECTOR3(1, 0, 0)), 0, 1, 0);

  D3DXMATRIX axis;
  const D3DXVECTOR3 unnormalisedY(0, 5, 0);
  D3DXMatrixRotationAxis(&axis, &unnormalisedY, 0.7f);
  D3DXMatrixRotationY(&y, 0.7f);
  ExpectMatrixNear(axis, y);

  D3DXMATRIX ypr, rx, ry, rz;
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.4f, 0.5f, 0.6f);
  D3DXMatrixRotationY(&ry, 0.4f);
  D3DXMatrixRotationX(&rx, 0.5f);
  D3DXMatrixRotationZ(&rz, 0.6f);
  ExpectMatrixNear(ypr, rz * rx * ry);
}

TEST(Matrices, PerspectiveMapsNearAndFarToZeroAndOne) {
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, kHalfPi, 4.0f / 3.0f, 1.0f, 100.0f);
  ExpectVec(Apply(p, D3DXVECTOR3(0, 0, 1)), 0, 0, 0);
  ExpectVec(Apply(p, D3DXVECTOR3(0, 0, 100)), 0, 0, 1);
  // 45 degrees up at any depth reaches the top edge; sideways the aspect narrows it.
  ExpectVec(Apply(p, D3DXVECTOR3(4, 4, 4)), 0.75f, 1.0f, 75.0f / 99.0f);  // (zf / (zf - zn)) * (1 - zn / z)
  EXPECT_EQ(p._34, 1.0f);
  EXPECT_EQ(p._44, 0.0f);
}

TEST(Matrices, OrthographicAndLookAt) {
  D3DXMATRIX screen;
  D3DXMatrixOrthoOffCenterLH(&screen, 0, 1024, 0, 768, 0, 1);
  ExpectVec(Apply(screen, D3DXVECTOR3(0, 0, 0)), -1, -1, 0);
  ExpectVec(Apply(screen, D3DXVECTOR3(1024, 768, 1)), 1, 1, 1);
  ExpectVec(Apply(screen, D3DXVECTOR3(512, 192, 0.5f)), 0, -0.5f, 0.5f);

  D3DXMATRIX unit;
  D3DXMatrixOrthoLH(&unit, 2, 2, 0, 1);
  ExpectVec(Apply(unit, D3DXVECTOR3(1, -1, 0.25f)), 1, -1, 0.25f);

  D3DXMATRIX view;
  const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  ExpectVec(Apply(view, at), 0, 0, 5);
  ExpectVec(Apply(view, eye), 0, 0, 0);
  ExpectVec(Apply(view, D3DXVECTOR3(1, 2, 0)), 1, 2, 5);
}

TEST(Quaternions, MatchAxisRotationsAndRoundTripThroughMatrices) {
  const D3DXVECTOR3 axis(1, -2, 0.5f);
  D3DXQUATERNION q;
  D3DXQuaternionRotationAxis(&q, &axis, 1.3f);
  D3DXMATRIX fromQuaternion, fromAxis;
  D3DXMatrixRotationQuaternion(&fromQuaternion, &q);
  D3DXMatrixRotationAxis(&fromAxis, &axis, 1.3f);
  ExpectMatrixNear(fromQuaternion, fromAxis);

  // Back from matrices, including half turns where the trace is -1.
  for (float angle : {0.0f, 1.3f, 3.0f, D3DX_PI}) {
    for (const D3DXVECTOR3& a : {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0),
                                 D3DXVECTOR3(0, 0, 1), axis}) {
      D3DXQUATERNION expected, recovered;
      D3DXMATRIX m;
      D3DXQuaternionRotationAxis(&expected, &a, angle);
      D3DXMatrixRotationQuaternion(&m, &expected);
      D3DXQuaternionRotationMatrix(&recovered, &m);
      ExpectSameRotation(recovered, expected, 1e-4f);
    }
  }

  D3DXQUATERNION ypr;
  D3DXMATRIX yprMatrix, yprFromQuaternion;
  D3DXQuaternionRotationYawPitchRoll(&ypr, 0.4f, -0.9f, 2.2f);
  D3DXMatrixRotationYawPitchRoll(&yprMatrix, 0.4f, -0.9f, 2.2f);
  D3DXMatrixRotationQuaternion(&yprFromQuaternion, &ypr);
  ExpectMatrixNear(yprFromQuaternion, yprMatrix);
}

TEST(Quaternions, ProductIsTheFirstRotationFollowedByTheSecond) {
  const D3DXVECTOR3 xAxis(1, 0, 0), yAxis(0, 1, 0);
  D3DXQUATERNION qx, qy, product;
  D3DXQuaternionRotationAxis(&qx, &xAxis, 0.8f);
  D3DXQuaternionRotationAxis(&qy, &yAxis, -0.5f);
  D3DXQuaternionMultiply(&product, &qx, &qy);
  D3DXMATRIX mx, my, mp;
  D3DXMatrixRotationQuaternion(&mx, &qx);
  D3DXMatrixRotationQuaternion(&my, &qy);
  D3DXMatrixRotationQuaternion(&mp, &product);
  ExpectMatrixNear(mp, mx * my);
  ExpectSameRotation(qx * qy, product);

  D3DXQUATERNION inverse, identity;
  D3DXQuaternionInverse(&inverse, &qx);
  D3DXQuaternionMultiply(&identity, &qx, &inverse);
  ExpectSameRotation(identity, D3DXQUATERNION(0, 0, 0, 1));
}

TEST(Quaternions, SlerpTakesTheShorterArc) {
  const D3DXQUATERNION identity(0, 0, 0, 1);
  const D3DXQUATERNION halfTurnZ(0, 0, 1, 0);
  D3DXQUATERNION half;
  D3DXQuaternionSlerp(&half, &identity, &halfTurnZ, 0.5f);
  const float s = std::sqrt(0.5f);
  ExpectSameRotation(half, D3DXQUATERNION(0, 0, s, s));

  // -q is the same rotation; the blend still goes the short way.
  const D3DXVECTOR3 zAxis(0, 0, 1);
  D3DXQUATERNION quarter, negated, eighth;
  D3DXQuaternionRotationAxis(&quarter, &zAxis, kHalfPi);
  negated = -quarter;
  D3DXQuaternionSlerp(&eighth, &identity, &negated, 0.5f);
  D3DXQUATERNION expected;
  D3DXQuaternionRotationAxis(&expected, &zAxis, kHalfPi / 2);
  ExpectSameRotation(eighth, expected);

  D3DXQUATERNION ends;
  D3DXQuaternionSlerp(&ends, &identity, &quarter, 0.0f);
  ExpectSameRotation(ends, identity);
  D3DXQuaternionSlerp(&ends, &identity, &quarter, 1.0f);
  ExpectSameRotation(ends, quarter);
  // Nearly equal keys blend linearly without dividing by a vanishing sine.
  const D3DXQUATERNION close(0, 0, 1e-4f, 1);
  D3DXQuaternionSlerp(&ends, &identity, &close, 0.5f);
  ExpectSameRotation(ends, D3DXQUATERNION(0, 0, 0.5e-4f, 1));
}

TEST(Vectors, BasicsTransformsAndZeroNormalisation) {
  const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
  D3DXVECTOR3 z;
  D3DXVec3Cross(&z, &x, &y);
  ExpectVec(z, 0, 0, 1);
  const D3DXVECTOR3 v(3, 4, 12);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 13.0f);
  EXPECT_FLOAT_EQ(D3DXVec3Dot(&v, &x), 3.0f);
  D3DXVECTOR3 n;
  ExpectVec(*D3DXVec3Normalize(&n, &v), 3.0f / 13, 4.0f / 13, 12.0f / 13);
  const D3DXVECTOR3 zero(0, 0, 0);
  ExpectVec(*D3DXVec3Normalize(&n, &zero), 0, 0, 0);
  D3DXVECTOR3 mid;
  ExpectVec(*D3DXVec3Lerp(&mid, &x, &y, 0.25f), 0.75f, 0.25f, 0);
  ExpectVec(2.0f * v - v / 1.0f + x, 4, 4, 12);

  D3DXMATRIX m;
  D3DXMatrixScaling(&m, 2, 2, 2);
  m._41 = 10;
  m._14 = 1;  // makes w depend on x
  D3DXVECTOR3 normal;
  ExpectVec(*D3DXVec3TransformNormal(&normal, &x, &m), 2, 0, 0);
  D3DXVECTOR4 full;
  D3DXVec3Transform(&full, &x, &m);
  EXPECT_EQ(full, D3DXVECTOR4(12, 0, 0, 2));
  ExpectVec(Apply(m, x), 6, 0, 0);
  const D3DXVECTOR4 h(1, 0, 0, 0);
  D3DXVec4Transform(&full, &h, &m);
  EXPECT_EQ(full, D3DXVECTOR4(2, 0, 0, 1));
}

TEST(Planes, FromPointsNormaliseAndDistance) {
  const D3DXVECTOR3 a(0, 0, 2), b(1, 0, 2), c(0, 1, 2);
  D3DXPLANE plane;
  D3DXPlaneFromPoints(&plane, &a, &b, &c);
  EXPECT_EQ(plane, D3DXPLANE(0, 0, 1, -2));
  const D3DXVECTOR3 p(5, 5, 7);
  EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&plane, &p), 5.0f);
  const D3DXPLANE unnormalised(0, 3, 4, 10);
  D3DXPLANE normalised;
  D3DXPlaneNormalize(&normalised, &unnormalised);
  EXPECT_NEAR(normalised.b, 0.6f, kEps);
  EXPECT_NEAR(normalised.c, 0.8f, kEps);
  EXPECT_NEAR(normalised.d, 2.0f, kEps);
  const D3DXPLANE degenerate(0, 0, 0, 1);
  EXPECT_EQ(*D3DXPlaneNormalize(&normalised, &degenerate), D3DXPLANE(0, 0, 0, 0));
  D3DXVECTOR3 hit;
  const D3DXVECTOR3 from(1, 1, 0), to(1, 1, 4);
  ASSERT_NE(D3DXPlaneIntersectLine(&hit, &plane, &from, &to), nullptr);
  ExpectVec(hit, 1, 1, 2);
}

TEST(Colours, ByteConversionClampsAndRounds) {
  const D3DXCOLOR unpacked(0x80FF0040u);
  EXPECT_FLOAT_EQ(unpacked.r, 1.0f);
  EXPECT_FLOAT_EQ(unpacked.a, 128.0f / 255.0f);
  EXPECT_FLOAT_EQ(unpacked.b, 64.0f / 255.0f);
  EXPECT_EQ(static_cast<DWORD>(unpacked), 0x80FF0040u);
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(1.5f, -1.0f, 0.5f, 1.0f)), 0xFFFF0080u);
  D3DXCOLOR mid;
  const D3DXCOLOR black(0, 0, 0, 0), white(1, 1, 1, 1);
  D3DXColorLerp(&mid, &black, &white, 0.25f);
  EXPECT_EQ(mid, D3DXCOLOR(0.25f, 0.25f, 0.25f, 0.25f));
  const D3DCOLORVALUE& value = white;
  EXPECT_EQ(value.g, 1.0f);
}

// The one float-to-byte rule of every packed colour the show computes: a NaN channel
// (an opacity of 0/0, say) packs as 0, not as whatever the conversion happens to give.
TEST(Colours, ByteConversionTakesNaNAsZeroAndRoundsHalfUp) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(nan, 1.0f, nan, 1.0f)), 0xFF00FF00u);
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(0.5f, 0.5f, 0.5f, nan)), 0x00808080u);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(inf, -inf, 0.0f, 1.0f)), 0xFFFF0000u);
  // x·255 + 0.5 truncated: 1/510 rounds up to 1, just below it down to 0.
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(0, 0, 1.0f / 510.0f, 0)), 0x00000001u);
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(0, 0, 0.99f / 510.0f, 0)), 0x00000000u);
  EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(0, 0, 0.999f, 0)), 0x000000FFu);
}

// One multiply serves the device's D3DMATRIX and any other row-major 4×4 type.
TEST(Matrices, ProductSumsRowsByColumnsForEveryMatrixType) {
  D3DXMATRIX a, b;
  for (int i = 0; i < 16; ++i) {
    a.m[i / 4][i % 4] = static_cast<float>(i + 1);
    b.m[i / 4][i % 4] = static_cast<float>((i * 7) % 5) - 2.0f;
  }
  D3DXMATRIX product;
  D3DXMatrixMultiply(&product, &a, &b);
  struct Plain {
    float m[4][4];
  } pa{}, pb{};
  std::memcpy(pa.m, a.m, sizeof pa.m);
  std::memcpy(pb.m, b.m, sizeof pb.m);
  const Plain plain = MultiplyMatrices(pa, pb);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float expected = 0;
      for (int k = 0; k < 4; ++k) expected += a.m[i][k] * b.m[k][j];
      EXPECT_EQ(product.m[i][j], expected) << i << "," << j;
      EXPECT_EQ(plain.m[i][j], expected) << i << "," << j;
    }
  // The product may overwrite an operand.
  D3DXMatrixMultiply(&a, &a, &b);
  EXPECT_EQ(std::memcmp(&a, &product, sizeof a), 0);
}

}  // namespace
