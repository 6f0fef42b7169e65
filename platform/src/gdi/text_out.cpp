// Text on device contexts: TextOutA, DrawTextA, extents and metrics.
#include <algorithm>
#include <cstring>
#include <vector>

#include "ansi_text.h"
#include "device_context.h"
#include "font_face.h"

using namespace zqgdi;

namespace {

struct Clip {
  int x0, y0, x1, y1;
};

SizedFace* dcFace(DeviceContext* dc) { return resolveFont(dc->font ? dc->font : stockFont(SYSTEM_FONT)); }

const LOGFONTA& dcLogFont(DeviceContext* dc) { return (dc->font ? dc->font : stockFont(SYSTEM_FONT))->lf; }

int runWidth(SizedFace* sf, const char32_t* s, size_t n) {
  int w = 0;
  for (size_t i = 0; i < n; ++i) w += sf->glyph(s[i]).advance;
  return w;
}

Clip surfaceClip(const Surface& s) { return {0, 0, s.width, s.height}; }

Clip intersect(Clip a, const RECT& r) {
  return {std::max(a.x0, int(r.left)), std::max(a.y0, int(r.top)), std::min(a.x1, int(r.right)),
          std::min(a.y1, int(r.bottom))};
}

void fillClipped(const Surface& s, Clip c, int x0, int y0, int x1, int y1, uint32_t v) {
  x0 = std::max(x0, c.x0);
  y0 = std::max(y0, c.y0);
  x1 = std::min(x1, c.x1);
  y1 = std::min(y1, c.y1);
  if (x0 < x1 && y0 < y1) s.fill(x0, y0, x1, y1, v);
}

// Draws one line of text with its cell's top-left at (x, y). underlineAt: index of a character
// to underline (a mnemonic prefix), or -1.
void drawRun(DeviceContext* dc, SizedFace* sf, const char32_t* s, size_t n, int x, int y, Clip clip,
             long underlineAt) {
  const Surface& surf = dc->surface;
  if (!surf.valid() || clip.x0 >= clip.x1 || clip.y0 >= clip.y1) return;
  int width = runWidth(sf, s, n);
  if (dc->bkMode == OPAQUE)
    fillClipped(surf, clip, x, y, x + width, y + sf->height, surf.fmt.encode(dc->bkColor));
  const uint32_t ink = surf.fmt.encode(dc->textColor);
  const int baseline = y + sf->ascent;
  int pen = x;
  for (size_t i = 0; i < n; ++i) {
    const Glyph& g = sf->glyph(s[i]);
    const int gx = pen + g.left, gy = baseline - g.top;
    const int ry0 = std::max(0, clip.y0 - gy), ry1 = std::min(g.height, clip.y1 - gy);
    const int rx0 = std::max(0, clip.x0 - gx), rx1 = std::min(g.width, clip.x1 - gx);
    const uint8_t* bits = sf->bits(g);
    for (int ry = ry0; ry < ry1; ++ry) {
      const uint8_t* row = bits + ry * g.width;
      uint8_t* p = surf.at(gx + rx0, gy + ry);
      for (int rx = rx0; rx < rx1; ++rx, p += surf.fmt.bytes)
        if (row[rx]) surf.writeAt(p, ink);
    }
    if (long(i) == underlineAt) {
      int uy = baseline + sf->underlinePos;
      fillClipped(surf, clip, pen, uy, pen + g.advance, uy + sf->underlineThickness, ink);
    }
    pen += g.advance;
  }
  const LOGFONTA& lf = dcLogFont(dc);
  if (lf.lfUnderline) {
    int uy = baseline + sf->underlinePos;
    fillClipped(surf, clip, x, uy, x + width, uy + sf->underlineThickness, ink);
  }
  if (lf.lfStrikeOut) {
    int sy = baseline - std::max(1, sf->ascent * 3 / 10);
    fillClipped(surf, clip, x, sy, x + width, sy + sf->underlineThickness, ink);
  }
}

bool isCjk(char32_t c) { return c >= 0x2E80; }

struct Line {
  size_t begin, end;
  int width;
};

}  // namespace

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || length < 0 || (!text && length > 0)) return FALSE;
  if (length == 0) return TRUE;
  SizedFace* sf = dcFace(dc);
  if (!sf) return FALSE;
  size_t n = 0;
  const char32_t* s = decodeAnsi(text, length, &n);
  drawRun(dc, sf, s, n, x, y, surfaceClip(dc->surface), -1);
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || !size || length < 0 || (!text && length > 0)) return FALSE;
  SizedFace* sf = dcFace(dc);
  if (!sf) return FALSE;
  size_t n = 0;
  const char32_t* s = decodeAnsi(text, length, &n);
  size->cx = runWidth(sf, s, n);
  size->cy = sf->height;
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || !tm) return FALSE;
  SizedFace* sf = dcFace(dc);
  if (!sf) return FALSE;
  const LOGFONTA& lf = dcLogFont(dc);
  std::memset(tm, 0, sizeof(*tm));
  tm->tmHeight = sf->height;
  tm->tmAscent = sf->ascent;
  tm->tmDescent = sf->descent;
  tm->tmInternalLeading = sf->internalLeading;
  tm->tmAveCharWidth = sf->avgCharWidth;
  tm->tmMaxCharWidth = sf->maxCharWidth;
  tm->tmWeight = sf->weight;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmItalic = lf.lfItalic;
  tm->tmUnderlined = lf.lfUnderline;
  tm->tmStruckOut = lf.lfStrikeOut;
  tm->tmPitchAndFamily = lf.lfPitchAndFamily;
  tm->tmCharSet = lf.lfCharSet;
  return TRUE;
}

