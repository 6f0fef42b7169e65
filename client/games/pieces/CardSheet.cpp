#include "CardSheet.h"

#include <string>

CCardSheet::CCardSheet(CZqEngine* engine) : m_pEngine(engine) {}

CCardSheet::~CCardSheet() { Release(); }

int CCardSheet::Load(const char* name) {
  // A failed load leaves no sheet, never the last one's picture under the new sizes.
  Release();
  if (!m_pEngine || !name) return 0;
  if (!m_pEngine->LoadConfig(m_config, name)) return 0;
  const int32_t height = (int32_t)m_config.GetLong("MainCard", "CardHeight", "0");
  const int32_t width = (int32_t)m_config.GetLong("MainCard", "CardWidth", "0");
  // Reels and turntables size their strips by the cell: a sheet without one holds no card.
  if (height < 1 || width < 1) return 0;
  const std::string image = m_config.GetString("MainCard", "CardImage", "");
  CZqAnimation picture(m_pEngine);
  if (!picture.Create(image.c_str())) return 0;
  CZqTexture* frame = picture.GetCurrentFrame();
  if (!frame || !frame->GetTexture()) return 0;
  auto sheet = std::make_unique<CZqTexture>(m_pEngine);
  if (sheet->CreateEx(frame->GetWidth(), frame->GetHeight(), frame->GetSurfaceFormat(), 0) < 0) return 0;
  if (sheet->Blt(0, 0, frame, nullptr, 0) < 0) return 0;
  m_pSheet = std::move(sheet);
  m_nCardHeight = height;
  m_nCardWidth = width;
  return 1;
}

void CCardSheet::Release() {
  m_nCardHeight = 0;
  m_nCardWidth = 0;
  m_pSheet.reset();
}

int CCardSheet::GetCardRect(const char* code, SScreenRect* rect) const {
  if (!code || !rect || code[0] < 'a' || code[0] > 'm' || code[1] < '0' || code[1] > '3') return 0;
  rect->left = (code[1] - '0') * m_nCardWidth;
  rect->right = rect->left + m_nCardWidth;
  rect->top = (code[0] - 'a') * m_nCardHeight;
  rect->bottom = rect->top + m_nCardHeight;
  return 1;
}

int CCardSheet::GetRowRect(char letter, SScreenRect* rect) const {
  if (!rect || letter < 'a' || letter > 'l') return 0;
  rect->left = 0;
  rect->right = m_nCardWidth;
  rect->top = (letter - 'a') * m_nCardHeight;
  rect->bottom = rect->top + m_nCardHeight;
  return 1;
}

int CCardSheet::_Blit(const SScreenRect& source, CDxSurface* surface, SScreenRect* rect) {
  if (!surface || !rect || !m_pSheet) return 0;
  rect->right = rect->left + m_nCardWidth;
  rect->bottom = rect->top + m_nCardHeight;
  SScreenRect from = source;
  return surface->Blt(rect, m_pSheet.get(), &from, 0) >= 0 ? 1 : 0;
}

int CCardSheet::BlitCard(const char* code, CDxSurface* surface, SScreenRect* rect) {
  SScreenRect source;
  return GetCardRect(code, &source) ? _Blit(source, surface, rect) : 0;
}

int CCardSheet::BlitRow(char letter, CDxSurface* surface, SScreenRect* rect) {
  SScreenRect source;
  return GetRowRect(letter, &source) ? _Blit(source, surface, rect) : 0;
}
