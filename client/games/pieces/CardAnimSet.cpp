#include "CardAnimSet.h"

#include <cstdio>
#include <string>

#include "CardAnimItem.h"

namespace {
constexpr const char* kMain = "MAIN";
}  // namespace

CCardAnimSet::CCardAnimSet(CZqEngine* engine) : m_pEngine(engine) {}

CCardAnimSet::~CCardAnimSet() = default;

void CCardAnimSet::Reset() {
  m_Places.clear();
  m_Items.clear();
  m_KeyFrames.clear();
  m_Frames.clear();
  m_pFaceStrip.reset();
  m_nHeight = m_nWidth = m_nFrameTime = m_nLastFrame = 0;
  m_fExtentU = m_fExtentV = 0.0f;
  m_fFlashTime = m_fFlashInterval = m_fDealInterval = 0.0f;
  m_RowFaces[0] = m_RowFaces[1] = m_RowFaces[2] = 0;
  m_nDealt = 0;
  m_nRevealIndex = -1;
  m_dwRevealTime = 0;
  m_nState = kIdle;
}

int CCardAnimSet::Load(const char* fileName) {
  // A failed load leaves no images and no places, never half of them.
  Reset();
  if (!m_pEngine || !fileName || !m_pEngine->LoadConfig(m_Config, fileName)) return 0;
  m_nHeight = static_cast<int>(m_Config.GetLong(kMain, "anim_height", "0"));
  m_nWidth = static_cast<int>(m_Config.GetLong(kMain, "anim_width", "0"));
  m_nFrameTime = static_cast<int>(m_Config.GetLong(kMain, "anim_time", "0"));
  m_fFlashTime = m_Config.GetFloat(kMain, "anim_flash_time", "0.0f");
  m_fFlashInterval = m_Config.GetFloat(kMain, "anim_flash_inv", "0.0f");
  m_fDealInterval = m_Config.GetFloat(kMain, "anim_deal_inv", "0.0f");

  const std::string image = m_Config.GetString(kMain, "anim_image", "");
  auto strip = std::make_unique<CZqAnimation>(m_pEngine);
  if (!strip->Create(image.c_str()) || !strip->GetCurrentFrame()) return 0;
  m_pFaceStrip = std::move(strip);

  const std::string dir = m_Config.GetString(kMain, "anim_dir", "");
  const std::string name = m_Config.GetString(kMain, "anim_name", "");
  const long first = m_Config.GetLong(kMain, "anim_start", "0");
  const long last = m_Config.GetLong(kMain, "anim_end", "0");
  m_nLastFrame = static_cast<int>(last);
  for (long i = first; i <= last; ++i) {
    const std::string frameName = dir + name + std::to_string(i);
    auto frame = std::make_unique<CZqAnimation>(m_pEngine);
    if (!frame->Create(frameName.c_str())) return 0;
    CZqTexture* picture = frame->GetCurrentFrame();
    if (!picture || picture->GetWidth() == 0 || picture->GetHeight() == 0) return 0;
    m_fExtentV = static_cast<float>(m_nHeight) / static_cast<float>(picture->GetHeight());
    m_fExtentU = static_cast<float>(m_nWidth) / static_cast<float>(picture->GetWidth());
    m_Frames.push_back(std::move(frame));
  }
  if (m_Frames.empty()) return 0;

  char section[32];
  for (int k = 1;; ++k) {
    std::snprintf(section, sizeof section, "ANIM_%d", k);
    SKeyFrame key;
    key.frame = static_cast<int>(m_Config.GetLong(section, "frame", "0"));
    if (key.frame == 0) break;
    key.rect = m_Config.GetRect(section, "rect", "0,0,0,0");
    key.blend = m_Config.GetFloat(section, "blend", "0.0f");
    m_KeyFrames.push_back(key);
  }

  for (int i = 0; i < kPlaces; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "%d", i);
    const SScreenPoint pos = m_Config.GetPoint("POS", key, "0,0");
    auto item = std::make_unique<CCardAnimItem>();
    if (!item->Load(this, pos.x, pos.y)) {
      Reset();
      return 0;
    }
    m_Places.push_back(SPlace{kPlaceFree, item.get()});
    m_Items.push_back(std::move(item));
  }
  return 1;
}

int CCardAnimSet::FindPlace(int status) const {
  for (size_t i = 0; i < m_Places.size(); ++i)
    if (m_Places[i].status == status) return static_cast<int>(i);
  return -1;
}

