// CStartPolePanel: the lever. It always shows its pulled image and plays it, with the spin sound,
// when a spin starts.
#pragma once

#include "ZqLib.h"

class CStartPolePanel : public CZqUIPanel {
 public:
  explicit CStartPolePanel(CZqUIPanel* parent);
  ~CStartPolePanel() override;

  int Restore() override;
  void UpdateState() override;

  void Pull();
  CZqSound* GetSpinSound() const { return m_pSpinSound; }

 private:
  CZqSound* m_pSpinSound = nullptr;
};
