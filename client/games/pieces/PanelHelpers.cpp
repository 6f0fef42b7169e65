#include "PanelHelpers.h"

int HitTestPanelAt(CZqUIPanel* panel, int x, int y) { return panel ? panel->HitTest(SScreenPoint(x, y)) : 0; }

void PlayPanelToEnd(CZqUIPanel* panel) {
  if (CZqAnimation* current = panel ? panel->GetCurrentAnimation() : nullptr) current->PlayToEnd(1, 0.0f);
}
