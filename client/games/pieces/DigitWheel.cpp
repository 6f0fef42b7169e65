#include "DigitWheel.h"

namespace {
// A digit wheel never blinks faster than this (ms).
constexpr int kMinDigitBlinkMs = 50;
}  // namespace

CDigitWheel::CDigitWheel(CZqEngine* engine) : m_pEngine(engine), m_aniPicture(engine) {}

CDigitWheel::~CDigitWheel() = default;

int CDigitWheel::Setup(const char* image, int& x, int& y, int& width, int& height, int& frequency) {
  m_ptPos = SScreenPoint(x, y);
  m_nWidth = width;
  m_nHeight = height;
  m_nCellHeight = height / 10;
  m_nHalfWidth = width / 2;
  m_nInterval = frequency;
  m_aniPicture.SetZqEngine(m_pEngine);
  m_aniPicture.Create(image);
  CZqTexture* frame = m_aniPicture.GetCurrentFrame();
  if (!frame || !frame->GetTexture()) return 0;
  const DWORD tw = frame->GetWidth(), th = frame->GetHeight();
  m_fUExtent = tw ? (float)width / (float)tw : 0.0f;
  m_fVExtent = th ? (float)height / (float)th : 0.0f;
  m_Quad.Init(0xE57F7F7F);
  Refresh();
  return 1;
}

void CDigitWheel::Refresh() {
  const float top = m_nDigit * 0.1f * m_fVExtent;
  const float bottom = (m_nDigit * 0.1f + 0.1f) * m_fVExtent;
  const float u0 = m_nBlinkColumn ? 0.5f * m_fUExtent : 0.0f;
  const float u1 = m_nBlinkColumn ? m_fUExtent : 0.5f * m_fUExtent;
  m_Quad.Map(u0, top, u1, bottom);
  const float left = (float)(m_ptPos.x + m_nShift);
  m_Quad.Place(left, (float)m_ptPos.y, left + (float)m_nHalfWidth, (float)(m_ptPos.y + m_nCellHeight));
}

int CDigitWheel::SetDigit(const char* text, int evenLength) {
  if (!text || text[0] < '0' || text[0] > '9') return 0;
  m_nDigit = '9' - text[0];
  m_nShift = evenLength * m_nHalfWidth / 2;
  return 1;
}

void CDigitWheel::Tick() {
  if (!m_bVisible) return;
  if (m_nInterval < kMinDigitBlinkMs) m_nInterval = kMinDigitBlinkMs;
  const DWORD now = timeGetTime();
  if (now - m_dwLastToggle > (DWORD)m_nInterval) {
    m_nBlinkColumn ^= 1;
    Refresh();
    m_dwLastToggle = now;
  }
}

void CDigitWheel::Draw() {
  if (m_bVisible) m_Quad.Draw(m_pEngine, m_aniPicture);
}
