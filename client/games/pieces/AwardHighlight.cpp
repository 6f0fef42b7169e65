#include "AwardHighlight.h"

#include "EffectTime.h"

CAwardHighlight::~CAwardHighlight() = default;

int CAwardHighlight::Load(CZqEngine* engine, CConfig& config) {
  m_pEngine = engine;
  for (int i = 0; i < kAwards; ++i) {
    const char key[2] = {char('a' + i), 0};
    m_arcAward[i] = config.GetRect("AwardList", key, "0,0,0,0");
  }
  return 1;
}

void CAwardHighlight::SetLetters(const char* letters) {
  for (int line = 0; line < 3; ++line) {
    const bool more = letters && *letters;
    m_szLetters[line] = more ? *letters++ : kNoAward;
  }
}

void CAwardHighlight::Render() {
  if (!m_bEnabled || !m_pEngine) return;
  for (char letter : m_szLetters) {
    // Letters outside the award range name no rectangle.
    if (letter < 'a' || letter >= 'a' + kAwards) continue;
    m_pEngine->Render_LightRect(&m_arcAward[letter - 'a'], HighlightLevel(m_pEngine));
  }
  m_pEngine->PreparePaint(5, 6, 5, 4);
}
