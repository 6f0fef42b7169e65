// The client's one game: three game kinds on one engine game, fed by the server's replies and
// commanded by the UI panels and the keys.
#pragma once

#include <array>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "games/core/CounterText.h"
#include "games/core/GameGlobals.h"
#include "games/pieces/AllMahjongEffect.h"
#include "games/pieces/BlinkSprite.h"
#include "games/pieces/CardAnimSet.h"
#include "games/pieces/CardReel.h"
#include "games/pieces/CardSheet.h"
#include "games/pieces/DiceLamps.h"
#include "games/pieces/DigitWheel.h"
#include "games/pieces/FreeAwardHighlight.h"
#include "games/pieces/HeavenlyHandEffect.h"
#include "games/pieces/PayTableSlide.h"
#include "games/pieces/SlotEffect.h"
#include "games/pieces/TableSlide.h"
#include "games/pieces/WinLineBlink.h"
#include "net/NetGame.h"

class CTurntable;

class CSlotGame : public CZqGame, public CNetGame {
 public:
  explicit CSlotGame(CZqEngine* engine);
  CSlotGame(const CSlotGame&) = delete;
  CSlotGame& operator=(const CSlotGame&) = delete;

  // ---- the engine game's slots ----
  ~CSlotGame() override;
  long Render() override;
  long Draw(CZqSurface* surface) override;
  long Update(DWORD elapsed) override;  // 0.1 ms units
  void OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM lParam) override;

  // ---- the game's own slots, in order ----
  virtual void SetPlayerChips(int credits);
  void OnBonusResult(char** fields) override;  // NET_BONUS_RESULT
  void OnRoundResult(char** fields) override;  // NET_ROUND_RESULT
  void OnMoneyNotify(char** fields) override;  // NET_MONEY
  void OnEnterReply(char** fields) override;   // NET_ENTER_REPLY, accepted
  void OnWeekNotify(char** fields) override;   // NET_WEEK
  void OnBetReply(int amount) override;        // NET_BET_REPLY, accepted, kind 0
  virtual void OnReelsStopped();
  virtual void UnloadGame();
  // The game folder's configuration name; 1 when the game is ready to play, else 0.
  virtual int LoadGame(const char* folder);

  // ---- replies of kinds 1 and 2 and the rest of the network task's view ----
  int OnCardBetReply(int amount) override;
  void OnCardResult(char** fields) override;
  void OnMahjongBetReply(int amount) override;
  void OnMahjongResult(char** fields) override;
  // NET_BET_REPLY with a refusal while a bet waits: the spin is given back to the player.
  void OnBetRefused() override;
  void ShowTooLongAndQuit() override;
  int GetGameType() const override { return g_nGameType; }
  int GetBetUnit() const override { return m_nBetUnit; }

  // ---- captions ----
  void SetWinCaption(int win);
  void SetBetUnit(int unit);
  void SetBet(int bet);

  // ---- state ----
  int IsAutoPlay() const { return m_bAutoPlaying; }
  void StartAutoPlay() { m_bAutoPlaying = m_nAutoPlay > 0; }
  void StopAutoPlay() { m_bAutoPlaying = 0; }
  int IsBusy() const { return m_nTurntableState != 0 || m_bAutoPlaying; }

  // ---- shared commands ----
  void Spin();
  void PlaceBet();
  void BetMaxAndSpin();
  void CycleBet();
  void DoubleBet();
  void QuickStop();
  void IncreaseAutoPlay(CZqUIPanel* panel);
  void DecreaseAutoPlay(CZqUIPanel* panel);
  void RequestAutoPlayStop();
  void PickBonusBox(const char* name);
  void EnableSpinButtons(int x1, int max, int spin, int exit);
  void ShowOddsInfo();
  void CloseOddsInfo();
  void EnableInfoButton(int on);
  void ShowNotEnough();
  void ShowNoMoney();
  void RestoreMarquee();
  void RequestExit();
  int CheckCredits();
  void SubtractShownWin(int amount);
  void ShowWinDigits(int on);
  void ToggleHold(const char* name);
  void StopExtraReel();

  // ---- the kinds ----
  int LoadTurntableGame(const char* folder);
  long UpdateTurntableGame(DWORD elapsed);
  long RenderTurntableGame();
  int LoadCardGame(const char* folder);
  long UpdateCardGame(DWORD elapsed);
  long RenderCardGame();
  int LoadMahjongGame(const char* folder);
  long UpdateMahjongGame(DWORD elapsed);
  long RenderMahjongGame();
  void PlaceMahjongBet();
  void SetPoolValue(int pool);
  void SetDiceLamps(int lamps);
  // The mahjong pay table's page for three units or one, and the bet it marks.
  void SwitchPayTablePage(int threeUnits);
  void ShowBetOnPayTable(int bet);

  // The panel of that name in the loaded UI, or null.
  CZqUIPanel* FindPanel(const char* name) const;
  // Card reel n, counted from 1, or null.
  CCardReel* CardReel(int number) const;

  // Configured texts are shown through buffers of this size (at most 999 characters).
  static constexpr int kTextBufferSize = 1000;
  static constexpr int kResultSymbols = 20;

 protected:
  // A click or double click by panel name; 1 when a rule took it.
  int OnClickCommand(CZqUIPanel* panel, const char* name);
  void SetAutoPlayCaption(int count);
  CZqUIPanel* FindMarquee() const;
  // "WEEK"/"message" with the three week counters.
  int FormatWeekText(char* out, size_t size) const;
  void ShowWeekText();
  void ShowConfiguredText(const char* section, const char* key);
  void SetMarqueeFlash(int on);
  int IsMarqueeFlashing() const;
  // The auto-play stop panel in place of the control panel, and back.
  void SwapInAutoStopPanel();
  void SwapInControlPanel(int enabled);
  // Auto-play off, its counter 0 and the control panel back in place of the stop panel.
  void EndAutoPlay(int controlEnabled);

  // Loading: a configuration found in the pack or as a file; the shared loader steps.
  int ConfigExists(const char* name) const;
  int LoadMainUI();
  // A panel of the main UI from a section's "ui_config" at its "pos", left out of the main
  // panel's list unless attached; null when its configuration is missing.
  CZqUIPanel* CreateSubPanel(const char* section, int attached);
  // "MUSIC": the background music and the sounds the kinds share.
  void LoadMusic();
  // The records "EFFECT_WIN", "EFFECT_LOST", "EFFECT_JACKPOT", "STONE" and "POLETIP", none started.
  void LoadSharedEffects();
  // A record's sound on and its animation looping.
  static void StartEffect(CSlotEffect* effect);
  int FinishLoading(int failed);

  // What the kinds' pieces do for the core.
  long RenderScreen();
  void UpdateHintEffects();
  void StartBonusOpening();
  void PlayJackpot();
  void StartBonusTurntable(int target);
  void OpenBonusBox(int target);
  void LightPayTableLine(int line, const char* code);
  void PullLever(CZqUIPanel* lever);
  int SlidePayTable(int out);
  int TurntablesHaveThreeLines() const;

 public:
  // ---- members ----
  CConfig m_Config;

  int m_nTurntableState = 0;
  int m_nCardState = 0;
  int m_nMahjongState = 0;
  unsigned char m_bSpinHover = 0;
  unsigned char m_bLeverPulled = 0;
  DWORD m_dwLastPlayTime = 0;
  DWORD m_dwRoundStart = 0;

  int m_nCredits = 0;
  int m_nShownCredits = 0;
  int m_nBet = 0;
  int m_nLastBet = 0;
  int m_nBetUnit = 0;
  int m_nRoundWin = 0;
  int m_nShownWin = 0;
  float m_fWinToCount = 0.0f;
  int m_nMultiple = 0;
  int m_nWeek1 = 0;
  int m_nWeek2 = 0;
  int m_nWeek3 = 0;

  int m_nAutoPlay = 0;
  int m_bAutoPlaying = 0;
  int m_bAutoStopRequested = 0;
  int m_bBetPending = 0;
  int m_bWarningShown = 0;
  int m_bBettingOpen = 1;
  int m_bCardsTurning = 0;
  int m_bBonus = 0;
  int m_bJackpot = 0;
  int m_bFreePaused = 0;
  int m_bFreeGames = 0;
  int m_nFreeGames = 0;
  int m_bLinesByFlag = 0;
  int m_anLineLit[3] = {0, 0, 0};
  int m_nNewPool = 0;
  int m_nPoolTarget = 0;
  int m_nPoolShown = 0;
  int m_nFlag = 0;

  CZqUIPanel* m_pControlPanel = nullptr;
  CZqUIPanel* m_pAutoStopPanel = nullptr;
  CZqUIPanel* m_pFreePanel = nullptr;
  CZqUIPanel* m_pFreePanel2 = nullptr;
  CZqUIPanel* m_pBoxPanel = nullptr;
  CZqUIPanel* m_pPoolPanel = nullptr;

  std::list<CTurntable*> m_Turntables;
  CTurntable* m_pBonusTurntable = nullptr;
  std::list<CCardReel*> m_CardReels;
  // The wheels that show the round win, left to right.
  std::vector<std::unique_ptr<CDigitWheel>> m_DigitWheels;

  // The background music of the folder and its "MUSIC" sounds, each absent when not configured.
  CZqMedia* m_pMusic = nullptr;
  std::unique_ptr<CZqSound> m_pSpinSound;
  std::unique_ptr<CZqSound> m_pCoinOutSound;
  std::unique_ptr<CZqSound> m_pJackpotSound;
  std::unique_ptr<CZqSound> m_pBetSounds[3];
  // The result slots: 1 "EFFECT_WIN", 2 "EFFECT_LOST", 5 "EFFECT_JACKPOT" (3 and 4 stay empty);
  // the gem "STONE" and the lever hint "POLETIP". Present once a folder is loaded.
  std::unique_ptr<CSlotEffect> m_pResultEffects[5];
  std::unique_ptr<CSlotEffect> m_pStoneEffect;
  std::unique_ptr<CSlotEffect> m_pPoleTipEffect;

  // ---- kind 1: poker cards ----
  // The round's steps (the kind's own file).
  void ShowDealtCards(char** fields);
  void ShowFinalCards(char** fields);
  void DealCards(char** fields, const char* holds);
  void OnCardsStopped();
  void BeginHoldPhase();
  void PresentCardResult();
  void EndCardRound();
  void SelectPayTableRects();
  void SetHoldButtonStates(int s1, int s2, int s3, int s4, int s5);
  void EnableHoldButtons(int on);
  void SetHoldChecks(const int* flags);
  void SetHints(const int* flags);
  void SetHolds(const int* flags);
  void ShowAllHints(const void* any);
  // Kind 1's pieces go with the folder that loaded them.
  void UnloadCardGame();

  static constexpr int kCardHolds = 5;
  static constexpr int kWinLineEffects = 3;
  std::unique_ptr<CCardSheet> m_CardSheet;
  int m_anHoldHint[kCardHolds] = {};
  char m_szHandLetter[2] = {};
  int m_bWin = 0;
  std::unique_ptr<CBlinkSprite> m_WinBlink;
  std::map<std::string, SScreenRect> m_PayTableRects;
  SScreenRect m_rcHandRow;
  SScreenRect m_rcHandCell;
  int m_bPayTableLit = 0;
  // The win and jackpot effects, each drawn while its shown flag is set.
  CSlotEffect m_EffectPMD;
  CSlotEffect m_EffectZPD;
  CSlotEffect m_EffectStar;
  CSlotEffect m_EffectLight;
  int m_bShowPMD = 0;
  int m_bShowZPD = 0;
  int m_bShowStar = 0;
  int m_bShowLight = 0;
  std::array<std::unique_ptr<CSlotEffect>, kWinLineEffects> m_WinLineEffects;
  std::vector<std::unique_ptr<CSlotEffect>> m_ExtraEffects;

  // ---- kind 2: mahjong nine lines ----
  // The round's steps and helpers (the kind's own folder).
  void LowerDiceWin(int amount);
  void ShowFreeLuck();
  // -1 shows the free games left.
  void ShowFreeGamesLeft(int games);
  void EnableReelStopButtons(int on);
  // 1 when the reply's fields are whole; the round stays as it was otherwise.
  int StoreMahjongResult(char** fields);
  // One frame of a count-in by the rule the kind shares: 1 on the frame it reaches the credits.
  int CountUpCredits(DWORD dt, int dice);
  void StartBonusRows();
  void EndMahjongRound();
  void UnloadMahjongGame();

  static constexpr int kGridCells = 9;
  static constexpr int kGridRows = 3;
  static constexpr int kMahjongFaces = 6;
  int m_bReelsStopped = 0;
  char m_cResultKind = 0;
  char m_szSymbols[kGridCells + 1] = {};
  char m_szAwards[kGridRows + 1] = {};
  int m_anWinLine[kGridRows] = {};
  int m_nHeavenlyWin = 0;
  int m_bHeavenlyStarted = 0;
  int m_nDiceLampsToAdd = 0;
  int m_nDiceWin = 0;
  int m_nDiceToCount = 0;
  int m_bDiceFanfare = 0;
  int m_nAllMahjongWin = 0;
  int m_anBonusRow[kGridRows] = {};
  DWORD m_dwFreeIntroTime = 0;
  DWORD m_dwPauseTime = 0;
  char m_szMahjongLetters[kMahjongFaces + 1] = {};
  std::string m_strFreeLuck;
  std::string m_strFreeInfo;
  // The card set's code of this frame, which states 10 and 27 wait on.
  int m_nCardAnimEvent = 0;
  int m_nDiceLampsEvent = 0;
  std::unique_ptr<CZqSound> m_pFreeLuckSound;
  CSlotEffect m_JackpotEffect;
  std::vector<std::unique_ptr<CSlotEffect>> m_Effects;
  std::unique_ptr<CDiceLamps> m_pDiceLamps;
  std::unique_ptr<CTableSlide> m_pWinTable;
  std::unique_ptr<CFreeAwardHighlight> m_pFreeAward;
  std::unique_ptr<CWinLineBlink> m_pWinLineBlink;
  std::unique_ptr<CAllMahjongEffect> m_pAllMahjong;
  std::unique_ptr<CCardAnimSet> m_pCardAnimSet;
  std::unique_ptr<CPayTableSlide> m_pPayTable;
  std::unique_ptr<CHeavenlyHandEffect> m_pHeavenlyHand;
};

// The toolong box, then the exit; not refused in any state.
void ShowTooLongAndQuit();
