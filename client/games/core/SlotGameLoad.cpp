#include "games/core/SlotGame.h"

int CSlotGame::LoadGame(const char* /*folder*/) { return 0; }
void CSlotGame::UnloadGame() {}
