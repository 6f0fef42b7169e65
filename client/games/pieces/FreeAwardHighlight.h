// CFreeAwardHighlight: lights the rectangle of the number of free games won.
#pragma once

#include <vector>

#include "ZqLib.h"

class CFreeAwardHighlight {
 public:
  struct SEntry {
    int nKey;
    SScreenRect rc;
  };
  static constexpr int kEntries = 8;

  CFreeAwardHighlight() = default;
  virtual ~CFreeAwardHighlight();

  int Load(CZqEngine* engine, CConfig& config);
  void Light(int games);
  void Dark() { m_bLit = 0; }
  void Render();

  int IsLit() const { return m_bLit; }
  const SScreenRect& GetCurrentRect() const { return m_rcCurrent; }
  const std::vector<SEntry>& GetEntries() const { return m_Entries; }

 private:
  std::vector<SEntry> m_Entries;
  CZqEngine* m_pEngine = nullptr;
  SScreenRect m_rcCurrent;
  int m_bLit = 0;
};
