// AVX2 forms of the hottest painting kernels: four pixels a step in 16-bit lanes (eight for
// 1:1 mappings and flat fills). The arithmetic is the SSE2 kernels', lane for lane, so both
// give the same pixels; the processor decides at run time which are used.
#pragma GCC target("avx2")

#include <immintrin.h>

#include <algorithm>
#include <iterator>

#include "display/fast_span.h"
#include "display/span_ops.h"

namespace zqdisplay {

namespace {

// round(a * b / 255) in 16-bit lanes.
inline __m256i mul8(__m256i a, __m256i b) {
  const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}
inline __m128i mul8(__m128i a, __m128i b) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

template <class V>
V alphaLanes();
template <>
inline __m256i alphaLanes<__m256i>() {
  return _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
}

inline __m256i vmin(__m256i a, __m256i b) { return _mm256_min_epi16(a, b); }
inline __m256i vadd(__m256i a, __m256i b) { return _mm256_add_epi16(a, b); }
inline __m256i vsub(__m256i a, __m256i b) { return _mm256_sub_epi16(a, b); }
inline __m256i vandn(__m256i a, __m256i b) { return _mm256_andnot_si256(a, b); }
inline __m256i vand(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
inline __m256i vor(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
inline __m256i v255(__m256i) { return _mm256_set1_epi16(255); }
inline __m256i shl1(__m256i a) { return _mm256_slli_epi16(a, 1); }
// The alpha lane of each pixel in all four of its lanes, in one byte shuffle.
inline __m256i alphaOf(__m256i s) {
  return _mm256_shuffle_epi8(s, _mm256_set_epi32(0x0F0E0F0E, 0x0F0E0F0E, 0x07060706, 0x07060706, 0x0F0E0F0E,
                                                 0x0F0E0F0E, 0x07060706, 0x07060706));
}

template <int O, class V>
inline V op(V t, V d) {
  if constexpr (O == kSel1) return t;
  if constexpr (O == kSel2) return d;
  if constexpr (O == kMod) return mul8(t, d);
  if constexpr (O == kMod2x) return vmin(shl1(mul8(t, d)), v255(t));
}

template <int C, int A, class V>
inline V ops(V t, V d) {
  if constexpr ((C == kMod || C == kMod2x) && A == kMod) {
    const V m = mul8(t, d);
    if constexpr (C == kMod) return m;
    return vmin(vadd(m, vandn(alphaLanes<V>(), m)), v255(t));
  } else {
    return vor(vandn(alphaLanes<V>(), op<C>(t, d)), vand(alphaLanes<V>(), op<A>(t, d)));
  }
}

template <bool B, class V>
inline V blendOver(V s, V dd) {
  if constexpr (!B) return s;
  const V al = alphaOf(s);
  return vadd(mul8(s, al), mul8(dd, vsub(v255(s), al)));
}

// Four pixels in 16-bit lanes (two in each half) to dst[0..3].
template <int C, int A, bool B>
inline void finish4(__m256i t, __m256i d, uint32_t* dst) {
  __m256i s = ops<C, A>(t, d);
  if constexpr (B)
    s = blendOver<B>(s, _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst))));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                   _mm_packus_epi16(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1)));
}

// The first `count` (1..3) lanes of a step of four.
inline __m128i lanes(int count) { return _mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(0, 1, 2, 3)); }

template <int C, int A, bool B>
inline void finish4(__m256i t, __m256i d, uint32_t* dst, int count) {
  if (count == 4) return finish4<C, A, B>(t, d, dst);
  __m256i s = ops<C, A>(t, d);
  if constexpr (B) {
    __m128i px =
        count == 1 ? _mm_cvtsi32_si128(int(dst[0])) : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst));
    if (count == 3) px = _mm_insert_epi32(px, int(dst[2]), 2);
    s = blendOver<B>(s, _mm256_cvtepu8_epi16(px));
  }
  const __m128i out = _mm_packus_epi16(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1));
  if (count == 1) {
    dst[0] = uint32_t(_mm_cvtsi128_si32(out));
    return;
  }
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), out);
  if (count == 3) dst[2] = uint32_t(_mm_extract_epi32(out, 2));
}

