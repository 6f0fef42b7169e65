#include "FreeAwardHighlight.h"

#include <cstdio>

#include "EffectTime.h"

CFreeAwardHighlight::~CFreeAwardHighlight() = default;

int CFreeAwardHighlight::Load(CZqEngine* engine, CConfig& config) {
  m_pEngine = engine;
  m_Entries.clear();
  for (int i = 1; i <= kEntries; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "%d", i);
    const int games = config.GetLong("FreeAwardIdx", key, "0");
    m_Entries.push_back({games, config.GetRect("FreeAwardList", key, "0,0,0,0")});
  }
  return 1;
}

void CFreeAwardHighlight::Light(int games) {
  m_rcCurrent = SScreenRect();
  for (const SEntry& e : m_Entries)
    if (e.nKey == games) {
      m_rcCurrent = e.rc;
      break;
    }
  m_bLit = 1;
}

void CFreeAwardHighlight::Render() {
  if (!m_pEngine) return;
  m_pEngine->PreparePaint(5, 6, 5, 4);
  if (m_bLit) m_pEngine->Render_LightRect(&m_rcCurrent, HighlightLevel(m_pEngine));
}
