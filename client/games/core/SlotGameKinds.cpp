// The kinds' own loaders, rounds and renders. Until a kind is built its loader shows the shared
// screen and its round parts do nothing.
#include "games/core/SlotGame.h"
#include "games/pieces/StartPolePanel.h"
#include "games/pieces/Turntable.h"

int CSlotGame::LoadMahjongGame(const char* /*folder*/) {
  const int ui = LoadMainUI();
  m_pControlPanel = CreateSubPanel("SPIN_PANEL", 1);
  m_pAutoStopPanel = CreateSubPanel("STOP_PANEL", 0);
  LoadMusic();
  return FinishLoading(!ui);
}

long CSlotGame::UpdateMahjongGame(DWORD /*elapsed*/) { return 0; }

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
long CSlotGame::RenderMahjongGame() { return RenderScreen(); }

// Kind 2 replies: its rounds come with the kind.
void CSlotGame::OnMahjongBetReply(int /*amount*/) {}
void CSlotGame::OnMahjongResult(char** /*fields*/) {}
void CSlotGame::PlaceMahjongBet() {}

void CSlotGame::SetPoolValue(int pool) {
  m_nPoolShown = pool;
  if (CZqUIPanel* p = FindPanel("pool")) p->SetCaption(pool);
}
// The mahjong pay table comes with its kind.
void CSlotGame::SwitchPayTablePage(int /*threeUnits*/) {}
void CSlotGame::ShowBetOnPayTable(int /*bet*/) {}
// The dice lamps come with the win effects.
void CSlotGame::SetDiceLamps(int /*lamps*/) {}

void CSlotGame::UpdateHintEffects() {
  for (CSlotEffect* effect : {m_pStoneEffect.get(), m_pPoleTipEffect.get()})
    if (effect) effect->Update();
}

// Only a panel of the lever's style can be pulled.
void CSlotGame::PullLever(CZqUIPanel* lever) {
  if (auto* pole = dynamic_cast<CStartPolePanel*>(lever)) pole->Pull();
}

int CSlotGame::SlidePayTable(int /*out*/) { return 0; }
