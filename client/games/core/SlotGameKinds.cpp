// What the kinds share of their renders and pieces.
#include "games/core/SlotGame.h"
#include "games/pieces/StartPolePanel.h"
#include "games/pieces/Turntable.h"

long CSlotGame::RenderScreen() {
  if (LPDIRECT3DDEVICE7 device = m_pEngine ? m_pEngine->GetD3dDevice() : nullptr) {
    // The depth buffer is cleared with the target when the engine has one; asking for it
    // without one would fail the whole clear.
    const DWORD flags = D3DCLEAR_TARGET | (m_pEngine->GetZBufferSurface() ? D3DCLEAR_ZBUFFER : 0);
    device->Clear(0, nullptr, flags, 0, 1.0f, 0);
  }
  if (m_pEngine) m_pEngine->PreparePaint(5, 6, 5, 4);
  return RenderUI();
}

void CSlotGame::SetPoolValue(int pool) {
  m_nPoolShown = pool;
  if (CZqUIPanel* p = FindPanel("pool")) p->SetCaption(pool);
}

void CSlotGame::UpdateHintEffects() {
  for (CSlotEffect* effect : {m_pStoneEffect.get(), m_pPoleTipEffect.get()})
    if (effect) effect->Update();
}

// Only a panel of the lever's style can be pulled.
void CSlotGame::PullLever(CZqUIPanel* lever) {
  if (auto* pole = dynamic_cast<CStartPolePanel*>(lever)) pole->Pull();
}
