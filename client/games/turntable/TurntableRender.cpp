// Kind 0's picture: the main UI, the turntables, the effects, the lit pay table and the hints.
#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/NetTask.h"

namespace {

bool IsLit(const SScreenRect& r) { return r.right > r.left && r.bottom > r.top; }

void Paint(const std::unique_ptr<CSlotEffect>& effect, float z = 0.0f) {
  if (effect) effect->Render(z);
}

}  // namespace

long CSlotGame::RenderTurntableGame() {
  if (!g_NetTask.IsConnected() || !m_pEngine) return 0;
  RenderScreen();
  m_pEngine->PreparePaint(5, 6, 5, 4);
  // The bands are scaled and bent: they are sampled with filtering.
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  for (CTurntable* table : m_Turntables)
    if (table) table->Render();
  if (m_pBonusTurntable) m_pBonusTurntable->Render();

  for (auto& effect : m_ExtraEffects) Paint(effect, 0.2f);
  Paint(m_pShowBoxEffect);
  Paint(m_pBonusGameEffect);

  if (m_nTurntableState == 6) {
    const float level = m_pEngine->ValueCycle(1.0f, 2.0f, 0, 1000, 1);
    if (IsLit(m_rcBonusCell)) m_pEngine->Render_LightRect(&m_rcBonusCell, level);
    auto light = [&](int i) {
      if (!IsLit(m_rcLineRow[i]) || !IsLit(m_rcLineCell[i])) return;
      m_pEngine->Render_LightRect(&m_rcLineRow[i], level);
      m_pEngine->Render_LightRect(&m_rcLineCell[i], level);
    };
    if (BonusTipNumber() > 2) {
      // A row shared by two won lines is lit once.
      light(0);
      if (m_rcLineRow[1] != m_rcLineRow[0]) light(1);
      if (m_rcLineRow[2] != m_rcLineRow[0] && m_rcLineRow[2] != m_rcLineRow[1]) light(2);
    } else {
      light(0);
    }
    m_pEngine->PreparePaint(5, 6, 5, 4);
  }

  if (m_bSpinHover && m_nTurntableState == 0 && !m_bLeverPulled && !IsAutoPlay()) Paint(m_pPoleTipEffect);
  Paint(m_pStoneEffect);
  if (!m_bCardsTurning && m_nTurntableState != 0)
    for (int i = 0; i < kWinLineEffects; ++i)
      if (m_anLineLit[i]) Paint(m_WinLineEffects[i]);
  if (m_nTurntableState == 6 && m_bBonus && IsAutoPlay()) Paint(m_pAutoBonusEffect);
  for (auto& slot : m_pResultEffects) Paint(slot);
  for (auto& box : m_BoxEffects) Paint(box);
  return 0;
}
