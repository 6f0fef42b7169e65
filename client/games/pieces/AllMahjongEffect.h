// CAllMahjongEffect: the all-mahjong bonus; the win lines blink, then a flashing picture and a
// lit rectangle.
#pragma once

#include "ZqLib.h"

class CWinLineBlink;

class CAllMahjongEffect {
 public:
  enum { kIdle = 1, kWinLines = 2, kEffect = 3 };
  // What Update reports while the effect shows once the win may be counted in.
  static constexpr int kAddMoney = 4;

  CAllMahjongEffect() = default;
  virtual ~CAllMahjongEffect();

  int Load(CZqEngine* engine, CConfig& config, CWinLineBlink* blinker);
  void Start();
  int Update();
  long Render();

  void SetState(int state) { m_nState = state; }
  int GetState() const { return m_nState; }
  int GetWinLinePlayTime() const { return m_nWinLinePlayTime; }
  int GetEffectPlayTime() const { return m_nEffectPlayTime; }
  int GetAddMoneyTime() const { return m_nAddMoneyTime; }
  int GetFlash() const { return m_nFlash; }

 private:
  CWinLineBlink* m_pBlinker = nullptr;
  CZqEngine* m_pEngine = nullptr;
  CZqAnimation m_aniEffect;
  SScreenPoint m_ptPos;
  int m_nFlashInterval = 0;
  int m_nWinLinePlayTime = 0;
  int m_nEffectPlayTime = 0;
  int m_nAddMoneyTime = 0;
  DWORD m_dwPhaseTime = 0;
  DWORD m_dwFlashTime = 0;
  int m_nFlash = 0;
  CZqSound* m_pSound = nullptr;
  int m_nState = kIdle;
  SScreenRect m_rcLight;
};
