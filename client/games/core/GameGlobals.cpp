#include "games/core/GameGlobals.h"

CSlotGame* g_pSlotGame = nullptr;
int g_nGameType = 0;
int g_bSpinLocked = 0;
int g_bGameReady = 0;
int g_bExiting = 0;
unsigned char g_bPoolInitialised = 0;
