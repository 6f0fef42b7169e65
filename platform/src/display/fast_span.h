// Fused span kernels for the common state combinations of 2D painting: one texture (none,
// point or bilinear with wrap), a constant diffuse colour, texture-by-diffuse operations and
// optional source-alpha blending, without tests. Chosen once per triangle.
#pragma once

#include <cstdint>

#include "display/raster.h"

namespace zqdisplay {

struct FastSpan {
  const uint32_t* tex;
  int stride, width, height;
  uint32_t alphaOr;
  int32_t u, v, du, dv;  // 16.16 texels, u/v inside [0, size)
  uint32_t diffuse;
  uint32_t* dst;
  int n;
};

typedef void (*FastKernel)(const FastSpan&);

// `wrap` handles any position; `inside` only spans whose samples (and their right and lower
// neighbours when filtering) stay inside the texture without wrapping. Under bilinear
// filtering, `oneToOne` draws inside spans with du of exactly one texel and dv zero, and
// `row` inside spans with dv zero and |du| at most one texel; both give `inside`'s pixels.
struct FastKernels {
  FastKernel wrap = nullptr, inside = nullptr, oneToOne = nullptr, row = nullptr;
};

// Texture operations the kernels handle.
enum FastOp : int { kSel1, kSel2, kMod, kMod2x };

// The AVX2 forms of the bilinear and flat-blend kernels (null members where there is none);
// only for processors with AVX2.
FastKernels fastKernelsAvx2(bool textured, bool linear, int colourOp, int alphaOp, bool blend);
// The AVX-512 forms of the inside, row and 1:1 bilinear kernels; only with AVX512F/BW/VL.
FastKernels fastKernelsAvx512(bool textured, bool linear, int colourOp, int alphaOp, bool blend);

// The kernels for a state; null when the general path must draw it.
FastKernels chooseFastKernel(const RasterState& s, bool textured, bool linear, bool constDiffuse,
                             uint32_t diffuse);

}  // namespace zqdisplay
