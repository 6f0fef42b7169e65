// CDxSurface drawing with GDI: texts, one-colour captions and numbers, bitmaps.
#include <algorithm>
#include <cstring>
#include <string>

#include "ZqEngine.h"
#include "ZqSurface.h"

namespace {

// A surface DC with the font and colours selected; everything is undone on destruction.
class SurfaceDc {
 public:
  SurfaceDc(LPDIRECTDRAWSURFACE7 surface, HFONT font) : surface_(surface) {
    if (FAILED(surface_->GetDC(&dc_))) dc_ = nullptr;
    if (dc_ && font) oldFont_ = SelectObject(dc_, font);
  }
  ~SurfaceDc() {
    if (!dc_) return;
    if (oldFont_) SelectObject(dc_, oldFont_);
    surface_->ReleaseDC(dc_);
  }
  SurfaceDc(const SurfaceDc&) = delete;
  SurfaceDc& operator=(const SurfaceDc&) = delete;
  HDC get() const { return dc_; }
  void colours(COLORREF text, COLORREF back) {
    SetTextColor(dc_, text);
    if (back) {
      SetBkMode(dc_, OPAQUE);
      SetBkColor(dc_, back);
    } else {
      SetBkMode(dc_, TRANSPARENT);
    }
  }
  SIZE extent(const char* text, int length) const {
    SIZE sz{0, 0};
    GetTextExtentPoint32A(dc_, text, length, &sz);
    return sz;
  }

