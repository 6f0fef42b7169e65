#include "Turntable.h"

#include <cmath>
#include <string>

#include "CardSheet.h"

namespace {
constexpr float kDegree = 0.017453292f;
constexpr float kPi = 3.1415927f;
constexpr float kDeceleration = 2000.0f;
constexpr float kRhw = 0.5f;
constexpr DWORD kGrey = 0x7F7F7F;
// Elapsed time (0.1 ms) per pull-up period: 1.5 s, or 0.3 s after a quick stop.
constexpr float kPullUpPeriod = 0.00006666667f;
constexpr double kQuickStopDivisor = 3000.0;
// The constant spin moves at most this many cards a frame, so the search sees every cell.
constexpr float kMaxCardsPerFrame = 0.4f;
// A quick stop leaves at least this many cards of travel.
constexpr int kQuickStopCards = 2;

int Mod(int value, int n) {
  const int m = value % n;
  return m < 0 ? m + n : m;
}

// A random card of the deck, for the rows around a painted card code.
void RandomCode(char code[3]) {
  code[0] = static_cast<char>('a' + zq_rand() % 13);
  code[1] = static_cast<char>('0' + zq_rand() % 4);
  code[2] = 0;
}
}  // namespace

CTurntable::CTurntable(CZqEngine* engine) : m_pEngine(engine), m_aniImage(engine) {}

CTurntable::~CTurntable() { Cleanup(); }

DWORD CTurntable::Elapsed() const { return m_pEngine ? m_pEngine->GetElapsedTime() : 0; }

int CTurntable::IsReady() const { return !m_Vertices.empty() && m_nCards > 0 && m_nCardSize > 0; }

int CTurntable::GetCardSymbol(int cell) const {
  return cell >= 0 && cell < static_cast<int>(m_Symbols.size()) ? m_Symbols[cell] : -1;
}

void CTurntable::ResetDefaults() {
  m_fDefaultSpeed = 1000.0f;
  m_fDefaultTime = 1.0f;
  m_fDefaultRounds = 10.0f;
  m_fPullUpTime = 30.0f;
}

int CTurntable::Load(const char* config, SScreenPoint position, const char* name) {
  if (!m_pEngine) return 0;
  const char* file = config ? config : "";
  m_pEngine->LoadConfig(m_config, file);
  m_strName = name && *name ? name : file;
  m_ptPos = position;

  m_nUnits = static_cast<int>(m_config.GetLong("PAINT", "num_unit", "0"));
  m_fRadian = m_config.GetFloat("PAINT", "init_radian", "0.0f") * kDegree;
  m_nCards = static_cast<int>(m_config.GetLong("CARDS", "num_cards", "0"));
  m_nCardSize = static_cast<int>(m_config.GetLong("CARDS", "card_size", "0"));
  m_fBlend = m_config.GetFloat("CARDS", "blend", "0.0f");
  const std::string image = m_config.GetString("CARDS", "image", "");
  m_nTableSize = static_cast<int>(m_config.GetLong("MAIN", "table_size", "0"));
  m_bStand = m_config.GetBOOL("MAIN", "is_stand", "false") ? 1 : 0;
  m_bReverse = m_config.GetBOOL("MAIN", "is_spin_direct", "false") ? 1 : 0;
  m_nLines = static_cast<int>(m_config.GetLong("MAIN", "num_lines", "1"));
  m_fDefaultSpeed = m_config.GetFloat("MAIN", "default_speed", "0.0f");
  if (m_fDefaultSpeed < 0.1f) m_fDefaultSpeed = 1000.0f;
  m_fDefaultTime = m_config.GetFloat("MAIN", "default_time", "0.0f");
  if (m_fDefaultTime < 0.1f) m_fDefaultTime = 1.0f;
  m_fDefaultRounds = static_cast<float>(m_config.GetLong("MAIN", "default_round", "0"));
  if (m_fDefaultRounds < 0.1f) m_fDefaultRounds = 10.0f;
  m_fPullUpTime = m_config.GetFloat("MAIN", "auto_pull_up_time", "0.0f");
  if (m_fPullUpTime < 0.01f) m_fPullUpTime = 30.0f;
  m_fDeceleration = kDeceleration;

  m_aniImage.SetZqEngine(m_pEngine);
  m_aniImage.Create(image.c_str());

  m_Symbols.clear();
  for (int i = 0; i < m_nCards; ++i) {
    const std::string key = std::to_string(i);
    m_Symbols.push_back(static_cast<int>(m_config.GetLong("INDICES", key.c_str(), key.c_str())));
  }
  return BuildStrip() ? 1 : 0;
}

