// CSlotEffect: an effect of the slot games, an animation with a looping streamed sound at a
// point, loaded from one configuration section.
#pragma once

#include <memory>

#include "ZqLib.h"

struct CSlotEffect {
  explicit CSlotEffect(CZqEngine* engine = nullptr);
  ~CSlotEffect();
  CSlotEffect(const CSlotEffect&) = delete;
  CSlotEffect& operator=(const CSlotEffect&) = delete;

  // The animation's load result.
  int Load(CZqEngine* engine, CConfig& config, const char* section);
  // One frame of a record in use: the animation steps, then the stream and the countdown follow it.
  void Update();
  // The countdown alone: while the animation plays the stream is silent and the timer kept;
  // after it, remaining drops once a second.
  void Follow();
  // Plays again from the start: timer, repeat fields and countdown 0, the stream on, one pass.
  void Restart();
  int IsShown() const { return m_aniEffect.IsPlaying() || m_nRemaining > 0; }
  // At its point while shown; z is the caller's depth.
  void Render(float z);

  int m_nPosX = 0;
  int m_nPosY = 0;
  float m_fScale = 0.0f;
  DWORD m_dwTimer = 0;
  int m_nRetimes = 0;
  int m_nReframe = 0;
  int m_nTimes = 0;
  int m_nRemaining = 0;
  CZqAnimation m_aniEffect;
  std::unique_ptr<CZqMedia> m_pSound;
};
