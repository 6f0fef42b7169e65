// The quad painter: a texture drawn as one quad of the engine's four pre-transformed vertices.
#include <cmath>

#include "ZqEngine.h"
#include "ZqTexture.h"

void CZqEngine::PreparePaint(DWORD srcBlend, DWORD destBlend, DWORD colorOp, DWORD alphaOp) {
  if (!m_pD3DDevice) return;
  LPDIRECT3DDEVICE7 d = m_pD3DDevice;
  d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  d->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
  d->SetRenderState(D3DRENDERSTATE_SRCBLEND, srcBlend);
  d->SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlend);
  d->SetRenderState(D3DRENDERSTATE_DITHERENABLE, 1);
  d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
  d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  d->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
  d->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
  d->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
  d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
}

// ---- the quad in the vertex block ----

LPDIRECTDRAWSURFACE7 CZqEngine::_PaintTexture(CZqTexture* texture) {
  if (!texture) {
    // The diffuse alpha alone; stays until the next PreparePaint.
    m_pD3DDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    return nullptr;
  }
  return texture->GetTexture();
}

void CZqEngine::_PaintSize(CZqTexture* texture, float* width, float* height, float* baseX, float* baseY) {
  if (!texture) {
    *width = ZQ_RENDER_WIDTH;
    *height = ZQ_RENDER_HEIGHT;
    *baseX = *baseY = 0.0f;
    return;
  }
  const SScreenPoint base = texture->GetBasePoint();
  *width = (float)texture->GetWidth();
  *height = (float)texture->GetHeight();
  *baseX = (float)base.x;
  *baseY = (float)base.y;
}

int CZqEngine::_PaintPlainSurface(long x, long y, CZqTexture* texture, float scaleX, float scaleY,
                                  long* result) {
  if (!texture) return 0;
  texture->GetTexture();  // loads it when only the name is known
  if (texture->IsTexture()) return 0;
  if (!m_pBackSurface) {
    *result = ZQERR_NODEVICE;
    return 1;
  }
  const SScreenPoint base = texture->GetBasePoint();
  if (scaleX == 1.0f && scaleY == 1.0f) {
    *result = m_pBackSurface->CopySurface(x - base.x, y - base.y, texture, nullptr);
    return 1;
  }
  const float w = (float)texture->GetWidth(), h = (float)texture->GetHeight();
  SScreenRect dest((int32_t)(x - scaleX * base.x), (int32_t)(y - scaleY * base.y),
                   (int32_t)(x + scaleX * (w - base.x)), (int32_t)(y + scaleY * (h - base.y)));
  *result = m_pBackSurface->Blt(&dest, texture, nullptr, 0);
  return 1;
}

void CZqEngine::_PaintColors(DWORD tl, DWORD tr, DWORD bl, DWORD br, float z) {
  const DWORD c[4] = {tl, tr, bl, br};
  for (int i = 0; i < 4; ++i) {
    m_vtx[i].color = c[i];
    m_vtx[i].sz = z;
  }
}

void CZqEngine::_PaintCorners(long x, long y, float width, float height, float baseX, float baseY,
                              float scaleX, float scaleY, float angle) {
  const float cx[4] = {-baseX, width - baseX, -baseX, width - baseX};
  const float cy[4] = {-baseY, -baseY, height - baseY, height - baseY};
  if (angle == 0.0f) {
    for (int i = 0; i < 4; ++i) {
      m_vtx[i].sx = (float)x + scaleX * cx[i];
      m_vtx[i].sy = (float)y + scaleY * cy[i];
    }
    return;
  }
  // y grows downwards, so a positive angle turns clockwise on the screen.
  const float c = std::cos(angle), s = std::sin(angle);
  for (int i = 0; i < 4; ++i) {
    m_vtx[i].sx = (float)x + scaleX * (cx[i] * c - cy[i] * s);
    m_vtx[i].sy = (float)y + scaleY * (cx[i] * s + cy[i] * c);
  }
}

long CZqEngine::_PaintQuad(LPDIRECTDRAWSURFACE7 texture) {
  m_pD3DDevice->SetTexture(0, texture);
  return m_pD3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, m_vtx, 4, 0);
}

long CZqEngine::_PaintBox(int filled, DWORD tl, DWORD tr, DWORD bl, DWORD br) {
  // Only the colours change: the quad's own colours are set again after the box.
  const float z = m_vtx[0].sz;
  _PaintColors(tl, tr, bl, br, z);
  m_pD3DDevice->SetTexture(0, nullptr);
  if (filled) return m_pD3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, m_vtx, 4, 0);
  return m_pD3DDevice->DrawIndexedPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, m_vtx, 4, m_wOutlineIndex, 5,
                                            0);
}

int CZqEngine::_PaintClip(const SScreenRect& clip) {
  const float left = m_vtx[0].sx, top = m_vtx[0].sy, right = m_vtx[3].sx, bottom = m_vtx[3].sy;
  if (left > clip.right || top > clip.bottom || right < clip.left || bottom < clip.top) return 0;
  // Texture coordinates follow each moved edge, in proportion to the unclipped size.
  const float w = right - left, h = bottom - top;
  if (left < clip.left) {
    m_vtx[0].tu = m_vtx[2].tu = (clip.left - left) / w;
    m_vtx[0].sx = m_vtx[2].sx = (float)clip.left;
  }
  if (top < clip.top) {
    m_vtx[0].tv = m_vtx[1].tv = (clip.top - top) / h;
    m_vtx[0].sy = m_vtx[1].sy = (float)clip.top;
  }
  if (right > clip.right) {
    m_vtx[1].tu = m_vtx[3].tu = 1.0f - (right - clip.right) / w;
    m_vtx[1].sx = m_vtx[3].sx = (float)clip.right;
  }
  if (bottom > clip.bottom) {
    m_vtx[2].tv = m_vtx[3].tv = 1.0f - (bottom - clip.bottom) / h;
    m_vtx[2].sy = m_vtx[3].sy = (float)clip.bottom;
  }
  return 1;
}

void CZqEngine::_PaintResetCoords() {
  for (int i = 0; i < 4; ++i) {
    m_vtx[i].tu = (i & 1) ? 1.0f : 0.0f;
    m_vtx[i].tv = (i & 2) ? 1.0f : 0.0f;
  }
}

long CZqEngine::_Paint(long x, long y, const SScreenRect* clip, CZqTexture* texture, const DWORD* box,
                       int filled, const DWORD* colors, float z, float scaleX, float scaleY, float angle,
                       int plainPath) {
  long result = 0;
  if (plainPath && _PaintPlainSurface(x, y, texture, scaleX, scaleY, &result)) return result;
  if (!m_pD3DDevice) return ZQERR_NODEVICE;
  LPDIRECTDRAWSURFACE7 surface = _PaintTexture(texture);
  float w, h, bx, by;
  _PaintSize(texture, &w, &h, &bx, &by);
  _PaintCorners(x, y, w, h, bx, by, scaleX, scaleY, angle);
  if (clip && !_PaintClip(*clip)) return 0;
  _PaintColors(colors[0], colors[1], colors[2], colors[3], z);
  if (box) {
    result = _PaintBox(filled, box[0], box[1], box[2], box[3]);
    if (result < 0) {
      _PaintResetCoords();
      return result;
    }
    _PaintColors(colors[0], colors[1], colors[2], colors[3], z);
  }
  result = _PaintQuad(surface);
  if (clip) _PaintResetCoords();
  return result;
}
