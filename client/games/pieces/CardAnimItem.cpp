#include "CardAnimItem.h"

#include <algorithm>

#include "CardAnimSet.h"

namespace {
constexpr DWORD kFrameColor = 0xFF7F7F7F;
constexpr DWORD kFaceColor = 0xE57F7F7F;
// The flip shows the face from this frame on.
constexpr int kFaceFrame = 4;
constexpr float kFadeStart = 0.9f;
constexpr float kFadeStep = 0.2f;
constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

bool Passed(DWORD now, DWORD since, float ms) { return static_cast<float>(DWORD(now - since)) >= ms; }

// A blend of 0..1 in the top byte over the grey that leaves the pictures' colours as they are.
DWORD BlendColor(float blend) {
  return static_cast<DWORD>(static_cast<int>(std::max(blend, 0.0f) * 255.0f)) << 24 | 0x7F7F7F;
}

void DrawQuad(LPDIRECT3DDEVICE7 device, CZqTexture* texture, SSpriteQuad& quad) {
  if (!texture) return;
  device->SetTexture(0, texture->GetTexture());
  device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kVertexFormat, quad.v, 4, 0);
}
}  // namespace

CCardAnimItem::CCardAnimItem() = default;

CCardAnimItem::~CCardAnimItem() = default;

int CCardAnimItem::Load(CCardAnimSet* set, int x, int y) {
  m_pSet = set;
  m_nX = x;
  m_nY = y;
  m_FrameQuad.Init(kFrameColor);
  m_FaceQuad.Init(kFaceColor);
  m_nFrameIndex = 0;
  m_pFace.reset();
  CZqAnimation* back = set ? set->GetFrame(0) : nullptr;
  CZqTexture* picture = back ? back->GetCurrentFrame() : nullptr;
  if (!picture || !picture->GetTexture()) return 0;
  auto face = std::make_unique<CZqTexture>(set->GetEngine());
  if (face->CreateEx(picture->GetWidth(), picture->GetHeight(), picture->GetSurfaceFormat(), 0) < 0) return 0;
  if (face->Blt(0, 0, picture, nullptr, 0) < 0) return 0;
  m_pFace = std::move(face);

  const float h = static_cast<float>(set->GetHeight());
  const float u = set->GetExtentU(), v = set->GetExtentV();
  m_FrameQuad.Place(float(x), float(y), float(x + set->GetWidth()), float(y) + h);
  // One texel down: the flip images' first row is not part of the card.
  m_FrameQuad.Map(0.0f, h > 0.0f ? v / h : 0.0f, u, v + (h > 0.0f ? v / h : 0.0f));
  ResetFaceQuad();
  return 1;
}

void CCardAnimItem::ResetFaceQuad() {
  m_FaceQuad.Place(float(m_nX), float(m_nY), float(m_nX + m_pSet->GetWidth()),
                   float(m_nY + m_pSet->GetHeight()));
  m_FaceQuad.Map(0.0f, 0.0f, m_pSet->GetExtentU(), m_pSet->GetExtentV());
}

void CCardAnimItem::SetDiffuse(DWORD color) {
  for (D3DTLVERTEX& p : m_FrameQuad.v) p.color = color;
  for (D3DTLVERTEX& p : m_FaceQuad.v) p.color = color;
}

void CCardAnimItem::ApplyKeyFrames(int frame) {
  const float top = static_cast<float>(m_nY);
  const float bottom = static_cast<float>(m_nY + m_pSet->GetHeight());
  for (const CCardAnimSet::SKeyFrame& key : m_pSet->GetKeyFrames()) {
    if (key.frame != frame) continue;
    m_FaceQuad.v[0].sy = m_FaceQuad.v[1].sy = top + static_cast<float>(key.rect.top);
    m_FaceQuad.v[2].sy = m_FaceQuad.v[3].sy = bottom + static_cast<float>(key.rect.bottom);
    for (D3DTLVERTEX& p : m_FaceQuad.v) p.color = BlendColor(key.blend);
  }
}

