// CBlinkSprite: a picture that blinks between its upper and its lower half.
#pragma once

#include "SpriteQuad.h"

class CBlinkSprite {
 public:
  explicit CBlinkSprite(CZqEngine* engine);
  ~CBlinkSprite();

  int Setup(const char* image, int& x, int& y, int& width, int& height, int& frequency);
  void Refresh();
  void Show(int on) { m_bVisible = on ? 1 : 0; }
  void Tick();
  void Draw();

  int IsVisible() const { return m_bVisible; }
  int GetBlinkRow() const { return m_bBlinkRow; }
  const SSpriteQuad& GetQuad() const { return m_Quad; }

 private:
  CZqAnimation m_aniPicture;
  CZqEngine* m_pEngine;
  int32_t m_bVisible = 0;
  SSpriteQuad m_Quad;
  DWORD m_dwLastToggle = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nHalfHeight = 0;
  int32_t m_nInterval = 80;
  BYTE m_bBlinkRow = 0;
  float m_fVExtent = 0.0f;
  float m_fUExtent = 0.0f;
};
