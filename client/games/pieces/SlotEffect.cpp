#include "SlotEffect.h"

#include <string>

#include "EffectTime.h"

namespace {
constexpr long kCountdownMs = 999;  // remaining counts seconds: a step once more than this has passed
constexpr DWORD kColor = 0xFF7F7F7F;
}  // namespace

CSlotEffect::CSlotEffect(CZqEngine* engine) : m_aniEffect(engine) {}

CSlotEffect::~CSlotEffect() = default;

int CSlotEffect::Load(CZqEngine* engine, CConfig& config, const char* section) {
  m_nPosX = config.GetLong(section, "pos_x", "0");
  m_nPosY = config.GetLong(section, "pos_y", "0");
  m_fScale = config.GetFloat(section, "scale", "0.0f");
  const int reframe = config.GetLong(section, "reframe", "0");
  m_nReframe = reframe > 0 ? reframe : 0;
  if (reframe == 1) m_nTimes = config.GetLong(section, "times", "0");
  if (reframe >= 2) m_nRetimes = config.GetLong(section, "retimes", "0");
  m_pSound = std::make_unique<CZqMedia>(engine);
  m_pSound->SetStreamSource(std::string(config.GetString(section, "sound", "")).c_str());
  m_pSound->SetLooping(1);
  m_aniEffect.SetZqEngine(engine);
  return m_aniEffect.Create(config.GetString(section, "image", ""));
}

void CSlotEffect::Update() {
  m_aniEffect.Update();
  Follow();
}

void CSlotEffect::Follow() {
  const DWORD now = timeGetTime();
  if (m_aniEffect.IsPlaying()) {
    if (m_pSound) m_pSound->Stop();
    m_dwTimer = now;
  } else if (m_nRemaining > 0 && MsPassedMore(now, m_dwTimer, kCountdownMs)) {
    --m_nRemaining;
    m_dwTimer = now;
  }
}

void CSlotEffect::Restart() {
  m_dwTimer = 0;
  m_nRetimes = m_nReframe = m_nRemaining = 0;
  if (m_pSound) m_pSound->Play();
  m_aniEffect.PlayToEnd(1, 0.0f);
}

void CSlotEffect::Render(float z) {
  if (IsShown()) m_aniEffect.Draw(m_nPosX, m_nPosY, z, m_fScale, m_fScale, 1.0f, 0.0f, kColor);
}
