#include <gtest/gtest.h>

#include <cmath>

#include "ZqLib.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectMatrix(const D3DMATRIX& m, std::initializer_list<float> cells, float tol = 1e-5f) {
  const float* p = &m._11;
  int i = 0;
  for (float c : cells) {
    EXPECT_NEAR(p[i], c, tol) << "cell " << (i / 4 + 1) << (i % 4 + 1);
    ++i;
  }
}

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m;
  CZqFunc::D3DSetTranslateMatrix(m, x, y, z);
  return m;
}

}  // namespace

TEST(Math, BuildersAndProducts) {
  D3DMATRIX m;
  CZqFunc::D3DSetRotateZMatrix(m, kPi / 2);
  ExpectMatrix(m, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  D3DMATRIX r;
  CZqFunc::D3DSetRotationMatrix(r, D3DVECTOR{0, 0, 5}, kPi / 2);  // the axis is normalised
  // Rotation about z by the axis rule is the transpose of the row-vector builder above.
  ExpectMatrix(r, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

  // Q may be one of the operands.
  D3DMATRIX a = Translation(1, 2, 3), s;
  CZqFunc::D3DSetScaleMatrix(s, 2, 2, 2);
  CZqFunc::D3DMath_MatrixMultiply(a, a, s);
  ExpectMatrix(a, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 1});

  D3DVECTOR out;
  EXPECT_EQ(CZqFunc::D3DMath_VectorMatrixMultiply(out, D3DVECTOR{1, 0, 0}, Translation(1, 2, 3)), 0);
  EXPECT_FLOAT_EQ(out.x, 2);
  EXPECT_FLOAT_EQ(out.y, 2);
  EXPECT_FLOAT_EQ(out.z, 3);
  D3DMATRIX flat = Translation(0, 0, 0);
  flat._44 = 0;
  EXPECT_EQ(CZqFunc::D3DMath_VectorMatrixMultiply(out, D3DVECTOR{1, 0, 0}, flat), E_INVALIDARG);

  D3DVERTEX v = {1, 0, 0, 0, 1, 0, 0.25f, 0.5f}, vo;
  EXPECT_EQ(CZqFunc::D3DMath_VertexMatrixMultiply(vo, v, Translation(1, 2, 3)), 0);
  EXPECT_FLOAT_EQ(vo.x, 2);
  EXPECT_FLOAT_EQ(vo.ny, 3);  // the normal is moved like a point
  EXPECT_FLOAT_EQ(vo.tv, 0.5f);
}

TEST(Math, InvertAffineOnly) {
  D3DMATRIX q;
  EXPECT_EQ(CZqFunc::D3DMath_MatrixInvert(q, Translation(1, 2, 3)), 0);
  ExpectMatrix(q, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1});

  D3DMATRIX a;
  CZqFunc::D3DSetRotateYMatrix(a, 0.7f);
  a._41 = 5;
  a._43 = -2;
  EXPECT_EQ(CZqFunc::D3DMath_MatrixInvert(q, a), 0);
  D3DMATRIX id;
  CZqFunc::D3DMath_MatrixMultiply(id, a, q);
  ExpectMatrix(id, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

  D3DMATRIX proj = Translation(0, 0, 0);
  proj._14 = 0.01f;
  EXPECT_EQ(CZqFunc::D3DMath_MatrixInvert(q, proj), E_INVALIDARG);
  D3DMATRIX singular;
  CZqFunc::D3DSetScaleMatrix(singular, 1, 0, 1);
  EXPECT_EQ(CZqFunc::D3DMath_MatrixInvert(q, singular), E_INVALIDARG);
}

TEST(Math, ViewAndProjection) {
  D3DMATRIX m;
  EXPECT_EQ(CZqFunc::D3DSetViewMatrix(m, D3DVECTOR{0, 0, -5}, D3DVECTOR{0, 0, 0}, D3DVECTOR{0, 1, 0}), 0);
  ExpectMatrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1});
  // Up along the viewing direction: falls back to (0, 0, 1).
  EXPECT_EQ(CZqFunc::D3DSetViewMatrix(m, D3DVECTOR{0, 0, 0}, D3DVECTOR{0, 3, 0}, D3DVECTOR{0, 1, 0}), 0);
  EXPECT_NEAR(m._32, 1, 1e-6);  // up' = (0, 0, 1)
  EXPECT_NEAR(m._23, 1, 1e-6);  // view = (0, 1, 0)
  EXPECT_EQ(CZqFunc::D3DSetViewMatrix(m, D3DVECTOR{1, 1, 1}, D3DVECTOR{1, 1, 1}, D3DVECTOR{0, 1, 0}),
            E_INVALIDARG);

  EXPECT_EQ(CZqFunc::D3DSetProjectionMatrix(m, kPi / 2, 1, 1, 101), 0);
  EXPECT_NEAR(m._11, 1, 1e-6);
  EXPECT_NEAR(m._33, 101.0f / 100, 1e-6);
  EXPECT_EQ(m._34, 1);
  EXPECT_NEAR(m._43, -1.01f, 1e-6);
  EXPECT_EQ(CZqFunc::D3DSetProjectionMatrix(m, kPi / 2, 1, 1, 1.005f), E_INVALIDARG);
  EXPECT_EQ(CZqFunc::D3DSetProjectionMatrix(m, 0.001f, 1, 1, 100), E_INVALIDARG);
}

