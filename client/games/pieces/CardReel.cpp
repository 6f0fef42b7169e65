#include "CardReel.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "CardSheet.h"

namespace {
// Degrees to radians, halved: the arc is measured from the cylinder's axis either way.
constexpr float kHalfDegree = 0.0087266461f;
constexpr float kPi = 3.14159265358979f;
constexpr DWORD kReelColor = 0xFF7F7F7F;
// Cells of the strip's top that are painted again one strip length lower.
constexpr int kWrapCells = 5;
// Ranks and tiles the random cells draw from.
constexpr int kRanks = 13;
constexpr int kSuits = 4;
constexpr int kTiles = 11;
// A landing this close (pixels) to the rest position snaps to it.
constexpr int kSnapDistance = 20;
constexpr int kBounceOffset = 7;
constexpr float kBounceDownTime = 400.0f;  // 40 ms
constexpr float kBounceBackTime = 300.0f;  // 30 ms
}  // namespace

CCardReel::CCardReel(CZqEngine* engine) : m_pEngine(engine) {}

CCardReel::~CCardReel() = default;

int CCardReel::Load(CConfig& config, const char* section, CCardSheet* sheet) {
  m_pSheet = sheet;
  m_ptPos = config.GetPoint(section, "pos", "0,0");
  m_fRadian = static_cast<float>(config.GetLong(section, "radian", "0"));
  m_nRows = static_cast<int>(config.GetLong(section, "num_unit", "0")) + 1;
  m_nNumCards = static_cast<int>(config.GetLong(section, "num_cards", "0"));
  m_nCardSize = static_cast<int>(config.GetLong(section, "card_size", "0"));
  m_nTableSize = static_cast<int>(config.GetLong(section, "table_size", "0"));
  m_nTime1 = static_cast<int>(config.GetLong(section, "time1", "0"));
  m_nTime2 = static_cast<int>(config.GetLong(section, "time2", "0"));
  m_nSpeed1 = static_cast<int>(config.GetLong(section, "speed1", "0"));
  m_nSpeed2 = static_cast<int>(config.GetLong(section, "speed2", "0"));
  m_fAdjustSize = config.GetFloat(section, "adjustsize", "0.0f");

  m_pStrip.reset();
  m_Vertices.clear();
  m_nVertexCount = 0;
  // An arc of no degrees has no radius: its mesh would be made of NaNs.
  if (m_nRows <= 0 || m_fRadian <= 0.0f || m_nNumCards <= 0 || m_nCardSize <= 0) return 0;
  m_fRadius = m_nTableSize * 0.5f / std::sin(m_fRadian * kHalfDegree);
  m_fDiameter = 2.0f * m_fRadius;
  m_ptCentre = SScreenPoint(m_ptPos.x, m_ptPos.y + m_nTableSize / 2);
  m_nWidth = sheet ? sheet->GetCardWidth() : 0;
  m_nArc = static_cast<int>(m_fRadian * m_fDiameter * kHalfDegree);
  m_nHalfArc = static_cast<int>(m_nArc * 0.5f);
  m_nStripLength = m_nCardSize * m_nNumCards;
  m_nStripHeight = kWrapCells * m_nCardSize + m_nStripLength;
  m_nRestPosition = static_cast<int>(m_fAdjustSize * m_nCardSize + m_nStripLength);
  m_nPosition = m_nRestPosition;
  m_fRowStep = static_cast<float>(m_nArc / m_nRows);
  m_fDeceleration = m_nTime2 < 1 ? 0.0f : static_cast<float>(m_nSpeed1 - m_nSpeed2) / m_nTime2;

  if (!sheet || !sheet->GetSheet() || m_nWidth <= 0) return 0;
  auto strip = std::make_unique<CZqTexture>(m_pEngine);
  if (strip->CreateEx(m_nWidth, m_nStripHeight, sheet->GetSheet()->GetSurfaceFormat(), 0) < 0) return 0;
  m_pStrip = std::move(strip);
  m_Cells.assign(m_nNumCards + kWrapCells, std::array<char, 3>{});

  m_nVertexCount = 2 * m_nRows;
  m_Vertices.assign(m_nVertexCount, D3DTLVERTEX{});
  for (int j = 0; j < m_nRows; ++j) {
    const float angle = (180.0f - m_fRadian) * 0.5f + m_fRadian * j / m_nRows + 180.0f;
    const float y = m_ptCentre.y + m_fRadius * std::cos(angle * kPi / 180.0f);
    D3DTLVERTEX* row = &m_Vertices[2 * j];
    for (int side = 0; side < 2; ++side) {
      row[side].sx = static_cast<float>(m_ptPos.x + side * m_nWidth);
      row[side].sy = y;
      row[side].sz = 0.5f;
      row[side].rhw = 1.0f;
      row[side].color = kReelColor;
      row[side].specular = 0;
      row[side].tu = static_cast<float>(side);
    }
  }
  SetTextureCoords();
  return 1;
}

