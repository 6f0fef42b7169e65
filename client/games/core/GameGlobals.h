// Globals of the game that the shell and the network task share with it.
#pragma once

class CSlotGame;

// The one game object, created by the frame's engine start.
extern CSlotGame* g_pSlotGame;
// The loaded game kind: 0 turntable, 1 poker cards, 2 mahjong; 0 until a folder says otherwise.
extern int g_nGameType;
// The spin latch: set by a spin, cleared when its round ends (or the spin fails).
extern int g_bSpinLocked;
// Keys and commands act only while the game is loaded and the player can still play.
extern int g_bGameReady;
// Once set, the game neither updates nor renders and the frame lets every close through.
extern int g_bExiting;
// The first enter reply of the process set the mahjong pool.
extern unsigned char g_bPoolInitialised;
// Kind 2: the last free game of a series has been played (read by the round end).
extern unsigned char g_bFreeGamesEnded;
