#include "display/fast_span.h"
#include "display/span_ops.h"

#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <iterator>

#include "zqplatform/display_hooks.h"

namespace zqdisplay {

namespace {

// round(a * b / 255): with t = a * b + 128, (t + (t >> 8)) >> 8 equals (t * 257) >> 16.
inline __m128i mul8(__m128i a, __m128i b) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

template <int O>
inline __m128i op(__m128i t, __m128i d) {
  if constexpr (O == kSel1) return t;
  if constexpr (O == kSel2) return d;
  if constexpr (O == kMod) return mul8(t, d);
  if constexpr (O == kMod2x) return _mm_min_epi16(_mm_slli_epi16(mul8(t, d), 1), _mm_set1_epi16(255));
}

inline __m128i alphaLanes() { return _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0); }

// Colour operation in the colour lanes, alpha operation in the alpha lanes. When both
// modulate, the product is taken once and doubled only in the colour lanes.
template <int C, int A>
inline __m128i ops(__m128i t, __m128i d) {
  if constexpr ((C == kMod || C == kMod2x) && A == kMod) {
    const __m128i m = mul8(t, d);
    if constexpr (C == kMod) return m;
    return _mm_min_epi16(_mm_add_epi16(m, _mm_andnot_si128(alphaLanes(), m)), _mm_set1_epi16(255));
  } else {
    return _mm_or_si128(_mm_andnot_si128(alphaLanes(), op<C>(t, d)),
                        _mm_and_si128(alphaLanes(), op<A>(t, d)));
  }
}

// Source pixels s over destination pixels dd by the source's alpha, both in 16-bit lanes (one or
// two pixels); without B the source as it is. The two rounded terms never exceed 255 together.
template <bool B>
inline __m128i blendOver(__m128i s, __m128i dd) {
  if constexpr (B) {
    const __m128i al = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    s = _mm_add_epi16(mul8(s, al), mul8(dd, _mm_sub_epi16(_mm_set1_epi16(255), al)));
  }
  return s;
}

// One destination pixel in 16-bit lanes (low half).
inline __m128i widen1(uint32_t px) {
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(px)), _mm_setzero_si128());
}

// One source pixel in 16-bit lanes: blended over (or written to) *dst.
template <bool B>
inline void finish1(__m128i s, uint32_t* dst) {
  if constexpr (B) s = blendOver<B>(s, widen1(*dst));
  *dst = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(s, _mm_setzero_si128())));
}

// Two source pixels in 16-bit lanes: blended over (or written to) dst[0..1].
template <int C, int A, bool B>
inline void finish2(__m128i t, __m128i d, uint32_t* dst) {
  const __m128i zero = _mm_setzero_si128();
  __m128i s = ops<C, A>(t, d);
  if constexpr (B)
    s = blendOver<B>(s, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst)), zero));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(s, zero));
}

// Four source pixels as bytes.
template <int C, int A, bool B>
inline void finish4(__m128i t, __m128i d, uint32_t* dst) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo = ops<C, A>(_mm_unpacklo_epi8(t, zero), d), hi = ops<C, A>(_mm_unpackhi_epi8(t, zero), d);
  if constexpr (B) {
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    lo = blendOver<B>(lo, _mm_unpacklo_epi8(px, zero));
    hi = blendOver<B>(hi, _mm_unpackhi_epi8(px, zero));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
}

