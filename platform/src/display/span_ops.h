// Per-span pixel stages of the rasterizer. Each takes its state once and loops over the span.
#pragma once

#include <cstdint>

#include "zqplatform/display.h"

namespace zqdisplay {

// round(a * b / 255) for bytes.
inline uint32_t mul8(uint32_t a, uint32_t b) {
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

uint32_t bilinearTexel(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t wx, uint32_t wy);
// Bilinear samples along a span, 16.16 texel positions kept inside the texture (wrap).
// One fixed-point step of a wrapped coordinate: p + step taken back into [0, lim), for
// |step| < lim.
static inline int32_t wrapStep(int32_t p, int32_t step, int32_t lim) {
  p += step;
  p -= p >= lim ? lim : 0;
  return p + (p < 0 ? lim : 0);
}

void bilinearWrapSpan(const uint32_t* tex, int stride, int w, int h, uint32_t alphaOr, int32_t u, int32_t v,
                      int32_t du, int32_t dv, int n, uint32_t* out);
// A texture operation over the span: mask 0x00FFFFFF computes the colour bytes (all four
// written), 0xFF000000 only the alpha byte.
void combine(DWORD op, const uint32_t* a1, const uint32_t* a2, const uint32_t* diffuse,
             const uint32_t* texture, int n, uint32_t* out, uint32_t mask);
void addSpecular(uint32_t* out, const uint32_t* specular, int n);
void alphaTestSpan(DWORD func, uint32_t ref, const uint32_t* color, int n, uint8_t* mask);
void depthSpan16(uint16_t* zbuf, const float* z, int n, DWORD func, bool write, uint8_t* mask);
void depthSpan32(float* zbuf, const float* z, int n, DWORD func, bool write, uint8_t* mask);
// dst = src * srcFactor + dst * destFactor; a null mask writes every pixel.
void blendSpan(DWORD srcBlend, DWORD destBlend, bool destHasAlpha, const uint32_t* src, uint32_t* dst, int n,
               const uint8_t* mask);
void writeSpan(const uint32_t* src, uint32_t* dst, int n, const uint8_t* mask);

}  // namespace zqdisplay
