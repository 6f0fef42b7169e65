// CAwardHighlight: lights the pay-table rectangles of the awards the round won, one per line.
#pragma once

#include "ZqLib.h"

class CAwardHighlight {
 public:
  static constexpr int kAwards = 15;  // letters 'a' to 'o'
  static constexpr char kNoAward = 'p';

  CAwardHighlight() = default;
  virtual ~CAwardHighlight();

  int Load(CZqEngine* engine, CConfig& config);
  void Enable() { m_bEnabled = 1; }
  void Disable() { m_bEnabled = 0; }
  // Three letters, one per line; missing ones are no award.
  void SetLetters(const char* letters);
  void Render();

  int IsEnabled() const { return m_bEnabled; }
  const SScreenRect& GetRect(int index) const { return m_arcAward[index]; }
  char GetLetter(int line) const { return m_szLetters[line]; }

 private:
  CZqEngine* m_pEngine = nullptr;
  int m_bEnabled = 0;
  SScreenRect m_arcAward[kAwards];
  char m_szLetters[3] = {kNoAward, kNoAward, kNoAward};
};
