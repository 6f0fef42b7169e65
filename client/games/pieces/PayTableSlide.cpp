#include "PayTableSlide.h"

#include <algorithm>

#include "EffectTime.h"

CPayTableSlide::CPayTableSlide(CZqEngine* engine)
    : m_aniImage(engine), m_aniOut(engine), m_aniBack(engine), m_pEngine(engine) {}

CPayTableSlide::~CPayTableSlide() = default;

int CPayTableSlide::Load(CConfig& config, const char* section) {
  const SScreenRect rect = config.GetRect(section, "rect", "0,0,0,0");
  m_nLeft = rect.left;
  m_nTop = rect.top;
  m_nRight = rect.right;
  m_nWidth = rect.right - rect.left;
  m_nHeight = rect.bottom - rect.top;
  m_dwTime = DWORD(std::max<LONG>(config.GetLong(section, "time", "0"), 0));
  m_nLong = std::max<int>(config.GetLong(section, "long", "0"), 0);
  const std::string outImage = config.GetString(section, "outimage", "");
  const std::string backImage = config.GetString(section, "backimage", "");
  const std::string image = config.GetString(section, "image", "");
  const SScreenRect out = config.GetRect(section, "outrect", "0,0,0,0");
  m_nOutLeft = out.left;
  m_nOutTop = out.top;
  m_nOutRight = out.right;
  m_nOutBottom = out.bottom;
  m_nOutWidth = out.right - out.left;
  m_nOutHeight = out.bottom - out.top;
  // Ten pixels a step over the slide's length; a slide without length still divides by one.
  m_dStepInterval = double(m_dwTime) / double(std::max(m_nLong, 1)) * 0.1;

  for (CZqAnimation* a : {&m_aniImage, &m_aniOut, &m_aniBack}) a->SetZqEngine(m_pEngine);
  if (!m_aniImage.Create(image.c_str()) || !m_aniOut.Create(outImage.c_str()) ||
      !m_aniBack.Create(backImage.c_str()))
    return 0;
  CZqTexture* frame = m_aniImage.GetCurrentFrame();
  if (!frame || !frame->GetWidth() || !frame->GetHeight()) return 0;
  m_fUExtent = float(m_nWidth) / float(frame->GetWidth());
  m_fVExtent = float(m_nHeight) / float(frame->GetHeight());
  m_TableQuad.Init(0xFF7F7F7F);
  m_OutQuad.Init(0xFF7F7F7F);
  Layout(0);
  return m_Awards.Load(m_pEngine, config);
}

void CPayTableSlide::Layout(int shift) {
  m_TableQuad.Place(float(m_nLeft + shift), float(m_nTop), float(m_nRight + shift),
                    float(m_nTop + m_nHeight));
  m_TableQuad.Map(0.0f, 0.0f, m_fUExtent, m_fVExtent);
  m_OutQuad.Place(float(m_nOutLeft + shift), float(m_nOutTop), float(m_nOutRight + shift),
                  float(m_nOutTop + m_nOutHeight));
  // The out strip leaves two texel rows above and one below; it divides by its height.
  const float row = m_fVExtent / float(std::max(m_nOutHeight, 1));
  m_OutQuad.Map(0.0f, 2.0f * row, m_fUExtent, m_fVExtent - row);
}

int CPayTableSlide::SlideIn() {
  if (m_bDisabled) return 0;
  m_nState = kSlidingIn;
  m_nOffset = 0;
  m_dwStartTime = m_dwStepTime = timeGetTime();
  return 1;
}

int CPayTableSlide::SlideOut() {
  if (m_bDisabled) return 0;
  m_nState = kSlidingOut;
  m_nOffset = m_nLong;
  m_dwStartTime = m_dwStepTime = timeGetTime();
  return 1;
}

int CPayTableSlide::Update() {
  const DWORD now = timeGetTime();
  const bool timeUp = DWORD(now - m_dwStartTime) >= m_dwTime;
  const auto moveTo = [this](int shift) {
    const float x = float(m_nLeft + shift), ox = float(m_nOutLeft + shift);
    m_TableQuad.Place(x, m_TableQuad.v[0].sy, x + float(m_nWidth), m_TableQuad.v[2].sy);
    m_OutQuad.Place(ox, m_OutQuad.v[0].sy, ox + float(m_nOutWidth), m_OutQuad.v[2].sy);
  };
  if (m_nState == kSlidingIn) {
    if (!(timeUp && m_nOffset >= m_nLong)) {
      if (double(DWORD(now - m_dwStepTime)) < m_dStepInterval) return kSlidingIn;
      m_nOffset = std::min(m_nOffset + kStep, m_nLong);
      moveTo(m_nLong - m_nOffset);
      m_dwStepTime = now;
      if (m_nOffset < m_nLong) return kSlidingIn;
    }
    m_nState = kIn;
    Layout(0);
    return kHasSlidIn;
  }
  if (m_nState == kSlidingOut) {
    if (!(timeUp && m_nOffset == 0)) {
      if (double(DWORD(now - m_dwStepTime)) < m_dStepInterval) return kSlidingOut;
      // The last step may be short, so a length that is no multiple of ten still ends at 0.
      m_nOffset = std::max(m_nOffset - kStep, 0);
      moveTo(m_nLong - m_nOffset);
      m_dwStepTime = now;
      if (m_nOffset > 0) return kSlidingOut;
    }
    m_nState = kOut;
    Layout(m_nLong);
    return kHasSlidOut;
  }
  return 0;
}

void CPayTableSlide::LightAwards() {
  if (m_nState == kIn) m_Awards.Enable();
}

void CPayTableSlide::Render() {
  if (!m_bTableShown || !m_pEngine) return;
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  m_TableQuad.Draw(m_pEngine, m_aniImage);
  if (m_nState == kSlidingIn) m_OutQuad.Draw(m_pEngine, m_aniOut);
  if (m_nState == kSlidingOut) m_OutQuad.Draw(m_pEngine, m_aniBack);
  m_Awards.Render();
  m_pEngine->PreparePaint(5, 6, 5, 4);
}
