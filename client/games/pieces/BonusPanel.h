// CBonusPanel: a panel that always shows its pulled image.
#pragma once

#include "ZqLib.h"

class CBonusPanel : public CZqUIPanel {
 public:
  explicit CBonusPanel(CZqUIPanel* parent);
  ~CBonusPanel() override;

  void UpdateState() override;
};
