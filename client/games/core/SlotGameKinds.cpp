// The kinds' own loaders, rounds and renders. Until a kind is built its loader shows the shared
// screen and its round parts do nothing.
#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"

int CSlotGame::LoadTurntableGame(const char* /*folder*/) {
  const int ui = LoadMainUI();
  LoadMusic();
  return FinishLoading(!ui);
}
int CSlotGame::LoadMahjongGame(const char* folder) { return LoadTurntableGame(folder); }

long CSlotGame::UpdateTurntableGame(DWORD /*elapsed*/) { return 0; }
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
long CSlotGame::RenderTurntableGame() { return RenderScreen(); }
long CSlotGame::RenderMahjongGame() { return RenderScreen(); }

// Kind 2 replies: its rounds come with the kind.
void CSlotGame::OnMahjongBetReply(int /*amount*/) {}
void CSlotGame::OnMahjongResult(char** /*fields*/) {}
void CSlotGame::PlaceMahjongBet() {}

void CSlotGame::SetPoolValue(int pool) {
  m_nPoolShown = pool;
  if (CZqUIPanel* p = FindPanel("pool")) p->SetCaption(pool);
}
// The dice lamps come with the win effects.
void CSlotGame::SetDiceLamps(int /*lamps*/) {}

// Effect records, the lever, the pay table and the bonus game of the turntable kind come with
// their pieces; until then there is nothing to play or light.
void CSlotGame::UpdateHintEffects() {}
void CSlotGame::StartBonusOpening() {}
void CSlotGame::PlayJackpot() {}
void CSlotGame::StartBonusTurntable(int /*target*/) {}
void CSlotGame::OpenBonusBox(int /*target*/) {}
void CSlotGame::LightPayTableLine(int /*line*/, const char* /*code*/) {}
void CSlotGame::PullLever(CZqUIPanel* /*lever*/) {}
int CSlotGame::SlidePayTable(int /*out*/) { return 0; }

int CSlotGame::TurntablesHaveThreeLines() const {
  for (const CTurntable* table : m_Turntables)
    if (table && table->GetLineCount() >= 3) return 1;
  return 0;
}