void CCardAnimItem::Step(int direction, DWORD now) {
  if (!Passed(now, m_dwStepTime, static_cast<float>(m_pSet->GetFrameTime()))) return;
  m_dwStepTime = now;
  m_nFrameCounter += direction;
  m_nFrameIndex = m_nFrameCounter - 1;
  ApplyKeyFrames(m_nFrameCounter);
}

int CCardAnimItem::Update() {
  if (!m_pSet) return m_nType;
  const DWORD now = timeGetTime();
  switch (m_nType) {
    case kFlipping:
      m_bFaceVisible = m_nFrameCounter >= kFaceFrame;
      if (m_nFrameCounter >= m_pSet->GetLastFrame()) {
        ShowFace();
        return kFlipped;
      }
      Step(1, now);
      return kFlipping;
    case kFolding:
      m_bFaceVisible = m_nFrameCounter >= kFaceFrame;
      if (m_nFrameCounter <= 1) {
        Clear();
        return kFolded;
      }
      Step(-1, now);
      return kFlipping;
    case kFading:
      if (Passed(now, m_dwStartTime, m_pSet->GetFlashTime())) {
        SetDiffuse(kFaceColor);
        m_bVisible = 0;
        m_nType = m_nSavedType;
        return kBlinkEnded;
      }
      if (Passed(now, m_dwFlashTime, m_pSet->GetFlashInterval())) {
        m_fAlpha -= kFadeStep;
        SetDiffuse(BlendColor(m_fAlpha));
        m_bVisible = !m_bVisible;
        m_dwFlashTime = now;
      }
      return kFading;
    case kFlashing:
      if (Passed(now, m_dwStartTime, m_pSet->GetFlashTime())) {
        m_bVisible = 1;
        m_nType = m_nSavedType;
        return kBlinkEnded;
      }
      if (Passed(now, m_dwFlashTime, m_pSet->GetFlashInterval())) {
        m_bVisible = !m_bVisible;
        m_dwFlashTime = now;
      }
      return kFlashing;
    default:
      return m_nType;
  }
}

void CCardAnimItem::Render() {
  CZqEngine* engine = m_pSet ? m_pSet->GetEngine() : nullptr;
  LPDIRECT3DDEVICE7 device = engine ? engine->GetD3dDevice() : nullptr;
  if (!device) return;
  engine->PreparePaint(5, 6, 5, 4);
  engine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  engine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  if (!m_bVisible) return;
  // A flip configured longer than its images holds on the last of them.
  const int index = std::clamp(m_nFrameIndex, 0, std::max(m_pSet->GetFrameCount() - 1, 0));
  if (CZqAnimation* frame = m_pSet->GetFrame(index)) DrawQuad(device, frame->GetCurrentFrame(), m_FrameQuad);
  if (m_bFaceVisible) DrawQuad(device, m_pFace.get(), m_FaceQuad);
}

void CCardAnimItem::StartFlip(int n) {
  m_nFace = n;
  if (m_pSet) m_pSet->PaintFace(m_pFace.get(), n);
  m_nType = kFlipping;
  m_nFrameCounter = 1;
  m_dwStepTime = timeGetTime();
}

void CCardAnimItem::StartBlink(int type) {
  m_fAlpha = kFadeStart;
  m_nSavedType = m_nType;
  m_nType = type;
  m_dwStartTime = m_dwFlashTime = timeGetTime();
}

void CCardAnimItem::StartFade() { StartBlink(kFading); }

void CCardAnimItem::StartFlash() { StartBlink(kFlashing); }

void CCardAnimItem::Clear() {
  m_bFaceVisible = 0;
  m_nFrameIndex = 0;
  m_nType = kIdle;
}

void CCardAnimItem::ShowFace() {
  m_nType = kFaceShown;
  m_bFaceVisible = 1;
  m_nFrameIndex = m_pSet ? m_pSet->GetLastFrame() - 1 : 0;
  if (!m_pSet || !m_pFace) return;
  m_pSet->PaintFace(m_pFace.get(), m_nFace);
  ResetFaceQuad();
  for (D3DTLVERTEX& p : m_FaceQuad.v) p.color = kFaceColor;
}