TEST(Math, Quaternions) {
  float x, y, z, w;
  CZqFunc::D3DMath_QuaternionFromRotation(x, y, z, w, D3DVECTOR{0, 0, 1}, kPi / 2);
  D3DVECTOR axis;
  float angle;
  CZqFunc::D3DMath_RotationFromQuaternion(axis, angle, x, y, z, w);
  EXPECT_NEAR(angle, kPi / 2, 1e-6);
  EXPECT_NEAR(axis.z, 1, 1e-6);
  // No rotation, and a w just past 1 from rounding: a fixed axis, no NaN.
  CZqFunc::D3DMath_RotationFromQuaternion(axis, angle, 0, 0, 0, 1.0000001f);
  EXPECT_EQ(angle, 0);
  EXPECT_FALSE(std::isnan(axis.x) || std::isnan(axis.y) || std::isnan(axis.z));
  EXPECT_EQ(axis.x, 1);

  // Matrix round trips, including a half turn (trace -1) that needs the non-positive branch.
  struct Case {
    D3DVECTOR axis;
    float angle;
  } cases[] = {{{0, 0, 1}, 0.5f}, {{1, 0, 0}, kPi}, {{0, 1, 0}, kPi}, {{0, 0, 1}, 3.0f}};
  for (const Case& c : cases) {
    D3DMATRIX m, back;
    CZqFunc::D3DSetRotationMatrix(m, c.axis, c.angle);
    D3DMATRIX original = m;
    float qx = 9, qy = 9, qz = 9, qw = 9;
    CZqFunc::D3DMath_QuaternionFromMatrix(qx, qy, qz, qw, m);
    EXPECT_NEAR(qx * qx + qy * qy + qz * qz + qw * qw, 1, 1e-5) << c.angle;
    CZqFunc::D3DMath_MatrixFromQuaternion(back, qx, qy, qz, qw);
    const float* p = &m._11;
    const float* b = &back._11;
    const float* o = &original._11;
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(p[i], b[i], 1e-5) << c.angle;  // m was rewritten from the quaternion
      EXPECT_NEAR(std::fabs(o[i]), std::fabs(b[i]), 1e-5) << c.angle;
    }
  }

  // Hamilton product: i * j = k.
  CZqFunc::D3DMath_QuaternionMultiply(x, y, z, w, 1, 0, 0, 0, 0, 1, 0, 0);
  EXPECT_FLOAT_EQ(z, 1);
  EXPECT_FLOAT_EQ(w, 0);

  CZqFunc::D3DMath_QuaternionFromAngles(x, y, z, w, 0, 0, 0);
  EXPECT_FLOAT_EQ(w, 1);
}