// One bilinear sample as four 16-bit lanes (low half).
template <bool Wrap>
inline __m128i bilinear(const FastSpan& f, int32_t u, int32_t v) {
  const int x0 = u >> 16, y0 = v >> 16;
  const uint32_t* r0 = f.tex + y0 * f.stride;
  const __m128i zero = _mm_setzero_si128();
  const __m128i aor = _mm_set1_epi32(int(f.alphaOr));
  __m128i top, bot;
  if constexpr (Wrap) {
    const int x1 = x0 + 1 == f.width ? 0 : x0 + 1, y1 = y0 + 1 == f.height ? 0 : y0 + 1;
    const uint32_t* r1 = f.tex + y1 * f.stride;
    top = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(r0[x0])), _mm_cvtsi32_si128(int(r0[x1])));
    bot = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(r1[x0])), _mm_cvtsi32_si128(int(r1[x1])));
  } else {
    top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + x0));
    bot = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + f.stride + x0));
  }
  top = _mm_unpacklo_epi8(_mm_or_si128(top, aor), zero);
  bot = _mm_unpacklo_epi8(_mm_or_si128(bot, aor), zero);
  const __m128i wy = _mm_set1_epi16(short((v >> 8) & 255));
  const __m128i iwy = _mm_sub_epi16(_mm_set1_epi16(256), wy);
  __m128i col = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, iwy), _mm_mullo_epi16(bot, wy)), 8);
  const __m128i wx = _mm_set1_epi16(short((u >> 8) & 255));
  const __m128i iwx = _mm_sub_epi16(_mm_set1_epi16(256), wx);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(col, iwx), _mm_mullo_epi16(_mm_srli_si128(col, 8), wx)),
                        8);
}

template <int T, bool Wrap>
inline __m128i texel(const FastSpan& f, int32_t u, int32_t v) {
  if constexpr (T == kLinear) {
    return bilinear<Wrap>(f, u, v);
  } else if constexpr (T == kPoint) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(f.tex[(v >> 16) * f.stride + (u >> 16)] | f.alphaOr)),
                             _mm_setzero_si128());
  } else {
    return _mm_set1_epi16(255);
  }
}

template <int T, int C, int A, bool B, bool Wrap>
void kernel(const FastSpan& f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_unpacklo_epi8(_mm_set1_epi32(int(f.diffuse)), zero);
  int32_t u = f.u, v = f.v;
  const int32_t lu = f.width << 16, lv = f.height << 16;
  auto step = [&]() {
    if constexpr (T != kNoTex) {
      if constexpr (Wrap) {
        u = wrapStep(u, f.du, lu);
        v = wrapStep(v, f.dv, lv);
      } else {
        u += f.du;
        v += f.dv;
      }
    }
  };
  uint32_t* dst = f.dst;
  const int n = f.n;
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    const __m128i t0 = texel<T, Wrap>(f, u, v);
    step();
    const __m128i t1 = texel<T, Wrap>(f, u, v);
    step();
    finish2<C, A, B>(_mm_unpacklo_epi64(t0, t1), d, dst + i);
  }
  if (i < n) finish1<B>(ops<C, A>(texel<T, Wrap>(f, u, v), d), dst + i);
}

// 16-bit lanes of (a * (256 - w) + b * w) >> 8, the filter's lerp.
inline __m128i lerp16(__m128i a, __m128i b, __m128i iw, __m128i w) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, iw), _mm_mullo_epi16(b, w)), 8);
}

// Weights of two pixels: four lanes of a's, four of b's.
inline __m128i weights2(int32_t a, int32_t b) {
  __m128i w = _mm_cvtsi32_si128(int(((a >> 8) & 255) | (((b >> 8) & 255) << 16)));
  w = _mm_unpacklo_epi16(w, w);
  return _mm_unpacklo_epi32(w, w);
}

