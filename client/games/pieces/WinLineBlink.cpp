#include "WinLineBlink.h"

#include "EffectTime.h"

namespace {
constexpr int kDefaultInterval = 100;  // ms
constexpr DWORD kColor = 0xFF7F7F7F;
}  // namespace

CWinLineBlink::CWinLineBlink(CZqEngine* engine) : m_aniLine(engine), m_pEngine(engine) {}

CWinLineBlink::~CWinLineBlink() = default;

bool CWinLineBlink::Load(CConfig& config) {
  m_aniLine.SetZqEngine(m_pEngine);
  // The two frames are the line's two looks.
  if (!m_aniLine.Create(config.GetString("WIN_LINE", "image", "")) || m_aniLine.GetFrameCount() != 2) {
    m_aniLine.Cleanup();
    return false;
  }
  m_ptPos[0] = config.GetPoint("WIN_LINE", "pos1", "0,0");
  m_ptPos[1] = config.GetPoint("WIN_LINE", "pos2", "0,0");
  m_ptPos[2] = config.GetPoint("WIN_LINE", "pos3", "0,0");
  m_nInterval = config.GetLong("WIN_LINE", "invtime", "0");
  if (m_nInterval <= 0) m_nInterval = kDefaultInterval;
  return true;
}

void CWinLineBlink::SetLines(const int* flags) {
  for (int i = 0; i < 3; ++i) m_anLines[i] = flags ? flags[i] : 0;
}

void CWinLineBlink::Blink() {
  m_nState = kBlinking;
  m_dwToggleTime = timeGetTime();
}

void CWinLineBlink::ShowCount(int lines) {
  m_nState = kShowingCount;
  m_nLineCount = lines;
}

void CWinLineBlink::Update() {
  if (m_nState != kBlinking) return;
  const DWORD now = timeGetTime();
  if (MsPassed(now, m_dwToggleTime, m_nInterval)) {
    m_nBlinkFrame ^= 1;
    m_dwToggleTime = now;
  }
}

long CWinLineBlink::Render() {
  const auto draw = [this](int line) {
    m_aniLine.Draw(m_ptPos[line].x, m_ptPos[line].y, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kColor);
  };
  if (m_nState == kBlinking) {
    m_aniLine.SetCurrentFrameEx(m_aniLine.GetFirstFrame() + (m_nBlinkFrame ^ 1));
    for (int i = 0; i < 3; ++i)
      if (m_anLines[i]) draw(i);
  } else if (m_nState == kShowingCount) {
    m_aniLine.SetCurrentFrameEx(m_aniLine.GetFirstFrame());
    // One line is the middle one; two add the upper.
    if (m_nLineCount >= 2) draw(0);
    if (m_nLineCount >= 1) draw(1);
    if (m_nLineCount >= 3) draw(2);
  }
  return 0;
}
