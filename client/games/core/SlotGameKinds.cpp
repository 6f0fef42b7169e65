#include "games/core/SlotGame.h"

int CSlotGame::LoadTurntableGame(const char* /*folder*/) { return 0; }
long CSlotGame::UpdateTurntableGame(DWORD /*elapsed*/) { return 0; }
long CSlotGame::RenderTurntableGame() { return 0; }
int CSlotGame::LoadCardGame(const char* /*folder*/) { return 0; }
long CSlotGame::UpdateCardGame(DWORD /*elapsed*/) { return 0; }
long CSlotGame::RenderCardGame() { return 0; }
int CSlotGame::LoadMahjongGame(const char* /*folder*/) { return 0; }
long CSlotGame::UpdateMahjongGame(DWORD /*elapsed*/) { return 0; }
long CSlotGame::RenderMahjongGame() { return 0; }
void CSlotGame::PlaceMahjongBet() {}
void CSlotGame::SetPoolValue(int pool) { m_nPoolShown = pool; }
void CSlotGame::SetDiceLamps(int /*lamps*/) {}
