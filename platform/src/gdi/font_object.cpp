// Font objects and the font-file registry calls.
#include <climits>
#include <cstring>

#include "font_face.h"

using namespace zqgdi;

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t p = int64_t(number) * numerator;
  int64_t d = denominator;
  if (d < 0) p = -p, d = -d;
  // Rounded half away from zero.
  int64_t r = p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d);
  if (r > INT_MAX || r < INT_MIN) return -1;
  return int(r);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
  auto* f = new FontObject;
  f->lf.lfHeight = height;
  f->lf.lfWidth = width;
  f->lf.lfEscapement = escapement;
  f->lf.lfOrientation = orientation;
  f->lf.lfWeight = weight;
  f->lf.lfItalic = BYTE(italic ? 1 : 0);
  f->lf.lfUnderline = BYTE(underline ? 1 : 0);
  f->lf.lfStrikeOut = BYTE(strikeOut ? 1 : 0);
  f->lf.lfCharSet = BYTE(charSet);
  f->lf.lfOutPrecision = BYTE(outPrecision);
  f->lf.lfClipPrecision = BYTE(clipPrecision);
  f->lf.lfQuality = BYTE(quality);
  f->lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) {
    f->face = faceName;
    std::strncpy(f->lf.lfFaceName, faceName, LF_FACESIZE - 1);
  }
  trackObject(f);
  return reinterpret_cast<HFONT>(static_cast<GdiObject*>(f));
}

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) return nullptr;
  auto* f = new FontObject;
  f->lf = *lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  f->face = f->lf.lfFaceName;
  trackObject(f);
  return reinterpret_cast<HFONT>(static_cast<GdiObject*>(f));
}

int AddFontResourceA(LPCSTR fileName) { return registerFontFile(fileName); }

BOOL RemoveFontResourceA(LPCSTR fileName) { return unregisterFontFile(fileName) ? TRUE : FALSE; }
