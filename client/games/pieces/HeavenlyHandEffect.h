// CHeavenlyHandEffect: an animation, then a picture that flies from a start rectangle to an end
// rectangle while it shrinks and fades.
#pragma once

#include "SlotEffect.h"

class CHeavenlyHandEffect {
 public:
  enum { kIdle = 0, kFirstStage = 1, kFlying = 2 };
  static constexpr int kMaxLoops = 10;  // returns to the first stage's tail

  explicit CHeavenlyHandEffect(CZqEngine* engine);
  virtual ~CHeavenlyHandEffect();

  int Load(CConfig& config);
  void Start();
  int Update();
  void Render();

  int GetState() const { return m_nState; }
  int IsShown() const { return m_bShown; }
  int GetSteps() const { return m_nSteps; }
  int GetStepCount() const { return m_nStepCount; }
  int GetInterval() const { return m_nInterval; }
  int GetDx() const { return m_nDx; }
  int GetDy() const { return m_nDy; }
  float GetScaleX() const { return m_fScaleX; }
  float GetScaleY() const { return m_fScaleY; }
  float GetAlpha() const { return m_fAlpha; }
  const SScreenRect& GetCurrentRect() const { return m_rcCurrent; }
  CSlotEffect& GetFirstStage() { return m_FirstStage; }

 private:
  CSlotEffect m_FirstStage;
  CZqAnimation m_aniFlight;
  CZqSound* m_pSound = nullptr;
  int m_bShown = 0;
  int m_nState = kIdle;
  int m_nStartFrame = 0;
  int m_nSteps = 1;
  SScreenRect m_rcStart;
  SScreenRect m_rcEnd;
  SScreenRect m_rcCurrent;
  float m_fScaleX = 1.0f;
  float m_fScaleY = 1.0f;
  float m_fAlpha = 1.0f;
  int m_nDx = 0;
  int m_nDy = 0;
  DWORD m_dwStepTime = 0;
  int m_nStepCount = 0;
  int m_nTime = 0;
  int m_nInterval = 0;
  int m_nTimeInv = 0;
  int m_nLoopCount = 0;
  CZqEngine* m_pEngine;
};
