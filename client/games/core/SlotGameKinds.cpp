// The kinds' own loaders, rounds and renders. Until a kind is built its loader shows the shared
// screen and its round parts do nothing.
#include "games/core/SlotGame.h"
#include "games/pieces/StartPolePanel.h"
#include "games/pieces/Turntable.h"

int CSlotGame::LoadTurntableGame(const char* /*folder*/) {
  const int ui = LoadMainUI();
  m_pBoxPanel = CreateSubPanel("SEL_BOX", 0);
  m_pControlPanel = CreateSubPanel("SPIN_PANEL", 1);
  m_pAutoStopPanel = CreateSubPanel("STOP_PANEL", 0);
  LoadMusic();
  LoadSharedEffects();
  StartEffect(m_pStoneEffect.get());
  return FinishLoading(!ui);
}

long CSlotGame::UpdateTurntableGame(DWORD /*elapsed*/) { return 0; }

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
long CSlotGame::RenderTurntableGame() { return RenderScreen(); }

void CSlotGame::SetPoolValue(int pool) {
  m_nPoolShown = pool;
  if (CZqUIPanel* p = FindPanel("pool")) p->SetCaption(pool);
}

void CSlotGame::UpdateHintEffects() {
  for (CSlotEffect* effect : {m_pStoneEffect.get(), m_pPoleTipEffect.get()})
    if (effect) effect->Update();
}

void CSlotGame::PlayJackpot() {
  if (m_pResultEffects[4]) m_pResultEffects[4]->Restart();
  if (m_pJackpotSound) m_pJackpotSound->Play();
}

// Only a panel of the lever's style can be pulled.
void CSlotGame::PullLever(CZqUIPanel* lever) {
  if (auto* pole = dynamic_cast<CStartPolePanel*>(lever)) pole->Pull();
}

// The bonus game and the pay-table lights of the turntable kind come with its rounds; until then
// there is nothing to open or light.
void CSlotGame::StartBonusOpening() {}
void CSlotGame::StartBonusTurntable(int /*target*/) {}
void CSlotGame::OpenBonusBox(int /*target*/) {}
void CSlotGame::LightPayTableLine(int /*line*/, const char* /*code*/) {}

int CSlotGame::TurntablesHaveThreeLines() const {
  for (const CTurntable* table : m_Turntables)
    if (table && table->GetLineCount() >= 3) return 1;
  return 0;
}
