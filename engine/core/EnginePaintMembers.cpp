// The painter family: rotating or fast, clipped, framed, and with corner colours.
#include "ZqEngine.h"
#include "ZqTexture.h"

namespace {

DWORD PaintColor(float alpha, DWORD color) {
  if (!(alpha > 0.0f)) alpha = 0.0f;  // not a number counts as 0
  if (alpha > 1.0f) alpha = 1.0f;
  const DWORD a = (DWORD)(double(alpha) * 4278190080.0) & 0xFF000000u;
  return a | (color & 0x00FFFFFFu);
}

struct Corners {
  DWORD c[4];
  Corners(float alpha, DWORD color) { c[0] = c[1] = c[2] = c[3] = PaintColor(alpha, color); }
  Corners(DWORD tl, DWORD tr, DWORD bl, DWORD br) : c{tl, tr, bl, br} {}
};

}  // namespace

long CZqEngine::Render_Paint(long x, long y, CZqTexture* texture, float z, float scaleX, float scaleY,
                             float alpha, float angle, DWORD color) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(alpha, color).c, z, scaleX, scaleY, angle, 1);
}

long CZqEngine::Render_PaintFast(long x, long y, CZqTexture* texture, float z, float scaleX, float scaleY,
                                 float alpha, DWORD color) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(alpha, color).c, z, scaleX, scaleY, 0.0f, 1);
}

long CZqEngine::Render_ClipPaint(long x, long y, SScreenRect, CZqTexture* texture, float z, float scaleX,
                                 float scaleY, float alpha, float angle, DWORD color) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(alpha, color).c, z, scaleX, scaleY, angle, 0);
}

long CZqEngine::Render_ClipPaintFast(long x, long y, SScreenRect clip, CZqTexture* texture, float z,
                                     float scaleX, float scaleY, float alpha, DWORD color) {
  return _Paint(x, y, &clip, texture, nullptr, 0, Corners(alpha, color).c, z, scaleX, scaleY, 0.0f, 0);
}

long CZqEngine::Render_PaintFrame(long x, long y, CZqTexture* texture, int filled, DWORD boxTL, DWORD boxTR,
                                  DWORD boxBL, DWORD boxBR, float z, float scaleX, float scaleY, float alpha,
                                  float angle, DWORD color) {
  const DWORD box[4] = {boxTL, boxTR, boxBL, boxBR};
  return _Paint(x, y, nullptr, texture, box, filled, Corners(alpha, color).c, z, scaleX, scaleY, angle, 0);
}

long CZqEngine::Render_PaintFastFrame(long x, long y, CZqTexture* texture, int filled, DWORD boxTL,
                                      DWORD boxTR, DWORD boxBL, DWORD boxBR, float z, float scaleX,
                                      float scaleY, float alpha, DWORD color) {
  const DWORD box[4] = {boxTL, boxTR, boxBL, boxBR};
  return _Paint(x, y, nullptr, texture, box, filled, Corners(alpha, color).c, z, scaleX, scaleY, 0.0f, 0);
}

long CZqEngine::Render_ClipPaintFrame(long x, long y, SScreenRect, CZqTexture* texture, int filled,
                                      DWORD boxTL, DWORD boxTR, DWORD boxBL, DWORD boxBR, float z,
                                      float scaleX, float scaleY, float alpha, float angle, DWORD color) {
  const DWORD box[4] = {boxTL, boxTR, boxBL, boxBR};
  return _Paint(x, y, nullptr, texture, box, filled, Corners(alpha, color).c, z, scaleX, scaleY, angle, 0);
}

long CZqEngine::Render_ClipPaintFastFrame(long x, long y, SScreenRect clip, CZqTexture* texture, int filled,
                                          DWORD boxTL, DWORD boxTR, DWORD boxBL, DWORD boxBR, float z,
                                          float scaleX, float scaleY, float alpha, DWORD color) {
  const DWORD box[4] = {boxTL, boxTR, boxBL, boxBR};
  return _Paint(x, y, &clip, texture, box, filled, Corners(alpha, color).c, z, scaleX, scaleY, 0.0f, 0);
}

long CZqEngine::Render_PaintEx(long x, long y, CZqTexture* texture, DWORD colorTL, DWORD colorTR,
                               DWORD colorBL, DWORD colorBR, float z, float scaleX, float scaleY,
                               float angle) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(colorTL, colorTR, colorBL, colorBR).c, z, scaleX,
                scaleY, angle, 1);
}

long CZqEngine::Render_PaintFastEx(long x, long y, CZqTexture* texture, DWORD colorTL, DWORD colorTR,
                                   DWORD colorBL, DWORD colorBR, float z, float scaleX, float scaleY) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(colorTL, colorTR, colorBL, colorBR).c, z, scaleX,
                scaleY, 0.0f, 1);
}

long CZqEngine::Render_ClipPaintEx(long x, long y, SScreenRect, CZqTexture* texture, DWORD colorTL,
                                   DWORD colorTR, DWORD colorBL, DWORD colorBR, float z, float scaleX,
                                   float scaleY, float angle) {
  return _Paint(x, y, nullptr, texture, nullptr, 0, Corners(colorTL, colorTR, colorBL, colorBR).c, z, scaleX,
                scaleY, angle, 0);
}

long CZqEngine::Render_ClipPaintFastEx(long x, long y, SScreenRect clip, CZqTexture* texture, DWORD colorTL,
                                       DWORD colorTR, DWORD colorBL, DWORD colorBR, float z, float scaleX,
                                       float scaleY) {
  return _Paint(x, y, &clip, texture, nullptr, 0, Corners(colorTL, colorTR, colorBL, colorBR).c, z, scaleX,
                scaleY, 0.0f, 0);
}
