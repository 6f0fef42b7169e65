// Vector, matrix and quaternion helpers. Arithmetic runs in extended precision and is
// stored as single precision.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "ZqMath.h"

namespace {

typedef long double R;

struct V3 {
  R x, y, z;
};

V3 Of(const D3DVECTOR& v) { return {v.x, v.y, v.z}; }
R Dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
R Length(const V3& v) { return sqrtl(Dot(v, v)); }
V3 Sub(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Scale(const V3& a, R s) { return {a.x * s, a.y * s, a.z * s}; }

R At(const D3DMATRIX& m, int r, int c) { return (&m._11)[r * 4 + c]; }
void Set(D3DMATRIX& m, int r, int c, R v) { (&m._11)[r * 4 + c] = (float)v; }

void Zero(D3DMATRIX& m) { memset(&m, 0, sizeof m); }

}  // namespace

void CZqMath::D3DSetIdentityMatrix(D3DMATRIX& m) {
  Zero(m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
}

void CZqMath::D3DSetTranslateMatrix(D3DMATRIX& m, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  D3DSetIdentityMatrix(m);
  m._41 = x;
  m._42 = y;
  m._43 = z;
}

void CZqMath::D3DSetTranslateMatrix(D3DMATRIX& m, const D3DVECTOR& v) {
  D3DSetTranslateMatrix(m, v.x, v.y, v.z);
}

void CZqMath::D3DSetScaleMatrix(D3DMATRIX& m, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  Zero(m);
  m._11 = x;
  m._22 = y;
  m._33 = z;
  m._44 = 1.0f;
}

void CZqMath::SetScaleMatrix(D3DMATRIX& m, const D3DVECTOR& v) { D3DSetScaleMatrix(m, v.x, v.y, v.z); }

void CZqMath::D3DSetRotateXMatrix(D3DMATRIX& m, D3DVALUE angle) {
  R c = cosl(angle), s = sinl(angle);
  Zero(m);
  m._11 = 1.0f;
  m._22 = (float)c;
  m._23 = (float)s;
  m._32 = (float)-s;
  m._33 = (float)c;
  m._44 = 1.0f;
}

void CZqMath::D3DSetRotateYMatrix(D3DMATRIX& m, D3DVALUE angle) {
  R c = cosl(angle), s = sinl(angle);
  Zero(m);
  m._11 = (float)c;
  m._13 = (float)-s;
  m._22 = 1.0f;
  m._31 = (float)s;
  m._33 = (float)c;
  m._44 = 1.0f;
}

void CZqMath::D3DSetRotateZMatrix(D3DMATRIX& m, D3DVALUE angle) {
  R c = cosl(angle), s = sinl(angle);
  Zero(m);
  m._11 = (float)c;
  m._12 = (float)s;
  m._21 = (float)-s;
  m._22 = (float)c;
  m._33 = 1.0f;
  m._44 = 1.0f;
}

void CZqMath::D3DSetRotationMatrix(D3DMATRIX& m, const D3DVECTOR& axis, D3DVALUE angle) {
  V3 v = Of(axis);
  R len = Length(v);
  if (len > 0) v = Scale(v, 1 / len);
  R c = cosl(angle), s = sinl(angle), t = 1 - c;
  Zero(m);
  m._11 = (float)(c + v.x * v.x * t);
  m._12 = (float)(v.x * v.y * t - s * v.z);
  m._13 = (float)(v.x * v.z * t + s * v.y);
  m._21 = (float)(v.x * v.y * t + s * v.z);
  m._22 = (float)(c + v.y * v.y * t);
  m._23 = (float)(v.y * v.z * t - s * v.x);
  m._31 = (float)(v.x * v.z * t - s * v.y);
  m._32 = (float)(v.y * v.z * t + s * v.x);
  m._33 = (float)(c + v.z * v.z * t);
  m._44 = 1.0f;
}

HRESULT CZqMath::D3DSetViewMatrix(D3DMATRIX& m, const D3DVECTOR& eye, const D3DVECTOR& at,
                                  const D3DVECTOR& up) {
  const R kTiny = 1e-6L;
  V3 e = Of(eye);
  V3 view = Sub(Of(at), e);
  R len = Length(view);
  if (len < kTiny) return E_INVALIDARG;
  view = Scale(view, 1 / len);

  V3 u = Of(up);
  V3 up2 = Sub(u, Scale(view, Dot(u, view)));
  len = Length(up2);
  if (len < kTiny) {
    up2 = Sub(V3{0, 1, 0}, Scale(view, view.y));
    len = Length(up2);
    if (len < kTiny) {
      up2 = Sub(V3{0, 0, 1}, Scale(view, view.z));
      len = Length(up2);
      if (len < kTiny) return E_INVALIDARG;
    }
  }
  up2 = Scale(up2, 1 / len);
  V3 right = {up2.y * view.z - up2.z * view.y, up2.z * view.x - up2.x * view.z,
              up2.x * view.y - up2.y * view.x};

  D3DSetIdentityMatrix(m);
  m._11 = (float)right.x;
  m._12 = (float)up2.x;
  m._13 = (float)view.x;
  m._21 = (float)right.y;
  m._22 = (float)up2.y;
  m._23 = (float)view.y;
  m._31 = (float)right.z;
  m._32 = (float)up2.z;
  m._33 = (float)view.z;
  m._41 = (float)-Dot(right, e);
  m._42 = (float)-Dot(up2, e);
  m._43 = (float)-Dot(view, e);
  return 0;
}

HRESULT CZqMath::D3DSetProjectionMatrix(D3DMATRIX& m, D3DVALUE fov, D3DVALUE aspect, D3DVALUE nearPlane,
                                        D3DVALUE farPlane) {
  R s = sinl((R)fov / 2), c = cosl((R)fov / 2);
  if (fabsl((R)farPlane - nearPlane) < 0.01L || fabsl(s) < 0.01L) return E_INVALIDARG;
  R q = (R)farPlane / ((R)farPlane - nearPlane);
  Zero(m);
  m._11 = (float)(aspect * c / s);
  m._22 = (float)(c / s);
  m._33 = (float)q;
  m._34 = 1.0f;
  m._43 = (float)(-q * nearPlane);
  return 0;
}

void CZqMath::D3DMath_MatrixMultiply(D3DMATRIX& q, const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX t;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      R sum = 0;
      for (int k = 0; k < 4; ++k) sum += (R)At(a, i, k) * At(b, k, j);
      Set(t, i, j, sum);
    }
  q = t;
}

HRESULT CZqMath::D3DMath_MatrixInvert(D3DMATRIX& q, const D3DMATRIX& a) {
  if (fabsl((R)a._44 - 1) > 0.001L || fabsl((R)a._14) > 0.001L || fabsl((R)a._24) > 0.001L ||
      fabsl((R)a._34) > 0.001L)
    return E_INVALIDARG;
  R a11 = a._11, a12 = a._12, a13 = a._13, a21 = a._21, a22 = a._22, a23 = a._23, a31 = a._31, a32 = a._32,
    a33 = a._33;
  R c11 = a22 * a33 - a23 * a32, c12 = a23 * a31 - a21 * a33, c13 = a21 * a32 - a22 * a31;
  R det = a11 * c11 + a12 * c12 + a13 * c13;
  // A singular 3x3 has no inverse: refuse it rather than fill the result with infinities.
  if (det == 0) return E_INVALIDARG;
  R inv = 1 / det;
  R m[3][3] = {
      {c11 * inv, (a13 * a32 - a12 * a33) * inv, (a12 * a23 - a13 * a22) * inv},
      {c12 * inv, (a11 * a33 - a13 * a31) * inv, (a13 * a21 - a11 * a23) * inv},
      {c13 * inv, (a12 * a31 - a11 * a32) * inv, (a11 * a22 - a12 * a21) * inv},
  };
  R t[3] = {a._41, a._42, a._43};
  D3DMATRIX r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) Set(r, i, j, m[i][j]);
    Set(r, i, 3, 0);
  }
  for (int j = 0; j < 3; ++j) Set(r, 3, j, -(t[0] * m[0][j] + t[1] * m[1][j] + t[2] * m[2][j]));
  r._44 = 1.0f;
  q = r;
  return 0;
}

