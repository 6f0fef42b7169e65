// DIB descriptions and the DIB-to-surface copy shared by the blit calls and bitmap loading.
#include "dib.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace zqgdi {

bool readDib(const BITMAPINFO* bmi, DibView& v, size_t available) {
  if (!bmi || available < 4) return false;
  const uint8_t* base = reinterpret_cast<const uint8_t*>(bmi);
  DWORD headerSize;
  std::memcpy(&headerSize, base, 4);
  int64_t width, height;
  int bpp;
  DWORD compression = BI_RGB, clrUsed = 0;
  bool core = false;
  if (headerSize == sizeof(BITMAPCOREHEADER)) {
    if (available < headerSize) return false;
    BITMAPCOREHEADER c;
    std::memcpy(&c, base, sizeof(c));
    width = c.bcWidth;
    height = c.bcHeight;
    bpp = c.bcBitCount;
    core = true;
  } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= 4096) {
    if (available < headerSize) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, base, sizeof(h));
    width = h.biWidth;
    height = h.biHeight;
    bpp = h.biBitCount;
    compression = h.biCompression;
    clrUsed = h.biClrUsed;
  } else {
    return false;
  }
  if (width <= 0 || height == 0 || width > 65536 || height > 65536 || height < -65536) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  const bool rle = (compression == BI_RLE8 && bpp == 8) || (compression == BI_RLE4 && bpp == 4);
  if (compression != BI_RGB && !rle && !(compression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
    return false;
  if (rle && height < 0) return false;  // run-length DIBs are bottom-up only

  v = DibView{};
  v.width = int(width);
  v.bottomUp = height > 0;
  v.height = int(height > 0 ? height : -height);
  v.bitsPerPixel = bpp;
  v.stride = size_t((width * bpp + 31) / 32) * 4;
  v.coreColors = core;
  v.compression = rle ? compression : BI_RGB;
  if (rle) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, base, sizeof(h));
    v.imageSize = h.biSizeImage;
  }
  size_t tableOffset = headerSize;
  if (compression == BI_BITFIELDS) {
    size_t maskOffset = sizeof(BITMAPINFOHEADER);
    if (headerSize == sizeof(BITMAPINFOHEADER)) tableOffset += 12;  // masks follow the header
    if (available < maskOffset + 12) return false;
    std::memcpy(v.masks, base + maskOffset, 12);
  } else if (bpp == 16) {
    v.masks[0] = 0x7C00, v.masks[1] = 0x03E0, v.masks[2] = 0x001F;
  } else {
    v.masks[0] = 0xFF0000, v.masks[1] = 0x00FF00, v.masks[2] = 0x0000FF;
  }
  size_t entries = 0;
  if (bpp <= 8) {
    size_t full = size_t(1) << bpp;
    entries = (!core && clrUsed) ? std::min<size_t>(clrUsed, full) : full;
    v.colorCount = int(entries);
  } else if (!core) {
    if (clrUsed > 256) return false;
    entries = clrUsed;  // present but unused by this depth
  }
  size_t entrySize = core ? 3 : 4;
  v.colors = base + tableOffset;
  v.headerAndColors = tableOffset + entries * entrySize;
  return v.headerAndColors <= available;
}

bool readBmpFile(const uint8_t* data, size_t size, DibView& out, const uint8_t** bits) {
  if (!data || size < sizeof(BITMAPFILEHEADER) + 4) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  DWORD offBits;
  std::memcpy(&offBits, data + 10, 4);
  const size_t fh = sizeof(BITMAPFILEHEADER);
  if (!readDib(reinterpret_cast<const BITMAPINFO*>(data + fh), out, size - fh)) return false;
  size_t start = fh + out.headerAndColors;
  if (offBits >= start && offBits < size) start = offBits;
  if (start > size) return false;
  if (out.compression != BI_RGB) {
    if (!out.imageSize || out.imageSize > size - start) out.imageSize = size - start;
    *bits = data + start;
    return true;
  }
  uint64_t need = uint64_t(out.stride) * uint64_t(out.height);
  if (need > size - start) return false;
  *bits = data + start;
  return true;
}