int CTurntable::BuildStrip() {
  m_Vertices.clear();
  m_fSpeed = 0.0f;
  CZqTexture* frame = m_aniImage.GetCurrentFrame();
  if (m_nUnits <= 0 || !frame || !frame->GetTexture()) return 0;
  const float w = static_cast<float>(frame->GetWidth());
  const float h = static_cast<float>(frame->GetHeight());
  // Every motion and coordinate divides by these: a wheel without them cannot turn.
  if (m_nCards < 1 || m_nCardSize < 1 || w < 1.0f || h < 1.0f) return 0;

  m_Vertices.assign(2 * m_nUnits + 2, D3DTLVERTEX{0, 0, 0, kRhw, 0xFFFFFFFF, 0, 0, 0});
  const float size = static_cast<float>(m_nTableSize);
  const float cards = static_cast<float>(m_nCards), card = static_cast<float>(m_nCardSize);
  const bool bent = m_fRadian > 0.0f && m_fRadian < kPi;
  const float halfSin = bent ? std::sin(m_fRadian * 0.5f) : 1.0f;
  const float window = bent ? m_fRadian * size / (2.0f * halfSin) : size;
  m_fSegmentStep = window / static_cast<float>(m_nUnits);
  // Card 0 centred in the window.
  m_nCurrentIndex = 0;
  m_fPosition = (cards + 0.5f) * card - window * 0.5f;
  m_fStripLength = card * cards;

  const DWORD colour = static_cast<DWORD>(static_cast<int>(m_fBlend * 255.0f)) << 24 | kGrey;
  const float start = static_cast<float>(m_bStand ? m_ptPos.y : m_ptPos.x);
  for (int i = 0; i <= m_nUnits; ++i) {
    float along = start + static_cast<float>(i) * m_fSegmentStep;
    if (bent) {
      // The pairs crowd towards both ends like the face of a drum.
      const float radius = size / (2.0f * halfSin);
      along = start + size * 0.5f -
              radius * std::sin(m_fRadian * 0.5f - m_fRadian * static_cast<float>(i) / m_nUnits);
    }
    const float strip = m_fPosition + static_cast<float>(i) * m_fSegmentStep;
    D3DTLVERTEX* pair = &m_Vertices[2 * i];
    for (int side = 0; side < 2; ++side) {
      D3DTLVERTEX& v = pair[side];
      if (m_bStand) {
        v.sx = static_cast<float>(m_ptPos.x) + side * w;
        v.sy = along;
        v.tu = static_cast<float>(side);
        v.tv = strip / h;
      } else {
        v.sx = along;
        v.sy = static_cast<float>(m_ptPos.y) + side * h;
        v.tu = strip / w;
        v.tv = static_cast<float>(side);
      }
      v.sz = 0.5f;
      v.color = colour;
    }
  }

  m_pCopy.reset();
  auto copy = std::make_unique<CZqTexture>(m_pEngine);
  if (copy->CreateEx(frame->GetWidth(), frame->GetHeight(), frame->GetSurfaceFormat(), 0) >= 0 &&
      copy->Blt(0, 0, frame, nullptr, 0) >= 0) {
    copy->Release();
    m_pCopy = std::move(copy);
  }
  UpdateTexCoords();
  return 1;
}

void CTurntable::UpdateTexCoords() {
  CZqTexture* frame = m_aniImage.GetCurrentFrame();
  if (!frame || m_Vertices.empty()) return;
  const float length = static_cast<float>(m_bStand ? frame->GetHeight() : frame->GetWidth());
  if (length < 1.0f) return;
  for (int i = 0; i <= m_nUnits; ++i) {
    const float t = m_fPosition / length + (m_fSegmentStep / length) * static_cast<float>(i);
    for (int side = 0; side < 2; ++side)
      (m_bStand ? m_Vertices[2 * i + side].tv : m_Vertices[2 * i + side].tu) = t;
  }
}

void CTurntable::Wrap() {
  m_fPosition -= m_fStripLength * std::trunc(m_fPosition / m_fStripLength);
  if (m_fPosition < 0.0f) m_fPosition += m_fStripLength;
}

void CTurntable::SetStopIndex(int index) {
  if (m_fSpeed > 0.0f || !IsReady()) return;
  index = Mod(index, m_nCards);
  const float t = m_fDefaultTime + 0.1f;
  const float cards = m_bReverse ? (m_fDefaultRounds + 1.0f) * m_nCards - index + m_nCurrentIndex
                                 : m_fDefaultRounds * m_nCards + index - m_nCurrentIndex;
  m_nCurrentIndex = index;
  m_fStartPosition = m_fPosition;
  m_fDeceleration = 2.0f * cards * m_nCardSize / (t * t);
  m_fSpeed = m_fInitialSpeed = m_fDeceleration * t;
}

