// CDxSurface loaders: 32-bit pixel maps, JPEG streams, picture bodies and raw 24-bit rows.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ZqFunc.h"
#include "ZqJpeg.h"
#include "ZqPixelMap.h"
#include "ZqSurface.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetI16;
using zqle::GetI32;

// Map row shown on surface row r for a vertical offset y (see LoadFromPixmap).
long SourceRow(long r, long y) { return y > 0 ? r + y : r; }

}  // namespace

// Copies through `pixel(col, row, &b, &g, &r, &a)` with the pixel-map offsets: surface column j
// shows source column j + x; surface row r shows source row r + y for a positive y, else row r
// (rows above -y stay cleared).
template <class PixelFn>
static long LoadWithOffsets(CDxSurface* self, long mapW, long mapH, long x, long y, PixelFn pixel,
                            DWORD (CDxSurface::*pack)(DWORD, DWORD, DWORD, DWORD) const) {
  BYTE* bits = nullptr;
  LONG pitch = 0;
  HRESULT hr = self->BeginLock(&bits, &pitch);
  if (FAILED(hr)) return hr;
  const long w = long(self->GetWidth()), h = long(self->GetHeight());
  const long bytes = long(self->GetColorCount() / 8);
  for (long r = (y < 0 ? -y : 0); r < h; ++r) {
    const long mr = SourceRow(r, y);
    if (mr < 0 || mr >= mapH) continue;
    BYTE* row = bits + size_t(r) * pitch;
    for (long j = (x < 0 ? -x : 0); j < w; ++j) {
      const long mc = j + x;
      if (mc < 0 || mc >= mapW) continue;
      BYTE b, g, red, a;
      pixel(mc, mr, &b, &g, &red, &a);
      DWORD v = (self->*pack)(red, g, b, a);
      std::memcpy(row + size_t(j) * bytes, &v, size_t(bytes));
    }
  }
  self->EndLock();
  return 0;
}

long CDxSurface::LoadFromPixmap(CPixelMap32* map, long x, long y) {
  if (!map || !m_pSurface) return E_FAIL;
  ClearWhole();
  const SPixel32* data = map->GetData();
  const long mw = long(map->GetWidth());
  if (!data) return 0;
  return LoadWithOffsets(
      this, mw, long(map->GetHeight()), x, y,
      [&](long c, long r, BYTE* b, BYTE* g, BYTE* red, BYTE* a) {
        const SPixel32& p = data[size_t(r) * size_t(mw) + size_t(c)];
        *b = p.blue;
        *g = p.green;
        *red = p.red;
        *a = p.alpha;
      },
      &CDxSurface::PackChannels);
}

long CDxSurface::LoadFromRGBData(const BYTE* data, long width, long height, int bottomUp, long x, long y) {
  if (!data || !m_pSurface) return E_FAIL;
  if (width <= 0 || height <= 0) return E_FAIL;
  ClearWhole();
  return LoadWithOffsets(
      this, width, height, x, y,
      [&](long c, long r, BYTE* b, BYTE* g, BYTE* red, BYTE* a) {
        const long sr = bottomUp ? height - 1 - r : r;
        const BYTE* p = data + (size_t(sr) * size_t(width) + size_t(c)) * 3;
        *b = p[0];
        *g = p[1];
        *red = p[2];
        *a = 255;
      },
      &CDxSurface::PackChannels);
}

long CDxSurface::LoadFromJpegFile(const char* path, const SPixel24* key, long x, long y) {
  if (!path) return E_FAIL;
  SStreamBuf s = CZqFunc::ZQFBUF_Create(path, "rb");
  if (!s.m_pFile) return E_FAIL;
  long hr = LoadFromJpegFile(&s, key, x, y);
  CZqFunc::ZQFBUF_Close(&s);
  return hr;
}

namespace {

struct JpegTarget {
  CDxSurface* surface;
  BYTE* bits;
  LONG pitch;
  long x, y;
  const SPixel24* key;
  DWORD (CDxSurface::*pack)(DWORD, DWORD, DWORD, DWORD) const;
};

bool NearKey(int v, int k) { return std::abs(v - k) <= 1; }

int JpegRow(void* ctx, int row, const unsigned char* px, const ZqJpegImage* image) {
  JpegTarget& t = *static_cast<JpegTarget*>(ctx);
  const long target = t.y < 0 ? row - t.y : row;
  const long h = long(t.surface->GetHeight()), w = long(t.surface->GetWidth());
  if (target < 0 || target >= h) return 1;
  const long bytes = long(t.surface->GetColorCount() / 8);
  BYTE* out = t.bits + size_t(target) * t.pitch;
  const int n = image->components;
  for (long j = 0; j < w; ++j) {
    const long c = j + t.x;
    if (c < 0 || c >= image->width) continue;
    const unsigned char* p = px + size_t(c) * n;
    const int r = p[0], g = n >= 3 ? p[1] : p[0], b = n >= 3 ? p[2] : p[0];
    int a = 255;
    if (t.key && NearKey(r, t.key->red) && NearKey(g, t.key->green) && NearKey(b, t.key->blue)) a = 0;
    DWORD v = (t.surface->*t.pack)(DWORD(r), DWORD(g), DWORD(b), DWORD(a));
    std::memcpy(out + size_t(j) * bytes, &v, size_t(bytes));
  }
  return 1;
}

}  // namespace