void dibColorTable(const DibView& dib, UINT colorUse, const PaletteObject* palette, const PixelFormat& fmt,
                   uint32_t out[256]) {
  uint32_t black = fmt.encodeRgb(0, 0, 0);
  for (int i = 0; i < 256; ++i) out[i] = black;
  for (int i = 0; i < dib.colorCount && i < 256; ++i) {
    if (colorUse == DIB_PAL_COLORS) {
      WORD index;
      std::memcpy(&index, dib.colors + 2 * i, 2);
      if (palette && !palette->entries.empty()) {
        const PALETTEENTRY& e = palette->entries[index % palette->entries.size()];
        out[i] = fmt.encodeRgb(e.peRed, e.peGreen, e.peBlue);
      }
    } else if (dib.coreColors) {
      const uint8_t* e = dib.colors + 3 * i;
      out[i] = fmt.encodeRgb(e[2], e[1], e[0]);
    } else {
      const uint8_t* e = dib.colors + 4 * i;
      out[i] = fmt.encodeRgb(e[2], e[1], e[0]);
    }
  }
}

const uint8_t* expandRle(const DibView& dib, const uint8_t* bits, size_t size, DibView& view) {
  thread_local std::vector<uint8_t> out;
  view = dib;
  view.compression = BI_RGB;
  view.bitsPerPixel = 8;
  view.stride = (size_t(dib.width) + 3) & ~size_t(3);
  out.assign(view.stride * size_t(dib.height), 0);
  const bool four = dib.compression == BI_RLE4;
  int x = 0, y = 0;  // y counts stored rows, bottom row first
  auto put = [&](uint8_t index) {
    if (x < dib.width && y < dib.height) out[size_t(y) * view.stride + size_t(x)] = index;
    ++x;
  };
  size_t i = 0;
  while (i + 1 < size && y < dib.height) {
    uint8_t count = bits[i], value = bits[i + 1];
    i += 2;
    if (count) {
      for (int k = 0; k < count; ++k) put(four ? ((k & 1) ? (value & 0xF) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0, ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (i + 1 >= size) break;
      x += bits[i], y += bits[i + 1];
      i += 2;
    } else {  // literal run, padded to a 16-bit boundary
      size_t bytes = four ? (size_t(value) + 1) / 2 : value;
      if (bytes > size - i) break;
      for (int k = 0; k < value; ++k) {
        uint8_t b = bits[i + (four ? size_t(k) / 2 : size_t(k))];
        put(four ? ((k & 1) ? (b & 0xF) : (b >> 4)) : b);
      }
      i += (bytes + 1) & ~size_t(1);
    }
  }
  return out.data();
}

namespace {

// Sample k of n over a source extent of m, at the centre of each destination pixel.
inline int sampleOf(int k, int n, int m) { return int((int64_t(2 * k + 1) * m) / (int64_t(2) * n)); }

}  // namespace

void blitDib(const Surface& dst, const DibView& dib, const uint8_t* bits, const uint32_t* colorTable,
             int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc, int firstRow,
             int rowCount) {
  if (!dst.valid() || !bits || !wDst || !hDst || !wSrc || !hSrc) return;
  bool mirrorX = false, mirrorY = false;
  if (wDst < 0) xDst += wDst, wDst = -wDst, mirrorX = !mirrorX;
  if (hDst < 0) yDst += hDst, hDst = -hDst, mirrorY = !mirrorY;
  if (wSrc < 0) xSrc += wSrc, wSrc = -wSrc, mirrorX = !mirrorX;
  if (hSrc < 0) ySrc += hSrc, hSrc = -hSrc, mirrorY = !mirrorY;

  Channel sr, sg, sb;
  sr.set(dib.masks[0]);
  sg.set(dib.masks[1]);
  sb.set(dib.masks[2]);
  const PixelFormat& f = dst.fmt;

  const int j0 = std::max(0, -xDst), j1 = std::min(wDst, dst.width - xDst);
  const int i0 = std::max(0, -yDst), i1 = std::min(hDst, dst.height - yDst);
  for (int i = i0; i < i1; ++i) {
    int k = sampleOf(i, hDst, hSrc);
    if (mirrorY) k = hSrc - 1 - k;
    int64_t stored = dib.bottomUp ? int64_t(ySrc) + hSrc - 1 - k : int64_t(ySrc) + k;
    if (stored < 0 || stored >= dib.height || stored < firstRow || stored >= int64_t(firstRow) + rowCount)
      continue;
    const uint8_t* row = bits + size_t(stored - firstRow) * dib.stride;
    uint8_t* out = dst.at(xDst + j0, yDst + i);
    for (int j = j0; j < j1; ++j, out += f.bytes) {
      int c = sampleOf(j, wDst, wSrc);
      if (mirrorX) c = wSrc - 1 - c;
      int64_t sx = int64_t(xSrc) + c;
      if (sx < 0 || sx >= dib.width) continue;
      uint32_t v;
      switch (dib.bitsPerPixel) {
        case 1:
          v = colorTable[(row[sx >> 3] >> (7 - (sx & 7))) & 1];
          break;
        case 4:
          v = colorTable[(row[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0xF];
          break;
        case 8:
          v = colorTable[row[sx]];
          break;
        case 16: {
          uint16_t p;
          std::memcpy(&p, row + 2 * sx, 2);
          v = f.encodeRgb(sr.decode(p), sg.decode(p), sb.decode(p));
          break;
        }
        case 24: {
          const uint8_t* p = row + 3 * sx;
          v = f.encodeRgb(p[2], p[1], p[0]);
          break;
        }
        default: {
          uint32_t p;
          std::memcpy(&p, row + 4 * sx, 4);
          v = f.encodeRgb(sr.decode(p), sg.decode(p), sb.decode(p));
          break;
        }
      }
      dst.writeAt(out, v);
    }
  }
}

}  // namespace zqgdi

using namespace zqgdi;

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* bmi,
                      UINT colorUse) {
  DeviceContext* dc = findDc(hdc);
  DibView dib;
  if (!dc || !bits || !readDib(bmi, dib) || colorUse > DIB_PAL_COLORS) return 0;
  if (width > INT_MAX || height > INT_MAX || startScan > INT_MAX || scanLines > INT_MAX) return 0;
  if (!scanLines) return 0;
  uint32_t table[256];
  dibColorTable(dib, colorUse, dc->palette, dc->surface.fmt, table);
  const uint8_t* pixels = static_cast<const uint8_t*>(bits);
  if (dib.compression != BI_RGB) pixels = expandRle(DibView(dib), pixels, dib.imageSize, dib);
  blitDib(dc->surface, dib, pixels, table, xDest, yDest, int(width), int(height), xSrc, ySrc, int(width),
          int(height), int(startScan), int(scanLines));
  return int(scanLines);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT colorUse,
                  DWORD rop) {
  DeviceContext* dc = findDc(hdc);
  DibView dib;
  if (!dc || !readDib(bmi, dib) || colorUse > DIB_PAL_COLORS) return 0;
  int lines = destHeight < 0 ? -destHeight : destHeight;
  if (rop == BLACKNESS || rop == WHITENESS) {
    const Surface& s = dc->surface;
    if (!s.valid()) return lines;
    int x0 = std::min(xDest, xDest + destWidth), x1 = std::max(xDest, xDest + destWidth);
    int y0 = std::min(yDest, yDest + destHeight), y1 = std::max(yDest, yDest + destHeight);
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, s.width), y1 = std::min(y1, s.height);
    BYTE c = rop == WHITENESS ? 255 : 0;
    if (x0 < x1 && y0 < y1) s.fill(x0, y0, x1, y1, s.fmt.encodeRgb(c, c, c));
    return lines;
  }
  if (rop != SRCCOPY || !bits) return 0;
  uint32_t table[256];
  dibColorTable(dib, colorUse, dc->palette, dc->surface.fmt, table);
  const uint8_t* pixels = static_cast<const uint8_t*>(bits);
  if (dib.compression != BI_RGB) pixels = expandRle(DibView(dib), pixels, dib.imageSize, dib);
  blitDib(dc->surface, dib, pixels, table, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
          srcHeight, 0, dib.height);
  return lines;
}