// Bilinear samples that need no wrapping, two pixels a step: the left texels of both pixels
// share one register and the right texels another, so each lerp serves two pixels. Same
// arithmetic as `bilinear` (vertical, then horizontal, 8-bit weights).
template <int C, int A, bool B>
void linearInside(const FastSpan& f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_unpacklo_epi8(_mm_set1_epi32(int(f.diffuse)), zero);
  const __m128i c256 = _mm_set1_epi16(256);
  const __m128i aor = _mm_set1_epi32(int(f.alphaOr));
  const uint32_t* tex = f.tex;
  const int stride = f.stride;
  const int32_t du = f.du, dv = f.dv;
  int32_t u = f.u, v = f.v;
  uint32_t* dst = f.dst;
  const int n = f.n;
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    const int32_t u1 = u + du, v1 = v + dv;
    const uint32_t* p0 = tex + (v >> 16) * stride + (u >> 16);
    const uint32_t* p1 = tex + (v1 >> 16) * stride + (u1 >> 16);
    const __m128i top =
        _mm_or_si128(_mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p0)),
                                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p1))),
                     aor);
    const __m128i bot =
        _mm_or_si128(_mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p0 + stride)),
                                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p1 + stride))),
                     aor);
    const __m128i wy = weights2(v, v1), iwy = _mm_sub_epi16(c256, wy);
    const __m128i wx = weights2(u, u1), iwx = _mm_sub_epi16(c256, wx);
    u = u1 + du;
    v = v1 + dv;
    const __m128i L = lerp16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bot, zero), iwy, wy);
    const __m128i R = lerp16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bot, zero), iwy, wy);
    finish2<C, A, B>(lerp16(L, R, iwx, wx), d, dst + i);
  }
  if (i < n) {
    FastSpan last = f;
    last.u = u;
    last.v = v;
    last.dst = dst + i;
    last.n = 1;
    kernel<kLinear, C, A, B, false>(last);
  }
}

// Floor of the bytewise mean: (a * 128 + b * 128) >> 8, the lerp at weight one half.
inline __m128i halfway(__m128i a, __m128i b) {
  return _mm_add_epi8(_mm_and_si128(a, b),
                      _mm_and_si128(_mm_srli_epi16(_mm_xor_si128(a, b), 1), _mm_set1_epi8(0x7F)));
}

// Texels mapped one to one at a fixed offset (du exactly one texel, dv zero): the weights
// are the same at every pixel, four pixels a step from plain row loads.
template <int C, int A, bool B>
void linearConst(const FastSpan& f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_unpacklo_epi8(_mm_set1_epi32(int(f.diffuse)), zero);
  const __m128i aor = _mm_set1_epi32(int(f.alphaOr));
  const int wxs = (f.u >> 8) & 255, wys = (f.v >> 8) & 255;
  const __m128i wx = _mm_set1_epi16(short(wxs)), iwx = _mm_set1_epi16(short(256 - wxs));
  const __m128i wy = _mm_set1_epi16(short(wys)), iwy = _mm_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  auto load = [&](const uint32_t* p) {
    return _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), aor);
  };
  auto one = [&](uint32_t p) {
    return _mm_unpacklo_epi8(_mm_or_si128(_mm_cvtsi32_si128(int(p)), aor), zero);
  };
  // One pixel from its four texels.
  auto pixel = [&](uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t* dst) {
    const __m128i l = lerp16(one(tl), one(bl), iwy, wy), r = lerp16(one(tr), one(br), iwy, wy);
    finish1<B>(ops<C, A>(lerp16(l, r, iwx, wx), d), dst);
  };
  forOneToOneRuns(
      f.u >> 16, f.n, f.width, rows.top, rows.bottom,
      [&](const uint32_t* r0, const uint32_t* r1, int at, int n) {
        uint32_t* dst = f.dst + at;
        int i = 0;
        if (wxs == 128 && wys == 128) {
          for (; i + 4 <= n; i += 4) {
            const __m128i l = halfway(load(r0 + i), load(r1 + i)),
                          r = halfway(load(r0 + i + 1), load(r1 + i + 1));
            finish4<C, A, B>(halfway(l, r), d, dst + i);
          }
        } else {
          for (; i + 4 <= n; i += 4) {
            const __m128i t0 = load(r0 + i), b0 = load(r1 + i), t1 = load(r0 + i + 1), b1 = load(r1 + i + 1);
            const __m128i l0 = lerp16(_mm_unpacklo_epi8(t0, zero), _mm_unpacklo_epi8(b0, zero), iwy, wy);
            const __m128i l1 = lerp16(_mm_unpackhi_epi8(t0, zero), _mm_unpackhi_epi8(b0, zero), iwy, wy);
            const __m128i q0 = lerp16(_mm_unpacklo_epi8(t1, zero), _mm_unpacklo_epi8(b1, zero), iwy, wy);
            const __m128i q1 = lerp16(_mm_unpackhi_epi8(t1, zero), _mm_unpackhi_epi8(b1, zero), iwy, wy);
            finish2<C, A, B>(lerp16(l0, q0, iwx, wx), d, dst + i);
            finish2<C, A, B>(lerp16(l1, q1, iwx, wx), d, dst + i + 2);
          }
        }
        for (; i < n; ++i) pixel(r0[i], r0[i + 1], r1[i], r1[i + 1], dst + i);
      },
      [&](uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, int at) { pixel(tl, tr, bl, br, f.dst + at); });
}

