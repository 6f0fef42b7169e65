// CDxSurface blits: placed copies clipped at the edges, clipped stretches, same-format copies.
#include <algorithm>
#include <cstring>

#include "ZqFunc.h"
#include "ZqSurface.h"

namespace {

RECT ToRect(const SScreenRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask &&
         a.dwBBitMask == b.dwBBitMask &&
         ((a.dwFlags & DDPF_ALPHAPIXELS) ? a.dwRGBAlphaBitMask : 0) ==
             ((b.dwFlags & DDPF_ALPHAPIXELS) ? b.dwRGBAlphaBitMask : 0);
}

}  // namespace

// Clips a copy at (x, y) to this surface: a negative position moves the source inwards, and
// the source is cut where the copy leaves the surface. False when nothing is left to copy.
static bool ClipPlaced(long& x, long& y, SScreenRect& s, long width, long height) {
  if (x < 0) {
    s.left -= x;
    x = 0;
  }
  if (y < 0) {
    s.top -= y;
    y = 0;
  }
  if (x + s.width() > width) s.right = s.left + (width - x);
  if (y + s.height() > height) s.bottom = s.top + (height - y);
  return s.right > s.left && s.bottom > s.top;
}

long CDxSurface::Blt(long x, long y, CDxSurface* source, SScreenRect* sourceRect, int useKey) {
  if (!source || !source->m_pSurface) return E_INVALIDARG;
  if (!m_pSurface) return E_POINTER;
  const long w = long(GetWidth()), h = long(GetHeight());
  if (x > w || y > h) return 0;
  SScreenRect s = sourceRect ? *sourceRect : source->GetRect();
  bool any = ClipPlaced(x, y, s, w, h);
  if (sourceRect) *sourceRect = s;
  if (!any) return 0;
  RECT src = ToRect(s);
  RECT dst{LONG(x), LONG(y), LONG(x + s.width()), LONG(y + s.height())};
  DWORD flags = DDBLT_WAIT | (useKey ? DDBLT_KEYSRC : 0);
  return m_pSurface->Blt(&dst, source->m_pSurface, &src, flags, nullptr);
}

long CDxSurface::Blt(SScreenRect* destRect, CDxSurface* source, SScreenRect* sourceRect, int useKey) {
  if (!source || !source->m_pSurface) return E_INVALIDARG;
  if (!m_pSurface) return E_POINTER;
  SScreenRect d = destRect ? *destRect : GetRect();
  SScreenRect s = sourceRect ? *sourceRect : source->GetRect();
  if (d.width() <= 0 || d.height() <= 0) return 0;
  const long w = long(GetWidth()), h = long(GetHeight());
  // Each destination edge moved inwards moves the matching source edge in proportion.
  const float rx = float(s.width()) / float(d.width());
  const float ry = float(s.height()) / float(d.height());
  if (d.left < 0) {
    s.left += LONG(float(-d.left) * rx);
    d.left = 0;
  }
  if (d.top < 0) {
    s.top += LONG(float(-d.top) * ry);
    d.top = 0;
  }
  if (d.right > w) {
    s.right -= LONG(float(d.right - w) * rx);
    d.right = LONG(w);
  }
  if (d.bottom > h) {
    s.bottom -= LONG(float(d.bottom - h) * ry);
    d.bottom = LONG(h);
  }
  if (d.width() <= 0 || d.height() <= 0 || s.width() <= 0 || s.height() <= 0) return 0;
  RECT dst = ToRect(d), src = ToRect(s);
  DWORD flags = DDBLT_WAIT | (useKey ? DDBLT_KEYSRC : 0);
  return m_pSurface->Blt(&dst, source->m_pSurface, &src, flags, nullptr);
}

long CDxSurface::CopySurface(long x, long y, CDxSurface* source, SScreenRect* sourceRect) {
  if (!source || !source->m_pSurface) return E_INVALIDARG;
  if (!m_pSurface) return E_POINTER;
  if (!SameFormat(m_ddsd.ddpfPixelFormat, source->m_ddsd.ddpfPixelFormat) || m_dwBitCount < 16)
    return Blt(x, y, source, sourceRect, 0);

  const long w = long(GetWidth()), h = long(GetHeight());
  if (x > w || y > h) return 0;
  SScreenRect s = sourceRect ? *sourceRect : source->GetRect();
  // The source rectangle must lie inside the source surface.
  s.left = std::max<int32_t>(s.left, 0);
  s.top = std::max<int32_t>(s.top, 0);
  s.right = std::min<int32_t>(s.right, int32_t(source->GetWidth()));
  s.bottom = std::min<int32_t>(s.bottom, int32_t(source->GetHeight()));
  if (!ClipPlaced(x, y, s, w, h)) return 0;

  DDSURFACEDESC2 sd, dd;
  HRESULT hr = source->LockWhole(&sd);
  if (FAILED(hr)) return hr;
  hr = (source == this) ? DD_OK : LockWhole(&dd);
  if (FAILED(hr)) {
    source->m_pSurface->Unlock(nullptr);
    return hr;
  }
  if (source == this) dd = sd;
  const size_t bytes = m_dwBitCount / 8;
  const size_t rowBytes = size_t(s.width()) * bytes;
  const BYTE* sbits = static_cast<const BYTE*>(sd.lpSurface);
  BYTE* dbits = static_cast<BYTE*>(dd.lpSurface);
  // Rows overlap only within one surface; copy them in the order that keeps the source intact.
  const bool upward = source == this && y > s.top;
  for (long i = 0; i < s.height(); ++i) {
    long r = upward ? s.height() - 1 - i : i;
    std::memmove(dbits + size_t(y + r) * dd.lPitch + size_t(x) * bytes,
                 sbits + size_t(s.top + r) * sd.lPitch + size_t(s.left) * bytes, rowBytes);
  }
  if (source != this) m_pSurface->Unlock(nullptr);
  source->m_pSurface->Unlock(nullptr);
  return 0;
}
