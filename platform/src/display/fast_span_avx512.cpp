// AVX-512 forms of the inside, row and 1:1 bilinear kernels and of the flat blend: eight or
// sixteen pixels a step in 16-bit lanes.
// Same arithmetic as the SSE2 and AVX2 kernels, lane for lane.
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl")
// GCC 12's AVX-512 headers trip these warnings on their own undefined-vector idiom.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include <immintrin.h>

#include <algorithm>
#include <iterator>

#include "display/fast_span.h"

namespace zqdisplay {

namespace {

inline __m512i mul8(__m512i a, __m512i b) {
  const __m512i t = _mm512_add_epi16(_mm512_mullo_epi16(a, b), _mm512_set1_epi16(128));
  return _mm512_mulhi_epu16(t, _mm512_set1_epi16(257));
}
inline __m512i alphaLanes() { return _mm512_set1_epi64(int64_t(0xFFFF000000000000ull)); }
// The alpha lane of each pixel in all four of its lanes, in one byte shuffle.
inline __m512i alphaOf(__m512i s) {
  return _mm512_shuffle_epi8(s, _mm512_set4_epi32(0x0F0E0F0E, 0x0F0E0F0E, 0x07060706, 0x07060706));
}

template <int O>
inline __m512i op(__m512i t, __m512i d) {
  if constexpr (O == kSel1) return t;
  if constexpr (O == kSel2) return d;
  if constexpr (O == kMod) return mul8(t, d);
  if constexpr (O == kMod2x)
    return _mm512_min_epi16(_mm512_slli_epi16(mul8(t, d), 1), _mm512_set1_epi16(255));
}

template <int C, int A>
inline __m512i ops(__m512i t, __m512i d) {
  if constexpr ((C == kMod || C == kMod2x) && A == kMod) {
    const __m512i m = mul8(t, d);
    if constexpr (C == kMod) return m;
    // Doubled in the colour lanes only; the alpha lanes never exceed 255.
    return _mm512_min_epi16(_mm512_mask_add_epi16(m, __mmask32(0x77777777u), m, m), _mm512_set1_epi16(255));
  } else {
    return _mm512_or_si512(_mm512_andnot_si512(alphaLanes(), op<C>(t, d)),
                           _mm512_and_si512(alphaLanes(), op<A>(t, d)));
  }
}

// Eight pixels in 16-bit lanes, in order, to the first `count` (1..8) of dst.
template <int C, int A, bool B>
inline void finish8(__m512i t, __m512i d, uint32_t* dst, int count) {
  const bool full = count == 8;
  const __mmask8 m = __mmask8((1u << count) - 1);
  __m512i s = ops<C, A>(t, d);
  if constexpr (B) {
    const __m256i px =
        full ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst)) : _mm256_maskz_loadu_epi32(m, dst);
    const __m512i al = alphaOf(s);
    // The two rounded terms never exceed 255 together.
    s = _mm512_add_epi16(mul8(s, al),
                         mul8(_mm512_cvtepu8_epi16(px), _mm512_sub_epi16(_mm512_set1_epi16(255), al)));
  }
  if (full)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm512_cvtepi16_epi8(s));
  else
    _mm256_mask_storeu_epi32(dst, m, _mm512_cvtepi16_epi8(s));
}

// Sixteen pixels as bytes, widened within their 128-bit lanes and packed back, to the first
// `count` (1..16) of dst.
template <int C, int A, bool B>
inline void finish16(__m512i t, __m512i d, uint32_t* dst, int count) {
  const bool full = count == 16;
  const __mmask16 m = __mmask16((1u << count) - 1);
  const __m512i zero = _mm512_setzero_si512();
  __m512i lo = ops<C, A>(_mm512_unpacklo_epi8(t, zero), d), hi = ops<C, A>(_mm512_unpackhi_epi8(t, zero), d);
  if constexpr (B) {
    const __m512i px = full ? _mm512_loadu_si512(dst) : _mm512_maskz_loadu_epi32(m, dst);
    const __m512i c255 = _mm512_set1_epi16(255);
    const __m512i al = alphaOf(lo), ah = alphaOf(hi);
    lo = _mm512_add_epi16(mul8(lo, al), mul8(_mm512_unpacklo_epi8(px, zero), _mm512_sub_epi16(c255, al)));
    hi = _mm512_add_epi16(mul8(hi, ah), mul8(_mm512_unpackhi_epi8(px, zero), _mm512_sub_epi16(c255, ah)));
  }
  if (full)
    _mm512_storeu_si512(dst, _mm512_packus_epi16(lo, hi));
  else
    _mm512_mask_storeu_epi32(dst, m, _mm512_packus_epi16(lo, hi));
}

