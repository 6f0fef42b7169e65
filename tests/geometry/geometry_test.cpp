#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

#include "ZqGeometry.h"

namespace {

using R = SScreenRect;
using P = SScreenPoint;

TEST(GeometryPoint, Operators) {
  P p(7, -7);
  EXPECT_EQ(p += P(1, 2), P(8, -5));
  EXPECT_EQ(p -= P(10, 10), P(-2, -15));
  EXPECT_EQ(p *= 3, P(-6, -45));
  EXPECT_EQ(p /= 4, P(-1, -11)) << "division truncates towards zero";
  EXPECT_EQ(P(-7, 7) %= 4, P(-3, 3));
  EXPECT_EQ(P(1, -1) <<= 33, P(2, -2)) << "shift count modulo 32";
  EXPECT_EQ(P(-8, 8) >>= 2, P(-2, 2)) << "right shift keeps the sign";
  TPoint2d<int> t = P(3, 4);
  EXPECT_EQ(P(t), P(3, 4));
  EXPECT_EQ(P(), P(0, 0));
}

TEST(GeometryRect, ConstructionAccessorsAndOperators) {
  const R r(P(10, 20), P(30, 40));
  EXPECT_EQ(r, R(10, 20, 40, 60));
  EXPECT_EQ(r.width(), 30);
  EXPECT_EQ(r.height(), 40);
  EXPECT_EQ(r.top_left(), P(10, 20));
  EXPECT_EQ(r.top_right(), P(40, 20));
  EXPECT_EQ(r.bottom_left(), P(10, 60));
  EXPECT_EQ(r.bottom_right(), P(40, 60));
  EXPECT_EQ(r.size(), P(30, 40));
  TRect2d<int> t = r;
  EXPECT_EQ(R(t), r);

  EXPECT_EQ(r + P(1, 2), R(11, 22, 41, 62));
  EXPECT_EQ(P(1, 2) + r, R(11, 22, 41, 62));
  EXPECT_EQ(r - P(1, 2), R(9, 18, 39, 58));
  EXPECT_EQ(r * 2, R(20, 40, 80, 120));
  EXPECT_EQ(2 * r, R(20, 40, 80, 120));
  EXPECT_EQ(R(-7, 7, 9, -9) / 2, R(-3, 3, 4, -4));
  EXPECT_EQ(r << 1, R(20, 40, 80, 120));
  EXPECT_EQ(R(-8, 8, 16, -16) >> 34, R(-2, 2, 4, -4));
  EXPECT_NE(r, R(10, 20, 40, 61));
  // An inverted rectangle stays inverted through the operators.
  EXPECT_EQ(R(5, 5, 0, 0) + P(1, 1), R(6, 6, 1, 1));
}

TEST(GeometryRect, PointsInsideAndContainment) {
  const R r(0, 0, 10, 10);
  EXPECT_TRUE(is_point_in_rect(P(0, 0), r));
  EXPECT_TRUE(is_point_in_rect(P(9, 9), r));
  EXPECT_FALSE(is_point_in_rect(P(10, 5), r));
  EXPECT_FALSE(is_point_in_rect(P(5, 10), r));
  EXPECT_FALSE(is_point_in_rect(P(5, 5), R(5, 0, 5, 10))) << "an empty rectangle holds no point";
  EXPECT_TRUE(r.contains(r));
  EXPECT_TRUE(r.contains(R(0, 5, 10, 10)));
  EXPECT_FALSE(r.contains(R(-1, 0, 5, 5)));
  EXPECT_FALSE(r.contains(R(0, 0, 10, 11)));
}

TEST(GeometryRect, IntersectionExtentAndNormalisation) {
  const R a(0, 0, 10, 10), b(10, 0, 20, 10);
  EXPECT_FALSE(intersect(a, b)) << "touching rectangles do not intersect";
  EXPECT_EQ(intersection(a, b), R(10, 0, 10, 10));
  EXPECT_EQ(intersection(a, b).width(), 0);
  EXPECT_TRUE(intersect(a, R(9, 9, 11, 11)));
  EXPECT_EQ(intersection(a, R(20, 20, 30, 30)), R(20, 20, 10, 10)) << "disjoint: inverted";
  EXPECT_EQ(get_extent(a, R(-5, 3, 2, 30)), R(-5, 0, 10, 30));

  R c = a;
  c.make_extern(R(5, -5, 15, 5));
  EXPECT_EQ(c, R(0, -5, 15, 10));
  c = a;
  c.make_clipper(R(5, -5, 15, 5));
  EXPECT_EQ(c, R(5, 0, 10, 5));
  c = a;
  c.make_clipper(R(20, 20, 30, 30));
  EXPECT_EQ(c, R(20, 20, 10, 10));

  c = a;
  c.expand(P(2, 3));
  EXPECT_EQ(c, R(-2, -3, 12, 13));
  c.expand(-2L);
  EXPECT_EQ(c, R(0, -1, 10, 11));

  R n(10, 10, 0, 0);
  EXPECT_FALSE(is_normalized(n));
  normalize(n);
  EXPECT_EQ(n, R(0, 0, 10, 10));
  EXPECT_TRUE(is_normalized(R(3, 3, 3, 3)));
}

TEST(GeometryRect, MakeRoom) {
  struct Case {
    R area, ratio, expected;
  } cases[] = {
      {R(0, 0, 200, 100), R(0, 0, 1, 1), R(50, 0, 150, 100)},
      {R(0, 0, 100, 200), R(0, 0, 1, 1), R(0, 50, 100, 150)},
      {R(0, 0, 800, 600), R(0, 0, 4, 3), R(0, 0, 800, 600)},
      {R(10, 10, 110, 60), R(0, 0, 16, 9), R(15, 10, 105, 60)},  // 100x50 to 16:9: g = 5.5 -> 5
      {R(0, 0, 0, 100), R(0, 0, 1, 1), R()},
      {R(0, 0, 100, 100), R(0, 0, 1, 0), R()},
      {R(100, 0, 0, 100), R(0, 0, 1, 1), R()},
  };
  for (const Case& c : cases) {
    R r = c.area;
    r.make_room(c.ratio);
    EXPECT_EQ(r, c.expected) << c.area.left << "," << c.area.top << "," << c.area.right << ","
                             << c.area.bottom;
  }
}

// A stream buffer that takes or gives at most limit bytes in all.
class LimitedBuf : public std::streambuf {
 public:
  explicit LimitedBuf(size_t limit, std::string data = "") : limit_(limit), data_(std::move(data)) {}
  std::string written;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::streamsize k = std::min<std::streamsize>(n, limit_ - written.size());
    written.append(s, k);
    return k;
  }
  std::streamsize xsgetn(char* s, std::streamsize n) override {
    std::streamsize k = std::min<std::streamsize>(n, data_.size() - pos_);
    data_.copy(s, k, pos_);
    pos_ += k;
    return k;
  }

