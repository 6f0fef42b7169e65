#include "display/image_decode.h"

#include <cstring>

namespace zqdisplay {

namespace {

constexpr int kMaxSide = 16384;

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }

int maskShift(uint32_t m) {
  int s = 0;
  while (m && !(m & 1)) {
    m >>= 1;
    ++s;
  }
  return s;
}
int maskBits(uint32_t m) {
  m >>= maskShift(m);
  int b = 0;
  while (m & 1) {
    m >>= 1;
    ++b;
  }
  return b;
}
uint32_t channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  const int bits = maskBits(mask);
  uint32_t c = (v & mask) >> maskShift(mask);
  if (bits >= 8) return c >> (bits - 8);
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) out = (out << bits) | c;
  return (out >> (((8 + bits - 1) / bits) * bits - 8)) & 255;
}

bool decodeBmp(const uint8_t* d, size_t n, int* W, int* H, std::vector<uint32_t>& out) {
  if (n < 26 || d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t bitsAt = le32(d + 10);
  const uint32_t hsize = le32(d + 14);
  int32_t w, h;
  uint32_t bpp, compression = 0, colorsUsed = 0;
  if (hsize == 12) {
    w = int32_t(le16(d + 18));
    h = int16_t(le16(d + 20));
    bpp = le16(d + 24);
  } else {
    if (hsize < 40 || n < 14 + size_t(hsize)) return false;
    w = int32_t(le32(d + 18));
    h = int32_t(le32(d + 22));
    bpp = le16(d + 28);
    compression = le32(d + 30);
    colorsUsed = le32(d + 46);
  }
  const bool topDown = h < 0;
  if (h == INT32_MIN) return false;
  if (topDown) h = -h;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  uint32_t rm = 0, gm = 0, bm = 0, am = 0;
  if (compression == 3) {
    if (bpp != 16 && bpp != 32) return false;
    size_t at = hsize >= 52 ? 54 : 14 + hsize;
    if (n < at + 12) return false;
    rm = le32(d + at);
    gm = le32(d + at + 4);
    bm = le32(d + at + 8);
    if (hsize >= 56 && n >= 70) am = le32(d + 66);
  } else if (compression != 0) {
    return false;
  } else if (bpp == 16) {
    rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
  } else if (bpp == 32) {
    rm = 0xFF0000, gm = 0xFF00, bm = 0xFF;
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  // palette
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    const size_t entry = hsize == 12 ? 3 : 4;
    size_t count = colorsUsed ? colorsUsed : (size_t(1) << bpp);
    if (count > 256) count = 256;
    const size_t at = 14 + hsize;
    if (at + count * entry > n) return false;
    palette.resize(256, 0xFF000000u);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = d + at + i * entry;
      palette[i] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
  }
  const size_t rowBytes = ((size_t(w) * bpp + 31) / 32) * 4;
  if (bitsAt > n || rowBytes * size_t(h) > n - bitsAt) return false;
  out.assign(size_t(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = d + bitsAt + rowBytes * size_t(topDown ? y : h - 1 - y);
    uint32_t* o = out.data() + size_t(y) * w;
    for (int x = 0; x < w; ++x) {
      uint32_t c;
      switch (bpp) {
        case 1:
          c = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          c = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
          break;
        case 8:
          c = palette[row[x]];
          break;
        case 24:
          c = 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
          break;
        default: {
          uint32_t v = bpp == 16 ? le16(row + 2 * x) : le32(row + 4 * x);
          uint32_t a = am ? channel(v, am) : 255;
          c = (a << 24) | (channel(v, rm) << 16) | (channel(v, gm) << 8) | channel(v, bm);
        }
      }
      o[x] = c;
    }
  }
  *W = w;
  *H = h;
  return true;
}

bool decodeTga(const uint8_t* d, size_t n, int* W, int* H, std::vector<uint32_t>& out) {
  if (n < 18) return false;
  const uint32_t idLen = d[0], cmapType = d[1], type = d[2];
  const uint32_t cmapFirst = le16(d + 3), cmapLen = le16(d + 5), cmapBits = d[7];
  const int w = int(le16(d + 12)), h = int(le16(d + 14));
  const uint32_t depth = d[16], desc = d[17];
  const uint32_t base = type & ~8u;
  const bool rle = (type & 8) != 0;
  if (base != 1 && base != 2 && base != 3) return false;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  if (cmapType > 1) return false;
  size_t at = 18 + idLen;
  std::vector<uint32_t> palette;
  auto pixelOf = [](const uint8_t* p, uint32_t bits, uint32_t alphaBits) -> uint32_t {
    switch (bits) {
      case 8:
        return 0xFF000000u | uint32_t(p[0]) * 0x010101u;
      case 15:
      case 16: {
        uint32_t v = le16(p);
        uint32_t a = (bits == 16 && alphaBits) ? ((v & 0x8000) ? 255 : 0) : 255;
        return (a << 24) | (channel(v, 0x7C00) << 16) | (channel(v, 0x03E0) << 8) | channel(v, 0x001F);
      }
      case 24:
        return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
      default:
        return ((alphaBits ? uint32_t(p[3]) : 255u) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) |
               p[0];
    }
  };
  const uint32_t alphaBits = desc & 15;
  if (cmapType == 1) {
    if (cmapBits != 15 && cmapBits != 16 && cmapBits != 24 && cmapBits != 32) return false;
    const size_t eb = (cmapBits + 7) / 8;
    if (at + size_t(cmapLen) * eb > n) return false;
    palette.assign(size_t(cmapFirst) + cmapLen, 0xFF000000u);
    for (uint32_t i = 0; i < cmapLen; ++i) palette[cmapFirst + i] = pixelOf(d + at + i * eb, cmapBits, 1);
    at += size_t(cmapLen) * eb;
  }
  if (base == 1 && (cmapType != 1 || depth != 8)) return false;
  if (base == 3 && depth != 8) return false;
  if (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  const size_t pb = (depth + 7) / 8;
  const size_t total = size_t(w) * h;
  // The header's size must be backed by data before anything that large is allocated: raw
  // pixels take pb bytes each, a run-length packet of 1 + pb bytes gives at most 128 pixels.
  if (at > n) return false;
  if (!rle ? total * pb > n - at : total > (n - at) / (1 + pb) * 128 + 128) return false;
  std::vector<uint32_t> seq(total);
  auto read = [&](const uint8_t* p) -> uint32_t {
    if (base == 1) return p[0] < palette.size() ? palette[p[0]] : 0xFF000000u;
    return pixelOf(p, depth, alphaBits);
  };
  size_t i = 0;
  if (!rle) {
    for (; i < total; ++i) seq[i] = read(d + at + i * pb);
  } else {
    while (i < total) {
      if (at >= n) return false;
      const uint32_t head = d[at++];
      const size_t count = (head & 127) + 1;
      if (head & 128) {
        if (at + pb > n) return false;
        const uint32_t c = read(d + at);
        at += pb;
        for (size_t k = 0; k < count && i < total; ++k) seq[i++] = c;
      } else {
        if (at + count * pb > n) return false;
        for (size_t k = 0; k < count && i < total; ++k) seq[i++] = read(d + at + k * pb);
        at += count * pb;
      }
    }
  }
  // Origin: bit 5 set = first row at the top; bit 4 set = pixels run right to left.
  out.assign(total, 0);
  const bool top = (desc & 0x20) != 0, rightToLeft = (desc & 0x10) != 0;
  for (int y = 0; y < h; ++y) {
    const uint32_t* src = seq.data() + size_t(y) * w;
    uint32_t* dst = out.data() + size_t(top ? y : h - 1 - y) * w;
    for (int x = 0; x < w; ++x) dst[rightToLeft ? w - 1 - x : x] = src[x];
  }
  *W = w;
  *H = h;
  return true;
}

}  // namespace

bool decodeImage(const uint8_t* data, size_t size, int* width, int* height, std::vector<uint32_t>& argb) {
  if (!data || !width || !height) return false;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return decodeBmp(data, size, width, height, argb);
  return decodeTga(data, size, width, height, argb);
}

}  // namespace zqdisplay
