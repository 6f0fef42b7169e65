#include "games/core/SlotGame.h"

void CSlotGame::OnBonusResult(char** /*fields*/) {}
void CSlotGame::OnRoundResult(char** /*fields*/) {}
void CSlotGame::OnMoneyNotify(char** /*fields*/) {}
void CSlotGame::OnEnterReply(char** /*fields*/) {}
void CSlotGame::OnWeekNotify(char** /*fields*/) {}
void CSlotGame::OnBetReply(int /*amount*/) {}
void CSlotGame::OnReelsStopped() {}
void CSlotGame::OnBetRefused() {}
int CSlotGame::OnCardBetReply(int /*amount*/) { return 0; }
void CSlotGame::OnCardResult(char** /*fields*/) {}
void CSlotGame::OnMahjongBetReply(int /*amount*/) {}
void CSlotGame::OnMahjongResult(char** /*fields*/) {}