// The vertically filtered texels of one row pair, in 16-bit lanes (one thread's spans).
constexpr int kRowPairMax = 4096;
alignas(16) thread_local uint16_t g_rowPair[(kRowPairMax + 2) * 4];

// A span along a texel row (dv zero) that magnifies or keeps the size: the row pair is
// filtered vertically once per texel column (wrapped into the texture), then each pixel
// lerps two neighbours of that row.
template <int C, int A, bool B>
void linearRow(const FastSpan& f) {
  // In pieces, so that each piece's columns fit the buffer.
  if (drawInPieces(f, kRowPairMax / 2, linearRow<C, A, B>)) return;
  const int n = f.n;
  int lo, cols;
  rowColumns(f, lo, cols);
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_unpacklo_epi8(_mm_set1_epi32(int(f.diffuse)), zero);
  const __m128i aor = _mm_set1_epi32(int(f.alphaOr));
  const __m128i c256 = _mm_set1_epi16(256);
  const int wys = (f.v >> 8) & 255;
  const __m128i wy = _mm_set1_epi16(short(wys)), iwy = _mm_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  const uint32_t *r0 = rows.top, *r1 = rows.bottom;
  uint16_t* V = g_rowPair;
  forWrappedColumns(lo, cols, f.width, [&](int at, int x, int count) {
    const uint32_t *t0 = r0 + x, *b0 = r1 + x;
    uint16_t* out = V + 4 * at;
    int k = 0;
    for (; k + 2 <= count; k += 2) {
      const __m128i t = _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(t0 + k)), aor);
      const __m128i b = _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b0 + k)), aor);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * k),
                       lerp16(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(b, zero), iwy, wy));
    }
    if (k < count) {
      const __m128i t = _mm_or_si128(_mm_cvtsi32_si128(int(t0[k])), aor);
      const __m128i b = _mm_or_si128(_mm_cvtsi32_si128(int(b0[k])), aor);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * k),
                       lerp16(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(b, zero), iwy, wy));
    }
  });
  const int32_t du = f.du;
  int32_t u = f.u - (lo << 16);
  uint32_t* dst = f.dst;
  auto pair = [&](int32_t p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(V + 4 * (p >> 16))); };
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    const int32_t u1 = u + du;
    const __m128i a = pair(u), b = pair(u1);
    const __m128i w = weights2(u, u1), iw = _mm_sub_epi16(c256, w);
    finish2<C, A, B>(lerp16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b), iw, w), d, dst + i);
    u = u1 + du;
  }
  if (i < n) {
    const __m128i a = pair(u);
    const __m128i w = _mm_set1_epi16(short((u >> 8) & 255)), iw = _mm_sub_epi16(c256, w);
    finish1<B>(ops<C, A>(lerp16(a, _mm_srli_si128(a, 8), iw, w), d), dst + i);
  }
}

// No texture: the source colour is the same at every pixel, so blending leaves one product
// per pixel; four pixels a step.
template <int C, int A>
void flatBlend(const FastSpan& f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_unpacklo_epi8(_mm_set1_epi32(int(f.diffuse)), zero);
  const __m128i c255 = _mm_set1_epi16(255);
  const __m128i s = ops<C, A>(c255, d);
  const __m128i al = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m128i src = mul8(s, al), ia = _mm_sub_epi16(c255, al);
  uint32_t* dst = f.dst;
  const int n = f.n;
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i lo = _mm_add_epi16(src, mul8(_mm_unpacklo_epi8(px, zero), ia));
    const __m128i hi = _mm_add_epi16(src, mul8(_mm_unpackhi_epi8(px, zero), ia));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) {
    const __m128i px = _mm_cvtsi32_si128(int(dst[i]));
    const __m128i r = _mm_add_epi16(src, mul8(_mm_unpacklo_epi8(px, zero), ia));
    dst[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(r, zero)));
  }
}

