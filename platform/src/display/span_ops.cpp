#include "display/span_ops.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace zqdisplay {

namespace {

inline uint32_t sat(uint32_t v) { return v > 255 ? 255 : v; }

template <class F>
inline uint32_t perChannel(uint32_t a, uint32_t b, F f) {
  uint32_t r = 0;
  for (int k = 0; k < 32; k += 8) r |= sat(f((a >> k) & 255, (b >> k) & 255)) << k;
  return r;
}

template <class F>
void colourLoop(const uint32_t* a1, const uint32_t* a2, int n, uint32_t* out, F f) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(a1);
  const uint8_t* q = reinterpret_cast<const uint8_t*>(a2);
  uint8_t* o = reinterpret_cast<uint8_t*>(out);
  for (int i = 0; i < 4 * n; ++i) o[i] = uint8_t(sat(f(uint32_t(p[i]), uint32_t(q[i]))));
}

template <class F>
void alphaLoop(const uint32_t* a1, const uint32_t* a2, int n, uint32_t* out, F f) {
  for (int i = 0; i < n; ++i) out[i] = (out[i] & 0x00FFFFFFu) | (sat(f(a1[i] >> 24, a2[i] >> 24)) << 24);
}

template <class F>
void run(uint32_t mask, const uint32_t* a1, const uint32_t* a2, int n, uint32_t* out, F f) {
  if (mask == 0xFF000000u)
    alphaLoop(a1, a2, n, out, f);
  else
    colourLoop(a1, a2, n, out, f);
}

// Lerp by a per-pixel alpha taken from `alphaSource`.
void blendByAlpha(uint32_t mask, const uint32_t* a1, const uint32_t* a2, const uint32_t* alphaSource, int n,
                  uint32_t* out) {
  for (int i = 0; i < n; ++i) {
    uint32_t al = alphaSource[i] >> 24;
    uint32_t r =
        perChannel(a1[i], a2[i], [&](uint32_t x, uint32_t y) { return mul8(x, al) + mul8(y, 255 - al); });
    out[i] = mask == 0xFF000000u ? (out[i] & 0x00FFFFFFu) | (r & 0xFF000000u) : r;
  }
}

inline bool compare(DWORD func, uint32_t v, uint32_t ref) {
  switch (func) {
    case D3DCMP_NEVER:
      return false;
    case D3DCMP_LESS:
      return v < ref;
    case D3DCMP_EQUAL:
      return v == ref;
    case D3DCMP_LESSEQUAL:
      return v <= ref;
    case D3DCMP_GREATER:
      return v > ref;
    case D3DCMP_NOTEQUAL:
      return v != ref;
    case D3DCMP_GREATEREQUAL:
      return v >= ref;
    default:
      return true;
  }
}

template <class T, class C>
void depthLoop(T* zbuf, const float* z, int n, bool write, uint8_t* mask, C cmp, T (*conv)(float)) {
  for (int i = 0; i < n; ++i) {
    if (!mask[i]) continue;
    T v = conv(z[i]);
    bool pass = cmp(v, zbuf[i]);
    mask[i] = pass;
    if (pass && write) zbuf[i] = v;
  }
}

template <class T>
void depthSpan(T* zbuf, const float* z, int n, DWORD func, bool write, uint8_t* mask, T (*conv)(float)) {
  switch (func) {
    case D3DCMP_NEVER:
      std::memset(mask, 0, size_t(n));
      return;
    case D3DCMP_LESS:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a < b; }, conv);
      return;
    case D3DCMP_EQUAL:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a == b; }, conv);
      return;
    case D3DCMP_LESSEQUAL:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a <= b; }, conv);
      return;
    case D3DCMP_GREATER:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a > b; }, conv);
      return;
    case D3DCMP_NOTEQUAL:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a != b; }, conv);
      return;
    case D3DCMP_GREATEREQUAL:
      depthLoop(
          zbuf, z, n, write, mask, [](T a, T b) { return a >= b; }, conv);
      return;
    default:
      depthLoop(
          zbuf, z, n, write, mask, [](T, T) { return true; }, conv);
      return;
  }
}

uint16_t toZ16(float z) {
  z = z > 0 ? (z < 1 ? z : 1) : 0;  // NaN as 0: converting it would be undefined
  return uint16_t(z * 65535.f + 0.5f);
}
float toZ32(float z) { return z < 0 ? 0 : z > 1 ? 1 : z; }