inline __m512i lerp16(__m512i a, __m512i b, __m512i iw, __m512i w) {
  return _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(a, iw), _mm512_mullo_epi16(b, w)), 8);
}

// Eight positions p, p + dp, ... p + 7 dp, each in both 32-bit halves of its pixel's 64 bits.
inline __m512i steps8(int32_t p, int32_t dp) {
  return _mm512_add_epi32(
      _mm512_set1_epi32(p),
      _mm512_mullo_epi32(_mm512_set1_epi32(dp),
                         _mm512_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7)));
}

// Filter weights ((p >> 8) & 255) of eight such positions, each in its pixel's four lanes:
// the second byte of every 32-bit position, zero-extended into both of its 16-bit lanes.
inline __m512i weights8(__m512i pos) {
  return _mm512_shuffle_epi8(
      pos, _mm512_set4_epi32(int(0x800D800Du), int(0x80098009u), int(0x80058005u), int(0x80018001u)));
}

inline __m512i diffuse512(uint32_t c) { return _mm512_cvtepu8_epi16(_mm256_set1_epi32(int(c))); }

// Floor of the bytewise mean, the lerp at weight one half: the rounded-up mean less the bit
// that an odd sum drops.
inline __m512i half(__m512i a, __m512i b) {
  return _mm512_sub_epi8(_mm512_avg_epu8(a, b), _mm512_ternarylogic_epi32(a, b, _mm512_set1_epi8(1), 0x28));
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
  alignas(64) uint16_t V[(kRowPairMax + 24) * 4];
  const __m256i aor = _mm256_set1_epi32(int(f.alphaOr));
  const int wys = (f.v >> 8) & 255;
  const __m512i wy = _mm512_set1_epi16(short(wys)), iwy = _mm512_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  const uint32_t *r0 = rows.top, *r1 = rows.bottom;
  forWrappedColumns(lo, cols, f.width, [&](int at, int x, int count) {
    // Later runs overwrite what a masked store leaves past this one.
    for (int k = 0; k < count; k += 8) {
      const __mmask8 m = __mmask8(count - k >= 8 ? 0xFF : (1u << (count - k)) - 1);
      const __m512i t = _mm512_cvtepu8_epi16(_mm256_or_si256(_mm256_maskz_loadu_epi32(m, r0 + x + k), aor));
      const __m512i b = _mm512_cvtepu8_epi16(_mm256_or_si256(_mm256_maskz_loadu_epi32(m, r1 + x + k), aor));
      _mm512_storeu_si512(V + 4 * (at + k), lerp16(t, b, iwy, wy));
    }
  });
  const __m512i d = diffuse512(f.diffuse);
  const __m512i c256 = _mm512_set1_epi16(256);
  const int32_t du = f.du;
  int32_t u = f.u - (lo << 16);
  __m512i uu = steps8(u, du);
  const __m512i du8 = _mm512_set1_epi32(du * 8);
  uint32_t* dst = f.dst;
  // Eight pixels cover at most nine neighbouring texels (|du| is at most one texel): the
  // sixteen texels from the lowest one are two registers, and each pixel's pair is picked
  // from them as 64-bit lanes (a texel's four channels).
  for (int i = 0; i < n; i += 8) {
    const int count = std::min(8, n - i);
    const int32_t uLast = u + du * (count - 1);
    const int base = std::min(u, uLast) >> 16;
    const uint16_t* tab = V + 4 * base;
    const __m512i col = _mm512_sub_epi32(_mm512_srai_epi32(uu, 16), _mm512_set1_epi32(base));
    // The right texels from the same window one texel on.
    const __m512i L = _mm512_permutex2var_epi64(_mm512_loadu_si512(tab), col, _mm512_loadu_si512(tab + 32));
    const __m512i R =
        _mm512_permutex2var_epi64(_mm512_loadu_si512(tab + 4), col, _mm512_loadu_si512(tab + 36));
    const __m512i w = weights8(uu), iw = _mm512_sub_epi16(c256, w);
    uu = _mm512_add_epi32(uu, du8);
    u += 8 * du;
    finish8<C, A, B>(lerp16(L, R, iw, w), d, dst + i, count);
  }
}