 private:
  LPDIRECTDRAWSURFACE7 surface_;
  HDC dc_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

void RestoreIfLost(LPDIRECTDRAWSURFACE7 s) {
  if (s->IsLost() == DDERR_SURFACELOST) s->Restore();
}

// Runs draw on the surface's DC with the font and colours selected: the frame of the text calls.
template <class Draw>
long DrawOnDc(LPDIRECTDRAWSURFACE7 surface, HFONT font, const char* text, COLORREF textColor,
              COLORREF backColor, Draw draw) {
  if (!surface || !text) return E_INVALIDARG;
  RestoreIfLost(surface);
  SurfaceDc dc(surface, font);
  if (!dc.get()) return E_FAIL;
  dc.colours(textColor, backColor);
  draw(dc);
  return 0;
}

// Length of the character at p: GBK lead bytes take their trail byte with them, unless the
// text ends first.
int CharLength(const char* p) {
  unsigned char c = static_cast<unsigned char>(p[0]);
  return (c >= 0x81 && c <= 0xFE && p[1] != '\0') ? 2 : 1;
}

}  // namespace

long CDxSurface::DrawTextDirect(HFONT font, const char* text, long x, long y, COLORREF textColor,
                                COLORREF backColor) {
  return DrawOnDc(m_pSurface, font, text, textColor, backColor,
                  [&](SurfaceDc& dc) { TextOutA(dc.get(), int(x), int(y), text, int(std::strlen(text))); });
}

long CDxSurface::DrawTextCenter(HFONT font, const char* text, long x, long y, long width, COLORREF textColor,
                                COLORREF backColor) {
  return DrawOnDc(m_pSurface, font, text, textColor, backColor, [&](SurfaceDc& dc) {
    const int length = int(std::strlen(text));
    // Signed: a text wider than the field starts left of x.
    const long textWidth = dc.extent(text, length).cx;
    TextOutA(dc.get(), int(x + (width - textWidth) / 2), int(y), text, length);
  });
}

long CDxSurface::DrawTextInRect(HFONT font, const char* text, long x, long y, long width, long,
                                COLORREF textColor, COLORREF backColor) {
  return DrawOnDc(m_pSurface, font, text, textColor, backColor, [&](SurfaceDc& dc) {
    const char* line = text;
    const char* p = text;
    while (*p) {
      const int n = CharLength(p);
      const SIZE ch = dc.extent(p, n);
      const long lineWidth = dc.extent(line, int(p + n - line)).cx;
      // Break when the character would stick out by more than a third of its own width.
      if (p > line && 3 * (lineWidth - width) > ch.cx) {
        TextOutA(dc.get(), int(x), int(y), line, int(p - line));
        y += ch.cy;
        line = p;
      }
      p += n;
    }
    if (p > line) TextOutA(dc.get(), int(x), int(y), line, int(p - line));
  });
}

// Draws white text on a cleared system-memory surface of width x height, then writes every
// touched pixel into this surface's top-left area in the text colour (and, with a background
// colour, every other pixel in that colour).
static long DrawOneColour(CDxSurface* self, CZqEngine* engine, HFONT font, const char* text,
                          SScreenRect* rect, long width, long height, UINT format, DWORD textColor,
                          DWORD backColor, bool fixedCells) {
  if (width < rect->left || height < rect->top || rect->right < 0 || rect->bottom < 0) return 0;
  if (width <= 0 || height <= 0) return 0;
  CZqSurface temp(engine);
  HRESULT hr = temp.CreateEx(DWORD(width), DWORD(height), 0);
  if (FAILED(hr)) return hr;
  {
    HDC dc = nullptr;
    if (FAILED(temp.BeginDc(&dc))) return E_FAIL;
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SIZE eight{0, 0};
    GetTextExtentPoint32A(dc, "8", 1, &eight);
    rect->right -= eight.cx / 2;
    const int length = int(std::strlen(text));
    if (fixedCells && (format & DT_RIGHT)) {
      // Digits stand in cells as wide as "8", filled from the right.
      for (int i = 0; i < length; ++i) {
        RECT r{rect->left, rect->top, LONG(rect->right - i * eight.cx), rect->bottom};
        ::DrawTextA(dc, text + length - 1 - i, 1, &r, format | DT_NOCLIP);
      }
    } else {
      RECT r{rect->left, rect->top, rect->right, rect->bottom};
      ::DrawTextA(dc, text, length, &r, fixedCells ? format : (format | DT_NOCLIP));
    }
    if (oldFont) SelectObject(dc, oldFont);
    temp.EndDc(dc);
  }

  BYTE* src = nullptr;
  LONG srcPitch = 0;
  hr = temp.BeginLock(&src, &srcPitch);
  if (FAILED(hr)) return hr;
  BYTE* dst = nullptr;
  LONG dstPitch = 0;
  hr = self->BeginLock(&dst, &dstPitch);
  if (FAILED(hr)) {
    temp.EndLock();
    return hr;
  }
  const long rows = std::min<long>(height, long(self->GetHeight()));
  const long cols = std::min<long>(width, long(self->GetWidth()));
  const DWORD ink = self->ConvertColor(textColor);
  const DWORD paper = self->ConvertColor(backColor);
  const size_t srcBytes = temp.GetColorCount() / 8;
  const size_t dstBytes = self->GetColorCount() / 8;
  for (long y = 0; y < rows; ++y) {
    const BYTE* s = src + size_t(y) * srcPitch;
    BYTE* d = dst + size_t(y) * dstPitch;
    for (long x = 0; x < cols; ++x) {
      DWORD v;
      if (s[size_t(x) * srcBytes] != 0)
        v = ink;
      else if (backColor != 0)
        v = paper;
      else
        continue;
      std::memcpy(d + size_t(x) * dstBytes, &v, dstBytes);
    }
  }
  self->EndLock();
  temp.EndLock();
  return 0;
}

long CDxSurface::DrawTextA(HFONT font, const char* text, SScreenRect* rect, long width, long height,
                           UINT format, DWORD textColor, DWORD backColor) {
  if (!m_pSurface || !text || !rect) return E_INVALIDARG;
  RestoreIfLost(m_pSurface);
  return DrawOneColour(this, m_pEngine, font, text, rect, width, height, format, textColor, backColor, false);
}

long CDxSurface::DrawNumber(HFONT font, const char* text, SScreenRect* rect, long width, long height,
                            UINT format, DWORD textColor, DWORD backColor) {
  if (!m_pSurface || !text || !rect) return E_INVALIDARG;
  RestoreIfLost(m_pSurface);
  return DrawOneColour(this, m_pEngine, font, text, rect, width, height, format, textColor, backColor, true);
}

long CDxSurface::DrawBitmap(HBITMAP bitmap, long sourceX, long sourceY, long sourceWidth, long sourceHeight) {
  if (!bitmap) return E_INVALIDARG;
  if (!m_pSurface) return E_INVALIDARG;
  if (m_ddsd.ddpfPixelFormat.dwFlags & DDPF_FOURCC) return E_NOTIMPL;
  RestoreIfLost(m_pSurface);
  BITMAP bm{};
  if (!GetObjectA(bitmap, sizeof bm, &bm)) return E_INVALIDARG;
  if (sourceWidth == 0) sourceWidth = bm.bmWidth;
  if (sourceHeight == 0) sourceHeight = bm.bmHeight;
  HDC dc = nullptr;
  HRESULT hr = m_pSurface->GetDC(&dc);
  if (FAILED(hr)) return hr;
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) {
    m_pSurface->ReleaseDC(dc);
    return E_FAIL;
  }
  HGDIOBJ old = SelectObject(mem, bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, int(GetWidth()), int(GetHeight()), mem, int(sourceX), int(sourceY), int(sourceWidth),
             int(sourceHeight), SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  m_pSurface->ReleaseDC(dc);
  return 0;
}

long CDxSurface::DrawBitmap(const char* name, long width, long height) {
  if (!name) return E_INVALIDARG;
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, int(width), int(height),
                                                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bmp) return E_FAIL;
  long hr = DrawBitmap(bmp, 0, 0, 0, 0);
  DeleteObject(bmp);
  return hr;
}
