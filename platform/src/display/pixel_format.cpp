#include "display/pixel_format.h"

#include <cstring>

namespace zqdisplay {

namespace {
Channel channel(DWORD mask) {
  Channel c;
  c.mask = mask;
  if (!mask) return c;
  while (!((mask >> c.shift) & 1)) ++c.shift;
  while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1)) ++c.bits;
  if (c.bits > 8) {  // wider channels keep their top 8 bits
    c.shift += c.bits - 8;
    c.bits = 8;
  }
  return c;
}

struct CodeEntry {
  D3DX_SURFACEFORMAT code;
  DWORD bpp, r, g, b, a;
};
constexpr CodeEntry kCodes[] = {
    {D3DX_SF_R8G8B8, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DX_SF_A8R8G8B8, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {D3DX_SF_X8R8G8B8, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DX_SF_R5G6B5, 16, 0xF800, 0x07E0, 0x001F, 0},
    {D3DX_SF_R5G5B5, 16, 0x7C00, 0x03E0, 0x001F, 0},
    {D3DX_SF_A1R5G5B5, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {D3DX_SF_X4R4G4B4, 16, 0x0F00, 0x00F0, 0x000F, 0},
    {D3DX_SF_A4R4G4B4, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
};
}  // namespace

bool layoutFromFormat(const DDPIXELFORMAT& f, PixelLayout& out) {
  out = PixelLayout{};
  if (f.dwFlags & DDPF_ZBUFFER) {
    if (f.dwZBufferBitDepth != 16 && f.dwZBufferBitDepth != 32) return false;
    out.bpp = f.dwZBufferBitDepth;
    out.zbuffer = true;
    return true;
  }
  if (!(f.dwFlags & DDPF_RGB)) return false;
  DWORD bpp = f.dwRGBBitCount;
  if (bpp != 16 && bpp != 24 && bpp != 32) return false;
  out.bpp = bpp;
  out.r = channel(f.dwRBitMask);
  out.g = channel(f.dwGBitMask);
  out.b = channel(f.dwBBitMask);
  if (f.dwFlags & DDPF_ALPHAPIXELS) out.a = channel(f.dwRGBAlphaBitMask);
  out.rgbMask = f.dwRBitMask | f.dwGBitMask | f.dwBBitMask;
  return true;
}

DDPIXELFORMAT rgbFormat(DWORD bpp, DWORD r, DWORD g, DWORD b, DWORD a) {
  DDPIXELFORMAT f;
  std::memset(&f, 0, sizeof f);
  f.dwSize = sizeof f;
  f.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
  f.dwRGBBitCount = bpp;
  f.dwRBitMask = r;
  f.dwGBitMask = g;
  f.dwBBitMask = b;
  f.dwRGBAlphaBitMask = a;
  return f;
}

DDPIXELFORMAT zFormat(DWORD bits) {
  DDPIXELFORMAT f;
  std::memset(&f, 0, sizeof f);
  f.dwSize = sizeof f;
  f.dwFlags = DDPF_ZBUFFER;
  f.dwZBufferBitDepth = bits;
  f.dwZBitMask = bits == 32 ? 0xFFFFFFFF : (1u << bits) - 1;
  return f;
}

D3DX_SURFACEFORMAT formatCode(const DDPIXELFORMAT& f) {
  if (!(f.dwFlags & DDPF_RGB)) return D3DX_SF_UNKNOWN;
  DWORD a = (f.dwFlags & DDPF_ALPHAPIXELS) ? f.dwRGBAlphaBitMask : 0;
  for (const CodeEntry& e : kCodes)
    if (e.bpp == f.dwRGBBitCount && e.r == f.dwRBitMask && e.g == f.dwGBitMask && e.b == f.dwBBitMask &&
        e.a == a)
      return e.code;
  return D3DX_SF_UNKNOWN;
}

bool formatFromCode(D3DX_SURFACEFORMAT code, DDPIXELFORMAT& out) {
  for (const CodeEntry& e : kCodes)
    if (e.code == code) {
      out = rgbFormat(e.bpp, e.r, e.g, e.b, e.a);
      return true;
    }
  return false;
}

}  // namespace zqdisplay