void CCardReel::SetTextureCoords() {
  // Below the half arc the window would run off the strip's top: the same picture lies one
  // strip length lower.
  if (m_nPosition < m_nHalfArc) m_nPosition = m_nHalfArc + m_nStripLength;
  if (m_nStripHeight <= 0) return;
  for (int i = 0; i < m_nRows && 2 * i + 1 < m_nVertexCount; ++i) {
    const float v = (m_nPosition - m_nHalfArc + m_fRowStep * i) / m_nStripHeight;
    m_Vertices[2 * i].tv = m_Vertices[2 * i + 1].tv = v;
  }
}

const char* CCardReel::GetCell(int i) const {
  return i >= 0 && i < static_cast<int>(m_Cells.size()) ? m_Cells[i].data() : "";
}

void CCardReel::PaintCard(int cell, const char* code) {
  if (!m_pStrip || !m_pSheet || cell < 0 || cell >= m_nNumCards) return;
  for (int c = cell; c < static_cast<int>(m_Cells.size()); c += m_nNumCards) {
    SScreenRect rect(0, c * m_nCardSize, m_nWidth, (c + 1) * m_nCardSize);
    m_pSheet->BlitCard(code, m_pStrip.get(), &rect);
    m_Cells[c] = {code[0], code[1], 0};
  }
}

void CCardReel::PaintTile(int cell, char letter) {
  if (!m_pStrip || !m_pSheet || cell < 0 || cell >= m_nNumCards) return;
  for (int c = cell; c < static_cast<int>(m_Cells.size()); c += m_nNumCards) {
    SScreenRect rect(0, c * m_nCardSize, m_nWidth, (c + 1) * m_nCardSize);
    m_pSheet->BlitRow(letter, m_pStrip.get(), &rect);
    m_Cells[c] = {letter, 0, 0};
  }
}

void CCardReel::FillRandomTiles() {
  for (int i = 0; i < m_nNumCards; ++i) PaintTile(i, static_cast<char>('a' + zq_rand() % kTiles));
}

void CCardReel::FillRandomCards() {
  for (int i = 0; i < m_nNumCards; ++i) {
    const char rank = static_cast<char>('a' + zq_rand() % kRanks);
    const char code[3] = {rank, static_cast<char>('0' + zq_rand() % kSuits), 0};
    PaintCard(i, code);
  }
}

void CCardReel::Start(const char* letters) {
  ++m_nSpinCount;
  if (m_nSpinCount % 3 == 0) FillRandomTiles();
  std::memset(m_szResult, 0, sizeof(m_szResult));
  for (int i = 0; i < 3 && letters && letters[i]; ++i) m_szResult[i] = letters[i];
  for (int i = 0; i < 3; ++i)
    if (m_szResult[i]) PaintTile(i, m_szResult[i]);
  m_nState = kTileSpin;
  m_fElapsed = 0.0f;
  m_bResultSet = m_bAverageLanding = m_bBounce = 0;
}

void CCardReel::SetResultCard(const char* code) {
  // Only a card of the deck lands; anything else would paint an empty cell.
  if (!code || code[0] < 'a' || code[0] >= 'a' + kRanks || code[1] < '0' || code[1] >= '0' + kSuits) return;
  m_bResultSet = 1;
  const int rank = code[0] - 'a';
  int first, second;
  do first = zq_rand() % kRanks;
  while (first == rank);
  do second = zq_rand() % kRanks;
  while (second == rank || second == first);
  const char above[3] = {static_cast<char>('a' + first), static_cast<char>('0' + zq_rand() % kSuits), 0};
  const char below[3] = {static_cast<char>('a' + second), static_cast<char>('0' + zq_rand() % kSuits), 0};
  std::memset(m_szResult, 0, sizeof(m_szResult));
  std::memcpy(m_szResult, above, 2);
  std::memcpy(m_szResult + 2, code, 2);
  std::memcpy(m_szResult + 4, below, 2);
  PaintCard(0, above);
  PaintCard(1, m_szResult + 2);
  PaintCard(2, below);
  m_nState = kCardSpin;
  m_fElapsed = 0.0f;
}

