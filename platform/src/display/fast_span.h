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
// filtering, `oneToOne` (du of exactly one texel, dv zero) and `row` (dv zero, |du| at most
// one texel) draw whole spans, giving `wrap`'s pixels: v inside [0, height), u any position
// from which the span's last sample stays within 2^30, columns and rows wrapping.
struct FastKernels {
  FastKernel wrap = nullptr, inside = nullptr, oneToOne = nullptr, row = nullptr;
};

// The helpers below are static: each kernel file compiles them for its own processor, and
// one shared copy could carry another file's instructions.

// Draws a span longer than `most` pixels in pieces of at most that many, each continuing the
// span's stepping; false when it is short enough to draw whole.
template <class Draw>
static inline bool drawInPieces(const FastSpan& f, int most, Draw&& draw) {
  if (f.n <= most) return false;
  for (int i = 0; i < f.n; i += most) {
    FastSpan piece = f;
    piece.n = f.n - i < most ? f.n - i : most;
    piece.u = f.u + f.du * i;
    piece.v = f.v + f.dv * i;
    piece.dst = f.dst + i;
    draw(piece);
  }
  return true;
}

// The texel row a span with dv zero samples and the one below it, wrapping at the bottom.
struct RowPair {
  const uint32_t *top, *bottom;
};
static inline RowPair rowPair(const FastSpan& f) {
  const int y0 = f.v >> 16, y1 = y0 + 1 == f.height ? 0 : y0 + 1;
  return {f.tex + y0 * f.stride, f.tex + y1 * f.stride};
}

// The texel columns a row span's pixels filter, each pixel's and the next: cols of them from lo.
static inline void rowColumns(const FastSpan& f, int& lo, int& cols) {
  const int first = f.u >> 16, last = int((int64_t(f.u) + int64_t(f.du) * (f.n - 1)) >> 16);
  lo = first < last ? first : last;
  cols = (first < last ? last : first) - lo + 2;
}

// Calls fill(k, x, count) for the runs of the columns lo .. lo + cols - 1 taken modulo
// width: column lo + k is texel x, the next count - 1 columns follow it.
template <class Fill>
static inline void forWrappedColumns(int lo, int cols, int width, Fill&& fill) {
  int x = lo % width;
  if (x < 0) x += width;
  for (int k = 0; k < cols; x = 0) {
    const int count = cols - k < width - x ? cols - k : width - x;
    fill(k, x, count);
    k += count;
  }
}

// The runs of a span whose pixel i filters the columns c + i and c + i + 1 taken modulo
// width, in rows r0 and r1: run(top, bottom, i, count) draws pixels i .. i + count - 1 from
// top[k], top[k + 1], bottom[k], bottom[k + 1]; seam(tl, tr, bl, br, i) draws the pixel whose
// columns are the last and the first, from those four texels.
template <class Run, class Seam>
static inline void forOneToOneRuns(int c, int n, int width, const uint32_t* r0, const uint32_t* r1, Run&& run,
                                   Seam&& seam) {
  int x = c % width;
  if (x < 0) x += width;
  for (int i = 0; i < n;) {
    if (x == width - 1) {
      seam(r0[x], r0[0], r1[x], r1[0], i);
      ++i;
      x = 0;
      continue;
    }
    const int count = n - i < width - 1 - x ? n - i : width - 1 - x;
    run(r0 + x, r1 + x, i, count);
    i += count;
    x += count;
  }
}

// Texture modes and texture operations the kernels handle.
enum FastTexture : int { kNoTex, kPoint, kLinear };
enum FastOp : int { kSel1, kSel2, kMod, kMod2x };

// One row of the kernel table: the kernels an instruction set has for one state (texture mode,
// colour and alpha operation, source-alpha blend). Null members are left to the narrower sets.
struct KernelRow {
  FastTexture tex;
  FastOp colour, alpha;
  bool blend;
  FastKernels use;
};

// The kernel table, one part per instruction set, each defined beside its kernels (every file
// is compiled for its own processor). The AVX2 and AVX-512 parts are only for processors with
// those sets (AVX512F/BW/VL).
// Only data: reading a part runs none of its instructions.
struct KernelRows {
  const KernelRow* rows;
  int count;
};
extern const KernelRows kKernelRowsSse2, kKernelRowsAvx2, kKernelRowsAvx512;

// The kernels for a state; null when the general path must draw it.
FastKernels chooseFastKernel(const RasterState& s, bool textured, bool linear, bool constDiffuse,
                             uint32_t diffuse);

}  // namespace zqdisplay
