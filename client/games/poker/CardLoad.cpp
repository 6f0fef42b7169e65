// Kind 1's loader: the card sheet, the effects, the win frame and digits, the five card reels and
// the pay table's rectangles, between the loader steps the kinds share.
#include <cstdio>
#include <ctime>
#include <string>

#include "games/core/SlotGame.h"

namespace {

constexpr int kCardIdleSleepMs = 20;

// An effect record from its section; a started one plays its sound and its animation at once.
void LoadEffect(CZqEngine* engine, CConfig& config, CSlotEffect& effect, const char* section, bool start) {
  const int created = effect.Load(engine, config, section);
  if (created && start) {
    if (effect.m_pSound) effect.m_pSound->Play();
    effect.m_aniEffect.Play(1, 0, 0.0f, 0.0f, 0.0f);
  }
}

std::unique_ptr<CSlotEffect> NewEffect(CZqEngine* engine, CConfig& config, const char* section, bool start) {
  auto effect = std::make_unique<CSlotEffect>(engine);
  LoadEffect(engine, config, *effect, section, start);
  return effect;
}

}  // namespace

void CSlotGame::UnloadCardGame() {
  m_CardSheet.reset();
  m_WinBlink.reset();
  m_PayTableRects.clear();
  for (auto& line : m_WinLineEffects) line.reset();
  m_ExtraEffects.clear();
}

int CSlotGame::LoadCardGame(const char* /*folder*/) {
  if (CZqApp* app = CZqFunc::GetZqApp()) app->SetIdleSleep(kCardIdleSleepMs);
  // The reels draw their neighbour cards at random.
  zq_srand(static_cast<unsigned>(std::time(nullptr)));
  m_nCardState = 0;
  UnloadCardGame();
  CZqEngine* engine = m_pEngine;

  const int failed = !LoadMainUI();

  m_CardSheet = std::make_unique<CCardSheet>(engine);
  const std::string sheet = m_Config.GetString("MAIN", "CardImageList", "");
  if (!sheet.empty()) m_CardSheet->Load(sheet.c_str());

  LoadEffect(engine, m_Config, m_EffectPMD, "EFFECT_PMD", true);
  LoadEffect(engine, m_Config, m_EffectZPD, "EFFECT_ZPD", true);
  LoadEffect(engine, m_Config, m_EffectStar, "EFFECT_STAR", true);

  {
    const std::string image = m_Config.GetString("WINLINE", "image", "");
    int height = m_Config.GetLong("WINLINE", "height", "0");
    int width = m_Config.GetLong("WINLINE", "width", "0");
    int x = m_Config.GetLong("WINLINE", "x", "0");
    int y = m_Config.GetLong("WINLINE", "y", "0");
    int frequency = m_Config.GetLong("WINLINE", "frequency", "0");
    m_WinBlink = std::make_unique<CBlinkSprite>(engine);
    if (!m_WinBlink->Setup(image.c_str(), x, y, width, height, frequency)) {
      m_WinBlink.reset();
      return 0;
    }
  }

  LoadEffect(engine, m_Config, m_EffectLight, "EFFECT_LIGHT", true);
  EnableHoldButtons(0);
  ShowAllHints(nullptr);

  LoadMusic();
  LoadSharedEffects();
  StartEffect(m_pStoneEffect.get());
  StartEffect(m_pPoleTipEffect.get());

  char section[32];
  m_DigitWheels.clear();
  for (int i = 1;; ++i) {
    std::snprintf(section, sizeof(section), "NUMEFF_%d", i);
    const std::string image = m_Config.GetString(section, "image", "");
    if (image.empty()) break;
    int height = m_Config.GetLong(section, "height", "0");
    int width = m_Config.GetLong(section, "width", "0");
    int x = m_Config.GetLong(section, "x", "0");
    int y = m_Config.GetLong(section, "y", "0");
    int frequency = m_Config.GetLong(section, "frequency", "0");
    auto wheel = std::make_unique<CDigitWheel>(engine);
    if (!wheel->Setup(image.c_str(), x, y, width, height, frequency)) {
      // Without every wheel a win cannot be centred: none is shown, the rest of the game loads.
      m_DigitWheels.clear();
      break;
    }
    m_DigitWheels.push_back(std::move(wheel));
  }

  for (int i = 1;; ++i) {
    std::snprintf(section, sizeof(section), "TB_%d", i);
    if (m_Config.GetLong(section, "table_size", "0") <= 0) break;
    auto* reel = new CCardReel(engine);
    reel->Load(m_Config, section, m_CardSheet.get());
    reel->FillRandomCards();
    m_CardReels.push_back(reel);
  }

  // Loaded and started once; this kind never marks a line as won, so they are never drawn.
  for (int i = 0; i < kWinLineEffects; ++i) {
    std::snprintf(section, sizeof(section), "WIN_LINE_%d", i + 1);
    if (std::string(m_Config.GetString(section, "image", "")).empty()) break;
    m_WinLineEffects[i] = NewEffect(engine, m_Config, section, true);
  }

  for (int i = 1;; ++i) {
    std::snprintf(section, sizeof(section), "EFFECT_%d", i);
    if (std::string(m_Config.GetString(section, "image", "")).empty()) break;
    m_ExtraEffects.push_back(NewEffect(engine, m_Config, section, true));
  }

  // The pay table's rectangles: per hand letter its row ("0") and its cells for bets 1 to 3;
  // the first empty value ends the table.
  const std::string table = m_Config.GetString("WIN_TABLE", "config", "");
  CConfig rects;
  if (!table.empty() && engine->LoadConfig(rects, table.c_str())) {
    bool more = true;
    for (char letter = 'a'; more && letter <= 'z'; ++letter) {
      const char name[2] = {letter, 0};
      for (const char* key : {"0", "1", "2", "3"}) {
        if (std::string(rects.GetString(name, key, "")).empty()) {
          more = false;
          break;
        }
        m_PayTableRects[std::string(name) + key] = rects.GetRect(name, key, "0,0,0,0");
      }
    }
  }

  return FinishLoading(failed);
}
