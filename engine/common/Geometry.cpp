// Rectangle operations that are not inline, and the binary stream form of a rectangle.
#include "ZqGeometry.h"

#include <algorithm>

void SScreenRect::make_extern(const SScreenRect& r) {
  left = std::min(left, r.left);
  top = std::min(top, r.top);
  right = std::max(right, r.right);
  bottom = std::max(bottom, r.bottom);
}

void SScreenRect::make_clipper(const SScreenRect& r) {
  left = std::max(left, r.left);
  top = std::max(top, r.top);
  right = std::min(right, r.right);
  bottom = std::min(bottom, r.bottom);
}

void SScreenRect::expand(const SScreenPoint& d) {
  left = zq_detail::wrapSub(left, d.x);
  right = zq_detail::wrapAdd(right, d.x);
  top = zq_detail::wrapSub(top, d.y);
  bottom = zq_detail::wrapAdd(bottom, d.y);
}

void SScreenRect::expand(long n) { expand(SScreenPoint(static_cast<int32_t>(n), static_cast<int32_t>(n))); }

void SScreenRect::make_room(const SScreenRect& r) {
  const int32_t w = width(), h = height(), rw = r.width(), rh = r.height();
  if (w <= 0 || h <= 0 || rw <= 0 || rh <= 0) {
    *this = SScreenRect();
    return;
  }
  const long double e = static_cast<long double>(w) / h;
  const float f = static_cast<float>(static_cast<long double>(rw) / rh);
  if (e == f) return;
  if (e > f) {
    const int32_t g = static_cast<int32_t>((w - static_cast<long double>(h) * f) * 0.5L);
    left += g;
    right -= g;
  } else {
    const int32_t g = static_cast<int32_t>((h - static_cast<long double>(w) / f) * 0.5L);
    top += g;
    bottom -= g;
  }
}

void normalize(SScreenRect& r) {
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
}

SScreenRect intersection(const SScreenRect& a, const SScreenRect& b) {
  return SScreenRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom));
}

SScreenRect get_extent(const SScreenRect& a, const SScreenRect& b) {
  return SScreenRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
}

std::streambuf& operator<<(std::streambuf& sb, const SScreenRect& r) {
  for (int32_t v : {r.left, r.top, r.right, r.bottom}) {
    const uint32_t u = static_cast<uint32_t>(v);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    if (sb.sputn(bytes, 4) < 4) throw t_streambuf_write_failure();
  }
  return sb;
}

std::streambuf& operator>>(std::streambuf& sb, SScreenRect& r) {
  int32_t v[4];
  for (int32_t& out : v) {
    unsigned char bytes[4];
    if (sb.sgetn(reinterpret_cast<char*>(bytes), 4) < 4) throw t_streambuf_read_failure();
    out = static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                               (static_cast<uint32_t>(bytes[3]) << 24));
  }
  r = SScreenRect(v[0], v[1], v[2], v[3]);
  return sb;
}