TEST(Math, Slerp) {
  float x, y, z, w;
  CZqFunc::D3DMath_QuaternionSlerp(x, y, z, w, 0, 0, 0, 1, 0, 0, 1, 0, 0);
  EXPECT_FLOAT_EQ(w, 1);
  CZqFunc::D3DMath_QuaternionSlerp(x, y, z, w, 0, 0, 0, 1, 0, 0, 1, 0, 1);
  EXPECT_NEAR(z, 1, 1e-6);
  // A negative dot product takes the short way: B negated.
  CZqFunc::D3DMath_QuaternionSlerp(x, y, z, w, 0, 0, 0.6f, 0.8f, 0, 0, -0.8f, -0.6f, 1);
  EXPECT_NEAR(z, 0.8f, 1e-6);
  EXPECT_NEAR(w, 0.6f, 1e-6);
  CZqFunc::D3DMath_QuaternionSlerp(x, y, z, w, 0, 0, 0, 1, 0, 0, 1, 0, 0.5f);
  EXPECT_NEAR(z, std::sqrt(0.5f), 1e-6);
  // Nearly equal quaternions are blended linearly.
  CZqFunc::D3DMath_QuaternionSlerp(x, y, z, w, 0, 0, 0, 1, 0, 0, 0.02f, 0.9998f, 0.5f);
  EXPECT_NEAR(z, 0.01f, 1e-7);
  EXPECT_NEAR(w, 0.9999f, 1e-7);
}

TEST(Math, SmallHelpers) {
  EXPECT_EQ(CZqFunc::D3DMath_IsZero(0.001f, 0.001f), 1);
  EXPECT_EQ(CZqFunc::D3DMath_IsZero(-0.0011f, 0.001f), 0);

  DWORD shift = 9, bits = 9;
  struct Case {
    DWORD mask, shift, bits;
  } cases[] = {{0xF800, 11, 5}, {0x00FF0000, 16, 8}, {0x1F, 0, 5}, {0, 0, 0}, {0x80000000u, 31, 1}};
  for (const Case& c : cases) {
    CZqFunc::DxGetBitMaskInfo(c.mask, shift, bits);
    EXPECT_EQ(shift, c.shift) << c.mask;
    EXPECT_EQ(bits, c.bits) << c.mask;
  }

  DDSURFACEDESC2 desc;
  memset(&desc, 0xAB, sizeof desc);
  CZqFunc::DxInitSurfaceDesc(desc, 7, 0x200);
  EXPECT_EQ(desc.dwSize, 124u);
  EXPECT_EQ(desc.dwFlags, 7u);
  EXPECT_EQ(desc.ddsCaps.dwCaps, 0x200u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwSize, 32u);
  EXPECT_EQ(desc.dwWidth, 0u);

  D3DMATERIAL7 mat;
  CZqFunc::D3DInitMaterial(mat, 0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_FLOAT_EQ(mat.ambient.b, 0.3f);
  EXPECT_FLOAT_EQ(mat.diffuse.a, 0.4f);
  EXPECT_EQ(mat.power, 0);
  D3DLIGHT7 light;
  CZqFunc::D3DInitLight(light, D3DLIGHT_POINT, 1, 2, 3);
  EXPECT_EQ(light.dltType, D3DLIGHT_POINT);
  EXPECT_FLOAT_EQ(light.dvDirection.z, 3);
  EXPECT_FLOAT_EQ(light.dvRange, std::sqrt(FLT_MAX));
  EXPECT_EQ(light.dvAttenuation0, 1);
  EXPECT_EQ(light.dcvSpecular.a, 0);
}