inline __m512i four(__m128i a, __m128i b, __m128i c, __m128i e) {
  const __m256i lo = _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1);
  const __m256i hi = _mm256_inserti128_si256(_mm256_castsi128_si256(c), e, 1);
  return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
}

template <int C, int A, bool B>
void linearInside(const FastSpan& f) {
  const __m512i d = diffuse512(f.diffuse);
  const __m512i c256 = _mm512_set1_epi16(256);
  const __m512i aor = _mm512_set1_epi32(int(f.alphaOr));
  const __m512i zero = _mm512_setzero_si512();
  const uint32_t* tex = f.tex;
  const int stride = f.stride;
  const int32_t du = f.du, dv = f.dv;
  int32_t u = f.u, v = f.v;
  __m512i uu = steps8(u, du), vv = steps8(v, dv);
  const __m512i du8 = _mm512_set1_epi32(du * 8), dv8 = _mm512_set1_epi32(dv * 8);
  uint32_t* dst = f.dst;
  const int n = f.n;
  auto two = [](const uint32_t* a, const uint32_t* b) {
    return _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  };
  for (int i = 0; i < n; i += 8) {
    const int count = std::min(8, n - i);
    // Lanes past the span repeat the last pixel's texels.
    const uint32_t* p[8];
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
      p[k] = k < count ? tex + (v >> 16) * stride + (u >> 16) : p[k - 1];
      u += du;
      v += dv;
    }
    const __m512i top =
        _mm512_or_si512(four(two(p[0], p[1]), two(p[2], p[3]), two(p[4], p[5]), two(p[6], p[7])), aor);
    const __m512i bot =
        _mm512_or_si512(four(two(p[0] + stride, p[1] + stride), two(p[2] + stride, p[3] + stride),
                             two(p[4] + stride, p[5] + stride), two(p[6] + stride, p[7] + stride)),
                        aor);
    const __m512i wy = weights8(vv), iwy = _mm512_sub_epi16(c256, wy);
    const __m512i wx = weights8(uu), iwx = _mm512_sub_epi16(c256, wx);
    uu = _mm512_add_epi32(uu, du8);
    vv = _mm512_add_epi32(vv, dv8);
    const __m512i L = lerp16(_mm512_unpacklo_epi8(top, zero), _mm512_unpacklo_epi8(bot, zero), iwy, wy);
    const __m512i R = lerp16(_mm512_unpackhi_epi8(top, zero), _mm512_unpackhi_epi8(bot, zero), iwy, wy);
    finish8<C, A, B>(lerp16(L, R, iwx, wx), d, dst + i, count);
  }
}

