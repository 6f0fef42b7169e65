#include "HeavenlyHandEffect.h"

#include <string>

#include "EffectTime.h"

namespace {
constexpr const char* kSection = "TIANHUCONFIG";
constexpr long kCountdownMs = 1000;
constexpr int kTailFrames = 4;  // back to the fifth-last frame
constexpr DWORD kColor = 0xFF7F7F7F;
}  // namespace

CHeavenlyHandEffect::CHeavenlyHandEffect(CZqEngine* engine)
    : m_FirstStage(engine), m_aniFlight(engine), m_pEngine(engine) {}

CHeavenlyHandEffect::~CHeavenlyHandEffect() = default;

int CHeavenlyHandEffect::Load(CConfig& config) {
  if (!m_FirstStage.Load(m_pEngine, config, kSection)) return 0;
  m_rcStart = config.GetRect(kSection, "startrect", "0,0,0,0");
  m_rcEnd = config.GetRect(kSection, "endrect", "0,0,0,0");
  m_nStartFrame = config.GetLong(kSection, "startframe", "0");
  m_nTime = config.GetLong(kSection, "time", "0");
  m_nTimeInv = config.GetLong(kSection, "timeinv", "0");
  m_nInterval = m_nTimeInv;
  // Without a whole step of timeinv in time the flight takes one step.
  m_nSteps = m_nTimeInv > 0 ? m_nTime / m_nTimeInv : 0;
  if (m_nSteps < 1) m_nSteps = 1;
  m_nDx = (m_rcStart.left - m_rcEnd.left) / m_nSteps;
  m_nDy = (m_rcStart.top - m_rcEnd.top) / m_nSteps;
  m_aniFlight.SetZqEngine(m_pEngine);
  if (!m_aniFlight.Create(config.GetString(kSection, "image50", ""))) return 0;
  const std::string sound = config.GetString(kSection, "sound", "");
  m_pSound = m_pEngine ? m_pEngine->FindSound(sound.c_str()) : nullptr;
  return 1;
}

void CHeavenlyHandEffect::Start() {
  m_bShown = 0;
  m_nState = kFirstStage;
  m_FirstStage.Restart();
  if (m_pSound) m_pSound->Play();
}

int CHeavenlyHandEffect::Update() {
  const DWORD now = timeGetTime();
  if (m_nState == kIdle) return 0;
  if (m_nState == kFirstStage) {
    CZqAnimation& first = m_FirstStage.m_aniEffect;
    // Nothing else steps the first stage's frames.
    first.Update();
    if (first.IsPlaying()) {
      if (m_FirstStage.m_pSound) m_FirstStage.m_pSound->Stop();
      m_FirstStage.m_dwTimer = now;
    } else {
      if (m_FirstStage.m_nRemaining > 0 && MsPassed(now, m_FirstStage.m_dwTimer, kCountdownMs)) {
        --m_FirstStage.m_nRemaining;
        m_FirstStage.m_dwTimer = now;
      }
      if (m_FirstStage.m_nRemaining <= 0) {
        m_nState = kFlying;
        return 2;
      }
    }
    if (first.GetCurrentFrameEx() == first.GetLastFrame() && m_nLoopCount++ < kMaxLoops) {
      const long back = first.GetLastFrame() - kTailFrames;
      first.SetCurrentFrameEx(unsigned(back > first.GetFirstFrame() ? back : first.GetFirstFrame()));
    }
    if (first.GetCurrentFrameEx() == m_nStartFrame) {
      m_bShown = 1;
      m_fScaleX = m_fScaleY = m_fAlpha = 1.0f;
      m_dwStepTime = now;
      m_nStepCount = 0;
      m_nLoopCount = 0;
      m_nInterval = m_nTimeInv;
      m_rcCurrent = m_rcStart;
    }
    return 1;
  }
  if (m_nState == kFlying) {
    if (!MsPassed(now, m_dwStepTime, m_nInterval)) return 2;
    m_rcCurrent.left -= m_nDx;
    m_rcCurrent.top -= m_nDy;
    m_dwStepTime = now;
    m_fScaleX -= m_fScaleX * 0.5f / float(m_nSteps);
    m_nInterval -= m_nInterval / 2 / m_nSteps;
    m_fScaleY -= m_fScaleY * 0.5f / float(m_nSteps);
    m_fAlpha -= m_fAlpha * 0.33333334f / float(m_nSteps);
    if (m_nStepCount++ < m_nSteps) return 2;
    m_nState = kIdle;
    return 0;
  }
  return m_nState;
}

void CHeavenlyHandEffect::Render() {
  if (m_nState == kIdle) return;
  if (m_nState != kFlying && m_FirstStage.IsShown()) {
    CSlotEffect& e = m_FirstStage;
    e.m_aniEffect.Draw(e.m_nPosX, e.m_nPosY, 0.0f, e.m_fScale, e.m_fScale, 1.0f, 0.0f, kColor);
  }
  if (m_nState == kFlying)
    m_aniFlight.Draw(m_rcCurrent.left, m_rcCurrent.top, 0.0f, m_fScaleX, m_fScaleY, m_fAlpha, 0.0f, kColor);
  else if (m_bShown)
    m_aniFlight.Draw(m_rcStart.left, m_rcStart.top, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kColor);
}