int CTurntable::Update() {
  if (m_nUnits < 1 || m_fSpeed <= 0.0f || !IsReady()) return -1;
  m_fSpeed -= static_cast<float>(Elapsed()) * 0.0001f * m_fDeceleration;
  if (m_fSpeed <= 0.0f) m_fSpeed = 0.0f;
  const float travelled = (m_fInitialSpeed * m_fInitialSpeed - m_fSpeed * m_fSpeed) / m_fDeceleration * 0.5f;
  m_fPosition = m_bReverse ? m_fStartPosition - travelled : m_fStartPosition + travelled;
  Wrap();
  UpdateTexCoords();
  return m_fSpeed > 0.0f ? 0 : -1;
}

void CTurntable::QuickStop() {
  if (m_fSpeed <= 0.0f || !IsReady()) return;
  // The stop stays where it was: only whole rounds of the strip are left out of the way there.
  const float remaining = m_fSpeed * m_fSpeed / m_fDeceleration * 0.5f;
  const float keep = static_cast<float>(kQuickStopCards * m_nCardSize);
  const float rounds = std::floor((remaining - keep) / m_fStripLength);
  if (rounds < 1.0f) return;
  const float left = remaining - rounds * m_fStripLength;
  m_fInitialSpeed = m_fSpeed;
  m_fStartPosition = m_fPosition;
  m_fDeceleration = m_fSpeed * m_fSpeed / (2.0f * left);
}

int CTurntable::FindCard(int symbol) {
  if (!IsReady() || m_nCurrentIndex < 0 || m_nCurrentIndex >= static_cast<int>(m_Symbols.size()))
    return m_nCurrentIndex;
  if (m_Symbols[m_nCurrentIndex] == symbol) return m_nCurrentIndex;
  const int step = m_bReverse ? -1 : 1;
  for (int i = Mod(m_nCurrentIndex + step, m_nCards); i != m_nCurrentIndex; i = Mod(i + step, m_nCards))
    if (m_Symbols[i] == symbol) return i;
  return m_nCurrentIndex;
}

int CTurntable::PaintCard(int card, int cell) {
  CZqTexture* frame = m_aniImage.GetCurrentFrame();
  if (!m_pCopy || !frame || !IsReady()) return 0;
  // One cell: the card size along the strip, the whole picture across it.
  const int across = static_cast<int>(m_bStand ? m_pCopy->GetWidth() : m_pCopy->GetHeight());
  auto cellRect = [&](int at) {
    const int from = at * m_nCardSize, to = from + m_nCardSize;
    return m_bStand ? SScreenRect(0, from, across, to) : SScreenRect(from, 0, to, across);
  };
  SScreenRect source = cellRect(card);
  SScreenRect first = cellRect(cell);
  SScreenRect second = cellRect(cell + m_nCards);
  if (m_pCopy->Blt(&first, frame, &source, 0) < 0) return 0;
  source = cellRect(card);
  return m_pCopy->Blt(&second, frame, &source, 0) >= 0 ? 1 : 0;
}

void CTurntable::SetResult(const int* symbols) {
  if (!symbols || !IsReady()) return;
  if (m_nLines < 2) {
    SetStopIndex(FindCard(symbols[0]));
    return;
  }
  const int first = Mod(m_nCurrentIndex + m_nLines, m_nCards);
  for (int i = 0; i < m_nLines; ++i) PaintCard(FindCard(symbols[i]), Mod(first + i, m_nCards));
  SetStopIndex(Mod(first + m_nLines / 2, m_nCards));
}

int CTurntable::Render() {
  if (!m_bVisible || m_Vertices.empty()) return 0;
  LPDIRECT3DDEVICE7 device = m_pEngine ? m_pEngine->GetD3dDevice() : nullptr;
  if (!device) return 0;
  CZqTexture* texture = m_pCopy ? m_pCopy.get() : m_aniImage.GetCurrentFrame();
  device->SetTexture(0, texture ? texture->GetTexture() : nullptr);
  return device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, m_Vertices.data(),
                               static_cast<DWORD>(m_Vertices.size()), 0);
}

