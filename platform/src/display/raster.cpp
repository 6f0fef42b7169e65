#include "display/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/fast_span.h"
#include "display/span_ops.h"

namespace zqdisplay {

namespace {

constexpr int kChunk = 1024;

// Attribute planes of one triangle: value(x, y) = base + dx * (x - ox) + dy * (y - oy).
struct Plane {
  double base = 0, dx = 0, dy = 0;
  double at(double x, double y, double ox, double oy) const { return base + dx * (x - ox) + dy * (y - oy); }
};

struct Setup {
  double ox = 0, oy = 0;
  Plane z, u, v;  // u, v in texels
  Plane col[4];   // diffuse b, g, r, a (0..255)
  Plane spec[3];  // specular b, g, r
  bool constDiffuse = false;
  uint32_t diffuse = 0;  // when constant
  bool linear = false;   // bilinear sampling
  bool textured = false;
  FastKernels fast;
  // Fused-kernel stepping, fixed once per triangle.
  int32_t fdu = 0, fdv = 0;    // 16.16 texels a pixel, reduced modulo the texture size
  double texOff = 0;           // sample offset: half a texel under bilinear filtering
  FastKernel whole = nullptr;  // draws each row in one call when set
  bool rangeable = false;      // steps small enough to find the runs inside the texture
};

// ceil and floor without a library call; out-of-range and NaN inputs are clamped rather than
// converted to int, which would be undefined.
inline int ceilToInt(double x) {
  if (!(x > -1e9)) x = -1e9;
  if (x > 1e9) x = 1e9;
  const int i = int(x);
  return i + (double(i) < x);
}
inline int floorToInt(double x) {
  if (!(x > -1e9)) x = -1e9;
  if (x > 1e9) x = 1e9;
  const int i = int(x);
  return i - (double(i) > x);
}
// floor for values well inside the int64 range
inline int64_t floor64(double x) {
  const int64_t i = int64_t(x);
  return i - (double(i) > x);
}
// fmod, skipping the library call where it returns x itself.
inline double modSize(double x, double size) { return x > -size && x < size ? x : std::fmod(x, size); }

inline int satByte(double v) { return v <= 0 ? 0 : v >= 255 ? 255 : int(v + 0.5); }

// Span buffers, one set per thread.
struct Buffers {
  alignas(16) uint32_t tex[kChunk];
  alignas(16) uint32_t dif[kChunk];
  alignas(16) uint32_t spc[kChunk];
  alignas(16) uint32_t out[kChunk];
  alignas(16) uint32_t tmp1[kChunk];
  alignas(16) uint32_t tmp2[kChunk];
  alignas(16) uint8_t mask[kChunk];
  alignas(16) float z[kChunk];
};
thread_local Buffers g_buf;

void interpolateColors(const Plane* p, double x, double y, const Setup& t, int n, uint32_t* out) {
  // 8.16 fixed point per channel, stepped per pixel. A sliver of a triangle can have any
  // gradient: the steps are 64-bit and bounded so that no chunk of pixels overflows them, and
  // NaN counts as 0.
  int64_t c[4], d[4];
  for (int k = 0; k < 4; ++k) {
    const double v = p[k].at(x, y, t.ox, t.oy), dx = p[k].dx * 65536.0;
    c[k] = int64_t((v > -1.0 ? (v < 256.0 ? v : 256.0) : -1.0) * 65536.0) + 32768;
    d[k] = !(dx == dx) ? 0 : dx > 1e12 ? int64_t(1e12) : dx < -1e12 ? int64_t(-1e12) : int64_t(dx);
  }
  for (int i = 0; i < n; ++i) {
    uint32_t px = 0;
    for (int k = 0; k < 4; ++k) {
      const int64_t v64 = c[k] >> 16;
      const uint32_t v = v64 < 0 ? 0 : v64 > 255 ? 255 : uint32_t(v64);
      px |= uint32_t(v) << (8 * k);
      c[k] += d[k];
    }
    out[i] = px;
  }
}

inline int64_t wrapFixed(double texels, int size) {
  if (!std::isfinite(texels)) return 0;
  double m = texels >= 0 && texels < size ? texels : std::fmod(texels, double(size));
  if (m < 0) m += size;
  int64_t f = int64_t(m * 65536.0);
  int64_t lim = int64_t(size) << 16;
  if (f >= lim) f -= lim;
  if (f < 0) f = 0;
  return f;
}

// p modulo lim, in [0, lim).
inline int64_t reduceFixed(int64_t p, int64_t lim) {
  if (p >= 0 && p < lim) return p;
  if (p < 0 && p >= -lim) return p + lim;
  if (p >= lim && p < 2 * lim) return p - lim;
  p %= lim;
  return p < 0 ? p + lim : p;
}

// A wrapped coordinate's fixed-point walk along a span starting at `texels` and stepping by
// `step` texels a pixel: its position at pixel `skip`, and its step.
struct WrapWalk {
  int32_t pos, step;
};
inline WrapWalk wrapWalk(double texels, double step, int size, int skip) {
  const int32_t s = int32_t(std::fmod(step, double(size)) * 65536.0);
  return {int32_t(reduceFixed(wrapFixed(texels, size) + int64_t(s) * skip, int64_t(size) << 16)), s};
}

// The texels of pixels skip .. skip + n - 1 of a span starting at (u, v): wrapped spans step
// in fixed point from the span's start, so chunks continue one walk.
void fetchPoint(const RasterState& s, double u, double v, double du, double dv, int skip, int n,
                uint32_t* out) {
  const int W = s.texWidth, H = s.texHeight;
  const uint32_t* tex = s.tex;
  const int stride = s.texStride;
  const uint32_t aor = s.texAlphaOr;
  const bool wrapU = s.addressU != D3DTADDRESS_CLAMP, wrapV = s.addressV != D3DTADDRESS_CLAMP;
  if (wrapU && wrapV) {
    const int32_t lu = W << 16, lv = H << 16;
    auto [pu, su] = wrapWalk(u, du, W, skip);
    auto [pv, sv] = wrapWalk(v, dv, H, skip);
    for (int i = 0; i < n; ++i) {
      out[i] = tex[(pv >> 16) * stride + (pu >> 16)] | aor;
      pu = wrapStep(pu, su, lu);
      pv = wrapStep(pv, sv, lv);
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    double uu = u + du * (skip + i), vv = v + dv * (skip + i);
    int x = floorToInt(uu), y = floorToInt(vv);
    if (wrapU) {
      x %= W;
      if (x < 0) x += W;
    } else
      x = std::clamp(x, 0, W - 1);
    if (wrapV) {
      y %= H;
      if (y < 0) y += H;
    } else
      y = std::clamp(y, 0, H - 1);
    out[i] = tex[y * stride + x] | aor;
  }
}

void fetchLinear(const RasterState& s, double u, double v, double du, double dv, int skip, int n,
                 uint32_t* out) {
  const int W = s.texWidth, H = s.texHeight;
  const bool wrapU = s.addressU != D3DTADDRESS_CLAMP, wrapV = s.addressV != D3DTADDRESS_CLAMP;
  u -= 0.5;
  v -= 0.5;
  if (wrapU && wrapV) {
    const auto [pu, su] = wrapWalk(u, du, W, skip);
    const auto [pv, sv] = wrapWalk(v, dv, H, skip);
    bilinearWrapSpan(s.tex, s.texStride, W, H, s.texAlphaOr, pu, pv, su, sv, n, out);
    return;
  }
  for (int i = 0; i < n; ++i) {
    double uu = u + du * (skip + i), vv = v + dv * (skip + i);
    // Positions past the int range (or not finite) sample some texel; converting them would
    // be undefined.
    if (!std::isfinite(uu)) uu = 0;
    if (!std::isfinite(vv)) vv = 0;
    double fu = std::floor(uu), fv = std::floor(vv);
    int x0 = floorToInt(uu), y0 = floorToInt(vv);
    uint32_t wx = uint32_t((uu - fu) * 256.0), wy = uint32_t((vv - fv) * 256.0);
    int x1 = x0 + 1, y1 = y0 + 1;
    auto fixX = [&](int x) {
      if (wrapU) {
        x %= W;
        return x < 0 ? x + W : x;
      }
      return std::clamp(x, 0, W - 1);
    };
    auto fixY = [&](int y) {
      if (wrapV) {
        y %= H;
        return y < 0 ? y + H : y;
      }
      return std::clamp(y, 0, H - 1);
    };
    x0 = fixX(x0);
    x1 = fixX(x1);
    y0 = fixY(y0);
    y1 = fixY(y1);
    const uint32_t* r0 = s.tex + y0 * s.texStride;
    const uint32_t* r1 = s.tex + y1 * s.texStride;
    out[i] = bilinearTexel(r0[x0] | s.texAlphaOr, r0[x1] | s.texAlphaOr, r1[x0] | s.texAlphaOr,
                           r1[x1] | s.texAlphaOr, wx, wy);
  }
}

const uint32_t* argument(DWORD arg, const uint32_t* tex, const uint32_t* dif, const uint32_t* spc,
                         uint32_t* scratch, uint32_t tfactor, int n) {
  const uint32_t* src;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE:
      src = tex;
      break;
    case D3DTA_SPECULAR:
      src = spc;
      break;
    case D3DTA_TFACTOR:
      std::fill_n(scratch, n, tfactor);
      src = scratch;
      break;
    default:
      src = dif;
      break;  // diffuse; current is the diffuse at stage 0
  }
  if (arg & (D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) {
    for (int i = 0; i < n; ++i) {
      uint32_t c = src[i];
      if (arg & D3DTA_COMPLEMENT) c = ~c;
      if (arg & D3DTA_ALPHAREPLICATE) c = (c >> 24) * 0x01010101u;
      scratch[i] = c;
    }
    src = scratch;
  }
  return src;
}

// Narrows [lo, hi) to the steps i where 0 <= start + i * step < limit. The positions are
// monotonic in i, so the steps inside are one run; a division is needed only at an end that
// lies outside.
void insideRange(int64_t start, int64_t step, int64_t limit, int& lo, int& hi) {
  if (lo >= hi) return;
  if (step < 0) {
    // Mirrored, the positions limit - 1 - p rise and are inside exactly where p is.
    start = limit - 1 - start;
    step = -step;
  }
  const int64_t p0 = start + lo * step, p1 = start + int64_t(hi - 1) * step;
  if (p0 >= limit || p1 < 0) {
    hi = lo;
    return;
  }
  const int64_t a = p0 >= 0 ? lo : lo + (step - 1 - p0) / step;
  const int64_t b = p1 < limit ? hi : lo + (limit - 1 - p0) / step + 1;
  lo = int(a);
  hi = int(std::max(a, b));
}

// The position congruent to `wrapped` (modulo lim) nearest the unwrapped coordinate, so that
// runs found by range step exactly as the wrapped positions do.
inline int64_t nearUnwrapped(int64_t wrapped, double texels, int64_t lim) {
  const int64_t f = floor64(texels * 65536.0);
  if (f == wrapped) return wrapped;
  return wrapped - lim * floor64(double(wrapped - f) / double(lim) + 0.5);
}

// A span drawn by the fused kernels.
void fastSpan(const RasterState& s, const Setup& t, int y, int x0, int x1) {
  FastSpan f;
  f.tex = s.tex;
  f.stride = s.texStride;
  f.width = s.texWidth;
  f.height = s.texHeight;
  f.alphaOr = s.texAlphaOr;
  f.u = f.v = 0;
  f.du = t.fdu;
  f.dv = t.fdv;
  f.diffuse = t.diffuse;
  uint32_t* const dst = s.color + size_t(y) * s.colorStride + x0;
  const int n = x1 - x0;
  f.dst = dst;
  f.n = n;
  if (!t.textured) {
    t.fast.inside(f);
    return;
  }
  const double py = y;
  const double u0 = t.u.at(x0, py, t.ox, t.oy) - t.texOff, v0 = t.v.at(x0, py, t.ox, t.oy) - t.texOff;
  const int64_t limU = int64_t(s.texWidth) << 16, limV = int64_t(s.texHeight) << 16;
  // Every kernel continues the fixed-point stepping from the span's wrapped start, as the
  // general path does, so both give the same samples.
  const int64_t U0 = wrapFixed(u0, s.texWidth), V0 = wrapFixed(v0, s.texHeight);
  if (t.whole && limU + int64_t(std::abs(f.du)) * n < (int64_t(1) << 30)) {
    f.u = int32_t(U0);
    f.v = int32_t(V0);
    t.whole(f);
    return;
  }
  // The run of pixels that needs no wrapping is drawn by the simpler kernel.
  int lo = 0, hi = 0;
  int64_t SU = U0, SV = V0;
  if (t.rangeable && std::fabs(u0) < 32000 && std::fabs(v0) < 32000) {
    SU = nearUnwrapped(U0, u0, limU);
    SV = nearUnwrapped(V0, v0, limV);
    const int need = t.linear ? 1 : 0;
    hi = n;
    insideRange(SU, f.du, limU - (int64_t(need) << 16), lo, hi);
    insideRange(SV, f.dv, limV - (int64_t(need) << 16), lo, hi);
  }
  auto run = [&](FastKernel k, int a, int b, bool wrapped) {
    if (a >= b) return;
    f.n = b - a;
    f.dst = dst + a;
    const int64_t pu = SU + int64_t(f.du) * a, pv = SV + int64_t(f.dv) * a;
    f.u = int32_t(wrapped ? reduceFixed(pu, limU) : pu);
    f.v = int32_t(wrapped ? reduceFixed(pv, limV) : pv);
    k(f);
  };
  if (lo >= hi) {
    run(t.fast.wrap, 0, n, true);
    return;
  }
  run(t.fast.wrap, 0, lo, true);
  run(t.fast.inside, lo, hi, false);
  run(t.fast.wrap, hi, n, true);
}

void shadeSpan(const RasterState& s, const Setup& t, int y, int x0, int x1) {
  const double py = y;
  Buffers& b = g_buf;
  for (int cx = x0; cx < x1; cx += kChunk) {
    const int n = std::min(kChunk, x1 - cx);
    const double px = cx;
    // texture
    const bool needTex = t.textured;
    if (needTex) {
      // From the span's start, so a long span steps as one.
      const double u = t.u.at(x0, py, t.ox, t.oy), v = t.v.at(x0, py, t.ox, t.oy);
      if (t.linear)
        fetchLinear(s, u, v, t.u.dx, t.v.dx, cx - x0, n, b.tex);
      else
        fetchPoint(s, u, v, t.u.dx, t.v.dx, cx - x0, n, b.tex);
    } else {
      std::fill_n(b.tex, n, 0xFFFFFFFFu);
    }
    // diffuse and specular
    if (t.constDiffuse)
      std::fill_n(b.dif, n, t.diffuse);
    else
      interpolateColors(t.col, px, py, t, n, b.dif);
    if (s.specularEnable ||
        ((s.colorArg1 | s.colorArg2 | s.alphaArg1 | s.alphaArg2) & 0x7) == D3DTA_SPECULAR) {
      Plane p4[4] = {t.spec[0], t.spec[1], t.spec[2], Plane{}};
      interpolateColors(p4, px, py, t, n, b.spc);
    }
    // colour and alpha operations of stage 0
    uint32_t* out = b.out;
    if (s.colorOp == D3DTOP_DISABLE) {
      std::memcpy(out, b.dif, size_t(n) * 4);
    } else {
      const uint32_t* a1 = argument(s.colorArg1, b.tex, b.dif, b.spc, b.tmp1, s.textureFactor, n);
      const uint32_t* a2 = argument(s.colorArg2, b.tex, b.dif, b.spc, b.tmp2, s.textureFactor, n);
      combine(s.colorOp, a1, a2, b.dif, b.tex, n, out, 0x00FFFFFFu);
      const DWORD aop = s.alphaOp == D3DTOP_DISABLE ? DWORD(D3DTOP_SELECTARG2) : s.alphaOp;
      const DWORD aarg2 = s.alphaOp == D3DTOP_DISABLE ? DWORD(D3DTA_DIFFUSE) : s.alphaArg2;
      const uint32_t* b1 = argument(s.alphaArg1, b.tex, b.dif, b.spc, b.tmp1, s.textureFactor, n);
      const uint32_t* b2 = argument(aarg2, b.tex, b.dif, b.spc, b.tmp2, s.textureFactor, n);
      combine(aop, b1, b2, b.dif, b.tex, n, out, 0xFF000000u);
    }
    if (s.specularEnable) addSpecular(out, b.spc, n);
    // tests
    bool masked = false;
    if (s.alphaTest && s.alphaFunc != D3DCMP_ALWAYS) {
      alphaTestSpan(s.alphaFunc, s.alphaRef & 255, out, n, b.mask);
      masked = true;
    }
    uint32_t* dst = s.color + size_t(y) * s.colorStride + cx;
    if (s.zbuf && (s.zTest || s.zWrite)) {
      const double z0 = t.z.at(px, py, t.ox, t.oy);
      for (int i = 0; i < n; ++i) b.z[i] = float(z0 + t.z.dx * i);
      if (!masked) std::memset(b.mask, 1, size_t(n));
      masked = true;
      if (s.zBits == 16)
        depthSpan16(static_cast<uint16_t*>(s.zbuf) + size_t(y) * s.zStride + cx, b.z, n,
                    s.zTest ? s.zFunc : DWORD(D3DCMP_ALWAYS), s.zWrite, b.mask);
      else
        depthSpan32(static_cast<float*>(s.zbuf) + size_t(y) * s.zStride + cx, b.z, n,
                    s.zTest ? s.zFunc : DWORD(D3DCMP_ALWAYS), s.zWrite, b.mask);
    }
    // blending and write
    if (s.blend)
      blendSpan(s.srcBlend, s.destBlend, s.targetAlpha, out, dst, n, masked ? b.mask : nullptr);
    else
      writeSpan(out, dst, n, masked ? b.mask : nullptr);
  }
}

void setupPlanes(const RasterState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                 double area, Setup& t) {
  t.ox = a.x;
  t.oy = a.y;
  const double e1x = b.x - a.x, e1y = b.y - a.y, e2x = c.x - a.x, e2y = c.y - a.y;
  auto plane = [&](double fa, double fb, double fc) {
    Plane p;
    p.base = fa;
    p.dx = ((fb - fa) * e2y - (fc - fa) * e1y) / area;
    p.dy = ((fc - fa) * e1x - (fb - fa) * e2x) / area;
    return p;
  };
  t.z = plane(a.z, b.z, c.z);
  t.textured = s.tex != nullptr;
  if (t.textured) {
    const double W = s.texWidth, H = s.texHeight;
    t.u = plane(a.u * W, b.u * W, c.u * W);
    t.v = plane(a.v * H, b.v * H, c.v * H);
    // Coordinates that are not finite sample the first texel rather than carry NaN into the
    // fixed-point stepping.
    for (Plane* p : {&t.u, &t.v})
      if (!std::isfinite(p->base) || !std::isfinite(p->dx) || !std::isfinite(p->dy)) *p = Plane{};
    // Minification picks the min filter; an exact 1:1 texel mapping samples like point.
    const double scale = std::fabs(t.u.dx * t.v.dy - t.u.dy * t.v.dx);
    t.linear = (scale > 1.0 + 1e-6 ? s.minFilter : s.magFilter) == TexFilter::Linear;
    if (t.linear && std::fabs(std::fabs(t.u.dx) - 1) < 1e-6 && std::fabs(t.u.dy) < 1e-6 &&
        std::fabs(std::fabs(t.v.dy) - 1) < 1e-6 && std::fabs(t.v.dx) < 1e-6) {
      double fu = t.u.base - 0.5 - (a.x - std::floor(a.x)) * t.u.dx;
      double fv = t.v.base - 0.5 - (a.y - std::floor(a.y)) * t.v.dy;
      if (std::fabs(fu - std::round(fu)) < 1.0 / 512 && std::fabs(fv - std::round(fv)) < 1.0 / 512)
        t.linear = false;
    }
  }
  const uint32_t da = s.gouraud ? a.diffuse : a.diffuse, db = s.gouraud ? b.diffuse : a.diffuse,
                 dc = s.gouraud ? c.diffuse : a.diffuse;
  t.constDiffuse = da == db && da == dc;
  t.diffuse = da;
  if (!t.constDiffuse)
    for (int k = 0; k < 4; ++k)
      t.col[k] = plane((da >> (8 * k)) & 255, (db >> (8 * k)) & 255, (dc >> (8 * k)) & 255);
  const uint32_t sa = a.specular, sb = s.gouraud ? b.specular : a.specular,
                 sc = s.gouraud ? c.specular : a.specular;
  for (int k = 0; k < 3; ++k)
    t.spec[k] = plane((sa >> (8 * k)) & 255, (sb >> (8 * k)) & 255, (sc >> (8 * k)) & 255);
}

// The x of the edge from its upper end (xa, ya) to (xb, yb) on row yy. Every edge is found by
// this one expression, so triangles and quads sharing an edge agree on it to the bit and a
// pixel centre on it is lit exactly once.
inline double edgeX(double xa, double ya, double xb, double yb, double yy) {
  return xa == xb ? xa : xa + (yy - ya) * (xb - xa) / (yb - ya);
}

// The pixels of row y whose centres lie in [left, right), inside the clip rectangle.
void drawRow(const RasterState& s, const Setup& t, int y, double left, double right) {
  const int xa = std::max(ceilToInt(left), s.clipLeft), xb = std::min(ceilToInt(right), s.clipRight);
  if (xa >= xb) return;
  if (t.fast.wrap)
    fastSpan(s, t, y, xa, xb);
  else
    shadeSpan(s, t, y, xa, xb);
}

// The fused kernels for a triangle's state, and their stepping.
void chooseKernels(const RasterState& s, Setup& t) {
  t.fast = chooseFastKernel(s, t.textured, t.linear, t.constDiffuse, t.diffuse);
  if (!t.fast.wrap || !t.textured) return;
  t.texOff = t.linear ? 0.5 : 0.0;
  t.fdu = int32_t(modSize(t.u.dx, double(s.texWidth)) * 65536.0);
  t.fdv = int32_t(modSize(t.v.dx, double(s.texHeight)) * 65536.0);
  t.rangeable = std::fabs(t.u.dx) < s.texWidth && std::fabs(t.v.dx) < s.texHeight;
  if (t.fdv == 0 && t.fdu == 0x10000 && t.fast.oneToOne)
    t.whole = t.fast.oneToOne;
  else if (t.fdv == 0 && t.fdu >= -0x10000 && t.fdu <= 0x10000)
    t.whole = t.fast.row;
}

}  // namespace

void drawTriangle(const RasterState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c) {
  const double area = (double(b.x) - a.x) * (double(c.y) - a.y) - (double(c.x) - a.x) * (double(b.y) - a.y);
  if (area == 0 || !std::isfinite(area)) return;
  if (s.cull == D3DCULL_CCW && area < 0) return;
  if (s.cull == D3DCULL_CW && area > 0) return;
  for (const RasterVertex* v : {&a, &b, &c})
    if (!std::isfinite(v->x) || !std::isfinite(v->y)) return;

  Setup t;
  setupPlanes(s, a, b, c, area, t);
  chooseKernels(s, t);

  // Sort by y; walk the long edge (top to bottom) against the two short ones.
  const RasterVertex* v[3] = {&a, &b, &c};
  std::sort(v, v + 3, [](const RasterVertex* p, const RasterVertex* q) { return p->y < q->y; });
  const double y0 = v[0]->y, y1 = v[1]->y, y2 = v[2]->y;
  int yStart = ceilToInt(y0), yEnd = ceilToInt(y2);
  yStart = std::max(yStart, s.clipTop);
  yEnd = std::min(yEnd, s.clipBottom);
  const double x0 = v[0]->x, x1 = v[1]->x, x2 = v[2]->x;
  // Which side the middle vertex lies on decides left and right.
  const bool midLeft = x1 < edgeX(x0, y0, x2, y2, y1);
  for (int y = yStart; y < yEnd; ++y) {
    const double yy = y;
    const double xl0 = edgeX(x0, y0, x2, y2, yy);
    const double xs = yy < y1 ? edgeX(x0, y0, x1, y1, yy) : edgeX(x1, y1, x2, y2, yy);
    drawRow(s, t, y, midLeft ? xs : xl0, midLeft ? xl0 : xs);
  }
}

bool drawParallelogram(const RasterState& s, const RasterVertex& a, const RasterVertex& b,
                       const RasterVertex& c, const RasterVertex& d) {
  // Only an exact parallelogram whose attributes are affine over it: then both triangles share
  // one set of planes and their union is the quad, so each row is one span.
  auto sums = [](double p, double q, double r, double t) { return p + t == q + r; };
  if (!sums(a.x, b.x, c.x, d.x) || !sums(a.y, b.y, c.y, d.y) || !sums(a.z, b.z, c.z, d.z)) return false;
  if (s.tex && (!sums(a.u, b.u, c.u, d.u) || !sums(a.v, b.v, c.v, d.v))) return false;
  if (s.gouraud && (a.diffuse != b.diffuse || a.diffuse != c.diffuse || a.diffuse != d.diffuse ||
                    a.specular != b.specular || a.specular != c.specular || a.specular != d.specular))
    return false;
  for (const RasterVertex* v : {&a, &b, &c, &d})
    if (!std::isfinite(v->x) || !std::isfinite(v->y)) return true;  // as its triangles: nothing
  const double area = (double(b.x) - a.x) * (double(c.y) - a.y) - (double(c.x) - a.x) * (double(b.y) - a.y);
  if (area == 0 || !std::isfinite(area)) return true;
  if (s.cull == D3DCULL_CCW && area < 0) return true;
  if (s.cull == D3DCULL_CW && area > 0) return true;

  Setup t;
  setupPlanes(s, a, b, c, area, t);
  chooseKernels(s, t);

  // The outline a-b-d-c; each edge lights the rows [ceil(top), ceil(bottom)).
  struct Edge {
    double x0, y0, x1, y1;
    int from, to;
  } edges[4];
  const RasterVertex* ring[4] = {&a, &b, &d, &c};
  int yStart = s.clipBottom, yEnd = s.clipTop;
  for (int k = 0; k < 4; ++k) {
    const RasterVertex* p = ring[k];
    const RasterVertex* q = ring[(k + 1) & 3];
    if (q->y < p->y) std::swap(p, q);
    Edge& e = edges[k];
    e = {p->x, p->y, q->x, q->y, ceilToInt(p->y), ceilToInt(q->y)};
    yStart = std::min(yStart, e.from);
    yEnd = std::max(yEnd, e.to);
  }
  yStart = std::max(yStart, s.clipTop);
  yEnd = std::min(yEnd, s.clipBottom);
  for (int y = yStart; y < yEnd; ++y) {
    const double yy = y;
    double xs[2];
    int found = 0;
    for (const Edge& e : edges)
      if (y >= e.from && y < e.to && found < 2) xs[found++] = edgeX(e.x0, e.y0, e.x1, e.y1, yy);
    if (found == 2) drawRow(s, t, y, std::min(xs[0], xs[1]), std::max(xs[0], xs[1]));
  }
  return true;
}

void drawLine(const RasterState& s, const RasterVertex& a, const RasterVertex& b) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double len = std::max(std::fabs(dx), std::fabs(dy));
  if (len == 0 || !std::isfinite(len)) return;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  // Pixels along the major axis from the start up to, not including, the end.
  const double startMajor = xMajor ? a.x : a.y, endMajor = xMajor ? b.x : b.y;
  const int dir = endMajor > startMajor ? 1 : -1;
  int m0 = floorToInt(startMajor + 0.5), m1 = floorToInt(endMajor + 0.5);
  // Steps outside the clip rectangle's major range light nothing; skip them.
  const int lo = xMajor ? s.clipLeft : s.clipTop, hi = xMajor ? s.clipRight : s.clipBottom;
  if (dir > 0) {
    m0 = std::max(m0, lo);
    m1 = std::max(m0, std::min(m1, hi));
  } else {
    m0 = std::min(m0, hi - 1);
    m1 = std::min(m0, std::max(m1, lo - 1));
  }
  RasterState one = s;
  for (int m = m0; m != m1; m += dir) {
    double f = (m - startMajor) / (endMajor - startMajor);
    f = std::clamp(f, 0.0, 1.0);
    int minor = floorToInt((xMajor ? a.y + dy * f : a.x + dx * f) + 0.5);
    int px = xMajor ? m : minor, py = xMajor ? minor : m;
    if (px < s.clipLeft || px >= s.clipRight || py < s.clipTop || py >= s.clipBottom) continue;
    Setup t;
    t.ox = px;
    t.oy = py;
    auto mix = [&](double p, double q) { return p + (q - p) * f; };
    t.z.base = mix(a.z, b.z);
    t.textured = s.tex != nullptr;
    if (t.textured) {
      t.u.base = mix(a.u, b.u) * s.texWidth;
      t.v.base = mix(a.v, b.v) * s.texHeight;
      t.linear = s.magFilter == TexFilter::Linear;
    }
    uint32_t dcol = 0, scol = 0;
    for (int k = 0; k < 4; ++k) {
      uint32_t ca = (a.diffuse >> (8 * k)) & 255, cb = (s.gouraud ? b.diffuse : a.diffuse) >> (8 * k) & 255;
      dcol |= uint32_t(satByte(mix(ca, cb))) << (8 * k);
      uint32_t sa = (a.specular >> (8 * k)) & 255,
               sb = (s.gouraud ? b.specular : a.specular) >> (8 * k) & 255;
      if (k < 3) scol |= uint32_t(satByte(mix(sa, sb))) << (8 * k);
    }
    t.constDiffuse = true;
    t.diffuse = dcol;
    for (int k = 0; k < 3; ++k) t.spec[k].base = (scol >> (8 * k)) & 255;
    shadeSpan(one, t, py, px, px + 1);
  }
}

}  // namespace zqdisplay
