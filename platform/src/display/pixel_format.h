// Pixel formats of the software surfaces: description, D3DX codes and conversion to and from
// 32-bit ARGB.
#pragma once

#include "zqplatform/display.h"

namespace zqdisplay {

// One colour channel of a packed pixel: value8 = ((raw & mask) >> shift) expanded from bits.
struct Channel {
  DWORD mask = 0;
  int shift = 0;
  int bits = 0;
};

struct PixelLayout {
  DWORD bpp = 32;      // 16, 24 or 32
  Channel r, g, b, a;  // a.mask == 0: no alpha (reads as 255)
  DWORD rgbMask = 0;   // r | g | b masks
  bool zbuffer = false;
  bool argb8888() const { return bpp == 32 && r.mask == 0xFF0000 && g.mask == 0xFF00 && b.mask == 0xFF; }
  DWORD bytes() const { return bpp / 8; }
};

// Builds a layout from a DirectDraw pixel format; false when it cannot be stored.
bool layoutFromFormat(const DDPIXELFORMAT& f, PixelLayout& out);
DDPIXELFORMAT rgbFormat(DWORD bpp, DWORD r, DWORD g, DWORD b, DWORD a);
DDPIXELFORMAT zFormat(DWORD bits);
D3DX_SURFACEFORMAT formatCode(const DDPIXELFORMAT& f);
bool formatFromCode(D3DX_SURFACEFORMAT code, DDPIXELFORMAT& out);

inline DWORD expand(DWORD v, int bits) {
  // Replicates the top bits so that a full channel is 255 and an empty one 0.
  switch (bits) {
    case 8:
      return v;
    case 0:
      return 0;
    case 1:
      return v ? 255 : 0;
    default: {
      DWORD x = v << (8 - bits);
      return x | (x >> bits) | (bits < 4 ? x >> (2 * bits) : 0);
    }
  }
}

inline DWORD readRaw(const BYTE* p, DWORD bytes) {
  switch (bytes) {
    case 4:
      return *reinterpret_cast<const uint32_t*>(p);
    case 2:
      return *reinterpret_cast<const uint16_t*>(p);
    case 3:
      return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16);
    default:
      return p[0];
  }
}

inline void writeRaw(BYTE* p, DWORD bytes, DWORD v) {
  switch (bytes) {
    case 4:
      *reinterpret_cast<uint32_t*>(p) = v;
      break;
    case 2:
      *reinterpret_cast<uint16_t*>(p) = uint16_t(v);
      break;
    case 3:
      p[0] = BYTE(v);
      p[1] = BYTE(v >> 8);
      p[2] = BYTE(v >> 16);
      break;
    default:
      p[0] = BYTE(v);
      break;
  }
}

inline DWORD channelTo8(const Channel& c, DWORD raw) { return expand((raw & c.mask) >> c.shift, c.bits); }

// Raw pixel -> 0xAARRGGBB.
inline DWORD decode(const PixelLayout& l, DWORD raw) {
  DWORD a = l.a.mask ? channelTo8(l.a, raw) : 255;
  return (a << 24) | (channelTo8(l.r, raw) << 16) | (channelTo8(l.g, raw) << 8) | channelTo8(l.b, raw);
}

inline DWORD channelFrom8(const Channel& c, DWORD v8) {
  if (!c.mask) return 0;
  return ((v8 >> (8 - c.bits)) << c.shift) & c.mask;
}

// 0xAARRGGBB -> raw pixel.
inline DWORD encode(const PixelLayout& l, DWORD argb) {
  return channelFrom8(l.r, (argb >> 16) & 255) | channelFrom8(l.g, (argb >> 8) & 255) |
         channelFrom8(l.b, argb & 255) | channelFrom8(l.a, argb >> 24);
}

}  // namespace zqdisplay