HRESULT CZqMath::D3DMath_VectorMatrixMultiply(D3DVECTOR& out, const D3DVECTOR& v, const D3DMATRIX& m) {
  R x = v.x, y = v.y, z = v.z;
  R w = x * m._14 + y * m._24 + z * m._34 + m._44;
  if (fabsl(w) < 0.00001L) return E_INVALIDARG;
  R ox = (x * m._11 + y * m._21 + z * m._31 + m._41) / w;
  R oy = (x * m._12 + y * m._22 + z * m._32 + m._42) / w;
  R oz = (x * m._13 + y * m._23 + z * m._33 + m._43) / w;
  out.x = (float)ox;
  out.y = (float)oy;
  out.z = (float)oz;
  return 0;
}

HRESULT CZqMath::D3DMath_VertexMatrixMultiply(D3DVERTEX& out, const D3DVERTEX& v, const D3DMATRIX& m) {
  D3DVECTOR pos = {v.x, v.y, v.z}, normal = {v.nx, v.ny, v.nz};
  HRESULT hr = D3DMath_VectorMatrixMultiply(pos, pos, m);
  if (FAILED(hr)) return hr;
  hr = D3DMath_VectorMatrixMultiply(normal, normal, m);
  if (FAILED(hr)) return hr;
  out.x = pos.x;
  out.y = pos.y;
  out.z = pos.z;
  out.nx = normal.x;
  out.ny = normal.y;
  out.nz = normal.z;
  out.tu = v.tu;
  out.tv = v.tv;
  return 0;
}

