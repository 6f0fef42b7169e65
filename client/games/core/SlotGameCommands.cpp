#include "games/core/SlotGame.h"

void CSlotGame::Spin() {}
void CSlotGame::PlaceBet() {}
void CSlotGame::BetMaxAndSpin() {}
void CSlotGame::CycleBet() {}
void CSlotGame::DoubleBet() {}
void CSlotGame::QuickStop() {}
void CSlotGame::IncreaseAutoPlay(CZqUIPanel* /*panel*/) {}
void CSlotGame::DecreaseAutoPlay(CZqUIPanel* /*panel*/) {}
void CSlotGame::RequestAutoPlayStop() {}
void CSlotGame::PickBonusBox(const char* /*name*/) {}
void CSlotGame::EnableSpinButtons(int /*x1*/, int /*max*/, int /*spin*/, int /*exit*/) {}
void CSlotGame::ShowOddsInfo() {}
void CSlotGame::CloseOddsInfo() {}
void CSlotGame::EnableInfoButton(int /*on*/) {}
void CSlotGame::ShowNotEnough() {}
void CSlotGame::ShowNoMoney() {}
void CSlotGame::RestoreMarquee() {}
void CSlotGame::RequestExit() {}
int CSlotGame::CheckCredits() { return 1; }
void CSlotGame::ToggleHold(const char* /*name*/) {}
void CSlotGame::StopExtraReel() {}
void CSlotGame::ShowTooLongAndQuit() { ::ShowTooLongAndQuit(); }
void ShowTooLongAndQuit() {}