int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || !text || !rect) return 0;
  SizedFace* sf = dcFace(dc);
  if (!sf) return 0;
  size_t n = 0;
  const char32_t* decoded = decodeAnsi(text, length, &n);
  if (n == 0) return 0;

  thread_local std::vector<char32_t> chars;
  thread_local std::vector<Line> lines;
  chars.clear();
  lines.clear();
  long underlineAt = -1;
  for (size_t i = 0; i < n; ++i) {
    char32_t c = decoded[i];
    if (c == U'&' && !(format & DT_NOPREFIX)) {
      if (i + 1 >= n) break;
      if (decoded[i + 1] != U'&') underlineAt = long(chars.size());
      c = decoded[++i];
    }
    chars.push_back(c);
  }
  n = chars.size();
  const char32_t* s = chars.data();
  const int boxWidth = rect->right - rect->left;

  if (format & DT_SINGLELINE) {
    lines.push_back({0, n, runWidth(sf, s, n)});
  } else {
    size_t begin = 0, i = 0;
    int width = 0;
    size_t breakAt = SIZE_MAX;  // index where the next line may start
    int widthAtBreak = 0;
    while (i < n) {
      char32_t c = s[i];
      if (c == U'\r' || c == U'\n') {
        lines.push_back({begin, i, width});
        i += (c == U'\r' && i + 1 < n && s[i + 1] == U'\n') ? 2 : 1;
        begin = i, width = 0, breakAt = SIZE_MAX;
        continue;
      }
      int adv = sf->glyph(c).advance;
      if ((format & DT_WORDBREAK) && i > begin && width + adv > boxWidth && c != U' ') {
        size_t end = breakAt != SIZE_MAX ? breakAt : i;
        int w = breakAt != SIZE_MAX ? widthAtBreak : width;
        size_t trimmed = end;
        while (trimmed > begin && s[trimmed - 1] == U' ') w -= sf->glyph(s[--trimmed]).advance;
        lines.push_back({begin, trimmed, w});
        begin = end;
        while (begin < n && s[begin] == U' ') ++begin;
        i = begin;
        width = 0, breakAt = SIZE_MAX;
        continue;
      }
      if (c == U' ' || isCjk(c)) {
        // A break may come after a space, or before or after a CJK character.
        if (isCjk(c) && i > begin) breakAt = i, widthAtBreak = width;
        width += adv;
        breakAt = i + 1, widthAtBreak = width;
      } else {
        width += adv;
      }
      ++i;
    }
    if (begin < n || lines.empty()) lines.push_back({begin, n, width});
  }

  const int lineHeight = sf->height;
  const int total = lineHeight * int(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& l : lines) widest = std::max(widest, l.width);
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) widest = std::max(widest, boxWidth);
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }

  int y = rect->top;
  bool fromTop = true;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      y = rect->top + (rect->bottom - rect->top - lineHeight) / 2, fromTop = false;
    else if (format & DT_BOTTOM)
      y = rect->bottom - lineHeight, fromTop = false;
  }
  Clip clip = surfaceClip(dc->surface);
  if (!(format & DT_NOCLIP)) clip = intersect(clip, *rect);
  for (const Line& l : lines) {
    int x = rect->left;
    if (format & DT_CENTER)
      x = rect->left + (boxWidth - l.width) / 2;
    else if (format & DT_RIGHT)
      x = rect->right - l.width;
    long ul = (underlineAt >= long(l.begin) && underlineAt < long(l.end)) ? underlineAt - long(l.begin) : -1;
    drawRun(dc, sf, s + l.begin, l.end - l.begin, x, y, clip, ul);
    y += lineHeight;
  }
  return fromTop ? total : (y - rect->top);
}
