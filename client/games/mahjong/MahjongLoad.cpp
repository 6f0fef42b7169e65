// Kind 2's loader: the main UI, the card sheet and the three tile reels, the lamps, tables,
// blinkers and effects of the extra prizes, the round's panels, music and texts.
#include <cstdio>
#include <ctime>
#include <string>

#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {

constexpr int kMahjongIdleSleepMs = 20;
constexpr UINT_PTR kTimerNoMoneyExit = 1211;
constexpr UINT kNoMoneyExitMs = 8000;

}  // namespace

void CSlotGame::UnloadMahjongGame() {
  m_nMahjongState = 0;
  m_bFreeGames = m_nFreeGames = m_bFreePaused = 0;
  m_pDiceLamps.reset();
  m_pWinTable.reset();
  m_pFreeAward.reset();
  m_pAllMahjong.reset();
  m_pWinLineBlink.reset();
  m_pCardAnimSet.reset();
  m_pPayTable.reset();
  m_pHeavenlyHand.reset();
  m_Effects.clear();
  m_JackpotEffect.m_aniEffect.Cleanup();
  m_JackpotEffect.m_pSound.reset();
  m_JackpotEffect.m_nRemaining = 0;
  m_pFreeLuckSound.reset();
  m_strFreeLuck.clear();
  m_strFreeInfo.clear();
}

int CSlotGame::LoadMahjongGame(const char* /*folder*/) {
  if (CZqApp* app = CZqFunc::GetZqApp()) app->SetIdleSleep(kMahjongIdleSleepMs);
  UnloadMahjongGame();
  CZqEngine* engine = m_pEngine;
  // The reels' strips are filled at random.
  zq_srand(static_cast<unsigned>(std::time(nullptr)));

  // A folder that cannot be played leaves the client as a missing screen does.
  const auto fail = [this]() {
    MessageBoxA(g_hMainWnd, "Load resource error!", "Error", MB_OK | MB_ICONERROR);
    g_NetTask.SendQuit();
    g_bExiting = 1;
    PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
    return 0;
  };

  if (!LoadMainUI()) return fail();

  m_CardSheet = std::make_unique<CCardSheet>(engine);
  const std::string sheet = m_Config.GetString("MAIN", "CardImageList", "");
  if (!sheet.empty()) m_CardSheet->Load(sheet.c_str());

  char section[32];
  for (int i = 1;; ++i) {
    std::snprintf(section, sizeof(section), "TB_%d", i);
    if (m_Config.GetLong(section, "table_size", "0") <= 0) break;
    auto* reel = new CCardReel(engine);
    reel->Load(m_Config, section, m_CardSheet.get());
    reel->FillRandomTiles();
    m_CardReels.push_back(reel);
  }

  m_pDiceLamps = std::make_unique<CDiceLamps>(engine);
  if (!m_pDiceLamps->Load(m_Config)) return fail();

  m_pPoolPanel = FindPanel("pool");
  if (!m_pPoolPanel) return fail();
  m_pPoolPanel->SetVisible(0);

  m_pWinTable = std::make_unique<CTableSlide>();
  if (!m_pWinTable->Load(engine, m_pPoolPanel, m_pDiceLamps.get(), m_Config, "WINTABLELT")) return fail();

  m_pFreeAward = std::make_unique<CFreeAwardHighlight>();
  m_pFreeAward->Load(engine, m_Config);

  for (int i = 0; i < kMahjongFaces; ++i) {
    const char key[2] = {static_cast<char>('0' + i), 0};
    const std::string letter = m_Config.GetString("MJ9LINE", key, "");
    m_szMahjongLetters[i] = letter.empty() ? 0 : letter[0];
  }
  m_szMahjongLetters[kMahjongFaces] = 0;

  m_pWinLineBlink = std::make_unique<CWinLineBlink>(engine);
  if (!m_pWinLineBlink->Load(m_Config)) return fail();

  m_pAllMahjong = std::make_unique<CAllMahjongEffect>();
  if (!m_pAllMahjong->Load(engine, m_Config, m_pWinLineBlink.get())) return fail();

  m_pCardAnimSet = std::make_unique<CCardAnimSet>(engine);
  const std::string cards = m_Config.GetString("ANIMATIONCONFIG", "config", "");
  if (!m_pCardAnimSet->Load(cards.c_str())) return fail();

  m_pPayTable = std::make_unique<CPayTableSlide>(engine);
  if (!m_pPayTable->Load(m_Config, "WIN_TABLE")) return fail();

  m_pControlPanel = CreateSubPanel("SPIN_PANEL", 1);
  m_pAutoStopPanel = CreateSubPanel("STOP_PANEL", 0);
  m_pFreePanel = CreateSubPanel("FREE_PANEL", 0);
  m_pFreePanel2 = CreateSubPanel("FREE_PANEL2", 0);
  if (!m_pControlPanel || !m_pAutoStopPanel || !m_pFreePanel || !m_pFreePanel2) return fail();

  LoadMusic();
  const std::string freeluck = m_Config.GetString("MUSIC", "freeluck", "");
  if (!freeluck.empty()) m_pFreeLuckSound.reset(engine->FindSound(freeluck.c_str()));

  m_pHeavenlyHand = std::make_unique<CHeavenlyHandEffect>(engine);
  // The heavenly hand is optional: without its pictures it shows nothing and ends at once.
  m_pHeavenlyHand->Load(m_Config);

  m_JackpotEffect.Load(engine, m_Config, "EFFECT_JACKPOT");

  for (int i = 1;; ++i) {
    std::snprintf(section, sizeof(section), "EFFECT_%d", i);
    if (std::string(m_Config.GetString(section, "image", "")).empty()) break;
    auto effect = std::make_unique<CSlotEffect>(engine);
    effect->Load(engine, m_Config, section);
    StartEffect(effect.get());
    m_Effects.push_back(std::move(effect));
  }

  m_nFlag = m_Config.GetLong("FLAG", "flag", "0");
  if (CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表")); table && table->IsVisible()) table->SetVisible(0);

  char text[kTextBufferSize];
  m_Config.GetString(text, sizeof(text), "TEXT", "freeluck", "");
  text[sizeof(text) - 1] = 0;
  m_strFreeLuck = text;
  m_Config.GetString(text, sizeof(text), "TEXT", "freeinfo", "");
  text[sizeof(text) - 1] = 0;
  m_strFreeInfo = text;

  SetPlayerChips(m_nCredits);
  SetWinCaption(m_nRoundWin);
  SetBetUnit(m_nBetUnit);
  SetBet(m_nBet);
  ShowConfiguredText("TEXT", "welcome");
  g_NetTask.SendEnterGame();
  if (m_nCredits < m_nBetUnit) {
    SetTimer(g_hMainWnd, kTimerNoMoneyExit, kNoMoneyExitMs, nullptr);
    ShowConfiguredText("MONEY", "not_enough");
    SetMarqueeFlash(1);
    EnableSpinButtons(0, 0, 0, 1);
    g_bGameReady = 0;
    g_bSpinLocked = 1;
  }
  EnableReelStopButtons(0);
  return 1;
}