void CCardAnimSet::DealRow(const int faces[3]) {
  for (int i = 0; i < 3; ++i) m_RowFaces[i] = faces ? faces[i] : 0;
  m_nDealt = 0;
  m_nState = kDealing;
  const int place = FindPlace(kPlaceFree);
  if (place < 0) {
    // No room for the row: a card still in flight lands at once, and the dealing state, finding
    // none in flight, ends the list on the next update, so a round waiting for the row never hangs.
    for (SPlace& p : m_Places)
      if (p.status == kPlaceFlipping) {
        p.item->ShowFace();
        p.status = kPlaceDealt;
      }
    return;
  }
  m_Places[place].status = kPlaceFlipping;
  m_Places[place].item->StartFlip(m_RowFaces[0]);
}

void CCardAnimSet::FlashAndShow() {
  for (auto& item : m_Items) item->StartFlash();
  m_nState = kFlashing;
}

void CCardAnimSet::FadeAndClear() {
  for (auto& item : m_Items) item->StartFade();
  m_nState = kFading;
}

int CCardAnimSet::AllBlinksEnded() {
  int ended = 0;
  for (auto& item : m_Items) ended += item->Update() == CCardAnimItem::kBlinkEnded;
  return ended == static_cast<int>(m_Items.size());
}

void CCardAnimSet::BeginReveal() {
  m_nState = kRevealing;
  m_nRevealIndex = -1;
  m_dwRevealTime = timeGetTime();
}

int CCardAnimSet::Update() {
  switch (m_nState) {
    case kDealing: {
      const int place = FindPlace(kPlaceFlipping);
      const bool last = place + 1 >= static_cast<int>(m_Places.size());
      if (place >= 0) {
        if (m_Places[place].item->Update() != CCardAnimItem::kFlipped) return kDealing;
        m_Places[place].status = kPlaceDealt;
        // The row goes on to the next place, unless this was the row's third card or the last
        // place: the list ends there and every place is free again.
        if (m_nDealt < 2 && !last) {
          ++m_nDealt;
          m_Places[place + 1].status = kPlaceFlipping;
          m_Places[place + 1].item->StartFlip(m_RowFaces[m_nDealt]);
          return kDealing;
        }
      }
      m_nDealt = 0;
      m_RowFaces[0] = m_RowFaces[1] = m_RowFaces[2] = 0;
      if (place >= 0 && !last) {
        m_nState = kRowDealt;
        return kRowDealt;
      }
      for (SPlace& p : m_Places) p.status = kPlaceFree;
      m_nState = kLastDealt;
      return kLastDealt;
    }
    case kFlashing:
      if (AllBlinksEnded()) {
        for (auto& item : m_Items) item->ShowFace();
        BeginReveal();
      }
      return kIdle;
    case kFading:
      if (AllBlinksEnded()) {
        for (auto& item : m_Items) item->Clear();
        BeginReveal();
      }
      return kIdle;
    case kRevealing: {
      const DWORD now = timeGetTime();
      if (static_cast<float>(DWORD(now - m_dwRevealTime)) > m_fDealInterval) {
        ++m_nRevealIndex;
        if (m_nRevealIndex >= static_cast<int>(m_Items.size())) {
          m_nState = kRevealed;
          return kRevealed;
        }
        m_Items[m_nRevealIndex]->SetVisible(1);
        m_dwRevealTime = now;
      }
      return kRevealing;
    }
    default:
      return kIdle;
  }
}

void CCardAnimSet::Render() {
  for (auto& item : m_Items) item->Render();
}

int CCardAnimSet::PaintFace(CZqTexture* texture, int n) {
  if (!texture || n < 1 || n > kFaces || !m_pFaceStrip) return 0;
  CZqTexture* strip = m_pFaceStrip->GetCurrentFrame();
  if (!strip) return 0;
  // Face n sits in the rows (n - 1) H + 1 .. n H + 1 of the strip.
  SScreenRect face(0, (n - 1) * m_nHeight + 1, m_nWidth, n * m_nHeight + 1);
  return texture->Blt(0, 0, strip, &face, 0) >= 0 ? 1 : 0;
}

int CCardAnimSet::GetPlaceStatus(int place) const {
  return place >= 0 && place < static_cast<int>(m_Places.size()) ? m_Places[place].status : kPlaceFree;
}

CCardAnimItem* CCardAnimSet::GetItem(int i) const {
  return i >= 0 && i < static_cast<int>(m_Items.size()) ? m_Items[i].get() : nullptr;
}

CZqAnimation* CCardAnimSet::GetFrame(int index) const {
  return index >= 0 && index < static_cast<int>(m_Frames.size()) ? m_Frames[index].get() : nullptr;
}
