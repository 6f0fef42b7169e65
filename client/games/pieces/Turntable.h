// The spinning card wheel of the turntable kind: a strip of card pictures from one image, drawn
// as a band of textured quads that scrolls along its length and stops on the server's card.
// CTurntable decelerates uniformly onto its stop; CTurntableEx turns at a constant speed and
// locks onto the target card once its pull-up time has passed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ZqLib.h"

class CCardSheet;

class CTurntable {
 public:
  explicit CTurntable(CZqEngine* engine = nullptr);
  CTurntable(const CTurntable&) = delete;
  CTurntable& operator=(const CTurntable&) = delete;

  // ---- virtual operations, in slot order ----
  // The round's symbols, one for each of the wheel's lines.
  virtual void SetResult(const int* symbols);
  // Starts a decelerating motion that rests with card `index` centred; ignored while turning.
  virtual void SetStopIndex(int index);
  virtual void QuickStop();
  // 1 when ready.
  virtual int Load(const char* config, SScreenPoint position, const char* name);
  // 0 while turning, -1 when standing.
  virtual int Update();
  virtual void Cleanup();
  virtual int Render();
  virtual int BuildStrip();
  virtual ~CTurntable();
  virtual void PaintCardCodes(const char* code);

  void UpdateTexCoords();
  // Paints card `card` of the image into cell `cell` of the private copy and its repeat.
  int PaintCard(int card, int cell);
  // The nearest cell from the current one, in turning order, that shows `symbol`.
  int FindCard(int symbol);
  void SetVisible(int visible) { m_bVisible = visible; }

  int GetLineCount() const { return m_nLines; }
  const char* GetName() const { return m_strName.c_str(); }
  int IsStanding() const { return m_fSpeed <= 0.0f; }
  int IsVisible() const { return m_bVisible; }
  int GetCurrentIndex() const { return m_nCurrentIndex; }
  float GetPosition() const { return m_fPosition; }
  float GetSpeed() const { return m_fSpeed; }
  float GetStripLength() const { return m_fStripLength; }
  float GetSegmentStep() const { return m_fSegmentStep; }
  int GetUnitCount() const { return m_nUnits; }
  int GetCardCount() const { return m_nCards; }
  int GetCardSize() const { return m_nCardSize; }
  int GetCardSymbol(int cell) const;
  const D3DTLVERTEX* GetVertices() const { return m_Vertices.data(); }
  int GetVertexCount() const { return static_cast<int>(m_Vertices.size()); }
  CZqTexture* GetPrivateCopy() const { return m_pCopy.get(); }
  void SetCardSheet(CCardSheet* sheet) { m_pSheet = sheet; }

 protected:
  // The engine's elapsed time of the current update, in 0.1 ms.
  DWORD Elapsed() const;
  // Keeps the position in [0, strip length).
  void Wrap();
  void ResetDefaults();
  // Loaded with cards, a card size and a band: nothing divides by zero.
  int IsReady() const;

  int m_nCurrentIndex = 0;
  std::vector<D3DTLVERTEX> m_Vertices;
  int m_nUnits = 0;
  float m_fSegmentStep = 0.0f;
  float m_fPosition = 0.0f;
  float m_fStripLength = 0.0f;
  float m_fStartPosition = 0.0f;
  float m_fInitialSpeed = 0.0f;
  float m_fRadian = 0.0f;
  int m_bStand = 0;
  int m_bReverse = 0;
  float m_fBlend = 0.0f;
  std::vector<int> m_Symbols;
  CZqEngine* m_pEngine;
  CConfig m_config;
  int m_nCards = 0;
  SScreenPoint m_ptPos;
  int m_nCardSize = 0;
  int m_nTableSize = 0;
  float m_fSpeed = 0.0f;
  float m_fDeceleration = 0.0f;
  float m_fDefaultSpeed = 1000.0f;
  float m_fDefaultTime = 1.0f;
  float m_fDefaultRounds = 10.0f;
  float m_fPullUpTime = 30.0f;
  CZqAnimation m_aniImage;
  std::unique_ptr<CZqTexture> m_pCopy;
  int m_nLines = 1;
  std::string m_strName;
  int m_bVisible = 1;
  CCardSheet* m_pSheet = nullptr;
};

class CTurntableEx : public CTurntable {
 public:
  explicit CTurntableEx(CZqEngine* engine = nullptr);

  void SetResult(const int* symbols) override;
  void QuickStop() override;
  int Update() override;
  ~CTurntableEx() override;
  void PaintCardCodes(const char* code) override;
  // Lets the next update look for the target at once.
  virtual void StartPullUp();

  float GetPullUpClock() const { return m_fPullUpClock; }
  int IsLocked() const { return m_bLocked; }
  int GetTarget() const { return m_nTarget; }

 private:
  // Constant-speed spin from where the wheel stands.
  void StartSpin();

  float m_fPullUpClock = 0.0f;
  int m_bLocked = 1;
  double m_dQuickStopDivisor = 0.0;
  int m_nTarget = 0;
};