// Blend factor bytes of one pixel (b, g, r, a) for a factor code.
inline uint32_t factor(DWORD f, uint32_t s, uint32_t d) {
  const uint32_t sa = s >> 24, da = d >> 24;
  switch (f) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return 0xFFFFFFFFu;
    case D3DBLEND_SRCCOLOR:
      return s;
    case D3DBLEND_INVSRCCOLOR:
      return ~s;
    case D3DBLEND_SRCALPHA:
      return sa * 0x01010101u;
    case D3DBLEND_INVSRCALPHA:
      return (255 - sa) * 0x01010101u;
    case D3DBLEND_DESTALPHA:
      return da * 0x01010101u;
    case D3DBLEND_INVDESTALPHA:
      return (255 - da) * 0x01010101u;
    case D3DBLEND_DESTCOLOR:
      return d;
    case D3DBLEND_INVDESTCOLOR:
      return ~d;
    case D3DBLEND_SRCALPHASAT:
      return std::min(sa, 255 - da) * 0x00010101u | 0xFF000000u;
    default:
      return 0xFFFFFFFFu;
  }
}

void blendSrcAlpha(const uint32_t* src, uint32_t* dst, int n, const uint8_t* mask) {
  // dst = src * a + dst * (1 - a), two pixels per step in 16-bit lanes.
  const __m128i zero = _mm_setzero_si128();
  const __m128i c128 = _mm_set1_epi16(128);
  const __m128i c255 = _mm_set1_epi16(255);
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    if (mask && !mask[i] && !mask[i + 1]) continue;
    __m128i s = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + i)), zero);
    __m128i d = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + i)), zero);
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    __m128i ia = _mm_sub_epi16(c255, a);
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(s, a), c128);
    t = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    __m128i u = _mm_add_epi16(_mm_mullo_epi16(d, ia), c128);
    u = _mm_srli_epi16(_mm_add_epi16(u, _mm_srli_epi16(u, 8)), 8);
    __m128i r = _mm_packus_epi16(_mm_min_epi16(_mm_add_epi16(t, u), c255), zero);
    if (mask && !(mask[i] && mask[i + 1])) {
      uint32_t out[2];
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out), r);
      if (mask[i]) dst[i] = out[0];
      if (mask[i + 1]) dst[i + 1] = out[1];
    } else {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), r);
    }
  }
  for (; i < n; ++i) {
    if (mask && !mask[i]) continue;
    uint32_t s = src[i], d = dst[i], a = s >> 24;
    dst[i] = perChannel(s, d, [&](uint32_t x, uint32_t y) { return mul8(x, a) + mul8(y, 255 - a); });
  }
}

}  // namespace

uint32_t bilinearTexel(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t wx, uint32_t wy) {
  // Two channels at a time (b and r, g and a) in 8.8 fixed point.
  auto lerp2 = [](uint32_t p, uint32_t q, uint32_t w) {
    uint32_t rb = ((p & 0x00FF00FFu) * (256 - w) + (q & 0x00FF00FFu) * w) >> 8 & 0x00FF00FFu;
    uint32_t ga = (((p >> 8) & 0x00FF00FFu) * (256 - w) + ((q >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ga;
  };
  return lerp2(lerp2(t00, t01, wy), lerp2(t10, t11, wy), wx);
}

void bilinearWrapSpan(const uint32_t* tex, int stride, int w, int h, uint32_t alphaOr, int32_t u, int32_t v,
                      int32_t du, int32_t dv, int n, uint32_t* out) {
  const int32_t lu = w << 16, lv = h << 16;
  for (int i = 0; i < n; ++i) {
    const int x0 = u >> 16, y0 = v >> 16;
    const int x1 = x0 + 1 == w ? 0 : x0 + 1, y1 = y0 + 1 == h ? 0 : y0 + 1;
    const uint32_t* r0 = tex + y0 * stride;
    const uint32_t* r1 = tex + y1 * stride;
    out[i] = bilinearTexel(r0[x0] | alphaOr, r0[x1] | alphaOr, r1[x0] | alphaOr, r1[x1] | alphaOr,
                           uint32_t(u >> 8) & 255, uint32_t(v >> 8) & 255);
    u = wrapStep(u, du, lu);
    v = wrapStep(v, dv, lv);
  }
}

void combine(DWORD op, const uint32_t* a1, const uint32_t* a2, const uint32_t* diffuse,
             const uint32_t* texture, int n, uint32_t* out, uint32_t mask) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      run(mask, a1, a1, n, out, [](uint32_t x, uint32_t) { return x; });
      return;
    case D3DTOP_SELECTARG2:
      run(mask, a2, a2, n, out, [](uint32_t x, uint32_t) { return x; });
      return;
    case D3DTOP_MODULATE:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return mul8(x, y); });
      return;
    case D3DTOP_MODULATE2X:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return 2 * mul8(x, y); });
      return;
    case D3DTOP_MODULATE4X:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return 4 * mul8(x, y); });
      return;
    case D3DTOP_ADD:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return x + y; });
      return;
    case D3DTOP_ADDSIGNED:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return x + y < 128 ? 0u : x + y - 128; });
      return;
    case D3DTOP_ADDSIGNED2X:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return x + y < 128 ? 0u : 2 * (x + y - 128); });
      return;
    case D3DTOP_SUBTRACT:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return x > y ? x - y : 0u; });
      return;
    case D3DTOP_ADDSMOOTH:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t y) { return x + y - mul8(x, y); });
      return;
    case D3DTOP_BLENDDIFFUSEALPHA:
      blendByAlpha(mask, a1, a2, diffuse, n, out);
      return;
    case D3DTOP_BLENDTEXTUREALPHA:
      blendByAlpha(mask, a1, a2, texture, n, out);
      return;
    default:
      run(mask, a1, a2, n, out, [](uint32_t x, uint32_t) { return x; });
      return;
  }
}