void CZqMath::D3DMath_QuaternionFromRotation(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w,
                                             const D3DVECTOR& axis, D3DVALUE angle) {
  R s = sinl((R)angle / 2);
  x = (float)(s * axis.x);
  y = (float)(s * axis.y);
  z = (float)(s * axis.z);
  w = (float)cosl((R)angle / 2);
}

void CZqMath::D3DMath_RotationFromQuaternion(D3DVECTOR& axis, D3DVALUE& angle, D3DVALUE x, D3DVALUE y,
                                             D3DVALUE z, D3DVALUE w) {
  // w outside [-1, 1] (rounding) would make acos undefined.
  R cw = w > 1 ? 1 : (w < -1 ? -1 : w);
  R a = 2 * acosl(cw);
  R s = sinl(a / 2);
  angle = (float)a;
  if (fabsl(s) < 1e-6L) {
    // No rotation: any axis serves; keep a fixed one instead of dividing by zero.
    axis.x = 1.0f;
    axis.y = 0.0f;
    axis.z = 0.0f;
    return;
  }
  axis.x = (float)(x / s);
  axis.y = (float)(y / s);
  axis.z = (float)(z / s);
}

void CZqMath::D3DMath_QuaternionFromAngles(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE yaw,
                                           D3DVALUE pitch, D3DVALUE roll) {
  R sY = sinl((R)yaw / 2), cY = cosl((R)yaw / 2);
  R sP = sinl((R)pitch / 2), cP = cosl((R)pitch / 2);
  R sR = sinl((R)roll / 2), cR = cosl((R)roll / 2);
  x = (float)(cY * cP * sR - cR * sP * sY);
  y = (float)(sP * cY * cR + sY * cP * sR);
  z = (float)(sY * cP * cR - sP * cY * sR);
  w = (float)(sY * sR * sP + cY * cP * cR);
}

void CZqMath::D3DMath_MatrixFromQuaternion(D3DMATRIX& m, D3DVALUE fx, D3DVALUE fy, D3DVALUE fz, D3DVALUE fw) {
  R x = fx, y = fy, z = fz, w = fw;
  Zero(m);
  m._11 = (float)(1 - 2 * (y * y + z * z));
  m._12 = (float)(2 * (x * y - w * z));
  m._13 = (float)(2 * (x * z + w * y));
  m._21 = (float)(2 * (x * y + w * z));
  m._22 = (float)(1 - 2 * (x * x + z * z));
  m._23 = (float)(2 * (y * z - w * x));
  m._31 = (float)(2 * (x * z - w * y));
  m._32 = (float)(2 * (y * z + w * x));
  m._33 = (float)(1 - 2 * (x * x + y * y));
  m._44 = 1.0f;
}