// Eight pixels as bytes to dst[0..7], widened within their 128-bit lanes and packed back.
template <int C, int A, bool B>
inline void finish8(__m256i t, __m256i d, uint32_t* dst) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i lo = ops<C, A>(_mm256_unpacklo_epi8(t, zero), d), hi = ops<C, A>(_mm256_unpackhi_epi8(t, zero), d);
  if constexpr (B) {
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
    lo = blendOver<B>(lo, _mm256_unpacklo_epi8(px, zero));
    hi = blendOver<B>(hi, _mm256_unpackhi_epi8(px, zero));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_packus_epi16(lo, hi));
}

inline __m256i lerp16(__m256i a, __m256i b, __m256i iw, __m256i w) {
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, iw), _mm256_mullo_epi16(b, w)), 8);
}
inline __m128i lerp16(__m128i a, __m128i b, __m128i iw, __m128i w) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, iw), _mm_mullo_epi16(b, w)), 8);
}

// Filter weights ((p >> 8) & 255) of four positions, each given in both 32-bit halves of its
// pixel's 64 bits: the second byte of every position, zero-extended into both of its 16-bit
// lanes.
inline __m256i weights4(__m256i pos) {
  const __m256i second =
      _mm256_set_epi32(int(0x800D800Du), int(0x80098009u), int(0x80058005u), int(0x80018001u),
                       int(0x800D800Du), int(0x80098009u), int(0x80058005u), int(0x80018001u));
  return _mm256_shuffle_epi8(pos, second);
}

// Four positions p, p + dp, p + 2 dp, p + 3 dp, each in both halves of its pixel's 64 bits.
inline __m256i steps4(int32_t p, int32_t dp) {
  return _mm256_add_epi32(
      _mm256_set1_epi32(p),
      _mm256_mullo_epi32(_mm256_set1_epi32(dp), _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3)));
}

inline __m256i diffuse256(uint32_t c) { return _mm256_cvtepu8_epi16(_mm_set1_epi32(int(c))); }

inline __m256i pair128(__m128i lo, __m128i hi) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

template <int C, int A, bool B>
void linearInside(const FastSpan& f) {
  const __m256i d = diffuse256(f.diffuse);
  const __m256i c256 = _mm256_set1_epi16(256);
  const __m256i aor = _mm256_set1_epi32(int(f.alphaOr));
  const uint32_t* tex = f.tex;
  const int stride = f.stride;
  const int32_t du = f.du, dv = f.dv;
  int32_t u = f.u, v = f.v;
  __m256i uu = steps4(u, du), vv = steps4(v, dv);
  const __m256i du4 = _mm256_set1_epi32(du * 4), dv4 = _mm256_set1_epi32(dv * 4);
  uint32_t* dst = f.dst;
  const int n = f.n;
  auto two = [](const uint32_t* a, const uint32_t* b) {
    return _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  };
  for (int i = 0; i < n; i += 4) {
    const int count = std::min(4, n - i);
    const uint32_t* p[4];
    for (int k = 0; k < 4; ++k) {
      p[k] = k < count ? tex + (v >> 16) * stride + (u >> 16) : p[k - 1];
      u += du;
      v += dv;
    }
    const __m256i top = _mm256_or_si256(pair128(two(p[0], p[1]), two(p[2], p[3])), aor);
    const __m256i bot =
        _mm256_or_si256(pair128(two(p[0] + stride, p[1] + stride), two(p[2] + stride, p[3] + stride)), aor);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i wy = weights4(vv), iwy = _mm256_sub_epi16(c256, wy);
    const __m256i wx = weights4(uu), iwx = _mm256_sub_epi16(c256, wx);
    uu = _mm256_add_epi32(uu, du4);
    vv = _mm256_add_epi32(vv, dv4);
    const __m256i L = lerp16(_mm256_unpacklo_epi8(top, zero), _mm256_unpacklo_epi8(bot, zero), iwy, wy);
    const __m256i R = lerp16(_mm256_unpackhi_epi8(top, zero), _mm256_unpackhi_epi8(bot, zero), iwy, wy);
    finish4<C, A, B>(lerp16(L, R, iwx, wx), d, dst + i, count);
  }
}

