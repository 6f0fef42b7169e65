// Screen geometry: points and rectangles in back-buffer pixels, and their binary stream form.
#pragma once

#include <cstdint>
#include <exception>
#include <streambuf>

#include "ZqDefs.h"

template <class T>
struct TPoint2d {
  T x, y;
};

template <class T>
struct TRect2d {
  T left, top, right, bottom;
};

namespace zq_detail {
// Arithmetic wraps like the 32-bit machine the values come from instead of overflowing.
inline int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t shiftLeft(int32_t a, int n) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) << (static_cast<unsigned>(n) & 31u));
}
inline int32_t shiftRight(int32_t a, int n) { return a >> (static_cast<unsigned>(n) & 31u); }
}  // namespace zq_detail

struct ZQ_API SScreenPoint {
  int32_t x, y;

  SScreenPoint() : x(0), y(0) {}
  SScreenPoint(int32_t px, int32_t py) : x(px), y(py) {}
  SScreenPoint(const TPoint2d<int>& p) : x(p.x), y(p.y) {}
  operator TPoint2d<int>() const { return TPoint2d<int>{x, y}; }

  SScreenPoint& operator+=(const SScreenPoint& p) {
    x = zq_detail::wrapAdd(x, p.x);
    y = zq_detail::wrapAdd(y, p.y);
    return *this;
  }
  SScreenPoint& operator-=(const SScreenPoint& p) {
    x = zq_detail::wrapSub(x, p.x);
    y = zq_detail::wrapSub(y, p.y);
    return *this;
  }
  SScreenPoint& operator*=(int n) {
    x = zq_detail::wrapMul(x, n);
    y = zq_detail::wrapMul(y, n);
    return *this;
  }
  SScreenPoint& operator/=(int n) {
    x /= n;
    y /= n;
    return *this;
  }
  SScreenPoint& operator%=(int n) {
    x %= n;
    y %= n;
    return *this;
  }
  SScreenPoint& operator<<=(int n) {
    x = zq_detail::shiftLeft(x, n);
    y = zq_detail::shiftLeft(y, n);
    return *this;
  }
  SScreenPoint& operator>>=(int n) {
    x = zq_detail::shiftRight(x, n);
    y = zq_detail::shiftRight(y, n);
    return *this;
  }
};

inline SScreenPoint operator+(SScreenPoint a, const SScreenPoint& b) { return a += b; }
inline SScreenPoint operator-(SScreenPoint a, const SScreenPoint& b) { return a -= b; }
inline bool operator==(const SScreenPoint& a, const SScreenPoint& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const SScreenPoint& a, const SScreenPoint& b) { return !(a == b); }

// Right and bottom are exclusive. Nothing keeps a rectangle normalised.
struct ZQ_API SScreenRect {
  int32_t left, top, right, bottom;

