// CWinLineBlink: blinks the won lines, or shows how many lines the bet covers.
#pragma once

#include "ZqLib.h"

class CWinLineBlink {
 public:
  enum { kOff = 0, kBlinking = 1, kShowingCount = 2 };

  explicit CWinLineBlink(CZqEngine* engine);
  virtual ~CWinLineBlink();

  bool Load(CConfig& config);
  // Three 0/1 flags, lines 1 to 3.
  void SetLines(const int* flags);
  void Blink();
  void ShowCount(int lines);
  void Update();
  long Render();

  void SetState(int state) { m_nState = state; }
  int GetState() const { return m_nState; }
  int GetBlinkFrame() const { return m_nBlinkFrame; }
  int GetInterval() const { return m_nInterval; }

 private:
  CZqAnimation m_aniLine;
  SScreenPoint m_ptPos[3];
  int m_nBlinkFrame = 0;
  int m_nInterval = 0;
  DWORD m_dwToggleTime = 0;
  int m_anLines[3] = {0, 0, 0};
  int m_nLineCount = 0;
  int m_nState = kOff;
  CZqEngine* m_pEngine;
};