 private:
  size_t limit_;
  std::string data_;
  size_t pos_ = 0;
};

TEST(GeometryStream, RoundTripIsLittleEndian) {
  std::stringbuf sb;
  sb << R(1, -2, 0x01020304, -2147483647 - 1);
  const std::string bytes = sb.str();
  ASSERT_EQ(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(bytes.substr(4, 4), std::string("\xFE\xFF\xFF\xFF", 4));
  EXPECT_EQ(bytes.substr(8, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(bytes.substr(12, 4), std::string("\x00\x00\x00\x80", 4));
  R back;
  sb >> back;
  EXPECT_EQ(back, R(1, -2, 0x01020304, -2147483647 - 1));
}

TEST(GeometryStream, FailuresThrow) {
  LimitedBuf out(10);
  EXPECT_THROW(out << R(1, 2, 3, 4), t_streambuf_write_failure);
  EXPECT_EQ(out.written.size(), 10u) << "left and top written, then the partial right";
  EXPECT_EQ(out.written.substr(0, 8), std::string("\x01\0\0\0\x02\0\0\0", 8));

  for (size_t have : {0u, 3u, 12u, 15u}) {
    LimitedBuf in(0, std::string(have, '\x11'));
    R r(9, 8, 7, 6);
    EXPECT_THROW(in >> r, t_streambuf_read_failure) << have;
    EXPECT_EQ(r, R(9, 8, 7, 6)) << "a failed read leaves the rectangle as it was";
  }
  LimitedBuf empty(0, "");
  R r;
  EXPECT_THROW(empty >> r, std::exception) << "both derive from the standard exception";
}

}  // namespace
