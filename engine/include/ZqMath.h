// Vector, matrix, quaternion, material, light and surface-description helpers for the
// engine's 3D set-up; static members reached through CZqFunc. Matrices are row-major,
// vectors are row vectors multiplied on the left (translation in row 4).
#pragma once

#include "ZqDefs.h"

// A lit vertex: position, normal, texture coordinates.
struct D3DVERTEX {
  D3DVALUE x, y, z;
  D3DVALUE nx, ny, nz;
  D3DVALUE tu, tv;
};
typedef D3DVERTEX* LPD3DVERTEX;

class ZQ_API CZqMath {
 public:
  CZqMath() = delete;

  static void D3DSetIdentityMatrix(D3DMATRIX& m);
  static void D3DSetTranslateMatrix(D3DMATRIX& m, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  static void D3DSetTranslateMatrix(D3DMATRIX& m, const D3DVECTOR& v);
  static void D3DSetScaleMatrix(D3DMATRIX& m, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  static void SetScaleMatrix(D3DMATRIX& m, const D3DVECTOR& v);
  static void D3DSetRotateXMatrix(D3DMATRIX& m, D3DVALUE angle);
  static void D3DSetRotateYMatrix(D3DMATRIX& m, D3DVALUE angle);
  static void D3DSetRotateZMatrix(D3DMATRIX& m, D3DVALUE angle);
  static void D3DSetRotationMatrix(D3DMATRIX& m, const D3DVECTOR& axis, D3DVALUE angle);
  // Left-handed view matrix; E_INVALIDARG for eye == at or no usable up direction.
  static HRESULT D3DSetViewMatrix(D3DMATRIX& m, const D3DVECTOR& eye, const D3DVECTOR& at,
                                  const D3DVECTOR& up);
  static HRESULT D3DSetProjectionMatrix(D3DMATRIX& m, D3DVALUE fov, D3DVALUE aspect, D3DVALUE nearPlane,
                                        D3DVALUE farPlane);

  static void D3DMath_MatrixMultiply(D3DMATRIX& q, const D3DMATRIX& a, const D3DMATRIX& b);  // q = a b
  static HRESULT D3DMath_MatrixInvert(D3DMATRIX& q, const D3DMATRIX& a);  // affine matrices only
  static HRESULT D3DMath_VectorMatrixMultiply(D3DVECTOR& out, const D3DVECTOR& v, const D3DMATRIX& m);
  static HRESULT D3DMath_VertexMatrixMultiply(D3DVERTEX& out, const D3DVERTEX& v, const D3DMATRIX& m);

  static void D3DMath_QuaternionFromRotation(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w,
                                             const D3DVECTOR& axis, D3DVALUE angle);
  static void D3DMath_RotationFromQuaternion(D3DVECTOR& axis, D3DVALUE& angle, D3DVALUE x, D3DVALUE y,
                                             D3DVALUE z, D3DVALUE w);
  static void D3DMath_QuaternionFromAngles(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE yaw,
                                           D3DVALUE pitch, D3DVALUE roll);
  static void D3DMath_MatrixFromQuaternion(D3DMATRIX& m, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE w);
  // Also rewrites m from the quaternion found.
  static void D3DMath_QuaternionFromMatrix(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DMATRIX& m);
  static void D3DMath_QuaternionMultiply(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE ax,
                                         D3DVALUE ay, D3DVALUE az, D3DVALUE aw, D3DVALUE bx, D3DVALUE by,
                                         D3DVALUE bz, D3DVALUE bw);
  static void D3DMath_QuaternionSlerp(D3DVALUE& x, D3DVALUE& y, D3DVALUE& z, D3DVALUE& w, D3DVALUE ax,
                                      D3DVALUE ay, D3DVALUE az, D3DVALUE aw, D3DVALUE bx, D3DVALUE by,
                                      D3DVALUE bz, D3DVALUE bw, D3DVALUE t);
  static int D3DMath_IsZero(D3DVALUE a, D3DVALUE epsilon);

  static void D3DInitMaterial(D3DMATERIAL7& material, D3DVALUE r, D3DVALUE g, D3DVALUE b, D3DVALUE a);
  static void D3DInitLight(D3DLIGHT7& light, D3DLIGHTTYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  static void DxInitSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags, DWORD caps);
  static void DxGetBitMaskInfo(DWORD mask, DWORD& shift, DWORD& bits);
};
