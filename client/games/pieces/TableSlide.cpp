#include "TableSlide.h"

#include <algorithm>

#include "DiceLamps.h"
#include "EffectTime.h"

CTableSlide::~CTableSlide() = default;

bool CTableSlide::Load(CZqEngine* engine, CZqUIPanel* poolPanel, CDiceLamps* diceLamps, CConfig& config,
                       const char* section) {
  m_pEngine = engine;
  m_pPoolPanel = poolPanel;
  m_pDiceLamps = diceLamps;
  const int shadeHeight = config.GetLong(section, "shade_height", "0");
  const int shadeWidth = config.GetLong(section, "shade_width", "0");
  const SScreenPoint shadePos = config.GetPoint(section, "shade_pos", "0,0");
  m_nTableHeight = config.GetLong(section, "table_height", "0");
  m_nTableWidth = config.GetLong(section, "table_width", "0");
  m_ptTable = config.GetPoint(section, "table_pos", "0,0");
  m_nTime = config.GetLong(section, "time", "0");
  m_nLong = std::max<int>(config.GetLong(section, "long", "0"), 0);

  m_aniShade.SetZqEngine(engine);
  m_aniTable.SetZqEngine(engine);
  if (!m_aniShade.Create(config.GetString(section, "shade_image", ""))) return false;
  if (!m_aniTable.Create(config.GetString(section, "table_image", ""))) return false;
  CZqTexture* shade = m_aniShade.GetCurrentFrame();
  CZqTexture* table = m_aniTable.GetCurrentFrame();
  if (!shade || !table || !shade->GetWidth() || !shade->GetHeight() || !table->GetWidth() ||
      !table->GetHeight())
    return false;

  m_ShadeQuad.Init(0xFF7F7F7F);
  m_ShadeQuad.Place(float(shadePos.x), float(shadePos.y), float(shadePos.x + shadeWidth),
                    float(shadePos.y + shadeHeight));
  m_ShadeQuad.Map(0.0f, 0.0f, float(shadeWidth) / float(shade->GetWidth()),
                  float(shadeHeight) / float(shade->GetHeight()));
  m_TableQuad.Init(0xFF7F7F7F);
  const float ve = float(m_nTableHeight) / float(table->GetHeight());
  // One texel off the top and the bottom; a table without height has no texel to spare.
  const float texel = ve / float(std::max(m_nTableHeight, 1));
  m_TableQuad.Map(0.0f, texel, float(m_nTableWidth) / float(table->GetWidth()), ve - texel);

  // Ten pixels a step over the slide's length; a slide without length still divides by one.
  m_fStepInterval = float(m_nTime) / float(std::max(m_nLong, 1)) * 0.1f;
  PlaceTable(m_nState == kIn ? m_ptTable.x : m_ptTable.x - m_nLong);
  return true;
}

void CTableSlide::PlaceTable(int left) {
  m_TableQuad.Place(float(left), float(m_ptTable.y), float(left + m_nTableWidth),
                    float(m_ptTable.y + m_nTableHeight));
}

void CTableSlide::SlideOut() {
  if (m_nState == kIn) {
    m_nOffset = 0;
    if (m_pDiceLamps) m_pDiceLamps->SetVisible(0);
    if (m_pPoolPanel) m_pPoolPanel->SetVisible(0);
  } else if (m_nState == kSlidingIn) {
    // Turning back from where it is.
    m_nOffset = m_nLong - m_nOffset;
  } else {
    return;
  }
  m_nState = kSlidingOut;
  m_dwStartTime = m_dwStepTime = timeGetTime();
}

void CTableSlide::SlideIn() {
  if (m_nState == kOut)
    m_nOffset = 0;
  else if (m_nState == kSlidingOut)
    m_nOffset = m_nLong - m_nOffset;
  else
    return;
  m_nState = kSlidingIn;
  m_dwStartTime = m_dwStepTime = timeGetTime();
}

void CTableSlide::Update() {
  if (m_nState != kSlidingOut && m_nState != kSlidingIn) return;
  const DWORD now = timeGetTime();
  if (MsPassed(now, m_dwStartTime, m_nTime) && m_nOffset >= m_nLong) {
    if (m_nState == kSlidingOut) {
      m_nState = kOut;
      PlaceTable(m_ptTable.x - m_nLong);
    } else {
      m_nState = kIn;
      PlaceTable(m_ptTable.x);
      if (m_pDiceLamps) m_pDiceLamps->SetVisible(1);
      if (m_pPoolPanel) m_pPoolPanel->SetVisible(1);
    }
    return;
  }
  if (float(DWORD(now - m_dwStepTime)) < m_fStepInterval) return;
  m_nOffset = std::min(m_nOffset + kStep, m_nLong);
  m_dwStepTime = now;
  PlaceTable(m_nState == kSlidingOut ? m_ptTable.x - m_nOffset : m_ptTable.x + m_nOffset - m_nLong);
}

void CTableSlide::Render() {
  if (!m_pEngine) return;
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  m_TableQuad.Draw(m_pEngine, m_aniTable);
  m_ShadeQuad.Draw(m_pEngine, m_aniShade);
}
