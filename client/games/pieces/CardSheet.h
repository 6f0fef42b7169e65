// CCardSheet: the sheet of card pictures (13 value rows by 4 suit columns) that reels and
// turntables copy single cards from by card code ("a0" .. "m3"), or whole rows by letter.
#pragma once

#include <memory>

#include "ZqLib.h"

class CCardSheet {
 public:
  explicit CCardSheet(CZqEngine* engine);
  ~CCardSheet();

  int Load(const char* name);
  void Release();
  int GetCardRect(const char* code, SScreenRect* rect) const;
  int BlitCard(const char* code, CDxSurface* surface, SScreenRect* rect);
  int GetRowRect(char letter, SScreenRect* rect) const;
  int BlitRow(char letter, CDxSurface* surface, SScreenRect* rect);

  int GetCardWidth() const { return m_nCardWidth; }
  int GetCardHeight() const { return m_nCardHeight; }
  CZqTexture* GetSheet() const { return m_pSheet.get(); }

 private:
  int _Blit(const SScreenRect& source, CDxSurface* surface, SScreenRect* rect);

  CZqEngine* m_pEngine;
  CConfig m_config;
  std::unique_ptr<CZqTexture> m_pSheet;
  int32_t m_nCardHeight = 0;
  int32_t m_nCardWidth = 0;
};