// 1:1 at a fixed offset: eight pixels a step from plain row loads.
template <int C, int A, bool B>
void linearConst(const FastSpan& f) {
  const __m512i d = diffuse512(f.diffuse);
  const __m256i aor = _mm256_set1_epi32(int(f.alphaOr));
  const __m512i aor16 = _mm512_set1_epi32(int(f.alphaOr));
  const int wxs = (f.u >> 8) & 255, wys = (f.v >> 8) & 255;
  const __m512i wx = _mm512_set1_epi16(short(wxs)), iwx = _mm512_set1_epi16(short(256 - wxs));
  const __m512i wy = _mm512_set1_epi16(short(wys)), iwy = _mm512_set1_epi16(short(256 - wys));
  const RowPair rows = rowPair(f);
  forOneToOneRuns(
      f.u >> 16, f.n, f.width, rows.top, rows.bottom,
      [&](const uint32_t* r0, const uint32_t* r1, int at, int n) {
        uint32_t* dst = f.dst + at;
        if (wxs == 128 && wys == 128) {
          // Weights of one half: the floor of bytewise means, sixteen pixels a step.
          for (int i = 0; i < n; i += 16) {
            const int count = std::min(16, n - i);
            const __mmask16 m = __mmask16(count == 16 ? 0xFFFF : (1u << count) - 1);
            auto load = [&](const uint32_t* p) {
              return _mm512_or_si512(_mm512_maskz_loadu_epi32(m, p), aor16);
            };
            finish16<C, A, B>(
                half(half(load(r0 + i), load(r1 + i)), half(load(r0 + i + 1), load(r1 + i + 1))), d, dst + i,
                count);
          }
          return;
        }
        for (int i = 0; i < n; i += 8) {
          const int count = std::min(8, n - i);
          const __mmask8 m = __mmask8(count == 8 ? 0xFF : (1u << count) - 1);
          // Texels past the run are not read.
          auto widen = [&](const uint32_t* p) {
            return _mm512_cvtepu8_epi16(_mm256_or_si256(_mm256_maskz_loadu_epi32(m, p), aor));
          };
          const __m512i l = lerp16(widen(r0 + i), widen(r1 + i), iwy, wy);
          const __m512i r = lerp16(widen(r0 + i + 1), widen(r1 + i + 1), iwy, wy);
          finish8<C, A, B>(lerp16(l, r, iwx, wx), d, dst + i, count);
        }
      },
      [&](uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, int at) {
        // Built from the scalars (a vector load of just-stored texels would stall); the lerp at
        // weight one half is the floor of the mean, as above.
        auto one = [&](uint32_t p) {
          return _mm512_cvtepu8_epi16(_mm256_castsi128_si256(_mm_cvtsi32_si128(int(p | f.alphaOr))));
        };
        const __m512i l = lerp16(one(tl), one(bl), iwy, wy), r = lerp16(one(tr), one(br), iwy, wy);
        finish8<C, A, B>(lerp16(l, r, iwx, wx), d, f.dst + at, 1);
      });
}

// No texture, blended: one product per pixel, sixteen pixels a step.
template <int C, int A>
void flatBlend(const FastSpan& f) {
  const __m512i c255 = _mm512_set1_epi16(255), zero = _mm512_setzero_si512();
  const __m512i s = ops<C, A>(c255, diffuse512(f.diffuse));
  const __m512i al = alphaOf(s);
  const __m512i src = mul8(s, al), ia = _mm512_sub_epi16(c255, al);
  uint32_t* dst = f.dst;
  const int n = f.n;
  for (int i = 0; i < n; i += 16) {
    const int count = std::min(16, n - i);
    const __mmask16 m = __mmask16(count == 16 ? 0xFFFF : (1u << count) - 1);
    const __m512i px = _mm512_maskz_loadu_epi32(m, dst + i);
    const __m512i lo = _mm512_add_epi16(src, mul8(_mm512_unpacklo_epi8(px, zero), ia));
    const __m512i hi = _mm512_add_epi16(src, mul8(_mm512_unpackhi_epi8(px, zero), ia));
    _mm512_mask_storeu_epi32(dst + i, m, _mm512_packus_epi16(lo, hi));
  }
}

// The kernels of one state, by texture mode.
template <int C, int A>
constexpr FastKernels flatBlendSet{.wrap = flatBlend<C, A>, .inside = flatBlend<C, A>};
// No wrapping form: spans that wrap are drawn by the narrower sets' kernels.
template <int C, int A, bool B>
constexpr FastKernels linearSet{
    .inside = linearInside<C, A, B>, .oneToOne = linearConst<C, A, B>, .row = linearRow<C, A, B>};

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

constinit const KernelRows kKernelRowsAvx512{kRows, int(std::size(kRows))};

}  // namespace zqdisplay