void addSpecular(uint32_t* out, const uint32_t* specular, int n) {
  for (int i = 0; i < n; ++i)
    out[i] = (out[i] & 0xFF000000u) |
             (perChannel(out[i], specular[i], [](uint32_t x, uint32_t y) { return x + y; }) & 0x00FFFFFFu);
}

void alphaTestSpan(DWORD func, uint32_t ref, const uint32_t* color, int n, uint8_t* mask) {
  for (int i = 0; i < n; ++i) mask[i] = compare(func, color[i] >> 24, ref);
}

void depthSpan16(uint16_t* zbuf, const float* z, int n, DWORD func, bool write, uint8_t* mask) {
  depthSpan<uint16_t>(zbuf, z, n, func, write, mask, toZ16);
}

void depthSpan32(float* zbuf, const float* z, int n, DWORD func, bool write, uint8_t* mask) {
  depthSpan<float>(zbuf, z, n, func, write, mask, toZ32);
}

void blendSpan(DWORD srcBlend, DWORD destBlend, bool destHasAlpha, const uint32_t* src, uint32_t* dst, int n,
               const uint8_t* mask) {
  if (srcBlend == D3DBLEND_BOTHSRCALPHA) {
    srcBlend = D3DBLEND_SRCALPHA;
    destBlend = D3DBLEND_INVSRCALPHA;
  } else if (srcBlend == D3DBLEND_BOTHINVSRCALPHA) {
    srcBlend = D3DBLEND_INVSRCALPHA;
    destBlend = D3DBLEND_SRCALPHA;
  }
  if (srcBlend == D3DBLEND_SRCALPHA && destBlend == D3DBLEND_INVSRCALPHA) {
    blendSrcAlpha(src, dst, n, mask);
    return;
  }
  if (srcBlend == D3DBLEND_ONE && destBlend == D3DBLEND_ZERO) {
    writeSpan(src, dst, n, mask);
    return;
  }
  const uint32_t aor = destHasAlpha ? 0 : 0xFF000000u;
  for (int i = 0; i < n; ++i) {
    if (mask && !mask[i]) continue;
    const uint32_t s = src[i], d = dst[i] | aor;
    const uint32_t fs = factor(srcBlend, s, d), fd = factor(destBlend, s, d);
    uint32_t r = 0;
    for (int k = 0; k < 32; k += 8)
      r |= sat(mul8((s >> k) & 255, (fs >> k) & 255) + mul8((d >> k) & 255, (fd >> k) & 255)) << k;
    dst[i] = r;
  }
}

void writeSpan(const uint32_t* src, uint32_t* dst, int n, const uint8_t* mask) {
  if (!mask) {
    std::memcpy(dst, src, size_t(n) * 4);
    return;
  }
  for (int i = 0; i < n; ++i)
    if (mask[i]) dst[i] = src[i];
}

}  // namespace zqdisplay