// Any position: every sample's right and lower neighbours wrap around the texture.
template <int C, int A, bool B>
void linearWrap(const FastSpan& f) {
  const __m256i d = diffuse256(f.diffuse);
  const __m256i c256 = _mm256_set1_epi16(256);
  const __m256i aor = _mm256_set1_epi32(int(f.alphaOr));
  const int W = f.width, H = f.height, stride = f.stride;
  const int32_t lu = W << 16, lv = H << 16, du = f.du, dv = f.dv;
  int32_t u = f.u, v = f.v;
  uint32_t* dst = f.dst;
  const int n = f.n;
  int32_t us[4], vs[4];
  uint64_t tp[4], bt[4];
  auto fetch = [&](int k) {
    const int x0 = u >> 16, y0 = v >> 16;
    const int x1 = x0 + 1 == W ? 0 : x0 + 1, y1 = y0 + 1 == H ? 0 : y0 + 1;
    const uint32_t* r0 = f.tex + y0 * stride;
    const uint32_t* r1 = f.tex + y1 * stride;
    tp[k] = r0[x0] | uint64_t(r0[x1]) << 32;
    bt[k] = r1[x0] | uint64_t(r1[x1]) << 32;
    us[k] = u;
    vs[k] = v;
    u = wrapStep(u, du, lu);
    v = wrapStep(v, dv, lv);
  };
  auto two = [](uint64_t a, uint64_t b) {
    return _mm_unpacklo_epi32(_mm_cvtsi64_si128(int64_t(a)), _mm_cvtsi64_si128(int64_t(b)));
  };
  for (int i = 0; i < n; i += 4) {
    const int count = std::min(4, n - i);
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
      if (k < count) {
        fetch(k);
      } else {
        tp[k] = tp[k - 1];
        bt[k] = bt[k - 1];
        us[k] = us[k - 1];
        vs[k] = vs[k - 1];
      }
    }
    const __m256i top = _mm256_or_si256(pair128(two(tp[0], tp[1]), two(tp[2], tp[3])), aor);
    const __m256i bot = _mm256_or_si256(pair128(two(bt[0], bt[1]), two(bt[2], bt[3])), aor);
    const __m256i zero = _mm256_setzero_si256();
    // Built from the scalars (a vector load of just-stored lanes would stall).
    const __m256i wy = weights4(_mm256_setr_epi32(vs[0], vs[0], vs[1], vs[1], vs[2], vs[2], vs[3], vs[3]));
    const __m256i wx = weights4(_mm256_setr_epi32(us[0], us[0], us[1], us[1], us[2], us[2], us[3], us[3]));
    const __m256i iwy = _mm256_sub_epi16(c256, wy), iwx = _mm256_sub_epi16(c256, wx);
    const __m256i L = lerp16(_mm256_unpacklo_epi8(top, zero), _mm256_unpacklo_epi8(bot, zero), iwy, wy);
    const __m256i R = lerp16(_mm256_unpackhi_epi8(top, zero), _mm256_unpackhi_epi8(bot, zero), iwy, wy);
    finish4<C, A, B>(lerp16(L, R, iwx, wx), d, dst + i, count);
  }
}

// Floor of the bytewise mean, the lerp at weight one half: the rounded-up mean less the bit
// that an odd sum drops.
inline __m256i halfway(__m256i a, __m256i b) {
  return _mm256_sub_epi8(_mm256_avg_epu8(a, b),
                         _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1)));
}

