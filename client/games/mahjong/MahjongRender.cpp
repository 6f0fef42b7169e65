// Kind 2's frame: the screen, the pay tables and lines, the three reels and the bonus cards, the
// effects of the extra prizes and, while it plays, the jackpot.
#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

long CSlotGame::RenderMahjongGame() {
  if (!g_NetTask.IsConnected() || !m_pEngine) return 0;
  RenderScreen();
  m_pEngine->PreparePaint(5, 6, 5, 4);
  if (m_pPayTable) m_pPayTable->Render();
  m_pEngine->PreparePaint(5, 6, 5, 4);
  if (m_pWinLineBlink) m_pWinLineBlink->Render();
  if (m_pWinTable) m_pWinTable->Render();
  if (m_pAllMahjong) m_pAllMahjong->Render();

  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  for (CCardReel* reel : m_CardReels)
    if (reel) reel->Render();
  if (m_pCardAnimSet) m_pCardAnimSet->Render();

  for (auto& effect : m_Effects) effect->Render(0.2f);
  m_pEngine->PreparePaint(5, 6, 5, 4);
  if (m_pFreeAward) m_pFreeAward->Render();
  if (m_pDiceLamps) m_pDiceLamps->Render();
  if (m_pHeavenlyHand) m_pHeavenlyHand->Render();
  if (m_nMahjongState == 4) m_JackpotEffect.Render(0.0f);
  return 0;
}