  SScreenRect() : left(0), top(0), right(0), bottom(0) {}
  SScreenRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
  SScreenRect(const SScreenPoint& topLeft, const SScreenPoint& size)
      : left(topLeft.x),
        top(topLeft.y),
        right(zq_detail::wrapAdd(topLeft.x, size.x)),
        bottom(zq_detail::wrapAdd(topLeft.y, size.y)) {}
  SScreenRect(const TRect2d<int>& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
  operator TRect2d<int>() const { return TRect2d<int>{left, top, right, bottom}; }

  int32_t width() const { return zq_detail::wrapSub(right, left); }
  int32_t height() const { return zq_detail::wrapSub(bottom, top); }
  SScreenPoint top_left() const { return SScreenPoint(left, top); }
  SScreenPoint top_right() const { return SScreenPoint(right, top); }
  SScreenPoint bottom_left() const { return SScreenPoint(left, bottom); }
  SScreenPoint bottom_right() const { return SScreenPoint(right, bottom); }
  SScreenPoint size() const { return SScreenPoint(width(), height()); }

  SScreenRect& operator+=(const SScreenPoint& p) {
    left = zq_detail::wrapAdd(left, p.x);
    right = zq_detail::wrapAdd(right, p.x);
    top = zq_detail::wrapAdd(top, p.y);
    bottom = zq_detail::wrapAdd(bottom, p.y);
    return *this;
  }
  SScreenRect& operator-=(const SScreenPoint& p) {
    left = zq_detail::wrapSub(left, p.x);
    right = zq_detail::wrapSub(right, p.x);
    top = zq_detail::wrapSub(top, p.y);
    bottom = zq_detail::wrapSub(bottom, p.y);
    return *this;
  }
  SScreenRect& operator*=(int n) {
    left = zq_detail::wrapMul(left, n);
    top = zq_detail::wrapMul(top, n);
    right = zq_detail::wrapMul(right, n);
    bottom = zq_detail::wrapMul(bottom, n);
    return *this;
  }
  SScreenRect& operator/=(int n) {
    left /= n;
    top /= n;
    right /= n;
    bottom /= n;
    return *this;
  }
  SScreenRect& operator<<=(int n) {
    left = zq_detail::shiftLeft(left, n);
    top = zq_detail::shiftLeft(top, n);
    right = zq_detail::shiftLeft(right, n);
    bottom = zq_detail::shiftLeft(bottom, n);
    return *this;
  }
  SScreenRect& operator>>=(int n) {
    left = zq_detail::shiftRight(left, n);
    top = zq_detail::shiftRight(top, n);
    right = zq_detail::shiftRight(right, n);
    bottom = zq_detail::shiftRight(bottom, n);
    return *this;
  }

  // r lies inside this rectangle (shared edges count as inside).
  bool contains(const SScreenRect& r) const {
    return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
  }
  // Grows to the bounding box of both.
  void make_extern(const SScreenRect& r);
  // Clips to r; the result is inverted when the two do not overlap.
  void make_clipper(const SScreenRect& r);
  void expand(const SScreenPoint& d);
  void expand(long n);
  // Shrinks, centred, to the aspect ratio of r; any empty or inverted input gives (0,0,0,0).
  void make_room(const SScreenRect& r);
};

static_assert(sizeof(SScreenPoint) == 8 && sizeof(SScreenRect) == 16);

inline SScreenRect operator+(SScreenRect r, const SScreenPoint& p) { return r += p; }
inline SScreenRect operator+(const SScreenPoint& p, SScreenRect r) { return r += p; }
inline SScreenRect operator-(SScreenRect r, const SScreenPoint& p) { return r -= p; }
inline SScreenRect operator*(SScreenRect r, int n) { return r *= n; }
inline SScreenRect operator*(int n, SScreenRect r) { return r *= n; }
inline SScreenRect operator/(SScreenRect r, int n) { return r /= n; }
inline SScreenRect operator<<(SScreenRect r, int n) { return r <<= n; }
inline SScreenRect operator>>(SScreenRect r, int n) { return r >>= n; }
inline bool operator==(const SScreenRect& a, const SScreenRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const SScreenRect& a, const SScreenRect& b) { return !(a == b); }

// left <= x < right and top <= y < bottom.
inline bool is_point_in_rect(const SScreenPoint& p, const SScreenRect& r) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool is_normalized(const SScreenRect& r) { return r.right >= r.left && r.bottom >= r.top; }
ZQ_API void normalize(SScreenRect& r);
// Rectangles that only touch do not intersect.
inline bool intersect(const SScreenRect& a, const SScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
// Not normalised: disjoint inputs give an inverted rectangle.
ZQ_API SScreenRect intersection(const SScreenRect& a, const SScreenRect& b);
ZQ_API SScreenRect get_extent(const SScreenRect& a, const SScreenRect& b);

// A point filter record: constructed, copied and assigned only.
struct ZQ_API SCoordinateFilter {
  SScreenPoint point;
  int32_t value0 = 0, value1 = 0, value2 = 0;
};

struct ZQ_API t_streambuf_read_failure : std::exception {};
struct ZQ_API t_streambuf_write_failure : std::exception {};

// Four little-endian 32-bit values: left, top, right, bottom. Throws t_streambuf_write_failure
// after the first member the buffer does not take whole (earlier members stay written).
ZQ_API std::streambuf& operator<<(std::streambuf& sb, const SScreenRect& r);
// Throws t_streambuf_read_failure on a short read and then leaves r unchanged.
ZQ_API std::streambuf& operator>>(std::streambuf& sb, SScreenRect& r);
