// Bitmaps: DIB sections, compatible bitmaps, .bmp files, and blits between device contexts.
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/read_file.h"
#include "dib.h"
#include "zqplatform/base.h"

using namespace zqgdi;

namespace {

constexpr size_t kMaxBitmapFile = size_t(1) << 30;  // a 32768 x 32768 picture of 8-bit pixels

// A bitmap with its own memory: rows bottom-up as a DIB section of positive height.
BitmapObject* makeBitmap(int width, int height, int bpp, bool bottomUp, uint32_t rm, uint32_t gm,
                         uint32_t bm) {
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return nullptr;
  auto* b = new BitmapObject;
  if (!b->surface.fmt.set(bpp, rm, gm, bm)) {
    delete b;
    return nullptr;
  }
  b->width = width;
  b->height = height;
  b->bitsPerPixel = bpp;
  b->pitch = ((width * bpp + 31) / 32) * 4;
  b->bottomUp = bottomUp;
  b->storage.assign(size_t(b->pitch) * size_t(height), 0);
  Surface& s = b->surface;
  s.width = width;
  s.height = height;
  s.stride = bottomUp ? -ptrdiff_t(b->pitch) : ptrdiff_t(b->pitch);
  s.row0 = b->storage.data() + (bottomUp ? size_t(b->pitch) * size_t(height - 1) : 0);
  trackObject(b);
  return b;
}

HBITMAP handleOf(BitmapObject* b) { return reinterpret_cast<HBITMAP>(static_cast<GdiObject*>(b)); }

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  DibView dib;
  if (usage > DIB_PAL_COLORS || !readDib(bmi, dib)) return nullptr;
  if (dib.bitsPerPixel < 16) return nullptr;  // palette-indexed drawing surfaces are not kept
  BitmapObject* b = makeBitmap(dib.width, dib.height, dib.bitsPerPixel, dib.bottomUp, dib.masks[0],
                               dib.masks[1], dib.masks[2]);
  if (!b) return nullptr;
  if (bits) *bits = b->storage.data();
  return handleOf(b);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return nullptr;
  const Surface& s = dc->surface;
  if (s.valid() && dc->kind != DcKind::Memory)
    return handleOf(
        makeBitmap(width, height, s.fmt.bytes * 8, true, s.fmt.r.mask, s.fmt.g.mask, s.fmt.b.mask));
  return handleOf(makeBitmap(width, height, 32, true, 0, 0, 0));
}

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (type != IMAGE_BITMAP || !name || !(flags & LR_LOADFROMFILE)) return nullptr;
  std::vector<uint8_t> data;
  if (!zqbase::readWholeFile(zqMapPath(name), data, kMaxBitmapFile)) return nullptr;
  DibView dib;
  const uint8_t* bits = nullptr;
  if (!readBmpFile(data.data(), data.size(), dib, &bits)) return nullptr;
  int w = cx > 0 ? cx : dib.width, h = cy > 0 ? cy : dib.height;
  BitmapObject* b = makeBitmap(w, h, 32, true, 0, 0, 0);
  if (!b) return nullptr;
  uint32_t table[256];
  dibColorTable(dib, DIB_RGB_COLORS, nullptr, b->surface.fmt, table);
  if (dib.compression != BI_RGB) bits = expandRle(DibView(dib), bits, dib.imageSize, dib);
  blitDib(b->surface, dib, bits, table, 0, 0, w, h, 0, 0, dib.width, dib.height, 0, dib.height);
  return handleOf(b);
}

HBITMAP LoadBitmapA(HINSTANCE, LPCSTR) { return nullptr; }  // no module resources here

BOOL StretchBlt(HDC dest, int xDest, int yDest, int destWidth, int destHeight, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, DWORD rop) {
  DeviceContext* d = findDc(dest);
  if (!d) return FALSE;
  const Surface& ds = d->surface;
  if (rop == BLACKNESS || rop == WHITENESS) {
    int x0 = std::max(std::min(xDest, xDest + destWidth), 0);
    int x1 = std::min(std::max(xDest, xDest + destWidth), ds.width);
    int y0 = std::max(std::min(yDest, yDest + destHeight), 0);
    int y1 = std::min(std::max(yDest, yDest + destHeight), ds.height);
    BYTE c = rop == WHITENESS ? 255 : 0;
    if (ds.valid() && x0 < x1 && y0 < y1) ds.fill(x0, y0, x1, y1, ds.fmt.encodeRgb(c, c, c));
    return TRUE;
  }
  DeviceContext* s = findDc(src);
  if (!s || rop != SRCCOPY) return FALSE;
  const Surface& ss = s->surface;
  if (!ds.valid() || !ss.valid() || !destWidth || !destHeight || !srcWidth || !srcHeight) return TRUE;
  bool mirrorX = false, mirrorY = false;
  if (destWidth < 0) xDest += destWidth, destWidth = -destWidth, mirrorX = !mirrorX;
  if (destHeight < 0) yDest += destHeight, destHeight = -destHeight, mirrorY = !mirrorY;
  if (srcWidth < 0) xSrc += srcWidth, srcWidth = -srcWidth, mirrorX = !mirrorX;
  if (srcHeight < 0) ySrc += srcHeight, srcHeight = -srcHeight, mirrorY = !mirrorY;
  const bool same = ss.row0 == ds.row0;
  // Copying within one surface reads from a snapshot, so overlapping areas come out right.
  std::vector<uint8_t> snapshot;
  Surface from = ss;
  if (same) {
    snapshot.resize(size_t(ss.width) * ss.fmt.bytes * size_t(ss.height));
    for (int y = 0; y < ss.height; ++y)
      std::memcpy(snapshot.data() + size_t(y) * ss.width * ss.fmt.bytes, ss.at(0, y),
                  size_t(ss.width) * ss.fmt.bytes);
    from.row0 = snapshot.data();
    from.stride = ptrdiff_t(ss.width) * ss.fmt.bytes;
  }
  const bool sameFormat = ss.fmt.bytes == ds.fmt.bytes && ss.fmt.r.mask == ds.fmt.r.mask &&
                          ss.fmt.g.mask == ds.fmt.g.mask && ss.fmt.b.mask == ds.fmt.b.mask;
  const int j0 = std::max(0, -xDest), j1 = std::min(destWidth, ds.width - xDest);
  const int i0 = std::max(0, -yDest), i1 = std::min(destHeight, ds.height - yDest);
  for (int i = i0; i < i1; ++i) {
    int k = int((int64_t(2 * i + 1) * srcHeight) / (int64_t(2) * destHeight));
    if (mirrorY) k = srcHeight - 1 - k;
    int sy = ySrc + k;
    if (sy < 0 || sy >= from.height) continue;
    for (int j = j0; j < j1; ++j) {
      int c = int((int64_t(2 * j + 1) * srcWidth) / (int64_t(2) * destWidth));
      if (mirrorX) c = srcWidth - 1 - c;
      int sx = xSrc + c;
      if (sx < 0 || sx >= from.width) continue;
      uint32_t p = from.read(sx, sy);
      ds.write(xDest + j, yDest + i, sameFormat ? p : ds.fmt.encode(from.fmt.decode(p)));
    }
  }
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}
