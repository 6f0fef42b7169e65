#include "games/core/SlotGame.h"

void CSlotGame::OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM lParam) { CZqGame::OnUICmd(panel, msg, lParam); }