template <int C, int A, bool B>
void linearConst(const FastSpan& f) {
  const __m256i d = diffuse256(f.diffuse);
  const __m256i aor = _mm256_set1_epi32(int(f.alphaOr));
  const int wxs = (f.u >> 8) & 255, wys = (f.v >> 8) & 255;
  const __m256i wx = _mm256_set1_epi16(short(wxs)), iwx = _mm256_set1_epi16(short(256 - wxs));
  const __m256i wy = _mm256_set1_epi16(short(wys)), iwy = _mm256_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  auto load = [&](const uint32_t* p) {
    return _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), aor);
  };
  forOneToOneRuns(
      f.u >> 16, f.n, f.width, rows.top, rows.bottom,
      [&](const uint32_t* r0, const uint32_t* r1, int at, int n) {
        uint32_t* dst = f.dst + at;
        int i = 0;
        if (wxs == 128 && wys == 128) {
          for (; i + 8 <= n; i += 8) {
            const __m256i l = halfway(load(r0 + i), load(r1 + i)),
                          r = halfway(load(r0 + i + 1), load(r1 + i + 1));
            finish8<C, A, B>(halfway(l, r), d, dst + i);
          }
        }
        for (; i < n; i += 4) {
          const int count = std::min(4, n - i);
          const __m128i m = lanes(count);
          // Texels past the run are not read: the last step loads only its pixels' lanes.
          auto widen = [&](const uint32_t* p) {
            const __m128i px = count == 4 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))
                                          : _mm_maskload_epi32(reinterpret_cast<const int*>(p), m);
            return _mm256_cvtepu8_epi16(_mm_or_si128(px, _mm256_castsi256_si128(aor)));
          };
          const __m256i l = lerp16(widen(r0 + i), widen(r1 + i), iwy, wy);
          const __m256i r = lerp16(widen(r0 + i + 1), widen(r1 + i + 1), iwy, wy);
          finish4<C, A, B>(lerp16(l, r, iwx, wx), d, dst + i, count);
        }
      },
      [&](uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, int at) {
        // Built from the scalars (a vector load of just-stored texels would stall).
        auto one = [&](uint32_t p) {
          return _mm256_cvtepu8_epi16(_mm_or_si128(_mm_cvtsi32_si128(int(p)), _mm256_castsi256_si128(aor)));
        };
        const __m256i l = lerp16(one(tl), one(bl), iwy, wy), r = lerp16(one(tr), one(br), iwy, wy);
        finish4<C, A, B>(lerp16(l, r, iwx, wx), d, f.dst + at, 1);
      });
}

constexpr int kRowPairMax = 2048;

template <int C, int A, bool B>
void linearRow(const FastSpan& f) {
  // In pieces, so that each piece's columns fit the buffer.
  if (drawInPieces(f, kRowPairMax / 2, linearRow<C, A, B>)) return;
  const int n = f.n;
  int lo, cols;
  rowColumns(f, lo, cols);
  // The row pair filtered vertically once per texel column, four 16-bit lanes a texel.
  alignas(32) uint16_t V[(kRowPairMax + 4) * 4];
  const __m128i aor = _mm_set1_epi32(int(f.alphaOr));
  const int wys = (f.v >> 8) & 255;
  const __m256i wy = _mm256_set1_epi16(short(wys)), iwy = _mm256_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  const uint32_t *r0 = rows.top, *r1 = rows.bottom;
  forWrappedColumns(lo, cols, f.width, [&](int at, int x, int count) {
    const uint32_t *t0 = r0 + x, *b0 = r1 + x;
    uint16_t* out = V + 4 * at;
    int k = 0;
    for (; k + 4 <= count; k += 4) {
      const __m256i t =
          _mm256_cvtepu8_epi16(_mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t0 + k)), aor));
      const __m256i b =
          _mm256_cvtepu8_epi16(_mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b0 + k)), aor));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * k), lerp16(t, b, iwy, wy));
    }
    for (; k < count; ++k) {
      const __m128i t = _mm_cvtepu8_epi16(_mm_or_si128(_mm_cvtsi32_si128(int(t0[k])), aor));
      const __m128i b = _mm_cvtepu8_epi16(_mm_or_si128(_mm_cvtsi32_si128(int(b0[k])), aor));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * k),
                       lerp16(t, b, _mm256_castsi256_si128(iwy), _mm256_castsi256_si128(wy)));
    }
  });
  const __m256i d = diffuse256(f.diffuse);
  const __m256i c256 = _mm256_set1_epi16(256);
  const int32_t du = f.du;
  int32_t u = f.u - (lo << 16);
  __m256i uu = steps4(u, du);
  const __m256i du4 = _mm256_set1_epi32(du * 4);
  uint32_t* dst = f.dst;
  auto pair = [&](int32_t p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(V + 4 * (p >> 16))); };
  for (int i = 0; i < n; i += 4) {
    const int count = std::min(4, n - i);
    // Lanes past the span repeat the last pixel's texels.
    const int32_t ub = u + (count > 1 ? du : 0), uc = ub + (count > 2 ? du : 0),
                  ue = uc + (count > 3 ? du : 0);
    // Pixels 0 and 2, then 1 and 3, each as its texel pair: the 64-bit unpacks put the left
    // and the right texels of all four in order.
    const __m256i ac = pair128(pair(u), pair(uc)), be = pair128(pair(ub), pair(ue));
    u += 4 * du;
    const __m256i w = weights4(uu), iw = _mm256_sub_epi16(c256, w);
    uu = _mm256_add_epi32(uu, du4);
    finish4<C, A, B>(lerp16(_mm256_unpacklo_epi64(ac, be), _mm256_unpackhi_epi64(ac, be), iw, w), d, dst + i,
                     count);
  }
}