// The kernels of one state, by texture mode.
template <int C, int A>
constexpr FastKernels flatSet{.wrap = kernel<kNoTex, C, A, false, true>,
                              .inside = kernel<kNoTex, C, A, false, false>};
template <int C, int A>
constexpr FastKernels flatBlendSet{.wrap = flatBlend<C, A>, .inside = flatBlend<C, A>};
template <int C, int A, bool B>
constexpr FastKernels pointSet{.wrap = kernel<kPoint, C, A, B, true>,
                               .inside = kernel<kPoint, C, A, B, false>};
template <int C, int A, bool B>
constexpr FastKernels linearSet{.wrap = kernel<kLinear, C, A, B, true>,
                                .inside = linearInside<C, A, B>,
                                .oneToOne = linearConst<C, A, B>,
                                .row = linearRow<C, A, B>};

// clang-format off
constinit const KernelRow kRows[] = {
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel1, .blend = false, .use = flatSet<kSel1, kSel1>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel1, .blend = true,  .use = flatBlendSet<kSel1, kSel1>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel2, .blend = false, .use = flatSet<kSel1, kSel2>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel2, .blend = true,  .use = flatBlendSet<kSel1, kSel2>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kMod,  .blend = false, .use = flatSet<kSel1, kMod>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kMod,  .blend = true,  .use = flatBlendSet<kSel1, kMod>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel1, .blend = false, .use = flatSet<kSel2, kSel1>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel1, .blend = true,  .use = flatBlendSet<kSel2, kSel1>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel2, .blend = false, .use = flatSet<kSel2, kSel2>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel2, .blend = true,  .use = flatBlendSet<kSel2, kSel2>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kMod,  .blend = false, .use = flatSet<kSel2, kMod>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kMod,  .blend = true,  .use = flatBlendSet<kSel2, kMod>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel1, .blend = false, .use = flatSet<kMod, kSel1>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel1, .blend = true,  .use = flatBlendSet<kMod, kSel1>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel2, .blend = false, .use = flatSet<kMod, kSel2>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel2, .blend = true,  .use = flatBlendSet<kMod, kSel2>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kMod,  .blend = false, .use = flatSet<kMod, kMod>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kMod,  .blend = true,  .use = flatBlendSet<kMod, kMod>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel1, .blend = false, .use = flatSet<kMod2x, kSel1>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel1, .blend = true,  .use = flatBlendSet<kMod2x, kSel1>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel2, .blend = false, .use = flatSet<kMod2x, kSel2>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel2, .blend = true,  .use = flatBlendSet<kMod2x, kSel2>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kMod,  .blend = false, .use = flatSet<kMod2x, kMod>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kMod,  .blend = true,  .use = flatBlendSet<kMod2x, kMod>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kSel1, .blend = false, .use = pointSet<kSel1, kSel1, false>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kSel1, .blend = true,  .use = pointSet<kSel1, kSel1, true>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kSel2, .blend = false, .use = pointSet<kSel1, kSel2, false>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kSel2, .blend = true,  .use = pointSet<kSel1, kSel2, true>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kMod,  .blend = false, .use = pointSet<kSel1, kMod, false>},
  {.tex = kPoint,  .colour = kSel1,  .alpha = kMod,  .blend = true,  .use = pointSet<kSel1, kMod, true>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kSel1, .blend = false, .use = pointSet<kSel2, kSel1, false>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kSel1, .blend = true,  .use = pointSet<kSel2, kSel1, true>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kSel2, .blend = false, .use = pointSet<kSel2, kSel2, false>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kSel2, .blend = true,  .use = pointSet<kSel2, kSel2, true>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kMod,  .blend = false, .use = pointSet<kSel2, kMod, false>},
  {.tex = kPoint,  .colour = kSel2,  .alpha = kMod,  .blend = true,  .use = pointSet<kSel2, kMod, true>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kSel1, .blend = false, .use = pointSet<kMod, kSel1, false>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kSel1, .blend = true,  .use = pointSet<kMod, kSel1, true>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kSel2, .blend = false, .use = pointSet<kMod, kSel2, false>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kSel2, .blend = true,  .use = pointSet<kMod, kSel2, true>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kMod,  .blend = false, .use = pointSet<kMod, kMod, false>},
  {.tex = kPoint,  .colour = kMod,   .alpha = kMod,  .blend = true,  .use = pointSet<kMod, kMod, true>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kSel1, .blend = false, .use = pointSet<kMod2x, kSel1, false>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kSel1, .blend = true,  .use = pointSet<kMod2x, kSel1, true>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kSel2, .blend = false, .use = pointSet<kMod2x, kSel2, false>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kSel2, .blend = true,  .use = pointSet<kMod2x, kSel2, true>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kMod,  .blend = false, .use = pointSet<kMod2x, kMod, false>},
  {.tex = kPoint,  .colour = kMod2x, .alpha = kMod,  .blend = true,  .use = pointSet<kMod2x, kMod, true>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kSel1, .blend = false, .use = linearSet<kSel1, kSel1, false>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kSel1, .blend = true,  .use = linearSet<kSel1, kSel1, true>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kSel2, .blend = false, .use = linearSet<kSel1, kSel2, false>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kSel2, .blend = true,  .use = linearSet<kSel1, kSel2, true>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kMod,  .blend = false, .use = linearSet<kSel1, kMod, false>},
  {.tex = kLinear, .colour = kSel1,  .alpha = kMod,  .blend = true,  .use = linearSet<kSel1, kMod, true>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kSel1, .blend = false, .use = linearSet<kSel2, kSel1, false>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kSel1, .blend = true,  .use = linearSet<kSel2, kSel1, true>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kSel2, .blend = false, .use = linearSet<kSel2, kSel2, false>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kSel2, .blend = true,  .use = linearSet<kSel2, kSel2, true>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kMod,  .blend = false, .use = linearSet<kSel2, kMod, false>},
  {.tex = kLinear, .colour = kSel2,  .alpha = kMod,  .blend = true,  .use = linearSet<kSel2, kMod, true>},
  {.tex = kLinear, .colour = kMod,   .alpha = kSel1, .blend = false, .use = linearSet<kMod, kSel1, false>},
  {.tex = kLinear, .colour = kMod,   .alpha = kSel1, .blend = true,  .use = linearSet<kMod, kSel1, true>},
  {.tex = kLinear, .colour = kMod,   .alpha = kSel2, .blend = false, .use = linearSet<kMod, kSel2, false>},
  {.tex = kLinear, .colour = kMod,   .alpha = kSel2, .blend = true,  .use = linearSet<kMod, kSel2, true>},
  {.tex = kLinear, .colour = kMod,   .alpha = kMod,  .blend = false, .use = linearSet<kMod, kMod, false>},
  {.tex = kLinear, .colour = kMod,   .alpha = kMod,  .blend = true,  .use = linearSet<kMod, kMod, true>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kSel1, .blend = false, .use = linearSet<kMod2x, kSel1, false>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kSel1, .blend = true,  .use = linearSet<kMod2x, kSel1, true>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kSel2, .blend = false, .use = linearSet<kMod2x, kSel2, false>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kSel2, .blend = true,  .use = linearSet<kMod2x, kSel2, true>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kMod,  .blend = false, .use = linearSet<kMod2x, kMod, false>},
  {.tex = kLinear, .colour = kMod2x, .alpha = kMod,  .blend = true,  .use = linearSet<kMod2x, kMod, true>},
};
// clang-format on