void CTurntable::Cleanup() {
  m_Vertices.clear();
  m_Vertices.shrink_to_fit();
  m_pCopy.reset();
  m_nLines = 1;
  m_nCurrentIndex = 0;
  m_nUnits = 0;
  m_nCards = 0;
  m_ptPos = SScreenPoint(0, 0);
  m_nCardSize = 0;
  m_nTableSize = 0;
  m_aniImage.Cleanup();
  m_fSpeed = 0.0f;
  m_fDeceleration = 0.0f;
  ResetDefaults();
  m_strName.clear();
}

void CTurntable::PaintCardCodes(const char* /*code*/) {}

CTurntableEx::CTurntableEx(CZqEngine* engine) : CTurntable(engine) {}

CTurntableEx::~CTurntableEx() = default;

void CTurntableEx::StartSpin() {
  m_fStartPosition = m_fPosition;
  m_fPullUpClock = 0.0f;
  m_bLocked = 0;
  m_fSpeed = m_fDefaultSpeed * (1.0f + static_cast<float>(zq_rand()) * 0.1f / 32767.0f);
}

void CTurntableEx::SetResult(const int* symbols) {
  if (!symbols || !IsReady()) return;
  if (m_nLines <= 1) {
    m_nTarget = symbols[0];
    // A symbol that no card shows would never be met: the wheel stops on one like the card it shows.
    if (m_Symbols[FindCard(m_nTarget)] != m_nTarget) m_nTarget = m_Symbols[m_nCurrentIndex];
  } else {
    const int first = Mod(m_nCurrentIndex + m_nLines, m_nCards);
    for (int i = 0; i < m_nLines; ++i) PaintCard(FindCard(symbols[i]), Mod(first + i, m_nCards));
    m_nTarget = Mod(first + m_nLines / 2, m_nCards);
  }
  StartSpin();
}

void CTurntableEx::QuickStop() {
  // A wheel that stands keeps its pace for the next round.
  if (m_fSpeed > 0.0f) m_dQuickStopDivisor = kQuickStopDivisor;
}

void CTurntableEx::StartPullUp() { m_fPullUpClock = m_fPullUpTime; }

int CTurntableEx::Update() {
  if (m_nUnits < 1 || m_fSpeed == 0.0f || !IsReady() || !m_aniImage.GetCurrentFrame()) return -1;
  const float elapsed = static_cast<float>(Elapsed());
  const float k = m_dQuickStopDivisor != 0.0 ? static_cast<float>(elapsed / m_dQuickStopDivisor)
                                             : elapsed * kPullUpPeriod;
  const float card = static_cast<float>(m_nCardSize);
  const float window = m_nUnits * m_fSegmentStep;
  if (m_bLocked) {
    m_dQuickStopDivisor = 0.0;
    m_fSpeed = 0.0f;
    m_fPosition = m_nCurrentIndex * card - (window - card) * 0.5f;
    if (m_fPosition < 0.0f) m_fPosition += m_fStripLength;
    UpdateTexCoords();
    return -1;
  }
  float step = m_fSpeed * k;
  if (step > kMaxCardsPerFrame * card) step = kMaxCardsPerFrame * card;
  m_fPosition += m_bReverse ? -step : step;
  Wrap();
  m_fPullUpClock += k;
  if (m_fPullUpClock >= m_fPullUpTime && step > 0.0f) {
    // Back over the cells this frame passed, the card just ahead of the window's centre first.
    float scan = m_fPosition;
    for (float left = step; left > 0.0f; left -= card, scan += m_bReverse ? card : -card) {
      const int index = Mod(static_cast<int>(std::trunc((scan + (window + card) * 0.5f) / card)), m_nCards);
      m_nCurrentIndex = index;
      if (m_nLines <= 1 ? m_Symbols[index] == m_nTarget : index == m_nTarget) {
        m_bLocked = 1;
        break;
      }
    }
  }
  UpdateTexCoords();
  return m_fSpeed != 0.0f ? 0 : -1;
}

void CTurntableEx::PaintCardCodes(const char* code) {
  m_nTarget = 1;
  if (m_pSheet && m_pCopy && code) {
    char above[3], below[3];
    RandomCode(above);
    RandomCode(below);
    const char* rows[] = {above, code, below};
    const int offsets[] = {-2, m_nCardSize - 2, 2 * (m_nCardSize - 2)};
    for (int i = 0; i < 3; ++i) {
      SScreenRect rect = m_pCopy->GetRect();
      rect.top += offsets[i];
      rect.bottom += offsets[i];
      m_pSheet->BlitCard(rows[i], m_pCopy.get(), &rect);
    }
  }
  if (IsReady()) StartSpin();
}
