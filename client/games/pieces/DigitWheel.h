// CDigitWheel: one digit of a shown number, cut from a ten-row strip with a blinking second column.
#pragma once

#include "SpriteQuad.h"

class CDigitWheel {
 public:
  explicit CDigitWheel(CZqEngine* engine);
  ~CDigitWheel();

  int Setup(const char* image, int& x, int& y, int& width, int& height, int& frequency);
  void Refresh();
  int SetDigit(const char* text, int evenLength);
  void Show(int on) { m_bVisible = on ? 1 : 0; }
  void Tick();
  void Draw();

  int IsVisible() const { return m_bVisible; }
  int GetDigitIndex() const { return m_nDigit; }
  int GetBlinkColumn() const { return m_nBlinkColumn; }
  int GetShift() const { return m_nShift; }
  const SSpriteQuad& GetQuad() const { return m_Quad; }

 private:
  CZqEngine* m_pEngine;
  CConfig m_config;
  SSpriteQuad m_Quad;
  SScreenPoint m_ptPos;
  BYTE m_bVisible = 0;
  CZqAnimation m_aniPicture;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nHalfWidth = 0;
  int32_t m_nCellHeight = 0;
  float m_fUExtent = 0.0f;
  float m_fVExtent = 0.0f;
  int32_t m_nDigit = 0;
  int32_t m_nBlinkColumn = 0;
  int32_t m_nInterval = 80;
  DWORD m_dwLastToggle = 0;
  int32_t m_nShift = 0;
};
