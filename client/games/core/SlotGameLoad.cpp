// Loading one game folder, the loader steps the kinds share, and unloading it again.
#include <cstdio>

#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {
constexpr UINT_PTR kTimerNoMoneyExit = 1211;
constexpr UINT kNoMoneyExitMs = 8000;
}  // namespace

int CSlotGame::ConfigExists(const char* name) const {
  if (!name || !*name || !m_pEngine) return 0;
  if (m_pEngine->FindSource(name)) return 1;
  std::FILE* file = std::fopen(zqMapPath(name).c_str(), "rb");
  if (!file) return 0;
  std::fclose(file);
  return 1;
}

int CSlotGame::LoadGame(const char* folder) {
  if (!folder || !*folder) return 0;
  UnloadGame();
  if (!ConfigExists(folder)) return 0;
  m_pEngine->LoadConfig(m_Config, folder);
  const long type = m_Config.GetLong("MAIN", "GameType", "0");
  if (type >= 0 && type <= 2) g_nGameType = static_cast<int>(type);
  switch (g_nGameType) {
    case 0:
      return LoadTurntableGame(folder);
    case 1:
      return LoadCardGame(folder);
    case 2:
      return LoadMahjongGame(folder);
    default:
      return 0;
  }
}

int CSlotGame::LoadMainUI() {
  const char* ui = m_Config.GetString("MAIN", "ui_config", "");
  const std::string config = ui ? ui : "";
  if (!ConfigExists(config.c_str())) return 0;
  return m_uiMain.Create(config.c_str(), SScreenPoint(0, 0), nullptr);
}

CZqUIPanel* CSlotGame::CreateSubPanel(const char* section, int attached) {
  const std::string config = m_Config.GetString(section, "ui_config", "");
  if (!ConfigExists(config.c_str())) return nullptr;
  auto* panel = new CZqUIPanel(&m_uiMain);
  // A panel that is not attached stays the main panel's own: it goes with it.
  if (!panel->Create(config.c_str(), m_Config.GetPoint(section, "pos", "0,0"), nullptr)) {
    delete panel;
    return nullptr;
  }
  if (!attached) m_uiMain.DelSubPanel(panel);
  return panel;
}

void CSlotGame::LoadMusic() {
  const std::string background = m_Config.GetString("MUSIC", "background", "");
  if (!background.empty()) {
    m_pMusic = new CZqMedia(m_pEngine);
    m_pMusic->SetLooping(1);
    if (m_pMusic->SetStreamSource(background.c_str())) m_pMusic->Play();
  }
  auto sound = [this](const char* key) {
    const std::string name = m_Config.GetString("MUSIC", key, "");
    return std::unique_ptr<CZqSound>(name.empty() ? nullptr : m_pEngine->FindSound(name.c_str()));
  };
  m_pCoinOutSound = sound("coin_out");
  m_pSpinSound = sound("spin");
  m_pJackpotSound = sound("jackpot");
  m_pBetSounds[0] = sound("bet1");
  m_pBetSounds[1] = sound("bet2");
  m_pBetSounds[2] = sound("bet3");
}

void CSlotGame::LoadSharedEffects() {
  auto load = [this](const char* section) {
    auto effect = std::make_unique<CSlotEffect>(m_pEngine);
    // A record whose picture is missing stays and shows nothing.
    effect->Load(m_pEngine, m_Config, section);
    return effect;
  };
  m_pResultEffects[0] = load("EFFECT_WIN");
  m_pResultEffects[1] = load("EFFECT_LOST");
  m_pResultEffects[4] = load("EFFECT_JACKPOT");
  m_pStoneEffect = load("STONE");
  m_pPoleTipEffect = load("POLETIP");
}

void CSlotGame::StartEffect(CSlotEffect* effect) {
  if (!effect) return;
  if (effect->m_pSound) effect->m_pSound->Play();
  effect->m_aniEffect.Play(1, 0, 0.0f, 0.0f, 0.0f);
}

int CSlotGame::FinishLoading(int failed) {
  if (CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表"))) table->SetVisible(0);
  if (failed) {
    MessageBoxA(g_hMainWnd, "Load resource error!", "Error", MB_OK | MB_ICONERROR);
    g_NetTask.SendQuit();
    g_bExiting = 1;
    PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
  }
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
  // A folder whose screen could not be built is reported as not loaded.
  return failed ? 0 : 1;
}

void CSlotGame::UnloadGame() {
  for (CTurntable* table : m_Turntables) delete table;
  m_Turntables.clear();
  delete m_pBonusTurntable;
  m_pBonusTurntable = nullptr;
  for (CCardReel* reel : m_CardReels) delete reel;
  m_CardReels.clear();
  UnloadCardGame();
  UnloadMahjongGame();
  m_DigitWheels.clear();
  // The panels below the main panel go with it; none of their pointers may outlive them.
  m_pControlPanel = m_pAutoStopPanel = m_pFreePanel = m_pFreePanel2 = m_pBoxPanel = m_pPoolPanel = nullptr;
  m_uiMain.Cleanup();
  delete m_pMusic;
  m_pMusic = nullptr;
  // The sounds are the game's own instances: deleting them takes them out of the engine's list.
  m_pSpinSound.reset();
  m_pCoinOutSound.reset();
  m_pJackpotSound.reset();
  for (auto& sound : m_pBetSounds) sound.reset();
  for (auto& effect : m_pResultEffects) effect.reset();
  m_pStoneEffect.reset();
  m_pPoleTipEffect.reset();
}