int opCode(DWORD op) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      return kSel1;
    case D3DTOP_SELECTARG2:
      return kSel2;
    case D3DTOP_MODULATE:
      return kMod;
    case D3DTOP_MODULATE2X:
      return kMod2x;
    default:
      return -1;
  }
}

bool isDiffuse(DWORD arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; }

std::atomic<int> g_width{512};

// The table's rows by state, per instruction set: null where a set has no row.
struct KernelIndex {
  const FastKernels* at[3][3][4][3][2] = {};  // instruction set, texture, colour, alpha, blend
};

KernelIndex indexRows() {
  KernelIndex x;
  const KernelRows* parts[] = {&kKernelRowsSse2, &kKernelRowsAvx2, &kKernelRowsAvx512};
  for (int isa = 0; isa < 3; ++isa)
    for (int i = 0; i < parts[isa]->count; ++i) {
      const KernelRow& r = parts[isa]->rows[i];
      x.at[isa][r.tex][r.colour][r.alpha][r.blend] = &r.use;
    }
  return x;
}

// The SSE2 row, overlaid by the wider sets' non-null kernels where the processor has them and the
// kernel width allows.
FastKernels tableKernels(int tex, int c, int a, bool blend) {
  static const KernelIndex index = indexRows();
  static const bool avx2 = __builtin_cpu_supports("avx2");
  static const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") &&
                             __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
  const int width = g_width.load(std::memory_order_relaxed);
  const bool use[3] = {true, avx2 && width >= 256, avx512 && width >= 512};
  FastKernels k;
  for (int isa = 0; isa < 3; ++isa) {
    const FastKernels* w = use[isa] ? index.at[isa][tex][c][a][blend] : nullptr;
    if (!w) continue;
    if (w->wrap) k.wrap = w->wrap;
    if (w->inside) k.inside = w->inside;
    if (w->oneToOne) k.oneToOne = w->oneToOne;
    if (w->row) k.row = w->row;
  }
  return k;
}

}  // namespace

