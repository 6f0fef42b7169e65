#include "DiceLamps.h"

#include <algorithm>

#include "EffectTime.h"

namespace {
constexpr int kMinInterval = 30, kDefaultInterval = 100;  // ms
constexpr int kMinTime = 1000;                            // ms
}  // namespace

CDiceLamps::CDiceLamps(CZqEngine* engine) : m_pEngine(engine), m_aniLamps(engine) {}

CDiceLamps::~CDiceLamps() = default;

int CDiceLamps::Load(CConfig& config) {
  m_ptPos = config.GetPoint("DICECONFIG", "pos", "0,0");
  m_nInterval = config.GetLong("DICECONFIG", "timeinv", "0");
  if (m_nInterval < kMinInterval) m_nInterval = kDefaultInterval;
  m_nTime = config.GetLong("DICECONFIG", "time", "0");
  if (m_nTime < kMinTime) m_nTime = kMinTime;
  m_aniLamps.SetZqEngine(m_pEngine);
  if (!m_aniLamps.Create(config.GetString("DICECONFIG", "image", ""))) return 0;
  CZqTexture* frame = m_aniLamps.GetCurrentFrame();
  if (!frame || !frame->GetWidth() || !frame->GetHeight()) return 0;
  m_nWidth = config.GetLong("DICECONFIG", "width", "0");
  m_nHeight = config.GetLong("DICECONFIG", "height", "0");
  // The one-texel inset divides by the size: a lamp is at least one pixel.
  m_nWidth = std::max(m_nWidth, 1);
  m_nHeight = std::max(m_nHeight, 1);
  const float ue = float(m_nWidth) / float(frame->GetWidth());
  const float ve = float(m_nHeight) / float(frame->GetHeight());
  m_Quad.Init(0xFF7F7F7F);
  m_Quad.Place(float(m_ptPos.x), float(m_ptPos.y), float(m_ptPos.x + m_nWidth), float(m_ptPos.y + m_nHeight));
  m_Quad.Map(ue / m_nWidth, ve / m_nHeight, ue - ue / m_nWidth, ve - ve / m_nHeight);
  return 1;
}

void CDiceLamps::SetLamp(int lamp, int on) {
  if (lamp >= 0 && lamp < kLamps) m_anLamps[lamp] = on;
}

void CDiceLamps::ToggleLamp(int lamp) {
  if (lamp >= 0 && lamp < kLamps) m_anLamps[lamp] ^= 1;
}

void CDiceLamps::SetLit(int lamps) {
  lamps = std::clamp(lamps, 0, kLamps);
  for (int i = 0; i < kLamps; ++i) m_anLamps[i] = i < lamps ? 1 : 0;
  m_nLitCount = lamps;
}

void CDiceLamps::AddLamps(int lamps) {
  lamps = std::clamp(lamps, 0, kLamps);
  m_dwToggleTime = m_dwStartTime = timeGetTime();
  if (m_nState == kAllLit) {
    m_nState = kAllFlashing;
    return;
  }
  if (m_nLitCount + lamps < kLamps) {
    for (int i = 0; i < m_nLitCount + lamps; ++i) SetLamp(i, 1);
    m_nState = kAdding;
    m_nAddCount = lamps;
  } else {
    for (int i = 0; i < kLamps; ++i) m_anLamps[i] = 1;
    m_nState = kAllLit;
    // The lamps beyond the fifth start the next series.
    m_nAddCount = m_nLitCount + lamps - kLamps;
    m_nLitCount = 0;
  }
}

int CDiceLamps::Update() {
  const DWORD now = timeGetTime();
  switch (m_nState) {
    case kIdle:
      return 0;
    case kAdding:
      if (MsPassedMore(now, m_dwStartTime, m_nTime)) {
        Finish();
        return 3;
      }
      if (!MsPassed(now, m_dwToggleTime, m_nInterval)) return 1;
      for (int i = m_nLitCount; i < m_nLitCount + m_nAddCount; ++i) ToggleLamp(i);
      m_dwToggleTime = now;
      return 1;
    case kAllFlashing:
      if (MsPassed(now, m_dwToggleTime, m_nInterval)) {
        for (int i = 0; i < kLamps; ++i) m_anLamps[i] ^= 1;
        m_dwToggleTime = now;
      }
      return 2;
    case kAllLit:
      if (!MsPassedMore(now, m_dwStartTime, m_nTime)) return 4;
      m_nState = kAllFlashing;
      return 2;
    default:
      return m_nState - 4;
  }
}

int CDiceLamps::Finish() {
  if (m_nState == kAdding) {
    for (int i = m_nLitCount; i < m_nLitCount + m_nAddCount; ++i) SetLamp(i, 1);
    m_nState = kIdle;
    m_nLitCount += m_nAddCount;
    return m_nAddCount;
  }
  if (m_nState == kAllFlashing) {
    for (int i = 0; i < kLamps; ++i) m_anLamps[i] = i < m_nAddCount ? 1 : 0;
    m_nState = kIdle;
    m_nLitCount = m_nAddCount;
    const int added = m_nAddCount;
    m_nAddCount = 0;
    return added;
  }
  return m_nState - 2;
}

void CDiceLamps::Render() {
  if (!m_bVisible || !m_pEngine) return;
  for (int i = 0; i < kLamps; ++i) {
    if (!m_anLamps[i]) continue;
    m_pEngine->PreparePaint(5, 6, 5, 4);
    m_aniLamps.SetCurrentFrameEx(unsigned(i));
    m_Quad.Draw(m_pEngine, m_aniLamps);
  }
}