void CCardReel::BeginLanding(int move) {
  m_nTarget = static_cast<int>(m_nPosition - 1.5f * m_nCardSize - move);
  m_nTravelled = 0;
  m_fBounceTimer = 0.0f;
}

int CCardReel::Stop() {
  if (m_nState != kTileSpin && m_nState != kSlowing) return m_nState;
  BeginLanding(0);
  m_fLandingSpeed = m_nSpeed1 - m_fDeceleration * m_fElapsed;
  m_bAverageLanding = m_bBounce = 1;
  m_nState = kLanding;
  return 1;
}

int CCardReel::Update() { return Step(m_pEngine ? m_pEngine->GetElapsedTime() : 0); }

int CCardReel::Step(DWORD dt) {
  const int before = m_nPosition;
  switch (m_nState) {
    case kCardSpin: {
      m_fElapsed += dt;
      if (m_fElapsed >= m_nTime1) {
        BeginLanding(0);
        m_fLandingSpeed = m_nSpeed1 - m_fDeceleration * m_fElapsed;
        m_nState = kCardLanding;
      }
      m_nPosition -= Move(dt, static_cast<float>(m_nSpeed1));
      break;
    }
    case kCardLanding: {
      m_fElapsed += dt;
      const int move = Move(dt, static_cast<float>(m_nSpeed1));
      m_nTravelled += move;
      if (m_nTravelled > m_nTarget) {
        m_fBounceTimer = 0.0f;
        m_nPosition = m_nRestPosition;
        m_nState = kBounce;
      } else {
        m_nPosition -= move;
      }
      break;
    }
    case kBounce:
      m_fBounceTimer += dt;
      if (m_fBounceTimer > kBounceDownTime) {
        m_nPosition += kBounceOffset;
        m_fBounceTimer = 0.0f;
        m_nState = kBounceBack;
      }
      break;
    case kBounceBack:
      m_fBounceTimer += dt;
      if (m_fBounceTimer > kBounceBackTime) {
        m_nPosition -= kBounceOffset;
        m_nState = kIdle;
      }
      break;
    case kTileSpin: {
      m_fElapsed += dt;
      const int move = std::abs(Move(dt, static_cast<float>(m_nSpeed1)));
      if (m_fElapsed >= m_nTime1) {
        m_nState = kSlowing;
        m_nTravelled = 0;
        m_fElapsed = 0.0f;
      }
      m_nPosition -= move;
      break;
    }
    case kSlowing: {
      m_fElapsed += dt;
      const float v = m_nSpeed1 - m_fElapsed * m_fDeceleration;
      const int move = std::abs(Move(dt, v));
      if (m_fElapsed >= m_nTime2) {
        BeginLanding(move);
        m_fLandingSpeed = v;
        m_nState = kLanding;
      }
      m_nPosition -= move;
      break;
    }
    case kLanding: {
      m_fElapsed += dt;
      const float v =
          m_bAverageLanding ? (m_nSpeed1 + m_fLandingSpeed) * 0.5f : m_nSpeed1 - m_fElapsed * m_fDeceleration;
      const int move = std::abs(Move(dt, v));
      m_nTravelled += move;
      if (m_nTravelled < m_nTarget) {
        m_nPosition -= move;
        break;
      }
      const int left = static_cast<int>(m_nPosition - m_nStripLength - m_nCardSize * m_fAdjustSize);
      if (left <= kSnapDistance) {
        m_fBounceTimer = 0.0f;
        m_nPosition = m_nRestPosition;
        m_nState = m_bBounce ? kBounce : kIdle;
      } else {
        m_nTarget = left;
        m_nTravelled = 0;
        m_nPosition -= move;
      }
      break;
    }
    default:
      break;
  }
  if (m_nPosition != before) SetTextureCoords();
  return m_nState;
}

void CCardReel::Render() {
  LPDIRECT3DDEVICE7 device = m_pEngine ? m_pEngine->GetD3dDevice() : nullptr;
  if (!device || !m_pStrip || m_nVertexCount <= 0) return;
  m_pEngine->PreparePaint(5, 6, 5, 4);
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  device->SetTexture(0, m_pStrip->GetTexture());
  device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1,
                        m_Vertices.data(), m_nVertexCount, 0);
}
