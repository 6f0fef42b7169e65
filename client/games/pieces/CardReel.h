// CCardReel: one vertical reel drawn as the front of a turning cylinder. A strip of card or tile
// cells is mapped onto a mesh whose rows follow a circular arc; the reel turns by scrolling the
// strip's texture coordinates, slows down, lands its result in the window and may bounce.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "ZqLib.h"

class CCardSheet;

class CCardReel {
 public:
  // Reel states.
  enum {
    kIdle = 0,
    kCardSpin = 1,
    kCardLanding = 2,
    kBounce = 3,
    kBounceBack = 4,
    kTileSpin = 6,
    kSlowing = 7,
    kLanding = 8
  };

  explicit CCardReel(CZqEngine* engine);
  virtual ~CCardReel();
  CCardReel(const CCardReel&) = delete;
  CCardReel& operator=(const CCardReel&) = delete;

  virtual int Load(CConfig& config, const char* section, CCardSheet* sheet);
  // One step by the engine's elapsed frame time; the state after it (0 idle).
  virtual int Update();
  virtual void Render();

  // One step of dt (0.1 ms units).
  int Step(DWORD dt);
  // Three tile letters, top to bottom (tile kind).
  void Start(const char* letters);
  // A two-character card code landed between two random neighbours (card kind).
  void SetResultCard(const char* code);
  // The player's stop of a tile spin: 1 when it started the landing, else the state. Virtual so
  // that the game's stop commands can be observed on their own.
  virtual int Stop();
  void FillRandomTiles();
  void FillRandomCards();

  int GetState() const { return m_nState; }
  int IsTurning() const { return m_nState != kIdle; }
  int GetPosition() const { return m_nPosition; }
  int GetRestPosition() const { return m_nRestPosition; }
  int GetCardSize() const { return m_nCardSize; }
  int GetStripLength() const { return m_nStripLength; }
  int GetHalfArc() const { return m_nHalfArc; }
  // What cell i shows: a card code, or a tile letter; "" for a cell not painted.
  const char* GetCell(int i) const;
  const char* GetResult() const { return m_szResult; }
  const D3DTLVERTEX* GetVertices() const { return m_Vertices.data(); }
  int GetVertexCount() const { return m_nVertexCount; }
  CZqTexture* GetStrip() const { return m_pStrip.get(); }

 private:
  void SetTextureCoords();
  // Paints cell i and, for the first five cells, its copy one strip length lower.
  void PaintCard(int cell, const char* code);
  void PaintTile(int cell, char letter);
  void BeginLanding(int move);
  // dt x 0.0001 x speed, truncated.
  static int Move(DWORD dt, float speed) {
    return static_cast<int>(static_cast<float>(dt) * 0.0001f * speed);
  }

  CZqEngine* m_pEngine;
  CCardSheet* m_pSheet = nullptr;
  std::unique_ptr<CZqTexture> m_pStrip;
  std::vector<D3DTLVERTEX> m_Vertices;
  SScreenPoint m_ptPos;
  SScreenPoint m_ptCentre;
  int m_nState = kIdle;
  int m_nPosition = 0;
  int m_nRestPosition = 0;
  int m_nTableSize = 0;
  int m_nCardSize = 0;
  int m_nNumCards = 0;
  int m_nRows = 0;
  int m_nVertexCount = 0;
  int m_nWidth = 0;
  int m_nStripHeight = 0;
  float m_fRadian = 0.0f;
  float m_fRadius = 0.0f;
  float m_fDiameter = 0.0f;
  int m_nArc = 0;
  int m_nHalfArc = 0;
  float m_fRowStep = 0.0f;
  int m_nStripLength = 0;  // card_size x num_cards
  int m_nSpeed1 = 0;
  int m_nSpeed2 = 0;
  int m_nTime1 = 0;
  int m_nTime2 = 0;
  float m_fDeceleration = 0.0f;
  float m_fAdjustSize = 1.5f;
  float m_fElapsed = 0.0f;
  int m_nTarget = 0;
  int m_nTravelled = 0;
  float m_fBounceTimer = 0.0f;
  float m_fLandingSpeed = 0.0f;
  int m_bResultSet = 0;
  int m_bAverageLanding = 0;
  int m_bBounce = 0;
  int m_nSpinCount = 0;
  char m_szResult[7] = {};
  // The content of every cell, for the copies below the strip and for anyone who asks.
  std::vector<std::array<char, 3>> m_Cells;
};
