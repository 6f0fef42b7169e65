#include "AllMahjongEffect.h"

#include <string>

#include "EffectTime.h"
#include "WinLineBlink.h"

namespace {
constexpr const char* kSection = "EFFECT_ALLMAJIANG";
constexpr int kMinPhaseMs = 500;
constexpr DWORD kColor = 0xFF7F7F7F;
}  // namespace

CAllMahjongEffect::~CAllMahjongEffect() = default;

int CAllMahjongEffect::Load(CZqEngine* engine, CConfig& config, CWinLineBlink* blinker) {
  m_pEngine = engine;
  m_nFlashInterval = config.GetLong(kSection, "flashinv", "0");
  m_ptPos = config.GetPoint(kSection, "pos", "0,0");
  m_aniEffect.SetZqEngine(engine);
  if (!m_aniEffect.Create(config.GetString(kSection, "image", ""))) return 0;
  m_nWinLinePlayTime = config.GetLong(kSection, "WinLinePlayTime", "0");
  m_nEffectPlayTime = config.GetLong(kSection, "EffectPlayTime", "0");
  m_nAddMoneyTime = config.GetLong(kSection, "AddMoneyTime", "0");
  for (int* t : {&m_nWinLinePlayTime, &m_nEffectPlayTime, &m_nAddMoneyTime})
    if (*t < kMinPhaseMs) *t = kMinPhaseMs;
  const std::string sound = config.GetString(kSection, "Sound", "");
  m_pSound = engine ? engine->FindSound(sound.c_str()) : nullptr;
  m_pBlinker = blinker;
  m_rcLight = config.GetRect(kSection, "light", "0,0,0,0");
  return 1;
}

void CAllMahjongEffect::Start() {
  if (m_nState != kIdle) return;
  m_dwPhaseTime = m_dwFlashTime = timeGetTime();
  m_nState = kWinLines;
  if (m_pBlinker) {
    const int all[3] = {1, 1, 1};
    m_pBlinker->SetLines(all);
    m_pBlinker->Blink();
  }
  if (m_pSound) m_pSound->Play();
}

int CAllMahjongEffect::Update() {
  const DWORD now = timeGetTime();
  if (m_nState == kIdle) return 1;
  if (m_nState == kWinLines) {
    if (!MsPassed(now, m_dwPhaseTime, m_nWinLinePlayTime)) return 2;
    m_dwPhaseTime = now;
    if (m_pBlinker) m_pBlinker->SetState(CWinLineBlink::kOff);
    m_nState = kEffect;
  }
  if (m_nState != kEffect) return 3;
  if (MsPassed(now, m_dwPhaseTime, m_nEffectPlayTime)) {
    m_nState = kIdle;
    return 0;
  }
  const int result = MsPassed(now, m_dwPhaseTime, m_nAddMoneyTime) ? kAddMoney : 3;
  if (MsPassed(now, m_dwFlashTime, m_nFlashInterval)) {
    m_nFlash ^= 1;
    m_aniEffect.SetCurrentFrameEx(unsigned(m_nFlash));
    m_dwFlashTime = now;
  }
  return result;
}

long CAllMahjongEffect::Render() {
  if (m_nState == kIdle) return 1;
  if (m_nState == kWinLines) return m_pBlinker ? m_pBlinker->Render() : 0;
  if (m_nState != kEffect || !m_pEngine) return 0;
  m_aniEffect.Draw(m_ptPos.x, m_ptPos.y, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kColor);
  m_pEngine->PreparePaint(5, 6, 5, 4);
  m_pEngine->Render_LightRect(&m_rcLight, HighlightLevel(m_pEngine));
  m_pEngine->PreparePaint(5, 6, 5, 4);
  return 0;
}