constinit const KernelRows kKernelRowsSse2{kRows, int(std::size(kRows))};

FastKernels chooseFastKernel(const RasterState& s, bool textured, bool linear, bool constDiffuse,
                             uint32_t diffuse) {
  if (!constDiffuse || s.specularEnable || (s.alphaTest && s.alphaFunc != D3DCMP_ALWAYS)) return {};
  if (s.zbuf && (s.zTest || s.zWrite)) return {};
  if (textured && (s.addressU == D3DTADDRESS_CLAMP || s.addressV == D3DTADDRESS_CLAMP)) return {};
  if (s.colorArg1 != D3DTA_TEXTURE || !isDiffuse(s.colorArg2) || s.alphaArg1 != D3DTA_TEXTURE ||
      !isDiffuse(s.alphaArg2))
    return {};
  const int c = opCode(s.colorOp), a = opCode(s.alphaOp);
  if (c < 0 || a < 0 || a == kMod2x) return {};
  bool blend = false;
  if (s.blend) {
    DWORD sb = s.srcBlend, db = s.destBlend;
    if (sb == D3DBLEND_BOTHSRCALPHA) sb = D3DBLEND_SRCALPHA, db = D3DBLEND_INVSRCALPHA;
    if (sb == D3DBLEND_SRCALPHA && db == D3DBLEND_INVSRCALPHA)
      blend = true;
    else if (!(sb == D3DBLEND_ONE && db == D3DBLEND_ZERO))
      return {};
    // Fully opaque results need no blending.
    const bool texOpaque = !textured || s.texAlphaOr == 0xFF000000u;
    const bool difOpaque = (diffuse >> 24) == 255;
    if ((a == kSel1 && texOpaque) || (a == kSel2 && difOpaque) || (a == kMod && texOpaque && difOpaque))
      blend = false;
  }
  return tableKernels(!textured ? kNoTex : linear ? kLinear : kPoint, c, a, blend);
}

}  // namespace zqdisplay

void zqDisplaySetKernelWidth(int bits) { zqdisplay::g_width.store(bits); }