long CDxSurface::LoadFromJpegFile(SStreamBuf* stream, const SPixel24* key, long x, long y) {
  if (!stream || !stream->m_pFile || !m_pSurface) return E_FAIL;
  ClearWhole();
  if (CZqFunc::ZQFBUF_Set(stream, 0) != 0) return E_FAIL;
  JpegTarget t{this, nullptr, 0, x, y, key, &CDxSurface::PackChannels};
  HRESULT hr = BeginLock(&t.bits, &t.pitch);
  if (FAILED(hr)) return hr;
  int ok = ZqJpeg_Decode(stream->m_pFile, JpegRow, &t);
  EndLock();
  return ok ? 0 : E_FAIL;
}

long CDxSurface::LoadFromPGMFile(SStreamBuf* stream) {
  if (!stream || !stream->m_pFile || !m_pSurface) return E_FAIL;
  delete[] m_pSpans;
  m_pSpans = nullptr;
  m_nSpanCount = 0;

  BYTE head[36];
  if (CZqFunc::ZQFBUF_Set(stream, 0) != 0 ||
      CZqFunc::ZQFBUF_Read(head, 1, sizeof head, stream) != sizeof head)
    return E_FAIL;
  const int32_t spanOffset = GetI32(head), spanCount = GetI32(head + 4);
  const int32_t pixelOffset = GetI32(head + 8), pixelCount = GetI32(head + 12);
  const int32_t baseX = GetI32(head + 16), baseY = GetI32(head + 20);
  const int32_t format = GetI32(head + 32);
  const int64_t available = int64_t(stream->m_nSize) - stream->m_nOffset;
  const int64_t pixelBytes = format == 1 ? 4 : format == 2 ? 3 : 0;
  // Counts and offsets must describe data that the stream really holds.
  if (spanOffset < 0 || spanCount < 0 || pixelOffset < 0 || pixelCount < 0) return E_FAIL;
  if (int64_t(spanOffset) + int64_t(spanCount) * 6 > available) return E_FAIL;
  if (int64_t(pixelOffset) + int64_t(pixelCount) * pixelBytes > available) return E_FAIL;

  std::vector<BYTE> spanBytes(size_t(spanCount) * 6);
  if (spanCount > 0 &&
      (CZqFunc::ZQFBUF_Set(stream, spanOffset) != 0 ||
       CZqFunc::ZQFBUF_Read(spanBytes.data(), 6, size_t(spanCount), stream) != size_t(spanCount)))
    return E_FAIL;
  m_pSpans = new SPictureSpan[size_t(spanCount)];
  m_nSpanCount = spanCount;
  for (int32_t i = 0; i < spanCount; ++i) {
    const BYTE* p = spanBytes.data() + size_t(i) * 6;
    m_pSpans[i] = SPictureSpan{GetI16(p), GetI16(p + 2), GetI16(p + 4)};
  }
  m_ptBase = SScreenPoint(baseX, baseY);

  ClearWhole();
  if (pixelBytes == 0) return 0;
  std::vector<BYTE> pixels(size_t(pixelCount) * size_t(pixelBytes));
  if (pixelCount > 0 && (CZqFunc::ZQFBUF_Set(stream, pixelOffset) != 0 ||
                         CZqFunc::ZQFBUF_Read(pixels.data(), size_t(pixelBytes), size_t(pixelCount),
                                              stream) != size_t(pixelCount)))
    return E_FAIL;

  BYTE* bits = nullptr;
  LONG pitch = 0;
  HRESULT hr = BeginLock(&bits, &pitch);
  if (FAILED(hr)) return hr;
  const long w = long(GetWidth()), h = long(GetHeight());
  const long bytes = long(m_dwBitCount / 8);
  int64_t next = 0;
  for (int32_t i = 0; i < spanCount && next < pixelCount; ++i) {
    const SPictureSpan& s = m_pSpans[i];
    if (s.end <= s.first) continue;
    const bool rowInside = s.row >= 0 && s.row < h;
    for (long c = s.first; c < s.end && next < pixelCount; ++c, ++next) {
      if (!rowInside || c < 0 || c >= w) continue;  // clipped, but the pixel is still used up
      const BYTE* p = pixels.data() + size_t(next) * size_t(pixelBytes);
      DWORD v = PackChannels(p[2], p[1], p[0], pixelBytes == 4 ? p[3] : 255);
      std::memcpy(bits + size_t(s.row) * pitch + size_t(c) * bytes, &v, size_t(bytes));
    }
  }
  EndLock();
  return 0;
}

long CDxSurface::LoadFromDibmap(CDibMap* dib, long, long) {
  if (!dib || !m_pSurface) return E_FAIL;
  HDC dc = nullptr;
  HRESULT hr = m_pSurface->GetDC(&dc);
  if (FAILED(hr)) return hr;
  return m_pSurface->ReleaseDC(dc);
}

long CDxSurface::LoadFromDibmapEx(CDibMap* dib, SScreenRect*, SScreenRect*) {
  return LoadFromDibmap(dib, 0, 0);
}