void CZqMath::D3DMath_QuaternionFromMatrix(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DMATRIX& m) {
  R m11 = m._11, m22 = m._22, m33 = m._33, m44 = m._44;
  R trace = m11 + m22 + m33;
  if (trace > 0) {
    R s = sqrtl(trace + m44);
    x = (float)((m._23 - (R)m._32) / (2 * s));
    y = (float)((m._31 - (R)m._13) / (2 * s));
    z = (float)((m._12 - (R)m._21) / (2 * s));
    w = (float)(s / 2);
  } else if (m11 >= m22 && m11 >= m33) {
    // Non-positive trace: build from the largest diagonal element, which keeps s away from 0.
    R s = sqrtl(1 + m11 - m22 - m33) * 2;
    if (s > 0) {
      x = (float)(s / 4);
      y = (float)((m._12 + (R)m._21) / s);
      z = (float)((m._13 + (R)m._31) / s);
      w = (float)((m._23 - (R)m._32) / s);
    }
  } else if (m22 >= m33) {
    R s = sqrtl(1 + m22 - m11 - m33) * 2;
    if (s > 0) {
      x = (float)((m._12 + (R)m._21) / s);
      y = (float)(s / 4);
      z = (float)((m._23 + (R)m._32) / s);
      w = (float)((m._31 - (R)m._13) / s);
    }
  } else {
    R s = sqrtl(1 + m33 - m11 - m22) * 2;
    if (s > 0) {
      x = (float)((m._13 + (R)m._31) / s);
      y = (float)((m._23 + (R)m._32) / s);
      z = (float)(s / 4);
      w = (float)((m._12 - (R)m._21) / s);
    }
  }
  D3DMath_MatrixFromQuaternion(m, x, y, z, w);
}

void CZqMath::D3DMath_QuaternionMultiply(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE ax,
                                         D3DVALUE ay, D3DVALUE az, D3DVALUE aw, D3DVALUE bx, D3DVALUE by,
                                         D3DVALUE bz, D3DVALUE bw) {
  R Ax = ax, Ay = ay, Az = az, Aw = aw, Bx = bx, By = by, Bz = bz, Bw = bw;
  x = (float)(Aw * Bx + Ax * Bw + Ay * Bz - Az * By);
  y = (float)(Aw * By - Ax * Bz + Ay * Bw + Az * Bx);
  z = (float)(Aw * Bz + Ax * By - Ay * Bx + Az * Bw);
  w = (float)(Aw * Bw - Ax * Bx - Ay * By - Az * Bz);
}

void CZqMath::D3DMath_QuaternionSlerp(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE ax,
                                      D3DVALUE ay, D3DVALUE az, D3DVALUE aw, D3DVALUE bx, D3DVALUE by,
                                      D3DVALUE bz, D3DVALUE bw, D3DVALUE t) {
  R Bx = bx, By = by, Bz = bz, Bw = bw;
  R c = (R)ax * Bx + (R)ay * By + (R)az * Bz + (R)aw * Bw;
  if (c < 0) {
    c = -c;
    Bx = -Bx;
    By = -By;
    Bz = -Bz;
    Bw = -Bw;
  }
  R s0 = 1 - (R)t, s1 = t;
  if (1 - c > 0.001L) {
    R angle = acosl(c > 1 ? 1 : c);
    R sa = sinl(angle);
    s0 = sinl((1 - (R)t) * angle) / sa;
    s1 = sinl((R)t * angle) / sa;
  }
  x = (float)(s0 * ax + s1 * Bx);
  y = (float)(s0 * ay + s1 * By);
  z = (float)(s0 * az + s1 * Bz);
  w = (float)(s0 * aw + s1 * Bw);
}

int CZqMath::D3DMath_IsZero(D3DVALUE a, D3DVALUE epsilon) { return (a >= -epsilon && a <= epsilon) ? 1 : 0; }

void CZqMath::D3DInitMaterial(D3DMATERIAL7& material, D3DVALUE r, D3DVALUE g, D3DVALUE b, D3DVALUE a) {
  memset(&material, 0, sizeof material);
  material.diffuse = {r, g, b, a};
  material.ambient = {r, g, b, a};
}

void CZqMath::D3DInitLight(D3DLIGHT7& light, D3DLIGHTTYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  memset(&light, 0, sizeof light);
  light.dltType = type;
  light.dcvDiffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  light.dcvSpecular = {1.0f, 1.0f, 1.0f, 0.0f};
  light.dvPosition = {x, y, z};
  light.dvDirection = {x, y, z};
  light.dvRange = sqrtf(FLT_MAX);
  light.dvAttenuation0 = 1.0f;
}

void CZqMath::DxInitSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags, DWORD caps) {
  memset(&desc, 0, sizeof desc);
  desc.dwSize = 124;
  desc.dwFlags = flags;
  desc.ddsCaps.dwCaps = caps;
  desc.ddpfPixelFormat.dwSize = 32;
}

void CZqMath::DxGetBitMaskInfo(DWORD mask, DWORD& shift, DWORD& bits) {
  shift = 0;
  bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++bits;
  }
}
