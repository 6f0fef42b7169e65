// CPayTableSlide: the pay table that the player slides in and out; it owns the award highlighter.
#pragma once

#include "AwardHighlight.h"
#include "SpriteQuad.h"

class CPayTableSlide {
 public:
  enum { kIn = 2, kOut = 3, kSlidingIn = 4, kSlidingOut = 5 };
  // What Update reports on the frame a slide ends.
  enum { kHasSlidIn = 6, kHasSlidOut = 7 };
  static constexpr int kStep = 10;  // pixels a step

  explicit CPayTableSlide(CZqEngine* engine);
  virtual ~CPayTableSlide();

  int Load(CConfig& config, const char* section);
  int SlideIn();
  int SlideOut();
  int Update();
  void Render();
  void SetAwards(const char* letters) { m_Awards.SetLetters(letters); }
  void LightAwards();
  void UnlightAwards() { m_Awards.Disable(); }

  void SetDisabled(int disabled) { m_bDisabled = disabled; }
  void SetTableShown(int shown) { m_bTableShown = shown; }
  int GetState() const { return m_nState; }
  int GetOffset() const { return m_nOffset; }
  CAwardHighlight& GetAwards() { return m_Awards; }
  const SSpriteQuad& GetTableQuad() const { return m_TableQuad; }
  const SSpriteQuad& GetOutQuad() const { return m_OutQuad; }

 private:
  // The table at its place moved right by `shift`.
  void Layout(int shift);

  DWORD m_dwTime = 0;
  CZqAnimation m_aniImage;
  CZqAnimation m_aniOut;
  CZqAnimation m_aniBack;
  SSpriteQuad m_TableQuad;
  SSpriteQuad m_OutQuad;
  int m_nState = kIn;
  CZqEngine* m_pEngine;
  int m_bTableShown = 1;
  int m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nWidth = 0, m_nHeight = 0;
  float m_fUExtent = 0.0f;
  float m_fVExtent = 0.0f;
  int m_nLong = 0;
  int m_nOffset = 0;
  int m_nOutLeft = 0, m_nOutTop = 0, m_nOutRight = 0, m_nOutBottom = 0, m_nOutWidth = 0, m_nOutHeight = 0;
  DWORD m_dwStartTime = 0;
  DWORD m_dwStepTime = 0;
  double m_dStepInterval = 0.0;
  CAwardHighlight m_Awards;
  int m_bDisabled = 0;
};
