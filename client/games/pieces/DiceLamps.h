// CDiceLamps: a row of five lamps that light up one by one and flash when all five are lit.
#pragma once

#include "SpriteQuad.h"

class CDiceLamps {
 public:
  static constexpr int kLamps = 5;
  enum { kIdle = 0, kAdding = 1, kAllFlashing = 2, kAllLit = 4 };

  explicit CDiceLamps(CZqEngine* engine);
  virtual ~CDiceLamps();

  int Load(CConfig& config);
  void SetLit(int lamps);
  void AddLamps(int lamps);
  int Update();
  int Finish();
  void Render();

  void SetVisible(int visible) { m_bVisible = visible; }
  int IsVisible() const { return m_bVisible; }
  int IsLampOn(int lamp) const { return lamp >= 0 && lamp < kLamps ? m_anLamps[lamp] : 0; }
  int GetLitCount() const { return m_nLitCount; }
  int GetAddCount() const { return m_nAddCount; }
  int GetState() const { return m_nState; }
  int GetInterval() const { return m_nInterval; }
  int GetTime() const { return m_nTime; }
  const SSpriteQuad& GetQuad() const { return m_Quad; }

 private:
  void SetLamp(int lamp, int on);
  void ToggleLamp(int lamp);

  CZqEngine* m_pEngine;
  CZqAnimation m_aniLamps;
  int m_nInterval = 0;
  SScreenPoint m_ptPos;
  int m_anLamps[kLamps] = {0, 0, 0, 0, 0};
  int m_nLitCount = 0;
  int m_nState = kIdle;
  DWORD m_dwToggleTime = 0;
  DWORD m_dwStartTime = 0;
  int m_nAddCount = 0;
  int m_nTime = 0;
  int m_bVisible = 0;
  SSpriteQuad m_Quad;
  int m_nWidth = 0;
  int m_nHeight = 0;
};