template <int C, int A>
void flatBlend(const FastSpan& f) {
  const __m256i d = diffuse256(f.diffuse);
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i s = ops<C, A>(c255, d);
  const __m256i al = alphaOf(s);
  const __m256i src = mul8(s, al), ia = _mm256_sub_epi16(c255, al);
  uint32_t* dst = f.dst;
  const int n = f.n;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i lo = _mm256_add_epi16(src, mul8(_mm256_cvtepu8_epi16(_mm256_castsi256_si128(px)), ia));
    const __m256i hi = _mm256_add_epi16(src, mul8(_mm256_cvtepu8_epi16(_mm256_extracti128_si256(px, 1)), ia));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8));
  }
  const __m128i src1 = _mm256_castsi256_si128(src), ia1 = _mm256_castsi256_si128(ia);
  for (; i < n; ++i) {
    const __m128i r = _mm_add_epi16(src1, mul8(_mm_cvtepu8_epi16(_mm_cvtsi32_si128(int(dst[i]))), ia1));
    dst[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(r, r)));
  }
}

// The kernels of one state, by texture mode.
template <int C, int A>
constexpr FastKernels flatBlendSet{.wrap = flatBlend<C, A>, .inside = flatBlend<C, A>};
template <int C, int A, bool B>
constexpr FastKernels linearSet{.wrap = linearWrap<C, A, B>,
                                .inside = linearInside<C, A, B>,
                                .oneToOne = linearConst<C, A, B>,
                                .row = linearRow<C, A, B>};

// clang-format off
constinit const KernelRow kRows[] = {
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel1, .blend = true,  .use = flatBlendSet<kSel1, kSel1>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kSel2, .blend = true,  .use = flatBlendSet<kSel1, kSel2>},
  {.tex = kNoTex,  .colour = kSel1,  .alpha = kMod,  .blend = true,  .use = flatBlendSet<kSel1, kMod>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel1, .blend = true,  .use = flatBlendSet<kSel2, kSel1>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kSel2, .blend = true,  .use = flatBlendSet<kSel2, kSel2>},
  {.tex = kNoTex,  .colour = kSel2,  .alpha = kMod,  .blend = true,  .use = flatBlendSet<kSel2, kMod>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel1, .blend = true,  .use = flatBlendSet<kMod, kSel1>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kSel2, .blend = true,  .use = flatBlendSet<kMod, kSel2>},
  {.tex = kNoTex,  .colour = kMod,   .alpha = kMod,  .blend = true,  .use = flatBlendSet<kMod, kMod>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel1, .blend = true,  .use = flatBlendSet<kMod2x, kSel1>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kSel2, .blend = true,  .use = flatBlendSet<kMod2x, kSel2>},
  {.tex = kNoTex,  .colour = kMod2x, .alpha = kMod,  .blend = true,  .use = flatBlendSet<kMod2x, kMod>},
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

}  // namespace

constinit const KernelRows kKernelRowsAvx2{kRows, int(std::size(kRows))};

}  // namespace zqdisplay
