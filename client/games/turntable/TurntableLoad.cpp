// Kind 0's loader: the bonus box panel, the bonus sounds and effects, the control panels, the
// turntables, the boxes, the bonus turntable, the win lines and the pay table's rectangles,
// between the loader steps the kinds share.
#include <cstdio>
#include <cstring>
#include <string>

#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/MsgText.h"
#include "net/NetTask.h"

namespace {

// A record from its section; a started one plays its sound and its animation at once.
std::unique_ptr<CSlotEffect> NewEffect(CZqEngine* engine, CConfig& config, const char* section, bool start) {
  auto effect = std::make_unique<CSlotEffect>(engine);
  if (effect->Load(engine, config, section) && start) {
    if (effect->m_pSound) effect->m_pSound->Play();
    effect->m_aniEffect.Play(1, 0, 0.0f, 0.0f, 0.0f);
  }
  return effect;
}

bool HasImage(CConfig& config, const char* section) {
  const char* image = config.GetString(section, "image", "");
  return image && *image;
}

}  // namespace

CTurntable* CSlotGame::CreateTurntable(const char* style) {
  if (style && (std::strcmp(style, "turntable_braked") == 0 || std::strcmp(style, "turntable_poker") == 0))
    return new CTurntableEx(m_pEngine);
  return new CTurntable(m_pEngine);
}

int CSlotGame::BonusTipNumber() const { return static_cast<int>(g_NetTask.GetSlotType().size()); }

void CSlotGame::UnloadTurntableGame() {
  m_pBonusSound.reset();
  m_pBonusGetSound.reset();
  m_pBonusGameEffect.reset();
  m_pBonusRunEffect.reset();
  m_pBonusEffect.reset();
  m_pShowBoxEffect.reset();
  m_pAutoBonusEffect.reset();
  for (auto& box : m_BoxEffects) box.reset();
  m_PayLevels.clear();
  m_LevelRects.clear();
  m_BonusRects.clear();
  m_bBoxesPending = 0;
  m_bRoundEnded = 0;
  for (int i = 0; i < 3; ++i) m_rcLineRow[i] = m_rcLineCell[i] = SScreenRect(0, 0, 0, 0);
  m_rcBonusCell = SScreenRect(0, 0, 0, 0);
}

