#include "BlinkSprite.h"

CBlinkSprite::CBlinkSprite(CZqEngine* engine) : m_aniPicture(engine), m_pEngine(engine) {}

CBlinkSprite::~CBlinkSprite() = default;

int CBlinkSprite::Setup(const char* image, int& x, int& y, int& width, int& height, int& frequency) {
  m_nWidth = width;
  m_nHeight = height;
  m_nHalfHeight = height / 2;
  m_nInterval = frequency;
  m_aniPicture.SetZqEngine(m_pEngine);
  m_aniPicture.Create(image);
  CZqTexture* frame = m_aniPicture.GetCurrentFrame();
  if (!frame || !frame->GetTexture()) return 0;
  const DWORD tw = frame->GetWidth(), th = frame->GetHeight();
  m_fUExtent = tw ? (float)width / (float)tw : 0.0f;
  m_fVExtent = th ? (float)height / (float)th : 0.0f;
  m_Quad.Init(0xFF7F7F7F);
  m_Quad.Place((float)x, (float)y, (float)(x + width), (float)(y + m_nHalfHeight));
  Refresh();
  return 1;
}

void CBlinkSprite::Refresh() {
  const float v0 = m_bBlinkRow ? 0.5f * m_fVExtent : 0.0f;
  const float v1 = m_bBlinkRow ? m_fVExtent : 0.5f * m_fVExtent;
  m_Quad.Map(0.0f, v0, m_fUExtent, v1);
}

void CBlinkSprite::Tick() {
  if (!m_bVisible) return;
  const DWORD now = timeGetTime();
  if (now - m_dwLastToggle > (DWORD)m_nInterval) {
    m_bBlinkRow ^= 1;
    Refresh();
    m_dwLastToggle = now;
  }
}

void CBlinkSprite::Draw() {
  if (m_bVisible) m_Quad.Draw(m_pEngine, m_aniPicture);
}
