// Lines, rectangles, lightening and darkening of the scene, and the pulsing value functions.
#include <cmath>
#include <cstdint>

#include "ZqEngine.h"

long CZqEngine::Render_DrawLine(long x1, long y1, long x2, long y2, DWORD color) {
  if (!m_pD3DDevice) return ZQERR_NODEVICE;
  m_vtx[0].sx = (float)x1;
  m_vtx[0].sy = (float)y1;
  m_vtx[1].sx = (float)x2;
  m_vtx[1].sy = (float)y2;
  m_vtx[0].sz = m_vtx[1].sz = 0.0f;
  m_vtx[0].color = m_vtx[1].color = color;
  m_pD3DDevice->SetTexture(0, nullptr);
  return m_pD3DDevice->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, m_vtx, 2, 0);
}

long CZqEngine::Render_DrawRect(SScreenRect* rect, int filled, DWORD color, float z) {
  return Render_DrawRectEx(rect, filled, color, color, color, color, z);
}

long CZqEngine::Render_DrawRectEx(SScreenRect* rect, int filled, DWORD colorTL, DWORD colorTR, DWORD colorBL,
                                  DWORD colorBR, float z) {
  if (!m_pD3DDevice) return ZQERR_NODEVICE;
  if (!rect) return E_INVALIDARG;
  const float l = (float)rect->left, t = (float)rect->top, r = (float)rect->right, b = (float)rect->bottom;
  m_vtx[0].sx = l, m_vtx[0].sy = t;
  m_vtx[1].sx = r, m_vtx[1].sy = t;
  m_vtx[2].sx = l, m_vtx[2].sy = b;
  m_vtx[3].sx = r, m_vtx[3].sy = b;
  _PaintColors(colorTL, colorTR, colorBL, colorBR, z);
  return _PaintBox(filled, colorTL, colorTR, colorBL, colorBR);
}

long CZqEngine::Render_LightRect(SScreenRect* rect, float level) {
  if (!(level > 0.0f)) level = 0.0f;  // below 0 (or not a number) is black, never a wrapped alpha
  if (!rect) return DarkenScene(level);
  if (!m_pD3DDevice) return ZQERR_NODEVICE;
  SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
  if (level < 1.0f) {
    PreparePaint(D3DBLEND_ZERO, D3DBLEND_SRCALPHA, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
  } else {
    level -= 1.0f;
    if (level > 1.0f) level = 1.0f;
    PreparePaint(D3DBLEND_DESTCOLOR, D3DBLEND_SRCALPHA, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
  }
  const DWORD color = ((DWORD)(level * 255.0f) << 24) + 0xFFFFFFu;
  const long hr = Render_DrawRect(rect, 1, color, 1.0f);
  SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
  return hr;
}

long CZqEngine::DarkenScene(float level) {
  if (!m_pD3DDevice) return ZQERR_NODEVICE;
  if (std::isnan(level)) level = 0.0f;
  SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
  float alpha;
  if (level < 1.0f) {
    PreparePaint(D3DBLEND_ZERO, D3DBLEND_SRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    alpha = level;
  } else {
    PreparePaint(D3DBLEND_DESTCOLOR, D3DBLEND_SRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    alpha = level - 1.0f;
  }
  const long hr = Render_PaintFast(0, 0, nullptr, 0.0f, 1.0f, 1.0f, alpha, 0xFF7F7F7F);
  SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
  return hr;
}

namespace {

// Engine time since start, in units of divisor, as unsigned 32-bit arithmetic.
uint32_t PaintTicks(DWORD now, DWORD start, long divisor) {
  uint32_t d = (uint32_t)divisor;
  if (!d) d = 1;
  return (uint32_t)(now - start) / d;
}

}  // namespace

float CZqEngine::ValueLoop(float from, float to, DWORD start, long period, long divisor) {
  const uint32_t p = period ? (uint32_t)period : 1000u;
  if (!p) return from;  // a period that is a multiple of 2^32
  const uint32_t phase = PaintTicks(m_dwEngineTime, start, divisor) % p;
  return from + (float)phase / (float)p * (to - from);
}

float CZqEngine::ValueCycle(float from, float to, DWORD start, long period, long divisor) {
  const uint32_t p = period ? (uint32_t)period : 1000u;
  if (!p) return from;  // a period that is a multiple of 2^32
  // The doubled period in 64 bits: it must not wrap to 0.
  const int64_t f = (int64_t)(PaintTicks(m_dwEngineTime, start, divisor) % (2 * (uint64_t)p)) - p;
  return from + (float)std::llabs(f) / (float)p * (to - from);
}
