// The triangle and line rasterizer of the software device. Pixel centres lie at integer
// coordinates; the top-left fill rule decides pixels on edges. Work is done span by span:
// each stage (texture fetch, colour and alpha operations, tests, blending) runs over the
// whole span with its state resolved once, so no stage branches on state per pixel.
#pragma once

#include <cstdint>

#include "zqplatform/display.h"

namespace zqdisplay {

struct RasterVertex {
  float x, y, z;
  float rhw;
  uint32_t diffuse, specular;
  float u, v;
};

enum class TexFilter : uint8_t { Point, Linear };

struct RasterState {
  // render target (32-bit XRGB/ARGB) and the rectangle that may be written
  uint32_t* color = nullptr;
  int colorStride = 0;  // in pixels
  int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
  // Z buffer (16 or 32 bits a value; null: none)
  void* zbuf = nullptr;
  int zStride = 0;  // in values
  int zBits = 0;
  bool zTest = false, zWrite = false;
  DWORD zFunc = D3DCMP_LESSEQUAL;
  // texture of stage 0 (null: reads as opaque white)
  const uint32_t* tex = nullptr;
  int texStride = 0, texWidth = 0, texHeight = 0;
  uint32_t texAlphaOr = 0;
  TexFilter magFilter = TexFilter::Point, minFilter = TexFilter::Point;
  DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
  // stage 0 operations
  DWORD colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
  DWORD alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
  uint32_t textureFactor = 0xFFFFFFFF;
  bool specularEnable = false;
  bool gouraud = true;
  // tests and blending
  bool alphaTest = false;
  DWORD alphaFunc = D3DCMP_ALWAYS;
  DWORD alphaRef = 0;
  bool blend = false;
  DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO;
  DWORD cull = D3DCULL_CCW;
  bool targetAlpha = false;  // the target stores alpha (else destination alpha reads 1)
};

void drawTriangle(const RasterState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
// The strip a, b, c, d (two triangles) when it is an exact parallelogram with affine
// attributes, drawn a row at a time; false when it is not (draw its triangles instead).
bool drawParallelogram(const RasterState& s, const RasterVertex& a, const RasterVertex& b,
                       const RasterVertex& c, const RasterVertex& d);
// A line from a to b, the last pixel excluded (as Direct3D draws lines).
void drawLine(const RasterState& s, const RasterVertex& a, const RasterVertex& b);

}  // namespace zqdisplay
