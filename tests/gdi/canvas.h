// A block of pixel memory with a surface DC over it, filled with a sentinel value.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "zqplatform/gdi.h"

struct PixelLayout {
  const char* name;
  int bpp;
  DWORD r, g, b;
};

inline const PixelLayout kX8R8G8B8{"X8R8G8B8", 32, 0xFF0000, 0x00FF00, 0x0000FF};
inline const PixelLayout kA8R8G8B8{"A8R8G8B8", 32, 0xFF0000, 0x00FF00, 0x0000FF};
inline const PixelLayout kR5G6B5{"R5G6B5", 16, 0xF800, 0x07E0, 0x001F};
inline const PixelLayout kX1R5G5B5{"X1R5G5B5", 16, 0x7C00, 0x03E0, 0x001F};

struct Canvas {
  Canvas(int w, int h, const PixelLayout& l = kX8R8G8B8, uint32_t sentinel = 0x12345678)
      : width(w), height(h), layout(l), pitch(w * (l.bpp / 8) + 8), mem(size_t(pitch) * h) {
    clear(sentinel);
    dc = zqCreateSurfaceDC(mem.data(), w, h, pitch, l.bpp, l.r, l.g, l.b);
  }
  ~Canvas() { zqDeleteSurfaceDC(dc); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void clear(uint32_t v) {
    background = layout.bpp == 16 ? (v & 0xFFFF) : v;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) put(x, y, background);
  }
  uint32_t at(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, mem.data() + size_t(y) * pitch + size_t(x) * (layout.bpp / 8), size_t(layout.bpp / 8));
    return v;
  }
  void put(int x, int y, uint32_t v) {
    std::memcpy(mem.data() + size_t(y) * pitch + size_t(x) * (layout.bpp / 8), &v, size_t(layout.bpp / 8));
  }
  // Pixel value of a GDI colour in this layout (channels cut to their widths).
  uint32_t value(COLORREF c) const {
    auto ch = [](uint32_t v, DWORD mask) {
      int shift = 0, width = 0;
      while (!((mask >> shift) & 1)) ++shift;
      while ((mask >> (shift + width)) & 1) ++width;
      return ((v >> (8 - width)) << shift) & mask;
    };
    return ch(GetRValue(c), layout.r) | ch(GetGValue(c), layout.g) | ch(GetBValue(c), layout.b);
  }
  // Bounding box of the pixels that are not the background: false when none changed.
  bool changedBox(RECT* box) const {
    bool any = false;
    RECT r{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (at(x, y) != background) {
          any = true;
          r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    if (box) *box = r;
    return any;
  }
  int count(uint32_t v) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += at(x, y) == v;
    return n;
  }

  int width, height;
  PixelLayout layout;
  int pitch;
  std::vector<uint8_t> mem;
  uint32_t background = 0;
  HDC dc = nullptr;
};
