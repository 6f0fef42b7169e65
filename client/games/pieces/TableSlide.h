// CTableSlide: slides the side table (with the dice lamps and the pool display) in at the
// maximum bet and out otherwise.
#pragma once

#include "SpriteQuad.h"

class CDiceLamps;

class CTableSlide {
 public:
  enum { kOut = 0, kIn = 1, kSlidingOut = 2, kSlidingIn = 3 };
  static constexpr int kStep = 10;  // pixels a step

  CTableSlide() = default;
  virtual ~CTableSlide();

  bool Load(CZqEngine* engine, CZqUIPanel* poolPanel, CDiceLamps* diceLamps, CConfig& config,
            const char* section);
  void SlideOut();
  void SlideIn();
  void Update();
  void Render();

  int GetState() const { return m_nState; }
  int GetOffset() const { return m_nOffset; }
  float GetStepInterval() const { return m_fStepInterval; }
  const SSpriteQuad& GetTableQuad() const { return m_TableQuad; }
  const SSpriteQuad& GetShadeQuad() const { return m_ShadeQuad; }

 private:
  void PlaceTable(int left);

  CZqAnimation m_aniShade;
  CZqAnimation m_aniTable;
  SSpriteQuad m_ShadeQuad;
  SSpriteQuad m_TableQuad;
  CZqEngine* m_pEngine = nullptr;
  CZqUIPanel* m_pPoolPanel = nullptr;
  CDiceLamps* m_pDiceLamps = nullptr;
  SScreenPoint m_ptTable;
  int m_nTableWidth = 0;
  int m_nTableHeight = 0;
  int m_nTime = 0;
  int m_nLong = 0;
  int m_nState = kOut;
  int m_nOffset = 0;
  DWORD m_dwStartTime = 0;
  DWORD m_dwStepTime = 0;
  float m_fStepInterval = 0.0f;
};