int CSlotGame::LoadTurntableGame(const char* /*folder*/) {
  m_nTurntableState = 0;
  CZqEngine* engine = m_pEngine;
  int failed = !LoadMainUI();

  // A game without boxes plays its bonus on the bonus turntable (or the server picks): only the
  // box panel is left out. Without the control panels there is nothing to bet with: the game
  // gets the shared sounds and records but no turntables or tables; the screen still loads.
  m_pBoxPanel = CreateSubPanel("SEL_BOX", 0);
  {
    auto sound = [this](const char* key) {
      const std::string name = m_Config.GetString("MUSIC", key, "");
      return std::unique_ptr<CZqSound>(name.empty() ? nullptr : m_pEngine->FindSound(name.c_str()));
    };
    m_pBonusSound = sound("bonus");
    m_pBonusGetSound = sound("bonusget");
    m_pBonusGameEffect = NewEffect(engine, m_Config, "BONUS_GAME", false);
    m_pBonusRunEffect = NewEffect(engine, m_Config, "EFFECT_BONUS_RUN", false);
    m_pBonusEffect = NewEffect(engine, m_Config, "EFFECT_BONUS", false);
    m_pShowBoxEffect = NewEffect(engine, m_Config, "SHOW_BOX", false);
    m_pAutoBonusEffect = NewEffect(engine, m_Config, "AUTO_BONUS", false);

    m_pControlPanel = CreateSubPanel("SPIN_PANEL", 1);
    m_pAutoStopPanel = CreateSubPanel("STOP_PANEL", 0);
  }

  LoadMusic();
  LoadSharedEffects();
  StartEffect(m_pStoneEffect.get());

  if (m_pControlPanel && m_pAutoStopPanel) {
    char section[32];
    for (int i = 1;; ++i) {
      std::snprintf(section, sizeof(section), "TURNTABLE_%d", i);
      const std::string style = m_Config.GetString(section, "style", "");
      if (style.empty()) break;
      CTurntable* table = CreateTurntable(style.c_str());
      if (!table) {
        failed = 1;
        UnloadGame();
        break;
      }
      const std::string config = m_Config.GetString(section, "config", "");
      const std::string name = m_Config.GetString(section, "name", "");
      // A turntable that does not load stays and stands still.
      table->Load(config.c_str(), m_Config.GetPoint(section, "pos", "0,0"), name.c_str());
      table->SetCardSheet(nullptr);
      m_Turntables.push_back(table);
    }

    for (int i = 0; i < kBonusBoxes; ++i) {
      std::snprintf(section, sizeof(section), "BOX_%d", i + 1);
      if (!HasImage(m_Config, section)) break;
      m_BoxEffects[i] = NewEffect(engine, m_Config, section, false);
    }

    const std::string bonusStyle = m_Config.GetString("TURNTABLE_BONUS_GAME", "style", "");
    if (!bonusStyle.empty()) {
      m_pBonusTurntable = CreateTurntable(bonusStyle.c_str());
      if (!m_pBonusTurntable) {
        UnloadGame();
        return 0;
      }
      const std::string config = m_Config.GetString("TURNTABLE_BONUS_GAME", "config", "");
      const std::string name = m_Config.GetString("TURNTABLE_BONUS_GAME", "name", "");
      m_pBonusTurntable->Load(config.c_str(), m_Config.GetPoint("TURNTABLE_BONUS_GAME", "pos", "0,0"),
                              name.c_str());
      m_pBonusTurntable->SetCardSheet(nullptr);
    }

    for (int i = 0; i < kWinLineEffects; ++i) {
      std::snprintf(section, sizeof(section), "WIN_LINE_%d", i + 1);
      if (!HasImage(m_Config, section)) break;
      m_WinLineEffects[i] = NewEffect(engine, m_Config, section, true);
    }
    for (int i = 1;; ++i) {
      std::snprintf(section, sizeof(section), "EFFECT_%d", i);
      if (!HasImage(m_Config, section)) break;
      m_ExtraEffects.push_back(NewEffect(engine, m_Config, section, true));
    }

    // The pay table: each level lists the patterns it pays, the first naming its row ("0") and
    // its cells for bets 1 to 3; the bonus cells follow by target.
    const std::string tableName = m_Config.GetString("WIN_TABLE", "config", "");
    CConfig table;
    // A game without a pay table lights nothing; one named but missing is a load error.
    if (tableName.empty()) {
    } else if (!ConfigExists(tableName.c_str()) || !engine->LoadConfig(table, tableName.c_str())) {
      failed = 1;
    } else {
      char key[32];
      for (int level = 1;; ++level) {
        std::snprintf(key, sizeof(key), "level%d", level);
        std::string names = table.GetString("TABLE", key, "");
        char* tokens[kPatternNames];
        const int count = CMsgText::Split(names.data(), tokens, kPatternNames, " ");
        if (count <= 0) break;
        m_PayLevels.emplace_back(tokens, tokens + count);
        const std::string& prefix = m_PayLevels.back().front();
        for (int j = 0; j <= 3; ++j) {
          const std::string rect = prefix + std::to_string(j);
          m_LevelRects[rect] = table.GetRect("TABLE", rect.c_str(), "0,0,0,0");
        }
      }
      for (int j = 0;; ++j) {
        std::snprintf(key, sizeof(key), "%d", j);
        if (std::string(table.GetString("BONUS", key, "")).empty()) break;
        m_BonusRects[key] = table.GetRect("BONUS", key, "0,0,0,0");
      }
    }
  }

  m_nFlag = m_Config.GetLong("FLAG", "flag", "0");
  return FinishLoading(failed);
}
