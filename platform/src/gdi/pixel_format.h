// Pixel layout of a drawable memory area and conversion between GDI colours and pixel values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "zqplatform/gdi.h"

namespace zqgdi {

struct Channel {
  int shift = 0;  // position of the lowest mask bit
  int loss = 8;   // 8 minus the mask width
  uint32_t mask = 0;

  void set(uint32_t m) {
    mask = m;
    shift = 0;
    loss = 8;
    if (!m) return;
    while (!((m >> shift) & 1u)) ++shift;
    int top = 31;
    while (!((m >> top) & 1u)) --top;
    int width = top - shift + 1;
    loss = 8 - width;
  }
  uint32_t encode(uint32_t c) const {
    if (!mask) return 0;
    uint32_t v = loss >= 0 ? (c >> loss) : (c << -loss);
    return (v << shift) & mask;
  }
  uint32_t decode(uint32_t p) const {
    if (!mask) return 0;
    uint32_t v = (p & mask) >> shift;
    v = loss >= 0 ? (v << loss) : (v >> -loss);
    return v > 255 ? 255 : v;
  }
};

struct PixelFormat {
  int bytes = 4;  // 2, 3 or 4
  Channel r, g, b;

  bool set(int bitsPerPixel, uint32_t rm, uint32_t gm, uint32_t bm) {
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    bytes = bitsPerPixel / 8;
    if (!rm && !gm && !bm) {
      if (bitsPerPixel == 16) {
        rm = 0x7C00;
        gm = 0x03E0;
        bm = 0x001F;
      } else {
        rm = 0xFF0000;
        gm = 0x00FF00;
        bm = 0x0000FF;
      }
    }
    uint64_t limit = bitsPerPixel == 32 ? 0xFFFFFFFFull : ((1ull << bitsPerPixel) - 1);
    if (rm > limit || gm > limit || bm > limit) return false;
    r.set(rm);
    g.set(gm);
    b.set(bm);
    return true;
  }
  uint32_t encode(COLORREF c) const {
    return r.encode(c & 0xFF) | g.encode((c >> 8) & 0xFF) | b.encode((c >> 16) & 0xFF);
  }
  uint32_t encodeRgb(uint32_t red, uint32_t green, uint32_t blue) const {
    return r.encode(red) | g.encode(green) | b.encode(blue);
  }
  COLORREF decode(uint32_t p) const { return RGB(r.decode(p), g.decode(p), b.decode(p)); }
};

// A writable pixel area; rows may run bottom-up (negative stride).
struct Surface {
  uint8_t* row0 = nullptr;  // first (top) row
  ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  PixelFormat fmt;

  bool valid() const { return row0 && width > 0 && height > 0; }
  uint8_t* at(int x, int y) const { return row0 + y * stride + x * fmt.bytes; }
  uint32_t read(int x, int y) const {
    const uint8_t* p = at(x, y);
    switch (fmt.bytes) {
      case 2: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
      }
      case 3:
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
      default: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
      }
    }
  }
  void write(int x, int y, uint32_t v) const { writeAt(at(x, y), v); }
  void writeAt(uint8_t* p, uint32_t v) const {
    switch (fmt.bytes) {
      case 2: {
        uint16_t s = uint16_t(v);
        std::memcpy(p, &s, 2);
        break;
      }
      case 3:
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        break;
      default:
        std::memcpy(p, &v, 4);
        break;
    }
  }
  // Fills [x0, x1) x [y0, y1), already clipped.
  void fill(int x0, int y0, int x1, int y1, uint32_t v) const {
    for (int y = y0; y < y1; ++y) {
      uint8_t* p = at(x0, y);
      for (int x = x0; x < x1; ++x, p += fmt.bytes) writeAt(p, v);
    }
  }
};

}  // namespace zqgdi
